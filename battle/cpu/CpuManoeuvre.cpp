#include "battle/cpu/CpuManoeuvre.h"

#include <algorithm>
#include <array>
#include <climits>

#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuAttackOrders.h"
#include "battle/cpu/CpuMerge.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuUnitCare.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/cpu/CpuWorks.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kCpuUnitDone = 1u << 23;      // computer-player word bit 23
constexpr uint32_t kOrderNoSupplyRun = 1u << 25;  // order word bit 25
constexpr uint32_t kArmsCountedSingly = 1u << 1;  // ArmsData flag bit 1
constexpr uint32_t kTerrainCity = 1u << 28;       // TerrainBase byte 3 bit 4
constexpr uint32_t kTerrainFort = 1u << 30;       // TerrainBase byte 3 bit 6

int RouteCost(const CZRKGameDoc& doc, HEXINDEX h)
{
    const uint32_t w = doc.m_dwHexMove[h];
    return (w & kReachNotReached) ? -1 : static_cast<int>(w & kReachCostMask);
}

// What follows the first unit that acted in a manoeuvre or a rally.
int FollowUp(CZRKGameDoc& doc, CpuTurnState& state, bool skipBusy)
{
    if (CpuUntilDone(doc, [&] { return CpuRefuelUnits(doc, state, 1, 0); }) < 0) return -1;
    if (CpuJoinUntilDone(doc, state) < 0) return -1;
    if (CpuFollowBaseLeft(doc, state) < 0) return -1;
    if (doc.m_dwCpuFlags & kCpuFlagSearchFound) {
        doc.m_dwCpuFlags &= ~kCpuFlagSearchFound;
        CpuChooseAirArms(doc);
        if (CpuUntilDone(doc, [&] { return CpuAttackUnits(doc, state, skipBusy); }) < 0) return -1;
    }
    return 0;
}

// After a full move: a merge with a partner there, else an attack with the
// advance policy, else the end of the move.
int AfterMove(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, bool attack)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const CpuEnemyList enemies = CpuEnemies(doc, UnitCountryIndex(unit));
    if (UNITSTRUCT* partner = FindMergePartner(game, doc.m_dwHexUnit, unit, unit.nHex, enemies, false)) {
        if (GetMergeTransferAmount(unit, *partner) != 0) {
            if (doc.ExecuteCpuAction(kCpuActMoveDone, unit, -1) < 0) return -1;
            return CpuMergeInto(doc, unit, *partner) < 0 ? -1 : 1;
        }
    }
    if (attack) {
        const int r = CpuAttackTarget(doc, state, unit, CpuAdvancePolicy(doc, unit), kNoHex);
        if (r != 0) return r;
    }
    return doc.ExecuteCpuAction(kCpuActMoveDone, unit, 0) < 0 ? -1 : 1;
}

}  // namespace

int CpuIsUnitSettled(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    if ((unit.dwSupplyFlag & (kCpuUnitStay | kCpuUnitDone)) || (unit.dwOrder & kOrderNoSupplyRun)) return 1;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (a != nullptr && CanOccupy(*a) && !(unit.dwSupplyFlag & kCpuNeedsSupply)) return 1;
    if (CheckOwnerSupply(doc.m_GameData, unit, unit.dwHexCell) == 0) return 0;
    return TestAdjacentEnemyEngagement(doc.m_GameData, doc.m_dwHexUnit, unit, 0) != 0 ? 1 : 0;
}

HEXINDEX CpuFindFallbackHex(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(doc.m_GameData, unit);
    if (c == nullptr) return kNoHex;
    const HEXINDEX objective = CpuObjective(*c);
    const HEXINDEX at = GetUnitMapHex(doc.m_GameData, unit);
    if (IsGroundDomainUnit(unit) && !IsMapHex(objective) && CpuOnList(state.hexList[0], at)) return kNoHex;
    HEXINDEX best = kNoHex;
    int bestValue = INT_MAX;
    for (HEXINDEX h : state.hexList[1]) {
        if (!IsMapHex(h) || !CpuOnList(state.hexList[3], h)) continue;
        if (RouteCost(doc, h) < 0 || (doc.m_dwHexMove[h] & kReachNoDestination)) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(doc.m_dwHexCell[h]));
        if (t == nullptr || !(t->dwTrrnFlag & (kTerrainCity | kTerrainFort))) continue;
        const int value = ((t->dwTrrnFlag & kTerrainCity) ? 0 : 4096) + GetHexDistance(at, h);
        if (value < bestValue || (value == bestValue && (doc.Random().Rand() & 1))) {
            best = h;
            bestValue = value;
        }
    }
    if (IsMapHex(best)) return best;
    return IsMapHex(objective) ? objective : c->nCapital;
}

