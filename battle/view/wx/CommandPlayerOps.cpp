#include "battle/view/wx/CommandPlayerOps.h"

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/SWndView.h"
#include "battle/view/wx/MainFrame.h"
#include "platform/core/PlayLog.h"
#include "platform/wx/ScriptPlayer.h"
#include "platform/wx/Screenshot.h"

namespace zrv {
namespace {

using platform::ScriptPlayer;
using Step = ScriptPlayer::Step;

std::string Hex(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

int UnitHex(const CZRKGameDoc& doc, const UNITSTRUCT* u)
{
    return u != nullptr ? GetUnitMapHex(doc.m_GameData, *u) : -1;
}

// The shown window with id that lies in a shown command bar.
wxWindow* FindBarButton(int id)
{
    for (wxWindow* top : wxTopLevelWindows) {
        if (!top->IsShown()) continue;
        wxWindow* w = top->FindWindow(id);
        if (w != nullptr && w != top && w->IsShownOnScreen()) return w;
    }
    return nullptr;
}

}  // namespace

void RegisterCommandOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    player.Register("ctrl", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty() || w[0].size() != 1) return error = "no letter", Step::Failed;
        wxUIActionSimulator sim;
        if (!sim.Char(static_cast<unsigned char>(w[0][0]), wxMOD_CONTROL)) return error = "key not sent", Step::Failed;
        return Step::Done;
    });
    player.Register("barbutton", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no id", Step::Failed;
        wxWindow* b = FindBarButton(std::atoi(w[0].c_str()));
        if (b == nullptr) return error = "no open bar has button " + w[0], Step::Failed;
        const wxRect r = b->GetScreenRect();
        ScriptPlayer::ClickAt(r.x + r.width / 2, r.y + r.height / 2, false);
        return Step::Done;
    });
    player.Register("state", [f, d](const ScriptPlayer::Words&, std::string&) {
        const CZRKGameView& v = f->View();
        const COUNTRYSTRUCT* c = v.m_pCurCountry;
        const auto* strip = dynamic_cast<const CSWndView*>(&f->View().Strip());
        platform::PlayLog("state mode " + std::to_string(v.m_nCmdMode) + " sub " + std::to_string(v.m_nCmdSubMode) +
                          " sel " + std::to_string(UnitHex(*d, v.m_pSelUnit)) + " cmd " +
                          std::to_string(UnitHex(*d, v.m_pCmdUnit)));
        platform::PlayLog("strip " + std::to_string(strip != nullptr ? strip->LastHex() : -2) + " unit " +
                          std::to_string(strip != nullptr ? UnitHex(*d, strip->LastUnit()) : -2));
        platform::PlayLog("slot " + std::to_string(v.m_nNextUnitSlot) + " hexlines " +
                          std::to_string((v.m_dwDispOption & kDispHexLines) ? 1 : 0) + " display " +
                          Hex(v.m_dwDispOption) + " option " + Hex(d->m_dwGameOption) + " country " +
                          Hex(c != nullptr ? c->dwFlag : 0));
        return Step::Done;
    });
    player.Register("screenshot", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no file", Step::Failed;
        wxScreenDC screen;
        const wxSize size = screen.GetSize();
        wxBitmap picture(size.x, size.y, 24);
        wxMemoryDC mem(picture);
        const bool ok = mem.Blit(0, 0, size.x, size.y, &screen, 0, 0);
        mem.SelectObject(wxNullBitmap);
        if (!ok || !platform::SaveScreenshot(picture, w[0])) return error = "cannot save " + w[0], Step::Failed;
        platform::PlayLog("shot " + w[0]);
        return Step::Done;
    });
    player.Register("stripshot", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no file", Step::Failed;
        if (!ScriptPlayer::SaveWindowPicture(f->StatusPane(), w[0])) return error = "cannot save " + w[0], Step::Failed;
        platform::PlayLog("shot " + w[0]);
        return Step::Done;
    });
}

}  // namespace zrv
