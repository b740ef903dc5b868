// Order back-ends on a document without a display: the records before and
// after each order, the text-record lines byte for byte, and refused orders
// that change nothing.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "battle/engine/Construction.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/OccupyTargets.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitSearch.h"
#include "engine/DocFixture.h"
#include "engine/RuleFixture.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using zrvtest::ScriptedDraws;

class OrderBackendsTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        rules = std::make_unique<zrvtest::RuleLibrary>();
        SetLib(&rules->lib);
        for (auto& c : doc->m_dwHexCell) c = WithTerrain(0, zrvtest::kFixturePlain);
        for (auto& c : doc->m_GameData.dwHexCell) c = WithTerrain(0, zrvtest::kFixturePlain);
        for (int i = 0; i < 4; ++i) doc->m_GameData.Country[i].nFund = 10000;
    }
    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, {});
        u.dwFlag &= ~kUnitActed;
        ++c.nUnit;
        if (IsMapHex(hex)) {
            doc->m_dwHexUnit[hex] = u.refSelf;
            u.dwHexCell = doc->m_dwHexCell[hex];
        }
        return u;
    }
    // A snapshot of everything an order may touch.
    struct Snapshot {
        explicit Snapshot(const CZRKGameDoc& d)
            : game(std::make_unique<GAMEDATASTRUCT>(d.m_GameData)),
              cells(d.m_dwHexCell, d.m_dwHexCell + kHexCount),
              units(d.m_dwHexUnit, d.m_dwHexUnit + kHexCount)
        {
        }
        bool operator==(const Snapshot& o) const
        {
            return std::memcmp(game.get(), o.game.get(), sizeof *game) == 0 && cells == o.cells &&
                   units == o.units;
        }
        std::unique_ptr<GAMEDATASTRUCT> game;
        std::vector<MAPCELL> cells;
        std::vector<UnitRef> units;
    };

    std::unique_ptr<zrvtest::RuleLibrary> rules;
    std::string Record() const
    {
        std::string all;
        for (const auto& line : doc->m_StubRecords) all += line;
        return all;
    }
};

TEST_F(OrderBackendsTest, UndoRestoresTheMoveExactly)
{
    const HEXINDEX from = MakeHex(40, 40), to = MakeHex(40, 43);
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, from);
    // Two levels of cargo, off the map as boarding leaves them.
    UNITSTRUCT& cargo = Place(0, 1, zrvtest::kRuleTransport, -1);
    cargo.dwFlag |= kUnitCarried | kUnitCarries;
    cargo.dwCargo = MakeCargo(0, 1);
    UNITSTRUCT& inner = Place(0, 2, zrvtest::kFixtureInfantry, -1);
    inner.dwFlag |= kUnitCarried;
    inner.dwCargo = MakeCargo(1, 0);
    ship.dwFlag |= kUnitCarries;
    ship.dwCargo = MakeCargo(kNoCarrier, 1);
    doc->m_dwHexCell[to] = WithTerrain(0, zrvtest::kFixtureSea);
    doc->m_dwHexMove[to] = 7;
    const Snapshot before(*doc);

    UNITSTRUCT saved{};
    ASSERT_TRUE(MoveUnitTo(*doc, ship, to, &saved).Done());
    EXPECT_EQ(ship.nHex, to);
    EXPECT_EQ(cargo.nHex, kNoHex);
    EXPECT_EQ(inner.nHex, kNoHex);
    EXPECT_EQ(GetUnitMapHex(doc->m_GameData, inner), to);
    EXPECT_EQ(ship.nFuel, saved.nFuel - 7);
    EXPECT_EQ(ship.dwHexCell & kCellTerrainMask, static_cast<MAPCELL>(zrvtest::kFixtureSea));
    EXPECT_TRUE(ship.dwFlag & kUnitMayUndo);
    EXPECT_EQ(doc->m_dwHexUnit[from], kNoUnit);
    EXPECT_EQ(doc->m_dwHexUnit[to], ship.refSelf);
    // A second move in the same turn is refused and changes nothing.
    const Snapshot moved(*doc);
    EXPECT_EQ(MoveUnitTo(*doc, ship, MakeHex(40, 44), nullptr).code, kOrderBadRecord);
    EXPECT_TRUE(Snapshot(*doc) == moved);

    ASSERT_TRUE(UndoUnitMove(*doc, ship, saved).Done());
    EXPECT_TRUE(Snapshot(*doc) == before);
}

