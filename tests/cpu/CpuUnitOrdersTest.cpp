// The walk over a list of units: a unit takes the city it stands on at
// once, another marches to a city and takes it on arrival.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitSearch.h"
#include "cpu/CpuFixture.h"
#include "cpu/RecordingOrderView.h"

namespace zrv {
namespace {

class CpuUnitOrdersTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        executor = std::make_unique<CpuActionExecutor>(*doc, view);
        doc->SetOrderExecutor(executor.get());
        view.onCpuMove = [this](UNITSTRUCT& u) {
            doc->m_dwHexUnit[u.nHex] = kNoUnit;
            u.nHex = u.nCpuTarget;
            doc->m_dwHexUnit[u.nHex] = u.refSelf;
        };
        // An occupation ends the unit's action.
        view.onOccupy = [](UNITSTRUCT& u) { u.dwFlag |= kUnitActed; };
        COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
        c.nCapital = MakeHex(20, 20);
        doc->m_dwHexCell[c.nCapital] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        CpuFixture::TearDown();
    }
    UNITSTRUCT& Walker(int slot, HEXINDEX h)
    {
        UNITSTRUCT& u = Unit(1, slot, h);
        u.nMove = 6;
        u.nFuel = 50;
        u.nExp = 100;
        doc->m_GameData.Country[1].nUnit = slot + 1;
        return u;
    }
    void City(HEXINDEX h) { doc->m_dwHexCell[h] = WithTerrain(0, zrvtest::kFixtureCity); }
    std::string Orders() const
    {
        std::string ops;
        for (const std::string& c : view.calls)
            if (c.rfind("Execute", 0) == 0) ops += (ops.empty() ? "" : " ") + c;
        return ops;
    }

    RecordingOrderView view;
    std::unique_ptr<CpuActionExecutor> executor;
    CpuPlayer cpu;
};

TEST_F(CpuUnitOrdersTest, TheBaseHexesAreTheCitiesTheSideMayTake)
{
    const HEXINDEX free = MakeHex(30, 30), enemy = MakeHex(31, 30), own = MakeHex(32, 30), held = MakeHex(33, 30),
                   closed = MakeHex(34, 30);
    for (HEXINDEX h : {free, enemy, own, held, closed}) City(h);
    doc->m_dwHexCell[enemy] = WithOwner(doc->m_dwHexCell[enemy], 0);
    doc->m_dwHexCell[own] = WithOwner(doc->m_dwHexCell[own], 1);
    doc->m_dwHexCell[closed] |= kCellClosedSide1;
    Unit(0, 0, held);
    HEXINDEX out[4];
    EXPECT_EQ(ListBaseHexes(1, doc->m_GameData, doc->m_dwHexCell, doc->m_dwHexUnit, out), 2);
    EXPECT_EQ(out[0], free);
    EXPECT_EQ(out[1], enemy);
    EXPECT_EQ(out[2], kNoHex);
    // The count stays whole when the list is cut short.
    EXPECT_EQ(ListBaseHexes(1, doc->m_GameData, doc->m_dwHexCell, doc->m_dwHexUnit, std::span<HEXINDEX>(out, 2)), 2);
    EXPECT_EQ(out[1], kNoHex);
}

TEST_F(CpuUnitOrdersTest, AUnitTakesTheCityItStandsOnAtOnce)
{
    const HEXINDEX on = MakeHex(40, 40);
    City(on);
    City(MakeHex(60, 60));  // another city the side may take
    UNITSTRUCT& u = Walker(0, on);
    EXPECT_EQ(CpuActUnits(*doc, cpu.State(), 9, false, false), 1);
    EXPECT_EQ(Orders(), "ExecuteOccupation(" + std::to_string(on) + "," + std::to_string(on) + ")");
    EXPECT_TRUE(doc->m_dwHexCpu[on] & kClaimTaking) << "strength 10 claims the hex";
    EXPECT_EQ(u.dwWeaponMask, static_cast<uint32_t>(on));
}

TEST_F(CpuUnitOrdersTest, AUnitMarchesToACityAndTakesItOnArrival)
{
    const HEXINDEX from = MakeHex(40, 40), city = MakeHex(40, 42);
    City(city);
    UNITSTRUCT& u = Walker(0, from);
    u.nStrength = 5;
    EXPECT_EQ(CpuActUnits(*doc, cpu.State(), 9, false, false), 1);
    EXPECT_EQ(u.nHex, city);
    EXPECT_EQ(Orders(), "ExecuteCpuMove() ExecuteOccupation(" + std::to_string(city) + "," + std::to_string(city) + ")");
    EXPECT_FALSE(doc->m_dwHexCpu[city] & kClaimTaking) << "strength 5 claims nothing";
    EXPECT_EQ(u.nMarchHex, city);
    EXPECT_TRUE(u.dwOrder & kOrderDestinationNear);
    // Nothing left to take: no unit acts.
    view.calls.clear();
    EXPECT_EQ(CpuActUnits(*doc, cpu.State(), 9, false, false), 0);
    EXPECT_EQ(Orders(), "");
}

}  // namespace
}  // namespace zrv
