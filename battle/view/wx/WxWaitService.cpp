#include "battle/view/wx/WxWaitService.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/utils.h>

namespace zrv {

namespace {

// Counts the wait's ticks and ends its loop at the last one, or at the
// first tick that finds a stop asked for.
class TickTimer final : public wxTimer {
public:
    TickTimer(wxEventLoopBase& loop, int ticks, const std::function<bool()>& stop)
        : m_loop(loop), m_left(ticks), m_stop(stop)
    {
    }
    void Notify() override
    {
        if (m_stop()) {
            m_stopped = true;
            m_loop.Exit(0);
        } else if (--m_left <= 0) {
            m_loop.Exit(0);
        }
    }
    bool Stopped() const { return m_stopped; }

private:
    wxEventLoopBase& m_loop;
    int m_left;
    std::function<bool()> m_stop;
    bool m_stopped = false;
};

}  // namespace

bool WxWaitService::WaitTicks(int ticks, unsigned periodMs)
{
    if (StopRequested()) return true;
    if (ticks <= 0) return false;
    if (wxTheApp == nullptr || wxEventLoopBase::GetActive() == nullptr) {
        // No loop runs yet: nothing could ask for a stop meanwhile.
        wxMilliSleep(static_cast<unsigned long>(ticks) * periodMs);
        return StopRequested();
    }
    // A loop of its own: it sleeps in the event loop until the timer's tick
    // and runs every event that comes meanwhile.
    wxGUIEventLoop loop;
    TickTimer timer(loop, ticks, [this] { return StopRequested(); });
    timer.Start(static_cast<int>(periodMs));
    loop.Run();
    timer.Stop();
    return timer.Stopped() || StopRequested();
}

}  // namespace zrv