TEST_F(OrderBackendsTest, TheUnitMapHoldsNoCarriedUnit)
{
    // A file may leave the carrier's hex in its cargo; the carrier keeps the entry.
    const HEXINDEX at = MakeHex(40, 40);
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, at);
    UNITSTRUCT& cargo = Place(0, 1, zrvtest::kFixtureInfantry, -1);
    cargo.nHex = at;
    cargo.dwFlag |= kUnitCarried;
    cargo.dwCargo = MakeCargo(0, 0);
    cargo.dwHexCell = 0;
    ship.dwFlag |= kUnitCarries;
    ship.dwCargo = MakeCargo(kNoCarrier, 1);
    doc->RebuildUnitMap();
    EXPECT_EQ(doc->m_dwHexUnit[at], ship.refSelf);
    EXPECT_EQ(cargo.dwHexCell, 0u);
}

TEST_F(OrderBackendsTest, UndoOfADetachedUnitLeavesTheCarrierEntry)
{
    const HEXINDEX from = MakeHex(40, 40), to = MakeHex(40, 41);
    UNITSTRUCT& carrier = Place(0, 0, zrvtest::kRuleTransport, from);
    UNITSTRUCT& u = Place(0, 1, zrvtest::kFixtureInfantry, -1);
    u.nHex = from;
    u.dwFlag |= kUnitDetached;
    UNITSTRUCT saved{};
    ASSERT_TRUE(MoveUnitTo(*doc, u, to, &saved).Done());
    EXPECT_EQ(doc->m_dwHexUnit[from], carrier.refSelf);
    EXPECT_EQ(doc->m_dwHexUnit[to], u.refSelf);
    ASSERT_TRUE(UndoUnitMove(*doc, u, saved).Done());
    EXPECT_EQ(doc->m_dwHexUnit[from], carrier.refSelf);
    EXPECT_EQ(doc->m_dwHexUnit[to], kNoUnit);
    EXPECT_EQ(u.nHex, from);
    EXPECT_FALSE(u.dwFlag & kUnitMayUndo);
}

TEST_F(OrderBackendsTest, MoveAndEndAction)
{
    const HEXINDEX from = MakeHex(40, 40), to = MakeHex(40, 42);
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, from);
    doc->m_dwHexMove[to] = 4 | 0x20000000u;  // flag bits above the cost are not paid
    const int fuel = tank.nFuel;
    ASSERT_TRUE(MoveUnitAndEndAction(*doc, tank, to).Done());
    EXPECT_EQ(tank.nFuel, fuel - 4);
    EXPECT_EQ(tank.nMoved, 0);
    EXPECT_EQ(tank.dwOrder & 3u, 3u);
    EXPECT_EQ(tank.dwFlag & (kUnitActed | kUnitMayUndo | kUnitMoved), kUnitActed | kUnitMoved);
    EXPECT_EQ(doc->m_dwHexUnit[from], kNoUnit);
    EXPECT_EQ(doc->m_dwHexUnit[to], tank.refSelf);
}

TEST_F(OrderBackendsTest, EndActionChargesTheShortfallOnlyOnce)
{
    // A submerged submarine owes half its movement points each turn.
    UNITSTRUCT& sub = Place(0, 0, zrvtest::kFixtureSubmarine, MakeHex(40, 40));
    sub.dwFlag |= kUnitInWater;
    sub.nMove = 7;
    sub.nMoved = 1;
    const int fuel = sub.nFuel, battery = sub.nBattery;
    ASSERT_TRUE(EndUnitAction(*doc, sub, true).Done());
    // (7 + 1) / 2 = 4 owed, 1 paid: 3 more, from fuel or battery.
    EXPECT_EQ((fuel - sub.nFuel) + (battery - sub.nBattery), 3);
    EXPECT_EQ(sub.nMoved, 0);
    EXPECT_TRUE(sub.dwFlag & kUnitActed);
    const int fuelAfter = sub.nFuel, batteryAfter = sub.nBattery;
    ASSERT_TRUE(EndUnitAction(*doc, sub, true).Done());
    EXPECT_EQ(sub.nFuel, fuelAfter);
    EXPECT_EQ(sub.nBattery, batteryAfter);
}

