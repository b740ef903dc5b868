#include "battle/dialogs/wx/SpecSheetWindow.h"

#include <wx/panel.h>

#include "battle/dialogs/WeaponTablePainter.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/CardPanel.h"
#include "platform/wx/FullRowListCtrl.h"

namespace zrv {

SpecSheetWindow::SpecSheetWindow(wxWindow* host, SpecSheetModel& model, const SpecContext& context, int first)
    : wxNotebook(host, wxID_ANY, wxPoint(0, 0), wxDefaultSize, wxNB_TOP),
      m_model(model),
      m_context(context)
{
    SetFont(platform::GothicFont(12));
    m_pages.resize(static_cast<size_t>(m_model.PageCount()));
    for (size_t i = 0; i < m_pages.size(); ++i) {
        Page& page = m_pages[i];
        auto* window = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(kSpecPageW, kSpecPageH));
        page.card = std::make_unique<DialogCard>(m_context.View(), kWeaponCardW, kWeaponCardH);
        DialogCard* card = page.card.get();
        page.panel = new platform::CardPanel(window, {0, 0, kWeaponCardW, kWeaponCardH},
                                             [card] { return card->Surface(); });
        page.panel->Move(kSpecCardAtX, kSpecCardAtY);
        PaintPage(i);
        AddPage(window, wxString::FromUTF8(platform::SjisToUtf8(m_model.Page(static_cast<int>(i)).title)), false);
    }
    // Every page shows in 603 x 135.
    SetClientSize(CalcSizeFromPage(wxSize(kSpecPageW, kSpecPageH)));
    if (first >= 0 && first < m_model.PageCount()) ChangeSelection(static_cast<size_t>(first));
    m_model.LaidOut(first);
    Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &SpecSheetWindow::OnPageChanged, this);
    if (platform::PlayLogEnabled()) {
        std::string tabs = "sheet tabs";
        for (int i = 0; i < m_model.PageCount(); ++i) tabs += " [" + platform::SjisToUtf8(m_model.Page(i).title) + "]";
        platform::PlayLog(tabs);
    }
}

SpecSheetWindow::~SpecSheetWindow() = default;

void SpecSheetWindow::PaintPage(size_t i)
{
    Page& p = m_pages[i];
    if (!p.card->IsValid()) return;
    const SpecPage& page = m_model.Page(static_cast<int>(i));
    WeaponTableInput in;
    in.armsType = m_model.ArmsType();
    in.unit = m_model.Unit();
    in.set = page.set;
    in.setRecord = page.setRecord;
    in.menuMode = m_context.MenuMode();
    if (!in.menuMode) {
        in.country = m_context.CurrentCountry();
        in.game = m_context.Game();
    }
    in.keepEmptyRows = m_context.KeepEmptyWeaponRows();
    const DialogView* view = m_context.View();
    DrawWeaponTable(in, p.card->Picture(), view->SpecPicture(), view->WeaponIcons(), p.card->Font());
}

void SpecSheetWindow::RefreshCurrentPage()
{
    const SpecSheetModel::Refresh refresh = m_model.RefreshCurrentPage();
    if (refresh != SpecSheetModel::Refresh::None && platform::PlayLogEnabled())
        platform::PlayLog(refresh == SpecSheetModel::Refresh::Now ? "sheet current page painted again"
                                                                   : "sheet current page waits");
    if (refresh != SpecSheetModel::Refresh::Now || m_pages.empty()) return;
    PaintPage(0);
    m_pages[0].panel->Repaint();
}

void SpecSheetWindow::OnPageChanged(wxBookCtrlEvent& e)
{
    e.Skip();
    const int index = e.GetSelection();
    if (index < 0 || index >= m_model.PageCount()) return;
    if (platform::PlayLogEnabled())
        platform::PlayLog("sheet page " + std::to_string(index) + " [" +
                          platform::SjisToUtf8(m_model.Page(index).title) + "]");
    if (m_model.PageChanged(index)) {
        if (platform::PlayLogEnabled()) platform::PlayLog("sheet current page painted again");
        PaintPage(0);
        m_pages[0].panel->Repaint();
    }
}

}  // namespace zrv
