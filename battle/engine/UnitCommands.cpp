#include "battle/engine/UnitCommands.h"

#include <algorithm>

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/HexRoutes.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

constexpr uint32_t kCountryCpuBit = 0x40000000u;
constexpr uint32_t kStateWeatherBit = 0x40000000u;
constexpr uint32_t kStateDayNightBit = 0x10000000u;
constexpr int kNeutralSide = 2;
constexpr int kRecallRings = 5;
constexpr int kCarrierClass = 58;

bool InUse(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0;
}

COUNTRYSTRUCT* MutableCountry(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    return const_cast<COUNTRYSTRUCT*>(UnitCountry(game, unit));
}

int CountryIndexOf(const GAMEDATASTRUCT& game, const COUNTRYSTRUCT& c)
{
    return static_cast<int>(&c - game.Country);
}

const TRRNSTRUCT* CellTerrainRecord(MAPCELL cell)
{
    return TerrainRecord(CellTerrain(cell));
}

// The base nibble of a cell for a base kind, merged with the usable routes
// where routes may serve (non-air types, or terrain that lets routes serve air bases).
uint32_t MergedBaseField(const GAMEDATASTRUCT& game, const ARMSSTRUCT& a, MAPCELL cell)
{
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    if (!t) return 0;
    uint32_t field = BaseNibble(t->dwBaseField, a.nBaseKind);
    if (!IsAirDomainArms(a) || RouteServesAirBase(*t)) {
        TRRNSTRUCT routes{};
        if (HasUsableRoute(cell, game, &routes)) {
            uint32_t r = BaseNibble(routes.dwBaseField, a.nBaseKind);
            if (r & 6u) field = (field & ~1u) | r;
        }
    }
    return field;
}

// Free records of the carry-over pool.
int FreePoolRecords(const GAMEDATASTRUCT& game)
{
    int n = 0;
    for (const UNITSTRUCT& u : game.CarryUnit) n += InUse(u) ? 0 : 1;
    return n;
}

// Deployment hexes of a kind round the capital (kinds 1 naval, 2 ground, 3 air).
bool IsDeploymentHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                     const COUNTRYSTRUCT& country, int kind, HEXINDEX hex)
{
    if (!IsMapHex(hex) || !IsMapHex(country.nCapital)) return false;
    int d = GetHexDistance(country.nCapital, hex);
    if (d > kRecallRings) return false;
    MAPCELL cell = cells[static_cast<size_t>(hex)];
    const uint32_t blocked = country.nSide == 1 ? 0xA0000000u : 0xC0000000u;
    if (cell & blocked) return false;
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    if (!t) return false;
    if (kind == 2 && d <= 1) return !IsExcludedFromCapitalRing(*t);
    bool kindBit = kind == 1   ? IsNavalDeploymentHex(*t)
                   : kind == 3 ? IsAirDeploymentHex(*t)
                               : IsGroundDeploymentHex(*t);
    return kindBit && CellOwner(cell) == CountryIndexOf(game, country);
}

// Fires the weapons of a raid (flag bit `flagBit`) once and rolls the damage.
int RaidDamage(UNITSTRUCT& unit, uint32_t flagBit, RuleDraws& draws)
{
    int power = 0;
    unit.nCpuScore = 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || !(w->dwWeaponFlag & flagBit) || unit.nAmmo[s] == 0) continue;
        unit.nCpuScore |= 1 << s;
        --unit.nAmmo[s];
        power += w->nAttack[2] * w->nPieces * (IsDoubleWeapon(*w) ? 2 : 1);
    }
    int raw = (unit.nStrength * power + unit.nExp) / 10;
    int damage = raw > 0 ? raw + raw * (draws.Rand() % 50 + 1) / 100 : 1;
    if (unit.nStrength > 0) AddUnitExperience(unit, damage / unit.nStrength);
    return damage;
}

// Whose owner a raid may hit: 0 allowed, else the code of the refusal.
int OwnerRaidCode(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell, bool anyOwner,
                  int ownCode, int allyCode, int friendlyCode)
{
    const COUNTRYSTRUCT* owner = CellOwnerCountry(game, cell);
    if (!owner) return 0;
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    if (own == owner) return ownCode;
    if (own && AreAllies(*own, *owner)) return allyCode;
    if (anyOwner) return 0;
    return (own && IsHostileSide(own->nSide, owner->nSide)) ? 0 : friendlyCode;
}

void TakeFuelOrBattery(UNITSTRUCT& unit, int amount)
{
    unit.nFuel -= amount;
    if (unit.nFuel < 0) {
        unit.nBattery = std::max(0, unit.nBattery + unit.nFuel);
        unit.nFuel = 0;
    }
}

// Marks a type seen for every present country of the same side, or where
// either side is neutral.
void PassTypeOn(GAMEDATASTRUCT& game, const COUNTRYSTRUCT& from, int type)
{
    if (type <= 0 || type >= kArmsCount) return;
    const uint32_t date = DateOnly(game.dwDateTime);
    for (COUNTRYSTRUCT& c : game.Country) {
        if (!(c.dwFlag & kCountryPresent)) continue;
        if (c.nSide != from.nSide && c.nSide != kNeutralSide && from.nSide != kNeutralSide) continue;
        uint32_t& w = c.dwArmsAvail[type];
        if (!(w & 0x20000000u)) w = (w & 0xFF000000u) | 0x20000000u | date;
    }
}

int ClassListFor(int cls)
{
    return cls == 3 ? 2 : cls;
}

}  // namespace

// --- relations --------------------------------------------------------------------------------

const COUNTRYSTRUCT* CellOwnerCountry(const GAMEDATASTRUCT& game, MAPCELL cell)
{
    int owner = CellOwner(cell);
    return (owner < 0 || owner >= kCountryCount) ? nullptr : &game.Country[owner];
}

bool AreAllies(const COUNTRYSTRUCT& a, const COUNTRYSTRUCT& b)
{
    return a.nCountryId == b.nCountryId && !IsHostileSide(a.nSide, b.nSide);
}

