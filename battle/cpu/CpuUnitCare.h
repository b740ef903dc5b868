#pragma once
// The computer turn's routines that look after single units: supply marks,
// diving, improvement and evolution, the air units' weapon sets, the
// objective group and the disbanding of weak units. Each orders the first
// unit that qualifies through the executor and returns 1 (-1 when the order
// failed), or returns 0; the routines that act on every unit say so.

#include <cstdint>

namespace zrv {

class CZRKGameDoc;

// Order word (dwOrder) bit 26: the unit belongs to the objective group.
inline constexpr uint32_t kOrderObjectiveGroup = 0x04000000u;

// All: with clearFirst, computer-player bits 13, 14, 16, 17, 18 of every
// unit of the country and flag bit 30 go; the units needing supply are
// marked, and flag bit 30 is set when any is. Returns 0.
int CpuMarkSupplyNeeds(CZRKGameDoc& doc, bool clearFirst);
// A fit unit the dive check allows, needing no supply, that an enemy weapon
// reaches or whose battery is full: action 16.
int CpuDiveUnits(CZRKGameDoc& doc);
// A fit unit of class 14 or 21 on terrain that does not bar it, whose
// improvement check passes: action 15 with its first improvement type.
int CpuImproveUnits(CZRKGameDoc& doc);
// A fit unit the evolution check allows with a valid target type: action 14.
int CpuEvolveUnits(CZRKGameDoc& doc);
// All: every air unit not acted (carried ones too), not staying or unserved,
// whose arms may change, takes the set its class calls for. Returns 0.
int CpuChooseAirArms(CZRKGameDoc& doc);
// Key-kind units, then class-27 units: while fewer belong to the objective
// group than not, the nearest to the capital join until half (rounded up)
// do. Returns 0.
int CpuAssignObjectiveGroup(CZRKGameDoc& doc);
// A weak unit (strength below 6) that may go is disbanded by chance: 20 %
// for each point below 6, more with an enemy close by, none with the enemy
// 6 or more hexes away; a country below its unit limit keeps units with
// the enemy 2 or more away. The first one disbanded ends the call.
int CpuDisbandWeakUnits(CZRKGameDoc& doc);

}  // namespace zrv
