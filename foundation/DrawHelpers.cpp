#include "foundation/DrawHelpers.h"

#include <algorithm>

namespace zrv {

void DrawContext::TextOut(int x, int y, std::string_view text)
{
    if (font == nullptr || !surface.IsValid()) return;
    font->DrawText(surface, x, y, text, platform::Rgb{uint8_t(GetRValue(textColor)), uint8_t(GetGValue(textColor)),
                                                       uint8_t(GetBValue(textColor))});
}

COLORREF ColorOfCode(int colorCode, COLORREF current)
{
    // Channels of 254 rather than 255 keep the text off the static white.
    static constexpr COLORREF kColors[9] = {
        0,
        RGB(254, 254, 0),
        RGB(254, 0, 0),
        RGB(0, 0, 254),
        RGB(0, 254, 0),
        RGB(254, 254, 254),
        RGB(191, 191, 191),
        RGB(127, 0, 0),
        RGB(0, 0, 127),
    };
    if (colorCode < 1 || colorCode > 8) return current;
    return kColors[colorCode];
}

void DrawColorText(DrawContext* dc, int x, int y, std::string_view text, int colorCode)
{
    if (dc == nullptr) return;
    if (colorCode < 1 || colorCode > 8) {
        dc->TextOut(x, y, text);
        return;
    }
    COLORREF old = dc->SetTextColor(ColorOfCode(colorCode, dc->textColor));
    dc->TextOut(x, y, text);
    dc->SetTextColor(old);
}

bool CreateGothicFont(std::unique_ptr<platform::Font>* out, int height, int weight, const char* face)
{
    if (out == nullptr) return false;
    *out = platform::Font::Create(height, weight, face != nullptr ? face : kGothicFace);
    return *out != nullptr;
}

void DrawGaugeBar(CDib* dib, int value, int x, int y)
{
    static constexpr uint8_t kPattern[20] = {22, 22, 22, 14, 22, 14, 14, 10, 14, 10,
                                             22, 22, 22, 22, 14, 14, 14, 14, 10, 10};
    if (dib == nullptr) return;
    platform::Surface8 s = dib->Surface();
    if (!s.IsValid()) return;
    // The gauge is 100 columns wide; a value past the 250 cap would paint
    // over whatever lies to the right of it.
    int columns = std::clamp(value, 0, 250) * 100 / 250;
    int p = 0;
    for (int c = 0; c < columns; ++c)
        for (int i = 0; i < 10; ++i, p = (p + 1) % 20) s.SetPixel(x + c, y - i, kPattern[p]);
}

}  // namespace zrv
