// The force, weapon and terrain tables without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "battle/dialogs/ReferenceTables.h"
#include "dialogs/TableFixture.h"

namespace {

using namespace zrv;
using namespace tabletest;
using zrvtest::kFixtureDestroyer;
using zrvtest::kFixtureFighter;
using zrvtest::kFixtureInfantry;
using zrvtest::kFixtureSubmarine;
using zrvtest::kFixtureTank;

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// --- force table -------------------------------------------------------------------------

TEST(ForceTableTest, EveryClassHasOneKindAndEveryKindAClass)
{
    std::set<int> used;
    for (int c = 0; c < kClassCount; ++c) {
        const int column = ForceKindColumn(c);
        EXPECT_GE(column, 2) << c;
        EXPECT_LE(column, 16) << c;
        used.insert(column);
    }
    EXPECT_EQ(used.size(), 15u);
    EXPECT_EQ(ForceKindColumn(-1), -1);
    EXPECT_EQ(ForceKindColumn(kClassCount), -1);
    // A few rows of the table: aircraft 33-54, ships 55-62, 59 submarines.
    const std::pair<int, int> samples[] = {{33, 2}, {50, 3}, {52, 4}, {31, 5}, {53, 6}, {14, 7}, {17, 8},
                                           {19, 9}, {27, 10}, {22, 11}, {32, 12}, {30, 13}, {28, 14},
                                           {62, 15}, {59, 16}};
    for (auto [cls, column] : samples) EXPECT_EQ(ForceKindColumn(cls), column) << cls;
}

TEST(ForceTableTest, SumsByKindWithZerosForACountryWithoutUnits)
{
    ScopedTableLibrary lib;
    TableBattle b;
    b.Unit(0, kFixtureTank, 1, MakeHex(22, 13), 7);
    b.Unit(1, kFixtureTank, 2, MakeHex(22, 14), 5);
    b.Unit(2, kFixtureFighter, 3, MakeHex(22, 15), 4);
    b.Unit(3, kFixtureSubmarine, 4, MakeHex(22, 16), 2);
    b.Unit(4, 999, 5, MakeHex(22, 17), 50);  // beyond the library: no kind
    b.game->Country[0].Unit[5] = b.game->Country[0].Unit[0];
    b.game->Country[0].Unit[5].dwFlag = 0;  // not in use
    std::snprintf(b.game->Country[0].szName, sizeof b.game->Country[0].szName, "North");
    b.game->Country[3].dwFlag = kCountryPresent;  // present, no units
    b.game->Country[2].dwFlag = 0;                // absent
    ForceTableModel m(*b.game);
    ASSERT_EQ(m.RowCount(), 3);  // countries 0, 1 and 3
    const ForceRecord& north = m.Row(0);
    EXPECT_EQ(north[0], 0);
    EXPECT_EQ(north[1], 18);
    EXPECT_EQ(north[7], 12);  // tanks
    EXPECT_EQ(north[2], 4);   // fighters
    EXPECT_EQ(north[16], 2);  // submarines
    int kinds = 0;
    for (int c = 2; c < kForceColumns; ++c) kinds += north[static_cast<size_t>(c)];
    EXPECT_EQ(kinds, north[1]);
    EXPECT_EQ(m.CellText(0, 0), "North");
    EXPECT_EQ(m.CellText(0, 1), " 18");
    for (int c = 1; c < kForceColumns; ++c) EXPECT_EQ(m.CellText(2, c), "  0") << c;
    EXPECT_EQ(m.Row(2)[0], 3);
}

TEST(ForceTableTest, TiesFallToTheCountryIndexBeforeTheDirection)
{
    ForceRecord a{}, b{};
    a[0] = 1;
    b[0] = 4;
    a[1] = b[1] = 30;
    EXPECT_LT(ForceTableModel::Compare(a, b, 1, false), 0);
    // Descending reverses the tie too.
    EXPECT_GT(ForceTableModel::Compare(a, b, 1, true), 0);
    b[1] = 10;
    EXPECT_GT(ForceTableModel::Compare(a, b, 1, false), 0);
    EXPECT_LT(ForceTableModel::Compare(a, b, 1, true), 0);
}

// --- weapon table ------------------------------------------------------------------------

class WeaponTableTest : public ::testing::Test {
protected:
    ScopedTableLibrary lib;
    TableBattle b;
    COUNTRYSTRUCT& country = b.game->Country[0];

    void SetUp() override
    {
        country.dwArmsAvail[kFixtureInfantry] = kArmsSeen | PackDate(39, 9, 1);
        country.dwArmsAvail[kFixtureFighter] = kArmsSeen | PackDate(41, 6, 22);
        country.dwArmsAvail[kFixtureDestroyer] = kArmsSeen | PackDate(40, 12, 5);
        country.dwArmsAvail[kFixtureTank] = PackDate(40, 1, 1);  // known date, never seen
        country.dwArmsAvail[100] = kArmsSeen;                    // beyond g_nMaxUnit
    }

