#pragma once
// The production (生産) and deployment (配置) windows: modeless, one open at
// a time, each a tabbed sheet with a page per unit kind above "取り消し" and
// "終了". The models do the work; these windows show them and pass on the
// player's clicks. They open at the pointer until one has been closed, then
// where the last one was left.

#include <array>
#include <memory>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/PlacementView.h"

class wxWindow;

namespace zrv {

class PlacementWindow;

class PlacementWindows {
public:
    // owner: the main window; doc, view and pictures outlive the windows.
    PlacementWindows(wxWindow* owner, CZRKGameDoc& doc, PlacementView& view, const DialogView* pictures);
    ~PlacementWindows();

    // Creates and shows the window, or brings it forward; false when it
    // could not be made.
    bool Open(bool deployment);
    // Destroys the window (its close-down runs); nothing when it is closed.
    void Close(bool deployment);
    bool IsOpen(bool deployment) const;
    // The view placed a unit at hex.
    void UnitPlaced(bool deployment, HEXINDEX hex);
    // The producible types changed (the production window only).
    void TypesChanged(int retired, int added);
    void CloseAll();

private:
    wxWindow* m_owner;
    CZRKGameDoc& m_doc;
    PlacementView& m_view;
    const DialogView* m_pictures;
    // Shared with the windows' destroy handlers, which may run after this
    // object has gone.
    std::shared_ptr<std::array<PlacementWindow*, 2>> m_windows =
        std::make_shared<std::array<PlacementWindow*, 2>>();
};

}  // namespace zrv
