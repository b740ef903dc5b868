// The routines that look after single units: the objective group, the
// disbanding of weak units and the supply marks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitCare.h"
#include "battle/engine/HexGeometry.h"
#include "cpu/CpuFixture.h"
#include "cpu/RecordingOrderView.h"

namespace zrv {
namespace {

class CpuUnitCareTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        executor = std::make_unique<CpuActionExecutor>(*doc, view);
        doc->SetOrderExecutor(executor.get());
        COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
        c.nCapital = kCapital;
        c.nUnitMax = 64;
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        CpuFixture::TearDown();
    }
    UNITSTRUCT& Own(int slot, HEXINDEX h, int type = zrvtest::kFixtureInfantry)
    {
        UNITSTRUCT& u = Unit(1, slot, h, type);
        COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
        c.nUnit = std::max(c.nUnit, slot + 1);
        return u;
    }

    static constexpr HEXINDEX kCapital = MakeHex(20, 20);
    RecordingOrderView view;
    std::unique_ptr<CpuActionExecutor> executor;
};

TEST_F(CpuUnitCareTest, TheObjectiveGroupGrowsToHalfNearestFirst)
{
    // Three members and five others: (3 + 5 + 1) / 2 - 3 = 1 joins, the
    // one nearest the capital.
    for (int i = 0; i < 3; ++i) Own(i, MakeHex(40, 40 + i)).dwOrder |= kOrderObjectiveGroup;
    const int distances[] = {9, 4, 7, 2, 6};
    for (int i = 0; i < 5; ++i) Own(3 + i, MakeHex(20, 20 + distances[i]));
    EXPECT_EQ(CpuAssignObjectiveGroup(*doc), 0);
    int joined = 0;
    for (int i = 3; i < 8; ++i)
        if (doc->m_GameData.Country[1].Unit[i].dwOrder & kOrderObjectiveGroup) ++joined;
    EXPECT_EQ(joined, 1);
    EXPECT_TRUE(doc->m_GameData.Country[1].Unit[6].dwOrder & kOrderObjectiveGroup) << "distance 2";
    // Half of the group is in it now; a unit of a type that takes no
    // cities never joins this group.
    Own(8, MakeHex(20, 21), zrvtest::kFixtureTank);
    EXPECT_EQ(CpuAssignObjectiveGroup(*doc), 0);
    EXPECT_FALSE(doc->m_GameData.Country[1].Unit[8].dwOrder & kOrderObjectiveGroup);
}

TEST_F(CpuUnitCareTest, WeakUnitsGoByChanceAndTheEnemysDistance)
{
    struct Row {
        int strength, enemyDistance;
        bool belowLimit, disbanded;
    } rows[] = {
        {1, 1, false, true},   // 100 % and more
        {1, 6, false, false},  // the enemy 6 away: no chance
        {1, 0, false, false},  // no enemy anywhere
        {6, 1, false, false},  // not weak
        {1, 2, true, false},   // a country below its limit keeps it
        {1, 1, true, true},    // ... unless the enemy is next to it
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("strength " + std::to_string(row.strength) + " enemy " + std::to_string(row.enemyDistance));
        for (COUNTRYSTRUCT& c : doc->m_GameData.Country)
            for (UNITSTRUCT& u : c.Unit)
                if (u.dwFlag & kUnitInUse) {
                    doc->m_dwHexUnit[u.nHex] = kNoUnit;
                    u = UNITSTRUCT{};
                }
        doc->m_GameData.Country[0].nUnit = 0;
        view.calls.clear();
        UNITSTRUCT& u = Own(0, MakeHex(40, 40));
        u.nStrength = row.strength;
        if (row.enemyDistance > 0) Unit(0, 0, MakeHex(40, 40 + row.enemyDistance));
        COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
        c.nUnitMax = row.belowLimit ? 64 : c.nUnit;
        EXPECT_EQ(CpuDisbandWeakUnits(*doc), row.disbanded ? 1 : 0);
        EXPECT_EQ(view.Joined().find("ExecuteDispose") != std::string::npos, row.disbanded) << view.Joined();
    }
}

TEST_F(CpuUnitCareTest, SupplyMarksAreClearedAndSetAnew)
{
    UNITSTRUCT& u = Own(0, MakeHex(40, 40));
    u.dwSupplyFlag = (1u << 13) | (1u << 17) | (1u << 5);
    EXPECT_EQ(CpuMarkSupplyNeeds(*doc, true), 0);
    // The stay mark is gone, other bits stay; the unit, with no fuel and
    // no rounds, is marked again and the turn knows supply is needed.
    EXPECT_FALSE(u.dwSupplyFlag & (1u << 13));
    EXPECT_TRUE(u.dwSupplyFlag & (1u << 5));
    EXPECT_TRUE(u.dwSupplyFlag & kCpuUnitNeedsStock);
    EXPECT_TRUE(doc->m_dwCpuFlags & kCpuFlagSupplyNeeded);
}

}  // namespace
}  // namespace zrv
