#include "platform/wx/App.h"

#include "platform/wx/CloseSignals.h"

#include <cstdlib>
#include <cstring>

#include <wx/log.h>
#include <wx/toplevel.h>
#include <wx/window.h>

namespace platform {

bool App::ExitAfterFirstIdle()
{
    const char* v = std::getenv("VELMORATH_EXIT_AFTER_IDLE");
    return v != nullptr && std::strcmp(v, "1") == 0;
}

void App::ApplyPeerRequest(wxTopLevelWindow* frame, const std::string& request)
{
    if (!frame) return;
    if (request == "close") {
        frame->Close(true);
    } else if (request == "raise") {
        if (frame->IsIconized()) frame->Iconize(false);
        frame->Raise();
    }
}

bool App::Unattended()
{
    const char* log = std::getenv("VELMORATH_LOG_STDERR");
    return ExitAfterFirstIdle() || (log != nullptr && std::strcmp(log, "1") == 0);
}

bool App::OnInit()
{
    // An unattended run must never block on a hidden log box.
    if (Unattended()) {
        delete wxLog::SetActiveTarget(new wxLogStderr);
    }
    Bind(wxEVT_IDLE, &App::OnIdle, this);
    RouteCloseSignals([this] { OnCloseSignal(); });
    return true;
}

void App::OnCloseSignal()
{
    if (wxWindow* top = GetTopWindow()) {
        top->Close();
    } else {
        ExitMainLoop();
    }
}

void App::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    // wx also sends idle events from nested loops and modal dialogs; the hook
    // must never run inside itself.
    if (m_inIdle) return;
    m_inIdle = true;
    bool more = m_idleHook ? m_idleHook() : false;
    m_inIdle = false;
    if (more) event.RequestMore();

    if (ExitAfterFirstIdle() && !m_exitRequested) {
        m_exitRequested = true;
        if (wxWindow* top = GetTopWindow()) {
            top->Close(true);
        } else {
            ExitMainLoop();
        }
    }
}

}  // namespace platform
