#include "battle/engine/UnitRules.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "battle/engine/ClassTraits.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/HexRoutes.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

// Carry classes that carry-space pieces enlarge, and the most room they make.
constexpr int kCarrySpaceClasses[] = {1, 2, 4};
constexpr int kCarrySpaceCap = 4;

constexpr uint32_t kStateWeatherBit = 0x40000000u;
constexpr uint32_t kStateSnowBit = 0x20000000u;
constexpr uint32_t kStateDayNightBit = 0x10000000u;
constexpr uint32_t kCountryCpuBit = 0x40000000u;

bool InUse(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0;
}

template <typename U>
int SlotIn(std::span<U> units, const UNITSTRUCT& unit)
{
    if (units.empty()) return -1;
    const UNITSTRUCT* p = &unit;
    const UNITSTRUCT* first = units.data();
    // std::less gives a total order even for pointers into different arrays.
    if (std::less<const UNITSTRUCT*>()(p, first) || !std::less<const UNITSTRUCT*>()(p, first + units.size()))
        return -1;
    return static_cast<int>(p - first);
}

template <typename U>
U* CarrierIn(std::span<U> units, const UNITSTRUCT& unit)
{
    if (!(unit.dwFlag & kUnitCarried)) return nullptr;
    int slot = CargoCarrier(unit.dwCargo);
    if (slot == kNoCarrier || slot >= kUnitSlots || slot >= static_cast<int>(units.size())) return nullptr;
    if (SlotIn(units, unit) < 0) return nullptr;
    U* carrier = &units[static_cast<size_t>(slot)];
    if (carrier == &unit || !InUse(*carrier)) return nullptr;
    return carrier;
}

template <typename U>
U* OutermostIn(std::span<U> units, U& unit)
{
    U* u = &unit;
    for (int step = 0; step <= kMaxCarrierSteps; ++step) {
        U* carrier = CarrierIn(units, *u);
        if (!carrier) return u;
        u = carrier;
    }
    return nullptr;  // more steps than slots: the chain loops
}

bool IsCarriedBy(std::span<const UNITSTRUCT> units, const UNITSTRUCT& u, const UNITSTRUCT& carrier)
{
    return InUse(u) && &u != &carrier && (u.dwFlag & kUnitCarried) && CarrierIn(units, u) == &carrier;
}

int HalfUp(int v)
{
    return (v + 1) / 2;
}

}  // namespace

// --- weather -------------------------------------------------------------------------------

int GetWeatherEffect(const GAMEDATASTRUCT& game)
{
    // The two options are independent: without weather the class is 0, but
    // night still falls while day and night are on.
    int cls = 0;
    switch ((game.dwStateFlag & kStateWeatherBit) ? game.nWeather : 0) {
        case 1:
            cls = 1;
            break;
        case 2:
        case 4:
            cls = 2;
            break;
        case 3:
        case 5:
            cls = 3;
            break;
        case 6:
            cls = 4;
            break;
        case 7:
            cls = 5;
            break;
        default:
            cls = 0;
            break;
    }
    // The light is the effective one (a moonlit night reads as dusk), not the
    // raw day/night state.
    if (game.dwStateFlag & kStateDayNightBit) cls |= (std::clamp(game.nLight, 0, 2) << 16);
    return cls;
}

bool IsSnowInForce(const GAMEDATASTRUCT& game)
{
    const uint32_t both = kStateWeatherBit | kStateSnowBit;
    return (game.dwStateFlag & both) == both;
}

// --- type lookups ----------------------------------------------------------------------------

const ARMSSTRUCT* UnitArms(const UNITSTRUCT& unit)
{
    return ArmsRecord(unit.nArms);
}

const WEAPONSTRUCT* UnitWeapon(const UNITSTRUCT& unit, int slot)
{
    if (slot < 0 || slot >= kWeaponSlots) return nullptr;
    return WeaponRecord(unit.nArms, slot);
}

const ARMSET* UnitArmSet(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return nullptr;
    return &a->Arm[std::clamp(unit.nMode, 0, 5)];
}

uint32_t GetClassTraits(int cls)
{
    return ClassTraits(cls);
}

