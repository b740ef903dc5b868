// Every generated picture and palette read back by the program's own readers,
// with the sizes and cells the screens rely on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Dib.h"
#include "foundation/DibPal.h"
#include "tests/gfx/GfxFixture.h"

namespace {

using zrv::CDib;
using zrv::CDibPal;

class GeneratedArt : public gfxtest::Scratch {
protected:
    void SetUp() override
    {
        Scratch::SetUp();
        const char* stage = std::getenv("VELMORATH_STAGE_DIR");
        m_stage = stage != nullptr ? stage : VELMORATH_TEST_STAGE_DIR;
        ASSERT_TRUE(m_game.Create(File("Game2.PLB"))) << LastBox();
    }
    std::string File(const std::string& name) { return platform::FromNativePath(m_stage + "/" + name); }

    std::string m_stage;
    CDibPal m_game;
};

struct Expect {
    const char* name;
    int minW, minH;
    int exactW = 0, exactH = 0;
};

const Expect kPictures[] = {
    {"terrain.pxs", 56, 42, 56},     {"terrain0.pxs", 56, 42, 56},  {"terrain1.pxs", 56, 42, 56},
    {"terrain2.pxs", 56, 42, 56},    {"terrain3.pxs", 56, 42, 56},  {"flags.pxs", 21, 672, 0, 672},
    {"unitmark.pxs", 66, 174},       {"unit2.pxs", 56, 42, 56},     {"minihex.pxs", 8, 800},
    {"wall.pxs", 1, 1},              {"starttn.pxs", 64, 64},       {"spec2.pxs", 613, 429},
    {"weapon.pxs", 12, 456},         {"ExplHex.pxs", 480, 240, 480, 240}, {"SWndBas2.PXS", 1245, 86},
    {"SWndMoon.PXS", 62, 900},       {"SWndWea2.PXS", 66, 1468},    {"SWndUni2.PXS", 844, 56},
    {"swndasc.pxs", 551, 26, 551, 26}, {"attack2.pxs", 272, 283},   {"join2.pxs", 184, 192},
    {"status12.pxs", 336, 325},      {"status02.pxs", 292, 46},     {"status22.pxs", 316, 752},
    {"status3.pxs", 292, 225},       {"statuswt.pxs", 124, 60},     {"statussn.pxs", 124, 60},
    {"progres2.pxs", 162, 53},       {"product2.pxs", 332, 107},    {"setup2.pxs", 332, 107},
    {"improve2.pxs", 208, 142},      {"entry2.pxs", 582, 525},      {"TitleTR2.PXS", 640, 538},
    {"TitleLo2.PXS", 1, 1},          {"TIRNLOGO.PXS", 1, 1},        {"CopyRgh2.PXS", 1, 1},
    {"QBLOGO.PXS", 1, 1},            {"Credit2.PXS", 1, 1},         {"EndLOGO.PXS", 1, 1},
    {"Euromap2.PXS", 640, 480},      {"Eurofla2.PXS", 24, 1018},    {"ConfigS2.PXS", 324, 143},
    {"UList136.pxs", 156, 12, 156, 12},
    {"flagicon.pxs", 756, 12, 756, 12},
};

const char* const kPalettes[] = {"Game2.PLB", "Title2.PLB", "Menu.PLB", "TIRNLOGO.PLB",
                                 "Credit2.PLB", "EndingZ.PLB", "EndingU.PLB"};

TEST_F(GeneratedArt, EveryPictureLoadsWithItsLayoutAndOnlyPaletteEntries)
{
    for (const Expect& e : kPictures) {
        SCOPED_TRACE(e.name);
        m_boxes.Clear();
        CDib d;
        ASSERT_TRUE(d.CreateFromPXS(m_game.GetColorTable(), File(e.name))) << LastBox();
        EXPECT_TRUE(Boxes().empty());
        EXPECT_GE(d.GetWidth(), e.minW);
        EXPECT_GE(d.GetHeight(), e.minH);
        if (e.exactW) {
            EXPECT_EQ(d.GetWidth(), e.exactW);
        }
        if (e.exactH) {
            EXPECT_EQ(d.GetHeight(), e.exactH);
        }
        // 0 is the transparent key; 1-9 and 246-255 are the programs' static
        // colours, which differ between the battle and the menu.
        for (int y = 0; y < d.GetHeight(); ++y)
            for (int x = 0; x < d.GetWidth(); ++x) {
                int v = *d.GetPixelPtr(x, y);
                ASSERT_TRUE(v == 0 || (v >= 10 && v <= 245)) << x << "," << y << " holds " << v;
            }
    }
}

TEST_F(GeneratedArt, TerrainSetsStackAndSwap)
{
    CDib terrain, base;
    ASSERT_TRUE(terrain.CreateFromTwoPXS(m_game.GetColorTable(), File("terrain0.pxs"), File("terrain.pxs")));
    ASSERT_TRUE(base.CreateFromPXS(m_game.GetColorTable(), File("terrain0.pxs")));
    EXPECT_EQ(terrain.GetHeight() % 42, 0);
    EXPECT_EQ(base.GetHeight() % 42, 0);
    EXPECT_GE(terrain.GetHeight() / 42, 813) << "the pier pictures 796-813 exist";
    for (const char* set : {"terrain1.pxs", "terrain2.pxs", "terrain3.pxs", "terrain0.pxs"}) {
        SCOPED_TRACE(set);
        EXPECT_TRUE(terrain.LoadBits(File(set), -1, base.GetHeight())) << LastBox();
    }
}

TEST_F(GeneratedArt, PalettesCarryTheTerrainColoursAndShareTheSpriteEntries)
{
    // Set 0 of the terrain colour table fills entries 98-179.
    const char* env = std::getenv("VELMORATH_SOURCE_DIR");
    const char* src = env != nullptr ? env : VELMORATH_TEST_SOURCE_DIR;
    std::ifstream csv(std::string(src) + "/standins/zrvdata/content/terrain_colors.csv");
    ASSERT_TRUE(csv);
    std::string line;
    int checked = 0;
    while (std::getline(csv, line)) {
        if (line.empty() || line[0] == '#' || line[0] == 'k') continue;
        std::istringstream ss(line);
        int k, entry, r, g, b;
        char c;
        ASSERT_TRUE(ss >> k >> c >> entry >> c >> r >> c >> g >> c >> b) << line;
        if (k != 0) continue;
        const zrv::RgbQuad& q = m_game.GetColorTable()[entry];
        EXPECT_EQ(q.rgbRed, r) << entry;
        EXPECT_EQ(q.rgbGreen, g) << entry;
        EXPECT_EQ(q.rgbBlue, b) << entry;
        ++checked;
    }
    EXPECT_EQ(checked, 82);

    // The text colours have entries of their own.
    for (zrv::COLORREF c : {zrv::RGB(254, 254, 0), zrv::RGB(254, 0, 0), zrv::RGB(0, 0, 254), zrv::RGB(0, 254, 0),
                            zrv::RGB(254, 254, 254), zrv::RGB(191, 191, 191), zrv::RGB(127, 0, 0), zrv::RGB(0, 0, 127)})
        EXPECT_GE(m_game.FindColorIndex(c), 10) << std::hex << c;

    // The menu shows the shared pictures through its own palettes.
    std::set<int> used;
    for (const char* name : {"flags.pxs", "unit2.pxs", "spec2.pxs", "weapon.pxs"}) {
        CDib d;
        ASSERT_TRUE(d.CreateFromPXS(m_game.GetColorTable(), File(name)));
        for (int y = 0; y < d.GetHeight(); ++y)
            for (int x = 0; x < d.GetWidth(); ++x) used.insert(*d.GetPixelPtr(x, y));
    }
    for (int set = 1; set < 8; ++set)
        for (int i = 26; i <= 34; ++i) used.insert(i + 9 * set);  // shifted sprite and icon colours
    zrv::SetProgramVariant(zrv::ProgramVariant::Menu);
    for (const char* name : kPalettes) {
        SCOPED_TRACE(name);
        CDibPal p;
        ASSERT_TRUE(p.Create(File(name))) << LastBox();
        if (std::string(name) != "Title2.PLB" && std::string(name) != "Menu.PLB") continue;
        for (int i : used) {
            if (i < 10 || i > 245) continue;
            EXPECT_EQ(p.GetColorTable()[i].rgbRed, m_game.GetColorTable()[i].rgbRed) << i;
            EXPECT_EQ(p.GetColorTable()[i].rgbGreen, m_game.GetColorTable()[i].rgbGreen) << i;
            EXPECT_EQ(p.GetColorTable()[i].rgbBlue, m_game.GetColorTable()[i].rgbBlue) << i;
        }
    }
}

TEST_F(GeneratedArt, SpriteCellsHoldPictures)
{
    // Spot checks of cells the screens copy: something is drawn in each.
    struct Cell {
        const char* name;
        int x, y, w, h;
    };
    const Cell cells[] = {
        {"unitmark.pxs", 0, 0, 7, 9},     {"unitmark.pxs", 0, 81, 7, 9},   {"unitmark.pxs", 0, 90, 7, 9},
        {"unitmark.pxs", 0, 99, 8, 9},    {"unitmark.pxs", 8, 116, 58, 58}, {"minihex.pxs", 0, 728, 8, 8},
        {"minihex.pxs", 4, 736 + 60, 4, 4}, {"weapon.pxs", 0, 444, 12, 12}, {"ExplHex.pxs", 432, 192, 48, 48},
        {"SWndWea2.PXS", 0, 28 + 30 * 47, 66, 30}, {"SWndUni2.PXS", 826, 18, 7, 9}, {"swndasc.pxs", 545, 13, 6, 13},
        {"Eurofla2.PXS", 0, 32 + 17 * 57, 20, 17}, {"Eurofla2.PXS", 20, 0, 4, 4}, {"TitleTR2.PXS", 210, 520 - 20, 274, 18},
        {"status12.pxs", 198, 297, 132, 18}, {"entry2.pxs", 56, 434, 56, 28}, {"spec2.pxs", 378, 402, 100, 10},
        {"entry2.pxs", 144, 335, 196, 67}, {"entry2.pxs", 144, 402, 196, 67}, {"entry2.pxs", 340, 0, 242, 269},
        {"entry2.pxs", 340, 269, 115, 115}, {"entry2.pxs", 340, 384, 102, 102}, {"entry2.pxs", 455, 269, 115, 115},
        {"entry2.pxs", 140, 469, 200, 18}, {"entry2.pxs", 140, 487, 150, 38},
        // The situation table's pages and the progress window.
        {"status12.pxs", 0, 0, 336, 251},  {"status12.pxs", 0, 251, 336, 26}, {"status12.pxs", 144, 313, 18, 12},
        {"status12.pxs", 198, 277, 40, 10}, {"status12.pxs", 198, 287, 40, 10}, {"status12.pxs", 238, 277, 40, 10},
        {"status12.pxs", 238, 287, 40, 10}, {"flagicon.pxs", 41 * 18, 0, 18, 12}, {"status02.pxs", 0, 0, 292, 46},
        {"status22.pxs", 0, 5 * 108, 316, 108}, {"status22.pxs", 0, 648, 232, 104}, {"status3.pxs", 0, 0, 232, 109},
        {"status3.pxs", 0, 109, 292, 100}, {"status3.pxs", 0, 209, 128, 16}, {"progres2.pxs", 0, 0, 162, 43},
        {"progres2.pxs", 0, 43, 100, 10},
    };
    for (const Cell& c : cells) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.x) + "," + std::to_string(c.y));
        CDib d;
        ASSERT_TRUE(d.CreateFromPXS(m_game.GetColorTable(), File(c.name)));
        int drawn = 0;
        for (int y = c.y; y < c.y + c.h; ++y)
            for (int x = c.x; x < c.x + c.w; ++x) {
                uint8_t* p = d.GetPixelPtr(x, y);
                ASSERT_NE(p, nullptr) << "the cell lies inside the picture";
                drawn += *p != 0;
            }
        EXPECT_GT(drawn, 0);
    }
}

