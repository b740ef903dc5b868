#include "menu/wx/MovieWindows.h"

#include <wx/app.h>
#include <wx/cursor.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/timer.h>
#include <wx/utils.h>

namespace zrv {

namespace {

std::function<void(bool)>& CursorObserver()
{
    static std::function<void(bool)> observer;
    return observer;
}

}  // namespace

void SetCursorObserver(std::function<void(bool)> observer)
{
    CursorObserver() = std::move(observer);
}

void ShowProgramCursor(bool shown)
{
    ::wxSetCursor(shown ? wxNullCursor : wxCursor(wxCURSOR_BLANK));
    if (CursorObserver()) CursorObserver()(shown);
}

// --- the UI loop, one event at a time ------------------------------------------------------

WxEventPump::WxEventPump() = default;
WxEventPump::~WxEventPump() = default;

void WxEventPump::RunOnce()
{
    if (!m_loop) m_loop = std::make_unique<wxGUIEventLoop>();
    wxEventLoopActivator active(m_loop.get());
    // Posted calls (the movie device's notices among them) first, then one
    // event of the window system; without one, a short rest lets the timers
    // come due.
    if (wxTheApp) wxTheApp->ProcessPendingEvents();
    if (m_loop->Pending()) {
        m_loop->Dispatch();
    } else {
        wxMilliSleep(5);
        if (m_loop->Pending()) m_loop->Dispatch();
    }
}

// --- the title dialog's window -------------------------------------------------------------

WxTitleWindow::WxTitleWindow() = default;

WxTitleWindow::~WxTitleWindow()
{
    if (m_frame) {
        m_frame->Destroy();
        m_frame = nullptr;
    }
}

bool WxTitleWindow::Create()
{
    if (m_frame) return true;
    m_frame = new wxFrame(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(374, 188),
                          wxBORDER_NONE | wxFRAME_NO_TASKBAR);
    m_frame->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_frame->SetBackgroundColour(*wxBLACK);
    m_frame->SetCursor(wxCursor(wxCURSOR_BLANK));
    m_frame->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(m_frame);
        if (m_pDlg) m_pDlg->OnPaint();
        // Black whether or not the dialog asked: an exposed part must not
        // show what was under it.
        dc.SetBrush(*wxBLACK_BRUSH);
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawRectangle(m_frame->GetClientRect());
    });
    m_frame->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
        if (m_clickable && m_pDlg) m_pDlg->OnLButtonDown();
    });
    m_frame->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        // Cancel destroys the window.
        if (e.GetKeyCode() == WXK_ESCAPE && m_pDlg)
            m_pDlg->DestroyWindow();
        else
            e.Skip();
    });
    m_frame->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
        if (m_pDlg) m_pDlg->DestroyWindow();
    });
    return true;
}

void WxTitleWindow::Show()
{
    if (m_frame) m_frame->Show();
}

void WxTitleWindow::Maximize()
{
    if (!m_frame) return;
    int n = wxDisplay::GetFromWindow(m_frame);
    m_frame->SetSize(wxDisplay(n == wxNOT_FOUND ? 0u : static_cast<unsigned>(n)).GetGeometry());
}

void WxTitleWindow::Hide()
{
    if (m_frame) m_frame->Hide();
}

void WxTitleWindow::Destroy()
{
    if (m_timer) m_timer->Stop();
    m_timerId = 0;
    if (!m_frame) return;
    m_frame->Destroy();
    m_frame = nullptr;
}

void WxTitleWindow::Invalidate(bool now)
{
    if (!m_frame) return;
    m_frame->Refresh(false);
    if (now) m_frame->Update();
}

bool WxTitleWindow::StartTimer(int id)
{
    if (!m_frame) return false;
    if (!m_timer) {
        m_timer = std::make_unique<wxTimer>();
        m_timer->Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (m_pDlg && m_timerId != 0) m_pDlg->OnTimer(m_timerId);
        });
    }
    m_timerId = id;
    return m_timer->Start(50);
}

void WxTitleWindow::KillTimer(int id)
{
    if (m_timer && id == m_timerId) {
        m_timer->Stop();
        m_timerId = 0;
    }
}

int WxTitleWindow::FullScreenWidth() const
{
    return wxSystemSettings::GetMetric(wxSYS_SCREEN_X);
}

void WxTitleWindow::SetClickable(bool clickable)
{
    m_clickable = clickable;
    if (m_frame) m_frame->SetCursor(clickable ? wxNullCursor : wxCursor(wxCURSOR_BLANK));
}

// --- the full-screen mode ------------------------------------------------------------------

WxFullScreenHost::WxFullScreenHost(std::function<void(std::string)> postPlay)
    : m_postPlay(std::move(postPlay))
{
}

WxFullScreenHost::~WxFullScreenHost()
{
    ReleaseSurfaces();
}

bool WxFullScreenHost::CreateFullScreenSurfaces(int, int, int)
{
    // No display mode is switched: a black window covers the screen, and the
    // movie is shown in its largest centred 4:3 rectangle.
    if (m_backdrop) return true;
    m_messages.clear();
    m_backdrop = new wxFrame(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                             wxBORDER_NONE | wxFRAME_NO_TASKBAR);
    m_backdrop->SetBackgroundColour(*wxBLACK);
    m_backdrop->SetSize(wxDisplay(0u).GetGeometry());
    m_backdrop->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Post({MovieLoopMessage::Close}); });
    m_backdrop->Show();
    m_backdrop->Raise();
    // The keys and the focus of every window of the program: the movie's
    // window lies above the backdrop and has the keyboard.
    wxEvtHandler::AddFilter(this);
    m_filtering = true;
    return true;
}

int WxFullScreenHost::FilterEvent(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_CHAR_HOOK || type == wxEVT_KEY_DOWN) {
        if (static_cast<wxKeyEvent&>(event).GetKeyCode() != WXK_ESCAPE) return Event_Skip;
        Post({MovieLoopMessage::Abort});
        return Event_Processed;
    }
    if (type == wxEVT_ACTIVATE_APP) {
        const bool active = static_cast<wxActivateEvent&>(event).GetActive();
        Post({MovieLoopMessage::ActivateApp, active});
        if (!active && m_onDeactivate) {
            std::weak_ptr<int> alive = m_alive;
            wxTheApp->CallAfter([this, alive] {
                if (!alive.expired() && m_onDeactivate) m_onDeactivate();
            });
        }
    }
    return Event_Skip;
}

void WxFullScreenHost::ReleaseSurfaces()
{
    if (m_filtering) {
        wxEvtHandler::RemoveFilter(this);
        m_filtering = false;
    }
    if (!m_backdrop) return;
    m_backdrop->Destroy();
    m_backdrop = nullptr;
}

void WxFullScreenHost::ShowCursor(bool shown)
{
    if (m_backdrop) m_backdrop->SetCursor(shown ? wxNullCursor : wxCursor(wxCURSOR_BLANK));
    ShowProgramCursor(shown);
}

bool WxFullScreenHost::Wait(MovieLoopMessage& message, const std::function<bool()>& signalled)
{
    for (;;) {
        if (signalled()) return false;
        if (!m_messages.empty()) {
            message = m_messages.front();
            m_messages.pop_front();
            if (m_observer) m_observer(message);
            return true;
        }
        m_pump.RunOnce();
    }
}

void WxFullScreenHost::PostAbort()
{
    if (wxTheApp) wxTheApp->CallAfter([this] { Post({MovieLoopMessage::Abort}); });
}

}  // namespace zrv