    std::vector<int> Types(const WeaponTableModel& m)
    {
        std::vector<int> t;
        for (int r = 0; r < m.RowCount(); ++r) t.push_back(m.RowType(r));
        return t;
    }
};

TEST_F(WeaponTableTest, OnlySeenTypesWithTheirTexts)
{
    WeaponTableModel m(country);
    EXPECT_EQ(Types(m), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(m.Caption(), "兵器表 (3)");
    const std::vector<std::string> fighter{"   3", "UNITJ3", "CLASSJ33", "NATION1", "15,000", "41. 6.22"};
    for (int c = 0; c < kWeaponColumns; ++c) EXPECT_EQ(m.CellText(1, c), fighter[static_cast<size_t>(c)]) << c;
    EXPECT_EQ(m.CellText(0, 4), "   200");  // the amount format's width
    EXPECT_EQ(m.SortKey(3, 4), 15000);
    EXPECT_EQ(m.SortKey(3, 5), PackDate(41, 6, 22));
}

TEST_F(WeaponTableTest, NamesSortByTheOtherLanguageList)
{
    WeaponTableModel m(country);
    m.ClickColumn(1);  // ascending by UnitName: whiskey (4), xray (3), zulu (1)
    EXPECT_EQ(Types(m), (std::vector<int>{4, 3, 1}));
    m.ClickColumn(1);
    EXPECT_EQ(Types(m), (std::vector<int>{1, 3, 4}));
    // Equal keys fall back to the type number ascending in both directions.
    EXPECT_LT(m.Compare(1, 6, 2, false), 0);  // both class 0
    EXPECT_LT(m.Compare(1, 6, 2, true), 0);
}

TEST_F(WeaponTableTest, RightClickOpensTheBareTypeAndAnEmptyTableStaysUsable)
{
    WeaponTableModel m(country);
    EXPECT_EQ(m.RightClick(0).arms, kFixtureInfantry);
    EXPECT_EQ(m.RightClick(0).country, 0);  // nation 0
    EXPECT_EQ(m.RightClick(2).arms, kFixtureDestroyer);
    EXPECT_EQ(m.RightClick(2).country, -1);
    EXPECT_EQ(m.RightClick(7).arms, -1);

    COUNTRYSTRUCT& other = b.game->Country[1];
    WeaponTableModel none(other);
    EXPECT_EQ(none.RowCount(), 0);
    EXPECT_EQ(none.Caption(), "兵器表 (0)");
    none.ClickColumn(4);
    EXPECT_EQ(none.RightClick(0).arms, -1);
}

// --- terrain table -----------------------------------------------------------------------

class TerrainTableTest : public ::testing::Test {
protected:
    ScopedTableLibrary lib;

    std::vector<int> Terrains(const TerrainTableModel& m)
    {
        std::vector<int> t;
        for (int r = 0; r < m.RowCount(); ++r) t.push_back(m.RowTerrain(r));
        return t;
    }
};

TEST_F(TerrainTableTest, RowsLeaveOutMarkedTerrainsAndEndWithTheRoads)
{
    TerrainTableModel m;
    const std::vector<int> rows = Terrains(m);
    ASSERT_EQ(rows.size(), 95u);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), kHiddenTerrain), 0);
    EXPECT_EQ(std::vector<int>(rows.end() - 5, rows.end()), (std::vector<int>{91, 92, 93, 94, 95}));
    EXPECT_EQ(m.TerrainText(92, 0), "ROUTE1");
    EXPECT_EQ(m.TerrainText(92, 1), "-");  // roads show no terrain effect
    EXPECT_EQ(m.TerrainText(zrvtest::kFixtureCity, 0), "TERRAIN9");
    EXPECT_EQ(m.TerrainText(zrvtest::kFixtureCity, 1), " 40");
}

