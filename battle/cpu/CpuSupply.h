#pragma once
// Where the computer's units find supply: the hexes whose owner serves
// them, refuel hexes with carriers and supply units, the withdrawal hex a
// unit falls back to, the hex a supply unit serves most from, and the
// routines that send units there.

#include <cstdint>
#include <span>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Refuel list entries: a hex served by a resupply test, a class-58 unit's hex.
inline constexpr int32_t kRefuelResupply = 0x10000;
inline constexpr int32_t kRefuelSupplyUnit = 0x20000;
// Computer-player word bit 14: the unit withdraws nowhere.
inline constexpr uint32_t kCpuUnitNoWithdrawal = 0x00004000u;

// The country cannot produce: at its unit limit, or short of the dearest
// type of classes 0 to 32 (or without one).
bool CannotProduce(const COUNTRYSTRUCT& country);

// Every hex whose cell is open to the unit's side and whose owner would
// supply it, in index order, ended by -1; their number.
int CpuListOwnerSupplyHexes(CZRKGameDoc& doc, const UNITSTRUCT& unit, std::span<int32_t> out);
// The same hexes, leaving out those on exclude (ended by -1 or its end),
// in ascending order of their route words (equal words by hex).
int CpuListSupplyHexes(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit,
                       std::span<const uint32_t, kHexCount> route, std::span<int32_t> out,
                       std::span<const HEXINDEX> exclude);
// The hexes with a route cost: owner hexes, then hexes a resupply would
// serve (| 0x10000) for a unit short of fuel or ammunition, then class-58
// units with room (| 0x20000) for a unit of carry class 0; each group by
// its cost. Ended by -1; their number.
int CpuListRefuelHexes(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit,
                       std::span<const uint32_t, kHexCount> route, std::span<int32_t> out,
                       std::span<const HEXINDEX> exclude);
// The hex the unit withdraws to over route (its reach this turn): the
// nearest by route among the least claimed refuel hexes, or the cheapest
// one its fuel reaches when that is safe; -1 with computer-player bit 14.
// A production list is left free while the country can produce.
HEXINDEX CpuFindWithdrawalHex(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit,
                              std::span<const uint32_t, kHexCount> route, std::span<const HEXINDEX> production, int mode);
// The hex in the supply unit's reach from which it serves the largest
// resupply cost of own units round it; -1 when it serves none.
HEXINDEX CpuFindSupplyHexForStock(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, int mode);

// The supply hex of a unit that needs supply (with b: only with an enemy
// about), -1 otherwise. The work maps are as they were afterwards.
HEXINDEX CpuFindSupplyHex(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit, int a, int b);

// The routines (1 ordered, 0 nothing to do, -1 refused).
int CpuRefuelUnits(CZRKGameDoc& doc, CpuTurnState& state, int a, int b);
int CpuMoveToSupply(CZRKGameDoc& doc, CpuTurnState& state);
int CpuResupplyUnits(CZRKGameDoc& doc, CpuTurnState& state, bool withAutoSupply);
int CpuSurfaceUnits(CZRKGameDoc& doc, CpuTurnState& state);
int CpuEvacuateWeakUnits(CZRKGameDoc& doc, CpuTurnState& state);

// The follow-up a routine owes when a unit left its base (flag bit 24):
// the bit is cleared first, so that each setting brings one follow-up.
int CpuFollowBaseLeft(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
