#include "battle/dialogs/wx/SituationWindows.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/timer.h>

#include "battle/dialogs/HistoryPopupModel.h"
#include "battle/dialogs/ProgressModel.h"
#include "battle/dialogs/StatusPages.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/dialogs/wx/SituationWindowClasses.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameTime.h"
#include "foundation/DataLibrary.h"
#include "platform/wx/FullRowListCtrl.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {

namespace {

// Control ids of the pages.
enum : int {
    kIdOpList = 1057,
    kIdOwnerName = 1209,
    kIdOwnerFunds = 1211,
    kIdOwnerDefeat = 1212,
    kIdLocate = 1067,
    kIdCapitalsOnly = 1068,
};
constexpr int kCloseX = 294, kCloseW = 62;

wxStaticText* PageLabel(wxWindow* page, int id, std::string_view text, int x, int y, int w, int h)
{
    auto* t = new wxStaticText(page, id, SjisToWx(text), wxPoint(x, y), wxSize(w, h), wxST_NO_AUTORESIZE);
    t->SetFont(page->GetFont());
    return t;
}

platform::CardPanel* PageCard(wxWindow* page, DialogCard& card, const platform::Rect& r)
{
    return new platform::CardPanel(page, r, [&card] { return card.Surface(); });
}

}  // namespace

// --- the situation table ----------------------------------------------------------------------

SituationTableDlg::SituationTableDlg(wxWindow* owner, CZRKGameDoc& doc, DialogView* view,
                                     std::function<void()> close)
    : PaintedDialog(owner, "状況表", kStatusPageW, kStatusPageH),
      m_doc(doc),
      m_view(view),
      m_sheet([this](int page) { RedrawPage(page); }),
      m_ops(doc, view),
      m_income(doc, view)
{
    SetToolClose(close);
    m_book = new wxNotebook(this, wxID_ANY, wxPoint(0, 0));
    m_book->SetFont(GetFont());
    for (int i = 0; i < kStatusPageCount; ++i) {
        auto* page = new wxPanel(m_book, wxID_ANY);
        page->SetFont(GetFont());
        m_pages[static_cast<size_t>(i)] = page;
        m_cards[static_cast<size_t>(i)] = std::make_unique<DialogCard>(view, kStatusPageW, kStatusPageH);
        m_book->AddPage(page, SjisToWx(StatusPageTitle(i)), i == 0);
    }
    BuildOperationsPage();
    BuildIncomePage();
    BuildWeatherPage();
    BuildDayNightPage();

    // The sheet holds pages of 341 x 262; the window is the sheet and 21
    // pixels for the close button.
    // The toolkit's sheet may be narrower than the button's right edge.
    wxSize sheet = m_book->CalcSizeFromPage(wxSize(kStatusPageW, kStatusPageH));
    sheet.x = std::max(sheet.x, kCloseX + kCloseW + 2);
    m_book->SetSize(sheet);
    SetClientSize(sheet.x, sheet.y + 21);
    const int h = sheet.y + 21;
    Button(wxID_CANCEL, "閉じる", kCloseX, h - 23, kCloseW, 22)->Bind(wxEVT_BUTTON, [close](wxCommandEvent&) {
        if (close) close();
    });
    // The sheet keeps to its size above the button (a dialog would stretch
    // its first child over the whole client area).
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        const wxSize c = GetClientSize();
        m_book->SetSize(0, 0, c.x, std::max(0, c.y - 21));
        e.Skip(false);
    });
    m_book->SetSize(sheet);
    m_book->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& e) {
        e.Skip();
        // The page catches up once it is on screen.
        const int page = e.GetSelection();
        CallAfter([this, page] { m_sheet.PageChanged(page); });
    });
}

SituationTableDlg::~SituationTableDlg() = default;

DialogCard& SituationTableDlg::Card(int page)
{
    return *m_cards.at(static_cast<size_t>(page));
}

