#include "battle/engine/UnitSearch.h"

#include <algorithm>

#include "battle/engine/Combat.h"
#include "battle/engine/Construction.h"
#include "battle/engine/CountryOps.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

constexpr uint32_t kOrderKeepStrengthRoll = 0x00400000u;  // dwOrder bit 22: the strength roll counts as 0
constexpr uint32_t kOrderNoFuelAmmo = 0x02000000u;        // dwOrder bit 25
constexpr uint32_t kSupplyWantsFuel = 0x00020000u;        // dwSupplyFlag bit 17
constexpr int kCarrierClass = 58;
constexpr uint32_t kCapitalLost = 0x20000000u;  // country flag bit 29

bool IsPresent(const COUNTRYSTRUCT& c)
{
    return (c.dwFlag & kCountryPresent) != 0;
}

bool InUse(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) != 0;
}

bool OnMapUncarried(const UNITSTRUCT& u)
{
    return InUse(u) && !(u.dwFlag & kUnitCarried) && IsMapHex(u.nHex);
}

int ClassOf(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = UnitArms(u);
    return a ? a->nClass : -1;
}

bool CarriesNothing(const UNITSTRUCT& u)
{
    return CargoCount(u.dwCargo) == 0;
}

bool IsEnemyOf(const GAMEDATASTRUCT& game, int country, int other)
{
    if (country < 0 || country >= kCountryCount || other < 0 || other >= kCountryCount) return false;
    const COUNTRYSTRUCT& o = game.Country[other];
    return IsPresent(o) && o.nSide == (game.Country[country].nSide ^ 1);
}

// Whether the country sees the unit: only a fogged country misses units
// hidden from its side.
bool Sees(const COUNTRYSTRUCT& country, const UNITSTRUCT& u)
{
    return !(country.dwFlag & kCountryFog) || !(u.dwFlag & HiddenFromSideBit(country.nSide));
}

bool InList(std::span<const int32_t> list, int value)
{
    for (int32_t v : list) {
        if (v < 0) break;
        if (v == value) return true;
    }
    return false;
}

// Cell owner counted only for the eight countries; the four bits may hold
// more from a damaged file.
int OwnerIndex(MAPCELL cell)
{
    const int owner = CellOwner(cell);
    return owner >= 0 && owner < kCountryCount ? owner : -1;
}

// Smallest distance from hex to a unit of side with at least minStrength
// whose class traits meet mask.
int NearestSideUnitByTraits(const GAMEDATASTRUCT& game, int side, HEXINDEX hex, uint32_t mask, int minStrength)
{
    int best = kNoDistance;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!IsPresent(c) || c.nSide != side) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            if (!OnMapUncarried(u) || u.nStrength < minStrength) continue;
            if (!(GetClassTraits(ClassOf(u)) & mask)) continue;
            best = std::min(best, GetHexDistance(u.nHex, hex));
        }
    }
    return best;
}

// The kind-mask bit of a unit: 1 | 4 ground, 2 air, 8 ship or submarine.
int KindBits(const UNITSTRUCT& u)
{
    const int domain = GetUnitDomain(u);
    return domain == 0 ? 2 : (domain == 1 || domain == 2) ? 1 | 4 : domain >= 3 ? 8 : 0;
}

int MaxProducedPrice(const COUNTRYSTRUCT& country, int low, int high, int cap)
{
    int best = -1;
    for (const auto& list : country.dwClassList) {
        if (static_cast<int32_t>(list[0]) < 0) continue;
        const int type = static_cast<int>(list[0]);
        const ARMSSTRUCT* a = ArmsRecord(type);
        if (!a || a->nClass < low || a->nClass > high) continue;
        // Classes 49 to 53 are planned with the naval ones only on the base
        // kind of carriers.
        if (low == 33 && a->nClass >= 49 && a->nClass <= 53 && a->nBaseKind != 4) continue;
        best = std::max(best, std::min(GetArmsUnitPrice(type), cap));
    }
    return best;
}

}  // namespace

UNITSTRUCT* FindNearestEnemyUnitFromHex(GAMEDATASTRUCT& game, int country, HEXINDEX hex)
{
    if (country < 0 || country >= kCountryCount || !IsMapHex(hex)) return nullptr;
    const COUNTRYSTRUCT& own = game.Country[country];
    UNITSTRUCT* best = nullptr;
    int bestDistance = kNoDistance;
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (UNITSTRUCT& u : game.Country[e].Unit) {
            if (!OnMapUncarried(u) || !Sees(own, u)) continue;
            const int d = GetHexDistance(u.nHex, hex);
            if (d < bestDistance) {
                bestDistance = d;
                best = &u;
            }
        }
    }
    if (best) best->nCpuScore = bestDistance;
    return best;
}

UNITSTRUCT* FindNearestEnemyUnit(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    return FindNearestEnemyUnitFromHex(game, RefCountry(unit.refSelf), GetUnitMapHex(game, unit));
}

int GetNearestEnemyDistanceFromHex(GAMEDATASTRUCT& game, int country, HEXINDEX hex)
{
    const UNITSTRUCT* u = FindNearestEnemyUnitFromHex(game, country, hex);
    return u ? u->nCpuScore : kNoDistance;
}

int GetNearestEnemyDistance(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const UNITSTRUCT* u = FindNearestEnemyUnit(game, unit);
    return u ? u->nCpuScore : kNoDistance;
}

uint32_t SumSideUnitsNearHex(const GAMEDATASTRUCT& game, int side, HEXINDEX hex, int kindMask, int radius)
{
    uint32_t strength = 0, count = 0;
    if (!IsMapHex(hex)) return 0;
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!IsPresent(c) || c.nSide != side) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            if (!OnMapUncarried(u) || GetHexDistance(u.nHex, hex) > radius) continue;
            if (!(kindMask & KindBits(u))) continue;
            strength += static_cast<uint32_t>(std::max(0, u.nStrength));
            ++count;
        }
    }
    return strength << 16 | (count & 0xFFFFu);
}

int GetNearestSideUnitByTraits(const GAMEDATASTRUCT& game, int side, HEXINDEX hex, uint32_t traitsMask,
                               int minStrength)
{
    return IsMapHex(hex) ? NearestSideUnitByTraits(game, side, hex, traitsMask, minStrength) : kNoDistance;
}

int CheckEnemyWeaponReach(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const int country = RefCountry(unit.refSelf);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (!a || country >= kCountryCount || !IsMapHex(at)) return 0;
    if (unit.nBattery < 4 && !(a->dwArmsFlag & (3u << 9))) return 0;
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (const UNITSTRUCT& enemy : game.Country[e].Unit) {
            if (!OnMapUncarried(enemy) || !Sees(game.Country[country], enemy)) continue;
            const ARMSSTRUCT* ea = UnitArms(enemy);
            const int d = GetHexDistance(enemy.nHex, at);
            for (int s = 0; s < kAmmoSlots && ea; ++s) {
                const WEAPONSTRUCT* w = UnitWeapon(enemy, s);
                if (!w || enemy.nAmmo[s] <= 0 || w->nAttack[3] <= 0 || (w->dwWeaponFlag & (1u << 8))) continue;
                if (w->nRange[3] + ea->nMovePoint >= d) return 1;
            }
        }
    }
    return 0;
}

int32_t FindNearestTransport(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const int country = RefCountry(unit.refSelf);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (!a || country >= kCountryCount || !IsMapHex(at)) return -1;
    const int carryClass = RoomCarryClass(*a);
    if (carryClass < 0) return -1;
    const std::span<const UNITSTRUCT> units(game.Country[country].Unit);
    int32_t best = -1;
    int bestKey = 0;
    for (const UNITSTRUCT& c : units) {
        if (&c == &unit || !OnMapUncarried(c)) continue;
        if (GetCarrierCapacity(c.nArms, &c)[static_cast<size_t>(carryClass)] <= CountCarriedOfClass(units, c, carryClass))
            continue;
        if (!HasCarrierRoom(units, c, nullptr)) continue;
        const int domain = GetUnitDomain(c);
        const int group = domain >= 3 ? 0 : (domain == 1 || domain == 2) ? 1 : 2;
        const int key = group << 16 | GetHexDistance(c.nHex, at);
        if (best < 0 || key < bestKey) {
            bestKey = key;
            best = group << 16 | c.nHex;
        }
    }
    return best;
}

int GetNearestEnemyDistanceByClass(const GAMEDATASTRUCT& game, HEXINDEX hex, int kindMask, int country)
{
    int best = kNoDistance;
    if (!IsMapHex(hex)) return best;
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (const UNITSTRUCT& u : game.Country[e].Unit) {
            if (OnMapUncarried(u) && (KindBits(u) & kindMask)) best = std::min(best, GetHexDistance(u.nHex, hex));
        }
    }
    return best;
}

