#include "battle/engine/CountryOps.h"

#include <algorithm>
#include <cstring>

#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/Sight.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr int kNeutralSide = 2;
constexpr uint32_t kUnitRemoved = 0x00100000u;  // dwFlag: taken out with its country
constexpr uint32_t kEntryMarked = 0x80000000u;  // class-list entry retired or listed by development
constexpr int kDevelopKindRetires = 1;
// A city with enemies round it is a poor capital; one outside the playable
// area is worse still.
constexpr int kCapitalThreatScore = 4096;
constexpr int kCapitalOutsideScore = 8192;
constexpr int kCapitalThreatUnits = 5;
constexpr int kCapitalThreatRadius = 5;

bool IsPresent(const COUNTRYSTRUCT& c)
{
    return (c.dwFlag & kCountryPresent) != 0;
}

bool ClassIn(const uint32_t (&mask)[2], int cls)
{
    return cls >= 0 && cls < 64 && ((mask[cls / 32] >> (cls % 32)) & 1u) != 0;
}

// Year and month of a packed date, for comparisons by the month.
uint32_t YearMonth(uint32_t date)
{
    return DateOnly(date) & 0x00FFFF00u;
}

int MaxType()
{
    return std::clamp(Lib().g_nMaxUnit, 0, kArmsCount);
}

// The class and step of a type that fit the class lists; false otherwise.
bool ListPlace(const ARMSSTRUCT& a, int& cls, int& step)
{
    cls = a.nClass;
    step = a.nEvolution;
    return cls >= 0 && cls < kClassCount && step >= 0 && step < kClassListWords;
}

bool IsUnused(uint32_t entry)
{
    return entry == kNoListEntry;
}

}  // namespace

int GetHeaviestProducedType(const COUNTRYSTRUCT& country)
{
    int heaviest = 0;
    for (int cls = 0; cls < 32; ++cls) {
        const uint32_t entry = country.dwClassList[cls][0];
        if (static_cast<int32_t>(entry) < 0) continue;
        const ARMSSTRUCT* a = ArmsRecord(static_cast<int>(entry));
        if (a) heaviest = std::max(heaviest, a->nWeight);
    }
    return heaviest;
}

void MarkArmsTypeDeveloped(COUNTRYSTRUCT& country, int type)
{
    if (type < 0 || type >= kArmsCount) return;
    country.dwArmsAvail[type] |= kAvailDevListed;
    const ARMSSTRUCT* a = ArmsRecord(type);
    int cls = 0, step = 0;
    if (!a || !ListPlace(*a, cls, step)) return;
    uint32_t& slot = country.dwClassList[cls][step];
    if (IsUnused(slot)) slot = static_cast<uint32_t>(type) | kEntryMarked;
}

void PassArmsTypeOn(GAMEDATASTRUCT& game, const COUNTRYSTRUCT& country, int type, uint32_t date)
{
    for (COUNTRYSTRUCT& other : game.Country) {
        if (!IsPresent(other)) continue;
        if (other.nSide == country.nSide || other.nSide == kNeutralSide || country.nSide == kNeutralSide) {
            MarkArmsTypeSeen(other, type, date);
        }
    }
}

int RetireArmsType(COUNTRYSTRUCT& country, int type)
{
    if (type < 0 || type >= kArmsCount) return 0;
    country.dwArmsAvail[type] |= kAvailRetired;
    const ARMSSTRUCT* a = ArmsRecord(type);
    int cls = 0, step = 0;
    if (!a || !ListPlace(*a, cls, step)) return 0;
    uint32_t* list = country.dwClassList[cls];
    int first = 0;
    for (int k = 1; k < kClassListWords && first == 0; ++k) {
        if (!IsUnused(list[k])) first = k;
    }
    if (first == 0 || step < first) return 0;
    if (list[0] == static_cast<uint32_t>(type)) list[0] = kNoListEntry;
    list[step] |= kEntryMarked;
    return 1;
}

int FindArmsTypeToRetire(const COUNTRYSTRUCT& country, const GAMEDATASTRUCT& game)
{
    const uint32_t now = YearMonth(game.dwDateTime);
    for (int type = 1; type < MaxType(); ++type) {
        const ARMSSTRUCT* a = ArmsRecord(type);
        if (!a || a->nNation != country.nCountryId) continue;
        if (YearMonth(a->dwDateNewEnd) >= now || a->nDevelopKind != kDevelopKindRetires) continue;
        const uint32_t avail = country.dwArmsAvail[type];
        if (!(avail & kAvailByDate) || (avail & (kAvailDevListed | kAvailRetired))) continue;
        if (ClassIn(country.dwClassMask, a->nClass)) return type;
    }
    return -1;
}

