// The unit data sheet without a window: its pages and titles, the page
// change and refresh rules, and the weapon table's rows, cells, colours,
// ranges and firing order on fixture types with one, three and six sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "battle/dialogs/SpecSheetModel.h"
#include "battle/dialogs/WeaponTablePainter.h"
#include "dialogs/SpecFixture.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using namespace spectest;

struct PageCase {
    const char* name;
    int type;
    bool withUnit;
    int mode;  // the unit's fitted set
    bool setsOnly;
    std::vector<int> sets;
    std::vector<int> titles;
};

TEST(SpecSheet, PagesAndTitles)
{
    ScopedSpecLibrary lib;
    const PageCase cases[] = {
        {"one set, no unit", kOneSet, false, 0, false, {0}, {4}},
        {"one set, a unit", kOneSet, true, 0, false, {-2, 0}, {20, 24}},
        {"three sets, a unit on set 1", kThreeSets, true, 1, false, {-2, 0, 1, 2, -1}, {20, 3, 25, 7, 19}},
        {"three sets, no unit", kThreeSets, false, 0, false, {0, 1, 2, -1}, {3, 5, 7, 19}},
        {"three sets only, a unit on set 1", kThreeSets, true, 1, true, {0, 1, 2}, {3, 5, 7}},
        {"six sets, a unit on set 0", kSixSets, true, 0, false, {-2, 0, 1, 2, 3, 4, 5, -1}, {20, 21, 2, 3, 4, 5, 99, 19}},
        {"six sets only", kSixSets, true, 0, true, {0, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 99}},
    };
    SpecGame g;
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        UNITSTRUCT& u = g.Unit(0, 0, c.type);
        u.nMode = c.mode;
        SpecSheetModel sheet(c.type, c.withUnit ? &u : nullptr, c.setsOnly);
        sheet.AddPages();
        std::vector<int> sets, titles;
        for (int i = 0; i < sheet.PageCount(); ++i) {
            sets.push_back(sheet.Page(i).set);
            titles.push_back(sheet.Page(i).titleIndex);
            // A title past the table's 41 entries is empty.
            const std::string expected = titles.back() < 41 ? "PACK" + std::to_string(titles.back()) : "";
            EXPECT_EQ(sheet.Page(i).title, expected) << "page " << i;
        }
        EXPECT_EQ(sets, c.sets);
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ((sheet.Flags() & kSheetHasCurrentPage) != 0, c.sets.front() == kSpecPageCurrent);
    }
}

TEST(SpecSheet, PageChangesReachOnlyAHostThatAsks)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& u = g.Unit(0, 0, kThreeSets);
    SpecSheetModel sheet(kThreeSets, &u, true);
    sheet.AddPages();
    std::vector<int> told;
    sheet.SetPageReport([&](int page) { told.push_back(page); });
    // Before the layout nothing counts.
    EXPECT_FALSE(sheet.PageChanged(2));
    EXPECT_TRUE(told.empty());
    sheet.LaidOut(0);
    sheet.PageChanged(2);
    sheet.PageChanged(1);
    EXPECT_EQ(told, (std::vector<int>{2, 1}));
    EXPECT_EQ(sheet.ActivePage(), 1);
    // A sets-only sheet has no current page to refresh.
    EXPECT_EQ(sheet.RefreshCurrentPage(), SpecSheetModel::Refresh::None);
}

TEST(SpecSheet, RefreshWhileAnotherTabIsShownWaitsForPageZero)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& u = g.Unit(0, 0, kThreeSets);
    SpecSheetModel sheet(kThreeSets, &u, false);
    sheet.AddPages();
    sheet.LaidOut(0);
    EXPECT_EQ(sheet.RefreshCurrentPage(), SpecSheetModel::Refresh::Now);
    EXPECT_FALSE(sheet.Flags() & kSheetRepaintCurrent);
    EXPECT_FALSE(sheet.PageChanged(2));
    EXPECT_EQ(sheet.RefreshCurrentPage(), SpecSheetModel::Refresh::Later);
    EXPECT_TRUE(sheet.Flags() & kSheetRepaintCurrent);
    EXPECT_FALSE(sheet.PageChanged(3)) << "only page 0 is painted";
    EXPECT_TRUE(sheet.PageChanged(0));
    EXPECT_FALSE(sheet.Flags() & kSheetRepaintCurrent);
    EXPECT_FALSE(sheet.PageChanged(0)) << "painted once";

    // A bare type has no current page: nothing is ever refreshed.
    SpecSheetModel bare(kThreeSets, nullptr, false);
    bare.AddPages();
    bare.LaidOut(1);
    EXPECT_EQ(bare.RefreshCurrentPage(), SpecSheetModel::Refresh::None);
    EXPECT_FALSE(bare.Flags() & kSheetRepaintCurrent);
}

