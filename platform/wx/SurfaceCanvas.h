#pragma once
// A window that shows 8-bit pictures. It is the blit sink of an off-screen
// view: each blit converts the needed rectangle of the picture through the
// picture's colour table straight into the canvas's one window-sized 32-bit
// backing image, and the paint handler puts only the rectangles to be redrawn
// on the screen from it, with no image made in between. Scroll bars are plain: the canvas
// reports positions and the view decides what to show.

#include <cstdint>
#include <functional>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/window.h>

#include "platform/gfx/BlitSink.h"

namespace platform {

// Pixels of src from (sx, sy), w x h, as an RGB image; outside src is black.
wxImage SurfaceToImage(const Surface8& src, int sx, int sy, int w, int h);

class SurfaceCanvas : public wxWindow, public BlitSink {
public:
    SurfaceCanvas(wxWindow* parent, wxWindowID id = wxID_ANY, long style = wxHSCROLL | wxVSCROLL);
    ~SurfaceCanvas() override;

    void Blit(const Surface8& src, const Rect& dst, int sx, int sy) override;
    void ColorsChanged() override;

    // Called when the colours changed and everything must be blitted again.
    void SetRepaintHandler(std::function<void()> h) { m_repaint = std::move(h); }
    // Called with the new client size.
    void SetSizeHandler(std::function<void(int, int)> h) { m_sized = std::move(h); }
    // Called with the new scroll position.
    void SetScrollHandler(std::function<void(int, int)> h) { m_scrolled = std::move(h); }
    // Called when the display's size or depth changed (the view grows its buffer).
    void SetDisplayChangedHandler(std::function<void()> h) { m_displayChanged = std::move(h); }
    // Scroll bar geometry in pixels: total size, page and line steps.
    void SetScrollGeometry(int totalW, int totalH, int pageW, int pageH, int lineW, int lineH);

    // What the window shows now, as a bitmap made for the asking.
    wxBitmap Backing() const;
    // The backing image's pixels (0x00RRGGBB), width x height, rows packed.
    const uint32_t* Pixels() const { return m_pixels.data(); }
    int BackingWidth() const { return m_w; }
    int BackingHeight() const { return m_h; }

private:
    void OnPaint(wxPaintEvent& e);
    void OnSize(wxSizeEvent& e);
    void OnScroll(wxScrollWinEvent& e);
    void EnsureBacking();

    std::vector<uint32_t> m_pixels;
    int m_w = 0, m_h = 0;
    // The drawing surface's view of m_pixels (a cairo image surface).
    void* m_surface = nullptr;
    std::function<void()> m_repaint;
    std::function<void(int, int)> m_sized;
    std::function<void(int, int)> m_scrolled;
    std::function<void()> m_displayChanged;
    int m_lineW = 1, m_lineH = 1, m_pageW = 1, m_pageH = 1;
};

}  // namespace platform
