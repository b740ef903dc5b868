// The unit orders of the battle menu, the toolbar, the five command bars and
// the keys: for each, when it is enabled (and marked), and what choosing it
// does. A command tests its rule again when chosen, since a key reaches it
// without a menu being shown; a refusal shows the rule's message. Orders that
// complete with a click on the map leave the view in their command mode; the
// click handlers are ViewOrderClicks.cpp's.
#include <algorithm>
#include <array>

#include "battle/engine/Combat.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameFlow.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/BattleMenu.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

namespace {

// Command ids of the unit orders.
enum UnitCommandId : int {
    kCmdNextUnit = 32934,  // 次部隊 (command bar)
    kCmdRecall = 32933,
    kCmdDive = 32928,
    kCmdSurface = 32927,
    kCmdFullAuto = 32868,
    kCmdAutoMove = 32866,
    kCmdAutoBuild = 32851,
    kCmdAutoCapture = 32852,
    kCmdAutoSupply = 32830,
    kCmdUnitList = 32800,
    kCmdDevelopmentTable = 32864,
    kCmdTerrainTable = 32885,
    kCmdSituationTable = 32827,
    kCmdDispose = 32816,
    kCmdImprove = 32815,
    kCmdSupply = 32810,
    kCmdPerformance = 32812,
    kCmdEvolve = 32814,
    kCmdArms = 32829,
    kCmdJettison = 32804,
    kCmdMerge = 32809,
    kCmdLoad = 32818,
    kCmdOccupy = 32805,
    kCmdAttack = 32803,
    kCmdBomb = 32807,
    kCmdUnload = 32808,
    kCmdMarch = 32813,
    kCmdMove = 32802,
    kCmdMoveEnd = 32833,
    kCmdBuild = 32806,
    kCmdLayRoute = 32836,
    kCmdRemoveRoute = 32837,
    kCmdRepair = 32838,
    kCmdDurability = 32839,
    kCmdFortress = 32840,
    kCmdRemoveFortress = 32841,
    kCmdAirfield = 32931,
    kCmdRemoveAirfield = 32932,
    kCmdEndAction = 32819,
    kCmdMusicSettings = 32891,
    kCmdForceTable = 32879,
    kCmdWeaponTable = 32883,
};

// Frame commands: the main bar, the construction bar.
constexpr int kCmdViewCommandWindow1 = 32820;
constexpr int kCmdBuildBar = 32842;

// Current country flags: the full-automatic lists (bits 12-15), the next
// unit centres the view instead of moving the pointer (22), failing orders
// stay enabled and explain themselves (26).
constexpr uint32_t kCountryAutoMove = 0x00001000u;
constexpr uint32_t kCountryAutoBuild = 0x00002000u;
constexpr uint32_t kCountryAutoCapture = 0x00004000u;
constexpr uint32_t kCountryAutoSupply = 0x00008000u;
constexpr uint32_t kCountryNoNextUnitPointer = 0x00400000u;
constexpr uint32_t kCountryErrorMessages = 0x04000000u;

// Game option bit 30: the campaign (the weapon table is offered).
constexpr uint32_t kOptCampaign = 0x40000000u;
// Display option bit 19: music on.
constexpr uint32_t kDispMusicOn = 0x00080000u;

// Type flag: the unit's move is a bombing march.
constexpr uint32_t kArmsBombingMarch = 0x00000010u;
// Order word: a march order (bit 30) and a standing order (bit 29).
constexpr uint32_t kOrderMarchSet = 0x40000000u;
constexpr uint32_t kOrderStanding = 0x20000000u;
// Carrier flags of an unload: it has unloaded (bit 3), it may fire first (bit 4).
constexpr uint32_t kCarrierUnloaded = 0x00000008u;
constexpr uint32_t kCarrierMayCover = 0x00000010u;

// Message codes.
constexpr int kErrNoCountry = 1;
constexpr int kErrNoIdleUnit = 27;
constexpr int kErrUnitLimitZero = 43;
constexpr int kErrMarchType = 84;
constexpr int kErrNoCarrier = 85;
constexpr int kErrOccupyAlly = 102;
constexpr int kErrBombAlly = 114;
constexpr int kErrProductionUnderWay = 44;
constexpr int kErrDeploymentUnderWay = 49;

constexpr int kSoundNextUnit = 40;
constexpr int kSoundSupply = 22;

const char* const kAskDive = "潜航しますか";
const char* const kAskSurface = "浮上しますか";
const char* const kAskDispose = "処分してもよろしいですか？";
const char* const kAskSupply = "補給しますか";
const char* const kAskJettison = "投棄しますか";
const char* const kAskOccupy = "占領しますか";
const char* const kAskBomb = "爆撃しますか";
const char* const kAskEndAction = "行動を終了してもよろしいですか？";
const char* const kAskAlliance = "同盟関係が失われ敵対しますがいいですか？";

bool IsBombingMarchType(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a != nullptr && (a->dwArmsFlag & kArmsBombingMarch) != 0;
}

}  // namespace

// --- tests --------------------------------------------------------------------------------

int CZRKGameView::CheckNextUnitCommand() const
{
    if (m_pCurCountry == nullptr) return kErrNoCountry;
    return FindNextIdleUnit(*m_pCurCountry, m_nNextUnitSlot) < 0 ? kErrNoIdleUnit : 0;
}

int CZRKGameView::CheckAtPendingHex(UNITSTRUCT& unit, const std::function<int(UNITSTRUCT&)>& test)
{
    if (m_pDoc == nullptr) return kErrNoCountry;
    const HEXINDEX start = GetUnitMapHex(m_pDoc->m_GameData, unit);
    if (&unit != m_pSelUnit || !IsMapHex(m_nTargetHex) || start == m_nTargetHex) return test(unit);
    // The move is made for the test and taken back: what it wrote (the
    // unit, the two hex entries, the order count, the view's codes) is put
    // back as it was.
    const PendingDisplay shown = SavePendingDisplay(start);
    const UnitRef there = m_pDoc->m_dwHexUnit[m_nTargetHex];
    const uint32_t orders = m_pDoc->m_nOrdersDone;
    const bool modified = m_pDoc->m_bModified;
    UNITSTRUCT saved{};
    const bool moved = MoveUnitTo(*m_pDoc, unit, m_nTargetHex, &saved).Done();
    const int code = test(unit);
    if (moved) {
        (void)UndoUnitMove(*m_pDoc, unit, saved);
        m_pDoc->m_dwHexUnit[m_nTargetHex] = there;
        m_pDoc->m_nOrdersDone = orders;
        m_pDoc->m_bModified = modified;
    }
    RestorePendingDisplay(shown);
    return code;
}

