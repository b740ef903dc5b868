#pragma once
// The computer's carriers: where their cargo can get off, which cargo gets
// off where, the hex a carrier heads for, and the routines that move
// carriers and unload them.

#include <cstdint>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Reach map bit 25: cargo can get off from this hex; bit 24: a landing or
// shore hex.
inline constexpr uint32_t kReachUnloadHex = 1u << 25;
inline constexpr uint32_t kReachLandingHex = 1u << 24;
// Computer-player word bit 23: the carrier is done for this turn; order
// word bit 24: no transport destination.
inline constexpr uint32_t kCpuUnitCarrierDone = 1u << 23;
inline constexpr uint32_t kOrderNoTransportGoal = 1u << 24;
// An unload answer with this bit is the unload check's refusal code.
inline constexpr int32_t kUnloadRefused = INT32_MIN;
inline constexpr int32_t kUnloadNoNeighbour = kUnloadRefused | 124;
inline constexpr int32_t kUnloadRough = kUnloadRefused | 126;
// A transport destination beyond the target.
inline constexpr int32_t kDestinationBeyond = 0x8000;

// The rating of hex for cargo heading to goal, lower is better: the
// distance, + 0x10000 for each neighbour the cargo's side cannot see; with
// strict + 0x100000 for each seen neighbour holding an enemy unit and
// + 0x1000000 for each neighbour the enemy side owns.
int32_t CpuRateUnloadHex(CZRKGameDoc& doc, HEXINDEX hex, const UNITSTRUCT& cargo, HEXINDEX goal, bool strict);
// Marks with reach bit 25 the hexes of the carrier's reach (the document's
// reach map) from which its cargo can get off; a ship without a reachable
// enemy capital marks only home-area hexes. The carrier's own hex when the
// cargo can get off there, else 0.
HEXINDEX CpuMarkUnloadHexes(CZRKGameDoc& doc, UNITSTRUCT& carrier);
// The next cargo to unload at the carrier's hex: (cargo slot << 16) | hex,
// -1 when none, or the unload check's code | bit 31.
int32_t CpuFindUnloadTarget(CZRKGameDoc& doc, UNITSTRUCT& carrier, bool next, bool toward);
// Of the hexes with reach bit 25 and without bits 30 and 31 (those with bit
// 23 the side cannot see left out), the one nearest hex; hex without one.
HEXINDEX CpuFindSaferHex(CZRKGameDoc& doc, HEXINDEX hex, int side);
// Where the carrier goes with its cargo (| 0x8000 beyond the target), -1
// with order-word bit 24.
int32_t CpuFindTransportDestination(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& carrier, bool defensive);
// One carrier's turn: wait, move toward its destination, unload. 1 acted,
// 0 nothing, -1 refused.
int CpuTransportUnit(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& carrier, bool firstKind);
int CpuRunTransports(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
