#include "platform/wx/CardPanel.h"

#include <wx/dcclient.h>

#include "platform/wx/SurfaceCanvas.h"

namespace platform {

CardPanel::CardPanel(wxWindow* parent, const Rect& rect, std::function<Surface8()> source)
    : wxWindow(parent, wxID_ANY, wxPoint(rect.left, rect.top), wxSize(rect.Width(), rect.Height())),
      m_rect(rect),
      m_source(std::move(source))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CardPanel::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        if (m_click) m_click(e.GetX() + m_rect.left, e.GetY() + m_rect.top);
    });
}

void CardPanel::Repaint()
{
    Refresh(false);
    Update();
}

void CardPanel::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const Surface8 s = m_source ? m_source() : Surface8{};
    if (!s.IsValid()) return;
    const wxImage image = SurfaceToImage(s, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
    dc.DrawBitmap(wxBitmap(image), 0, 0);
}

}  // namespace platform