int CZRKGameView::CheckConstructionCommand(int kind)
{
    UNITSTRUCT* unit = m_pSelUnit;
    if (m_pDoc == nullptr || unit == nullptr) return kErrNoCountry;
    // A pending move that is not yet made costs its fuel: the test sees the
    // unit as it would stand after it.
    const int32_t fuel = unit->nFuel;
    const bool charge = IsMapHex(m_nTargetHex) && (m_dwState & kViewMoveUndoable) == 0 &&
                        GetUnitMapHex(m_pDoc->m_GameData, *unit) != m_nTargetHex;
    if (charge) {
        const int cost = static_cast<int>(m_pDoc->m_dwHexMove[m_nTargetHex] & 0xFFFFu);
        ConsumeMoveFuel(*unit, cost, IsOnBatteryOnly(*unit, GetWeatherEffect(m_pDoc->m_GameData)));
    }
    int code = m_pDoc->CheckConstruction(*unit, kind);
    if (code == 0 && (kind == kBuildLayRoute || kind == kBuildRemoveRoute)) {
        std::array<int32_t, 2 * 512> pairs{};
        pairs.fill(-1);
        const std::span<const MAPCELL, kHexCount> cells(m_pDoc->m_dwHexCell);
        const std::span<const UnitRef, kHexCount> hexUnit(m_pDoc->m_dwHexUnit);
        const bool acted = (unit->dwFlag & kUnitActed) != 0;
        code = kind == kBuildLayRoute
                   ? ListRouteLayingOptions(m_pDoc->m_GameData, cells, hexUnit, *unit, acted, pairs)
                   : ListRouteRemovalOptions(m_pDoc->m_GameData, cells, hexUnit, *unit, acted, pairs);
        size_t n = 0;
        for (size_t i = 0; i + 1 < pairs.size() && pairs[i] >= 0 && n + 1 < m_RouteChoice.size(); i += 2)
            m_RouteChoice[n++] = {pairs[i], pairs[i + 1]};
        m_RouteChoice[n] = {-1, 0};
    }
    if (charge) unit->nFuel = fuel;
    return code;
}

// --- the steps every order shares ---------------------------------------------------------

bool CZRKGameView::ConfirmOrder(const char* text, bool always)
{
    if (!always && (m_pCurCountry == nullptr || (m_pCurCountry->dwFlag & kCountryConfirmWindow) == 0))
        return true;
    EnableViewAndFrame(false);
    const int answer = Dialogs().MessageBox(text, kBoxYesNo | kBoxIconQuestion);
    EnableViewAndFrame(true);
    return answer == kAnswerYes;
}

void CZRKGameView::SupplyStep(bool bRedraw)
{
    UNITSTRUCT* unit = m_pCmdUnit != nullptr ? m_pCmdUnit : m_pSelUnit;
    if (m_pDoc == nullptr || unit == nullptr) return;
    GameDraws draws(m_pDoc->Random());
    (void)SupplyUnit(*m_pDoc, *unit, true, draws);
    RefreshUnitWindows(*unit, 2);
    SetUnitCode(*unit);
    if (bRedraw) RedrawMapAndStatus(unit, true);
}

int CZRKGameView::ShowEvolutionTable(int arms, UNITSTRUCT* unit, int country)
{
    // The unit's own figures go with the table only for a country that
    // wants its units shown there (flag bit 24).
    const COUNTRYSTRUCT* c = country >= 0 && country < kCountryCount && m_pDoc != nullptr
                                 ? &m_pDoc->m_GameData.Country[country]
                                 : m_pCurCountry;
    if (c == nullptr || (c->dwFlag & 0x01000000u) == 0) unit = nullptr;
    int chosen = -1;
    return Dialogs().EvolutionTableDialog(arms, unit, country, false, chosen);
}

namespace {

// What a unit order needs beside its test.
enum class Needs {
    AnyUnit,      // the command unit or the selected one
    CommandUnit,  // the command unit itself
    Selected,     // the selected unit
};

}  // namespace

