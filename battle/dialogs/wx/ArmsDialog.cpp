#include "battle/dialogs/wx/ArmsDialog.h"

#include <algorithm>

#include "battle/dialogs/ArmsChangeModel.h"
#include "battle/dialogs/BattleSpecContext.h"
#include "battle/dialogs/wx/PaintedDialog.h"
#include "battle/dialogs/wx/SpecSheetWindow.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

constexpr int kCostLineId = 1090;
constexpr int kSoundDecide = 23;
// The strip under the sheet, and the buttons' right edge with its margin.
constexpr int kStripH = 23;
constexpr int kButtonsRight = 556 + 62 + 2;

void LogLine(const std::string& line)
{
    if (platform::PlayLogEnabled()) platform::PlayLog("arms line " + platform::SjisToUtf8(line));
}

}  // namespace

int RunArmsDialog(wxWindow* parent, CZRKGameDoc& doc, DialogView* view, UNITSTRUCT& unit, int funds,
                  int& armsSet)
{
    ArmsChangeModel model(unit, funds);
    BattleSpecContext context(doc, view);
    PaintedDialog dlg(parent, "武装", 640, 480);
    dlg.SetPosition(wxPoint(0, 0));
    const int first = std::clamp(model.ArmsSet(), 0, std::max(0, model.Sheet().PageCount() - 1));
    auto* sheet = new SpecSheetWindow(&dlg, model.Sheet(), context, first);
    sheet->Move(0, 0);
    const wxSize s = sheet->GetSize();
    // Made before the dialog is sized: a window's only child would be
    // stretched over its whole client area.
    wxButton* cancel = dlg.Button(wxID_CANCEL, "中止", 556, 0, 62, 22);
    wxButton* ok = dlg.Button(wxID_OK, "決定", 490, 0, 62, 22);
    wxStaticText* line = dlg.Label(kCostLineId, model.Line(), 7, 0, 200, 14);
    // The sheet plus the strip; wide enough for the buttons where the tab
    // control is narrower than they need.
    dlg.SetClientSize(std::max(s.x, kButtonsRight), s.y + kStripH);
    sheet->SetSize(0, 0, s.x, s.y);
    const int h = dlg.GetClientSize().y;
    cancel->Move(556, h - 25);
    ok->Move(490, h - 25);
    line->Move(7, h - 22);
    LogLine(model.Line());
    model.SetLineChanged([line](const std::string& text) {
        line->SetLabel(SjisToWx(text));
        LogLine(text);
    });
    ok->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        model.Choose(sheet->GetSelection());
        if (view != nullptr) view->PlayDialogSound(kSoundDecide);
        dlg.EndModal(wxID_OK);
    });
    dlg.CentreOnParent();
    if (dlg.ShowModal() != wxID_OK) return kAnswerCancel;
    armsSet = model.ArmsSet();
    return kAnswerOk;
}

int WxDialogService::ArmsDialog(UNITSTRUCT& unit, int funds, int& armsSet)
{
    if (m_doc == nullptr) return DialogService::ArmsDialog(unit, funds, armsSet);
    const int r = RunArmsDialog(m_parent, *m_doc, m_view, unit, funds, armsSet);
    if (platform::PlayLogEnabled())
        platform::PlayLog("answer Arms " + std::to_string(r) + (r == kAnswerOk ? " set " + std::to_string(armsSet) : ""));
    return r;
}

}  // namespace zrv
