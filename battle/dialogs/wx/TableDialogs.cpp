#include "battle/dialogs/wx/TableDialogs.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/slider.h>
#include <wx/statbox.h>

#include "battle/dialogs/ReferenceTables.h"
#include "battle/dialogs/UnitDataEditModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/dialogs/wx/TableWindows.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/FullRowListCtrl.h"

namespace zrv {
namespace {

void Log(const std::string& sjisText)
{
    if (platform::PlayLogEnabled()) platform::PlayLog(platform::SjisToUtf8(sjisText));
}

// A resizable modal dialog with one list over its client area, sized for
// `shown` rows from its first row's rectangle (the list's row height when it
// has no row).
class ListDialog : public PaintedDialog {
public:
    ListDialog(wxWindow* parent, std::string_view caption, int listId) : PaintedDialog(parent, caption, 400, 200)
    {
        SetWindowStyleFlag(GetWindowStyleFlag() | wxRESIZE_BORDER);
        list = new platform::FullRowListCtrl(this, listId, wxPoint(0, 0), GetClientSize());
        list->SetGothicFont();
        list->SetShowSelectionAlways(true);
        Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            list->SetSize(GetClientSize());
            e.Skip();
        });
        // Esc ends the table; Enter only takes its data.
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE) {
                EndModal(wxID_CANCEL);
                return;
            }
            if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) {
                TransferDataFromWindow();
                return;
            }
            e.Skip();
        });
    }
    void SizeFor(int shown)
    {
        int right = 0;
        for (int c = 0; c < list->ColumnCount(); ++c) right += list->GetColumnWidth(c);
        const RowRect first{0, list->HeaderHeight(), right, list->HeaderHeight() + list->RowHeight()};
        const ClientSize size = ListOpeningSize(first, shown, list->RowCount(), SystemListMetrics());
        SetClientSize(size.width, size.height);
        CentreOnParent();
    }
    platform::FullRowListCtrl* list;
};

}  // namespace

int RunForceTableDialog(wxWindow* parent, const GAMEDATASTRUCT& game)
{
    ForceTableModel model(game);
    ListDialog dialog(parent, "戦力表", 1142);
    dialog.list->SetColumns(ReportListColumns(ForceTableColumns()));
    auto show = [&] {
        dialog.list->SetVirtualRows(model.RowCount(), [&](int row, int column) { return model.CellText(row, column); });
    };
    show();
    dialog.list->onColumnClick = [&](int column) {
        model.ClickColumn(column);
        show();
    };
    dialog.SizeFor(kForceShownRows);
    return dialog.ShowModal() == wxID_OK ? kAnswerOk : kAnswerCancel;
}

int RunWeaponTableDialog(wxWindow* parent, const COUNTRYSTRUCT& country, ToolWindowHost* host)
{
    WeaponTableModel model(country);
    ListDialog dialog(parent, model.Caption(), 1145);
    dialog.list->SetColumns(ReportListColumns(WeaponTableColumns()));
    auto show = [&] {
        dialog.list->SetVirtualRows(model.RowCount(), [&](int row, int column) { return model.CellText(row, column); });
    };
    show();
    dialog.list->onColumnClick = [&](int column) {
        model.ClickColumn(column);
        show();
    };
    dialog.list->onRightClick = [&](int row) {
        const WeaponTableModel::PerformanceRequest r = model.RightClick(row);
        if (r.arms < 0 || host == nullptr) return;
        Log("weapon table performance " + std::to_string(r.arms) + " army " + std::to_string(r.country));
        dialog.CallAfter([host, r] { host->OpenPerformanceWindow(nullptr, r.arms, r.country, true); });
    };
    dialog.SizeFor(kWeaponShownRows);
    return dialog.ShowModal() == wxID_OK ? kAnswerOk : kAnswerCancel;
}

// --- unit data editor --------------------------------------------------------------------

