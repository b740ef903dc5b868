// Drawing the view map into the off-screen buffer: terrain parts, route and
// cover overlays, hex lines, owner marks, units with their digits, the
// display marks and the wall around a map smaller than the window.

#include <algorithm>
#include <bit>
#include <cstring>

#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

constexpr int kCellW = 56;
constexpr int kRowH = 42;
constexpr int kBand = 14;
constexpr uint8_t kHexLineIndex = 10;

// Floor division and modulo, so that a pixel left of or above the map plane
// still lands in the cell it lies in.
constexpr int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
constexpr int FloorMod(int a, int b)
{
    return a - FloorDiv(a, b) * b;
}

// The span of row r (0..13 from the top) that a triangle copy mode covers
// inside its 28-pixel box.
void TriangleSpan(int mode, int r, int& start, int& count)
{
    switch (mode) {
        case 0:
            start = 27 - 2 * r;
            count = 2 * r + 1;
            break;  // top-left: right-aligned, growing downward
        case 1:
            start = 0;
            count = 2 * r + 1;
            break;  // top-right: left-aligned
        case 4:
            start = 2 * r + 1;
            count = 27 - 2 * r;
            break;  // bottom-left: right-aligned, shrinking
        case 5:
            start = 0;
            count = 27 - 2 * r;
            break;  // bottom-right: left-aligned
        default:
            start = 0;
            count = 0;
            break;
    }
}

bool RowInside(const platform::Surface8& s, int y)
{
    return y >= 0 && y < s.Height();
}

}  // namespace

void CZRKGameView::CopyPixels(CDib* src, int sx, int sy, int w, int h, int dx, int dy, int mode,
                              uint32_t flags)
{
    // A picture that failed to load is empty; copying from it does nothing.
    if (src == nullptr || src->GetBits() == nullptr || !m_pDib || w <= 0 || h <= 0) return;
    platform::Surface8 s = src->Surface();
    platform::Surface8 d = m_pDib->Surface();
    if (!s.IsValid() || !d.IsValid()) return;

    const bool triangle = mode == 0 || mode == 1 || mode == 4 || mode == 5;
    const bool sprite = mode == 7 || mode == 8;
    const bool transparent = sprite || flags != 0;
    const bool mirrored = sprite && (flags & kCodeMirrored) != 0;
    const int shift = sprite ? 9 * CodeColourSet(flags) : 0;
    if (triangle) h = std::min(h, kBand);

    for (int r = 0; r < h; ++r) {
        const int srcY = sy + r, dstY = dy + r;
        if (!RowInside(s, srcY) || !RowInside(d, dstY)) continue;
        int x0 = 0, n = w;
        if (triangle) TriangleSpan(mode, r, x0, n);
        // Column i of the span reads source column a + step * i and writes
        // destination column dx + x0 + i; cut i to both pictures.
        const int step = mirrored ? -1 : 1;
        const int a = mirrored ? sx + w - 1 - x0 : sx + x0;
        int lo = std::max(0, -(dx + x0));
        int hi = std::min(n, d.Width() - (dx + x0));
        if (step > 0) {
            lo = std::max(lo, -a);
            hi = std::min(hi, s.Width() - a);
        } else {
            lo = std::max(lo, a - s.Width() + 1);
            hi = std::min(hi, a + 1);
        }
        if (lo >= hi) continue;
        const uint8_t* srow = s.Row(srcY);
        uint8_t* drow = d.Row(dstY) + dx + x0;
        if (!transparent) {
            std::memcpy(drow + lo, srow + a + lo, static_cast<size_t>(hi - lo));
            continue;
        }
        for (int i = lo; i < hi; ++i) {
            if (mode == 8 && ((i + r) & 1) != 0) continue;
            uint8_t v = srow[a + step * i];
            if (v == 0) continue;
            if (sprite && v > 25) v = static_cast<uint8_t>(v + shift);
            drow[i] = v;
        }
    }
}

