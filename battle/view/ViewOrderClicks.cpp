// The clicks that complete an order (a move's destination and its follow-up,
// merge, attack, unload, march, route construction, bombing) and the order
// steps the selection calls. Each order brings its own handler; until it
// stands, a click in its mode is ignored as a click outside the mode's
// candidates is, and the step does nothing.
#include "battle/view/ZRKGameView.h"

namespace zrv {

int CZRKGameView::ClickMoveDestination(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickMovePending(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickMergePartner(HEXINDEX)
{
    return 0;
}

int CZRKGameView::ClickAttackTarget(HEXINDEX)
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

void CZRKGameView::ExecuteJettison(UNITSTRUCT&, bool) {}

}  // namespace zrv