bool IsGroundArmsClass(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a && IsGroundClass(*a);
}
bool IsNavalArmsClass(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a && IsNavalClass(*a);
}
bool IsAirArmsClass(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a && IsAirClass(*a);
}
bool IsAirDomainArms(const ARMSSTRUCT& arms)
{
    return arms.nDomain == 0;
}
bool IsGroundDomainArms(const ARMSSTRUCT& arms)
{
    return arms.nDomain == 1 || arms.nDomain == 2;
}
bool IsNavalDomainArms(const ARMSSTRUCT& arms)
{
    return arms.nDomain == 3 || arms.nDomain == 4;
}
bool IsAirDomainUnit(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a && IsAirDomainArms(*a);
}
bool IsGroundDomainUnit(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a && IsGroundDomainArms(*a);
}
bool IsNavalDomainUnit(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a && IsNavalDomainArms(*a);
}

int GetUnitDomain(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return -1;
    // A ground unit in the water counts as submerged too (it can only be
    // reached by weapons against submarines).
    if (unit.dwFlag & kUnitInWater) return 4;
    return a->nDomain == 4 ? 3 : a->nDomain;
}

bool IsSubmergedSubmarine(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a && (unit.dwFlag & kUnitInWater) && a->nMoveType == kMoveTypeSubmarine;
}

bool IsOnBatteryOnly(const UNITSTRUCT& unit, int weatherEffect)
{
    if (!IsSubmergedSubmarine(unit)) return false;
    const ARMSSTRUCT& a = *UnitArms(unit);
    return !NeverOnBatteryAlone(a) && (!BatteryDrainsInStorm(a) || WeatherClass(weatherEffect) == 3);
}

int GetSubmergedEndurance(const UNITSTRUCT& unit, int weatherEffect)
{
    if (!IsSubmergedSubmarine(unit)) return 1;
    return unit.nBattery + (IsOnBatteryOnly(unit, weatherEffect) ? 0 : unit.nFuel);
}

const COUNTRYSTRUCT* UnitCountry(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    int c = RefCountry(unit.refSelf);
    return (unit.refSelf == kNoUnit || c >= kCountryCount) ? nullptr : &game.Country[c];
}

bool IsHostileSide(int ownSide, int otherSide)
{
    return (ownSide == 0 && otherSide == 1) || (ownSide == 1 && otherSide == 0);
}

bool IsUnitOfCpuCountry(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    return c && (c->dwFlag & kCountryCpuBit);
}

int GetEnemySide(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    int side = c ? c->nSide : ((unit.dwFlag & kUnitSide1) ? 1 : 0);
    return side ^ 1;
}

// --- carriers ----------------------------------------------------------------------------------

std::span<UNITSTRUCT> UnitArrayOf(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    for (COUNTRYSTRUCT& c : game.Country) {
        std::span<UNITSTRUCT> s(c.Unit);
        if (SlotIn(s, unit) >= 0) return s;
    }
    std::span<UNITSTRUCT> pool(game.CarryUnit);
    if (SlotIn(pool, unit) >= 0) return pool;
    return {};
}

std::span<const UNITSTRUCT> UnitArrayOf(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    return UnitArrayOf(const_cast<GAMEDATASTRUCT&>(game), unit);
}

UNITSTRUCT* GetCarrier(std::span<UNITSTRUCT> units, const UNITSTRUCT& unit)
{
    return CarrierIn(units, unit);
}
const UNITSTRUCT* GetCarrier(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit)
{
    return CarrierIn(units, unit);
}

const UNITSTRUCT* GetOutermostCarrier(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit)
{
    return OutermostIn(units, unit);
}

UNITSTRUCT* GetOutermostCarrier(GAMEDATASTRUCT& game, UNITSTRUCT& unit)
{
    return OutermostIn(UnitArrayOf(game, unit), unit);
}

const UNITSTRUCT* GetOutermostCarrier(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    return OutermostIn(UnitArrayOf(game, unit), unit);
}

HEXINDEX GetUnitMapHex(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit)
{
    const UNITSTRUCT* outer = OutermostIn(units, unit);
    return outer ? outer->nHex : -1;
}

HEXINDEX GetUnitMapHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    return GetUnitMapHex(UnitArrayOf(game, unit), unit);
}

