// The scene hand-off with real processes: the stand-in animation program
// started from the program folder, the wait until it has ended, and the
// battle going on afterwards.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gameflow/SceneProcessFixture.h"

namespace zrv {
namespace {

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


// A scene program that never ends (one even deaf to the request to end) is
// ended once the wait limit has passed; the battle goes on as if no scene had
// been shown, and the log says what happened.
TEST_F(SceneProcess, AProgramThatNeverEndsIsEndedAtTheWaitLimit)
{
    for (const char* body : {"exec sleep 600", "trap '' TERM\nwhile :; do sleep 1; done"}) {
        SCOPED_TRACE(body);
        {
            std::ofstream s(dir / "ZRVReal");
            s << "#!/bin/sh\n" << body << "\n";
        }
        fs::permissions(dir / "ZRVReal", fs::perms::owner_all);
        BattleSceneLink link;
        ASSERT_TRUE(link.Create());
        link.SetWaitLimit(std::chrono::milliseconds(1200));
        testing::internal::CaptureStderr();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(link.ShowBattleScene(SampleBlock()));
        const auto took = std::chrono::steady_clock::now() - start;
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_GE(took, std::chrono::milliseconds(1200));
        EXPECT_LT(took, std::chrono::seconds(10));
        EXPECT_NE(log.find("did not end within"), std::string::npos) << log;
        errno = 0;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "collected";
        EXPECT_EQ(errno, ECHILD);
    }
    EXPECT_EQ(kSceneWaitLimit, std::chrono::seconds(120));
}

}  // namespace
}  // namespace zrv
