#pragma once
// The wx side of the menu's movies: the title dialog's window (captionless,
// maximised, black, no mouse until it is clickable), the UI loop the view's
// routines run one event at a time, and the full-screen mode's black
// backdrop with its loop (a close request and Esc end the movie; losing the
// focus pauses it).

#include <deque>
#include <functional>
#include <memory>

#include <wx/eventfilter.h>

#include "menu/FullScreenMovie.h"
#include "menu/TitleMovie.h"

class wxFrame;
class wxTimer;
class wxGUIEventLoop;

namespace zrv {

// Shows or hides the pointer over every window of the program; observer (may
// be empty) is told of each change.
void ShowProgramCursor(bool shown);
void SetCursorObserver(std::function<void(bool)> observer);

class WxEventPump : public EventPump {
public:
    WxEventPump();
    ~WxEventPump() override;
    void RunOnce() override;

private:
    std::unique_ptr<wxGUIEventLoop> m_loop;
};

class WxTitleWindow : public TitleWindow {
public:
    WxTitleWindow();
    ~WxTitleWindow() override;
    void SetDialog(CTitleDlg* dialog) override { m_pDlg = dialog; }

    bool Create() override;
    bool Exists() const override { return m_frame != nullptr; }
    void Show() override;
    void Maximize() override;
    void Hide() override;
    void Destroy() override;
    void Invalidate(bool now) override;
    bool StartTimer(int id) override;
    void KillTimer(int id) override;
    int FullScreenWidth() const override;
    void SetClickable(bool clickable) override;
    wxFrame* Frame() { return m_frame; }

private:
    CTitleDlg* m_pDlg = nullptr;
    wxFrame* m_frame = nullptr;
    std::unique_ptr<wxTimer> m_timer;
    int m_timerId = 0;
    bool m_clickable = false;
};

// The frame's full-screen mode on wx: the backdrop is a black window over
// the whole screen; the movie device shows the movie above it. While the
// backdrop stands, Esc in any of the program's windows (the movie's own
// window has the keyboard) and the program losing or getting the focus go to
// the movie's loop.
class WxFullScreenHost : public FullScreenHost, public MovieLoop, private wxEventFilter {
public:
    explicit WxFullScreenHost(std::function<void(std::string)> postPlay);
    ~WxFullScreenHost() override;

    bool CreateFullScreenSurfaces(int width, int height, int bitsPerPixel) override;
    bool SurfacesAlive() override { return m_backdrop != nullptr; }
    void ReleaseSurfaces() override;
    void ShowCursor(bool shown) override;
    void PostPlay(std::string path) override { m_postPlay(std::move(path)); }
    MovieLoop& Loop() override { return *this; }

    bool Wait(MovieLoopMessage& message, const std::function<bool()>& signalled) override;
    void Dispatch(const MovieLoopMessage&) override {}
    void PostAbort() override;
    // A message for the movie's loop (the frame's close request, Esc, focus).
    void Post(const MovieLoopMessage& message) { m_messages.push_back(message); }
    // Told when the program lost the focus while the backdrop stands.
    void SetDeactivateHook(std::function<void()> hook) { m_onDeactivate = std::move(hook); }
    // Told of each message the movie's loop takes (may be empty).
    void SetMessageObserver(std::function<void(const MovieLoopMessage&)> observer)
    {
        m_observer = std::move(observer);
    }

private:
    int FilterEvent(wxEvent& event) override;

    std::function<void()> m_onDeactivate;
    std::function<void(const MovieLoopMessage&)> m_observer;
    bool m_filtering = false;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    std::function<void(std::string)> m_postPlay;
    wxFrame* m_backdrop = nullptr;
    std::deque<MovieLoopMessage> m_messages;
    WxEventPump m_pump;
};

}  // namespace zrv
