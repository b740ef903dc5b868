#pragma once
// What sight, movement and the computer's destination helpers share: the
// detection marks, side slots, unit lookups on the unit map, and the
// decisions that belong to other rule files (can an enemy fire at close
// range, may a unit board another, is it supplied, may it occupy) as
// replaceable functions, so each search can be tested with a table fake of
// those decisions.

#include <cstdint>
#include <functional>
#include <span>

#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/GameRecords.h"

namespace zrv {

// dwOrder bit 3: clear the fog of the unit's own hex at its next search.
inline constexpr uint32_t kOrderClearOwnFog = 0x00000008u;
// The six detection marks of dwFlag: bits 13-15 hidden from side 0-2
// (HiddenFromSideBit), bits 16-18 sensed by side 0-2.
inline constexpr uint32_t kUnitMarkMask = 0x0007E000u;
constexpr uint32_t SensedBySideBit(int side)
{
    return (side < 0 || side > 2) ? 0u : (0x10000u << side);
}

// Unit domains (ArmsData dword 13, as the unit stands).
enum UnitDomain : int { kDomainAir = 0, kDomainGround1 = 1, kDomainGround2 = 2, kDomainShip = 3, kDomainSubmarine = 4 };
constexpr bool IsGroundDomain(int domain) { return domain == kDomainGround1 || domain == kDomainGround2; }

// Sides take the bit positions 0..2 of the coverage word; a side value
// outside 0..1 (a country outside both camps, or a damaged record) is side 2.
constexpr int SideSlot(int side) { return (side == 0 || side == 1) ? side : 2; }

// Replaceable decisions of other rule files. Every member may be empty: an
// empty test answers "no" (no close fire, no boarding, no occupation), the safe
// reading for a search that would otherwise let a unit through.
struct MoveRules {
    // Can shooter fire on target at close range (the target standing as its
    // stored cell says)? Decides zones of control and ambushes on a route.
    std::function<bool(const UNITSTRUCT& shooter, const UNITSTRUCT& target, const GAMEDATASTRUCT& state)> canCloseFire;
    // May mover end its move on (board) carrier, a unit of its own country?
    std::function<bool(const UNITSTRUCT& mover, const UNITSTRUCT& carrier, const GAMEDATASTRUCT& state)> canBoard;
    // The hex supply rule's code for the unit where it stands (0 or 55: supply).
    std::function<int(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state)> hexSupply;
    // The occupation test: 0 when the unit may occupy the hex it stands on,
    // another code when it may not, -1 when it may occupy nothing at all.
    std::function<int(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells)>
        occupyTest;
};

// Rules with every decision empty.
const MoveRules& NoMoveRules();

// Rules whose decisions are the unit, combat and command rules' own: the
// engagement test for close fire, the boarding test, the hex supply test
// and the occupation test.
const MoveRules& StandardMoveRules();

// The unit's country index (the index form of UnitCountry), -1 when its own
// reference names none.
int UnitCountryIndex(const UNITSTRUCT& unit);
// The side slot (0..2) of the unit's country; 2 when it names none.
int UnitSideSlot(const GAMEDATASTRUCT& state, const UNITSTRUCT& unit);

// The unit a unit-map entry names, or null (no unit, a damaged reference, or
// a slot not in use).
UNITSTRUCT* UnitAt(GAMEDATASTRUCT& state, UnitRef ref);
const UNITSTRUCT* UnitAt(const GAMEDATASTRUCT& state, UnitRef ref);

}  // namespace zrv
