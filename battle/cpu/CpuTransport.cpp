#include "battle/cpu/CpuTransport.h"

#include <algorithm>
#include <array>
#include <climits>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/OccupyTargets.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kClaimHomeArea = 1u << 27;
constexpr uint32_t kReachEnemyFire = 1u << 23;  // marked by the enemy reach
constexpr int kClassAircraftCarrier = 58;

int ListCargo(CZRKGameDoc& doc, const UNITSTRUCT& carrier, std::span<UNITSTRUCT*> out)
{
    const COUNTRYSTRUCT* c = UnitCountry(doc.m_GameData, carrier);
    if (c == nullptr) return 0;
    std::span<UNITSTRUCT> units = doc.m_GameData.Country[static_cast<size_t>(c->nIndex)].Unit;
    return std::min(ListCarriedUnits(units, carrier, out), static_cast<int>(out.size()));
}

int32_t NearestEnemyCapital(CZRKGameDoc& doc, const UNITSTRUCT& unit, bool any)
{
    CapitalSearch how{doc.m_dwHexMove};
    how.any = any;
    return FindNearestEnemyCapital(doc.m_GameData, unit, how);
}

bool Routed(uint32_t w)
{
    return !(w & kReachNotReached) && (w & kReachCostMask) != 0;
}

}  // namespace

int32_t CpuRateUnloadHex(CZRKGameDoc& doc, HEXINDEX hex, const UNITSTRUCT& cargo, HEXINDEX goal, bool strict)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    int32_t rating = IsMapHex(goal) ? GetHexDistance(hex, goal) : 0;
    const int side = UnitSideSlot(game, cargo);
    const int enemySide = GetEnemySide(game, cargo);
    const uint32_t sideBit = side >= 0 && side < 3 ? 1u << side : 0u;
    for (int dir = 0; dir < kHexDirections; ++dir) {
        const HEXINDEX n = GetNeighbour(hex, dir);
        if (!IsMapHex(n)) continue;
        const bool blind = (doc.m_dwHexSearch[n] & sideBit) != 0;
        if (blind) rating += 0x10000;
        if (!strict) continue;
        if (!blind) {
            const UNITSTRUCT* other = UnitAt(game, doc.m_dwHexUnit[n]);
            if (other != nullptr && UnitSideSlot(game, *other) == enemySide) rating += 0x100000;
        }
        const COUNTRYSTRUCT* owner = CellOwnerCountry(game, doc.m_dwHexCell[n]);
        if (owner != nullptr && owner->nSide == enemySide) rating += 0x1000000;
    }
    return rating;
}

HEXINDEX CpuMarkUnloadHexes(CZRKGameDoc& doc, UNITSTRUCT& carrier)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UNITSTRUCT*, kUnitSlots> cargo{};
    const int n = ListCargo(doc, carrier, cargo);
    const std::span<const UNITSTRUCT* const> list(cargo.data(), static_cast<size_t>(n));
    const bool homeOnly = IsNavalDomainUnit(carrier) && NearestEnemyCapital(doc, carrier, false) < 0;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        uint32_t& w = doc.m_dwHexMove[h];
        if (!Routed(w)) continue;
        if (homeOnly && !(doc.m_dwHexCpu[h] & kClaimHomeArea)) continue;
        if (CanUnloadToAnyHex(game, doc.m_dwHexCell, doc.m_dwHexUnit, doc.m_dwHexSearch, carrier, h, list))
            w |= kReachUnloadHex;
    }
    const HEXINDEX at = GetUnitMapHex(game, carrier);
    if (!IsMapHex(at) ||
        !CanUnloadToAnyHex(game, doc.m_dwHexCell, doc.m_dwHexUnit, doc.m_dwHexSearch, carrier, at, list))
        return 0;
    doc.m_dwHexMove[at] |= kReachUnloadHex;
    return at;
}

