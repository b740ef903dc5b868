#pragma once
// Saving what a window shows as a PNG file, for the test switch that asks
// the programs for a picture of their screen.

#include <wx/bitmap.h>
#include <wx/gdicmn.h>

#include <string>

namespace platform {

// Writes bitmap to the PNG file at utf8Path; false when it could not.
bool SaveScreenshot(const wxBitmap& bitmap, const std::string& utf8Path);

// What the display shows now inside area (screen coordinates, cut to the
// screen), every window in it included: the floating tool windows above
// the frame as well. An invalid bitmap when nothing could be read.
wxBitmap GrabScreen(const wxRect& area);

}  // namespace platform
