#include "battle/engine/OrderBackends.h"

#include <algorithm>
#include <array>

#include "battle/engine/Construction.h"
#include "battle/engine/CountryOps.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitCommands.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

namespace {

// Longest text-record line (longer ones are cut at a character boundary).
constexpr size_t kRecordLineMax = 511;
constexpr uint32_t kOrderMoveBits = 0x00000003u;  // dwOrder bits 0-1: the unit moved by order

OrderResult Refused(int code = kOrderBadRecord)
{
    return OrderResult{code, 0};
}

// An order that went through changed the game, so a save is due again.
OrderResult Done(CZRKGameDoc& doc, int value)
{
    doc.CountOrderDone();
    return OrderResult{0, value};
}

// The unit's own country record when the unit lies in one of its slots.
COUNTRYSTRUCT* OwnCountry(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    const UnitRef ref = unit.refSelf;
    if (!IsUnitRef(ref)) return nullptr;
    COUNTRYSTRUCT& c = doc.m_GameData.Country[RefCountry(ref)];
    return &c.Unit[RefSlot(ref)] == &unit ? &c : nullptr;
}

bool IsLiveUnit(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    return (unit.dwFlag & kUnitInUse) && OwnCountry(doc, unit);
}

bool RunsOnBatteryAlone(CZRKGameDoc& doc, const UNITSTRUCT& unit)
{
    return IsOnBatteryOnly(unit, GetWeatherEffect(doc.m_GameData));
}

std::span<MAPCELL, kHexCount> LiveCells(CZRKGameDoc& doc)
{
    return std::span<MAPCELL, kHexCount>(doc.m_dwHexCell, kHexCount);
}

void SetHexEntry(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex)
{
    doc.m_dwHexUnit[hex] = unit.refSelf;
    SetUnitHexCell(unit, doc.m_dwHexCell[hex]);
    doc.NotifyView(3, &unit);
}

void ClearHexEntry(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX hex)
{
    if (!IsMapHex(hex) || doc.m_dwHexUnit[hex] != unit.refSelf) return;
    doc.m_dwHexUnit[hex] = kNoUnit;
    doc.View().ClearHexUnitDisplay(hex);
}

// The move itself: hex and fuel; the hex entries follow.
void PlaceOnHex(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex)
{
    const HEXINDEX from = unit.nHex;
    const int cost = static_cast<int>(doc.m_dwHexMove[hex] & 0xFFFFu);
    MoveUnitToHex(unit, doc.m_GameData, hex, cost, RunsOnBatteryAlone(doc, unit));
    unit.dwOrder |= kOrderMoveBits;
    // A unit just taken off its carrier leaves the carrier's entry in place.
    if (!(unit.dwFlag & kUnitDetached)) ClearHexEntry(doc, unit, from);
    SetHexEntry(doc, unit, hex);
}

bool CanMove(CZRKGameDoc& doc, const UNITSTRUCT& unit, HEXINDEX hex)
{
    return IsLiveUnit(doc, unit) && IsMapHex(hex) && !(unit.dwFlag & kUnitMoved);
}

bool IsHumanCurrent(const CZRKGameDoc& doc)
{
    return doc.m_pCurCountry && !(doc.m_pCurCountry->dwFlag & kCountryCpu);
}

}  // namespace

// --- text record ------------------------------------------------------------------------------------

void WriteOrderRecordLine(CZRKGameDoc& doc, RecordVerb verb, HEXINDEX hex, MAPCELL placeCell)
{
    if (!(doc.m_dwGameOption & kOptTextRecord) || !IsMapHex(hex)) return;
    static constexpr const char* kFormats[] = {
        "    [%-24s] %s Repair (%2d,%2d)\n",
        "    [%-24s] %s Bombing (%2d,%2d)\n",
        "    [%-24s] %s Occupy (%2d,%2d)\n",
    };
    const std::string_view country = doc.m_pCurCountry ? FieldText(doc.m_pCurCountry->szName) : std::string_view();
    std::string place;
    if (const CITYNAMESTRUCT* city = doc.FindCityName(hex)) {
        place = FieldText(city->szName);
    } else {
        place = TableText(Lib().TerrainName, CellTerrain(placeCell));
    }
    const int column = HexColumn(hex) - doc.m_rcMapArea.left + 1;
    const int row = HexRow(hex) - doc.m_rcMapArea.top + 1;
    const std::string line =
        platform::FormatText(kFormats[static_cast<int>(verb)], {country, place, column, row});
    doc.AppendGameRecord(CutSjisText(line, kRecordLineMax));
}