int SupplyTableEntry(int unitCountryId, int ownerCountryId)
{
    if (unitCountryId < 0 || unitCountryId >= kCountryIds || ownerCountryId < 0 ||
        ownerCountryId >= kCountryIds)
        return 0;
    const auto& table = Lib().SupplyTable;
    size_t i = static_cast<size_t>(unitCountryId * kCountryIds + ownerCountryId);
    return i < table.size() ? table[i] : 0;
}

bool IsFlyingWeather(const GAMEDATASTRUCT& game)
{
    int cls = WeatherClass(GetWeatherEffect(game));
    return cls != 3 && cls != 5;
}

// --- shared supply rules -----------------------------------------------------------------------

int CheckOwnerSupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nBaseKind < 0 || a->nReplenish == 0) return 64;
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    if (!t || !(BaseNibble(t->dwBaseField, a->nBaseKind) & 4u)) return 65;
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    const COUNTRYSTRUCT* owner = CellOwnerCountry(game, cell);
    if (!own || !owner) return 67;
    if (owner == own) return 0;
    if (owner->nSide != own->nSide && owner->nSide != kNeutralSide) return 67;
    return SupplyTableEntry(own->nCountryId, owner->nCountryId) <= 127 ? 67 : 0;
}

int CheckHexOwnerResupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell)
{
    const COUNTRYSTRUCT* own = UnitCountry(game, unit);
    const COUNTRYSTRUCT* owner = CellOwnerCountry(game, cell);
    if (own && owner == own) return 0;
    if (!own || !owner || (owner->nSide != own->nSide && owner->nSide != kNeutralSide)) return 53;
    int entry = SupplyTableEntry(own->nCountryId, owner->nCountryId);
    if (entry & 0x82) return 0;
    if (entry & 0x01) {
        const ARMSSTRUCT* a = UnitArms(unit);
        return (a && unit.nFuel < a->nFuelMax) ? 55 : 53;
    }
    return 53;
}

int CheckSupplyAtHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell, SupplyMode mode,
                     bool testHexWhenCarried)
{
    if (unit.dwFlag & kUnitCarried) {
        const UNITSTRUCT* carrier = GetCarrier(UnitArrayOf(game, unit), unit);
        const ARMSSTRUCT* ca = carrier ? UnitArms(*carrier) : nullptr;
        if (!carrier || (carrier->dwFlag & kUnitActed) || !ca || ca->nClass != kCarrierClass) return 52;
        if (!testHexWhenCarried) return 0;
    }
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nBaseKind < 0) return 50;
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    if (mode == SupplyMode::Resupply) {
        if (!t || !(BaseNibble(t->dwBaseField, a->nBaseKind) & 4u)) return 51;
        return CheckHexOwnerResupply(game, unit, cell);
    }
    if (HasSupplyStock(unit.nArms) && unit.nFuel >= a->nFuelMax) return 59;
    uint32_t field = MergedBaseField(game, *a, cell);
    if (!(field & 6u)) return ((field & 1u) && IsSnowInForce(game)) ? 57 : 56;
    return 0;
}

int CheckUnitSupply(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                    const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const ARMSET* set = UnitArmSet(unit);
    if (!a || !set) return 52;
    if (HasSupplyStock(unit.nArms) && unit.nFuel >= a->nFuelMax) return 59;
    if ((unit.dwFlag & kUnitCarried) || !IsMapHex(unit.nHex)) return 52;
    if (int code = CheckSupplyAtHex(game, unit, unit.dwHexCell, SupplyMode::Base)) return code;
    // The cheapest missing item at its unscaled price.
    int cheapest = -1;
    if (unit.nFuel < a->nFuelMax) cheapest = a->nFuelPrice;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (w && unit.nAmmo[s] < set->nCount[s] && (cheapest < 0 || w->nRoundPrice < cheapest))
            cheapest = w->nRoundPrice;
    }
    const bool shipsServe = WeatherClass(GetWeatherEffect(game)) != 3;
    const int country = RefCountry(unit.refSelf);
    for (HEXINDEX nb : GetNeighbourSlots(unit.nHex)) {
        if (nb == kNoHex) continue;
        UnitRef ref = hexUnit[static_cast<size_t>(nb)];
        if (!IsUnitRef(ref) || RefCountry(ref) != country) continue;
        const UNITSTRUCT& s = game.Country[country].Unit[RefSlot(ref)];
        if (!InUse(s) || (IsNavalDomainUnit(s) && !shipsServe)) continue;
        int stock = static_cast<int>(GetSupplyStock(s) & 0xFFFFu);
        if (cheapest >= 0 && stock * 10 >= cheapest) return 0;
    }
    return 60;
}

int CheckSupplyFromOwner(const GAMEDATASTRUCT& game, UNITSTRUCT& unit)
{
    unit.dwFlag &= ~(kUnitWantsFuel | kUnitWantsRounds);
    const ARMSSTRUCT* a = UnitArms(unit);
    const ARMSET* set = UnitArmSet(unit);
    if (unit.dwFlag & kUnitInWater) return 63;
    if (!a || !set || IsMarchType(*a)) return 62;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    const int funds = c ? c->nFund : 0;
    const bool fuelMissing = unit.nFuel < a->nFuelMax;
    if (fuelMissing) unit.dwFlag |= kUnitWantsFuel;
    bool roundMissing = false;
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (!UnitWeapon(unit, s) || unit.nAmmo[s] >= set->nCount[s]) continue;
        roundMissing = true;
        if (GetRoundPrice(unit, s, 1) <= funds) {
            unit.dwFlag |= kUnitWantsRounds;
            return 0;
        }
    }
    if (!fuelMissing && !roundMissing) return 61;
    // Affordable fuel beside rounds that cannot be paid is still refused.
    if (!fuelMissing || GetFuelPrice(unit, 1) > funds || roundMissing) return 54;
    return 0;
}