void SituationTableDlg::BuildOperationsPage()
{
    wxWindow* page = m_pages[0];
    DialogCard& card = Card(0);
    m_status02 = card.LoadPicture("status02.pxs");
    new wxStaticBox(page, wxID_ANY, SjisToWx("作戦目標"), wxPoint(4, 65), wxSize(332, 193));
    m_list = new platform::FullRowListCtrl(page, kIdOpList, wxPoint(10, 81), wxSize(318, 127));
    m_list->SetColumns({{"都市名", platform::ColumnAlign::Left, 178},
                        {"X", platform::ColumnAlign::Center, 24},
                        {"Y", platform::ColumnAlign::Center, 24},
                        {"耐久", platform::ColumnAlign::Right, 36},
                        {"距離", platform::ColumnAlign::Right, 36}});
    m_list->SetShowSelectionAlways(true);
    if (auto icons = card.LoadPicture("flagicon.pxs"); icons && card.IsValid()) {
        const platform::Surface8 s = icons->Surface();
        m_list->SetImages(wxBitmap(platform::SurfaceToImage(s, 0, 0, s.Width(), s.Height())), 18, 12);
    }
    m_list->onItemChanged = [this](int row) { OperationsSelected(row); };
    m_list->onDoubleClick = [this](int) { m_ops.Flash(); };
    m_list->onColumnClick = [this](int column) {
        m_ops.ColumnClick(column);
        ShowOperationRows();
    };
    m_ownerName = PageLabel(page, kIdOwnerName, " ", 11, 211, 124, 15);
    PageLabel(page, wxID_ANY, "軍事費$", 143, 212, 47, 16);
    m_ownerFunds = PageLabel(page, kIdOwnerFunds, " ", 187, 211, 59, 15);
    PageLabel(page, wxID_ANY, "敗北$", 250, 212, 35, 16);
    m_ownerDefeat = PageLabel(page, kIdOwnerDefeat, " ", 284, 211, 42, 15);
    m_locate = new wxButton(page, kIdLocate, SjisToWx("位置確認"), wxPoint(266, 230), wxSize(62, 22));
    m_locate->SetFont(page->GetFont());
    m_locate->Disable();
    m_locate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_ops.Locate(); });
    m_capitals =
        new wxCheckBox(page, kIdCapitalsOnly, SjisToWx("生産首都のみ表示"), wxPoint(10, 230), wxSize(200, 18));
    m_capitals->SetFont(page->GetFont());
    m_capitals->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        m_ops.ToggleCapitalsOnly();
        ShowOperationRows();
        OperationsSelected(-1);
    });
    m_opHeader = PageCard(page, card, {kOpHeaderX, kOpHeaderY, kOpHeaderX + kOpHeaderW, kOpHeaderY + kOpHeaderH});
    m_ops.Fill();
    ShowOperationRows();
    m_ops.DrawHeader(card, m_status02.get());
}

void SituationTableDlg::ShowOperationRows()
{
    m_list->DeleteAllRows();
    int selected = -1;
    for (int row : m_ops.Order()) {
        std::vector<std::string> texts;
        for (int c = 0; c < kOperationsColumns; ++c) texts.push_back(m_ops.Text(row, c));
        const int at = m_list->AppendRow(std::move(texts), m_ops.Image(row), static_cast<uintptr_t>(row));
        if (row == m_ops.Selected()) selected = at;
    }
    m_list->Select(selected);
}

void SituationTableDlg::OperationsSelected(int listRow)
{
    const int row = listRow >= 0 && listRow < m_list->RowCount() ? static_cast<int>(m_list->GetRowData(listRow)) : -1;
    if (!m_ops.Select(row) && listRow >= 0) return;
    m_locate->Enable(m_ops.LocateEnabled());
    ShowOperationsHeader();
}

