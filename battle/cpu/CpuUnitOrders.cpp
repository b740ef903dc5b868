#include "battle/cpu/CpuUnitOrders.h"

#include <algorithm>
#include <array>
#include <utility>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMerge.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuWorks.h"
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

constexpr uint32_t kCpuUnitMakeWayMark = 0x00008000u;  // computer-player word bit 15
constexpr int kListSlots = kUnitSlots;
constexpr int kCandidateSlots = 64;
constexpr int kClassAircraftCarrier = 58;
constexpr uint32_t kCpuUnitCouldNotMove = 0x00400000u;  // computer-player word bit 22
constexpr uint32_t kCpuUnitSearchMark = 0x01000000u;    // computer-player word bit 24

bool Fit(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) && !(u.dwFlag & (kUnitActed | kUnitCarried));
}

bool NeedsSupply(const UNITSTRUCT& u)
{
    return (u.dwSupplyFlag & (kCpuUnitNeedsStock | kCpuUnitNeedsStrength)) != 0;
}

int DistanceToCapital(const COUNTRYSTRUCT& c, HEXINDEX hex)
{
    return IsMapHex(c.nCapital) && IsMapHex(hex) ? GetHexDistance(c.nCapital, hex) : 0;
}

using Enemies = std::array<int32_t, kCountryCount + 1>;

Enemies EnemiesOf(const CZRKGameDoc& doc, int country)
{
    Enemies e;
    e.fill(-1);
    ListEnemyCountries(doc.m_GameData, country, e);
    return e;
}

// Claim bit 30 for a unit strong enough to hold what it takes.
void ClaimIfStrong(CZRKGameDoc& doc, const UNITSTRUCT& u, HEXINDEX hex)
{
    if (IsMapHex(hex) && u.nStrength >= 7) doc.m_dwHexCpu[hex] |= kClaimTaking;
}

// The unit named by ref when it can still be ordered.
UNITSTRUCT* StillFit(CZRKGameDoc& doc, UnitRef ref)
{
    UNITSTRUCT* u = doc.GetUnit(ref);
    return u != nullptr && Fit(*u) ? u : nullptr;
}

// Sorts the first n keyed units by key (stable, so equal keys keep the
// country's order) and writes them to out, ended by kNoUnit; returns how
// many were written.
size_t WriteSortedList(std::span<std::pair<int32_t, UnitRef>> keyed, size_t n, bool ascending,
                       std::span<UnitRef> out)
{
    std::stable_sort(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(n),
                     [ascending](const auto& x, const auto& y) { return ascending ? x.first < y.first : x.first > y.first; });
    size_t written = 0;
    for (size_t i = 0; i < n && written + 1 < out.size(); ++i) out[written++] = keyed[i].second;
    if (!out.empty()) out[written] = kNoUnit;
    return written;
}

}  // namespace

