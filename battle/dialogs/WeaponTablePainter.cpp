#include "battle/dialogs/WeaponTablePainter.h"

#include <algorithm>

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

constexpr int kIconSize = 12;
// The overlay of a droppable store in "weapon.pxs".
constexpr int kDropMarkY = 444;
constexpr int kIconShiftPerVariant = 9;

// x of the cells.
constexpr int kXPosition = 3, kXIcon = 57, kXName = 74, kXPieces = 225, kXAttack = 247, kXAttackStep = 25;
constexpr int kXRange = 366, kXRangeStep = 37, kXAccuracy = 449, kXOrder = 469, kXOrderStep = 13;
constexpr int kXCount = 524, kXPrice = 548, kXWeight = 577;

const char* const kDash = "－";

std::string Fmt(const char* format, int v)
{
    return platform::FormatText(format, {v});
}

int RangeColor(int v, int p, uint32_t flags)
{
    if (IsRangeHighlighted(v, p, true, flags)) return kCardRed;
    if (IsRangeHighlighted(v, p, false, flags)) return kCardYellow;
    return kCardDefault;
}

}  // namespace

bool IsRangeHighlighted(int v, int p, bool bAlt, uint32_t flags)
{
    if ((flags & kWeaponRangeHighlight) == 0) return false;
    const uint32_t expected = (v > 1 ? 0x200u : 0u) | (p != 0 ? 0x400u : 0u) | (bAlt ? 0x100u : 0u);
    return (flags & kWeaponRangeMarks) == expected;
}

WeaponTableLayout LayoutWeaponTable(const WeaponTableInput& in)
{
    WeaponTableLayout out;
    UNITSTRUCT temp{};
    const UNITSTRUCT* unit = in.unit;
    if (unit == nullptr) {
        if (in.menuMode)
            InitUnitRecord(nullptr, temp, -1, kNoHex, in.armsType, 0, nullptr, {});
        else
            InitUnitRecord(in.country, temp, -1, kNoHex, in.armsType, 0, in.game, {});
        unit = &temp;
    }
    const bool allWeapons = in.set == kSpecPageAllWeapons;
    if (!allWeapons)
        for (int i = 0; i < 2; ++i) out.load[static_cast<size_t>(i)] = SumUnitWeaponValue(*unit, i, in.set);

    // Rounds per slot: the set's own, the unit's present ones, or none.
    const int32_t* counts = nullptr;
    if (in.set >= 0 && in.setRecord != nullptr) counts = in.setRecord->nCount;
    else if (in.set == kSpecPageCurrent) counts = unit->nAmmo;

    if (in.unit != nullptr && !in.menuMode) out.heightBonus = GetUnitTerrainHeight(*in.unit);

    const DataLibrary& lib = Lib();
    int y = kWeaponFirstRowY;
    for (int slot = 0; slot < kWeaponSlots; ++slot) {
        const WEAPONSTRUCT* w = WeaponRecord(in.armsType, slot);
        if (w == nullptr || w->nWeaponNo == 0) break;
        const int count = counts != nullptr ? counts[slot] : 0;
        if (counts != nullptr && count == 0) {
            if (in.keepEmptyRows) y += kWeaponRowH;
            continue;
        }
        const uint32_t f = w->dwWeaponFlag;
        CardTexts& t = out.texts;

        WeaponTableRow row;
        row.slot = slot;
        row.y = y;
        row.iconRow = w->byType;
        row.iconShift = w->byGroup * kIconShiftPerVariant;
        row.droppable = IsDroppable(*w);
        out.rows.push_back(row);

        t.push_back({kXPosition, y, TableText(lib.WeaponPositionName, w->nPosition), kCardDefault});
        t.push_back({kXName, y, TableText(lib.WeaponName, w->nWeaponNo), kCardDefault});
        t.push_back({kXPieces, y, Fmt("%2d", w->nPieces), (f & 1u) ? kCardBlue : kCardDefault});
        for (int i = 0; i < 5; ++i) {
            int color = kCardDefault;
            if (i == 0) color = (f & 2u) ? kCardBlue : (f & 4u) ? kCardGreen : kCardDefault;
            t.push_back({kXAttack + kXAttackStep * i, y, Fmt("%3d", w->nAttack[i]), color});
        }
        for (int p = 0; p < 2; ++p) {
            const int x = kXRange + kXRangeStep * p;
            const int mn = w->nRange[2 * p];
            int mx = w->nRange[2 * p + 1];
            if (mx > 1) mx += out.heightBonus;
            if (mn == 0 && mx == 0) {
                t.push_back({x, y, "  －  ", kCardDefault});
            } else if (mx != mn) {
                t.push_back({x, y, Fmt("%2d", mn), RangeColor(mn, p, f)});
                t.push_back({x, y, Fmt("  ～%2d", mx), RangeColor(mx, p, f)});
            } else {
                t.push_back({x, y, Fmt("    %2d", mx), RangeColor(mx, p, f)});
            }
        }
        t.push_back({kXAccuracy, y, w->nAccuracy != 0 ? Fmt("%2d%%", w->nAccuracy) : kDash, kCardDefault});
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) {
                const int x = kXOrder + kXOrderStep * (2 * i + j);
                const int v = w->nInitiative[2 * i + j];
                const int load = out.load[static_cast<size_t>(i)];
                if (v == 0)
                    t.push_back({x, y, kDash, kCardDefault});
                else if (!allWeapons && load != 0)
                    t.push_back({x, y, Fmt("%2d", std::max(1, v - load)), kCardRed});
                else
                    t.push_back({x, y, Fmt("%2d", v), kCardDefault});
            }
        t.push_back({kXCount, y, allWeapons ? std::string(kDash) : Fmt("%2d", count), kCardDefault});
        t.push_back({kXPrice, y, Fmt("%3d", w->nRoundPrice), kCardDefault});
        if (w->nLoad == 0)
            t.push_back({kXWeight, y, kDash, kCardDefault});
        else
            t.push_back({kXWeight, y, platform::FormatText("%c%2d", {(f & 8u) ? 'T' : 'A', w->nLoad}), kCardDefault});
        y += kWeaponRowH;
    }
    return out;
}

bool DrawWeaponTable(const WeaponTableInput& in, CDib* card, CDib* spec, CDib* weapons, const platform::Font* font)
{
    if (card == nullptr || card->GetBits() == nullptr) return false;
    const WeaponTableLayout layout = LayoutWeaponTable(in);
    if (spec != nullptr) spec->CopyRect(card, 0, 0, kWeaponCardW, kWeaponCardH, 0, 0, -1);
    if (weapons != nullptr) {
        const int iconRows = weapons->GetHeight() / kIconSize;
        for (const WeaponTableRow& r : layout.rows) {
            // An effect id past the icons shows no icon.
            if (r.iconRow < iconRows)
                weapons->CopyRectIndexOffset(card, kXIcon, r.y, kIconSize, kIconSize, 0, r.iconRow * kIconSize,
                                             r.iconShift);
            if (r.droppable) weapons->CopyRect(card, kXIcon, r.y, kIconSize, kIconSize, 0, kDropMarkY, 0);
        }
    }
    DrawCardTexts(*card, font, layout.texts);
    return true;
}

}  // namespace zrv
