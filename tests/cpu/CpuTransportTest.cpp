// The computer's carriers: how an unload hex is rated, what the unload
// search answers for a carrier that cannot unload, and the guard hexes
// round the home area's city.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "battle/cpu/CpuCapitals.h"
#include "battle/cpu/CpuGuard.h"
#include "battle/cpu/CpuTransport.h"
#include "battle/engine/HexGeometry.h"
#include "cpu/CpuOrderFixture.h"

namespace zrv {
namespace {

constexpr HEXINDEX kShore = MakeHex(40, 40);

class CpuTransportTest : public CpuOrderFixture {};

TEST_F(CpuTransportTest, UnloadHexesAreRatedByDistanceSightAndTheEnemy)
{
    // Country 1's cargo (side 1, its blind bit 2) heads three hexes east.
    UNITSTRUCT& cargo = Own(0, MakeHex(30, 30));
    const HEXINDEX goal = MakeHex(40, 43);
    const HEXINDEX n0 = GetNeighbour(kShore, 4), n1 = GetNeighbour(kShore, 5);
    struct Row {
        uint32_t blindN0;
        bool enemyOnN1, enemyOwnsN1, strict;
        int32_t want;
    } rows[] = {
        {0, false, false, true, 3},
        {2, false, false, false, 3 + 0x10000},
        {1, false, false, true, 3},  // another side's blind bit
        {0, true, false, true, 3 + 0x100000},
        {0, true, false, false, 3},
        {0, false, true, true, 3 + 0x1000000},
        {2, true, true, true, 3 + 0x10000 + 0x100000 + 0x1000000},
    };
    for (const Row& r : rows) {
        std::fill(std::begin(doc->m_dwHexSearch), std::end(doc->m_dwHexSearch), 0u);
        std::fill(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit), kNoUnit);
        doc->m_dwHexUnit[cargo.nHex] = cargo.refSelf;
        doc->m_dwHexCell[n1] = static_cast<MAPCELL>(zrvtest::kFixturePlain);
        doc->m_dwHexSearch[n0] = r.blindN0;
        if (r.enemyOnN1) Unit(0, 0, n1);
        if (r.enemyOwnsN1) doc->m_dwHexCell[n1] = WithOwner(doc->m_dwHexCell[n1], 0);
        EXPECT_EQ(CpuRateUnloadHex(*doc, kShore, cargo, goal, r.strict), r.want)
            << r.blindN0 << " " << r.enemyOnN1 << " " << r.enemyOwnsN1 << " " << r.strict;
    }
}

TEST_F(CpuTransportTest, ACarrierThatCannotUnloadAnswersTheCheckWithBit31)
{
    UNITSTRUCT& carrier = Own(0, kShore, 10, zrvtest::kFixtureDestroyer);
    // Nothing aboard: the unload check refuses with 121.
    EXPECT_EQ(CpuFindUnloadTarget(*doc, carrier, false, false), kUnloadRefused | 121);
    // The first kind of the transport routine waits at a target; a carrier
    // with nothing to unload and nowhere to go does nothing.
    EXPECT_EQ(CpuTransportUnit(*doc, cpu.State(), carrier, false), 0);
    EXPECT_EQ(view.Joined().find("ExecuteUnload"), std::string::npos);
}

TEST_F(CpuTransportTest, GuardHexesRingTheHomeCityNearestTheCapital)
{
    UNITSTRUCT& u = Own(0, MakeHex(30, 30));
    const HEXINDEX capital = MakeHex(30, 20);
    const HEXINDEX cityNear = MakeHex(30, 24), cityFar = MakeHex(30, 36);
    for (HEXINDEX h : {cityNear, cityFar}) {
        doc->m_dwHexCell[h] = WithTerrain(0, 5);
        doc->m_dwHexCpu[h] |= kClaimHomeArea;
    }
    std::array<HEXINDEX, 64> out{};
    // No reach yet: only the unit's own hex would count, and it is not in the rings.
    EXPECT_EQ(CpuListGuardHexes(*doc, u, capital, out), 0);
    std::fill(std::begin(doc->m_dwHexMove), std::end(doc->m_dwHexMove), 1u);
    const int n = CpuListGuardHexes(*doc, u, capital, out);
    // The 37 hexes within 3 of the nearer city (none of city terrain here),
    // less one held by another unit.
    Own(1, GetNeighbour(cityNear, 0));
    const int withUnit = CpuListGuardHexes(*doc, u, capital, out);
    EXPECT_EQ(n, 37);
    EXPECT_EQ(withUnit, 36);
    for (int i = 0; i < withUnit; ++i) EXPECT_LE(GetHexDistance(out[static_cast<size_t>(i)], cityNear), 3);
    EXPECT_EQ(out[static_cast<size_t>(withUnit)], kNoHex);
}

}  // namespace
}  // namespace zrv