int IsStrongEnemyClassWithinRange(const GAMEDATASTRUCT& game, int country, HEXINDEX hex, uint32_t traitsMask,
                                  int range)
{
    if (country < 0 || country >= kCountryCount || !IsMapHex(hex)) return 0;
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (const UNITSTRUCT& u : game.Country[e].Unit) {
            const ARMSSTRUCT* a = UnitArms(u);
            if (!a || !OnMapUncarried(u) || !Sees(game.Country[country], u)) continue;
            if ((GetClassTraits(a->nClass) & traitsMask) && u.nStrength * 3 > a->nStrengthMax &&
                GetHexDistance(u.nHex, hex) <= range) {
                return 1;
            }
        }
    }
    return 0;
}

uint32_t CountEnemyUnitsByKind(const GAMEDATASTRUCT& game, int country)
{
    if (country < 0 || country >= kCountryCount) return 0;
    uint32_t ships = 0, subs = 0;
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (const UNITSTRUCT& u : game.Country[e].Unit) {
            if (!OnMapUncarried(u) || !Sees(game.Country[country], u)) continue;
            const int domain = GetUnitDomain(u);
            if (domain == 3) ++ships;
            if (domain == 4) ++subs;
        }
    }
    return subs << 16 | (ships & 0xFFFFu);
}

int TestAdjacentEnemyEngagement(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                const UNITSTRUCT& unit, int direction)
{
    if ((unit.dwFlag & kUnitCarried) || !IsMapHex(unit.nHex)) return 0;
    HEXINDEX around[kHexDirections + 1];
    const int n = GetNeighbours(unit.nHex, around);
    for (int i = 0; i < n; ++i) {
        const UnitRef ref = hexUnit[around[i]];
        if (!IsUnitRef(ref) || !IsEnemyOf(game, RefCountry(unit.refSelf), RefCountry(ref))) continue;
        const UNITSTRUCT& enemy = game.Country[RefCountry(ref)].Unit[RefSlot(ref)];
        if (!InUse(enemy)) continue;
        const bool engages = direction ? CanEngageAdjacent(game, unit, enemy) : CanEngageAdjacent(game, enemy, unit);
        if (engages) return 1;
    }
    return 0;
}

int GetFarthestUnitDistanceFromCapital(const COUNTRYSTRUCT& country)
{
    int best = 0;
    if (!IsMapHex(country.nCapital)) return best;
    for (const UNITSTRUCT& u : country.Unit) {
        if (OnMapUncarried(u)) best = std::max(best, GetHexDistance(u.nHex, country.nCapital));
    }
    return best;
}

int GetNearestFullSameClassDistance(const UNITSTRUCT& unit, const COUNTRYSTRUCT& country)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    int best = kNoDistance;
    if (!a || !IsMapHex(unit.nHex)) return best;
    for (const UNITSTRUCT& u : country.Unit) {
        const ARMSSTRUCT* b = UnitArms(u);
        if (&u == &unit || !b || !OnMapUncarried(u) || b->nClass != a->nClass) continue;
        if (b->nEvolution < a->nEvolution || u.nStrength < b->nStrengthMax) continue;
        best = std::min(best, GetHexDistance(u.nHex, unit.nHex));
    }
    return best;
}

HEXINDEX FindFullUnitNearCapital(const COUNTRYSTRUCT& country)
{
    if (!IsMapHex(country.nCapital)) return -1;
    for (const UNITSTRUCT& u : country.Unit) {
        const ARMSSTRUCT* a = UnitArms(u);
        if (!a || !OnMapUncarried(u) || (a->nClass != 39 && a->nClass != 41) || a->nCarry[1] <= 0) continue;
        if (u.nStrength >= a->nStrengthMax && GetHexDistance(u.nHex, country.nCapital) < 6) return u.nHex;
    }
    return -1;
}

void SortHexesByDistance(HEXINDEX hex, int count, std::span<HEXINDEX> list, bool descending)
{
    count = std::clamp(count, 0, static_cast<int>(list.size()));
    if (count < 2 || !IsMapHex(hex)) return;
    std::stable_sort(list.begin(), list.begin() + count, [&](HEXINDEX a, HEXINDEX b) {
        const int da = IsMapHex(a) ? GetHexDistance(a, hex) : kNoDistance;
        const int db = IsMapHex(b) ? GetHexDistance(b, hex) : kNoDistance;
        return descending ? da > db : da < db;
    });
}

HEXINDEX FindLowestMarkedNeighbourHex(HEXINDEX hex, std::span<const uint32_t, kHexCount> values)
{
    if (!IsMapHex(hex)) return -1;
    HEXINDEX best = -1;
    HEXINDEX around[kHexDirections + 1];
    const int n = GetNeighbours(hex, around);
    for (int i = 0; i < n; ++i) {
        const uint32_t v = values[around[i]];
        if (!(v & (1u << 25))) continue;
        if (best < 0 || (v & 0xFFFFu) < (values[best] & 0xFFFFu)) best = around[i];
    }
    return best;
}

int TestHexTerrainFlags(int country, MAPCELL cell, int limit)
{
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    if (!t) return 0;
    const int d = CellDurability(cell);
    if (CellOwner(cell) == country && IsOccupiable(*t) && d < 250) return 1;
    if ((t->dwTrrnFlag & (1u << 17)) && d != 0) return d < limit ? 1 : 0;
    return 0;
}

uint32_t SumEnemyUnitsNearHex(const GAMEDATASTRUCT& game, int country, HEXINDEX hex, int kindMask, int radius)
{
    if (country < 0 || country >= kCountryCount) return 0;
    return SumSideUnitsNearHex(game, game.Country[country].nSide ^ 1, hex, kindMask, radius);
}

int GetHexNeighbourhoodScore(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, HEXINDEX hex)
{
    if (!IsMapHex(hex) || !IsUnitRef(hexUnit[hex])) return 0;
    const int country = RefCountry(hexUnit[hex]);
    int score = 0;
    HEXINDEX around[kHexDirections + 1];
    const int n = GetNeighbours(hex, around);
    for (int i = 0; i < n; ++i) {
        const UnitRef ref = hexUnit[around[i]];
        if (!IsUnitRef(ref)) {
            score -= 1;
        } else {
            score += IsEnemyOf(game, country, RefCountry(ref)) ? -3 : 2;
        }
    }
    return score;
}

int IsAdjacentToEnemy(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit)
{
    if ((unit.dwFlag & kUnitCarried) || !IsMapHex(unit.nHex)) return 0;
    HEXINDEX around[kHexDirections + 1];
    const int n = GetNeighbours(unit.nHex, around);
    for (int i = 0; i < n; ++i) {
        const UnitRef ref = hexUnit[around[i]];
        if (IsUnitRef(ref) && IsEnemyOf(game, RefCountry(unit.refSelf), RefCountry(ref))) return 1;
    }
    return 0;
}

int IsCapitalThreatened(const GAMEDATASTRUCT& game, int country)
{
    if (country < 0 || country >= kCountryCount) return 0;
    const HEXINDEX capital = game.Country[country].nCapital;
    if (!IsMapHex(capital)) return 0;
    int ground = 0, groundStrength = 0, heavy = 0, heavyStrength = 0, air = 0, airStrength = 0;
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (const UNITSTRUCT& u : game.Country[e].Unit) {
            if (!OnMapUncarried(u) || GetHexDistance(u.nHex, capital) > 5) continue;
            const int domain = GetUnitDomain(u);
            if (domain == 0) {
                ++air;
                airStrength += u.nStrength;
            } else if (domain == 1 || domain == 2) {
                ++ground;
                groundStrength += u.nStrength;
                const ARMSSTRUCT* a = UnitArms(u);
                if (a && (a->dwArmsFlag & (1u << 3))) {
                    ++heavy;
                    heavyStrength += u.nStrength;
                }
            }
        }
    }
    int units = ground, strength = groundStrength;
    // Aircraft alone do not hold a capital; with troops on the ground they
    // weigh a third.
    if (ground >= 2) {
        units += air;
        strength += airStrength / 3;
    }
    return heavyStrength >= 15 || heavy >= 2 || strength >= 40 || units >= 5 ? 1 : 0;
}

