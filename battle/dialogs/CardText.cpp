#include "battle/dialogs/CardText.h"

#include "foundation/DrawHelpers.h"

namespace zrv {

void DrawCardTexts(CDib& card, const platform::Font* font, const CardTexts& texts)
{
    if (font == nullptr) return;
    DrawContext dc;
    dc.surface = card.Surface();
    if (!dc.surface.IsValid()) return;
    dc.font = font;
    dc.textColor = RGB(0, 0, 0);
    for (const CardText& t : texts) DrawColorText(&dc, t.x, t.y, t.text, t.color);
}

}  // namespace zrv
