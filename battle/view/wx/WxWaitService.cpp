#include "battle/view/wx/WxWaitService.h"

#include <wx/evtloop.h>
#include <wx/utils.h>

#include <chrono>

namespace zrv {

bool WxWaitService::WaitTicks(int ticks, unsigned periodMs)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(std::max(0, ticks)) * periodMs);
    for (;;) {
        if (StopRequested()) return true;
        const auto now = Clock::now();
        if (now >= end) return false;
        const int left =
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count()) + 1;
        wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        if (loop == nullptr) {
            wxMilliSleep(static_cast<unsigned long>(left));
            continue;
        }
        // Sleeps until an event comes or the tick is due; a loop that is
        // ending ends the wait.
        if (loop->DispatchTimeout(static_cast<unsigned long>(left)) < 0) return true;
    }
}

}  // namespace zrv