// --- moves ---------------------------------------------------------------------------------------------

OrderResult MoveUnitTo(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, UNITSTRUCT* save)
{
    if (!CanMove(doc, unit, hex)) return Refused();
    if (save) *save = unit;
    PlaceOnHex(doc, unit, hex);
    unit.dwFlag |= kUnitMayUndo;
    return Done(doc, 1);
}

OrderResult UndoUnitMove(CZRKGameDoc& doc, UNITSTRUCT& unit, const UNITSTRUCT& saved)
{
    if (!IsLiveUnit(doc, unit) || saved.refSelf != unit.refSelf) return Refused();
    ClearHexEntry(doc, unit, unit.nHex);
    // The move wrote only the unit's own record (its cargo rides at hex -1),
    // so the copy restores everything it changed.
    unit = saved;
    if (!(unit.dwFlag & kUnitDetached) && IsMapHex(unit.nHex)) SetHexEntry(doc, unit, unit.nHex);
    unit.dwFlag &= ~kUnitMayUndo;
    return Done(doc, 1);
}

OrderResult MoveUnitAndEndAction(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex)
{
    if (!CanMove(doc, unit, hex)) return Refused();
    PlaceOnHex(doc, unit, hex);
    (void)EndUnitAction(doc, unit, true);
    return Done(doc, 1);
}

OrderResult EndUnitAction(CZRKGameDoc& doc, UNITSTRUCT& unit, bool acted)
{
    if (!(unit.dwFlag & kUnitInUse)) return Refused();
    if (!(unit.dwFlag & kUnitActed)) {
        const int owed = GetMinimumFuelUse(unit, doc.m_GameData, doc.m_MoveRules) - unit.nMoved;
        if (owed > 0) ConsumeMoveFuel(unit, owed, RunsOnBatteryAlone(doc, unit));
    }
    unit.nMoved = 0;
    unit.dwFlag &= ~kUnitMayUndo;
    if (acted) unit.dwFlag |= kUnitActed;
    return Done(doc, 1);
}

OrderResult MoveUnitAlongRoute(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX target, std::span<HEXINDEX> route)
{
    if (!IsLiveUnit(doc, unit) || !IsMapHex(target) || route.empty()) return Refused();
    GAMEDATASTRUCT& game = doc.m_GameData;
    const HEXINDEX from = GetUnitMapHex(game, unit);
    if (!IsMapHex(from)) return Refused();
    // Of two equally dear steps the route takes the one whose coverage word
    // has fewer of the side code's bits (twice the unit's side).
    const COUNTRYSTRUCT* own = OwnCountry(doc, unit);
    const uint32_t sideCode = own ? static_cast<uint32_t>(own->nSide) * 2u : 0u;
    if (BuildRouteToHex(unit, from, target, std::span<const uint32_t>(doc.m_dwHexWork1, kHexCount),
                        std::span<const uint32_t>(doc.m_dwHexMove, kHexCount), route,
                        std::span<const uint32_t>(doc.m_dwHexSearch, kHexCount), sideCode) == kRouteFailed) {
        return Refused();
    }
    int result = kWalkComplete;
    if (doc.m_pCurCountry && (doc.m_pCurCountry->dwFlag & kCountryFog)) {
        result = WalkRoute(unit, route, game, LiveCells(doc), HexUnits(doc.m_dwHexUnit, kHexCount), doc.m_MoveRules);
    }
    const char* message = nullptr;
    if (result == kWalkNoFreeHex && (unit.dwFlag & kUnitCarried)) {
        message = "索敵外の敵ユニットのため発進できませんでした";
    } else if (result == kWalkShortened || result == kWalkNoFreeHex) {
        message = "索敵外の敵ユニットのため移動を停止しました";
    }
    if (message && IsHumanCurrent(doc)) Dialogs().MessageBox(message, kBoxOk | kBoxIconStop);
    return Done(doc, result);
}

// --- units leaving ------------------------------------------------------------------------------------