int ListCarriedUnits(std::span<UNITSTRUCT> units, const UNITSTRUCT& carrier, std::span<UNITSTRUCT*> out)
{
    if (carrier.dwFlag & kUnitCarries) {
        size_t n = 0;
        for (UNITSTRUCT& u : units) {
            if (n >= out.size()) break;
            if (IsCarriedBy(units, u, carrier)) out[n++] = &u;
        }
    }
    return CargoCount(carrier.dwCargo);
}

int ListUnitAndCargo(std::span<UNITSTRUCT> units, UNITSTRUCT& unit, std::span<UNITSTRUCT*> out)
{
    if (out.empty()) return 0;
    size_t n = 0;
    out[n++] = &unit;
    std::array<bool, kUnitSlots> listed{};
    int own = SlotIn(units, unit);
    if (own >= 0 && own < kUnitSlots) listed[static_cast<size_t>(own)] = true;
    // Breadth first: out doubles as the queue.
    for (size_t head = 0; head < n; ++head) {
        const UNITSTRUCT& carrier = *out[head];
        if (!(carrier.dwFlag & kUnitCarries)) continue;
        for (size_t s = 0; s < units.size() && s < kUnitSlots; ++s) {
            if (n + 1 >= out.size()) break;
            if (listed[s] || !IsCarriedBy(units, units[s], carrier)) continue;
            listed[s] = true;
            out[n++] = &units[s];
        }
    }
    if (n >= out.size()) n = out.size() - 1;  // room for the end mark only
    out[n] = nullptr;
    return static_cast<int>(n);
}

int CountCarriedOfClass(std::span<const UNITSTRUCT> units, const UNITSTRUCT& carrier, int carryClass)
{
    int count = 0;
    for (const UNITSTRUCT& u : units) {
        if (!IsCarriedBy(units, u, carrier)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a && a->nCarryClass == carryClass) ++count;
    }
    return count;
}

UNITSTRUCT* DetachFromCarrier(std::span<UNITSTRUCT> units, UNITSTRUCT& unit)
{
    UNITSTRUCT* carrier = CarrierIn(units, unit);
    if (!carrier) return nullptr;
    int count = std::max(0, CargoCount(carrier->dwCargo) - 1);
    carrier->dwCargo = MakeCargo(CargoCarrier(carrier->dwCargo), count);
    if (count == 0) carrier->dwFlag &= ~kUnitCarries;
    return carrier;
}

namespace {
// The type's room with carry-space pieces added; firstLessOne makes the first
// slot holding pieces count one less (the room test's rule).
std::array<int, kCarryClasses> BuildCapacity(int type, const UNITSTRUCT* carrier, bool firstLessOne)
{
    std::array<int, kCarryClasses> cap{};
    const ARMSSTRUCT* a = ArmsRecord(type);
    if (!a) return cap;
    for (int c = 0; c < kCarryClasses; ++c) cap[static_cast<size_t>(c)] = a->nCarry[c];
    if (!carrier) return cap;
    bool first = true;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = WeaponRecord(type, s);
        if (!w || w->byType != kWeaponTypeCarrySpace) continue;
        int pieces = carrier->nAmmo[s];
        if (pieces <= 0) continue;
        if (firstLessOne && first) pieces -= 1;
        first = false;
        for (int c : kCarrySpaceClasses) {
            int& room = cap[static_cast<size_t>(c)];
            // The pieces never take a class above 4; a type built with more
            // room keeps it.
            if (room < kCarrySpaceCap) room = std::min(room + pieces, kCarrySpaceCap);
        }
    }
    return cap;
}
}  // namespace

std::array<int, kCarryClasses> GetCarrierCapacity(int type, const UNITSTRUCT* carrier)
{
    return BuildCapacity(type, carrier, false);
}

int RoomCarryClass(const ARMSSTRUCT& arms)
{
    if (arms.nCarryClass < 0) return 0;
    return arms.nCarryClass < kCarryClasses ? arms.nCarryClass : -1;
}

