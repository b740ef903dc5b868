// What the render puts into the off-screen buffer, pixel by pixel, compared
// with cells cut from the generated pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "view/ViewFixture.h"

namespace viewtest {
namespace {

// Mode 0 terrains with pictures of their own, spread so that every hex
// differs from its neighbours.
int PatternTerrain(int r, int c)
{
    static const int kTerrains[4] = {kPlain, kForest, kSea, kCity};
    return kTerrains[(r * 5 + c * 3) % 4];
}
int PictureOf(int terrain)
{
    return terrain == kForest ? 257 : terrain == kSea ? 369 : terrain == kCity ? 385 : 241;
}

class RenderTest : public ViewTest {
protected:
    void FillPattern()
    {
        for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = PatternTerrain(HexRow(h), HexColumn(h));
    }

    // The expected 58 x 58 picture of one cell from (-1, -1); -1 = any.
    struct Expect {
        int px[58][58];
        Expect() { std::memset(px, 0xFF, sizeof px); }
        int& At(int x, int y) { return px[y + 1][x + 1]; }
    };
    Expect Terrain(int upper, int lower)
    {
        Expect e;
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < 56; ++x) e.At(x, y) = HexPixelOf(*pics, upper, lower, x, y);
        return e;
    }
    // A transparent layer from picture src (w x h at sx, sy) at cell (x, y).
    static void Layer(Expect& e, CDib& src, int sx, int sy, int w, int h, int x, int y, int shift = 0,
                      bool mirror = false)
    {
        for (int r = 0; r < h; ++r)
            for (int i = 0; i < w; ++i) {
                int v = src.Surface().GetPixel(sx + (mirror ? w - 1 - i : i), sy + r);
                if (v <= 0 || x + i < -1 || x + i > 56 || y + r < -1 || y + r > 56) continue;
                e.At(x + i, y + r) = v > 25 ? (v + shift) & 0xFF : v;
            }
    }
    void Compare(HEXINDEX hex, Expect& e)
    {
        const PointI at = ExpectedCell(hex);
        int checked = 0;
        for (int y = -1; y < 57; ++y)
            for (int x = -1; x < 57; ++x) {
                const int want = e.At(x, y);
                if (want < 0) continue;
                ++checked;
                ASSERT_EQ(Buffer(at.x + x, at.y + y), want) << "cell pixel " << x << "," << y;
            }
        EXPECT_GT(checked, 0);
    }
};

TEST_F(RenderTest, EveryHexLandsInItsCellForEvenAndOddFirstRowsAndAtTheEdges)
{
    FillPattern();
    struct Case {
        const char* name;
        MapHexRect rect;
        PointI scroll;
    };
    const MapHexRect even{36, 35, 96, 96}, odd{35, 35, 96, 96};
    const int maxX = even.Columns() * 56 + 28 - 560, maxY = even.Rows() * 42 + 14 - 420;
    const Case cases[] = {
        {"even first row at the origin", even, {0, 0}},
        {"odd first row at the origin", odd, {0, 0}},
        {"even row, inside a cell", even, {30, 17}},
        {"odd row, inside a cell", odd, {30, 17}},
        {"odd row, right half of a cell", odd, {100, 50}},
        {"bottom-right edge", even, {maxX, maxY}},
        {"small map centred with walls", {40, 40, 47, 45}, {0, 0}},
        {"small odd map centred", {41, 40, 48, 45}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowMap(560, 420, c.scroll, c.rect);
        for (int r = c.rect.firstRow - 1; r <= c.rect.firstRow + 12; ++r)
            for (int col = c.rect.firstColumn - 1; col <= c.rect.firstColumn + 11; ++col) {
                const HEXINDEX h = MakeHex(r, col);
                const PointI at = ExpectedCell(h);
                // Hexes wholly inside the drawn part of the window.
                const platform::Rect drawn = view->m_rcDrawnMap;
                if (at.x < drawn.left + 56 || at.y < drawn.top + 42 || at.x + 56 > drawn.right + 56 ||
                    at.y + 56 > drawn.bottom + 42)
                    continue;
                const int pic = PictureOf(PatternTerrain(r, col));
                ExpectHex(h, pic, pic);
            }
    }
    // The odd first row begins half a cell in: the west neighbour's right
    // half fills the gap.
    ShowMap(560, 420, {0, 0}, odd);
    EXPECT_EQ(ExpectedCell(MakeHex(35, 35)).x, 56 + 28);
    const int west = PictureOf(PatternTerrain(35, 34));
    EXPECT_EQ(Buffer(56 + 10, 42 + 20), pics->Terrain(west, 38, 20));
}

TEST_F(RenderTest, WallSurroundsASmallMapFixedInTheMapPlane)
{
    FillPattern();
    ShowMap(560, 420, {0, 0}, {40, 40, 47, 45});
    const platform::Rect drawn = view->m_rcDrawnMap;
    ASSERT_GT(drawn.left, 0);
    ASSERT_GT(drawn.top, 0);
    for (PointI w : {PointI{3, 3}, PointI{drawn.left - 1, 200}, PointI{drawn.right + 2, 400}, PointI{300, 5},
                     PointI{300, drawn.bottom + 3}}) {
        SCOPED_TRACE(w.x * 1000 + w.y);
        EXPECT_EQ(Buffer(56 + w.x, 42 + w.y), pics->wall.Surface().GetPixel(w.x % 64, w.y % 64));
    }
}

TEST_F(RenderTest, RenderAtAnUnchangedOriginLeavesTheBufferAlone)
{
    FillPattern();
    ShowMap(560, 420, {30, 17});
    view->GetDib()->ClearBits(0xEE);
    view->RenderMap(-1, -1);
    EXPECT_EQ(Buffer(300, 200), 0xEE);
    view->RenderMap(30, 17);
    EXPECT_EQ(Buffer(300, 200), 0xEE);
    // A layout change or another origin renders again.
    view->m_dwState |= kViewLayoutChanged;
    view->RenderMap(-1, -1);
    EXPECT_NE(Buffer(300, 200), 0xEE);
    view->GetDib()->ClearBits(0xEE);
    view->RenderMap(31, -1);
    EXPECT_NE(Buffer(300, 200), 0xEE);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{31, 17}));
}

