// The overview map window of the view: its command, its opening and closing
// and what the main map tells it.
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameFlow.h"
#include "battle/view/ZRKGameView.h"

namespace zrv {

namespace {

constexpr int kCmdSmallMap = 32777;  // 縮小マップ

}  // namespace

void CZRKGameView::RegisterOverviewCommand()
{
    const auto humanCountry = [this] {
        return m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryCpu) == 0;
    };
    m_commands.Add(kCmdSmallMap, {humanCountry, [this] { return (m_dwDispOption & kDispOverviewOpen) != 0; },
                                  [this, humanCountry] {
                                      if (!humanCountry()) return;
                                      // The country remembers whether its player closed the
                                      // window; its phases open it again unless so.
                                      if (m_dwDispOption & kDispOverviewOpen) {
                                          CloseSmallMap();
                                          m_pCurCountry->dwViewOption |= kViewOverviewClosed;
                                      } else {
                                          if (!m_pSMapWnd->HasWindow()) OpenSmallMap();
                                          m_pCurCountry->dwViewOption &= ~kViewOverviewClosed;
                                      }
                                  }});
}

void CZRKGameView::OpenSmallMap()
{
    if (m_dwDispOption & kDispOverviewOpen) return;
    m_pSMapWnd->Create();
    ActivateMainWindow();
}

void CZRKGameView::CloseSmallMap()
{
    if ((m_dwDispOption & kDispOverviewOpen) == 0) return;
    m_pSMapWnd->DestroyWindow();
}

void CZRKGameView::ActivateMainWindow()
{
    if (m_pFrame != nullptr) m_pFrame->ActivateMainWindow();
}

void CZRKGameView::InvalidateSmallMap()
{
    if (m_dwDispOption & kDispOverviewOpen) m_pSMapWnd->Invalidate();
}

}  // namespace zrv
