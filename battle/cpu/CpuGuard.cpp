#include "battle/cpu/CpuGuard.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include "battle/cpu/CpuCapitals.h"
#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/cpu/CpuWithdrawal.h"
#include "battle/cpu/CpuWorks.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kArmsCountedSingly = 1u << 1;
constexpr uint32_t kTerrainCityFlag = 1u << 31;  // TerrainBase dword 0 bit 31

int RouteCost(const CZRKGameDoc& doc, HEXINDEX h)
{
    const uint32_t w = doc.m_dwHexMove[h];
    return (w & kReachNotReached) ? -1 : static_cast<int>(w & kReachCostMask);
}

int ClassOf(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = UnitArms(u);
    return a ? a->nClass : -1;
}

}  // namespace

int CpuBuildWithdrawList(CZRKGameDoc& doc, CpuTurnState& state, bool all, std::span<UnitRef> out)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (!out.empty()) out[0] = kNoUnit;
    if (c == nullptr || out.empty()) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const BaseSearchMaps maps{doc.m_dwHexCell, HexWords(state.approachGrid.data(), kHexCount),
                              HexWords(state.approach.data(), kHexCount), doc.m_MoveRules};
    std::array<std::pair<int32_t, UnitRef>, kUnitSlots> keyed;
    size_t n = 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse) || !(u.dwSupplyFlag & kCpuUnitWithdraws)) continue;
        if (!all && (!CpuFit(u) || (u.dwSupplyFlag & kCpuUnitStay))) continue;
        keyed[n++] = {RateUnitForWithdrawal(game, u, maps, false), u.refSelf};
    }
    std::stable_sort(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(n),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    size_t written = 0;
    for (size_t i = 0; i < n && written + 1 < out.size(); ++i) out[written++] = keyed[i].second;
    out[written] = kNoUnit;
    return static_cast<int>(written);
}

HEXINDEX CpuFindRedeployHex(CZRKGameDoc& doc, const UNITSTRUCT& unit, std::span<const UnitRef> list)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (list.empty() || list[0] == kNoUnit || a == nullptr || (a->dwArmsFlag & kArmsCountedSingly)) return kNoHex;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const std::array<int, kCarryClasses> room = GetCarrierCapacity(unit.nArms, &unit);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    const bool ground = IsGroundDomainUnit(unit);
    HEXINDEX best = kNoHex;
    int bestDistance = INT_MAX;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        const UNITSTRUCT* w = doc.GetUnit(ref);
        const ARMSSTRUCT* wa = w ? UnitArms(*w) : nullptr;
        if (wa == nullptr || w == &unit || !IsMapHex(w->nHex)) continue;
        if (wa->nCarryClass < 0 || wa->nCarryClass >= kCarryClasses || room[static_cast<size_t>(wa->nCarryClass)] == 0)
            continue;
        if (ground) {
            bool open = false;
            for (int dir = 0; dir < kHexDirections && !open; ++dir) {
                const HEXINDEX n = GetNeighbour(w->nHex, dir);
                open = IsMapHex(n) && RouteCost(doc, n) > 0 && !IsUnitRef(doc.m_dwHexUnit[n]);
            }
            if (!open) continue;
        }
        const int d = GetHexDistance(at, w->nHex);
        if (d < bestDistance) {
            bestDistance = d;
            best = w->nHex;
        }
    }
    return best;
}

