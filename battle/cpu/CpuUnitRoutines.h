#pragma once
// The routines of the computer turn that look after the country's units,
// and the routine table the program's computer player runs with.

#include "battle/cpu/CpuTurnState.h"

namespace zrv {

class CZRKGameDoc;

// Every unit in use and not carried shows its supply needs: order-word bit
// 21 for fuel or ammunition, bit 22 for strength. Returns 0.
int CpuKeepSupplyMarks(CZRKGameDoc& doc);

class CpuActionExecutor;

// The routines built so far, for the program's computer player.
CpuRoutineTable CpuUnitRoutines();
// The executor's moves go by the route step and its unloading finds the
// next cargo as the transport routines do.
void ConnectCpuOrders(CpuActionExecutor& executor, CZRKGameDoc& doc, CpuTurnState& state);

}  // namespace zrv