OrderResult DeleteUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, bool refund)
{
    COUNTRYSTRUCT* country = OwnCountry(doc, unit);
    if (!country || !(unit.dwFlag & kUnitInUse)) return Refused();
    if (refund) {
        const ARMSSTRUCT* a = UnitArms(unit);
        if (a) country->nFund += a->nPrice * std::max(0, unit.nStrength);
    }
    const bool staysOffMap = (unit.dwFlag & (kUnitCarried | kUnitInPool)) != 0;
    RemoveCountryUnit(*country, unit);
    // A unit just taken off its carrier shares the carrier's hex without
    // holding its entry: the carrier keeps it.
    if (!staysOffMap && IsMapHex(unit.nHex) && doc.m_dwHexUnit[unit.nHex] == unit.refSelf) doc.UnitLeftHex(unit);
    return Done(doc, 1);
}

OrderResult LoseUnit(CZRKGameDoc& doc, UNITSTRUCT& unit)
{
    const OrderResult r = DeleteUnit(doc, unit, false);
    if (r.Done()) doc.NotifyView(8, &unit);
    return r;
}

namespace {

// textSjis null: the loss is not announced.
OrderResult LoseOutOfFuel(CZRKGameDoc& doc, UNITSTRUCT& unit, const char* textSjis, int action, int argument)
{
    if (!IsLiveUnit(doc, unit)) return Refused();
    const HEXINDEX hex = GetUnitMapHex(doc.m_GameData, unit);
    if (textSjis && IsHumanCurrent(doc)) {
        if (doc.NotifyView(6, hex) < 0) return Refused(kOrderViewRefused);
        Dialogs().MessageBox(textSjis, kBoxOk | kBoxIconStop);
    }
    const int r = doc.ExecuteCpuAction(action, unit, argument);
    if (r < 0) return OrderResult{r, -1};
    doc.NotifyView(7, hex);
    return Done(doc, 0);
}

}  // namespace

OrderResult LoseShipOutOfFuel(CZRKGameDoc& doc, UNITSTRUCT& unit)
{
    // A submarine on deep water is not sunk: it has its own action.
    if (CheckDive(doc.m_GameData, unit, true) == 0) {
        return LoseOutOfFuel(doc, unit, nullptr, kCpuActLoseSubmarineOutOfFuel, 0);
    }
    return LoseOutOfFuel(doc, unit, "燃料切れのため沈没します", kCpuActLoseShipOutOfFuel, 0);
}

OrderResult LoseAircraftOutOfFuel(CZRKGameDoc& doc, UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const bool fixed = a && (a->dwArmsFlag & (1u << 4));
    const HEXINDEX hex = GetUnitMapHex(doc.m_GameData, unit);
    return LoseOutOfFuel(doc, unit, "燃料切れのため墜落します",
                         fixed ? kCpuActBombKeptHex : kCpuActDisposeAircraftOutOfFuel, hex);
}

// --- map orders ------------------------------------------------------------------------------------------

OrderResult ExecuteBombing(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, RuleDraws& draws)
{
    if (!IsLiveUnit(doc, unit) || !IsMapHex(hex)) return Refused();
    GAMEDATASTRUCT& game = doc.m_GameData;
    const MAPCELL savedBefore = game.dwHexCell[hex];
    uint32_t result = BombHex(game, unit, doc.m_dwHexCell[hex], draws);
    doc.StoreHexCell(hex);
    if (result & kRaidDecisive) {
        result &= 0x7FFFu;
        MAPCELL& saved = game.dwHexCell[hex];
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(saved));
        const int ruined = t ? t->nRuinForm : CellTerrain(saved);
        saved = WithDurability(WithTerrain(saved, ruined), 0);
        WriteOrderRecordLine(doc, RecordVerb::Bombing, hex, savedBefore);
    }
    const UnitRef there = doc.m_dwHexUnit[hex];
    if (UNITSTRUCT* standing = doc.GetUnit(there); standing && (standing->dwFlag & kUnitInUse)) {
        SetUnitHexCell(*standing, game.dwHexCell[hex]);
    }
    (void)EndUnitAction(doc, unit, true);
    return Done(doc, static_cast<int>(result));
}

