#pragma once
// The animation wait under the window system: it blocks in the running
// event loop until the last tick is due, so windows repaint and a close
// request arrives while a map animation waits, and it takes no processor
// time while nothing happens.
#include "battle/engine/GameTime.h"

namespace zrv {

class WxWaitService final : public WaitService {
public:
    bool WaitTicks(int ticks, unsigned periodMs) override;
};

}  // namespace zrv