void CZRKGameView::CopyRowsToCell(int dx, int dy, const uint8_t* pixels, int width, int rows)
{
    if (!m_pDib || pixels == nullptr || width <= 0) return;
    platform::Surface8 d = m_pDib->Surface();
    for (int r = 0; r < rows; ++r) {
        const int y = m_ptCell.y + dy + r;
        if (!RowInside(d, y)) continue;
        for (int i = 0; i < width; ++i) d.SetPixel(m_ptCell.x + dx + i, y, pixels[r * width + i]);
    }
}

void CZRKGameView::DrawOverlayAtCell(CDib* overlay, int dx, int dy, int w, int h, int ox, int oy, CDib* base,
                                     bool bUpdate)
{
    if (base == nullptr) base = m_pWorkDib.get();
    // dy counts upward: the box's top row lies dy rows above the cell's.
    const int x = m_ptCell.x + dx, y = m_ptCell.y - dy;
    if (base != nullptr) CopyPixels(base, 0, 0, w, h, x, y, 2, 0);
    CopyPixels(overlay, ox, oy, w, h, x, y, 2, 1);
    InvalidateCell();
    if (bUpdate && m_pWindow != nullptr) m_pWindow->UpdateNow();
}

HEXINDEX CZRKGameView::PixelToCell(int x, int y, PointI* offset) const
{
    int column = FloorDiv(x, kCellW), row = FloorDiv(y, kRowH);
    PointI off{FloorMod(x, kCellW), FloorMod(y, kRowH)};
    const int absRow = m_rcMapHexes.firstRow + row;
    if ((absRow & 1) != 0) {
        // Odd rows lie half a cell right: the left half of the box belongs to
        // the hex west of the one above it.
        if (off.x < 28) --column;
        off.x = (off.x + 28) % kCellW;
    }
    if (offset != nullptr) *offset = off;
    return absRow * kMapSize + m_rcMapHexes.firstColumn + column;
}

void CZRKGameView::DrawPart(int picture, uint32_t word, int part, int dx, int dy)
{
    CDib* store = m_pTerrainDib.get();
    if (store == nullptr || picture <= 0) return;
    // Source box of each part inside a 42-row picture, and its size.
    static constexpr int kSrcX[6] = {0, 28, 0, 0, 28, 0};
    static constexpr int kSrcY[6] = {0, 0, 14, 28, 0, 0};
    static constexpr int kW[6] = {28, 28, 56, 56, 28, 28};
    const int x = m_ptCell.x + dx, y = m_ptCell.y + dy;
    auto copy = [&](int pic, uint32_t flags) {
        if (pic <= 0) return;
        CopyPixels(store, kSrcX[part], (pic - 1) * kRowH + kSrcY[part], kW[part], kBand, x, y, part, flags);
    };
    copy(picture, 0);
    for (int k = 0; k < 2; ++k) {
        const uint32_t half = k == 0 ? (word & 0xFFFFu) : ((word >> 16) & 0x3FFFu);
        const uint32_t kinds = (half >> 8) & 0x1F;
        if (kinds == 0) continue;
        const int kind = std::countr_zero(kinds);
        copy(1 + kind * 16 + PartVariant(half & 0x3F, part), 1);
    }
    if ((word & kConnNoEntry) != 0) copy(kPicNoEntry, 1);
    if ((word & kConnCover) != 0) copy(kPicCover, 1);

    if ((m_dwDispOption & kDispHexLines) == 0 || !m_pDib) return;
    // Only the left edges: the right ones are the neighbours' left edges.
    platform::Surface8 d = m_pDib->Surface();
    for (int r = 0; r < kBand; ++r) {
        switch (part) {
            case 0:
                for (int e = 27 - 2 * r; e <= std::min(27, 28 - 2 * r); ++e)
                    d.SetPixel(x + e, y + r, kHexLineIndex);
                break;
            case 2:
            case 3:
                d.SetPixel(x, y + r, kHexLineIndex);
                break;
            case 4:
                for (int e = 2 * r + 1; e <= std::min(27, 2 * r + 2); ++e)
                    d.SetPixel(x + e, y + r, kHexLineIndex);
                break;
            default:
                return;
        }
    }
}

