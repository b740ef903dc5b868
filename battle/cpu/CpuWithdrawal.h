#pragma once
// Units that fall back: the withdrawal marks by the force ratio, the
// return to a carrier or base, the disbanding of returned units and of a
// surplus of key-kind units, and the withdrawal of units that cannot fire.

#include <cstdint>

#include "battle/cpu/CpuTurnState.h"
#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Computer-player word bit 15: marked to withdraw; level field bit 30: the
// marks were made without the reach test.
inline constexpr uint32_t kCpuUnitWithdraws = 0x00008000u;
inline constexpr int32_t kLevelWithdrawNoReach = 0x40000000;

// 0 when a fitted weapon can hit something and has rounds, else 1.
int HasNoLoadedWeapon(const UNITSTRUCT& unit);
// 1 when hex stands on one of the hex lists mask picks (1, 2, 4, 8: lists
// 0 to 3), 0 otherwise or for a negative hex.
int CpuIsHexListed(const CpuTurnState& state, HEXINDEX hex, int mask);
// Marks the country's units that should fall back; their number.
int CpuMarkWithdrawals(CZRKGameDoc& doc, CpuTurnState& state);
// The routines (1 acted, 0 nothing, -1 refused).
int CpuReturnToBase(CZRKGameDoc& doc, CpuTurnState& state);
int CpuDisbandReturnedUnits(CZRKGameDoc& doc, CpuTurnState& state);
int CpuWithdrawAndMerge(CZRKGameDoc& doc, CpuTurnState& state);
// Key-kind units beyond half the country's capture score in class-30
// strength go by chance, the farther from the enemy the likelier.
int CpuDisbandClassSurplus(CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
