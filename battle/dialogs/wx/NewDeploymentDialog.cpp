// The new deployment report (新配備) as a modal dialog: the card of one
// delivered unit and "確認".
#include <memory>
#include <string>

#include <wx/statbox.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/NewDeploymentCard.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/DataLibrary.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"

namespace zrv {

int RunNewDeploymentDialog(wxWindow* parent, DialogView* view, const COUNTRYSTRUCT& country, const UNITSTRUCT& unit)
{
    using C = NewDeploymentCard;
    const C model(unit.nArms);
    DialogCard card(view, C::kCardW, C::kCardH);
    DialogCard shown(view, C::kClientW, C::kClientH);
    std::unique_ptr<CDib> entry2 = card.LoadPicture("entry2.pxs");
    const int side = country.nDisplay;
    bool painted = false;
    if (card.IsValid() && shown.IsValid()) {
        painted = model.Paint(*card.Picture(), entry2.get(), card.Font(), [view, side](CDib& c, int x, int y, int type) {
            if (view != nullptr) view->DrawUnitPicture(&c, type, side, x, y, -1);
        });
        if (painted) shown.Copy(card.Picture(), C::kShownX, C::kShownY, C::kShownW, C::kShownH, C::kDialogX, C::kDialogY);
    }
    if (platform::PlayLogEnabled()) {
        std::string line = "new deployment";
        for (const CardText& t : model.Texts()) line += " [" + platform::SjisToUtf8(t.text) + "]";
        platform::PlayLog(line);
    }

    PaintedDialog dlg(parent, "新配備", C::kClientW, C::kClientH);
    new wxStaticBox(&dlg, 1200, wxEmptyString, wxPoint(6, 6), wxSize(248, 275));
    dlg.Card(shown, {C::kDialogX, C::kDialogY, C::kDialogX + C::kShownW, C::kDialogY + C::kShownH});
    dlg.Button(wxID_CANCEL, "確認", 200, 288, 42, 22);
    if (painted && view != nullptr) view->PlayDialogSound(C::kSoundShown);
    dlg.CentreOnParent();
    dlg.ShowModal();
    if (view != nullptr) view->FreeDialogSounds();
    return kAnswerOk;
}

int WxDialogService::NewDeploymentDialog(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit)
{
    if (m_doc == nullptr) return DialogService::NewDeploymentDialog(country, unit);
    return RunNewDeploymentDialog(m_parent, m_view, country, unit);
}

}  // namespace zrv
