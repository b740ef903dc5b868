#pragma once
// What the computer player's orders need of the map view: the view's own
// order operations (the same a player's clicks run, with their animations,
// sounds and battle scenes), the flash that shows where an order happens,
// the selection and command mode, the viewing side and the close request.
// The map view implements it; tests record it.

#include <cstdint>

#include "foundation/GameRecords.h"

namespace zrv {

class CpuOrderView {
public:
    virtual ~CpuOrderView() = default;

    // --- selection and state ----------------------------------------------
    virtual void SetSelectedUnit(UNITSTRUCT* unit) = 0;
    // Ends the order's selection as the view ends a finished order (a
    // pending jettison is carried out).
    virtual void EndSelection(bool bFinish) = 0;
    virtual void SetCommandMode(int mode) = 0;
    // The side of the country the map shows; -1 without one.
    virtual int GetViewingSide() const = 0;

    // --- showing where --------------------------------------------------------
    // Brings hex into view and flashes its mark; 1 when a close request is
    // pending (the order gives up), else 0.
    virtual int FlashHexMark(HEXINDEX hex, bool seenOnly, bool mark4) = 0;
    virtual int RedrawHexIfVisible(HEXINDEX hex, bool bUnit) = 0;

    // --- the order operations (negative: refused or a close request) --------
    virtual int RunAutoSupply() = 0;
    virtual int ExecuteAttack(UNITSTRUCT& attacker, UNITSTRUCT& target, uint32_t weaponMask) = 0;
    virtual int ExecuteOccupation(UNITSTRUCT& unit, HEXINDEX hex) = 0;
    virtual int ExecuteBombing(UNITSTRUCT& unit, HEXINDEX hex) = 0;
    // Moves the selected unit toward the hex kept in its record: 3 could not
    // move, 5 ended by boarding a carrier.
    virtual int ExecuteCpuMove() = 0;
    virtual void CompleteUnitMove() = 0;
    // The new unit, or null when nothing was placed.
    virtual UNITSTRUCT* ExecutePlaceUnit(int type, HEXINDEX hex) = 0;
    // kind 4 durability increase by amount, 3 repair; hex -1: the unit's own.
    virtual int ExecuteConstruction(UNITSTRUCT& unit, int kind, uint32_t amount, HEXINDEX hex) = 0;
    // Disposes of the selected unit (kinds 0..2).
    virtual int ExecuteDispose(int kind) = 0;
    // Strength between the selected unit and partner; 0 when refused.
    virtual int ExecuteMerge(UNITSTRUCT& partner, int amount) = 0;
    virtual int ExecuteLoad(UNITSTRUCT& unit, HEXINDEX carrierHex) = 0;
    // Non-zero when it unloaded.
    virtual int ExecuteUnload(UNITSTRUCT& carrier, UNITSTRUCT& cargo, HEXINDEX hex) = 0;
    // On the selected unit; negative when refused.
    virtual int ExecuteEvolve(int type) = 0;
    virtual int ExecuteImprove(int type) = 0;
    virtual int ExecuteDive(UNITSTRUCT& unit) = 0;
    virtual int ExecuteSurface(UNITSTRUCT& unit, int kind) = 0;
    virtual int ExecuteEndAction(UNITSTRUCT& unit) = 0;
};

}  // namespace zrv