int CheckReplenish(const GAMEDATASTRUCT& game, UNITSTRUCT& unit)
{
    unit.dwFlag &= ~kUnitReplenishChecked;
    if (unit.dwFlag & kUnitSupplied) return 58;
    unit.dwFlag |= kUnitReplenishChecked;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || unit.nStrength >= a->nStrengthMax) return 70;
    if (unit.dwFlag & kUnitCarried) return 66;
    if (int code = CheckOwnerSupply(game, unit, unit.dwHexCell)) return code;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (!c || c->nFund < a->nPrice) return 68;
    return 0;
}

// --- checks ------------------------------------------------------------------------------------------

int CheckRecall(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit)
{
    if (!(game.dwGameOption & kOptionCampaign)) return 152;
    GAMEDATASTRUCT& g = const_cast<GAMEDATASTRUCT&>(game);  // only listed, never changed
    std::array<UNITSTRUCT*, kUnitSlots + 1> list{};
    int count = ListUnitAndCargo(UnitArrayOf(g, unit), const_cast<UNITSTRUCT&>(unit), list);
    if (FreePoolRecords(game) < count) return 153;
    if (IsMapHex(unit.nHex)) {
        UnitRef ref = hexUnit[static_cast<size_t>(unit.nHex)];
        if (ref != kNoUnit && ref != unit.refSelf) return 154;
    }
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    if (!c || (c->dwFlag & kCountryCpuBit)) return 155;
    const ARMSSTRUCT* a = UnitArms(unit);
    int kind = (a && IsNavalClass(*a)) ? 1 : (a && IsAirClass(*a)) ? 3 : 2;
    if (!IsDeploymentHex(game, cells, *c, kind, unit.nHex)) return 156;
    return 0;
}

int CheckDive(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, bool siteOnly)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nMoveType != kMoveTypeSubmarine) return 144;
    const TRRNSTRUCT* t = CellTerrainRecord(unit.dwHexCell);
    if (!t || !IsDeepWater(*t)) return 146;
    if (siteOnly) return 0;
    if (unit.dwFlag & kUnitInWater) return 145;
    const int cls = WeatherClass(GetWeatherEffect(game));
    if (BatteryDrainsInStorm(*a) && cls == 3 && unit.nBattery < 2) return 147;
    int reserve = unit.nBattery + ((BatteryDrainsInStorm(*a) || NeverOnBatteryAlone(*a)) ? unit.nFuel : 0);
    if (reserve < 2) return 148;
    return 0;
}

int CheckSurface(const UNITSTRUCT& unit)
{
    if (!(unit.dwFlag & kUnitInWater)) return 149;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nMoveType != kMoveTypeSubmarine) return 150;
    if (unit.nBattery + unit.nFuel < 1) return 151;
    return 0;
}

int CheckUnitDisband(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return (a && IsMarchType(*a)) ? 29 : 0;
}

int CheckUnloadTargetHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                         std::span<const UnitRef, kHexCount> hexUnit,
                         std::span<const uint32_t, kHexCount> sensor, const UNITSTRUCT& carrier,
                         bool askWeather)
{
    if (!(carrier.dwFlag & kUnitCarries) || CargoCount(carrier.dwCargo) == 0) return 121;
    if (carrier.dwFlag & kUnitCarried) return 125;
    const ARMSSTRUCT* a = UnitArms(carrier);
    if (!a || a->nClass == kCarrierClass) return 122;
    const TRRNSTRUCT* t = CellTerrainRecord(carrier.dwHexCell);
    if (!t) return 123;
    if (!HasUsableCarrySlot(carrier, &game) && !CanUseHexAsBase(carrier, game, carrier.dwHexCell, false) &&
        (!IsAirDomainArms(*a) || !IsNoAirBase(*t)))
        return 123;
    if (askWeather && WeatherClass(GetWeatherEffect(game)) == 3 && IsDeepWater(*t)) return 126;
    std::span<const UNITSTRUCT> units = UnitArrayOf(game, carrier);
    NeighbourSearch how;
    how.byClass = true;
    how.byLanding = true;
    for (const UNITSTRUCT& u : units) {
        if (!InUse(u) || !(u.dwFlag & kUnitCarried) || GetCarrier(units, u) != &carrier) continue;
        std::array<HEXINDEX, kHexDirections + 1> out{};
        if (ListEnterableNeighbourHexes(carrier.nHex, u, game, cells, hexUnit, sensor, how, out)) return 0;
    }
    return 124;
}

int CheckUnitBombing(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                     const UNITSTRUCT& unit, HEXINDEX hex, bool anyOwner)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 110;
    int state = GetBombLoadState(unit);
    if (state < 0) return 110;
    if (state == 0) return 111;
    const int cls = WeatherClass(GetWeatherEffect(game));
    if (a->nClass == 54) return 116;
    if (IsAirDomainArms(*a) && !IsMarchType(*a) && (cls == 2 || cls == 3)) return 115;
    if (unit.dwFlag & kUnitCarried) return 117;
    if (!IsMapHex(hex)) return 0;
    MAPCELL cell = cells[static_cast<size_t>(hex)];
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    int floor = (t && HasDurabilityFloor(*t)) ? 1 : 0;
    if (CellDurability(cell) <= floor) return 112;
    return OwnerRaidCode(game, unit, cell, anyOwner, 113, 118, 114);
}

