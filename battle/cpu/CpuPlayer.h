#pragma once
// The computer player's turn driver: one step of a computer-run country's
// phase per idle pass. The steps are a table (step -> work, rule); the work
// of most steps is a routine of the routine table, which units-acting and
// production fill in. The player also owns the turn state of CpuTurnState.

#include <cstdint>
#include <functional>
#include <string>

#include "battle/cpu/CpuTurnState.h"
#include "battle/engine/CpuSeams.h"

namespace zrv {

// Flag word of the computer turn (CZRKGameDoc::m_dwCpuFlags) as the driver
// reads it; the engine's own bits are in GameDoc.h.
inline constexpr uint32_t kCpuCategoryMask = 0x0000FFFFu;  // production category
inline constexpr uint32_t kCpuCategoryDone = 16;           // and above: no more production
inline constexpr uint32_t kCpuFlagShortOfGarrison = 0x08000000u;  // bit 27
inline constexpr uint32_t kCpuFlagAirProduced = 0x10000000u;      // bit 28
inline constexpr uint32_t kCpuFlagSupplyNeeded = 0x40000000u;     // bit 30
inline constexpr uint32_t kCpuFlagDefensive = 0x80000000u;        // bit 31
// Computer-player word (dwSupplyFlag) bit 22: the unit was looked at and
// passed over; cleared for the whole country at steps 36, 73 and 80.
inline constexpr uint32_t kCpuUnitPassedOver = 0x00400000u;

inline constexpr int kCpuFirstDefensiveStep = 50;
inline constexpr int kCpuLastStep = 88;
inline constexpr int kCpuNormalEndStep = 49;

// What a step does.
enum class CpuWork : uint8_t {
    Start,            // step 0
    Nothing,          // step 50
    Routine,          // the row's routine with its arguments
    AutoSupply,       // action 0 when any unit wants automatic supply
    ClearPassedOver,  // bit 22 of every own unit's computer-player word
    PlanWithTally,    // the per-class tally zeroed, then the planner
    ProduceFirst,     // the flag word set to 8, the producer's first call
    Produce,          // the producer while the category is below 16
    AirArmsAttack,    // air arms, then the attack routine
    AttackIfFound,    // step 19's work while flag bit 25 is set
    Scout,            // bit 25 cleared; scouting when the search option is on
    DisbandForFunds,  // non-zero: the planner runs too
    ClearHexIgnored,  // the result does not count
    EndTurn,          // steps 49 and 88
};

// What follows the step.
enum class CpuRule : uint8_t {
    Advance,    // always the next step
    Repeat,     // again while the work returns non-zero, else the next step
    BackIfSet,  // non-zero goes to the row's target, zero to the next step
    JumpIfZero, // zero goes to the row's target, non-zero to the next step
    Always,     // the row's target
    Stay,       // the step sets the index itself or keeps it
};

struct CpuStepRow {
    CpuWork work;
    CpuRoutine routine;
    CpuRoutineArgs args;
    CpuRule rule;
    int target;
};

// The table of steps 0 to 88.
const CpuStepRow& CpuStep(int step);

class CpuPlayer final : public CpuTurnStep {
public:
    // Passes after which a phase ends as at step 49 (a turn of 64 units needs
    // some thousands at most); the program logs it.
    static constexpr int kPassBudget = 40000;

    explicit CpuPlayer(CpuRoutineTable routines = {});

    void RunCpuTurnStep(CZRKGameDoc& doc) override;

    CpuRoutineTable& Routines() { return m_routines; }
    CpuTurnState& State() { return m_state; }
    const CpuTurnState& State() const { return m_state; }

    // Where the program's log lines go (standard error unless set).
    void SetLog(std::function<void(const std::string&)> log) { m_log = std::move(log); }
    void SetPassBudget(int passes) { m_budget = passes; }
    // How many phases the budget has ended since the player was made.
    int BudgetStops() const { return m_budgetStops; }

private:
    void StartTurn(CZRKGameDoc& doc);
    void EndTurn(CZRKGameDoc& doc);
    int RunWork(CZRKGameDoc& doc, const CpuStepRow& row);
    int CallRoutine(CZRKGameDoc& doc, CpuRoutine routine, const CpuRoutineArgs& args = {});

    CpuRoutineTable m_routines;
    CpuTurnState m_state;
    std::function<void(const std::string&)> m_log;
    int m_budget = kPassBudget;
    int m_budgetStops = 0;
};

}  // namespace zrv
