#pragma once
// What sight, movement and the computer's destination helpers need from the
// unit and combat rules: a few record tests they share, and the decisions that
// belong to other rule files (can an enemy fire at close range, may a unit
// board another, may it occupy) as replaceable functions, so each search can
// be tested with a table fake of those decisions.
//
// The interim functions below stand in for the unit-record rules until those
// land in their own file; they read the same bits and are meant to be
// replaced by it, not extended.

#include <cstdint>
#include <functional>
#include <span>

#include "foundation/DataLibrary.h"
#include "foundation/GameRecords.h"

namespace zrv {

// Unit flag bits (UNITSTRUCT::dwFlag) used by the searches.
inline constexpr uint32_t kUnitOrderBit3 = 0x00000008u;  // dwOrder: re-clear the own fog cell
inline constexpr uint32_t kUnitFlag4 = 0x00000004u;      // computer-turn scratch bit
inline constexpr uint32_t kUnitMoved = 0x00001000u;      // moved this turn
inline constexpr uint32_t kUnitHiddenFrom0 = 0x00002000u;  // << side: hidden from that side
inline constexpr uint32_t kUnitSensedBy0 = 0x00010000u;    // << side: sensed only
inline constexpr uint32_t kUnitMarkMask = 0x0007E000u;     // all six marks
inline constexpr uint32_t kUnitInWater = 0x00200000u;
inline constexpr uint32_t kUnitActed = 0x40000000u;
inline constexpr uint32_t kUnitHasCargo = 0x20000000u;

constexpr uint32_t HiddenBit(int side) { return kUnitHiddenFrom0 << side; }
constexpr uint32_t SensedBit(int side) { return kUnitSensedBy0 << side; }

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
    std::function<int(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state)> occupyTest;
};

// Rules with every decision empty.
const MoveRules& NoMoveRules();

namespace interim {

// The unit's country index (from its own reference), or -1 when damaged.
int UnitCountry(const UNITSTRUCT& unit);
// The side slot of the unit's country.
int UnitSide(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state);
// Domain as the unit stands: 4 while submerged, a submarine type counts as a
// ship on the surface; -1 for a type outside the library.
int GetUnitDomain(const UNITSTRUCT& unit);
// A submarine under water (in-water flag and move type 31).
bool IsSubmergedSubmarine(const UNITSTRUCT& unit);
// A submerged submarine that can move on its battery only.
bool IsOnBatteryOnly(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state);
// Weather class in the low half, effective light in the high half.
uint32_t GetWeatherEffect(const GAMEDATASTRUCT& state);
// The blocked-cell bits of a side: bit 31 and the bit closed to that side.
uint32_t GetSideCellMask(int side);
// The unit's carrier in the same country, or null (not carried, or a damaged
// carrier slot).
const UNITSTRUCT* GetCarrier(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state);
// The hex on the map: a carried unit stands where its outermost carrier does.
// The carrier walk is bounded, so a cyclic chain from a damaged file ends.
HEXINDEX GetUnitMapHex(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state);

}  // namespace interim

// The unit a unit-map entry names, or null (no unit, a damaged reference, or
// a slot not in use).
UNITSTRUCT* UnitAt(GAMEDATASTRUCT& state, UnitRef ref);
const UNITSTRUCT* UnitAt(const GAMEDATASTRUCT& state, UnitRef ref);

}  // namespace zrv
