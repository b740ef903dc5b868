#pragma once
// How the computer's units move: the route step toward a target hex and the
// move that follows it through the executor, with the claim map's heading
// count and the carrier test of the routines that send units to a hex.

#include <cstdint>

#include "battle/cpu/CpuTurnState.h"
#include "battle/engine/CpuSeams.h"
#include "battle/engine/HexGeometry.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Results of CpuMoveUnitToward.
inline constexpr int kCpuMoveFailed = -1;
inline constexpr int kCpuMoveNone = 0;
inline constexpr int kCpuMoveMoved = 1;
inline constexpr int kCpuMoveDone = 2;
inline constexpr int kCpuMoveHeldForFuel = 3;

// Claim map (m_dwHexCpu) words.
inline constexpr uint32_t kClaimTaking = 0x40000000u;        // bit 30: a unit of strength 7 or more takes it
inline constexpr uint32_t kClaimHeadingMask = 0x000F0000u;   // bits 16-19: units heading for the hex
inline constexpr int kClaimHeadingShift = 16;
inline constexpr int kClaimHeadingMax = 15;

// Computer-player word (dwSupplyFlag) bits of the routines.
inline constexpr uint32_t kCpuUnitStay = 0x00002000u;       // bit 13
inline constexpr uint32_t kCpuUnitNeedsStock = 0x00020000u;     // bit 17: fuel or ammunition
inline constexpr uint32_t kCpuUnitNeedsStrength = 0x00040000u;  // bit 18
// Order word (dwOrder) bits that show the two supply needs.
inline constexpr uint32_t kOrderShowsNeedsStock = 0x00200000u;     // bit 21
inline constexpr uint32_t kOrderShowsNeedsStrength = 0x00400000u;  // bit 22

struct CpuRouteStepResult {
    HEXINDEX step = kNoHex;  // kNoHex: no step
    int cost = 0;            // the route cost from the unit's hex to the target
};

// The hex the unit moves to this turn on its way to target (a low half of 0
// names the capital): among the hexes it reaches, the one nearest the target
// by route cost, no farther than its own hex unless the options or an enemy
// next to it say otherwise; the step is the last hex of the route to it that
// the unit's movement points and fuel reach, on which it may end and which
// holds no unit. Never the unit's own hex. Fills the document's reach map.
CpuRouteStepResult CpuRouteStep(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, HEXINDEX target,
                                const CpuMoveFlags& flags);

// Moves the unit toward target through the executor: -1 failure, 0 no move
// (the unit did not leave its hex), 1 moved, 2 done (it acted, ended its
// action next to an occupied target, or boarded a carrier), 3 held back for
// fuel.
int CpuMoveUnitToward(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, HEXINDEX target,
                      const CpuMoveFlags& flags);

// One more unit heading for hex, counted up to 15.
void CpuCountHeadingUnits(CZRKGameDoc& doc, HEXINDEX hex);
int CpuHeadingUnits(const CZRKGameDoc& doc, HEXINDEX hex);

// 1 when a class-58 unit of the unit's country stands on hex and the unit
// may board it.
int IsCarrierAtHex(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX hex);

}  // namespace zrv
