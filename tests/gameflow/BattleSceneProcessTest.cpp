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
#include "foundation/DataLibraryLoader.h"
#include "foundation/Dib.h"
#include "foundation/DibPal.h"
#include "platform/core/Paths.h"
#include "standins/zrvreal/RealScene.h"

#ifdef ZRVREAL_TEST_PNG
#include <wx/image.h>
#include <wx/init.h>
#endif

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

#ifdef ZRVREAL_TEST_PNG
// The unit picture of a type as the stage's own files give it, read here
// without the stand-in's code: 0xRRGGBB per pixel, kRealTransparent for the
// transparent index.
std::vector<uint32_t> StagePicture(const DataLibrary& lib, int type, int& width, int& height)
{
    static RgbQuad table[256];
    static CDib unit;
    if (unit.GetBits() == nullptr) {
        const std::string stage = platform::FromNativePath(std::string(STAGE_DIR) + "/");
        EXPECT_TRUE(CDibPal::OpenPaletteFile(stage + "Game2.PLB", table));
        EXPECT_TRUE(unit.CreateFromPXS(table, stage + "unit2.pxs"));
    }
    const auto& e =
        lib.UnitGraphicsOffset[static_cast<size_t>(lib.ArmsData[static_cast<size_t>(type)].nPicture)];
    width = 56;
    height = e[2];
    std::vector<uint32_t> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t i = *unit.GetPixelPtr(x, unit.GetHeight() - e[0] - e[2] + y);
            const RgbQuad& q = table[i];
            out.push_back(i == 0 ? kRealTransparent
                                 : (uint32_t{q.rgbRed} << 16 | uint32_t{q.rgbGreen} << 8 | q.rgbBlue));
        }
    return out;
}

TEST_F(SceneProcess, TheWindowShowsEachUnitsPictureFromTheProgramFolder)
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) GTEST_SKIP() << "needs a display";
    wxInitializer wx;
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    DataLibraryModule module;
    ASSERT_TRUE(module.Open(std::string(STAGE_DIR) + "/libZRVData.so", nullptr));
    const DataLibrary& lib = module.Tables();
    const int types = static_cast<int>(lib.ArmsData.size());
    ASSERT_GT(types, 12);

    unsetenv(kRealExitEnv);
    for (const char* f : {"ZRVReal", "libZRVData.so"}) fs::copy_file(fs::path(STAGE_DIR) / f, dir / f);
    const fs::path shot = dir / "scene.png";
    setenv("VELMORATH_SCREENSHOT", shot.c_str(), 1);
    const struct {
        const char* name;
        int32_t type1, type2;
        bool pictureFiles;
        bool shown1, shown2;
    } cases[] = {
        {"both units", 12, 4, true, true, true},
        {"a type past the library's table", types, 4, true, false, true},
        {"a negative type", -7, 12, true, false, true},
        {"no picture files: text only", 12, 4, false, false, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        for (const char* f : {"unit2.pxs", "Game2.PLB"}) {
            fs::remove(dir / f);
            if (k.pictureFiles) fs::copy_file(fs::path(STAGE_DIR) / f, dir / f);
        }
        fs::remove(shot);
        BattleSceneLink link;
        ASSERT_TRUE(link.Create());
        GAMEREALSTRUCT block = SampleBlock();
        block.Side[0].Unit.nArms = k.type1;
        block.Side[1].Unit.nArms = k.type2;
        ASSERT_TRUE(link.ShowBattleScene(block)) << "the window closes by itself";
        wxImage image;
        ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(shot.string()), wxBITMAP_TYPE_PNG));
        ASSERT_EQ(image.GetWidth(), kRealWindowWidth);
        const bool shown[2] = {k.shown1, k.shown2};
        const int32_t type[2] = {k.type1, k.type2};
        for (int side = 0; side < 2; ++side) {
            SCOPED_TRACE(side);
            int w = 56, h = 36, drawn = 0, mismatched = 0;
            std::vector<uint32_t> want;
            if (shown[side]) want = StagePicture(lib, type[side], w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int px = kRealPictureX + x, py = RealPictureY(side) + y;
                    const uint32_t got = uint32_t{image.GetRed(px, py)} << 16 |
                                         uint32_t{image.GetGreen(px, py)} << 8 | image.GetBlue(px, py);
                    const uint32_t expect =
                        want.empty() || want[static_cast<size_t>(y * w + x)] == kRealTransparent
                            ? kRealBackground
                            : want[static_cast<size_t>(y * w + x)];
                    drawn += expect != kRealBackground;
                    mismatched += got != expect;
                }
            EXPECT_EQ(mismatched, 0);
            EXPECT_EQ(drawn > 0, shown[side]);
        }
    }
    unsetenv("VELMORATH_SCREENSHOT");
    setenv(kRealExitEnv, "1", 1);
}
#endif

}  // namespace
}  // namespace zrv
