// The evolution table (進化表) as a modal dialog over its model: the ladder
// card and its bottom panel, the scroll buttons, "廃止" in table mode and
// "進化" / "中止" in the chooser.
#include <memory>
#include <string>

#include <wx/button.h>
#include <wx/statbox.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/EvolutionTableModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/MessageBoxes.h"

namespace zrv {
namespace {

constexpr int kRetireId = 1008, kUpId = 1017, kDownId = 1018, kTitleId = 1010, kFrameId = 1024, kInfoId = 1213;

void Log(const std::string& line)
{
    if (platform::PlayLogEnabled()) platform::PlayLog(line);
}

}  // namespace

int RunEvolutionTableDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, COUNTRYSTRUCT& country,
                            int armsType, UNITSTRUCT* unit, bool choose, int& chosenType)
{
    EvolutionTableModel model(&doc.m_GameData, country, armsType, unit, !choose);
    const bool two = model.TwoColumns();
    const int w = model.ClientW(), h = EvolutionTableModel::kClientH;

    // The ladder's card, and the dialog-sized card the panels show.
    DialogCard ladder(view, EvolutionTableModel::kCardW, EvolutionTableModel::kCardH);
    DialogCard shown(view, w, h);
    std::unique_ptr<CDib> entry2 = ladder.LoadPicture("entry2.pxs");
    const int side = country.nDisplay;
    const int ladderW = two ? 196 : 144;
    const int panelW = two ? 200 : 150, panelH = two ? 18 : 38, panelX = two ? 6 : 5;
    auto paint = [&] {
        if (!ladder.IsValid() || !shown.IsValid()) return;
        model.Paint(*ladder.Picture(), entry2.get(), ladder.Font(), [view, side](CDib& card, int x, int y, int type) {
            if (view != nullptr) view->DrawUnitPicture(&card, type, side, x, y, -1);
        });
        shown.Copy(ladder.Picture(), 0, 0, ladderW, 268, EvolutionTableModel::kLadderAtX,
                   EvolutionTableModel::kLadderAtY);
        shown.Copy(ladder.Picture(), 0, 268, panelW, panelH, panelX, 314);
    };
    paint();

    PaintedDialog dlg(parent, "進化表", w, h);
    dlg.Label(kInfoId, "", two ? 4 : 3, 312, two ? 204 : 154, two ? 22 : 42);
    dlg.Label(kTitleId, model.Title(), 6, 3, 120, 12);
    new wxStaticBox(&dlg, kFrameId, wxEmptyString, wxPoint(5, 19), wxSize(two ? 202 : 150, 274));
    std::vector<platform::CardPanel*> panels;
    auto click = [&](int x, int y) {
        if (!model.ClickAt(x, y)) return;
        Log("evolution chose " + std::to_string(model.ChosenType()) + " entry " + std::to_string(model.ChosenEntry()));
        paint();
        for (auto* p : panels) p->Repaint();
    };
    panels.push_back(dlg.Card(shown,
                              {EvolutionTableModel::kLadderAtX, EvolutionTableModel::kLadderAtY,
                               EvolutionTableModel::kLadderAtX + ladderW, EvolutionTableModel::kLadderAtY + 268},
                              click));
    panels.push_back(dlg.Card(shown, {panelX, 314, panelX + panelW, 314 + panelH}));
    const int bw = two ? 100 : 74;
    wxButton* up = dlg.Button(kUpId, "▲", 5, 295, bw, 13);
    wxButton* down = dlg.Button(kDownId, "▼", two ? 107 : 81, 295, bw, 13);
    wxButton* action = dlg.Button(kRetireId, choose ? "進化" : "廃止", two ? 114 : 64, 359, 36, 20);
    dlg.Button(wxID_CANCEL, choose ? "中止" : "閉じる", two ? 156 : 106, 359, 50, 20);
    if (!choose && unit != nullptr && model.TableMode() && (country.dwFlag & 0x01000000u)) action->Hide();

    auto sync = [&] {
        up->Enable(model.UpEnabled());
        down->Enable(model.DownEnabled());
        action->Enable(choose ? model.EvolveEnabled() : model.RetireEnabled());
        paint();
        for (auto* p : panels) p->Repaint();
    };
    sync();
    Log("evolution ladder [" + platform::SjisToUtf8(model.Title()) + "] first " + std::to_string(model.First()) +
        " count " + std::to_string(model.Count()) + " chosen " + std::to_string(model.ChosenType()));
    up->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.Up();
        Log("evolution scroll " + std::to_string(model.Scroll()));
        sync();
    });
    down->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.Down();
        Log("evolution scroll " + std::to_string(model.Scroll()));
        sync();
    });
    action->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        if (choose) {
            if (model.EvolveEnabled()) dlg.EndModal(wxID_OK);
            return;
        }
        EvolutionTableHost host;
        host.ask = [&](const std::string& question) {
            Log("evolution question " + platform::SjisToUtf8(question));
            // Owned by the table: it comes back on top when the box closes.
            return platform::ShowMessageBox(&dlg, SjisToWx(question), kGameTitle,
                                            kBoxOkCancel | kBoxIconQuestion) == kAnswerOk;
        };
        host.sound = [view](int effect) {
            if (view != nullptr) view->PlayDialogSound(effect);
        };
        host.retired = [view](int retired, int added) {
            Log("evolution retired " + std::to_string(retired) + " now " + std::to_string(added));
            if (view != nullptr) view->ClassListChanged(retired, added);
        };
        model.Retire(host);
        sync();
    });
    dlg.CentreOnParent();
    if (dlg.ShowModal() != wxID_OK) return kAnswerCancel;
    chosenType = model.ChosenType();
    return kAnswerOk;
}

int WxDialogService::EvolutionTableDialog(int armsType, UNITSTRUCT* unit, int country, bool choose, int& chosenType)
{
    if (m_doc == nullptr) return DialogService::EvolutionTableDialog(armsType, unit, country, choose, chosenType);
    COUNTRYSTRUCT* c = country >= 0 && country < kCountryCount ? &m_doc->m_GameData.Country[country]
                                                                : m_doc->m_pCurCountry;
    if (c == nullptr) return kAnswerCancel;
    const int r = RunEvolutionTableDialog(m_parent, *m_doc, m_view, *c, armsType, unit, choose, chosenType);
    Log("answer Evolution " + std::to_string(r) + (r == kAnswerOk ? " type " + std::to_string(chosenType) : ""));
    return r;
}

}  // namespace zrv