TEST_F(OrderBackendsTest, BombingLinesAndTheRuinedSavedCopy)
{
    const HEXINDEX hex = MakeHex(40, 50);  // column 16, row 6 of the area (35, 35)
    rules->Terrain(zrvtest::kFixturePlain).nRuinForm = zrvtest::kFixtureDesert;
    rules->Terrain(10).nRuinForm = 11;
    rules->Refresh();
    doc->m_dwGameOption |= kOptTextRecord;
    UNITSTRUCT& bomber = Place(0, 0, zrvtest::kRuleBomber, MakeHex(40, 40));

    struct Case {
        const char* name;
        int durability;
        bool city;
        bool ruined;
    };
    const Case cases[] = {{"holds", 60, false, false}, {"ruined", 25, false, true}, {"ruined city", 25, true, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        doc->m_StubRecords.clear();
        bomber.dwFlag &= ~kUnitActed;
        bomber.nAmmo[0] = 4;
        doc->m_dwHexCell[hex] = WithOwner(WithDurability(WithTerrain(0, zrvtest::kFixturePlain), k.durability), 1);
        doc->m_GameData.dwHexCell[hex] = WithTerrain(0, 10);  // the saved copy keeps its own terrain
        doc->m_nCityName = k.city ? 1 : 0;
        doc->m_CityName[0].nHex = hex;
        std::strcpy(doc->m_CityName[0].szName, "ケルン");
        Place(1, 0, zrvtest::kFixtureInfantry, hex);

        ScriptedDraws draws{0};  // raw damage 30, no bonus
        const OrderResult r = ExecuteBombing(*doc, bomber, hex, draws);
        ASSERT_TRUE(r.Done());
        EXPECT_TRUE(bomber.dwFlag & kUnitActed);
        const MAPCELL saved = doc->m_GameData.dwHexCell[hex];
        const UNITSTRUCT& standing = doc->m_GameData.Country[1].Unit[0];
        EXPECT_EQ(standing.dwHexCell, saved);
        if (!k.ruined) {
            EXPECT_EQ(r.value, 30);
            EXPECT_EQ(Record(), "");
            EXPECT_EQ(CellTerrain(saved), 10);
            EXPECT_EQ(CellDurability(saved), 30);
            continue;
        }
        EXPECT_EQ(r.value, 25);
        EXPECT_EQ(CellTerrain(doc->m_dwHexCell[hex]), zrvtest::kFixtureDesert);
        EXPECT_EQ(CellTerrain(saved), 11);
        EXPECT_EQ(CellDurability(saved), 0);
        const std::string place = k.city ? std::string("ケルン") : std::string("TERRAIN10");
        EXPECT_SJIS_EQ(Record(), "    [ノルデン                ] " + place + " Bombing (16, 6)\n");
    }
}

TEST_F(OrderBackendsTest, OccupationFollowUp)
{
    const HEXINDEX hex = MakeHex(50, 40);
    doc->m_dwGameOption |= kOptTextRecord;
    UNITSTRUCT& inf = Place(0, 0, zrvtest::kFixtureInfantry, hex);
    COUNTRYSTRUCT& loser = doc->m_GameData.Country[1];
    loser.nCapital = hex;
    const MAPCELL oldCell = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);

    // No capital left: the owner falls, and here the game ends with it.
    doc->SetStubResult(DocStub::SurrenderCountry, 1);
    OrderResult r = CompleteOccupation(*doc, inf, hex, oldCell, 0x80000000u);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(static_cast<uint32_t>(r.value), 0x80000000u | kOccupyCountryFalls | 1u << 16 | kOccupyGameEnds);
    EXPECT_SJIS_EQ(Record(), "    [ノルデン                ] TERRAIN7 Occupy ( 6,16)\n");

    // The capital moves: announced, flagged, both hexes shown.
    doc->SetStubResult(DocStub::CapitalSearch, 1);
    doc->m_nStubCapitalHex = MakeHex(52, 40);
    view.calls.clear();
    r = CompleteOccupation(*doc, inf, hex, oldCell, 0);
    EXPECT_EQ(static_cast<uint32_t>(r.value), kOccupyCapitalMoved);
    EXPECT_EQ(loser.nCapital, MakeHex(52, 40));
    int shown = 0;
    for (const auto& c : view.calls) shown += c.rfind("ShowHexAndFlash", 0) == 0;
    EXPECT_EQ(shown, 2);
    // The view that cannot show the lost hex is not asked for the new one.
    loser.nCapital = hex;
    view.calls.clear();
    view.canShowHex = false;
    (void)CompleteOccupation(*doc, inf, hex, oldCell, 0);
    shown = 0;
    for (const auto& c : view.calls) shown += c.rfind("ShowHexAndFlash", 0) == 0;
    EXPECT_EQ(shown, 1);
    // An owner field naming no country has no follow-up.
    r = CompleteOccupation(*doc, inf, hex, oldCell | 0x000F0000u, 0);
    EXPECT_EQ(r.value, 0);
}

