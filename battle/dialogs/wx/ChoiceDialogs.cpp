#include "battle/dialogs/wx/ChoiceDialogs.h"

#include <memory>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/slider.h>

#include "battle/dialogs/ConstructionModels.h"
#include "battle/dialogs/CountryRowModels.h"
#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/MarchModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/CardPanel.h"
#include "platform/wx/SjisTextCtrl.h"

namespace zrv {

namespace {

// Swallows Enter: a dialog without an OK button is not closed by it.
void IgnoreEnter(wxDialog& dlg)
{
    dlg.Bind(wxEVT_CHAR_HOOK, [](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) return;
        e.Skip();
    });
}

}  // namespace

// --- march ----------------------------------------------------------------------------------------

int RunMarchWindow(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& unit, bool march)
{
    MarchModel model(doc, unit, march, view);
    PaintedDialog dlg(parent, model.Caption(), 246, 63);
    wxStaticText* target = dlg.Label(1110, model.TargetLine(), 3, 3, 240, 14);
    wxStaticText* distance = dlg.Label(1111, model.DistanceLine(), 3, 20, 57, 14);
    wxStaticText* arrival = dlg.Label(1112, model.ArrivalLine(), 90, 20, 153, 14);
    wxButton* set = dlg.Button(1107, "設定", 3, 38, 50, 22);
    wxButton* clear = dlg.Button(1108, "解除", 56, 38, 50, 22);
    wxButton* confirm = dlg.Button(1109, "確認", 109, 38, 50, 22);
    wxButton* end = dlg.Button(1143, "終了", 193, 38, 50, 22);
    auto sync = [&] {
        target->SetLabel(SjisToWx(model.TargetLine()));
        distance->SetLabel(SjisToWx(model.DistanceLine()));
        arrival->SetLabel(SjisToWx(model.ArrivalLine()));
        clear->Enable(model.ClearEnabled());
        confirm->Enable(model.ConfirmEnabled());
        dlg.Refresh();
    };
    sync();
    IgnoreEnter(dlg);
    set->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { dlg.EndModal(kMarchSet); });
    end->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { dlg.EndModal(kMarchEnd); });
    clear->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        if (model.Clear()) sync();
    });
    confirm->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { (void)model.Confirm(); });
    const int r = dlg.ShowModal();
    return r == kMarchSet || r == kMarchEnd ? r : kMarchClosed;
}

// --- durability -----------------------------------------------------------------------------------

