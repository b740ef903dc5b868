#pragma once
// What the computer player keeps of a turn between two idle passes, beside
// the document's flag word, step index, counters and work lists: the hex
// lists its routines read and the note that says for whom the threat map in
// the low halves of the claim map was built. Allocated once with the player
// and rebuilt at step 0 of each computer turn, by nothing else.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

struct CpuTurnState {
    CpuTurnState();

    // Round the own capital, by domain: 0 the capital, ring 1 and ground
    // hexes of kind 0; 1 air hexes; 2 ground hexes; 3 naval hexes.
    std::vector<HEXINDEX> hexList[4];
    // The objective's candidate hexes of kinds 0, 1 and 3 within 5 hexes of
    // it; the target list is the same list.
    std::vector<HEXINDEX> objectiveArea;
    const std::vector<HEXINDEX>& TargetList() const { return objectiveArea; }

    // The low halves of the claim map hold the threat against units of
    // threatCountry's side for threatKind; -1: they hold something else.
    int threatCountry = -1;
    int threatKind = -1;
    bool ThreatBuiltFor(int country, int kind) const
    {
        return threatCountry == country && threatKind == kind;
    }
    // Any other use of the low halves (counters, marks) calls this.
    void ForgetThreat() { threatCountry = threatKind = -1; }

    // Passes since step 0 of this turn.
    int passes = 0;

    // Scratch of the route step, allocated once: the step-cost grids of the
    // reach and of the approach, the approach cost to the target from every
    // hex, and the route.
    std::vector<uint32_t> grid, approachGrid, approach;
    std::vector<HEXINDEX> route;
    // The hexes the country may take, as the unit orders list them.
    std::vector<HEXINDEX> baseHexes;
    // The searches' hex lists (ended by -1) and the refuel search's keyed
    // entries, one hex each at most.
    std::vector<int32_t> hexes, moreHexes;
    std::vector<std::pair<uint32_t, int32_t>> keyedHexes;
    // The supply search's copies of the three work maps.
    std::vector<uint32_t> savedMove, savedWork, savedMark;

    // Empties everything, keeping the lists' storage.
    void Clear();
};

// The routines of the turn's steps. Each one looks for the first unit with
// something to do, orders it and returns 1, or returns 0 (negative: an
// order was refused) when no unit qualifies.
enum class CpuRoutine : int {
    OrderBombingMarch,
    EvolveUnits,
    ImproveUnits,
    DisbandWeakUnits,
    MarkSupplyNeeds,  // a: clear first
    ChooseAirArms,
    DiveUnits,
    SurfaceUnits,
    AssignObjectiveGroup,
    MoveToSupply,
    JoinUnits,  // a: list 0, 1 or 2
    EvacuateWeakUnits,
    ResupplyUnits,  // a: with automatic supply
    ActUnits,       // a, b, c
    BuildWorks,     // a: 0 first pass, 1 second
    RefuelUnits,    // a, b
    AttackUnits,    // a
    ScoutObjective,
    MarkHomeArea,
    BombTargets,
    ReturnToBase,
    GuardCapital,
    RunTransports,
    RedeployNearCapital,
    DisbandReturnedUnits,
    ManoeuvreUnits,
    PlanProduction,
    ProduceUnits,  // a: 1 first call of the turn
    ClearProductionHex,
    DisbandForProduction,  // a: kind 1 or 2
    WithdrawAndMerge,
    AttackBestUnit,  // a: kind 1 or 2
    DisbandForFunds,
    MergeUnits,
    RallyToCapital,
    KeepSupplyMarks,
    Count
};

struct CpuRoutineArgs {
    int a = 0;
    int b = 0;
    int c = 0;
};

using CpuRoutineFn = std::function<int(CZRKGameDoc&, CpuTurnState&, const CpuRoutineArgs&)>;

// The routines the player knows; a routine not given counts as 0.
class CpuRoutineTable {
public:
    void Set(CpuRoutine routine, CpuRoutineFn fn) { m_fn[Index(routine)] = std::move(fn); }
    bool Has(CpuRoutine routine) const { return static_cast<bool>(m_fn[Index(routine)]); }
    int Call(CpuRoutine routine, CZRKGameDoc& doc, CpuTurnState& state, const CpuRoutineArgs& args) const
    {
        const CpuRoutineFn& fn = m_fn[Index(routine)];
        return fn ? fn(doc, state, args) : 0;
    }

private:
    static size_t Index(CpuRoutine r) { return static_cast<size_t>(r); }
    CpuRoutineFn m_fn[static_cast<size_t>(CpuRoutine::Count)];
};

}  // namespace zrv
