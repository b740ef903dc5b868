#pragma once
// A battle document with no display: four present countries (0 and 2 human
// on side 0, 1 and 3 computer-run on side 1), country 0 current, a recording
// view, a scripted dialog service, a fixed clock and a small library.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/engine/LibShim.h"
#include "engine/RecordingView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"

namespace zrv {

inline constexpr int kFixtureTerrainPlain = 0;
inline constexpr int kFixtureTerrainCity = 1;  // occupiable

class DocFixture : public testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 24; ++i) {
            m_errorTexts[i] = "エラー" + std::to_string(i);
            m_errorPtrs[i] = m_errorTexts[i].c_str();
        }
        m_lib.ErrorMessage = m_errorPtrs;
        SetLib(&m_lib);
        m_terrain[kFixtureTerrainCity].dwTrrnFlag = kTerrainOccupiable;
        LibShim().TerrainBase = m_terrain;
        LibShim().MsgWeatherNext = m_forecast;
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
        LibShim() = {};
    }

    FixedClock clock{1700000000};
    RecordingView view;
    ScriptedDialogService dialogs;
    std::unique_ptr<CZRKGameDoc> doc;
    int mirror = -100;

private:
    std::string m_errorTexts[24];
    const char* m_errorPtrs[24] = {};
    const char* m_forecast[4] = {"変わらず", "悪化", "回復", "砂嵐"};
    TRRNSTRUCT m_terrain[2] = {};
    DataLibrary m_lib;
};

}  // namespace zrv
