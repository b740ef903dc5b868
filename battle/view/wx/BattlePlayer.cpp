#include "battle/view/wx/BattlePlayer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/time.h>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/wx/MainFrame.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/wx/ScriptPlayer.h"
#include "platform/wx/SurfaceCanvas.h"

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

void ClickClient(wxWindow& w, int x, int y)
{
    const wxPoint p = w.ClientToScreen(wxPoint(x, y));
    ScriptPlayer::ClickAt(p.x, p.y, false);
}

// A click in the middle of hex, brought into sight first.
bool ClickHex(CMainFrame& f, HEXINDEX hex, std::string& error)
{
    CZRKGameView& v = f.View();
    if (!IsMapHex(hex)) return error = "not a map hex", false;
    v.EnsureHexVisible(hex);
    if (!v.HexToCell(hex, false)) return error = "hex not in sight", false;
    // The cell's point is a buffer point; the window shows the buffer
    // from (56, 42). The middle of the drawn hex is 28 in and 28 down.
    const int x = v.m_ptCell.x - 56 + 28, y = v.m_ptCell.y - 42 + 28;
    if (v.ClientPointToHex(x, y) != hex) return error = "hex middle not found", false;
    ClickClient(f.Canvas(), x, y);
    return true;
}

std::string Hex(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

}  // namespace

void RegisterBattleOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    // What the view shows and plays (sounds, flashes, slides, explosions,
    // the progress window's calls) goes to the log, unless the order test
    // switch writes it already.
    CZRKGameView& view = frame.View();
    if (!view.m_effectLog) {
        view.m_effectLog = [](const char* what, int a, int b) {
            platform::PlayLog(std::string("effect ") + what + " " + std::to_string(a) + " " + std::to_string(b));
        };
    }
    player.Register("command", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no command", Step::Failed;
        wxCommandEvent e(wxEVT_MENU, Num(w[0]));
        e.SetEventObject(f);
        wxPostEvent(f, e);
        return Step::Done;
    });
    // The information screen that waits for a click gets one, as a player
    // gives it, every second until the map is there. The wait lasts past the
    // double-click time of that click: the map opens centred on the capital,
    // and a unit clicked there at once would make the two clicks a double
    // click, which opens the unit's performance window.
    player.Register("waitmap", [f, d, lastClick = 0L](const ScriptPlayer::Words&, std::string&) mutable {
        const CZRKGameView& v = f->View();
        const bool shown = (v.m_dwDispOption & kDispMapShown) != 0;
        const long now = wxGetLocalTimeMillis().ToLong();
        int doubleClickMs = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, &f->Canvas());
        if (doubleClickMs <= 0) doubleClickMs = 400;
        if (shown && d->m_pViewCountry != nullptr && (v.m_dwState & kViewBusy) == 0)
            return now - lastClick > doubleClickMs + 200 ? Step::Done : Step::Again;
        if (!shown && d->m_GameData.nFlowState == PHASE_WAITCLICK && now - lastClick > 1000) {
            lastClick = now;
            const wxSize c = f->Canvas().GetClientSize();
            ClickClient(f->Canvas(), c.x / 2, c.y / 2);
        }
        return Step::Again;
    });
    // waitmode N: until the view is in command mode N (1 once a player's
    // phase takes clicks); the map may show before the phase arms it.
    player.Register("waitmode", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no mode", Step::Failed;
        return f->View().m_nCmdMode == Num(w[0]) ? Step::Done : Step::Again;
    });
    player.Register("clickview", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no point", Step::Failed;
        ClickClient(f->Canvas(), Num(w[0]), Num(w[1]));
        return Step::Done;
    });
    player.Register("clickhex", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no hex", Step::Failed;
        return ClickHex(*f, MakeHex(Num(w[0]), Num(w[1])), error) ? Step::Done : Step::Failed;
    });
    // clickunit C U: a click on the hex the unit stands on.
    player.Register("clickunit", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        return ClickHex(*f, GetUnitMapHex(d->m_GameData, *u), error) ? Step::Done : Step::Failed;
    });
    // showunit C U: the unit's hex, strength, fuel, move counter, flags and
    // ammunition in the log.
    player.Register("showunit", [d](const ScriptPlayer::Words& w, std::string& error) {
        const UNITSTRUCT* u = w.size() >= 2 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        std::string line = "unit " + w[0] + " " + w[1] + " hex " + std::to_string(GetUnitMapHex(d->m_GameData, *u)) +
                           " strength " + std::to_string(u->nStrength) + " fuel " + std::to_string(u->nFuel) +
                           " moved " + std::to_string(u->nMoved) + " flag " + Hex(u->dwFlag) + " ammo";
        for (int a : u->nAmmo) line += " " + std::to_string(a);
        platform::PlayLog(line);
        return Step::Done;
    });
    player.Register("unit", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 4 ? UnitOf(*d, w[0], w[1]) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const std::string& field = w[2];
        const int value = Num(w[3]);
        if (field == "nextto") {
            // unit C U nextto C2 U2: moved to the first free neighbour of
            // the other unit (the hex map follows).
            UNITSTRUCT* other = w.size() >= 5 ? UnitOf(*d, w[3], w[4]) : nullptr;
            if (other == nullptr) return error = "no such unit", Step::Failed;
            for (int dir = 0; dir < 6; ++dir) {
                const HEXINDEX n = GetNeighbour(other->nHex, dir);
                if (n < 0 || d->m_dwHexUnit[n] != kNoUnit) continue;
                if (u->nHex >= 0 && d->m_dwHexUnit[u->nHex] == u->refSelf) d->m_dwHexUnit[u->nHex] = kNoUnit;
                u->nHex = n;
                d->m_dwHexUnit[n] = u->refSelf;
                (void)d->RefreshUnitHexCell(*u);
                // What each side sees follows the move, as after any move.
                d->RecomputeSight(-1, true);
                return Step::Done;
            }
            return error = "no free neighbour", Step::Failed;
        }
        if (field == "strength") {
            u->nStrength = value;
        } else if (field == "fuel") {
            u->nFuel = value;
        } else if (field == "exp") {
            u->nExp = value;
        } else if (field == "flag") {
            u->dwFlag = static_cast<uint32_t>(std::strtoul(w[3].c_str(), nullptr, 0));
        } else if (field.rfind("ammo", 0) == 0 && field.size() == 5 && field[4] >= '0' && field[4] <= '7') {
            u->nAmmo[field[4] - '0'] = value;
        } else {
            return error = "unknown field " + field, Step::Failed;
        }
        return Step::Done;
    });
    player.Register("board", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 4 ? UnitOf(*d, w[0], w[1]) : nullptr;
        UNITSTRUCT* carrier = w.size() >= 4 ? UnitOf(*d, w[2], w[3]) : nullptr;
        if (u == nullptr || carrier == nullptr) return error = "no such unit", Step::Failed;
        BoardCarrier(*u, *carrier);
        return Step::Done;
    });
    player.Register("open", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no dialog", Step::Failed;
        const std::string& kind = w[0];
        UNITSTRUCT* a = w.size() >= 3 ? UnitOf(*d, w[1], w[2]) : nullptr;
        UNITSTRUCT* b = w.size() >= 5 ? UnitOf(*d, w[3], w[4]) : nullptr;
        if (a == nullptr) return error = "no such unit", Step::Failed;
        // The dialog runs its own loop: it is opened after this step, so the
        // script goes on while it waits.
        if (kind == "attack" || kind == "merge") {
            if (b == nullptr) return error = "no such second unit", Step::Failed;
            const unsigned flags = w.size() >= 6 ? static_cast<unsigned>(Num(w[5])) : kAttackOwn;
            f->CallAfter([kind, a, b, flags] {
                if (kind == "attack") {
                    uint32_t mask = 0;
                    const int r = Dialogs().AttackDecisionDialog(*a, *b, flags, mask);
                    platform::PlayLog("opener got attack " + std::to_string(r) + " mask " + Hex(r == 1 ? mask : 0));
                } else {
                    const int r = Dialogs().MergeDialog(*a, *b);
                    platform::PlayLog("opener got merge " + std::to_string(r));
                }
            });
            return Step::Done;
        }
        if (kind == "unload" || kind == "launch") {
            const int country = Num(w[1]);
            f->CallAfter([kind, a, d, country] {
                UNITSTRUCT* cargo[kMaxCargoListed] = {};
                const int n = ListCarriedUnits(d->m_GameData.Country[country].Unit, *a, cargo);
                std::span<UNITSTRUCT* const> list(cargo, static_cast<size_t>(std::min(n, kMaxCargoListed)));
                const int r = kind == "unload" ? Dialogs().UnloadDialog(*a, list) : Dialogs().LaunchDialog(*a, list);
                platform::PlayLog("opener got " + kind + " " + std::to_string(r));
            });
            return Step::Done;
        }
        return error = "unknown dialog " + kind, Step::Failed;
    });
}

}  // namespace zrv
