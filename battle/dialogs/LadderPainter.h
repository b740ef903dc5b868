#pragma once
// The ladder of a class's development chain, shared by the evolution table
// and the new-weapon entry: four rows of 67 pixels from "entry2.pxs", each
// a row graphic with its step badge, the entry labels and the unit pictures
// of one column, or of two for the tank classes 2 and 3 (the class-2 list
// left, the class-3 list right). A picture's click rectangle is kept in the
// dialog's coordinates, its entry with kLadderSecondColumn for the right one.

#include <array>
#include <functional>
#include <vector>

#include "battle/dialogs/CardText.h"
#include "battle/dialogs/SpecCardPainter.h"

namespace zrv {

inline constexpr int kLadderRowH = 67;
inline constexpr int kLadderSecondColumn = 0x10000;
inline constexpr int kLadderPictureW = 56, kLadderPictureH = 28;

// A unit picture of the ladder: card place, type and entry.
struct LadderPicture {
    int x = 0, y = 0;
    int type = -1;
    int entry = -1;
};

struct LadderLayout {
    std::vector<CardCopy> copies;          // from "entry2.pxs", in drawing order
    std::vector<LadderPicture> pictures;   // the unit pictures, over the copies
    std::vector<CardCopy> marks;           // selection marks over the pictures
    CardTexts texts;
};

struct LadderInput {
    bool twoColumns = false;
    int pattern = 0;       // the row graphics pattern, 0-7
    int topEntry = 0;      // the entry of the top row (the rows below count down)
    bool scrolledOne = false;  // two columns: graphic 5 in the bottom row drawn as 6
    const std::array<int, 10>* list = nullptr;
    const std::array<int, 10>* list2 = nullptr;
    // The badge of a row's entry (its index 0-9, -1 none).
    std::function<int(int entry)> badge;
    // Whether the picture of entry (with kLadderSecondColumn) and type is marked.
    std::function<bool(int entry, int type)> marked;
    // Where the card's ladder shows in the dialog.
    int dialogX = 0, dialogY = 0;
};

// The rows' copies, pictures and marks into out; the pictures' click
// rectangles (dialog coordinates) into hits. Entries outside 1-9 show no
// label or picture, and only types above 0 a picture.
void LayoutLadder(const LadderInput& in, LadderLayout& out, std::vector<LadderPicture>& hits);

// Paints a laid-out ladder card: the copies from entry2 (may be null), the
// pictures by unitPicture, the marks, the texts.
void PaintLadder(const LadderLayout& l, CDib& card, CDib* entry2, const platform::Font* font,
                 const std::function<void(CDib& card, int x, int y, int type)>& unitPicture);

// The picture (if any) whose click rectangle holds (x, y); null none.
const LadderPicture* LadderHit(const std::vector<LadderPicture>& hits, int x, int y);

}  // namespace zrv
