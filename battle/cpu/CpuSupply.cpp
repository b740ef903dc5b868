#include "battle/cpu/CpuSupply.h"

#include <algorithm>
#include <array>
#include <climits>

#include "battle/cpu/CpuCommon.h"
#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitOrders.h"
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

constexpr int kClassAircraftCarrier = 58;
constexpr uint32_t kCpuUnitCouldNotMove = 0x00400000u;  // computer-player word bit 22
constexpr uint32_t kRouteClosed = kReachNotDestination;  // route word bits 30, 31
constexpr uint32_t kRouteHostile = kReachEnemy | kReachBlocked;  // bits 26, 28

bool Routed(uint32_t word)
{
    return !(word & kReachNotReached) && (word & kReachCostMask) != 0;
}

int Cost(uint32_t word)
{
    return static_cast<int>(word & kReachCostMask);
}

MAPCELL SideMask(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    return c ? GetSideCellMask(*c) : 0u;
}

// The owner of cell would supply the unit there.
bool OwnerSupplies(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell)
{
    return CheckOwnerSupply(game, unit, cell) == 0;
}

int Terminate(std::span<int32_t> out, size_t n)
{
    if (n < out.size()) out[n] = -1;
    return static_cast<int>(n);
}

// Hex list 2 is kept for production in a defensive turn while the country
// can still produce.
std::span<const HEXINDEX> ProductionList(CZRKGameDoc& doc, CpuTurnState& state)
{
    const COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (!(doc.m_dwCpuFlags & kCpuFlagDefensive) || c == nullptr || CannotProduce(*c)) return {};
    return state.hexList[2];
}

// Restores the three work maps on every way out.
class SavedWorkMaps {
public:
    SavedWorkMaps(CZRKGameDoc& doc, CpuTurnState& state) : m_doc(doc), m_state(state)
    {
        std::copy(std::begin(doc.m_dwHexMove), std::end(doc.m_dwHexMove), state.savedMove.begin());
        std::copy(std::begin(doc.m_dwHexWork1), std::end(doc.m_dwHexWork1), state.savedWork.begin());
        std::copy(std::begin(doc.m_dwHexMark), std::end(doc.m_dwHexMark), state.savedMark.begin());
    }
    ~SavedWorkMaps()
    {
        std::copy(m_state.savedMove.begin(), m_state.savedMove.end(), std::begin(m_doc.m_dwHexMove));
        std::copy(m_state.savedWork.begin(), m_state.savedWork.end(), std::begin(m_doc.m_dwHexWork1));
        std::copy(m_state.savedMark.begin(), m_state.savedMark.end(), std::begin(m_doc.m_dwHexMark));
    }
    SavedWorkMaps(const SavedWorkMaps&) = delete;
    SavedWorkMaps& operator=(const SavedWorkMaps&) = delete;

private:
    CZRKGameDoc& m_doc;
    CpuTurnState& m_state;
};

}  // namespace

bool CannotProduce(const COUNTRYSTRUCT& country)
{
    if (country.nUnit >= country.nUnitMax) return true;
    const int dearest = GetMaxTypeCostClasses0To32(country);
    return dearest < 0 || country.nFund < dearest;
}

int CpuFollowBaseLeft(CZRKGameDoc& doc, CpuTurnState& state)
{
    if (!(doc.m_dwCpuFlags & kCpuFlagBaseLeft)) return 0;
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    return CpuActUnits(doc, state, 9, true, false);
}

// --- searches ---------------------------------------------------------------------------------

int CpuListOwnerSupplyHexes(CZRKGameDoc& doc, const UNITSTRUCT& unit, std::span<int32_t> out)
{
    const GAMEDATASTRUCT& game = doc.m_GameData;
    const MAPCELL blocked = SideMask(game, unit);
    size_t n = 0;
    for (HEXINDEX h = 0; h < kHexCount && n + 1 < out.size(); ++h) {
        const MAPCELL cell = doc.m_dwHexCell[h];
        if ((cell & blocked) || !OwnerSupplies(game, unit, cell)) continue;
        out[n++] = h;
    }
    return Terminate(out, n);
}