int IsCapitalBlocked(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, int country)
{
    if (country < 0 || country >= kCountryCount) return 0;
    const COUNTRYSTRUCT& c = game.Country[country];
    if (!IsMapHex(c.nCapital)) return 0;
    HEXINDEX ring[GetHexCountInRadius(5) + 1];
    const int n = GetHexesInRange(c.nCapital, 5, ring);
    for (int i = 0; i < n; ++i) {
        const UnitRef ref = hexUnit[ring[i]];
        if (!IsUnitRef(ref)) return 0;
        const COUNTRYSTRUCT& holder = game.Country[RefCountry(ref)];
        if (holder.nSide == c.nSide) return 0;
    }
    return n > 0 ? 1 : 0;
}

int32_t FindNearestEnemyCapital(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, const CapitalSearch& how)
{
    // A probe unit of the computer turn's set-up has a country but no slot:
    // the country comes from the reference, the hex from the unit itself.
    const int index = RefCountry(unit.refSelf);
    if (index >= kCountryCount) return -1;
    const COUNTRYSTRUCT* own = &game.Country[index];
    const HEXINDEX from = (unit.dwFlag & kUnitCarried) ? GetUnitMapHex(game, unit) : unit.nHex;
    if (!IsMapHex(from)) return -1;
    const int side = own->nSide ^ 1;
    const MapRect& area = game.rcMapArea;
    auto search = [&](bool lostToo) {
        int32_t best = -1;
        int bestDistance = 0;
        for (int e = 0; e < kCountryCount; ++e) {
            const COUNTRYSTRUCT& c = game.Country[e];
            if (c.nSide != side || !IsMapHex(c.nCapital)) continue;
            if (!lostToo && (!IsPresent(c) || (c.dwFlag & kCapitalLost))) continue;
            if (!how.any && (how.routeCost[c.nCapital] & 0xFFFFu) == 0) continue;
            int d = GetHexDistance(from, c.nCapital);
            if (how.blocked && how.blocked(e)) d += 0x1000;
            const int column = HexColumn(c.nCapital), row = HexRow(c.nCapital);
            if (column < area.left || column > area.right || row < area.top || row > area.bottom) d += 0x2000;
            if (best < 0 || d < bestDistance) {
                bestDistance = d;
                best = how.withCountry ? (e << 16 | c.nCapital) : c.nCapital;
            }
        }
        return best;
    };
    const int32_t found = search(false);
    return found >= 0 ? found : search(true);
}

CpuTurnSetupRules MakeCpuTurnSetupRules(CZRKGameDoc& doc)
{
    CpuTurnSetupRules rules;
    rules.capitalSearch = [&doc](const UNITSTRUCT* probe, int mode) -> int32_t {
        const GAMEDATASTRUCT& game = doc.m_GameData;
        if (!probe) {
            // No capital to measure from: the first capital of the other side.
            const int own = game.nCurCountry;
            if (own < 0 || own >= kCountryCount) return -1;
            for (int e = 0; e < kCountryCount; ++e) {
                const COUNTRYSTRUCT& c = game.Country[e];
                if (c.nSide == (game.Country[own].nSide ^ 1) && IsMapHex(c.nCapital)) return e << 16 | c.nCapital;
            }
            return -1;
        }
        CapitalSearch how{std::span<const uint32_t, kHexCount>(doc.m_dwHexMove, kHexCount)};
        how.any = mode != 0;
        how.withCountry = true;
        const std::span<const UnitRef, kHexCount> hexUnit(doc.m_dwHexUnit, kHexCount);
        how.blocked = [&game, hexUnit](int country) { return IsCapitalBlocked(game, hexUnit, country) != 0; };
        return FindNearestEnemyCapital(game, *probe, how);
    };
    rules.storeScores = [&doc](COUNTRYSTRUCT& country) {
        const GAMEDATASTRUCT& game = doc.m_GameData;
        const std::span<const MAPCELL, kHexCount> cells(doc.m_dwHexCell, kHexCount);
        for (int i = 0; i < kCountryCount; ++i) {
            if (&game.Country[i] != &country) continue;
            doc.m_nCpuCaptureScore[i] = CountCapturableCityScore(game, i, cells);
            doc.m_nCpuCapitalGuard[i] =
                IsMapHex(country.nCapital) ? GetNearestOwnSideGroundUnit(game, i, country.nCapital) : kNoDistance;
        }
    };
    rules.filterCandidateHexes = [&doc](int country, int kind, std::span<const HEXINDEX> ring,
                                        std::span<HEXINDEX> out) {
        if (country < 0 || country >= kCountryCount) return 0;
        return FilterCandidateHexes(doc.m_GameData.Country[country], doc.m_dwHexCell, doc.m_dwHexUnit, kind, ring,
                                    out, false);
    };
    return rules;
}

int32_t FindNearestOwnedMarkedHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit,
                                  std::span<const MAPCELL, kHexCount> cells,
                                  std::span<const uint32_t, kHexCount> marks, std::span<const int32_t> countries)
{
    const HEXINDEX from = GetUnitMapHex(game, unit);
    if (!IsMapHex(from)) return -1;
    int32_t best = -1;
    int bestDistance = kNoDistance;
    for (HEXINDEX hex = 0; hex < kHexCount; ++hex) {
        if ((marks[hex] & 0xFFFFu) == 0) continue;
        const int owner = OwnerIndex(cells[hex]);
        if (owner < 0 || !InList(countries, owner)) continue;
        const int d = GetHexDistance(from, hex);
        if (d < bestDistance) {
            bestDistance = d;
            best = owner << 16 | hex;
        }
    }
    return best;
}

int CountCapturableCityScore(const GAMEDATASTRUCT& game, int country, std::span<const MAPCELL, kHexCount> cells)
{
    if (country < 0 || country >= kCountryCount) return 0;
    const COUNTRYSTRUCT& c = game.Country[country];
    const int limit = c.nUnitMax / 8;
    if (limit * 10 < 20) return 20;
    const MAPCELL blocked = GetSideCellMask(c);
    int count = 0;
    for (HEXINDEX hex = 0; hex < kHexCount; ++hex) {
        const MAPCELL cell = cells[hex];
        if (cell & blocked) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (!t || !IsOccupiable(*t)) continue;
        const int owner = CellOwner(cell);
        if (owner < 0 || IsEnemyOf(game, country, owner)) ++count;
    }
    return std::min(count * 5, limit * 10);
}

int ListBaseHexes(int country, const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                  std::span<const UnitRef, kHexCount> unitMap, std::span<HEXINDEX> out)
{
    if (country < 0 || country >= kCountryCount) return 0;
    const MAPCELL blocked = GetSideCellMask(game.Country[country]);
    int count = 0;
    size_t written = 0;
    for (HEXINDEX hex = 0; hex < kHexCount; ++hex) {
        const MAPCELL cell = cells[hex];
        if (cell & blocked) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (!t || !IsOccupiable(*t) || IsUnitRef(unitMap[hex])) continue;
        const int owner = CellOwner(cell);
        if (owner >= 0 && !IsEnemyOf(game, country, owner)) continue;
        ++count;
        if (written + 1 < out.size()) out[written++] = hex;
    }
    if (!out.empty()) out[written] = kNoHex;
    return count;
}

// --- bases and withdrawal ---------------------------------------------------------------------

int32_t FindReachableBaseHex(UNITSTRUCT& unit, const GAMEDATASTRUCT& game, const BaseSearchMaps& maps,
                             bool bCheckReach)
{
    const int country = UnitCountryIndex(unit);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (country < 0 || country >= kCountryCount || !UnitArms(unit) || !IsMapHex(at)) return -1;
    const int side = game.Country[country].nSide;
    const bool areaKnown = ComputeMoveArea(unit, game, maps.cells, maps.grid, maps.reach, {}, maps.rules) == 0;
    if (!areaKnown && bCheckReach) return -1;
    // Keys are distance << 16 | cost: the smaller key is the nearer base,
    // then the cheaper route; the scan runs by ascending hex, so a strict
    // comparison keeps the lower index on a full tie.
    int32_t best = -1;
    for (HEXINDEX hex = 0; hex < kHexCount; ++hex) {
        const MAPCELL cell = maps.cells[hex];
        const int owner = OwnerIndex(cell);
        if (owner < 0) continue;
        if (owner != country && (!IsPresent(game.Country[owner]) || game.Country[owner].nSide != side)) continue;
        int cost = 0;
        // The search leaves the start hex "not reached" unless a route leads
        // back into it; standing on a base needs no route.
        if (areaKnown && hex != at) {
            const uint32_t w = maps.reach[hex];
            if (w & kReachNotDestination) continue;
            cost = static_cast<int>(w & kReachCostMask);
            if (cost <= 0) continue;
        }
        if (!CanUseHexAsBase(unit, game, cell, false)) continue;
        const int32_t key = GetHexDistance(at, hex) << 16 | cost;
        if (best < 0 || key < best) best = key;
    }
    return best;
}

