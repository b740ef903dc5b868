#pragma once
// Message boxes of both programs on wx. The style and the answer keep the
// numbers the game's code compares against: buttons in the low four bits
// (0 OK, 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No), the icon in the next four
// (0x10 stop, 0x20 question, 0x30 exclamation, 0x40 information), 0x100 the
// second button as the default; answers 1 OK, 2 Cancel, 6 Yes, 7 No.

#include <wx/string.h>

class wxWindow;

namespace platform {

int ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption, unsigned style);

}  // namespace platform
