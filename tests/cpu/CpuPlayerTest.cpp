#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "battle/cpu/CpuPlayer.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/PhaseSteps.h"
#include "cpu/CpuFixture.h"

namespace zrv {
namespace {

const char* const kNames[] = {
    "OrderBombingMarch", "EvolveUnits",      "ImproveUnits",       "DisbandWeakUnits",     "MarkSupplyNeeds",
    "ChooseAirArms",     "DiveUnits",        "SurfaceUnits",       "AssignObjectiveGroup", "MoveToSupply",
    "JoinUnits",         "EvacuateWeakUnits", "ResupplyUnits",     "ActUnits",             "BuildWorks",
    "RefuelUnits",       "AttackUnits",      "ScoutObjective",     "MarkHomeArea",         "BombTargets",
    "ReturnToBase",      "GuardCapital",     "RunTransports",      "RedeployNearCapital",  "DisbandReturnedUnits",
    "ManoeuvreUnits",    "PlanProduction",   "ProduceUnits",       "ClearProductionHex",   "DisbandForProduction",
    "WithdrawAndMerge",  "AttackBestUnit",   "DisbandForFunds",    "MergeUnits",           "RallyToCapital",
    "KeepSupplyMarks",
};
static_assert(std::size(kNames) == static_cast<size_t>(CpuRoutine::Count));

// Country 1 (computer-run, side 1) plays; every routine answers with the
// scripted result and, for a positive one, counts an order that went
// through (unless ordered is false).
class CpuPlayerTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        doc->SetFlowState(PHASE_CPU);
        for (int r = 0; r < static_cast<int>(CpuRoutine::Count); ++r) {
            player.Routines().Set(static_cast<CpuRoutine>(r),
                                  [this, r](CZRKGameDoc& d, CpuTurnState&, const CpuRoutineArgs& a) {
                                      std::string call = kNames[r];
                                      if (a.a || a.b || a.c)
                                          call += "(" + std::to_string(a.a) + "," + std::to_string(a.b) + "," +
                                                  std::to_string(a.c) + ")";
                                      calls.push_back(call);
                                      if (during) during(d);
                                      if (result > 0 && ordered) d.CountOrderDone();
                                      return result;
                                  });
        }
        player.SetLog([this](const std::string& line) { log.push_back(line); });
        doc->SetCpuTurnStep(&player);
    }
    void TearDown() override
    {
        doc->SetCpuTurnStep(nullptr);
        CpuFixture::TearDown();
    }
    void Pass()
    {
        calls.clear();
        doc->RunCpuTurnStep();
    }
    // Runs passes until the phase ends (at most limit); the set of routines
    // called on the way.
    std::set<std::string> PlayToEnd(int limit = 500)
    {
        std::set<std::string> seen;
        for (int i = 0; i < limit && doc->m_GameData.nFlowState == PHASE_CPU; ++i) {
            Pass();
            seen.insert(calls.begin(), calls.end());
        }
        return seen;
    }

    CpuPlayer player;
    std::vector<std::string> calls;
    std::vector<std::string> log;
    int result = 0;
    bool ordered = true;
    std::function<void(CZRKGameDoc&)> during;
};

