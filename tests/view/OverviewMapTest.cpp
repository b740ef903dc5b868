// The overview map window: its picture (sizes, margins, the terrain patterns
// of even and odd rows), the frame of the part the main map shows, its hit
// test and hexes under the pointer, and the window's life through the
// command, the view's calls and a recording window maker.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "battle/engine/GameFlow.h"
#include "foundation/GfxSettings.h"
#include "view/OrderFixture.h"
#include "view/OverviewDoubles.h"

namespace viewtest {
namespace {

constexpr int kCmdSmallMap = 32777;

// Terrain t's pattern holds 4t .. 4t + 3 (the large one 255 minus those), so
// a pixel names its terrain and its place in the hex.
struct PatternLibrary {
    DataLibrary lib = ViewLibrary();
    std::vector<std::array<uint8_t, 4>> small, large;
    PatternLibrary()
    {
        for (int t = 0; t < 128; ++t) {
            std::array<uint8_t, 4> p{}, q{};
            for (int k = 0; k < 4; ++k) {
                p[size_t(k)] = uint8_t(4 * (t % 64) + k);
                q[size_t(k)] = uint8_t(255 - p[size_t(k)]);
            }
            small.push_back(p);
            large.push_back(q);
        }
        lib.SMapPatternData = small;
        lib.SMapPatternDataL = large;
    }
};
const DataLibrary& OverviewLibrary()
{
    static PatternLibrary l;
    return l.lib;
}

// Terrains 2-61 differ between neighbours.
int Terrain(int row, int column)
{
    return 2 + (row * 7 + column * 3) % 60;
}

class OverviewMapTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        SetLib(&OverviewLibrary());
        for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = Terrain(HexRow(h), HexColumn(h));
        m_face = GetButtonFaceColor();
        view->SetOverviewWindowMaker(&maker);
    }
    void TearDown() override
    {
        view->CloseSmallMap();
        view->SetOverviewWindowMaker(nullptr);
        SetButtonFaceColor(m_face);
        OrderTest::TearDown();
    }
    CSMapDlg& Dlg() { return *view->m_pSMapWnd; }
    // Pixel (x, y) of the rendered map.
    int Px(int x, int y) { return Dlg().MapBits()[size_t(y) * size_t(Dlg().Size()) + size_t(x)]; }
    // Pattern entry k of the hex's terrain.
    int Pat(int row, int column, int k) { return 4 * Terrain(row, column) + k; }
    void Render(MapHexRect area)
    {
        view->m_rcMapHexes = area;
        Dlg().Layout(area);
        ASSERT_TRUE(Dlg().OnInitDialog());
    }

    RecordingOverviewMaker maker;
    COLORREF m_face = 0;
};

