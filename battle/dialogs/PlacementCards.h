#pragma once
// The picture cards of the production and deployment pages and of the
// improvement pages: where the unit pictures go and what the texts say, as
// data, then painted over their background pictures ("product2.pxs",
// "setup2.pxs", "improve2.pxs").

#include <functional>
#include <vector>

#include "battle/dialogs/CardText.h"
#include "foundation/Dib.h"
#include "foundation/GameRecords.h"

namespace zrv {

// The production and deployment cards and where the pages show them.
inline constexpr int kPlaceCardW = 332, kPlaceCardH = 107;
inline constexpr int kPlaceCardX = 6, kPlaceCardY = 6;
// The improvement card and where its page shows it.
inline constexpr int kImproveCardW = 208, kImproveCardH = 142;
inline constexpr int kImproveCardX = 4, kImproveCardY = 6;

// A unit picture on a card: type at (x, y) in colour set side, with strength
// digits (-1: none).
struct CardUnitPicture {
    int x = 0, y = 0;
    int type = -1;
    int side = 0;
    int strength = -1;
    friend bool operator==(const CardUnitPicture&, const CardUnitPicture&) = default;
};

struct PlacementCardLayout {
    std::vector<CardUnitPicture> pictures;
    CardTexts texts;
};

// The production card of type (-1: the background alone) in colour set side.
PlacementCardLayout LayoutProductCard(int type, int side);
// The deployment card of a carry-over unit (null: the background alone).
PlacementCardLayout LayoutSetupCard(const UNITSTRUCT* unit, int side);
// The improvement card: candidate type over the unit's present type
// (candidate -1: the background alone).
PlacementCardLayout LayoutImproveCard(int candidate, const UNITSTRUCT& unit, int side);

// Draws a unit picture onto the card (may be empty: no pictures).
using CardPictureDrawer = std::function<void(CDib& card, const CardUnitPicture& picture)>;

// Copies back (w x h from its origin) onto card, then the layout's pictures
// and texts. False, with the card untouched, without the card or the
// background.
bool PaintPlacementCard(CDib* card, CDib* back, int w, int h, const PlacementCardLayout& layout,
                        const CardPictureDrawer& drawPicture, const platform::Font* font);

// x of a name centred in 24 half-width cells of 7 pixels from left.
int CentredNameX(const char* name, int left);

}  // namespace zrv
