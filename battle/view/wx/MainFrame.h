#pragma once
// The battle program's main window: a plain frame whose client area is the
// map view's canvas. The canvas shows the view's off-screen buffer, hands
// size and scroll changes to the view, and paints only the rectangles the
// view marked dirty.

#include <wx/frame.h>
#include <wx/timer.h>

#include <functional>
#include <memory>

#include "battle/view/ZRKGameView.h"

namespace platform {
class SurfaceCanvas;
class SettingsStore;
}  // namespace platform

namespace zrv {

class MapCanvasWindow;

class CMainFrame : public wxFrame {
public:
    // Creates the view for doc (which must outlive the frame), reads its
    // profile values from settings, and runs its initial update; startup is
    // the start command run once the event loop runs.
    CMainFrame(CZRKGameDoc& doc, platform::SettingsStore* settings, std::function<void()> startup);
    ~CMainFrame() override;

    CZRKGameView& View() { return *m_view; }
    platform::SurfaceCanvas& Canvas() { return *m_canvas; }

private:
    void OnClose(wxCloseEvent& e);
    // Unattended runs: clicks the first information screen away, then closes.
    void OnUnattendedTick(wxTimerEvent& e);

    CZRKGameDoc& m_doc;
    std::unique_ptr<CZRKGameView> m_view;
    platform::SurfaceCanvas* m_canvas = nullptr;
    std::unique_ptr<MapCanvasWindow> m_window;
    wxTimer m_unattended;
    int m_nUnattendedTicks = 0;
};

// The battle program's main frame with the programs' settings store, not
// shown yet (the caller places it first); it belongs to wx (destroyed when
// closed).
CMainFrame* CreateBattleFrame(CZRKGameDoc& doc, std::function<void()> startup);
// The same, shown at once.
CMainFrame* OpenBattleFrame(CZRKGameDoc& doc, std::function<void()> startup);

}  // namespace zrv
