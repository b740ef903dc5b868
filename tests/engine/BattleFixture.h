#pragma once
// A two-country battle with no display, built directly on a map of open
// plain: country 0 human-run on side 0, country 1 computer-run on side 1, one
// fuelled unit each on its own hex, a recording view, scripted dialogs, a fixed clock, a seeded game
// generator, the fixture library and a program folder of its own with "Data".
// The turn machine runs it; Pass() runs one idle pass and checks that both
// copies of the state agree.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/engine/PhaseSteps.h"
#include "battle/engine/TurnMachine.h"
#include "battle/engine/UnitRules.h"
#include "engine/RecordingView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"
#include "support/FixtureLibrary.h"

namespace zrv {

class BattleFixture : public testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&zrvtest::FixtureLibrary());
        SetDialogs(&dialogs);
        root = std::filesystem::temp_directory_path() /
               ("velmorath-turns-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Data");
        platform::SetProgramFolder(root.string());

        doc = std::make_unique<CZRKGameDoc>(&clock);
        doc->SetView(&view);
        doc->Random().Seed(20);
        GAMEDATASTRUCT& g = doc->m_GameData;
        std::strncpy(g.Head.szName, "FIXTURE", sizeof g.Head.szName - 1);
        g.Head.dwTurnLimit = 10;
        g.nScenario = 0;
        g.dwDateTime = PackDate(41, 1, 10, 4);
        g.dwStateFlag = kStateFlagAtStart;
        // Open plain everywhere, so units can move and stay where they are.
        for (int hex = 0; hex < kHexCount; ++hex) {
            g.dwHexCell[hex] = doc->m_dwHexCell[hex] = WithTerrain(0, zrvtest::kFixturePlain);
        }
        const char* names[] = {"ノルデン", "ズーダン"};
        for (int i = 0; i < 2; ++i) {
            COUNTRYSTRUCT& c = g.Country[i];
            c.dwFlag = kCountryPresent | (i == 1 ? kCountryCpu : 0);
            c.nIndex = i;
            c.nSide = i;
            c.nControl = i;
            c.nBGM = 3 + i;
            c.nFund = 1000;
            c.nCapital = MakeHex(40, 40 + 20 * i);
            std::strncpy(c.szName, names[i], sizeof c.szName - 1);
            UNITSTRUCT& u = c.Unit[0];
            u.dwFlag = kUnitInUse;
            u.nArms = zrvtest::kFixtureInfantry;
            u.nHex = MakeHex(42, 40 + 20 * i);
            u.nStrength = 10;
            u.nFuel = 50;
            u.refSelf = MakeUnitRef(i, 0);
            u.dwCargo = MakeCargo(kNoCarrier, 0);
            CalcUnitMovePoints(u, &g);
            c.nUnit = 1;
            doc->m_dwHexUnit[u.nHex] = u.refSelf;
        }
        // Judgement: play on.
        doc->SetStubResult(DocStub::StepJudgement, 1);
        doc->SetFlowState(PHASE_START);
        machine.SetDocument(doc.get());
        view.calls.clear();
    }

    void TearDown() override
    {
        machine.SetDocument(nullptr);
        SetDialogs(nullptr);
        SetLib(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    // One idle pass; the two copies of the state must agree after it.
    bool Pass()
    {
        bool more = machine.RunIdlePass();
        EXPECT_EQ(machine.FlowState(), doc->m_GameData.nFlowState);
        return more;
    }
    int State() const { return doc->m_GameData.nFlowState; }
    int Cur() const { return doc->m_GameData.nCurCountry; }
    COUNTRYSTRUCT& Country(int i) { return doc->m_GameData.Country[i]; }

    // The map view's click that leaves state 16.
    void Click()
    {
        ASSERT_EQ(State(), PHASE_WAITCLICK);
        doc->m_pCurCountry->dwViewOption |= kViewMapShown;
        doc->CommitTurnState();
    }

    FixedClock clock{1700000000};
    RecordingView view;
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc;
    TurnMachine machine;
    std::filesystem::path root;
};

}  // namespace zrv
