#pragma once
// The unload (降車) and launch (発進) dialogs without a window: a carrier's
// cargo as the engine lists it (at most four), one line each, and what the
// buttons answer. Neither changes the game; the unload dialog leaves the
// hexes of its choice in the view's target hex list.

#include <span>
#include <string>
#include <vector>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "foundation/DialogService.h"

namespace zrv {

// " %-30s%2d" of the unit type's name and the unit's strength (CP932).
std::string CargoLine(const UNITSTRUCT& unit);

class UnloadModel {
public:
    // Error message shown when the unit left behind would not fit.
    static constexpr int kErrorNoRoom = 128;

    // cargo: the carried units as the engine lists them.
    UnloadModel(CZRKGameDoc& doc, UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo, DialogView* view);

    // The lines shown: text and the carried index of each.
    const std::vector<std::string>& Lines() const { return m_lines; }
    const std::vector<int>& LineCargo() const { return m_lineCargo; }
    bool CoveringFireEnabled() const { return m_bCoveringFire; }
    bool UnloadEnabled() const { return m_nSelected >= 0; }
    // Button 2 reads "終了" once the carrier has fired.
    bool CarrierHasFired() const;
    // Selects line (-1: none); the status strip shows its unit.
    void Select(int line);
    int Selected() const { return m_nSelected; }
    // "降車": the carried index + 1, or 0 when the dialog stays open (error
    // 128 shown).
    int Unload();
    // "援護射撃": the targets' hexes go to the view; always kUnloadCoveringFire.
    int CoveringFire();

private:
    CZRKGameDoc& m_doc;
    UNITSTRUCT& m_carrier;
    std::vector<UNITSTRUCT*> m_cargo;
    DialogView* m_pView;
    bool m_bCarrySlot = false;
    bool m_bCoveringFire = false;
    std::vector<std::string> m_lines;
    std::vector<int> m_lineCargo;
    int m_nSelected = -1;
};

class LaunchModel {
public:
    LaunchModel(CZRKGameDoc& doc, UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo, DialogView* view);
    const std::vector<std::string>& Lines() const { return m_lines; }
    const std::vector<int>& LineCargo() const { return m_lineCargo; }
    bool LaunchEnabled() const { return m_nSelected >= 0; }
    void Select(int line);
    int Selected() const { return m_nSelected; }
    // "発進": the carried index of the selected line.
    int Launch() const { return m_nSelected >= 0 ? m_lineCargo[static_cast<size_t>(m_nSelected)] : kLaunchCarrier; }

private:
    std::vector<UNITSTRUCT*> m_cargo;
    DialogView* m_pView;
    std::vector<std::string> m_lines;
    std::vector<int> m_lineCargo;
    int m_nSelected = -1;
};

}  // namespace zrv
