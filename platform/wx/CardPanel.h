#pragma once
// A painted card of a dialog: a rectangle of an 8-bit picture shown through
// its colour table at the same place of the dialog's client area. The panel
// never erases; a left click goes to the owner in the dialog's client
// coordinates (the card's own). Without a picture it paints nothing.

#include <functional>

#include <wx/window.h>

#include "platform/gfx/Surface8.h"

namespace platform {

class CardPanel : public wxWindow {
public:
    // Shows rect (in the picture's and the dialog's coordinates) of the
    // picture that source returns (may return an invalid surface).
    CardPanel(wxWindow* parent, const Rect& rect, std::function<Surface8()> source);
    // Called with a client point of the dialog.
    void SetClickHandler(std::function<void(int x, int y)> h) { m_click = std::move(h); }
    // Paints the card again at once.
    void Repaint();

private:
    void OnPaint(wxPaintEvent& e);
    Rect m_rect;
    std::function<Surface8()> m_source;
    std::function<void(int, int)> m_click;
};

}  // namespace platform