int CheckUnitAttack(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    if (unit.dwFlag & kUnitCarried) return 109;
    const ARMSSTRUCT* a = UnitArms(unit);
    const ARMSET* set = UnitArmSet(unit);
    if (!a || !set) return 106;
    const int cls = WeatherClass(GetWeatherEffect(game));
    if ((cls == 3 && IsNavalDomainArms(*a)) || (cls == 4 && IsGroundDomainArms(*a))) return 108;
    const bool submerged = (unit.dwFlag & kUnitInWater) != 0;
    bool any = false;
    bool loaded = false;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || set->nCount[s] == 0) continue;
        if (submerged && w->byType != kWeaponTypeTorpedo) continue;
        if (cls == 3 && (w->byType == kWeaponTypeTorpedo || w->byType == kWeaponTypeDepthCharge)) continue;
        if (std::none_of(std::begin(w->nAttack), std::end(w->nAttack), [](int v) { return v > 0; })) continue;
        any = true;
        if (unit.nAmmo[s] > 0) loaded = true;
    }
    if (!any) return 106;
    if (!loaded) return 107;
    // A unit that has just unloaded with no attack left reaches nothing.
    if (unit.dwFlag & kUnitNoAttackAfterUnload) return 105;
    std::array<UNITSTRUCT*, 2> one{};
    if (ListTargetsInRange(unit, game, (unit.dwFlag & kUnitMoved) != 0, false, one) == 0) return 105;
    return 0;
}

int CheckOccupy(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells, const UNITSTRUCT& unit,
                HEXINDEX hex, bool anyOwner)
{
    if (unit.dwFlag & kUnitCarried) return 103;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || !CanOccupy(*a)) return 99;
    if (!IsMapHex(hex)) return 0;
    MAPCELL cell = cells[static_cast<size_t>(hex)];
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    if (!t || !IsOccupiable(*t)) return 100;
    return OwnerRaidCode(game, unit, cell, anyOwner, 101, 104, 102);
}

int CheckBoardCarrier(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, const UNITSTRUCT& carrier)
{
    if (unit.dwFlag & kUnitCarried) return 90;
    const ARMSSTRUCT* a = UnitArms(unit);
    const ARMSSTRUCT* ca = UnitArms(carrier);
    if (!a || !ca) return 85;
    int cls = a->nCarryClass;
    if (cls < 0) {
        const TRRNSTRUCT* t = CellTerrainRecord(carrier.dwHexCell);
        if (a->nBaseKind == 0 && a->nWeight < 15 && t && CarrierTakesLightAsClass0(*t)) cls = 0;
    }
    if (cls < 0 || cls >= kCarryClasses) return 85;
    std::array<int, kCarryClasses> cap = GetCarrierCapacity(carrier.nArms, &carrier);
    if (cap[static_cast<size_t>(cls)] == 0) return 88;
    std::span<const UNITSTRUCT> units = UnitArrayOf(game, carrier);
    for (const UNITSTRUCT& u : units) {
        if (!InUse(u) || !(u.dwFlag & kUnitCarried) || GetCarrier(units, u) != &carrier) continue;
        const ARMSSTRUCT* ua = UnitArms(u);
        int c = ua ? ua->nCarryClass : 0;
        if (c < 0 && ua && IsAirDomainArms(*ua)) c = 0;
        if (c < 0 || c >= kCarryClasses) continue;
        // A carried unit takes room from every class at least as roomy as its own.
        int need = std::max(1, cap[static_cast<size_t>(c)]);
        for (int& room : cap) {
            if (room >= need) --room;
        }
    }
    if (cap[static_cast<size_t>(cls)] <= 0) return 89;
    int limit = CountedInPieces(*ca) ? 10 : carrier.nStrength;
    if (unit.nStrength > limit) return 86;
    if (ca->nClass != kCarrierClass && !CanUseHexAsBase(carrier, game, carrier.dwHexCell, true)) return 87;
    return 0;
}

int ListMergePartners(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                      const UNITSTRUCT& unit, std::span<HEXINDEX> out)
{
    if (out.empty()) return 0;
    size_t n = 0;
    const ARMSSTRUCT* a = UnitArms(unit);
    const int country = RefCountry(unit.refSelf);
    if (a && country < kCountryCount && IsMapHex(unit.nHex)) {
        for (HEXINDEX nb : GetNeighbourSlots(unit.nHex)) {
            if (nb == kNoHex || n + 1 >= out.size()) continue;
            UnitRef ref = hexUnit[static_cast<size_t>(nb)];
            if (!IsUnitRef(ref) || RefCountry(ref) != country) continue;
            const UNITSTRUCT& p = game.Country[country].Unit[RefSlot(ref)];
            if (!InUse(p) || &p == &unit || p.nArms != unit.nArms) continue;
            if (p.dwFlag & (kUnitCarries | kUnitCarried)) continue;
            if (p.nStrength >= 2 * a->nStrengthMax - unit.nStrength) continue;
            out[n++] = nb;
        }
    }
    out[n] = -1;
    return static_cast<int>(n);
}

int CheckMergeUnitState(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                        const UNITSTRUCT& unit)
{
    if (unit.dwFlag & kUnitCarries) return 94;
    if (unit.dwFlag & kUnitCarried) return 97;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || CountedInPieces(*a)) return 95;
    if (IsMarchType(*a)) return 98;
    std::array<HEXINDEX, kHexDirections + 1> out{};
    return ListMergePartners(game, hexUnit, unit, out) > 0 ? 0 : 96;
}

int CheckUnitJettison(const UNITSTRUCT& unit)
{
    if (unit.dwFlag & kUnitCarried) return 93;
    const ARMSET* set = UnitArmSet(unit);
    if ((unit.dwOrder & kOrderJettisonPending) || !set) return 91;
    bool any = false;
    bool loaded = false;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || !IsDroppable(*w) || set->nCount[s] == 0) continue;
        any = true;
        loaded = loaded || unit.nAmmo[s] > 0;
    }
    if (!any) return 91;
    return loaded ? 0 : 92;
}

int CheckUnitArmsChange(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->Arm[1].nSetId == 0) return 75;
    if (CheckSupplyAtHex(game, unit, unit.dwHexCell, SupplyMode::Resupply) != 0) return 76;
    if (unit.dwFlag & kUnitCarries) return 77;
    return 0;
}

