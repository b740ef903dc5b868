// The status strip's pixels at the layout's coordinates: the background and
// its repeated slice, the bitmap font's glyphs, flags, the weather, moon and
// route icons, the unit panel's pieces and the experience bar. Text in the
// Shift-JIS font is checked for change only.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "battle/engine/Calendar.h"
#include "battle/view/SWndView.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

class StatusStripTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        view->SetStatusStrip(nullptr);
        strip = std::make_unique<CSWndView>(*view);
        strip->OnInitialUpdate(1400);
        auto load = [](CDib& d, const char* name) {
            ASSERT_TRUE(d.CreateFromPXS(nullptr, platform::FromNativePath(StageFolder() + "/" + name))) << name;
        };
        load(base, "SWndBas2.PXS");
        load(font, "swndasc.pxs");
        load(weather, "SWndWea2.PXS");
        load(moon, "SWndMoon.PXS");
        load(panel, "SWndUni2.PXS");
        // A quiet document: no weather, no day and night, no hex.
        GAMEDATASTRUCT& g = doc->m_GameData;
        g.dwStateFlag = 0;
        g.nCurCountry = 0;
        g.dwDateTime = MakeDate(41, 6, 22, 8);
        g.dwEndDate = MakeDate(41, 12, 31, 22);
    }
    void TearDown() override
    {
        strip.reset();
        OrderTest::TearDown();
    }
    static uint32_t MakeDate(int year, int month, int day, int hour)
    {
        return static_cast<uint32_t>(hour) << 24 | static_cast<uint32_t>(year) << 16 |
               static_cast<uint32_t>(month) << 8 | static_cast<uint32_t>(day);
    }
    int At(int x, int y) { return strip->Surface().GetPixel(x, y); }
    // Every pixel of a w x h block at (x, y) equals what pixelOf says.
    void ExpectBlock(int x, int y, int w, int h, const std::function<int(int, int)>& pixelOf, const char* what)
    {
        int wrong = 0;
        for (int dy = 0; dy < h; ++dy)
            for (int dx = 0; dx < w; ++dx)
                if (At(x + dx, y + dy) != pixelOf(dx, dy)) ++wrong;
        EXPECT_EQ(wrong, 0) << what;
    }
    // The picture's block from (sx, sy) lands at (x, y), opaque.
    void ExpectCopy(CDib& pic, int sx, int sy, int x, int y, int w, int h, const char* what)
    {
        ExpectBlock(x, y, w, h, [&](int dx, int dy) { return pic.Surface().GetPixel(sx + dx, sy + dy); }, what);
    }
    // The background is untouched in the block.
    void ExpectBackground(int x, int y, int w, int h, const char* what) { ExpectCopy(base, x, y, x, y, w, h, what); }
    // Every set glyph pixel of text lands at its place.
    void ExpectGlyphs(const std::string& text, int x, int y, bool alt)
    {
        const int sy = alt ? font.GetHeight() / 2 : 0;
        for (unsigned char c : text) {
            const int w = CSWndView::GlyphWidth(c);
            const int gx = CSWndView::GlyphX(c);
            for (int dy = 0; dy < CSWndView::kGlyphHeight; ++dy)
                for (int dx = 0; dx < w; ++dx) {
                    const int p = font.Surface().GetPixel(gx + dx, sy + dy);
                    if (p != 0) EXPECT_EQ(At(x + dx, y + dy), p) << "'" << c << "' at " << dx << "," << dy;
                }
            x += w;
        }
    }
    std::vector<uint8_t> Block(int x, int y, int w, int h)
    {
        std::vector<uint8_t> v;
        for (int dy = 0; dy < h; ++dy)
            for (int dx = 0; dx < w; ++dx) v.push_back(static_cast<uint8_t>(At(x + dx, y + dy)));
        return v;
    }

    std::unique_ptr<CSWndView> strip;
    CDib base, font, weather, moon, panel;
};

TEST_F(StatusStripTest, TheBackgroundFillsTheLayoutAndItsSliceRepeatsToTheRight)
{
    EXPECT_EQ(strip->Surface().Width(), 1400);
    EXPECT_EQ(strip->Surface().Height(), 86);
    strip->RefreshStatus(-1, false, nullptr, false);
    ExpectBackground(400, 20, 150, 60, "the layout");
    // 1020..1244 once, then from 1245 the slice again.
    ExpectCopy(base, 1020, 0, 1020, 0, 225, 86, "first copy of the slice");
    ExpectCopy(base, 1020, 0, 1245, 0, 155, 86, "second, narrower copy");
    EXPECT_EQ(CSWndView::GlyphX('~') + CSWndView::GlyphWidth('~'), 551);
}