HEXINDEX CpuFindHuntingHex(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    int domain = -1;
    if (unit.nMode == 3 || unit.nMode == 12) domain = 3;
    if (unit.nMode == 4 || unit.nMode == 13) domain = 4;
    if (domain < 0) return kNoHex;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    if (own == nullptr) return kNoHex;
    const int side = own->nSide;
    const bool fog = (own->dwFlag & kCountryFog) != 0;
    HEXINDEX best = kNoHex;
    int bestCost = INT_MAX;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent) || c.nSide != (side ^ 1)) continue;
        for (const UNITSTRUCT& e : c.Unit) {
            if (!(e.dwFlag & kUnitInUse) || (e.dwFlag & kUnitCarried) || !IsMapHex(e.nHex)) continue;
            const ARMSSTRUCT* a = UnitArms(e);
            if (a == nullptr || a->nDomain != domain) continue;
            if (fog && side >= 0 && side < 3 && (e.dwFlag & HiddenFromSideBit(side))) continue;
            const int cost = RouteCost(doc, e.nHex);
            if (cost < 0) continue;
            if (cost < bestCost || (cost == bestCost && (doc.Random().Rand() & 1))) {
                best = e.nHex;
                bestCost = cost;
            }
        }
    }
    return best;
}

HEXINDEX CpuFindSupplyNeighbourHex(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(doc.m_GameData, unit);
    if (c == nullptr) return kNoHex;
    HEXINDEX best = kNoHex;
    int bestCost = INT_MAX;
    for (const UNITSTRUCT& o : c->Unit) {
        if (&o == &unit || !(o.dwFlag & kUnitInUse) || (o.dwFlag & kUnitCarried) || !IsMapHex(o.nHex)) continue;
        if (!(o.dwSupplyFlag & kCpuUnitNeedsStock)) continue;
        const int cost = RouteCost(doc, o.nHex);
        if (cost < 0 || cost >= bestCost) continue;
        for (int dir = 0; dir < kHexDirections; ++dir) {
            const HEXINDEX n = GetNeighbour(o.nHex, dir);
            if (!IsMapHex(n) || IsUnitRef(doc.m_dwHexUnit[n]) || RouteCost(doc, n) < 0) continue;
            best = n;
            bestCost = cost;
            break;
        }
    }
    return best;
}

int CpuManoeuvreUnit(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (c == nullptr || a == nullptr) return 0;
    if (!CpuReach(doc, state, unit) || IsUnitHoldingCapital(unit, game)) return 0;
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (IsGroundDomainUnit(unit) && std::find(state.objectiveArea.begin(), state.objectiveArea.end(), at) !=
                                        state.objectiveArea.end())
        return 0;
    const UnitRef ref = unit.refSelf;
    HEXINDEX target = kNoHex;
    bool board = false;
    if (unit.dwSupplyFlag & kCpuNeedsSupply) {
        target = CpuFindSupplyHex(doc, state, unit, 1, 0);
        if (!CpuReach(doc, state, unit)) return 0;
        board = true;
        UNITSTRUCT* holder = IsMapHex(target) ? UnitAt(game, doc.m_dwHexUnit[target]) : nullptr;
        if (!IsGroundDomainUnit(unit) && holder != nullptr && holder != &unit &&
            UnitCountryIndex(*holder) == c->nIndex && RouteCost(doc, target) >= 0 &&
            RouteCost(doc, target) <= unit.nMove) {
            const ARMSSTRUCT* ha = UnitArms(*holder);
            if ((ha != nullptr && holder->nArms == unit.nArms && !(ha->dwArmsFlag & kArmsCountedSingly)) ||
                (holder->dwFlag & kUnitActed)) {
                holder->dwSupplyFlag |= kCpuUnitKeepsSite;
                return 1;
            }
            return CpuSwapOut(doc, state, *holder);
        }
    } else if (!(doc.m_dwCpuFlags & kCpuFlagDefensive)) {
        if (a->nClass == 26 || a->nClass == 62) target = CpuFindSupplyNeighbourHex(doc, unit);
        if (!IsMapHex(target)) target = CpuFindHuntingHex(doc, unit);
        if (!IsMapHex(target)) {
            CapitalSearch how{doc.m_dwHexMove};
            how.any = IsNavalDomainUnit(unit);
            how.blocked = [&](int country) { return IsCapitalBlocked(game, doc.m_dwHexUnit, country) != 0; };
            const int32_t capital = FindNearestEnemyCapital(game, unit, how);
            if (capital >= 0) target = static_cast<HEXINDEX>(capital & 0xFFFF);
        }
        if (!IsMapHex(target)) {
            const CpuEnemyList enemies = CpuEnemies(doc, c->nIndex);
            const int32_t owned = FindNearestOwnedMarkedHex(game, unit, doc.m_dwHexCell, doc.m_dwHexMove, enemies);
            if (owned >= 0) target = static_cast<HEXINDEX>(owned & 0xFFFF);
        }
        if (!IsMapHex(target)) target = CpuFindFallbackHex(doc, state, unit);
    } else if (!TestAdjacentEnemyEngagement(game, doc.m_dwHexUnit, unit, 0)) {
        target = c->nCapital;
    }
    if (!IsMapHex(target) || target == at) return 0;

    CpuMarkEnemyReach(unit, game, doc.m_dwHexMove);
    CpuMoveFlags flags;
    flags.nEnd = 1;
    flags.bFuel = true;
    flags.bIncludeTarget = board;
    const int r = CpuMoveUnitToward(doc, state, unit, target, flags);
    if (r < 0) return -1;
    if (r == kCpuMoveHeldForFuel) {
        UNITSTRUCT* u = doc.GetUnit(ref);
        if (u == nullptr) return 1;
        const bool dry = u->nFuel <= (a->nMovePoint + 1) / 2;
        return doc.ExecuteCpuAction(dry ? kCpuActDispose : kCpuActEndAction, *u, 0) < 0 ? -1 : 1;
    }
    CpuCountHeadingUnits(doc, target);
    if (r == kCpuMoveDone) return 1;
    if (r != kCpuMoveMoved) return 0;
    UNITSTRUCT* u = doc.GetUnit(ref);
    if (u == nullptr || !(u->dwFlag & kUnitInUse) || (u->dwFlag & kUnitActed)) return 1;
    return AfterMove(doc, state, *u, true);
}