int CheckEvolution(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, bool full, HEXINDEX hex)
{
    if ((unit.dwFlag & (kUnitCarries | kUnitCarried)) || !IsMapHex(unit.nHex)) return 38;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nEvolution >= 9) return 32;
    if (full && unit.nExp < kMaxExperience) return 33;
    if (full && IsMapHex(hex) && CheckOwnerSupply(game, unit, game.dwHexCell[hex]) != 0) return 34;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    uint32_t targets = c ? GetEvolutionTargets(*c, unit) : 0;
    if (targets == 0) return 36;
    if (full && c->nFund < GetEvolutionCost(unit.nArms, LowHalf(targets))) return 37;
    return 0;
}

int CheckImprovement(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    if (unit.dwFlag & (kUnitCarries | kUnitCarried)) return 74;
    const COUNTRYSTRUCT* c = UnitCountry(game, unit);
    const ARMSSTRUCT* a = UnitArms(unit);
    std::array<int, 6> list{};
    if (!c || !a || GetImprovementCandidates(*c, unit, list) == 0) return 71;
    if (CheckOwnerSupply(game, unit, unit.dwHexCell) != 0 && !ImprovesAwayFromSupply(*a)) return 72;
    for (int k = 0; list[static_cast<size_t>(k)] >= 0; ++k) {
        if (GetImprovementCost(unit.nArms, list[static_cast<size_t>(k)]) > c->nFund) return 73;
    }
    return 0;
}

// --- costs and candidates -----------------------------------------------------------------------------

int GetEvolutionCost(int oldType, int newType)
{
    const ARMSSTRUCT* o = ArmsRecord(oldType);
    const ARMSSTRUCT* n = ArmsRecord(newType);
    if (!o || !n) return 100;
    return std::max(100, n->nPrice - o->nPrice / 2);
}

int GetImprovementCost(int oldType, int newType)
{
    const ARMSSTRUCT* o = ArmsRecord(oldType);
    const ARMSSTRUCT* n = ArmsRecord(newType);
    if (!o || !n) return 100;
    return std::max(100, n->nPrice - o->nPrice);
}

uint32_t GetEvolutionTargets(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nClass < 0 || a->nClass >= kClassCount) return 0;
    const int step = a->nEvolution + 1;
    if (step < 1 || step >= kClassListWords) return 0;
    int found[2] = {0, 0};
    int n = 0;
    const int first = ClassListFor(a->nClass);
    const int lists[2] = {first, first == 2 ? 3 : -1};
    for (int cls : lists) {
        if (cls < 0 || n >= 2) continue;
        int32_t entry = static_cast<int32_t>(country.dwClassList[cls][step]);
        if (entry > 0 && ArmsRecord(entry & 0xFFFF)) found[n++] = entry & 0xFFFF;
    }
    return static_cast<uint32_t>(found[0]) | static_cast<uint32_t>(found[1]) << 16;
}

int GetImprovementCandidates(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit, std::span<int> out)
{
    if (out.empty()) return 0;
    size_t n = 0;
    const ARMSSTRUCT* a = UnitArms(unit);
    for (int k = 0; a && k < 5 && n + 1 < out.size(); ++k) {
        int t = a->wImprove[k];
        if (t <= 0 || t >= kArmsCount || !ArmsRecord(t)) continue;
        uint32_t w = country.dwArmsAvail[t];
        if ((w & 0x01000000u) && !(w & 0x08000000u)) out[n++] = t;
    }
    out[n] = -1;
    return static_cast<int>(n);
}

int GetArmsChangeCost(const UNITSTRUCT& unit, int newSet)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || newSet < 0 || newSet > 5) return 0;
    int cost = 0;
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w) continue;
        cost -= std::max(0, unit.nAmmo[s]) * w->nRoundPrice;
        cost += a->Arm[newSet].nCount[s] * w->nRoundPrice;
    }
    int missingFuel = a->nFuelMax - unit.nFuel;
    if (missingFuel > 0) cost += GetFuelPrice(unit, missingFuel);
    return cost;
}

// --- effects ---------------------------------------------------------------------------------------------

void DiveUnit(const GAMEDATASTRUCT& game, UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return;
    const bool storm = WeatherClass(GetWeatherEffect(game)) == 3;
    if (!NeverOnBatteryAlone(*a) && (!BatteryDrainsInStorm(*a) || storm))
        unit.nBattery = std::max(0, unit.nBattery - 1);
    else
        TakeFuelOrBattery(unit, 1);
    unit.dwFlag |= kUnitActed | kUnitInWater | kUnitMoved;
    CalcUnitMovePoints(unit, &game);
}

void SurfaceUnit(const GAMEDATASTRUCT& game, UNITSTRUCT& unit, bool free)
{
    if (!free) TakeFuelOrBattery(unit, 1);
    unit.dwFlag &= ~kUnitInWater;
    unit.dwFlag |= kUnitActed | kUnitMoved;
    CalcUnitMovePoints(unit, &game);
}

bool CanUnloadToAnyHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                       std::span<const UnitRef, kHexCount> hexUnit,
                       std::span<const uint32_t, kHexCount> sensor, const UNITSTRUCT& carrier, HEXINDEX hex,
                       std::span<const UNITSTRUCT* const> cargo)
{
    const ARMSSTRUCT* a = UnitArms(carrier);
    if (!a || !IsMapHex(hex)) return false;
    UNITSTRUCT trial = carrier;  // the carrier as if it stood at hex
    trial.nHex = hex;
    trial.dwHexCell = cells[static_cast<size_t>(hex)];
    const TRRNSTRUCT* t = CellTerrainRecord(trial.dwHexCell);
    if (!t) return false;
    if (!HasUsableCarrySlot(trial, &game) && !CanUseHexAsBase(trial, game, trial.dwHexCell, false) &&
        (!IsAirDomainArms(*a) || !IsNoAirBase(*t)))
        return false;
    NeighbourSearch how;
    how.byClass = true;
    how.byLanding = true;
    for (const UNITSTRUCT* u : cargo) {
        if (!u) continue;
        std::array<HEXINDEX, kHexDirections + 1> out{};
        if (ListEnterableNeighbourHexes(hex, *u, game, cells, hexUnit, sensor, how, out)) return true;
    }
    return false;
}