namespace {

// Adopting a type costs its full strength times its unit price, also for a
// type counted in pieces (whose unit price is the price of one piece).
int64_t AdoptionPrice(int type)
{
    const ARMSSTRUCT* a = ArmsRecord(type);
    return a ? int64_t{a->nStrengthMax} * a->nPrice : 0;
}

}  // namespace

int DevelopArmsType(GAMEDATASTRUCT& game, COUNTRYSTRUCT& country, int type, bool pay)
{
    if (type < 0 || type >= kArmsCount) return 0;
    if (pay) {
        const int64_t price = AdoptionPrice(type);
        if (country.nFund < price) return 0;
        country.nFund -= static_cast<int32_t>(price);
    }
    country.dwArmsAvail[type] |= kAvailByDate | kAvailDeveloped;
    const ARMSSTRUCT* a = ArmsRecord(type);
    int cls = 0, step = 0;
    if (!pay || !a || !ListPlace(*a, cls, step)) return 1;
    uint32_t* list = country.dwClassList[cls];
    list[step] = static_cast<uint32_t>(type);
    int first = 0;
    for (int k = 1; k < kClassListWords && first == 0; ++k) {
        if (!IsUnused(list[k])) first = k;
    }
    if ((first == 0 || first == step) && cls != 3) {
        list[0] = static_cast<uint32_t>(type);
        PassArmsTypeOn(game, country, type, game.dwDateTime);
    }
    return 1;
}

int FindDevelopmentOffer(const COUNTRYSTRUCT& country, const GAMEDATASTRUCT& game, RuleDraws& draws)
{
    // No leap day: the chance within the start month follows the table.
    static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const uint32_t today = DateOnly(game.dwDateTime);
    const uint32_t now = YearMonth(today);
    for (int type = 1; type < MaxType(); ++type) {
        const ARMSSTRUCT* a = ArmsRecord(type);
        if (!a || a->nNation != country.nCountryId) continue;
        if (YearMonth(a->dwDateFrom) > now || now > DateOnly(a->dwDateNewEnd) + 255) continue;
        if (country.dwArmsAvail[type] & (kAvailDevListed | kAvailRetired | kAvailByDate)) continue;
        if (a->dwScenarioFlag != 0 && a->dwScenarioFlag != game.Head.dwHeadFlag) continue;
        int cls = 0, step = 0;
        if (!ListPlace(*a, cls, step)) continue;
        if (!ClassIn(country.dwClassMask, cls) || ClassIn(country.dwNewWeaponSet, cls)) continue;
        const uint32_t* list = country.dwClassList[cls];
        int producedAt = 0;
        for (int k = 1; k < kClassListWords && !IsUnused(list[0]); ++k) {
            if (list[k] == list[0]) {
                producedAt = k;
                break;
            }
        }
        if (step < producedAt) continue;
        if (YearMonth(a->dwDateFrom) == now && !(country.dwFlag & kCountryNewWeaponsDayOne)) {
            const int month = DateMonth(today);
            const int days = month >= 1 && month <= 12 ? kMonthDays[month - 1] : 30;
            if (draws.Rand() % days >= DateDay(today)) continue;
        }
        if (AdoptionPrice(type) > country.nFund) continue;
        return cls << 16 | type;
    }
    return -1;
}

int FilterCandidateHexes(const COUNTRYSTRUCT& country, std::span<const MAPCELL, kHexCount> cells,
                         std::span<const UnitRef, kHexCount> hexUnit, int kind, std::span<const HEXINDEX> ring,
                         std::span<HEXINDEX> out, bool occupiedAllowed)
{
    if (out.empty()) return 0;
    const MAPCELL blocked = GetSideCellMask(country);
    int count = 0;
    auto take = [&](HEXINDEX hex) {
        if ((cells[hex] & blocked) || (!occupiedAllowed && hexUnit[hex] != kNoUnit)) return;
        if (count + 1 < static_cast<int>(out.size())) out[count++] = hex;
    };
    auto terrainFlags = [&](HEXINDEX hex) {
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cells[hex]));
        return t ? t->dwTrrnFlag : 0u;
    };
    size_t i = 0;
    if (kind == kDeployCapital || kind == kDeployGround) {
        for (; i < ring.size() && IsMapHex(ring[i]) && IsMapHex(country.nCapital) &&
               GetHexDistance(ring[i], country.nCapital) <= 1;
             ++i) {
            const uint32_t f = terrainFlags(ring[i]);
            if (f & (1u << 27)) continue;
            if (kind == kDeployCapital && (f & (1u << 30))) continue;
            take(ring[i]);
        }
    }
    const uint32_t wanted = kind == kDeployNaval ? 1u << 30 : kind == kDeployAir ? 1u << 28 : 1u << 29;
    for (; i < ring.size() && IsMapHex(ring[i]); ++i) {
        const uint32_t f = terrainFlags(ring[i]);
        if (!(f & wanted) || (kind == kDeployCapital && (f & (1u << 30)))) continue;
        if (CellOwner(cells[ring[i]]) != country.nIndex) continue;
        take(ring[i]);
    }
    out[count] = -1;
    return count;
}

