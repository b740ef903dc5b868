#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/core/PeerLink.h"
#include "platform/core/Process.h"
#include "platform/core/Runtime.h"
#include "platform/core/SharedBlock.h"

namespace fs = std::filesystem;
using platform::SharedBlock;

namespace {

class PeerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("velmorath-run-" + std::to_string(getpid()));
        fs::remove_all(dir);
        platform::SetRuntimeFolderForTests(dir.string());
        platform::SetSharedNameSuffixForTests(".t" + std::to_string(getpid()));
        name = platform::SharedBlockName("TestBlock");
        shm_unlink(name.c_str());
    }
    void TearDown() override
    {
        shm_unlink(name.c_str());
        platform::SetRuntimeFolderForTests("");
        platform::SetSharedNameSuffixForTests("");
        fs::remove_all(dir);
    }

    fs::path dir;
    std::string name;
};

TEST_F(PeerTest, BlockNamesArePerUser)
{
    EXPECT_EQ(name, "/TestBlock." + std::to_string(getuid()) + ".t" + std::to_string(getpid()));
}

TEST_F(PeerTest, OnlyTheLastHolderRemovesTheBlock)
{
    SharedBlock first;
    ASSERT_TRUE(first.Create(name, 4096));
    ASSERT_TRUE(first.Hold());
    SharedBlock second;
    ASSERT_EQ(second.OpenExisting(name, 4096, true), SharedBlock::OpenResult::Ok);

    EXPECT_FALSE(first.CloseAndUnlinkIfLast());
    EXPECT_FALSE(first.IsOpen());
    EXPECT_TRUE(SharedBlock::Exists(name));
    EXPECT_TRUE(second.CloseAndUnlinkIfLast());
    EXPECT_FALSE(SharedBlock::Exists(name));
    EXPECT_FALSE(second.CloseAndUnlinkIfLast());  // nothing left to let go of
}

TEST_F(PeerTest, CreatedBlockIsZeroedAndCopiesInAndOut)
{
    SharedBlock a;
    ASSERT_TRUE(a.Create(name, 388460));
    ASSERT_TRUE(a.Hold());
    uint32_t w = 7;
    ASSERT_TRUE(a.ReadU32(388456, w));
    EXPECT_EQ(w, 0u);
    EXPECT_TRUE(a.WriteU32(0, 1));
    const char text[] = "C:\\x";
    EXPECT_TRUE(a.Write(5000, text, sizeof text));

    SharedBlock b;
    ASSERT_EQ(b.OpenExisting(name, 388460, true), SharedBlock::OpenResult::Ok);
    ASSERT_TRUE(b.ReadU32(0, w));
    EXPECT_EQ(w, 1u);
    char back[sizeof text];
    ASSERT_TRUE(b.Read(5000, back, sizeof back));
    EXPECT_STREQ(back, text);

    // Ranges past the end are refused, not clipped.
    EXPECT_FALSE(b.Read(388457, back, 4));
    EXPECT_FALSE(b.Write(static_cast<size_t>(-1), text, 2));
    EXPECT_TRUE(b.Read(388460, back, 0));

    SharedBlock c;
    EXPECT_FALSE(c.Create(name, 388460)) << "a second create must not replace a live block";
}

TEST_F(PeerTest, OpenRefusesForeignAndAbandonedBlocks)
{
    SharedBlock none;
    EXPECT_EQ(none.OpenExisting(name, 100, true), SharedBlock::OpenResult::Missing);
    {
        SharedBlock a;
        ASSERT_TRUE(a.Create(name, 100));
        // Created but nobody holds it: a crash left it.
        SharedBlock b;
        EXPECT_EQ(b.OpenExisting(name, 100, true), SharedBlock::OpenResult::Unheld);
        EXPECT_EQ(b.OpenExisting(name, 100, false), SharedBlock::OpenResult::Ok);
        EXPECT_TRUE(a.HasOtherHolder());
        b.Close();
        EXPECT_FALSE(a.HasOtherHolder());
        EXPECT_EQ(b.OpenExisting(name, 64, false), SharedBlock::OpenResult::WrongSize);
        ASSERT_TRUE(a.Hold());
        EXPECT_EQ(b.OpenExisting(name, 100, true), SharedBlock::OpenResult::Ok);
    }
    // Both closed: the block stays until unlinked, held by nobody.
    EXPECT_TRUE(SharedBlock::Exists(name));
    SharedBlock d;
    EXPECT_EQ(d.OpenExisting(name, 100, true), SharedBlock::OpenResult::Unheld);
    d.OpenExisting(name, 100, false);
    d.Unlink();
    EXPECT_FALSE(SharedBlock::Exists(name));
}

