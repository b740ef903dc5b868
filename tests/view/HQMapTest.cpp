// The HQ map in the off-screen buffer, pixel by pixel, against the small
// hexes of the generated "minihex.pxs": where each row's hexes and half
// hexes land, the strips of the rows above and below, the wall around a
// small map, the owner and unit patches and the cover.
#include <gtest/gtest.h>

#include "battle/engine/UnitRules.h"
#include "platform/core/Paths.h"
#include "view/ViewFixture.h"

namespace viewtest {
namespace {

// Terrains 2-90 have small hexes of their own; neighbours differ.
int HqTerrain(int r, int c)
{
    return 2 + (r * 7 + c * 3) % 80;
}

class HQMapTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        ASSERT_TRUE(mini.CreateFromPXS(nullptr, platform::FromNativePath(StageFolder() + "/minihex.pxs")));
        for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = HqTerrain(HexRow(h), HexColumn(h));
        for (int i = 0; i < kCountryCount; ++i) doc->m_GameData.Country[i].nDisplay = i;
    }
    // The HQ map of rect in a client of w x h, scrolled to scroll.
    void ShowHq(int w, int h, MapHexRect rect, PointI scroll = {0, 0})
    {
        view->m_dwDispOption |= kDispHqMap;
        ShowMap(w, h, scroll, rect);
    }
    int Mini(int x, int y) { return mini.Surface().GetPixel(x, y); }
    // Small-hex pixel (x, y) of the hex's own terrain.
    int Small(HEXINDEX hex, int x, int y) { return Mini(x, 8 * CellTerrain(doc->m_dwHexCell[hex]) + y); }
    int Wall(int x, int y) { return pics->wall.Surface().GetPixel(x % pics->wall.GetWidth(), y % pics->wall.GetHeight()); }
    void PutUnit(HEXINDEX hex, int country, int slot, uint32_t flags = 0)
    {
        UNITSTRUCT& u = doc->m_GameData.Country[country].Unit[slot];
        u.dwFlag = kUnitInUse | flags;
        u.nHex = hex;
        doc->m_dwHexUnit[hex] = MakeUnitRef(country, slot);
    }

    CDib mini;
};

TEST_F(HQMapTest, RowsHalfHexesAndEdgeStripsLandWhereTheHexGridPutsThem)
{
    // Five columns of six rows, from an even row: 44 x 36 pixels centred
    // in a 560 x 420 client.
    ShowHq(560, 420, {40, 50, 45, 54});
    const int cx = (560 - 44) / 2, cy = (420 - 36) / 2;
    const platform::Rect drawn = view->m_rcDrawnMap;
    EXPECT_EQ(drawn.left, cx);
    EXPECT_EQ(drawn.top, cy);
    EXPECT_EQ(drawn.right, cx + 4 * 8 + 7);
    EXPECT_EQ(drawn.bottom, cy + 5 * 6 + 5);

    struct Case {
        const char* what;
        int x, y;   // buffer pixel
        int r, c;   // hex whose small picture lands there
        int sx, sy; // pixel of that small picture
    };
    const Case cases[] = {
        // An even row: full hexes from cx, then the left half of the hex
        // east of the last column.
        {"even row, first column", cx + 0, cy + 12 + 3, 42, 50, 0, 3},
        {"even row, last column", cx + 32 + 7, cy + 12 + 3, 42, 54, 7, 3},
        {"even row, half hex east", cx + 40 + 3, cy + 12 + 3, 42, 55, 3, 3},
        // An odd row: the right half of the hex west of the first column,
        // then full hexes from cx + 4 to the last column.
        {"odd row, half hex west", cx + 0, cy + 6 + 3, 41, 49, 4, 3},
        {"odd row, first column", cx + 4, cy + 6 + 3, 41, 50, 0, 3},
        {"odd row, last column", cx + 36 + 7, cy + 6 + 3, 41, 54, 7, 3},
        // The lowest rows of row 39 (odd) over the first pixel rows.
        {"top strip, half hex", cx + 1, cy, 39, 49, 5, 6},
        {"top strip, column", cx + 4 + 8 + 5, cy + 1, 39, 51, 5, 7},
        // The highest rows of row 46 (even) under the last row.
        {"bottom strip, column", cx + 2, cy + 36, 46, 50, 2, 0},
        {"bottom strip, half hex", cx + 40 + 1, cy + 37, 46, 55, 1, 1},
    };
    for (const Case& k : cases) {
        const int want = Small(MakeHex(k.r, k.c), k.sx, k.sy);
        ASSERT_NE(want, 0) << k.what << ": the case must name a drawn pixel";
        EXPECT_EQ(Buffer(k.x, k.y), want) << k.what;
    }
    // Nothing of the map beyond its width: the wall.
    EXPECT_EQ(Buffer(cx + 44, cy + 15), Wall(cx + 44, cy + 15));
    EXPECT_EQ(Buffer(cx - 1, cy + 15), Wall(cx - 1, cy + 15));
    EXPECT_EQ(Buffer(3, 5), Wall(3, 5));
    EXPECT_EQ(Buffer(559, 419), Wall(559, 419));
}

TEST_F(HQMapTest, AMapStartingOnAnOddRowTakesItsStripsFromTheRowsOwnPlaces)
{
    // Row 40 above is even: its hexes stand at cx + 8i, not shifted.
    ShowHq(560, 420, {41, 50, 44, 54});
    const int cx = (560 - 44) / 2, cy = (420 - 24) / 2;
    EXPECT_EQ(Buffer(cx + 8 + 6, cy), Small(MakeHex(40, 51), 6, 6));
    // Row 45 below is odd: the right half of the hex west first.
    EXPECT_EQ(Buffer(cx + 1, cy + 24), Small(MakeHex(45, 49), 5, 0));
    EXPECT_EQ(Buffer(cx + 4 + 2, cy + 24), Small(MakeHex(45, 50), 2, 0));
}