void RemoveCountryFromPlay(GAMEDATASTRUCT& game, int index, std::span<MAPCELL, kHexCount> cells,
                           std::span<UnitRef, kHexCount> hexUnit)
{
    if (index < 0 || index >= kCountryCount) return;
    COUNTRYSTRUCT& country = game.Country[index];
    country.dwFlag &= ~kCountryPresent;
    country.nUnit = 0;
    for (UNITSTRUCT& u : country.Unit) {
        if (!(u.dwFlag & kUnitInUse)) continue;
        u.dwFlag = (u.dwFlag & ~kUnitInUse) | kUnitRemoved;
        if (IsMapHex(u.nHex) && hexUnit[u.nHex] == u.refSelf) hexUnit[u.nHex] = kNoUnit;
    }
    std::memset(country.Unit, 0, sizeof country.Unit);
    for (HEXINDEX hex = 0; hex < kHexCount; ++hex) {
        MAPCELL cell = cells[hex];
        if (cell == 0 || (cell & kCellClosedAll) || CellOwner(cell) != index) continue;
        cell &= ~kCellOwnerMask;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        // The next terrain index of a city is its ownerless form.
        if (t && IsCityHex(*t)) cell = WithTerrain(cell, CellTerrain(cell) + 1);
        cells[hex] = cell;
        game.dwHexCell[hex] = cell;
        const UnitRef ref = hexUnit[hex];
        if (IsUnitRef(ref)) game.Country[RefCountry(ref)].Unit[RefSlot(ref)].dwHexCell = cell;
    }
}

HEXINDEX FindCapitalRelocation(const GAMEDATASTRUCT& game, int index, HEXINDEX lostHex,
                               std::span<const MAPCELL, kHexCount> cells)
{
    if (index < 0 || index >= kCountryCount) return kNoHex;
    const COUNTRYSTRUCT& country = game.Country[index];
    if (country.nCapital != lostHex) return country.nCapital;
    const MapRect& area = game.rcMapArea;
    int best = 0;
    HEXINDEX bestHex = kNoHex;
    for (HEXINDEX hex = 0; hex < kHexCount; ++hex) {
        const MAPCELL cell = cells[hex];
        if (hex == lostHex || (cell & kCellClosedAll) || CellOwner(cell) != index) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (!t || !IsCityHex(*t)) continue;
        int score = IsMapHex(lostHex) ? GetHexDistance(hex, lostHex) : 0;
        // Only the enemies the country's side can see count.
        if (CountVisibleEnemies(hex, kCapitalThreatRadius, index, game) >= kCapitalThreatUnits) {
            score += kCapitalThreatScore;
        }
        const int column = HexColumn(hex), row = HexRow(hex);
        if (column < area.left || column > area.right || row < area.top || row > area.bottom) {
            score += kCapitalOutsideScore;
        }
        if (bestHex == kNoHex || score < best) {
            best = score;
            bestHex = hex;
        }
    }
    return bestHex;
}

int RelocateCapital(GAMEDATASTRUCT& game, int index, HEXINDEX lostHex, std::span<const MAPCELL, kHexCount> cells)
{
    if (index < 0 || index >= kCountryCount) return 0;
    COUNTRYSTRUCT& country = game.Country[index];
    if (country.nCapital != lostHex) return 1;
    const HEXINDEX hex = FindCapitalRelocation(game, index, lostHex, cells);
    if (hex == kNoHex) return 0;
    country.nCapital = hex;
    return 1;
}

int GetNearestOwnUnitDistance(const COUNTRYSTRUCT& country, HEXINDEX hex)
{
    int best = -1;
    if (!IsMapHex(hex)) return best;
    for (const UNITSTRUCT& u : country.Unit) {
        if (!(u.dwFlag & kUnitInUse) || !IsMapHex(u.nHex)) continue;
        const int d = GetHexDistance(u.nHex, hex);
        if (best < 0 || d < best) best = d;
    }
    return best;
}