bool IsFuelStarvedFixedUnit(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    return a && RefuelsAtBases(*a) && unit.nFuel <= 0 &&
           CheckSupplyAtHex(game, unit, unit.dwHexCell, SupplyMode::Resupply) != 0;
}

bool UnloadUnit(GAMEDATASTRUCT& game, std::span<MAPCELL, kHexCount> cells,
                std::span<UnitRef, kHexCount> hexUnit, std::span<const uint32_t, kHexCount> sensor,
                UNITSTRUCT& carrier, UNITSTRUCT& cargo, HEXINDEX hex)
{
    if (HasUsableCarrySlot(carrier, &game)) {
        for (int s = 0; s < kWeaponSlots; ++s) {
            const WEAPONSTRUCT* w = UnitWeapon(carrier, s);
            if (w && w->byType == kWeaponTypeCarrySpace && carrier.nAmmo[s] > 0) {
                --carrier.nAmmo[s];
                break;
            }
        }
    }
    int count = std::max(0, CargoCount(carrier.dwCargo) - 1);
    carrier.dwCargo = MakeCargo(CargoCarrier(carrier.dwCargo), count);
    if (count == 0) carrier.dwFlag &= ~kUnitCarries;
    cargo.dwCargo = MakeCargo(kNoCarrier, CargoCount(cargo.dwCargo));
    cargo.dwFlag &= ~kUnitCarried;
    cargo.nHex = hex;
    if (IsMapHex(hex)) {
        SetUnitHexCell(cargo, cells[static_cast<size_t>(hex)]);
        hexUnit[static_cast<size_t>(hex)] = cargo.refSelf;
    }
    cargo.dwFlag |= kUnitActed;
    if (!(carrier.dwFlag & kUnitNoAttackAfterUnload)) return true;
    return CheckUnloadTargetHex(game, cells, hexUnit, sensor, carrier, false) == 0;
}

uint32_t BombHex(const GAMEDATASTRUCT& game, UNITSTRUCT& unit, MAPCELL& cell, RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    int damage = RaidDamage(unit, 1u << 5, draws);
    const int effect = GetWeatherEffect(game);
    if (a && effect != 0) {
        const int cls = WeatherClass(effect);
        const int light = WeatherLight(effect);
        int d = 1;
        if (IsAirDomainArms(*a) && a->nClass != 54) {
            if (cls == 1 || cls == 4 || cls == 5) d = 2;
            // Darkness replaces the weather divisor; it does not multiply it.
            // A type that fights at night loses nothing at dawn or dusk.
            if (IsNightCapable(*a)) {
                if (light == 2) d = 2;
            } else if (light == 1) {
                d = 2;
            } else if (light == 2) {
                d = 4;
            }
        } else if (light == 2 && a->nClass == 31) {
            d = 2;
        }
        damage = (damage + d - 1) / d;
    }
    const TRRNSTRUCT* t = CellTerrainRecord(cell);
    const int floor = (t && HasDurabilityFloor(*t)) ? 1 : 0;
    const int durability = CellDurability(cell);
    if (durability <= damage) {
        damage = durability - floor;
        cell = WithDurability(cell, floor);
    } else {
        cell = WithDurability(cell, durability - damage);
    }
    bool ruined = false;
    if (CellDurability(cell) == 0 && t && t->nRuinForm != 0) {
        cell = WithOwner(WithTerrain(cell, t->nRuinForm), -1);
        ruined = true;
    }
    if (IsAirDomainUnit(unit)) unit.dwHexCell = cell;
    return static_cast<uint32_t>(std::max(0, damage)) | (ruined ? kRaidDecisive : 0u);
}

uint32_t OccupyHex(const GAMEDATASTRUCT& game, UNITSTRUCT& unit, MAPCELL& cell, RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    int damage = RaidDamage(unit, 1u << 6, draws);
    if (a && (game.dwStateFlag & kStateDayNightBit) && game.nLight == 2 && !IsNightCapable(*a))
        damage = (damage + 1) / 2;
    const int durability = CellDurability(cell);
    uint32_t result = 0;
    if (durability <= damage) {
        result = static_cast<uint32_t>(durability) | kRaidDecisive;
        int country = RefCountry(unit.refSelf);
        cell = WithDurability(WithOwner(cell, country < kCountryCount ? country : -1), 20);
    } else {
        cell = WithDurability(cell, durability - damage);
        result = static_cast<uint32_t>(damage);
    }
    unit.dwHexCell = cell;
    return result;
}

HEXINDEX FindBestBombTargetHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                               const UNITSTRUCT& unit, const MapRect& area, bool anyOwner, bool terrainScore,
                               const HexRating& rating)
{
    uint32_t range = GetBombingRange(unit);
    int maxRange = LowHalf(range);
    int minRange = HighHalf(range);
    HEXINDEX from = GetUnitMapHex(game, unit);
    if (range == 0 || !IsMapHex(from)) return -1;
    HEXINDEX best = -1;
    int bestScore = 0;
    for (int row = std::max(0, area.top); row <= std::min(kMapSize - 1, area.bottom); ++row) {
        for (int col = std::max(0, area.left); col <= std::min(kMapSize - 1, area.right); ++col) {
            HEXINDEX hex = MakeHex(row, col);
            int d = GetHexDistance(from, hex);
            if (d < minRange || d > maxRange) continue;
            if (CheckUnitBombing(game, cells, unit, hex, anyOwner) != 0) continue;
            MAPCELL cell = cells[static_cast<size_t>(hex)];
            int score = terrainScore
                            ? ((kCostTerrainColumns - CellTerrain(cell)) << 16 | CellDurability(cell))
                            : (rating ? rating(hex) : 0);
            if (score > bestScore) {
                bestScore = score;
                best = hex;
            }
        }
    }
    return best;
}

