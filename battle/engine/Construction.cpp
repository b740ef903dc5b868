#include "battle/engine/Construction.h"
#include "battle/engine/ConstructionFunds.h"

#include <algorithm>
#include <bit>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/TerrainRoles.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

constexpr MAPCELL kRouteBit0 = 1u << 24;
constexpr MAPCELL kRail27 = 1u << 27;
constexpr MAPCELL kRail28 = 1u << 28;
constexpr MAPCELL kMinorRoutes = 0x07000000u;  // bits 24-26
constexpr MAPCELL kAllRoutes = 0x1F000000u;
constexpr int kFortress = kTerrainFortress;
constexpr int kDesertFortress = kTerrainDesertFortress;
constexpr int kAirfield = kTerrainAirfield;
constexpr int kDesertAirfield = kTerrainDesertAirfield;
constexpr int kDesert = kTerrainDesert;
constexpr int kPlain = kTerrainPlain;
constexpr uint32_t kStateWeatherBit = 0x40000000u;

int Funds(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    return c ? c->nFund : 0;
}

MAPCELL UnitHexCell(std::span<const MAPCELL, kHexCount> cells, const UNITSTRUCT& unit)
{
    return IsMapHex(unit.nHex) ? cells[static_cast<size_t>(unit.nHex)] : unit.dwHexCell;
}

bool IsFortressTerrain(int t)
{
    return t == kFortress || t == kDesertFortress;
}

// Candidate hexes of route work: the unit's hex and its neighbours, without
// hexes closed to its side or held by another unit.
template <typename Fn>
void ForEachRouteCandidate(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                           std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, Fn fn)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (!c || !IsMapHex(unit.nHex)) return;
    const MAPCELL blocked = GetSideCellMask(*c);
    HexNeighbours nb = GetNeighbourSlots(unit.nHex);
    HEXINDEX hexes[kHexDirections + 1] = {unit.nHex, nb[0], nb[1], nb[2], nb[3], nb[4], nb[5]};
    for (HEXINDEX hex : hexes) {
        if (!IsMapHex(hex)) continue;
        MAPCELL cell = cells[static_cast<size_t>(hex)];
        if (cell & blocked) continue;
        UnitRef ref = hexUnit[static_cast<size_t>(hex)];
        if (ref != kNoUnit && ref != unit.refSelf) continue;
        fn(hex, cell);
    }
}

bool AnyNeighbourCarries(std::span<const MAPCELL, kHexCount> cells, HEXINDEX hex, MAPCELL bits)
{
    for (HEXINDEX nb : GetNeighbourSlots(hex)) {
        if (nb != kNoHex && (cells[static_cast<size_t>(nb)] & bits) == bits) return true;
    }
    return false;
}

// Writes pairs into out, always leaving room for the end mark.
class PairWriter {
public:
    explicit PairWriter(std::span<int32_t> out) : m_out(out) {}
    void Add(HEXINDEX hex, uint32_t options)
    {
        if (m_n + 3 > m_out.size()) return;
        m_out[m_n++] = hex;
        m_out[m_n++] = static_cast<int32_t>(options);
        ++m_pairs;
    }
    int Finish()
    {
        if (m_n < m_out.size()) m_out[m_n] = -1;
        return m_pairs;
    }

private:
    std::span<int32_t> m_out;
    size_t m_n = 0;
    int m_pairs = 0;
};

int IceDepth(const GAMEDATASTRUCT& game)
{
    return (game.dwStateFlag & kStateWeatherBit) ? game.nIceLevel : 0;
}

// The cell after a terrain change by construction.
MAPCELL BuiltCell(MAPCELL cell, int newTerrain, int owner)
{
    const TRRNSTRUCT* oldT = TerrainRecord(CellTerrain(cell));
    const TRRNSTRUCT* newT = TerrainRecord(newTerrain);
    cell = WithDurability(WithTerrain(cell, newTerrain), kBuiltDurability);
    if (newT && RoutesBelongToTerrain(*newT))
        cell |= kAllRoutes;
    else if (oldT && RoutesBelongToTerrain(*oldT))
        cell &= ~kAllRoutes;
    cell = WithOwner(cell, -1);
    if (newT && IsOccupiable(*newT)) cell = WithOwner(cell, owner);
    return cell;
}

}  // namespace

