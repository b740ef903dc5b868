#pragma once
// The performance card: the 624 x 274 picture of the performance window
// with the figures of one unit or of a bare unit type over the lower part of
// "spec2.pxs", its picture and army mark, tally marks, cargo and ability
// icons. As with the weapon table, the layout is plain data and painting
// draws it.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "battle/dialogs/CardText.h"
#include "foundation/Dib.h"
#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr int kSpecCardW = 624;
inline constexpr int kSpecCardH = 274;
// Where the card's background lands, and the part of the card the window shows.
inline constexpr int kSpecBackX = 4, kSpecBackY = 5, kSpecBackW = 613, kSpecBackH = 264, kSpecBackFromY = 129;
inline constexpr int kSpecShownX = 6, kSpecShownY = 7;
// The unit picture; a click on it opens the evolution table of an own unit.
inline constexpr platform::Rect kSpecUnitPicture{239, 24, 303, 58};

struct SpecCardInput {
    int armsType = -1;
    const UNITSTRUCT* unit = nullptr;       // null: the type alone
    COUNTRYSTRUCT* country = nullptr;       // the window's country; null: none
    int side = 1;                           // colour set of the unit picture
    const GAMEDATASTRUCT* game = nullptr;   // the game-state block (may be null)
    const COUNTRYSTRUCT* current = nullptr; // the document's current country (may be null)
};

// A copy from "spec2.pxs" onto the card.
struct CardCopy {
    int dx = 0, dy = 0, w = 0, h = 0, sx = 0, sy = 0;
    int key = -1;  // -1 opaque, else the transparent index
};

struct SpecCardLayout {
    CardTexts texts;
    std::vector<CardCopy> copies;  // bar, tally marks and ability icons in drawing order
    int strengthBar = 0;           // width of the strength bar (0: none)
    int experience = 0;            // the gauge's value
    int flagCountry = 0;           // army mark: country index and flag id
    int flagId = -1;
    int cargoLines = 0;
};

// Tallies of up to 9999 are shown by marks; a larger one shows the ninth
// thousands mark (the picture holds nine).
inline constexpr int kTallyThousandsMarks = 9;

// The marks of tally n of kind (0-3) as copies from "spec2.pxs".
std::vector<CardCopy> TallyMarkCopies(int kind, int n);

// The caption of the window: MsgSpecWord 0, or with a unit and a country its
// entry 1 formatted with the country's name, the serial number in full-width
// digits, the class word and entry 2 for a type not counted in pieces.
std::string SpecWindowCaption(const UNITSTRUCT* unit, const COUNTRYSTRUCT* country);

SpecCardLayout LayoutSpecCard(const SpecCardInput& in);

// What draws pictures that are not copies from "spec2.pxs": the unit picture
// of a type in a colour set without strength digits, and a country's army
// mark (flag id -1: the country's own). Either may be empty.
struct SpecCardPictures {
    CDib* spec = nullptr;
    std::function<void(CDib& card, int x, int y, int type, int colorSet)> unitPicture;
    std::function<void(CDib& card, int x, int y, int country, int flagId)> flagMark;
};

// Paints the card (624 x 274). False without a card or without "spec2.pxs".
bool DrawSpecCard(const SpecCardInput& in, CDib* card, const SpecCardPictures& pictures,
                  const platform::Font* font);

}  // namespace zrv
