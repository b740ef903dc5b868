#include "foundation/DrawHelpers.h"

#include <algorithm>

#include "foundation/DataLibrary.h"

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

bool CreatePictureDC(const RgbQuad* colorTable, int width, int height, std::unique_ptr<CDib>* picture,
                     DrawContext* dc)
{
    if (picture == nullptr) return false;
    picture->reset();
    if (dc != nullptr) *dc = DrawContext{};
    if (colorTable == nullptr || width <= 0 || height <= 0) return false;
    auto dib = std::make_unique<CDib>();
    if (!dib->Create(width, height, colorTable)) return false;
    if (dc != nullptr) dc->surface = dib->Surface();
    *picture = std::move(dib);
    return true;
}

namespace {

// Copies w x h from (sx, sy) of src to (dx, dy) of dst with index 0 left
// out and indexes above 25 moved by shift; cut to both pictures.
void CopySprite(CDib* src, int sx, int sy, int w, int h, CDib* dst, int dx, int dy, int shift)
{
    if (src == nullptr || dst == nullptr) return;
    platform::Surface8 s = src->Surface();
    platform::Surface8 d = dst->Surface();
    if (!s.IsValid() || !d.IsValid()) return;
    for (int r = 0; r < h; ++r) {
        const uint8_t* srow = s.Row(sy + r);
        uint8_t* drow = d.Row(dy + r);
        if (srow == nullptr || drow == nullptr) continue;
        for (int i = 0; i < w; ++i) {
            const int from = sx + i, to = dx + i;
            if (from < 0 || from >= s.Width() || to < 0 || to >= d.Width()) continue;
            uint8_t v = srow[from];
            if (v == 0) continue;
            if (v > 25) v = static_cast<uint8_t>(v + shift);
            drow[to] = v;
        }
    }
}

}  // namespace

void DrawUnitPicture(CDib* picture, const UnitPictures& from, int armsType, int side, int x, int y, int strength)
{
    if (picture == nullptr) return;
    if (const ARMSSTRUCT* arms = ArmsRecord(armsType); arms != nullptr && from.units != nullptr) {
        const auto table = Lib().UnitGraphicsOffset;
        const int number = arms->nPicture;
        if (number >= 0 && static_cast<size_t>(number) < table.size()) {
            const auto& e = table[static_cast<size_t>(number)];  // row from the bottom, y offset, height
            const int top = from.units->GetHeight() - (e[0] + e[2]);
            CopySprite(from.units, 0, top, 56, e[2], picture, x, y + e[1], 9 * side);
        }
    }
    if (strength < 0 || from.digits == nullptr) return;
    const int shown = std::min(strength, 99);
    if (shown / 10 != 0) CopySprite(from.digits, 0, 9 * (shown / 10), 7, 9, picture, x + 44, y + 19, 0);
    CopySprite(from.digits, 0, 9 * (shown % 10), 7, 9, picture, x + 49, y + 19, 0);
}

void DrawFlagMark(CDib* picture, const FlagPictures& from, int country, int x, int y, int flagId, bool forceFlag)
{
    CDib* src = from.marks;
    int bands = 16, band = country;
    if (from.flagMarking || forceFlag) {
        if (flagId >= 0) {
            src = from.flags;
            bands = 42;
            band = 8 + flagId;
        } else {
            band = country + 8;
        }
    }
    if (src == nullptr || picture == nullptr || band < 0 || band >= bands) return;
    const int bandH = src->GetHeight() / bands;
    if (bandH <= 0) return;
    // As on the map, the mark's index 0 lets the card show through.
    CopySprite(src, 0, band * bandH, kFlagMarkW, std::min(bandH, kFlagMarkH), picture, x, y, 0);
}

}  // namespace zrv