TEST_F(TerrainTableTest, ProductSupplyAndRoadCells)
{
    const std::pair<uint32_t, int> products[] = {{0x40000000u, 1}, {0x20000000u, 2}, {0x10000000u, 3},
                                                 {0x08000000u, 4}, {0x78000000u, 1}, {0x30000000u, 2},
                                                 {0x84000000u, 0}, {0u, 0}};
    for (auto [flags, entry] : products) EXPECT_EQ(TerrainProductEntry(flags), entry) << std::hex << flags;
    const int supply[8] = {0, 0, 2, 3, 0, 0, 1, 0};
    for (int v = 0; v < 8; ++v) EXPECT_EQ(TerrainSupplyEntry(v), supply[v]) << v;

    TerrainTableModel m;
    // The city: flags bits 28, 29 (product 2), base field 0x4606: air 6, ground 0, ships 6, vehicles 0.
    const int city = zrvtest::kFixtureCity;
    EXPECT_EQ(m.TerrainText(city, 2), "PRODUCT2");
    EXPECT_EQ(m.TerrainText(city, 3), "SUPPLY1");
    EXPECT_EQ(m.TerrainText(city, 4), "SUPPLY0");
    EXPECT_EQ(m.TerrainText(city, 5), "SUPPLY1");
    EXPECT_EQ(m.TerrainText(city, 7), "WORK1");
    EXPECT_EQ(m.TerrainText(zrvtest::kFixtureFort, 7), "WORK0");  // bit 26
    // Road 3's base field 0x0200: ships' field 2.
    EXPECT_EQ(m.TerrainText(94, 5), "SUPPLY2");
}

TEST_F(TerrainTableTest, CostsNeedAMoveTypeAndImpassableSortsLast)
{
    TerrainTableModel m;
    EXPECT_EQ(m.TerrainText(kCostlyTerrain, 8), "-");
    m.ClickColumn(8);
    m.ClickColumn(8);
    const std::vector<int> plain = Terrains(TerrainTableModel());
    EXPECT_EQ(Terrains(m), plain);  // no move type: terrain order in both directions

    m.ChooseMoveType(0);
    EXPECT_EQ(m.TerrainText(kCostlyTerrain, 8), " 3");
    EXPECT_EQ(m.TerrainText(kCostlyTerrain, 9), " 4");
    EXPECT_EQ(Terrains(m), plain);  // a new move type refills in terrain order

    m.ChooseMoveType(1);
    EXPECT_EQ(m.TerrainText(kCostlyTerrain, 8), "-");
    m.ClickColumn(8);  // the third click: ascending again
    ASSERT_FALSE(m.SortState().Descending());
    const std::vector<int> rows = Terrains(m);
    bool seenImpassable = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool impassable = TerrainTableModel::Cost(rows[i], 1, false) == 0;
        if (seenImpassable) {
            EXPECT_TRUE(impassable) << rows[i] << " after an impassable terrain";
        }
        seenImpassable = seenImpassable || impassable;
        if (i > 0 && TerrainTableModel::SortKey(rows[i], 8, 1) == TerrainTableModel::SortKey(rows[i - 1], 8, 1)) {
            EXPECT_LT(rows[i - 1], rows[i]);  // ties by terrain number
        }
    }
    EXPECT_TRUE(seenImpassable);
    EXPECT_EQ(TerrainTableModel::SortKey(kCostlyTerrain, 8, 1), kImpassableKey);

    // Move types outside the tables show "-" and choose none.
    m.ChooseMoveType(34);
    EXPECT_EQ(m.MoveType(), kNoMoveType);
    EXPECT_EQ(TerrainTableModel::Cost(kCostlyTerrain, 40, false), -1);
    EXPECT_EQ(TerrainTableModel::Cost(96, 0, false), -1);
}

TEST_F(TerrainTableTest, TerrainZeroTakesItsPlaceInATotalOrder)
{
    TerrainTableModel m;
    m.ClickColumn(0);  // descending by number
    EXPECT_EQ(Terrains(m).back(), 0);
    for (uint32_t parameter : {0x00000000u, 0x80000001u, 0x00010008u, 0x80000008u}) {
        for (int a : {0, 1, 7, 91}) {
            EXPECT_NE(m.Compare(a, a == 0 ? 1 : 0, parameter), 0);
            for (int b2 : {0, 1, 7, 91}) EXPECT_EQ(Sign(m.Compare(a, b2, parameter)), -Sign(m.Compare(b2, a, parameter)));
        }
    }
}

TEST_F(TerrainTableTest, RepeatedMoveTypeWordsGiveOneEntry)
{
    const auto entries = TerrainTableModel::MoveTypeEntries();
    ASSERT_EQ(entries.size(), 31u);
    EXPECT_EQ(entries[2].moveType, 2);
    EXPECT_EQ(entries[3].moveType, 4);
    EXPECT_EQ(entries[3].text, "MOVE4");
    EXPECT_EQ(entries[9].moveType, 10);
    EXPECT_EQ(entries[10].moveType, 13);
}

TEST(TerrainTableLayoutTest, PlacesFollowTheScrollBarWidth)
{
    const TerrainTableLayout l = TerrainTableLayoutFor(17);
    EXPECT_EQ(l.clientWidth, 511);
    EXPECT_EQ(l.clientHeight, 296);
    EXPECT_EQ(l.labelX, 303);
    EXPECT_EQ(l.comboX, 381);
    EXPECT_EQ(l.listW, 501);
    EXPECT_EQ(l.listX + l.listW + 5, l.clientWidth);
}

}  // namespace
