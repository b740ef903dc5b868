#pragma once
// The capital's guard: the units marked to withdraw by their rating, the
// hex a unit redeploys to next to one of them, the garrison hex a carrier
// takes a listed unit from, the guard hexes round the home area's city, and
// the two routines that redeploy units and guard the capital.

#include <cstdint>
#include <span>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Order word bit 23: the unit has been redeployed or guards its hex.
inline constexpr uint32_t kOrderRedeployed = 1u << 23;

// The units marked to withdraw (unless all, fit and not staying), highest
// withdrawal rating first, ended by kNoUnit; their number.
int CpuBuildWithdrawList(CZRKGameDoc& doc, CpuTurnState& state, bool all, std::span<UnitRef> out);
// Among the listed units whose withdrawal category the unit can carry (a
// ground unit: only those with a neighbour hex it reaches), the nearest
// one's hex; -1 for none or a type counted in single pieces.
HEXINDEX CpuFindRedeployHex(CZRKGameDoc& doc, const UNITSTRUCT& unit, std::span<const UnitRef> list);
// The carrier's hex to wait at for one of the listed units, the farthest
// from target winning (rand() & 1 on a tie); -1 for none.
HEXINDEX CpuFindGarrisonHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& carrier, std::span<const UnitRef> list,
                            HEXINDEX target);
// The free hexes with a route cost (or the unit's own) within 3 rings of the
// home area's city nearest capital, off city terrain, into out (ended by
// -1) when the rings hold 8 hexes or more; their number.
int CpuListGuardHexes(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX capital, std::span<HEXINDEX> out);
// The routines (1 acted, 0 nothing, -1 refused).
int CpuRedeployNearCapital(CZRKGameDoc& doc, CpuTurnState& state);
int CpuGuardCapital(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
