// Where the computer's units go for supply: the lists of units in need,
// the refuel hexes, the withdrawal hex's two choices and the claim bound,
// the supply search that leaves the work maps as they were, and the
// refuelling walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "cpu/CpuOrderFixture.h"

namespace zrv {
namespace {

constexpr HEXINDEX kStart = MakeHex(40, 40);

class CpuSupplyTest : public CpuOrderFixture {
protected:
    std::vector<int32_t> Listed(int n)
    {
        return std::vector<int32_t>(cpu.State().hexes.begin(), cpu.State().hexes.begin() + n);
    }
};

TEST_F(CpuSupplyTest, UnitsInNeedAreListedNeediestFirst)
{
    // Fuel short counts most, then the worth of the strength, then strength.
    struct Row {
        int fuel, strength;
        uint32_t marks;
    } rows[] = {
        {50, 9, kCpuUnitNeedsStrength},                         // 0
        {10, 3, kCpuUnitNeedsStrength | kCpuUnitNeedsStock},    // 1: the driest
        {50, 4, kCpuUnitNeedsStrength | kCpuUnitNoWithdrawal},  // 2: bit 14
        {30, 5, kCpuUnitNeedsStock},                            // 3
        {50, 9, 0},                                             // 4: needs nothing
    };
    for (int i = 0; i < 5; ++i) {
        UNITSTRUCT& u = Own(i, MakeHex(30, 30 + 2 * i));
        u.nFuel = rows[i].fuel;
        u.nStrength = rows[i].strength;
        u.dwSupplyFlag = rows[i].marks;
    }
    doc->m_GameData.Country[1].Unit[0].dwFlag |= kUnitActed;  // acted: never listed
    const auto slots = [](const std::array<UnitRef, kUnitSlots + 1>& list) {
        std::string s;
        for (UnitRef r : list) {
            if (r == kNoUnit) break;
            s += std::to_string(RefSlot(r));
        }
        return s;
    };
    std::array<UnitRef, kUnitSlots + 1> list;
    EXPECT_EQ(ListUnitsNeedingStrength(*doc, true, list), 2);
    EXPECT_EQ(slots(list), "12");
    EXPECT_EQ(ListUnitsNeedingStrength(*doc, false, list), 1);
    EXPECT_EQ(slots(list), "1");
    EXPECT_EQ(ListUnitsNeedingFuel(*doc, list), 2);
    EXPECT_EQ(slots(list), "13");
}

TEST_F(CpuSupplyTest, RefuelHexesAreOwnerHexesByRouteCost)
{
    UNITSTRUCT& u = Own(0, kStart);
    const HEXINDEX far = MakeHex(40, 44), nearer = MakeHex(40, 42), foreign = MakeHex(40, 38);
    OwnCity(far);
    OwnCity(nearer);
    OwnCity(kStart);  // its own hex has no route cost
    doc->m_dwHexCell[foreign] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 0);
    ASSERT_EQ(CheckUnitMove(u, doc->m_GameData, doc->m_dwHexCell, HexWords(cpu.State().grid.data(), kHexCount),
                            HexWords(doc->m_dwHexMove), doc->m_MoveRules),
              0);
    const std::span<int32_t> out(cpu.State().hexes.data(), cpu.State().hexes.size());
    int n = CpuListRefuelHexes(*doc, cpu.State(), u, doc->m_dwHexMove, out, {});
    EXPECT_EQ(Listed(n), (std::vector<int32_t>{nearer, far}));
    EXPECT_EQ(out[static_cast<size_t>(n)], -1);
    const HEXINDEX exclude[] = {nearer, kNoHex};
    n = CpuListRefuelHexes(*doc, cpu.State(), u, doc->m_dwHexMove, out, exclude);
    EXPECT_EQ(Listed(n), (std::vector<int32_t>{far}));
    // The owner list takes every hex the owner serves, in index order.
    n = CpuListOwnerSupplyHexes(*doc, u, out);
    EXPECT_EQ(Listed(n), (std::vector<int32_t>{kStart, nearer, far}));
}

TEST_F(CpuSupplyTest, WithdrawalTakesTheNearOrTheFuelChoice)
{
    // A hand-made route map: A is cheaper but next to the enemy (bit 26),
    // B is clean.
    const HEXINDEX a = MakeHex(40, 42), b = MakeHex(40, 46);
    OwnCity(a);
    OwnCity(b);
    std::vector<uint32_t> route(kHexCount, kReachNotReached);
    struct Row {
        int move, fuel, costB, headingA;
        HEXINDEX want;
        const char* why;
    } rows[] = {
        {6, 50, 6, 0, b, "the fuel choice: cheapest clean hex within the turn"},
        {2, 50, 6, 0, b, "beyond the turn but fuel for twice the way"},
        {2, 10, 6, 0, a, "fuel below twice the way: the near choice"},
        {2, 50, 20, 0, a, "a ground unit: three turns of its type (18) fall short"},
        {6, 3, 6, 0, a, "no hex below the fuel: the near choice"},
        {6, 50, 6, 1, b, "A already claimed: only the least claimed are admitted"},
    };
    for (const Row& r : rows) {
        std::fill(std::begin(doc->m_dwHexCpu), std::end(doc->m_dwHexCpu), 0u);
        for (int i = 0; i < r.headingA; ++i) CpuCountHeadingUnits(*doc, a);
        route[static_cast<size_t>(a)] = 4 | kReachEnemy;
        route[static_cast<size_t>(b)] = static_cast<uint32_t>(r.costB);
        UNITSTRUCT& u = Own(0, kStart);
        u.nMove = r.move;
        u.nFuel = r.fuel;
        const std::span<const uint32_t, kHexCount> map(route.data(), kHexCount);
        EXPECT_EQ(CpuFindWithdrawalHex(*doc, cpu.State(), u, map, {}, 0), r.want) << r.why;
    }
    // Mode 1 admits every claim count but only hexes reached this turn.
    UNITSTRUCT& u = Own(0, kStart);
    route[static_cast<size_t>(a)] = 4;
    route[static_cast<size_t>(b)] = 2 | kReachNoDestination;
    CpuCountHeadingUnits(*doc, a);
    const std::span<const uint32_t, kHexCount> map(route.data(), kHexCount);
    EXPECT_EQ(CpuFindWithdrawalHex(*doc, cpu.State(), u, map, {}, 1), a);
    EXPECT_EQ(CpuFindWithdrawalHex(*doc, cpu.State(), u, map, {}, 0), b);
    // A unit marked to withdraw nowhere has no withdrawal hex.
    u.dwSupplyFlag |= kCpuUnitNoWithdrawal;
    EXPECT_EQ(CpuFindWithdrawalHex(*doc, cpu.State(), u, map, {}, 1), kNoHex);
}

TEST_F(CpuSupplyTest, TheSupplySearchLeavesTheWorkMapsAsTheyWere)
{
    const HEXINDEX city = MakeHex(40, 43);
    OwnCity(city);
    UNITSTRUCT& u = Own(0, kStart);
    for (int h = 0; h < kHexCount; ++h) {
        doc->m_dwHexMove[h] = 0x1000u + static_cast<uint32_t>(h);
        doc->m_dwHexWork1[h] = 0x2000u + static_cast<uint32_t>(h);
        doc->m_dwHexMark[h] = 0x3000u + static_cast<uint32_t>(h);
    }
    EXPECT_EQ(CpuFindSupplyHex(*doc, cpu.State(), u, 1, 0), kNoHex) << "a unit that needs nothing";
    u.dwSupplyFlag |= kCpuUnitNeedsStock;
    EXPECT_EQ(CpuFindSupplyHex(*doc, cpu.State(), u, 1, 0), city);
    EXPECT_EQ(CpuFindSupplyHex(*doc, cpu.State(), u, 1, 1), kNoHex) << "no enemy anywhere";
    for (int h = 0; h < kHexCount; ++h) {
        ASSERT_EQ(doc->m_dwHexMove[h], 0x1000u + static_cast<uint32_t>(h));
        ASSERT_EQ(doc->m_dwHexWork1[h], 0x2000u + static_cast<uint32_t>(h));
        ASSERT_EQ(doc->m_dwHexMark[h], 0x3000u + static_cast<uint32_t>(h));
    }
}

TEST_F(CpuSupplyTest, AUnitShortOfFuelHeadsForItsSupplyHex)
{
    const HEXINDEX city = MakeHex(40, 43);
    OwnCity(city);
    UNITSTRUCT& u = Own(0, kStart);
    EXPECT_EQ(CpuRefuelUnits(*doc, cpu.State(), 1, 0), 0) << "nobody needs fuel";
    u.dwSupplyFlag |= kCpuUnitNeedsStock;
    EXPECT_EQ(CpuRefuelUnits(*doc, cpu.State(), 1, 0), 1);
    EXPECT_EQ(u.nHex, city);
    EXPECT_EQ(CpuHeadingUnits(*doc, city), 1);
    const std::string calls = view.Joined();
    EXPECT_NE(calls.find("ExecuteCpuMove"), std::string::npos) << calls;
    EXPECT_NE(calls.find("CompleteUnitMove"), std::string::npos) << "the move is ended: " << calls;
}

}  // namespace
}  // namespace zrv
