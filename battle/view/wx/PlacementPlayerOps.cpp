#include "battle/view/wx/PlacementPlayerOps.h"

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/wx/MainFrame.h"
#include "foundation/DataLibrary.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/FullRowListCtrl.h"
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

// The first shown control of type T under w.
template <typename T>
T* FindShown(wxWindow* w)
{
    if (w == nullptr) return nullptr;
    for (wxWindow* c : w->GetChildren()) {
        if (c->IsTopLevel() || !c->IsShownOnScreen()) continue;
        if (auto* t = dynamic_cast<T*>(c)) return t;
        if (T* t = FindShown<T>(c)) return t;
    }
    return nullptr;
}

}  // namespace

void RegisterPlacementOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    ScriptPlayer* p = &player;
    player.Register("clickrow", [p](const ScriptPlayer::Words& w, std::string& error) {
        if (w.empty()) return error = "no row", Step::Failed;
        auto* list = FindShown<platform::FullRowListCtrl>(p->Target());
        if (list == nullptr) return error = "no list", Step::Failed;
        const int row = Num(w[0]);
        if (row < 0 || row >= list->RowCount()) return error = "no such row", Step::Failed;
        list->EnsureVisible(row);
        const wxPoint at = list->ClientToScreen(wxPoint(60, list->HeaderHeight() + row * list->RowHeight() +
                                                               list->RowHeight() / 2));
        ScriptPlayer::ClickAt(at.x, at.y, false);
        return Step::Done;
    });
    player.Register("pointer", [](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no point", Step::Failed;
        wxUIActionSimulator sim;
        sim.MouseMove(Num(w[0]), Num(w[1]));
        return Step::Done;
    });
    player.Register("placement", [f, d](const ScriptPlayer::Words&, std::string&) {
        CZRKGameView& v = f->View();
        const COUNTRYSTRUCT* c = d->m_pCurCountry;
        int pool = 0;
        for (const UNITSTRUCT& u : d->m_GameData.CarryUnit) pool += (u.dwFlag & kUnitInUse) ? 1 : 0;
        platform::PlayLog("placement mode " + std::to_string(v.m_nCmdMode) + " armed " +
                          std::to_string((v.m_dwState & kViewPlaceChosen) ? 1 : 0) + " index " +
                          std::to_string(v.m_nPlaceArms) + " funds " + std::to_string(c ? c->nFund : -1) +
                          " units " + std::to_string(c ? c->nUnit : -1) + " serial " +
                          std::to_string(c ? c->nNextSerial : -1) + " pool " + std::to_string(pool) +
                          " produce " + std::to_string(v.CheckProduceCommand()) + " deploy " +
                          std::to_string(v.CheckDeployCommand()) + " cursor " + std::to_string(v.m_nCursorHex));
        return Step::Done;
    });
    player.Register("hex", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no hex", Step::Failed;
        const HEXINDEX hex = MakeHex(Num(w[0]), Num(w[1]));
        if (!IsMapHex(hex)) return error = "not a map hex", Step::Failed;
        const CZRKGameView& v = f->View();
        std::string line = "hex " + w[0] + " " + w[1] + " mark " +
                           std::to_string(v.m_dwHexMarkView[static_cast<size_t>(hex)]);
        const UnitRef ref = d->m_dwHexUnit[hex];
        if (IsUnitRef(ref)) {
            const UNITSTRUCT& u = d->m_GameData.Country[RefCountry(ref)].Unit[RefSlot(ref)];
            line += " unit " + std::to_string(u.nArms) + " strength " + std::to_string(u.nStrength) + " shown " +
                    std::to_string(v.m_dwHexUnitCode[static_cast<size_t>(hex)] != 0 ? 1 : 0);
        } else {
            line += " empty shown " + std::to_string(v.m_dwHexUnitCode[static_cast<size_t>(hex)] != 0 ? 1 : 0);
        }
        platform::PlayLog(line);
        return Step::Done;
    });
    // The n-th hex with mark 1, in index order, clicked as the player clicks it.
    player.Register("clickmark", [f](const ScriptPlayer::Words& w, std::string& error) {
        CZRKGameView& v = f->View();
        int n = w.empty() ? 0 : Num(w[0]);
        HEXINDEX hex = -1;
        for (HEXINDEX h = 0; h < kHexCount && hex < 0; ++h)
            if (v.m_dwHexMarkView[static_cast<size_t>(h)] == 1 && n-- == 0) hex = h;
        if (hex < 0) return error = "no such marked hex", Step::Failed;
        v.EnsureHexVisible(hex);
        if (!v.HexToCell(hex, false)) return error = "hex not in sight", Step::Failed;
        const int x = v.m_ptCell.x - 56 + 28, y = v.m_ptCell.y - 42 + 28;
        const wxPoint at = f->Canvas().ClientToScreen(wxPoint(x, y));
        ScriptPlayer::ClickAt(at.x, at.y, false);
        platform::PlayLog("clicked hex " + std::to_string(HexRow(hex)) + " " + std::to_string(HexColumn(hex)));
        return Step::Done;
    });
    player.Register("marks", [f, d](const ScriptPlayer::Words&, std::string&) {
        const CZRKGameView& v = f->View();
        int candidates = 0;
        std::string last;
        for (HEXINDEX h = 0; h < kHexCount; ++h) {
            const uint32_t m = v.m_dwHexMarkView[static_cast<size_t>(h)];
            candidates += m == 1 ? 1 : 0;
            if (m != 2) continue;
            last += " " + std::to_string(HexRow(h)) + "," + std::to_string(HexColumn(h));
            const UnitRef ref = d->m_dwHexUnit[h];
            if (IsUnitRef(ref))
                last += " unit " + std::to_string(d->m_GameData.Country[RefCountry(ref)].Unit[RefSlot(ref)].nArms) +
                        " shown " + std::to_string(v.m_dwHexUnitCode[static_cast<size_t>(h)] != 0 ? 1 : 0);
        }
        platform::PlayLog("marks candidates " + std::to_string(candidates) + " last" + (last.empty() ? " none" : last));
        return Step::Done;
    });
    // producible <type>...: the current country produces these types (each
    // the produced type of its class), as its development would have made
    // them; the sample battle starts with none ready.
    player.Register("producible", [d](const ScriptPlayer::Words& w, std::string& error) {
        COUNTRYSTRUCT* c = d->m_pCurCountry;
        if (c == nullptr) return error = "no current country", Step::Failed;
        std::string line = "producible";
        for (const std::string& word : w) {
            line += " " + word;
            const ARMSSTRUCT* a = ArmsRecord(Num(word));
            if (a == nullptr || a->nClass < 0 || a->nClass >= kClassCount) return error = "no type " + word, Step::Failed;
            c->dwClassList[a->nClass][0] = static_cast<uint32_t>(Num(word));
        }
        platform::PlayLog(line);
        return Step::Done;
    });
    // improvable <country> <slot> <type>...: the unit's type improves into
    // these types, which its country has developed (the sample types have
    // at most one candidate). The library in use becomes a copy with the
    // changed record, kept to the end of the program.
    player.Register("improvable", [d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 3) return error = "improvable <country> <slot> <type>...", Step::Failed;
        const int country = Num(w[0]), slot = Num(w[1]);
        if (country < 0 || country >= kCountryCount || slot < 0 || slot >= kUnitSlots)
            return error = "no such unit", Step::Failed;
        COUNTRYSTRUCT& c = d->m_GameData.Country[country];
        const UNITSTRUCT& u = c.Unit[slot];
        const int type = u.nArms;
        if ((u.dwFlag & kUnitInUse) == 0 || ArmsRecord(type) == nullptr) return error = "no such unit", Step::Failed;
        static DataLibrary library;
        static std::vector<ARMSSTRUCT> arms;
        library = Lib();
        arms.assign(library.ArmsData.begin(), library.ArmsData.end());
        ARMSSTRUCT& a = arms[static_cast<size_t>(type)];
        std::string line = "improvable type " + std::to_string(type) + " into";
        for (size_t k = 0; k < std::size(a.wImprove); ++k) {
            const int to = k + 2 < w.size() ? Num(w[k + 2]) : 0;
            if (to != 0 && ArmsRecord(to) == nullptr) return error = "no type " + w[k + 2], Step::Failed;
            a.wImprove[k] = static_cast<int16_t>(to);
            if (to == 0) continue;
            c.dwArmsAvail[to] = (c.dwArmsAvail[to] | kAvailListed | kAvailDeveloped) & ~(kAvailRetired | kAvailDevListed);
            line += " " + std::to_string(to);
        }
        library.ArmsData = arms;
        SetLib(&library);
        platform::PlayLog(line);
        return Step::Done;
    });
    player.Register("pool", [d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 4) return error = "pool <type> <serial> <exp> <strength>", Step::Failed;
        UNITSTRUCT* u = d->FindFirstReserveUnit();
        if (u == nullptr) return error = "the pool is full", Step::Failed;
        const int type = Num(w[0]);
        InitUnitRecord(nullptr, *u, -1, -1, type, 0, &d->m_GameData, {});
        u->dwFlag = (u->dwFlag | kUnitInUse | kUnitInPool) & ~kUnitOffMap;
        u->nHex = -1;
        u->nSerial = Num(w[1]);
        u->nExp = Num(w[2]);
        u->nStrength = Num(w[3]);
        d->m_dwGameOption |= kOptionCampaign;
        platform::PlayLog("pool record " + std::to_string(u - d->m_GameData.CarryUnit) + " type " + w[0]);
        return Step::Done;
    });
}

}  // namespace zrv
