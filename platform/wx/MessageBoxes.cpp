#include "platform/wx/MessageBoxes.h"

#include <wx/msgdlg.h>

namespace platform {

int ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, unsigned style)
{
    long flags = wxCENTRE;
    switch (style & 0xF) {
        case 0x1:
            flags |= wxOK | wxCANCEL;
            break;
        case 0x4:
            flags |= wxYES_NO;
            break;
        case 0x3:
            flags |= wxYES_NO | wxCANCEL;
            break;
        default:
            flags |= wxOK;
            break;
    }
    switch (style & 0xF0) {
        case 0x10:
            flags |= wxICON_ERROR;
            break;
        case 0x20:
            flags |= wxICON_QUESTION;
            break;
        case 0x30:
            flags |= wxICON_WARNING;
            break;
        case 0x40:
            flags |= wxICON_INFORMATION;
            break;
        default:
            break;
    }
    if (style & 0x100) flags |= wxNO_DEFAULT | wxCANCEL_DEFAULT;
    switch (wxMessageBox(text, caption, flags, parent)) {
        case wxOK:
            return 1;
        case wxYES:
            return 6;
        case wxNO:
            return 7;
        default:
            return 2;
    }
}

}  // namespace platform