int32_t CpuFindUnloadTarget(CZRKGameDoc& doc, UNITSTRUCT& carrier, bool next, bool toward)
{
    (void)next;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const int code = CheckUnloadTargetHex(game, doc.m_dwHexCell, doc.m_dwHexUnit, doc.m_dwHexSearch, carrier, false);
    if (code != 0) return kUnloadRefused | code;
    const COUNTRYSTRUCT* c = UnitCountry(game, carrier);
    const HEXINDEX at = GetUnitMapHex(game, carrier);
    if (c == nullptr || !IsMapHex(at)) return -1;
    const UNITSTRUCT* nearest = FindNearestEnemyUnitFromHex(game, c->nIndex, at);
    if (!toward && IsGroundDomainUnit(carrier) && nearest != nullptr &&
        GetHexDistance(at, GetUnitMapHex(game, *nearest)) <= 4)
        toward = true;
    std::array<UNITSTRUCT*, kUnitSlots> cargo{};
    const int n = std::min(SortCarriedUnits(game, carrier, cargo, !toward), static_cast<int>(cargo.size()));
    const HEXINDEX objective = CpuObjective(*c);
    for (int i = 0; i < n; ++i) {
        UNITSTRUCT* u = cargo[static_cast<size_t>(i)];
        if (u == nullptr) continue;
        HEXINDEX goal = kNoHex;
        if (toward) {
            goal = nearest != nullptr ? GetUnitMapHex(game, *nearest) : objective;
        } else {
            const ARMSSTRUCT* a = UnitArms(*u);
            if (a != nullptr && CanOccupy(*a) && IsMapHex(static_cast<HEXINDEX>(u->dwWeaponMask)) &&
                u->dwWeaponMask < static_cast<uint32_t>(kHexCount))
                goal = static_cast<HEXINDEX>(u->dwWeaponMask);
            if (!IsMapHex(goal) && !IsGroundDomainUnit(carrier) && !IsMapHex(objective)) {
                CapitalSearch how{doc.m_dwHexMove};
                how.any = true;
                const int32_t capital = FindNearestEnemyCapital(game, carrier, how);
                if (capital >= 0) goal = static_cast<HEXINDEX>(capital & 0xFFFF);
            }
            if (!IsMapHex(goal)) goal = objective;
        }
        if (!IsMapHex(goal)) continue;
        NeighbourSearch how;
        how.byClass = true;
        how.byLanding = true;
        std::array<HEXINDEX, kHexDirections + 1> around{};
        if (!ListEnterableNeighbourHexes(at, *u, game, doc.m_dwHexCell, doc.m_dwHexUnit, doc.m_dwHexSearch, how,
                                         around))
            continue;
        HEXINDEX best = kNoHex;
        int32_t bestRating = INT32_MAX;
        for (HEXINDEX h : around) {
            if (h < 0) break;
            if (IsUnitRef(doc.m_dwHexUnit[h])) continue;
            const int32_t rating = CpuRateUnloadHex(doc, h, *u, goal, true);
            if (rating < bestRating) {
                bestRating = rating;
                best = h;
            }
        }
        if (IsMapHex(best)) return RefSlot(u->refSelf) << 16 | best;
    }
    return -1;
}

HEXINDEX CpuFindSaferHex(CZRKGameDoc& doc, HEXINDEX hex, int side)
{
    const uint32_t sideBit = side >= 0 && side < 3 ? 1u << side : 0u;
    HEXINDEX best = hex;
    int bestDistance = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        if (!(w & kReachUnloadHex) || (w & kReachNotDestination)) continue;
        if ((w & kReachEnemyFire) && !(doc.m_dwHexSearch[h] & sideBit)) continue;
        const int d = GetHexDistance(h, hex);
        if (d < bestDistance) {
            bestDistance = d;
            best = h;
        }
    }
    return best;
}

int32_t CpuFindTransportDestination(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& carrier, bool defensive)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return -1;
    const int32_t summary = GetCarriedLoadSummary(game, carrier);
    CpuMarkUnloadHexes(doc, carrier);
    const bool air = IsAirDomainUnit(carrier);
    const bool ground = IsGroundDomainUnit(carrier);
    const HEXINDEX at = GetUnitMapHex(game, carrier);

    // The hexes the cargo may take, nearest first: the unload hex next to
    // the first one the carrier reaches.
    if (summary > 0 && (summary & 0x7F000000) != 0) {
        std::vector<HEXINDEX>& bases = state.baseHexes;
        bases.resize(kHexCount + 1);
        int n = ListBaseHexes(c->nIndex, game, doc.m_dwHexCell, doc.m_dwHexUnit, bases);
        n = std::min(n, kHexCount);
        if (n > 0) {
            SortHexesByDistance(at, n, std::span<HEXINDEX>(bases.data(), static_cast<size_t>(n)), false);
            HEXINDEX remembered = kNoHex;
            for (int i = 0; i < n; ++i) {
                const HEXINDEX b = bases[static_cast<size_t>(i)];
                if (!Routed(doc.m_dwHexMove[b]) || (doc.m_dwHexCpu[b] & kClaimTaking)) continue;
                const HEXINDEX landing = FindLowestMarkedNeighbourHex(b, doc.m_dwHexMove);
                if (!IsMapHex(landing)) continue;
                if (!(doc.m_dwHexMove[landing] & kReachNotDestination)) return landing;
                if (!IsMapHex(remembered)) remembered = landing;
            }
            if (IsMapHex(remembered) && !air) return remembered;
        }
    }

    // Otherwise toward the nearest capital of the other side, to the unload
    // hex nearest it.
    int32_t capital = NearestEnemyCapital(doc, carrier, (summary & 0x3F000000) != 0);
    if (capital < 0 && !(ground && !IsMapHex(CpuObjective(*c)))) {
        capital = NearestEnemyCapital(doc, carrier, false);
        if (capital < 0) capital = NearestEnemyCapital(doc, carrier, true);
    }
    if (capital < 0) {
        carrier.dwOrder |= kOrderNoTransportGoal;
        return -1;
    }
    HEXINDEX goal = static_cast<HEXINDEX>(capital & 0xFFFF);
    if (ground && defensive) return c->nCapital;
    HEXINDEX shore = kNoHex;
    int bestDistance = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        if (!(w & kReachUnloadHex)) continue;
        const int d = GetHexDistance(h, goal);
        if (d < bestDistance) {
            bestDistance = d;
            shore = h;
        }
    }
    if (IsMapHex(shore)) {
        doc.m_dwHexMove[shore] |= kReachLandingHex;
        return shore;
    }
    if (ground) goal = IsMapHex(CpuObjective(*c)) ? CpuObjective(*c) : c->nCapital;
    return goal;
}

