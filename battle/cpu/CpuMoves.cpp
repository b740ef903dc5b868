#include "battle/cpu/CpuMoves.h"

#include <algorithm>
#include <climits>
#include <span>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitRules.h"

namespace zrv {

namespace {

int ReachCostOf(uint32_t word)
{
    return static_cast<int>(word & kReachCostMask);
}

bool Reached(uint32_t word)
{
    return (word & kReachNotReached) == 0;
}

bool OnList(const HEXINDEX* list, HEXINDEX hex)
{
    if (list == nullptr) return false;
    for (; *list >= 0; ++list)
        if (*list == hex) return true;
    return false;
}

// Whether a unit of another side stands next to hex; with engage, only one
// that can fire at the unit there at close range.
bool EnemyNextTo(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX hex, bool engage)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const int side = UnitSideSlot(game, unit);
    for (int dir = 0; dir < kHexDirections; ++dir) {
        const HEXINDEX n = GetNeighbour(hex, dir);
        if (!IsMapHex(n)) continue;
        const UNITSTRUCT* other = UnitAt(game, doc.m_dwHexUnit[n]);
        if (other == nullptr || UnitSideSlot(game, *other) == side) continue;
        if (!engage) return true;
        if (doc.m_MoveRules.canCloseFire && doc.m_MoveRules.canCloseFire(*other, unit, game)) return true;
    }
    return false;
}

bool IsOwnAirfield(const UNITSTRUCT& unit, MAPCELL cell)
{
    const int terrain = CellTerrain(cell);
    return (terrain == 4 || terrain == 5 || terrain == 83) && CellOwner(cell) == UnitCountryIndex(unit);
}

}  // namespace

CpuRouteStepResult CpuRouteStep(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, HEXINDEX target,
                                const CpuMoveFlags& flags)
{
    CpuRouteStepResult out;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const std::span<const MAPCELL, kHexCount> cells(doc.m_dwHexCell);
    const HEXINDEX own = GetUnitMapHex(game, unit);
    if ((target & 0xFFFF) == 0) {
        const COUNTRYSTRUCT* c = UnitCountry(game, unit);
        target = c ? c->nCapital : kNoHex;
    }
    if (!IsMapHex(own) || !IsMapHex(target)) return out;

    // The reach of this turn, and the cost of reaching the target from
    // every hex.
    const HexWords reach(doc.m_dwHexMove);
    const int code = CheckUnitMove(unit, game, cells, HexWords(state.grid.data(), kHexCount), reach, doc.m_MoveRules);
    if (code != 0) return out;
    MoveAreaOptions approachOptions;
    approachOptions.startHex = target;
    approachOptions.bNoUnits = !flags.bReach;
    approachOptions.bCarriedOk = true;
    const HexWords approach(state.approach.data(), kHexCount);
    if (ComputeMoveArea(unit, game, cells, HexWords(state.approachGrid.data(), kHexCount), approach, approachOptions,
                        doc.m_MoveRules) != 0)
        return out;
    // The search leaves its start unreached: the target costs nothing.
    const auto costToTarget = [&](HEXINDEX h) {
        if (h == target) return 0;
        return Reached(approach[static_cast<size_t>(h)]) ? ReachCostOf(approach[static_cast<size_t>(h)])
                                                         : kCostSaturated;
    };
    out.cost = costToTarget(own);

    // The reached hex nearest the target, no farther than the unit's own
    // unless asked or an enemy next to it can engage it.
    int best = (flags.bNoStartLimit || EnemyNextTo(doc, unit, own, true)) ? INT_MAX : out.cost + 1;
    HEXINDEX chosen = kNoHex;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        if (h == own || !Reached(reach[static_cast<size_t>(h)])) continue;
        if (h == target && !flags.bIncludeTarget) continue;
        if (OnList(flags.pAvoid, h)) continue;
        if (flags.bSkipOwnAirfields && IsOwnAirfield(unit, cells[static_cast<size_t>(h)])) continue;
        if (flags.bUnarmedOnly && EnemyNextTo(doc, unit, h, false)) continue;
        if (h == target) {
            chosen = h;
            break;
        }
        const int c = costToTarget(h);
        if (c < best) {
            best = c;
            chosen = h;
        }
    }
    if (chosen == kNoHex) return out;

    // Along the route to it: the farthest hex within the movement points (or
    // the fuel), back to one the unit may end on that holds no unit.
    const std::span<HEXINDEX> route(state.route.data(), state.route.size());
    const int n = BuildRouteToHex(unit, own, chosen, state.grid, reach, route);
    if (n <= 0) return out;
    const int budget = std::min(unit.nMove, GetFuelRange(unit, game));
    for (int i = 0; i < n; ++i) {
        const HEXINDEX h = route[static_cast<size_t>(i)];
        if (!IsMapHex(h) || ReachCostOf(reach[static_cast<size_t>(h)]) > budget) break;
        if (h == own) continue;
        if ((reach[static_cast<size_t>(h)] & kReachNoDestination) || IsUnitRef(doc.m_dwHexUnit[h])) continue;
        if (OnList(flags.pAvoid, h)) continue;
        out.step = h;
    }
    return out;
}

