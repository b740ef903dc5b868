#pragma once
// The two doors between the engine and the computer player. The computer
// player gives its orders through the order executor, which the map view
// implements with the same execution functions a human's clicks run; the
// turn machine runs one computer step per idle pass through CpuTurnStep. The
// engine only sees these interfaces: the computer player depends on the
// engine, never the reverse.

#include <array>

#include "foundation/GameRecords.h"

namespace zrv {

class CZRKGameDoc;

// Order codes of ExecuteCpuAction.
enum CpuAction : int {
    kCpuActSupply = 0,
    kCpuActAttack = 1,
    kCpuActOccupy = 2,
    kCpuActBomb = 3,
    kCpuActBombKeptHex = 4,
    kCpuActMove = 5,
    kCpuActMoveDone = 6,
    kCpuActPlaceProduction = 7,  // argument: unit type << 16 | city hex
    kCpuActConstruct = 8,
    kCpuActConstructOther = 9,
    kCpuActDispose = 10,
    kCpuActMerge = 11,
    kCpuActLoad = 12,
    kCpuActUnload = 13,
    kCpuActEvolve = 14,
    kCpuActImprove = 15,
    kCpuActDive = 16,
    kCpuActSurface = 17,
    kCpuActEndAction = 18,
    kCpuActDisposeAircraftOutOfFuel = 19,
    kCpuActLoseShipOutOfFuel = 20,
    kCpuActLoseSubmarineOutOfFuel = 21,
};

// The eight flags of CpuMoveUnitToward.
using CpuMoveFlags = std::array<int, 8>;
inline constexpr CpuMoveFlags kPlainMoveFlags = {0, 0, 0, 0, 1, 0, 0, 0};

class OrderExecutor {
public:
    virtual ~OrderExecutor() = default;
    // Selects the unit and runs the order for the code; the order's result,
    // negative when it was refused.
    virtual int ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument) = 0;
    // Moves the unit toward target over the reach map already filled for it,
    // as far as this turn allows; negative on failure or interruption.
    virtual int CpuMoveUnitToward(UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags) = 0;
};

// Without a map view nothing can carry an order out: every order is refused.
class RefusingOrderExecutor : public OrderExecutor {
public:
    int ExecuteCpuAction(int, UNITSTRUCT&, int) override { return -1; }
    int CpuMoveUnitToward(UNITSTRUCT&, HEXINDEX, const CpuMoveFlags&) override { return -1; }
};

// One step of the computer player for the current country, chosen by
// CZRKGameDoc::m_nCpuStep; the last step ends the phase.
class CpuTurnStep {
public:
    virtual ~CpuTurnStep() = default;
    virtual void RunCpuTurnStep(CZRKGameDoc& doc) = 0;
};

// Until the computer player plays, a computer-run country ends its phase at
// once: the phase ends without a question and the progress window closes.
class EndPhaseCpuTurnStep : public CpuTurnStep {
public:
    void RunCpuTurnStep(CZRKGameDoc& doc) override;
};

}  // namespace zrv
