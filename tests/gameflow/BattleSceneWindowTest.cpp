// The stand-in animation program's window, under the virtual display: it
// closes by itself and shows each unit's picture from the program folder.

#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/DataLibraryLoader.h"
#include "foundation/Dib.h"
#include "foundation/DibPal.h"
#include "gameflow/SceneProcessFixture.h"

namespace zrv {
namespace {

TEST_F(SceneProcess, AWindowIsShownWithADisplayAndEndsOnItsOwn)
{
    ASSERT_TRUE(std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) << "runs under the virtual display";
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
    ASSERT_TRUE(std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) << "runs under the virtual display";
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

}  // namespace
}  // namespace zrv