int CpuMoveUnitToward(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, HEXINDEX target,
                      const CpuMoveFlags& flags)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const HEXINDEX start = GetUnitMapHex(game, unit);
    HEXINDEX next = CpuRouteStep(doc, state, unit, target, flags).step;

    // A ground unit goes as far along the target list as it reaches.
    if (flags.bTargetList && !flags.bOverride && IsGroundDomainUnit(unit)) {
        int farthest = -1;
        for (HEXINDEX h : state.TargetList()) {
            if (!IsMapHex(h) || h == start) continue;
            const uint32_t w = doc.m_dwHexMove[h];
            if ((w & kReachNotDestination) || IsUnitRef(doc.m_dwHexUnit[h])) continue;
            if (ReachCostOf(w) > farthest) {
                farthest = ReachCostOf(w);
                next = h;
            }
        }
    }
    // Next to an occupied target the unit's action ends where it stands.
    if (!flags.bOverride && flags.bAdjacent && IsMapHex(target) && IsMapHex(start) &&
        IsUnitRef(doc.m_dwHexUnit[target]) && GetHexDistance(start, target) == 1) {
        return doc.ExecuteCpuAction(kCpuActEndAction, unit, 0) < 0 ? kCpuMoveFailed : kCpuMoveDone;
    }
    if (!IsMapHex(next)) return kCpuMoveNone;

    // A unit short of fuel stays where the step would leave it dry.
    if (flags.bFuel && (unit.dwSupplyFlag & kCpuUnitNeedsStock)) {
        const ARMSSTRUCT* a = UnitArms(unit);
        if (a != nullptr && a->nFuelMax > 0 && ReachCostOf(doc.m_dwHexMove[next]) >= unit.nFuel)
            return kCpuMoveHeldForFuel;
    }

    unit.nCpuTarget = next;
    const int r = doc.ExecuteCpuAction(kCpuActMove, unit, 0);
    if (r < 0) return kCpuMoveFailed;
    if (unit.dwFlag & kUnitActed) return kCpuMoveDone;
    if (r == 3) return kCpuMoveNone;
    if (r == 5) {
        return doc.ExecuteCpuAction(kCpuActLoad, unit, unit.nCpuTarget) < 0 ? kCpuMoveFailed : kCpuMoveDone;
    }
    // A move that left the unit where it was is no move.
    if (GetUnitMapHex(game, unit) == start) return kCpuMoveNone;
    if (flags.nEnd > 0) return kCpuMoveMoved;
    if (doc.ExecuteCpuAction(kCpuActMoveDone, unit, flags.nEnd) < 0) return kCpuMoveFailed;
    return kCpuMoveMoved;
}

void CpuCountHeadingUnits(CZRKGameDoc& doc, HEXINDEX hex)
{
    if (!IsMapHex(hex)) return;
    uint32_t& w = doc.m_dwHexCpu[hex];
    const int n = CpuHeadingUnits(doc, hex);
    if (n < kClaimHeadingMax) w = (w & ~kClaimHeadingMask) | (static_cast<uint32_t>(n + 1) << kClaimHeadingShift);
}

int CpuHeadingUnits(const CZRKGameDoc& doc, HEXINDEX hex)
{
    return IsMapHex(hex) ? static_cast<int>((doc.m_dwHexCpu[hex] & kClaimHeadingMask) >> kClaimHeadingShift) : 0;
}

int IsCarrierAtHex(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX hex)
{
    if (!IsMapHex(hex)) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const UNITSTRUCT* carrier = UnitAt(game, doc.m_dwHexUnit[hex]);
    if (carrier == nullptr || carrier == &unit || UnitCountryIndex(*carrier) != UnitCountryIndex(unit)) return 0;
    const ARMSSTRUCT* a = UnitArms(*carrier);
    if (a == nullptr || a->nClass != 58) return 0;
    return doc.m_MoveRules.canBoard && doc.m_MoveRules.canBoard(unit, *carrier, game) ? 1 : 0;
}

}  // namespace zrv
