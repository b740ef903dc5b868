#pragma once
// The two doors between the engine and the computer player. The computer
// player gives its orders through the order executor, which the map view
// implements with the same execution functions a human's clicks run; the
// turn machine runs one computer step per idle pass through CpuTurnStep. The
// engine only sees these interfaces: the computer player depends on the
// engine, never the reverse.


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

// The options of CpuMoveUnitToward and of the route step it takes.
struct CpuMoveFlags {
    // A ground unit steps to the hex of the target list in its reach that
    // is farthest along its route.
    bool bTargetList = false;
    // Neither the target-list choice nor the adjacency end.
    bool bOverride = false;
    // A unit standing on a target next to the mover: the mover ends its
    // action where it is.
    bool bAdjacent = false;
    // A unit short of fuel is held back where it could not be served.
    bool bFuel = false;
    // Positive: the caller ends the move; otherwise the move ends with
    // this argument.
    int nEnd = 0;
    // The route step: the target itself may be the step; hexes no nearer
    // the target than the unit's own count too; the approach counts other
    // units; no own airfield; no hex next to an enemy for a unit with no
    // loaded weapon; hexes not to step on (-1 ends the list).
    bool bIncludeTarget = false;
    bool bNoStartLimit = false;
    bool bReach = false;
    bool bSkipOwnAirfields = false;
    bool bUnarmedOnly = false;
    const HEXINDEX* pAvoid = nullptr;

    bool operator==(const CpuMoveFlags&) const = default;
};
// A plain move: the caller ends it (the march step orders its end itself).
inline constexpr CpuMoveFlags kPlainMoveFlags{.nEnd = 1};

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