int32_t RateUnitForWithdrawal(GAMEDATASTRUCT& game, UNITSTRUCT& unit, const BaseSearchMaps& maps, bool bCheckReach)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const int country = UnitCountryIndex(unit);
    if (!a || country < 0 || country >= kCountryCount || (unit.dwFlag & kUnitCarried)) return -1;
    if (a->nCarryClass < 0 || a->nCarryClass >= kCarryClasses) return -1;
    if (unit.dwOrder & kOrderNoFuelAmmo) return -1;
    if (GetNearestEnemyDistance(game, unit) <= 5) return -1;
    if (unit.nStrength * 2 <= a->nStrengthMax) return -1;
    const int32_t base = FindReachableBaseHex(unit, game, maps, bCheckReach);
    if (base < 0 && bCheckReach && a->nMovePoint > 2) return -1;
    if (base >= 0 && (base >> 16) < 4) return -1;
    const COUNTRYSTRUCT& own = game.Country[country];
    const HEXINDEX at = GetUnitMapHex(game, unit);
    const int toCapital =
        IsMapHex(own.nCapital) && IsMapHex(at) ? GetHexDistance(at, own.nCapital) : kNoDistance;
    // A price from a damaged table must not reach the two flag bits above it.
    constexpr int kPriceKeyMax = 0x1FFF;
    const int perPoint = std::clamp(GetArmsUnitPrice(unit.nArms) / std::max(1, a->nStrengthMax), 0, kPriceKeyMax);
    int32_t key = toCapital | perPoint << 16;
    if (base >= 0) key += 0x40000000;
    if (a->nClass == 27) key += 0x20000000;
    return key;
}

namespace {

constexpr uint32_t kSupplyMakeWay = 0x00008000u;  // dwSupplyFlag bit 15

int64_t SumClassStrength(ClassSums sums, std::initializer_list<int> classes)
{
    int64_t total = 0;
    for (int c : classes) total += static_cast<uint32_t>(sums[static_cast<size_t>(c)]) >> 16;
    return total;
}

// A gun unit with nothing to do where it stands: no enemy in its weapons'
// reach and none within 5 hexes.
bool IdlesFarFromEnemies(GAMEDATASTRUCT& game, UNITSTRUCT& u, const ARMSSTRUCT& a)
{
    if (a.nClass < 22 || a.nClass > 25 || (u.dwOrder & kOrderNoFuelAmmo)) return false;
    std::array<UNITSTRUCT*, 1> none{};
    if (ListTargetsInRange(u, game, (u.dwFlag & kUnitMoved) != 0, false, none) != 0) return false;
    return GetNearestEnemyDistance(game, u) >= 6;
}

}  // namespace

int MarkUnitsByForceRatio(GAMEDATASTRUCT& game, int mode, std::span<int, kCarryClasses> counts, int country,
                          const BaseSearchMaps& maps, ClassSums own, ClassSums enemy)
{
    std::fill(counts.begin(), counts.end(), 0);
    if (country < 0 || country >= kCountryCount) return 0;
    if (mode == 3) {
        const std::initializer_list<int> strike = {33, 34, 35, 43, 44, 47, 49};
        const std::initializer_list<int> air = {55, 56, 57, 58, 59};
        if (SumClassStrength(own, strike) * 10 < SumClassStrength(enemy, strike) * 7) return 0;
        if (SumClassStrength(own, air) * 2 < SumClassStrength(enemy, air)) return 0;
    }
    int marked = 0;
    for (UNITSTRUCT& u : game.Country[country].Unit) {
        const ARMSSTRUCT* a = UnitArms(u);
        if (!InUse(u) || (u.dwFlag & kUnitCarried) || !a) continue;
        const int carry = a->nCarryClass;
        if (carry < 0 || carry >= kCarryClasses) continue;
        bool mark = mode == 3;
        if (!mark && carry >= 1 && carry <= 4) {
            mark = CanOccupy(*a) ? FindReachableBaseHex(u, game, maps, mode == 1) >= 0 : IdlesFarFromEnemies(game, u, *a);
        }
        if (!mark) continue;
        u.dwSupplyFlag |= kSupplyMakeWay;
        ++counts[static_cast<size_t>(carry)];
        ++marked;
    }
    return marked;
}

int GetMaxTypeCostClasses0To32(const COUNTRYSTRUCT& country)
{
    return MaxProducedPrice(country, 0, 32, 1500);
}

int GetMaxTypeCostClasses33To54(const COUNTRYSTRUCT& country)
{
    return MaxProducedPrice(country, 33, 54, 2500);
}

int32_t CountUnitsOfClass(const COUNTRYSTRUCT& country, int cls)
{
    int count = 0, strength = 0;
    for (const UNITSTRUCT& u : country.Unit) {
        if (!InUse(u) || ClassOf(u) != cls) continue;
        ++count;
        strength += u.nStrength;
    }
    return count << 16 | (strength & 0xFFFF);
}

int NeedsAmmunition(const UNITSTRUCT& unit, RuleDraws& draws)
{
    if (GetClassTraits(ClassOf(unit)) & kTraitNoAmmunition) return 0;
    const ARMSET* set = UnitArmSet(unit);
    if (!set) return 0;
    const int id = set->nSetId;
    // Sets for one kind of target: a weapon that does not serve it means the
    // set is not meant to fight, and the unit needs no rounds for it.
    auto serves = [id](int type) {
        switch (id) {
        case 2:
        case 11:
            return (type >= 15 && type <= 21) || type == 23 || type == 28;
        case 3:
        case 12:
            return type == 13 || type == 14 || (type >= 16 && type <= 19) || type == 28 || type == 31;
        case 4:
        case 13:
            return type == 32;
        case 5:
        case 14:
            return type == 29;
        case 6:
        case 15:
            return type < 9;
        case 7:
        case 16:
            return type == 35;
        case 8:
        case 17:
            return type == 34;
        default:
            return true;
        }
    };
    bool empty = false;
    int rounds = 0;
    for (int s = 0; s < kAmmoSlots; ++s) {
        if (set->nCount[s] <= 0) continue;
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || w->byType == kWeaponTypeDropTank) continue;
        if (!serves(w->byType)) return 0;
        if (unit.nAmmo[s] <= 0) empty = true;
        rounds += std::max(0, unit.nAmmo[s]);
    }
    if (!empty) return 0;
    return draws.Rand() % 100 < 100 - 5 * rounds ? 1 : 0;
}

int UnitNeedsStrengthSupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nStrengthMax <= 0 || unit.nStrength >= a->nStrengthMax) return 0;
    if (unit.dwFlag & kUnitCarried) {
        const UNITSTRUCT* carrier = GetCarrier(UnitArrayOf(game, unit), unit);
        if (!carrier || ClassOf(*carrier) != kCarrierClass) return 0;
    }
    const int t = unit.nStrength * 10 / a->nStrengthMax;
    const int byExperience = unit.nExp - 100;
    const bool empty = CarriesNothing(unit);
    int always = 0, band = 0, chance = 0;
    const int cls = a->nClass;
    if (cls == 0 || cls == 1 || cls == 26 || cls == 27 || cls == 29 || cls == 31) {
        band = 4;
        chance = std::max(byExperience, 25);
    } else if (cls >= 2 && cls <= 19) {
        band = 6;
        chance = std::max(byExperience, t < 4 ? 50 : 25);
    } else if (cls == 20 || cls == 21 || cls == 28) {
        always = empty && !(a->dwArmsFlag & (1u << 1)) ? 9 : 3;
        band = 6;
        chance = 50;
    } else if (cls >= 22 && cls <= 25) {
        band = 6;
        chance = std::max(byExperience, 25);
    } else if (cls == 30 || cls == 58) {
        always = 3;
    } else if ((cls >= 33 && cls <= 38) || (cls >= 42 && cls <= 50) || cls == 53) {
        always = 3;
        band = 6;
        chance = std::max(byExperience, 30);
    } else if (cls == 39 || cls == 41 || cls == 52) {
        always = empty ? 9 : 0;
    } else if (cls == 40 || cls == 51 || cls == 54) {
        // Class 54, a bomber like 40 and 51, has no row of its own.
        always = 2;
    } else if (cls == 55 || cls == 56 || cls == 57 || cls == 59 || cls == 62) {
        band = 5;
        chance = (6 - t) * 20;
    } else if (cls == 60 || cls == 61) {
        always = empty ? 3 : 0;
        band = empty ? 6 : 0;
        chance = empty ? 50 : 0;
    }
    if (t <= always) return 1;
    if (t > band) return 0;
    const int roll = (unit.dwOrder & kOrderKeepStrengthRoll) ? 0 : draws.Rand() % 100;
    return roll < chance ? 1 : 0;
}