void SituationTableDlg::ShowOperationsHeader()
{
    const auto owner = m_ops.OwnerTexts();
    m_ownerName->SetLabel(SjisToWx(owner.name));
    m_ownerFunds->SetLabel(SjisToWx(owner.funds));
    m_ownerDefeat->SetLabel(SjisToWx(owner.defeat));
    m_ops.DrawHeader(Card(0), m_status02.get());
    m_opHeader->Repaint();
}

void SituationTableDlg::BuildIncomePage()
{
    DialogCard& card = Card(1);
    m_status12 = card.LoadPicture("status12.pxs");
    m_income.Redraw(card, m_status12.get());
    m_incomePanel = PageCard(m_pages[1], card, {2, 5, 338, 256});
}

void SituationTableDlg::BuildWeatherPage()
{
    DialogCard& card = Card(2);
    m_weather = std::make_unique<WeatherPagePainter>(m_doc.m_GameData, card);
    m_weatherBox = new wxStaticBox(m_pages[2], 1059, SjisToWx(m_weather->Caption()), wxPoint(4, 123), wxSize(333, 135));
    m_weather->Redraw(true);
    m_weatherPanels[0] = PageCard(m_pages[2], card, {54, 12, 286, 116});
    m_weatherPanels[1] = PageCard(m_pages[2], card, {12, 139, 328, 247});
}

void SituationTableDlg::BuildDayNightPage()
{
    DialogCard& card = Card(3);
    m_dayNight = std::make_unique<DayNightPagePainter>(m_doc.m_GameData, card);
    m_dayBox = new wxStaticBox(m_pages[3], 1205, SjisToWx(m_dayNight->Caption()), wxPoint(18, 134), wxSize(310, 125));
    m_dayNight->Redraw(true);
    m_dayPanels[0] = PageCard(m_pages[3], card, {54, 12, 286, 121});
    m_dayPanels[1] = PageCard(m_pages[3], card, {26, 151, 318, 251});
}

void SituationTableDlg::RedrawPage(int page)
{
    ++m_redraws[static_cast<size_t>(page)];
    switch (page) {
    case 0:
        m_ops.Fill();
        ShowOperationRows();
        // The turns left change while the window stays open.
        ShowOperationsHeader();
        m_locate->Disable();
        break;
    case 1:
        m_income.Redraw(Card(1), m_status12.get());
        m_incomePanel->Repaint();
        break;
    case 2:
        m_weather->Redraw(false);
        // The caption names the weather of the limits below it.
        m_weatherBox->SetLabel(SjisToWx(m_weather->Caption()));
        for (auto* p : m_weatherPanels) p->Repaint();
        break;
    case 3:
        m_dayNight->Redraw(false);
        m_dayBox->SetLabel(SjisToWx(m_dayNight->Caption()));
        for (auto* p : m_dayPanels) p->Repaint();
        break;
    default: break;
    }
}

void SituationTableDlg::Update(uint32_t mask)
{
    m_sheet.Update(mask);
}

// --- the progress window ------------------------------------------------------------------------

ProgressDlg::ProgressDlg(wxWindow* owner, CZRKGameDoc& doc, DialogView* view, ToolWindowHost* host)
    : wxDialog(owner, wxID_ANY, SjisToWx("進行状況"), wxDefaultPosition, wxDefaultSize, wxCAPTION),
      m_host(host),
      m_model(doc, view),
      m_card(view, kProgressW, kProgressH)
{
    SetFont(platform::GothicFont(12));
    m_picture = m_card.LoadPicture("progres2.pxs");
    SetClientSize(kProgressW, kProgressH);
    int x = kNoStoredPlace, y = 0;
    if (host != nullptr) host->GetToolWindowPlace(ToolWindow::Progress, x, y);
    if (x != kNoStoredPlace) Move(x, y);
    m_model.Draw(m_card, m_picture.get());
    m_panel = new platform::CardPanel(this, {0, 0, kProgressW, kProgressH}, [this] { return m_card.Surface(); });
    // Enter and Esc hide the window; the view still counts it open until
    // the phase ends.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        const int k = e.GetKeyCode();
        if (k == WXK_ESCAPE || k == WXK_RETURN || k == WXK_NUMPAD_ENTER)
            Hide();
        else
            e.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        if (e.CanVeto()) e.Veto(), Hide();
    });
}