void CZRKGameView::RegisterUnitCommands()
{
    CommandRouter& r = m_commands;
    auto human = [this] { return (m_dwState & kViewHumanPhase) != 0; };
    auto started = [this] { return (m_dwState & kViewHumanPhase) != 0 && (m_dwDispOption & kDispMapShown) != 0; };
    auto explains = [this] { return m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryErrorMessages); };
    auto unitFor = [this](Needs needs) -> UNITSTRUCT* {
        switch (needs) {
            case Needs::CommandUnit:
                return m_pCmdUnit;
            case Needs::Selected:
                return m_pSelUnit;
            default:
                return CommandTargetUnit();
        }
    };
    // The update side of a unit order: human input, its unit, and the test
    // passing (codes in `passing` count as passing) or the country wanting
    // failing orders explained.
    using Test = std::function<int(UNITSTRUCT&)>;
    auto enabledBy = [=, this](Needs needs, Test test) {
        return [=, this] {
            if (!human()) return false;
            UNITSTRUCT* u = unitFor(needs);
            if (u == nullptr) return false;
            return test(*u) == 0 || explains();
        };
    };
    // The command side: the test again, its message on a refusal, then the
    // command unit becomes the selected unit. Null when the order stops.
    auto begin = [=, this](Needs needs, const Test& test) -> UNITSTRUCT* {
        UNITSTRUCT* u = unitFor(needs);
        if (u == nullptr || m_pDoc == nullptr) return nullptr;
        if (const int code = test(*u); code != 0) {
            Dialogs().MessageBox(ErrorText(code), kBoxOk | kBoxIconExclamation);
            return nullptr;
        }
        if (m_pCmdUnit != nullptr) m_pSelUnit = m_pCmdUnit;
        return u;
    };
    // Closing the bars after an order: the main bar must not drop the
    // selection on its way out.
    auto closeBars = [this](bool keep) {
        m_dwState |= kViewOrderEntry;
        CloseCommandBars(keep);
    };
    auto dropSelection = [this] {
        m_nCmdMode = kModeChooseUnit;
        m_pSelUnit = nullptr;
        m_pCmdUnit = nullptr;
    };
    // The alliance codes pass the test; the order asks about them.
    auto withoutAlliance = [](int code) { return code == kErrOccupyAlly || code == kErrBombAlly ? 0 : code; };

    // --- next unit, capital -----------------------------------------------------------
    auto nextUnit = [=, this](bool key) {
        if (key && (m_dwState & kViewBusy)) return;
        if (const int code = CheckNextUnitCommand(); code != 0) {
            Dialogs().MessageBox(ErrorText(code), kBoxOk | kBoxIconExclamation);
            return;
        }
        const int slot = FindNextIdleUnit(*m_pCurCountry, m_nNextUnitSlot);
        m_nNextUnitSlot = slot;
        const UNITSTRUCT& unit = m_pCurCountry->Unit[static_cast<size_t>(slot)];
        const HEXINDEX hex = m_pDoc != nullptr ? GetUnitMapHex(m_pDoc->m_GameData, unit) : unit.nHex;
        if ((m_pCurCountry->dwFlag & kCountryNoNextUnitPointer) == 0)
            MoveCursorToHex(hex);
        else
            CenterOnHex(hex);
        PlaySE(kSoundNextUnit);
        if (FlashHexMark(hex, false, false)) return;
        if (key) {
            if (m_pFrame != nullptr) {
                const uint32_t state = m_dwState;
                if (state & kViewMainCommandBar) m_pFrame->SendCommand(kCmdViewCommandWindow1);
                if (state & kViewDisposeBar) m_pFrame->SendCommand(kCmdViewCommandWindow1);
            }
            return;
        }
        closeBars(false);
        dropSelection();
    };
    auto nextUnitEnabled = [=, this] { return started() && (CheckNextUnitCommand() == 0 || explains()); };
    r.Add(kCmdNextUnit, {nextUnitEnabled, nullptr, [=] { nextUnit(false); }});
    r.Add(kCmdNextUnitKey, {nextUnitEnabled, nullptr, [=] { nextUnit(true); }});
    r.Add(kCmdCapital, {started, nullptr, [this] {
                            const COUNTRYSTRUCT* c = m_pDoc != nullptr ? m_pDoc->m_pCurCountry : nullptr;
                            if (c == nullptr) return;
                            GoToCapital(c);
                            if (IsHexOnViewMap(c->nCapital)) FlashHexMark(c->nCapital, false, false);
                        }});

    // --- recall, dive, surface ------------------------------------------------------------
    const Test recall = [this](UNITSTRUCT& u) {
        return CheckAtPendingHex(u, [this](UNITSTRUCT& v) { return m_pDoc->CheckRecall(v); });
    };
    r.Add(kCmdRecall, {enabledBy(Needs::AnyUnit, recall), nullptr, [=, this] {
                           UNITSTRUCT* u = begin(Needs::AnyUnit, recall);
                           if (u == nullptr) return;
                           if (u == m_pSelUnit && IsMapHex(m_nTargetHex) &&
                               GetUnitMapHex(m_pDoc->m_GameData, *u) != m_nTargetHex)
                               (void)MoveUnitAndEndAction(*m_pDoc, *u, m_nTargetHex);
                           if (m_pSelUnit != nullptr) EndSelection(true);
                           closeBars(false);
                           ExecuteRecall(*u);
                           RedrawMapAndStatus(nullptr, true);
                           ClearHexMarks(true);
                           dropSelection();
                       }});
    const Test dive = [this](UNITSTRUCT& u) { return m_pDoc->CheckDive(u); };
    r.Add(kCmdDive, {enabledBy(Needs::AnyUnit, dive), nullptr, [=, this] {
                         UNITSTRUCT* u = begin(Needs::AnyUnit, dive);
                         if (u == nullptr || !ConfirmOrder(kAskDive, false)) return;
                         closeBars(false);
                         ExecuteDive(*u);
                         dropSelection();
                     }});
    const Test surface = [this](UNITSTRUCT& u) { return m_pDoc->CheckSurface(u); };
    r.Add(kCmdSurface, {enabledBy(Needs::AnyUnit, surface), nullptr, [=, this] {
                            UNITSTRUCT* u = begin(Needs::AnyUnit, surface);
                            if (u == nullptr || !ConfirmOrder(kAskSurface, false)) return;
                            closeBars(false);
                            ExecuteSurface(*u, 0);
                            dropSelection();
                        }});

    // --- the full-automatic commands --------------------------------------------------------
    r.Add(kCmdFullAuto, {[=, this] {
                             if (!started() || m_nCmdMode != kModeChooseUnit || m_pSelUnit != nullptr ||
                                 m_pCmdUnit != nullptr || m_pDoc == nullptr ||
                                 (m_pDoc->m_dwGameOption & kOptFullAutoRunning))
                                 return false;
                             return m_pDoc->ListAutoSupplyUnits({}) || m_pDoc->ListAutoCaptureUnits({}) ||
                                    m_pDoc->ListAutoConstructionUnits({}) || m_pDoc->ListAutoMoveUnits({});
                         },
                         nullptr, [this] { RunFullAutoPass(); }});
    const std::pair<int, uint32_t> autoBits[] = {{kCmdAutoMove, kCountryAutoMove},
                                                 {kCmdAutoBuild, kCountryAutoBuild},
                                                 {kCmdAutoCapture, kCountryAutoCapture},
                                                 {kCmdAutoSupply, kCountryAutoSupply}};
    for (const auto& [id, bit] : autoBits) {
        r.Add(id, {[=, this] { return human() && m_nCmdMode == kModeChooseUnit && m_pCurCountry != nullptr; },
                   [this, bit] { return m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & bit) != 0; },
                   [this, bit] {
                       if (m_pCurCountry != nullptr) m_pCurCountry->dwFlag ^= bit;
                   }});
    }

    // --- tool windows -------------------------------------------------------------------------
    const std::pair<int, ToolWindow> windows[] = {{kCmdUnitList, ToolWindow::UnitList},
                                                  {kCmdDevelopmentTable, ToolWindow::DevelopmentTable},
                                                  {kCmdTerrainTable, ToolWindow::TerrainTable},
                                                  {kCmdSituationTable, ToolWindow::SituationTable}};
    for (const auto& [id, which] : windows) {
        r.Add(id, {human, [this, w = which] { return IsToolWindowOpen(w); }, [this, w = which] {
                       if (IsToolWindowOpen(w))
                           CloseToolWindow(w);
                       else
                           OpenToolWindow(w);
                   }});
    }

    // --- production and deployment ------------------------------------------------------------
    auto placement = [=, this](bool deployment) {
        const int mode = deployment ? kModeDeployment : kModeProduction;
        if (m_nCmdMode == mode) {
            // The window of the placement under way only comes forward.
            if (deployment)
                m_pHub->OpenDeploymentWindow();
            else
                m_pHub->OpenProductionWindow();
            return;
        }
        const int code = deployment ? CheckDeployCommand() : CheckProduceCommand();
        if (code == kErrUnitLimit && !deployment) {
            const int limit = m_pCurCountry != nullptr ? m_pCurCountry->nUnitMax : 0;
            const std::string text = limit == 0 ? ErrorText(kErrUnitLimitZero)
                                                : platform::FormatText(ErrorText(kErrUnitLimit), {limit});
            Dialogs().MessageBox(text, kBoxOk | kBoxIconExclamation);
            return;
        }
        if (code != 0) {
            Dialogs().MessageBox(ErrorText(code), kBoxOk | kBoxIconExclamation);
            return;
        }
        if (deployment ? m_pHub->IsDeploymentWindowOpen() : m_pHub->IsProductionWindowOpen()) return;
        if (deployment)
            m_pHub->CloseProductionWindow();
        else
            m_pHub->CloseDeploymentWindow();
        const COUNTRYSTRUCT* c = m_pDoc != nullptr ? m_pDoc->m_pCurCountry : nullptr;
        if (c != nullptr && IsMapHex(c->nCapital) && !HexToCell(c->nCapital, false)) CenterOnHex(c->nCapital);
        if (deployment)
            m_pHub->OpenDeploymentWindow();
        else
            m_pHub->OpenProductionWindow();
    };
    r.Add(kCmdProduce,
          {[=, this] { return human() && (CheckProduceCommand() == 0 || explains()); }, nullptr,
           [=] { placement(false); }});
    r.Add(kCmdDeploy,
          {[=, this] { return human() && (CheckDeployCommand() == 0 || explains()); }, nullptr,
           [=] { placement(true); }});

    // --- dispose, improve, supply, performance, evolve, arms, jettison ---------------------------
    const Test disband = [](UNITSTRUCT& u) { return CheckUnitDisband(u); };
    r.Add(kCmdDispose, {enabledBy(Needs::CommandUnit, disband), nullptr, [=, this] {
                            UNITSTRUCT* u = begin(Needs::CommandUnit, disband);
                            if (u == nullptr || !ConfirmOrder(kAskDispose, true)) return;
                            closeBars(false);
                            m_pSelUnit = u;
                            ExecuteDispose(0);
                            dropSelection();
                        }});
    const Test improve = [this](UNITSTRUCT& u) { return m_pDoc->CheckImprovement(u); };
    r.Add(kCmdImprove, {enabledBy(Needs::AnyUnit, improve), nullptr, [=, this] {
                            UNITSTRUCT* u = begin(Needs::AnyUnit, improve);
                            if (u == nullptr) return;
                            closeBars(true);
                            std::array<int, 16> candidates{};
                            candidates.fill(-1);
                            const COUNTRYSTRUCT* c = m_pCurCountry;
                            int n = c != nullptr ? GetImprovementCandidates(*c, *u, candidates) : 0;
                            n = std::clamp(n, 0, static_cast<int>(candidates.size()) - 1);
                            int page = -1;
                            m_pSelUnit = u;
                            if (Dialogs().ImproveSheet(std::span<const int>(candidates.data(), static_cast<size_t>(n)),
                                                       *u, c != nullptr ? c->nDisplay : 0, page) == kAnswerOk &&
                                page >= 0 && page < n)
                                ExecuteImprove(candidates[static_cast<size_t>(page)]);
                            dropSelection();
                        }});
    const Test supply = [this](UNITSTRUCT& u) {
        const int code = m_pDoc->CheckResupply(u);
        return code == 0 || m_pDoc->CheckReplenish(u) == 0 ? 0 : code;
    };
    r.Add(kCmdSupply, {enabledBy(Needs::CommandUnit, supply), nullptr, [=, this] {
                           UNITSTRUCT* u = begin(Needs::CommandUnit, supply);
                           if (u == nullptr || !ConfirmOrder(kAskSupply, false)) return;
                           closeBars(false);
                           m_pCmdUnit = u;
                           PlaySE(kSoundSupply);
                           SupplyStep(true);
                           dropSelection();
                       }});
    r.Add(kCmdPerformance, {[=, this] { return human() && CommandTargetUnit() != nullptr; }, nullptr, [this] {
                                UNITSTRUCT* u = CommandTargetUnit();
                                if (u != nullptr) OpenPerformanceWindow(u, u->nArms, 0, true);
                            }});
    const Test evolve = [this](UNITSTRUCT& u) { return m_pDoc->CheckEvolution(u); };
    r.Add(kCmdEvolve, {enabledBy(Needs::AnyUnit, evolve), nullptr, [=, this] {
                           UNITSTRUCT* u = begin(Needs::AnyUnit, evolve);
                           if (u == nullptr) return;
                           closeBars(true);
                           m_pSelUnit = u;
                           int chosen = -1;
                           if (Dialogs().EvolutionTableDialog(u->nArms, u, -1, true, chosen) == kAnswerOk &&
                               chosen >= 0)
                               ExecuteEvolve(chosen);
                           dropSelection();
                       }});
    const Test arms = [this](UNITSTRUCT& u) { return m_pDoc->CheckArmsChange(u); };
    r.Add(kCmdArms, {enabledBy(Needs::AnyUnit, arms), nullptr, [=, this] {
                         UNITSTRUCT* u = begin(Needs::AnyUnit, arms);
                         if (u == nullptr) return;
                         closeBars(true);
                         m_pSelUnit = u;
                         int set = -1;
                         const int funds = m_pCurCountry != nullptr ? m_pCurCountry->nFund : 0;
                         if (Dialogs().ArmsDialog(*u, funds, set) == kAnswerOk && set >= 0) ExecuteArmsChange(set);
                         dropSelection();
                     }});
    const Test jettison = [this](UNITSTRUCT& u) { return m_pDoc->CheckJettison(u); };
    r.Add(kCmdJettison, {enabledBy(Needs::AnyUnit, jettison), nullptr, [=, this] {
                             UNITSTRUCT* u = begin(Needs::AnyUnit, jettison);
                             if (u == nullptr || !ConfirmOrder(kAskJettison, false)) return;
                             closeBars(false);
                             if (u == m_pSelUnit && IsMapHex(m_nTargetHex)) {
                                 // Carried out when the selection ends with the move.
                                 u->dwOrder |= kOrderJettisonPending;
                                 SetStatusHex(m_nTargetHex, false);
                                 CancelCurrentCommand();
                                 return;
                             }
                             m_pSelUnit = u;
                             ExecuteJettison(*u, false);
                             dropSelection();
                         }});

    // --- merge, load, occupy, attack, bomb, unload ----------------------------------------------
    const Test merge = [this](UNITSTRUCT& u) {
        return CheckAtPendingHex(u, [this](UNITSTRUCT& v) { return m_pDoc->CheckMerge(v); });
    };
    r.Add(kCmdMerge, {enabledBy(Needs::AnyUnit, merge), nullptr, [=, this] {
                          UNITSTRUCT* u = begin(Needs::AnyUnit, merge);
                          if (u == nullptr) return;
                          closeBars(false);
                          m_pSelUnit = u;
                          m_nMergeHex.fill(-1);
                          (void)CheckAtPendingHex(*u, [this](UNITSTRUCT& v) {
                              std::array<HEXINDEX, 7> out{};
                              out.fill(-1);
                              ListMergePartners(m_pDoc->m_GameData, m_pDoc->m_dwHexUnit, v, out);
                              std::copy(out.begin(), out.end(), m_nMergeHex.begin());
                              m_nMergeHex.back() = -1;
                              return 0;
                          });
                          MarkMergeHexes();
                          m_nCmdMode = kModeMerge;
                      }});
    const Test board = [this](UNITSTRUCT& u) {
        const HEXINDEX hex = IsMapHex(m_nTargetHex) ? m_nTargetHex : -1;
        UNITSTRUCT* carrier = IsMapHex(hex) ? GetUnitOnHex(hex) : nullptr;
        if (carrier == nullptr || carrier == &u) return kErrNoCarrier;
        return CheckBoardCarrier(m_pDoc->m_GameData, u, *carrier);
    };
    r.Add(kCmdLoad, {[=, this] { return human() && CommandTargetUnit() != nullptr; }, nullptr, [=, this] {
                         UNITSTRUCT* u = begin(Needs::AnyUnit, board);
                         if (u == nullptr) return;
                         const HEXINDEX hex = m_nTargetHex;
                         closeBars(false);
                         m_pSelUnit = u;
                         ExecuteLoad(*u, hex);
                         dropSelection();
                     }});
    auto ownOrPending = [this](const UNITSTRUCT& u) {
        return u.nHex >= 0 && &u == m_pSelUnit && IsMapHex(m_nTargetHex) ? m_nTargetHex
                                                                          : GetUnitMapHex(m_pDoc->m_GameData, u);
    };
    auto occupyCode = [this](UNITSTRUCT& u) {
        return CheckAtPendingHex(u, [this](UNITSTRUCT& v) { return m_pDoc->CheckOccupy(v); });
    };
    const Test occupy = [=](UNITSTRUCT& u) { return withoutAlliance(occupyCode(u)); };
    // The pending move is made before an order that acts where the unit stands.
    auto makePendingMove = [this](UNITSTRUCT& u) {
        if (&u != m_pSelUnit || !IsMapHex(m_nTargetHex)) return;
        if (GetUnitMapHex(m_pDoc->m_GameData, u) == m_nTargetHex) return;
        if (MoveUnitTo(*m_pDoc, u, m_nTargetHex, &m_SavedUnit).Done()) m_dwState |= kViewMoveUndoable;
    };
    r.Add(kCmdOccupy, {enabledBy(Needs::AnyUnit, occupy), nullptr, [=, this] {
                           UNITSTRUCT* u = begin(Needs::AnyUnit, occupy);
                           if (u == nullptr) return;
                           const int code = occupyCode(*u);
                           const HEXINDEX hex = ownOrPending(*u);
                           if (!ConfirmOrder(kAskOccupy, false)) return;
                           if (code == kErrOccupyAlly) {
                               if (!ConfirmOrder(kAskAlliance, true)) return;
                               MakeHexOwnerEnemy(hex);
                           }
                           closeBars(false);
                           m_pSelUnit = u;
                           makePendingMove(*u);
                           ExecuteOccupation(*u, hex, 0);
                       }});
    const Test attack = [this](UNITSTRUCT& u) {
        return m_pDoc->CheckAttackFromHex(u, &u == m_pSelUnit && IsMapHex(m_nTargetHex)
                                                 ? m_nTargetHex
                                                 : GetUnitMapHex(m_pDoc->m_GameData, u));
    };
    r.Add(kCmdAttack, {enabledBy(Needs::AnyUnit, attack), nullptr, [=, this] {
                           UNITSTRUCT* u = begin(Needs::AnyUnit, attack);
                           if (u == nullptr) return;
                           closeBars(false);
                           m_pSelUnit = u;
                           std::array<UNITSTRUCT*, 65> targets{};
                           (void)CheckAtPendingHex(*u, [&](UNITSTRUCT& v) {
                               return ListTargetsInRange(v, m_pDoc->m_GameData, IsMapHex(m_nTargetHex), false,
                                                         targets);
                           });
                           m_nCandidateHex.fill(-1);
                           size_t n = 0;
                           for (UNITSTRUCT* t : targets) {
                               if (t == nullptr || n + 1 >= m_nCandidateHex.size()) break;
                               const HEXINDEX h = GetUnitMapHex(m_pDoc->m_GameData, *t);
                               if (IsMapHex(h)) m_nCandidateHex[n++] = h;
                           }
                           MarkHexList(4, false);
                           m_nCmdMode = kModeAttack;
                       }});
    auto bombCode = [=, this](UNITSTRUCT& u) {
        // An aircraft bombs where it stands; the others choose a hex later.
        const HEXINDEX hex = IsAirDomainUnit(u) ? ownOrPending(u) : -1;
        return CheckAtPendingHex(u, [this, hex](UNITSTRUCT& v) { return m_pDoc->CheckBombing(v, hex, false); });
    };
    const Test bomb = [=](UNITSTRUCT& u) { return withoutAlliance(bombCode(u)); };
    r.Add(kCmdBomb, {enabledBy(Needs::AnyUnit, bomb), nullptr, [=, this] {
                         UNITSTRUCT* u = begin(Needs::AnyUnit, bomb);
                         if (u == nullptr) return;
                         const int code = bombCode(*u);
                         const HEXINDEX hex = ownOrPending(*u);
                         bool asked = false;
                         if (code == kErrBombAlly) {
                             if (!ConfirmOrder(kAskAlliance, true)) return;
                             MakeHexOwnerEnemy(hex);
                             asked = true;
                         }
                         closeBars(false);
                         m_pSelUnit = u;
                         if (!IsAirDomainUnit(*u)) {
                             MarkBombingRange();
                             m_nCmdMode = kModeBombing;
                             return;
                         }
                         if (!asked && !ConfirmOrder(kAskBomb, false)) return;
                         makePendingMove(*u);
                         // The order ends the selection itself.
                         (void)ExecuteBombing(*u, hex);
                     }});
    auto unloadCode = [this](UNITSTRUCT& u) {
        const HEXINDEX hex = &u == m_pSelUnit && IsMapHex(m_nTargetHex) ? m_nTargetHex
                                                                          : GetUnitMapHex(m_pDoc->m_GameData, u);
        // The carrier's unload bits are the test's to set; the update side
        // leaves them as they were.
        const uint32_t flags = u.dwFlag;
        u.dwFlag &= ~(kCarrierUnloaded | kCarrierMayCover);
        int code = m_pDoc->CheckUnloadHex(u, hex);
        if (code == 0 && m_pDoc->CheckAttackFromHex(u, hex) == 0) u.dwFlag |= kCarrierMayCover;
        const uint32_t tested = u.dwFlag;
        u.dwFlag = flags;
        return std::pair<int, uint32_t>(code, tested);
    };
    const Test unload = [=](UNITSTRUCT& u) { return unloadCode(u).first; };
    r.Add(kCmdUnload, {enabledBy(Needs::AnyUnit, unload), nullptr, [=, this] {
                           UNITSTRUCT* u = begin(Needs::AnyUnit, unload);
                           if (u == nullptr) return;
                           const auto [code, tested] = unloadCode(*u);
                           (void)code;
                           u->dwFlag = tested;
                           closeBars(false);
                           m_pSelUnit = u;
                           m_dwState &= ~kViewMoveUndoable;
                           makePendingMove(*u);
                           m_nCmdMode = kModeUnload;
                           m_nCmdSubMode = 0;
                           std::array<HEXINDEX, 7> near{};
                           near.fill(-1);
                           const int n = GetNeighbours(GetUnitMapHex(m_pDoc->m_GameData, *u), near);
                           m_nCandidateHex.fill(-1);
                           for (int i = 0; i < n && i < 6; ++i)
                               m_nCandidateHex[static_cast<size_t>(i)] = near[static_cast<size_t>(i)];
                           ClickUnload(GetUnitMapHex(m_pDoc->m_GameData, *u));
                       }});

    // --- march and move ----------------------------------------------------------------------------
    const Test marchTest = [this](UNITSTRUCT& u) {
        if (u.dwOrder & kOrderMarchSet) return 0;
        return m_pDoc->CheckMarch(u);
    };
    const Test march = [=](UNITSTRUCT& u) { return IsBombingMarchType(u) ? kErrMarchType : marchTest(u); };
    r.Add(kCmdMarch, {enabledBy(Needs::AnyUnit, march), nullptr, [=, this] {
                          UNITSTRUCT* u = begin(Needs::AnyUnit, march);
                          if (u == nullptr) return;
                          closeBars(false);
                          m_pSelUnit = u;
                          RunMarchDialog(false);
                      }});
    const Test move = [=, this](UNITSTRUCT& u) {
        return IsBombingMarchType(u) ? marchTest(u) : m_pDoc->CheckMove(u);
    };
    r.Add(kCmdMove, {enabledBy(Needs::CommandUnit, move), nullptr, [=, this] {
                         UNITSTRUCT* u = begin(Needs::CommandUnit, move);
                         if (u == nullptr) return;
                         if (IsBombingMarchType(*u)) {
                             closeBars(false);
                             m_pSelUnit = u;
                             RunMarchDialog(true);
                             return;
                         }
                         // The reach the test left in the document is marked.
                         BeginMoveMode(u);
                     }});
    r.Add(kCmdMoveEnd, {[this] {
                            return (m_dwState & kViewHumanPhase) && m_pSelUnit != nullptr &&
                                   m_nCmdMode == kModeMovePending && IsMapHex(m_nTargetHex) &&
                                   m_dwHexUnitCode[static_cast<size_t>(m_nTargetHex)] != 0;
                        },
                        nullptr, [=, this] {
                            UNITSTRUCT* u = m_pSelUnit;
                            if (u == nullptr || m_pDoc == nullptr) return;
                            closeBars(false);
                            if (GetUnitMapHex(m_pDoc->m_GameData, *u) != m_nTargetHex)
                                (void)MoveUnitAndEndAction(*m_pDoc, *u, m_nTargetHex);
                            else
                                (void)EndUnitAction(*m_pDoc, *u, true);
                            EndSelection(true);
                            SetUnitCode(*u);
                            RefreshUnitWindows(*u, 2);
                            ClearHexMarks(true);
                            dropSelection();
                        }});

    // --- construction -------------------------------------------------------------------------------
    auto build = [this] { BeginConstructionCommand(); };
    auto buildEnabled = [=, this](int kind) {
        return [=, this] { return human() && m_pSelUnit != nullptr && (CheckConstructionCommand(kind) == 0 || explains()); };
    };
    auto buildBegin = [=, this](int kind) -> UNITSTRUCT* {
        if (m_pSelUnit == nullptr || m_pDoc == nullptr) return nullptr;
        if (const int code = CheckConstructionCommand(kind); code != 0) {
            Dialogs().MessageBox(ErrorText(code), kBoxOk | kBoxIconExclamation);
            return nullptr;
        }
        return m_pSelUnit;
    };
    r.Add(kCmdBuild, {[=, this] {
                          // The command bar's unit is the one that builds.
                          UNITSTRUCT* keep = m_pSelUnit;
                          if (m_pCmdUnit != nullptr) m_pSelUnit = m_pCmdUnit;
                          const bool on = buildEnabled(kBuildAny)();
                          m_pSelUnit = keep;
                          return on;
                      },
                      nullptr, [=, this] {
                          if (m_pCmdUnit != nullptr) m_pSelUnit = m_pCmdUnit;
                          if (buildBegin(kBuildAny) == nullptr) return;
                          closeBars(false);
                          build();
                      }});
    for (int kind : {kBuildLayRoute, kBuildRemoveRoute}) {
        r.Add(kind == kBuildLayRoute ? kCmdLayRoute : kCmdRemoveRoute,
              {buildEnabled(kind), nullptr, [=, this] {
                   if (buildBegin(kind) == nullptr) return;
                   // The construction bar closes without cancelling the order.
                   m_dwState |= kViewBarClosedQuietly;
                   closeBars(false);
                   MarkRouteChoice(1);
                   m_nCmdMode = kModeRoute;
                   m_nCmdSubMode = kind;
               }});
    }
    const std::pair<int, int> plainKinds[] = {{kCmdRepair, kBuildRepair},
                                              {kCmdFortress, kBuildFortress},
                                              {kCmdRemoveFortress, kBuildRemoveFortress},
                                              {kCmdAirfield, kBuildAirfield},
                                              {kCmdRemoveAirfield, kBuildRemoveAirfield}};
    for (const auto& [id, kind] : plainKinds) {
        r.Add(id, {buildEnabled(kind), nullptr, [=, this, k = kind] {
                       UNITSTRUCT* u = buildBegin(k);
                       if (u == nullptr) return;
                       m_dwState |= kViewBarClosedQuietly;
                       closeBars(false);
                       ExecuteConstruction(*u, k, 0, -1);
                       EndSelection(true);
                       dropSelection();
                   }});
    }
    r.Add(kCmdDurability, {buildEnabled(kBuildDurability), nullptr, [=, this] {
                               UNITSTRUCT* u = buildBegin(kBuildDurability);
                               if (u == nullptr) return;
                               m_dwState |= kViewBarClosedQuietly;
                               closeBars(false);
                               const int amount = Dialogs().DurabilityDialog(*u, m_pDoc->GetDurabilityIncreaseLimit(*u));
                               if (amount <= 0) {
                                   build();
                                   return;
                               }
                               ExecuteConstruction(*u, kBuildDurability, static_cast<uint32_t>(amount), -1);
                               EndSelection(true);
                               dropSelection();
                           }});

    // --- end of action ----------------------------------------------------------------------------
    r.Add(kCmdEndAction, {[=, this] { return human() && HasCommandUnit() != 0; }, nullptr, [=, this] {
                              UNITSTRUCT* u = m_pCmdUnit;
                              if (u == nullptr || m_pDoc == nullptr || !ConfirmOrder(kAskEndAction, true)) return;
                              m_pSelUnit = u;
                              closeBars(false);
                              ExecuteEndAction(*u);
                              dropSelection();
                          }});

    // --- modal tables -------------------------------------------------------------------------------
    r.Add(kCmdMusicSettings,
          {[=, this] { return human() && m_nCmdMode == kModeChooseUnit && (m_dwDispOption & kDispMusicOn); },
           nullptr, [] { Dialogs().BgmSettingsDialog(); }});
    auto humanCountry = [this] {
        return m_pDoc != nullptr && m_pDoc->m_pCurCountry != nullptr &&
               (m_pDoc->m_pCurCountry->dwFlag & kCountryCpu) == 0;
    };
    r.Add(kCmdForceTable, {humanCountry, nullptr, [] { Dialogs().ForceTableDialog(); }});
    r.Add(kCmdWeaponTable, {[=, this] { return humanCountry() && (m_pDoc->m_dwGameOption & kOptCampaign); },
                            nullptr, [] { Dialogs().WeaponTableDialog(); }});
    (void)kErrProductionUnderWay, (void)kErrDeploymentUnderWay, (void)kOrderStanding;
}

