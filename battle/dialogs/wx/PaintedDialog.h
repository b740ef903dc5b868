#pragma once
// The base of the battle dialogs' windows: a dialog laid out in pixels (no
// sizers) in the game's gothic face, with its caption and labels given in
// CP932, and painted cards (CardPanel) showing a DialogCard. Modal by
// default; a tool window (modeless) instead hands Esc and its close box to the
// view through a close request, while Enter only exchanges its data.

#include <functional>
#include <string_view>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>

#include "battle/dialogs/DialogCard.h"
#include "platform/wx/CardPanel.h"

namespace zrv {

// CP932 text as the toolkit's string.
wxString SjisToWx(std::string_view sjis);

class PaintedDialog : public wxDialog {
public:
    // A dialog with caption (CP932) whose client area is clientW x clientH,
    // in the gothic face of fontHeight pixels (bold when said), centred on
    // parent.
    PaintedDialog(wxWindow* parent, std::string_view caption, int clientW, int clientH, int fontHeight = 12,
                  bool bold = false);

    // Controls at their pixel rectangles, in the dialog's font.
    wxButton* Button(int id, std::string_view label, int x, int y, int w, int h);
    wxStaticText* Label(int id, std::string_view text, int x, int y, int w, int h, long style = 0);
    // Puts a control made elsewhere at its rectangle in the dialog's font.
    void Place(wxWindow* control, int x, int y, int w, int h);
    // A panel showing rect of card (card and client coordinates agree);
    // left clicks come to click in those coordinates.
    platform::CardPanel* Card(DialogCard& card, const platform::Rect& rect,
                              std::function<void(int x, int y)> click = {});

    // A template's dialog units in pixels with the dialog font's character
    // cell (4 units a cell's width, 8 its height).
    wxPoint DialogUnits(int x, int y) const;

    // Makes the window a tool window: Esc and its close box call close (the
    // view destroys the window); Enter exchanges its data and stays open.
    void SetToolClose(std::function<void()> close) { m_toolClose = std::move(close); }

private:
    void OnCharHook(wxKeyEvent& e);
    void OnClose(wxCloseEvent& e);
    std::function<void()> m_toolClose;
};

}  // namespace zrv
