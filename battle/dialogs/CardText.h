#pragma once
// The texts of a painted card as data: where each one goes, what it says and
// in which colour. The card painters lay their texts out into a list and
// then draw the list, so the same list can be checked without pixels.

#include <string>
#include <vector>

#include "foundation/Dib.h"
#include "platform/gfx/Font8.h"

namespace zrv {

// Colour codes of DrawColorText: 0 the card's default (black), 1 yellow,
// 2 red, 3 blue, 4 green, 5 white.
enum CardColor : int {
    kCardDefault = 0,
    kCardYellow = 1,
    kCardRed = 2,
    kCardBlue = 3,
    kCardGreen = 4,
    kCardWhite = 5,
};

struct CardText {
    int x = 0;
    int y = 0;
    std::string text;  // CP932
    int color = kCardDefault;
};

using CardTexts = std::vector<CardText>;

// Draws every text onto card with font (nothing without either), black
// unless its colour says otherwise.
void DrawCardTexts(CDib& card, const platform::Font* font, const CardTexts& texts);

}  // namespace zrv