int FindConstructionSlot(const UNITSTRUCT& unit)
{
    int best = -1;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || w->byType != kWeaponTypeConstruction) continue;
        if (best < 0 || unit.nAmmo[s] > unit.nAmmo[best]) best = s;
    }
    return best;
}

MAPCELL GetRailwayBit(const COUNTRYSTRUCT& country)
{
    return (country.nCountryId == 2 || country.nCountryId == 15) ? kRail28 : kRail27;
}

MAPCELL GetSideCellMask(const COUNTRYSTRUCT& country)
{
    return country.nSide == 1 ? 0xA0000000u : 0xC0000000u;
}

int CheckUnitConstruction(const UNITSTRUCT& unit)
{
    int slot = FindConstructionSlot(unit);
    if (slot < 0) return 129;
    if (unit.dwFlag & kUnitCarried) return 130;
    if (unit.nAmmo[slot] <= 0) return 131;
    if (unit.nFuel < kConstructionFuel) return 132;
    return 0;
}

int ListRouteLayingOptions(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                           std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, bool acted,
                           std::span<int32_t> out)
{
    PairWriter pairs(out);
    const int funds = Funds(game, unit);
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (funds < kCostConversion || !c) {
        pairs.Finish();
        return 134;
    }
    const bool road = funds >= kCostRoad;
    const bool rail = funds >= kCostRailway;
    const MAPCELL ownRail = GetRailwayBit(*c);
    ForEachRouteCandidate(game, cells, hexUnit, unit, [&](HEXINDEX hex, MAPCELL cell) {
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (!t || (IsDeepWater(*t) && CellDurability(cell) == 0)) return;
        uint32_t options = 0;
        const MAPCELL routes = cell & kAllRoutes;
        const MAPCELL rails = routes & (kRail27 | kRail28);
        if (rails == kRail27 || rails == kRail28) {
            const MAPCELL converted = rails ^ (kRail27 | kRail28);
            const MAPCELL combination = (routes & kMinorRoutes) | converted;
            if (!(routes & kMinorRoutes) || !AnyNeighbourCarries(cells, hex, combination)) {
                options |= kLayConversion | (converted == kRail27 ? kLayToRailway27 : 0u);
            }
        }
        if (!acted && RoutesMayBeLaid(*t)) {
            const int count = std::popcount(routes);
            auto offer = [&](bool allowed, MAPCELL bit, uint32_t kind) {
                if (!allowed || (routes & bit)) return;
                if (count == 1 && AnyNeighbourCarries(cells, hex, routes | bit)) return;
                options |= kind | bit;
            };
            if (count <= 1) {
                offer(road, kRouteBit0, kLayRoad);
                offer(rail, ownRail, kLayRailway);
            }
        }
        // Mud: no road can be laid, though the route bit stays in the word.
        if (IsRoadWashedOut(game, cell, 0)) options &= ~kLayRoad;
        if (options) pairs.Add(hex, options);
    });
    if (pairs.Finish() == 0) return 135;
    return 0;
}

int ListRouteRemovalOptions(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                            std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, bool acted,
                            std::span<int32_t> out)
{
    PairWriter pairs(out);
    if (acted) {
        pairs.Finish();
        return 136;
    }
    const int funds = Funds(game, unit);
    MAPCELL affordable = 0;
    for (int k = 0; k < kRouteKinds; ++k) {
        if (funds >= kCostRouteRemoval[k]) affordable |= kRouteBit0 << k;
    }
    if (!affordable) {
        pairs.Finish();
        return 134;
    }
    ForEachRouteCandidate(game, cells, hexUnit, unit, [&](HEXINDEX hex, MAPCELL cell) {
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (!t || RoutesBelongToTerrain(*t)) return;
        MAPCELL options = cell & kAllRoutes & affordable;
        if (IsRoadWashedOut(game, cell, 0)) options &= ~kRouteBit0;
        if (options) pairs.Add(hex, options);
    });
    if (pairs.Finish() == 0) return 135;
    return 0;
}

