#include "battle/view/OverviewMap.h"

#include <algorithm>
#include <cstring>

#include "battle/engine/GameDoc.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DibPal.h"
#include "foundation/GfxSettings.h"

namespace zrv {

namespace {

constexpr int kMinColumns = 32;

bool IsOdd(int row)
{
    return (row & 1) != 0;
}

}  // namespace

CSMapDlg::~CSMapDlg()
{
    // The view goes first: nothing is told any more.
    if (m_pWindow) m_pWindow->Destroy();
    m_pWindow.reset();
}

// --- the window --------------------------------------------------------------------------

bool CSMapDlg::Create()
{
    if (m_pWindow || m_pMaker == nullptr) return false;
    Layout(m_view.m_rcMapHexes);
    m_pWindow = m_pMaker->Make(*this, m_nSize);
    if (!m_pWindow) return false;
    // A picture that cannot be made leaves the window blank.
    OnInitDialog();
    const SizeI outer = m_pWindow->FrameSize({m_nSize, m_nSize});
    m_pWindow->Place(PlaceWindow(m_pMaker->ScreenSize(), outer, m_view.m_nSMapX, m_view.m_nSMapY), outer);
    m_view.m_dwDispOption |= kDispOverviewOpen;
    m_pWindow->ShowWithoutActivating();
    return true;
}

PointI CSMapDlg::PlaceWindow(SizeI screen, SizeI window, int savedX, int savedY)
{
    return {savedX < screen.cx ? savedX : screen.cx - window.cx, savedY < screen.cy ? savedY : screen.cy - window.cy};
}

void CSMapDlg::DestroyWindow()
{
    if (m_bDestroying) return;
    if (!m_pWindow) {
        m_view.m_dwDispOption &= ~kDispOverviewOpen;
        return;
    }
    m_bDestroying = true;
    const PointI at = m_pWindow->TopLeft();
    m_view.m_nSMapX = at.x;
    m_view.m_nSMapY = at.y;
    std::unique_ptr<OverviewWindow> window = std::move(m_pWindow);
    window->Destroy();
    m_view.m_dwDispOption &= ~kDispOverviewOpen;
    FreePicture();
    m_bDestroying = false;
}

void CSMapDlg::OnCancel()
{
    m_view.CloseSmallMap();
}

void CSMapDlg::RefreshColors()
{
    if (!m_picture.IsValid()) return;
    if (const CDibPal* pal = m_view.GetPalette(); pal != nullptr && pal->GetColorTable() != nullptr)
        std::memcpy(m_picture.Table()->data(), pal->GetColorTable(), sizeof(platform::ColorTable));
    Invalidate();
}

void CSMapDlg::Invalidate()
{
    if (m_pWindow) m_pWindow->Invalidate();
}

void CSMapDlg::FreePicture()
{
    m_picture = platform::Surface8();
    m_mapBits.clear();
    m_mapBits.shrink_to_fit();
}

// --- picture ------------------------------------------------------------------------------

void CSMapDlg::Layout(const MapHexRect& area)
{
    const int columns = std::max(1, area.Columns()), rows = std::max(1, area.Rows());
    m_nMapWidth = 2 * columns;
    m_nMapHeight = 2 * rows;
    // Square, and large enough for the rows as well as the columns.
    m_nSize = 2 * std::max({columns, rows, kMinColumns});
    m_nMargin = columns < kMinColumns ? ((kMinColumns - columns) / 2) * 2 : 0;
    m_nMarginTop = std::min(m_nMargin, m_nSize - m_nMapHeight);
}

bool CSMapDlg::OnInitDialog()
{
    FreePicture();
    if (m_nSize <= 0) Layout(m_view.m_rcMapHexes);
    m_picture = platform::Surface8(m_nSize, m_nSize);
    if (!m_picture.IsValid()) return false;
    if (const CDibPal* pal = m_view.GetPalette(); pal != nullptr && pal->GetColorTable() != nullptr)
        std::memcpy(m_picture.Table()->data(), pal->GetColorTable(), sizeof(platform::ColorTable));
    m_mapBits.assign(static_cast<size_t>(m_nSize) * static_cast<size_t>(m_nSize), 0);
    RenderMap();
    return true;
}

uint8_t CSMapDlg::MarginIndex() const
{
    const CDibPal* pal = m_view.GetPalette();
    const int i = pal != nullptr ? pal->FindColorIndex(GetButtonFaceColor()) : -1;
    return i >= 0 && i < 256 ? static_cast<uint8_t>(i) : kOverviewDefaultFace;
}

void CSMapDlg::RenderMap()
{
    const int S = m_nSize;
    if (S <= 0 || m_mapBits.size() != static_cast<size_t>(S) * static_cast<size_t>(S)) return;
    // What the map leaves free (the margins, and the half hex west of an
    // area that starts at the first column) shows the button face.
    std::fill(m_mapBits.begin(), m_mapBits.end(), MarginIndex());
    const CZRKGameDoc* doc = m_view.GetDocument();
    if (doc == nullptr) return;
    const bool large = (doc->m_dwGameOption & kOptOverviewLargePatterns) != 0;
    const auto patterns = large ? Lib().SMapPatternDataL : Lib().SMapPatternData;
    const auto pattern = [&](int row, int column) -> const uint8_t* {
        if (row < 0 || row >= kMapSize || column < 0 || column >= kMapSize) return nullptr;
        const size_t t = doc->m_dwHexCell[MakeHex(row, column)] & kCellTerrainMask;
        return t < patterns.size() ? patterns[t].data() : nullptr;
    };

    const MapHexRect& m = m_view.m_rcMapHexes;
    uint8_t* base = m_mapBits.data() + static_cast<size_t>(m_nMarginTop) * S + m_nMargin;
    for (int row = m.firstRow, k = 0; row <= m.lastRow && 2 * k + 1 < S - m_nMarginTop; ++row, ++k) {
        uint8_t* upper = base + static_cast<size_t>(2 * k) * S;
        uint8_t* lower = upper + S;
        int x = 0;
        const auto put = [&](uint8_t a, uint8_t b) {
            if (m_nMargin + x < S) upper[x] = a, lower[x] = b;
            ++x;
        };
        if (!IsOdd(row)) {
            for (int c = m.firstColumn; c <= m.lastColumn; ++c) {
                const uint8_t* p = pattern(row, c);
                if (p == nullptr) {
                    x += 2;
                    continue;
                }
                put(p[0], p[2]);
                put(p[1], p[3]);
            }
            continue;
        }
        // An odd row: the right half of the hex west of the area, the
        // columns but the last in full, the left half of the last.
        if (const uint8_t* p = pattern(row, m.firstColumn - 1))
            put(p[3], p[1]);
        else
            ++x;
        for (int c = m.firstColumn; c < m.lastColumn; ++c) {
            const uint8_t* p = pattern(row, c);
            if (p == nullptr) {
                x += 2;
                continue;
            }
            put(p[0], p[2]);
            put(p[1], p[3]);
        }
        if (const uint8_t* p = pattern(row, m.lastColumn)) put(p[2], p[0]);
    }
}

std::optional<platform::Rect> CSMapDlg::FrameRect() const
{
    const platform::Rect& client = m_view.m_rcMapClient;
    if (client.left != 0 && client.top != 0) return std::nullopt;
    const bool hq = (m_view.m_dwDispOption & kDispHqMap) != 0;
    const int c = hq ? kHqCell : 56, r = hq ? kHqRow : 42;
    const int n = m_nSize / 2;
    // The main view's scroll position: the part of the map it shows.
    const PointI origin = m_view.GetScrollPosition();
    int w = std::min((client.right - client.left) / c + 1, n);
    int x0 = client.left != 0 ? 0 : (origin.x + client.left) / c;
    if (x0 + w > n) x0 = n - w;
    int h = std::min((client.bottom - client.top) / r + 1, n);
    int y0 = client.top != 0 ? 0 : (origin.y + client.top) / r;
    if (y0 + h > n) y0 = n - h;
    const int left = 2 * x0 + m_nMargin, top = 2 * y0 + m_nMarginTop;
    return platform::Rect{left, top, left + 2 * w, top + 2 * h};
}

const platform::Surface8* CSMapDlg::Paint()
{
    if (!m_picture.IsValid() || m_mapBits.empty()) return nullptr;
    const std::optional<platform::Rect> frame = FrameRect();
    m_bFrameShown = frame.has_value();
    for (int y = 0; y < m_nSize; ++y)
        std::memcpy(m_picture.Row(y), m_mapBits.data() + static_cast<size_t>(y) * m_nSize, m_nSize);
    if (frame) m_picture.FrameRect(*frame, kOverviewFrameIndex);
    return &m_picture;
}

// --- mouse ----------------------------------------------------------------------------------

bool CSMapDlg::HitTest(PointI p) const
{
    if (!m_bFrameShown || m_view.m_rcMapClient.bottom == 0) return false;
    const int x = p.x - m_nMargin, y = p.y - m_nMarginTop;
    return x >= 0 && x < m_nMapWidth && y >= 0 && y < m_nMapHeight;
}

HEXINDEX CSMapDlg::PointToHex(PointI p) const
{
    const MapHexRect& m = m_view.m_rcMapHexes;
    const int x = p.x - m_nMargin, y = p.y - m_nMarginTop;
    const int row = m.firstRow + y / 2;
    // An odd row starts with the half hex west of the area (counted as the
    // first column), then two pixels a column.
    const int column = m.firstColumn + (IsOdd(row) ? std::max(0, x - 1) : x) / 2;
    const HEXINDEX hex = MakeHex(row, std::min(column, m.lastColumn));
    return hex == m_nLastHex ? -1 : hex;
}

void CSMapDlg::OnLButtonDown(PointI p)
{
    if (!HitTest(p)) return;
    const CZRKGameDoc* doc = m_view.GetDocument();
    const COUNTRYSTRUCT* current = doc != nullptr ? doc->m_pCurCountry : nullptr;
    if (current == nullptr || (current->dwFlag & kCountryCpu) != 0) return;
    const HEXINDEX hex = PointToHex(p);
    if (hex < 0) return;
    m_nLastHex = hex;
    m_view.CenterOnHex(hex);
}

void CSMapDlg::OnMouseMove(PointI p, bool leftHeld)
{
    const CZRKGameDoc* doc = m_view.GetDocument();
    if (!leftHeld || doc == nullptr || (doc->m_dwGameOption & kOptOverviewDrag) == 0 || !HitTest(p)) return;
    const HEXINDEX hex = PointToHex(p);
    if (hex < 0) return;
    m_nLastHex = hex;
    m_view.CenterOnHex(hex);
}

}  // namespace zrv
