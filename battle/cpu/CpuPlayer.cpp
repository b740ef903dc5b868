#include "battle/cpu/CpuPlayer.h"

#include <array>
#include <cstdio>

#include "battle/engine/GameDoc.h"
#include "battle/engine/OccupyTargets.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"

namespace zrv {

namespace {

using R = CpuRoutine;
using W = CpuWork;
using Rule = CpuRule;

constexpr CpuStepRow Run(R routine, Rule rule, CpuRoutineArgs args = {}, int target = 0)
{
    return {W::Routine, routine, args, rule, target};
}
constexpr CpuStepRow Do(W work, Rule rule, int target = 0, R routine = R::Count, CpuRoutineArgs args = {})
{
    return {work, routine, args, rule, target};
}

// Steps 12, 13, 32, 61 and 62 clear flag bit 24 before their join list.
constexpr bool ClearsBaseLeft(int step)
{
    return step == 12 || step == 13 || step == 32 || step == 61 || step == 62;
}

constexpr std::array<CpuStepRow, kCpuLastStep + 1> kSteps = {{
    /* 0 */ Do(W::Start, Rule::Stay),
    // The normal turn.
    /* 1 */ Run(R::OrderBombingMarch, Rule::Repeat),
    /* 2 */ Run(R::EvolveUnits, Rule::Repeat),
    /* 3 */ Run(R::ImproveUnits, Rule::Repeat),
    /* 4 */ Do(W::AutoSupply, Rule::Advance),
    /* 5 */ Run(R::DisbandWeakUnits, Rule::Repeat),
    /* 6 */ Run(R::MarkSupplyNeeds, Rule::Advance, {1}),
    /* 7 */ Run(R::ChooseAirArms, Rule::Advance),
    /* 8 */ Run(R::DiveUnits, Rule::Repeat),
    /* 9 */ Run(R::SurfaceUnits, Rule::Repeat),
    /* 10 */ Run(R::AssignObjectiveGroup, Rule::Advance),
    /* 11 */ Run(R::MoveToSupply, Rule::Repeat),
    /* 12 */ Run(R::JoinUnits, Rule::Repeat, {1}),
    /* 13 */ Run(R::JoinUnits, Rule::Repeat, {0}),
    /* 14 */ Run(R::EvacuateWeakUnits, Rule::Repeat),
    /* 15 */ Run(R::ResupplyUnits, Rule::Repeat, {1}),
    /* 16 */ Run(R::ActUnits, Rule::Repeat, {9, 1, 0}),
    /* 17 */ Run(R::BuildWorks, Rule::Repeat, {0}),
    /* 18 */ Run(R::RefuelUnits, Rule::Repeat, {1, 1}),
    /* 19 */ Do(W::AirArmsAttack, Rule::Repeat),
    /* 20 */ Run(R::MarkSupplyNeeds, Rule::Advance, {1}),
    /* 21 */ Run(R::RefuelUnits, Rule::Repeat, {1, 0}),
    /* 22 */ Do(W::AttackIfFound, Rule::Repeat),
    /* 23 */ Do(W::Scout, Rule::BackIfSet, 22),
    /* 24 */ Run(R::MarkHomeArea, Rule::Advance),
    /* 25 */ Run(R::BombTargets, Rule::Repeat),
    /* 26 */ Run(R::ReturnToBase, Rule::Repeat),
    /* 27 */ Run(R::GuardCapital, Rule::BackIfSet, {}, 26),
    /* 28 */ Run(R::RunTransports, Rule::Repeat),
    /* 29 */ Run(R::RedeployNearCapital, Rule::Repeat),
    /* 30 */ Run(R::ReturnToBase, Rule::Repeat),
    /* 31 */ Run(R::DisbandReturnedUnits, Rule::Repeat),
    /* 32 */ Run(R::JoinUnits, Rule::Repeat, {2}),
    /* 33 */ Run(R::ActUnits, Rule::Repeat, {10, 1, 0}),
    /* 34 */ Run(R::ManoeuvreUnits, Rule::Repeat),
    /* 35 */ Run(R::ActUnits, Rule::Repeat, {9, 0, 1}),
    /* 36 */ Do(W::ClearPassedOver, Rule::Advance),
    /* 37 */ Run(R::ResupplyUnits, Rule::Repeat, {0}),
    /* 38 */ Run(R::BuildWorks, Rule::Repeat, {1}),
    /* 39 */ Do(W::PlanWithTally, Rule::Advance),
    /* 40 */ Do(W::ProduceFirst, Rule::Advance),
    /* 41 */ Run(R::PlanProduction, Rule::Advance),
    /* 42 */ Do(W::Produce, Rule::Repeat),
    /* 43 */ Run(R::ClearProductionHex, Rule::BackIfSet, {}, 42),
    /* 44 */ Run(R::DisbandForProduction, Rule::BackIfSet, {1}, 41),
    /* 45 */ Run(R::ManoeuvreUnits, Rule::Repeat),
    /* 46 */ Run(R::WithdrawAndMerge, Rule::Repeat),
    /* 47 */ Run(R::PlanProduction, Rule::Advance),
    /* 48 */ Do(W::Produce, Rule::Repeat),
    /* 49 */ Do(W::EndTurn, Rule::Stay),
    // The defensive turn.
    /* 50 */ Do(W::Nothing, Rule::Advance),
    /* 51 */ Run(R::OrderBombingMarch, Rule::Repeat),
    /* 52 */ Run(R::DisbandWeakUnits, Rule::Repeat),
    /* 53 */ Run(R::EvolveUnits, Rule::Repeat),
    /* 54 */ Run(R::ImproveUnits, Rule::Repeat),
    /* 55 */ Do(W::AutoSupply, Rule::Advance),
    /* 56 */ Run(R::MarkSupplyNeeds, Rule::Advance, {1}),
    /* 57 */ Run(R::ChooseAirArms, Rule::Advance),
    /* 58 */ Run(R::DiveUnits, Rule::Repeat),
    /* 59 */ Run(R::SurfaceUnits, Rule::Repeat),
    /* 60 */ Run(R::MoveToSupply, Rule::Repeat),
    /* 61 */ Run(R::JoinUnits, Rule::Repeat, {1}),
    /* 62 */ Run(R::JoinUnits, Rule::Repeat, {0}),
    /* 63 */ Run(R::ActUnits, Rule::Repeat, {9, 1, 0}),
    /* 64 */ Run(R::BuildWorks, Rule::Repeat, {0}),
    /* 65 */ Run(R::AttackBestUnit, Rule::Repeat, {1}),
    /* 66 */ Run(R::BuildWorks, Rule::Repeat, {1}),
    /* 67 */ Run(R::RefuelUnits, Rule::Repeat, {1, 0}),
    /* 68 */ Run(R::MarkHomeArea, Rule::Advance),
    /* 69 */ Run(R::BombTargets, Rule::Repeat),
    /* 70 */ Run(R::ReturnToBase, Rule::Repeat),
    /* 71 */ Run(R::GuardCapital, Rule::BackIfSet, {}, 70),
    /* 72 */ Run(R::RunTransports, Rule::Repeat),
    /* 73 */ Do(W::ClearPassedOver, Rule::Advance),
    /* 74 */ Do(W::PlanWithTally, Rule::Advance),
    /* 75 */ Do(W::Produce, Rule::Repeat),
    /* 76 */ Run(R::ClearProductionHex, Rule::BackIfSet, {}, 75),
    /* 77 */ Do(W::DisbandForFunds, Rule::JumpIfZero, 80),
    /* 78 */ Do(W::Produce, Rule::Repeat),
    /* 79 */ Do(W::ClearHexIgnored, Rule::Always, 77),
    /* 80 */ Do(W::ClearPassedOver, Rule::Advance),
    /* 81 */ Run(R::AttackBestUnit, Rule::Repeat, {2}),
    /* 82 */ Run(R::MergeUnits, Rule::Repeat),
    /* 83 */ Run(R::RallyToCapital, Rule::Repeat),
    /* 84 */ Run(R::PlanProduction, Rule::Advance),
    /* 85 */ Do(W::Produce, Rule::Repeat),
    /* 86 */ Run(R::DisbandForProduction, Rule::BackIfSet, {2}, 84),
    /* 87 */ Run(R::WithdrawAndMerge, Rule::Repeat),
    /* 88 */ Do(W::EndTurn, Rule::Stay),
}};

void LogToStderr(const std::string& line)
{
    std::fprintf(stderr, "ZRVGame: %s\n", line.c_str());
}

}  // namespace

const CpuStepRow& CpuStep(int step)
{
    return kSteps[static_cast<size_t>(step)];
}

// --- turn state -----------------------------------------------------------------------------

CpuTurnState::CpuTurnState()
    : grid(kHexCount),
      approachGrid(kHexCount),
      approach(kHexCount),
      route(kHexCount + 1),
      hexes(kHexCount + 1),
      moreHexes(kHexCount + 1),
      keyedHexes(kHexCount + kUnitSlots + 1),
      savedMove(kHexCount),
      savedWork(kHexCount),
      savedMark(kHexCount)
{
    baseHexes.reserve(kHexCount + 1);
    // Room for a whole candidate ring of each kind, so that a turn's set-up
    // does not allocate.
    for (auto& list : hexList) list.reserve(92);
    objectiveArea.reserve(3 * 92);
}

void CpuTurnState::Clear()
{
    for (auto& list : hexList) list.clear();
    objectiveArea.clear();
    ForgetThreat();
    passes = 0;
}

// --- the driver --------------------------------------------------------------------------------

CpuPlayer::CpuPlayer(CpuRoutineTable routines) : m_routines(std::move(routines)), m_log(LogToStderr) {}

int CpuPlayer::CallRoutine(CZRKGameDoc& doc, CpuRoutine routine, const CpuRoutineArgs& args)
{
    return m_routines.Call(routine, doc, m_state, args);
}

void CpuPlayer::StartTurn(CZRKGameDoc& doc)
{
    doc.m_dwCpuFlags = 0;
    doc.m_nCpuStep = 1;
    m_state.Clear();
    for (int32_t& n : doc.m_nCpuCounter) n = 0;
    for (int32_t& n : doc.m_CpuWork.nClassList) n = 0;
    const COUNTRYSTRUCT* cur = doc.m_pCurCountry;
    if (cur == nullptr || cur->nSide >= 2) {
        // Such a country never plays: its phase ends at the next pass.
        doc.m_nCpuStep = kCpuNormalEndStep;
        return;
    }
    const CpuTurnAreas areas = PrepareCpuTurn(doc, MakeCpuTurnSetupRules(doc));
    // The engine numbers its kinds 1 naval, 2 ground, 3 air; the lists go by
    // domain: 0 capital ring, 1 air, 2 ground, 3 naval.
    static constexpr int kKindOfList[4] = {0, 3, 2, 1};
    for (int i = 0; i < 4; ++i) {
        const auto& from = areas.capitalByKind[kKindOfList[i]];
        m_state.hexList[i].assign(from.begin(), from.end());
    }
    m_state.objectiveArea.assign(areas.objectiveList.begin(), areas.objectiveList.end());
    // PrepareCpuTurn cleared the claim map.
    m_state.ForgetThreat();
    if (IsCapitalThreatened(doc.m_GameData, doc.m_GameData.nCurCountry)) {
        doc.m_dwCpuFlags |= kCpuFlagDefensive;
        doc.m_nCpuStep = kCpuFirstDefensiveStep;
    }
    doc.NotifyView(14);
}

void CpuPlayer::EndTurn(CZRKGameDoc& doc)
{
    CallRoutine(doc, CpuRoutine::KeepSupplyMarks);
    doc.EndActionPhase(false);
    doc.NotifyView(15);
}

int CpuPlayer::RunWork(CZRKGameDoc& doc, const CpuStepRow& row)
{
    switch (row.work) {
    case W::Start:
        StartTurn(doc);
        return 0;
    case W::Nothing:
        return 0;
    case W::Routine:
        return CallRoutine(doc, row.routine, row.args);
    case W::AutoSupply:
        if (doc.ListAutoSupplyUnits({})) {
            // The order has no unit of its own.
            UNITSTRUCT none{};
            doc.ExecuteCpuAction(kCpuActSupply, none, 0);
        }
        return 0;
    case W::ClearPassedOver:
        if (COUNTRYSTRUCT* cur = doc.m_pCurCountry) {
            for (UNITSTRUCT& u : cur->Unit) u.dwSupplyFlag &= ~kCpuUnitPassedOver;
        }
        return 0;
    case W::PlanWithTally:
        for (int32_t& n : doc.m_CpuWork.nClassList) n = 0;
        return CallRoutine(doc, R::PlanProduction);
    case W::ProduceFirst:
        doc.m_dwCpuFlags = 8;
        return CallRoutine(doc, R::ProduceUnits, {1});
    case W::Produce:
        if ((doc.m_dwCpuFlags & kCpuCategoryMask) >= kCpuCategoryDone) return 0;
        return CallRoutine(doc, R::ProduceUnits, {0});
    case W::AirArmsAttack:
        CallRoutine(doc, R::ChooseAirArms);
        return CallRoutine(doc, R::AttackUnits, {1});
    case W::AttackIfFound:
        if (!(doc.m_dwCpuFlags & kCpuFlagSearchFound)) return 0;
        CallRoutine(doc, R::ChooseAirArms);
        return CallRoutine(doc, R::AttackUnits, {1});
    case W::Scout:
        doc.m_dwCpuFlags &= ~kCpuFlagSearchFound;
        if (doc.m_pCurCountry == nullptr || !(doc.m_pCurCountry->dwFlag & kCountryFog)) return 0;
        return CallRoutine(doc, R::ScoutObjective);
    case W::DisbandForFunds: {
        const uint32_t before = doc.OrdersDone();
        int r = CallRoutine(doc, R::DisbandForFunds);
        if (r > 0 && doc.OrdersDone() == before) r = 0;
        if (r > 0) CallRoutine(doc, R::PlanProduction);
        return r;
    }
    case W::ClearHexIgnored:
        CallRoutine(doc, R::ClearProductionHex);
        return 0;
    case W::EndTurn:
        EndTurn(doc);
        return 0;
    }
    return 0;
}

void CpuPlayer::RunCpuTurnStep(CZRKGameDoc& doc)
{
    const int step = doc.m_nCpuStep;
    doc.NotifyView(16, step);

    if (step < 0 || step > kCpuLastStep) {
        // No such step: the turn ends as at step 49 rather than running on.
        EndTurn(doc);
        return;
    }
    if (step != 0 && ++m_state.passes > m_budget) {
        ++m_budgetStops;
        const COUNTRYSTRUCT* cur = doc.m_pCurCountry;
        m_log("the computer's phase of country " + std::to_string(cur ? cur->nIndex : -1) + " passed " +
              std::to_string(m_budget) + " steps without ending at step " + std::to_string(step) +
              "; it ends here");
        EndTurn(doc);
        return;
    }

    const CpuStepRow& row = kSteps[static_cast<size_t>(step)];
    if (ClearsBaseLeft(step)) doc.m_dwCpuFlags &= ~kCpuFlagBaseLeft;
    const uint32_t ordersBefore = doc.OrdersDone();
    int result = RunWork(doc, row);
    // A routine that says it acted while no order went through would hold
    // the step for ever; the producer alone moves on by its category.
    const bool producer = row.work == W::Produce || row.work == W::ProduceFirst;
    if (result > 0 && !producer && doc.OrdersDone() == ordersBefore) result = 0;

    // A surrender or a load during the step set the index anew: it stands.
    if (doc.m_nCpuStep == step) {
        switch (row.rule) {
        case Rule::Advance:
            doc.m_nCpuStep = step + 1;
            break;
        case Rule::Repeat:
            if (result <= 0) doc.m_nCpuStep = step + 1;
            break;
        case Rule::BackIfSet:
            doc.m_nCpuStep = result > 0 ? row.target : step + 1;
            break;
        case Rule::JumpIfZero:
            doc.m_nCpuStep = result > 0 ? step + 1 : row.target;
            break;
        case Rule::Always:
            doc.m_nCpuStep = row.target;
            break;
        case Rule::Stay:
            break;
        }
    }
    if (doc.m_nCpuStep < 0) doc.m_nCpuStep = 0;
    if (doc.m_dwCpuFlags & kCpuFlagRestartTurn) {
        doc.m_dwCpuFlags &= ~kCpuFlagRestartTurn;
        doc.m_nCpuStep = 0;
    }
}

}  // namespace zrv