// --- the weapon table ------------------------------------------------------------

// The texts of the row at y, by x (ranges may have two texts at one x).
std::vector<CardText> RowTexts(const WeaponTableLayout& l, int y)
{
    std::vector<CardText> out;
    for (const CardText& t : l.texts)
        if (t.y == y) out.push_back(t);
    return out;
}

const CardText* At(const std::vector<CardText>& row, int x, int nth = 0)
{
    for (const CardText& t : row)
        if (t.x == x && nth-- == 0) return &t;
    return nullptr;
}

WeaponTableInput SetPage(const SpecGame& g, int type, const UNITSTRUCT* unit, int set)
{
    WeaponTableInput in;
    in.armsType = type;
    in.unit = unit;
    in.set = set;
    in.setRecord = set >= 0 ? &ArmsRecord(type)->Arm[set] : nullptr;
    in.country = &g.game->Country[0];
    in.game = g.game.get();
    return in;
}

TEST(WeaponTable, RowsCloseUpUnlessTheCountryKeepsTheGap)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    struct Case {
        const char* name;
        int set;
        bool keep;
        std::vector<int> slots, ys;
    };
    const Case cases[] = {
        {"set 0: slot 1 empty, rows close up", 0, false, {0, 2}, {30, 42}},
        {"set 0: the gap stays", 0, true, {0, 2}, {30, 54}},
        {"set 2: only slot 2", 2, false, {2}, {30}},
        {"set 2: two gaps", 2, true, {2}, {54}},
        {"all weapons: every slot up to the first id 0", kSpecPageAllWeapons, false, {0, 1, 2}, {30, 42, 54}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WeaponTableInput in = SetPage(g, kThreeSets, nullptr, c.set);
        in.keepEmptyRows = c.keep;
        const WeaponTableLayout l = LayoutWeaponTable(in);
        std::vector<int> slots, ys;
        for (const WeaponTableRow& r : l.rows) slots.push_back(r.slot), ys.push_back(r.y);
        EXPECT_EQ(slots, c.slots);
        EXPECT_EQ(ys, c.ys);
        for (const CardText& t : l.texts) EXPECT_NE(t.text, "WEAPON5") << "slot 4 lies past the end";
    }
}

TEST(WeaponTable, EveryCellOfARowWithItsColour)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    // Set 1 fills slots 0 (air load 2) and 1 (surface load 4).
    const WeaponTableLayout l = LayoutWeaponTable(SetPage(g, kThreeSets, nullptr, 1));
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(l.load, (std::array<int, 2>{2, 4}));
    struct Cell {
        int y, x;
        const char* text;
        int color;
    };
    const Cell cells[] = {
        // Slot 0: pieces and first attack blue; ranges 0/0 and 1-3.
        {30, 3, "POS1", kCardDefault},
        {30, 74, "WEAPON1", kCardDefault},
        {30, 225, " 1", kCardBlue},
        {30, 247, " 10", kCardBlue},
        {30, 272, " 11", kCardDefault},
        {30, 347, " 14", kCardDefault},
        {30, 366, "  －  ", kCardDefault},
        {30, 403, " 1", kCardDefault},
        {30, 449, "－", kCardDefault},
        // Firing order: air values less the air load 2 in red, surface less 4.
        {30, 469, " 2", kCardRed},
        {30, 482, "－", kCardDefault},
        {30, 495, " 2", kCardRed},
        {30, 508, " 1", kCardRed},
        {30, 524, " 2", kCardDefault},
        {30, 548, "101", kCardDefault},
        {30, 577, "A 2", kCardDefault},
        // Slot 1: first attack green, equal range pair, weight 'T'.
        {42, 3, "POS2", kCardDefault},
        {42, 225, " 2", kCardDefault},
        {42, 247, " 20", kCardGreen},
        {42, 366, "     2", kCardDefault},
        {42, 449, "75%", kCardDefault},
        {42, 469, " 3", kCardRed},
        {42, 482, " 7", kCardRed},
        {42, 495, " 1", kCardRed},
        {42, 508, " 1", kCardRed},
        {42, 524, " 8", kCardDefault},
        {42, 577, "T 4", kCardDefault},
    };
    for (const Cell& c : cells) {
        SCOPED_TRACE(testing::Message() << "cell (" << c.x << ", " << c.y << ")");
        const std::vector<CardText> row = RowTexts(l, c.y);
        const CardText* t = At(row, c.x);
        ASSERT_NE(t, nullptr);
        EXPECT_PRED_FORMAT2(testsupport::SjisEq, t->text, c.text);
        EXPECT_EQ(t->color, c.color);
    }
    // The second text of a range with two values sits at the same x.
    const std::vector<CardText> first = RowTexts(l, 30);
    const CardText* max = At(first, 403, 1);
    ASSERT_NE(max, nullptr);
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, max->text, "  ～ 3");
}

