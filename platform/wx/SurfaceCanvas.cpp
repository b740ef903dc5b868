#include "platform/wx/SurfaceCanvas.h"

#include <algorithm>

#include <cairo.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/region.h>

namespace platform {

wxImage SurfaceToImage(const Surface8& src, int sx, int sy, int w, int h)
{
    wxImage img(std::max(w, 1), std::max(h, 1), true);  // black
    const ColorTable* table = src.Table();
    if (!src.IsValid() || table == nullptr) return img;
    unsigned char* rgb = img.GetData();
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = src.Row(sy + y);
        if (row == nullptr) continue;
        for (int x = 0; x < w; ++x) {
            int px = sx + x;
            if (px < 0 || px >= src.Width()) continue;
            const RgbQuad& q = (*table)[row[px]];
            unsigned char* p = rgb + (size_t(y) * size_t(w) + size_t(x)) * 3;
            p[0] = q.rgbRed;
            p[1] = q.rgbGreen;
            p[2] = q.rgbBlue;
        }
    }
    return img;
}

SurfaceCanvas::SurfaceCanvas(wxWindow* parent, wxWindowID id, long style)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, style | wxFULL_REPAINT_ON_RESIZE)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &SurfaceCanvas::OnPaint, this);
    Bind(wxEVT_SIZE, &SurfaceCanvas::OnSize, this);
    Bind(wxEVT_DISPLAY_CHANGED, [this](wxDisplayChangedEvent& e) {
        e.Skip();
        if (m_displayChanged) m_displayChanged();
    });
    for (auto type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP, wxEVT_SCROLLWIN_LINEDOWN,
                      wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK,
                      wxEVT_SCROLLWIN_THUMBRELEASE})
        Bind(type, &SurfaceCanvas::OnScroll, this);
}

SurfaceCanvas::~SurfaceCanvas()
{
    if (m_surface) cairo_surface_destroy(static_cast<cairo_surface_t*>(m_surface));
}

void SurfaceCanvas::EnsureBacking()
{
    wxSize sz = GetClientSize();
    const int w = std::max({sz.x, 1, m_w}), h = std::max({sz.y, 1, m_h});
    if (!m_pixels.empty() && w == m_w && h == m_h) return;
    // Grows only, keeping what is shown; new parts are black.
    std::vector<uint32_t> grown(size_t(w) * size_t(h), 0);
    for (int y = 0; y < m_h; ++y) std::copy_n(m_pixels.data() + size_t(y) * m_w, m_w, grown.data() + size_t(y) * w);
    if (m_surface) cairo_surface_destroy(static_cast<cairo_surface_t*>(m_surface));
    m_pixels.swap(grown);
    m_w = w;
    m_h = h;
    // 0x00RRGGBB in native order is cairo's RGB24 layout; its stride for
    // 32-bit pixels is the row's bytes.
    m_surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(m_pixels.data()),
                                                    CAIRO_FORMAT_RGB24, w, h, w * 4);
}

void SurfaceCanvas::Blit(const Surface8& src, const Rect& dst, int sx, int sy)
{
    if (dst.IsEmpty()) return;
    EnsureBacking();
    const int left = std::max(dst.left, 0), top = std::max(dst.top, 0);
    const int right = std::min(dst.left + dst.Width(), m_w), bottom = std::min(dst.top + dst.Height(), m_h);
    if (left >= right || top >= bottom) return;
    uint32_t lut[256] = {};
    const ColorTable* table = src.Table();
    const bool valid = src.IsValid() && table != nullptr;
    if (valid) {
        for (int i = 0; i < 256; ++i) {
            const RgbQuad& q = (*table)[i];
            lut[i] = uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
        }
    }
    auto* surface = static_cast<cairo_surface_t*>(m_surface);
    cairo_surface_flush(surface);
    for (int y = top; y < bottom; ++y) {
        uint32_t* out = m_pixels.data() + size_t(y) * m_w;
        const uint8_t* row = valid ? src.Row(sy + (y - dst.top)) : nullptr;
        // Columns of the picture that exist; the rest of the row is black.
        const int px0 = sx + (left - dst.left);
        const int from = row ? std::clamp(-px0, 0, right - left) : right - left;
        const int to = row ? std::clamp(src.Width() - px0, from, right - left) : right - left;
        std::fill(out + left, out + left + from, 0u);
        for (int x = from; x < to; ++x) out[left + x] = lut[row[px0 + x]];
        std::fill(out + left + to, out + right, 0u);
    }
    cairo_surface_mark_dirty_rectangle(surface, left, top, right - left, bottom - top);
    RefreshRect(wxRect(left, top, right - left, bottom - top), false);
}

