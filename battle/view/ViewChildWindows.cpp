// The view's tool windows: the performance windows, the unit list, the
// tables and the progress window, each reached through the tool hub and
// left alone while it is closed.
#include "battle/view/ZRKGameView.h"

namespace zrv {

int CZRKGameView::OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport)
{
    (void)unit, (void)arms, (void)country, (void)bReport;
    return 1;
}

}  // namespace zrv
