// The attacks over the country's whole list of units and the candidate
// list they walk.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuAttackOrders.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/HexGeometry.h"
#include "cpu/CpuFixture.h"
#include "cpu/RecordingOrderView.h"

namespace zrv {
namespace {

class CpuAttackOrdersTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        executor = std::make_unique<CpuActionExecutor>(*doc, view);
        doc->SetOrderExecutor(executor.get());
        view.onCpuMove = [this](UNITSTRUCT& u) {
            doc->m_dwHexUnit[u.nHex] = kNoUnit;
            u.nHex = u.nCpuTarget;
            u.dwFlag |= kUnitMoved;
            doc->m_dwHexUnit[u.nHex] = u.refSelf;
        };
        view.onAttack = [](UNITSTRUCT& u) { u.dwFlag |= kUnitActed; };
        doc->m_GameData.Country[1].nCapital = kCapital;
        doc->m_nCpuStep = 19;
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        CpuFixture::TearDown();
    }
    UNITSTRUCT& Own(int slot, HEXINDEX h, int type = zrvtest::kFixtureInfantry)
    {
        UNITSTRUCT& u = Unit(1, slot, h, type);
        u.nMove = 6;
        u.nFuel = 50;
        Arm(u);
        doc->m_GameData.Country[1].nUnit = std::max(doc->m_GameData.Country[1].nUnit, slot + 1);
        return u;
    }
    UNITSTRUCT& Enemy(int slot, HEXINDEX h, int type = zrvtest::kFixtureInfantry)
    {
        UNITSTRUCT& u = Unit(0, slot, h, type);
        Arm(u);
        doc->m_GameData.Country[0].nUnit = std::max(doc->m_GameData.Country[0].nUnit, slot + 1);
        return u;
    }
    static void Arm(UNITSTRUCT& u)
    {
        for (int& rounds : u.nAmmo) rounds = 10;
    }
    std::string Orders() const
    {
        std::string ops;
        for (const std::string& c : view.calls)
            if (c.rfind("Execute", 0) == 0) ops += (ops.empty() ? "" : " ") + c.substr(0, c.find('('));
        return ops;
    }
    std::vector<UnitRef> List(int kind, bool ascending, bool carried = false, bool marked = false)
    {
        std::vector<UnitRef> out(65);
        out.resize(static_cast<size_t>(BuildCandidateList(*doc, kind, ascending, carried, marked, out)));
        return out;
    }

    static constexpr HEXINDEX kCapital = MakeHex(20, 20);
    RecordingOrderView view;
    std::unique_ptr<CpuActionExecutor> executor;
    CpuPlayer cpu;
};