void ProgressDlg::StorePlace()
{
    const wxPoint p = GetPosition();
    if (m_host != nullptr) m_host->StoreToolWindowPlace(ToolWindow::Progress, p.x, p.y);
}

void ProgressDlg::UpdateProgress()
{
    m_model.Update();
    m_model.Draw(m_card, m_picture.get());
    const platform::Rect& r = kProgressBarRect;
    m_panel->RefreshRect(wxRect(r.left, r.top, r.Width(), r.Height()), false);
    m_panel->Update();
}

// --- the event popup ------------------------------------------------------------------------------

namespace {

// Draws the popup's lines into its back buffer.
class BufferCanvas : public HistoryCanvas {
public:
    BufferCanvas(wxBitmap& buffer, int bigH, int smallH) : m_buffer(buffer), m_bigH(bigH), m_smallH(smallH) {}
    void Clear() override
    {
        wxMemoryDC dc(m_buffer);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
    }
    void Text(int x, int y, std::string_view text, bool big) override
    {
        wxMemoryDC dc(m_buffer);
        dc.SetFont(platform::GothicFont(big ? m_bigH : m_smallH, true));
        dc.SetTextForeground(*wxWHITE);
        dc.SetBackgroundMode(wxTRANSPARENT);
        dc.DrawText(SjisToWx(text), x, y);
    }

private:
    wxBitmap& m_buffer;
    int m_bigH, m_smallH;
};

}  // namespace

HistoryPopup::HistoryPopup(wxWindow* owner, DialogView* view, ToolWindowHost* host)
    : wxFrame(nullptr, wxID_ANY, SjisToWx("歴史"), wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      m_view(view),
      m_host(host),
      m_random(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())),
      m_model([this] { return m_random.Rand(); },
              [this](uint32_t date, int top, int lineH) {
                  return m_host != nullptr ? m_host->PlayEventMovie(date, top, lineH) : 0u;
              }),
      m_timer(this)
{
    // The screen the main window is on.
    int display = owner != nullptr ? wxDisplay::GetFromWindow(owner) : 0;
    if (display == wxNOT_FOUND) display = 0;
    m_screen = wxDisplay(static_cast<unsigned>(display)).GetGeometry();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxBLACK);
    m_buffer = wxBitmap(std::max(1, m_screen.width), std::max(1, m_screen.height));
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.DrawBitmap(m_buffer, 0, 0);
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTick(); });
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { OnClick(); });
}

HistoryPopup::~HistoryPopup()
{
    m_timer.Stop();
}

void HistoryPopup::ShowEvent(const HISTORYSTRUCT& event, bool longForm)
{
    m_model.Open(event, longForm, m_screen.width, m_screen.height);
    SetSize(m_screen);
    ShowFullScreen(true, wxFULLSCREEN_ALL);
    Show();
    Raise();
    PaintNow();
    m_timer.Start(50);
}

void HistoryPopup::PaintNow()
{
    BufferCanvas canvas(m_buffer, m_model.BigH(), m_model.SmallH());
    m_model.Paint(canvas);
    Refresh(false);
    Update();
}

void HistoryPopup::OnTick()
{
    const HistoryTick t = m_model.Tick();
    if (!m_model.TimerRunning()) m_timer.Stop();
    if (t.sound != 0 && m_view != nullptr) m_view->PlayDialogSound(t.sound);
    if (t.repaint) PaintNow();
}

void HistoryPopup::StepDisplay()
{
    m_model.StepDisplay();
    if (m_model.TimerRunning() && !m_timer.IsRunning()) m_timer.Start(50);
    PaintNow();
}

