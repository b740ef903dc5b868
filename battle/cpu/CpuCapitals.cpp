#include "battle/cpu/CpuCapitals.h"

#include <algorithm>
#include <array>
#include <climits>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/cpu/CpuWithdrawal.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "battle/engine/Weather.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

bool Reached(uint32_t w)
{
    return !(w & kReachNotReached);
}

}  // namespace

int32_t FindEnemyCapitalForUnit(CZRKGameDoc& doc, const UNITSTRUCT& unit, std::span<const uint32_t, kHexCount> cost)
{
    CapitalSearch how{cost};
    const int32_t reachable = FindNearestEnemyCapital(doc.m_GameData, unit, how);
    if (reachable >= 0) return reachable;
    how.any = true;
    return FindNearestEnemyCapital(doc.m_GameData, unit, how);
}

int CpuLandMoveArea(CZRKGameDoc& doc, CpuTurnState& state, int type, HEXINDEX start, const COUNTRYSTRUCT& country,
                    std::span<uint32_t, kHexCount> out)
{
    std::fill(out.begin(), out.end(), kReachNotReached);
    if (!IsMapHex(start)) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    // A scratch record: no slot, so no serial; it never enters a map.
    UNITSTRUCT scratch;
    COUNTRYSTRUCT& owner = game.Country[static_cast<size_t>(country.nIndex)];
    InitUnitRecord(&owner, scratch, -1, start, type != 0 ? type : Lib().g_nLandUnit, 0, &game, {});
    scratch.dwFlag &= ~kUnitActed;
    MoveAreaOptions options;
    options.startHex = start;
    options.bNoUnits = true;
    return ComputeMoveArea(scratch, game, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount), out, options,
                           doc.m_MoveRules) == 0
               ? 1
               : 0;
}

int CpuCapitalLandCheck(CZRKGameDoc& doc, CpuTurnState& state, const COUNTRYSTRUCT& country)
{
    const std::span<uint32_t, kHexCount> area(state.approach.data(), kHexCount);
    if (!CpuLandMoveArea(doc, state, 0, country.nCapital, country, area)) return 1;
    UNITSTRUCT scratch{};
    scratch.dwFlag = kUnitInUse;
    scratch.nArms = Lib().g_nLandUnit;
    scratch.nHex = country.nCapital;
    scratch.refSelf = MakeUnitRef(country.nIndex, 0);
    scratch.dwCargo = MakeCargo(kNoCarrier, 0);
    CapitalSearch how{area};
    return FindNearestEnemyCapital(doc.m_GameData, scratch, how) >= 0 ? 1 : 0;
}

int CpuMarkHomeArea(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    state.ForgetThreat();
    for (uint32_t& w : doc.m_dwHexCpu) w &= ~(kClaimHomeArea | kClaimHomeCity);
    const std::span<uint32_t, kHexCount> home(state.approach.data(), kHexCount);
    const std::span<uint32_t, kHexCount> away(doc.m_dwHexWork1);
    if (CpuLandMoveArea(doc, state, 0, c->nCapital, *c, home)) {
        // The area the enemy covers sooner is not home.
        UNITSTRUCT probe{};
        probe.dwFlag = kUnitInUse;
        probe.nArms = Lib().g_nLandUnit;
        probe.nHex = c->nCapital;
        probe.refSelf = MakeUnitRef(c->nIndex, 0);
        probe.dwCargo = MakeCargo(kNoCarrier, 0);
        const int32_t enemy = FindEnemyCapitalForUnit(doc, probe, home);
        if (enemy < 0 || !CpuLandMoveArea(doc, state, 0, static_cast<HEXINDEX>(enemy & 0xFFFF), *c, away))
            std::fill(away.begin(), away.end(), kReachNotReached);
        const bool noObjective = !IsMapHex(CpuObjective(*c));
        for (HEXINDEX h = 0; h < kHexCount; ++h) {
            const uint32_t w = home[static_cast<size_t>(h)];
            if (!Reached(w) && h != c->nCapital) continue;
            const uint32_t e = away[static_cast<size_t>(h)];
            if (Reached(e) && (e & kReachCostMask) < (w & kReachCostMask)) continue;
            doc.m_dwHexCpu[h] |= kClaimHomeArea;
            const int terrain = CellTerrain(doc.m_dwHexCell[h]);
            if (noObjective && (terrain == 5 || terrain == 67)) doc.m_dwHexCpu[h] |= kClaimHomeCity;
        }
    }
    MarkClass26UnitsOnFlaggedHexes(game, c->nIndex);
    if (CpuMarkWithdrawals(doc, state) == 0) return 0;
    std::vector<HEXINDEX>& bases = state.baseHexes;
    bases.resize(kHexCount + 1);
    const int n = std::min(ListBaseHexes(c->nIndex, game, doc.m_dwHexCell, doc.m_dwHexUnit, bases), kHexCount);
    if (n <= 0) return 0;
    for (UNITSTRUCT& u : c->Unit) {
        const ARMSSTRUCT* a = UnitArms(u);
        if (!CpuFit(u) || a == nullptr || !CanOccupy(*a)) continue;
        if (ComputeMoveArea(u, game, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                            HexWords(doc.m_dwHexMove), {}, doc.m_MoveRules) != 0)
            continue;
        for (int i = 0; i < n; ++i) {
            if (Reached(doc.m_dwHexMove[bases[static_cast<size_t>(i)]])) {
                u.dwSupplyFlag |= kCpuUnitReachesBase;
                break;
            }
        }
    }
    return 0;
}

