#pragma once
// The ordinary orders of a computer-run country's units: the lists of units
// to act on, sorted by key, and the walk that sends each toward a hex to
// take, occupies it, or attacks where it stands.

#include <cstdint>
#include <span>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Order word (dwOrder) bit 27: the destination lies within 3 turns.
inline constexpr uint32_t kOrderDestinationNear = 0x08000000u;

// Candidate list kinds with a key of their own; any other kind (0 among
// them) takes every unit by strength << 24 + price << 8 + experience.
inline constexpr int kCandidateKeyKind = 1;    // key-kind units by strength << 16 + experience
inline constexpr int kCandidateByCapital = 2;  // distance to the capital, supply needs first
inline constexpr int kCandidateStock = 3;      // units with supply stock, by the stock left
inline constexpr int kCandidateRefit = 4;      // distance to the capital, the neediest first
inline constexpr int kCandidateBombers = 5;    // units armed to bomb, by the engine's value
inline constexpr int kCandidateCarriers = 7;   // carriers by their load
inline constexpr int kCandidateUnmoved = 8;    // the unmoved-class units, naval first
inline constexpr int kCandidateScouts = 11;    // fast units far from the enemy, ground first

// The current country's units for list kind, sorted by key (keys compare as
// signed words; ascending or not) into out, ended by kNoUnit; their number
// (at most 64). A unit qualifies in use and not acted, and unless marked
// units are included without computer-player bits 13 and 22; a carried unit
// only with allowCarried, aboard a class-58 carrier that has not acted, in
// weather that lets carriers launch, standing at its carrier's hex.
int BuildCandidateList(CZRKGameDoc& doc, int kind, bool ascending, bool allowCarried, bool includeMarked,
                       std::span<UnitRef> out);

// The current country's fit units that need strength (computer-player bit
// 18; unless strengthOnly, bit 14 clear too) or fuel and ammunition (bit
// 17), the neediest first: (255 - fuel for fuel-using types) << 23 + the
// price of the strength (at most 127) << 16 + strength << 8 + experience.
int ListUnitsNeedingStrength(CZRKGameDoc& doc, bool strengthOnly, std::span<UnitRef> out);
int ListUnitsNeedingFuel(CZRKGameDoc& doc, std::span<UnitRef> out);

// The units of the current country for list kind 6, 9 or 10, sorted by key
// (ascending or not) into out (ended by kNoUnit); their number. Kind 9:
// every unit, by its base search (distance << 16 | cost, or the distance to
// the capital + 0x10000000 without a base) + (250 - strength) << 8; kind
// 10: key-kind units on a hex of TerrainBase byte 3 bit 6 or with a base at
// distance 1; kind 6: units marked to make way, by their withdrawal rating.
int BuildActionList(CZRKGameDoc& doc, CpuTurnState& state, int kind, bool ascending, std::span<UnitRef> out);

// Walks the list of kind and orders each unit toward the hex it should
// take: 1 when some unit acted, 0 none, -1 an order failed.
int CpuActUnits(CZRKGameDoc& doc, CpuTurnState& state, int kind, bool reachableOnly, bool allowSwaps);

// The merge of unit with partner when strength can pass between them
// (action 11); the executor's result, 0 when nothing passes.
int CpuMergeInto(CZRKGameDoc& doc, UNITSTRUCT& unit, UNITSTRUCT& partner);

}  // namespace zrv
