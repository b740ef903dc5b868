#include "battle/cpu/CpuUnitRoutines.h"

#include "battle/cpu/CpuAttackOrders.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/engine/GameDoc.h"

namespace zrv {

int CpuKeepSupplyMarks(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitCarried)) continue;
        u.dwOrder &= ~(kOrderShowsNeedsStock | kOrderShowsNeedsStrength);
        if (u.dwSupplyFlag & kCpuUnitNeedsStock) u.dwOrder |= kOrderShowsNeedsStock;
        if (u.dwSupplyFlag & kCpuUnitNeedsStrength) u.dwOrder |= kOrderShowsNeedsStrength;
    }
    return 0;
}

CpuRoutineTable CpuUnitRoutines()
{
    CpuRoutineTable table;
    table.Set(CpuRoutine::KeepSupplyMarks,
              [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuKeepSupplyMarks(doc); });
    table.Set(CpuRoutine::ActUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuActUnits(doc, state, a.a, a.b != 0, a.c != 0);
    });
    table.Set(CpuRoutine::AttackUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuAttackUnits(doc, state, a.a != 0);
    });
    table.Set(CpuRoutine::AttackBestUnit, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuAttackBestUnit(doc, state, a.a);
    });
    return table;
}

}  // namespace zrv