TEST_F(GeneratedArt, EveryRectangleOfTheWeaponEntryPictureLiesInsideIt)
{
    CDib d;
    ASSERT_TRUE(d.CreateFromPXS(m_game.GetColorTable(), File("entry2.pxs")));
    struct Rect {
        int x, y, w, h;
    };
    std::vector<Rect> rects;
    for (int g = 0; g < 5; ++g) rects.push_back({0, 67 * g, 144, 67});
    for (int g = 0; g < 7; ++g) rects.push_back({144, 67 * g, 196, 67});
    for (int b = 0; b < 10; ++b) rects.push_back({0, 335 + 17 * b, 56, 17});
    for (int e = 1; e <= 9; ++e) rects.push_back({56, 335 + 11 * (e - 1), 58, 11});
    rects.insert(rects.end(), {{56, 434, 56, 28}, {140, 469, 200, 18}, {140, 487, 150, 38}, {340, 0, 242, 269},
                               {340, 269, 115, 115}, {340, 384, 102, 102}, {455, 269, 115, 115}});
    for (const Rect& r : rects) {
        SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" +
                     std::to_string(r.h));
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.w, d.GetWidth());
        EXPECT_LE(r.y + r.h, d.GetHeight());
    }
}

TEST_F(GeneratedArt, TheUnitListsStateIconsAreThirteenDistinctCells)
{
    CDib d;
    ASSERT_TRUE(d.CreateFromPXS(m_game.GetColorTable(), File("UList136.pxs")));
    std::set<std::vector<uint8_t>> cells;
    for (int i = 0; i < 13; ++i) {
        std::vector<uint8_t> cell;
        int drawn = 0, clear = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const uint8_t v = *d.GetPixelPtr(i * 12 + x, y);
                cell.push_back(v);
                (v != 0 ? drawn : clear) += 1;
            }
        EXPECT_GT(drawn, 10) << "icon " << i;
        EXPECT_GT(clear, 10) << "icon " << i << " keeps a transparent ground";
        cells.insert(cell);
    }
    EXPECT_EQ(cells.size(), 13u) << "every state has a picture of its own";
}

}  // namespace
