#pragma once
// The windows behind SituationWindows: the situation table with its sheet of
// four pages, the progress window and the event popup (for the hub and the
// test player).

#include <array>
#include <functional>
#include <memory>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/notebook.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "battle/dialogs/HistoryPopupModel.h"
#include "battle/dialogs/ProgressModel.h"
#include "battle/dialogs/StatusPages.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/engine/GameTime.h"
#include "battle/engine/ViewToolHub.h"

namespace platform {
class FullRowListCtrl;
}

namespace zrv {

class SituationTableDlg : public PaintedDialog {
public:
    // close: the window asks to be closed (閉じる, Esc, its close box).
    SituationTableDlg(wxWindow* owner, CZRKGameDoc& doc, DialogView* view, std::function<void()> close);
    ~SituationTableDlg() override;

    // The pages of mask changed.
    void Update(uint32_t mask);

    wxNotebook* Book() const { return m_book; }
    platform::FullRowListCtrl* OperationsList() const { return m_list; }
    const StatusSheetModel& Sheet() const { return m_sheet; }
    const OperationsPageModel& Operations() const { return m_ops; }
    // How often each page was drawn again since the window opened.
    int Redraws(int page) const { return m_redraws.at(static_cast<size_t>(page)); }

private:
    DialogCard& Card(int page);
    void BuildOperationsPage();
    void BuildIncomePage();
    void BuildWeatherPage();
    void BuildDayNightPage();
    void RedrawPage(int page);
    void ShowOperationRows();
    void OperationsSelected(int listRow);
    void ShowOperationsHeader();

    CZRKGameDoc& m_doc;
    DialogView* m_view;
    StatusSheetModel m_sheet;
    OperationsPageModel m_ops;
    IncomePageModel m_income;
    std::unique_ptr<WeatherPagePainter> m_weather;
    std::unique_ptr<DayNightPagePainter> m_dayNight;
    std::array<std::unique_ptr<DialogCard>, kStatusPageCount> m_cards;
    std::array<wxWindow*, kStatusPageCount> m_pages{};
    std::array<int, kStatusPageCount> m_redraws{};
    std::unique_ptr<CDib> m_status02, m_status12;
    wxNotebook* m_book = nullptr;
    platform::FullRowListCtrl* m_list = nullptr;
    wxStaticText *m_ownerName = nullptr, *m_ownerFunds = nullptr, *m_ownerDefeat = nullptr;
    wxButton* m_locate = nullptr;
    wxCheckBox* m_capitals = nullptr;
    platform::CardPanel* m_opHeader = nullptr;
    platform::CardPanel* m_incomePanel = nullptr;
    wxStaticBox *m_weatherBox = nullptr, *m_dayBox = nullptr;
    std::array<platform::CardPanel*, 2> m_weatherPanels{}, m_dayPanels{};
};

class ProgressDlg : public wxDialog {
public:
    ProgressDlg(wxWindow* owner, CZRKGameDoc& doc, DialogView* view, ToolWindowHost* host);

    void UpdateProgress();
    // The window's place goes to the view for the next opening.
    void StorePlace();
    const ProgressModel& Model() const { return m_model; }

private:
    ToolWindowHost* m_host;
    ProgressModel m_model;
    DialogCard m_card;
    std::unique_ptr<CDib> m_picture;
    platform::CardPanel* m_panel = nullptr;
};

class HistoryPopup : public wxFrame {
public:
    HistoryPopup(wxWindow* owner, DialogView* view, ToolWindowHost* host);
    ~HistoryPopup() override;

    void ShowEvent(const HISTORYSTRUCT& event, bool longForm);
    void StepDisplay();
    HistoryPopupModel& Model() { return m_model; }
    const HistoryPopupModel& Model() const { return m_model; }

private:
    void OnTick();
    void OnClick();
    void PaintNow();

    DialogView* m_view;
    ToolWindowHost* m_host;
    GameRandom m_random;  // cosmetic draws of the typing pace
    HistoryPopupModel m_model;
    wxTimer m_timer;
    wxRect m_screen;
    wxBitmap m_buffer;
};

}  // namespace zrv
