#pragma once
// What the steps of a country's phase share with their callers: the unit and
// country bits they read and write, and the small rules that can be checked
// on their own. The steps themselves are members of CZRKGameDoc.

#include <cstdint>

#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

// Unit flag bits (UNITSTRUCT::dwFlag) cleared at the end of a phase: acted,
// and the bits 0-12 of what the unit did in it.
inline constexpr uint32_t kUnitPhaseBits = kUnitActed | 0x00001FFFu;
// Unit order bits (UNITSTRUCT::dwOrder).
inline constexpr uint32_t kOrderMarch = 0x20000000u;  // a standing march order
// Supply flag bits a unit keeps from one phase to the next.
inline constexpr uint32_t kSupplyKeptBits = 0x0000000Fu;
// Country view option bits the phase opening sets and clears.
inline constexpr uint32_t kViewMapShown = 0x80000000u;
inline constexpr uint32_t kViewCpuPhaseSet = 0xA8000000u;    // bits 31, 29, 27
inline constexpr uint32_t kViewCpuPhaseClear = 0x42000000u;  // bits 30, 25
inline constexpr uint32_t kViewCountryShown = 0x88000000u;   // bits 31, 27
inline constexpr uint32_t kViewCpuControlled = 0x10000000u;  // bit 28

// Funds never grow beyond this.
inline constexpr int kFundMax = 9999999;

// Enemy units nearer than this to a capital press it to move.
inline constexpr int kCapitalThreatDistance = 6;
// Percent chance that a capital moves with n enemy units near it: 10 for
// each unit beyond the fifth.
constexpr int CapitalRelocationChance(int enemyUnits)
{
    return (enemyUnits * 5 - 25) * 2;
}

// A campaign scenario after the first, on its first turn.
bool IsCampaignOpeningTurn(const GAMEDATASTRUCT& game, uint32_t gameOption);

}  // namespace zrv
