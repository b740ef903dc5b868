#include "battle/dialogs/wx/PlacementWindows.h"

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/PlacementWindowModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/CardPanel.h"
#include "platform/wx/FullRowListCtrl.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {
namespace {

// The page area every tab is shown at, and the strip for the buttons.
constexpr int kPageW = 345, kPageH = 275;
constexpr int kButtonStrip = 25;
// Controls of the window and its pages.
constexpr int kIdTakeBack = 1051;
constexpr int kIdList = 1027, kIdFunds = 1028, kIdRemaining = 1029;
constexpr int kIdPerformance = 1025, kIdEvolution = 1026, kIdOther = 1150;
// The row icons: three 12 x 12 cells (ready, money bag, red cross).
constexpr const char* kRowIconPicture = "rowicon.pxs";

// One tab: the page model and its controls.
struct PageControls {
    wxPanel* panel = nullptr;
    platform::FullRowListCtrl* list = nullptr;
    wxStaticText* funds = nullptr;
    wxStaticText* remaining = nullptr;
    wxButton* other = nullptr;
    wxButton* performance = nullptr;
    wxButton* evolution = nullptr;
    platform::CardPanel* cardPanel = nullptr;
    std::unique_ptr<DialogCard> card;
    std::unique_ptr<CDib> back;
};

wxBitmap RowIcons(const DialogCard& card)
{
    std::unique_ptr<CDib> strip = card.LoadPicture(kRowIconPicture);
    if (!strip || !strip->Surface().IsValid()) return wxBitmap();
    const platform::Surface8 s = strip->Surface();
    return wxBitmap(platform::SurfaceToImage(s, 0, 0, s.Width(), s.Height()));
}

}  // namespace

class PlacementWindow : public PaintedDialog {
public:
    PlacementWindow(wxWindow* parent, CZRKGameDoc& doc, PlacementView& view, const DialogView* pictures,
                    bool deployment, std::function<void()> close)
        : PaintedDialog(parent, deployment ? "配置" : "生産", kPageW, kPageH + kButtonStrip),
          m_model(doc, view, deployment),
          m_view(view),
          m_pictures(pictures)
    {
        SetToolClose(close);
        m_model.Init();
        BuildSheet();
        BuildButtons(close);
        // Sized once the buttons are there: a window with the sheet alone
        // would stretch it over the button strip.
        SetClientSize(m_clientW, m_clientH);
        m_book->SetSize(m_sheet);
        for (int i = 0; i < m_model.PageCount(); ++i) SyncPage(i);
        LogTabs();
    }

    PlacementWindowModel& Model() { return m_model; }

    void UnitPlaced(HEXINDEX hex)
    {
        m_model.UnitPlaced(hex);
        SyncPage(m_model.ActivePage());
        SyncTakeBack();
    }

    void TypesChanged(int retired, int added)
    {
        m_model.TypesChanged(retired, added);
        for (int i = 0; i < m_model.PageCount(); ++i) SyncPage(i);
    }

    // The window goes: the armed bit is cleared, its place remembered and
    // the view leaves the window's mode.
    void CloseDown()
    {
        if (m_closed) return;
        m_closed = true;
        const wxPoint at = GetPosition();
        m_view.SetPlacementWindowPos({at.x, at.y});
        m_model.Closed();
    }