TEST_F(RenderTest, OverlaysFollowRoutesWeatherFogAndOptions)
{
    const HEXINDEX h = MakeHex(40, 40), east = MakeHex(40, 41);
    const MAPCELL road = 1u << 24, rail = 1u << 25;
    struct Case {
        const char* name;
        MAPCELL cell;
        uint32_t extraOption;
        bool washedOut;
        std::vector<int> overlays;  // pictures over the base, in order
    };
    // The east neighbour carries road and rail: direction mask 0x01, upper
    // and lower variant 1.
    const Case cases[] = {
        {"road east", road, 0, false, {2}},
        {"road washed out", road, 0, true, {}},
        {"road washed out, roads always shown", road, kDispRoadsAlways, true, {2}},
        {"rail stays when washed out", rail, 0, true, {18}},
        {"road and rail: the kind found last lies below", road | rail, 0, false, {18, 2}},
        {"cover of the viewing country's fog", kCellFog, 0, false, {kPicCover}},
        {"no entry for the current side", kCellClosedSide0, kDispNoEntryMarks, false, {kPicNoEntry}},
        {"no entry marks off", kCellClosedSide0, 0, false, {}},
    };
    doc->m_GameData.Country[0].nSide = 0;
    view->SetCurrentCountry(0, &doc->m_GameData.Country[0]);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc->m_dwHexCell[h] = kPlain | c.cell;
        doc->m_dwHexCell[east] = kPlain | road | rail;
        const bool washed = c.washedOut;
        view->SetRoadCoverTest([washed](HEXINDEX) { return washed; });
        view->m_dwDispOption = kDispInitial | c.extraOption;
        ShowMap(560, 420, {0, 0}, {40, 38, 90, 90});
        Expect e = Terrain(241, 241);
        // The overlays are cut into the same parts as the ground.
        for (int pic : c.overlays)
            for (int y = 0; y < 56; ++y)
                for (int x = 0; x < 56; ++x)
                    if (int v = HexPixelOf(*pics, pic, pic, x, y); v > 0) e.At(x, y) = v;
        Compare(h, e);
    }
}

