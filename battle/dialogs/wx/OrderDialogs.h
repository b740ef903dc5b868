#pragma once
// The order dialogs' windows: attack decision (攻撃決定), merge (合流), unload
// (降車) and launch (発進). Each shows its model and forwards the player's
// clicks; each returns what its dialog answers (see DialogService).

#include <cstdint>
#include <span>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"

class wxWindow;

namespace zrv {

int RunAttackDecisionDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& unit,
                            UNITSTRUCT& target, unsigned flags, uint32_t& weaponMask);
int RunMergeDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& left, UNITSTRUCT& right);
int RunUnloadDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& carrier,
                    std::span<UNITSTRUCT* const> cargo);
int RunLaunchDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& carrier,
                    std::span<UNITSTRUCT* const> cargo);

}  // namespace zrv
