#pragma once
// The computer's view of the capitals: the enemy capital a unit heads for,
// the area a standard land unit covers from a hex, the home area round the
// own capital, whether a unit can scout the objective and the scouting
// routine, and the approach of a ship to a target it cannot reach.

#include <cstdint>
#include <span>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Claim map bits 27 and 26: the home area, and its city hexes without an
// objective.
inline constexpr uint32_t kClaimHomeArea = 1u << 27;
inline constexpr uint32_t kClaimHomeCity = 1u << 26;
// Computer-player word bit 11: a key-kind unit that reaches a base hex.
inline constexpr uint32_t kCpuUnitReachesBase = 1u << 11;

// The nearest enemy capital the cost map reaches, else any; -1 for none.
int32_t FindEnemyCapitalForUnit(CZRKGameDoc& doc, const UNITSTRUCT& unit, std::span<const uint32_t, kHexCount> cost);
// The move area of a scratch unit of type (the library's land unit for 0)
// of country from start, into out; 1 when it was built without refusal.
// The scratch record takes no serial and enters no map.
int CpuLandMoveArea(CZRKGameDoc& doc, CpuTurnState& state, int type, HEXINDEX start, const COUNTRYSTRUCT& country,
                    std::span<uint32_t, kHexCount> out);
// 1 when a land unit at the country's capital is refused its area or
// reaches a capital of the other side.
int CpuCapitalLandCheck(CZRKGameDoc& doc, CpuTurnState& state, const COUNTRYSTRUCT& country);
// Claim bit 27 on the hexes a land unit reaches from the capital sooner
// than from the nearest enemy capital; then the class-26 marks, the
// withdrawal marks and bit 11 of key-kind units that reach a base. 0.
int CpuMarkHomeArea(CZRKGameDoc& doc, CpuTurnState& state);
// 0 for a ground unit without an objective, or when the objective's area
// holds an unseen enemy within the unit's sight; else 1.
int CpuCanScout(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit);
// A candidate that sees the objective better than any unit of the side
// does moves to the last seen hex but one of its route there. 1, 0, -1.
int CpuScoutObjective(CZRKGameDoc& doc, CpuTurnState& state);
// The reachable hex nearest target, from which the ship's area is expanded
// again: the cheapest hex of that area it may end on; -1 when the target
// is reached already or nothing is.
HEXINDEX CpuFindNavalApproachHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, HEXINDEX target);

}  // namespace zrv
