#pragma once
// Small rules over one unit record and the library's type tables: domain and
// class, cell copy and submersion, fuel, ammunition and weapon slots, what a
// unit carries and where it may go, bases, prices, and the state codes of the
// unit table. Also the unit-record initialiser, the weather effect and the
// movement points, which the view and the menu program call too.
//
// Every index taken from a record (type, mode, class, carry class, carrier
// slot, terrain, country id) is bounded here before it is used: a damaged
// saved game gives a harmless answer, never a read outside a table.
// Nothing here draws from the game generator.

#include <array>
#include <cstdint>
#include <span>

#include "battle/engine/GameTime.h"
#include "foundation/GameRecords.h"
#include "foundation/LibraryRecords.h"

namespace zrv {

// Where a rule draws its chances: the document's game generator in play
// (GameDraws), a scripted queue in tests. Draws are 0..32767.
class RuleDraws {
public:
    virtual ~RuleDraws() = default;
    virtual int Rand() = 0;
};

class GameDraws final : public RuleDraws {
public:
    explicit GameDraws(GameRandom& random) : m_random(random) {}
    int Rand() override { return m_random.Rand(); }

private:
    GameRandom& m_random;
};

// --- unit flag bits (UNITSTRUCT::dwFlag) ---------------------------------------
inline constexpr uint32_t kUnitActed = 0x40000000u;
inline constexpr uint32_t kUnitCarries = 0x20000000u;
inline constexpr uint32_t kUnitSide1 = 0x10000000u;
inline constexpr uint32_t kUnitDisplayMask = 0x0F000000u;
inline constexpr uint32_t kUnitInPool = 0x00400000u;
inline constexpr uint32_t kUnitInWater = 0x00200000u;
inline constexpr uint32_t kUnitOffMap = 0x00080000u;
inline constexpr uint32_t kUnitMoved = 0x00001000u;
inline constexpr uint32_t kUnitSupplied = 0x00000800u;
inline constexpr uint32_t kUnitWantsFuel = 0x00000400u;
inline constexpr uint32_t kUnitWantsRounds = 0x00000200u;
inline constexpr uint32_t kUnitReplenishChecked = 0x00000100u;
inline constexpr uint32_t kUnitUnderDefensiveFire = 0x00000080u;
inline constexpr uint32_t kUnitMayUndo = 0x00000040u;
inline constexpr uint32_t kUnitDetached = 0x00000020u;
inline constexpr uint32_t kUnitNoAttackAfterUnload = 0x00000010u;
inline constexpr uint32_t kUnitAaVolleyDone = 0x00000008u;
inline constexpr uint32_t kUnitFiredAa = 0x00000004u;
inline constexpr uint32_t kUnitSupplyAtHex = 0x00000002u;
inline constexpr uint32_t kUnitBought = 0x00000001u;

// dwOrder: stores jettisoned while a move may be taken back.
inline constexpr uint32_t kOrderJettisonPending = 0x00000040u;

// The bit that hides a unit from a side (0..2); bits 16-18 are the sensed ones.
constexpr uint32_t HiddenFromSideBit(int side)
{
    return (side < 0 || side > 2) ? 0u : (0x2000u << side);
}

inline constexpr int kMaxExperience = 250;
inline constexpr int kCarryClasses = 7;
// A carrier chain is never longer than the unit slots of a country; a longer
// walk means the slots form a loop (a damaged file).
inline constexpr int kMaxCarrierSteps = kUnitSlots;

// --- weather effect ----------------------------------------------------------------
// Low half the weather class (0 fine .. 5 fog), high half the light (0 day, 1
// dusk or moonlit, 2 night). Every rule reads the two halves apart.
int GetWeatherEffect(const GAMEDATASTRUCT& game);
constexpr int WeatherClass(int effect)
{
    return effect & 0xFFFF;
}
constexpr int WeatherLight(int effect)
{
    return (effect >> 16) & 0xFFFF;
}
// Both snow bits of the state word: the snow cost table is in force.
bool IsSnowInForce(const GAMEDATASTRUCT& game);

// --- type lookups ------------------------------------------------------------------
// The unit's type record, or null for a type outside the library.
const ARMSSTRUCT* UnitArms(const UNITSTRUCT& unit);
// The weapon record of the unit's slot, null outside the tables.
const WEAPONSTRUCT* UnitWeapon(const UNITSTRUCT& unit, int slot);
// The armament set the unit carries now (nMode, bounded to 0..5).
const ARMSET* UnitArmSet(const UNITSTRUCT& unit);

// Traits word of a class (0 outside 0..62): bits 0-3 cargo weight, bit 26
// stays put, bit 30 needs no ammunition / counts as a surface target.
uint32_t GetClassTraits(int cls);
inline constexpr uint32_t kTraitStaysPut = 0x04000000u;
inline constexpr uint32_t kTraitNoAmmunition = 0x40000000u;

bool IsGroundArmsClass(int type);
bool IsNavalArmsClass(int type);
bool IsAirArmsClass(int type);
bool IsAirDomainArms(const ARMSSTRUCT& arms);
bool IsGroundDomainArms(const ARMSSTRUCT& arms);
bool IsNavalDomainArms(const ARMSSTRUCT& arms);
bool IsAirDomainUnit(const UNITSTRUCT& unit);
bool IsGroundDomainUnit(const UNITSTRUCT& unit);
bool IsNavalDomainUnit(const UNITSTRUCT& unit);

// 0 air, 1/2 ground, 3 ship, 4 submarine; 4 while in the water (bit 21), and a
// diving type counts as a ship while surfaced. -1 for an unknown type.
int GetUnitDomain(const UNITSTRUCT& unit);
bool IsSubmergedSubmarine(const UNITSTRUCT& unit);
bool IsOnBatteryOnly(const UNITSTRUCT& unit, int weatherEffect);
// 1 when not submerged; else the battery, plus the fuel unless on battery alone.
int GetSubmergedEndurance(const UNITSTRUCT& unit, int weatherEffect);

// The unit's country (from its own reference), null when that names none.
const COUNTRYSTRUCT* UnitCountry(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// Sides 0 and 1 are hostile to each other; side 2 (neutral) to nobody.
bool IsHostileSide(int ownSide, int otherSide);
bool IsUnitOfCpuCountry(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
int GetEnemySide(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);

// --- carriers --------------------------------------------------------------------------
// The array a unit record lies in (its country's 64 units or the carry-over
// pool); carrier slots count in that array. Empty when the record lies in none.
std::span<UNITSTRUCT> UnitArrayOf(GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
std::span<const UNITSTRUCT> UnitArrayOf(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);

// The carrier of a carried unit: its slot must be 0..63 inside the array,
// name a record in use and not the unit itself; null otherwise.
UNITSTRUCT* GetCarrier(std::span<UNITSTRUCT> units, const UNITSTRUCT& unit);
const UNITSTRUCT* GetCarrier(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit);
// The outermost carrier (the unit itself when not carried; where a chain
// breaks, the last unit reached). Null when the chain loops.
const UNITSTRUCT* GetOutermostCarrier(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit);
UNITSTRUCT* GetOutermostCarrier(GAMEDATASTRUCT& game, UNITSTRUCT& unit);
const UNITSTRUCT* GetOutermostCarrier(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// The map hex of the outermost carrier; kNoHex (-1) for a looping chain.
HEXINDEX GetUnitMapHex(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit);
HEXINDEX GetUnitMapHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);

// Number carried by dwCargo. With bit 29 the in-use units of the array
// carried by this one go into out (no end mark, never more than out.size()).
int ListCarriedUnits(std::span<UNITSTRUCT> units, const UNITSTRUCT& carrier, std::span<UNITSTRUCT*> out);
// The unit, then breadth first everything carried by it and by its cargo,
// ended by null. Writes at most out.size() - 1 units; each slot is listed
// once, so a looping chain ends. Returns the number listed.
int ListUnitAndCargo(std::span<UNITSTRUCT> units, UNITSTRUCT& unit, std::span<UNITSTRUCT*> out);
// How many in-use units carried by carrier have the given carry class.
int CountCarriedOfClass(std::span<const UNITSTRUCT> units, const UNITSTRUCT& carrier, int carryClass);
// Takes a carried unit off its carrier: the carrier's count drops by one and
// at 0 its bit 29 is cleared. Returns the carrier; null when not carried or
// the carrier record is not in use. The unit itself is left as it is.
UNITSTRUCT* DetachFromCarrier(std::span<UNITSTRUCT> units, UNITSTRUCT& unit);

// The seven room counts of a type; with a carrier unit the pieces of its
// carry-space slots add to classes 1, 2 and 4 (up to 4 each).
std::array<int, kCarryClasses> GetCarrierCapacity(int type, const UNITSTRUCT* carrier);
// Room for the present cargo, leaving out one unit (may be null).
int HasCarrierRoom(std::span<const UNITSTRUCT> units, const UNITSTRUCT& carrier, const UNITSTRUCT* leftOut);
// Carry class used for room: below 0 counts as class 0; above 6 is refused (-1).
int RoomCarryClass(const ARMSSTRUCT& arms);

// --- weapons, fuel, ammunition ---------------------------------------------------
// Fuel plus the rounds of every drop-tank slot; bit 31 set when such rounds exist.
uint32_t GetUnitFuelTotal(const UNITSTRUCT& unit);
inline constexpr uint32_t kFuelTotalDropTanks = 0x80000000u;
// Fuel level << 16 | strength level (see the unit table's colours).
int GetUnitConditionLevels(const UNITSTRUCT& unit);
int HasNoAttackWeapon(const UNITSTRUCT& unit);
// 1 loaded bombing weapon, 0 all empty, -1 the type has none.
int GetBombLoadState(const UNITSTRUCT& unit);
// Low half the largest surface maximum range of a loaded bombing weapon plus
// the height of the unit's terrain; high half the smallest surface minimum.
uint32_t GetBombingRange(const UNITSTRUCT& unit);
// A carry-space slot holds pieces; with a game also weather class below 2.
int HasUsableCarrySlot(const UNITSTRUCT& unit, const GAMEDATASTRUCT* game);
int CanLaunchAircraft(std::span<UNITSTRUCT> units, const UNITSTRUCT& carrier, const GAMEDATASTRUCT& game);
// The first supply-stock slot: rounds left | the set's count << 16; 0 none.
uint32_t GetSupplyStock(const UNITSTRUCT& unit);
int HasSupplyStock(int type);
// Strength + amount; for a type counted in pieces in tenths of the full
// strength, never below 1.
int GetStrengthUnits(const UNITSTRUCT& unit, int amount);
void AddUnitExperience(UNITSTRUCT& unit, int amount);

// Sum of the load values of the slots with rounds (the unit's own with set
// -1, else the type's set) whose flag bit 3 matches kindFlag != 0. Droppable
// slots are left out while a jettison is pending.
int SumUnitWeaponValue(const UNITSTRUCT& unit, int kindFlag, int set);
// Tallies: 0 aircraft shot down, 1 ground units destroyed, 2 ships sunk, 3 own losses.
int GetUnitTally(const UNITSTRUCT* unit, int kind);
int GetUnitListState(const UNITSTRUCT& unit);

// --- prices ---------------------------------------------------------------------------
int GetArmsUnitPrice(int type);
int GetFuelPrice(const UNITSTRUCT& unit, int points);
int GetRoundPrice(const UNITSTRUCT& unit, int slot, int rounds);
int GetUnitResupplyCost(const UNITSTRUCT& unit);

// --- map --------------------------------------------------------------------------------
// Move cost of a move type on a terrain (snow table with snow); 0 for an
// index outside the tables. Route kind k is column 91 + k.
int GetTerrainMoveCost(const GAMEDATASTRUCT& game, int moveType, int column);
// A route of the cell's kind 0 (or the kind given) closed by mud.
int IsRoadWashedOut(const GAMEDATASTRUCT& game, MAPCELL cell, int kind = 0);
// The cell carries a unit of the type on its routes.
bool RouteCarries(MAPCELL cell, const ARMSSTRUCT& arms);
void SetUnitHexCell(UNITSTRUCT& unit, MAPCELL cell);
int CanUseHexAsBase(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game, MAPCELL cell, bool carrierForm);

struct NeighbourSearch {
    bool byTerrain = true;
    bool byClass = false;
    bool byLanding = false;
    bool ownUnitsAllowed = false;
};
// Writes the enterable neighbours into out, ended by -1 (at most out.size() - 1
// hexes). 1 when any hex is enterable.
int ListEnterableNeighbourHexes(HEXINDEX hex, const UNITSTRUCT& unit, const GAMEDATASTRUCT& game,
                                std::span<const MAPCELL, kHexCount> cells,
                                std::span<const UnitRef, kHexCount> hexUnit,
                                std::span<const uint32_t, kHexCount> sensor, const NeighbourSearch& how,
                                std::span<HEXINDEX> out);
bool IsStrandedUnit(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game, MAPCELL cell);
// A not-acted unit of the same country and type next to the unit, not on an excluded hex.
const UNITSTRUCT* HasSameTypeNeighbour(const GAMEDATASTRUCT& game,
                                       std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit,
                                       std::span<const HEXINDEX> excluded);
int IsEnemyOnAdjacentCapital(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                             const UNITSTRUCT& unit);
// Smallest distance from hex to an uncarried ground unit of the country's
// side; 32767 when there is none.
int GetNearestOwnSideGroundUnit(const GAMEDATASTRUCT& game, int country, HEXINDEX hex);

// --- movement points and new records ----------------------------------------------
// Sets unit.nMove from the type's points, submersion, weather and light (game may be null).
void CalcUnitMovePoints(UNITSTRUCT& unit, const GAMEDATASTRUCT* game);
void RecalcAllMovePoints(GAMEDATASTRUCT& game);
// 0 when another in-use record of units or pool has the serial modulo 1000.
int IsSerialUnique(const UNITSTRUCT& unit, std::span<const UNITSTRUCT> units,
                   std::span<const UNITSTRUCT> pool, int serial);
void InitUnitRecord(COUNTRYSTRUCT* country, UNITSTRUCT& unit, int slot, HEXINDEX hex, int type,
                    uint32_t value, const GAMEDATASTRUCT* game, std::span<const UNITSTRUCT> pool);

// --- checks of indexes read from files ------------------------------------------
enum class UnitIndexFault : int {
    None = 0,
    Type,        // nArms outside ArmsData
    Mode,        // nMode outside 0..5
    Class,       // the type's class outside 0..62
    CarryClass,  // the type's carry class above 6
    Carrier,     // carrier slot neither 0..63 naming a record in use nor 0xFFFF
};
UnitIndexFault CheckUnitIndexes(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit);
// First fault among the present countries (country id below 34, every
// in-use unit, the pool). Returns true when the game is sound.
bool CheckGameIndexes(const GAMEDATASTRUCT& game, int* badCountry = nullptr, int* badSlot = nullptr);

}  // namespace zrv