int HasCarrierRoom(std::span<const UNITSTRUCT> units, const UNITSTRUCT& carrier, const UNITSTRUCT* leftOut)
{
    std::array<int, kCarryClasses> cap = BuildCapacity(carrier.nArms, &carrier, true);
    for (const UNITSTRUCT& u : units) {
        if (&u == leftOut || !IsCarriedBy(units, u, carrier)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        int c = a ? RoomCarryClass(*a) : -1;
        if (c < 0) return 0;  // a cargo that fits no class leaves no room
        if (--cap[static_cast<size_t>(c)] < 0) return 0;
    }
    return 1;
}

// --- weapons, fuel, ammunition ------------------------------------------------------------

uint32_t GetUnitFuelTotal(const UNITSTRUCT& unit)
{
    int64_t total = std::max(0, unit.nFuel);
    bool tanks = false;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || w->byType != kWeaponTypeDropTank || unit.nAmmo[s] <= 0) continue;
        total += unit.nAmmo[s];
        tanks = true;
    }
    uint32_t value = static_cast<uint32_t>(std::min<int64_t>(total, 0x7FFFFFFF));
    return tanks ? (value | kFuelTotalDropTanks) : value;
}

int GetUnitConditionLevels(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    uint32_t total = GetUnitFuelTotal(unit);
    int fuel = 0;
    if (total & kFuelTotalDropTanks)
        fuel = 3;
    else if (static_cast<int>(total) <= a->nMovePoint)
        fuel = 2;
    else if (static_cast<int>(total) <= a->nFuelMax / 2)
        fuel = 1;
    int strength = 0;
    if (unit.nStrength <= a->nStrengthMax / 5)
        strength = 2;
    else if (unit.nStrength <= a->nStrengthMax * 4 / 10)
        strength = 1;
    return fuel << 16 | strength;
}

int HasNoAttackWeapon(const UNITSTRUCT& unit)
{
    const ARMSET* set = UnitArmSet(unit);
    if (!set) return 1;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || set->nCount[s] == 0) continue;
        for (int d = 0; d < 5; ++d) {
            if (w->nAttack[d] > 0) return 0;
        }
    }
    return 1;
}

int GetBombLoadState(const UNITSTRUCT& unit)
{
    int state = -1;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || !IsBombingWeapon(*w)) continue;
        if (unit.nAmmo[s] > 0) return 1;
        state = 0;
    }
    return state;
}

uint32_t GetBombingRange(const UNITSTRUCT& unit)
{
    int maxRange = -1;
    int minRange = 0x7FFFFFFF;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || !IsBombingWeapon(*w) || unit.nAmmo[s] <= 0) continue;
        maxRange = std::max(maxRange, w->nRange[3]);
        minRange = std::min(minRange, w->nRange[2]);
    }
    if (maxRange < 0) return 0;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(unit.dwHexCell));
    int reach = maxRange + (t ? t->nHeight : 0);
    return (static_cast<uint32_t>(minRange & 0xFFFF) << 16) | static_cast<uint32_t>(reach & 0xFFFF);
}

int HasUsableCarrySlot(const UNITSTRUCT& unit, const GAMEDATASTRUCT* game)
{
    if (game && WeatherClass(GetWeatherEffect(*game)) >= 2) return 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (w && w->byType == kWeaponTypeCarrySpace && unit.nAmmo[s] > 0) return 1;
    }
    return 0;
}

int CanLaunchAircraft(std::span<UNITSTRUCT> units, const UNITSTRUCT& carrier, const GAMEDATASTRUCT& game)
{
    if (!IsNavalDomainUnit(carrier) || !(carrier.dwFlag & kUnitCarries)) return 0;
    int cls = WeatherClass(GetWeatherEffect(game));
    if (cls == 3 || cls == 5) return 0;
    for (const UNITSTRUCT& u : units) {
        if (IsCarriedBy(units, u, carrier) && IsAirDomainUnit(u) && !(u.dwFlag & kUnitActed)) return 1;
    }
    return 0;
}

uint32_t GetSupplyStock(const UNITSTRUCT& unit)
{
    const ARMSET* set = UnitArmSet(unit);
    for (int s = 0; s < kWeaponSlots && set; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || w->byType != kWeaponTypeSupplyStock) continue;
        return static_cast<uint32_t>(unit.nAmmo[s] & 0xFFFF) | (static_cast<uint32_t>(set->nCount[s]) << 16);
    }
    return 0;
}

int HasSupplyStock(int type)
{
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = WeaponRecord(type, s);
        if (w && w->byType == kWeaponTypeSupplyStock && w->nWeaponNo != 0) return 1;
    }
    return 0;
}