HEXINDEX CpuFindGarrisonHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& carrier, std::span<const UnitRef> list,
                            HEXINDEX target)
{
    if (list.empty() || list[0] == kNoUnit || ClassOf(carrier) == 28 || !IsMapHex(target)) return kNoHex;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* c = UnitCountry(game, carrier);
    if (c == nullptr || !CpuReach(doc, state, carrier)) return kNoHex;
    const uint32_t sideBit = c->nSide >= 0 && c->nSide < 3 ? 1u << c->nSide : 0u;
    // The candidates, copied: the listed units' move checks reuse the map.
    std::vector<int32_t>& cands = state.moreHexes;
    size_t n = 0;
    for (HEXINDEX h = 0; h < kHexCount && n + 1 < cands.size(); ++h) {
        const int cost = RouteCost(doc, h);
        if (cost <= 0 || cost > carrier.nMove) continue;
        if (!CanUseHexAsBase(carrier, game, doc.m_dwHexCell[h], true)) continue;
        if (doc.m_dwHexSearch[h] & sideBit) continue;
        if (const UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[h])) {
            if (UnitCountryIndex(*holder) != c->nIndex || (holder->dwFlag & kUnitActed) ||
                (holder->dwSupplyFlag & kCpuUnitKeepsSite))
                continue;
        }
        cands[n++] = h;
    }
    if (n == 0) return kNoHex;
    const std::array<int, kCarryClasses> room = GetCarrierCapacity(carrier.nArms, &carrier);
    const bool groundCarrier = IsGroundDomainUnit(carrier);
    const bool navalCarrier = IsNavalDomainUnit(carrier);
    HEXINDEX best = kNoHex;
    int bestDistance = -1;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* p = doc.GetUnit(ref);
        const ARMSSTRUCT* pa = p ? UnitArms(*p) : nullptr;
        if (pa == nullptr || p == &carrier || !IsMapHex(p->nHex)) continue;
        if (pa->nCarryClass < 0 || pa->nCarryClass >= kCarryClasses || room[static_cast<size_t>(pa->nCarryClass)] == 0)
            continue;
        if (!groundCarrier && (doc.m_dwHexCpu[p->nHex] & kClaimHomeArea)) continue;
        if (CheckUnitMove(*p, game, doc.m_dwHexCell, HexWords(state.approachGrid.data(), kHexCount),
                          HexWords(state.approach.data(), kHexCount), doc.m_MoveRules) != 0)
            continue;
        if (navalCarrier && IsGroundDomainUnit(*p)) {
            CapitalSearch how{std::span<const uint32_t, kHexCount>(state.approach.data(), kHexCount)};
            if (FindNearestEnemyCapital(game, *p, how) >= 0) continue;
        }
        const int d = GetHexDistance(p->nHex, target);
        for (size_t i = 0; i < n; ++i) {
            if (d > bestDistance || (d == bestDistance && (doc.Random().Rand() & 1))) {
                bestDistance = d;
                best = cands[i];
            }
        }
    }
    return best;
}

int CpuListGuardHexes(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX capital, std::span<HEXINDEX> out)
{
    if (out.empty()) return 0;
    out[0] = kNoHex;
    if (!IsMapHex(capital)) return 0;
    HEXINDEX city = kNoHex;
    int nearest = INT_MAX;
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        if (!(doc.m_dwHexCpu[h] & kClaimHomeArea)) continue;
        const int terrain = CellTerrain(doc.m_dwHexCell[h]);
        if (terrain != 5 && terrain != 67) continue;
        const int d = GetHexDistance(h, capital);
        if (d < nearest || (d == nearest && (doc.Random().Rand() & 1))) {
            nearest = d;
            city = h;
        }
    }
    if (!IsMapHex(city)) return 0;
    std::array<HEXINDEX, 38> rings;
    const int count = GetHexesInRange(city, 3, rings);
    if (count < 8) return 0;
    const HEXINDEX at = GetUnitMapHex(doc.m_GameData, unit);
    size_t n = 0;
    for (int i = 0; i < count && n + 1 < out.size(); ++i) {
        const HEXINDEX h = rings[static_cast<size_t>(i)];
        if (!IsMapHex(h)) continue;
        const bool own = h == at;
        if (!own && (IsUnitRef(doc.m_dwHexUnit[h]) || RouteCost(doc, h) <= 0)) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(doc.m_dwHexCell[h]));
        if (t == nullptr || (t->dwTrrnFlag & kTerrainCityFlag)) continue;
        out[n++] = h;
    }
    out[n] = kNoHex;
    return static_cast<int>(n);
}

int CpuRedeployNearCapital(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    std::array<UnitRef, kUnitSlots + 1> withdraw;
    CpuBuildWithdrawList(doc, state, false, withdraw);
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateUnmoved, true, false, false, list) == 0) return 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr) continue;
        const bool near = IsMapHex(c->nCapital) && GetHexDistance(u->nHex, c->nCapital) <= 3;
        if (!(u->dwOrder & kOrderRedeployed) && !CpuOnList(state.objectiveArea, u->nHex) && !near) continue;
        if (!CpuReach(doc, state, *u)) continue;
        const HEXINDEX hex = CpuFindRedeployHex(doc, *u, withdraw);
        if (!IsMapHex(hex)) {
            u->dwOrder &= ~kOrderRedeployed;
            continue;
        }
        const int r = CpuMoveUnitToward(doc, state, *u, hex, {});
        if (r < 0) return -1;
        if (r == kCpuMoveMoved || r == kCpuMoveDone) {
            if (UNITSTRUCT* w = doc.GetUnit(ref)) w->dwOrder |= kOrderRedeployed;
            return 1;
        }
    }
    return 0;
}