wxBitmap SurfaceCanvas::Backing() const
{
    if (m_pixels.empty()) return wxBitmap();
    wxImage img(m_w, m_h, false);
    unsigned char* rgb = img.GetData();
    for (size_t i = 0; i < m_pixels.size(); ++i) {
        rgb[i * 3] = uint8_t(m_pixels[i] >> 16);
        rgb[i * 3 + 1] = uint8_t(m_pixels[i] >> 8);
        rgb[i * 3 + 2] = uint8_t(m_pixels[i]);
    }
    return wxBitmap(img, 24);
}

void SurfaceCanvas::ColorsChanged()
{
    if (m_repaint) m_repaint();
    else Refresh(false);
}

void SurfaceCanvas::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    EnsureBacking();
    wxGraphicsContext* gc = dc.GetGraphicsContext();
    auto* cr = gc ? static_cast<cairo_t*>(gc->GetNativeContext()) : nullptr;
    if (cr == nullptr) {
        dc.DrawBitmap(Backing(), 0, 0);
        return;
    }
    // Only the parts to be redrawn, straight from the backing image.
    cairo_save(cr);
    for (wxRegionIterator it(GetUpdateRegion()); it; ++it) {
        const wxRect r = it.GetRect();
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_set_source_surface(cr, static_cast<cairo_surface_t*>(m_surface), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(cr);
    cairo_restore(cr);
}

void SurfaceCanvas::OnSize(wxSizeEvent& e)
{
    e.Skip();
    EnsureBacking();
    wxSize sz = GetClientSize();
    if (m_sized) m_sized(sz.x, sz.y);
}

void SurfaceCanvas::SetScrollGeometry(int totalW, int totalH, int pageW, int pageH, int lineW, int lineH)
{
    m_pageW = std::max(pageW, 1);
    m_pageH = std::max(pageH, 1);
    m_lineW = std::max(lineW, 1);
    m_lineH = std::max(lineH, 1);
    wxSize sz = GetClientSize();
    SetScrollbar(wxHORIZONTAL, std::min(GetScrollPos(wxHORIZONTAL), std::max(0, totalW - sz.x)), sz.x, totalW);
    SetScrollbar(wxVERTICAL, std::min(GetScrollPos(wxVERTICAL), std::max(0, totalH - sz.y)), sz.y, totalH);
}

void SurfaceCanvas::OnScroll(wxScrollWinEvent& e)
{
    int orient = e.GetOrientation();
    int pos = GetScrollPos(orient);
    int range = GetScrollRange(orient) - GetScrollThumb(orient);
    bool h = orient == wxHORIZONTAL;
    wxEventType t = e.GetEventType();
    if (t == wxEVT_SCROLLWIN_TOP) pos = 0;
    else if (t == wxEVT_SCROLLWIN_BOTTOM) pos = range;
    else if (t == wxEVT_SCROLLWIN_LINEUP) pos -= h ? m_lineW : m_lineH;
    else if (t == wxEVT_SCROLLWIN_LINEDOWN) pos += h ? m_lineW : m_lineH;
    else if (t == wxEVT_SCROLLWIN_PAGEUP) pos -= h ? m_pageW : m_pageH;
    else if (t == wxEVT_SCROLLWIN_PAGEDOWN) pos += h ? m_pageW : m_pageH;
    else pos = e.GetPosition();
    pos = std::clamp(pos, 0, std::max(range, 0));
    SetScrollPos(orient, pos);
    if (m_scrolled) m_scrolled(GetScrollPos(wxHORIZONTAL), GetScrollPos(wxVERTICAL));
}

}  // namespace platform