int CheckBombingQuery(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                      const UNITSTRUCT& unit, HEXINDEX hex, bool airRequired, const MapRect& area,
                      HexRating rating)
{
    const bool air = IsAirDomainUnit(unit);
    if (airRequired && !air) return 119;
    if (air) return CheckUnitBombing(game, cells, unit, hex);
    if (int code = CheckUnitBombing(game, cells, unit, -1)) return code;
    return FindBestBombTargetHex(game, cells, unit, area, false, !rating, rating) < 0 ? 120 : 0;
}

void BoardCarrier(UNITSTRUCT& unit, UNITSTRUCT& carrier)
{
    unit.dwFlag |= kUnitCarried;
    unit.nHex = -1;
    unit.dwCargo = MakeCargo(RefSlot(carrier.refSelf), CargoCount(unit.dwCargo));
    carrier.dwFlag |= kUnitCarries;
    carrier.dwCargo = MakeCargo(CargoCarrier(carrier.dwCargo), CargoCount(carrier.dwCargo) + 1);
}

MergeBuffer CopyUnitToMergeBuffer(const UNITSTRUCT& unit)
{
    MergeBuffer b;
    b.strength = unit.nStrength;
    b.fuel = unit.nFuel;
    b.exp = unit.nExp;
    for (int s = 0; s < kAmmoSlots; ++s) b.ammo[static_cast<size_t>(s)] = unit.nAmmo[s];
    return b;
}

void TransferMergeStrength(MergeBuffer& first, MergeBuffer& second, int amount)
{
    MergeBuffer& receiver = amount >= 0 ? first : second;
    MergeBuffer& giver = amount >= 0 ? second : first;
    const int n = std::min(std::abs(amount), std::max(0, giver.strength));
    if (n == 0) return;
    const int s = receiver.strength;
    const int total = s + n;
    auto mix = [&](int own, int given) { return total > 0 ? (own * s + given * n) / total : 0; };
    receiver.fuel = mix(receiver.fuel, giver.fuel);
    receiver.exp = mix(receiver.exp, giver.exp);
    for (size_t k = 0; k < receiver.ammo.size(); ++k) receiver.ammo[k] = mix(receiver.ammo[k], giver.ammo[k]);
    receiver.strength = total;
    giver.strength -= n;
    if (giver.strength == 0) {
        giver.fuel = 0;
        giver.exp = 0;
        giver.ammo.fill(0);
    }
}

void WriteMergeBuffer(const MergeBuffer& buffer, UNITSTRUCT& unit)
{
    unit.nStrength = buffer.strength;
    unit.nFuel = buffer.fuel;
    unit.nExp = buffer.exp;
    for (int s = 0; s < kAmmoSlots; ++s) unit.nAmmo[s] = buffer.ammo[static_cast<size_t>(s)];
}

void JettisonStores(UNITSTRUCT& unit, int minimumFuelUse)
{
    if (minimumFuelUse >= 0) {
        int owed = std::max(0, minimumFuelUse - unit.nMoved);
        for (int s = 0; s < kWeaponSlots && owed > 0; ++s) {
            const WEAPONSTRUCT* w = UnitWeapon(unit, s);
            if (!w || w->byType != kWeaponTypeDropTank || unit.nAmmo[s] <= 0) continue;
            int take = std::min(owed, unit.nAmmo[s]);
            unit.nAmmo[s] -= take;
            unit.nMoved += take;
            owed -= take;
        }
    }
    for (int s = 0; s < kWeaponSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (w && IsDroppable(*w)) unit.nAmmo[s] = 0;
    }
}

int ReplenishStrength(UNITSTRUCT& unit, int& budget, bool maxRate, RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    const int missing = a->nStrengthMax - unit.nStrength;
    int r = a->nReplenish;
    if (missing <= 0 || r <= 0) return 0;
    if (!maxRate) r = draws.Rand() % r + 1;
    int k = 0;
    const int price = std::max(0, a->nPrice);
    while (k < std::min(r, missing) && price <= budget) {
        budget -= price;
        ++k;
    }
    if (k == 0) return 0;
    const int exp = unit.nExp;
    unit.nStrength += k;
    if (!CountedInPieces(*a)) {
        // The new points are green: they count with half the experience.
        const int s = unit.nStrength;
        unit.nExp = (k * exp / 2 + (s - k) * exp) / std::max(1, s);
    }
    return k;
}

