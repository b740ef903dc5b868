// The commands that choose the map: the view map or the HQ map for the
// player, and the map the computer's turns are shown on.
#include <cstdint>

#include "battle/engine/GameDoc.h"
#include "battle/view/BattleMenu.h"
#include "battle/view/ZRKGameView.h"

namespace zrv {

namespace {

// Bits 0-1 of the view's display word and of each country's view word: the
// computer's turns on the HQ map (bit 1), drawn fast (bit 0).
constexpr uint32_t kCpuMapFast = 0x1u;
constexpr uint32_t kCpuMapHq = 0x2u;

}  // namespace

void CZRKGameView::RegisterMapCommands()
{
    CommandRouter& r = m_commands;
    auto cpuCountry = [this] { return m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryCpu) != 0; };
    auto cpuBits = [this] { return m_dwDispOption & (kCpuMapFast | kCpuMapHq); };

    r.Add(kCmdOldHqView, {[this, cpuCountry] {
                              return cpuCountry() ||
                                     ((m_dwState & kViewHumanPhase) != 0 && m_nCmdMode == kModeChooseUnit);
                          },
                          nullptr, [this, cpuCountry] {
                              if (cpuCountry()) {
                                  if (m_dwDispOption & kDispHqMap)
                                      ShowCpuTurnMap(false, false);
                                  else
                                      ShowCpuTurnMap(true, true);
                                  return;
                              }
                              ShowHqMap((m_dwDispOption & kDispHqMap) == 0);
                          }});
    r.Add(kCmdViewMap, {nullptr, [this] { return (m_dwDispOption & kDispHqMap) == 0; }, [this] {
                            if (m_dwDispOption & kDispHqMap) ShowHqMap(false);
                        }});
    r.Add(kCmdHqMap, {nullptr, [this] { return (m_dwDispOption & kDispHqMap) != 0; }, [this] {
                          if ((m_dwDispOption & kDispHqMap) == 0) ShowHqMap(true);
                      }});
    r.Add(kCmdCpuHqMap, {nullptr, [cpuBits] { return cpuBits() == kCpuMapHq; },
                         [this] { ShowCpuTurnMap(true, false); }});
    r.Add(kCmdCpuHqMapFast, {nullptr, [cpuBits] { return cpuBits() == (kCpuMapHq | kCpuMapFast); },
                             [this] { ShowCpuTurnMap(true, true); }});
    r.Add(kCmdCpuViewMap, {nullptr, [this] { return (m_dwDispOption & kCpuMapHq) == 0; },
                           [this] { ShowCpuTurnMap(false, false); }});
}

void CZRKGameView::ShowHqMap(bool hq)
{
    if (hq) {
        // Where the view map was left, for its return.
        if ((m_dwDispOption & kDispHqMap) == 0) m_ptViewMapScroll = GetScrollPosition();
        m_dwDispOption |= kDispHqMap;
    } else {
        m_dwDispOption &= ~kDispHqMap;
        m_ptPendingScroll = m_ptViewMapScroll;
        m_dwState |= kViewPendingScroll;
    }
    RecalcMapExtent(true);
}

void CZRKGameView::ShowCpuTurnMap(bool hq, bool fast)
{
    const auto apply = [hq, fast](uint32_t& word) {
        if (hq)
            word |= kCpuMapHq;
        else
            word &= ~kCpuMapHq;
        if (hq && fast)
            word |= kCpuMapFast;
        else if (hq)
            word &= ~kCpuMapFast;
    };
    apply(m_dwDispOption);
    if (m_pDoc == nullptr) return;
    // From the current country on, wrapping after the eighth record; a
    // multi-play game stops at the next country a player runs.
    COUNTRYSTRUCT* countries = m_pDoc->m_GameData.Country;
    const COUNTRYSTRUCT* current = m_pDoc->m_pCurCountry;
    const int first = current != nullptr && current >= countries && current < countries + kCountryCount
                          ? static_cast<int>(current - countries)
                          : 0;
    bool firstVisited = true;
    for (int n = 0; n < kCountryCount; ++n) {
        COUNTRYSTRUCT& c = countries[(first + n) % kCountryCount];
        if ((c.dwFlag & kCountryPresent) == 0) continue;
        if (!firstVisited && c.nControl == 0 && (m_pDoc->m_dwGameOption & kOptMultiPlay) != 0) break;
        firstVisited = false;
        apply(c.dwViewOption);
    }
    if (m_pCurCountry == nullptr || (m_pCurCountry->dwFlag & kCountryCpu) == 0) return;
    m_pDoc->UpdateViewingCountry(true, !hq);
    if (hq)
        OpenProgressWindow();
    else
        CloseProgressWindow();
}

}  // namespace zrv
