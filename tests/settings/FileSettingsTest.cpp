// The settings file: where it lives, what it keeps, and that a write leaves
// either the old or the new file.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/init.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