OrderResult OccupyHex(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, RuleDraws& draws)
{
    if (!IsLiveUnit(doc, unit) || !IsMapHex(hex)) return Refused();
    if (unit.nHex != hex) {
        if (!CanMove(doc, unit, hex)) return Refused();
        PlaceOnHex(doc, unit, hex);
        unit.dwFlag |= kUnitMayUndo;
    }
    const uint32_t result = OccupyHex(doc.m_GameData, unit, doc.m_dwHexCell[hex], draws);
    doc.StoreHexCell(hex);
    (void)EndUnitAction(doc, unit, true);
    return Done(doc, static_cast<int>(result));
}

OrderResult CompleteOccupation(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX hex, MAPCELL oldCell, uint32_t flags)
{
    if (!IsLiveUnit(doc, unit) || !IsMapHex(hex)) return Refused();
    WriteOrderRecordLine(doc, RecordVerb::Occupy, hex, doc.m_dwHexCell[hex]);
    // The owner bits of a damaged file may name no country: nothing follows.
    const int owner = CellOwner(oldCell);
    if (owner < 0 || owner >= kCountryCount) return Done(doc, static_cast<int>(flags));
    COUNTRYSTRUCT& loser = doc.m_GameData.Country[owner];
    const HEXINDEX oldCapital = loser.nCapital;
    if (doc.RelocateCapital(loser, hex) == 0) {
        flags |= kOccupyCountryFalls | static_cast<uint32_t>(owner) << 16;
        if (doc.SurrenderCountry(owner) != 0) flags |= kOccupyGameEnds;
    } else if (oldCapital == hex) {
        doc.AnnounceCapitalMove(loser, hex);
        flags |= kOccupyCapitalMoved;
        if (doc.NotifyView(6, hex) >= 0) doc.NotifyView(6, loser.nCapital);
    }
    return Done(doc, static_cast<int>(flags));
}

OrderResult ExecuteConstruction(CZRKGameDoc& doc, UNITSTRUCT& unit, int kind, uint32_t value, HEXINDEX hex)
{
    if (!IsLiveUnit(doc, unit) || kind < kBuildLayRoute || kind > kBuildRemoveAirfield) return Refused();
    const bool routeWork = kind == kBuildLayRoute || kind == kBuildRemoveRoute;
    if (routeWork && !IsMapHex(hex)) return Refused();
    if (!routeWork && !IsMapHex(unit.nHex)) return Refused();
    ExecuteConstructionEffect(doc.m_GameData, LiveCells(doc), unit, kind, value, hex);
    if (kind == kBuildRepair) WriteOrderRecordLine(doc, RecordVerb::Repair, unit.nHex, doc.m_dwHexCell[unit.nHex]);
    return Done(doc, 1);
}

// --- unit orders ------------------------------------------------------------------------------------------

OrderResult DiveUnit(CZRKGameDoc& doc, UNITSTRUCT& unit)
{
    if (!IsLiveUnit(doc, unit)) return Refused();
    DiveUnit(doc.m_GameData, unit);
    return Done(doc, 1);
}

OrderResult SurfaceUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, bool free)
{
    if (!IsLiveUnit(doc, unit)) return Refused();
    SurfaceUnit(doc.m_GameData, unit, free);
    return Done(doc, 1);
}

OrderResult JettisonUnitStores(CZRKGameDoc& doc, UNITSTRUCT& unit, bool settleFuel)
{
    if (!IsLiveUnit(doc, unit)) return Refused();
    JettisonStores(unit, settleFuel ? GetMinimumFuelUse(unit, doc.m_GameData, doc.m_MoveRules) : -1);
    return Done(doc, 1);
}

OrderResult ChangeUnitArms(CZRKGameDoc& doc, UNITSTRUCT& unit, int newSet, RuleDraws& draws)
{
    if (!IsLiveUnit(doc, unit) || newSet < 0 || newSet > 5) return Refused();
    if (unit.nMode == newSet) return Done(doc, 0);
    ChangeUnitArms(doc.m_GameData, unit, newSet, draws);
    return Done(doc, 1);
}

OrderResult EvolveUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, int newType, RuleDraws& draws)
{
    if (!IsLiveUnit(doc, unit) || !ArmsRecord(newType)) return Refused();
    ChangeUnitType(doc.m_GameData, unit, newType, true, draws);
    return Done(doc, 1);
}

OrderResult ImproveUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, int newType, RuleDraws& draws)
{
    if (!IsLiveUnit(doc, unit) || !ArmsRecord(newType)) return Refused();
    ChangeUnitType(doc.m_GameData, unit, newType, false, draws);
    return Done(doc, 1);
}

