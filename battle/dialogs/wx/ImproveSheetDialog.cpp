#include "battle/dialogs/wx/ImproveSheetDialog.h"

#include <memory>
#include <vector>

#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/panel.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/ImproveSheetModel.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/CardPanel.h"

namespace zrv {
namespace {

// Every page is 217 x 152; the buttons take 33 pixels below the tabs.
constexpr int kPageW = 217, kPageH = 152;
constexpr int kButtonStrip = 33;

struct ImprovePageCard {
    std::unique_ptr<DialogCard> card;
    std::unique_ptr<CDib> back;
};

}  // namespace

int RunImproveSheet(wxWindow* parent, const DialogView* pictures, std::span<const int> candidates,
                    const UNITSTRUCT& unit, int display, int funds, int& chosenPage)
{
    ImproveSheetModel model(candidates, unit, display, funds);
    PaintedDialog dlg(parent, "改良", kPageW + 8, kPageH + 60);
    auto* book = new wxNotebook(&dlg, wxID_ANY, wxPoint(0, 0));
    book->SetFont(dlg.GetFont());
    std::vector<ImprovePageCard> cards(static_cast<size_t>(model.PageCount()));
    std::string tabs = "tabs 改良:";
    for (int i = 0; i < model.PageCount(); ++i) {
        auto* page = new wxPanel(book, wxID_ANY, wxDefaultPosition, wxSize(kPageW, kPageH));
        ImprovePageCard& c = cards[static_cast<size_t>(i)];
        c.card = std::make_unique<DialogCard>(pictures, kImproveCardW, kImproveCardH);
        c.back = c.card->LoadPicture("improve2.pxs");
        if (c.card->IsValid()) {
            const CardPictureDrawer draw = [pictures](CDib& dib, const CardUnitPicture& p) {
                if (pictures != nullptr) pictures->DrawUnitPicture(&dib, p.type, p.side, p.x, p.y, p.strength);
            };
            PaintPlacementCard(c.card->Picture(), c.back.get(), kImproveCardW, kImproveCardH, model.Card(i), draw,
                               c.card->Font());
        }
        // The picture frame at (2, 4), the card inside it at (4, 6).
        auto* frame = new wxPanel(page, 1052, wxPoint(2, 4), wxSize(212, 146), wxBORDER_SUNKEN);
        DialogCard* card = c.card.get();
        auto* panel = new platform::CardPanel(frame, {0, 0, kImproveCardW, kImproveCardH},
                                              [card] { return card->Surface(); });
        const wxSize inner = frame->GetClientSize();
        panel->Move((inner.x - kImproveCardW) / 2, (inner.y - kImproveCardH) / 2);
        book->AddPage(page, SjisToWx(model.Page(i).title), i == 0);
        tabs += " " + model.Page(i).title;
    }
    platform::PlayLog(platform::SjisToUtf8(tabs));
    const wxSize sheet = book->CalcSizeFromPage(wxSize(kPageW, kPageH));
    const int w = std::max(sheet.x, 146 + 82 + 4);
    const int h = sheet.y + kButtonStrip;
    // The buttons come before the sizing: a window with the sheet alone
    // would stretch it over them.
    wxButton* improve = dlg.Button(wxID_OK, "改良", 61, h - 26, 82, 23);
    dlg.Button(wxID_CANCEL, "中止", 146, h - 26, 82, 23);
    dlg.SetClientSize(w, h);
    book->SetSize(sheet);
    improve->SetDefault();
    dlg.CentreOnParent();
    book->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [&](wxBookCtrlEvent& e) {
        e.Skip();
        if (e.GetEventObject() != book) return;
        model.PageChanged(e.GetSelection());
        improve->Enable(model.ImproveEnabled());
    });
    if (dlg.ShowModal() != wxID_OK) return kAnswerCancel;
    chosenPage = model.SelectedPage();
    return kAnswerOk;
}

}  // namespace zrv
