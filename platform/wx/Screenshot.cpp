#include "platform/wx/Screenshot.h"

#include <wx/bitmap.h>
#include <wx/image.h>

namespace platform {

bool SaveScreenshot(const wxBitmap& bitmap, const std::string& utf8Path)
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    return bitmap.ConvertToImage().SaveFile(wxString::FromUTF8(utf8Path), wxBITMAP_TYPE_PNG);
}

}  // namespace platform