int UnitNeedsFuelAmmoSupply(const GAMEDATASTRUCT& /*game*/, const UNITSTRUCT& unit, RuleDraws& draws)
{
    if (CarriesNothing(unit) && NeedsAmmunition(unit, draws)) return 1;
    if (unit.dwOrder & kOrderNoFuelAmmo) return 0;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    const int f = static_cast<int>(GetUnitFuelTotal(unit) & ~kFuelTotalDropTanks);
    const int m = a->nMovePoint;
    if (f == 0 && m != 0) return 1;
    const int cls = a->nClass;
    const bool empty = CarriesNothing(unit);
    if (cls == 0 || cls == 1) return f <= 16;
    if ((cls >= 2 && cls <= 21) || cls == 28 || cls == 29 || cls == 31 || cls == 40 || cls == 51 || cls == 54)
        return f <= 2 * m;
    if (cls == 26) return f <= m + 18;
    if (cls == 27) return f <= 25;
    if (cls == 30) return f <= 8;
    if (cls >= 55 && cls <= 62) return f < 4 * m;
    if ((cls == 39 || cls == 41 || cls == 52) && empty) return f <= 12;
    if ((cls >= 33 && cls <= 38) || (cls >= 42 && cls <= 50) || cls == 53 || cls == 39 || cls == 41 || cls == 52) {
        return f < std::min(std::max(2 * m, 24), a->nFuelMax);
    }
    return 0;
}

int IsBelowStrengthThreshold(const UNITSTRUCT& unit)
{
    if (unit.dwSupplyFlag & kSupplyWantsFuel) return 1;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || a->nStrengthMax <= 0) return 0;
    const int cls = a->nClass;
    int threshold = 60;
    if (cls == 20 || cls == 21 || cls == 39 || cls == 41 || cls == 52) {
        threshold = 100;
    } else if ((cls >= 22 && cls <= 25) || cls == 40 || cls == 56) {
        threshold = 80;
    } else if (cls == 30 || cls == 55 || cls == 59) {
        threshold = 90;
    } else if (cls == 57 || cls == 58) {
        threshold = 70;
    } else if (cls == 60 || cls == 61) {
        threshold = 20;
    }
    return unit.nStrength * 100 / a->nStrengthMax < threshold ? 1 : 0;
}

int MarkUnitsNeedingSupply(GAMEDATASTRUCT& game, int country, std::span<const MAPCELL, kHexCount> cells,
                           RuleDraws& draws)
{
    if (country < 0 || country >= kCountryCount) return 0;
    constexpr uint32_t kAtBase = 0x10000u, kOwnerSupplies = 0x4000u, kBelowThreshold = 0x2000u;
    int marked = 0;
    for (UNITSTRUCT& u : game.Country[country].Unit) {
        if (!InUse(u) || (u.dwFlag & kUnitActed)) continue;
        if (u.dwFlag & kUnitCarried) {
            const UNITSTRUCT* carrier = GetCarrier(UnitArrayOf(game, u), u);
            if (!carrier || ClassOf(*carrier) != kCarrierClass) continue;
        }
        const HEXINDEX hex = GetUnitMapHex(game, u);
        if (!IsMapHex(hex)) continue;
        const MAPCELL cell = cells[hex];
        const uint32_t before = u.dwSupplyFlag;
        if (!(u.dwSupplyFlag & kSupplyNeedsStrength) && UnitNeedsStrengthSupply(game, u, draws)) {
            u.dwSupplyFlag |= kSupplyNeedsStrength;
            u.dwOrder &= ~kOrderNoFuelAmmo;
        }
        if (!(u.dwSupplyFlag & kSupplyNeedsStock) && UnitNeedsFuelAmmoSupply(game, u, draws)) {
            u.dwSupplyFlag |= kSupplyNeedsStock;
            if (CheckSupplyAtHex(game, u, cell, SupplyMode::Base) == 0) u.dwSupplyFlag |= kAtBase;
            u.dwOrder &= ~kOrderNoFuelAmmo;
        }
        if (CheckOwnerSupply(game, u, cell) == 0) {
            u.dwSupplyFlag |= kOwnerSupplies;
            if (IsBelowStrengthThreshold(u)) u.dwSupplyFlag |= kBelowThreshold;
        }
        if (u.dwSupplyFlag != before) marked = 1;
    }
    return marked;
}

void MarkClass26UnitsOnFlaggedHexes(GAMEDATASTRUCT& game, int country)
{
    if (country < 0 || country >= kCountryCount) return;
    COUNTRYSTRUCT& c = game.Country[country];
    if (!(c.dwCpuTarget & 0x80000000u)) return;
    constexpr MAPCELL kRoute27 = 0x08000000u;
    bool anchored = false;
    for (const UNITSTRUCT& u : c.Unit) {
        const int domain = GetUnitDomain(u);
        if (OnMapUncarried(u) && (domain == 1 || domain == 2) && (u.dwSupplyFlag & kSupplyWantsFuel) &&
            (game.dwHexCell[u.nHex] & kRoute27)) {
            anchored = true;
        }
    }
    if (!anchored) return;
    for (UNITSTRUCT& u : c.Unit) {
        if (!OnMapUncarried(u) || (u.dwFlag & kUnitActed) || ClassOf(u) != 26) continue;
        if ((game.dwHexCell[u.nHex] & kRoute27) || !(u.dwSupplyFlag & (1u << 22))) continue;
        u.dwSupplyFlag = (u.dwSupplyFlag | (1u << 10)) & ~(1u << 22);
    }
}

void ResetClass26UnitFlags(GAMEDATASTRUCT& game, int country)
{
    if (country < 0 || country >= kCountryCount) return;
    for (UNITSTRUCT& u : game.Country[country].Unit) {
        if (InUse(u) && (u.dwSupplyFlag & (1u << 10))) u.dwSupplyFlag = (u.dwSupplyFlag & ~(1u << 10)) | (1u << 22);
    }
}

void ClearCountryUnitFlags(COUNTRYSTRUCT& country, uint32_t mask)
{
    for (UNITSTRUCT& u : country.Unit) u.dwSupplyFlag &= ~mask;
}

void ClearAllUnitFlags(GAMEDATASTRUCT& game, uint32_t mask)
{
    for (COUNTRYSTRUCT& c : game.Country) {
        if (IsPresent(c)) ClearCountryUnitFlags(c, mask);
    }
}

int TestUnmovedClassFlag4(const UNITSTRUCT& unit)
{
    return CarriesNothing(unit) && (GetClassTraits(ClassOf(unit)) & kTraitStaysPut) &&
                   !(unit.dwSupplyFlag & kSupplyWantsFuel)
               ? 1
               : 0;
}

int SortCarriedUnits(GAMEDATASTRUCT& game, const UNITSTRUCT& carrier, std::span<UNITSTRUCT*> out, bool plain)
{
    std::array<UNITSTRUCT*, kUnitSlots> cargo{};
    const int n = std::min(ListCarriedUnits(UnitArrayOf(game, carrier), carrier, cargo),
                           static_cast<int>(cargo.size()));
    int count = 0;
    for (int i = 0; i < n && count < static_cast<int>(out.size()); ++i) {
        if (cargo[static_cast<size_t>(i)]) out[static_cast<size_t>(count++)] = cargo[static_cast<size_t>(i)];
    }
    auto key = [plain](const UNITSTRUCT* u) {
        const ARMSSTRUCT* a = UnitArms(*u);
        int64_t k = static_cast<int64_t>(GetClassTraits(ClassOf(*u)) & 0xFu) * u->nStrength * 10 + u->nExp;
        if (!plain && CargoCount(u->dwCargo) > 0) k += 0x40000000;
        if (!plain && a && (a->dwArmsFlag & (1u << 3))) k += 0x20000000;
        return k;
    };
    std::stable_sort(out.begin(), out.begin() + count,
                     [&](const UNITSTRUCT* x, const UNITSTRUCT* y) { return key(x) > key(y); });
    return count;
}

UNITSTRUCT* FindCarriedUnitWithFlag(GAMEDATASTRUCT& game, const UNITSTRUCT& carrier)
{
    std::array<UNITSTRUCT*, kUnitSlots> cargo{};
    const int n = std::min(ListCarriedUnits(UnitArrayOf(game, carrier), carrier, cargo),
                           static_cast<int>(cargo.size()));
    UNITSTRUCT* last = nullptr;
    for (int i = 0; i < n; ++i) {
        UNITSTRUCT* u = cargo[static_cast<size_t>(i)];
        const ARMSSTRUCT* a = u ? UnitArms(*u) : nullptr;
        if (!a || !(a->dwArmsFlag & (1u << 3))) continue;
        if (u->dwOrder & (1u << 26)) return u;
        last = u;
    }
    return last;
}