// Every step of both sequences with its routine answering 1, 0 and -1: the
// routines called and the next index. The conditions of steps 22, 23 and
// 42 are set where the row says so.
TEST_F(CpuPlayerTest, EveryStepFollowsItsRule)
{
    struct Row {
        int step;
        const char* work;  // the routines called, joined by ' '
        int on1, on0, onNeg;
    };
    // Repeat: s, s+1, s+1. Advance: s+1 always.
    auto rep = [](int s, const char* w) { return Row{s, w, s, s + 1, s + 1}; };
    auto adv = [](int s, const char* w) { return Row{s, w, s + 1, s + 1, s + 1}; };
    const Row rows[] = {
        rep(1, "OrderBombingMarch"), rep(2, "EvolveUnits"), rep(3, "ImproveUnits"), adv(4, ""),
        rep(5, "DisbandWeakUnits"), adv(6, "MarkSupplyNeeds(1,0,0)"), adv(7, "ChooseAirArms"),
        rep(8, "DiveUnits"), rep(9, "SurfaceUnits"), adv(10, "AssignObjectiveGroup"), rep(11, "MoveToSupply"),
        rep(12, "JoinUnits(1,0,0)"), rep(13, "JoinUnits"), rep(14, "EvacuateWeakUnits"),
        rep(15, "ResupplyUnits(1,0,0)"), rep(16, "ActUnits(9,1,0)"), rep(17, "BuildWorks"),
        rep(18, "RefuelUnits(1,1,0)"), rep(19, "ChooseAirArms AttackUnits(1,0,0)"),
        adv(20, "MarkSupplyNeeds(1,0,0)"), rep(21, "RefuelUnits(1,0,0)"),
        rep(22, "ChooseAirArms AttackUnits(1,0,0)"),  // flag bit 25 set
        {23, "ScoutObjective", 22, 24, 24},            // search option on
        adv(24, "MarkHomeArea"), rep(25, "BombTargets"), rep(26, "ReturnToBase"),
        {27, "GuardCapital", 26, 28, 28}, rep(28, "RunTransports"), rep(29, "RedeployNearCapital"),
        rep(30, "ReturnToBase"), rep(31, "DisbandReturnedUnits"), rep(32, "JoinUnits(2,0,0)"),
        rep(33, "ActUnits(10,1,0)"), rep(34, "ManoeuvreUnits"), rep(35, "ActUnits(9,0,1)"), adv(36, ""),
        rep(37, "ResupplyUnits"), rep(38, "BuildWorks(1,0,0)"), adv(39, "PlanProduction"),
        adv(40, "ProduceUnits(1,0,0)"), adv(41, "PlanProduction"), rep(42, "ProduceUnits"),
        {43, "ClearProductionHex", 42, 44, 44}, {44, "DisbandForProduction(1,0,0)", 41, 45, 45},
        rep(45, "ManoeuvreUnits"), rep(46, "WithdrawAndMerge"), adv(47, "PlanProduction"),
        rep(48, "ProduceUnits"), adv(50, ""), rep(51, "OrderBombingMarch"), rep(52, "DisbandWeakUnits"),
        rep(53, "EvolveUnits"), rep(54, "ImproveUnits"), adv(55, ""), adv(56, "MarkSupplyNeeds(1,0,0)"),
        adv(57, "ChooseAirArms"), rep(58, "DiveUnits"), rep(59, "SurfaceUnits"), rep(60, "MoveToSupply"),
        rep(61, "JoinUnits(1,0,0)"), rep(62, "JoinUnits"), rep(63, "ActUnits(9,1,0)"), rep(64, "BuildWorks"),
        rep(65, "AttackBestUnit(1,0,0)"), rep(66, "BuildWorks(1,0,0)"), rep(67, "RefuelUnits(1,0,0)"),
        adv(68, "MarkHomeArea"), rep(69, "BombTargets"), rep(70, "ReturnToBase"), {71, "GuardCapital", 70, 72, 72},
        rep(72, "RunTransports"), adv(73, ""), adv(74, "PlanProduction"), rep(75, "ProduceUnits"),
        {76, "ClearProductionHex", 75, 77, 77}, {77, "DisbandForFunds", 78, 80, 80}, rep(78, "ProduceUnits"),
        {79, "ClearProductionHex", 77, 77, 77}, adv(80, ""), rep(81, "AttackBestUnit(2,0,0)"),
        rep(82, "MergeUnits"), rep(83, "RallyToCapital"), adv(84, "PlanProduction"), rep(85, "ProduceUnits"),
        {86, "DisbandForProduction(2,0,0)", 84, 87, 87}, rep(87, "WithdrawAndMerge"),
    };
    for (const Row& row : rows) {
        for (int r : {1, 0, -1}) {
            SCOPED_TRACE("step " + std::to_string(row.step) + " answering " + std::to_string(r));
            doc->m_nCpuStep = row.step;
            doc->m_dwCpuFlags = kCpuFlagSearchFound | 1;
            doc->m_pCurCountry->dwFlag |= kCountryFog;
            result = r;
            Pass();
            std::string joined;
            for (const std::string& c : calls) joined += (joined.empty() ? "" : " ") + c;
            // Step 77 plans again after a disposal that went through.
            if (row.step == 77 && r == 1) EXPECT_EQ(joined, "DisbandForFunds PlanProduction");
            else EXPECT_EQ(joined, row.work);
            EXPECT_EQ(doc->m_nCpuStep, r == 1 ? row.on1 : r == 0 ? row.on0 : row.onNeg);
        }
    }
}

