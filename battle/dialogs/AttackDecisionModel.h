#pragma once
// The attack decision (攻撃決定) without a window: which weapons a unit fires
// at a target. It proposes the engine's choice of a weapon group, shows the
// expected damage both ways, lets the player pick rows of one group, jettison
// droppable stores first, and answers a weapon mask (bit i = slot i). It never
// resolves combat; the records change only through the jettison back-end and
// the restore of "中止".
//
// The card it paints is 280 x 280; the window shows its rectangle (4, 6)
// 272 x 241 at the same place, so card and client coordinates agree.

#include <array>
#include <cstdint>

#include "battle/engine/GameDoc.h"
#include "foundation/DialogService.h"
#include "foundation/Dib.h"
#include "foundation/DrawHelpers.h"

namespace zrv {

class AttackDecisionModel {
public:
    static constexpr int kCardW = 280, kCardH = 280;
    static constexpr int kFirstRowY = 109, kRowH = 16;

    // unit fires at target; flags of AttackDecisionFlags. The opening steps
    // run here: what is known of the target, the stores emptied by an
    // earlier jettison order, the saved counts, the proposal.
    AttackDecisionModel(CZRKGameDoc& doc, UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags);

    // --- what the window shows --------------------------------------------------
    uint32_t Mask() const { return m_dwWeaponMask; }
    bool FireEnabled() const { return m_bFireEnabled; }
    bool JettisonEnabled() const { return m_bJettisonEnabled; }
    bool TargetKnown() const { return m_bTargetKnown; }
    int Damage() const { return m_nDamage; }
    int CounterDamage() const { return m_nCounterDamage; }
    uint32_t TargetMask() const { return m_dwTargetMask; }
    const std::array<int, 8>& Usable() const { return m_nUsable; }
    // The hit percentage text of slot ("" when none is shown).
    std::string HitText(int slot) const;

    // --- what the player does --------------------------------------------------
    // A left click at a client point: a row of a slot with usable
    // ammunition toggles within its group or selects another group. True
    // when the selection changed (the card is painted again).
    bool ClickAt(int x, int y);
    // 投棄: the stores go through the jettison order; the proposal is made
    // again; "攻撃開始" follows the new mask and "投棄" is spent.
    void Jettison();
    // 中止: the ammunition counts and the move counter as they were when the
    // dialog opened.
    void Cancel();

    // Paints the card: background from back (may be null), icons from
    // icons (may be null), text with font. canvas must be 280 x 280.
    void Paint(CDib& canvas, CDib* back, CDib* icons, const platform::Font* font) const;

private:
    void Propose();
    void ComputeExpected();
    int RowGroup(int slot) const;

    CZRKGameDoc& m_doc;
    UNITSTRUCT& m_unit;
    UNITSTRUCT& m_target;
    bool m_bOwnAttack, m_bMovedFirst, m_bCounterFire;
    bool m_bUnitIsAir = false, m_bTargetIsAir = false;
    bool m_bTargetKnown = false, m_bShowCounterDamage = false, m_bStoresGone = false;
    bool m_bFireEnabled = true, m_bJettisonEnabled = false;
    bool m_bCpu = false;
    int m_nDamage = 0, m_nCounterDamage = 0;
    uint32_t m_dwTargetMask = 0, m_dwWeaponMask = 0;
    std::array<int, 8> m_nTargetUsable{}, m_nUsable{};
    std::array<int, 8> m_nSavedAmmo{};
    // Saved with the counts: a jettison after a move raises it to pay for
    // the fuel, and "中止" must undo that too.
    int m_nSavedMoved = 0;
};

}  // namespace zrv