int CpuGuardCapital(CZRKGameDoc& doc, CpuTurnState& state)
{
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr || !IsMapHex(c->nCapital)) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, kUnitSlots + 1> withdraw;
    CpuBuildWithdrawList(doc, state, false, withdraw);
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateUnmoved, true, true, false, list) == 0) return 0;
    const HEXINDEX capital = c->nCapital;
    std::vector<int32_t>& hexes = state.hexes;
    int result = 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr || !CpuReach(doc, state, *u)) continue;
        HEXINDEX goal = CpuFindGarrisonHex(doc, state, *u, withdraw, capital);
        if (IsMapHex(goal)) {
            UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[goal]);
            if (holder != nullptr && holder != u && UnitCountryIndex(*holder) == c->nIndex &&
                !(holder->dwSupplyFlag & kCpuUnitKeepsSite)) {
                const int r = CpuSwapOut(doc, state, *holder);
                if (r < 0) return -1;
                if (r > 0) {
                    result = 1;
                    break;
                }
                continue;
            }
        } else {
            const bool near = GetHexDistance(u->nHex, capital) <= 3;
            if (((u->dwOrder & kOrderRedeployed) && IsMapHex(CpuFindRedeployHex(doc, *u, withdraw))) ||
                CpuOnList(state.objectiveArea, u->nHex) || near)
                continue;
            u->dwOrder &= ~kOrderRedeployed;
            if (!CpuReach(doc, state, *u)) continue;
            const int cls = ClassOf(*u);
            size_t n = 0;
            if (cls == 20 || cls == 21 || cls == 28) {
                const bool outside = !(doc.m_dwHexCpu[u->nHex] & kClaimHomeArea);
                if (RouteCost(doc, capital) > 0 || outside) {
                    std::array<HEXINDEX, 38> rings;
                    const int count = GetHexesInRange(capital, 3, rings);
                    for (int i = 0; i < count; ++i) {
                        const HEXINDEX h = rings[static_cast<size_t>(i)];
                        if (IsMapHex(h) && !CpuIsHexListed(state, h, 1 | 2 | 8)) hexes[n++] = h;
                    }
                } else {
                    const std::span<HEXINDEX> out(hexes.data(), hexes.size());
                    n = static_cast<size_t>(CpuListGuardHexes(doc, *u, capital, out));
                    if (CpuOnList({hexes.data(), n}, u->nHex)) continue;
                }
            } else if (cls == 39 || cls == 41 || cls == 52 || cls == 60 || cls == 61) {
                const std::vector<HEXINDEX>& from = state.hexList[cls == 39 || cls == 41 ? 1 : 3];
                for (HEXINDEX h : from)
                    if (IsMapHex(h) && n + 1 < hexes.size()) hexes[n++] = h;
            } else {
                continue;
            }
            if (CpuOnList({hexes.data(), n}, u->nHex)) {
                u->dwOrder |= kOrderRedeployed;
                continue;
            }
            HEXINDEX free = kNoHex, held = kNoHex;
            int freeCost = INT_MAX, heldCost = INT_MAX;
            for (size_t i = 0; i < n; ++i) {
                const HEXINDEX h = hexes[i];
                const int cost = RouteCost(doc, h);
                if (cost <= 0) continue;
                const bool occupied = IsUnitRef(doc.m_dwHexUnit[h]);
                HEXINDEX& pick = occupied ? held : free;
                int& pickCost = occupied ? heldCost : freeCost;
                if (cost < pickCost || (cost == pickCost && (doc.Random().Rand() & 1))) {
                    pick = h;
                    pickCost = cost;
                }
            }
            if (IsMapHex(free) && IsMapHex(held) && freeCost > heldCost + u->nMove) free = kNoHex;
            if (IsMapHex(free)) {
                goal = free;
            } else if (IsMapHex(held)) {
                if (heldCost <= u->nMove) {
                    u->dwOrder |= kOrderRedeployed;
                    continue;
                }
                goal = held;
            } else {
                continue;
            }
        }
        const int r = CpuMoveUnitToward(doc, state, *u, goal, {});
        if (r < 0) {
            // A unit whose move is refused goes when it may.
            UNITSTRUCT* w = doc.GetUnit(ref);
            if (w != nullptr && CpuFit(*w) && IsUnitDisposable(*w, *c) && CheckUnitDisband(*w) == 0)
                return doc.ExecuteCpuAction(kCpuActDispose, *w, 0) < 0 ? -1 : 1;
            return -1;
        }
        if (r == kCpuMoveMoved || r == kCpuMoveDone) {
            result = 1;
            break;
        }
    }
    if (result > 0 && CpuFollowBaseLeft(doc, state) < 0) return -1;
    return result;
}

}  // namespace zrv
