#include "battle/cpu/CpuUnitCare.h"

#include <algorithm>
#include <array>
#include <utility>

#include "battle/cpu/CpuAttack.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

// Computer-player word bits the supply marks clear.
constexpr uint32_t kSupplyMarkBits = (1u << 13) | (1u << 14) | (1u << 16) | (1u << 17) | (1u << 18);
constexpr uint32_t kCpuUnitCouldNotMove = 1u << 22;
// TerrainBase byte 2 bit 1: no improvement on this terrain.
constexpr uint32_t kTerrainNoImprovement = 1u << 17;

bool Fit(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) && !(u.dwFlag & (kUnitActed | kUnitCarried));
}

int ClassOf(const UNITSTRUCT& u)
{
    const ARMSSTRUCT* a = UnitArms(u);
    return a ? a->nClass : -1;
}

bool ValidType(int type)
{
    return type > 0 && type < Lib().g_nMaxUnit;
}

int Order(CZRKGameDoc& doc, int action, UNITSTRUCT& u, int argument = 0)
{
    return doc.ExecuteCpuAction(action, u, argument) < 0 ? -1 : 1;
}

// The country's units of one group by distance to the capital: those not
// yet in the objective group join until half of the group (rounded up) is.
template <typename InGroup>
void FillObjectiveGroup(COUNTRYSTRUCT& c, InGroup inGroup)
{
    std::array<std::pair<int, UNITSTRUCT*>, kUnitSlots> others;
    size_t n = 0;
    int members = 0;
    for (UNITSTRUCT& u : c.Unit) {
        if (!(u.dwFlag & kUnitInUse) || !inGroup(u)) continue;
        if (u.dwOrder & kOrderObjectiveGroup) {
            ++members;
            continue;
        }
        const int d = IsMapHex(c.nCapital) && IsMapHex(u.nHex) ? GetHexDistance(c.nCapital, u.nHex) : 0;
        others[n++] = {d, &u};
    }
    if (members >= static_cast<int>(n)) return;
    std::stable_sort(others.begin(), others.begin() + static_cast<std::ptrdiff_t>(n),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    const int join = (members + static_cast<int>(n) + 1) / 2 - members;
    for (int i = 0; i < join && i < static_cast<int>(n); ++i) others[static_cast<size_t>(i)].second->dwOrder |= kOrderObjectiveGroup;
}

}  // namespace

int CpuMarkSupplyNeeds(CZRKGameDoc& doc, bool clearFirst)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    if (clearFirst) {
        for (UNITSTRUCT& u : c->Unit) u.dwSupplyFlag &= ~kSupplyMarkBits;
        doc.m_dwCpuFlags &= ~kCpuFlagSupplyNeeded;
    }
    GameDraws draws(doc.Random());
    if (MarkUnitsNeedingSupply(doc.m_GameData, c->nIndex, doc.m_dwHexCell, draws))
        doc.m_dwCpuFlags |= kCpuFlagSupplyNeeded;
    return 0;
}

int CpuDiveUnits(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!Fit(u) || CheckDive(doc.m_GameData, u) != 0 || (u.dwSupplyFlag & kCpuNeedsSupply)) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        const bool full = a != nullptr && u.nBattery == a->wBattery;
        if (!full && !CheckEnemyWeaponReach(doc.m_GameData, u)) continue;
        return Order(doc, kCpuActDive, u);
    }
    return 0;
}

int CpuImproveUnits(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!Fit(u)) continue;
        const int cls = ClassOf(u);
        if (cls != 14 && cls != 21) continue;
        const TRRNSTRUCT* t = IsMapHex(u.nHex) ? TerrainRecord(CellTerrain(doc.m_dwHexCell[u.nHex])) : nullptr;
        if (t != nullptr && (t->dwTrrnFlag & kTerrainNoImprovement)) continue;
        if (CheckImprovement(doc.m_GameData, u) != 0) continue;
        std::array<int, 8> types;
        types.fill(-1);
        if (GetImprovementCandidates(*c, u, types) == 0 || !ValidType(types[0])) continue;
        return Order(doc, kCpuActImprove, u, types[0]);
    }
    return 0;
}

int CpuEvolveUnits(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    for (UNITSTRUCT& u : c->Unit) {
        if (!Fit(u) || CheckEvolution(doc.m_GameData, u, true, u.nHex) != 0) continue;
        const uint32_t targets = GetEvolutionTargets(*c, u);
        int type = static_cast<int>(targets & 0xFFFF);
        if (!ValidType(type)) type = static_cast<int>(targets >> 16);
        if (!ValidType(type)) continue;
        return Order(doc, kCpuActEvolve, u, type);
    }
    return 0;
}

int CpuChooseAirArms(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GameDraws draws(doc.Random());
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitActed)) continue;
        if (u.dwSupplyFlag & (kCpuUnitStay | kCpuUnitCouldNotMove)) continue;
        if (!IsAirDomainUnit(u) || CheckUnitArmsChange(doc.m_GameData, u) != 0) continue;
        const int set = ChooseModeByClass(doc.m_GameData, u);
        if (set >= 0) ChangeUnitArms(doc.m_GameData, u, set, draws);
    }
    return 0;
}

int CpuAssignObjectiveGroup(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    FillObjectiveGroup(*c, [](const UNITSTRUCT& u) {
        const ARMSSTRUCT* a = UnitArms(u);
        return a != nullptr && CanOccupy(*a);
    });
    FillObjectiveGroup(*c, [](const UNITSTRUCT& u) { return ClassOf(u) == 27; });
    return 0;
}

int CpuDisbandWeakUnits(CZRKGameDoc& doc)
{
    COUNTRYSTRUCT* c = doc.m_pCurCountry;
    if (c == nullptr) return 0;
    GAMEDATASTRUCT& game = doc.m_GameData;
    for (UNITSTRUCT& u : c->Unit) {
        if (!Fit(u) || (u.dwFlag & kUnitCarries) || u.nStrength >= 6) continue;
        const ARMSSTRUCT* a = UnitArms(u);
        if (a == nullptr || CountedInPieces(*a)) continue;
        if (CheckUnitDisband(u) != 0 || !IsUnitDisposable(u, *c)) continue;
        // A builder that can still raise an own hex's defences or repair stays.
        if (a->nClass == 27 && CheckUnitConstruction(u) == 0 &&
            (CheckDurabilityIncrease(game, doc.m_dwHexCell, doc.m_dwHexUnit, u, false) == 0 ||
             CheckTerrainRepair(game, doc.m_dwHexCell, doc.m_dwHexUnit, u, false) == 0))
            continue;
        int chance = (6 - u.nStrength) * 20;
        const int d = GetNearestEnemyDistance(game, u);
        if (c->nUnit < c->nUnitMax && d >= 2) continue;
        if (d >= 6) chance = 0;
        else if (d > 0) chance += (5 - d) * 10;
        if (doc.Random().Rand() % 100 >= chance) continue;
        return Order(doc, kCpuActDispose, u);
    }
    return 0;
}

}  // namespace zrv