void CZRKGameView::BeginConstructionCommand()
{
    UNITSTRUCT* u = m_pSelUnit;
    if (u == nullptr || m_pDoc == nullptr) return;
    if (m_pFrame != nullptr) m_pFrame->SendCommand(kCmdBuildBar);
    // The pending move is made once, whatever the construction chosen.
    if (IsMapHex(m_nTargetHex) && (m_dwState & kViewMoveUndoable) == 0 &&
        GetUnitMapHex(m_pDoc->m_GameData, *u) != m_nTargetHex &&
        MoveUnitTo(*m_pDoc, *u, m_nTargetHex, &m_SavedUnit).Done())
        m_dwState |= kViewMoveUndoable;
    MarkSourceAndTarget(GetUnitMapHex(m_pDoc->m_GameData, *u), -1);
    m_nCmdMode = kModeRoute;
    m_nCmdSubMode = 0;
}

// --- the full-automatic pass ------------------------------------------------------------------

int CZRKGameView::RunFullAutoPass()
{
    if (m_pDoc == nullptr || (m_pDoc->m_dwGameOption & kOptFullAutoRunning)) return 0;
    m_pDoc->m_dwGameOption |= kOptFullAutoRunning;
    auto closing = [this] { return (m_dwState & kViewCloseRequested) != 0; };
    std::array<UNITSTRUCT*, kUnitSlots + 1> list{};
    // A close request ends the pass here, before its reset: the window is
    // going, and nothing may start another step in the meantime.
    auto stop = [] { return -1; };

    // Supply.
    list.fill(nullptr);
    if (m_pDoc->ListAutoSupplyUnits(list) && RunAutoSupply() < 0) return stop();
    if (closing()) return stop();

    // Capture, one unit at a time on its own hex, until one does not go
    // through as a plain capture.
    list.fill(nullptr);
    m_pDoc->ListAutoCaptureUnits(list);
    for (UNITSTRUCT* u : list) {
        if (u == nullptr) break;
        m_pSelUnit = u;
        m_pCmdUnit = nullptr;
        m_nTargetHex = -1;
        const int result = ExecuteOccupation(*u, GetUnitMapHex(m_pDoc->m_GameData, *u), 0);
        if (result < 0 || closing()) return stop();
        if (result != 0) break;
    }

    // Durability works while the test lets them.
    list.fill(nullptr);
    m_pDoc->ListAutoConstructionUnits(list);
    for (UNITSTRUCT* u : list) {
        if (u == nullptr) break;
        for (int guard = 0; guard < kMaxDurability; ++guard) {
            m_pSelUnit = u;
            if (m_pDoc->CheckConstruction(*u, kBuildDurability) != 0) break;
            const int amount = m_pDoc->GetDurabilityIncreaseLimit(*u);
            if (amount <= 0) break;
            ExecuteConstruction(*u, kBuildDurability, static_cast<uint32_t>(amount), -1);
            const HEXINDEX hex = GetUnitMapHex(m_pDoc->m_GameData, *u);
            if (FlashHexMark(hex, false, false) || closing()) return stop();
            SetStatusHex(hex, false);
        }
    }

    // Marches: a move refused on the way leaves that unit where it is.
    list.fill(nullptr);
    m_pDoc->ListAutoMoveUnits(list);
    for (UNITSTRUCT* u : list) {
        if (u == nullptr) break;
        if (m_pDoc->CheckMove(*u) != 0) continue;
        m_pSelUnit = u;
        (void)m_pDoc->CpuMoveUnitToward(*u, u->nMarchHex, kPlainMoveFlags);
        if (closing()) return stop();
        if ((u->dwFlag & kUnitInUse) && GetUnitMapHex(m_pDoc->m_GameData, *u) == u->nMarchHex)
            u->dwOrder &= ~kOrderMarchSet;
    }

    m_nCmdMode = kModeChooseUnit;
    m_pSelUnit = nullptr;
    m_pCmdUnit = nullptr;
    m_nTargetHex = -1;
    m_pDoc->m_dwGameOption &= ~kOptFullAutoRunning;
    RedrawMapAndStatus(nullptr, true);
    return 0;
}