TEST_F(OrderBackendsTest, DeleteAndLoseUnits)
{
    const HEXINDEX hex = MakeHex(40, 40);
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, hex);
    tank.nStrength = 6;
    ASSERT_TRUE(DeleteUnit(*doc, tank, true).Done());
    EXPECT_EQ(c.nFund, 10000 + 20 * 6);
    EXPECT_EQ(doc->m_dwHexUnit[hex], kNoUnit);
    EXPECT_EQ(c.nUnit, 0);
    // A record no longer in use is refused.
    EXPECT_EQ(DeleteUnit(*doc, tank, true).code, kOrderBadRecord);
    EXPECT_EQ(c.nFund, 10000 + 20 * 6);

    UNITSTRUCT& inf = Place(0, 1, zrvtest::kFixtureInfantry, hex);
    view.calls.clear();
    ASSERT_TRUE(LoseUnit(*doc, inf).Done());
    EXPECT_EQ(c.nFund, 10000 + 20 * 6);
    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls.back().rfind("AfterUnitLeftPlay", 0), 0u);
}

TEST_F(OrderBackendsTest, AircraftOutOfFuelGoesThroughTheExecutor)
{
    BackendOrderExecutor executor(*doc);
    doc->SetOrderExecutor(&executor);
    const HEXINDEX hex = MakeHex(40, 40);
    UNITSTRUCT& fighter = Place(0, 0, zrvtest::kFixtureFighter, hex);

    // The view cannot show the hex: nothing happens.
    view.canShowHex = false;
    const Snapshot before(*doc);
    EXPECT_EQ(LoseAircraftOutOfFuel(*doc, fighter).code, kOrderViewRefused);
    EXPECT_TRUE(Snapshot(*doc) == before);
    EXPECT_TRUE(dialogs.Boxes().empty());

    view.canShowHex = true;
    const OrderResult r = LoseAircraftOutOfFuel(*doc, fighter);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, 0);
    EXPECT_FALSE(fighter.dwFlag & kUnitInUse);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "燃料切れのため墜落します");
    EXPECT_EQ(dialogs.Boxes()[0].style, kBoxOk | kBoxIconStop);

    // A computer-run country is not told.
    doc->SetCurrentCountry(1);
    UNITSTRUCT& other = Place(1, 0, zrvtest::kFixtureFighter, MakeHex(50, 50));
    ASSERT_TRUE(LoseAircraftOutOfFuel(*doc, other).Done());
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
    // Without a view's executor the order is refused.
    doc->SetOrderExecutor(nullptr);
    UNITSTRUCT& third = Place(1, 1, zrvtest::kFixtureFighter, MakeHex(50, 52));
    EXPECT_LT(LoseAircraftOutOfFuel(*doc, third).code, 0);
    EXPECT_TRUE(third.dwFlag & kUnitInUse);
}

TEST_F(OrderBackendsTest, ReserveAndProduction)
{
    const HEXINDEX hex = MakeHex(40, 40);
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    // Pool indexes outside the pool, and records not in use, are refused.
    for (int index : {-1, 250, 3}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(PlaceReserveUnit(*doc, hex, index).code, kOrderBadRecord);
    }
    UNITSTRUCT& pool = doc->m_GameData.CarryUnit[3];
    InitUnitRecord(nullptr, pool, -1, -1, zrvtest::kFixtureTank, 0, &doc->m_GameData, {});
    pool.dwFlag |= kUnitInPool | kUnitOffMap;
    OrderResult r = PlaceReserveUnit(*doc, hex, 3);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(doc->m_dwHexUnit[hex], MakeUnitRef(0, 0));
    EXPECT_EQ(c.Unit[0].nHex, hex);
    EXPECT_FALSE(pool.dwFlag & kUnitInUse);

    r = ProduceUnitAtHex(*doc, MakeHex(40, 41), zrvtest::kFixtureTank);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, 1);
    EXPECT_EQ(c.nFund, 10000 - 200);
    EXPECT_EQ(c.Unit[1].nArms, zrvtest::kFixtureTank);
    EXPECT_EQ(doc->m_dwHexUnit[MakeHex(40, 41)], MakeUnitRef(0, 1));
    for (auto& u : c.Unit) u.dwFlag |= kUnitInUse;
    r = ProduceUnitAtHex(*doc, MakeHex(40, 42), zrvtest::kFixtureTank);
    EXPECT_EQ(r.value, -1);
    EXPECT_EQ(c.nFund, 10000 - 200);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, AUnitThatHasMovedBoardsWithoutPayingAgain)
{
    const HEXINDEX shipHex = MakeHex(40, 41), infHex = MakeHex(40, 40);
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, shipHex);
    UNITSTRUCT& inf = Place(0, 1, zrvtest::kFixtureInfantry, infHex);
    doc->m_dwHexMove[shipHex] = 2;
    inf.dwFlag |= kUnitMoved;
    const int fuel = inf.nFuel, moved = inf.nMoved;
    ASSERT_TRUE(LoadUnitOnCarrier(*doc, inf, shipHex).Done());
    EXPECT_EQ(inf.nFuel, fuel);
    EXPECT_EQ(inf.nMoved, 0) << "its action ended";
    (void)moved;
    EXPECT_TRUE(inf.dwFlag & kUnitCarried);
    EXPECT_EQ(CargoCount(ship.dwCargo), 1);
}