int GetStrengthUnits(const UNITSTRUCT& unit, int amount)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    int strength = unit.nStrength + amount;
    if (!a || !CountedInPieces(*a)) return strength;
    // A full strength of 0 is refused by the library check; keep the division safe anyway.
    int units = strength * 10 / std::max(1, a->nStrengthMax);
    return std::max(1, units);
}

void AddUnitExperience(UNITSTRUCT& unit, int amount)
{
    unit.nExp = std::min(kMaxExperience, unit.nExp + amount);
}

int SumUnitWeaponValue(const UNITSTRUCT& unit, int kindFlag, int set)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    if (set > 5) return 0;
    bool wantSurface = kindFlag != 0;
    int sum = 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w) continue;
        int count = set < 0 ? unit.nAmmo[s] : a->Arm[set].nCount[s];
        if (count == 0 || LoadCountsAgainstSurface(*w) != wantSurface) continue;
        if (IsDroppable(*w) && (unit.dwOrder & kOrderJettisonPending)) continue;
        sum += w->nLoad;
    }
    return sum;
}

int GetUnitTally(const UNITSTRUCT* unit, int kind)
{
    if (!unit) return 0;
    switch (kind) {
        case 0:
            return HighHalf(unit->dwTally0);
        case 1:
            return LowHalf(unit->dwTally0);
        case 2:
            return HighHalf(unit->dwTally1);
        case 3:
            return LowHalf(unit->dwTally1);
        default:
            return 0;
    }
}

int GetUnitListState(const UNITSTRUCT& unit)
{
    uint32_t f = unit.dwFlag;
    if ((f & kUnitInPool) && (f & kUnitOffMap)) return 5;
    if (f & kUnitInPool) return 4;
    if (f & kUnitActed) return 3;
    if (f & kUnitSupplied) return 1;
    if (f & kUnitCarried) return 2;
    return 0;
}

// --- prices ----------------------------------------------------------------------------------

int GetArmsUnitPrice(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    if (!a) return 0;
    return CountedInPieces(*a) ? a->nPrice : a->nPrice * a->nStrengthMax;
}

namespace {
// A price for the whole unit scaled to its present strength; a unit not
// counted in pieces pays per strength point of the full strength.
int ScaledPrice(const UNITSTRUCT& unit, int64_t price)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || price <= 0) return static_cast<int>(std::max<int64_t>(price, 0));
    if (!CountedInPieces(*a))
        price = std::max<int64_t>(1, price * unit.nStrength / std::max(1, a->nStrengthMax));
    return static_cast<int>(std::min<int64_t>(price, 0x7FFFFFFF));
}
}  // namespace

int GetFuelPrice(const UNITSTRUCT& unit, int points)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    return ScaledPrice(unit, static_cast<int64_t>(a->nFuelPrice) * points);
}

int GetRoundPrice(const UNITSTRUCT& unit, int slot, int rounds)
{
    const WEAPONSTRUCT* w = UnitWeapon(unit, slot);
    if (!w) return 0;
    return ScaledPrice(unit, static_cast<int64_t>(w->nRoundPrice) * rounds);
}

int GetUnitResupplyCost(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const ARMSET* set = UnitArmSet(unit);
    if (!a || !set) return 0;
    int missingFuel = std::max(0, a->nFuelMax - unit.nFuel);
    if (a->nClass == 26 || a->nClass == 62)
        return unit.nFuel < a->nFuelMax / 5 ? GetFuelPrice(unit, missingFuel) : 0;
    int cost = missingFuel > 0 ? GetFuelPrice(unit, missingFuel) : 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        int missing = set->nCount[s] - unit.nAmmo[s];
        if (missing > 0) cost += GetRoundPrice(unit, s, missing);
    }
    return cost;
}

// --- map -------------------------------------------------------------------------------------

int GetTerrainMoveCost(const GAMEDATASTRUCT& game, int moveType, int column)
{
    const auto& table = IsSnowInForce(game) ? Lib().TerrainCostTableSnow : Lib().TerrainCostTable;
    if (moveType < 0 || moveType >= static_cast<int>(table.size()) || column < 0 || column >= kCostColumns)
        return 0;
    return table[static_cast<size_t>(moveType)][static_cast<size_t>(column)];
}