TEST_F(RenderTest, RoadsVanishInTheMudOfTheDocumentsWeather)
{
    const HEXINDEX h = MakeHex(40, 40);
    doc->m_dwHexCell[h] = kPlain | 1u << 24;
    doc->m_dwHexCell[MakeHex(40, 41)] = kPlain | 1u << 24;
    doc->m_GameData.dwStateFlag = kStateWeather;
    for (int rain : {1, 5}) {
        SCOPED_TRACE(rain);
        doc->m_GameData.nRainLevel = rain;
        ShowMap(560, 420, {0, 0}, {40, 38, 90, 90});
        Expect e = Terrain(241, 241);
        if (rain < 3)
            for (int y = 0; y < 56; ++y)
                for (int x = 0; x < 56; ++x)
                    if (int v = HexPixelOf(*pics, 2, 2, x, y); v > 0) e.At(x, y) = v;
        Compare(h, e);
    }
}

TEST_F(RenderTest, HexLinesDrawOnlyTheLeftEdges)
{
    view->m_dwDispOption |= kDispHexLines;
    ShowMap(560, 420, {0, 0}, {40, 40, 90, 90});
    const PointI at = ExpectedCell(MakeHex(41, 42));
    for (int y = 14; y < 42; ++y) EXPECT_EQ(Buffer(at.x, at.y + y), 10) << y;
    EXPECT_EQ(Buffer(at.x + 27, at.y), 10);      // upper-left edge, first row
    EXPECT_EQ(Buffer(at.x + 1, at.y + 13), 10);  // and its last row
    EXPECT_EQ(Buffer(at.x + 1, at.y + 42), 10);  // lower-left edge
    EXPECT_EQ(Buffer(at.x + 27, at.y + 55), 10);
    EXPECT_NE(Buffer(at.x + 55, at.y + 20), 10);  // no right edge of its own
}

class UnitRenderTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        viewer = &doc->m_GameData.Country[0];
        viewer->dwFlag = kCountryPresent;
        viewer->nSide = 0;
        doc->m_pViewCountry = viewer;
        enemy = &doc->m_GameData.Country[1];
        enemy->dwFlag = kCountryPresent;
        enemy->nSide = 1;
        UNITSTRUCT& u = enemy->Unit[0];
        u.dwFlag = kUnitInUse;
        u.nArms = zrvtest::kFixtureDestroyer;
        u.nHex = hex;
        doc->m_dwHexUnit[hex] = MakeUnitRef(1, 0);
    }
    void Show(uint32_t code)
    {
        view->m_dwHexUnitCode[hex] = code;
        ShowMap(560, 420, {0, 0}, {40, 40, 90, 90});
    }
    Expect WithSprite(int picture, int set, bool mirror)
    {
        Expect e = Terrain(241, 241);
        Layer(e, pics->unit, 0, picture * 42, 56, 42, 0, 14, 9 * set, mirror);
        return e;
    }
    void Digits(Expect& e, int strength)
    {
        if (strength / 10) Layer(e, pics->mark, 0, 9 * (strength / 10), 7, 9, 44, 31);
        Layer(e, pics->mark, 0, 9 * (strength % 10), 7, 9, 49, 31);
    }

    const HEXINDEX hex = MakeHex(41, 42);
    COUNTRYSTRUCT* viewer = nullptr;
    COUNTRYSTRUCT* enemy = nullptr;
};

