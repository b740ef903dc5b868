#include "battle/dialogs/wx/SpecTableWindow.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/statbox.h>

#include "battle/dialogs/SpecCardPainter.h"
#include "battle/dialogs/wx/SpecSheetWindow.h"
#include "platform/core/PlayLog.h"

namespace zrv {
namespace {

constexpr int kFrameId = 1208;
const wxPoint kSheetAt(6, 277);
// The frame around the card.
const wxRect kFrame(4, 5, 615, 266);

}  // namespace

SpecTableWindow::SpecTableWindow(wxWindow* owner, const BattleSpecContext& context, ToolWindowHost* host, int slot,
                                 int armsType, UNITSTRUCT* unit, COUNTRYSTRUCT* country)
    : PaintedDialog(owner, SpecWindowCaption(unit, country), 640, 480),
      m_context(context),
      m_host(host),
      m_nSlot(slot),
      m_nArms(armsType),
      m_pUnit(unit),
      m_pCountry(country),
      m_nSide(country != nullptr ? country->nDisplay : 1),
      m_model(armsType, unit, false),
      m_card(context.View(), kSpecCardW, kSpecCardH)
{
    SetPosition(wxPoint(0, 0));
    // The sheet of every set, with the unit's current armament when it has one.
    m_model.AddPages();
    new wxStaticBox(this, kFrameId, wxEmptyString, kFrame.GetPosition(), kFrame.GetSize());
    m_panel = Card(m_card, {kSpecShownX, kSpecShownY, kSpecShownX + kSpecBackW, kSpecShownY + kSpecBackH},
                   [this](int x, int y) { Clicked(x, y); });
    m_pSheet = new SpecSheetWindow(this, m_model, m_context, 0);
    DrawTable();

    // The sheet below the card; the window reaches 2 pixels past it (and
    // never cuts the card's frame, where the tab control is narrower).
    m_pSheet->Move(kSheetAt);
    const wxSize sheet = m_pSheet->GetSize();
    SetClientSize(std::max(kSheetAt.x + sheet.x, kFrame.GetRight() + 1) + 2, kSheetAt.y + sheet.y + 2);
    CentreOnParent();

    m_bOwnUnit = unit != nullptr && country != nullptr && country == m_context.CurrentCountry();
    SetToolClose([this] { AskToClose(); });
}

SpecTableWindow::~SpecTableWindow()
{
    m_nArms = -1;
}

bool SpecTableWindow::DrawTable()
{
    if (!m_card.IsValid()) return false;
    SpecCardInput in;
    in.armsType = m_nArms;
    in.unit = m_pUnit;
    in.country = m_pCountry;
    in.side = m_nSide;
    in.game = m_context.Game();
    in.current = m_context.CurrentCountry();
    const DialogView* view = m_context.View();
    SpecCardPictures pictures;
    pictures.spec = view->SpecPicture();
    pictures.unitPicture = [view](CDib& card, int x, int y, int type, int set) {
        view->DrawUnitPicture(&card, type, set, x, y, -1);
    };
    pictures.flagMark = [view](CDib& card, int x, int y, int country, int flag) {
        view->DrawFlagMark(&card, country, x, y, flag, false);
    };
    return DrawSpecCard(in, m_card.Picture(), pictures, m_card.Font());
}

void SpecTableWindow::UnitChanged()
{
    if (DrawTable()) m_panel->Repaint();
}

void SpecTableWindow::ArmsChanged()
{
    m_pSheet->RefreshCurrentPage();
}

void SpecTableWindow::AskToClose()
{
    if (m_closing || m_host == nullptr) return;
    m_closing = true;
    // A posted request: the view closes the slot once this event is over.
    ToolWindowHost* host = m_host;
    const int slot = m_nSlot;
    wxTheApp->CallAfter([host, slot] { host->ClosePerformanceSlot(slot); });
}

void SpecTableWindow::Clicked(int x, int y)
{
    const platform::Rect& r = kSpecUnitPicture;
    if (!m_bOwnUnit || m_host == nullptr || x < r.left || x >= r.right || y < r.top || y >= r.bottom) return;
    if (platform::PlayLogEnabled()) platform::PlayLog("spec window " + std::to_string(m_nSlot) + " evolution table");
    m_host->OpenEvolutionTable(m_nArms, m_pUnit, -1);
}

}  // namespace zrv
