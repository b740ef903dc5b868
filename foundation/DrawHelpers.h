#pragma once
// Drawing helpers on 8-bit pictures: a drawing context (picture, selected
// font, text colour) standing where a device context stood, coloured text, the
// gothic font maker and the gauge bar.

#include <memory>
#include <string_view>

#include "foundation/Dib.h"
#include "foundation/GfxSettings.h"
#include "platform/gfx/Font8.h"
#include "platform/gfx/Surface8.h"

namespace zrv {

// What text drawing needs of a device context: where the pixels are, which
// font is selected and which colour text takes. Text lands in the palette
// index nearest to the colour.
struct DrawContext {
    platform::Surface8 surface;
    const platform::Font* font = nullptr;
    COLORREF textColor = RGB(0, 0, 0);

    const platform::Font* SelectFont(const platform::Font* f)
    {
        const platform::Font* old = font;
        font = f;
        return old;
    }
    COLORREF SetTextColor(COLORREF c)
    {
        COLORREF old = textColor;
        textColor = c;
        return old;
    }
    // Draws text (CP932) with the top of its cell at (x, y); nothing without a font.
    void TextOut(int x, int y, std::string_view text);
};

// Text in the colour of code 1-8 (yellow, red, blue, green, white, grey, dark
// red, dark blue), the previous colour restored afterwards; any other code
// draws in the current colour.
void DrawColorText(DrawContext* dc, int x, int y, std::string_view text, int colorCode);
// The colour of a code, or the current colour for codes outside 1-8.
COLORREF ColorOfCode(int colorCode, COLORREF current);

// The face every fixed-pitch text of the game uses.
inline constexpr const char* kGothicFace = "ＭＳ ゴシック";

// A fixed-pitch Shift-JIS font of that height and weight in face (null: the
// gothic face). False with *out null when it cannot be made.
bool CreateGothicFont(std::unique_ptr<platform::Font>* out, int height, int weight, const char* face);

// A gauge of value (0-250) x 100 / 250 columns, each 10 pixels painted upward
// from (x + column, y) in the repeating pattern of indexes 22, 14 and 10.
void DrawGaugeBar(CDib* dib, int value, int x, int y);

}  // namespace zrv
