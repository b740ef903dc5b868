#pragma once
// The merge (合流) without a window: strength moves point by point between
// two units of one type, fuel, experience and ammunition following as
// strength-weighted averages. Nothing reaches the units before "実行".
//
// The card is 192 x 245; the window shows its rectangle (4, 4) 184 x 182.

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitCommands.h"
#include "foundation/Dib.h"
#include "foundation/DrawHelpers.h"

namespace zrv {

class MergeModel {
public:
    static constexpr int kCardW = 192, kCardH = 245;
    // Sound effects of the buttons.
    static constexpr int kSoundLeft = 38, kSoundRight = 37, kSoundExecute = 39;

    // left is the selected unit, right the unit on the clicked hex; view
    // (may be null) plays the sounds.
    MergeModel(CZRKGameDoc& doc, UNITSTRUCT& left, UNITSTRUCT& right, DialogView* view);

    bool LeftEnabled() const { return m_bLeft; }
    bool RightEnabled() const { return m_bRight; }
    bool ExecuteEnabled() const { return m_bExecute; }
    int Amount() const { return m_nAmount; }
    const MergeBuffer& Left() const { return m_Left; }
    const MergeBuffer& Right() const { return m_Right; }

    // "←" (one point from right to left) and "→" (one point back).
    void MoveLeft() { Step(+1); }
    void MoveRight() { Step(-1); }
    // "実行": both units are written back through the merge order; false
    // when the order refused.
    bool Execute();

    // Paints the card: background from back (may be null), text with font.
    void Paint(CDib& canvas, CDib* back, const platform::Font* font) const;

private:
    void Step(int delta);

    CZRKGameDoc& m_doc;
    UNITSTRUCT& m_unit;
    UNITSTRUCT& m_unit2;
    DialogView* m_pView;
    int m_nArmsType;
    int m_nFull = 0;
    int m_nAmount = 0;
    MergeBuffer m_Left, m_Right;
    bool m_bLeft = false, m_bRight = false, m_bExecute = false;
};

}  // namespace zrv
