#include "battle/cpu/CpuActionExecutor.h"

#include <span>

#include "battle/engine/GameDoc.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"

namespace zrv {

namespace {

constexpr int kRefused = -1;

int ClassOfUnit(const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* arms = UnitArms(unit);
    return arms ? arms->nClass : -1;
}

// Codes that order no unit of their own.
constexpr bool HasUnit(int action)
{
    return action != kCpuActSupply && action != kCpuActPlaceProduction;
}

}  // namespace

bool CpuActionExecutor::Flash(HEXINDEX hex)
{
    return m_view.FlashHexMark(hex, false, false) != 0;
}

UNITSTRUCT* CpuActionExecutor::CurrentCountryUnit(int slot)
{
    COUNTRYSTRUCT* cur = m_doc.m_pCurCountry;
    if (cur == nullptr || slot < 0 || slot >= kUnitSlots) return nullptr;
    UNITSTRUCT& u = cur->Unit[slot];
    return (u.dwFlag & kUnitInUse) ? &u : nullptr;
}

int CpuActionExecutor::ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument)
{
    HEXINDEX hex = kNoHex;
    if (HasUnit(action)) {
        m_view.SetSelectedUnit(&unit);
        hex = GetUnitMapHex(m_doc.m_GameData, unit);
    }
    const int result = Run(action, unit, argument, hex);
    if (result < 0) return kRefused;
    m_view.EndSelection(true);
    m_view.SetCommandMode(0);
    return result;
}

int CpuActionExecutor::CpuMoveUnitToward(UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags)
{
    return m_moveToward ? m_moveToward(unit, target, flags) : kRefused;
}

// The computer moved a unit of the side the map shows: that side sees it
// where it stands.
void CpuActionExecutor::ShowMoveToOwnSide(UNITSTRUCT& unit)
{
    const std::span<uint32_t, kHexCount> coverage(m_doc.m_dwHexSearch);
    unit.dwOrder &= ~(kOrderCpuMovedVisible | kOrderCpuBit20);
    for (int side = 0; side < 3; ++side) UpdateUnitDetection(unit, side, coverage);
    const COUNTRYSTRUCT* cur = m_doc.m_pCurCountry;
    const int side = m_view.GetViewingSide();
    if (cur == nullptr || side < 0 || side > 2 || cur->nSide != side) return;
    unit.dwFlag &= ~((1u << (13 + side)) | (1u << (16 + side)));
    if (IsMapHex(unit.nHex) && !(unit.dwFlag & kUnitCarried)) {
        unit.dwOrder |= kOrderCpuMovedVisible;
        coverage[static_cast<size_t>(unit.nHex)] &= ~((1u << side) | (8u << side) | (64u << side));
    }
}

