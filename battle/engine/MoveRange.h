#pragma once
// Movement range and route search: the step-cost grid of a unit, the reach
// map from its hex, the destinations it may end on this turn, the route back
// from a chosen hex, walking that route, and fuel.
//
// Step-cost grid word (one per hex): low 16 bits the cost of entering over
// the terrain; bits 24-28 the route kinds present and open; bit 16 a route
// strong enough for the unit; bit 17 impassable terrain with a route too weak.
//
// Reach map word: low 16 bits the cheapest cost from the start; flags below.
// Costs are kept below kCostSaturated so that a sum never spills into them.

#include <cstdint>
#include <span>

#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRules.h"
#include "battle/engine/Sight.h"
#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr uint32_t kGridCostMask = 0x0000FFFFu;
inline constexpr uint32_t kGridStrongRoute = 0x00010000u;
inline constexpr uint32_t kGridWeakRoute = 0x00020000u;
inline constexpr uint32_t kGridRouteMask = 0x1F000000u;

inline constexpr uint32_t kReachCostMask = 0x0000FFFFu;
inline constexpr uint32_t kReachNotReached = 0x80000000u;
inline constexpr uint32_t kReachNoDestination = 0x40000000u;
inline constexpr uint32_t kReachStrongRoute = 0x20000000u;
inline constexpr uint32_t kReachBlocked = 0x10000000u;  // a unit the mover may not end on
inline constexpr uint32_t kReachZoneOfControl = 0x08000000u;
inline constexpr uint32_t kReachEnemy = 0x04000000u;
// Destination users test both: reached and a destination.
inline constexpr uint32_t kReachNotDestination = kReachNotReached | kReachNoDestination;

// The largest cost a search keeps; a sum above it stays at it.
inline constexpr int kCostSaturated = 0x7FFF;

// Message codes of the area checks.
inline constexpr int kErrNoFuelRange = 78;
inline constexpr int kErrOutsideSides = 79;
inline constexpr int kErrAlreadyMoved = 80;
inline constexpr int kErrCarried = 81;
inline constexpr int kErrNoDestination = 82;
inline constexpr int kErrNoNeighbourOpen = 83;

// The carrier class whose cargo may move off it (a unit carried by any other
// class cannot move on its own).
inline constexpr int kClassFreeCargoCarrier = 58;

// Route back-tracking result when no route could be built.
inline constexpr int kRouteFailed = -1;
// Longest route the back-tracking builds: one step per hex of the map.
inline constexpr int kMaxRouteSteps = kHexCount;

// How the reach search keeps its open list. Both give the same reach maps
// (a test over random maps holds them to it); the scan is the reference.
enum class OpenList : int { kBuckets, kLinearScan };

// Options of the cost grid and the area computations.
struct MoveAreaOptions {
    bool bCarriedOk = false;        // a carried unit may move whatever its carrier
    bool bIgnoreSideMask = false;   // only cells closed to all block
    bool bNoSubmerge = false;       // a submerged submarine uses its surface row
    bool bNoUnits = false;          // other units neither block nor exert zones
    HEXINDEX startHex = kNoHex;     // kNoHex: the unit's map hex
    OpenList openList = OpenList::kBuckets;
};

// Fuel a unit can spend: its battery (first cut to the type's capacity, which
// is stored), plus fuel and drop-tank rounds unless it runs on the battery alone.
int GetFuelRange(UNITSTRUCT& unit, const GAMEDATASTRUCT& state);

// The step-cost grid; 0, or the refusal 78, 80, 81, 79 (checked in that order).
int BuildMoveCostGrid(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                      HexWords grid, const MoveAreaOptions& options = {});

// The reach map over a grid built for the unit. 0, or kErrNoNeighbourOpen when
// the start lies off the map (the reach map is then all unreached).
int ExpandMoveArea(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                   HexWords grid, HexWords reach, const MoveAreaOptions& options, const MoveRules& rules);

// Grid, then reach map when the grid is allowed; the grid's code.
int ComputeMoveArea(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                    HexWords grid, HexWords reach, const MoveAreaOptions& options, const MoveRules& rules);

// The move area with the destinations of this turn: 0 when some hex is a
// destination, else 82, or 83 when not one neighbour of the unit was reached;
// a grid refusal as it stands. Non-destinations get kReachNoDestination.
int CheckUnitMove(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                  HexWords grid, HexWords reach, const MoveRules& rules, const MoveAreaOptions& options = {});

// The area of a march: no units and no per-turn cap; 82 when no reached hex
// lies within the fuel range.
int CheckMarchArea(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                   HexWords grid, HexWords reach, const MoveRules& rules);

// Turns to reach hex: 0 for the unit's own hex; -1 when the area check fails
// (other than 82), the hex is not reached, or the unit has no movement points.
// With bWithDistance: turns << 16 | distance.
int TurnsToReach(HEXINDEX hex, UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                 std::span<const MAPCELL, kHexCount> cells, HexWords grid, HexWords reach, bool bWithDistance,
                 const MoveRules& rules);

// The route from the hex after fromHex to toHex, -1-terminated, traced back
// over the reach map. Ties of equal reach cost go to the lower flags[hex] &
// mask (flags may be empty: all 0), then the cheaper step, then the direction
// that points towards fromHex, then the earlier direction. Returns the number
// of hexes, or kRouteFailed with an empty route when no route can be built.
int BuildRouteToHex(const UNITSTRUCT& unit, HEXINDEX fromHex, HEXINDEX toHex, std::span<const uint32_t> grid,
                    std::span<const uint32_t> reach, std::span<HEXINDEX> outRoute,
                    std::span<const uint32_t> flags = {}, uint32_t mask = 0);

// The last hex of the route, the unit's hex for an empty one.
HEXINDEX GetRouteEndHex(const UNITSTRUCT& unit, std::span<const HEXINDEX> route);

// Walk results.
enum WalkResult : int {
    kWalkComplete = 0,       // walked to the end
    kWalkAmbushed = 1,       // stopped next to a hidden enemy, on a free hex
    kWalkShortened = 2,      // cut back to the last free hex
    kWalkNoFreeHex = 3,      // no free hex on the route: the route is emptied
};

// Walks the route (cut in place): a hidden enemy that can fire at close range
// next to a route hex stops the walk there; an occupied end is cut back.
int WalkRoute(UNITSTRUCT& unit, std::span<HEXINDEX> route, const GAMEDATASTRUCT& state,
              std::span<const MAPCELL, kHexCount> cells, HexUnits unitMap, const MoveRules& rules);

// nMoved += cost; battery recharge; fuel from drop tanks, then fuel, then the
// battery (or from the battery alone). The battery never goes below 0.
void ConsumeMoveFuel(UNITSTRUCT& unit, int cost, bool bFromBattery);

// Moves a unit that has not moved this turn: hex, fuel, the moved flag. Its
// cargo keeps hex -1 and goes with it through its carrier. Returns false
// when it had moved already.
bool MoveUnitToHex(UNITSTRUCT& unit, GAMEDATASTRUCT& state, HEXINDEX hex, int cost, bool bFromBattery);

// Fuel used at the end of a unit's action.
int GetMinimumFuelUse(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state, const MoveRules& rules);

// Writes the unit, then its cargo, their cargo and so on (each carrier's cargo
// in slot order), ended by null; at most out.size() - 1 units, each once, so a
// cyclic chain from a damaged file ends. Returns the number written.
int ListUnitWithCargo(UNITSTRUCT& unit, GAMEDATASTRUCT& state, std::span<UNITSTRUCT*> out);

}  // namespace zrv