TEST(WeaponTable, AllWeaponsPageShowsNoCountsAndNoReduction)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    const WeaponTableLayout l = LayoutWeaponTable(SetPage(g, kThreeSets, nullptr, kSpecPageAllWeapons));
    EXPECT_EQ(l.load, (std::array<int, 2>{0, 0}));
    for (int y : {30, 42, 54}) {
        const std::vector<CardText> row = RowTexts(l, y);
        EXPECT_PRED_FORMAT2(testsupport::SjisEq, At(row, 524)->text, "－");
        for (int x : {469, 482, 495, 508}) EXPECT_EQ(At(row, x)->color, kCardDefault);
    }
    EXPECT_EQ(At(RowTexts(l, 30), 469)->text, " 4");
    // Slot 2 has no weight.
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, At(RowTexts(l, 54), 577)->text, "－");
}

TEST(WeaponTable, CurrentPageCountsTheUnitsRoundsAndLoads)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& u = g.Unit(0, 0, kThreeSets);
    u.nAmmo[0] = 0;
    u.nAmmo[1] = 3;
    u.nAmmo[2] = 1;
    WeaponTableInput in = SetPage(g, kThreeSets, &u, kSpecPageCurrent);
    const WeaponTableLayout l = LayoutWeaponTable(in);
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(l.rows[0].slot, 1);
    EXPECT_EQ(l.load, (std::array<int, 2>{0, 4})) << "slot 0 has no rounds, its air load is off";
    const std::vector<CardText> row = RowTexts(l, 30);
    EXPECT_EQ(At(row, 524)->text, " 3");
    // No air load: the air orders unchanged and black.
    EXPECT_EQ(At(row, 469)->text, " 5");
    EXPECT_EQ(At(row, 469)->color, kCardDefault);
    EXPECT_EQ(At(row, 495)->text, " 1");
    EXPECT_EQ(At(row, 495)->color, kCardRed);
}

TEST(WeaponTable, RangeCellsAndTheHeightBonus)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& tank = g.Unit(0, 0, kThreeSets);
    tank.dwHexCell = kHill;
    // The same table for an air-domain unit on the same hill: no bonus.
    UNITSTRUCT& plane = g.Unit(0, 1, zrvtest::kFixtureFighter);
    plane.dwHexCell = kHill;
    WeaponTableInput in = SetPage(g, kThreeSets, &tank, 1);
    WeaponTableLayout l = LayoutWeaponTable(in);
    EXPECT_EQ(l.heightBonus, kHillHeight);
    // Slot 0: pair 1 is 1-3 → 1-6. Slot 1: pair 0 is 2/2 → 2-5, pair 1 1-4 → 1-7.
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, At(RowTexts(l, 30), 403, 1)->text, "  ～ 6");
    EXPECT_EQ(At(RowTexts(l, 42), 366, 0)->text, " 2");
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, At(RowTexts(l, 42), 366, 1)->text, "  ～ 5");
    EXPECT_EQ(At(RowTexts(l, 42), 403, 0)->text, " 1");
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, At(RowTexts(l, 42), 403, 1)->text, "  ～ 7");

    // An air unit on the same hill: no bonus.
    in.unit = &plane;
    EXPECT_EQ(LayoutWeaponTable(in).heightBonus, 0);
    // The menu program adds no height.
    in.unit = &tank;
    in.menuMode = true;
    l = LayoutWeaponTable(in);
    EXPECT_EQ(l.heightBonus, 0);
    EXPECT_EQ(At(RowTexts(l, 42), 366)->text, "     2");
}

