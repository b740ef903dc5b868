#include "platform/wx/SurfaceCanvas.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>

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

void SurfaceCanvas::EnsureBacking()
{
    wxSize sz = GetClientSize();
    sz.x = std::max(sz.x, 1);
    sz.y = std::max(sz.y, 1);
    if (m_backing.IsOk() && m_backing.GetWidth() >= sz.x && m_backing.GetHeight() >= sz.y) return;
    wxBitmap grown(std::max(sz.x, m_backing.IsOk() ? m_backing.GetWidth() : 0),
                   std::max(sz.y, m_backing.IsOk() ? m_backing.GetHeight() : 0), 24);
    wxMemoryDC dc(grown);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    if (m_backing.IsOk()) dc.DrawBitmap(m_backing, 0, 0);
    dc.SelectObject(wxNullBitmap);
    m_backing = grown;
}

void SurfaceCanvas::Blit(const Surface8& src, const Rect& dst, int sx, int sy)
{
    if (dst.IsEmpty()) return;
    EnsureBacking();
    wxBitmap piece(SurfaceToImage(src, sx, sy, dst.Width(), dst.Height()), 24);
    {
        wxMemoryDC dc(m_backing);
        dc.DrawBitmap(piece, dst.left, dst.top);
    }
    RefreshRect(wxRect(dst.left, dst.top, dst.Width(), dst.Height()), false);
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
    dc.DrawBitmap(m_backing, 0, 0);
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
