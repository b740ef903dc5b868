// The timed wait of the map animations: view timer 1 counts ticks down while
// the wait service keeps the event loop running, and a close request cuts
// the wait short.
#include "battle/view/ZRKGameView.h"

namespace zrv {

namespace {
constexpr uint32_t kViewTickPending = 0x00000008u;
constexpr int kWaitTimerSlot = 1;
constexpr uint32_t kWaitTimerId = 1;
}  // namespace

void CZRKGameView::SetWaitService(WaitService* wait)
{
    if (m_pWait != nullptr) m_pWait->SetStopTest(nullptr);
    m_pWait = wait != nullptr ? wait : &m_instantWait;
    m_pWait->SetStopTest([this] { return (m_dwState & kViewCloseRequested) != 0; });
}

int CZRKGameView::StartWaitTimer(int ticks, unsigned periodMs)
{
    m_dwState &= ~kViewTickPending;
    m_nViewTimer[kWaitTimerSlot] = kWaitTimerId;
    m_nWaitTicks = ticks;
    m_nWaitPeriod = periodMs;
    m_dwState |= kViewTickPending;
    return 1;
}

int CZRKGameView::WaitPump()
{
    if ((m_dwState & kViewTickPending) == 0) return 0;
    if ((m_dwState & kViewCloseRequested) == 0) {
        // The service blocks in the event loop until the ticks have run;
        // each of them is the timer's tick.
        const bool cut = m_pWait->WaitTicks(m_nWaitTicks, m_nWaitPeriod);
        if (!cut && (m_dwState & kViewCloseRequested) == 0) {
            while ((m_dwState & kViewTickPending) != 0) OnTimer(static_cast<int>(kWaitTimerId));
            return 0;
        }
    }
    KillViewTimers();
    m_dwState &= ~(kViewCloseRequested | kViewBusy | kViewTickPending);
    return 1;
}

void CZRKGameView::KillViewTimers()
{
    m_nViewTimer.fill(0);
    m_nWaitTicks = 0;
}

void CZRKGameView::OnTimer(int id)
{
    if (id != static_cast<int>(kWaitTimerId)) return;
    if (--m_nWaitTicks <= 0) {
        m_nViewTimer[kWaitTimerSlot] = 0;
        m_nWaitTicks = 0;
        m_dwState &= ~kViewTickPending;
    }
}

}  // namespace zrv
