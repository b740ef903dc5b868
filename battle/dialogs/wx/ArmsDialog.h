#pragma once
// The arms change (武装): the unit's armament sets as the data
// sheet's tabs with the fitted set shown first, and under them what fitting
// the shown set leaves of the war funds. 決定 answers the shown set.

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"

class wxWindow;

namespace zrv {

// kAnswerOk with the chosen set in armsSet, or kAnswerCancel.
int RunArmsDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& unit, int funds,
                  int& armsSet);

}  // namespace zrv