TEST_F(OrderBackendsTest, LoadMergeAndRecall)
{
    const HEXINDEX shipHex = MakeHex(40, 41), infHex = MakeHex(40, 40);
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kRuleTransport, shipHex);
    UNITSTRUCT& inf = Place(0, 1, zrvtest::kFixtureInfantry, infHex);
    doc->m_dwHexMove[shipHex] = 2;
    const int fuel = inf.nFuel;
    OrderResult r = LoadUnitOnCarrier(*doc, inf, shipHex);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(doc->m_dwHexUnit[infHex], kNoUnit);
    EXPECT_EQ(inf.nFuel, fuel - 2);
    EXPECT_TRUE(inf.dwFlag & kUnitCarried);
    EXPECT_EQ(CargoCount(ship.dwCargo), 1);
    EXPECT_TRUE(ship.dwFlag & kUnitActed);

    // Recall: the ship and its cargo go to the pool, or nothing goes.
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    for (int i = 0; i < kCarryUnitCount - 1; ++i) doc->m_GameData.CarryUnit[i].dwFlag = kUnitInUse;
    const Snapshot before(*doc);
    EXPECT_EQ(RecallUnitsToReserve(*doc, ship).code, kOrderPoolFull);
    EXPECT_TRUE(Snapshot(*doc) == before);
    for (int i = 5; i < kCarryUnitCount; ++i) doc->m_GameData.CarryUnit[i].dwFlag = 0;
    doc->m_GameData.CarryUnit[6].dwFlag = kUnitInUse;
    ship.dwFlag |= kUnitSide1 | kUnitMoved;
    r = RecallUnitsToReserve(*doc, ship);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, 2);
    EXPECT_EQ(c.nUnit, 0);
    EXPECT_EQ(doc->m_dwHexUnit[shipHex], kNoUnit);
    const UNITSTRUCT& p5 = doc->m_GameData.CarryUnit[5];
    const UNITSTRUCT& p7 = doc->m_GameData.CarryUnit[7];
    EXPECT_EQ(p5.dwFlag, 0x80480000u | kUnitSide1);
    EXPECT_EQ(p5.nArms, zrvtest::kRuleTransport);
    EXPECT_EQ(p5.dwCargo, MakeCargo(kNoCarrier, 0));
    EXPECT_EQ(p5.nHex, -1);
    EXPECT_EQ(p7.nArms, zrvtest::kFixtureInfantry);
    EXPECT_EQ(ship.nCpuScore, 5);
    EXPECT_EQ(inf.nCpuScore, 7);
    EXPECT_FALSE(ship.dwFlag & kUnitInUse);
}

TEST_F(OrderBackendsTest, CommitMergeWritesBothOrNothing)
{
    UNITSTRUCT& a = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    UNITSTRUCT& b = Place(0, 1, zrvtest::kFixtureTank, MakeHex(40, 41));
    a.nStrength = 4;
    b.nStrength = 8;
    MergeBuffer ba = CopyUnitToMergeBuffer(a), bb = CopyUnitToMergeBuffer(b);
    OrderResult r = CommitMerge(*doc, a, b, ba, bb, 0);
    EXPECT_EQ(r.value, 0);
    EXPECT_FALSE(a.dwFlag & kUnitActed);
    TransferMergeStrength(ba, bb, 6);
    r = CommitMerge(*doc, a, b, ba, bb, 6);
    EXPECT_EQ(r.value, 1);
    EXPECT_EQ(a.nStrength, 10);
    EXPECT_EQ(b.nStrength, 2);
    EXPECT_TRUE(a.dwFlag & b.dwFlag & kUnitActed);
}

