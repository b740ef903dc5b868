#pragma once
// The animation wait under the window system: a nested event loop with a
// tick timer, so windows repaint and a close request arrives while a map
// animation waits, and no processor time is taken while nothing happens.
// The wait ends at the last tick, or at the first tick after a stop was
// asked for.
#include "battle/engine/GameTime.h"

namespace zrv {

class WxWaitService final : public WaitService {
public:
    bool WaitTicks(int ticks, unsigned periodMs) override;
};

}  // namespace zrv