void CZRKGameView::DrawTerrainParts(const TerrainContext& ctx, HEXINDEX hex, int mode)
{
    // mode 0: first row, 1: other row, 2: single hex.
    const int a = TerrainPicture(ctx, hex, 0), b = TerrainPicture(ctx, hex, 1);
    const uint32_t c = ConnectionWord(ctx, hex, -1);
    if (mode == 0) {
        if (HEXINDEX nw = RawNeighbour(hex, kDirNorthWest); nw != kNoHex)
            DrawPart(TerrainPicture(ctx, nw, 1), ConnectionWord(ctx, nw, kDirSouthEast), 5, 0, 0);
        if (HEXINDEX ne = RawNeighbour(hex, kDirNorthEast); ne != kNoHex)
            DrawPart(TerrainPicture(ctx, ne, 1), ConnectionWord(ctx, ne, kDirSouthWest), 4, 28, 0);
    }
    if (mode != 1) {
        DrawPart(a, c, 0, 0, 0);
        DrawPart(a, c, 1, 28, 0);
    }
    DrawPart(a, c, 2, 0, 14);
    DrawPart(b, c, 3, 0, 28);
    DrawPart(b, c, 4, 0, 42);
    DrawPart(b, c, 5, 28, 42);
    if (mode != 2) {
        if (HEXINDEX sw = RawNeighbour(hex, kDirSouthWest); sw != kNoHex)
            DrawPart(TerrainPicture(ctx, sw, 0), ConnectionWord(ctx, sw, kDirNorthEast), 1, 0, 42);
        if (HEXINDEX se = RawNeighbour(hex, kDirSouthEast); se != kNoHex)
            DrawPart(TerrainPicture(ctx, se, 0), ConnectionWord(ctx, se, kDirNorthWest), 0, 28, 42);
    }
}

void CZRKGameView::DrawOwnerMark(HEXINDEX hex)
{
    if (m_pDoc == nullptr || !m_pFlagDib || m_pFlagDib->GetBits() == nullptr) return;
    const MAPCELL cell = m_pDoc->m_dwHexCell[hex];
    // Owner bits hold 0..15, but the picture has bands for eight countries
    // only: an owner beyond them draws nothing.
    const int owner = CellOwner(cell) + 1;
    if (owner < 1 || owner > kCountryCount) return;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    if (t == nullptr || !IsOccupiable(*t)) return;
    const int bandH = m_pFlagDib->GetHeight() / 16;
    const int band = (m_dwDispOption & kDispOwnerFlags) ? owner + 7 : owner - 1;
    CopyPixels(m_pFlagDib.get(), 0, band * bandH, 21, bandH, m_ptCell.x + 19, m_ptCell.y + 35, 2, 1);
}

void CZRKGameView::DrawUnit(HEXINDEX hex)
{
    if (m_pDoc == nullptr || m_pDoc->m_pViewCountry == nullptr) return;
    uint32_t code = m_dwHexUnitCode[static_cast<size_t>(hex)];
    const COUNTRYSTRUCT& viewer = *m_pDoc->m_pViewCountry;
    const int side = viewer.nSide & 1;
    if (const UNITSTRUCT* u = m_pDoc->GetUnit(m_pDoc->m_dwHexUnit[hex])) {
        const bool fogged = (viewer.dwFlag & kCountryFog) != 0 && (u->dwFlag & (0x2000u << side)) != 0 &&
                            (u->dwSupplyFlag & 0x200u) == 0;
        if (fogged) return;
        if ((u->dwFlag & (0x10000u << side)) != 0) {
            // A contact shows only what kind of unit it is: the picture of
            // its domain (0-4).
            const ARMSSTRUCT* arms = ArmsRecord(u->nArms);
            const int domain = arms != nullptr ? std::clamp(arms->nDomain, 0, 4) : 0;
            code = (code & ~kCodePictureMask) | static_cast<uint32_t>(domain);
        }
    }
    const auto table = Lib().UnitGraphicsOffset;
    const size_t pic = static_cast<size_t>(CodePicture(code));
    const int x = m_ptCell.x, y = m_ptCell.y;
    if (pic < table.size() && m_pUnitDib) {
        const auto& e = table[pic];  // row from the picture's bottom, y offset, height
        const int top = m_pUnitDib->GetHeight() - (e[0] + e[2]);
        CopyPixels(m_pUnitDib.get(), 0, top, 56, e[2], x, y + 14 + e[1], (code & kCodeDithered) ? 8 : 7,
                   code);
    }
    CDib* marks = m_pUnitMarkDib.get();
    // Two digits hold 99; a larger strength in a damaged record shows as 99
    // rather than reading a digit picture that does not exist.
    const int strength = std::min(CodeStrength(code), 99);
    if (strength / 10 != 0) CopyPixels(marks, 0, 9 * (strength / 10), 7, 9, x + 44, y + 31, 2, 1);
    CopyPixels(marks, 0, 9 * (strength % 10), 7, 9, x + 49, y + 31, 2, 1);
    if (code & kCodeActed) CopyPixels(marks, 0, 90, 7, 9, x + 4, y + 31, 2, 1);
    if (code & kCodeCarrying) CopyPixels(marks, 0, 99, 8, 9, x + 0, y + 14, 2, 1);
}

