#pragma once
// How the computer's units gather strength: the partner search over a set
// of hexes, the merge and join hexes built on it, and the routines that
// move a unit next to its partner and merge the two.

#include <cstdint>
#include <span>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Computer-player word bit 19: the partner search found this unit fit.
inline constexpr uint32_t kCpuUnitPartnerFit = 0x00080000u;

// Partner search kinds.
inline constexpr int kPartnerUnserved = 0;   // partners their owner cannot serve where they stand
inline constexpr int kPartnerOrdinary = 1;
inline constexpr int kPartnerOrdinary2 = 2;
inline constexpr int kPartnerOwnHex = 3;      // by strength, round the unit's own hex
inline constexpr int kPartnerOwnHexNear = 4;  // by strength and neighbourhood, round its own hex
inline constexpr int kPartnerOnList = 5;      // partners on the hex list, by strength and neighbourhood

// Over hexes (ended by -1 or the span's end): a unit of the same country
// and type next to a hex that suits the kind; the last one taken gives
// (its slot << 16) | the hex, or -1. With actedOnly only partners that
// have acted or stay. Ordinary partners the unit could take whole get bit 19.
int32_t CpuSearchPartner(CZRKGameDoc& doc, int kind, std::span<const HEXINDEX> hexes, UNITSTRUCT& unit,
                         std::span<const HEXINDEX> hexList, bool actedOnly);
// The unit's merge hex: on the hex list round its own hex only (-1 at full
// strength), elsewhere over the hexes it reaches this turn.
int32_t CpuFindMergeHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, std::span<const HEXINDEX> hexList);
// The partner search of kind over the unit's own hex and its reach.
int32_t CpuFindJoinHex(CZRKGameDoc& doc, CpuTurnState& state, int kind, UNITSTRUCT& unit,
                       std::span<const HEXINDEX> hexList, bool actedOnly);

// Moves the unit to the join hex of packed ((partner slot << 16) | hex) and
// gathers the strength of the two in the better placed one: 1 ordered, 0
// nothing done (a unit that moved but is not next to its partner ends its
// move), -1 refused.
int CpuMoveAndJoin(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, int32_t packed);
// List 0 units short of fuel, 1 short of strength, 2 every unit: the first
// that joins a partner ends the walk.
int CpuJoinUnits(CZRKGameDoc& doc, CpuTurnState& state, int list);
// Joins of list 1 until a round orders nothing (at most 64 rounds).
int CpuJoinUntilDone(CZRKGameDoc& doc, CpuTurnState& state);
// The nearest units to the capital first: the first with a merge partner
// goes next to it and merges.
int CpuMergeUnits(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