namespace {

// The resupply-cost check as if the funds were `funds`: the supply units'
// loop asks whether anything is still missing, whatever the treasury holds.
int CheckSupplyWithFunds(GAMEDATASTRUCT& game, COUNTRYSTRUCT& country, UNITSTRUCT& unit, int funds)
{
    const int kept = country.nFund;
    country.nFund = funds;
    const int code = CheckSupplyFromOwner(game, unit);
    country.nFund = kept;
    return code;
}

}  // namespace

OrderResult SupplyUnit(CZRKGameDoc& doc, UNITSTRUCT& unit, bool fundsRefused, RuleDraws& draws)
{
    COUNTRYSTRUCT* payer = doc.m_pCurCountry;
    COUNTRYSTRUCT* own = OwnCountry(doc, unit);
    if (!payer || !own || !(unit.dwFlag & kUnitInUse)) return Refused();
    GAMEDATASTRUCT& game = doc.m_GameData;
    const std::span<const UnitRef, kHexCount> hexUnit(doc.m_dwHexUnit, kHexCount);
    UNITSTRUCT* carrier = (unit.dwFlag & kUnitCarried) ? GetCarrier(std::span<UNITSTRUCT>(own->Unit), unit) : nullptr;
    const int fundsAtStart = payer->nFund;
    int result = 0;
    // Every purchase takes the funds as they stand and writes back what is left.
    auto buy = [&](bool replenish, UNITSTRUCT* carriedBy) {
        SupplyRequest request;
        request.budget = payer->nFund;
        request.replenish = replenish;
        request.carrier = carriedBy;
        payer->nFund = zrv::SupplyUnit(game, unit, request, draws);
    };
    if (CheckSupplyFromOwner(game, unit) != 0) {
        if (CheckReplenish(game, unit) == 0) {
            buy(true, nullptr);
            result = 1;
        }
        if (CheckUnitSupply(game, hexUnit, unit) != 0) return Done(doc, result);
        fundsRefused = true;
    }
    unit.dwFlag &= ~kUnitBought;
    const int hexCode = doc.CheckHexSupply(unit);
    if ((hexCode == 0 || hexCode == 55) && !(fundsRefused && fundsAtStart < 11)) {
        buy(CheckReplenish(game, unit) == 0, carrier);
        if (CheckSupplyFromOwner(game, unit) != 0) return Done(doc, (unit.dwFlag & kUnitBought) ? 1 : result);
    }
    if (CheckUnitSupply(game, hexUnit, unit) == 0) {
        // Suppliers with the least stock give first, so the fullest stays
        // ready for the next unit.
        struct Supplier {
            UNITSTRUCT* unit;
            int count;
        };
        std::array<Supplier, kHexDirections> suppliers{};
        int n = 0;
        const HEXINDEX at = GetUnitMapHex(game, unit);
        HEXINDEX around[kHexDirections + 1];
        const int m = IsMapHex(at) ? GetNeighbours(at, around) : 0;
        for (int i = 0; i < m; ++i) {
            UNITSTRUCT* s = doc.GetUnit(doc.m_dwHexUnit[around[i]]);
            if (!s || s == &unit || !(s->dwFlag & kUnitInUse) || RefCountry(s->refSelf) != RefCountry(unit.refSelf))
                continue;
            const int count = LowHalf(GetSupplyStock(*s));
            if (count > 0) suppliers[static_cast<size_t>(n++)] = {s, count};
        }
        std::stable_sort(suppliers.begin(), suppliers.begin() + n,
                         [](const Supplier& a, const Supplier& b) { return a.count < b.count; });
        for (int i = 0; i < n; ++i) {
            if (CheckSupplyWithFunds(game, *own, unit, 10000) != 0) break;
            SupplyRequest request;
            request.budget = 0;
            request.supplier = suppliers[static_cast<size_t>(i)].unit;
            (void)zrv::SupplyUnit(game, unit, request, draws);
        }
    }
    if (unit.dwFlag & kUnitBought) {
        unit.dwFlag |= kUnitSupplied;
        result = 1;
    }
    return Done(doc, result);
}