TEST(WeaponTable, RangeHighlight)
{
    struct Case {
        int v, p;
        bool alt;
        uint32_t flags;
        bool expected;
    };
    const Case cases[] = {
        {1, 0, false, 0x000, false},  // no bit 11: never
        {1, 0, false, 0x800, true},   {1, 0, true, 0x800, false},  {1, 0, true, 0x900, true},
        {2, 0, false, 0xA00, true},   {2, 0, false, 0x800, false}, {5, 1, false, 0xE00, true},
        {5, 1, true, 0xF00, true},    {1, 1, false, 0xC00, true},  {1, 1, false, 0xE00, false},
        {0, 0, false, 0x800, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "v " << c.v << " p " << c.p << " alt " << c.alt << " flags 0x"
                                        << std::hex << c.flags);
        EXPECT_EQ(IsRangeHighlighted(c.v, c.p, c.alt, c.flags), c.expected);
    }
}

TEST(WeaponTable, HighlightedRangesAreRedBeforeYellow)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    // Slot 1 of the three-set type (shown on set 1): pair 0 is 2/2, pair 1 is 1-4.
    WEAPONSTRUCT& w = Library().weapons[kThreeSets * kWeaponSlots + 1];
    const uint32_t saved = w.dwWeaponFlag;
    struct Case {
        uint32_t marks;
        int colorMin, colorMax;  // of pair 1
        int colorPair0;
    };
    const Case cases[] = {
        {0x000, kCardDefault, kCardDefault, kCardDefault},
        {0xC00, kCardYellow, kCardDefault, kCardDefault},  // v 1, p 1, not alt
        {0xD00, kCardRed, kCardDefault, kCardDefault},     // v 1, p 1, alt
        {0xE00, kCardDefault, kCardYellow, kCardDefault},  // v > 1, p 1
        {0xA00, kCardDefault, kCardDefault, kCardYellow},  // v > 1, p 0
        {0xB00, kCardDefault, kCardDefault, kCardRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "marks 0x" << std::hex << c.marks);
        w.dwWeaponFlag = (saved & ~0xF00u) | c.marks;
        const std::vector<CardText> row = RowTexts(LayoutWeaponTable(SetPage(g, kThreeSets, nullptr, 1)), 42);
        EXPECT_EQ(At(row, 366)->color, c.colorPair0);
        EXPECT_EQ(At(row, 403, 0)->color, c.colorMin);
        EXPECT_EQ(At(row, 403, 1)->color, c.colorMax);
    }
    w.dwWeaponFlag = saved;
}

TEST(WeaponTable, BadIndexesShowNothing)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    WEAPONSTRUCT& w = Library().weapons[kOneSet * kWeaponSlots + 0];
    const WEAPONSTRUCT saved = w;
    w.nPosition = 400;
    w.nWeaponNo = 9000;
    const WeaponTableLayout l = LayoutWeaponTable(SetPage(g, kOneSet, nullptr, 0));
    w = saved;
    ASSERT_FALSE(l.rows.empty());
    const std::vector<CardText> row = RowTexts(l, 30);
    EXPECT_EQ(At(row, 3)->text, "");
    EXPECT_EQ(At(row, 74)->text, "");
    // A type outside the library has no rows at all.
    WeaponTableInput bad = SetPage(g, kOneSet, nullptr, 0);
    bad.armsType = 5000;
    bad.setRecord = nullptr;
    EXPECT_TRUE(LayoutWeaponTable(bad).rows.empty());
}

}  // namespace