int GetCountryDisplayIndex(const COUNTRYSTRUCT& country, bool alternate)
{
    return alternate ? country.nCountryId + 8 : country.nDisplay;
}

int FindFreeUnitSlot(const COUNTRYSTRUCT& country)
{
    for (int slot = 0; slot < kUnitSlots; ++slot) {
        if (!(country.Unit[slot].dwFlag & kUnitInUse)) return slot;
    }
    return -1;
}

int PlacePoolUnit(COUNTRYSTRUCT& country, UNITSTRUCT& pool, HEXINDEX hex)
{
    const int slot = FindFreeUnitSlot(country);
    if (slot < 0) return -1;
    UNITSTRUCT& u = country.Unit[slot];
    u = pool;
    pool.dwFlag &= ~kUnitInUse;
    u.dwFlag = (u.dwFlag | kUnitActed) & ~kUnitInPool;
    u.dwOrder = 0;
    u.nMarchHex = -1;
    u.nHex = hex;
    u.refSelf = MakeUnitRef(country.nIndex, slot);
    ++country.nUnit;
    return slot;
}

int RemoveCountryUnit(COUNTRYSTRUCT& country, UNITSTRUCT& unit)
{
    unit.dwFlag &= ~kUnitInUse;
    DetachFromCarrier(country.Unit, unit);
    if (unit.dwFlag & kUnitInPool) return 1;
    // Breadth first over the cargo; each slot is taken once, so a damaged
    // file whose carrier slots form a loop still ends.
    UNITSTRUCT* queue[kUnitSlots];
    bool queued[kUnitSlots] = {};
    int head = 0, tail = 0, removed = 1;
    const ptrdiff_t self = &unit - country.Unit;
    if (self >= 0 && self < kUnitSlots) queued[self] = true;
    queue[tail++] = &unit;
    while (head < tail) {
        const UNITSTRUCT* carrier = queue[head++];
        const int carrierSlot = static_cast<int>(carrier - country.Unit);
        if (carrierSlot < 0 || carrierSlot >= kUnitSlots) continue;
        for (int s = 0; s < kUnitSlots; ++s) {
            UNITSTRUCT& u = country.Unit[s];
            if (queued[s] || !(u.dwFlag & kUnitInUse) || !(u.dwFlag & kUnitCarried) ||
                CargoCarrier(u.dwCargo) != carrierSlot) {
                continue;
            }
            u.dwFlag &= ~kUnitInUse;
            queued[s] = true;
            queue[tail++] = &u;
            ++removed;
        }
    }
    country.nUnit = std::max(0, country.nUnit - removed);
    return removed;
}

int CreateCountryUnit(COUNTRYSTRUCT& country, int slot, HEXINDEX hex, int type, uint32_t date,
                      const GAMEDATASTRUCT* game, std::span<const UNITSTRUCT> pool)
{
    if (slot < 0 || slot >= kUnitSlots) return -1;
    InitUnitRecord(&country, country.Unit[slot], slot, hex, type, date, game, pool);
    ++country.nUnit;
    return slot;
}

int GetEmptyClassListCode(const ClassList& list)
{
    for (int k = 1; k < kClassListWords; ++k) {
        if (static_cast<int32_t>(list[k]) >= 0) return 0;
    }
    return 31;
}

int FindAvailableListEntry(uint32_t date, const ClassList& list)
{
    if (static_cast<int32_t>(list[0]) < 1) {
        for (int k = 1; k < kClassListWords; ++k) {
            if (IsUnused(list[k])) continue;
            const ARMSSTRUCT* a = ArmsRecord(static_cast<int>(list[k] & ~kEntryMarked));
            return a && DateOnly(a->dwDateFrom) < DateOnly(date) ? k : -1;
        }
        return -1;
    }
    const ARMSSTRUCT* a = ArmsRecord(static_cast<int>(list[0]));
    if (!a || DateOnly(a->dwDateFrom) > DateOnly(date)) return -1;
    for (int k = 1; k < kClassListWords; ++k) {
        if (list[k] == list[0]) return k;
    }
    return 10;
}

int CountHumanCountries(const GAMEDATASTRUCT& game)
{
    int n = 0;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (IsPresent(c) && !(c.dwFlag & kCountryCpu)) ++n;
    }
    return n;
}

}  // namespace zrv