OrderResult LoadUnitOnCarrier(CZRKGameDoc& doc, UNITSTRUCT& unit, HEXINDEX carrierHex)
{
    if (!IsLiveUnit(doc, unit) || !IsMapHex(carrierHex)) return Refused();
    UNITSTRUCT* carrier = doc.GetUnit(doc.m_dwHexUnit[carrierHex]);
    if (!carrier || carrier == &unit || !(carrier->dwFlag & kUnitInUse) ||
        RefCountry(carrier->refSelf) != RefCountry(unit.refSelf)) {
        return Refused();
    }
    ClearHexEntry(doc, unit, unit.nHex);
    // A unit that has moved this turn boards where it stands: it pays nothing more.
    (void)MoveUnitToHex(unit, doc.m_GameData, carrierHex, static_cast<int>(doc.m_dwHexMove[carrierHex] & 0xFFFFu),
                        RunsOnBatteryAlone(doc, unit));
    BoardCarrier(unit, *carrier);
    (void)EndUnitAction(doc, unit, true);
    (void)EndUnitAction(doc, *carrier, true);
    return Done(doc, RefSlot(carrier->refSelf));
}

OrderResult UnloadUnit(CZRKGameDoc& doc, UNITSTRUCT& carrier, UNITSTRUCT& cargo, HEXINDEX hex)
{
    if (!IsLiveUnit(doc, carrier) || !IsLiveUnit(doc, cargo) || !(cargo.dwFlag & kUnitCarried) || !IsMapHex(hex))
        return Refused();
    const bool again = UnloadUnit(doc.m_GameData, LiveCells(doc), std::span<UnitRef, kHexCount>(doc.m_dwHexUnit, kHexCount),
                                  ConstHexWords(doc.m_dwHexSearch, kHexCount), carrier, cargo, hex);
    doc.NotifyView(3, &cargo);
    return Done(doc, again ? 1 : 0);
}

OrderResult CommitMerge(CZRKGameDoc& doc, UNITSTRUCT& a, UNITSTRUCT& b, const MergeBuffer& bufferA,
                        const MergeBuffer& bufferB, int amount)
{
    if (!IsLiveUnit(doc, a) || !IsLiveUnit(doc, b) || &a == &b) return Refused();
    if (amount == 0) return Done(doc, 0);
    WriteMergeBuffer(bufferA, a);
    WriteMergeBuffer(bufferB, b);
    (void)EndUnitAction(doc, a, true);
    (void)EndUnitAction(doc, b, true);
    return Done(doc, 1);
}

OrderResult RecallUnitsToReserve(CZRKGameDoc& doc, UNITSTRUCT& unit)
{
    COUNTRYSTRUCT* country = OwnCountry(doc, unit);
    if (!country || !(unit.dwFlag & kUnitInUse)) return Refused();
    GAMEDATASTRUCT& game = doc.m_GameData;
    // The unit and everything aboard, each slot once (a looping carrier chain
    // from a damaged file ends).
    std::array<UNITSTRUCT*, kUnitSlots + 1> list{};
    const int n = ListUnitAndCargo(country->Unit, unit, list);
    int free = 0;
    for (const UNITSTRUCT& p : game.CarryUnit) free += (p.dwFlag & kUnitInUse) ? 0 : 1;
    // All or nothing: a pool too full for the whole load takes none of it.
    if (free < n) return Refused(kOrderPoolFull);
    int poolIndex = 0;
    for (int i = 0; i < n; ++i) {
        UNITSTRUCT& u = *list[static_cast<size_t>(i)];
        while (game.CarryUnit[poolIndex].dwFlag & kUnitInUse) ++poolIndex;
        UNITSTRUCT& p = game.CarryUnit[poolIndex];
        p = u;
        p.dwFlag = (u.dwFlag & kUnitSide1) | kUnitInUse | kUnitInPool | kUnitOffMap;
        p.dwCargo = MakeCargo(kNoCarrier, 0);
        p.nHex = -1;
        u.dwFlag &= ~kUnitInUse;
        u.nCpuScore = poolIndex;
        country->nUnit = std::max(0, country->nUnit - 1);
    }
    doc.UnitLeftHex(unit);
    return Done(doc, n);
}

// --- new units ----------------------------------------------------------------------------------------------

