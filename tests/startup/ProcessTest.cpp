// The menu side's start-up against a stand-in battle program.

#include <algorithm>
#include <array>

#include "audio/FakeAudio.h"
#include "foundation/DataLibrary.h"
#include "menu/MenuApp.h"
#include "menu/MenuStartup.h"
#include "platform/core/Paths.h"
#include "platform/core/Settings.h"
#include "startup/ProcessFixture.h"
#include "support/FixtureLibrary.h"

namespace startuptest {
namespace {

// --- the menu side against a stand-in battle ----------------------------------------

TEST_F(TwoProcesses, FreshStartCreatesTheBlockWithFirstStartAndTheLastHolderRemovesIt)
{
    EXPECT_EQ(Run("startup_peer", {"menu"}), 0);
    EXPECT_TRUE(Contains(Results("menu"), "start ok 1 last-scenario 0")) << Joined(Results("menu"));
    EXPECT_FALSE(platform::SharedBlock::Exists(BlockName()));
}

TEST_F(TwoProcesses, AStaleBlockOfAnotherSizeIsMadeAfresh)
{
    // Left by an older build of ours: same name and owner, another size.
    {
        platform::SharedBlock stale;
        ASSERT_TRUE(stale.Create(BlockName(), 4096));
        stale.WriteU32(0, 0xDEADBEEF);
    }
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        std::filesystem::remove(m_folder / "run" / "menu.result");
        EXPECT_EQ(Run("startup_peer", {"menu"}), 0) << Log();
        std::vector<std::string> menu = Results("menu");
        EXPECT_TRUE(Contains(menu, "start ok 1 last-scenario 0")) << Joined(menu);
        for (const auto& l : menu) EXPECT_NE(l.rfind("box ", 0), 0u) << l;
        EXPECT_FALSE(platform::SharedBlock::Exists(BlockName())) << "the last holder removes it";
    }
}

TEST_F(TwoProcesses, BattleTakesTheCommandClosesTheMenuAndIsRaisedWhileRunningThenAKillLeavesNoTrace)
{
    Install(STARTUP_PEER, "ZRVGame");
    ASSERT_EQ(Run("startup_peer", {"launch", "3", "SAVE.DG2"}, {"STARTUP_PEER_BATTLE=0 wait"}), 0);
    std::vector<std::string> launch = Results("launch");
    EXPECT_TRUE(Contains(launch, "launched")) << Joined(launch);
    // The battle program records what it found once it stands; wait for it.
    EXPECT_EQ(WaitForLine("battle", "found command "), "found command 3") << Joined(Results("battle"));
    EXPECT_TRUE(Contains(launch, "closed")) << Joined(launch);
    pid_t battle = BattlePid();
    ASSERT_GT(battle, 0);

    // A battle is being played: a second menu start, or a second battle
    // start, only brings it forward.
    EXPECT_EQ(Run("startup_peer", {"menu"}), 0);
    EXPECT_TRUE(Contains(Results("menu"), "start raised")) << Joined(Results("menu"));
    EXPECT_EQ(Run("ZRVGame", {}, {"STARTUP_PEER_BATTLE=0 wait"}), 3);
    std::vector<std::string> battles = Results("battle");
    EXPECT_TRUE(Contains(battles, "already-running")) << Joined(battles);
    EXPECT_EQ(std::count(battles.begin(), battles.end(), "request raise"), 2) << Joined(battles);

    // Killed at code 0: the block is left, nobody holds it; the next start
    // begins afresh without a box.
    kill(battle, SIGKILL);
    WaitGone(battle);
    EXPECT_TRUE(platform::SharedBlock::Exists(BlockName()));
    EXPECT_EQ(Run("startup_peer", {"menu"}), 0);
    std::vector<std::string> menu = Results("menu");
    EXPECT_TRUE(Contains(menu, "start ok 1 last-scenario 0")) << Joined(menu);
    for (const auto& l : menu) EXPECT_NE(l.rfind("box ", 0), 0u) << l;
}

TEST_F(TwoProcesses, AHandBackWhoseBattleHasExitedIsStillTakenWithItsCampaignRecord)
{
    Install(STARTUP_PEER, "ZRVGame");
    ASSERT_EQ(Run("startup_peer", {"launch", "5", "NEXT.SC2"}, {"STARTUP_PEER_BATTLE=7 exit"}), 0);
    WaitGone(BattlePid());
    EXPECT_EQ(Run("startup_peer", {"menu"}), 0);
    EXPECT_TRUE(Contains(Results("menu"), "start ok 7 last-scenario 1")) << Joined(Results("menu"));
}

TEST_F(TwoProcesses, ABattleThatHoldsItsLockButNeverAnswersIsTheAbnormalEnd)
{
    Install(STARTUP_PEER, "ZRVGame");
    ASSERT_EQ(Run("startup_peer", {"launch", "3", "SAVE.DG2"}, {"STARTUP_PEER_BATTLE=6 silent"}), 0);
    ASSERT_GT(BattlePid(), 0);
    EXPECT_EQ(Run("startup_peer", {"menu"}), 0);
    std::vector<std::string> menu = Results("menu");
    EXPECT_TRUE(Contains(menu, "start abnormal")) << Joined(menu);
    std::string box = "box ";
    for (const char* p = zrv::kMsgAbnormalEnd; *p; ++p)
        box += *p == '\n' ? std::string("\\n") : std::string(1, *p);
    EXPECT_TRUE(Contains(menu, box)) << Joined(menu);
}

TEST_F(TwoProcesses, AChildOutlivingTheBattleDoesNotKeepItLookingAlive)
{
    Install(STARTUP_PEER, "ZRVGame");
    ASSERT_EQ(Run("startup_peer", {"launch", "3", "SAVE.DG2"}, {"STARTUP_PEER_BATTLE=6 child"}), 0);
    pid_t battle = BattlePid();
    std::string child = WaitForLine("battle", "child ");
    ASSERT_FALSE(child.empty());
    m_kill.push_back(std::atoi(child.c_str() + 6));
    WaitGone(battle);
    EXPECT_EQ(Run("startup_peer", {"menu"}), 0);
    EXPECT_TRUE(Contains(Results("menu"), "start ok 6 last-scenario 0")) << Joined(Results("menu"));
}

TEST_F(TwoProcesses, ABattleProgramThatEndsWithoutClosingTheMenuIsSeenAsAFailedLaunch)
{
    Install("/bin/true", "ZRVGame");
    EXPECT_EQ(Run("startup_peer", {"launch", "3", "SAVE.DG2"}), 0);
    EXPECT_TRUE(Contains(Results("launch"), "battle-ended-first")) << Joined(Results("launch"));
}

TEST_F(TwoProcesses, AMissingBattleProgramIsReportedAndTheBlockRestored)
{
    EXPECT_EQ(Run("startup_peer", {"launch", "4", "SAMPLE01.SC2"}), 1);
    std::vector<std::string> launch = Results("launch");
    ASSERT_EQ(launch.size(), 2u) << Joined(launch);
    EXPECT_EQ(launch[1], "launch-failed No such file or directory command 1");
}


// What the menu program asks of the scenes and the world situation.
class RecordingScenes : public zrv::MenuScenes {
public:
    int RunResultScene() override
    {
        ++results;
        return 0;
    }
    void ShowWorldMap(int scenario) override { maps.push_back(scenario); }
    int results = 0;
    std::vector<int> maps;
};

class RecordingSituation : public zrv::MenuChildDialogs {
public:
    bool ShowWorldSituation() override
    {
        ++shown;
        return true;
    }
    int shown = 0;
};

// A battle program that ends a campaign scenario: the menu program started
// afterwards takes the hand-back with its record, shows the world map with
// the record's option word, and runs the result scene and the campaign step
// on its next idle passes. Values out of their tables name nothing.
TEST_F(TwoProcesses, ACampaignHandBackLeadsToTheResultSceneAndTheNextCampaignStep)
{
    zrv::DataLibrary lib = zrvtest::FixtureLibrary();
    std::array<zrv::SCNRBASESTRUCT, 3> scenarios{};
    lib.ScenarioData = scenarios;
    lib.g_nMaxScnr = 3;
    zrv::SetLib(&lib);
    testaudio::FakeAudio audio;
    platform::SetAudio(&audio);
    platform::SetProgramFolder(m_folder.string());
    Install(STARTUP_PEER, "ZRVGame");

    struct Case {
        const char* record;  // outcome, finished scenario, option word, next scenario
        uint32_t viewFlags;
        int outcome, finished;
    };
    const Case cases[] = {
        {"1 2 0x00AB0001 2", 0x00AB0001u, 1, 2},
        {"5 999 0x00300000 1", 0x00300000u, -1, -1},
        {"-1 -4 0 1", 0u, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        ASSERT_EQ(Run("startup_peer", {"launch", "5", "NEXT.SC2"},
                      {"STARTUP_PEER_BATTLE=7 exit", std::string("STARTUP_PEER_RECORD=") + c.record}),
                  0);
        WaitGone(BattlePid());

        platform::MemorySettingsStore settings;
        RecordingScenes scenes;
        RecordingSituation situation;
        {
            zrv::CZRKMenuApp app(&settings);
            ASSERT_EQ(app.InitInstance([](const std::string&) {}, std::chrono::milliseconds(2000)),
                      zrv::MenuStartup::Result::Ok);
            ASSERT_EQ(app.Startup().Command(), static_cast<uint32_t>(zrv::GMC_CAMPAIGNNEXT));
            app.CreateDocument(&app.Startup().Block());
            app.View()->SetScenes(&scenes);
            app.View()->SetChildDialogs(&situation);
            app.InitialUpdate();
            EXPECT_EQ(app.View()->ScreenState(), zrv::CZRKMenuView::kWorldMap);
            EXPECT_EQ(app.View()->ViewFlags(), c.viewFlags);
            EXPECT_EQ(app.View()->Outcome(), c.outcome);
            EXPECT_EQ(app.View()->FinishedScenario(), c.finished);
            EXPECT_EQ(scenes.maps, std::vector<int>{c.finished});
            EXPECT_EQ(app.DeferredAction(), zrv::CZRKMenuApp::kActionResultScene);

            // The result scene on the next pass; played to its end, the
            // campaign step on the pass after.
            EXPECT_TRUE(app.OnIdle());
            EXPECT_EQ(scenes.results, 1);
            EXPECT_EQ(app.DeferredAction(), zrv::CZRKMenuApp::kActionNextStep);
            EXPECT_EQ(situation.shown, 0);
            EXPECT_FALSE(app.OnIdle());
            EXPECT_EQ(situation.shown, 1);
            EXPECT_EQ(app.DeferredAction(), zrv::CZRKMenuApp::kActionNone);
            app.ExitInstance();
        }
        std::filesystem::remove(m_folder / "run" / "battle.result");
        std::filesystem::remove(m_folder / "run" / "launch.result");
    }
    platform::SetAudio(nullptr);
    zrv::SetLib(nullptr);
}

}  // namespace
}  // namespace startuptest