    // Puts the window at the remembered place, or at the pointer (kept on
    // the screen) while there is none.
    void PlaceOnScreen()
    {
        const PointI remembered = m_view.PlacementWindowPos();
        if (remembered.x >= 0) {
            Move(remembered.x, remembered.y);
        } else {
            const wxPoint mouse = wxGetMousePosition();
            const wxSize screen = wxGetDisplaySize();
            const wxSize size = GetSize();
            Move(std::max(0, std::min(mouse.x, screen.x - size.x)), std::max(0, std::min(mouse.y, screen.y - size.y)));
        }
        if (platform::PlayLogEnabled()) {
            const wxPoint at = GetPosition();
            platform::PlayLog(platform::SjisToUtf8(m_model.Deployment() ? "配置" : "生産") + " at " +
                              std::to_string(at.x) + " " + std::to_string(at.y));
        }
    }

private:
    void BuildSheet()
    {
        m_book = new wxNotebook(this, wxID_ANY, wxPoint(0, 0), wxDefaultSize);
        m_book->SetFont(GetFont());
        m_pages.resize(static_cast<size_t>(m_model.PageCount()));
        for (int i = 0; i < m_model.PageCount(); ++i) {
            PageControls& c = m_pages[static_cast<size_t>(i)];
            c.panel = new wxPanel(m_book, wxID_ANY, wxDefaultPosition, wxSize(kPageW, kPageH));
            c.panel->SetFont(GetFont());
            BuildPage(c, m_model.Page(i));
            m_book->AddPage(c.panel, SjisToWx(m_model.Page(i).Title()), i == 0);
        }
        // Every page is shown at 345 x 275; the window fits the sheet and
        // the button strip below it.
        const wxSize sheet = m_book->CalcSizeFromPage(wxSize(kPageW, kPageH));
        m_sheet = sheet;
        m_clientW = std::max(sheet.x, 273 + 88 + 4);
        m_clientH = sheet.y + kButtonStrip;
        m_book->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& e) {
            e.Skip();
            if (e.GetEventObject() != m_book) return;
            const int page = e.GetSelection();
            m_model.PageChanged(page);
            SyncPage(page);
        });
    }

    void BuildButtons(const std::function<void()>& close)
    {
        m_takeBack = Button(kIdTakeBack, "取り消し", 179, m_clientH - 26, 88, 23);
        m_done = Button(wxID_CANCEL, "終了", 273, m_clientH - 26, 88, 23);
        wxButton* done = m_done;
        m_takeBack->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            m_model.TakeBack();
            for (int i = 0; i < m_model.PageCount(); ++i) SyncPage(i);
            SyncTakeBack();
        });
        done->Bind(wxEVT_BUTTON, [close](wxCommandEvent&) { close(); });
        SyncTakeBack();
    }

    void BuildPage(PageControls& c, PlacementPageModel& page)
    {
        const bool deployment = m_model.Deployment();
        wxPanel* p = c.panel;
        auto label = [&](int id, const char* text, int x, int y, int w, int h) {
            auto* t = new wxStaticText(p, id, SjisToWx(text), wxPoint(x, y), wxSize(w, h), wxST_NO_AUTORESIZE);
            t->SetFont(GetFont());
            return t;
        };
        auto button = [&](int id, const char* text, int x) {
            auto* b = new wxButton(p, id, SjisToWx(text), wxPoint(x, 242), wxSize(88, 23));
            b->SetFont(GetFont());
            return b;
        };
        // The card in its frame.
        auto* frame = new wxPanel(p, 1050, wxPoint(4, 4), wxSize(336, 111), wxBORDER_SUNKEN);
        c.card = std::make_unique<DialogCard>(m_pictures, kPlaceCardW, kPlaceCardH);
        c.back = c.card->LoadPicture(deployment ? "setup2.pxs" : "product2.pxs");
        DialogCard* card = c.card.get();
        c.cardPanel = new platform::CardPanel(frame, {0, 0, kPlaceCardW, kPlaceCardH}, [card] { return card->Surface(); });
        const wxSize inner = frame->GetClientSize();
        c.cardPanel->Move((inner.x - kPlaceCardW) / 2, (inner.y - kPlaceCardH) / 2);

        if (!deployment) {
            label(1034, "軍事費＄", 178, 122, 48, 13);
            c.funds = label(kIdFunds, "", 228, 121, 60, 14);
        }
        label(1035, "残", 302, 122, 14, 13);
        c.remaining = label(kIdRemaining, "", 318, 121, 22, 14);
        auto* group =
            new wxStaticBox(p, 1036, SjisToWx(deployment ? "配置リスト" : "生産リスト"), wxPoint(4, 135), wxSize(336, 138));
        group->SetFont(GetFont());
        c.list = new platform::FullRowListCtrl(p, kIdList, wxPoint(14, 149), wxSize(316, 85));
        c.list->SetGothicFont();
        c.list->SetShowSelectionAlways(true);
        c.list->SetKeepSelection(true);
        const wxBitmap icons = RowIcons(*c.card);
        if (icons.IsOk()) c.list->SetImages(icons, 12, 12);
        const int bar = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, c.list);
        using platform::ColumnAlign;
        if (deployment) {
            c.list->SetColumns({{"番号", ColumnAlign::Right, 24 + 36 - bar},
                                {"ユニット名", ColumnAlign::Left, 156},
                                {"Lv", ColumnAlign::Center, 24},
                                {"機数", ColumnAlign::Right, 36},
                                {"ﾀｲﾌﾟ", ColumnAlign::Left, 36}});
        } else {
            c.list->SetColumns({{"ユニット名", ColumnAlign::Left, 180 + 36 - bar},
                                {"価格", ColumnAlign::Center, 60},
                                {"ﾀｲﾌﾟ", ColumnAlign::Left, 36}});
        }
        c.other = button(kIdOther, deployment ? "生産" : "配置", 14);
        c.performance = button(kIdPerformance, "性能", 148);
        c.evolution = button(kIdEvolution, "進化表", 242);

        PlacementPageModel* model = &page;
        PageControls* controls = &c;
        c.list->onItemChanged = [this, model, controls](int row) {
            model->Select(row);
            SyncCard(*controls, *model);
        };
        c.list->onClick = [this, model, controls](int) {
            model->Click();
            SyncTexts(*controls, *model);
        };
        c.list->onDoubleClick = [model](int) { model->OpenPerformance(); };
        c.list->onRightClick = [model](int) { model->OpenPerformance(); };
        c.list->onColumnClick = [this, model, controls](int column) {
            model->ColumnClick(column);
            SyncRows(*controls, *model);
        };
        c.performance->Bind(wxEVT_BUTTON, [model](wxCommandEvent&) { model->OpenPerformance(); });
        c.evolution->Bind(wxEVT_BUTTON, [model](wxCommandEvent&) { model->OpenEvolutionTable(); });
        c.other->Bind(wxEVT_BUTTON, [model](wxCommandEvent&) { model->OtherCommand(); });
    }

    void SyncRows(PageControls& c, PlacementPageModel& page)
    {
        c.list->SetVirtualRows(
            page.RowCount(),
            [&page](int row, int column) {
                if (row < 0 || row >= page.RowCount()) return std::string();
                const std::vector<std::string> texts = page.RowTexts(row);
                return column >= 0 && column < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(column)]
                                                                                : std::string();
            },
            [&page](int row) { return row >= 0 && row < page.RowCount() ? page.Row(row).icon : -1; });
        c.list->Select(page.Selected());
        c.list->Refresh();
    }

    void SyncTexts(PageControls& c, PlacementPageModel& page)
    {
        const PlacementPageTexts& t = page.Texts();
        if (c.funds != nullptr) c.funds->SetLabel(SjisToWx(t.funds));
        c.remaining->SetLabel(SjisToWx(t.remaining));
        c.performance->Enable(t.performance);
        c.evolution->Enable(t.evolution);
        c.other->Enable(t.other);
    }

    void SyncCard(PageControls& c, PlacementPageModel& page)
    {
        if (c.card->IsValid()) {
            const DialogView* pictures = m_pictures;
            const CardPictureDrawer draw = [pictures](CDib& dib, const CardUnitPicture& p) {
                if (pictures != nullptr) pictures->DrawUnitPicture(&dib, p.type, p.side, p.x, p.y, p.strength);
            };
            PaintPlacementCard(c.card->Picture(), c.back.get(), kPlaceCardW, kPlaceCardH, page.Card(), draw,
                               c.card->Font());
        }
        c.cardPanel->Repaint();
    }

    void SyncPage(int index)
    {
        if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
        PageControls& c = m_pages[static_cast<size_t>(index)];
        PlacementPageModel& page = m_model.Page(index);
        SyncRows(c, page);
        SyncTexts(c, page);
        SyncCard(c, page);
    }

    void SyncTakeBack()
    {
        const bool enable = m_model.TakeBackEnabled();
        // A disabled button keeps no keys: the focus goes to "終了" so that
        // Esc still closes the window after a take-back.
        if (!enable && FindFocus() == m_takeBack) m_done->SetFocus();
        m_takeBack->Enable(enable);
    }

    // The tab titles, for the test player's log.
    void LogTabs()
    {
        std::string line = std::string("tabs ") + (m_model.Deployment() ? "配置" : "生産") + ":";
        for (int i = 0; i < m_model.PageCount(); ++i) line += std::string(" ") + m_model.Page(i).Title();
        platform::PlayLog(platform::SjisToUtf8(line));
    }

    PlacementWindowModel m_model;
    PlacementView& m_view;
    const DialogView* m_pictures;
    wxNotebook* m_book = nullptr;
    wxButton* m_takeBack = nullptr;
    wxButton* m_done = nullptr;
    std::vector<PageControls> m_pages;
    wxSize m_sheet{kPageW, kPageH};
    int m_clientW = kPageW, m_clientH = kPageH + kButtonStrip;
    bool m_closed = false;
};