int CpuListSupplyHexes(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit,
                       std::span<const uint32_t, kHexCount> route, std::span<int32_t> out, std::span<const HEXINDEX> exclude)
{
    const GAMEDATASTRUCT& game = doc.m_GameData;
    const MAPCELL blocked = SideMask(game, unit);
    auto& keyed = state.keyedHexes;
    size_t n = 0;
    for (HEXINDEX h = 0; h < kHexCount && n < keyed.size(); ++h) {
        const MAPCELL cell = doc.m_dwHexCell[h];
        if ((cell & blocked) || !OwnerSupplies(game, unit, cell) || CpuOnList(exclude, h)) continue;
        keyed[n++] = {route[static_cast<size_t>(h)], h};
    }
    // Ties go by hex, so one seed plays one game on every build.
    std::sort(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(n));
    size_t written = 0;
    for (size_t i = 0; i < n && written + 1 < out.size(); ++i) out[written++] = keyed[i].second;
    return Terminate(out, written);
}

int CpuListRefuelHexes(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit,
                       std::span<const uint32_t, kHexCount> route, std::span<int32_t> out, std::span<const HEXINDEX> exclude)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    auto& keyed = state.keyedHexes;
    size_t n = 0;
    const bool short_ = (unit.dwSupplyFlag & kCpuUnitNeedsStock) != 0;
    for (HEXINDEX h = 0; h < kHexCount && n < keyed.size(); ++h) {
        const uint32_t w = route[static_cast<size_t>(h)];
        if (!Routed(w) || CpuOnList(exclude, h)) continue;
        const MAPCELL cell = doc.m_dwHexCell[h];
        const uint32_t cost = static_cast<uint32_t>(Cost(w));
        if (OwnerSupplies(game, unit, cell)) {
            keyed[n++] = {cost, h};
        } else if (short_ && CheckSupplyAtHex(game, unit, cell, SupplyMode::Resupply, true) == 0) {
            keyed[n++] = {cost | kRefuelResupply, h | kRefuelResupply};
        }
    }
    const ARMSSTRUCT* a = UnitArms(unit);
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (a != nullptr && c != nullptr && a->nCarryClass == 0) {
        for (const UNITSTRUCT& s : c->Unit) {
            if (!(s.dwFlag & kUnitInUse) || (s.dwFlag & kUnitCarried) || &s == &unit) continue;
            const ARMSSTRUCT* sa = UnitArms(s);
            if (sa == nullptr || sa->nClass != kClassAircraftCarrier || !IsMapHex(s.nHex)) continue;
            const uint32_t w = route[static_cast<size_t>(s.nHex)];
            if (!Routed(w) || n >= keyed.size()) continue;
            const int aboard = CargoCount(s.dwCargo);
            if (aboard != 0 && !((s.dwFlag & kUnitActed) && aboard < sa->nCarry[0])) continue;
            keyed[n++] = {static_cast<uint32_t>(Cost(w)) | kRefuelSupplyUnit, s.nHex | kRefuelSupplyUnit};
        }
    }
    std::sort(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(n));
    size_t written = 0;
    for (size_t i = 0; i < n && written + 1 < out.size(); ++i) out[written++] = keyed[i].second;
    return Terminate(out, written);
}