constexpr uint32_t Code(int picture, int set, int strength, uint32_t bits = 0)
{
    return kCodeDrawn | bits | uint32_t(strength) << 20 | uint32_t(set) << 16 | uint32_t(picture);
}

TEST_F(UnitRenderTest, SpriteTakesItsSideColoursMirrorAndDigits)
{
    struct Case {
        const char* name;
        uint32_t code;
        int set, strength;
        bool mirror;
    };
    const Case cases[] = {
        {"set 0, one digit", Code(9, 0, 7), 0, 7, false},
        {"set 2, two digits", Code(9, 2, 12), 2, 12, false},
        {"mirrored, set 7", Code(20, 7, 30, kCodeMirrored), 7, 30, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Show(c.code);
        Expect e = WithSprite(CodePicture(c.code), c.set, c.mirror);
        Digits(e, c.strength);
        Compare(hex, e);
    }
    // Acted and carrying marks.
    Show(Code(9, 0, 5, kCodeActed | kCodeCarrying));
    Expect e = WithSprite(9, 0, false);
    Digits(e, 5);
    Layer(e, pics->mark, 0, 90, 7, 9, 4, 31);
    Layer(e, pics->mark, 0, 99, 8, 9, 0, 14);
    Compare(hex, e);
}

TEST_F(UnitRenderTest, DitheredSpriteDrawsEveryOtherPixel)
{
    Show(Code(9, 0, 5, kCodeDithered));
    const PointI at = ExpectedCell(hex);
    int sprite = 0, ground = 0;
    for (int y = 0; y < 42; ++y)
        for (int x = 0; x < 56; ++x) {
            const int v = pics->unit.Surface().GetPixel(x, 9 * 42 + y);
            if (v == 0 || (y + 14 >= 31 && x >= 44)) continue;
            const int got = Buffer(at.x + x, at.y + 14 + y);
            if (((x + y) & 1) == 0)
                sprite += got == v;
            else
                ground += got == HexPixelOf(*pics, 241, 241, x, y + 14) ||
                          HexPixelOf(*pics, 241, 241, x, y + 14) < 0;
        }
    EXPECT_GT(sprite, 100);
    EXPECT_GT(ground, 100);
}

TEST_F(UnitRenderTest, FogHidesContactsShowTheirDomainAndNoViewerDrawsNothing)
{
    const uint32_t code = Code(9, 1, 5);
    UNITSTRUCT& u = enemy->Unit[0];
    Expect ground = Terrain(241, 241);
    Expect shown = WithSprite(9, 1, false);
    Digits(shown, 5);
    const int domain = ArmsRecord(u.nArms)->nDomain;
    Expect contact = WithSprite(domain, 1, false);
    Digits(contact, 5);

    struct Case {
        const char* name;
        uint32_t viewerFlag, unitFlag, supply;
        Expect* want;
    };
    Case cases[] = {
        {"seen", kCountryPresent, kUnitInUse, 0, &shown},
        {"hidden under fog", kCountryPresent | kCountryFog, kUnitInUse | 0x2000u, 0, &ground},
        {"hidden bit without fog", kCountryPresent, kUnitInUse | 0x2000u, 0, &shown},
        {"hidden but seen marker", kCountryPresent | kCountryFog, kUnitInUse | 0x2000u, 0x200u, &shown},
        {"hidden from the other side only", kCountryPresent | kCountryFog, kUnitInUse | 0x4000u, 0, &shown},
        {"contact", kCountryPresent, kUnitInUse | 0x10000u, 0, &contact},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        viewer->dwFlag = c.viewerFlag;
        u.dwFlag = c.unitFlag;
        u.dwSupplyFlag = c.supply;
        Show(code);
        Compare(hex, *c.want);
    }
    SCOPED_TRACE("no viewing country");
    u.dwFlag = kUnitInUse;
    doc->m_pViewCountry = nullptr;
    Show(code);
    Compare(hex, ground);
    SCOPED_TRACE("units not shown");
    doc->m_pViewCountry = viewer;
    view->m_dwDispOption &= ~kDispUnits;
    Show(code);
    Compare(hex, ground);
    SCOPED_TRACE("picture beyond the table: digits only");
    view->m_dwDispOption |= kDispUnits;
    Show(Code(200, 0, 5));
    Expect digitsOnly = Terrain(241, 241);
    Digits(digitsOnly, 5);
    Compare(hex, digitsOnly);
}

TEST_F(UnitRenderTest, OwnerMarkByFlagOrColourOnlyOnOccupiableTerrain)
{
    enemy->nCountryId = 5;
    view->BuildFlagPicture(0);
    struct Case {
        const char* name;
        int terrain, owner;  // owner bits value (country + 1)
        bool flags;
        int flag;  // flags.pxs picture, -1 none
    };
    const Case cases[] = {
        {"flag of the country", kCity, 2, true, 8 + 5},
        {"colour of the country", kCity, 2, false, 1},
        {"not occupiable", kPlain, 2, true, -1},
        {"owner beyond eight countries", kCity, 10, true, -1},
        {"no owner", kCity, 0, true, -1},
    };
    doc->m_dwHexUnit[hex] = kNoUnit;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc->m_dwHexCell[hex] = static_cast<MAPCELL>(c.terrain) | static_cast<MAPCELL>(c.owner) << 16;
        view->m_dwDispOption = c.flags ? kDispInitial : (kDispInitial & ~kDispOwnerFlags);
        Show(0);
        const int pic = PictureOf(c.terrain);
        Expect e = Terrain(pic, pic);
        if (c.flag >= 0) Layer(e, pics->flags, 0, c.flag * 16, 21, 16, 19, 35);
        Compare(hex, e);
    }
}

