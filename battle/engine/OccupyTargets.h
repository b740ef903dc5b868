#pragma once
// Where the computer player's units should go: occupiable hexes to take, the
// destination key of a hex, the choice among candidate hexes, and threat
// tests. They read the game state, the map cells, the unit map and the reach
// map of the move area; they write only the unit's choice fields.
//
// Ties between equal keys are decided by the game's random draws (an odd draw
// replaces the current best), passed in so that tests can script them.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "battle/engine/MoveRange.h"
#include "battle/engine/MoveRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

using RandomDraw = std::function<int()>;

// No hex found by PickFewestTurnsHex.
inline constexpr int kNoTurnsHex = 0x7FFFFFFF;
// Bits ChooseUnitDestination puts on the hex it returns.
inline constexpr int kDestAmongOwnUnits = 0x20000000;
inline constexpr int kDestWiderArea = 0x40000000;
// Claim-map bit: another unit has taken the hex.
inline constexpr uint32_t kClaimTaken = 0x40000000u;
// Order bit: the unit heads for its country's objective.
inline constexpr uint32_t kOrderToObjective = 0x04000000u;

// Occupiable hexes for country: writes at most out.size() - 1 hexes and -1
// (nothing written with an empty out); returns how many were found.
int ListOccupiableHexes(int country, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                        HexUnits unitMap, std::span<HEXINDEX> out);

// Turns << 16 | cost of the listed hex reached in the fewest turns (ties to
// the larger cost), kNoTurnsHex when none; the hex (or -1) goes to nCpuScore.
int PickFewestTurnsHex(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const uint32_t, kHexCount> reach,
                       HexUnits unitMap, std::span<const HEXINDEX> hexList, bool bMode);

// For an in-use, uncarried unit that may occupy: the nearest occupiable hex in
// turns (turns << 16 | cost, hex in nCpuScore), 0 when none.
int FindReachableOccupiableHex(UNITSTRUCT& unit, int country, const GAMEDATASTRUCT& state,
                               std::span<const MAPCELL, kHexCount> cells, HexWords grid, HexWords reach,
                               HexUnits unitMap, bool bCheckReach, bool bMode, const MoveRules& rules);

// Sorts count hexes of the list (at least 2) by reach cost, then distance.
void SortHexesByTurnsAndDistance(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                                 std::span<const uint32_t, kHexCount> reach, HexUnits unitMap, int count,
                                 std::span<HEXINDEX> hexList, bool bAddDistance);

// The destination key of a hex (lower is better).
int ScoreHexForDestination(MAPCELL cell, int cost, int move, bool bOwnTarget);

// Adds the distance from hex to the country's objective into the key's low
// byte (capped at 255) for a unit heading for the objective.
int AddObjectiveDistanceToScore(const UNITSTRUCT& unit, int country, HEXINDEX hex, int score,
                                const GAMEDATASTRUCT& state);

// 1 when the unit stands on a threatened hex of its own country.
int IsOwnCityThreatened(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                        std::span<const MAPCELL, kHexCount> cells, HexUnits unitMap,
                        std::span<const int32_t> enemyList);

// Everything a destination choice reads.
struct DestinationContext {
    GAMEDATASTRUCT& state;
    std::span<const MAPCELL, kHexCount> cells;
    HexWords grid;
    HexWords reach;
    HexUnits unitMap;
    std::span<const uint32_t, kHexCount> claims;
    std::span<const int32_t> enemyList;  // -1-terminated
    const MoveRules& rules;
    RandomDraw draw;
};

// The best listed candidate in the reach map, or -1; its key goes to nCpuScore.
int PickBestCandidateHex(UNITSTRUCT& unit, std::span<const HEXINDEX> list, const DestinationContext& ctx,
                         std::span<const uint32_t, kHexCount> reach, bool bKeepFirst);

// Among own units that have not acted within this turn's reach, the one whose
// hex has the lowest key; its hex, or -1.
int PickDestinationAmongOwnUnits(UNITSTRUCT& unit, std::span<const HEXINDEX> list, const DestinationContext& ctx,
                                 std::span<const uint32_t, kHexCount> reach);

// The unit's destination hex (with kDestAmongOwnUnits or kDestWiderArea), or
// -1 when the unit cannot act; the key stays in nCpuScore.
int ChooseUnitDestination(UNITSTRUCT& unit, std::span<const HEXINDEX> candidates, const DestinationContext& ctx,
                          bool bOwnUnits);

// Clears unit flag bit 2 of every in-use unit of the 8 countries.
void ClearUnitFlag4(GAMEDATASTRUCT& state);

}  // namespace zrv

namespace zrv {

class CZRKGameDoc;

// What the computer turn's set-up takes from the computer player's and the
// country rules, until those are wired.
struct CpuTurnSetupRules {
    // The capital search: country << 16 | hex, negative when none. Mode 0
    // looks at countries still in play, mode 1 at any. probe is null when the
    // country has no capital to start from.
    std::function<int32_t(const UNITSTRUCT* probe, int mode)> capitalSearch;
    // Keeps the country's capture score and capital guard distance for the
    // turn (the document's computer work area).
    std::function<void(COUNTRYSTRUCT& country)> storeScores;
    // Deployment hexes of kind 0..3 for country among ring (-1-terminated
    // into out); returns the count.
    std::function<int(int country, int kind, std::span<const HEXINDEX> ring, std::span<HEXINDEX> out)>
        filterCandidateHexes;
};

// The candidate lists of one computer turn, by kind (index = kind; an unused
// kind stays empty) and appended in the order the computer player reads them.
struct CpuTurnAreas {
    std::vector<HEXINDEX> objectiveByKind[4];  // kinds 0, 1 and 3 round the objective
    std::vector<HEXINDEX> capitalByKind[4];    // kinds 0, 2, 1 and 3 round the capital
    std::vector<HEXINDEX> objectiveList;       // kinds 0, 1, 3 appended
    std::vector<HEXINDEX> capitalList;         // kinds 0, 2, 1, 3 appended
};

// The set-up at the start of a computer-run country's turn (the current
// country): claim map, cell marks, enemy list, own unit marks, the objective
// and the candidate lists. The appended lists also go into the document's
// hex lists 0 (objective) and 1 (capital), cut to their capacity.
CpuTurnAreas PrepareCpuTurn(CZRKGameDoc& doc, const CpuTurnSetupRules& rules);

}  // namespace zrv