int CalcDurabilityGain(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, int terrain, int points)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const TRRNSTRUCT* t = TerrainRecord(terrain);
    if (!a || !t) return 0;
    // The rounding half is inside what snow halves.
    int inner = (t->nDurableRate * 10 / std::max(1, a->nStrengthMax)) * points + 5;
    if (IsSnowInForce(game)) inner /= 2;
    return inner / 10;
}

int GetBuiltTerrain(int kind, int terrain, int iceDepth)
{
    int form = 0;
    const TRRNSTRUCT* t = TerrainRecord(terrain);
    switch (kind) {
        case kBuildRepair:
        case kBuildFortress:
        case kBuildRemoveFortress:
            form = t ? t->nBuiltForm : 0;
            break;
        case kBuildAirfield:
            form = terrain == kDesert ? kDesertAirfield : kAirfield;
            break;
        case kBuildRemoveAirfield:
            form = terrain == kDesertAirfield ? kDesert : kPlain;
            break;
        default:
            return terrain;
    }
    const TRRNSTRUCT* f = TerrainRecord(form);
    if (f && f->nIceLimit != 0 && iceDepth >= f->nIceLimit && TerrainRecord(f->nFrozenForm))
        form = f->nFrozenForm;
    return form;
}

int CheckConstructionKind(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                          std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, int kind,
                          bool acted)
{
    return CheckConstructionKindWithFunds(game, cells, hexUnit, unit, kind, acted, Funds(game, unit));
}

int CheckConstructionKindWithFunds(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                                   std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, int kind,
                                   bool acted, int funds)
{
    if (int code = CheckUnitConstruction(unit)) return code;
    const MAPCELL cell = UnitHexCell(cells, unit);
    const int terrain = CellTerrain(cell);
    const TRRNSTRUCT* t = TerrainRecord(terrain);
    std::array<int32_t, 2 * (kHexDirections + 1) + 1> pairs{};
    auto simple = [&](int cost, bool ok, int refusal) {
        if (acted) return 136;
        if (funds < cost) return 134;
        return ok ? 0 : refusal;
    };
    switch (kind) {
        case kBuildAny: {
            for (int k :
                 {kBuildLayRoute, kBuildRemoveRoute, kBuildRepair, kBuildDurability, kBuildFortress}) {
                if (CheckConstructionKindWithFunds(game, cells, hexUnit, unit, k, acted, funds) == 0) return 0;
            }
            return CheckConstructionKindWithFunds(game, cells, hexUnit, unit, kBuildRemoveFortress, acted, funds) != 0
                       ? 133
                       : 0;
        }
        case kBuildLayRoute:
            return ListRouteLayingOptions(game, cells, hexUnit, unit, acted, pairs);
        case kBuildRemoveRoute:
            return ListRouteRemovalOptions(game, cells, hexUnit, unit, acted, pairs);
        case kBuildRepair:
            if (acted) return 136;
            if (funds < kCostRepair) return 134;
            if (CellDurability(cell) != 0) return 137;
            return (t && t->nBuiltForm != 0) ? 0 : 138;
        case kBuildDurability:
            if (acted) return 136;
            if (funds < kCostDurabilityStep) return 134;
            if (CellDurability(cell) >= kMaxDurability) return 139;
            if (!t || t->nDurableRate == 0) return 140;
            return CalcDurabilityGain(game, unit, terrain, unit.nStrength) > 0 ? 0 : 141;
        case kBuildFortress:
            return simple(kCostFortress, t && IsFortressTerrain(t->nBuiltForm), 142);
        case kBuildRemoveFortress:
            return simple(kCostFortressRemoval, IsFortressTerrain(terrain), 143);
        case kBuildAirfield:
            return simple(kCostAirfield, t && IsFortressTerrain(t->nBuiltForm), 142);
        case kBuildRemoveAirfield:
            return simple(kCostAirfieldRemoval, terrain == kAirfield || terrain == kDesertAirfield, 143);
        default:
            return 133;
    }
}