void CZRKGameView::DrawMark(uint32_t mark, bool lowestRowsOnly)
{
    const int row = mark == 1 ? 0 : mark == 2 ? 58 : mark == 4 ? 116 : -1;
    if (row < 0) return;
    // In the row-above pass only the part that reaches into the first row.
    const int skip = lowestRowsOnly ? 42 : 0;
    CopyPixels(m_pUnitMarkDib.get(), 8, row + skip, 58, 58 - skip, m_ptCell.x - 1, m_ptCell.y - 1 + skip, 2,
               1);
}

void CZRKGameView::DrawMarks(uint32_t marks, bool lowestRowsOnly)
{
    // A hex may hold several marks at once (a kept mark 1 and a candidate
    // mark 4): each is drawn in turn.
    for (uint32_t m : {1u, 2u, 4u})
        if (marks & m) DrawMark(m, lowestRowsOnly);
}

void CZRKGameView::TileWall(const platform::Rect& r, PointI scroll)
{
    CDib* wall = m_pWallDib.get();
    if (wall == nullptr || wall->GetBits() == nullptr) return;
    const int tw = wall->GetWidth(), th = wall->GetHeight();
    if (tw <= 0 || th <= 0) return;
    // The pattern is fixed in the map plane: a tile's source offset is its
    // window position plus the scroll position, modulo the tile size.
    for (int y = r.top; y < r.bottom;) {
        const int sy = FloorMod(y - kMarginY + scroll.y, th);
        const int hh = std::min(th - sy, r.bottom - y);
        for (int x = r.left; x < r.right;) {
            const int sx = FloorMod(x - kMarginX + scroll.x, tw);
            const int ww = std::min(tw - sx, r.right - x);
            CopyPixels(wall, sx, sy, ww, hh, x, y, 2, 0);
            x += ww;
        }
        y += hh;
    }
}

