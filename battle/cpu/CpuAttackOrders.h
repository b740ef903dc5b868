#pragma once
// The computer's attacks over its whole list of units: the unit whose
// attack is best moves to its firing hex and fires, or fires where it
// stands.

#include "battle/cpu/CpuTurnState.h"

namespace zrv {

class CZRKGameDoc;

// Every candidate (units aboard class-58 carriers too) is evaluated with
// its advance policy, with the position search unless it stays; the best
// attacker goes to its firing hex and attacks. With skipBusy, marked units
// count and busy ones are passed over. Right after new detections only an
// attack of bit 29 or 30 is made. 1 after an attack or a move, 0 none, -1
// an order failed.
int CpuAttackUnits(CZRKGameDoc& doc, CpuTurnState& state, bool skipBusy);

// The defensive turn's attack: kind 1 passes over units needing supply and
// lets units round the capital fire only while the enemy stands next to
// it; each unit's policy follows from where it stands. Results as above.
int CpuAttackBestUnit(CZRKGameDoc& doc, CpuTurnState& state, int kind);

}  // namespace zrv
