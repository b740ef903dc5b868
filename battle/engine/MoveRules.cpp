#include "battle/engine/MoveRules.h"

#include "battle/engine/Combat.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitCommands.h"

namespace zrv {

const MoveRules& NoMoveRules()
{
    static const MoveRules none;
    return none;
}

const MoveRules& StandardMoveRules()
{
    static const MoveRules standard = [] {
        MoveRules r;
        r.canCloseFire = [](const UNITSTRUCT& shooter, const UNITSTRUCT& target, const GAMEDATASTRUCT& state) {
            return CanEngageAdjacent(state, target, shooter) != 0;
        };
        r.canBoard = [](const UNITSTRUCT& mover, const UNITSTRUCT& carrier, const GAMEDATASTRUCT& state) {
            return CheckBoardCarrier(state, mover, carrier) == 0;
        };
        r.hexSupply = [](const UNITSTRUCT& unit, const GAMEDATASTRUCT& state) {
            return CheckSupplyAtHex(state, unit, unit.dwHexCell, SupplyMode::Resupply);
        };
        r.occupyTest = [](const UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                          std::span<const MAPCELL, kHexCount> cells) {
            // Refused without a hex: the unit may occupy nothing at all.
            if (CheckOccupy(state, cells, unit, kNoHex) != 0) return -1;
            return CheckOccupy(state, cells, unit, GetUnitMapHex(state, unit));
        };
        return r;
    }();
    return standard;
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

int UnitCountryIndex(const UNITSTRUCT& unit)
{
    const int c = RefCountry(unit.refSelf);
    return c < kCountryCount ? c : -1;
}

int UnitSideSlot(const GAMEDATASTRUCT& state, const UNITSTRUCT& unit)
{
    const COUNTRYSTRUCT* c = UnitCountry(state, unit);
    return c ? SideSlot(c->nSide) : 2;
}

}  // namespace zrv