TEST_F(RenderTest, MarksDrawEachSetMarkAndTheRowAboveShowsTheirLowestRows)
{
    const HEXINDEX h = MakeHex(42, 43);
    view->m_dwHexMarkView[h] = 1 | 4;
    ShowMap(560, 420, {0, 0}, {40, 40, 90, 90});
    Expect e = Terrain(241, 241);
    Layer(e, pics->mark, 8, 0, 58, 58, -1, -1);
    Layer(e, pics->mark, 8, 116, 58, 58, -1, -1);
    Compare(h, e);

    // First row 10 pixels up: the row above reaches 32 - 42 + 41 rows down.
    const HEXINDEX above = MakeHex(40, 43);
    view->m_dwHexMarkView.fill(0);
    view->m_dwHexMarkView[above] = 2;
    ShowMap(560, 420, {0, 10}, {41, 40, 90, 90});
    const PointI at = ExpectedCell(above);
    ASSERT_EQ(at.y, 32 - 42);
    int hits = 0;
    for (int y = 42; y < 58; ++y)
        for (int x = 0; x < 58; ++x) {
            const int v = pics->mark.Surface().GetPixel(8 + x, 58 + y);
            if (v == 0) continue;
            ++hits;
            ASSERT_EQ(Buffer(at.x - 1 + x, at.y - 1 + y), v) << x << "," << y;
        }
    EXPECT_GT(hits, 0);
}

TEST_F(RenderTest, RedrawHexDrawsOneHexWithItsMarksInPlace)
{
    FillPattern();
    ShowMap(560, 420, {0, 0}, {40, 40, 90, 90});
    const HEXINDEX h = MakeHex(42, 43);
    view->m_dwHexMarkView[h] = 2;
    doc->m_dwHexCell[h] = kSea;
    ASSERT_TRUE(view->HexToCell(h, false));
    EXPECT_EQ(view->m_ptCell, ExpectedCell(h));
    view->RedrawHex(h, true, false);
    Expect e = Terrain(369, 369);
    Layer(e, pics->mark, 8, 58, 58, 58, -1, -1);
    Compare(h, e);
}

