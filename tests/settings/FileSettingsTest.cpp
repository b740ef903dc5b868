// The settings file: where it lives, what it keeps, and that a write leaves
// either the old or the new file.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/init.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/wx/FileSettings.h"

namespace {

namespace fs = std::filesystem;

class FileSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("velmorath-settings-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        path = (dir / "Quillbarrow" / "Velmorath.conf").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    wxInitializer wx;
    fs::path dir;
    std::string path;
};

TEST_F(FileSettingsTest, ValuesSurviveInTheirSection)
{
    {
        platform::FileSettingsStore s(path);
        EXPECT_FALSE(s.ReadInt("Settings", "ProgDlgX"));
        s.WriteInt("Settings", "ProgDlgX", 32767);
        s.WriteInt("Settings", "SMapDlgY", -3);
        s.WriteString("Settings", "UListDlgRect", "1 2 3 4");
        ASSERT_TRUE(s.Flush());
    }
    platform::FileSettingsStore s(path);
    EXPECT_EQ(s.ReadInt("Settings", "ProgDlgX"), 32767);
    EXPECT_EQ(s.ReadInt("Settings", "SMapDlgY"), -3);
    EXPECT_EQ(s.ReadString("Settings", "UListDlgRect"), "1 2 3 4");
    EXPECT_FALSE(s.ReadInt("Settings", "UListDlgRect"));  // not a number
    EXPECT_FALSE(s.ReadInt("Other", "ProgDlgX"));

    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_NE(text.str().find("[Settings]"), std::string::npos);
    // Only the file itself: the temporary file was renamed into place.
    int files = 0;
    for (auto& e : fs::directory_iterator(fs::path(path).parent_path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

// A file the store cannot take as its own is set aside whole, the store
// starts from the defaults and says so once; the next start finds the new
// file and says nothing.
TEST_F(FileSettingsTest, ADamagedFileIsSetAsideAndTheStoreStartsFromDefaults)
{
    std::string random;
    for (int i = 0; i < 600; ++i) random += char((i * 7919 + 13) % 256);
    struct Case {
        const char* name;
        std::string bytes;  // empty: a folder at the path
    };
    const Case cases[] = {
        {"random bytes", random},
        {"not UTF-8", "[Settings]\nName=\x83\x65\x83\x58\x83\x67\n"},
        {"an unclosed section", "[Settings\nProgDlgX=3\n"},
        {"a folder at its path", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir);
        fs::create_directories(fs::path(path).parent_path());
        if (c.bytes.empty()) {
            fs::create_directories(fs::path(path) / "inside");
        } else {
            std::ofstream(path, std::ios::binary) << c.bytes;
        }
        std::vector<std::string> notices;
        {
            platform::FileSettingsStore s(path, [&](const std::string& t) { notices.push_back(t); });
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_EQ(notices[0], platform::SettingsSetAsideText(s.SetAsidePath()));
            EXPECT_EQ(s.SetAsidePath(), path + ".damaged");
            if (c.bytes.empty()) {
                EXPECT_TRUE(fs::is_directory(fs::path(s.SetAsidePath()) / "inside"));
            } else {
                std::stringstream kept;
                kept << std::ifstream(s.SetAsidePath(), std::ios::binary).rdbuf();
                EXPECT_EQ(kept.str(), c.bytes) << "set aside as it was";
            }
            EXPECT_FALSE(s.ReadInt("Settings", "ProgDlgX")) << "defaults";
            s.WriteInt("Settings", "ProgDlgX", 12);
            EXPECT_TRUE(s.Flush());
        }
        platform::FileSettingsStore again(path, [&](const std::string& t) { notices.push_back(t); });
        EXPECT_EQ(notices.size(), 1u) << "said once";
        EXPECT_EQ(again.ReadInt("Settings", "ProgDlgX"), 12);
        EXPECT_TRUE(again.SetAsidePath().empty());
    }
    // A second damaged file does not replace the first one set aside.
    std::ofstream(path, std::ios::binary) << random;
    platform::FileSettingsStore third(path);
    EXPECT_EQ(third.SetAsidePath(), path + ".damaged2");
}

TEST_F(FileSettingsTest, DefaultPathFollowsTheConfigFolder)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string keep = old != nullptr ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(platform::DefaultSettingsPath(), "/tmp/cfg/Quillbarrow/Velmorath.conf");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    const std::string home = std::getenv("HOME");
    EXPECT_EQ(platform::DefaultSettingsPath(), home + "/.config/Quillbarrow/Velmorath.conf");
    if (old != nullptr)
        ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