int ChooseModeAgainstTarget(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || !IsUnitRef(unit.refTarget)) return -1;
    const UNITSTRUCT& target = game.Country[RefCountry(unit.refTarget)].Unit[RefSlot(unit.refTarget)];
    if (!InUse(target)) return -1;
    int domain = GetUnitDomain(target);
    if (domain == 2 && (GetClassTraits(a->nClass) & kTraitNoAmmunition)) domain = 0;
    static constexpr int kAir[] = {1, 10}, kGround[] = {2, 5, 11, 14}, kShip[] = {3, 12}, kSub[] = {4, 13};
    std::span<const int> ids;
    switch (domain) {
    case 0: ids = kAir; break;
    case 1:
    case 2: ids = kGround; break;
    case 3: ids = kShip; break;
    case 4: ids = kSub; break;
    default: return -1;
    }
    for (int id : ids) {
        int best = -1, bestValue = -1;
        for (int m = 0; m < 6; ++m) {
            const ARMSET& set = a->Arm[m];
            if (set.nSetId != id) continue;
            int value = 0;
            for (int s = 0; s < kAmmoSlots; ++s) {
                if (set.nCount[s] <= 0) continue;
                const WEAPONSTRUCT* w = UnitWeapon(unit, s);
                if (w) value = std::max(value, w->nAttack[domain] * set.nCount[s]);
            }
            if (value > bestValue) {
                bestValue = value;
                best = m;
            }
        }
        if (best >= 0) return best == unit.nMode ? -1 : best;
    }
    return -1;
}

int ChooseModeByClass(GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const int country = RefCountry(unit.refSelf);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (!a || country >= kCountryCount || !IsMapHex(at)) return -1;
    // Nearest seen enemy by kind: 0 air of a no-ammunition class, 1 ground,
    // 2 other air, 3 ships, 4 submarines; 0 = none.
    int near[5] = {};
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        for (const UNITSTRUCT& u : game.Country[e].Unit) {
            if (!OnMapUncarried(u) || !Sees(game.Country[country], u)) continue;
            const int domain = GetUnitDomain(u);
            int kind = domain == 0 ? ((GetClassTraits(ClassOf(u)) & kTraitNoAmmunition) ? 0 : 2)
                       : (domain == 1 || domain == 2) ? 1
                       : domain;
            if (kind < 0 || kind > 4) continue;
            const int d = GetHexDistance(u.nHex, at);
            if (near[kind] == 0 || d < near[kind]) near[kind] = d;
        }
    }
    const int f = unit.nFuel / 3;
    const int cls = a->nClass;
    int ids[8];
    int n = 0;
    auto add = [&](int id) {
        if (n < 8) ids[n++] = id;
    };
    bool carrySpaceOnly = false;
    const int ground = near[1];
    const bool groundWithin20 = ground > 0 && ground <= 20;
    if (cls == 33 || cls == 34 || cls == 35 || cls == 43 || cls == 44 || cls == 47 || cls == 49) {
        if (near[0] == 0 && ground > 0) {
            if (f <= ground) add(11);
            add(2);
        }
        if (near[2] > 0 && near[2] < f) {
            add(1);
        } else {
            add(10);
            add(1);
        }
    } else if (cls == 36 || cls == 37 || cls == 45 || cls == 48 || cls == 51) {
        if (ground == 0 || f <= ground) add(11);
        add(2);
    } else if (cls == 38 || cls == 46 || cls == 50) {
        if (near[3] > 0) {
            if (near[3] > 20) add(12);
            add(3);
        }
        if (!groundWithin20) add(11);
        add(2);
    } else if (cls == 40 || cls == 41 || cls == 52) {
        const uint32_t target = game.Country[country].dwCpuTarget;
        const HEXINDEX hex = static_cast<HEXINDEX>(target & 0xFFFFu);
        carrySpaceOnly = cls != 40;
        if (target != 0xFFFFFFFFu && IsMapHex(hex)) {
            if (f <= GetHexDistance(at, hex)) add(cls == 40 ? 14 : 18);
            add(cls == 40 ? 5 : 9);
        }
    } else if (cls == 42 || cls == 53) {
        if (near[4] > 0) {
            if (near[4] <= 20) {
                add(4);
            } else {
                add(13);
                add(4);
            }
        }
        if (!groundWithin20) add(11);
        add(2);
    }
    auto armsCarrySpace = [&](const ARMSET& set) {
        for (int s = 0; s < kAmmoSlots; ++s) {
            const WEAPONSTRUCT* w = UnitWeapon(unit, s);
            if (w && set.nCount[s] > 0 && w->byType == kWeaponTypeCarrySpace) return true;
        }
        return false;
    };
    int chosen = 0;
    bool found = false;
    for (int i = 0; i < n && !found; ++i) {
        for (int m = 0; m < 6; ++m) {
            if (a->Arm[m].nSetId != ids[i] || (carrySpaceOnly && !armsCarrySpace(a->Arm[m]))) continue;
            chosen = m;
            found = true;
            break;
        }
    }
    return chosen == unit.nMode ? -1 : chosen;
}

int32_t GetFlag20WeaponDistanceToCapital(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit)
{
    const ARMSET* set = UnitArmSet(unit);
    const int country = RefCountry(unit.refSelf);
    if (!set || country >= kCountryCount) return -1;
    bool armed = false, loaded = false;
    for (int s = 0; s < kAmmoSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || set->nCount[s] <= 0 || !(w->dwWeaponFlag & (1u << 5))) continue;
        armed = true;
        if (unit.nAmmo[s] > 0) loaded = true;
    }
    if (!armed) return -1;
    const HEXINDEX at = GetUnitMapHex(game, unit), capital = game.Country[country].nCapital;
    const int d = IsMapHex(at) && IsMapHex(capital) ? GetHexDistance(at, capital) : 0;
    if (!loaded) return d | 0x10000;
    return d | 0x40000000 | ((unit.dwFlag & kUnitSupplied) ? 0 : 0x20000);
}

int TestSelectedWeaponsFlag10(const UNITSTRUCT& unit)
{
    for (int s = 0; s < kWeaponSlots; ++s) {
        if (!(unit.dwWeaponMask & (1u << s))) continue;
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (w && IsDroppable(*w)) return 0;
    }
    return 1;
}

int TestUnitWeaponsOnTerrain35or84(const UNITSTRUCT& unit)
{
    const int terrain = CellTerrain(unit.dwHexCell);
    if (terrain != 35 && terrain != 84) return 0;
    bool surfaceLong = false;
    for (int s = 0; s < kAmmoSlots; ++s) {
        const WEAPONSTRUCT* w = UnitWeapon(unit, s);
        if (!w || unit.nAmmo[s] <= 0) continue;
        if (w->nRange[1] > 1 && !(w->dwWeaponFlag & (1u << 2))) return surfaceLong ? -1 : 1;
        if (w->nRange[3] >= 2) surfaceLong = true;
    }
    return surfaceLong ? -1 : 0;
}

int32_t GetCarriedLoadSummary(GAMEDATASTRUCT& game, const UNITSTRUCT& carrier)
{
    if (CargoCount(carrier.dwCargo) == 0 || ClassOf(carrier) == kCarrierClass) return -1;
    std::array<UNITSTRUCT*, kUnitSlots> cargo{};
    const std::span<UNITSTRUCT> units = UnitArrayOf(game, carrier);
    const int n = std::min(ListCarriedUnits(units, carrier, cargo), static_cast<int>(cargo.size()));
    uint32_t sum = 0;
    bool aircraft = false;
    for (int i = 0; i < n; ++i) {
        const UNITSTRUCT* u = cargo[static_cast<size_t>(i)];
        const ARMSSTRUCT* a = u ? UnitArms(*u) : nullptr;
        if (!a) continue;
        const uint32_t strength = static_cast<uint32_t>(std::max(0, u->nStrength));
        sum += static_cast<uint32_t>(std::max(0, a->nWeight)) * strength + (strength << 16);
        if (a->dwArmsFlag & (1u << 3)) {
            sum += strength << 24;
            aircraft = true;
        }
    }
    if (aircraft && !CanLaunchAircraft(units, carrier, game)) sum |= 0x40000000u;
    return static_cast<int32_t>(sum);
}