TEST_F(RenderTest, OverlayAtCellLaysTheFrameOverItsBase)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 90, 90});
    ASSERT_TRUE(view->HexToCell(MakeHex(42, 43), false));
    CDib* work = view->m_pWorkDib.get();
    work->ClearBits(0x33);
    // The acted mark (7 x 9) over the work picture, 4 rows up.
    view->DrawOverlayAtCell(&pics->mark, 10, 4, 7, 9, 0, 90, nullptr, false);
    const PointI at = view->m_ptCell;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 7; ++x) {
            const int v = pics->mark.Surface().GetPixel(x, 90 + y);
            EXPECT_EQ(Buffer(at.x + 10 + x, at.y - 4 + y), v != 0 ? v : 0x33) << x << "," << y;
        }
}

TEST_F(RenderTest, InformationScreenTilesTheStartPictureInBlitModeOne)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.dwFlag = kCountryPresent;
    c.nCountryId = 10;
    doc->SetCurrentCountry(0);
    view->m_szBanner = "Turn 1";
    view->OnSize(200, 150);
    view->RecalcViewLayout(0);
    EXPECT_EQ(view->GetBlitMode(), 1);
    EXPECT_EQ(view->BlitSource(), (PointI{0, 0}));
    const int sx = (10 % 8) * 64, sy = (10 / 8) * 64;
    // The corners are tiles (the last tile cut to fit); the middle holds
    // the banner.
    for (PointI p : {PointI{0, 0}, PointI{63, 63}, PointI{130, 5}, PointI{199, 149}}) {
        SCOPED_TRACE(p.x * 1000 + p.y);
        EXPECT_EQ(Buffer(p.x, p.y), pics->start.Surface().GetPixel(sx + p.x % 64, sy + p.y % 64));
    }
    int changed = 0;
    for (int y = 60; y < 90; ++y)
        for (int x = 40; x < 160; ++x)
            changed += Buffer(x, y) != pics->start.Surface().GetPixel(sx + x % 64, sy + y % 64);
    EXPECT_GT(changed, 20);
    EXPECT_FALSE(view->m_dwDispOption & kDispMapShown);

    // A country id beyond the table draws no tiles (the banner stays).
    c.nCountryId = 99;
    view->RecalcViewLayout(0);
    EXPECT_EQ(Buffer(0, 0), 0);

    // The map back: blit mode 0 with its margins.
    view->ApplyViewOptions(kDispMapShown, kDispMapShown);
    EXPECT_EQ(view->GetBlitMode(), 0);
    EXPECT_EQ(view->BlitSource(), (PointI{56, 42}));
}

TEST_F(RenderTest, AWindowLargerThanTheScreenGrowsTheBufferAndStaysInside)
{
    FillPattern();
    const int w0 = view->GetDib()->GetWidth();
    ShowMap(1600, 1200, {0, 0});
    EXPECT_GE(view->GetDib()->GetWidth(), 1600 + 112);
    EXPECT_GE(view->GetDib()->GetHeight(), 1200 + 112);
    EXPECT_GT(view->GetDib()->GetWidth(), w0);
    const HEXINDEX h = MakeHex(60, 60);
    const int pic = PictureOf(PatternTerrain(60, 60));
    ExpectHex(h, pic, pic);
}

TEST_F(RenderTest, CopiesFromAMissingPictureDoNothing)
{
    FillPattern();
    view->m_pUnitDib = std::make_unique<CDib>();  // failed to load: empty
    view->m_pTerrainDib = std::make_unique<CDib>();
    view->GetDib()->ClearBits(0xEE);
    ShowMap(560, 420, {0, 0});
    EXPECT_EQ(Buffer(300, 200), 0xEE);
}

}  // namespace
}  // namespace viewtest