TEST_F(OverviewMapTest, SizesAndMarginsFollowTheAreasColumnsAndRows)
{
    const struct {
        const char* name;
        MapHexRect area;  // first row, first column, last row, last column
        int size, margin, marginTop;
    } cases[] = {
        {"62 x 62", {35, 35, 96, 96}, 124, 0, 0},
        {"120 x 120", {4, 4, 123, 123}, 240, 0, 0},
        {"20 columns, 20 rows", {50, 40, 69, 59}, 64, 12, 12},
        {"21 columns: the margin rounds down to even", {50, 40, 69, 60}, 64, 10, 10},
        // More rows than columns: the picture grows to hold them and the
        // top margin gives way.
        {"30 columns, 50 rows", {10, 10, 59, 39}, 100, 2, 0},
        {"40 columns, 60 rows", {10, 10, 69, 49}, 120, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Render(c.area);
        EXPECT_EQ(Dlg().Size(), c.size);
        EXPECT_EQ(Dlg().Margin(), c.margin);
        EXPECT_EQ(Dlg().MarginTop(), c.marginTop);
        EXPECT_EQ(Dlg().MapWidth(), 2 * c.area.Columns());
        EXPECT_LE(Dlg().MarginTop() + 2 * c.area.Rows(), Dlg().Size()) << "every row lies in the picture";
        // The last row's lower pixel row holds the last row's patterns.
        const int last = c.area.lastRow, y = Dlg().MarginTop() + 2 * c.area.Rows() - 1;
        const int x = Dlg().Margin() + ((last & 1) ? 1 : 0);
        EXPECT_EQ(Px(x, y), Pat(last, c.area.firstColumn, 2));
    }
}

TEST_F(OverviewMapTest, EvenAndOddRowsLayTheirPatternsHalfAHexApart)
{
    // Rows 40 (even) and 41 (odd), columns 10-13, behind a 28-pixel margin.
    Render({40, 10, 41, 13});
    const int m = Dlg().Margin();
    ASSERT_EQ(m, 28);
    ASSERT_EQ(Dlg().MarginTop(), 28);
    // Even row: two pixels a hex, p0 p1 over p2 p3.
    for (int c = 10; c <= 13; ++c) {
        const int x = m + 2 * (c - 10);
        EXPECT_EQ(Px(x, m), Pat(40, c, 0));
        EXPECT_EQ(Px(x + 1, m), Pat(40, c, 1));
        EXPECT_EQ(Px(x, m + 1), Pat(40, c, 2));
        EXPECT_EQ(Px(x + 1, m + 1), Pat(40, c, 3));
    }
    EXPECT_NE(Px(m + 8, m), Pat(40, 14, 0)) << "nothing east of an even row";
    // Odd row: the west hex's right half as p3 over p1, columns 10-12 in
    // full, the last column's left half as p2 over p0.
    const int y = m + 2;
    EXPECT_EQ(Px(m, y), Pat(41, 9, 3));
    EXPECT_EQ(Px(m, y + 1), Pat(41, 9, 1));
    for (int c = 10; c <= 12; ++c) {
        const int x = m + 1 + 2 * (c - 10);
        EXPECT_EQ(Px(x, y), Pat(41, c, 0));
        EXPECT_EQ(Px(x + 1, y + 1), Pat(41, c, 3));
    }
    EXPECT_EQ(Px(m + 7, y), Pat(41, 13, 2));
    EXPECT_EQ(Px(m + 7, y + 1), Pat(41, 13, 0));

    // Game option bit 10: the large patterns.
    doc->m_dwGameOption |= kOptOverviewLargePatterns;
    Dlg().RenderMap();
    EXPECT_EQ(Px(m, m), 255 - Pat(40, 10, 0));
}

TEST_F(OverviewMapTest, TheMarginShowsTheButtonFaceOrIndexTen)
{
    Render({50, 40, 69, 59});
    // A face colour the palette holds at 200 (and nowhere before).
    const RgbQuad q{3, 2, 1, 0};
    view->GetPalette()->SetColors(200, 1, &q);
    SetButtonFaceColor(RGB(1, 2, 3));
    ASSERT_EQ(view->GetPalette()->FindColorIndex(RGB(1, 2, 3)), 200);
    Dlg().RenderMap();
    for (const auto& p : {std::array{0, 0}, std::array{11, 30}, std::array{30, 11}, std::array{63, 63}})
        EXPECT_EQ(Px(p[0], p[1]), 200) << p[0] << "," << p[1];
    EXPECT_EQ(Px(12, 12), Pat(50, 40, 0)) << "the map starts after the margins";
    SetButtonFaceColor(RGB(7, 250, 9));
    Dlg().RenderMap();
    EXPECT_EQ(Px(0, 0), kOverviewDefaultFace);
}

TEST_F(OverviewMapTest, TheFrameFollowsTheMainMapsScrollAndScale)
{
    const struct {
        const char* name;
        MapHexRect area;
        bool hq;
        int w, h;
        PointI scroll;
        platform::Rect frame;  // right and bottom exclusive; empty: no frame
    } cases[] = {
        // 62 x 62 in 560 x 420: 11 columns and 11 rows of 56 and 42.
        {"top-left", {35, 35, 96, 96}, false, 560, 420, {0, 0}, {0, 0, 22, 22}},
        {"scrolled", {35, 35, 96, 96}, false, 560, 420, {560, 420}, {20, 20, 42, 42}},
        // The last columns: x0 pulled back to N - w.
        {"at the far corner", {35, 35, 96, 96}, false, 560, 420, {3500 - 560, 2618 - 420}, {102, 102, 124, 124}},
        // 20 x 20 behind the margin; 1024 wide: 19 columns.
        {"small area", {50, 40, 69, 59}, false, 1024, 420, {56, 42}, {14, 14, 52, 36}},
        // The HQ map: 8 x 6 cells, the 62 x 62 map 500 x 372.
        {"HQ map scrolled", {35, 35, 96, 96}, true, 400, 300, {80, 60}, {20, 20, 122, 122}},
        // The view map narrower than the window: that axis starts at 0.
        {"centred horizontally", {40, 40, 100, 50}, false, 800, 420, {0, 84}, {20, 4, 44, 26}},
        {"fits both ways", {50, 40, 55, 45}, false, 800, 600, {0, 0}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.hq)
            view->m_dwDispOption |= kDispHqMap;
        else
            view->m_dwDispOption &= ~kDispHqMap;
        ShowMap(c.w, c.h, c.scroll, c.area);
        ASSERT_EQ(view->GetScrollPosition(), c.scroll);
        Render(c.area);
        const std::optional<platform::Rect> frame = Dlg().FrameRect();
        if (c.frame.IsEmpty()) {
            EXPECT_FALSE(frame.has_value());
            ASSERT_NE(Dlg().Paint(), nullptr);
            EXPECT_FALSE(Dlg().FrameShown());
            EXPECT_FALSE(Dlg().HitTest({4, 4})) << "clicks are ignored without a frame";
            continue;
        }
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(*frame, c.frame);
        // The painted outline in index 25, the inside left as rendered.
        const platform::Surface8* pic = Dlg().Paint();
        ASSERT_NE(pic, nullptr);
        EXPECT_TRUE(Dlg().FrameShown());
        const platform::Rect f = *frame;
        EXPECT_EQ(pic->GetPixel(f.left, f.top), kOverviewFrameIndex);
        EXPECT_EQ(pic->GetPixel(f.right - 1, f.bottom - 1), kOverviewFrameIndex);
        EXPECT_EQ(pic->GetPixel(f.left + 1, f.top + 1), Px(f.left + 1, f.top + 1));
    }
}

TEST_F(OverviewMapTest, APointGivesTheHexWhosePixelsLieUnderIt)
{
    ShowMap(560, 420, {0, 0}, {41, 40, 60, 59});  // 20 x 20 from an odd row
    Render({41, 40, 60, 59});
    ASSERT_NE(Dlg().Paint(), nullptr);
    const int m = Dlg().Margin();
    const struct {
        int x, y;
        HEXINDEX hex;  // -1: no hit
    } cases[] = {
        {m + 0, m, MakeHex(41, 40)},      // odd row: the west half counts as the first column
        {m + 1, m, MakeHex(41, 40)},      // the first column's two pixels
        {m + 2, m + 1, MakeHex(41, 40)},  //
        {m + 3, m, MakeHex(41, 41)},      //
        {m + 39, m, MakeHex(41, 59)},     // the last column's left half
        {m + 0, m + 2, MakeHex(42, 40)},  // even row: two pixels a column
        {m + 1, m + 3, MakeHex(42, 40)},  //
        {m + 2, m + 2, MakeHex(42, 41)},  //
        {m + 39, m + 39, MakeHex(60, 59)},
        {m - 1, m, -1},  // the margins are no map
        {m, m - 1, -1},
        {m + 40, m, -1},
        {m, m + 40, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const bool hit = Dlg().HitTest({c.x, c.y});
        EXPECT_EQ(hit, c.hex >= 0);
        if (hit) EXPECT_EQ(Dlg().PointToHex({c.x, c.y}), c.hex);
    }
}

TEST_F(OverviewMapTest, AClickCentresOnceAndOnlyForAPlayersCountryWhileADragNeedsItsOption)
{
    ShowMap(560, 420, {0, 0}, {35, 35, 96, 96});
    ASSERT_TRUE(view->Commands().Run(kCmdSmallMap));
    ASSERT_NE(Dlg().Paint(), nullptr);
    const PointI p{41, 61};  // hex (65, 55)
    const HEXINDEX hex = MakeHex(65, 55);
    // Centring scrolls the main map (at once, or pending its next paint).
    auto centred = [&] {
        const bool c = (view->m_dwState & kViewPendingScroll) != 0 || view->GetScrollPosition() != PointI{0, 0};
        view->m_dwState &= ~kViewPendingScroll;
        view->SetScrollPosition(0, 0);
        return c;
    };
    centred();
    Dlg().OnLButtonDown(p);
    EXPECT_TRUE(centred());
    EXPECT_EQ(Dlg().LastHex(), hex);
    EXPECT_EQ(view->m_ptPendingScroll.x, 20 * 56 + 28 - 280);
    Dlg().OnLButtonDown(p);
    EXPECT_FALSE(centred()) << "the same hex twice centres once";

    // A computer-run country: clicks do nothing, a drag scrolls with
    // option bit 11 only, and only with the left button held.
    doc->m_GameData.Country[0].dwFlag |= kCountryCpu;
    Dlg().OnLButtonDown({10, 10});
    EXPECT_FALSE(centred());
    Dlg().OnMouseMove({10, 10}, true);
    EXPECT_FALSE(centred()) << "no drag without the option";
    doc->m_dwGameOption |= kOptOverviewDrag;
    Dlg().OnMouseMove({10, 10}, false);
    EXPECT_FALSE(centred());
    Dlg().OnMouseMove({10, 10}, true);
    EXPECT_TRUE(centred());
    EXPECT_EQ(Dlg().LastHex(), MakeHex(40, 40));
}

TEST_F(OverviewMapTest, TheWindowOpensAtItsPlaceAndKeepsWhereItWasLeft)
{
    ShowMap(560, 420, {0, 0}, {35, 35, 96, 96});
    const struct {
        const char* name;
        int savedX, savedY;
        PointI at;
    } cases[] = {
        {"first time: the top-left corner", 0, 0, {0, 0}},
        {"a place on the screen", 300, 200, {300, 200}},
        {"at the screen width: against the edge", 1280, 1024, {1280 - 134, 1024 - 154}},
        {"beyond it", 5000, 100, {1280 - 134, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view->m_nSMapX = c.savedX;
        view->m_nSMapY = c.savedY;
        maker.calls.clear();
        view->OpenSmallMap();
        EXPECT_EQ(maker.calls, "open show ");
        EXPECT_EQ(maker.lastClient, 124) << "the client is the 124 x 124 picture";
        EXPECT_EQ(maker.placedSize, (SizeI{134, 154}));
        EXPECT_EQ(maker.placedAt, c.at);
        EXPECT_NE(view->m_dwDispOption & kDispOverviewOpen, 0u);
        view->OpenSmallMap();
        EXPECT_EQ(maker.calls, "open show ") << "an open window is not made twice";
        // The player moves it; closing keeps the place.
        maker.movedTo = {c.at.x + 5, c.at.y + 7};
        view->CloseSmallMap();
        EXPECT_EQ(maker.calls, "open show close ");
        EXPECT_EQ(view->m_dwDispOption & kDispOverviewOpen, 0u);
        EXPECT_EQ(view->m_nSMapX, c.at.x + 5);
        EXPECT_EQ(view->m_nSMapY, c.at.y + 7);
        maker.movedTo = {-1, -1};
    }
    maker.refuse = true;
    view->OpenSmallMap();
    EXPECT_EQ(view->m_dwDispOption & kDispOverviewOpen, 0u) << "no window, no bit";
}

TEST_F(OverviewMapTest, TheCommandTogglesTheWindowAndTheCountrysClosedBit)
{
    ShowMap(560, 420, {0, 0}, {35, 35, 96, 96});
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    CommandState s = view->Commands().State(kCmdSmallMap);
    EXPECT_TRUE(s.enabled);
    EXPECT_FALSE(s.checked);
    ASSERT_TRUE(view->Commands().Run(kCmdSmallMap));
    EXPECT_TRUE(view->Commands().State(kCmdSmallMap).checked);
    EXPECT_EQ(c.dwViewOption & kViewOverviewClosed, 0u);
    ASSERT_TRUE(view->Commands().Run(kCmdSmallMap));
    EXPECT_FALSE(view->Commands().State(kCmdSmallMap).checked);
    EXPECT_NE(c.dwViewOption & kViewOverviewClosed, 0u) << "the country remembers the player closed it";
    EXPECT_EQ(maker.calls, "open show close ");

    // The game flow's call: the country's bit keeps the window closed.
    doc->UpdateViewingCountry(true, true);
    EXPECT_EQ(maker.calls, "open show close ");
    c.dwViewOption &= ~kViewOverviewClosed;
    doc->UpdateViewingCountry(true, true);
    EXPECT_EQ(maker.calls, "open show close open show ");

    // A computer-run current country: the command is greyed.
    c.dwFlag |= kCountryCpu;
    s = view->Commands().State(kCmdSmallMap);
    EXPECT_FALSE(s.enabled);
    EXPECT_TRUE(s.checked);
    c.dwFlag &= ~kCountryCpu;

    // A new map area closes it; the HQ map's redraw and new colours reach it.
    view->m_dwDispOption |= kDispHqMap;
    view->RecalcMapExtent(false);
    const int before = maker.invalidations;
    view->RenderMap(-1, -1);
    EXPECT_GT(maker.invalidations, before) << "drawn after a change, the overview follows";
    const int drawn = maker.invalidations;
    view->RenderMap(-1, -1);
    EXPECT_EQ(maker.invalidations, drawn) << "nothing changed, nothing drawn";
    view->SelectTerrainPalette(doc->m_GameData);
    EXPECT_GT(maker.invalidations, drawn);
    view->SetMapBounds(40, 40, 60, 60, 0);
    EXPECT_EQ(view->m_dwDispOption & kDispOverviewOpen, 0u);
    EXPECT_EQ(maker.calls, "open show close open show close ");
}

}  // namespace
}  // namespace viewtest
