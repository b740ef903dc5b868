#pragma once
// The improvement sheet (改良) in a real window: a modal tabbed sheet with a
// page per candidate type above "改良" and "中止".

#include <span>

#include "battle/engine/DialogView.h"
#include "foundation/GameRecords.h"

class wxWindow;

namespace zrv {

// kAnswerOk with the chosen page in chosenPage, else kAnswerCancel. pictures
// (may be null: blank cards) gives the colours and unit pictures; funds are
// the current country's.
int RunImproveSheet(wxWindow* parent, const DialogView* pictures, std::span<const int> candidates,
                    const UNITSTRUCT& unit, int display, int funds, int& chosenPage);

}  // namespace zrv