HEXINDEX CpuFindWithdrawalHex(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit,
                              std::span<const uint32_t, kHexCount> route, std::span<const HEXINDEX> production, int mode)
{
    if (unit.dwSupplyFlag & kCpuUnitNoWithdrawal) return kNoHex;
    GAMEDATASTRUCT& game = doc.m_GameData;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    const ARMSSTRUCT* a = UnitArms(unit);
    if (c == nullptr || a == nullptr) return kNoHex;
    if (!production.empty() && CannotProduce(*c)) production = {};
    const std::span<int32_t> list(state.hexes.data(), state.hexes.size());
    const int n = CpuListRefuelHexes(doc, state, unit, route, list, production);
    if (n <= 0) return kNoHex;

    int limit = kClaimHeadingMax;
    if (mode == 0) {
        for (int i = 0; i < n; ++i) limit = std::min(limit, CpuHeadingUnits(doc, list[static_cast<size_t>(i)] & 0xFFFF));
    }
    const int bound = limit + 1;
    const HEXINDEX capital = c->nCapital;
    const auto toCapital = [&](HEXINDEX h) { return IsMapHex(capital) ? GetHexDistance(h, capital) : 0; };

    HEXINDEX nearHex = kNoHex, fuelHex = kNoHex;
    int nearCost = INT_MAX, fuelCost = INT_MAX;
    for (int i = 0; i < n; ++i) {
        const int32_t entry = list[static_cast<size_t>(i)];
        const HEXINDEX h = entry & 0xFFFF;
        const uint32_t w = route[static_cast<size_t>(h)];
        if (mode != 0 && (w & kRouteClosed)) continue;
        if (CpuHeadingUnits(doc, h) >= bound) continue;
        const int cost = Cost(w);
        const UNITSTRUCT* holder = UnitAt(game, doc.m_dwHexUnit[h]);
        const bool foreign = holder != nullptr && UnitCountryIndex(*holder) != UnitCountryIndex(unit);
        if (!foreign && (cost < nearCost || (cost == nearCost && toCapital(h) < toCapital(nearHex)))) {
            nearHex = h;
            nearCost = cost;
        }
        const bool supplyUnit = (entry & kRefuelSupplyUnit) != 0;
        if ((supplyUnit || !(w & kRouteHostile)) && cost < unit.nFuel &&
            (cost < fuelCost || (cost == fuelCost && toCapital(h) < toCapital(fuelHex)))) {
            fuelHex = h;
            fuelCost = cost;
        }
    }
    if (fuelHex == kNoHex) return nearHex;
    const int within = std::min(unit.nMove, unit.nFuel);
    const bool ground = IsGroundDomainUnit(unit);
    if (fuelCost > within && (unit.nFuel < 2 * fuelCost || (ground && 3 * a->nMovePoint < fuelCost))) return nearHex;
    return fuelHex;
}

HEXINDEX CpuFindSupplyHexForStock(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, int mode)
{
    GAMEDATASTRUCT& game = doc.m_GameData;
    if (!CpuReach(doc, state, unit)) return kNoHex;
    const int own = UnitCountryIndex(unit);
    const int side = UnitSideSlot(game, unit);
    GameDraws draws(doc.Random());
    HEXINDEX best = kNoHex;
    int bestTotal = 0;
    const HEXINDEX at = GetUnitMapHex(game, unit);
    for (HEXINDEX h = 0; h < kHexCount; ++h) {
        const uint32_t w = doc.m_dwHexMove[h];
        if (h != at && (w & kRouteClosed)) continue;
        if (h != at && IsUnitRef(doc.m_dwHexUnit[h])) continue;
        int total = 0;
        bool ruledOut = false;
        for (int dir = 0; dir < kHexDirections && !ruledOut; ++dir) {
            const HEXINDEX nb = GetNeighbour(h, dir);
            if (!IsMapHex(nb)) continue;
            UNITSTRUCT* other = UnitAt(game, doc.m_dwHexUnit[nb]);
            if (other == nullptr || other == &unit) continue;
            const int otherSide = UnitSideSlot(game, *other);
            if (otherSide != side) {
                ruledOut = true;
                break;
            }
            if (UnitCountryIndex(*other) != own) continue;
            if (other->dwOrder & (1u << 25)) continue;
            bool serves = false;
            if (mode == 0) {
                serves = UnitNeedsFuelAmmoSupply(game, *other, draws) &&
                         CheckSupplyAtHex(game, *other, other->dwHexCell, SupplyMode::Resupply) != 0 &&
                         CheckSupplyAtHex(game, *other, other->dwHexCell, SupplyMode::Base) == 0;
            } else {
                serves = CpuFit(*other) && !(other->dwFlag & kUnitSupplied) && (other->dwSupplyFlag & (1u << 16));
            }
            if (serves) total += GetUnitResupplyCost(*other);
        }
        if (ruledOut || total <= 0) continue;
        if (total > bestTotal || (total == bestTotal && (doc.Random().Rand() & 1))) {
            best = h;
            bestTotal = total;
        }
    }
    return best;
}

HEXINDEX CpuFindSupplyHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, int a, int b)
{
    if (!(unit.dwSupplyFlag & kCpuNeedsSupply)) return kNoHex;
    GAMEDATASTRUCT& game = doc.m_GameData;
    if (b != 0 && FindNearestEnemyUnit(game, unit) == nullptr) return kNoHex;
    const ARMSSTRUCT* arms = UnitArms(unit);
    if (arms == nullptr) return kNoHex;
    SavedWorkMaps saved(doc, state);
    // An air unit searches with its whole allowance, whatever it has used.
    const int move = unit.nMove;
    if (IsAirDomainUnit(unit)) unit.nMove = arms->nMovePoint;
    HEXINDEX hex = kNoHex;
    if (CpuReach(doc, state, unit) && !IsUnitHoldingCapital(unit, game)) {
        const int mode = (b != 0 && IsNavalDomainUnit(unit)) ? 0 : a;
        hex = CpuFindWithdrawalHex(doc, state, unit, doc.m_dwHexMove, ProductionList(doc, state), mode);
    }
    unit.nMove = move;
    return hex;
}

