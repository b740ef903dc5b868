#pragma once
// The new deployment report (新配備) without a window: the card of one unit
// the reinforcement schedule just delivered, with its heading, the sentence
// naming its type and its picture, over the report background of
// "entry2.pxs". The card is 470 x 328; the dialog shows its part (6, 6)
// 242 x 269 at (9, 9).

#include <functional>
#include <string>
#include <vector>

#include "battle/dialogs/CardText.h"
#include "foundation/Dib.h"

namespace zrv {

// A sentence of CP932 text broken for the report: at most 30 bytes stay on
// one line; a longer one breaks after 28 bytes (27 when the name's length is
// odd), moved back to the start of a double-byte character it would cut.
std::vector<std::string> SplitReportSentence(const std::string& sentence, int nameBytes);

class NewDeploymentCard {
public:
    static constexpr int kCardW = 470, kCardH = 328;
    static constexpr int kShownX = 6, kShownY = 6, kShownW = 242, kShownH = 269;
    static constexpr int kDialogX = 9, kDialogY = 9;
    static constexpr int kClientW = 259, kClientH = 318;
    static constexpr int kSoundShown = 25;
    // Where the unit picture goes.
    static constexpr int kPictureX = 100, kPictureY = 75;

    explicit NewDeploymentCard(int armsType) : m_nArms(armsType) {}

    CardTexts Texts() const;
    // Paints the card: nothing without entry2 (the report has no background
    // to write on); unitPicture draws the type's picture without digits.
    bool Paint(CDib& card, CDib* entry2, const platform::Font* font,
               const std::function<void(CDib& card, int x, int y, int type)>& unitPicture) const;

private:
    int m_nArms;
};

}  // namespace zrv