TEST_F(OrderBackendsTest, DamageCutsCargoAndRemovesTheDestroyed)
{
    const HEXINDEX hex = MakeHex(40, 40);
    UNITSTRUCT& ship = Place(1, 0, zrvtest::kRuleTransport, hex);
    UNITSTRUCT& inf = Place(1, 1, zrvtest::kFixtureInfantry, -1);
    BoardCarrier(inf, ship);
    UNITSTRUCT& other = Place(1, 2, zrvtest::kRuleTransport, MakeHex(40, 41));
    UNITSTRUCT& cargo = Place(1, 3, zrvtest::kFixtureInfantry, -1);
    BoardCarrier(cargo, other);
    ship.nStrength = 10;
    const COMBATHITSTRUCT list[] = {
        {&ship, 5, 0}, {nullptr, -1, 0}, {&other, 20, 0}, {nullptr, -1, 0},
    };
    DocCombatHooks hooks(*doc);
    view.calls.clear();
    // The first run only: the carrier at half strength cuts its cargo.
    EXPECT_EQ(ApplyCombatDamage(doc->m_GameData, list, true, hooks), 0u);
    EXPECT_EQ(ship.nStrength, 5);
    EXPECT_EQ(inf.nStrength, 5);
    EXPECT_EQ(LowHalf(inf.dwTally1), 5);
    EXPECT_TRUE(other.dwFlag & kUnitInUse);
    // Both runs: the second carrier is sunk with its cargo.
    ship.nStrength = 10;
    EXPECT_EQ(ApplyCombatDamage(doc->m_GameData, std::span(list).subspan(2), false, hooks), 1u << 1);
    EXPECT_FALSE(other.dwFlag & kUnitInUse);
    EXPECT_FALSE(cargo.dwFlag & kUnitInUse);
    EXPECT_EQ(doc->m_dwHexUnit[MakeHex(40, 41)], kNoUnit);
    EXPECT_EQ(doc->m_GameData.Country[1].nUnit, 2);
    bool toldList = false;
    for (const auto& c : view.calls) toldList |= c.rfind("AfterUnitLeftPlay", 0) == 0;
    EXPECT_TRUE(toldList);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, SupplyFromTheFunds)
{
    const HEXINDEX hex = MakeHex(40, 40);
    doc->m_dwHexCell[hex] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 0);
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];

    // Fuel bought at a supplied own city: the funds pay, the unit is marked supplied.
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, hex);
    tank.nFuel = 30;
    ScriptedDraws none{};
    OrderResult r = SupplyUnit(*doc, tank, false, none);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, 1);
    EXPECT_EQ(tank.nFuel, 50);
    EXPECT_EQ(c.nFund, 10000 - 20);
    EXPECT_TRUE(tank.dwFlag & kUnitSupplied);

    // The funds path already refused and less than 11 in the treasury: no purchase.
    UNITSTRUCT& other = Place(0, 1, zrvtest::kFixtureTank, hex);
    other.nFuel = 30;
    c.nFund = 10;
    r = SupplyUnit(*doc, other, true, none);
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(other.nFuel, 30);
    EXPECT_EQ(c.nFund, 10);

    // Nothing to buy but strength: replenished from the funds with one draw.
    c.nFund = 10000;
    UNITSTRUCT& worn = Place(0, 2, zrvtest::kFixtureTank, hex);
    worn.nStrength = 6;
    ScriptedDraws one{1};  // 1 + 1 = 2 points
    r = SupplyUnit(*doc, worn, false, one);
    EXPECT_EQ(r.value, 1);
    EXPECT_TRUE(one.UsedUp());
    EXPECT_EQ(worn.nStrength, 8);
    EXPECT_LT(c.nFund, 10000);
}

}  // namespace


namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, EquallyDearStepsGoByTheCoverageBitsOfTheSideCode)
{
    // Two rows straight up: two routes of the same cost. The side code is
    // twice the unit's side: 2 for side 1, 0 (no preference) for side 0.
    for (int country : {1, 0}) {
        SCOPED_TRACE(country);
        std::fill(std::begin(doc->m_dwHexSearch), std::end(doc->m_dwHexSearch), 0u);
        UNITSTRUCT& tank = Place(country, 3, zrvtest::kFixtureTank, MakeHex(40, 40));
        const HEXINDEX target = MakeHex(38, 40);
        HexWords grid(doc->m_dwHexWork1, kHexCount), reach(doc->m_dwHexMove, kHexCount);
        ASSERT_EQ(ComputeMoveArea(tank, doc->m_GameData, doc->m_dwHexCell, grid, reach, {}, doc->m_MoveRules), 0);
        std::array<HEXINDEX, 64> route{};
        ASSERT_TRUE(MoveUnitAlongRoute(*doc, tank, target, route).Done());
        const HEXINDEX first = route[0];
        ASSERT_EQ(route[1], target);
        doc->m_dwHexSearch[first] = 2u;  // side 1's sight does not reach it
        ASSERT_TRUE(MoveUnitAlongRoute(*doc, tank, target, route).Done());
        EXPECT_EQ(route[1], target);
        EXPECT_EQ(route[0] != first, country == 1);
        tank.dwFlag = 0;
        doc->m_dwHexUnit[MakeHex(40, 40)] = kNoUnit;
    }
}

