#pragma once
// Saving what a window shows as a PNG file, for the test switch that asks
// the programs for a picture of their screen.

#include <string>

class wxBitmap;

namespace platform {

// Writes bitmap to the PNG file at utf8Path; false when it could not.
bool SaveScreenshot(const wxBitmap& bitmap, const std::string& utf8Path);

}  // namespace platform
