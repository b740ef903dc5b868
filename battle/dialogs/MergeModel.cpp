#include "battle/dialogs/MergeModel.h"

#include <algorithm>
#include <cstring>

#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

constexpr int kBackW = 184, kBackH = 182;
constexpr int kBarSourceY = 182, kBarH = 10, kBarW = 50;
constexpr int kExpFull = 250;

// A bar of value x 50 / full pixels; none for a full value of 0.
int BarWidth(int value, int full)
{
    if (full <= 0) return 0;
    return std::clamp(value * kBarW / full, 0, kBarW);
}

}  // namespace

MergeModel::MergeModel(CZRKGameDoc& doc, UNITSTRUCT& left, UNITSTRUCT& right, DialogView* view)
    : m_doc(doc), m_unit(left), m_unit2(right), m_pView(view), m_nArmsType(left.nArms)
{
    m_Left = CopyUnitToMergeBuffer(left);
    m_Right = CopyUnitToMergeBuffer(right);
    if (const ARMSSTRUCT* a = ArmsRecord(m_nArmsType)) m_nFull = a->nStrengthMax;
    m_bLeft = m_Left.strength != m_nFull;
    m_bRight = m_Right.strength != m_nFull;
}

void MergeModel::Step(int delta)
{
    if ((delta > 0 && !m_bLeft) || (delta < 0 && !m_bRight)) return;
    m_nAmount += delta;
    m_Left = CopyUnitToMergeBuffer(m_unit);
    m_Right = CopyUnitToMergeBuffer(m_unit2);
    TransferMergeStrength(m_Left, m_Right, m_nAmount);
    if (delta > 0) {
        if (m_pView) m_pView->PlayDialogSound(kSoundLeft);
        if (m_Right.strength == 0 || m_Left.strength == m_nFull) m_bLeft = false;
        m_bRight = m_Left.strength != 0;
    } else {
        if (m_pView) m_pView->PlayDialogSound(kSoundRight);
        if (m_Left.strength == 0 || m_Right.strength == m_nFull) m_bRight = false;
        m_bLeft = m_Right.strength != 0;
    }
    m_bExecute = m_nAmount != 0;
}

bool MergeModel::Execute()
{
    if (!m_bExecute) return false;
    if (m_pView) m_pView->PlayDialogSound(kSoundExecute);
    return CommitMerge(m_doc, m_unit, m_unit2, m_Left, m_Right, m_nAmount).Done();
}

void MergeModel::Paint(CDib& canvas, CDib* back, const platform::Font* font) const
{
    DrawContext dc;
    dc.surface = canvas.Surface();
    dc.font = font;
    if (back != nullptr) back->CopyRect(&canvas, 4, 4, kBackW, kBackH, 0, 0, -1);
    const DataLibrary& lib = Lib();
    for (int i = 0; i < kWeaponSlots; ++i) {
        const WEAPONSTRUCT* w = WeaponRecord(m_nArmsType, i);
        if (w == nullptr || w->nWeaponNo <= 0) continue;
        const int y = 9 + 12 * i;
        const char* name = TableText(lib.WeaponName, w->nWeaponNo);
        // Centred in 24 half-width columns by its length in bytes.
        const int len = static_cast<int>(std::strlen(name));
        dc.TextOut((24 - len) * 6 / 2 + 24, y, name);
        dc.TextOut(9, y, platform::FormatText("%2d", {m_Left.ammo[static_cast<size_t>(i)]}));
        dc.TextOut(171, y, platform::FormatText("%2d", {m_Right.ammo[static_cast<size_t>(i)]}));
    }
    const ARMSSTRUCT* a = ArmsRecord(m_nArmsType);
    const int fuelFull = a != nullptr ? a->nFuelMax : 0;
    struct Side {
        const MergeBuffer& b;
        int barX, textX;
    };
    for (const Side& side : {Side{m_Left, 10, 67}, Side{m_Right, 132, 108}}) {
        const int values[3] = {side.b.strength, side.b.fuel, side.b.exp};
        const int fulls[3] = {m_nFull, fuelFull, kExpFull};
        for (int k = 0; k < 3; ++k) {
            dc.TextOut(side.textX, 131 + 19 * k, platform::FormatText("%3d", {values[k]}));
            const int w = BarWidth(values[k], fulls[k]);
            if (w > 0 && back != nullptr) back->CopyRect(&canvas, side.barX, 132 + 19 * k, w, kBarH, 50 * k, kBarSourceY, -1);
        }
    }
}

}  // namespace zrv