namespace {

class UnitDataEditDialog : public PaintedDialog {
public:
    UnitDataEditDialog(wxWindow* parent, UnitDataEditModel& model)
        : PaintedDialog(parent, "ユニットデータ編集", 400, 300, 11), m_model(model)
    {
        const wxPoint size = DialogUnits(285, 234);
        SetClientSize(size.x, size.y);
        auto at = [this](int id, const char* text, int x, int y, int w, int h, long style = 0) {
            const wxPoint p = DialogUnits(x, y), s = DialogUnits(w, h);
            return Label(id, text, p.x, p.y, s.x, s.y, style);
        };
        auto button = [this](int id, const char* text, int x, int y) {
            const wxPoint p = DialogUnits(x, y), s = DialogUnits(50, 14);
            return Button(id, text, p.x, p.y, s.x, s.y);
        };
        at(kEditUnitName, "", 4, 4, 118, 12, wxBORDER_SUNKEN)->SetLabel(SjisToWx(m_model.UnitName()));
        button(kEditAddFunds, "軍資金 +$1000", 126, 4);

        // Label and slider rows: strength, fuel, experience, battery, the tallies.
        struct Row {
            int slider, label, y;
        };
        const Row rows[] = {{kEditStrength, kEditStrengthLabel, 30},   {kEditFuel, kEditFuelLabel, 50},
                            {kEditExperience, kEditExperienceLabel, 70}, {kEditBattery, kEditBatteryLabel, 90},
                            {kEditAirKills, kEditAirLabel, 110},        {kEditGroundKills, kEditGroundLabel, 130},
                            {kEditShipKills, kEditShipLabel, 150},      {kEditLosses, kEditLossesLabel, 170}};
        for (const Row& r : rows) {
            const EditSlider* spec = m_model.Slider(r.slider);
            if (spec == nullptr) continue;  // the battery of a type without one
            at(r.label, "", 10, r.y + 3, 64, 11)->SetLabel(SjisToWx(m_model.Label(r.slider)));
            const wxPoint p = DialogUnits(77, r.y), s = DialogUnits(99, 14);
            auto* slider = new wxSlider(this, r.slider, std::clamp(m_model.Position(r.slider), 0, spec->max), 0,
                                        std::max(spec->max, 1), p, wxSize(s.x, s.y), wxSL_HORIZONTAL);
            slider->SetPageSize(spec->page);
            slider->SetTickFreq(spec->tick);
            // The toolkit's slider with its marks needs more height than the
            // row gives it (else its track is cut off): it grows about the
            // row's middle.
            if (const int h = slider->GetBestSize().y; h > s.y) slider->SetSize(p.x, p.y - (h - s.y) / 2, s.x, h);
            slider->Bind(wxEVT_SLIDER, [this, slider](wxCommandEvent&) { Moved(*slider); });
        }

        button(kEditActAgain, "再行動", 10, 216)->Enable(m_model.ActAgainEnabled());
        button(kEditEmptyAmmo, "武装を全て解除", 65, 216);
        button(kEditZeroFunds, "軍資金を 0に", 126, 216);
        button(wxID_CANCEL, "閉じる", 231, 216);
        {
            const wxPoint p = DialogUnits(183, 4), s = DialogUnits(98, 201);
            new wxStaticBox(this, wxID_ANY, SjisToWx("[データ]"), p, wxSize(s.x, s.y));
        }
        const char* names[] = {"code", "index", "indexp", "flag", "flagx", "indexpm", "trrndata", "target"};
        for (int i = 0; i < 8; ++i) at(wxID_ANY, names[i], 192, 36 + 20 * i, 32, 8);
        const int valueY[] = {18, 36, 56, 76, 96, 116, 136, 156, 176};
        int k = 0;
        for (const auto& [id, text] : m_model.DataPanel()) at(id, text.c_str(), 237, valueY[k++], 34, 8);

        Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { Pressed(e); });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) {
                EndModal(wxID_OK);
                return;
            }
            e.Skip();
        });
        CentreOnParent();
    }

private:
    void Moved(wxSlider& slider)
    {
        const std::string label = m_model.Move(slider.GetId(), slider.GetValue());
        const EditSlider* spec = m_model.Slider(slider.GetId());
        if (spec != nullptr)
            if (wxWindow* w = FindWindow(spec->label)) w->SetLabel(SjisToWx(label));
        Log("editor " + label);
    }

    void Pressed(wxCommandEvent& e)
    {
        switch (e.GetId()) {
            case kEditAddFunds:
                m_model.AddFunds();
                Log("editor funds " + std::to_string(m_model.Country().nFund));
                return;
            case kEditZeroFunds:
                m_model.ZeroFunds();
                Log("editor funds " + std::to_string(m_model.Country().nFund));
                return;
            case kEditActAgain:
                m_model.ActAgain();
                if (wxWindow* b = FindWindow(kEditActAgain)) b->Disable();
                Log("editor act again");
                return;
            case kEditEmptyAmmo:
                m_model.EmptyAmmunition();
                if (wxWindow* b = FindWindow(kEditEmptyAmmo)) b->Disable();
                Log("editor ammunition emptied");
                return;
            default:
                e.Skip();
        }
    }

    UnitDataEditModel& m_model;
};

}  // namespace

int RunUnitDataEditDialog(wxWindow* parent, UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current)
{
    UnitDataEditModel model(unit, country, current);
    UnitDataEditDialog dialog(parent, model);
    return dialog.ShowModal() == wxID_OK ? kAnswerOk : kAnswerCancel;
}

}  // namespace zrv