int CpuTransportUnit(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& carrier, bool firstKind)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    const UnitRef ref = carrier.refSelf;
    const int32_t r = CpuFindUnloadTarget(doc, carrier, false, false);
    const HEXINDEX at = GetUnitMapHex(game, carrier);
    const bool onTargetList = CpuOnList(state.TargetList(), at);
    if (firstKind && (r >= 0 || onTargetList)) {
        carrier.dwSupplyFlag |= kCpuUnitCarrierDone;
        return 0;
    }
    if ((firstKind && IsNavalDomainUnit(carrier) && r == kUnloadNoNeighbour) ||
        (r == kUnloadRough && CpuFindUnloadTarget(doc, carrier, false, false) >= 0)) {
        carrier.dwSupplyFlag |= kCpuUnitCarrierDone;
        return 0;
    }
    bool moved = false;
    bool search = false;
    if (r < 0 && CpuReach(doc, state, carrier)) {
        CpuMarkEnemyReach(carrier, game, doc.m_dwHexMove);
        const bool defensive = (doc.m_dwCpuFlags & kCpuFlagDefensive) != 0;
        int32_t dest = CpuFindTransportDestination(doc, state, carrier, defensive);
        if (dest >= 0) {
            search = (dest & kDestinationBeyond) != 0;
            const HEXINDEX hex = static_cast<HEXINDEX>(dest & 0x7FFF);
            if (GetHexDistance(at, hex) == 1 && IsUnitRef(doc.m_dwHexUnit[hex])) {
                const UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[hex]);
                if (firstKind && holder != nullptr && !(holder->dwFlag & kUnitActed)) {
                    carrier.dwSupplyFlag |= kCpuUnitCarrierDone;
                    return 0;
                }
                return doc.ExecuteCpuAction(kCpuActEndAction, carrier, 0) < 0 ? -1 : 1;
            }
            HEXINDEX target = hex;
            const HEXINDEX step = CpuRouteStep(doc, state, carrier, hex, CpuMoveFlags{.bIncludeTarget = true}).step;
            if (IsMapHex(step) && (doc.m_dwHexMove[step] & kReachEnemyFire)) {
                target = CpuFindSaferHex(doc, step, UnitSideSlot(game, carrier));
                search = true;
            }
            if (target != at) {
                CpuMoveFlags flags;
                flags.nEnd = 1;
                flags.bIncludeTarget = true;
                const int m = CpuMoveUnitToward(doc, state, carrier, target, flags);
                if (m < 0) return -1;
                if (m == kCpuMoveDone) return 1;
                moved = m == kCpuMoveMoved;
            }
        }
    }
    UNITSTRUCT* u = doc.GetUnit(ref);
    if (u == nullptr || !CpuFit(*u)) return moved ? 1 : 0;
    const int32_t unload = CpuFindUnloadTarget(doc, *u, false, search);
    if (unload >= 0) {
        const int a = doc.ExecuteCpuAction(kCpuActUnload, *u, unload | (search ? 0x8000 : 0));
        return a < 0 ? -1 : 1;
    }
    if (!moved) return 0;
    return doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0 ? -1 : 1;
}

int CpuRunTransports(CZRKGameDoc& doc, CpuTurnState& state)
{
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateCarriers, false, false, false, list) == 0) return 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr || (u->dwSupplyFlag & kCpuUnitCarrierDone)) continue;
        const ARMSSTRUCT* a = UnitArms(*u);
        if (a == nullptr || a->nClass == kClassAircraftCarrier) continue;
        const int r = CpuTransportUnit(doc, state, *u, true);
        if (r != 0) return r;
    }
    return 0;
}

}  // namespace zrv