TEST_F(CpuPlayerTest, ConditionalStepsAndFlagWork)
{
    // Step 22 without a new detection and step 23 without the search option
    // call nothing and advance; step 23 clears bit 25.
    doc->m_dwCpuFlags = 0;
    result = 1;
    doc->m_nCpuStep = 22;
    Pass();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(doc->m_nCpuStep, 23);
    doc->m_pCurCountry->dwFlag &= ~kCountryFog;
    doc->m_dwCpuFlags = kCpuFlagSearchFound;
    Pass();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(doc->m_nCpuStep, 24);
    EXPECT_EQ(doc->m_dwCpuFlags & kCpuFlagSearchFound, 0u);

    // Category 16 or more: the production steps advance without the producer.
    for (int step : {42, 48, 75, 78, 85}) {
        doc->m_nCpuStep = step;
        doc->m_dwCpuFlags = 16;
        Pass();
        EXPECT_TRUE(calls.empty()) << step;
        EXPECT_EQ(doc->m_nCpuStep, step + 1);
    }
    // The producer repeats on 1 without an order of its own (it moves its
    // category on); step 40 sets the whole flag word to 8.
    ordered = false;
    doc->m_nCpuStep = 42;
    doc->m_dwCpuFlags = 4;
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, 42);
    doc->m_nCpuStep = 40;
    doc->m_dwCpuFlags = 0xFF000004u;
    Pass();
    EXPECT_EQ(doc->m_dwCpuFlags, 8u);
    EXPECT_EQ(doc->m_nCpuStep, 41);

    // Other routines that answer 1 with no order gone through count as 0.
    for (int step : {1, 27, 44, 77}) {
        doc->m_nCpuStep = step;
        Pass();
        EXPECT_EQ(doc->m_nCpuStep, step == 77 ? 80 : step + 1) << step;
    }
    ordered = true;

    // Bit 24 goes before each join list; step 36 clears the passed-over
    // mark of the country's units only; step 39 zeroes the tally.
    for (int step : {12, 13, 32, 61, 62}) {
        doc->m_nCpuStep = step;
        doc->m_dwCpuFlags = kCpuFlagBaseLeft;
        Pass();
        EXPECT_EQ(doc->m_dwCpuFlags & kCpuFlagBaseLeft, 0u) << step;
    }
    Unit(1, 0, 1000).dwSupplyFlag = kCpuUnitPassedOver | 1;
    Unit(0, 0, 2000).dwSupplyFlag = kCpuUnitPassedOver;
    doc->m_CpuWork.nClassList[5] = 3;
    doc->m_nCpuStep = 36;
    Pass();
    EXPECT_EQ(doc->m_GameData.Country[1].Unit[0].dwSupplyFlag, 1u);
    EXPECT_EQ(doc->m_GameData.Country[0].Unit[0].dwSupplyFlag, kCpuUnitPassedOver);
    doc->m_nCpuStep = 39;
    Pass();
    EXPECT_EQ(doc->m_CpuWork.nClassList[5], 0);
}

TEST_F(CpuPlayerTest, StartOfTurn)
{
    // A normal turn: flag word and counters cleared, the progress window
    // opened, step 1 next.
    doc->m_dwCpuFlags = 0xFFFFFFFFu;
    doc->m_nCpuCounter[0] = 4;
    doc->m_nCpuStep = 0;
    view.calls.clear();
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, 1);
    EXPECT_EQ(doc->m_dwCpuFlags, 0u);
    EXPECT_EQ(doc->m_nCpuCounter[0], 0);
    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls[0], "UpdateProgressWindow(0)");
    EXPECT_EQ(view.Count("OpenProgressWindow()"), 1);

    // A threatened capital: bit 31 and the defensive sequence.
    const HEXINDEX capital = MakeHex(60, 60);
    doc->m_pCurCountry->nCapital = capital;
    for (int i = 0; i < 5; ++i) Unit(0, i, MakeHex(62, 58 + i));
    doc->m_nCpuStep = 0;
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, kCpuFirstDefensiveStep);
    EXPECT_EQ(doc->m_dwCpuFlags, kCpuFlagDefensive);
}

TEST_F(CpuPlayerTest, SideTwoEndsOnTheSecondPassWithoutProgressWindow)
{
    doc->m_pCurCountry->nSide = 2;
    doc->m_nCpuStep = 0;
    view.calls.clear();
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, kCpuNormalEndStep);
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_CPU);
    Pass();
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE);
    EXPECT_EQ(calls, (std::vector<std::string>{"KeepSupplyMarks"}));
    EXPECT_EQ(view.Count("OpenProgressWindow()"), 0);
    EXPECT_EQ(view.Count("CloseProgressWindow()"), 1);
    EXPECT_EQ(doc->m_nCpuStep, kCpuNormalEndStep);  // kept
}

