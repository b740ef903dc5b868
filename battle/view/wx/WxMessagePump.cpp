#include "battle/view/wx/WxMessagePump.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

namespace zrv {

namespace {

class TurnTimer final : public wxTimer {
public:
    explicit TurnTimer(wxEventLoopBase& loop) : m_loop(loop) {}
    void Notify() override { m_loop.Exit(0); }

private:
    wxEventLoopBase& m_loop;
};

}  // namespace

bool PumpEventsOnce(int turnMs)
{
    if (wxTheApp == nullptr || wxEventLoopBase::GetActive() == nullptr) return false;
    wxGUIEventLoop loop;
    TurnTimer timer(loop);
    timer.StartOnce(turnMs);
    loop.Run();
    timer.Stop();
    return wxEventLoopBase::GetActive() != nullptr;
}

}  // namespace zrv