int BuildCandidateList(CZRKGameDoc& doc, int kind, bool ascending, bool allowCarried, bool includeMarked,
                       std::span<UnitRef> out)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (!out.empty()) out[0] = kNoUnit;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const int weather = WeatherClass(GetWeatherEffect(game));
    const bool carriersLaunch = weather != 3 && weather != 5;
    const int farthest = kind == kCandidateScouts ? GetFarthestUnitDistanceFromCapital(*c) : 0;
    std::array<std::pair<int32_t, UnitRef>, kCandidateSlots> keyed;
    size_t n = 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitActed)) continue;
        if (!includeMarked && (u.dwSupplyFlag & (kCpuUnitStay | kCpuUnitCouldNotMove))) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr) continue;
        if (u.dwFlag & kUnitCarried) {
            if (!allowCarried || !carriersLaunch) continue;
            const UNITSTRUCT* carrier = GetOutermostCarrier(game, u);
            const ARMSSTRUCT* ca = carrier ? UnitArms(*carrier) : nullptr;
            if (ca == nullptr || ca->nClass != kClassAircraftCarrier || (carrier->dwFlag & kUnitActed)) continue;
        }
        const HEXINDEX at = GetUnitMapHex(game, u);
        const int toCapital = DistanceToCapital(*c, at);
        const bool needs = NeedsSupply(u);
        int32_t key = 0;
        switch (kind) {
        case kCandidateKeyKind:
            if (!CanOccupy(*a)) continue;
            key = (u.nStrength << 16) + u.nExp;
            break;
        case kCandidateByCapital:
            key = toCapital + ((u.dwFlag & kUnitSupplied) ? 0 : 0x40000000);
            if (needs) key += (std::max(63 - u.nStrength, 0) << 24) + (u.nFuel << 8);
            break;
        case kCandidateStock: {
            const uint32_t stock = GetSupplyStock(u);
            if (stock == 0 || needs) continue;
            key = static_cast<int32_t>(stock & 0xFFFF);
            break;
        }
        case kCandidateRefit:
            key = toCapital + ((u.nFuel >= a->nFuelMax || (u.dwFlag & kUnitCarried)) ? 0x40000000 : 0);
            if (needs) key += (std::min(u.nStrength, 63) << 24) + (std::max(255 - u.nFuel, 0) << 8);
            break;
        case kCandidateBombers: {
            const int32_t value = GetFlag20WeaponDistanceToCapital(game, u);
            if (value < 0) continue;
            key = value & 0x00FFFFFF;
            break;
        }
        case kCandidateCarriers: {
            if (u.dwSupplyFlag & kCpuUnitSearchMark) continue;
            const int32_t load = GetCarriedLoadSummary(game, u);
            if (load < 0) continue;
            key = load & ~0x40000000;
            break;
        }
        case kCandidateScouts: {
            if (u.dwSupplyFlag & (kCpuUnitStay | kCpuUnitNeedsStock | kCpuUnitNeedsStrength)) continue;
            if (u.nMove < 4 || a->nSight < 3 || GetNearestEnemyDistance(game, u) <= a->nSight) continue;
            if (u.nMove + toCapital < farthest) continue;
            key = toCapital + (IsGroundDomainUnit(u) ? 0 : 0x40000000);
            break;
        }
        case kCandidateUnmoved:
            if (!TestUnmovedClassFlag4(u)) continue;
            key = toCapital + (IsNavalDomainUnit(u) ? 0 : 0x10000);
            break;
        default:
            key = (u.nStrength << 24) + (a->nPrice << 8) + u.nExp;
            break;
        }
        if (n < keyed.size()) keyed[n++] = {key, u.refSelf};
    }
    return static_cast<int>(WriteSortedList(keyed, n, ascending, out));
}

namespace {

int ListUnitsNeeding(CZRKGameDoc& doc, uint32_t need, uint32_t without, std::span<UnitRef> out)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (!out.empty()) out[0] = kNoUnit;
    if (c == nullptr) return 0;
    std::array<std::pair<int32_t, UnitRef>, kListSlots> keyed;
    size_t n = 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!Fit(u) || !(u.dwSupplyFlag & need) || (u.dwSupplyFlag & without)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr) continue;
        const int32_t dry = a->nFuelMax > 0 ? std::max(255 - u.nFuel, 0) : 0;
        const int32_t worth = std::clamp(a->nPrice * u.nStrength / 100, 0, 127);
        const int32_t key = (std::min(dry, 255) << 23) + (worth << 16) + (std::clamp(u.nStrength, 0, 127) << 8) +
                            std::clamp(u.nExp, 0, 255);
        keyed[n++] = {key, u.refSelf};
    }
    return static_cast<int>(WriteSortedList(keyed, n, false, out));
}

}  // namespace

int ListUnitsNeedingStrength(CZRKGameDoc& doc, bool strengthOnly, std::span<UnitRef> out)
{
    return ListUnitsNeeding(doc, kCpuUnitNeedsStrength, strengthOnly ? 0u : 0x00004000u, out);
}

int ListUnitsNeedingFuel(CZRKGameDoc& doc, std::span<UnitRef> out)
{
    return ListUnitsNeeding(doc, kCpuUnitNeedsStock, 0u, out);
}