int GetDurabilityIncreaseLimit(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                               const UNITSTRUCT& unit)
{
    const MAPCELL cell = UnitHexCell(cells, unit);
    const int durability = CellDurability(cell);
    const int affordable = (Funds(game, unit) - kCostDurabilityStep) / kCostDurabilityStep;
    const int cap = std::min(unit.nStrength, affordable);
    int steps = 0;
    while (steps < cap &&
           durability + CalcDurabilityGain(game, unit, CellTerrain(cell), steps) < kMaxDurability)
        ++steps;
    return std::max(1, steps);
}

void ExecuteConstructionEffect(GAMEDATASTRUCT& game, std::span<MAPCELL, kHexCount> cells, UNITSTRUCT& unit,
                               int kind, uint32_t value, HEXINDEX hex)
{
    COUNTRYSTRUCT* c = const_cast<COUNTRYSTRUCT*>(UnitCountry(game, unit));
    if (!c) return;
    if (kind != kBuildLayRoute && kind != kBuildRemoveRoute) hex = unit.nHex;
    if (!IsMapHex(hex)) return;
    MAPCELL& live = cells[static_cast<size_t>(hex)];
    MAPCELL& saved = game.dwHexCell[hex];
    auto pay = [&](int cost) { c->nFund = std::max(0, c->nFund - cost); };
    auto setRoutes = [&](MAPCELL set, MAPCELL clear, MAPCELL flip) {
        for (MAPCELL* cell : {&live, &saved}) *cell = ((*cell | set) & ~clear) ^ flip;
    };
    switch (kind) {
        case kBuildLayRoute:
            if (value & kLayRoad) {
                pay(kCostRoad);
                setRoutes(kRouteBit0, 0, 0);
            } else if (value & kLayRailway) {
                pay(kCostRailway);
                setRoutes(value & (kRail27 | kRail28), 0, 0);
            } else if (value & kLayConversion) {
                pay(kCostConversion);
                setRoutes(0, 0, kRail27 | kRail28);
            }
            break;
        case kBuildRemoveRoute: {
            MAPCELL bit = value & kAllRoutes;
            for (int k = 0; k < kRouteKinds; ++k) {
                if (bit & (kRouteBit0 << k)) pay(kCostRouteRemoval[k]);
            }
            setRoutes(0, bit, 0);
            break;
        }
        case kBuildDurability: {
            const int points = static_cast<int>(value);
            pay(kCostDurabilityStep * points);
            const int before = CellDurability(live);
            const int after =
                std::min(kMaxDurability, before + CalcDurabilityGain(game, unit, CellTerrain(live), points));
            live = WithDurability(live, after);
            saved = WithDurability(saved, after);
            AddUnitExperience(unit, (after - before) / 5);
            break;
        }
        case kBuildRepair:
        case kBuildFortress:
        case kBuildRemoveFortress:
        case kBuildAirfield:
        case kBuildRemoveAirfield: {
            static constexpr int kCost[] = {0,
                                            0,
                                            0,
                                            kCostRepair,
                                            0,
                                            kCostFortress,
                                            kCostFortressRemoval,
                                            kCostAirfield,
                                            kCostAirfieldRemoval};
            pay(kCost[kind]);
            const int terrain = CellTerrain(live);
            const int owner = RefCountry(unit.refSelf) < kCountryCount ? RefCountry(unit.refSelf) : -1;
            // The saved copy is the map a new turn starts from: it never freezes.
            const MAPCELL oldLive = live;
            live = BuiltCell(oldLive, GetBuiltTerrain(kind, terrain, IceDepth(game)), owner);
            saved = BuiltCell(oldLive, GetBuiltTerrain(kind, terrain, 0), owner);
            break;
        }
        default:
            return;
    }
    if (unit.nHex == hex) unit.dwHexCell = live;
    // Equipment use.
    int slot = FindConstructionSlot(unit);
    if (slot >= 0 && unit.nAmmo[slot] > 0) --unit.nAmmo[slot];
    unit.nFuel = std::max(0, unit.nFuel - kConstructionFuel);
    unit.dwFlag |= kUnitActed;
}

}  // namespace zrv
