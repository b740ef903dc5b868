#include "battle/cpu/CpuUnitRoutines.h"

#include "battle/cpu/CpuAttackOrders.h"
#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuBombing.h"
#include "battle/cpu/CpuCapitals.h"
#include "battle/cpu/CpuGuard.h"
#include "battle/cpu/CpuManoeuvre.h"
#include "battle/cpu/CpuMerge.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuSupply.h"
#include "battle/cpu/CpuTransport.h"
#include "battle/cpu/CpuUnitCare.h"
#include "battle/cpu/CpuUnitOrders.h"
#include "battle/cpu/CpuWithdrawal.h"
#include "battle/cpu/CpuWorks.h"
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
    table.Set(CpuRoutine::MarkSupplyNeeds, [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs& a) {
        return CpuMarkSupplyNeeds(doc, a.a != 0);
    });
    table.Set(CpuRoutine::DiveUnits, [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuDiveUnits(doc); });
    table.Set(CpuRoutine::ImproveUnits,
              [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuImproveUnits(doc); });
    table.Set(CpuRoutine::EvolveUnits,
              [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuEvolveUnits(doc); });
    table.Set(CpuRoutine::ChooseAirArms,
              [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuChooseAirArms(doc); });
    table.Set(CpuRoutine::AssignObjectiveGroup,
              [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuAssignObjectiveGroup(doc); });
    table.Set(CpuRoutine::DisbandWeakUnits,
              [](CZRKGameDoc& doc, CpuTurnState&, const CpuRoutineArgs&) { return CpuDisbandWeakUnits(doc); });
    table.Set(CpuRoutine::AttackUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuAttackUnits(doc, state, a.a != 0);
    });
    table.Set(CpuRoutine::AttackBestUnit, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuAttackBestUnit(doc, state, a.a);
    });
    table.Set(CpuRoutine::RefuelUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuRefuelUnits(doc, state, a.a, a.b);
    });
    table.Set(CpuRoutine::MoveToSupply,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuMoveToSupply(doc, state); });
    table.Set(CpuRoutine::ResupplyUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuResupplyUnits(doc, state, a.a != 0);
    });
    table.Set(CpuRoutine::SurfaceUnits,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuSurfaceUnits(doc, state); });
    table.Set(CpuRoutine::EvacuateWeakUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuEvacuateWeakUnits(doc, state);
    });
    table.Set(CpuRoutine::JoinUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuJoinUnits(doc, state, a.a);
    });
    table.Set(CpuRoutine::MergeUnits,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuMergeUnits(doc, state); });
    table.Set(CpuRoutine::BuildWorks, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& a) {
        return CpuBuildWorks(doc, state, a.a);
    });
    table.Set(CpuRoutine::OrderBombingMarch, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuOrderBombingMarch(doc, state);
    });
    table.Set(CpuRoutine::BombTargets,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuBombTargets(doc, state); });
    table.Set(CpuRoutine::ManoeuvreUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuManoeuvreUnits(doc, state);
    });
    table.Set(CpuRoutine::RallyToCapital, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuRallyToCapital(doc, state);
    });
    table.Set(CpuRoutine::ReturnToBase,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuReturnToBase(doc, state); });
    table.Set(CpuRoutine::DisbandReturnedUnits, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuDisbandReturnedUnits(doc, state);
    });
    table.Set(CpuRoutine::WithdrawAndMerge, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuWithdrawAndMerge(doc, state);
    });
    table.Set(CpuRoutine::ScoutObjective, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuScoutObjective(doc, state);
    });
    table.Set(CpuRoutine::MarkHomeArea,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuMarkHomeArea(doc, state); });
    table.Set(CpuRoutine::GuardCapital,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuGuardCapital(doc, state); });
    table.Set(CpuRoutine::RunTransports,
              [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) { return CpuRunTransports(doc, state); });
    table.Set(CpuRoutine::RedeployNearCapital, [](CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs&) {
        return CpuRedeployNearCapital(doc, state);
    });
    return table;
}

void ConnectCpuOrders(CpuActionExecutor& executor, CZRKGameDoc& doc, CpuTurnState& state)
{
    executor.SetMoveToward([&doc, &state](UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags) {
        return CpuMoveUnitToward(doc, state, unit, target, flags);
    });
    executor.SetUnloadFinder([&doc](UNITSTRUCT& carrier, bool search) {
        return CpuFindUnloadTarget(doc, carrier, true, search);
    });
}

}  // namespace zrv
