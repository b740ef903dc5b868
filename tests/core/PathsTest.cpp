#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/Paths.h"
#include "support/Sjis.h"

namespace fs = std::filesystem;

namespace {

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / fs::path(u8"velmorath-paths-é-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Data");
        fs::create_directories(root / "Scenario");
        platform::SetProgramFolder(root.string());
    }
    void TearDown() override { fs::remove_all(root); }

    void Touch(const fs::path& p, const std::string& text = "x")
    {
        std::ofstream(p, std::ios::binary) << text;
    }

    fs::path root;
};

TEST_F(PathsTest, FixedFoldersAreJoinedWithBackslashes)
{
    std::string folder = platform::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(platform::DataPath("A.DG2"), folder + "Data\\A.DG2");
    EXPECT_EQ(platform::ScenarioPath("S.SC2"), folder + "Scenario\\S.SC2");
    EXPECT_EQ(platform::MoviePath("OPENING.MPG"), folder + "MOVIE\\OPENING.MPG");
}

TEST_F(PathsTest, LookupIgnoresCaseOfEveryElement)
{
    Touch(root / "Data" / "Game2.PLB");
    EXPECT_TRUE(platform::FileExistsSjis(platform::ProgramFolder() + "data\\game2.plb"));
    EXPECT_EQ(platform::ToNativePath(platform::ProgramFolder() + "DATA\\GAME2.plb"),
              (root / "Data" / "Game2.PLB").string());
    EXPECT_FALSE(platform::FileExistsSjis(platform::DataPath("missing.plb")));
}

TEST_F(PathsTest, TrailByteBackslashIsNotASeparator)
{
    // 表 is 0x95 0x5C: converting before splitting keeps it whole.
    Touch(root / "Data" / u8"部隊表.TXT");
    EXPECT_TRUE(platform::FileExistsSjis(platform::DataPath("部隊表.TXT")));
    fs::create_directories(root / u8"ソフト");
    Touch(root / u8"ソフト" / "a.txt");
    EXPECT_TRUE(platform::FileExistsSjis(platform::ProgramFolder() + "ソフト\\A.TXT"));
}

TEST_F(PathsTest, WritingReusesAnExistingCaseVariant)
{
    Touch(root / "Data" / u8"自動セーブ.dg2", "old");
    const std::string data = "new contents";
    ASSERT_TRUE(platform::WriteFileAtomic(platform::DataPath("自動セーブ.DG2"),
                                          {reinterpret_cast<const uint8_t*>(data.data()), data.size()}));
    int files = 0;
    for (auto& e : fs::directory_iterator(root / "Data")) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform::ReadWholeFile(platform::DataPath("自動セーブ.DG2"), back));
    EXPECT_EQ(std::string(back.begin(), back.end()), data);
}

std::vector<std::string> Temporaries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind(".velmorath-", 0) == 0) names.push_back(e.path().filename());
    }
    return names;
}

TEST_F(PathsTest, ASaveKilledHalfWayLeavesATemporaryThatTheNextProgramsSaveRemoves)
{
    const fs::path data = root / "Data";
    // A save killed while it writes: retried until the kill lands inside one.
    for (int attempt = 0; attempt < 20 && Temporaries(data).empty(); ++attempt) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::vector<uint8_t> big(32 << 20, 0x5A);
            for (;;) platform::WriteFileAtomic(platform::DataPath("big.DG2"), big);
        }
        while (Temporaries(data).empty() && ::waitpid(child, nullptr, WNOHANG) == 0) ::usleep(200);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ASSERT_EQ(Temporaries(data).size(), 1u);
    const std::string left = Temporaries(data)[0];
    ::usleep(50000);

    // The next program's save into that folder removes it, and keeps what is
    // not ours to judge: a temporary written after that program started (a
    // save of another one still running) and names of another form.
    Touch(data / ".velmorath-young1");
    Touch(data / ".velmorath-other-form");
    const struct timespec later[2] = {{::time(nullptr) + 3600, 0}, {::time(nullptr) + 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (data / ".velmorath-young1").c_str(), later, 0), 0);
    pid_t next = fork();
    ASSERT_GE(next, 0);
    if (next == 0) {
        const uint8_t byte = 1;
        _exit(platform::WriteFileAtomic(platform::DataPath("small.DG2"), {&byte, 1}) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(next, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::vector<std::string> now = Temporaries(data);
    std::sort(now.begin(), now.end());
    EXPECT_EQ(now, (std::vector<std::string>{".velmorath-other-form", ".velmorath-young1"})) << left;
    EXPECT_TRUE(fs::exists(data / "small.DG2"));
}

TEST_F(PathsTest, ProgramFolderOutsideCp932StillWorks)
{
    // The folder name holds 'é', which CP932 cannot hold.
    Touch(root / "Data" / "WpGuide2.ADW", "guide");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(platform::DataPath("WpGuide2.ADW"), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "guide");
}

TEST_F(PathsTest, FailedWriteLeavesTheOldContentsAndNoTemporaryFile)
{
    // The rename over the target cannot succeed when the target is a folder
    // with something in it; the failure must be reported and nothing lost.
    fs::create_directories(root / "Data" / "busy.DG2");
    Touch(root / "Data" / "busy.DG2" / "inside", "old");
    const std::string data = "new";
    EXPECT_FALSE(platform::WriteFileAtomic(platform::DataPath("busy.DG2"),
                                           {reinterpret_cast<const uint8_t*>(data.data()), data.size()}));
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform::ReadWholeFile(platform::DataPath("busy.DG2\\inside"), back));
    EXPECT_EQ(std::string(back.begin(), back.end()), "old");
    int entries = 0;
    for (auto& e : fs::directory_iterator(root / "Data")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";

    // A folder that cannot be written to (not for root, who may write anywhere).
    if (::geteuid() != 0) {
        Touch(root / "Data" / "keep.DG2", "old");
        fs::permissions(root / "Data", fs::perms::owner_read | fs::perms::owner_exec);
        bool wrote = platform::WriteFileAtomic(platform::DataPath("keep.DG2"),
                                               {reinterpret_cast<const uint8_t*>(data.data()), data.size()});
        fs::permissions(root / "Data", fs::perms::owner_all);
        EXPECT_FALSE(wrote);
        ASSERT_TRUE(platform::ReadWholeFile(platform::DataPath("keep.DG2"), back));
        EXPECT_EQ(std::string(back.begin(), back.end()), "old");
    }
}

TEST_F(PathsTest, FoldersFromOutsideResolveBack)
{
    fs::path other = root / u8"Éxport";
    fs::create_directories(other);
    Touch(other / "save.DG2");
    std::string sjis = platform::FromNativePath((other / "save.DG2").string());
    EXPECT_TRUE(platform::FileExistsSjis(sjis));
    EXPECT_EQ(platform::ToNativePath(sjis), (other / "save.DG2").string());
}

TEST_F(PathsTest, DiscRootIsTheProgramFolderWhenItHoldsTheMarker)
{
    ::unsetenv("VELMORATH_DISC");
    EXPECT_NE(platform::FindDiscRootWithFile("ZRM\\Setup.exe"), platform::ProgramFolder());
    fs::create_directories(root / "ZRM");
    Touch(root / "ZRM" / "Setup.exe", "");
    EXPECT_EQ(platform::FindDiscRootWithFile("ZRM\\Setup.exe"), platform::ProgramFolder());
    std::time_t t = 0;
    EXPECT_TRUE(platform::FileModTime(platform::ProgramFolder() + "zrm\\setup.EXE", t));
    EXPECT_GT(t, 0);
}

}  // namespace