int RunDurabilityWindow(wxWindow* parent, CZRKGameDoc& doc, UNITSTRUCT& unit, int maxSteps)
{
    DurabilityModel model(doc.m_GameData, unit, maxSteps);
    PaintedDialog dlg(parent, "耐久力増加", 206, 97);
    dlg.Label(1116, model.LowText(), 8, 3, 20, 14);
    dlg.Label(1117, model.HighText(), 180, 3, 20, 14);
    auto* bar = new wxSlider(&dlg, 1113, model.MaxSteps(), 0, std::max(0, model.MaxSteps()), wxDefaultPosition,
                             wxDefaultSize, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
    dlg.Place(bar, 3, 17, 200, 34);
    bar->SetPageSize(2);
    wxStaticText* cost = dlg.Label(1114, "", 3, 54, 100, 14);
    wxStaticText* gain = dlg.Label(1115, "", 131, 54, 72, 14);
    wxButton* run = dlg.Button(wxID_OK, "実行", 97, 72, 50, 22);
    dlg.Button(wxID_CANCEL, "中止", 153, 72, 50, 22);
    auto refresh = [&] {
        const int p = bar->GetValue();
        cost->SetLabel(SjisToWx(model.CostText(p)));
        gain->SetLabel(SjisToWx(model.DurabilityText(p)));
        run->Enable(model.ExecuteEnabled(p));
    };
    refresh();
    // Every move of the bar, thumb tracking included.
    bar->Bind(wxEVT_SLIDER, [&](wxCommandEvent& e) {
        refresh();
        e.Skip();
    });
    bar->Bind(wxEVT_SCROLL_THUMBTRACK, [&](wxScrollEvent& e) {
        refresh();
        e.Skip();
    });
    bar->Bind(wxEVT_SCROLL_CHANGED, [&](wxScrollEvent& e) {
        refresh();
        e.Skip();
    });
    return dlg.ShowModal() == wxID_OK ? bar->GetValue() : -1;
}

// --- road and railway -----------------------------------------------------------------------------

int RunRouteBuildWindow(wxWindow* parent, uint32_t choices, int mode)
{
    RouteBuildModel model(choices, mode == 1);
    PaintedDialog dlg(parent, model.Caption(), 156, model.ClientHeight());
    uint32_t chosen = 0;
    const auto& list = model.Choices();
    for (int k = 0; k < static_cast<int>(list.size()); ++k) {
        wxButton* b = dlg.Button(1118 + k, list[static_cast<size_t>(k)].text, 3, RouteBuildModel::ButtonY(k), 150, 22);
        b->Bind(wxEVT_BUTTON, [&, k](wxCommandEvent&) {
            chosen = list[static_cast<size_t>(k)].code;
            dlg.EndModal(wxID_OK);
        });
    }
    dlg.Button(wxID_CANCEL, "中止", 28, model.CancelY(), 100, 22);
    return dlg.ShowModal() == wxID_OK ? static_cast<int>(chosen) : 0;
}

// --- password -------------------------------------------------------------------------------------

int RunPasswordWindow(wxWindow* parent, std::string& text, std::string_view countryName)
{
    PaintedDialog dlg(parent, "パスワード入力", 235, 59, 16);
    dlg.Label(1194, countryName, 6, 6, 222, 20);
    dlg.Label(1199, "パスワード", 29, 34, 100, 20);
    constexpr size_t kMaxBytes = sizeof(COUNTRYSTRUCT::szPassword) - 1;
    auto* field = new platform::SjisTextCtrl(&dlg, 1195, SjisToWx(text), kMaxBytes, wxTE_PROCESS_ENTER);
    dlg.Place(field, 128, 31, 86, 23);
    field->SetFocus();
    // No buttons: Enter is OK, Esc (or the close box) Cancel.
    field->Bind(wxEVT_TEXT_ENTER, [&](wxCommandEvent&) { dlg.EndModal(wxID_OK); });
    dlg.SetEscapeId(wxID_CANCEL);
    if (dlg.ShowModal() != wxID_OK) return kAnswerCancel;
    text = platform::CutSjisText(platform::Utf8ToSjis(field->GetValue().utf8_string()), kMaxBytes);
    return kAnswerOk;
}

// --- the country rows -----------------------------------------------------------------------------

namespace {

// The card of the rows with the mark and the plate of each row shown.
struct RowCards {
    DialogCard card;
    std::unique_ptr<CDib> plates;
    RowCards(PaintedDialog& dlg, DialogView* view, int width, const GAMEDATASTRUCT& game,
             const std::vector<CountryRow>& rows)
        : card(view, width, kCountryRowsCardH), plates(card.LoadPicture("status12.pxs"))
    {
        PaintCountryRows(card, game, rows, plates.get());
        for (const CountryRow& r : rows) {
            dlg.Card(card, {10, r.y + 1, 10 + kFlagMarkW, r.y + 1 + kFlagMarkH});
            dlg.Card(card, {34, r.y, 34 + 132, r.y + 18});
        }
    }
};

wxChoice* RowChoice(PaintedDialog& dlg, int id, int row, int width, const std::vector<std::string>& texts)
{
    auto* c = new wxChoice(&dlg, id, wxDefaultPosition, wxDefaultSize);
    for (const std::string& t : texts) c->Append(SjisToWx(t));
    dlg.Place(c, 175, CountryRowControlY(row), width, 22);
    return c;
}

}  // namespace

int RunCountryControlWindow(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, CountryControlRows& rows)
{
    CountryControlRows choice = rows;
    CountryControlModel model(doc, choice);
    const int n = static_cast<int>(model.Rows().size());
    PaintedDialog dlg(parent, "操作設定", CountryControlModel::kCardW, CountryRowsClientHeight(n));
    RowCards cards(dlg, view, CountryControlModel::kCardW, doc.m_GameData, model.Rows());
    const std::vector<std::string> texts = model.ChoiceTexts();
    for (int k = 0; k < n; ++k) {
        wxChoice* c = RowChoice(dlg, 1185 + k, k, 78, texts);
        c->SetSelection(model.Selected(k));
        c->Enable(model.Enabled(k));
        c->Bind(wxEVT_CHOICE, [&model, k](wxCommandEvent& e) { model.Select(k, e.GetSelection()); });
    }
    dlg.Button(wxID_OK, "実行", 121, CountryRowsButtonY(n), 60, 22);
    dlg.Button(wxID_CANCEL, "中止", 193, CountryRowsButtonY(n), 60, 22);
    if (dlg.ShowModal() != wxID_OK) return kAnswerCancel;
    rows = choice;
    return kAnswerOk;
}

int RunBgmSettingsWindow(wxWindow* parent, CZRKGameDoc& doc, DialogView* view)
{
    BgmSettingsModel model(doc, view);
    const int n = static_cast<int>(model.Rows().size());
    {
        PaintedDialog dlg(parent, "ＢＧＭ設定", BgmSettingsModel::kCardW, CountryRowsClientHeight(n));
        RowCards cards(dlg, view, BgmSettingsModel::kCardW, doc.m_GameData, model.Rows());
        const std::vector<std::string> names = model.TrackNames();
        std::vector<wxChoice*> boxes;
        for (int k = 0; k < n; ++k) {
            wxChoice* c = RowChoice(dlg, 1168 + k, k, 170, names);
            c->SetSelection(model.Selected(k));
            c->Bind(wxEVT_CHOICE, [&model, k](wxCommandEvent& e) { model.Select(k, e.GetSelection()); });
            boxes.push_back(c);
            wxButton* test = dlg.Button(1176 + k, "TEST", 351, CountryRowControlY(k), 44, 20);
            test->Bind(wxEVT_BUTTON, [&model, k](wxCommandEvent&) { model.Test(k); });
        }
        wxButton* reset = dlg.Button(1167, "初期設定に戻す", 10, CountryRowsButtonY(n), 120, 22);
        reset->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
            model.Reset();
            for (int k = 0; k < n; ++k) boxes[static_cast<size_t>(k)]->SetSelection(model.Selected(k));
        });
        dlg.Button(wxID_CANCEL, "終了", 336, CountryRowsButtonY(n), 60, 22);
        dlg.ShowModal();
    }
    // Once the window is gone, the music of the country whose turn it is.
    model.Close();
    return kAnswerCancel;
}

}  // namespace zrv