// --- routines ---------------------------------------------------------------------------------

int CpuRefuelUnits(CZRKGameDoc& doc, CpuTurnState& state, int a, int b)
{
    std::array<UnitRef, kUnitSlots + 1> list;
    if (ListUnitsNeedingFuel(doc, list) == 0) return 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr) continue;
        const HEXINDEX hex = CpuFindSupplyHex(doc, state, *u, a, b);
        if (!IsMapHex(hex)) continue;
        CpuCountHeadingUnits(doc, hex);
        CpuMoveFlags flags;
        flags.nEnd = 1;
        // The supply hex is the step when the unit reaches it; a carrier
        // there takes the unit aboard.
        flags.bIncludeTarget = true;
        const int r = CpuMoveUnitToward(doc, state, *u, hex, flags);
        if (r < 0) return -1;
        if (r == kCpuMoveDone) return 1;
        if (r != kCpuMoveMoved) continue;
        u = CpuStillFit(doc, ref);
        if (u == nullptr) return 1;
        const int attack = CpuAttackTarget(doc, state, *u, CpuAdvancePolicy(doc, *u), kNoHex);
        if (attack < 0) return -1;
        if (attack == 0 && doc.ExecuteCpuAction(kCpuActMoveDone, *u, 0) < 0) return -1;
        return 1;
    }
    return 0;
}

int CpuMoveToSupply(CZRKGameDoc& doc, CpuTurnState& state)
{
    if (!(doc.m_dwCpuFlags & kCpuFlagSupplyNeeded)) return 0;
    std::array<UnitRef, kUnitSlots + 1> list;
    const int count = ListUnitsNeedingStrength(doc, false, list);
    if (count == 0) return 0;
    // The low halves of the claim map count the units each hex would serve.
    state.ForgetThreat();
    for (uint32_t& w : doc.m_dwHexCpu) w &= 0xFFFF0000u;
    std::span<const HEXINDEX> production = ProductionList(doc, state);
    const std::span<int32_t> hexes(state.moreHexes.data(), state.moreHexes.size());
    std::array<bool, kUnitSlots + 1> marked{};
    for (int i = 0; i < count; ++i) {
        UNITSTRUCT* u = CpuStillFit(doc, list[static_cast<size_t>(i)]);
        if (u == nullptr || !CpuReach(doc, state, *u)) continue;
        const int n = CpuListSupplyHexes(doc, state, *u, doc.m_dwHexMove, hexes, production);
        for (int k = 0; k < n; ++k) {
            const HEXINDEX h = hexes[static_cast<size_t>(k)];
            if (doc.m_dwHexMove[h] & kRouteClosed) continue;
            uint32_t& w = doc.m_dwHexCpu[h];
            if ((w & 0xFFFFu) < 0xFFFFu) ++w;
            marked[static_cast<size_t>(i)] = true;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!marked[static_cast<size_t>(i)]) continue;
        const UnitRef ref = list[static_cast<size_t>(i)];
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr || !CpuReach(doc, state, *u)) continue;
        const int n = CpuListSupplyHexes(doc, state, *u, doc.m_dwHexMove, hexes, production);
        HEXINDEX best = kNoHex;
        uint32_t fewest = UINT32_MAX;
        for (int k = 0; k < n; ++k) {
            const HEXINDEX h = hexes[static_cast<size_t>(k)];
            if (doc.m_dwHexMove[h] & kRouteClosed) continue;
            const uint32_t counter = doc.m_dwHexCpu[h] & 0xFFFFu;
            if (counter < fewest || (counter == fewest && (doc.Random().Rand() & 1))) {
                best = h;
                fewest = counter;
            }
        }
        if (!IsMapHex(best)) continue;
        const int r = CpuMoveUnitToward(doc, state, *u, best, CpuMoveFlags{.bIncludeTarget = true});
        if (r < 0) return -1;
        if (r == kCpuMoveMoved || r == kCpuMoveDone) return 1;
    }
    return 0;
}

