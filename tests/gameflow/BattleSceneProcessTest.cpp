// The scene hand-off with real processes: the stand-in animation program
// started from the program folder, the wait until it has ended, and the
// battle going on afterwards.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "battle/engine/BattleScene.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

class SceneProcess : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(testing::TempDir()) / ("scene_" + std::to_string(getpid()) + "_" +
                                              testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Both sides name the block alike through the inherited suffix.
        setenv("VELMORATH_SHM_SUFFIX", ("_scene" + std::to_string(getpid())).c_str(), 1);
        setenv(kRealExitEnv, "1", 1);
        platform::SetProgramFolder(dir.string() + "/");
    }
    void TearDown() override
    {
        unsetenv(kRealDumpEnv);
        fs::remove_all(dir);
    }

    static GAMEREALSTRUCT SampleBlock()
    {
        GAMEREALSTRUCT b{};
        b.rcMap = {35, 35, 96, 96};
        b.nOrder = -2;
        b.Side[0].Unit.nArms = 12;
        b.Side[0].Unit.nStrength = 8;
        b.Side[0].nLoss = 3;
        b.Side[1].Unit.nArms = 4;
        b.Side[1].Unit.nStrength = 5;
        b.Side[1].dwDirs = 0x80000000u;  // as the menu's duel writes it
        b.nArea = 11;
        b.nLightMode = 3;
        return b;
    }

    static std::string HexOf(const GAMEREALSTRUCT& b)
    {
        std::string s;
        const auto* p = reinterpret_cast<const unsigned char*>(&b);
        char two[3];
        for (size_t i = 0; i < sizeof b; ++i) {
            std::snprintf(two, sizeof two, "%02x", p[i]);
            s += two;
        }
        return s;
    }

    fs::path dir;
};

TEST_F(SceneProcess, MissingProgramShowsNoSceneAndReturnsAtOnce)
{
    BattleSceneLink link;
    ASSERT_TRUE(link.Create());
    EXPECT_FALSE(link.ShowBattleScene(SampleBlock()));
    // A second scene is tried again the same way: nothing is left behind.
    EXPECT_FALSE(link.ShowBattleScene(SampleBlock()));
}

TEST_F(SceneProcess, StandInReadsTheBlockAndTheBattleGoesOn)
{
    fs::copy_file(fs::path(STAGE_DIR) / "ZRVReal", dir / "ZRVReal");
    const fs::path dump = dir / "dump.txt";
    setenv(kRealDumpEnv, dump.c_str(), 1);
    BattleSceneLink link;
    ASSERT_TRUE(link.Create());
    const GAMEREALSTRUCT block = SampleBlock();
    ASSERT_TRUE(link.ShowBattleScene(block));

    std::ifstream in(dump);
    ASSERT_TRUE(in) << "the stand-in wrote no dump";
    std::string line, raw;
    bool sawOrder = false;
    while (std::getline(in, line)) {
        if (line.rfind("raw=", 0) == 0) raw = line.substr(4);
        if (line == "nOrder=-2") sawOrder = true;
    }
    EXPECT_TRUE(sawOrder);
    EXPECT_EQ(raw, HexOf(block));
    // The child is reaped: no zombie is left for anyone to collect.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    // The battle goes on: the next scene is handed over the same way.
    GAMEREALSTRUCT next = block;
    next.nOrder = 1;
    ASSERT_TRUE(link.ShowBattleScene(next));
    std::ifstream again(dump);
    std::stringstream all;
    all << again.rdbuf();
    EXPECT_NE(all.str().find("nOrder=1\n"), std::string::npos);
}

TEST_F(SceneProcess, WaitLastsUntilASlowProgramHasEnded)
{
    // A program that takes longer than one polling interval, then leaves a mark.
    const fs::path marker = dir / "ended";
    {
        std::ofstream s(dir / "ZRVReal");
        s << "#!/bin/sh\nsleep 1.5\n: > '" << marker.string() << "'\nexit 3\n";
    }
    fs::permissions(dir / "ZRVReal", fs::perms::owner_all);
    BattleSceneLink link;
    ASSERT_TRUE(link.Create());
    ASSERT_TRUE(link.ShowBattleScene(SampleBlock()));
    EXPECT_TRUE(fs::exists(marker));
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(SceneProcess, AWindowIsShownWithADisplayAndEndsOnItsOwn)
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) GTEST_SKIP() << "needs a display";
    unsetenv(kRealExitEnv);
    fs::copy_file(fs::path(STAGE_DIR) / "ZRVReal", dir / "ZRVReal");
    const fs::path dump = dir / "dump.txt";
    setenv(kRealDumpEnv, dump.c_str(), 1);
    BattleSceneLink link;
    ASSERT_TRUE(link.Create());
    GAMEREALSTRUCT block = SampleBlock();
    block.Side[0].Unit.nStrength = 2000000000;  // shown clamped, never trusted
    block.Side[1].nShots[3] = -5;
    // The stand-in closes its window by itself: the call comes back.
    ASSERT_TRUE(link.ShowBattleScene(block));
    EXPECT_TRUE(fs::exists(dump));
    setenv(kRealExitEnv, "1", 1);
}

}  // namespace
}  // namespace zrv