// --- the march dialog -------------------------------------------------------------------------

void CZRKGameView::RunMarchDialog(bool fromMove)
{
    UNITSTRUCT* u = m_pSelUnit;
    if (u == nullptr || m_pDoc == nullptr) return;
    const HEXINDEX own = GetUnitMapHex(m_pDoc->m_GameData, *u);
    MarkSourceAndTarget(own, (u->dwOrder & kOrderMarchSet) ? u->nMarchHex : -1);
    const int result = Dialogs().MarchDialog(*u, !IsBombingMarchType(*u));
    if (result == kMarchSet) {
        // The march test leaves the reach in the document.
        (void)m_pDoc->CheckMarch(*u);
        if (IsBombingMarchType(*u))
            MarkReachableHexes();
        else
            MarkMoveRange();
        m_nCmdMode = kModeMarch;
        return;
    }
    ClearHexMarks(true);
    m_nCmdMode = kModeChooseUnit;
    CenterOnUnit(*u);
    m_pSelUnit = nullptr;
    if (!fromMove) {
        BeginCmdWindowSelect(u);
        return;
    }
    if (result == kMarchClosed) {
        u->dwOrder &= ~(kOrderMarchSet | kOrderStanding);
        BeginCmdWindowSelect(u);
        return;
    }
    if (u->dwOrder & kOrderMarchSet) ExecuteEndAction(*u);
}

void CZRKGameView::OnMarchTargetSet()
{
    UNITSTRUCT* u = m_pSelUnit;
    if (u == nullptr) return;
    if (IsBombingMarchType(*u)) {
        RunMarchDialog(true);
        return;
    }
    // The march command with its test, as the menu would run it.
    if (m_pDoc != nullptr) {
        if (!(u->dwOrder & kOrderMarchSet) && m_pDoc->CheckMarch(*u) != 0) return;
        RunMarchDialog(false);
    }
}

}  // namespace zrv
