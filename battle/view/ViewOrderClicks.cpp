// The clicks that complete an order (merge, unload, march, route
// construction, bombing; the move and the attack are ViewMoveClicks.cpp's).
// Each order brings its own handler; until it stands, a click in its mode is
// ignored as a click outside the mode's candidates is.
#include "battle/view/ZRKGameView.h"

namespace zrv {

int CZRKGameView::ClickMergePartner(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickUnload(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickMarchTarget(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickRouteSite(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickBombingTarget(HEXINDEX)
{
    return 0;
}

void CZRKGameView::ClickPlacement(HEXINDEX) {}

}  // namespace zrv