int CpuActionExecutor::Run(int action, UNITSTRUCT& unit, int argument, HEXINDEX hex)
{
    const uint32_t arg = static_cast<uint32_t>(argument);
    const auto orderHex = static_cast<HEXINDEX>(static_cast<int32_t>(unit.dwWeaponMask));
    switch (action) {
    case kCpuActSupply:
        if (!m_doc.ListAutoSupplyUnits({})) return 0;
        return m_view.RunAutoSupply();

    case kCpuActAttack: {
        // A stale choice: the target must still be a unit of the other side.
        UNITSTRUCT* target = m_doc.GetUnit(unit.refTarget);
        const COUNTRYSTRUCT* own = IsUnitRef(unit.refSelf) ? &m_doc.m_GameData.Country[RefCountry(unit.refSelf)]
                                                            : m_doc.m_pCurCountry;
        if (target == nullptr || !(target->dwFlag & kUnitInUse) || own == nullptr ||
            m_doc.m_GameData.Country[RefCountry(unit.refTarget)].nSide == own->nSide)
            return kRefused;
        if (Flash(hex)) return kRefused;
        if ((GetClassTraits(ClassOfUnit(unit)) & kClassJettisonsForAir) && CheckUnitJettison(unit) == 0 &&
            TestSelectedWeaponsFlag10(unit) == 1 && IsAirDomainUnit(*target))
            unit.dwOrder |= kOrderJettisonPending;
        return m_view.ExecuteAttack(unit, *target, unit.dwWeaponMask);
    }

    case kCpuActOccupy:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteOccupation(unit, orderHex);

    case kCpuActBomb:
        if (Flash(hex)) return kRefused;
        if (!IsAirDomainUnit(unit) && Flash(orderHex)) return kRefused;
        return m_view.ExecuteBombing(unit, orderHex);

    case kCpuActBombKeptHex: {
        if (Flash(hex)) return kRefused;
        unit.dwOrder &= ~kOrderBombingBits;
        if (CheckUnitBombing(m_doc.m_GameData, m_doc.m_dwHexCell, unit, hex) == kBombingForbidden) return 0;
        const int r = m_view.ExecuteBombing(unit, orderHex);
        if (r < 0) return kRefused;
        m_view.SetSelectedUnit(&unit);
        // A bomber lost in the raid leaves the view's lists too.
        if (!(unit.dwFlag & kUnitInUse)) m_view.ExecuteDispose(0);
        return r;
    }

    case kCpuActMove: {
        const int r = m_view.ExecuteCpuMove();
        if (r < 0) return kRefused;
        ShowMoveToOwnSide(unit);
        return r;
    }

    case kCpuActMoveDone:
        m_doc.EndUnitAction(unit);
        if (argument != 0) unit.dwFlag &= ~kUnitActed;
        m_view.CompleteUnitMove();
        unit.dwFlag |= kUnitActed;
        return 0;

    case kCpuActPlaceProduction: {
        const auto at = static_cast<HEXINDEX>(arg & 0xFFFFu);
        const int type = static_cast<int>(arg >> 16);
        if (Flash(at)) return kRefused;
        // Nothing placed is a refusal: the producer must not count it.
        if (m_view.ExecutePlaceUnit(type, at) == nullptr) return kRefused;
        m_view.RedrawHexIfVisible(at, true);
        return 0;
    }

    case kCpuActConstruct:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteConstruction(unit, 4, arg, unit.nHex) < 0 ? kRefused : 0;

    case kCpuActConstructOther:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteConstruction(unit, 3, 0, unit.nHex) < 0 ? kRefused : 0;

    case kCpuActDispose:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteDispose(0) < 0 ? kRefused : 1;

    case kCpuActDisposeAircraftOutOfFuel:
    case kCpuActLoseShipOutOfFuel:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteDispose(action == kCpuActDisposeAircraftOutOfFuel ? 1 : 2) < 0 ? kRefused : 0;

    case kCpuActMerge: {
        UNITSTRUCT* partner = CurrentCountryUnit(static_cast<int>(arg >> 16));
        if (partner == nullptr || partner == &unit) return kRefused;
        int amount = static_cast<int>(arg & 0xFFFFu);
        if (amount & kMergeFromPartner) amount = -(amount & 0xFF);
        if (Flash(hex) || Flash(GetUnitMapHex(m_doc.m_GameData, *partner))) return kRefused;
        const int r = m_view.ExecuteMerge(*partner, amount);
        return r <= 0 ? kRefused : r;
    }

    case kCpuActLoad:
        if (Flash(static_cast<HEXINDEX>(argument))) return kRefused;
        if (m_view.ExecuteLoad(unit, static_cast<HEXINDEX>(argument)) < 0) return kRefused;
        unit.dwSupplyFlag &= ~(kCpuUnitMakeWay | kCpuUnitSentBack);
        return 0;

    case kCpuActUnload: {
        const bool search = (arg & kUnloadSearch) != 0;
        uint32_t next = arg & ~kUnloadSearch;
        int result = 0;
        bool first = true;
        // Once for each unit aboard at the start: a view that keeps saying
        // it unloaded cannot hold the order for ever.
        int rounds = CargoCount(unit.dwCargo);
        do {
            if (Flash(hex)) return kRefused;
            UNITSTRUCT* cargo = CurrentCountryUnit(static_cast<int>(next >> 16));
            if (cargo == nullptr) return first ? kRefused : 0;
            result = m_view.ExecuteUnload(unit, *cargo, static_cast<HEXINDEX>(next & 0xFFFFu));
            if (result < 0) return kRefused;
            // Nothing unloaded on the first cargo: the order did nothing.
            if (result == 0 && first) return kRefused;
            first = false;
            if (result != 0) {
                const int32_t found = m_unloadFinder ? m_unloadFinder(unit, search) : -1;
                if (found < 0) result = 0;
                else next = static_cast<uint32_t>(found);
            }
        } while (result != 0 && --rounds > 0);
        return result;
    }

    case kCpuActEvolve:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteEvolve(argument) < 0 ? kRefused : 0;

    case kCpuActImprove:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteImprove(argument) < 0 ? kRefused : 0;

    case kCpuActDive:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteDive(unit) < 0 ? kRefused : 0;

    case kCpuActSurface:
    case kCpuActLoseSubmarineOutOfFuel:
        if (Flash(hex)) return kRefused;
        return m_view.ExecuteSurface(unit, action == kCpuActSurface ? 0 : 1) < 0 ? kRefused : 0;

    case kCpuActEndAction:
        return m_view.ExecuteEndAction(unit) < 0 ? kRefused : 0;

    default:
        return 0;
    }
}

}  // namespace zrv