int IsRoadWashedOut(const GAMEDATASTRUCT& game, MAPCELL cell, int kind)
{
    if (!(game.dwStateFlag & kStateWeatherBit)) return 0;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    const TRRNSTRUCT* road = RoadRecord(kind);
    if (!t || !road || IsMudImmune(*t)) return 0;
    // A limit of 0 means the route never turns to mud, as for the usable-route test.
    return (road->nRainLimit != 0 && game.nRainLevel >= road->nRainLimit) ? 1 : 0;
}

bool RouteCarries(MAPCELL cell, const ARMSSTRUCT& arms)
{
    return CellRoutes(cell) != 0 && CellDurability(cell) >= arms.nWeight;
}

void SetUnitHexCell(UNITSTRUCT& unit, MAPCELL cell)
{
    if (cell == 0) return;
    unit.dwHexCell = cell;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || !IsGroundDomainArms(*a)) return;
    unit.dwFlag &= ~kUnitInWater;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    if (t && IsDeepWater(*t) && a->nMoveType >= 13 && a->nMoveType <= 15 && !RouteCarries(cell, *a))
        unit.dwFlag |= kUnitInWater;
}

int CanUseHexAsBase(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game, MAPCELL cell, bool carrierForm)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    if (!a || !t) return 0;
    uint32_t field = BaseNibble(t->dwBaseField, a->nBaseKind);
    if (!IsAirDomainArms(*a) || RouteServesAirBase(*t)) {
        TRRNSTRUCT routes{};
        if (HasUsableRoute(cell, game, &routes)) {
            uint32_t routeField = BaseNibble(routes.dwBaseField, a->nBaseKind);
            if (routeField & 6u) field = (field & ~1u) | routeField;
        }
    }
    if (!(field & 7u)) return 0;
    if ((field & 1u) && IsSnowInForce(game)) return 0;
    if (IsAirClass(*a) && IsNoAirBase(*t) && !(carrierForm && a->nClass == 58)) return 0;
    return 1;
}

int ListEnterableNeighbourHexes(HEXINDEX hex, const UNITSTRUCT& unit, const GAMEDATASTRUCT& game,
                                std::span<const MAPCELL, kHexCount> cells,
                                std::span<const UnitRef, kHexCount> hexUnit,
                                std::span<const uint32_t, kHexCount> sensor, const NeighbourSearch& how,
                                std::span<HEXINDEX> out)
{
    if (out.empty()) return 0;
    size_t n = 0;
    const ARMSSTRUCT* a = UnitArms(unit);
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    if (a && IsMapHex(hex)) {
        int side = own ? own->nSide : ((unit.dwFlag & kUnitSide1) ? 1 : 0);
        int country = RefCountry(unit.refSelf);
        MAPCELL here = cells[static_cast<size_t>(hex)];
        int startCost = GetTerrainMoveCost(game, a->nMoveType, CellTerrain(here));
        if (how.byClass || how.byLanding) startCost += 1;
        for (HEXINDEX nb : GetNeighbourSlots(hex)) {
            if (nb == kNoHex || n + 1 >= out.size()) continue;
            UnitRef occupant = hexUnit[static_cast<size_t>(nb)];
            if (occupant != kNoUnit && !(sensor[static_cast<size_t>(nb)] & (1u << (side & 1)))) {
                if (!(how.ownUnitsAllowed && RefCountry(occupant) == country)) continue;
            }
            MAPCELL cell = cells[static_cast<size_t>(nb)];
            if (CellClosedToSide(cell, side)) continue;
            const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
            if (!t) continue;
            int cost = GetTerrainMoveCost(game, a->nMoveType, CellTerrain(cell));
            bool ok = false;
            if (how.byTerrain) {
                ok = startCost != 0 && cost > 0;
                int shared = CellRoutes(here) & CellRoutes(cell);
                if (!ok && shared && CellDurability(cell) >= a->nWeight) {
                    for (int k = 0; k < kRouteKinds && !ok; ++k) {
                        if (!((shared >> k) & 1)) continue;
                        if (IsRoadWashedOut(game, cell, k)) continue;
                        ok = GetTerrainMoveCost(game, a->nMoveType, kCostTerrainColumns + k) > 0;
                    }
                }
            }
            if (!ok && how.byClass && (a->nClass == 14 || a->nClass == 21)) ok = cost > 0;
            if (!ok && how.byLanding) {
                uint32_t flags = t->dwTrrnFlag;
                if (RouteFlagsCountForLanding(*t)) {
                    TRRNSTRUCT routes{};
                    if (HasUsableRoute(cell, game, &routes)) flags |= routes.dwTrrnFlag;
                }
                ok = (flags & (1u << 21)) != 0;
            }
            if (ok) out[n++] = nb;
        }
    }
    out[n] = -1;
    return n > 0 ? 1 : 0;
}