TEST_F(StatusStripTest, BitmapTextTakesItsGlyphsFromTheWidthsTableAndTheGreyHalf)
{
    strip->RefreshStatus(-1, false, nullptr, false);
    strip->DrawFontText("Ag9~", 400, 30, false);
    ExpectGlyphs("Ag9~", 400, 30, false);
    strip->DrawFontText("x 5", 400, 50, true);
    ExpectGlyphs("x 5", 400, 50, true);
    // A byte without a glyph is left out and takes no room.
    strip->RefreshStatus(-1, false, nullptr, false);
    strip->DrawFontText("A\xC8\x05Z", 400, 30, false);
    const auto withOdd = Block(400, 30, 30, 13);
    strip->RefreshStatus(-1, false, nullptr, false);
    strip->DrawFontText("AZ", 400, 30, false);
    EXPECT_EQ(Block(400, 30, 30, 13), withOdd);
}

TEST_F(StatusStripTest, FundsAreWrittenInNineCharactersWithCommaGroups)
{
    const struct {
        int value;
        const char* text;
    } cases[] = {{999, "      999"}, {1000, "    1,000"}, {999999, "  999,999"}, {1234567, "1,234,567"}, {0, "        0"}};
    for (const auto& k : cases) EXPECT_EQ(CSWndView::FormatFunds(k.value), k.text) << k.value;
}

TEST_F(StatusStripTest, TheTemperatureIsTenthsWithItsSign)
{
    doc->m_GameData.nWeatherValue = -5;
    strip->RefreshStatus(-1, false, nullptr, false);
    ExpectGlyphs("- 0.5", 36, 29, false);
    doc->m_GameData.nWeatherValue = 123;
    strip->RefreshStatus(-1, false, nullptr, false);
    ExpectGlyphs(" 12.3", 36, 29, false);
}

TEST_F(StatusStripTest, WeatherSnowAndMoonIconsComeFromTheirPictures)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    g.dwStateFlag = 0x40000000u | 0x20000000u | 0x10000000u;  // weather, snow, day and night
    g.nWeather = 2;
    g.nDayNight = 2;
    strip->RefreshStatus(-1, false, nullptr, false);
    const int icon = 2 + 24 + 16;
    ExpectCopy(weather, 0, 28 + 30 * icon + 13, 9, 42, 66, 17, "weather icon below the temperature");
    ExpectCopy(weather, 45, 0, 6, 62, 17, 17, "snow icon");
    const int image = (GetMoonPhase(g.dwDateTime) & 0xFFFF) + 9;
    ExpectCopy(moon, 0, 50 * image + 13, 943, 40, 62, 37, "the night's moon below its age");
    // Without weather only the fine-day icon; no snow icon.
    g.dwStateFlag = 0;
    strip->RefreshStatus(-1, false, nullptr, false);
    ExpectCopy(weather, 0, 28 + 13, 9, 42, 66, 17, "icon 0");
    ExpectBackground(6, 62, 3, 17, "no snow icon left of the weather icon");
}

TEST_F(StatusStripTest, TheHexPanelDrawsFlagsAndRouteIconsAndNothingForNoHex)
{
    const HEXINDEX hex = MakeHex(45, 45);
    // Owner country 1 (owner bits 2), routes of kinds 0 and 2.
    doc->m_dwHexCell[hex] = WithOwner(doc->m_dwHexCell[hex], 1) | 0x01000000u | 0x04000000u;
    strip->RefreshStatus(hex, false, nullptr, false);
    ExpectCopy(weather, 0, 0, 669, 5, 15, 14, "the first route icon");
    ExpectCopy(weather, 30, 0, 685, 5, 15, 14, "a later one");
    CDib* flags = view->m_pFlagDib.get();
    ASSERT_NE(flags, nullptr);
    const int fh = flags->GetHeight() / 16;
    ExpectBlock(349, 4, 21, fh,
                [&](int dx, int dy) {
                    const int p = flags->Surface().GetPixel(dx, (1 + 8) * fh + dy);
                    return p != 0 ? p : base.Surface().GetPixel(349 + dx, 4 + dy);
                },
                "the owner's flag");
    const auto withHex = Block(540, 4, 220, 16);
    strip->RefreshStatus(-1, false, nullptr, false);
    ExpectBackground(540, 4, 220, 16, "hex -1 leaves the hex texts covered");
    ExpectBackground(345, 2, 30, 20, "and no owner flag");
    EXPECT_NE(withHex, Block(540, 4, 220, 16));
}

