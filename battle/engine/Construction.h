#pragma once
// Construction by units with construction equipment: laying and removing
// routes, repairing ruined terrain, raising a hex's durability, building or
// removing fortresses and airfields. Each kind has a check returning a
// message code and an effect on the live map, the saved map copy and the
// unit; the document's order back-end dispatches the effects.

#include <cstdint>
#include <span>

#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

enum ConstructionKind : int {
    kBuildAny = 0,
    kBuildLayRoute = 1,
    kBuildRemoveRoute = 2,
    kBuildRepair = 3,
    kBuildDurability = 4,
    kBuildFortress = 5,
    kBuildRemoveFortress = 6,
    kBuildAirfield = 7,
    kBuildRemoveAirfield = 8,
};

// Prices of the works (war funds).
inline constexpr int kCostRoad = 200;
inline constexpr int kCostRailway = 150;
inline constexpr int kCostConversion = 50;
inline constexpr int kCostRepair = 500;
inline constexpr int kCostDurabilityStep = 10;
inline constexpr int kCostFortress = 400;
inline constexpr int kCostFortressRemoval = 100;
inline constexpr int kCostAirfield = 5000;
inline constexpr int kCostAirfieldRemoval = 100;
// Removal of route kinds 0..4 (cell bits 24..28).
inline constexpr int kCostRouteRemoval[kRouteKinds] = {200, 300, 500, 100, 100};

inline constexpr int kMaxDurability = 250;
inline constexpr int kBuiltDurability = 50;
inline constexpr int kConstructionFuel = 10;

// Route laying options (one word per hex): low half 1 road, 2 railway,
// 4 conversion; the route bits to be set; bit 16 when a conversion results
// in the bit-27 railway.
inline constexpr uint32_t kLayRoad = 0x1u;
inline constexpr uint32_t kLayRailway = 0x2u;
inline constexpr uint32_t kLayConversion = 0x4u;
inline constexpr uint32_t kLayToRailway27 = 0x10000u;

// The equipment slot with the most rounds; -1 when the type has none.
int FindConstructionSlot(const UNITSTRUCT& unit);
// The railway route bit a country lays (cell bit 28 for two country ids, else 27).
MAPCELL GetRailwayBit(const COUNTRYSTRUCT& country);
// Map-cell bits closed to the country's side.
MAPCELL GetSideCellMask(const COUNTRYSTRUCT& country);

int CheckUnitConstruction(const UNITSTRUCT& unit);
// Pairs (hex, option word) into out, ended by -1; 0, 134 or 135.
int ListRouteLayingOptions(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                           std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, bool acted,
                           std::span<int32_t> out);
// Pairs (hex, removable route bits) into out, ended by -1; 0, 134, 135, 136.
int ListRouteRemovalOptions(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                            std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, bool acted,
                            std::span<int32_t> out);
// Durability a construction of `points` strength adds on the terrain.
int CalcDurabilityGain(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, int terrain, int points);
// The check of one kind (0 = any), the unit check first.
int CheckConstructionKind(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                          std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, int kind,
                          bool acted);
// 地形修復 and 耐久増加 by their own names.
inline int CheckTerrainRepair(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                              std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit, bool acted)
{
    return CheckConstructionKind(game, cells, hexUnit, unit, kBuildRepair, acted);
}
inline int CheckDurabilityIncrease(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                                   std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit,
                                   bool acted)
{
    return CheckConstructionKind(game, cells, hexUnit, unit, kBuildDurability, acted);
}
// Largest affordable number of durability steps that still adds durability; at least 1.
int GetDurabilityIncreaseLimit(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                               const UNITSTRUCT& unit);
// The terrain a hex takes for kinds 3 and 5-8, frozen by the ice depth when it applies.
int GetBuiltTerrain(int kind, int terrain, int iceDepth);

// The effect of a kind; value: kind 1 the option word, kind 2 the route bit,
// kind 4 the points. Route kinds work on hex, the others on the unit's hex.
// Changes the live cells, the saved copy, the unit and the country's funds.
void ExecuteConstructionEffect(GAMEDATASTRUCT& game, std::span<MAPCELL, kHexCount> cells, UNITSTRUCT& unit,
                               int kind, uint32_t value, HEXINDEX hex);

}  // namespace zrv