int SupplyUnit(GAMEDATASTRUCT& game, UNITSTRUCT& unit, const SupplyRequest& request, RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const ARMSET* set = UnitArmSet(unit);
    if (!a || !set) return request.budget;
    int budget = request.budget;
    uint32_t stock = request.supplier ? GetSupplyStock(*request.supplier) : 0;
    if (request.supplier) budget = LowHalf(stock) * 10;
    bool skipAmmo = false;
    if (request.supplier)
        skipAmmo = HasSupplyStock(unit.nArms) != 0;
    else if (request.withState && IsMapHex(unit.nHex) && !(unit.dwFlag & kUnitCarried))
        skipAmmo = CheckHexOwnerResupply(game, unit, unit.dwHexCell) == 55;
    bool traded = false;
    if (!skipAmmo) {
        for (int s = 0; s < kWeaponSlots; ++s) {
            const WEAPONSTRUCT* w = UnitWeapon(unit, s);
            if (!w || unit.nAmmo[s] <= 0) continue;
            if (w->byType == kWeaponTypeCarrySpace && (unit.dwFlag & kUnitCarries)) continue;
            budget += unit.nAmmo[s] * w->nRoundPrice;
            unit.nAmmo[s] = 0;
            traded = true;
        }
    }
    if (unit.dwFlag & kUnitWantsFuel) {
        for (int amount = a->nFuelMax - unit.nFuel; amount > 0; --amount) {
            int price = GetFuelPrice(unit, amount);
            if (price <= budget) {
                budget -= price;
                unit.nFuel += amount;
                traded = true;
                break;
            }
        }
        for (int amount = a->wBattery - unit.nBattery; amount > 0; --amount) {
            int price = 2 * GetFuelPrice(unit, amount);
            if (price <= budget) {
                budget -= price;
                unit.nBattery += amount;
                traded = true;
                break;
            }
        }
        if (unit.nFuel >= a->nFuelMax || (a->wBattery > 0 && unit.nBattery >= a->wBattery))
            unit.dwSupplyFlag &= ~kSupplyNeedsStock;
    }
    if (!skipAmmo) {
        for (int s = 0; s < kWeaponSlots; ++s) {
            const WEAPONSTRUCT* w = UnitWeapon(unit, s);
            if (!w) continue;
            while (unit.nAmmo[s] < set->nCount[s] && w->nRoundPrice <= budget) {
                budget -= std::max(0, w->nRoundPrice);
                ++unit.nAmmo[s];
                traded = true;
                if (w->nRoundPrice <= 0) {
                    unit.nAmmo[s] = set->nCount[s];  // free rounds: fill at once
                    break;
                }
            }
        }
    }
    unit.dwFlag &= ~(kUnitWantsFuel | kUnitWantsRounds);
    if (request.replenish) {
        const bool maxRate =
            request.withState && (game.dwStateFlag & kStateMaxReplenish) && RefCountry(unit.refSelf) == 0;
        if (ReplenishStrength(unit, budget, maxRate, draws) > 0) {
            unit.dwSupplyFlag &= ~kSupplyNeedsStrength;
            traded = true;
        }
    }
    if (request.supplier) {
        const ARMSET* supplierSet = UnitArmSet(*request.supplier);
        int left = std::min(budget / 10, HighHalf(stock));
        for (int s = 0; s < kWeaponSlots && supplierSet; ++s) {
            const WEAPONSTRUCT* w = UnitWeapon(*request.supplier, s);
            if (w && w->byType == kWeaponTypeSupplyStock) {
                request.supplier->nAmmo[s] = left;
                break;
            }
        }
        AddUnitExperience(*request.supplier, 3);
        if (request.carrier) AddUnitExperience(*request.carrier, 3);
        budget = left;
    }
    unit.dwFlag |= kUnitSupplied;
    if (traded) unit.dwFlag |= kUnitBought;
    return budget;
}

void ChangeUnitArms(GAMEDATASTRUCT& game, UNITSTRUCT& unit, int newSet, RuleDraws& draws)
{
    COUNTRYSTRUCT* c = MutableCountry(game, unit);
    if (!c || newSet < 0 || newSet > 5) return;
    const uint32_t flags = unit.dwFlag;
    unit.nMode = newSet;
    unit.dwFlag |= kUnitWantsFuel | kUnitWantsRounds;
    SupplyRequest request;
    request.budget = std::max(0, c->nFund);
    request.withState = false;
    c->nFund = SupplyUnit(game, unit, request, draws);
    unit.dwFlag = flags;
}

void FreeFullResupply(GAMEDATASTRUCT& game, UNITSTRUCT& unit, int passes, RuleDraws& draws)
{
    constexpr int kFreeBudget = 32767;
    for (int k = 0; k < passes; ++k) {
        unit.dwFlag |= kUnitWantsFuel;
        SupplyRequest request;
        request.budget = kFreeBudget;
        request.withState = false;
        request.replenish = true;
        if (SupplyUnit(game, unit, request, draws) == kFreeBudget) break;
    }
    unit.dwFlag &= ~kUnitWantsFuel;
}

void ChangeUnitType(GAMEDATASTRUCT& game, UNITSTRUCT& unit, int newType, bool evolution, RuleDraws& draws)
{
    COUNTRYSTRUCT* c = MutableCountry(game, unit);
    const ARMSSTRUCT* n = ArmsRecord(newType);
    if (!c || !n) return;
    int cost = evolution ? GetEvolutionCost(unit.nArms, newType) : GetImprovementCost(unit.nArms, newType);
    c->nFund = std::max(0, c->nFund - cost);
    unit.nArms = newType;
    PassTypeOn(game, *c, newType);
    if (evolution) unit.nExp = 0;
    unit.nStrength = std::min(unit.nStrength, n->nStrengthMax);
    unit.nFuel = n->nFuelMax;
    unit.nMode = 0;
    for (int s = 0; s < kAmmoSlots; ++s) unit.nAmmo[s] = n->Arm[0].nCount[s];
    CalcUnitMovePoints(unit, &game);
    if (CheckReplenish(game, unit) == 0) {
        const bool maxRate = (game.dwStateFlag & kStateMaxReplenish) && CountryIndexOf(game, *c) == 0;
        int budget = c->nFund;
        ReplenishStrength(unit, budget, maxRate, draws);
        c->nFund = budget;
    }
    unit.dwFlag |= kUnitActed | kUnitSupplied;
}

int RemoveTypeListEntry(GAMEDATASTRUCT& game, int country, int cls, int index)
{
    if (country < 0 || country >= kCountryCount || cls < 0 || cls >= kClassCount || index < 0 ||
        index > kClassListWords)
        return -1;
    COUNTRYSTRUCT& c = game.Country[country];
    uint32_t* list = c.dwClassList[ClassListFor(cls)];
    // A produced type outside the chain (the entry past the list): only
    // its production ends.
    if (index == kClassListWords) {
        list[0] = 0xFFFFFFFFu;
        return -1;
    }
    int removed = static_cast<int32_t>(list[index]) > 0 ? static_cast<int>(list[index] & 0xFFFF) : -1;
    list[index] = 0xFFFFFFFFu;
    if (ClassListFor(cls) == 2 && index + 1 < kClassListWords) c.dwClassList[3][index + 1] = 0xFFFFFFFFu;
    list[0] = 0xFFFFFFFFu;
    if (index + 1 < kClassListWords && static_cast<int32_t>(list[index + 1]) > 0) {
        list[0] = list[index + 1];
        PassTypeOn(game, c, static_cast<int>(list[0] & 0xFFFF));
    }
    return removed;
}

}  // namespace zrv
