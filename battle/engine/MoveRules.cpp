#include "battle/engine/MoveRules.h"

#include "battle/engine/HexGeometry.h"

namespace zrv {

// Carrier chains longer than a country's unit slots can only come from a
// damaged file.
static constexpr int kMaxCarrierDepth = kUnitSlots + 1;

const MoveRules& NoMoveRules()
{
    static const MoveRules none;
    return none;
}

UNITSTRUCT* UnitAt(GAMEDATASTRUCT& state, UnitRef ref)
{
    if (!IsUnitRef(ref)) return nullptr;
    UNITSTRUCT& u = state.Country[RefCountry(ref)].Unit[RefSlot(ref)];
    return (u.dwFlag & kUnitInUse) ? &u : nullptr;
}

const UNITSTRUCT* UnitAt(const GAMEDATASTRUCT& state, UnitRef ref)
{
    return UnitAt(const_cast<GAMEDATASTRUCT&>(state), ref);
}

namespace interim {

int UnitCountry(const UNITSTRUCT& unit)
{
    int c = RefCountry(unit.refSelf);
    return c < kCountryCount ? c : -1;
}

int UnitSide(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state)
{
    int c = UnitCountry(unit);
    return c < 0 ? 2 : SideSlot(state.Country[c].nSide);
}

int GetUnitDomain(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    if (!a) return -1;
    if (unit.dwFlag & kUnitInWater) return kDomainSubmarine;
    return a->nDomain == kDomainSubmarine ? kDomainShip : a->nDomain;
}

bool IsSubmergedSubmarine(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    return a && (unit.dwFlag & kUnitInWater) && a->nMoveType == kMoveTypeSubmarine;
}

bool IsOnBatteryOnly(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state)
{
    if (!IsSubmergedSubmarine(unit)) return false;
    const ARMSSTRUCT& a = *ArmsRecord(unit.nArms);
    if (NeverOnBatteryAlone(a)) return false;
    return !BatteryDrainsInStorm(a) || (GetWeatherEffect(state) & 0xFFFFu) == 3;
}

uint32_t GetWeatherEffect(const GAMEDATASTRUCT& state)
{
    static constexpr uint32_t kClass[8] = {0, 1, 2, 3, 2, 3, 4, 5};
    uint32_t effect = 0;
    if ((state.dwStateFlag & 0x40000000u) && state.nWeather >= 0 && state.nWeather < 8)
        effect = kClass[state.nWeather];
    if (state.dwStateFlag & 0x10000000u) effect |= static_cast<uint32_t>(state.nLight & 0xFFFF) << 16;
    return effect;
}

uint32_t GetSideCellMask(int side)
{
    if (side == 0) return kCellClosedAll | kCellClosedSide0;
    if (side == 1) return kCellClosedAll | kCellClosedSide1;
    return kCellClosedAll;
}

const UNITSTRUCT* GetCarrier(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state)
{
    if (!(unit.dwFlag & kUnitCarried)) return nullptr;
    int c = UnitCountry(unit);
    int slot = CargoCarrier(unit.dwCargo);
    if (c < 0 || slot >= kUnitSlots) return nullptr;
    const UNITSTRUCT& carrier = state.Country[c].Unit[slot];
    return (carrier.dwFlag & kUnitInUse) && &carrier != &unit ? &carrier : nullptr;
}

HEXINDEX GetUnitMapHex(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state)
{
    const UNITSTRUCT* u = &unit;
    for (int depth = 0; depth < kMaxCarrierDepth; ++depth) {
        const UNITSTRUCT* carrier = GetCarrier(*u, state);
        if (!carrier) return u->nHex;
        u = carrier;
    }
    return kNoHex;
}

}  // namespace interim
}  // namespace zrv