int CpuRallyUnit(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr || !CpuReach(doc, state, unit)) return 0;
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (IsGroundDomainUnit(unit) && CpuOnList(state.hexList[2], at)) return 0;
    const UnitRef ref = unit.refSelf;
    HEXINDEX target = CpuFindSupplyHex(doc, state, unit, 1, 0);
    if (!IsMapHex(target))
        if (const UNITSTRUCT* enemy = FindNearestEnemyUnit(game, unit)) target = GetUnitMapHex(game, *enemy);
    if (!IsMapHex(target)) target = c->nCapital;
    if (!IsMapHex(target) || target == at) return 0;
    CpuMoveFlags flags;
    flags.nEnd = 1;
    flags.bIncludeTarget = true;
    const int r = CpuMoveUnitToward(doc, state, unit, target, flags);
    if (r < 0) return -1;
    CpuCountHeadingUnits(doc, target);
    if (r == kCpuMoveDone) return 1;
    if (r != kCpuMoveMoved) return 0;
    UNITSTRUCT* u = doc.GetUnit(ref);
    if (u == nullptr || !(u->dwFlag & kUnitInUse) || (u->dwFlag & kUnitActed)) return 1;
    return AfterMove(doc, state, *u, false);
}

int CpuManoeuvreUnits(CZRKGameDoc& doc, CpuTurnState& state)
{
    doc.m_dwCpuFlags &= ~(kCpuFlagBaseLeft | kCpuFlagSearchFound);
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateRefit, true, true, false, list) == 0) return 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = doc.GetUnit(ref);
        if (u == nullptr || !(u->dwFlag & kUnitInUse) || (u->dwFlag & kUnitActed)) continue;
        if (CpuIsUnitSettled(doc, *u)) continue;
        const uint32_t before = doc.OrdersDone();
        const int r = CpuManoeuvreUnit(doc, state, *u);
        if (r < 0) return -1;
        if (r == 0 || doc.OrdersDone() == before) continue;
        return FollowUp(doc, state, true) < 0 ? -1 : 1;
    }
    return 0;
}

int CpuRallyToCapital(CZRKGameDoc& doc, CpuTurnState& state)
{
    doc.m_dwCpuFlags &= ~(kCpuFlagBaseLeft | kCpuFlagSearchFound);
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateByCapital, true, true, false, list) == 0) return 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = doc.GetUnit(ref);
        if (u == nullptr || !(u->dwFlag & kUnitInUse) || (u->dwFlag & kUnitActed)) continue;
        const HEXINDEX at = GetUnitMapHex(doc.m_GameData, *u);
        const bool near = IsMapHex(c->nCapital) && IsMapHex(at) && GetHexDistance(at, c->nCapital) <= 7;
        const uint32_t before = doc.OrdersDone();
        const int r = !(u->dwOrder & kOrderNoSupplyRun) && near ? CpuRallyUnit(doc, state, *u)
                                                                : CpuManoeuvreUnit(doc, state, *u);
        if (r < 0) return -1;
        if (r == 0 || doc.OrdersDone() == before) continue;
        return FollowUp(doc, state, false) < 0 ? -1 : 1;
    }
    return 0;
}

}  // namespace zrv
