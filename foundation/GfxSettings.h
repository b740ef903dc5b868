#pragma once
// Settings of the picture classes that differ between the two programs or come
// from the desktop: which program is running (static palette colours, buffer
// sizes, text blocks) and the dialog button-face colour.

#include <cstdint>

namespace zrv {

// The two programs share the picture classes; a few of their operations take a
// different form in each.
enum class ProgramVariant { Battle, Menu };

ProgramVariant GetProgramVariant();
void SetProgramVariant(ProgramVariant v);

// A colour as 0x00BBGGRR.
using COLORREF = uint32_t;
constexpr COLORREF RGB(int r, int g, int b)
{
    return COLORREF(r & 0xFF) | COLORREF(g & 0xFF) << 8 | COLORREF(b & 0xFF) << 16;
}
constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }

// The face colour of dialog buttons; the wx side sets the desktop's.
COLORREF GetButtonFaceColor();
void SetButtonFaceColor(COLORREF c);

}  // namespace zrv