TEST_F(OrderBackendsTest, RouteWalkStopsAtAnOccupiedEndUnderFog)
{
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    const HEXINDEX target = MakeHex(40, 42);
    HexWords grid(doc->m_dwHexWork1, kHexCount), reach(doc->m_dwHexMove, kHexCount);
    ASSERT_EQ(ComputeMoveArea(tank, doc->m_GameData, doc->m_dwHexCell, grid, reach, {}, doc->m_MoveRules), 0);
    std::array<HEXINDEX, 64> route{};
    OrderResult r = MoveUnitAlongRoute(*doc, tank, target, route);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, kWalkComplete);
    EXPECT_EQ(route[0], MakeHex(40, 41));
    EXPECT_EQ(route[1], target);
    EXPECT_EQ(route[2], -1);
    EXPECT_TRUE(dialogs.Boxes().empty());

    // Under fog of war a unit found on the last hex cuts the move short.
    Place(2, 0, zrvtest::kFixtureTank, target);
    doc->m_pCurCountry->dwFlag |= kCountryFog;
    r = MoveUnitAlongRoute(*doc, tank, target, route);
    ASSERT_TRUE(r.Done());
    EXPECT_EQ(r.value, kWalkShortened);
    EXPECT_EQ(route[1], -1);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "索敵外の敵ユニットのため移動を停止しました");
}

}  // namespace


namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, CpuTurnSetUpAimsAtTheNearestEnemyCapital)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.Country[1].nCapital = MakeHex(40, 40);
    g.Country[0].nCapital = MakeHex(40, 60);  // side 0, farther
    g.Country[2].nCapital = MakeHex(40, 48);  // side 0, nearer
    g.Country[3].nCapital = MakeHex(40, 44);  // own side: never the objective
    g.rcMapArea = MapRect{0, 0, 127, 127};
    doc->SetCurrentCountry(1);
    (void)PrepareCpuTurn(*doc, MakeCpuTurnSetupRules(*doc));
    EXPECT_EQ(g.Country[1].dwCpuTarget & 0x7FFFFFFFu, static_cast<uint32_t>(2 << 16 | MakeHex(40, 48)));
}

TEST_F(OrderBackendsTest, CpuTurnSetUpKeepsTheCaptureScoreAndCapitalGuard)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    // A fresh document knows no scores yet.
    EXPECT_EQ(doc->m_nCpuCaptureScore[1], 0);
    EXPECT_EQ(doc->m_nCpuCapitalGuard[1], kNoDistance);
    g.Country[1].nCapital = MakeHex(40, 40);
    g.Country[1].nUnitMax = 64;  // the score is capped at 64 / 8 x 10 = 80
    g.Country[0].nCapital = MakeHex(40, 60);
    g.rcMapArea = MapRect{0, 0, 127, 127};
    const MAPCELL city = zrvtest::kFixtureCity;
    // Takeable: three unowned cities and one of side 0; not: its own and an ally's.
    for (HEXINDEX h : {MakeHex(50, 50), MakeHex(51, 50), MakeHex(52, 50)}) doc->m_dwHexCell[h] = city;
    doc->m_dwHexCell[MakeHex(53, 50)] = WithOwner(city, 2);
    doc->m_dwHexCell[MakeHex(54, 50)] = WithOwner(city, 1);
    doc->m_dwHexCell[MakeHex(55, 50)] = WithOwner(city, 3);
    // The nearest ground unit of its side is an ally's, 3 from the capital.
    Place(3, 0, zrvtest::kFixtureInfantry, MakeHex(40, 43));
    Place(1, 0, zrvtest::kFixtureInfantry, MakeHex(40, 45));
    doc->SetCurrentCountry(1);
    (void)PrepareCpuTurn(*doc, MakeCpuTurnSetupRules(*doc));
    EXPECT_EQ(doc->m_nCpuCaptureScore[1], 20);
    EXPECT_EQ(doc->m_nCpuCapitalGuard[1], 3);
    EXPECT_EQ(doc->m_nCpuCaptureScore[0], 0) << "only the current country's values change";

    // Ten more cities: 14 x 5 = 70, still below the cap.
    for (int i = 0; i < 10; ++i) doc->m_dwHexCell[MakeHex(60 + i, 70)] = city;
    (void)PrepareCpuTurn(*doc, MakeCpuTurnSetupRules(*doc));
    EXPECT_EQ(doc->m_nCpuCaptureScore[1], 70);
    // A small unit limit gives 20 whatever the map holds.
    g.Country[1].nUnitMax = 8;
    (void)PrepareCpuTurn(*doc, MakeCpuTurnSetupRules(*doc));
    EXPECT_EQ(doc->m_nCpuCaptureScore[1], 20);

    // A game that is loaded or started anew begins without them.
    EXPECT_EQ(doc->FixUpAfterLoad(), 1);
    EXPECT_EQ(doc->m_nCpuCaptureScore[1], 0);
    EXPECT_EQ(doc->m_nCpuCapitalGuard[1], kNoDistance);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, ShipsOutOfFuelSinkAndSubmarinesSurface)
{
    BackendOrderExecutor executor(*doc);
    doc->SetOrderExecutor(&executor);
    const HEXINDEX a = MakeHex(40, 40), b = MakeHex(40, 42);
    doc->m_dwHexCell[a] = WithTerrain(0, zrvtest::kFixtureSea);
    doc->m_dwHexCell[b] = WithTerrain(0, zrvtest::kFixtureSea);
    UNITSTRUCT& ship = Place(0, 0, zrvtest::kFixtureDestroyer, a);
    ASSERT_TRUE(LoseShipOutOfFuel(*doc, ship).Done());
    EXPECT_FALSE(ship.dwFlag & kUnitInUse);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "燃料切れのため沈没します");

    UNITSTRUCT& sub = Place(0, 1, zrvtest::kFixtureSubmarine, b);
    sub.nFuel = 0;
    sub.dwFlag |= kUnitInWater;
    // On deep water the submarine's own action runs (here: it surfaces), unannounced.
    ASSERT_TRUE(LoseShipOutOfFuel(*doc, sub).Done());
    EXPECT_TRUE(sub.dwFlag & kUnitInUse);
    EXPECT_FALSE(sub.dwFlag & kUnitInWater);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
}

