#pragma once
// The battle program's main window: the map view's canvas above the status
// strip's 86-pixel pane, the menu bar and keys built from the menu table,
// the toolbar, the status bar with its clock, and the five floating command
// bars. Every command goes through the view's one router. Closing takes two
// steps: the first request only marks the view, and the idle pass closes the
// frame once no step of the game runs.

#include <wx/frame.h>
#include <wx/timer.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "battle/view/wx/WxWaitService.h"
#include "battle/view/MainFrameLogic.h"
#include "battle/view/ZRKGameView.h"

namespace platform {
class SurfaceCanvas;
class SettingsStore;
}  // namespace platform

namespace zrv {

class MapCanvasWindow;
class CommandBar;
class CSWndView;

class CMainFrame : public wxFrame, public ViewFrameSink {
public:
    // Creates the view for doc (which must outlive the frame), reads its
    // profile values from settings, and runs its initial update; startup is
    // the start command run once the event loop runs.
    CMainFrame(CZRKGameDoc& doc, platform::SettingsStore* settings, std::function<void()> startup);
    ~CMainFrame() override;

    CZRKGameView& View() { return *m_view; }
    platform::SurfaceCanvas& Canvas() { return *m_canvas; }
    // The lower pane, where the status strip draws.
    wxWindow& StatusPane() { return *m_statusPane; }
    // The bar with control id, or null.
    CommandBar* FindBar(int controlId) const;

    // "%2d:%02d" of the local time into the status bar's clock pane.
    void UpdateClock();
    // Whether the idle pass should close the frame now (the view asked).
    bool WantsClose() const;

    // --- ViewFrameSink ----------------------------------------------------------
    void SendCommand(int id) override;
    void ShowContextMenu(PointI client, const std::vector<int>& greyed) override;
    void EnableViewAndFrame(bool enable) override;
    void SetCaption(const std::string& caption) override;
    void RemoveMenuCommand(int id) override;
    void ActivateMainWindow() override;

private:
    void BuildMenuBar();
    // The recent files' entries of the File menu, after the save item.
    void RefreshRecentFileMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildCommandBars();
    void RegisterFrameCommands();
    void BindMouseAndKeys();
    void LayoutPanes();
    void ToggleCommandBar(CommandBar& bar);
    void CatchCommandBar(CommandBar& bar);
    // The bar-closed notice of a hidden bar.
    void OnBarHidden(const CommandBarSpec& bar);

    void OnClose(wxCloseEvent& e);
    void OnSize(wxSizeEvent& e);
    void OnPlacement();
    void OnCommand(wxCommandEvent& e);
    void OnUpdateCommand(wxUpdateUIEvent& e);
    void OnGameExit();
    void OnHelpFinder();
    void OnAppAbout();
    // Unattended runs: clicks the first information screen away, then closes.
    void OnUnattendedTick(wxTimerEvent& e);
    // Tests that drive the window with real input read what it shows from a
    // report (VELMORATH_FRAME_STATE=<file>), written again whenever it
    // changes.
    void WriteStateReport();
    std::string StateReport() const;

    CZRKGameDoc& m_doc;
    std::unique_ptr<CZRKGameView> m_view;
    platform::SurfaceCanvas* m_canvas = nullptr;
    wxWindow* m_statusPane = nullptr;
    std::unique_ptr<CSWndView> m_strip;
    std::unique_ptr<MapCanvasWindow> m_window;
    std::unique_ptr<OverviewWindowMaker> m_overview;
    std::vector<CommandBar*> m_bars;
    std::vector<int> m_checkIds;
    std::vector<wxMenuItem*> m_recentItems;
    wxTimer m_clock;
    // The map animations wait in the event loop.
    WxWaitService m_wait;
    MinimisedMusic m_music;
    PressFilter m_presses;
    wxTimer m_unattended;
    int m_nUnattendedTicks = 0;
    wxTimer m_report;
    std::string m_reportPath;
    std::string m_lastReport;
    // The map's context menu is up (the report names its greyed commands).
    bool m_bContextMenuUp = false;
    std::vector<int> m_contextGreyed;
    // The frame is on its way out (destroyed at the next idle time).
    bool m_bClosing = false;
};

// The battle program's main frame with the programs' settings store, not
// shown yet (the caller places it first); it belongs to wx (destroyed when
// closed).
CMainFrame* CreateBattleFrame(CZRKGameDoc& doc, std::function<void()> startup);
// The same, shown at once.
CMainFrame* OpenBattleFrame(CZRKGameDoc& doc, std::function<void()> startup);

}  // namespace zrv