OrderResult PlaceReserveUnit(CZRKGameDoc& doc, HEXINDEX hex, int poolIndex)
{
    COUNTRYSTRUCT* country = doc.m_pCurCountry;
    if (!country || !IsMapHex(hex) || poolIndex < 0 || poolIndex >= kCarryUnitCount) return Refused();
    UNITSTRUCT& pool = doc.m_GameData.CarryUnit[poolIndex];
    if (!(pool.dwFlag & kUnitInUse)) return Refused();
    const int slot = PlacePoolUnit(*country, pool, hex);
    if (slot < 0) return Done(doc, -1);
    SetHexEntry(doc, country->Unit[slot], hex);
    return Done(doc, slot);
}

OrderResult ProduceUnitAtHex(CZRKGameDoc& doc, HEXINDEX hex, int type)
{
    COUNTRYSTRUCT* country = doc.m_pCurCountry;
    if (!country || !IsMapHex(hex) || !ArmsRecord(type)) return Refused();
    const int slot = FindFreeUnitSlot(*country);
    if (slot < 0) return Done(doc, -1);
    GAMEDATASTRUCT& game = doc.m_GameData;
    country->nFund -= GetArmsUnitPrice(type);
    const bool keepsPool = country == &game.Country[0];
    CreateCountryUnit(*country, slot, hex, type, DateOnly(game.dwDateTime), &game,
                      keepsPool ? std::span<const UNITSTRUCT>(game.CarryUnit) : std::span<const UNITSTRUCT>());
    UNITSTRUCT& unit = country->Unit[slot];
    SetHexEntry(doc, unit, hex);
    const ConstHexWords coverage(doc.m_dwHexSearch, kHexCount);
    for (int side = 0; side < 3; ++side) {
        if (side != country->nSide) UpdateUnitDetection(unit, side, coverage);
    }
    return Done(doc, slot);
}

// --- exchange of fire ----------------------------------------------------------------------------------

int DocCombatHooks::AskReturnFire(UNITSTRUCT& defender, UNITSTRUCT& attacker)
{
    return m_next ? m_next->AskReturnFire(defender, attacker) : 0;
}

bool DocCombatHooks::AnimateShots(const UNITSTRUCT& shooter, std::span<const COMBATHITSTRUCT> run)
{
    return m_next ? m_next->AnimateShots(shooter, run) : true;
}

bool DocCombatHooks::AnimateStep(const CombatStep& step)
{
    return m_next ? m_next->AnimateStep(step) : true;
}

void DocCombatHooks::AfterDamageStep(bool last)
{
    if (m_next) m_next->AfterDamageStep(last);
}

void DocCombatHooks::EndAttackerAction(UNITSTRUCT& attacker)
{
    if (m_doc.m_pCurCountry != nullptr && OwnCountry(m_doc, attacker) == m_doc.m_pCurCountry)
        (void)EndUnitAction(m_doc, attacker, true);
    if (m_next) m_next->EndAttackerAction(attacker);
}

bool DocCombatHooks::WantsBattleScene(const UNITSTRUCT& attacker, const UNITSTRUCT& defender)
{
    return m_next && m_next->WantsBattleScene(attacker, defender);
}

void DocCombatHooks::ShowBattleScene(const CombatScene& scene)
{
    if (m_next) m_next->ShowBattleScene(scene);
}

void DocCombatHooks::UnitDamaged(UNITSTRUCT& unit)
{
    if (m_next) m_next->UnitDamaged(unit);
    m_doc.NotifyView(9, &unit);
}

void DocCombatHooks::UnitDestroyed(UNITSTRUCT& unit)
{
    // A record the document does not know still leaves play.
    if (!LoseUnit(m_doc, unit).Done()) unit.dwFlag &= ~kUnitInUse;
    if (m_next) m_next->UnitDestroyed(unit);
}

// --- the executor without a view -----------------------------------------------------------------------

int BackendOrderExecutor::ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument)
{
    GameDraws draws(m_doc.Random());
    switch (action) {
    case kCpuActBombKeptHex: {
        const OrderResult r = ExecuteBombing(m_doc, unit, argument, draws);
        return r.Done() ? r.value : -1;
    }
    case kCpuActDisposeAircraftOutOfFuel:
    case kCpuActLoseShipOutOfFuel: {
        const OrderResult r = LoseUnit(m_doc, unit);
        return r.Done() ? r.value : -1;
    }
    case kCpuActLoseSubmarineOutOfFuel: {
        const OrderResult r = SurfaceUnit(m_doc, unit, false);
        return r.Done() ? r.value : -1;
    }
    default:
        return -1;
    }
}

}  // namespace zrv
