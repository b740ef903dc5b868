#pragma once
// The windows of the march and bombing-target dialog (行軍 / 爆撃目標), the
// construction choices (耐久力増加, 道路･鉄道設置 / 撤去), the password entry
// (パスワード入力), the country control (操作設定) and the music settings
// (ＢＧＭ設定). Each shows its model and forwards the player's clicks; each
// returns what its dialog answers (see DialogService).

#include <string>
#include <string_view>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "foundation/DialogService.h"

class wxWindow;

namespace zrv {

int RunMarchWindow(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& unit, bool march);
int RunDurabilityWindow(wxWindow* parent, CZRKGameDoc& doc, UNITSTRUCT& unit, int maxSteps);
int RunRouteBuildWindow(wxWindow* parent, uint32_t choices, int mode);
int RunPasswordWindow(wxWindow* parent, std::string& text, std::string_view countryName);
int RunCountryControlWindow(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, CountryControlRows& rows);
int RunBgmSettingsWindow(wxWindow* parent, CZRKGameDoc& doc, DialogView* view);

}  // namespace zrv