int IsUnitDisposable(const UNITSTRUCT& unit, const COUNTRYSTRUCT& country)
{
    if (country.nUnit > country.nUnitMax) return 0;
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    const int cls = a->nClass;
    if (cls == 3 || cls == 28 || cls == 32 || (cls >= 55 && cls <= 59)) return 0;
    if (!CarriesNothing(unit) || unit.nExp > 200 || cls < 0 || cls >= kClassCount) return 0;
    for (int k = 1; k < kClassListWords; ++k) {
        if (country.dwClassList[cls][k] != 0xFFFFFFFFu) return k >= a->nEvolution ? 1 : 0;
    }
    return 0;
}

int ListEnemyDeploymentHexes(const GAMEDATASTRUCT& game, int country, std::span<const MAPCELL, kHexCount> cells,
                             std::span<const UnitRef, kHexCount> hexUnit, std::span<HEXINDEX> out)
{
    if (out.empty()) return 0;
    int count = 0;
    while (count + 1 < static_cast<int>(out.size()) && out[count] >= 0) ++count;
    HEXINDEX ring[GetHexCountInRadius(5) + 1];
    HEXINDEX found[GetHexCountInRadius(5) + 1];
    for (int e = 0; e < kCountryCount; ++e) {
        if (!IsEnemyOf(game, country, e)) continue;
        const COUNTRYSTRUCT& enemy = game.Country[e];
        if (!IsMapHex(enemy.nCapital)) continue;
        const int n = GetHexesInRange(enemy.nCapital, 5, ring);
        for (int kind = kDeployNaval; kind <= kDeployAir; ++kind) {
            const int m = FilterCandidateHexes(enemy, cells, hexUnit, kind, std::span(ring, n + 1), found, true);
            for (int i = 0; i < m && count + 1 < static_cast<int>(out.size()); ++i) {
                if (std::find(out.begin(), out.begin() + count, found[i]) == out.begin() + count) out[count++] = found[i];
            }
        }
    }
    out[count] = -1;
    return count;
}

int IsOnEnemyDeploymentHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit,
                           std::span<const MAPCELL, kHexCount> cells, std::span<const UnitRef, kHexCount> hexUnit)
{
    const HEXINDEX at = GetUnitMapHex(game, unit);
    const int country = RefCountry(unit.refSelf);
    if (!IsMapHex(at) || country >= kCountryCount) return 0;
    // Only the capitals near the unit can have it on their deployment hexes.
    bool near = false;
    for (int e = 0; e < kCountryCount; ++e) {
        const HEXINDEX cap = game.Country[e].nCapital;
        if (IsEnemyOf(game, country, e) && IsMapHex(cap) && GetHexDistance(cap, at) <= 5) near = true;
    }
    if (!near) return 0;
    std::array<HEXINDEX, kCountryCount * (GetHexCountInRadius(5) + 1) + 1> list;
    list[0] = -1;
    const int n = ListEnemyDeploymentHexes(game, country, cells, hexUnit, list);
    return std::find(list.begin(), list.begin() + n, at) != list.begin() + n ? 1 : 0;
}

UNITSTRUCT* FindOwnUnitByHexCost(GAMEDATASTRUCT& game, const UNITSTRUCT& unit,
                                 std::span<const uint32_t, kHexCount> costMap, bool groundOnly)
{
    const int country = RefCountry(unit.refSelf);
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (country >= kCountryCount || !IsMapHex(at)) return nullptr;
    COUNTRYSTRUCT& c = game.Country[country];
    UNITSTRUCT* best = nullptr;
    uint32_t bestKey = 0;
    for (UNITSTRUCT& cand : c.Unit) {
        if (&cand == &unit || !OnMapUncarried(cand) || CheckBoardCarrier(game, unit, cand) != 0) continue;
        const int domain = GetUnitDomain(cand);
        const bool ground = domain == 1 || domain == 2;
        if ((ground && (cand.dwSupplyFlag & kSupplyWantsFuel)) || (groundOnly && !ground)) continue;
        if (ClassOf(cand) == 28 && (!IsMapHex(c.nCapital) || GetHexDistance(cand.nHex, c.nCapital) > 5)) continue;
        if (GetNearestEnemyDistance(game, cand) <= 5) continue;
        uint32_t key = costMap[cand.nHex] & 0xFFFFu;
        // Aircraft that can reach the unit come first.
        if (!(domain == 0 && GetHexDistance(cand.nHex, at) <= 2 * unit.nMove)) key += 0x4000u;
        if (!best || key < bestKey) {
            best = &cand;
            bestKey = key;
        }
    }
    return best;
}

int IsEngagedByNeighbour(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                         const UNITSTRUCT& unit)
{
    return TestAdjacentEnemyEngagement(game, hexUnit, unit, 1);
}

uint32_t RateUnitForDisposal(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, const DisposalContext& ctx,
                             RuleDraws& draws)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    const int country = RefCountry(unit.refSelf);
    if (!a || country >= kCountryCount) return 0;
    const COUNTRYSTRUCT& own = game.Country[country];
    const uint32_t v = static_cast<uint32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(a->nPrice) * std::max(0, unit.nStrength), 0, 65535));
    const int cls = a->nClass;
    if (ctx.minimumFuelUse > 0 && unit.nFuel <= ctx.minimumFuelUse) return 0x10000u | v;
    if (unit.dwOrder & (1u << 20)) {
        if (cls == 41 && unit.nStrength >= a->nStrengthMax) {
            bool anotherFull = false;
            for (const UNITSTRUCT& o : own.Unit) {
                const ARMSSTRUCT* oa = UnitArms(o);
                if (&o != &unit && OnMapUncarried(o) && oa && oa->nClass == cls && o.nStrength >= oa->nStrengthMax)
                    anotherFull = true;
            }
            if (!anotherFull) return 0;
        }
        const int count2021 = (CountUnitsOfClass(own, 20) >> 16) + (CountUnitsOfClass(own, 21) >> 16);
        if ((cls != 20 && cls != 21) || count2021 > 1) return 0x20000u | v;
    }
    if (IsOnEnemyDeploymentHex(game, unit, ctx.cells, ctx.hexUnit)) return 0;
    if (!ctx.flag && IsEngagedByNeighbour(game, ctx.hexUnit, unit)) return 0;
    const HEXINDEX at = GetUnitMapHex(game, unit);
    if (5 - draws.Rand() % 3 > unit.nStrength) {
        for (HEXINDEX h : ctx.navalHexes) {
            if (h < 0) break;
            if (h == at) return 0x40000u | v;
        }
    }
    if (4 - (draws.Rand() & 3) <= unit.nStrength) return 0;
    if (IsMapHex(at) && CheckOwnerSupply(game, unit, ctx.cells[at]) != 0) return 0x80000u | v;
    if (!(a->dwArmsFlag & (1u << 3)) || (CountUnitsOfClass(own, 30) >> 16) < 3) return 0;
    return 0x100000u | v;
}

UNITSTRUCT* FindDistantUnitToDispose(GAMEDATASTRUCT& game, int country, std::span<const UnitRef, kHexCount> hexUnit)
{
    if (country < 0 || country >= kCountryCount) return nullptr;
    COUNTRYSTRUCT& c = game.Country[country];
    if (!IsMapHex(c.nCapital)) return nullptr;
    UNITSTRUCT* best = nullptr;
    int bestScore = -1;
    for (UNITSTRUCT& u : c.Unit) {
        if (!OnMapUncarried(u) || (u.dwFlag & kUnitActed) || IsEngagedByNeighbour(game, hexUnit, u)) continue;
        const int cls = ClassOf(u);
        if (CheckUnitDisband(u) != 0 || cls == 26 || cls == 30) continue;
        if (GetHexDistance(u.nHex, c.nCapital) < 7 || !IsUnitDisposable(u, c)) continue;
        const int score = (256 - std::min(u.nStrength, u.nFuel)) | GetNearestEnemyDistance(game, u) << 16;
        if (score > bestScore) {
            bestScore = score;
            best = &u;
        }
    }
    return best;
}

