#include "platform/wx/SjisTextCtrl.h"

#include <algorithm>

#include "platform/core/Text.h"

namespace platform {

namespace {

size_t SjisBytes(const wxString& s)
{
    return Utf8ToSjis(s.utf8_string()).size();
}

}  // namespace

SjisTextCtrl::SjisTextCtrl(wxWindow* parent, wxWindowID id, const wxString& value, size_t maxBytes, long style)
    : wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, style), m_maxBytes(maxBytes)
{
    m_accepted = Fit(wxString(), value, maxBytes);
    ChangeValue(m_accepted);
    Bind(wxEVT_TEXT, &SjisTextCtrl::OnText, this);
}

wxString SjisTextCtrl::Fit(const wxString& before, const wxString& after, size_t maxBytes, long* caret)
{
    if (SjisBytes(after) <= maxBytes) {
        if (caret) *caret = static_cast<long>(after.length());
        return after;
    }
    // The part that went in lies between what both texts share at the start
    // and at the end.
    const size_t shortest = std::min(before.length(), after.length());
    size_t head = 0;
    while (head < shortest && before[head] == after[head]) ++head;
    size_t tail = 0;
    while (tail < shortest - head && before[before.length() - 1 - tail] == after[after.length() - 1 - tail]) ++tail;
    const wxString start = after.Left(head), end = after.Right(tail);
    const wxString inserted = after.Mid(head, after.length() - head - tail);
    size_t used = SjisBytes(start) + SjisBytes(end);
    wxString kept;
    for (const wxUniChar ch : inserted) {
        const size_t n = SjisBytes(wxString(ch));
        if (used + n > maxBytes) break;
        used += n;
        kept += ch;
    }
    if (caret) *caret = static_cast<long>(head + kept.length());
    wxString result = start + kept + end;
    // Text that never fitted (a preset too long) is cut at its end.
    if (SjisBytes(result) > maxBytes) result = wxString::FromUTF8(SjisToUtf8(CutSjisText(Utf8ToSjis(result.utf8_string()), maxBytes)));
    return result;
}

void SjisTextCtrl::OnText(wxCommandEvent& e)
{
    const wxString now = GetValue();
    long caret = 0;
    const wxString fitted = Fit(m_accepted, now, m_maxBytes, &caret);
    if (fitted != now) {
        ChangeValue(fitted);
        SetInsertionPoint(std::min(caret, static_cast<long>(fitted.length())));
    }
    m_accepted = fitted;
    e.Skip();
}

}  // namespace platform