bool IsStrandedUnit(const UNITSTRUCT& unit, const GAMEDATASTRUCT& game, MAPCELL cell)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    if (!a || !t || !IsGroundDomainArms(*a) || !IsDeepWater(*t)) return false;
    return CellRoutes(cell) == 0 && GetTerrainMoveCost(game, a->nMoveType, CellTerrain(cell)) <= 0;
}

const UNITSTRUCT* HasSameTypeNeighbour(const GAMEDATASTRUCT& game,
                                       std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit,
                                       std::span<const HEXINDEX> excluded)
{
    int country = RefCountry(unit.refSelf);
    if (country >= kCountryCount || !IsMapHex(unit.nHex)) return nullptr;
    for (HEXINDEX nb : GetNeighbourSlots(unit.nHex)) {
        if (nb == kNoHex || std::find(excluded.begin(), excluded.end(), nb) != excluded.end()) continue;
        UnitRef ref = hexUnit[static_cast<size_t>(nb)];
        if (!IsUnitRef(ref) || RefCountry(ref) != country) continue;
        const UNITSTRUCT& u = game.Country[country].Unit[RefSlot(ref)];
        if (InUse(u) && &u != &unit && u.nArms == unit.nArms && !(u.dwFlag & kUnitActed)) return &u;
    }
    return nullptr;
}

int IsEnemyOnAdjacentCapital(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                             const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (!c || (unit.dwFlag & kUnitCarried) || !IsMapHex(unit.nHex) || !IsMapHex(c->nCapital)) return 0;
    if (GetHexDistance(unit.nHex, c->nCapital) != 1) return 0;
    UnitRef ref = hexUnit[static_cast<size_t>(c->nCapital)];
    if (!IsUnitRef(ref)) return 0;
    return game.Country[RefCountry(ref)].nSide != c->nSide ? 1 : 0;
}

int GetNearestOwnSideGroundUnit(const GAMEDATASTRUCT& game, int country, HEXINDEX hex)
{
    int best = 32767;
    if (country < 0 || country >= kCountryCount || !IsMapHex(hex)) return best;
    int side = game.Country[country].nSide;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent) || c.nSide != side) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            if (!InUse(u) || (u.dwFlag & kUnitCarried) || !IsMapHex(u.nHex) || !IsGroundDomainUnit(u))
                continue;
            best = std::min(best, GetHexDistance(hex, u.nHex));
        }
    }
    return best;
}

// --- movement points and new records -------------------------------------------------------

void CalcUnitMovePoints(UNITSTRUCT& unit, const GAMEDATASTRUCT* game)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) {
        unit.nMove = 0;
        return;
    }
    int points = a->nMovePoint;
    bool inWater = (unit.dwFlag & kUnitInWater) != 0;
    if (inWater && a->wBattery > 0) {
        unit.nMove = NeverOnBatteryAlone(*a) ? points : HalfUp(points);
        return;
    }
    int effect = game ? GetWeatherEffect(*game) : 0;
    int cls = WeatherClass(effect);
    bool ground = IsGroundDomainArms(*a);
    bool halve = (cls == 3 && (IsNavalDomainArms(*a) || inWater)) || (cls == 4 && ground) ||
                 (cls == 5 && !IsAirDomainArms(*a)) ||
                 (WeatherLight(effect) == 2 && ground && !IsNightCapable(*a));
    unit.nMove = halve ? HalfUp(points) : points;
}

void RecalcAllMovePoints(GAMEDATASTRUCT& game)
{
    for (COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent)) continue;
        for (UNITSTRUCT& u : c.Unit) {
            if (InUse(u)) CalcUnitMovePoints(u, &game);
        }
    }
}

int IsSerialUnique(const UNITSTRUCT& unit, std::span<const UNITSTRUCT> units,
                   std::span<const UNITSTRUCT> pool, int serial)
{
    auto clash = [&](std::span<const UNITSTRUCT> list) {
        for (const UNITSTRUCT& u : list) {
            if (&u != &unit && InUse(u) && u.nSerial % 1000 == serial % 1000) return true;
        }
        return false;
    };
    return (clash(units) || clash(pool)) ? 0 : 1;
}