void CZRKGameView::RenderMap(int x, int y)
{
    if (m_dwDispOption & kDispHqMap) {
        RenderHQMap(x, y);
        return;
    }
    PointI origin;
    if (!ComputeDrawOrigin(origin, x, y)) return;
    SetScrollPosition(origin.x, origin.y);
    // The overview's frame follows the part shown.
    InvalidateSmallMap();
    if (!m_pDib) return;

    const TerrainContext ctx = Context();
    const SizeI client = GetClientSize();
    const SizeI map = MapPixelSize();
    PointI off;
    const HEXINDEX first = PixelToCell(origin.x, origin.y, &off);
    int row = first >> 7, col = first - (row << 7);

    const int cx = map.cx < client.cx ? (client.cx - map.cx) / 2 : 0;
    const int cy = map.cy < client.cy ? (client.cy - map.cy) / 2 : 0;
    m_rcDrawnMap = {0, 0, client.cx, client.cy};
    if (cx > 0) m_rcDrawnMap.left = cx, m_rcDrawnMap.right = cx + map.cx;
    if (cy > 0) m_rcDrawnMap.top = cy, m_rcDrawnMap.bottom = cy + map.cy;
    const int right = cx > 0 ? cx + map.cx + kMarginX : client.cx + kMarginX;
    const int bottom = cy > 0 ? cy + map.cy + kMarginY : client.cy + kMarginY;

    const int firstStartX = kMarginX - off.x;
    const int firstRow = row, firstCol = col, firstY = kMarginY - off.y + cy;
    int startX = firstStartX;
    m_cells.clear();
    const bool units = (m_dwDispOption & kDispUnits) != 0;

    // Pass 1: terrain, owners and units, row by row.
    for (int cy0 = firstY; cy0 < bottom; cy0 += kRowH) {
        int c = col;
        for (int cx0 = startX + cx; cx0 < right; cx0 += kCellW, ++c) {
            if (row < 0 || row >= kMapSize || c < 0 || c >= kMapSize) continue;
            const HEXINDEX hex = MakeHex(row, c);
            m_ptCell = {cx0, cy0};
            DrawTerrainParts(ctx, hex, cy0 == firstY ? 0 : 1);
            DrawOwnerMark(hex);
            if (units && (m_dwHexUnitCode[static_cast<size_t>(hex)] & kCodeDrawn)) DrawUnit(hex);
            m_cells.push_back({hex, m_ptCell});
        }
        StepToNextRow(row, startX, col);
        ++row;
    }

    // Passes 2 and 3: mark 1 first, so that the others lie over it.
    for (const Cell& cell : m_cells) {
        if (m_dwHexMarkView[static_cast<size_t>(cell.hex)] & 1) {
            m_ptCell = cell.at;
            DrawMark(1, false);
        }
    }
    for (const Cell& cell : m_cells) {
        const uint32_t m = m_dwHexMarkView[static_cast<size_t>(cell.hex)] & 6;
        if (m != 0) {
            m_ptCell = cell.at;
            DrawMarks(m, false);
        }
    }

    // The wall around a map smaller than the window.
    if (cx > 0) {
        TileWall({kMarginX, kMarginY, cx + kMarginX, client.cy + 56}, origin);
        TileWall({cx + map.cx + kMarginX, kMarginY, client.cx + kMarginX, client.cy + 56}, origin);
    }
    if (cy > 0) {
        TileWall({kMarginX, kMarginY, client.cx + kMarginX, cy + kMarginY}, origin);
        TileWall({kMarginX, cy + map.cy + kMarginY, client.cx + kMarginX, client.cy + kMarginY}, origin);
    }

    // The row above the first one reaches into the window with its owner
    // marks and the lowest rows of its marks.
    if (cy == 0 && firstY >= 28 && firstY <= 42) {
        const bool odd = (firstRow & 1) != 0;
        int r = firstRow - 1, c = firstCol, sx = firstStartX + cx;
        if (sx > 28) {
            sx -= 28;
            if (!odd) --c;
        } else {
            sx += 28;
            if (odd) ++c;
        }
        if (r >= 0) {
            for (int x0 = sx; x0 < right; x0 += kCellW, ++c) {
                if (c < 0 || c >= kMapSize) continue;
                const HEXINDEX hex = MakeHex(r, c);
                m_ptCell = {x0, firstY - kRowH};
                DrawOwnerMark(hex);
                DrawMarks(m_dwHexMarkView[static_cast<size_t>(hex)], true);
            }
        }
    }
}

void CZRKGameView::RedrawHex(HEXINDEX hex, bool bUnit, bool bInvalidate)
{
    if (!IsMapHex(hex) || !m_pDib) return;
    DrawTerrainParts(Context(), hex, 2);
    DrawOwnerMark(hex);
    if (bUnit && (m_dwDispOption & kDispUnits) && (m_dwHexUnitCode[static_cast<size_t>(hex)] & kCodeDrawn))
        DrawUnit(hex);
    if (uint32_t m = m_dwHexMarkView[static_cast<size_t>(hex)]; m != 0) DrawMarks(m, false);
    if (bInvalidate) InvalidateCell();
}

}  // namespace zrv