int BuildActionList(CZRKGameDoc& doc, CpuTurnState& state, int kind, bool ascending, std::span<UnitRef> out)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (!out.empty()) out[0] = kNoUnit;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const BaseSearchMaps maps{doc.m_dwHexCell, HexWords(state.approachGrid.data(), kHexCount),
                              HexWords(state.approach.data(), kHexCount), doc.m_MoveRules};
    std::array<std::pair<int32_t, UnitRef>, kListSlots> keyed;
    size_t n = 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!Fit(u) || (u.dwSupplyFlag & kCpuUnitStay)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr) continue;
        int32_t key = 0;
        if (kind == 6) {
            if (!(u.dwSupplyFlag & kCpuUnitMakeWayMark)) continue;
            const bool reach = IsMapHex(u.nHex) && (doc.m_dwHexCpu[u.nHex] & 0x08000000u) != 0;
            key = RateUnitForWithdrawal(game, u, maps, reach);
            if (key < 0) continue;
        } else if (kind == 9 || kind == 10) {
            if (kind == 10 && !CanOccupy(*a)) continue;
            const int32_t base = FindReachableBaseHex(u, game, maps, true);
            if (base == 0) continue;
            if (kind == 10) {
                const TRRNSTRUCT* t = IsMapHex(u.nHex) ? TerrainRecord(CellTerrain(doc.m_dwHexCell[u.nHex])) : nullptr;
                const bool marked = t != nullptr && (t->dwTrrnFlag & (1u << 30)) != 0;
                if (!marked && (base < 0 || (base >> 16) != 1)) continue;
            }
            key = base >= 0 ? base : DistanceToCapital(*c, u.nHex) + 0x10000000;
            key += (250 - u.nStrength) << 8;
        } else {
            continue;
        }
        if (n < keyed.size()) keyed[n++] = {key, u.refSelf};
    }
    WriteSortedList(keyed, n, ascending, out);
    return static_cast<int>(n);
}

int CpuMergeInto(CZRKGameDoc& doc, UNITSTRUCT& unit, UNITSTRUCT& partner)
{
    const int amount = GetMergeTransferAmount(unit, partner);
    if (amount == 0) return 0;
    return doc.ExecuteCpuAction(kCpuActMerge, unit, (RefSlot(partner.refSelf) << 16) | amount);
}