void InitUnitRecord(COUNTRYSTRUCT* country, UNITSTRUCT& unit, int slot, HEXINDEX hex, int type,
                    uint32_t value, const GAMEDATASTRUCT* game, std::span<const UNITSTRUCT> pool)
{
    std::memset(&unit, 0, sizeof unit);
    int display = country ? (country->nDisplay & 0xF) : 1;
    unit.dwFlag = kUnitInUse | kUnitActed | (static_cast<uint32_t>(display) << 24);
    unit.nArms = type;
    unit.nHex = hex;
    const ARMSSTRUCT* a = ArmsRecord(type);
    if (a) {
        unit.nStrength = CountedInPieces(*a) ? 1 : a->nStrengthMax;
        unit.nFuel = a->nFuelMax;
        for (int s = 0; s < kAmmoSlots; ++s) unit.nAmmo[s] = a->Arm[0].nCount[s];
        unit.nBattery = a->wBattery;
    }
    unit.dwCargo = MakeCargo(kNoCarrier, 0);
    CalcUnitMovePoints(unit, game);
    int index = country ? (country->nIndex & 0xFFFF) : 1;
    if (slot >= 0 && country) {
        // Serials are shown modulo 1000; there are fewer than 1000 records to
        // clash with, so a free one is always found within 1000 tries.
        int serial = country->nNextSerial;
        for (int tries = 0; tries < 1000 && !IsSerialUnique(unit, country->Unit, pool, serial); ++tries)
            ++serial;
        unit.nSerial = serial;
        country->nNextSerial = serial + 1;
        unit.refSelf = MakeUnitRef(index, slot);
    } else {
        unit.refSelf = static_cast<UnitRef>(index);
    }
    unit.dwBirthDate = value;
    if (country) {
        if (country->nSide == 1) unit.dwFlag |= kUnitSide1;
        if (country->nControl != 0) country->dwFlag |= kCountryCpuBit;
    } else {
        unit.dwFlag |= kUnitSide1;
    }
}

// --- checks of indexes read from files ---------------------------------------------------

UnitIndexFault CheckUnitIndexes(std::span<const UNITSTRUCT> units, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return UnitIndexFault::Type;
    if (unit.nMode < 0 || unit.nMode > 5) return UnitIndexFault::Mode;
    if (a->nClass < 0 || a->nClass >= kClassCount) return UnitIndexFault::Class;
    if (a->nCarryClass >= kCarryClasses) return UnitIndexFault::CarryClass;
    int carrier = CargoCarrier(unit.dwCargo);
    if (carrier != kNoCarrier) {
        if (carrier >= kUnitSlots || carrier >= static_cast<int>(units.size()) ||
            !InUse(units[static_cast<size_t>(carrier)]))
            return UnitIndexFault::Carrier;
    }
    if ((unit.dwFlag & kUnitCarried) && !OutermostIn(units, unit)) return UnitIndexFault::Carrier;
    return UnitIndexFault::None;
}

bool CheckGameIndexes(const GAMEDATASTRUCT& game, int* badCountry, int* badSlot)
{
    auto fail = [&](int c, int s) {
        if (badCountry) *badCountry = c;
        if (badSlot) *badSlot = s;
        return false;
    };
    for (int c = 0; c < kCountryCount; ++c) {
        const COUNTRYSTRUCT& country = game.Country[c];
        if (!(country.dwFlag & kCountryPresent)) continue;
        if (country.nCountryId < 0 || country.nCountryId >= kCountryIdCount) return fail(c, -1);
        for (int s = 0; s < kUnitSlots; ++s) {
            if (InUse(country.Unit[s]) &&
                CheckUnitIndexes(country.Unit, country.Unit[s]) != UnitIndexFault::None)
                return fail(c, s);
        }
    }
    for (int s = 0; s < kCarryUnitCount; ++s) {
        const UNITSTRUCT& u = game.CarryUnit[s];
        if (InUse(u) && CheckUnitIndexes(game.CarryUnit, u) != UnitIndexFault::None)
            return fail(kCountryCount, s);
    }
    return true;
}

}  // namespace zrv
