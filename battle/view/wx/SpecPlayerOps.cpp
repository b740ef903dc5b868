#include "battle/view/wx/SpecPlayerOps.h"

#include <wx/notebook.h>
#include <wx/toplevel.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "battle/dialogs/wx/SpecTableWindow.h"
#include "battle/dialogs/wx/WxToolHub.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/wx/MainFrame.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/ScriptPlayer.h"

namespace zrv {
namespace {

using platform::ScriptPlayer;
using Step = ScriptPlayer::Step;

int Num(const std::string& s)
{
    return static_cast<int>(std::strtol(s.c_str(), nullptr, 0));
}

UNITSTRUCT* UnitOf(CZRKGameDoc& doc, const std::string& country, const std::string& slot)
{
    const int c = Num(country), s = Num(slot);
    if (c < 0 || c >= kCountryCount || s < 0 || s >= kUnitSlots) return nullptr;
    UNITSTRUCT& u = doc.m_GameData.Country[c].Unit[s];
    return (u.dwFlag & kUnitInUse) != 0 ? &u : nullptr;
}

wxNotebook* FindNotebook(wxWindow& w)
{
    for (wxWindow* child : w.GetChildren()) {
        if (auto* book = dynamic_cast<wxNotebook*>(child)) return book;
        if (wxNotebook* inner = FindNotebook(*child)) return inner;
    }
    return nullptr;
}

// A point of tab n in the notebook's client coordinates, found by asking
// the notebook what lies where along its tab row.
bool FindTab(wxNotebook& book, int n, wxPoint& at)
{
    const wxSize size = book.GetSize();
    for (int y = 3; y < 40 && y < size.y; y += 3)
        for (int x = 2; x < size.x; x += 2) {
            long flags = 0;
            if (book.HitTest(wxPoint(x, y), &flags) != n) continue;
            // The middle of the run of points that hit it on this row.
            int end = x;
            while (end + 2 < size.x && book.HitTest(wxPoint(end + 2, y), &flags) == n) end += 2;
            at = wxPoint((x + end) / 2, y);
            return true;
        }
    return false;
}

// Passes the boxes of one call on to the program's service and logs their
// texts (a box of the window system is no window the player can read).
class LoggedBoxes : public DialogService {
public:
    LoggedBoxes() : m_inner(Dialogs()) { SetDialogs(this); }
    ~LoggedBoxes() override { SetDialogs(&m_inner); }
    int MessageBox(std::string_view text, unsigned style) override
    {
        platform::PlayLog("box " + platform::SjisToUtf8(text));
        return m_inner.MessageBox(text, style);
    }

private:
    DialogService& m_inner;
};

int OpenLogged(CMainFrame& f, UNITSTRUCT* unit, int type, int army)
{
    LoggedBoxes boxes;
    return f.View().OpenPerformanceWindow(unit, type, army, true);
}

}  // namespace

void RegisterSpecOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    // The performance window may answer with a box: opened after this step,
    // so the script goes on while the box waits.
    player.Register("perf", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        f->CallAfter([f, u] {
            const int r = OpenLogged(*f, u, u->nArms, 0);
            platform::PlayLog("opener got perf " + std::to_string(r));
        });
        return Step::Done;
    });
    player.Register("perftype", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no type", Step::Failed;
        const int type = Num(w[0]);
        const int army = w.size() >= 2 ? Num(w[1]) : 0;
        f->CallAfter([f, type, army] {
            const int r = OpenLogged(*f, nullptr, type, army);
            platform::PlayLog("opener got perf " + std::to_string(r));
        });
        return Step::Done;
    });
    player.Register("slots", [f](const ScriptPlayer::Words&, std::string&) {
        std::string line = "slots";
        for (const auto& s : f->View().m_SpecWnd) line += " " + std::to_string(s.arms);
        platform::PlayLog(line);
        return Step::Done;
    });
    player.Register("specwin", [f, &player](const ScriptPlayer::Words& w, std::string& error) {
        auto* hub = dynamic_cast<WxToolHub*>(&f->View().Hub());
        SpecTableWindow* win = hub != nullptr && !w.empty() ? hub->Performance().Window(Num(w[0])) : nullptr;
        if (win == nullptr || !win->IsShown()) return error = "no performance window there", Step::Failed;
        player.SetTarget(win);
        win->Raise();
        win->Refresh();
        platform::PlayLog("target \"" + win->GetTitle().utf8_string() + "\"");
        return Step::Done;
    });
    player.Register("tab", [&player](const ScriptPlayer::Words& w, std::string& error) {
        wxTopLevelWindow* target = player.Target();
        if (target == nullptr || w.empty()) return error = "no target", Step::Failed;
        wxNotebook* book = FindNotebook(*target);
        if (book == nullptr) return error = "the target has no sheet", Step::Failed;
        wxPoint at;
        if (!FindTab(*book, Num(w[0]), at)) return error = "tab " + w[0] + " not in sight", Step::Failed;
        const wxPoint p = book->ClientToScreen(at);
        ScriptPlayer::ClickAt(p.x, p.y, false);
        return Step::Done;
    });
    player.Register("logcount", [](const ScriptPlayer::Words& w, std::string& error) {
        const char* path = std::getenv("VELMORATH_PLAY_LOG");
        if (w.size() < 2 || path == nullptr) return error = "no count, text or log", Step::Failed;
        std::string text = w[1];
        for (size_t i = 2; i < w.size(); ++i) text += " " + w[i];
        std::ifstream log(path);
        int n = 0;
        for (std::string line; std::getline(log, line);)
            if (line.find(text) != std::string::npos && line.rfind("logcount", 0) != 0) ++n;
        if (n != Num(w[0])) return error = std::to_string(n) + " lines hold \"" + text + "\"", Step::Failed;
        return Step::Done;
    });
    player.Register("locate", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const HEXINDEX hex = GetUnitMapHex(d->m_GameData, *u);
        platform::PlayLog("unit at " + std::to_string(hex >> 7) + " " + std::to_string(hex & 127));
        return Step::Done;
    });
    // classlist C CLS E0 .. E9: the country's development list of the class
    // (entry 0 the type produced now, -1 empty); classlist C CLS alone logs it.
    player.Register("classlist", [d](const ScriptPlayer::Words& w, std::string& error) {
        const int c = w.size() >= 2 ? Num(w[0]) : -1, cls = w.size() >= 2 ? Num(w[1]) : -1;
        if (c < 0 || c >= kCountryCount || cls < 0 || cls >= kClassCount) return error = "no such list", Step::Failed;
        uint32_t* list = d->m_GameData.Country[c].dwClassList[cls];
        if (w.size() >= 2 + kClassListWords)
            for (int e = 0; e < kClassListWords; ++e) list[e] = static_cast<uint32_t>(Num(w[2 + e]));
        std::string line = "class list " + w[0] + " " + w[1];
        for (int e = 0; e < kClassListWords; ++e) line += " " + std::to_string(static_cast<int32_t>(list[e]));
        platform::PlayLog(line);
        return Step::Done;
    });
    // evolution C TYPE: the evolution table of the type for country C as
    // its openers show it; chooser C U: the 進化 order's chooser for the unit.
    player.Register("evolution", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no country and type", Step::Failed;
        const int c = Num(w[0]), type = Num(w[1]);
        f->CallAfter([f, c, type] { (void)f->View().ShowEvolutionTable(type, nullptr, c); });
        return Step::Done;
    });
    player.Register("chooser", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        f->CallAfter([u] {
            int chosen = -1;
            (void)Dialogs().EvolutionTableDialog(u->nArms, u, -1, true, chosen);
        });
        return Step::Done;
    });
    // newweapon C TYPE MODE: the new-weapon entry of the type for country C
    // as the turn flow shows it (logs "answer NewWeapon <result>");
    // newdeploy C U: the report of that unit's delivery.
    player.Register("newweapon", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        const int c = w.size() >= 3 ? Num(w[0]) : -1;
        if (c < 0 || c >= kCountryCount) return error = "no country, type and mode", Step::Failed;
        const int type = Num(w[1]), mode = Num(w[2]);
        const COUNTRYSTRUCT* country = &d->m_GameData.Country[c];
        f->CallAfter([country, type, mode] {
            const int r = Dialogs().NewWeaponEntryDialog(*country, type, mode);
            platform::PlayLog("answer NewWeapon " + std::to_string(r));
        });
        return Step::Done;
    });
    player.Register("newdeploy", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        const UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const COUNTRYSTRUCT* country = &d->m_GameData.Country[Num(w[0])];
        f->CallAfter([country, u] {
            const int r = Dialogs().NewDeploymentDialog(*country, *u);
            platform::PlayLog("answer NewDeployment " + std::to_string(r));
        });
        return Step::Done;
    });
    player.Register("arms", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const int funds = d->m_GameData.Country[Num(w[0])].nFund;
        platform::PlayLog("arms set " + std::to_string(u->nMode) + " funds " + std::to_string(funds));
        return Step::Done;
    });
}

}  // namespace zrv
