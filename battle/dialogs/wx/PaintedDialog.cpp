#include "battle/dialogs/wx/PaintedDialog.h"

#include "platform/core/Text.h"
#include "platform/wx/FullRowListCtrl.h"

namespace zrv {

wxString SjisToWx(std::string_view sjis)
{
    return wxString::FromUTF8(platform::SjisToUtf8(sjis));
}

PaintedDialog::PaintedDialog(wxWindow* parent, std::string_view caption, int clientW, int clientH,
                             int fontHeight, bool bold)
    : wxDialog(parent, wxID_ANY, SjisToWx(caption), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE)
{
    SetFont(platform::GothicFont(fontHeight, bold));
    SetClientSize(clientW, clientH);
    Centre();
    Bind(wxEVT_CHAR_HOOK, &PaintedDialog::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &PaintedDialog::OnClose, this);
}

wxButton* PaintedDialog::Button(int id, std::string_view label, int x, int y, int w, int h)
{
    auto* b = new wxButton(this, id, SjisToWx(label), wxPoint(x, y), wxSize(w, h));
    b->SetFont(GetFont());
    return b;
}

wxStaticText* PaintedDialog::Label(int id, std::string_view text, int x, int y, int w, int h, long style)
{
    auto* t = new wxStaticText(this, id, SjisToWx(text), wxPoint(x, y), wxSize(w, h), style | wxST_NO_AUTORESIZE);
    t->SetFont(GetFont());
    return t;
}

void PaintedDialog::Place(wxWindow* control, int x, int y, int w, int h)
{
    if (control == nullptr) return;
    control->SetFont(GetFont());
    control->SetSize(x, y, w, h);
}

platform::CardPanel* PaintedDialog::Card(DialogCard& card, const platform::Rect& rect,
                                         std::function<void(int x, int y)> click)
{
    auto* panel = new platform::CardPanel(this, rect, [&card] { return card.Surface(); });
    if (click) panel->SetClickHandler(std::move(click));
    return panel;
}

wxPoint PaintedDialog::DialogUnits(int x, int y) const
{
    const wxSize cell(GetCharWidth(), GetCharHeight());
    return {x * cell.x / 4, y * cell.y / 8};
}

void PaintedDialog::OnCharHook(wxKeyEvent& e)
{
    if (!m_toolClose) {
        e.Skip();
        return;
    }
    switch (e.GetKeyCode()) {
        case WXK_ESCAPE:
            m_toolClose();
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            TransferDataFromWindow();
            return;
        default:
            e.Skip();
    }
}

void PaintedDialog::OnClose(wxCloseEvent& e)
{
    if (m_toolClose && e.CanVeto()) {
        e.Veto();
        m_toolClose();
        return;
    }
    e.Skip();
}

}  // namespace zrv
