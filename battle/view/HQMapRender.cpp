// The HQ map: the whole map rectangle at one seventh of the view map's
// scale. Every hex is an 8 x 8 picture of "minihex.pxs", rows lie 6 pixels
// apart and odd rows sit half a hex to the right, as on the view map. The
// whole area is drawn in one piece into the buffer from its top-left corner;
// scrolling moves the part of the buffer the window shows.
#include <algorithm>

#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/ZRKGameView.h"

namespace zrv {

namespace {

constexpr int kCoverBlock = 91;  // the cover overlay's block
constexpr int kUnitPatchTop = 736;

bool IsOdd(int row)
{
    return (row & 1) != 0;
}

}  // namespace

SizeI CZRKGameView::HQMapSize() const
{
    return {m_rcMapHexes.Columns() * kHqCell + 4, m_rcMapHexes.Rows() * kHqRow};
}

void CZRKGameView::RenderHQMap(int x, int y)
{
    PointI origin;
    if (!ComputeDrawOrigin(origin, x, y)) return;
    DrawHQMap();
    // The whole area lies in the buffer: the origin picks the part shown.
    SetScrollPosition(origin.x, origin.y);
    SetBlitOrigin(1, origin);
    if (m_pWindow != nullptr) m_pWindow->Invalidate(nullptr);
    InvalidateSmallMap();
}

void CZRKGameView::DrawHQStrip(HEXINDEX hex, int x, int y, int width, int srcX, int srcRow)
{
    // Two pixel rows of a hex of the row above or below the map rectangle.
    if (m_pDoc == nullptr || !IsMapHex(hex)) return;
    const MAPCELL cell = m_pDoc->m_dwHexCell[hex];
    CDib* mini = m_pMiniHexDib.get();
    CopyPixels(mini, srcX, kHqCell * CellTerrain(cell) + srcRow, width, 2, x, y, 2, 1);
    if (cell & kCellFog) CopyPixels(mini, srcX, kHqCell * kCoverBlock + srcRow, width, 2, x, y, 2, 1);
}

void CZRKGameView::DrawHQMap()
{
    if (!m_pDib || m_pDoc == nullptr) return;
    const SizeI client = GetClientSize();
    const SizeI map = HQMapSize();
    const int width = std::max(client.cx, map.cx), height = std::max(client.cy, map.cy);

    // 1. The wall, fixed in the buffer.
    if (CDib* wall = m_pWallDib.get(); wall != nullptr && wall->GetBits() != nullptr) {
        const int tw = wall->GetWidth(), th = wall->GetHeight();
        for (int ty = 0; tw > 0 && th > 0 && ty < height;) {
            const int sy = ty % th, hh = std::min(th - sy, height - ty);
            for (int tx = 0; tx < width;) {
                const int sx = tx % tw, ww = std::min(tw - sx, width - tx);
                CopyPixels(wall, sx, sy, ww, hh, tx, ty, 2, 0);
                tx += ww;
            }
            ty += hh;
        }
    }

    // 2. The map, centred where it is narrower or shorter than the window.
    const MapHexRect& m = m_rcMapHexes;
    const int cx = map.cx < client.cx ? (client.cx - map.cx) / 2 : 0;
    const int cy = map.cy < client.cy ? (client.cy - map.cy) / 2 : 0;
    m_rcDrawnMap = {cx, cy, cx + (m.lastColumn - m.firstColumn) * kHqCell + 7,
                    cy + (m.lastRow - m.firstRow) * kHqRow + 5};

    // 3. Row by row: an odd row begins with the right half of the hex west
    // of the first column, an even one ends with the left half of the hex
    // east of the last column.
    const auto rowOf = [&](int r, int y, const auto& draw) {
        if (r < 0 || r >= kMapSize) return;
        int x = cx;
        if (IsOdd(r)) {
            if (m.firstColumn > 0) draw(MakeHex(r, m.firstColumn - 1), x, y, 4, 4);
            x += 4;
        }
        for (int c = m.firstColumn; c <= m.lastColumn; ++c, x += kHqCell)
            if (c >= 0 && c < kMapSize) draw(MakeHex(r, c), x, y, kHqCell, 0);
        if (!IsOdd(r) && m.lastColumn + 1 < kMapSize) draw(MakeHex(r, m.lastColumn + 1), x, y, 4, 0);
    };
    int y = cy;
    for (int r = m.firstRow; r <= m.lastRow; ++r, y += kHqRow)
        rowOf(r, y, [this](HEXINDEX hex, int x, int y, int w, int sx) { DrawHQCell(hex, x, y, w, sx); });

    // 4 and 5. The lowest rows of the row above and the highest of the row
    // below reach into the map's first and last pixel rows.
    rowOf(m.firstRow - 1, cy, [this](HEXINDEX hex, int x, int y, int w, int sx) {
        DrawHQStrip(hex, x, y, w, sx, 6);
    });
    rowOf(m.lastRow + 1, y, [this](HEXINDEX hex, int x, int y, int w, int sx) {
        DrawHQStrip(hex, x, y, w, sx, 0);
    });
}

void CZRKGameView::DrawHQCell(HEXINDEX hex, int x, int y, int width, int srcX)
{
    if (m_pDoc == nullptr || !IsMapHex(hex)) return;
    CDib* mini = m_pMiniHexDib.get();
    const MAPCELL cell = m_pDoc->m_dwHexCell[hex];
    const bool covered = (cell & kCellFog) != 0;
    CopyPixels(mini, srcX, kHqCell * CellTerrain(cell), width, kHqCell, x, y, 2, 1);
    if (covered) CopyPixels(mini, srcX, kHqCell * kCoverBlock, width, kHqCell, x, y, 2, 1);

    // A display number outside the eight patches draws no patch.
    const auto display = [this](int country) {
        if (country < 0 || country >= kCountryCount) return -1;
        const int d = m_pDoc->m_GameData.Country[country].nDisplay;
        return d >= 0 && d < kCountryCount ? d : -1;
    };
    if (const int d = display(CellOwner(cell)); d >= 0)
        CopyPixels(mini, (d & 1) * 4, (d / 2) * 2, 4, 2, x + 3, y + 4, 2, 0);

    const UnitRef ref = m_pDoc->m_dwHexUnit[hex];
    if (!IsUnitRef(ref) || (m_dwDispOption & kDispUnits) == 0 || covered) return;
    const int d = display(RefCountry(ref));
    if (d < 0) return;
    int sx = width == kHqCell ? 0 : srcX == 4 ? 2 : 0;
    const UNITSTRUCT* u = m_pDoc->GetUnit(ref);
    const COUNTRYSTRUCT* owner = &m_pDoc->m_GameData.Country[RefCountry(ref)];
    if (u != nullptr && owner == m_pCurCountry && (u->dwFlag & kUnitActed) != 0) sx += 4;
    CopyPixels(mini, sx, kUnitPatchTop + 4 * d, width == kHqCell ? 4 : 2, 4, x + 2, y + 1, 2, 0);
}

}  // namespace zrv