int CpuResupplyUnits(CZRKGameDoc& doc, CpuTurnState& state, bool withAutoSupply)
{
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (BuildCandidateList(doc, kCandidateStock, false, false, false, list) == 0) return 0;
    int result = 0;
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr) continue;
        const HEXINDEX hex = CpuFindSupplyHexForStock(doc, state, *u, withAutoSupply ? 0 : 1);
        if (!IsMapHex(hex)) {
            if (withAutoSupply) u->dwSupplyFlag |= kCpuUnitCouldNotMove;
            continue;
        }
        // Looked at once a pass: a unit that cannot get there is not asked again.
        u->dwSupplyFlag |= kCpuUnitCouldNotMove;
        if (hex != GetUnitMapHex(doc.m_GameData, *u)) {
            CpuMoveFlags flags;
            flags.nEnd = 1;
            flags.bIncludeTarget = true;
            const int r = CpuMoveUnitToward(doc, state, *u, hex, flags);
            if (r < 0) return -1;
            if (r == kCpuMoveNone || r == kCpuMoveHeldForFuel) continue;
        }
        if (withAutoSupply && doc.ListAutoSupplyUnits({})) {
            UNITSTRUCT none{};
            doc.ExecuteCpuAction(kCpuActSupply, none, 0);
        }
        if (UNITSTRUCT* still = CpuStillFit(doc, ref))
            if (doc.ExecuteCpuAction(kCpuActMoveDone, *still, 0) < 0) return -1;
        result = 1;
        break;
    }
    if (result > 0 && CpuFollowBaseLeft(doc, state) < 0) return -1;
    return result;
}

int CpuSurfaceUnits(CZRKGameDoc& doc, CpuTurnState& state)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!CpuFit(u) || CheckSurface(u) != 0 || !(u.dwSupplyFlag & kCpuNeedsSupply)) continue;
        const HEXINDEX hex = CpuFindSupplyHex(doc, state, u, 0, 0);
        if (!IsMapHex(hex) || GetHexDistance(hex, u.nHex) >= 3) continue;
        return doc.ExecuteCpuAction(kCpuActSurface, u, 0) < 0 ? -1 : 1;
    }
    return 0;
}

int CpuEvacuateWeakUnits(CZRKGameDoc& doc, CpuTurnState& state)
{
    doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    std::array<UnitRef, kUnitSlots + 1> list;
    if (ListUnitsNeedingStrength(doc, true, list) == 0) return 0;
    std::array<int32_t, kCountryCount + 1> enemies;
    enemies.fill(-1);
    ListEnemyCountries(game, c->nIndex, enemies);
    for (UnitRef ref : list) {
        if (ref == kNoUnit) break;
        UNITSTRUCT* u = CpuStillFit(doc, ref);
        if (u == nullptr || u->nStrength > 3) continue;
        const ARMSSTRUCT* a = UnitArms(*u);
        if (a == nullptr || !CanOccupy(*a) || !IsMapHex(u->nHex)) continue;
        const MAPCELL cell = doc.m_dwHexCell[u->nHex];
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (t == nullptr || !(t->dwTrrnFlag & 0x80000000u)) continue;
        const int owner = CellOwner(cell);
        if (owner >= 0 && std::find(enemies.begin(), enemies.end(), owner) == enemies.end()) continue;
        if (!CpuReach(doc, state, *u)) continue;
        bool open = false;
        for (int dir = 0; dir < kHexDirections && !open; ++dir) {
            const HEXINDEX nb = GetNeighbour(u->nHex, dir);
            open = IsMapHex(nb) && !(doc.m_dwHexMove[nb] & (kReachEnemy | kReachZoneOfControl));
        }
        if (!open) continue;
        const HEXINDEX hex = CpuFindWithdrawalHex(doc, state, *u, doc.m_dwHexMove, ProductionList(doc, state), 0);
        if (!IsMapHex(hex)) continue;
        CpuCountHeadingUnits(doc, hex);
        const int r = CpuMoveUnitToward(doc, state, *u, hex, CpuMoveFlags{.bIncludeTarget = true});
        if (r < 0) return -1;
        if (r == kCpuMoveMoved || r == kCpuMoveDone) return CpuFollowBaseLeft(doc, state) < 0 ? -1 : 1;
    }
    return 0;
}

}  // namespace zrv
