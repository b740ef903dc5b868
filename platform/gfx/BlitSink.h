#pragma once
// Where an off-screen picture goes when it is shown: the window side (a canvas
// that converts pixels through the colour table) or a recorder in tests.

#include "platform/gfx/Surface8.h"

namespace platform {

class BlitSink {
public:
    virtual ~BlitSink() = default;
    // Shows the window rectangle dst with the pixels of src starting at
    // (sx, sy), converted through src's colour table. dst is already cut to
    // the window; src pixels outside src show as black.
    virtual void Blit(const Surface8& src, const Rect& dst, int sx, int sy) = 0;
    // The colour table of the shown picture changed: everything on screen
    // must be painted again with the new colours.
    virtual void ColorsChanged() {}
};

}  // namespace platform
