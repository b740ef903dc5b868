#pragma once
// Application glue shared by both programs: idle hook with re-entrancy guard,
// logging to stderr for unattended runs, and the test switch that ends the
// program after its first idle pass.

#include <wx/app.h>

#include <functional>
#include <string>

class wxTopLevelWindow;

namespace platform {

class App : public wxApp {
public:
    // Called once per idle event; returns true while it wants more idle time.
    using IdleHook = std::function<bool()>;

    bool OnInit() override;
    void SetIdleHook(IdleHook hook) { m_idleHook = std::move(hook); }

    // True when the environment asks the program to exit after its first idle
    // pass (VELMORATH_EXIT_AFTER_IDLE=1); used by the smoke tests.
    static bool ExitAfterFirstIdle();
    // True when nobody is there to answer a box: the run exits after its first
    // idle pass or logs to stderr (VELMORATH_LOG_STDERR=1).
    static bool Unattended();

    // Carries out a request of the other program on the UI thread: "close"
    // closes frame as its close box would, "raise" restores it and brings it
    // forward as far as the window manager allows. Null frame: nothing.
    static void ApplyPeerRequest(wxTopLevelWindow* frame, const std::string& request);

protected:
    // SIGTERM or SIGINT arrived (on the UI thread): closes the top window as
    // the window manager's close box would, or ends the loop without one.
    virtual void OnCloseSignal();

private:
    void OnIdle(wxIdleEvent& event);

    IdleHook m_idleHook;
    bool m_inIdle = false;
    bool m_exitRequested = false;
};

}  // namespace platform
