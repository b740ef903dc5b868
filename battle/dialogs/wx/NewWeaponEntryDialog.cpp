// The new-weapon entry (新兵器エントリー / 兵器退役) as a modal dialog over its
// model: the chain, the report and the strip, the three buttons, the stamp
// and the adoption animation on a 50 ms timer.
#include <memory>
#include <string>

#include <wx/statbox.h>
#include <wx/timer.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/NewWeaponEntryModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

constexpr int kAdoptId = 1135, kRejectId = 1136, kDeliberateId = 1137;
constexpr int kTickMs = 50;

void Log(const std::string& line)
{
    if (platform::PlayLogEnabled()) platform::PlayLog(line);
}

}  // namespace

int RunNewWeaponEntryDialog(wxWindow* parent, DialogView* view, const COUNTRYSTRUCT& country, int armsType, int mode)
{
    using M = NewWeaponEntryModel;
    M model(country, armsType, mode);
    const bool two = model.TwoTracks();
    const int w = model.ClientW();
    DialogCard card(view, M::kCardW, M::kCardH);
    DialogCard shown(view, w, M::kClientH);
    std::unique_ptr<CDib> entry2 = card.LoadPicture("entry2.pxs");
    const bool pictures = card.IsValid() && shown.IsValid() && entry2 != nullptr;
    const int side = country.nDisplay;
    const int chainW = two ? 196 : 144;
    const int reportX = two ? 218 : 166;
    const platform::Rect strip = two ? platform::Rect{4, 292, 204, 310} : platform::Rect{5, 284, 155, 322};
    auto paint = [&] {
        if (!pictures) return;
        model.Paint(*card.Picture(), entry2.get(), card.Font(), [view, side](CDib& c, int x, int y, int type) {
            if (view != nullptr) view->DrawUnitPicture(&c, type, side, x, y, -1);
        });
        shown.Copy(card.Picture(), 0, 0, chainW, 268, M::kChainAtX, M::kChainAtY);
        shown.Copy(card.Picture(), 215, 6, 242, 269, reportX, 9);
        shown.Copy(card.Picture(), strip.left, strip.top, strip.Width(), strip.Height(), strip.left, strip.top);
    };
    paint();

    PaintedDialog dlg(parent, model.Caption(), w, M::kClientH);
    new wxStaticBox(&dlg, 1133, wxEmptyString, wxPoint(6, 7), wxSize(two ? 202 : 150, 274));
    new wxStaticBox(&dlg, 1134, wxEmptyString, wxPoint(two ? 215 : 163, 6), wxSize(248, 275));
    if (two)
        new wxStaticBox(&dlg, 1214, wxEmptyString, wxPoint(2, 290), wxSize(204, 22));
    else
        new wxStaticBox(&dlg, 1214, wxEmptyString, wxPoint(3, 282), wxSize(154, 42));
    std::vector<platform::CardPanel*> panels;
    auto repaint = [&] {
        paint();
        for (auto* p : panels) p->Repaint();
    };
    panels.push_back(dlg.Card(shown, {M::kChainAtX, M::kChainAtY, M::kChainAtX + chainW, M::kChainAtY + 268},
                              [&](int x, int y) {
                                  if (!model.ClickAt(x, y)) return;
                                  Log("new weapon shows " + std::to_string(model.ShownType()));
                                  repaint();
                              }));
    panels.push_back(dlg.Card(shown, {reportX, 9, reportX + 242, 9 + 269}));
    panels.push_back(dlg.Card(shown, strip));
    const int bx = two ? 223 : 171;
    wxButton* adopt = dlg.Button(kAdoptId, "制式化", bx, 294, 76, 21);
    wxButton* deliberate = dlg.Button(kDeliberateId, "審議中", bx + 77, 294, 76, 21);
    wxButton* reject = dlg.Button(kRejectId, model.RejectLabel(), bx + 154, 294, 76, 21);
    adopt->Show(model.AdoptShown());
    deliberate->Show(model.DeliberateShown());
    auto sync = [&] {
        adopt->Enable(model.AdoptEnabled());
        deliberate->Enable(model.DeliberateEnabled());
        reject->Enable(model.RejectEnabled());
    };
    sync();
    {
        std::string line = "new weapon [" + platform::SjisToUtf8(model.Caption()) + "]";
        for (const CardText& t : model.ReportTexts()) line += " [" + platform::SjisToUtf8(t.text) + "]";
        Log(line);
    }
    if (pictures && view != nullptr) view->PlayDialogSound(M::kSoundShown);

    wxTimer timer(&dlg);
    int ticks = 0;
    auto end = [&] {
        timer.Stop();
        if (dlg.IsModal()) dlg.EndModal(wxID_OK);
    };
    auto apply = [&](const M::Step& s) {
        for (int effect : s.sounds)
            if (view != nullptr) view->PlayDialogSound(effect);
        if (s.repaint) repaint();
        if (s.startTimer && !timer.IsRunning() && !timer.Start(kTickMs)) model.TimerFailed();
        if (model.Finished()) end();
    };
    auto choose = [&](int choice) {
        const M::Step s = model.Choose(choice);
        if (s.sounds.empty() && !s.repaint) return;
        Log("new weapon choice " + std::to_string(choice));
        sync();
        apply(s);
    };
    adopt->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { choose(0); });
    deliberate->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { choose(1); });
    reject->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { choose(2); });
    dlg.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        ++ticks;
        apply(model.Tick());
    });
    auto cancel = [&] {
        const M::Step s = model.Cancel();
        if (s.sounds.empty() && !s.repaint) return;
        Log("new weapon choice " + std::to_string(model.Choice()) + " by Esc");
        sync();
        apply(s);
    };
    dlg.Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent& e) {
        switch (e.GetKeyCode()) {
            case WXK_ESCAPE:
                cancel();
                return;
            case WXK_RETURN:
            case WXK_NUMPAD_ENTER:
                if (model.Enter()) end();
                return;
            default:
                e.Skip();
        }
    });
    dlg.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& e) {
        if (e.CanVeto() && !model.Finished()) {
            e.Veto();
            cancel();
            return;
        }
        e.Skip();
    });
    dlg.CentreOnParent();
    dlg.ShowModal();
    timer.Stop();
    if (view != nullptr) view->FreeDialogSounds();
    Log("new weapon ended " + std::to_string(model.Result()) + " after " + std::to_string(ticks) + " ticks");
    return model.Result();
}

int WxDialogService::NewWeaponEntryDialog(const COUNTRYSTRUCT& country, int armsType, int mode)
{
    if (m_doc == nullptr) return DialogService::NewWeaponEntryDialog(country, armsType, mode);
    return RunNewWeaponEntryDialog(m_parent, m_view, country, armsType, mode);
}

}  // namespace zrv