int CpuCanScout(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (c == nullptr) return 0;
    const HEXINDEX objective = CpuObjective(*c);
    if (!IsMapHex(objective)) return 0;
    MoveAreaOptions options;
    options.startHex = objective;
    const std::span<uint32_t, kHexCount> area(state.approach.data(), kHexCount);
    if (ComputeMoveArea(unit, game, doc.m_dwHexCell, HexWords(state.approachGrid.data(), kHexCount), area, options,
                        doc.m_MoveRules) != 0)
        return 0;
    const int sight = GetSightRange(unit, GetWeatherEffect(game));
    const int side = c->nSide;
    for (const COUNTRYSTRUCT& other : game.Country) {
        if (!(other.dwFlag & kCountryPresent) || other.nSide != (side ^ 1)) continue;
        for (const UNITSTRUCT& e : other.Unit) {
            if (!(e.dwFlag & kUnitInUse) || !IsMapHex(e.nHex)) continue;
            if (side >= 0 && side < 3 && (e.dwFlag & SensedBySideBit(side))) continue;
            const uint32_t w = area[static_cast<size_t>(e.nHex)];
            if (Reached(w) && static_cast<int>(w & kReachCostMask) < sight) return 0;
        }
    }
    return 1;
}

int CpuScoutObjective(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const HEXINDEX objective = CpuObjective(*c);
    if (!IsMapHex(objective)) return 0;
    const int weather = GetWeatherEffect(game);
    int best = INT_MAX;
    for (const COUNTRYSTRUCT& other : game.Country) {
        if (!(other.dwFlag & kCountryPresent) || other.nSide != c->nSide) continue;
        for (const UNITSTRUCT& u : other.Unit) {
            if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitCarried) || !IsMapHex(u.nHex)) continue;
            best = std::min(best, GetHexDistance(u.nHex, objective) - GetSightRange(u, weather));
        }
    }
    if (best < 1) return 0;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateScouts, true, false, false, list) == 0) return 0;
    const int side = c->nSide;
    const uint32_t blind = side >= 0 && side < 3 ? 1u << side : 0u;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr || !CpuCanScout(doc, state, *u)) continue;
        if (IsGroundDomainUnit(*u) && CpuOnList(state.TargetList(), u->nHex)) continue;
        // The route toward the objective over the unit's whole area.
        if (ComputeMoveArea(*u, game, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount),
                            HexWords(doc.m_dwHexMove), {}, doc.m_MoveRules) != 0)
            continue;
        const std::span<HEXINDEX> route(state.route.data(), state.route.size());
        const int n = BuildRouteToHex(*u, u->nHex, objective, state.grid, doc.m_dwHexMove, route);
        int firstBlind = -1;
        for (int i = 0; i < n; ++i) {
            if (doc.m_dwHexSearch[route[static_cast<size_t>(i)]] & blind) {
                firstBlind = i;
                break;
            }
        }
        if (firstBlind < 2) continue;
        const HEXINDEX scout = route[static_cast<size_t>(firstBlind - 2)];
        if (IsUnitRef(doc.m_dwHexUnit[scout])) continue;
        if (GetHexDistance(scout, objective) - GetSightRange(*u, weather) >= best) continue;
        if (!CpuReach(doc, state, *u)) continue;
        CpuMarkEnemyReach(*u, game, doc.m_dwHexMove);
        const int r = CpuMoveUnitToward(doc, state, *u, scout, CpuMoveFlags{.bIncludeTarget = true});
        if (r < 0) return -1;
        if (r == kCpuMoveMoved || r == kCpuMoveDone) return 1;
    }
    return 0;
}

HEXINDEX CpuFindNavalApproachHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, HEXINDEX target)
{
    if (!IsMapHex(target)) return kNoHex;
    const uint32_t tw = doc.m_dwHexMove[target];
    if (Reached(tw) && (tw & kReachCostMask) != 0) return kNoHex;
    HEXINDEX nearest = kNoHex;
    int bestDistance = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        if (!Reached(w) || (w & kReachCostMask) == 0) continue;
        const int d = GetHexDistance(h, target);
        if (d < bestDistance) {
            bestDistance = d;
            nearest = h;
        }
    }
    if (!IsMapHex(nearest)) return kNoHex;
    MoveAreaOptions options;
    options.startHex = nearest;
    const std::span<uint32_t, kHexCount> approach(state.approach.data(), kHexCount);
    ExpandMoveArea(unit, doc.m_GameData, doc.m_dwHexCell, HexWords(state.grid.data(), kHexCount), approach, options,
                   doc.m_MoveRules);
    HEXINDEX best = kNoHex;
    int bestCost = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        if (doc.m_dwHexMove[h] & kReachNotDestination) continue;
        const uint32_t a = approach[static_cast<size_t>(h)];
        if (!Reached(a)) continue;
        const int cost = static_cast<int>(a & kReachCostMask);
        if (cost < bestCost) {
            bestCost = cost;
            best = h;
        }
    }
    return best;
}

}  // namespace zrv