void HistoryPopup::OnClick()
{
    // Nothing happens until everything has appeared.
    if (!m_model.Click()) return;
    m_model.ClearScreen();
    // The view closes the event movie when it still plays, and ends its wait.
    if (m_host != nullptr) m_host->HistoryEventDone();
    PaintNow();
}

// --- the family -------------------------------------------------------------------------------------

SituationWindows::SituationWindows(wxWindow* owner, CZRKGameDoc& doc, DialogView* view)
    : m_owner(owner), m_doc(doc), m_view(view)
{
}

SituationWindows::~SituationWindows()
{
    DestroyAll();
}

bool SituationWindows::Create(ToolWindow which)
{
    if (which == ToolWindow::SituationTable) {
        if (m_table != nullptr) return true;
        m_table = new SituationTableDlg(m_owner, m_doc, m_view, [this] {
            if (m_host != nullptr) m_host->CloseToolWindow(ToolWindow::SituationTable);
        });
        m_table->Show();
        return true;
    }
    if (which == ToolWindow::Progress) {
        if (m_progress != nullptr) return true;
        m_progress = new ProgressDlg(m_owner, m_doc, m_view, m_host);
        m_progress->Show();
        return true;
    }
    return false;
}

bool SituationWindows::Destroy(ToolWindow which)
{
    if (which == ToolWindow::SituationTable) {
        if (m_table != nullptr) m_table->Destroy();
        m_table = nullptr;
        return true;
    }
    if (which == ToolWindow::Progress) {
        // Its place is stored before the window goes (the view may save its
        // settings before a deferred destruction has run).
        if (m_progress != nullptr) m_progress->StorePlace(), m_progress->Destroy();
        m_progress = nullptr;
        return true;
    }
    return false;
}

bool SituationWindows::Raise(ToolWindow which)
{
    wxWindow* w = which == ToolWindow::SituationTable ? static_cast<wxWindow*>(m_table)
                  : which == ToolWindow::Progress     ? static_cast<wxWindow*>(m_progress)
                                                      : nullptr;
    if (w == nullptr) return false;
    w->Show();
    w->Raise();
    return true;
}

void SituationWindows::RedrawSituationPages(uint32_t mask)
{
    if (m_table != nullptr) m_table->Update(mask);
}

void SituationWindows::UpdateProgress()
{
    if (m_progress != nullptr) m_progress->UpdateProgress();
}

bool SituationWindows::ShowHistoryEvent(int event, bool movie)
{
    const auto table = Lib().HistoryData;
    if (event < 0 || static_cast<size_t>(event) >= table.size()) return false;
    DestroyHistoryPopup();
    m_popup = new HistoryPopup(m_owner, m_view, m_host);
    m_popup->ShowEvent(table[static_cast<size_t>(event)], movie);
    return true;
}

void SituationWindows::StepHistoryDisplay()
{
    if (m_popup != nullptr) m_popup->StepDisplay();
}

int SituationWindows::HistoryDisplayState() const
{
    return m_popup != nullptr ? m_popup->Model().State() : -1;
}

void SituationWindows::SetHistoryDisplayState(int state)
{
    if (m_popup != nullptr) m_popup->Model().SetState(state);
}

void SituationWindows::RaiseHistoryPopup()
{
    if (m_popup != nullptr) m_popup->Raise();
}

bool SituationWindows::HasHistoryWindow() const
{
    return m_popup != nullptr && m_popup->IsShown();
}

void SituationWindows::HideHistoryPopup()
{
    if (m_popup != nullptr) m_popup->Hide();
}

void SituationWindows::DestroyHistoryPopup()
{
    if (m_popup != nullptr) m_popup->Destroy();
    m_popup = nullptr;
}

void SituationWindows::DestroyAll()
{
    DestroyHistoryPopup();
    // The progress window stores its place in the view as it goes.
    Destroy(ToolWindow::Progress);
    Destroy(ToolWindow::SituationTable);
}

}  // namespace zrv
