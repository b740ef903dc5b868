#include "foundation/OSBView.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/core/Text.h"

namespace zrv {
namespace {

// The menu buffer holds its whole scrollable area.
constexpr SizeI kMenuArea{2144, 1032};
constexpr SizeI kBattleArea{3584, 2688};
constexpr size_t kMaxLineBytes = 255;

// A line cut to at most 255 bytes, never inside a two-byte character.
std::string_view CutLine(std::string_view line)
{
    if (line.size() <= kMaxLineBytes) return line;
    size_t end = 0;
    while (end < line.size()) {
        size_t len = platform::IsSjisLead(static_cast<unsigned char>(line[end])) ? 2 : 1;
        if (end + len > kMaxLineBytes) break;
        end += len;
    }
    return line.substr(0, end);
}

}  // namespace

COSBView::COSBView(ProgramVariant variant) : m_variant(variant)
{
    m_sizeVirtual = variant == ProgramVariant::Menu ? kMenuArea : kBattleArea;
}

COSBView::~COSBView() = default;

SizeI COSBView::FullScreen() const
{
    if (m_fullScreen) return m_fullScreen();
    return {1024, 768};
}

bool COSBView::MakeBuffer(int width, int height)
{
    auto dib = std::make_unique<CDib>();
    if (!dib->Create(width, height, m_pPalette->GetColorTable())) return false;
    m_pDib = std::move(dib);
    m_dc.surface = m_pDib->Surface();
    m_pPalette->ApplyColorTable(m_pDib.get());
    return true;
}

bool COSBView::CreateOSB(std::string_view palettePath)
{
    m_pPalette.reset();
    auto pal = std::make_unique<CDibPal>();
    if (!pal->Create(palettePath)) return false;
    m_pPalette = std::move(pal);
    m_pPalette->SetAppliedHandler([this] {
        if (m_sink != nullptr) m_sink->ColorsChanged();
    });

    m_pColorTable.reset(new (std::nothrow) RgbQuad[256]);
    if (!m_pColorTable) return false;
    std::memcpy(m_pColorTable.get(), m_pPalette->GetColorTable(), 256 * sizeof(RgbQuad));

    m_pDib.reset();
    m_dc.surface = {};
    if (m_variant == ProgramVariant::Menu) return MakeBuffer(kMenuArea.cx, kMenuArea.cy);
    SizeI screen = FullScreen();
    return MakeBuffer(std::max(screen.cx, 1024) + kBufferExtra, std::max(screen.cy, 768) + kBufferExtra);
}

bool COSBView::ResizeOSB()
{
    if (!m_pDib) return false;
    SizeI screen = FullScreen();
    int w = m_pDib->GetWidth(), h = m_pDib->GetHeight();
    // Mode 0 renders 112 pixels beyond the window in each direction, so the
    // screen fits only when it fits together with that margin. The buffer
    // never shrinks: a dimension that still fits keeps its size.
    if (screen.cx + kBufferExtra <= w && screen.cy + kBufferExtra <= h) return false;
    if (!m_pPalette) return false;
    return MakeBuffer(std::max(w, screen.cx + kBufferExtra), std::max(h, screen.cy + kBufferExtra));
}

bool COSBView::FitOSB(int cx, int cy)
{
    if (!m_pDib || !m_pPalette) return false;
    int w = m_pDib->GetWidth(), h = m_pDib->GetHeight();
    if (cx + kBufferExtra <= w && cy + kBufferExtra <= h) return false;
    return MakeBuffer(std::max(w, cx + kBufferExtra), std::max(h, cy + kBufferExtra));
}

void COSBView::SetHexScrollSizes(int totalWidth, int totalHeight, int blitMode)
{
    m_nBlitMode = blitMode;
    if (totalWidth > 0) m_sizeVirtual = {totalWidth, totalHeight};
    // Pages and lines move by whole hex cells.
    m_page = {m_client.cx / kMarginX * kMarginX, m_client.cy / kMarginY * kMarginY};
    m_line = {kMarginX, kMarginY};
}

void COSBView::SetHexScrollSizes(int totalWidth, int totalHeight)
{
    m_sizeVirtual = {totalWidth, totalHeight};
    m_page = {m_client.cx / 2, m_client.cy / 2};
    m_line = {m_page.cx / 4, m_page.cy / 4};
}

PointI COSBView::BlitSource() const
{
    if (m_variant == ProgramVariant::Menu) return m_scroll;
    if (m_nBlitMode == 0) return {kMarginX, kMarginY};
    return m_ptOrigin;
}

void COSBView::BlitOSB(const platform::Rect* rect)
{
    if (!m_pDib || m_sink == nullptr) return;
    platform::Rect client{0, 0, m_client.cx, m_client.cy};
    platform::Rect r = rect != nullptr ? platform::Intersect(*rect, client) : client;
    if (r.IsEmpty()) return;
    PointI src = BlitSource();
    m_sink->Blit(m_dc.surface, r, r.left + src.x, r.top + src.y);
}

void COSBView::FlushDirtyRects()
{
    for (const platform::Rect& r : m_listRects) RenderOSB(&r);
    while (!m_listRects.empty()) {
        platform::Rect r = m_listRects.front();
        m_listRects.pop_front();
        BlitOSB(&r);
    }
}

void COSBView::DrawTextBlock(std::string_view text, int lineHeight, int facePass)
{
    if (!m_pDib) return;
    bool menu = m_variant == ProgramVariant::Menu;
    if (menu) m_pDib->ClearBits(0);
    std::unique_ptr<platform::Font> font = platform::Font::Create(lineHeight, 700, kGothicFace);
    if (!font) return;
    const platform::Font* oldFont = m_dc.SelectFont(font.get());

    int lines = text.empty() ? 0 : 1 + int(std::count(text.begin(), text.end(), '\n'));
    int half = lineHeight / 2;
    int y = (m_client.cy - (3 * lines - 1) * half) / 2;
    if (menu) {
        if (y < 0) y = lineHeight;
    } else {
        y = std::max(y, half);
    }
    size_t pos = 0;
    for (int i = 0; i < lines; ++i) {
        size_t lf = text.find('\n', pos);
        std::string_view line = CutLine(text.substr(pos, lf == std::string_view::npos ? std::string_view::npos : lf - pos));
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        // A single-byte character is half the line height wide, a two-byte
        // one a whole line height: the width is the byte length times half.
        int x = (m_client.cx - int(line.size()) * half) / 2;
        if (menu) {
            if (x < 0) x = lineHeight;
        } else {
            x = std::max(x, half);
        }
        if (!menu && facePass == 0) {
            static constexpr int kAround[8][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
            for (const auto& d : kAround) m_dc.TextOut(x + d[0], y + d[1], line);
        } else {
            DrawColorText(&m_dc, x, y, line, 5);
        }
        y += lineHeight + half;
    }
    m_dc.SelectFont(oldFont);
}

}  // namespace zrv
