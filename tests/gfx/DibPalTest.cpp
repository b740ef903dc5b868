#include <gtest/gtest.h>

#include <cstring>

#include "foundation/DibPal.h"
#include "tests/gfx/GfxFixture.h"

using zrv::CDibPal;
using zrv::RgbQuad;

namespace {

class DibPalTest : public gfxtest::Scratch {
protected:
    // A .PLB file of size bytes: entry i holds (blue, green, red) = (i, 2i, 255 - i), fourth byte 0.
    std::string WritePlb(const std::string& name, size_t size)
    {
        std::vector<uint8_t> b;
        for (size_t i = 0; b.size() < size; ++i) {
            b.push_back(uint8_t(i));
            b.push_back(uint8_t(2 * i));
            b.push_back(uint8_t(255 - i));
            b.push_back(0);
        }
        b.resize(size);
        return WriteBytes(name, b);
    }
};

TEST_F(DibPalTest, FileColoursTakeTheNoCollapseFlag)
{
    CDibPal pal;
    ASSERT_TRUE(pal.Create(WritePlb("p.plb", 944)));
    const RgbQuad* t = pal.GetColorTable();
    for (int i = 10; i <= 245; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t[i].rgbReserved, 4);
        EXPECT_EQ(t[i].rgbBlue, uint8_t(i - 10));
        EXPECT_EQ(t[i].rgbGreen, uint8_t(2 * (i - 10)));
        EXPECT_EQ(t[i].rgbRed, uint8_t(255 - (i - 10)));
    }
    EXPECT_EQ(pal.GetNumColors(), 256);
}

TEST_F(DibPalTest, StaticColoursPerProgram)
{
    std::string path = WritePlb("p.plb", 944);
    CDibPal battle;
    ASSERT_TRUE(battle.Create(path));
    for (int i : {0, 9}) EXPECT_EQ(battle.GetColorTable()[i].rgbRed, 0);
    for (int i : {246, 255}) EXPECT_EQ(battle.GetColorTable()[i].rgbGreen, 255);
    EXPECT_EQ(battle.GetColorTable()[246].rgbReserved, 0);

    zrv::SetProgramVariant(zrv::ProgramVariant::Menu);
    CDibPal menu;
    ASSERT_TRUE(menu.Create(path));
    const RgbQuad* t = menu.GetColorTable();
    EXPECT_EQ(t[1].rgbBlue, 128);
    EXPECT_EQ(t[7].rgbRed, 192);
    EXPECT_EQ(t[248].rgbGreen, 128);
    EXPECT_EQ(t[252].rgbRed, 255);
    EXPECT_EQ(t[252].rgbGreen, 0);
    EXPECT_EQ(t[254].rgbBlue, 0);
}

TEST_F(DibPalTest, FileLengths)
{
    CDibPal a, b, c;
    ASSERT_TRUE(a.Create(WritePlb("a.plb", 944)));
    ASSERT_TRUE(b.Create(WritePlb("b.plb", 948)));
    EXPECT_EQ(0, std::memcmp(a.GetColorTable(), b.GetColorTable(), 1024));
    std::string shortPath = WritePlb("c.plb", 943);
    EXPECT_FALSE(c.Create(shortPath));
    EXPECT_EQ(LastBox(), "Failed on Load \"" + shortPath + "\".");
    EXPECT_EQ(c.GetColorTable(), nullptr);
    std::string missing = Path("none.plb");
    EXPECT_FALSE(c.Create(missing));
    EXPECT_EQ(LastBox(), "Failed on Open \"" + missing + "\".");
}

TEST_F(DibPalTest, FadesTouchOnlyTheFileEntries)
{
    RgbQuad src[256];
    for (auto& q : src) q = {0, 128, 255, 4};
    CDibPal pal;
    ASSERT_TRUE(pal.Create(src));
    src[0] = {9, 9, 9, 0};
    struct Case {
        bool toWhite;
        int level;
        int blue, green, red;
    };
    const Case cases[] = {
        {false, 256, 0, 128, 255}, {false, 128, 0, 64, 127}, {false, 0, 0, 0, 0},
        {true, 0, 0, 128, 255},    {true, 256, 255, 255, 255}, {true, 128, 127, 191, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.toWhite ? "to white " : "from black ") + std::to_string(c.level));
        if (c.toWhite) pal.FadeToWhite(src, c.level);
        else pal.FadeFromBlack(src, c.level);
        const RgbQuad* t = pal.GetColorTable();
        for (int i : {10, 245}) {
            EXPECT_EQ(t[i].rgbBlue, c.blue);
            EXPECT_EQ(t[i].rgbGreen, c.green);
            EXPECT_EQ(t[i].rgbRed, c.red);
            EXPECT_EQ(t[i].rgbReserved, 4);
        }
        EXPECT_EQ(t[0].rgbBlue, 0) << "static entries are left alone";
        EXPECT_EQ(t[9].rgbRed, 255);
    }
    pal.ClearColors();
    EXPECT_EQ(pal.GetColorTable()[100].rgbRed, 0);
    EXPECT_EQ(pal.GetColorTable()[100].rgbReserved, 0);
    EXPECT_EQ(pal.GetColorTable()[246].rgbRed, 255);
}

TEST_F(DibPalTest, FindSetAndApply)
{
    RgbQuad t[256]{};
    t[12] = {30, 20, 10, 4};
    t[40] = {30, 20, 10, 4};
    CDibPal pal;
    ASSERT_TRUE(pal.Create(t));
    EXPECT_EQ(pal.FindColorIndex(zrv::RGB(10, 20, 30)), 12);
    EXPECT_EQ(pal.FindColorIndex(zrv::RGB(1, 2, 3)), -1);

    RgbQuad src[82];
    for (auto& q : src) q = {1, 2, 3, 0};
    pal.SetColors(98, 82, src);
    EXPECT_EQ(pal.GetColorTable()[179].rgbRed, 3);
    EXPECT_EQ(pal.GetColorTable()[180].rgbRed, 0);
    pal.SetColors(250, 82, src);  // runs past the table: cut at 255
    EXPECT_EQ(pal.GetColorTable()[255].rgbRed, 3);
    pal.SetColors(-5, 10, src);
    EXPECT_EQ(pal.GetColorTable()[0].rgbRed, 0);

    zrv::CDib dib;
    ASSERT_TRUE(dib.Create(2, 2, nullptr));
    int applied = 0;
    pal.SetAppliedHandler([&] { ++applied; });
    pal.ApplyColorTable(&dib);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(dib.GetColorTable()[12].rgbRed, 10);

    EXPECT_FALSE(pal.SetSystemPalette());
    EXPECT_EQ(LastBox(), "Not a palettized device");
    CDibPal none;
    EXPECT_EQ(none.GetNumColors(), 0);
}

}  // namespace
