#include "battle/dialogs/wx/OrderDialogs.h"

#include <memory>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/statbox.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/wx/PaintedDialog.h"

#include "battle/dialogs/AttackDecisionModel.h"
#include "battle/dialogs/CargoModels.h"
#include "battle/dialogs/MergeModel.h"
#include "platform/core/Paths.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/CardPanel.h"
#include "platform/wx/FullRowListCtrl.h"

namespace zrv {
namespace {

// A card with the picture it is composed from; either may be missing, and
// then the card stays blank.
struct Card {
    DialogCard card;
    std::unique_ptr<CDib> back;
    Card(DialogView* view, int w, int h, const char* picture) : card(view, w, h), back(card.LoadPicture(picture)) {}
};

}  // namespace

int RunAttackDecisionDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& unit,
                            UNITSTRUCT& target, unsigned flags, uint32_t& weaponMask)
{
    AttackDecisionModel model(doc, unit, target, flags);
    Card card(view, AttackDecisionModel::kCardW, AttackDecisionModel::kCardH, "attack2.pxs");
    CDib* icons = view != nullptr ? view->WeaponIcons() : nullptr;
    auto paint = [&] {
        if (card.card.IsValid()) model.Paint(*card.card.Picture(), card.back.get(), icons, card.card.Font());
    };
    paint();
    PaintedDialog dlg(parent, "攻撃決定", 280, 280);
    new wxStaticBox(&dlg, 1140, wxEmptyString, wxPoint(2, 4), wxSize(276, 245));
    auto* panel = dlg.Card(card.card, {4, 6, 4 + 272, 6 + 241});
    wxButton* fire = dlg.Button(wxID_OK, "攻撃開始", 35, 253, 78, 23);
    dlg.Button(wxID_CANCEL, "中止", 116, 253, 78, 23);
    wxButton* drop = dlg.Button(1141, "投棄", 197, 253, 78, 23);
    drop->Enable(model.JettisonEnabled());
    fire->Enable(model.FireEnabled());
    panel->SetClickHandler([&](int x, int y) {
        if (model.ClickAt(x, y)) {
            paint();
            panel->Repaint();
        }
    });
    drop->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.Jettison();
        paint();
        panel->Repaint();
        fire->Enable(model.FireEnabled());
        drop->Enable(false);
    });
    const int r = dlg.ShowModal();
    if (r == wxID_OK) {
        weaponMask = model.Mask();
        return kAnswerOk;
    }
    model.Cancel();
    return kAnswerCancel;
}

int RunMergeDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& left, UNITSTRUCT& right)
{
    MergeModel model(doc, left, right, view);
    Card card(view, MergeModel::kCardW, MergeModel::kCardH, "join2.pxs");
    auto paint = [&] {
        if (card.card.IsValid()) model.Paint(*card.card.Picture(), card.back.get(), card.card.Font());
    };
    paint();
    PaintedDialog dlg(parent, "合流", 192, 245);
    new wxStaticBox(&dlg, 1094, wxEmptyString, wxPoint(2, 2), wxSize(188, 186));
    auto* panel = dlg.Card(card.card, {4, 4, 4 + 184, 4 + 182});
    wxButton* toLeft = dlg.Button(1092, "←", 4, 191, 92, 23);
    wxButton* toRight = dlg.Button(1093, "→", 96, 191, 92, 23);
    wxButton* run = dlg.Button(wxID_OK, "実行", 29, 220, 74, 23);
    dlg.Button(wxID_CANCEL, "中止", 111, 220, 74, 23);
    auto sync = [&] {
        toLeft->Enable(model.LeftEnabled());
        toRight->Enable(model.RightEnabled());
        run->Enable(model.ExecuteEnabled());
        paint();
        panel->Repaint();
    };
    sync();
    toLeft->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.MoveLeft();
        sync();
    });
    toRight->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.MoveRight();
        sync();
    });
    run->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.Execute();
        dlg.EndModal(wxID_OK);
    });
    return dlg.ShowModal() == wxID_OK ? kAnswerOk : kAnswerCancel;
}

namespace {

// The cargo list of both cargo dialogs.
platform::FullRowListCtrl* CargoList(PaintedDialog& dlg, int id, const std::vector<std::string>& lines)
{
    auto* list = new platform::FullRowListCtrl(&dlg, id, wxPoint(3, 3), wxSize(211, 52));
    list->SetColumns({{"", platform::ColumnAlign::Left, 190}});
    for (const std::string& l : lines) list->AppendRow({l});
    return list;
}

}  // namespace

int RunUnloadDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& carrier,
                    std::span<UNITSTRUCT* const> cargo)
{
    UnloadModel model(doc, carrier, cargo, view);
    PaintedDialog dlg(parent, "降車", 217, 84);
    auto* list = CargoList(dlg, 1100, model.Lines());
    wxButton* cover = dlg.Button(1102, "援護射撃", 3, 59, 64, 22);
    wxButton* unload = dlg.Button(1103, "降車", 80, 59, 64, 22);
    dlg.Button(wxID_CANCEL, model.CarrierHasFired() ? "終了" : "中止", 150, 59, 64, 22);
    cover->Enable(model.CoveringFireEnabled());
    unload->Enable(false);
    int result = kUnloadCancel;
    list->onItemChanged = [&](int row) {
        model.Select(row);
        unload->Enable(model.UnloadEnabled());
    };
    auto doUnload = [&] {
        if (const int r = model.Unload(); r > 0) {
            result = r;
            dlg.EndModal(wxID_OK);
        }
    };
    list->onDoubleClick = [&](int) { doUnload(); };
    unload->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { doUnload(); });
    cover->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        result = model.CoveringFire();
        dlg.EndModal(wxID_OK);
    });
    return dlg.ShowModal() == wxID_OK ? result : kUnloadCancel;
}

int RunLaunchDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& carrier,
                    std::span<UNITSTRUCT* const> cargo)
{
    LaunchModel model(doc, carrier, cargo, view);
    PaintedDialog dlg(parent, "発進", 217, 84);
    auto* list = CargoList(dlg, 1105, model.Lines());
    wxButton* launch = dlg.Button(1104, "発進", 80, 59, 64, 22);
    dlg.Button(wxID_CANCEL, "母艦", 150, 59, 64, 22);
    launch->Enable(false);
    list->onItemChanged = [&](int row) {
        model.Select(row);
        launch->Enable(model.LaunchEnabled());
    };
    auto doLaunch = [&] {
        if (model.LaunchEnabled()) dlg.EndModal(wxID_OK);
    };
    list->onDoubleClick = [&](int) { doLaunch(); };
    launch->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { doLaunch(); });
    return dlg.ShowModal() == wxID_OK ? model.Launch() : kLaunchCarrier;
}

}  // namespace zrv
