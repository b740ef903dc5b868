#pragma once
// The menu program's main frame: a fixed 640 x 480 window without a caption,
// centred on the screen, with the trimmed menu bar, the two keys (Ctrl+O and
// F1), a toolbar and a status bar that are made and stay hidden, and the
// canvas that shows the menu view's picture and takes its pointer input.

#include <functional>
#include <memory>
#include <string>

#include <wx/frame.h>

#include "menu/MenuSeams.h"

namespace platform {
class SurfaceCanvas;
}

namespace zrv {
class CZRKMenuApp;
class FullScreenMovieMode;
class WxFullScreenHost;
}  // namespace zrv

namespace zrv::menu {

// The frame's place on a screen of screenW x screenH: centred, never at a
// negative position.
wxPoint FramePosition(int screenW, int screenH);

class CMainFrame : public wxFrame {
public:
    explicit CMainFrame(CZRKMenuApp& app);
    ~CMainFrame() override;

    // While locked (scenes run) the window can be neither closed nor moved
    // through its frame.
    void SetMenuLock(bool locked) { m_bMenuLock = locked; }
    // Told of a close request refused while locked (a scene then ends).
    void SetLockedCloseHook(std::function<void()> hook) { m_lockedClose = std::move(hook); }
    bool MenuLocked() const { return m_bMenuLock; }

    // The full-screen movie player's three calls: set up the mode and start
    // the play of file (a CP932 path) once the call has returned, play it to
    // its end and end the mode, and end a movie that plays.
    void MovieFullScreen(const std::string& file);
    void MoviePlayFullScreen(const std::string& file);
    void MovieAbort();
    bool MoviePlaying() const;
    // A full-screen movie has been started on the movie device and runs.
    bool MovieShowing() const;

    platform::SurfaceCanvas& Canvas() { return *m_canvas; }
    // Saves what the canvas shows as a PNG; false when it could not.
    bool SaveScreenshot(const std::string& utf8Path) const;

private:
    void BuildMenuBar();
    void OnCommand(wxCommandEvent& e);
    void OnUpdateCommand(wxUpdateUIEvent& e);
    void OnClose(wxCloseEvent& e);

    CZRKMenuApp& m_app;
    platform::SurfaceCanvas* m_canvas = nullptr;
    bool m_bMenuLock = false;
    std::function<void()> m_lockedClose;
    std::unique_ptr<WxFullScreenHost> m_movieHost;
    std::unique_ptr<FullScreenMovieMode> m_movieMode;
};

}  // namespace zrv::menu
