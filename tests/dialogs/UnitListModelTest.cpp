// The unit list without a window: row texts, icons, sorting, the rows a
// carrier takes along, the caption and what a click on a row does.
#include <gtest/gtest.h>

#include <algorithm>

#include "battle/dialogs/UnitListModel.h"
#include "battle/engine/GameDoc.h"
#include "dialogs/TableFixture.h"

namespace {

using namespace zrv;
using namespace tabletest;
using zrvtest::kFixtureDestroyer;
using zrvtest::kFixtureInfantry;
using zrvtest::kFixtureTank;

class UnitListModelTest : public ::testing::Test {
protected:
    ScopedTableLibrary lib;
    ScopedDialogs dialogs;
    TableBattle b;

    std::vector<int> Serials(const UnitListModel& m)
    {
        std::vector<int> s;
        for (int r = 0; r < m.RowCount(); ++r) s.push_back(m.RowUnit(r)->nSerial);
        return s;
    }
};

TEST_F(UnitListModelTest, RowTextsShowTheUnitAndLeaveXAndYEmptyOffTheMapArea)
{
    UNITSTRUCT& tank = b.Unit(0, kFixtureTank, 7, MakeHex(22, 13), 8);
    tank.nExp = 120;
    tank.nFuel = 30;
    tank.nBattery = 4;
    UNITSTRUCT& ship = b.Unit(1, kFixtureDestroyer, 12, MakeHex(60, 13), 3);  // below the map area
    UnitListModel m(*b.game, b.host, false);
    m.Fill();
    const std::vector<std::string> tankRow{"  7", "CLASS4", "LEVEL2", "UNITJ2", " 8c", " 34", "STATUS0", " 4", " 3", ""};
    const std::vector<std::string> shipRow{" 12", "CLASS57", "LEVEL0", "UNITJ4", " 3P", " 50", "STATUS0", "", "", ""};
    for (int c = 0; c < kUnitListColumns; ++c) {
        EXPECT_EQ(m.UnitText(tank, c), tankRow[static_cast<size_t>(c)]) << "column " << c;
        EXPECT_EQ(m.UnitText(ship, c), shipRow[static_cast<size_t>(c)]) << "column " << c;
    }
    // The serial is its low 16 bits.
    tank.nSerial = 0x10005;
    EXPECT_EQ(m.UnitText(tank, 0), "  5");
}

TEST_F(UnitListModelTest, TransportTextsAndKeys)
{
    UNITSTRUCT& carrier = b.Unit(0, kFixtureDestroyer, 9, MakeHex(22, 13));
    UNITSTRUCT& lorry1 = b.Unit(1, kFixtureInfantry, 10, -1);
    UNITSTRUCT& lorry2 = b.Unit(2, kFixtureInfantry, 11, -1);
    UNITSTRUCT& empty = b.Unit(3, kFixtureDestroyer, 12, MakeHex(23, 13));
    UNITSTRUCT& alone = b.Unit(4, kFixtureTank, 13, MakeHex(24, 13));
    b.Board(lorry1, carrier);
    b.Board(lorry2, carrier);
    // A carrier whose cargo count says one unit but none is found aboard.
    empty.dwFlag |= kUnitCarries;
    empty.dwCargo = MakeCargo(kNoCarrier, 1);
    UnitListModel m(*b.game, b.host, false);
    m.Fill();
    struct Case {
        const UNITSTRUCT* unit;
        std::string text;
        int64_t key;
    } cases[] = {
        {&carrier, "CLASS0 CLASS0", 0xFFFF + 2 * 65536 + 1},
        {&lorry1, "9 ", 0 + 1},
        {&empty, "", 0xFFFF + 65536 + 1},
        {&alone, "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m.UnitText(*c.unit, 9), c.text) << c.unit->nSerial;
        EXPECT_EQ(TransportKey(*c.unit), c.key) << c.unit->nSerial;
        EXPECT_EQ(m.SortKey(*c.unit, 9), c.key);
    }
}

TEST_F(UnitListModelTest, StateIconFromLevelsThenFlagsTheLastWinning)
{
    constexpr uint32_t kBit19 = 0x00080000u;
    struct Case {
        int fuel, strength;
        uint32_t flags;
        int icon;
    } cases[] = {
        {0, 0, 0, 0},
        {1, 0, 0, 1},
        {2, 2, 0, 8},
        {3, 1, 0, 3},  // drop tanks count as level 0
        {0, 0, kUnitActed, 11},
        {0, 0, kUnitActed | kUnitCarried, 10},
        {2, 1, kUnitActed | kUnitCarried | kUnitInPool, 9},
        {2, 1, kUnitActed | kUnitCarried | kUnitInPool | kBit19, 12},
        {1, 1, kBit19, 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StateIconOf(c.fuel << 16 | c.strength, c.flags), c.icon)
            << c.fuel << "/" << c.strength << " " << std::hex << c.flags;
    // From the unit itself: infantry at 2 of 10 with 5 of 50 fuel.
    UNITSTRUCT& weak = b.Unit(0, kFixtureInfantry, 1, MakeHex(22, 13), 2);
    weak.nFuel = 5;
    EXPECT_EQ(UnitStateIcon(weak), 2 + 3 * 2);
}

TEST_F(UnitListModelTest, AColumnClickedTwiceReversesAndTiesStayByClassThenType)
{
    // Three units of equal strength: tank (class 4), infantry (class 0) and
    // a destroyer (class 57); one unit weaker.
    b.Unit(0, kFixtureTank, 1, MakeHex(22, 13), 5);
    b.Unit(1, kFixtureDestroyer, 2, MakeHex(22, 14), 5);
    b.Unit(2, kFixtureInfantry, 3, MakeHex(22, 15), 5);
    b.Unit(3, kFixtureInfantry, 4, MakeHex(22, 16), 2);
    b.Unit(4, zrvtest::kFixtureRetired, 5, MakeHex(22, 17), 5);  // class 0, type 6
    UnitListModel m(*b.game, b.host, false);
    m.Fill();
    // At first by class, ascending; equal classes by type.
    EXPECT_EQ(Serials(m), (std::vector<int>{3, 4, 5, 1, 2}));
    m.ClickColumn(4);  // strength: its toggle was set, so ascending
    EXPECT_FALSE(m.SortState().Descending());
    EXPECT_EQ(Serials(m), (std::vector<int>{4, 3, 5, 1, 2}));
    m.ClickColumn(4);  // reversed; the ties keep class then type ascending
    EXPECT_TRUE(m.SortState().Descending());
    EXPECT_EQ(Serials(m), (std::vector<int>{3, 5, 1, 2, 4}));
    m.ClickColumn(1);  // class, whose toggle was cleared at the start: descending
    EXPECT_EQ(Serials(m), (std::vector<int>{2, 1, 3, 4, 5}));
}

TEST_F(UnitListModelTest, PoolAndCarriedUnitsSortAfterTheMapInXAndY)
{
    b.game->dwGameOption = 0;
    b.Unit(0, kFixtureTank, 1, MakeHex(45, 39));
    b.Unit(1, kFixtureTank, 2, MakeHex(21, 11));
    UNITSTRUCT& pool = b.Pool(0, kFixtureTank, 3);
    pool.nHex = MakeHex(20, 10);  // a stale hex counts for nothing in the pool
    UnitListModel m(*b.game, b.host, true);
    m.Fill();
    ASSERT_EQ(m.RowCount(), 3);
    m.ClickColumn(7);  // ascending
    EXPECT_EQ(Serials(m), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(m.SortKey(pool, 7), 129);
    EXPECT_EQ(m.SortKey(pool, 8), 129);
    EXPECT_EQ(m.UnitText(pool, 7), "");
    m.ClickColumn(8);  // ascending
    EXPECT_EQ(Serials(m), (std::vector<int>{2, 1, 3}));
}

TEST_F(UnitListModelTest, CarrierRowsComeAndGoWithTheirCargoDepthFirst)
{
    UNITSTRUCT& ship = b.Unit(0, kFixtureDestroyer, 1, MakeHex(22, 13));
    UNITSTRUCT& truck = b.Unit(1, kFixtureTank, 2, -1);
    UNITSTRUCT& rider = b.Unit(2, kFixtureInfantry, 3, -1);
    UNITSTRUCT& other = b.Unit(3, kFixtureInfantry, 4, MakeHex(23, 13));
    b.Board(truck, ship);
    b.Board(rider, truck);  // two levels deep
    UnitListModel m(*b.game, b.host, false);
    m.Fill();
    ASSERT_EQ(m.RowCount(), 4);
    // Without cargo only the carrier goes.
    EXPECT_TRUE(m.RemoveRows(ship, false));
    EXPECT_EQ(m.RowCount(), 3);
    m.AppendRows(ship, false);
    EXPECT_TRUE(m.RemoveRows(ship, true));
    EXPECT_EQ(Serials(m), (std::vector<int>{4}));
    // A unit without a row: nothing changes.
    EXPECT_FALSE(m.RemoveRows(ship, true));
    EXPECT_EQ(m.FindRow(truck), -1);
    m.AppendRows(ship, true);
    EXPECT_EQ(m.RowCount(), 4);
    for (const UNITSTRUCT* u : {&ship, &truck, &rider, &other}) EXPECT_GE(m.FindRow(*u), 0);
    // Appending again adds no second row.
    m.AppendRows(ship, true);
    EXPECT_EQ(m.RowCount(), 4);
}

TEST_F(UnitListModelTest, ACarrierChainThatLoopsEndsAndLosesNoRow)
{
    // A damaged save: a carries b, b carries c, c carries a.
    UNITSTRUCT& a = b.Unit(0, kFixtureDestroyer, 1, MakeHex(22, 13));
    UNITSTRUCT& bb = b.Unit(1, kFixtureTank, 2, -1);
    UNITSTRUCT& c = b.Unit(2, kFixtureTank, 3, -1);
    b.Unit(3, 999, 4, MakeHex(23, 13));  // a type beyond the library
    b.Board(bb, a);
    b.Board(c, bb);
    b.Board(a, c);
    UnitListModel m(*b.game, b.host, false);
    m.Fill();
    ASSERT_EQ(m.RowCount(), 4);
    for (int col = 0; col < kUnitListColumns; ++col) {
        m.ClickColumn(col);
        for (int r = 0; r < m.RowCount(); ++r) (void)m.CellText(r, col);
        EXPECT_EQ(m.RowCount(), 4);
    }
    EXPECT_TRUE(m.RemoveRows(a, true));
    EXPECT_EQ(Serials(m), (std::vector<int>{4}));
    m.AppendRows(bb, true);
    EXPECT_EQ(m.RowCount(), 4);
}

TEST_F(UnitListModelTest, CaptionCountsInBothForms)
{
    b.Unit(0, kFixtureTank, 1, MakeHex(22, 13));
    b.Unit(1, kFixtureTank, 2, MakeHex(22, 14)).dwFlag |= kUnitActed;
    UNITSTRUCT& ship = b.Unit(2, kFixtureDestroyer, 3, MakeHex(22, 15));
    b.Board(b.Unit(3, kFixtureInfantry, 4, -1), ship);
    b.Pool(0, kFixtureTank, 5);
    b.Pool(7, kFixtureInfantry, 6);
    struct Case {
        bool campaign;
        int country;
        uint32_t flags;
        const char* caption;
    } cases[] = {
        {true, 0, 0, "部隊表 (4/4/2)"},  // pool units in use may act
        {true, 0, kCountryHideReserve, "部隊表 (2/4)"},
        {false, 0, 0, "部隊表 (2/4)"},
        {true, 1, 0, "部隊表 (2/4)"},  // not the first country
    };
    for (const Case& c : cases) {
        b.game->Country[0].nIndex = c.country;
        b.game->Country[0].dwFlag = kCountryPresent | c.flags;
        UnitListModel m(*b.game, b.host, c.campaign);
        m.Fill();
        EXPECT_EQ(m.Caption(), c.caption);
    }
}

TEST_F(UnitListModelTest, ClickDispatchByState)
{
    UNITSTRUCT& ready = b.Unit(0, kFixtureTank, 1, MakeHex(22, 13));
    UNITSTRUCT& acted = b.Unit(1, kFixtureTank, 2, MakeHex(22, 14));
    acted.dwFlag |= kUnitActed;
    UNITSTRUCT& outside = b.Unit(2, kFixtureTank, 3, MakeHex(60, 14));
    UNITSTRUCT& pool = b.Pool(0, kFixtureTank, 4);
    UnitListModel m(*b.game, b.host, true);
    m.Fill();
    auto click = [&](UNITSTRUCT& u) {
        b.host.calls.clear();
        dialogs.service.Clear();
        m.ClickRow(m.FindRow(u));
        return b.host.calls;
    };
    const std::string readyHex = std::to_string(ready.nHex);
    using V = std::vector<std::string>;
    EXPECT_EQ(click(ready), (V{"centre", "status " + readyHex, "flash " + readyHex, "click " + readyHex}));
    const std::string actedHex = std::to_string(acted.nHex);
    EXPECT_EQ(click(acted), (V{"centre", "status " + actedHex, "flash " + actedHex}));
    // A flash cut short by a close request stops there.
    b.host.flashCutShort = true;
    EXPECT_EQ(click(ready), (V{"centre", "status " + readyHex, "flash " + readyHex}));
    b.host.flashCutShort = false;
    // Flag bit 22 of the country: found, not clicked.
    b.game->Country[0].dwFlag |= 0x00400000u;
    EXPECT_EQ(click(ready).size(), 3u);
    b.game->Country[0].dwFlag &= ~0x00400000u;

    // Outside the map area: the disposal question, answered OK.
    dialogs.service.QueueAnswer(kAnswerOk);
    const std::string outsideHex = std::to_string(outside.nHex);
    b.host.calls.clear();
    m.ClickRow(m.FindRow(outside));
    EXPECT_EQ(b.host.calls, (V{"centre", "status " + outsideHex, "flash " + outsideHex, "dispose 3"}));
    ASSERT_EQ(dialogs.service.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.service.Boxes()[0].text, "処分してもよろしいですか？");

    // The pool: cancelled, nothing disposed.
    dialogs.service.Clear();
    dialogs.service.QueueAnswer(kAnswerCancel);
    b.host.calls.clear();
    m.ClickRow(m.FindRow(pool));
    EXPECT_TRUE(b.host.calls.empty());
    // While the deployment window is open: only the message.
    b.host.deploymentOpen = true;
    EXPECT_TRUE(click(pool).empty());
    ASSERT_EQ(dialogs.service.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.service.Boxes()[0].text, "配置ウィンドウを一旦閉じてください");

    // A click outside the rows does nothing; a right click opens the
    // unit's performance window.
    b.host.calls.clear();
    m.ClickRow(99);
    m.RightClickRow(-1);
    EXPECT_TRUE(b.host.calls.empty());
    m.RightClickRow(m.FindRow(acted));
    EXPECT_EQ(b.host.calls, (V{"performance 2 2 0 report"}));
}

TEST_F(UnitListModelTest, OpeningSizeForTwentyRows)
{
    const ListMetrics metrics{2, 17, 15};
    const RowRect row{0, 18, 498, 32};  // header 18, rows of 14
    UnitListModel m(*b.game, b.host, false);
    struct Case {
        int units;
        int width, height;
    } cases[] = {
        {0, 510 + 8, 20 * 29 - 19 * 16 + 20},  // no row: the stand-in rectangle
        {5, 498 + 8, 18 + 20 * 14 + 20},
        {19, 498 + 8, 18 + 20 * 14 + 20},
        {20, 498 + 8, 18 + 20 * 14 + 20 - 14},
        {25, 498 + 8 + 17, 18 + 20 * 14 + 20 - 14},
    };
    for (const Case& c : cases) {
        for (int s = 0; s < kUnitSlots; ++s) b.game->Country[0].Unit[s].dwFlag = 0;
        for (int s = 0; s < c.units; ++s) b.Unit(s, kFixtureTank, s, MakeHex(22, 13));
        m.Fill();
        const ClientSize size = m.OpeningSize(c.units > 0 ? &row : nullptr, metrics);
        EXPECT_EQ(size.width, c.width) << c.units;
        EXPECT_EQ(size.height, c.height) << c.units;
    }
}

TEST(ReportListRulesTest, NamesCompareFoldingAsciiLettersOnly)
{
    struct Case {
        std::string a, b;
        int sign;
    } cases[] = {
        {"Tiger", "tiger", 0},
        {"abc", "ABD", -1},
        {"Zero", "alpha", 1},
        {"ab", "abc", -1},
        // 0x83 0x61 and 0x83 0x41 are two different double-byte characters:
        // the trail byte is never folded.
        {"\x83\x61", "\x83\x41", 1},
        {"\x83\x41x", "\x83\x41X", 0},
    };
    for (const Case& c : cases) {
        const int r = CompareIgnoringAsciiCase(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
        const int back = CompareIgnoringAsciiCase(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign);
    }
}

}  // namespace