int CpuActUnits(CZRKGameDoc& doc, CpuTurnState& state, int kind, bool reachableOnly, bool allowSwaps)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, kListSlots + 1> list;
    if (BuildActionList(doc, state, kind, true, list) == 0) return 0;
    std::vector<HEXINDEX>& bases = state.baseHexes;
    bases.resize(kHexCount + 1);
    const int baseCount = ListBaseHexes(c->nIndex, game, doc.m_dwHexCell, doc.m_dwHexUnit, bases);
    if (baseCount == 0) return 0;
    bases.resize(static_cast<size_t>(std::min(baseCount, kHexCount)));

    const Enemies enemies = EnemiesOf(doc, c->nIndex);
    const HexWords reach(doc.m_dwHexMove);
    const DestinationContext ctx{game,
                                 doc.m_dwHexCell,
                                 HexWords(state.grid.data(), kHexCount),
                                 reach,
                                 doc.m_dwHexUnit,
                                 doc.m_dwHexCpu,
                                 enemies,
                                 doc.m_MoveRules,
                                 [&doc] { return doc.Random().Rand(); }};
    int result = 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        // Each unit is read again: an earlier order may have ended it.
        UNITSTRUCT* u = StillFit(doc, ref);
        if (u == nullptr) continue;
        if (IsOwnCityThreatened(*u, game, doc.m_dwHexCell, doc.m_dwHexUnit, enemies)) {
            const int r = CpuAttackTarget(doc, state, *u, kPolicyEngaged, kNoHex);
            if (r < 0) return -1;
            if (r > 0) {
                result = 1;
                break;
            }
            continue;
        }
        const int owner = IsMapHex(u->nHex) ? CellOwner(doc.m_dwHexCell[u->nHex]) : -1;
        const bool enemyHex = owner >= 0 && std::find(enemies.begin(), enemies.end(), owner) != enemies.end();
        if ((u->dwSupplyFlag & kCpuUnitStay) || (NeedsSupply(*u) && !enemyHex)) {
            if (reachableOnly) continue;
            const int r = CpuAttackTarget(doc, state, *u, kPolicyHoldBeforeMove, kNoHex);
            if (r < 0) return -1;
            if (r > 0) {
                result = 1;
                break;
            }
            continue;
        }
        if (IsUnitHoldingCapital(*u, game)) continue;

        int dest = ChooseUnitDestination(*u, bases, ctx, allowSwaps);
        if (dest < 0) {
            if (reachableOnly) continue;
            const int r = CpuAttackTarget(doc, state, *u, kPolicyHoldBeforeMove, kNoHex);
            if (r < 0) return -1;
            if (r > 0) {
                result = 1;
                break;
            }
            continue;
        }
        // An own unit stands on the destination: it makes room when swaps
        // are allowed.
        if (dest & kDestAmongOwnUnits) {
            if (!allowSwaps || reachableOnly) continue;
            UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[dest & 0xFFFF]);
            if (holder == nullptr || holder == u || UnitCountryIndex(*holder) != c->nIndex ||
                (holder->dwSupplyFlag & kCpuUnitKeepsSite) || (holder->dwFlag & kUnitCarries))
                continue;
            return CpuSwapOut(doc, state, *holder);
        }
        const bool occupyAtEnd = !(dest & kDestWiderArea);
        const HEXINDEX hex = static_cast<HEXINDEX>(dest & 0xFFFF);
        u->dwWeaponMask = static_cast<uint32_t>(hex);
        if (hex == u->nHex) {
            if (CheckOccupy(game, doc.m_dwHexCell, *u, hex) != 0) continue;
            if (doc.ExecuteCpuAction(kCpuActOccupy, *u, 0) < 0) return -1;
            ClaimIfStrong(doc, *u, hex);
            result = 1;
            break;
        }
        if (reachableOnly &&
            (static_cast<int>(reach[static_cast<size_t>(hex)] & kReachCostMask) > u->nMove ||
             (reach[static_cast<size_t>(hex)] & kReachNotReached) || IsUnitRef(doc.m_dwHexUnit[hex])))
            continue;

        CpuMoveFlags toward;
        toward.bIncludeTarget = true;
        const CpuRouteStepResult step = CpuRouteStep(doc, state, *u, hex, toward);
        if (u->nMove > 0) {
            const int turns = std::max(0, (step.cost - (u->nMove - 1)) / u->nMove);
            if (turns < 3) u->dwOrder |= kOrderDestinationNear;
        }
        u->nMarchHex = hex;
        if (!IsMapHex(step.step)) continue;
        if (GetHexDistance(u->nHex, hex) == 1 && GetHexDistance(step.step, hex) > 1) continue;

        u->nCpuTarget = step.step;
        if (doc.ExecuteCpuAction(kCpuActMove, *u, 0) < 0) return -1;
        u = StillFit(doc, ref);
        if (u == nullptr) {
            result = 1;
            continue;
        }
        if (CheckOccupy(game, doc.m_dwHexCell, *u, u->nHex) != 0 || !occupyAtEnd) {
            if (occupyAtEnd) {
                const int r = CpuAttackTarget(doc, state, *u, kPolicyHoldBeforeMove, kNoHex);
                if (r != 0) return r;
            }
            if (doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0) return -1;
            if (UNITSTRUCT* partner = FindMergePartner(game, doc.m_dwHexUnit, *u, u->nHex, enemies, false))
                if (CpuMergeInto(doc, *u, *partner) < 0) return -1;
        } else {
            u->dwWeaponMask = static_cast<uint32_t>(u->nHex);
            if (doc.ExecuteCpuAction(kCpuActOccupy, *u, 0) < 0) return -1;
            ClaimIfStrong(doc, *u, u->nHex);
        }
        result = 1;
    }
    if (result > 0 && CpuJoinUntilDone(doc, state) < 0) return -1;
    return result;
}

}  // namespace zrv