TEST_F(PeerTest, LockStandsForARunningProgram)
{
    EXPECT_FALSE(platform::ProgramLock::IsRunning("ZRVMenu"));
    platform::ProgramLock lock;
    ASSERT_TRUE(lock.Acquire("ZRVMenu"));
    EXPECT_TRUE(platform::ProgramLock::IsRunning("ZRVMenu"));
    platform::ProgramLock second;
    EXPECT_FALSE(second.Acquire("ZRVMenu"));
    EXPECT_FALSE(platform::ProgramLock::IsRunning("ZRVGame"));
    lock.Release();
    EXPECT_FALSE(platform::ProgramLock::IsRunning("ZRVMenu"));
}

TEST_F(PeerTest, LockIsNotInheritedByChildren)
{
    platform::ProgramLock lock;
    ASSERT_TRUE(lock.Acquire("ZRVGame"));
    // A child that outlives us must not keep the lock.
    auto r = platform::Spawn("/bin/sleep", {}, {"5"});
    ASSERT_TRUE(platform::ProgramLock::IsRunning("ZRVGame"));
    ASSERT_TRUE(r.ok);
    lock.Release();
    EXPECT_FALSE(platform::ProgramLock::IsRunning("ZRVGame"));
    kill(r.pid, SIGKILL);
    waitpid(r.pid, nullptr, 0);
}

TEST_F(PeerTest, RequestsReachTheListenerAndAreAnswered)
{
    std::mutex m;
    std::vector<std::string> got;
    platform::ProgramLock lock;
    ASSERT_TRUE(lock.Acquire("ZRVMenu"));
    platform::RequestListener listener;
    ASSERT_TRUE(listener.Start("ZRVMenu", [&](const std::string& r) {
        std::lock_guard<std::mutex> g(m);
        got.push_back(r);
    }));
    EXPECT_TRUE(platform::SendRequest("ZRVMenu", "raise"));
    EXPECT_TRUE(platform::SendRequest("ZRVMenu", "close"));
    EXPECT_FALSE(platform::SendRequest("ZRVMenu", "format c:", std::chrono::milliseconds(500)));
    listener.Stop();
    EXPECT_EQ(got, (std::vector<std::string>{"raise", "close"}));
    EXPECT_FALSE(platform::SendRequest("ZRVMenu", "close", std::chrono::milliseconds(200)));
}

TEST_F(PeerTest, SpawnReportsMissingProgramsAndWaitsForFinishedOnes)
{
    auto missing = platform::Spawn((dir / "ZRVMenu").string());
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.Reason().empty());
    EXPECT_FALSE(platform::Spawn("relative/path").ok);

    int polls = 0;
    EXPECT_EQ(platform::SpawnAndWait("/bin/true", std::chrono::milliseconds(5), [&] { ++polls; }), 0);
    EXPECT_EQ(platform::SpawnAndWait("/bin/false", std::chrono::milliseconds(5), [&] { ++polls; }), 1);
    EXPECT_EQ(platform::SpawnAndWait((dir / "ZRVReal").string(), std::chrono::milliseconds(5), nullptr), -1);

    auto r = platform::Spawn("/bin/true");
    ASSERT_TRUE(r.ok);
    std::vector<pid_t> reaped;
    for (int i = 0; i < 200 && reaped.empty(); ++i) {
        reaped = platform::ReapChildren();
        usleep(5000);
    }
    EXPECT_EQ(reaped, std::vector<pid_t>{r.pid});
}

}  // namespace