TEST_F(StatusStripTest, TheDurabilityBlinksRedThenBlue)
{
    const HEXINDEX hex = MakeHex(45, 45);
    doc->m_dwHexCell[hex] |= 0x00007800u;  // durability 120
    auto colours = [this] {
        std::set<int> seen;
        for (int y = 6; y < 20; ++y)
            for (int x = 601; x < 622; ++x) seen.insert(At(x, y));
        return seen;
    };
    strip->m_dwBlink = 0x80000000u;
    strip->RefreshStatus(hex, false, nullptr, false);
    const auto first = colours();
    strip->RefreshStatus(hex, false, nullptr, false);
    const auto second = colours();
    strip->RefreshStatus(hex, false, nullptr, false);
    EXPECT_EQ(colours(), first) << "the phase flips at each refresh";
    EXPECT_NE(first, second);
}

TEST_F(StatusStripTest, TheUnitPanelShowsItsPiecesAndAnExperienceBarOfExpTimes100Over250)
{
    own->nExp = 250;
    strip->RefreshStatus(kOwnHex, false, own, false);
    ExpectCopy(panel, 0, 0, 84, 26, 181, 1, "first piece's top row");
    ExpectCopy(panel, 545, 0, 640, 25, 151, 2, "third piece");
    for (int i = 0; i < 100; ++i) EXPECT_EQ(At(152 + i, 74), 22) << i;
    EXPECT_EQ(At(152, 71), 14) << "first column: its fourth pixel from the bottom";
    EXPECT_EQ(At(153, 71), 22) << "second column";
    EXPECT_NE(At(252, 74), 22) << "no 101st column";
    own->nExp = 2;
    strip->RefreshStatus(kOwnHex, false, own, false);
    ExpectCopy(panel, 68, 39, 152, 65, 10, 10, "experience 2: no column");
}

TEST_F(StatusStripTest, AUnitOnAFoggedHexIsHiddenWithoutFogOfWarAndShownOnceTheBitClears)
{
    view->m_dwDispOption |= kDispUnits;
    doc->m_dwHexCell[kOwnHex] |= 0x00100000u;
    strip->RefreshStatus(kOwnHex, false, nullptr, true);
    ExpectBackground(84, 26, 60, 10, "no unit panel");
    doc->m_dwHexCell[kOwnHex] &= ~0x00100000u;
    strip->RefreshStatus(kOwnHex, false, nullptr, true);
    ExpectCopy(panel, 0, 0, 84, 26, 181, 1, "the unit panel");
    // Handed in without a hex: judged on its own map hex.
    doc->m_dwHexCell[kOwnHex] |= 0x00100000u;
    strip->RefreshStatus(-1, false, own, false);
    ExpectBackground(84, 26, 60, 10, "hidden on its own hex");
}

TEST_F(StatusStripTest, AnUnseenTypeHidesItsValuesAndWeaponsButKeepsItsClassWord)
{
    doc->m_dwGameOption |= 0x40000000u;
    doc->m_pViewCountry->dwArmsAvail[enemy->nArms] |= 0x20000000u;
    strip->RefreshStatus(kEnemyHex, false, enemy, false);
    const auto seenWeapons = Block(270, 27, 180, 52);
    const auto seenName = Block(108, 29, 60, 14);
    const auto seenClass = Block(80, 64, 40, 14);
    doc->m_pViewCountry->dwArmsAvail[enemy->nArms] &= ~0x20000000u;
    strip->RefreshStatus(kEnemyHex, false, enemy, false);
    EXPECT_NE(Block(270, 27, 180, 52), seenWeapons) << "no weapon list";
    ExpectCopy(panel, 183, 2, 270, 27, 100, 10, "the weapon area shows its panel only");
    EXPECT_NE(Block(108, 29, 60, 14), seenName) << "the name is a question mark";
    EXPECT_EQ(Block(80, 64, 40, 14), seenClass) << "the class word stays";
}

TEST_F(StatusStripTest, ACarrierListsFourOfItsFiveCarriedUnits)
{
    for (int i = 0; i < 5; ++i) Board(10 + i, *own);
    strip->RefreshStatus(kOwnHex, false, own, false);
    const std::string name = TableText(Lib().UnitName, zrvtest::kFixtureInfantry);
    for (int line = 0; line < 4; ++line) ExpectGlyphs(name, 642, 27 + 13 * line, false);
    ExpectCopy(panel, 547, 54, 642, 79, 60, 2, "no fifth line");
}

}  // namespace
}  // namespace viewtest
