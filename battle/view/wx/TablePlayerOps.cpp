#include "battle/view/wx/TablePlayerOps.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/choice.h>
#include <wx/slider.h>
#include <wx/time.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include "battle/engine/GameDoc.h"
#include "battle/view/wx/MainFrame.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/FileSettings.h"
#include "platform/wx/FullRowListCtrl.h"
#include "platform/wx/ScriptPlayer.h"

namespace zrv {
namespace {

using platform::ScriptPlayer;
using Step = ScriptPlayer::Step;

int Num(const std::string& s)
{
    return static_cast<int>(std::strtol(s.c_str(), nullptr, 0));
}

std::string Hex(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

platform::FullRowListCtrl* FindList(wxWindow* w)
{
    if (w == nullptr) return nullptr;
    if (auto* l = dynamic_cast<platform::FullRowListCtrl*>(w)) return l;
    for (wxWindow* c : w->GetChildren())
        if (platform::FullRowListCtrl* l = FindList(c)) return l;
    return nullptr;
}

void RightClickAt(const wxPoint& screen)
{
    wxUIActionSimulator sim;
    sim.MouseMove(screen.x, screen.y);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
}

// The shown top-level window whose caption starts with prefix (UTF-8).
wxTopLevelWindow* FindCaptionStart(const std::string& prefix)
{
    const wxString start = wxString::FromUTF8(prefix);
    for (wxWindow* win : wxTopLevelWindows) {
        auto* top = dynamic_cast<wxTopLevelWindow*>(win);
        if (top != nullptr && top->IsShown() && !top->IsBeingDeleted() && top->GetTitle().StartsWith(start))
            return top;
    }
    return nullptr;
}

UNITSTRUCT* UnitOf(CZRKGameDoc& doc, const std::string& country, const std::string& slot)
{
    const int c = Num(country), s = Num(slot);
    if (c < 0 || c >= kCountryCount || s < 0 || s >= kUnitSlots) return nullptr;
    UNITSTRUCT& u = doc.m_GameData.Country[c].Unit[s];
    return (u.dwFlag & kUnitInUse) != 0 ? &u : nullptr;
}

}  // namespace

void RegisterTableOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    ScriptPlayer* p = &player;
    // waitstart CAPTION [ms]: a shown window whose caption starts with
    // CAPTION becomes the target once it has settled; fails after ms
    // (default 10 s).
    player.Register("waitstart", [p, began = 0L, seen = 0L](const ScriptPlayer::Words& w,
                                                             std::string& error) mutable {
        if (w.empty()) return error = "no caption", Step::Failed;
        const long limit = w.size() > 1 ? std::atol(w[1].c_str()) : 10000;
        const long now = wxGetLocalTimeMillis().ToLong();
        if (began == 0) began = now;
        if (wxTopLevelWindow* top = FindCaptionStart(w[0])) {
            // Once it has been shown a while (painted), as "wait" does.
            if (seen == 0) seen = now;
            if (now - seen < 300) return Step::Again;
            began = seen = 0;
            p->SetTarget(top);
            return Step::Done;
        }
        seen = 0;
        if (now - began > limit) {
            began = 0;
            return error = "timed out", Step::Failed;
        }
        return Step::Again;
    });
    // gonestart CAPTION [ms]: no shown window's caption starts with CAPTION
    // any more; fails after ms (default 10 s).
    player.Register("gonestart", [began = 0L](const ScriptPlayer::Words& w, std::string& error) mutable {
        if (w.empty()) return error = "no caption", Step::Failed;
        const long limit = w.size() > 1 ? std::atol(w[1].c_str()) : 10000;
        const long now = wxGetLocalTimeMillis().ToLong();
        if (began == 0) began = now;
        if (FindCaptionStart(w[0]) == nullptr) return began = 0, Step::Done;
        if (now - began > limit) return began = 0, error = "still open", Step::Failed;
        return Step::Again;
    });
    player.Register("row", [p](const ScriptPlayer::Words& w, std::string& error) {
        platform::FullRowListCtrl* list = FindList(p->Target());
        if (list == nullptr) return error = "the target has no list", Step::Failed;
        if (w.empty() || Num(w[0]) < 0 || Num(w[0]) >= list->RowCount()) return error = "no such row", Step::Failed;
        const int y = list->HeaderHeight() + list->RowHeight() * Num(w[0]) + list->RowHeight() / 2;
        const wxPoint at = list->ClientToScreen(wxPoint(list->GetColumnWidth(0) + 8, y));
        if (w.size() >= 2 && w[1] == "right") {
            RightClickAt(at);
        } else {
            ScriptPlayer::ClickAt(at.x, at.y, false);
        }
        return Step::Done;
    });
    player.Register("header", [p](const ScriptPlayer::Words& w, std::string& error) {
        platform::FullRowListCtrl* list = FindList(p->Target());
        if (list == nullptr) return error = "the target has no list", Step::Failed;
        const int column = w.empty() ? -1 : Num(w[0]);
        if (column < 0 || column >= list->ColumnCount()) return error = "no such column", Step::Failed;
        int x = 0;
        for (int c = 0; c < column; ++c) x += list->GetColumnWidth(c);
        const wxPoint at = list->ClientToScreen(wxPoint(x + list->GetColumnWidth(column) / 2, list->HeaderHeight() / 2));
        ScriptPlayer::ClickAt(at.x, at.y, false);
        return Step::Done;
    });
    player.Register("colwidth", [p](const ScriptPlayer::Words& w, std::string& error) {
        platform::FullRowListCtrl* list = FindList(p->Target());
        if (list == nullptr || w.size() < 2) return error = "no list or width", Step::Failed;
        list->SetColumnWidth(Num(w[0]), Num(w[1]));
        return Step::Done;
    });
    player.Register("rclick", [p](const ScriptPlayer::Words& w, std::string& error) {
        if (p->Target() == nullptr || w.size() < 2) return error = "no target or point", Step::Failed;
        RightClickAt(p->Target()->ClientToScreen(wxPoint(Num(w[0]), Num(w[1]))));
        return Step::Done;
    });
    player.Register("resize", [p](const ScriptPlayer::Words& w, std::string& error) {
        if (p->Target() == nullptr || w.size() < 2) return error = "no target or size", Step::Failed;
        p->Target()->SetSize(Num(w[0]), Num(w[1]));
        return Step::Done;
    });
    player.Register("slider", [p](const ScriptPlayer::Words& w, std::string& error) {
        wxWindow* t = p->Target();
        auto* s = (t != nullptr && w.size() >= 2) ? dynamic_cast<wxSlider*>(t->FindWindow(Num(w[0]))) : nullptr;
        if (s == nullptr) return error = "no such slider", Step::Failed;
        const double fraction = std::atof(w[1].c_str());
        const wxSize size = s->GetClientSize();
        const wxPoint at = s->ClientToScreen(wxPoint(static_cast<int>(size.x * fraction), size.y / 2));
        ScriptPlayer::ClickAt(at.x, at.y, false);
        return Step::Done;
    });
    player.Register("choose", [p](const ScriptPlayer::Words& w, std::string& error) {
        wxWindow* t = p->Target();
        auto* c = (t != nullptr && w.size() >= 2) ? dynamic_cast<wxChoice*>(t->FindWindow(Num(w[0]))) : nullptr;
        if (c == nullptr) return error = "no such choice", Step::Failed;
        const int k = Num(w[1]);
        if (k < 0 || k >= static_cast<int>(c->GetCount())) return error = "no such entry", Step::Failed;
        // A drop-down list's popup is the window system's: the choice is
        // made as its popup would make it.
        c->SetSelection(k);
        wxCommandEvent e(wxEVT_CHOICE, c->GetId());
        e.SetEventObject(c);
        e.SetInt(k);
        c->ProcessWindowEvent(e);
        platform::PlayLog("chose " + c->GetString(static_cast<unsigned>(k)).utf8_string());
        return Step::Done;
    });
    player.Register("setting", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no key or value", Step::Failed;
        platform::ProgramSettings().WriteInt("Settings", w[0], Num(w[1]));
        platform::ProgramSettings().Flush();
        return Step::Done;
    });
    player.Register("unitlog", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const COUNTRYSTRUCT& c = d->m_GameData.Country[Num(w[0])];
        platform::PlayLog("unit " + w[0] + " " + w[1] + " hex " + std::to_string(u->nHex) + " strength " +
                          std::to_string(u->nStrength) + " fuel " + std::to_string(u->nFuel) + " exp " +
                          std::to_string(u->nExp) + " battery " + std::to_string(u->nBattery) + " tallies " +
                          Hex(u->dwTally0) + " " + Hex(u->dwTally1) + " flag " + Hex(u->dwFlag) + " funds " +
                          std::to_string(c.nFund));
        return Step::Done;
    });
    player.Register("placeunit", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 4 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const HEXINDEX hex = MakeHex(Num(w[2]), Num(w[3]));
        if (!IsMapHex(hex)) return error = "no such hex", Step::Failed;
        if (IsMapHex(u->nHex)) d->m_dwHexUnit[u->nHex] = kNoUnit;
        u->nHex = hex;
        d->m_dwHexUnit[hex] = u->refSelf;
        f->View().RefreshUnitWindows(*u);
        f->View().RedrawMap(true);
        return Step::Done;
    });
    player.Register("listlog", [](const ScriptPlayer::Words&, std::string& error) {
        wxTopLevelWindow* t = FindCaptionStart(platform::SjisToUtf8("部隊表"));
        platform::FullRowListCtrl* list = FindList(t);
        if (list == nullptr) return error = "the unit list is not open", Step::Failed;
        const wxRect r = t->GetScreenRect();
        const wxSize c = t->GetClientSize();
        platform::PlayLog("unit list \"" + t->GetTitle().utf8_string() + "\" window " + std::to_string(r.x) + " " +
                          std::to_string(r.y) + " " + std::to_string(r.width) + "x" + std::to_string(r.height) +
                          " client " + std::to_string(c.x) + "x" + std::to_string(c.y));
        // The first opening's height is the header, n rows and a pixel a row.
        const int h = list->GetClientSize().y, header = list->HeaderHeight(), row = list->RowHeight() + 1;
        if ((h - header) % row == 0) {
            platform::PlayLog("unit list sized for " + std::to_string((h - header) / row) + " rows");
        } else {
            platform::PlayLog("unit list height " + std::to_string(h) + " header " + std::to_string(header) +
                              " row " + std::to_string(row - 1));
        }
        std::string widths = "unit list widths";
        for (int i = 0; i < list->ColumnCount(); ++i) widths += " " + std::to_string(list->GetColumnWidth(i));
        platform::PlayLog(widths);
        for (const std::string& row : list->RowsForLog()) platform::PlayLog("  " + row);
        return Step::Done;
    });
}

}  // namespace zrv
