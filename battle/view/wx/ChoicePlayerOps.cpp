#include "battle/view/wx/ChoicePlayerOps.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/view/wx/MainFrame.h"
#include "foundation/DialogService.h"
#include "platform/core/PlayLog.h"
#include "platform/core/Text.h"
#include "platform/wx/ScriptPlayer.h"

namespace zrv {
namespace {

using platform::ScriptPlayer;
using Step = ScriptPlayer::Step;

constexpr uint32_t kTargetSet = 0x40000000u, kTargetBombing = 0x20000000u;

long Num(const std::string& s)
{
    return std::strtol(s.c_str(), nullptr, 0);
}

std::string Hex(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

UNITSTRUCT* UnitOf(CZRKGameDoc& doc, const ScriptPlayer::Words& w)
{
    if (w.size() < 2) return nullptr;
    const long c = Num(w[0]), s = Num(w[1]);
    if (c < 0 || c >= kCountryCount || s < 0 || s >= kUnitSlots) return nullptr;
    UNITSTRUCT& u = doc.m_GameData.Country[c].Unit[s];
    return (u.dwFlag & kUnitInUse) != 0 ? &u : nullptr;
}

void LogOrder(const UNITSTRUCT& u)
{
    platform::PlayLog("order " + Hex(u.dwOrder & (kTargetSet | kTargetBombing)) + " target " +
                      std::to_string(u.nMarchHex));
}

}  // namespace

void RegisterChoiceOperations(ScriptPlayer& player, CMainFrame& frame, CZRKGameDoc& doc)
{
    CMainFrame* f = &frame;
    CZRKGameDoc* d = &doc;
    player.Register("target", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 4 ? UnitOf(*d, w) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        u->nMarchHex = MakeHex(static_cast<int>(Num(w[2])), static_cast<int>(Num(w[3])));
        u->dwOrder |= kTargetSet;
        if (w.size() >= 5 && w[4] == "bomb") u->dwOrder |= kTargetBombing;
        return Step::Done;
    });
    player.Register("order", [d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = UnitOf(*d, w);
        if (u == nullptr) return error = "no such unit", Step::Failed;
        LogOrder(*u);
        return Step::Done;
    });
    player.Register("marchdialog", [f, d](const ScriptPlayer::Words& w, std::string& error) {
        UNITSTRUCT* u = w.size() >= 3 ? UnitOf(*d, w) : nullptr;
        if (u == nullptr) return error = "no such unit", Step::Failed;
        const bool march = w[2] != "bomb";
        // The dialog runs its own loop: opened after this step, the script
        // goes on while it waits.
        f->CallAfter([u, march] {
            const int r = Dialogs().MarchDialog(*u, march);
            platform::PlayLog("opener got march " + std::to_string(r));
            LogOrder(*u);
        });
        return Step::Done;
    });
    player.Register("gameoption", [d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no bits", Step::Failed;
        const auto bits = static_cast<uint32_t>(std::strtoul(w[0].c_str(), nullptr, 0));
        if (w[1] == "on")
            d->m_dwGameOption |= bits;
        else
            d->m_dwGameOption &= ~bits;
        return Step::Done;
    });
    player.Register("countryflag", [d](const ScriptPlayer::Words& w, std::string& error) {
        const long c = w.size() >= 3 ? Num(w[0]) : -1;
        if (c < 0 || c >= kCountryCount) return error = "no such country", Step::Failed;
        const auto bits = static_cast<uint32_t>(std::strtoul(w[1].c_str(), nullptr, 0));
        uint32_t& flag = d->m_GameData.Country[c].dwFlag;
        flag = w[2] == "on" ? (flag | bits) : (flag & ~bits);
        return Step::Done;
    });
    player.Register("route", [d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 3) return error = "no hex", Step::Failed;
        const HEXINDEX hex = MakeHex(static_cast<int>(Num(w[0])), static_cast<int>(Num(w[1])));
        if (!IsMapHex(hex)) return error = "not a map hex", Step::Failed;
        const auto bits = static_cast<MAPCELL>(std::strtoul(w[2].c_str(), nullptr, 0)) & kCellRouteMask;
        d->m_dwHexCell[hex] |= bits;
        d->m_GameData.dwHexCell[hex] |= bits;
        return Step::Done;
    });
    player.Register("cell", [d](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no hex", Step::Failed;
        const HEXINDEX hex = MakeHex(static_cast<int>(Num(w[0])), static_cast<int>(Num(w[1])));
        if (!IsMapHex(hex)) return error = "not a map hex", Step::Failed;
        platform::PlayLog("cell " + w[0] + " " + w[1] + " " + Hex(d->m_dwHexCell[hex]) + " durability " +
                          std::to_string(CellDurability(d->m_dwHexCell[hex])));
        return Step::Done;
    });
    player.Register("display", [f](const ScriptPlayer::Words& w, std::string& error) {
        if (w.size() < 2) return error = "no bits", Step::Failed;
        const auto bits = static_cast<uint32_t>(std::strtoul(w[0].c_str(), nullptr, 0));
        uint32_t& option = f->View().m_dwDispOption;
        option = w[1] == "on" ? (option | bits) : (option & ~bits);
        return Step::Done;
    });
    player.Register("funds", [d](const ScriptPlayer::Words& w, std::string& error) {
        const long c = w.size() >= 2 ? Num(w[0]) : -1;
        if (c < 0 || c >= kCountryCount) return error = "no such country", Step::Failed;
        d->m_GameData.Country[c].nFund = static_cast<int32_t>(Num(w[1]));
        return Step::Done;
    });
    player.Register("country", [d](const ScriptPlayer::Words& w, std::string& error) {
        const long c = !w.empty() ? Num(w[0]) : -1;
        if (c < 0 || c >= kCountryCount) return error = "no such country", Step::Failed;
        const COUNTRYSTRUCT& k = d->m_GameData.Country[c];
        platform::PlayLog("country " + w[0] + " flag " + Hex(k.dwFlag) + " control " + std::to_string(k.nControl) +
                          " bgm " + std::to_string(k.nBGM) + " password " +
                          platform::SjisToUtf8(FieldText(k.szPassword)));
        return Step::Done;
    });
    player.Register("music", [f](const ScriptPlayer::Words&, std::string&) {
        platform::PlayLog("music track " + std::to_string(f->View().Sound().CDTrack()));
        return Step::Done;
    });
}

}  // namespace zrv
