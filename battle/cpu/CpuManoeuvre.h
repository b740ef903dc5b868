#pragma once
// The computer's free units on the move: whether a unit is settled where it
// stands, where it goes otherwise (supply, hunting grounds, the enemy's
// capital, enemy land, a fallback hex), the rally round the capital, and
// the two walks over the country's units with their follow-ups.

#include <cstdint>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// 1 when the unit stays where it is this pass.
int CpuIsUnitSettled(CZRKGameDoc& doc, const UNITSTRUCT& unit);
// A hex on hex lists 1 and 3 in the unit's reach on city (first) or fort
// terrain, nearest first; else the capital without an objective, else the
// objective; -1 for a ground unit on hex list 0 without an objective.
HEXINDEX CpuFindFallbackHex(CZRKGameDoc& doc, CpuTurnState& state, const UNITSTRUCT& unit);
// The cheapest-to-reach enemy unit of the domain the unit's weapon set
// hunts (sets 3 and 12: domain 3, 4 and 13: domain 4); -1 for none.
HEXINDEX CpuFindHuntingHex(CZRKGameDoc& doc, const UNITSTRUCT& unit);
// A supply unit's free hex next to the own unit short of fuel or
// ammunition it reaches most cheaply; -1 for none.
HEXINDEX CpuFindSupplyNeighbourHex(CZRKGameDoc& doc, const UNITSTRUCT& unit);

// 1 acted, 0 nothing, -1 refused.
int CpuManoeuvreUnit(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit);
int CpuRallyUnit(CZRKGameDoc& doc, CpuTurnState& state, UNITSTRUCT& unit);
int CpuManoeuvreUnits(CZRKGameDoc& doc, CpuTurnState& state);
int CpuRallyToCapital(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
