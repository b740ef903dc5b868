// A whole battle with every country computer-run and no display: the turn
// machine, the computer player with the program's routines, its executor and
// the real map view as the order view, as the battle program puts them
// together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitRoutines.h"
#include "battle/engine/TurnMachine.h"
#include "battle/view/ViewCpuOrders.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using namespace zrv;

class CpuBattleTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        GAMEDATASTRUCT& g = doc->m_GameData;
        std::strncpy(g.Head.szName, "FIXTURE", sizeof g.Head.szName - 1);
        g.Head.dwTurnLimit = 10;
        g.nScenario = 0;
        g.dwDateTime = PackDate(41, 1, 10, 4);
        g.dwStateFlag = kStateFlagAtStart;
        for (int i = 0; i < 2; ++i) {
            COUNTRYSTRUCT& c = g.Country[i];
            c.dwFlag |= kCountryCpu;
            c.nControl = 1;
            c.nFund = 100000;
            c.nCapital = MakeHex(44 + 12 * i, 50);
            doc->m_dwHexCell[c.nCapital] = WithOwner(WithTerrain(0, kCity), i);
        }
        // Country 0's tank stands on its own city nearly out of fuel.
        doc->m_dwHexCell[kOwnHex] = WithOwner(WithTerrain(0, kCity), 0);
        own->nFuel = 1;
        (void)doc->RefreshUnitHexCell(*own);
        // A city nobody holds, between the two.
        doc->m_dwHexCell[kFreeCity] = WithTerrain(0, kCity);
        doc->m_dwHexCell[kFarCity] = WithTerrain(0, kCity);
        // A second unit each, away from the others.
        Place(0, 1, MakeHex(46, 48), zrvtest::kFixtureInfantry);
        Place(1, 1, MakeHex(54, 52), zrvtest::kFixtureInfantry);
        view->RebuildUnitDisplayMap();
        std::memcpy(g.dwHexCell, doc->m_dwHexCell, sizeof g.dwHexCell);

        doc->SetStubResult(DocStub::StepJudgement, 1);
        doc->SetFlowState(PHASE_START);
        doc->SetCpuTurnStep(&cpu);
        orders = std::make_unique<ViewCpuOrders>(*view);
        executor = std::make_unique<CpuActionExecutor>(*doc, *orders);
        ConnectCpuOrders(*executor, *doc, cpu.State());
        doc->SetOrderExecutor(executor.get());
        cpu.SetLog([this](const std::string& line) { logLines.push_back(line); });
        view->m_effectLog = [this](const char* what, int a, int b) {
            ++effects[what];
            if (std::string(what) == "flash" && a == kOwnHex) ++ownHexFlashes;
            (void)b;
        };
        machine.SetDocument(doc.get());
    }
    void TearDown() override
    {
        machine.SetDocument(nullptr);
        doc->SetOrderExecutor(nullptr);
        doc->SetCpuTurnStep(nullptr);
        view->m_effectLog = nullptr;
        OrderTest::TearDown();
    }

    // Every record in use stands where the unit map says, and the other way
    // round; each country counts what it has.
    void ExpectRecordsAgreeWithTheMap()
    {
        const GAMEDATASTRUCT& g = doc->m_GameData;
        for (int ci = 0; ci < kCountryCount; ++ci) {
            const COUNTRYSTRUCT& c = g.Country[ci];
            if (!(c.dwFlag & kCountryPresent)) continue;
            int inUse = 0;
            for (const UNITSTRUCT& u : c.Unit) {
                if (!(u.dwFlag & kUnitInUse)) continue;
                ++inUse;
                if (u.dwFlag & kUnitCarried) continue;
                ASSERT_TRUE(IsMapHex(u.nHex)) << "country " << ci;
                EXPECT_EQ(doc->m_dwHexUnit[u.nHex], u.refSelf) << "country " << ci << " at " << u.nHex;
            }
            EXPECT_EQ(c.nUnit, inUse) << "country " << ci;
        }
        for (int h = 0; h < kHexCount; ++h) {
            const UnitRef ref = doc->m_dwHexUnit[h];
            if (!IsUnitRef(ref)) continue;
            const UNITSTRUCT& u = g.Country[RefCountry(ref)].Unit[RefSlot(ref)];
            EXPECT_TRUE(u.dwFlag & kUnitInUse) << "hex " << h;
            EXPECT_EQ(u.nHex, h);
        }
    }

    static constexpr HEXINDEX kFreeCity = MakeHex(48, 50);
    static constexpr HEXINDEX kFarCity = MakeHex(90, 90);
    CpuPlayer cpu{CpuUnitRoutines()};
    std::unique_ptr<ViewCpuOrders> orders;
    std::unique_ptr<CpuActionExecutor> executor;
    TurnMachine machine;
    std::map<std::string, int> effects;
    int ownHexFlashes = 0;
    std::vector<std::string> logLines;
};

