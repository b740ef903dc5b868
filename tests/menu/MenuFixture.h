#pragma once
// The menu program's document and view on a fixture: a copy of the fixture
// library with three campaign scenarios, four world-situation cities and
// nations, a program folder of its own with two of the scenario files, a
// hand-over block of its own, settings in memory, scripted boxes and menu
// dialogs, a recording battle starter and recording scenes.

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "audio/FakeAudio.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/HandOver.h"
#include "menu/MenuDoc.h"
#include "menu/MenuView.h"
#include "platform/core/Paths.h"
#include "platform/core/Settings.h"
#include "platform/core/SharedBlock.h"
#include "support/FixtureLibrary.h"

namespace menutest {

using namespace zrv;

class RecordingStarter : public BattleStarter {
public:
    struct Launch {
        uint32_t command;
        int32_t param;
        std::string path;
        std::vector<std::string> env;
    };
    bool LaunchBattle(uint32_t command, int32_t param, const std::string& path,
                      const std::function<void(platform::SharedBlock&)>& fill, const std::vector<std::string>& env,
                      std::string* why) override
    {
        launches.push_back({command, param, path, env});
        if (!succeed) {
            if (why) *why = "No such file or directory";
            return false;
        }
        // As the start-up's launcher writes it: argument, path, the caller's
        // fields, the command last.
        char text[kPathLength] = {};
        std::memcpy(text, path.data(), std::min(path.size(), sizeof text - 1));
        block->Write(offsetof(GAMEMENUSTRUCT, nParam), &param, sizeof param);
        block->Write(offsetof(GAMEMENUSTRUCT, szPath), text, sizeof text);
        if (fill) fill(*block);
        block->WriteU32(0, command);
        return true;
    }
    platform::SharedBlock* block = nullptr;
    bool succeed = true;
    std::vector<Launch> launches;
};

class ScriptedMenuDialogs : public MenuDialogs {
public:
    int ResumeFileDialog(std::string& path) override
    {
        ++resumeAsked;
        if (resumePath.empty()) return kAnswerCancel;
        path = resumePath;
        return kAnswerOk;
    }
    int CampaignSaveDialog(std::string& path) override
    {
        proposed = path;
        if (savePath.empty()) return kAnswerCancel;
        path = savePath;
        return kAnswerOk;
    }
    int CampaignSettingsDialog(uint32_t& word) override
    {
        ++settingsAsked;
        if (settingsAnswer == kAnswerOk) word = settingsWord;
        return settingsAnswer;
    }
    std::string resumePath, savePath, proposed;
    int settingsAnswer = kAnswerCancel;
    uint32_t settingsWord = 0;
    int resumeAsked = 0, settingsAsked = 0;
};

class RecordingScenes : public MenuScenes {
public:
    bool StartLogos() override
    {
        ++logos;
        return showLogos;
    }
    int RunResultScene() override
    {
        ++results;
        return resultAnswer;
    }
    int StartBriefing(int kind) override
    {
        briefings.push_back(kind);
        return briefingAnswer;
    }
    void StartEnding(const CAMPAIGNSTRUCT& record) override { endings.push_back(record.nNextScenario); }
    void ShowWorldMap(int scenario) override { maps.push_back(scenario); }
    bool showLogos = false;
    int resultAnswer = 0, briefingAnswer = 0;
    int logos = 0, results = 0;
    std::vector<int> briefings, endings, maps;
};

class RecordingChildDialogs : public MenuChildDialogs {
public:
    bool ShowWorldSituation() override
    {
        ++situations;
        return true;
    }
    void WeaponEncyclopedia(std::span<const uint32_t> entries) override { encyclopedia = entries.size(); }
    int situations = 0;
    size_t encyclopedia = 0;
};

inline SCNRBASESTRUCT Scenario(const char* name, int l, int t, int r, int b)
{
    SCNRBASESTRUCT s{};
    std::strncpy(s.szName, name, sizeof s.szName - 1);
    s.rcMap[0] = l;
    s.rcMap[1] = t;
    s.rcMap[2] = r;
    s.rcMap[3] = b;
    return s;
}

class MenuFixture : public testing::Test {
protected:
    void SetUp() override
    {
        lib = zrvtest::FixtureLibrary();
        scenarios = {Scenario("FIXTURE.SC2", 10, 20, 31, 41), Scenario("SECOND.SC2", -5, -5, 0, 0),
                     Scenario("EXTRA.SC2", 100, 100, 200, 300)};
        lib.ScenarioData = scenarios;
        lib.g_nMaxScnr = 3;
        cities = {};
        for (int i = 0; i < 4; ++i) cities[i].nValue = i % 2;  // cities held by nations 0 and 1
        lib.IWCityData = cities;
        nations = {0, 1, 0, 1};  // nations 0 and 2 on the player's side
        lib.IWCountryData = nations;
        lib.g_nMaxIWCity = 4;
        lib.g_nMaxIWNation = 4;
        lib.g_nCampaignWinSum = 5;
        lib.g_nExtraScenario = 2;
        lib.g_nIdeologyScnrStart = 2;
        lib.g_nIdeologyScnrEnd = 1;
        SetLib(&lib);
        SetDialogs(&boxes);
        platform::SetAudio(&audio);

        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string id = std::string(info->name()) + "-" + std::to_string(getpid());
        folder = std::filesystem::temp_directory_path() / ("velmorath-menu-" + id);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "Scenario");
        std::filesystem::create_directories(folder / "Data");
        platform::SetProgramFolder(folder.string());
        WriteScenario("FIXTURE.SC2", "初陣", "FIX1");
        WriteScenario("EXTRA.SC2", "追加戦", "FIX1");