TEST_F(CpuPlayerTest, IndexSetDuringAStepStands)
{
    result = 1;
    // A surrender restarts the turn: the advance does not write over it.
    during = [](CZRKGameDoc& d) { d.m_nCpuStep = 0; };
    doc->m_nCpuStep = 5;
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, 0);
    // A negative index becomes 0.
    during = [](CZRKGameDoc& d) { d.m_nCpuStep = -7; };
    doc->m_nCpuStep = 7;
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, 0);
    // A load during the step (bit 23): back to 0, the bit cleared.
    during = [](CZRKGameDoc& d) { d.m_dwCpuFlags |= kCpuFlagRestartTurn; };
    doc->m_nCpuStep = 10;
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, 0);
    EXPECT_EQ(doc->m_dwCpuFlags & kCpuFlagRestartTurn, 0u);
}

TEST_F(CpuPlayerTest, AnIndexOutsideTheTableEndsThePhase)
{
    for (int step : {89, 1000, -3}) {
        doc->SetFlowState(PHASE_CPU);
        doc->m_nCpuStep = step;
        Pass();
        EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE) << step;
    }
}

TEST_F(CpuPlayerTest, ThePassBudgetEndsAPhaseThatNeverEnds)
{
    result = 1;
    player.SetPassBudget(30);
    doc->m_nCpuStep = 0;
    PlayToEnd(100);
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE);
    EXPECT_EQ(player.BudgetStops(), 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("passed 30 steps"), std::string::npos);
}

// Whole turns with every routine answering 0: which routines each sequence
// runs.
TEST_F(CpuPlayerTest, EachSequenceRunsItsOwnRoutines)
{
    const std::set<std::string> defensiveOnly = {"AttackBestUnit(1,0,0)", "AttackBestUnit(2,0,0)",
                                                 "DisbandForFunds", "MergeUnits", "RallyToCapital"};
    const std::set<std::string> normalOnly = {"AssignObjectiveGroup", "EvacuateWeakUnits", "ResupplyUnits(1,0,0)",
                                              "ResupplyUnits", "AttackUnits(1,0,0)", "RedeployNearCapital",
                                              "DisbandReturnedUnits", "JoinUnits(2,0,0)", "ManoeuvreUnits"};
    doc->m_nCpuStep = 0;
    const std::set<std::string> normal = PlayToEnd();
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE);
    for (const std::string& r : defensiveOnly) EXPECT_EQ(normal.count(r), 0u) << r;
    for (const std::string& r : normalOnly) EXPECT_EQ(normal.count(r), 1u) << r;
    EXPECT_EQ(normal.count("KeepSupplyMarks"), 1u);

    // Scouting is in the normal turn only (with the search option on).
    doc->m_pCurCountry->nCapital = MakeHex(60, 60);
    doc->m_pCurCountry->dwFlag |= kCountryFog;
    for (int i = 0; i < 5; ++i) Unit(0, i, MakeHex(62, 58 + i));
    doc->SetFlowState(PHASE_CPU);
    doc->m_nCpuStep = 0;
    const std::set<std::string> defensive = PlayToEnd();
    EXPECT_EQ(doc->m_GameData.nFlowState, PHASE_ENDPHASE);
    EXPECT_EQ(doc->m_nCpuStep, kCpuLastStep);
    for (const std::string& r : defensiveOnly) EXPECT_EQ(defensive.count(r), 1u) << r;
    for (const std::string& r : normalOnly) EXPECT_EQ(defensive.count(r), 0u) << r;
    EXPECT_EQ(defensive.count("ScoutObjective"), 0u);
}

TEST_F(CpuPlayerTest, ALoadBetweenTwoPassesStartsTheTurnAgain)
{
    doc->m_nCpuStep = 0;
    Pass();
    // What a load does to the driver's state.
    doc->m_nCpuStep = 0;
    doc->m_dwCpuFlags |= kCpuFlagRestartTurn | kCpuFlagDefensive;
    view.calls.clear();
    Pass();
    EXPECT_EQ(doc->m_nCpuStep, 1);
    EXPECT_EQ(doc->m_dwCpuFlags, 0u);
    EXPECT_EQ(view.Count("OpenProgressWindow()"), 1);
}

}  // namespace
}  // namespace zrv
