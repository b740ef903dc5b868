#pragma once
// A battle document ready to start games: the fixture library, a program
// folder of its own with the fixture scenario "FIXTURE.SC2" and its map (see
// StartWorld.h), a hand-over block on the heap, a starter that records what it
// was asked to start, a recording view and scripted boxes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HandOverDoc.h"
#include "engine/RecordingView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "platform/core/Paths.h"
#include "startup/StartWorld.h"
#include "support/FixtureLibrary.h"

namespace startuptest {

using namespace zrv;

class StartFixture : public testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&zrvtest::FixtureLibrary());
        SetDialogs(&dialogs);
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("velmorath-start-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "Scenario");
        platform::SetProgramFolder(folder.string());

        scenario = std::make_unique<GAMEDATASTRUCT>();
        MakeScenario(*scenario);
        WriteScenario(*scenario);
        WriteMap(BuildMapFile(kFixtureArea, MapCells(), Cities(), true));

        doc = std::make_unique<CZRKGameDoc>(&clock);
        doc->SetView(&view);
        block = std::make_unique<HeapHandOverBlock>();
        link = std::make_unique<HandOverLink>(*block, starter, "/opt/velmorath");
        doc->SetHandOver(link.get());
    }

    void TearDown() override
    {
        doc.reset();
        SetDialogs(nullptr);
        SetLib(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void WriteScenario(const GAMEDATASTRUCT& g, const char* name = "FIXTURE.SC2")
    {
        WriteBytes(folder / "Scenario" / name, BuildScenarioFile(g));
    }
    void WriteMap(const std::vector<uint8_t>& bytes)
    {
        WriteBytes(folder / "Scenario" / "FIXTURE.MB2", bytes);
    }
    // Builds the fixture scenario in maker and saves it as "SAVE.DG2"; returns
    // the file's path.
    std::string SaveFixtureGame(CZRKGameDoc& maker)
    {
        maker.StartNewScenario(ScenarioFile(), false);
        // The reader takes only a block marked as a valid save.
        maker.m_GameData.dwGameOption = maker.m_dwGameOption | kOptionCampaign;
        std::string path = (folder / "SAVE.DG2").string();
        WriteBytes(path, BuildGameFile(maker.m_GameData));
        return path;
    }

    // The CP932 path the menu program would hand over.
    std::string ScenarioFile(const char* name = "FIXTURE.SC2") const { return platform::ScenarioPath(name); }

    // Everything a start may change, as bytes.
    std::vector<uint8_t> Snapshot() const
    {
        std::vector<uint8_t> s;
        auto add = [&s](const void* p, size_t n) {
            const auto* b = static_cast<const uint8_t*>(p);
            s.insert(s.end(), b, b + n);
        };
        add(&doc->m_GameData, sizeof doc->m_GameData);
        add(doc->m_dwHexCell, sizeof doc->m_dwHexCell);
        add(doc->m_dwHexUnit, sizeof doc->m_dwHexUnit);
        add(doc->m_CityName, sizeof doc->m_CityName);
        add(&doc->m_nCityName, sizeof doc->m_nCityName);
        add(&doc->m_rcMapArea, sizeof doc->m_rcMapArea);
        add(&doc->m_dwGameOption, sizeof doc->m_dwGameOption);
        return s;
    }

    FixedClock clock{1700000000};
    RecordingView view;
    ScriptedDialogService dialogs;
    RecordingStarter starter;
    std::filesystem::path folder;
    std::unique_ptr<GAMEDATASTRUCT> scenario;
    std::unique_ptr<HeapHandOverBlock> block;
    std::unique_ptr<HandOverLink> link;
    std::unique_ptr<CZRKGameDoc> doc;
};

}  // namespace startuptest