TEST_F(HQMapTest, OwnerAndUnitPatchesCoverActedUnitsAndHalfHexes)
{
    const HEXINDEX owned = MakeHex(42, 51), covered = MakeHex(42, 53), acted = MakeHex(44, 51),
                   west = MakeHex(41, 49), strange = MakeHex(44, 53);
    doc->m_dwHexCell[owned] = WithOwner(doc->m_dwHexCell[owned], 2);
    doc->m_GameData.Country[2].nDisplay = 5;
    PutUnit(owned, 2, 0);
    doc->m_dwHexCell[covered] |= kCellFog;
    doc->m_dwHexCell[covered] = WithOwner(doc->m_dwHexCell[covered], 3);
    PutUnit(covered, 3, 0);
    PutUnit(acted, 2, 1, kUnitActed);
    PutUnit(west, 3, 1);
    // A display number beyond the eight patches draws none.
    doc->m_GameData.Country[6].nDisplay = 9;
    doc->m_dwHexCell[strange] = WithOwner(doc->m_dwHexCell[strange], 6);
    PutUnit(strange, 6, 0);
    view->m_pCurCountry = &doc->m_GameData.Country[2];
    view->m_dwDispOption |= kDispUnits;
    ShowHq(560, 420, {40, 50, 45, 54});
    const int cx = (560 - 44) / 2, cy = (420 - 36) / 2;
    const auto at = [&](HEXINDEX h) {
        const int r = HexRow(h);
        return PointI{cx + (HexColumn(h) - 50) * 8 + (r & 1) * 4, cy + (r - 40) * 6};
    };

    // The owner's 4 x 2 patch at (3, 4), the unit's 4 x 4 at (2, 1): the
    // unit's patch lies over the owner's, which shows in its last column.
    PointI p = at(owned);
    EXPECT_EQ(Buffer(p.x + 6, p.y + 4), Mini(7, 4));
    EXPECT_EQ(Buffer(p.x + 3, p.y + 5), Mini(4, 5));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Buffer(p.x + 2 + x, p.y + 1 + y), Mini(x, 736 + 4 * 5 + y)) << x << "," << y;

    // Acted, of the view's current country: the second patch column.
    p = at(acted);
    EXPECT_EQ(Buffer(p.x + 2, p.y + 1), Mini(4, 736 + 20));
    EXPECT_NE(Mini(4, 756), Mini(0, 756));

    // Covered: the cover over the terrain, the owner shown, no unit.
    p = at(covered);
    const int cover = Mini(2, 728 + 1);
    ASSERT_NE(cover, 0);
    EXPECT_EQ(Buffer(p.x + 2, p.y + 1), cover);
    EXPECT_EQ(Buffer(p.x + 3, p.y + 4), Mini(4, 2));
    ASSERT_EQ(Mini(2, 728 + 2), 0);
    EXPECT_EQ(Buffer(p.x + 2, p.y + 2), Small(covered, 2, 2));

    // The right half of the hex west of an odd row: 2 pixels of the patch
    // from source x 2, at (2, 1) of the half.
    EXPECT_EQ(Buffer(cx + 2, cy + 6 + 1), Mini(2, 736 + 12));
    EXPECT_EQ(Buffer(cx + 3, cy + 6 + 1), Mini(3, 736 + 12));

    // Display number 9: neither patch, the terrain shows.
    p = at(strange);
    EXPECT_EQ(Buffer(p.x + 3, p.y + 4), Small(strange, 3, 4));
    EXPECT_EQ(Buffer(p.x + 2, p.y + 1), Small(strange, 2, 1));

    // Units hidden: the owner patch alone.
    view->m_dwDispOption &= ~kDispUnits;
    view->m_dwState |= kViewLayoutChanged;
    view->RenderMap(-1, -1);
    p = at(owned);
    EXPECT_EQ(Buffer(p.x + 3, p.y + 4), Mini(4, 4));
    EXPECT_EQ(Buffer(p.x + 2, p.y + 1), Small(owned, 2, 1));
}

TEST_F(HQMapTest, ALargeMapScrollsByMovingTheBlitOrigin)
{
    // 100 x 100 hexes: 804 x 600 pixels in a 560 x 420 client.
    ShowHq(560, 420, {10, 10, 109, 109}, {120, 90});
    EXPECT_EQ(view->HQMapSize().cx, 804);
    EXPECT_EQ(view->HQMapSize().cy, 600);
    EXPECT_EQ(view->m_rcDrawnMap.left, 0);
    EXPECT_EQ(view->m_rcDrawnMap.top, 0);
    EXPECT_EQ(view->BlitSource().x, 120);
    EXPECT_EQ(view->BlitSource().y, 90);
    // Hex (20, 30) lies at (160, 60) of the buffer whatever the scroll.
    EXPECT_EQ(Buffer(160, 60 + 3), Small(MakeHex(20, 30), 0, 3));
    // An unchanged origin draws nothing again.
    view->GetDib()->Surface().SetPixel(160, 63, 1);
    view->RenderMap(-1, -1);
    EXPECT_EQ(Buffer(160, 63), 1);
    view->RenderMap(0, 0);
    EXPECT_EQ(Buffer(160, 63), Small(MakeHex(20, 30), 0, 3));
    EXPECT_EQ(view->BlitSource().x, 0);
}

}  // namespace
}  // namespace viewtest
