#pragma once
// Drawing helpers on 8-bit pictures: a drawing context (picture, selected
// font, text colour) standing where a device context stood, coloured text, the
// gothic font maker, the gauge bar, and the off-screen pictures of painted
// dialogs with the unit pictures and army marks drawn into them. Both
// programs draw their cards with these; each view passes its own colours and
// pictures.

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

// An off-screen picture of width x height with colorTable (256 entries) and
// a drawing context on it (no font selected, black text). False, with
// *picture null and *dc empty, when either cannot be made (no colours, a size
// of 0).
bool CreatePictureDC(const RgbQuad* colorTable, int width, int height, std::unique_ptr<CDib>* picture,
                     DrawContext* dc);

// The pictures unit pictures are drawn from: the unit picture store
// ("unit2.pxs", 56-pixel-wide sprites placed by the library's
// UnitGraphicsOffset) and the unit marks ("unitmark.pxs", 7 x 9 digits
// stacked from its top). Either may be null.
struct UnitPictures {
    CDib* units = nullptr;
    CDib* digits = nullptr;
};
// Copies the picture of armsType's picture number to (x, y + its vertical
// offset) of picture, index 0 transparent and indexes above 25 moved by
// side x 9 (the side's colours); a strength >= 0 adds its digits at y + 19:
// the tens at x + 44 when not 0, the units at x + 49 (99 at most). An unknown
// type or picture draws no sprite.
void DrawUnitPicture(CDib* picture, const UnitPictures& from, int armsType, int side, int x, int y, int strength);

// The pictures army marks come from: the view's mark picture (16 bands: the
// plain marks of countries 0-7, then the national flag of each country of
// the battle) and the flag picture ("flags.pxs", 42 bands: 8 plain marks,
// then the flag of each flag id). flagMarking is the view's "flags instead
// of marks" display option.
struct FlagPictures {
    CDib* marks = nullptr;
    CDib* flags = nullptr;
    bool flagMarking = false;
};
inline constexpr int kFlagMarkW = 21, kFlagMarkH = 16;
// Draws the 21 x 16 army mark of country (0-7) at (x, y) of picture, index 0
// transparent: its plain mark; with flag marking or forceFlag the flag of
// flagId, or for a negative flagId the country's own flag. A band outside
// its picture draws nothing.
void DrawFlagMark(CDib* picture, const FlagPictures& from, int country, int x, int y, int flagId, bool forceFlag);

}  // namespace zrv
