#include "foundation/GfxSettings.h"

namespace zrv {
namespace {
ProgramVariant g_variant = ProgramVariant::Battle;
// A light grey until the desktop tells us its own.
COLORREF g_buttonFace = RGB(212, 208, 200);
}  // namespace

ProgramVariant GetProgramVariant() { return g_variant; }
void SetProgramVariant(ProgramVariant v) { g_variant = v; }
COLORREF GetButtonFaceColor() { return g_buttonFace; }
void SetButtonFaceColor(COLORREF c) { g_buttonFace = c; }

}  // namespace zrv
