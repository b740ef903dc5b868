#pragma once
// A floating command bar of the battle program: a small tool window above
// the main frame with a caption, two buttons a row (28 x 27, 21 x 21
// images), hidden until the map view toggles it. Its buttons run their
// commands through the main frame; the bar tells the frame, inside the hide
// itself, that it was closed.

#include <wx/minifram.h>

#include <functional>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/view/MainFrameLogic.h"

namespace zrv {

class CommandBar : public wxMiniFrame {
public:
    struct Hooks {
        std::function<void(int)> run;                       // a button was pressed
        std::function<CommandState(int)> state;             // what a button shows
        std::function<void(const CommandBarSpec&)> closed;  // the bar was hidden
    };
    // images: one per button, in button order (an empty one draws a blank face).
    CommandBar(wxWindow* parent, const CommandBarSpec& spec, const std::vector<wxBitmap>& images,
               Hooks hooks);

    const CommandBarSpec& Spec() const { return m_spec; }
    uint32_t StateBit() const { return m_spec.stateBit; }
    // Shows the bar at p (screen coordinates), above every other window.
    void ShowAt(const wxPoint& p);
    // Hides it and tells the frame at once.
    void HideBar();

private:
    void OnClose(wxCloseEvent& e);
    bool IsButtonId(int id) const;

    const CommandBarSpec& m_spec;
    Hooks m_hooks;
    wxSize m_client;
};

}  // namespace zrv
