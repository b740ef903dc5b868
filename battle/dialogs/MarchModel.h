#pragma once
// The march (行軍) and bombing-target (爆撃目標) dialog without a window: where
// the unit's standing target is, how far, and the earliest arrival; 解除
// clears the target, 確認 points it out on the map. Nothing else reaches the
// unit.

#include <cstdint>
#include <string>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"

namespace zrv {

class MarchModel {
public:
    // Bits of the unit's order word: a target is set, it is a bombing target.
    static constexpr uint32_t kTargetSet = 0x40000000u;
    static constexpr uint32_t kTargetBombing = 0x20000000u;
    // Sound effects of 解除 and 確認.
    static constexpr int kSoundClear = 34, kSoundConfirm = 33;

    // march false: the bombing target. view (may be null) plays the sounds
    // and shows the marks.
    MarchModel(CZRKGameDoc& doc, UNITSTRUCT& unit, bool march, DialogView* view);

    // The caption (CP932).
    const char* Caption() const { return m_bMarch ? "行軍" : "爆撃目標"; }
    // The three lines (CP932): target, distance, arrival.
    const std::string& TargetLine() const { return m_target; }
    const std::string& DistanceLine() const { return m_distance; }
    const std::string& ArrivalLine() const { return m_arrival; }
    bool ClearEnabled() const { return m_bClear; }
    bool ConfirmEnabled() const { return m_bConfirm; }

    // 解除: asks first when the current country wants questions; true when
    // the target was cleared (texts refreshed, only the unit's hex marked).
    bool Clear();
    // 確認: flashes the target; both hexes marked unless a close request cut
    // the flashing short (then false).
    bool Confirm();

    // Fills the lines from the unit as it stands now.
    void Refresh();

private:
    CZRKGameDoc& m_doc;
    UNITSTRUCT& m_unit;
    bool m_bMarch;
    DialogView* m_pView;
    std::string m_target, m_distance, m_arrival;
    bool m_bClear = false, m_bConfirm = false;
};

// The arrival line for a reach word of the target hex: the date of now
// advanced two hours a turn, a turn being move points of route cost (one turn
// more for a bombing target); "到達できません" when the word says unreachable
// or the unit has no move points.
std::string MarchArrivalText(uint32_t reachWord, int movePoints, uint32_t now, bool bombing);

}  // namespace zrv