UNITSTRUCT* FindUnitToDispose(GAMEDATASTRUCT& game, int country, const DisposalContext& ctx,
                              std::span<const HEXINDEX> groundHexes, const MoveRules& rules, RuleDraws& draws)
{
    if (country < 0 || country >= kCountryCount) return nullptr;
    COUNTRYSTRUCT& c = game.Country[country];
    if (c.nUnit > c.nUnitMax) return nullptr;
    auto anyFree = [&](std::span<const HEXINDEX> list) {
        for (HEXINDEX h : list) {
            if (h < 0) break;
            if (IsMapHex(h) && ctx.hexUnit[h] == kNoUnit) return true;
        }
        return false;
    };
    int cost = -1;
    if (ctx.flag || anyFree(groundHexes)) {
        cost = GetMaxTypeCostClasses0To32(c);
        if (ctx.flag) cost = std::min(cost, 500);
    } else if (anyFree(ctx.navalHexes)) {
        cost = GetMaxTypeCostClasses33To54(c);
    }
    if (cost < 0 || c.nFund < cost) return nullptr;
    UNITSTRUCT* best = nullptr;
    uint32_t bestRating = 0;
    for (UNITSTRUCT& u : c.Unit) {
        if (!InUse(u) || (u.dwFlag & (kUnitActed | kUnitCarried)) || GetUnitDomain(u) >= 3) continue;
        if (CheckUnitDisband(u) != 0 || !IsUnitDisposable(u, c)) continue;
        DisposalContext own = ctx;
        own.minimumFuelUse = GetMinimumFuelUse(u, game, rules);
        const uint32_t rating = RateUnitForDisposal(game, u, own, draws);
        if (rating == 0 || (ctx.flag && !(rating & 0x40000u))) continue;
        if (!best || rating < bestRating) {
            best = &u;
            bestRating = rating;
        }
    }
    return best;
}

uint32_t SumAdjacentEnemyStrength(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                  HEXINDEX hex, int country)
{
    if (!IsMapHex(hex)) return 0;
    uint32_t sum = 0;
    HEXINDEX around[kHexDirections + 1];
    const int n = GetNeighbours(hex, around);
    for (int i = 0; i < n; ++i) {
        const UnitRef ref = hexUnit[around[i]];
        if (!IsUnitRef(ref) || !IsEnemyOf(game, country, RefCountry(ref))) continue;
        const UNITSTRUCT& e = game.Country[RefCountry(ref)].Unit[RefSlot(ref)];
        const int domain = GetUnitDomain(e);
        if (!InUse(e) || (domain != 1 && domain != 2)) continue;
        sum += static_cast<uint32_t>(std::max(0, e.nStrength)) << 16 | 1u;
    }
    return sum;
}

int IsClass22to25OnTerrain35or84(const UNITSTRUCT& unit)
{
    const int cls = ClassOf(unit);
    const int terrain = CellTerrain(unit.dwHexCell);
    return !(unit.dwFlag & kUnitCarried) && cls >= 22 && cls <= 25 && (terrain == 35 || terrain == 84) ? 1 : 0;
}

int GetUnitHexTerrainScore(const UNITSTRUCT& unit, std::span<const int32_t> countries)
{
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(unit.dwHexCell));
    int score = t ? t->nCover : 0;
    const int owner = OwnerIndex(unit.dwHexCell);
    if (owner >= 0 && InList(countries, owner)) score += 256;
    if (IsClass22to25OnTerrain35or84(unit)) score += 512;
    return score;
}

UNITSTRUCT* FindMergePartner(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                             const UNITSTRUCT& unit, HEXINDEX hex, std::span<const int32_t> countries,
                             bool onlyActed)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || CountedInPieces(*a) || !IsMapHex(unit.nHex) || !IsMapHex(hex)) return nullptr;
    if (CheckMergeUnitState(game, hexUnit, unit) != 0) return nullptr;
    const int country = RefCountry(unit.refSelf);
    const int full = a->nStrengthMax;
    const bool air = GetUnitDomain(unit) == 0;
    UNITSTRUCT* best = nullptr;
    HEXINDEX around[kHexDirections + 1];
    const int n = GetNeighbours(unit.nHex, around);
    for (int i = 0; i < n; ++i) {
        const UnitRef ref = hexUnit[around[i]];
        if (!IsUnitRef(ref) || RefCountry(ref) != country) continue;
        UNITSTRUCT& c = game.Country[country].Unit[RefSlot(ref)];
        if (!InUse(c) || &c == &unit || c.nArms != unit.nArms || !CarriesNothing(c)) continue;
        if (onlyActed && !(c.dwFlag & kUnitActed)) continue;
        if (c.nStrength >= 2 * full - unit.nStrength) continue;
        if (best) {
            const int dc = GetHexDistance(c.nHex, hex), db = GetHexDistance(best->nHex, hex);
            if (dc > db || (dc == db && c.nStrength >= best->nStrength)) continue;
        }
        UNITSTRUCT* previous = best;
        best = &c;
        const int adjUnit = HighHalf(SumAdjacentEnemyStrength(game, hexUnit, unit.nHex, country));
        const int adjCand = HighHalf(SumAdjacentEnemyStrength(game, hexUnit, c.nHex, country));
        const bool fortUnit = IsClass22to25OnTerrain35or84(unit), fortCand = IsClass22to25OnTerrain35or84(c);
        if ((fortUnit && !fortCand) || adjUnit > adjCand) {
            c.nCpuScore = 0;
            continue;
        }
        if ((fortCand && !fortUnit) || adjCand > adjUnit) {
            c.nCpuScore = -1;
            continue;
        }
        const bool suppliedUnit = CheckOwnerSupply(game, unit, unit.dwHexCell) == 0;
        const bool suppliedCand = CheckOwnerSupply(game, c, c.dwHexCell) == 0;
        const bool pairOverFull = unit.nStrength + c.nStrength > full;
        if (suppliedCand && !suppliedUnit) {
            const bool enemyNear = GetNearestEnemyDistance(game, c) <= 2;
            c.nCpuScore = air || enemyNear || !pairOverFull ? -1 : 0;
        } else if (suppliedUnit && !suppliedCand) {
            const bool enemyNear = GetNearestEnemyDistance(game, unit) <= 2;
            c.nCpuScore = air || enemyNear || !pairOverFull ? 0 : -1;
        } else {
            int d = GetUnitHexTerrainScore(unit, countries) - GetUnitHexTerrainScore(c, countries);
            if (d == 0) d = GetHexDistance(unit.nHex, hex) - GetHexDistance(c.nHex, hex);
            if (d == 0) {
                best = previous;
                continue;
            }
            c.nCpuScore = d;
        }
    }
    return best;
}

int GetMergeTransferAmount(const UNITSTRUCT& unit, const UNITSTRUCT& partner)
{
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a) return 0;
    const int full = a->nStrengthMax;
    const bool toUnit = partner.nCpuScore >= 0;
    const int receiver = toUnit ? unit.nStrength : partner.nStrength;
    const int giver = toUnit ? partner.nStrength : unit.nStrength;
    if (receiver >= full) return 0;
    const int amount = std::min(full - receiver, giver);
    if (amount < 1) return 0;
    return toUnit ? amount : amount | 0x8000;
}

uint32_t RateHexAsBombingTarget(const GAMEDATASTRUCT& game, int country, HEXINDEX hex, UnitRef unit,
                                const BombingTargetContext& ctx, bool strict)
{
    if (country < 0 || country >= kCountryCount || !IsMapHex(hex)) return 0;
    const MAPCELL cell = ctx.cells[hex];
    const int owner = OwnerIndex(cell);
    if (owner < 0 || !InList(ctx.enemies, owner)) return 0;
    const UnitRef there = ctx.hexUnit[hex];
    if (IsUnitRef(there) && there != unit && !InList(ctx.enemies, RefCountry(there))) return 0;
    const int side = game.Country[country].nSide;
    const int d = CellDurability(cell);
    // Own ground troops about to take the hex want it whole.
    const bool troopsNear = NearestSideUnitByTraits(game, side, hex, 0x80000u, 4) <= (strict ? 4 : 3) && d <= 100;
    uint32_t kind = 0;
    switch (CellTerrain(cell)) {
    case 1:
    case 80:
        if (d >= 40 && (strict || d >= 205) && (strict || d >= 55) && !troopsNear) kind = 0x3000000u;
        break;
    case 2:
    case 81:
        if ((strict || d >= 55) && !troopsNear) kind = 0x3000000u;
        break;
    case 3:
    case 4:
    case 82:
    case 83:
        if (NearestSideUnitByTraits(game, side, hex, 0x80000u, 4) > (strict ? 7 : 4)) {
            const int t = CellTerrain(cell);
            kind = (t == 4 || t == 83) && !strict ? 0x4000000u : 0x2000000u;
        }
        break;
    case 5:
    case 67:
        if (!(ctx.marks[hex] & (1u << 26)) && NearestSideUnitByTraits(game, side, hex, 0x8000000u, 0) >= 12) {
            kind = 0x1000000u;
        }
        break;
    default:
        break;
    }
    if (kind == 0) return 0;
    if (GetNearestOwnSideGroundUnit(game, country, hex) <= 3 && d <= 100) return 0;
    uint32_t rating = kind | static_cast<uint32_t>(d) << 16;
    if (!(ctx.coverage[hex] & (1u << side))) rating |= 0x10000000u;
    return rating;
}

}  // namespace zrv