        blockName = "/velmorath-menutest-" + id;
        shm_unlink(blockName.c_str());
        ASSERT_TRUE(block.Create(blockName, kGameMenuBlockSize));
        block.WriteU32(0, GMC_FIRSTSTART);
        starter.block = &block;
    }

    void TearDown() override
    {
        doc.reset();
        view.reset();
        block.Close();
        shm_unlink(blockName.c_str());
        SetDialogs(nullptr);
        SetLib(nullptr);
        platform::SetAudio(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void WriteScenario(const char* file, const char* title, const char* version)
    {
        auto g = std::make_unique<GAMEDATASTRUCT>();
        std::memset(g.get(), 0, sizeof(GAMEDATASTRUCT));
        std::strncpy(g->Head.szName, title, sizeof g->Head.szName - 1);
        g->Head.dwStartDate = 0x0629290Au;
        // The writer stamps the library's unit-data version; another one is
        // put into a plain file afterwards (its check value is not tested).
        std::vector<uint8_t> bytes = BuildScenarioFile(*g, false);
        constexpr size_t kFraming = 10;
        ASSERT_EQ(bytes.size(), kFraming + kScenarioFileBody);
        char* stamp = reinterpret_cast<char*>(bytes.data()) + kFraming + offsetof(SCNRHEADSTRUCT, szUnitVersion);
        std::memset(stamp, 0, 8);
        std::memcpy(stamp, version, std::min<size_t>(std::strlen(version), 8));
        WriteBytes(folder / "Scenario" / file, bytes);
    }

    static void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Document and view as the application wires them.
    void Make(uint32_t code = GMC_FIRSTSTART)
    {
        block.WriteU32(0, code);
        view = std::make_unique<CZRKMenuView>(&settings);
        view->SetBlock(&block);
        view->SetScenes(&scenes);
        view->SetChildDialogs(&child);
        view->SetDeferredActionSink([this](int a) { deferred = a; });
        view->SetEffectHook([this](int e) { effects.push_back(e); });
        view->SetClientSize(640, 480);
        doc = std::make_unique<CZRKMenuDoc>(&settings);
        doc->SetBlock(&block);
        doc->SetView(view.get());
        doc->SetStarter(&starter);
        doc->SetMenuDialogs(&menuDialogs);
        doc->OnNewDocument();
    }

    GAMEMENUSTRUCT& ReadBlock()
    {
        if (!image) image = std::make_unique<GAMEMENUSTRUCT>();
        block.Read(0, image.get(), sizeof(GAMEMENUSTRUCT));
        return *image;
    }

    DataLibrary lib;
    std::array<SCNRBASESTRUCT, 3> scenarios{};
    std::array<IWCITYSTRUCT, 4> cities{};
    std::array<int32_t, 4> nations{};
    std::filesystem::path folder;
    std::string blockName;
    platform::SharedBlock block;
    platform::MemorySettingsStore settings;
    ScriptedDialogService boxes;
    ScriptedMenuDialogs menuDialogs;
    RecordingStarter starter;
    RecordingScenes scenes;
    RecordingChildDialogs child;
    std::unique_ptr<CZRKMenuView> view;
    std::unique_ptr<CZRKMenuDoc> doc;
    std::unique_ptr<GAMEMENUSTRUCT> image;
    int deferred = 0;
    std::vector<int> effects;
    testaudio::FakeAudio audio;
};

}  // namespace menutest