TEST_F(OrderBackendsTest, ArmsChangeRefusesTheFittedSetAndRepairWritesItsLine)
{
    UNITSTRUCT& tank = Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
    ScriptedDraws none{};
    const Snapshot before(*doc);
    const OrderResult same = ChangeUnitArms(*doc, tank, 0, none);
    EXPECT_TRUE(same.Done());
    EXPECT_EQ(same.value, 0);
    EXPECT_TRUE(Snapshot(*doc) == before);
    EXPECT_EQ(ChangeUnitArms(*doc, tank, 6, none).code, kOrderBadRecord);

    doc->m_dwGameOption |= kOptTextRecord;
    const HEXINDEX hex = MakeHex(41, 40);  // column 6, row 7 of the area
    UNITSTRUCT& truck = Place(0, 1, zrvtest::kRuleSupplyTruck, hex);
    ASSERT_TRUE(ExecuteConstruction(*doc, truck, kBuildRepair, 0, hex).Done());
    const std::string terrain = TableText(Lib().TerrainName, CellTerrain(doc->m_dwHexCell[hex]));
    EXPECT_SJIS_EQ(Record(), "    [ノルデン                ] " + terrain + " Repair ( 6, 7)\n");
    // Other kinds write nothing.
    doc->m_StubRecords.clear();
    ASSERT_TRUE(ExecuteConstruction(*doc, truck, kBuildDurability, 1, hex).Done());
    EXPECT_EQ(Record(), "");
    EXPECT_EQ(ExecuteConstruction(*doc, truck, 9, 0, hex).code, kOrderBadRecord);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, SubmergedMovePaysFromTheBattery)
{
    const HEXINDEX from = MakeHex(40, 40), to = MakeHex(40, 41);
    doc->m_dwHexCell[from] = doc->m_dwHexCell[to] = WithTerrain(0, zrvtest::kFixtureSea);
    UNITSTRUCT& sub = Place(0, 0, zrvtest::kFixtureSubmarine, from);
    sub.dwFlag |= kUnitInWater;
    doc->m_dwHexMove[to] = 3;
    const int fuel = sub.nFuel, battery = sub.nBattery;
    ASSERT_TRUE(MoveUnitTo(*doc, sub, to, nullptr).Done());
    EXPECT_EQ(sub.nFuel, fuel);
    EXPECT_EQ(sub.nBattery, battery - 3);
}

}  // namespace

namespace {

using namespace zrv;

TEST_F(OrderBackendsTest, DeletingADetachedUnitLeavesItsCarrierOnTheMap)
{
    const HEXINDEX hex = MakeHex(40, 40);
    UNITSTRUCT& carrier = Place(0, 0, zrvtest::kRuleTransport, hex);
    UNITSTRUCT& u = Place(0, 1, zrvtest::kFixtureInfantry, -1);
    u.nHex = hex;
    u.dwFlag |= kUnitDetached;
    ASSERT_TRUE(DeleteUnit(*doc, u, false).Done());
    EXPECT_EQ(doc->m_dwHexUnit[hex], carrier.refSelf);
}

}  // namespace
