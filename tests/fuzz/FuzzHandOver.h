#pragma once
// The hand-over block as the battle program takes it, for the fuzz target and
// its smoke run in the normal build. An input patches a block the menu
// program could have written for one of the start commands; a fresh battle
// document takes the start command from it, and the turn machine then runs a
// few passes over whatever game that built, with the computer player and the
// engine's own order executor. Besides "no crash, no sanitizer report" it checks what the start
// promises: the command is always taken (the block's command word is 0
// afterwards) and reported as it stood.
//
// Input: byte 0 picks the block to start from (commands 0-8, or an unknown
// code), byte 1 the number of turn-machine passes (0-31); the rest is a list
// of patches, each a 3-byte offset into the block (little-endian, wrapped to
// its size), a length byte and that many bytes.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "battle/cpu/CpuPlayer.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HandOverDoc.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/PhaseSteps.h"
#include "battle/engine/TurnMachine.h"
#include "engine/RecordingView.h"
#include "foundation/DialogService.h"
#include "foundation/HandOver.h"
#include "platform/core/Paths.h"
#include "startup/StartWorld.h"

namespace handover_fuzz {

using namespace zrv;

[[noreturn]] inline void Broken(const char* what)
{
    std::fprintf(stderr, "start promise broken: %s\n", what);
    std::abort();
}

// Answers every box and dialog as its default button would and keeps nothing.
class SilentDialogs : public DialogService {
public:
    int MessageBox(std::string_view, unsigned style) override { return DefaultAnswer(style); }
};

// The recording view with its log cut now and then, so a long run does not
// grow.
class QuietView : public RecordingView {
public:
    void Trim()
    {
        if (calls.size() > 4096) calls.clear();
    }
};

inline constexpr int kSeedBlocks = 10;

// What stays for the whole run: the fixture library, a program folder with
// the fixture scenario, its map and a saved game, and one block per start
// command as the menu program would write it.
struct World {
    FixedClock clock{1700000000};
    SilentDialogs dialogs;
    startuptest::RecordingStarter starter;
    std::filesystem::path folder;
    std::vector<std::unique_ptr<GAMEMENUSTRUCT>> seeds;

    World()
    {
        SetLib(&zrvtest::FixtureLibrary());
        SetDialogs(&dialogs);
        folder = std::filesystem::temp_directory_path() / ("velmorath-fuzz-handover-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "Scenario");
        std::filesystem::create_directories(folder / "Data");
        platform::SetProgramFolder(folder.string());

        auto scenario = std::make_unique<GAMEDATASTRUCT>();
        startuptest::MakeScenario(*scenario);
        startuptest::WriteBytes(folder / "Scenario" / "FIXTURE.SC2", BuildScenarioFile(*scenario));
        startuptest::WriteBytes(folder / "Scenario" / "FIXTURE.MB2",
                                BuildMapFile(startuptest::kFixtureArea, startuptest::MapCells(),
                                             startuptest::Cities(), true));
        const std::string scenarioPath = platform::ScenarioPath("FIXTURE.SC2");

        // A saved game for commands 3 and 8, built as the battle program builds one.
        CZRKGameDoc maker(&clock);
        QuietView view;
        maker.SetView(&view);
        maker.StartNewScenario(scenarioPath, false);
        maker.m_GameData.dwGameOption = maker.m_dwGameOption | kOptionCampaign;
        const std::string savePath = platform::DataPath("SAVE.DG2");
        if (!WriteGameFile(savePath, maker.m_GameData)) Broken("the saved game of the seeds");

        for (int i = 0; i < kSeedBlocks; ++i) {
            auto b = std::make_unique<GAMEMENUSTRUCT>();
            std::memset(b.get(), 0, sizeof *b);
            const uint32_t command = i < 9 ? static_cast<uint32_t>(i) : 99u;
            b->nCommand = command;
            const std::string& path = command == GMC_LOADGAME ? savePath : scenarioPath;
            std::strncpy(b->szPath, path.c_str(), sizeof b->szPath - 1);
            b->dwStartFlag = kStartFlagKeepVictoryTurns;
            b->Campaign.dwGameOption = command == GMC_CAMPAIGNSCENARIO ? (kOptScenarioStart | kOptionCampaign)
                                                                      : kOptScenarioStart;
            b->Campaign.dwDate = command == GMC_NEWSCENARIO ? 10 : startuptest::kFixtureStart;
            for (int c = 0; c < 3; ++c) {
                b->Side[c].nFund = 500 + 100 * c;
                b->Side[c].nUnitMax = 20;
                // Every country run by the computer, so passes get past the
                // human's turn.
                b->Side[c].nControl = 1;
            }
            for (int c = 3; c < kCountryCount; ++c) b->Side[c].nControl = 2;
            if (command == GMC_SCENARIOIMAGE) std::memcpy(&b->Image, &maker.m_GameData, sizeof b->Image);
            seeds.push_back(std::move(b));
        }
    }
    ~World()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

inline World& TheWorld()
{
    static World w;
    return w;
}

inline void FuzzOne(const uint8_t* data, size_t size)
{
    if (size < 2) return;
    World& w = TheWorld();
    const int seed = data[0] % kSeedBlocks;
    const int passes = data[1] % 32;

    HeapHandOverBlock block;
    GAMEMENUSTRUCT& b = block.Record();
    std::memcpy(&b, w.seeds[static_cast<size_t>(seed)].get(), sizeof b);
    auto* raw = reinterpret_cast<uint8_t*>(&b);
    for (size_t at = 2; at + 4 <= size;) {
        const size_t offset = (size_t(data[at]) | size_t(data[at + 1]) << 8 | size_t(data[at + 2]) << 16) %
                              sizeof b;
        const size_t n = std::min({size_t(data[at + 3]), size - (at + 4), sizeof b - offset});
        std::memcpy(raw + offset, data + at + 4, n);
        at += 4 + n;
    }
    const uint32_t command = b.nCommand;

    // Files a start writes (automatic saves) go to the world's folder.
    SetLib(&zrvtest::FixtureLibrary());
    SetDialogs(&w.dialogs);
    platform::SetProgramFolder(w.folder.string());
    QuietView view;
    auto doc = std::make_unique<CZRKGameDoc>(&w.clock);
    doc->SetView(&view);
    HandOverLink link(block, w.starter, "/opt/velmorath");
    doc->SetHandOver(&link);
    BackendOrderExecutor executor(*doc);
    doc->SetOrderExecutor(&executor);
    CpuPlayer cpu;
    cpu.SetLog([](const std::string&) {});
    doc->SetCpuTurnStep(&cpu);

    if (doc->ReadStartupCommand() != static_cast<int>(command)) Broken("the command read is not the one given");
    if (block.Record().nCommand != GMC_GAMERUNNING) Broken("the command was not taken");

    TurnMachine machine;
    machine.SetDocument(doc.get());
    for (int i = 0; i < passes; ++i) {
        const bool more = machine.RunIdlePass();
        view.Trim();
        if (more) continue;
        // The information screen waits for a click; the map view's click
        // goes on. Any other wait (the human's orders) ends the run.
        if (doc->m_GameData.nFlowState != PHASE_WAITCLICK || doc->m_pCurCountry == nullptr) break;
        doc->m_pCurCountry->dwViewOption |= kViewMapShown;
        doc->CommitTurnState();
    }
    machine.SetDocument(nullptr);
    doc->SetCpuTurnStep(nullptr);
    doc->SetOrderExecutor(nullptr);
    w.starter.started.clear();
}

}  // namespace handover_fuzz
