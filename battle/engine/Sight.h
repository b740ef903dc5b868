#pragma once
// Sight and fog of war: which hexes each side's sensors reach (the coverage
// map), whether a side sees, merely senses or does not know a unit (the unit
// marks), and which hexes are in fog for the country whose view is shown.
//
// Coverage word, per side s = 0, 1, 2 (2: countries outside both camps). A
// SET bit means the side does NOT cover the hex with that sensor.

#include <cstdint>
#include <span>

#include "battle/engine/MoveRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

constexpr uint32_t CoverSightBit(int s) { return 1u << s; }
constexpr uint32_t CoverRadarBit(int s) { return 8u << s; }
constexpr uint32_t CoverSonarBit(int s) { return 64u << s; }
constexpr uint32_t CoverCloseBit(int s) { return 512u << s; }
constexpr uint32_t CoverAllBits(int s) { return CoverSightBit(s) | CoverRadarBit(s) | CoverSonarBit(s) | CoverCloseBit(s); }

// Sensor ranges beyond this many hexes are taken as this many: a damaged
// library value must not make a search walk the map a thousand times over.
inline constexpr int kMaxSensorRange = kMapSize - 1;

using HexCells = std::span<MAPCELL, kHexCount>;
using HexWords = std::span<uint32_t, kHexCount>;
using ConstHexWords = std::span<const uint32_t, kHexCount>;
using HexUnits = std::span<const UnitRef, kHexCount>;

// Result bits of SearchFromUnitPath.
inline constexpr uint32_t kSearchFoundUnit = 0x00000001u;
inline constexpr uint32_t kSearchFoundGround = 0x80000000u;

// Sight range under the weather effect word (GetWeatherEffect): weather
// first (an air unit sees 1 in any weather but fine; a storm gives a ship or
// a unit in the water 1 and halves the rest; fog and sandstorm give 1), then
// darkness; halved at most once, rounding up. 0 for a type outside the library.
int GetSightRange(const UNITSTRUCT& unit, int weatherEffect);

// The coverage bits of one side (0..2) over the whole map.
void BuildSideCoverage(int side, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                       HexWords coverage);

// The marks of one unit for one side, from the coverage word of its hex. A
// unit off the map keeps its marks.
void UpdateUnitDetection(UNITSTRUCT& unit, int side, ConstHexWords coverage);

// The full rebuild for the viewing country: coverage and marks of every side,
// then the fog cells. A viewing country index outside 0..7 counts as one
// without fog of war.
void RecomputeCoverage(int viewCountry, GAMEDATASTRUCT& state, HexCells cells, HexWords coverage);

// The fog bit of every cell for the viewing country, by its search mode.
void MarkFogCells(int viewCountry, const GAMEDATASTRUCT& state, HexCells cells, ConstHexWords coverage);

// The incremental search of a moving unit over the hexes it passes (read up
// to a -1 or the end of the span). Returns kSearchFoundUnit when it uncovered
// a unit and kSearchFoundGround when it uncovered ground.
uint32_t SearchFromUnitPath(UNITSTRUCT& unit, GAMEDATASTRUCT& state, HexCells cells, HexUnits unitMap,
                            HexWords coverage, std::span<const HEXINDEX> path, bool bUpdateCells);

// 1 when side s perceives the unit on a hex with that coverage word.
int IsUnitPerceived(const UNITSTRUCT& unit, uint32_t coverageWord, int side);

// Units of the other side of country within range of hex that its side can see.
int CountVisibleEnemies(HEXINDEX hex, int range, int country, const GAMEDATASTRUCT& state);

}  // namespace zrv
