#pragma once
// A battle document with no display: four present countries (0 and 2 human
// on side 0, 1 and 3 computer-run on side 1), country 0 current, a recording
// view, a scripted dialog service, a fixed clock and the fixture library.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "battle/engine/GameDoc.h"
#include "engine/RecordingView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "support/FixtureLibrary.h"

namespace zrv {

inline constexpr int kFixtureTerrainPlain = zrvtest::kFixturePlain;
inline constexpr int kFixtureTerrainCity = zrvtest::kFixtureCity;  // occupiable

class DocFixture : public testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&zrvtest::FixtureLibrary());
        SetDialogs(&dialogs);

        doc = std::make_unique<CZRKGameDoc>(&clock);
        doc->SetView(&view);
        doc->SetFlowStateMirror([this](int s) { mirror = s; });
        const char* names[] = {"ノルデン", "ズーダン", "オスタル", "ヴェスタ"};
        for (int i = 0; i < 4; ++i) {
            COUNTRYSTRUCT& c = doc->m_GameData.Country[i];
            c.dwFlag = kCountryPresent | (i % 2 ? kCountryCpu : 0);
            c.nIndex = i;
            c.nSide = i % 2;
            c.nControl = i % 2;
            std::strncpy(c.szName, names[i], sizeof c.szName - 1);
        }
        doc->SetCurrentCountry(0);
        doc->SetFlowState(PHASE_HUMAN);
        view.state.phaseCommands = true;
        view.calls.clear();
    }

    void TearDown() override
    {
        SetDialogs(nullptr);
        SetLib(nullptr);
    }

    FixedClock clock{1700000000};
    RecordingView view;
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc;
    int mirror = -100;
};

}  // namespace zrv