TEST_F(CpuBattleTest, EveryPhaseEndsAndTheRecordsAgreeAfterEveryPass)
{
    constexpr int kTurns = 3;
    const size_t boxesBefore = dialogs.Boxes().size();
    int passes = 0;
    int phasePasses = 0;
    int longestPhase = 0;
    bool supplied = false;
    while (machine.RunIdlePass()) {
        ASSERT_LT(++passes, 50000) << "the battle does not end";
        ExpectRecordsAgreeWithTheMap();
        if (HasFatalFailure() || testing::Test::HasFailure()) return;
        if (doc->m_GameData.nFlowState == PHASE_CPU) {
            longestPhase = std::max(longestPhase, ++phasePasses);
        } else {
            phasePasses = 0;
            // Between two phases no order is half done.
            EXPECT_EQ(view->m_pSelUnit, nullptr);
            EXPECT_FALSE(view->m_dwState & kViewBusy);
        }
        // Step 4 of country 0's first phase supplies the tank on its city.
        if (!supplied && own->nFuel > 1) {
            supplied = true;
            EXPECT_EQ(doc->m_GameData.nTurn, 1);
            EXPECT_EQ(doc->m_GameData.nCurCountry, 0);
            EXPECT_GE(ownHexFlashes, 1) << "the supply is shown at the tank's hex";
        }
        if (doc->m_GameData.nFlowState == PHASE_JUDGE && doc->m_GameData.nTurn == kTurns)
            doc->SetStubResult(DocStub::StepJudgement, 0);
    }
    EXPECT_TRUE(supplied);
    EXPECT_EQ(doc->m_GameData.nTurn, kTurns);
    EXPECT_EQ(doc->m_GameData.nFlowState, 0);  // handed back to the title
    EXPECT_EQ(cpu.BudgetStops(), 0);
    EXPECT_TRUE(logLines.empty());
    EXPECT_LT(longestPhase, CpuPlayer::kPassBudget);
    // Each phase of each country opened and closed the progress window
    // through the view, and showed its steps there.
    EXPECT_EQ(effects["progress-open"], 2 * kTurns);
    EXPECT_EQ(effects["progress-close"], 2 * kTurns);
    EXPECT_GE(effects["progress"], 2 * kTurns * 40);
    // The units marched (their slides were shown) and one occupied the free
    // city: its defences are lower than those of a city nobody reached.
    EXPECT_GT(effects["slide"], 0);
    EXPECT_LT(CellDurability(doc->m_dwHexCell[kFreeCity]), CellDurability(doc->m_dwHexCell[kFarCity]));
    // The two sides met and fought: the computer's attacks were shown.
    EXPECT_GT(effects["explosion"], 0);
    // Nothing went wrong enough to say so.
    EXPECT_EQ(dialogs.Boxes().size(), boxesBefore) << dialogs.Boxes().back().text;
}

}  // namespace
}  // namespace viewtest