PlacementWindows::PlacementWindows(wxWindow* owner, CZRKGameDoc& doc, PlacementView& view, const DialogView* pictures)
    : m_owner(owner), m_doc(doc), m_view(view), m_pictures(pictures)
{
}

PlacementWindows::~PlacementWindows()
{
    CloseAll();
}

bool PlacementWindows::Open(bool deployment)
{
    PlacementWindow*& w = (*m_windows)[deployment ? 1 : 0];
    if (w != nullptr) {
        w->Raise();
        return true;
    }
    w = new PlacementWindow(m_owner, m_doc, m_view, m_pictures, deployment, [this, deployment] { Close(deployment); });
    // Destroyed with the main window: forgotten here.
    PlacementWindow* made = w;
    made->Bind(wxEVT_DESTROY, [slots = m_windows, made, deployment](wxWindowDestroyEvent& e) {
        PlacementWindow*& slot = (*slots)[deployment ? 1 : 0];
        if (e.GetEventObject() == made && slot == made) slot = nullptr;
        e.Skip();
    });
    w->PlaceOnScreen();
    w->Show();
    return true;
}

void PlacementWindows::Close(bool deployment)
{
    PlacementWindow*& w = (*m_windows)[deployment ? 1 : 0];
    if (w == nullptr) return;
    PlacementWindow* gone = w;
    w = nullptr;
    gone->CloseDown();
    gone->Destroy();
}

bool PlacementWindows::IsOpen(bool deployment) const
{
    return (*m_windows)[deployment ? 1 : 0] != nullptr;
}

void PlacementWindows::UnitPlaced(bool deployment, HEXINDEX hex)
{
    if (PlacementWindow* w = (*m_windows)[deployment ? 1 : 0]) w->UnitPlaced(hex);
}

void PlacementWindows::TypesChanged(int retired, int added)
{
    if (PlacementWindow* w = (*m_windows)[0]) w->TypesChanged(retired, added);
}

void PlacementWindows::CloseAll()
{
    Close(false);
    Close(true);
}

}  // namespace zrv
