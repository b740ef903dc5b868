// Off-screen card pictures, unit pictures and army marks drawn into them.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "foundation/DrawHelpers.h"
#include "support/FixtureLibrary.h"

namespace zrv {
namespace {

std::array<RgbQuad, 256> Grey()
{
    std::array<RgbQuad, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return t;
}

// A picture whose pixel at (x, y) is value(x, y).
template <class F>
std::unique_ptr<CDib> Picture(int w, int h, F value)
{
    auto t = Grey();
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(w, h, t.data()));
    platform::Surface8 s = dib->Surface();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<uint8_t>(value(x, y)));
    return dib;
}

int At(CDib& d, int x, int y)
{
    return d.Surface().GetPixel(x, y);
}

TEST(CardDrawing, CreatePictureDCMakesAPictureOrNothing)
{
    auto t = Grey();
    std::unique_ptr<CDib> pic;
    DrawContext dc;
    EXPECT_FALSE(CreatePictureDC(nullptr, 10, 10, &pic, &dc)) << "no colours";
    EXPECT_FALSE(pic);
    EXPECT_FALSE(dc.surface.IsValid());
    EXPECT_FALSE(CreatePictureDC(t.data(), 0, 10, &pic, &dc));
    ASSERT_TRUE(CreatePictureDC(t.data(), 280, 280, &pic, &dc));
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->GetWidth(), 280);
    EXPECT_EQ(dc.surface.Width(), 280);
    EXPECT_EQ(pic->GetColorTable()[200].rgbRed, 200) << "the colours given";
    dc.surface.SetPixel(3, 4, 77);
    EXPECT_EQ(At(*pic, 3, 4), 77) << "the context draws into the picture";
    std::unique_ptr<platform::Font> font;
    if (CreateGothicFont(&font, 12, 0, nullptr)) {
        dc.SelectFont(font.get());
        DrawColorText(&dc, 10, 10, "ABC", 5);  // white: index 254 in the grey table
        int white = 0;
        for (int y = 10; y < 22; ++y)
            for (int x = 10; x < 40; ++x) white += At(*pic, x, y) == 254;
        EXPECT_GT(white, 10) << "text lands in the nearest index";
    }
}

TEST(CardDrawing, UnitPictureSpriteShiftAndDigits)
{
    zrvtest::ScopedFixtureLibrary lib;
    // The tank's picture number is 6: rows 6..29 from the store's bottom,
    // drawn 4 pixels down. Its cells carry 30 + column % 20 with column 0
    // transparent.
    const int storeH = 64;
    auto units = Picture(56, storeH, [&](int x, int y) {
        const int fromBottom = storeH - 1 - y;
        if (fromBottom < 6 || fromBottom >= 30) return 1;  // other pictures
        return x == 0 ? 0 : x < 5 ? 20 : 30 + x % 20;
    });
    // Digit d is rows 9d..9d+8 of value 100 + d.
    auto digits = Picture(7, 99, [](int, int y) { return 100 + y / 9; });
    auto blank = [] { return Picture(120, 60, [](int, int) { return 5; }); };
    const UnitPictures from{units.get(), digits.get()};

    auto pic = blank();
    DrawUnitPicture(pic.get(), from, zrvtest::kFixtureTank, 1, 10, 5, 37);
    EXPECT_EQ(At(*pic, 10, 9), 5) << "index 0 is transparent";
    EXPECT_EQ(At(*pic, 11, 9), 20) << "indexes up to 25 stay";
    EXPECT_EQ(At(*pic, 17, 9), 30 + 7 + 9) << "side 1 moves the colours by 9";
    EXPECT_EQ(At(*pic, 17, 8), 5) << "the sprite starts at its offset";
    EXPECT_EQ(At(*pic, 17, 9 + 23), 30 + 7 + 9) << "24 rows";
    // The digits cover the sprite at y + 19.
    EXPECT_EQ(At(*pic, 54, 24), 103);
    EXPECT_EQ(At(*pic, 60, 32), 107);

    struct Case {
        int strength;
        int tens, units;  // the value at the tens and units places (5: nothing)
    };
    const Case cases[] = {{7, -1, 107}, {0, -1, 100}, {150, 109, 109}, {-1, -1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strength);
        pic = blank();
        DrawUnitPicture(pic.get(), {nullptr, digits.get()}, zrvtest::kFixtureTank, 0, 10, 5, c.strength);
        EXPECT_EQ(At(*pic, 54, 24), c.tens < 0 ? 5 : c.tens);
        EXPECT_EQ(At(*pic, 59, 24), c.units < 0 ? 5 : c.units);
    }
    // An unknown type, or no store, draws no sprite.
    pic = blank();
    DrawUnitPicture(pic.get(), from, 999, 0, 10, 5, -1);
    DrawUnitPicture(pic.get(), {}, zrvtest::kFixtureTank, 0, 10, 5, 12);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(At(*pic, x, y), 5);
}

TEST(CardDrawing, FlagMarkBands)
{
    // Mark band b carries 1 + b, flag band b carries 100 + b.
    auto marks = Picture(21, 16 * 16, [](int, int y) { return 1 + y / 16; });
    auto flags = Picture(21, 42 * 16, [](int, int y) { return 100 + y / 16; });
    struct Case {
        const char* name;
        bool flagMarking, force;
        int country, flagId;
        int expect;  // -1: nothing drawn
    };
    const Case cases[] = {
        {"plain mark of the country", false, false, 3, 5, 1 + 3},
        {"flag marking: the flag of the id", true, false, 3, 5, 100 + 8 + 5},
        {"forced: the flag of the id", false, true, 3, 5, 100 + 8 + 5},
        {"no id: the country's own flag band", true, false, 3, -1, 1 + 8 + 3},
        {"an id past the flags draws nothing", true, false, 3, 34, -1},
        {"a country past the bands draws nothing", false, false, 16, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto pic = Picture(60, 40, [](int, int) { return 250; });
        DrawFlagMark(pic.get(), {marks.get(), flags.get(), c.flagMarking}, c.country, 3, 3, c.flagId, c.force);
        const int want = c.expect < 0 ? 250 : c.expect;
        EXPECT_EQ(At(*pic, 3, 3), want);
        EXPECT_EQ(At(*pic, 23, 18), want) << "21 x 16";
        EXPECT_EQ(At(*pic, 24, 18), 250);
        EXPECT_EQ(At(*pic, 23, 19), 250);
    }
}

}  // namespace
}  // namespace zrv
