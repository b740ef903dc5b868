#include "platform/wx/Screenshot.h"

#include <cairo.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/graphics.h>
#include <wx/image.h>

namespace platform {

bool SaveScreenshot(const wxBitmap& bitmap, const std::string& utf8Path)
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    return bitmap.ConvertToImage().SaveFile(wxString::FromUTF8(utf8Path), wxBITMAP_TYPE_PNG);
}

wxBitmap GrabScreen(const wxRect& area)
{
    wxScreenDC screen;
    const wxSize whole = screen.GetSize();
    const wxRect cut = area.Intersect(wxRect(0, 0, whole.x, whole.y));
    if (cut.IsEmpty()) return wxBitmap();
    // The screen's drawing surface is kept between two screen contexts and
    // the toolkit's drawing library keeps a copy of what it last read from
    // it: marked changed, it reads what the display shows now.
    if (wxGraphicsContext* gc = screen.GetGraphicsContext())
        if (auto* cr = static_cast<cairo_t*>(gc->GetNativeContext()))
            cairo_surface_mark_dirty(cairo_get_target(cr));
    wxBitmap picture(cut.width, cut.height, 24);
    wxMemoryDC mem(picture);
    const bool ok = mem.Blit(0, 0, cut.width, cut.height, &screen, cut.x, cut.y);
    mem.SelectObject(wxNullBitmap);
    return ok ? picture : wxBitmap();
}

}  // namespace platform