TEST_F(CpuAttackOrdersTest, CandidateKeysAndWhoQualifies)
{
    UNITSTRUCT& weak = Own(0, MakeHex(30, 30));
    weak.nStrength = 4;
    UNITSTRUCT& strong = Own(1, MakeHex(31, 30));
    UNITSTRUCT& veteran = Own(2, MakeHex(32, 30));
    veteran.nExp = 50;
    UNITSTRUCT& tank = Own(3, MakeHex(22, 20), zrvtest::kFixtureTank);
    tank.nStrength = 8;
    UNITSTRUCT& acted = Own(4, MakeHex(33, 30));
    acted.dwFlag |= kUnitActed;
    UNITSTRUCT& stays = Own(5, MakeHex(34, 30));
    stays.dwSupplyFlag |= kCpuUnitStay;
    UNITSTRUCT& needy = Own(6, MakeHex(40, 40));
    needy.dwSupplyFlag |= kCpuUnitNeedsStock;
    needy.nStrength = 3;

    const auto r = [](const UNITSTRUCT& u) { return u.refSelf; };
    struct Row {
        int kind;
        bool ascending, marked;
        std::vector<UnitRef> want;
    } rows[] = {
        // Strength first, then price, then experience; the acted unit never.
        {0, false, false, {r(veteran), r(strong), r(tank), r(weak), r(needy)}},
        {0, false, true, {r(veteran), r(strong), r(stays), r(tank), r(weak), r(needy)}},
        {0, true, false, {r(needy), r(weak), r(tank), r(strong), r(veteran)}},
        // By distance to the capital; a unit needing supply sorts by its
        // weakness before all of them.
        {kCandidateByCapital, true, false, {r(tank), r(weak), r(strong), r(veteran), r(needy)}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(List(row.kind, row.ascending, false, row.marked), row.want) << "kind " << row.kind;
    // Key-kind units only, by strength and experience.
    const std::vector<UnitRef> keyKind = List(kCandidateKeyKind, false);
    ASSERT_FALSE(keyKind.empty());
    EXPECT_EQ(keyKind.front(), veteran.refSelf);
}

TEST_F(CpuAttackOrdersTest, ACarriedUnitCountsOnlyWhenAllowed)
{
    UNITSTRUCT& ship = Own(0, MakeHex(30, 30), zrvtest::kFixtureDestroyer);
    UNITSTRUCT& aboard = Own(1, MakeHex(30, 30));
    aboard.dwFlag |= kUnitCarried;
    aboard.dwCargo = MakeCargo(0, 0);
    doc->m_dwHexUnit[ship.nHex] = ship.refSelf;
    // Not a class-58 carrier: the unit aboard never counts.
    EXPECT_EQ(List(0, false, true).size(), 1u);
    EXPECT_EQ(List(0, false, false).size(), 1u);
}

TEST_F(CpuAttackOrdersTest, TheBestAttackerFiresWhereItStands)
{
    const HEXINDEX enemyHex = MakeHex(30, 30);
    Enemy(0, enemyHex);
    UNITSTRUCT& next = Own(0, MakeHex(30, 31), zrvtest::kFixtureTank);
    next.nMove = 0;
    Own(1, MakeHex(50, 50));  // nothing in its reach
    EXPECT_EQ(CpuAttackUnits(*doc, cpu.State(), true), 1);
    // It cannot move: it fires from its hex, flashed there.
    EXPECT_EQ(Orders(), "ExecuteAttack");
    EXPECT_NE(view.Joined().find("Flash(" + std::to_string(next.nHex)), std::string::npos) << view.Joined();
    EXPECT_TRUE(next.dwFlag & kUnitActed);
    // The not-a-target marks are gone after the attack.
    for (const UNITSTRUCT& u : doc->m_GameData.Country[0].Unit) EXPECT_FALSE(u.dwSupplyFlag & kCpuNotATarget);
    // The acted unit is not asked again; the far one has nothing to attack.
    view.calls.clear();
    EXPECT_EQ(CpuAttackUnits(*doc, cpu.State(), true), 0);
    EXPECT_EQ(Orders(), "");
}

TEST_F(CpuAttackOrdersTest, AnAttackerMovesToItsFiringHexFirst)
{
    const HEXINDEX enemyHex = MakeHex(30, 30);
    Enemy(0, enemyHex);
    UNITSTRUCT& u = Own(0, MakeHex(30, 33), zrvtest::kFixtureTank);
    EXPECT_EQ(CpuAttackUnits(*doc, cpu.State(), true), 1);
    EXPECT_EQ(Orders().substr(0, 28), "ExecuteCpuMove ExecuteAttack") << view.Joined();
    EXPECT_EQ(GetHexDistance(u.nHex, enemyHex), 1);
    // Busy units sit out when asked: one needing supply is passed over.
    Own(1, MakeHex(30, 34)).dwSupplyFlag |= kCpuUnitNeedsStrength;
    view.calls.clear();
    EXPECT_EQ(CpuAttackUnits(*doc, cpu.State(), true), 0);
    EXPECT_EQ(Orders(), "");
}

TEST_F(CpuAttackOrdersTest, AfterNewDetectionsOnlyAPressingAttackIsMade)
{
    doc->m_nCpuStep = 22;
    Enemy(0, MakeHex(30, 30));
    UNITSTRUCT& a = Own(0, MakeHex(30, 31), zrvtest::kFixtureTank);
    a.nMove = 0;
    // A tank against infantry in the open: neither a set suited to the
    // target's domain nor a target on the capital.
    EXPECT_EQ(CpuAttackUnits(*doc, cpu.State(), true), 0);
    EXPECT_FALSE(static_cast<uint32_t>(a.nCpuScore) & (kScoreDomainFit | kScoreOnCapital));
    EXPECT_EQ(Orders(), "");
    // An enemy on the capital is always worth it.
    view.calls.clear();
    Enemy(1, kCapital);
    UNITSTRUCT& guard = Own(1, MakeHex(20, 21), zrvtest::kFixtureTank);
    guard.nMove = 0;
    EXPECT_EQ(CpuAttackUnits(*doc, cpu.State(), true), 1);
    EXPECT_TRUE(static_cast<uint32_t>(guard.nCpuScore) & kScoreOnCapital);
    EXPECT_NE(Orders().find("ExecuteAttack"), std::string::npos) << view.Joined();
}

}  // namespace
}  // namespace zrv
