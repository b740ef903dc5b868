#pragma once
// The computer's bombers: the standing bombing march to the hex of the
// highest rating, the target an air unit bombs this turn, and the routine
// that sends the bombers out.

#include <cstdint>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Claim map bit 28: a hex bombed this turn.
inline constexpr uint32_t kClaimBombed = 0x10000000u;
// Claim map bits 30 and 31: a hex a standing march already goes to.
inline constexpr uint32_t kClaimMarchTarget = 0xC0000000u;

// The rating of a march target: (91 - terrain index) << 16 + durability.
int32_t CpuRateMarchTarget(MAPCELL cell);
// The first unit able to march that bombs: it takes the best rated hex no
// march goes to yet as a standing march order and ends its action.
int CpuOrderBombingMarch(CZRKGameDoc& doc, CpuTurnState& state);
// The hex the air unit bombs this turn, or -1: among the hexes it reaches,
// by the rating's class, the threat, the rating's worth and the route cost;
// then anywhere it reaches with an owner by the lowest threat.
HEXINDEX CpuFindBombingTargetHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit);
// The bombers (candidate kind 5) whose weapons reach a target: air units fly
// there and bomb or attack, others bomb from where they stand. 1, 0 or -1.
int CpuBombTargets(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
