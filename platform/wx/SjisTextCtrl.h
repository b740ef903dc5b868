#pragma once
// A one-line text field that holds at most a number of CP932 bytes: typed or
// pasted text beyond the limit is refused where it goes in (a full-width
// character counts two bytes and is never cut in half), so the field shows
// exactly what its owner will keep.

#include <cstddef>

#include <wx/textctrl.h>

namespace platform {

class SjisTextCtrl : public wxTextCtrl {
public:
    SjisTextCtrl(wxWindow* parent, wxWindowID id, const wxString& value, size_t maxBytes, long style = 0);
    size_t MaxBytes() const { return m_maxBytes; }

    // What a field holding before keeps when the text becomes after: the
    // inserted part cut to what still fits; *caret, when given, where the
    // insertion point goes.
    static wxString Fit(const wxString& before, const wxString& after, size_t maxBytes, long* caret = nullptr);

private:
    void OnText(wxCommandEvent& e);
    size_t m_maxBytes;
    wxString m_accepted;
};

}  // namespace platform
