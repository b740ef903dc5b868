#include "battle/view/wx/CommandPlayerOps.h"

#include <wx/menu.h>
#include <wx/time.h>
#include <wx/toolbar.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/SWndView.h"
#include "battle/view/wx/MainFrame.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/wx/Screenshot.h"
#include "platform/wx/ScriptPlayer.h"
#include "platform/wx/SurfaceCanvas.h"

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

// The middle of the toolbar's tool with id, in screen points: where its
// picture shows in a picture of the toolbar (the toolkit tells no tool's
// rectangle). False when the toolbar has no such tool.
bool ToolMiddle(wxToolBar& tb, int id, wxPoint& at)
{
    const wxToolBarToolBase* tool = tb.FindById(id);
    if (tool == nullptr || !tool->GetNormalBitmap().IsOk()) return false;
    const wxImage icon = tool->GetNormalBitmap().ConvertToImage();
    const wxPoint origin = tb.ClientToScreen(wxPoint(0, 0));
    const wxBitmap shot = platform::GrabScreen(wxRect(origin, tb.GetClientSize()));
    if (!shot.IsOk()) return false;
    const wxImage bar = shot.ConvertToImage();
    const int w = icon.GetWidth(), h = icon.GetHeight();
    long best = -1;
    for (int y = 0; y + h <= bar.GetHeight(); ++y)
        for (int x = 0; x + w <= bar.GetWidth(); ++x) {
            long diff = 0;
            for (int j = 0; j < h && (best < 0 || diff < best); ++j)
                for (int i = 0; i < w; ++i)
                    diff += std::abs(bar.GetRed(x + i, y + j) - icon.GetRed(i, j)) +
                            std::abs(bar.GetGreen(x + i, y + j) - icon.GetGreen(i, j)) +
                            std::abs(bar.GetBlue(x + i, y + j) - icon.GetBlue(i, j));
            if (best < 0 || diff < best) {
                best = diff;
                at = wxPoint(origin.x + x + w / 2, origin.y + y + h / 2);
            }
        }
    return best >= 0;
}

// The way to a menu bar item by the keyboard: the popup's index on the
// bar, then at each level the number of Down presses from the top of the
// popup (the toolkit skips separators and greyed items) and whether the
// item opens a further popup.
struct MenuStep {
    int downs;
    bool opens;
};
bool FindMenuPath(wxMenu& menu, int id, std::vector<MenuStep>& path)
{
    int downs = 0;
    for (wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSeparator()) continue;
        // The toolkit's keys pass over a greyed item; an item that cannot
        // run now is never the one looked for.
        if (!item->IsEnabled()) continue;
        ++downs;
        if (item->GetId() == id && !item->IsSubMenu()) {
            path.push_back({downs, false});
            return true;
        }
        if (item->IsSubMenu()) {
            path.push_back({downs, true});
            if (FindMenuPath(*item->GetSubMenu(), id, path)) return true;
            path.pop_back();
        }
    }
    return false;
}

// The names of the recorded dialogs, in the order of their kinds.
const char* const kDialogNames[] = {
    "CountryControl", "Password",   "NewWeaponEntry", "NewDeployment", "SaveFile",       "OpenFile",
    "AttackDecision", "Merge",      "Unload",         "Launch",        "March",          "RouteBuild",
    "Durability",     "EvolutionTable", "Arms",       "Improve",       "ForceTable",     "WeaponTable",
    "BgmSettings",
};

std::string DialogName(ScriptedDialogService::DialogKind kind)
{
    const auto i = static_cast<size_t>(kind);
    return i < std::size(kDialogNames) ? kDialogNames[i] : "dialog " + std::to_string(i);
}

// The recording service when the program runs with it (a test switch).
ScriptedDialogService* Recording()
{
    return dynamic_cast<ScriptedDialogService*>(&Dialogs());
}

bool PressKeyCode(int code, int modifiers = wxMOD_NONE)
{
    wxUIActionSimulator sim;
    return sim.Char(code, modifiers);
}

}  // namespace

void RegisterCommandOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    player.Register("ctrl", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty() || w[0].size() != 1) return error = "no letter", Step::Failed;
        wxUIActionSimulator sim;
        if (!sim.Char(static_cast<unsigned char>(w[0][0]), wxMOD_CONTROL))
            return error = "key not sent", Step::Failed;
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
    player.Register("rclickview", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no point", Step::Failed;
        const wxPoint p =
            f->Canvas().ClientToScreen(wxPoint(std::atoi(w[0].c_str()), std::atoi(w[1].c_str())));
        wxUIActionSimulator sim;
        sim.MouseMove(p.x, p.y);
        sim.MouseClick(wxMOUSE_BTN_RIGHT);
        return Step::Done;
    });
    player.Register("tool", [f](const ScriptPlayer::Words& w, std::string& error) {
        wxToolBar* tb = f->GetToolBar();
        wxPoint at;
        if (w.empty() || tb == nullptr || !ToolMiddle(*tb, std::atoi(w[0].c_str()), at))
            return error = "no tool " + (w.empty() ? std::string() : w[0]), Step::Failed;
        ScriptPlayer::ClickAt(at.x, at.y, false);
        return Step::Done;
    });
    // menu <id>: chooses a menu bar item with the keyboard as a player
    // does: F10, Right to its popup, Down to the item (Right into a nested
    // popup), Enter. The item must be enabled now.
    player.Register("menu", [f, keys = std::vector<std::pair<int, int>>(), started = false, lastKey = 0L](
                                const ScriptPlayer::Words& w, std::string& error) mutable {
        if (!started) {
            if (w.empty()) return error = "no id", Step::Failed;
            const int id = std::atoi(w[0].c_str());
            wxMenuBar* bar = f->GetMenuBar();
            if (bar == nullptr) return error = "no menu bar", Step::Failed;
            // The frame's items as the update handlers judge them now.
            f->UpdateWindowUI(wxUPDATE_UI_RECURSE);
            for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
                bar->GetMenu(m)->UpdateUI(f);
                std::vector<MenuStep> path;
                if (!FindMenuPath(*bar->GetMenu(m), id, path)) continue;
                keys.clear();
                keys.push_back({WXK_F10, 0});
                for (size_t i = 0; i < m; ++i) keys.push_back({WXK_RIGHT, 0});
                // Home: the popup's first item, whether or not the way
                // there chose one already.
                for (const MenuStep& step : path) {
                    keys.push_back({WXK_HOME, 0});
                    for (int i = 1; i < step.downs; ++i) keys.push_back({WXK_DOWN, 0});
                    keys.push_back({step.opens ? WXK_RIGHT : WXK_RETURN, 0});
                }
                break;
            }
            if (keys.empty()) return error = "no enabled menu item " + w[0], Step::Failed;
            started = true;
            std::reverse(keys.begin(), keys.end());
        }
        // A key every quarter second: the popups open between them.
        const long now = wxGetLocalTimeMillis().ToLong();
        if (now - lastKey < 250) return Step::Again;
        lastKey = now;
        const auto [code, mods] = keys.back();
        keys.pop_back();
        if (!PressKeyCode(code, mods)) return started = false, error = "key not sent", Step::Failed;
        if (!keys.empty()) return Step::Again;
        started = false;
        return Step::Done;
    });
    // asked: what the program asked of the recording service since the
    // last "asked": "box <text>" per message box, "asked <dialog> <its
    // text>" per dialog.
    player.Register("asked", [seenBoxes = size_t{0}, seenDialogs = size_t{0}](const ScriptPlayer::Words&,
                                                                               std::string& error) mutable {
        ScriptedDialogService* rec = Recording();
        if (rec == nullptr) return error = "the program runs without the recording service", Step::Failed;
        for (; seenBoxes < rec->Boxes().size(); ++seenBoxes)
            platform::PlayLogSjis("box " + rec->Boxes()[seenBoxes].text);
        for (; seenDialogs < rec->AskedDialogs().size(); ++seenDialogs) {
            const ScriptedDialogService::Asked& a = rec->AskedDialogs()[seenDialogs];
            platform::PlayLogSjis("asked " + DialogName(a.kind) + (a.text.empty() ? "" : " " + a.text));
        }
        return Step::Done;
    });
    // boxanswer <n>: the answer of the next message box (1 OK, 2 Cancel,
    // 6 Yes, 7 No); without one a box takes its default.
    player.Register("boxanswer", [](const ScriptPlayer::Words& w, std::string& error) {
        ScriptedDialogService* rec = Recording();
        if (rec == nullptr || w.empty()) return error = "no recording service or no answer", Step::Failed;
        rec->QueueAnswer(std::atoi(w[0].c_str()));
        return Step::Done;
    });
    player.Register("state", [f, d](const ScriptPlayer::Words&, std::string&) {
        const CZRKGameView& v = f->View();
        const COUNTRYSTRUCT* c = v.m_pCurCountry;
        const auto* strip = dynamic_cast<const CSWndView*>(&f->View().Strip());
        platform::PlayLog("state mode " + std::to_string(v.m_nCmdMode) + " sub " +
                          std::to_string(v.m_nCmdSubMode) + " sel " +
                          std::to_string(UnitHex(*d, v.m_pSelUnit)) + " cmd " +
                          std::to_string(UnitHex(*d, v.m_pCmdUnit)));
        platform::PlayLog("strip " + std::to_string(strip != nullptr ? strip->LastHex() : -2) + " unit " +
                          std::to_string(strip != nullptr ? UnitHex(*d, strip->LastUnit()) : -2));
        platform::PlayLog("slot " + std::to_string(v.m_nNextUnitSlot) + " hexlines " +
                          std::to_string((v.m_dwDispOption & kDispHexLines) ? 1 : 0) + " display " +
                          Hex(v.m_dwDispOption) + " option " + Hex(d->m_dwGameOption) + " country " +
                          Hex(c != nullptr ? c->dwFlag : 0) + " game " + Hex(d->m_GameData.dwStateFlag) +
                          " phase " + std::to_string(d->m_GameData.nFlowState));
        const PointI scroll = v.GetScrollPosition();
        std::string bars = "view " + Hex(v.m_dwState) + " scroll " + std::to_string(scroll.x) + " " +
                           std::to_string(scroll.y) + " bars";
        for (wxWindow* t : wxTopLevelWindows)
            if (t != f && t->IsShown()) bars += " \"" + std::string(t->GetLabel().utf8_str()) + "\"";
        platform::PlayLog(bars);
        return Step::Done;
    });
    player.Register("screenshot", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no file", Step::Failed;
        const wxBitmap picture = platform::GrabScreen(wxRect(wxPoint(0, 0), wxGetDisplaySize()));
        if (!picture.IsOk() || !platform::SaveScreenshot(picture, w[0]))
            return error = "cannot save " + w[0], Step::Failed;
        platform::PlayLog("shot " + w[0]);
        return Step::Done;
    });
    player.Register("stripshot", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no file", Step::Failed;
        if (!ScriptPlayer::SaveWindowPicture(f->StatusPane(), w[0]))
            return error = "cannot save " + w[0], Step::Failed;
        platform::PlayLog("shot " + w[0]);
        return Step::Done;
    });
}

}  // namespace zrv
