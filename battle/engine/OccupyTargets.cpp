#include "battle/engine/OccupyTargets.h"

#include <algorithm>
#include <vector>

#include "battle/engine/Construction.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitSearch.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

int SideOfCountry(const GAMEDATASTRUCT& state, int c)
{
    return (c >= 0 && c < kCountryCount) ? state.Country[c].nSide : -1;
}

bool IsOccupiableTerrain(MAPCELL cell)
{
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    return t && IsOccupiable(*t);
}

bool InList(std::span<const int32_t> list, int value)
{
    for (int32_t v : list) {
        if (v < 0) break;
        if (v == value) return true;
    }
    return false;
}

int ReachCost(uint32_t w)
{
    return static_cast<int>(w & kReachCostMask);
}

bool Odd(const RandomDraw& draw)
{
    return draw && (draw() & 1) != 0;
}

// Own target: a hex of the unit's own country, or one an enemy country holds.
bool IsOwnTarget(const UNITSTRUCT& unit, MAPCELL cell, std::span<const int32_t> enemyList)
{
    const int owner = CellOwner(cell);
    return owner >= 0 && (owner == UnitCountryIndex(unit) || InList(enemyList, owner));
}

std::span<const HEXINDEX> UpToEnd(std::span<const HEXINDEX> list)
{
    size_t n = 0;
    while (n < list.size() && list[n] != kNoHex) ++n;
    return list.first(n);
}

}  // namespace

int ListOccupiableHexes(int country, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                        HexUnits unitMap, std::span<HEXINDEX> out)
{
    if (country < 0 || country >= kCountryCount) {
        if (!out.empty()) out[0] = kNoHex;
        return 0;
    }
    const int side = state.Country[country].nSide;
    const uint32_t blocked = GetSideCellMask(state.Country[country]);
    const size_t room = out.empty() ? 0 : out.size() - 1;
    int found = 0;
    for (int pass = 0; pass < 2 && found == 0; ++pass) {
        const bool strict = pass == 0;
        for (HEXINDEX h = 0; h < kHexCount; ++h) {
            const MAPCELL cell = cells[h];
            if (cell & blocked) continue;
            if (strict && CellCpuMarked(cell)) continue;
            if (!IsOccupiableTerrain(cell)) continue;
            const int owner = CellOwner(cell);
            if (owner >= 0 && SideOfCountry(state, owner) != (side ^ 1)) continue;
            if (strict) {
                const UnitRef ref = unitMap[h];
                if (UnitAt(state, ref)) {
                    const int c = RefCountry(ref);
                    if (c != country && state.Country[c].nSide == side) continue;
                }
            }
            if (static_cast<size_t>(found) < room) out[static_cast<size_t>(found)] = h;
            ++found;
        }
    }
    if (!out.empty()) out[std::min(static_cast<size_t>(found), room)] = kNoHex;
    return found;
}

int PickFewestTurnsHex(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const uint32_t, kHexCount> reach,
                       HexUnits unitMap, std::span<const HEXINDEX> hexList, bool bMode)
{
    unit.nCpuScore = -1;
    // The reach map may belong to another unit; without movement points this
    // one reaches nothing.
    if (unit.nMove <= 0) return kNoTurnsHex;
    const int country = UnitCountryIndex(unit);
    int best = kNoTurnsHex;
    int bestTurns = 0, bestCost = 0;
    for (HEXINDEX h : UpToEnd(hexList)) {
        if (!IsMapHex(h) || (reach[h] & kReachNotReached)) continue;
        const int c = ReachCost(reach[h]);
        if (c <= 0) continue;
        const UnitRef ref = unitMap[h];
        const UNITSTRUCT* other = UnitAt(state, ref);
        if (other && other != &unit && RefCountry(ref) == country) {
            bool keep;
            if (!bMode) {
                const ARMSSTRUCT* a = ArmsRecord(other->nArms);
                keep = !a || !CanOccupy(*a) || other->nStrength < a->nStrengthMax;
            } else {
                keep = !(other->dwFlag & kUnitActed);
            }
            if (!keep) continue;
        }
        const int turns = (c + unit.nMove - 1) / unit.nMove;
        if (best == kNoTurnsHex || turns < bestTurns || (turns == bestTurns && c > bestCost)) {
            bestTurns = turns;
            bestCost = c;
            best = (turns << 16) | c;
            unit.nCpuScore = h;
        }
    }
    return best;
}

int FindReachableOccupiableHex(UNITSTRUCT& unit, int country, const GAMEDATASTRUCT& state,
                               std::span<const MAPCELL, kHexCount> cells, HexWords grid, HexWords reach,
                               HexUnits unitMap, bool bCheckReach, bool bMode, const MoveRules& rules)
{
    if (!(unit.dwFlag & kUnitInUse) || (unit.dwFlag & kUnitCarried)) return 0;
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    if (!a || !CanOccupy(*a)) return 0;
    std::vector<HEXINDEX> hexes(kHexCount + 1);
    if (ListOccupiableHexes(country, state, cells, unitMap, hexes) == 0) return 0;
    if (bCheckReach) {
        const int code = CheckUnitMove(unit, state, cells, grid, reach, rules);
        if (code != 0 && code != kErrNoDestination && code != kErrNoNeighbourOpen) return 0;
    }
    const int result = PickFewestTurnsHex(unit, state, reach, unitMap, hexes, bMode);
    return result == kNoTurnsHex ? 0 : result;
}

void SortHexesByTurnsAndDistance(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                                 std::span<const uint32_t, kHexCount> reach, HexUnits unitMap, int count,
                                 std::span<HEXINDEX> hexList, bool bAddDistance)
{
    count = std::min<int>(count, static_cast<int>(hexList.size()));
    if (count < 2) return;
    const HEXINDEX ref = GetUnitMapHex(state, unit);
    const int country = UnitCountryIndex(unit);
    const int side = UnitSideSlot(state, unit);
    const bool fog = country >= 0 && (state.Country[country].dwFlag & 0x00010000u);
    auto key = [&](HEXINDEX h) -> uint32_t {
        if (!IsMapHex(h)) return 0xFFFFFFFFu;
        int cost;
        const UnitRef r = unitMap[h];
        const UNITSTRUCT* other = UnitAt(state, r);
        if ((reach[h] & kReachNotReached) && h != ref)
            cost = 32767;
        else if (other && RefCountry(r) != country && (!fog || !(other->dwFlag & HiddenFromSideBit(side))))
            cost = 16383;
        else
            cost = ReachCost(reach[h]);
        const int distance = IsMapHex(ref) ? GetHexDistance(ref, h) : 0;
        const uint32_t high = static_cast<uint32_t>(bAddDistance ? cost + distance : cost);
        return high << 16 | static_cast<uint32_t>(distance & 0xFFFF);
    };
    std::vector<std::pair<uint32_t, HEXINDEX>> keyed;
    for (int i = 0; i < count; ++i) keyed.emplace_back(key(hexList[static_cast<size_t>(i)]), hexList[static_cast<size_t>(i)]);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    for (int i = 0; i < count; ++i) hexList[static_cast<size_t>(i)] = keyed[static_cast<size_t>(i)].second;
}

int ScoreHexForDestination(MAPCELL cell, int cost, int move, bool bOwnTarget)
{
    const int t = std::clamp(cost, 0, 255);
    if (move < t) return t | (bOwnTarget ? 0x60000000 : 0x60100000);
    int key;
    switch (CellTerrain(cell)) {
        case 1:
        case 80:
            key = 0x1000000;
            break;
        case 2:
        case 81:
            key = 0x3000000;
            break;
        case 3:
        case 5:
        case 67:
        case 82:
            key = 0x4000000;
            break;
        case 4:
        case 83:
            key = 0x2000000;
            break;
        default:
            key = 0x20000000 | t;
            break;
    }
    return key + (CellDurability(cell) << 12);
}

int AddObjectiveDistanceToScore(const UNITSTRUCT& unit, int country, HEXINDEX hex, int score,
                                const GAMEDATASTRUCT& state)
{
    if (!(unit.dwOrder & kOrderToObjective) || !(score & 0x40000000)) return score;
    if (country < 0 || country >= kCountryCount || !IsMapHex(hex)) return score;
    const HEXINDEX objective = LowHalf(state.Country[country].dwCpuTarget);
    if (!IsMapHex(objective)) return score;
    const int low = std::min(255, (score & 0xFF) + GetHexDistance(hex, objective));
    return (score & ~0xFF) | low;
}

int IsOwnCityThreatened(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                        std::span<const MAPCELL, kHexCount> cells, HexUnits unitMap,
                        std::span<const int32_t> enemyList)
{
    const HEXINDEX h = unit.nHex;
    if (!IsMapHex(h)) return 0;
    const MAPCELL cell = cells[h];
    if (CellOwner(cell) != UnitCountryIndex(unit)) return 0;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
    if (!t || !IsOwnCityThreatHex(*t)) return 0;
    for (HEXINDEX n : GetNeighbourSlots(h)) {
        if (n == kNoHex) continue;
        const UnitRef r = unitMap[n];
        const UNITSTRUCT* other = UnitAt(state, r);
        if (other && InList(enemyList, RefCountry(r)) && IsGroundDomain(GetUnitDomain(*other))) return 1;
    }
    return 0;
}

int PickBestCandidateHex(UNITSTRUCT& unit, std::span<const HEXINDEX> list, const DestinationContext& ctx,
                         std::span<const uint32_t, kHexCount> reach, bool bKeepFirst)
{
    const int country = UnitCountryIndex(unit);
    const int side = country >= 0 ? ctx.state.Country[country].nSide : -1;
    int bestHex = -1, bestKey = 0;
    auto consider = [&](HEXINDEX h) {
        const MAPCELL cell = ctx.cells[h];
        int key = ScoreHexForDestination(cell, ReachCost(reach[h]), unit.nMove, IsOwnTarget(unit, cell, ctx.enemyList));
        key = AddObjectiveDistanceToScore(unit, country, h, key, ctx.state);
        if (bestHex < 0 || key < bestKey || (key == bestKey && Odd(ctx.draw))) {
            bestHex = h;
            bestKey = key;
        }
    };
    list = UpToEnd(list);
    for (HEXINDEX h : list) {
        if (!IsMapHex(h) || (ctx.claims[h] & kClaimTaken)) continue;
        if (reach[h] & (kReachNotReached | kReachEnemy)) continue;
        const UnitRef r = ctx.unitMap[h];
        const UNITSTRUCT* other = UnitAt(ctx.state, r);
        if (other && RefCountry(r) != country && ctx.state.Country[RefCountry(r)].nSide == side) continue;
        consider(h);
    }
    if (bestHex < 0 && !bKeepFirst) {
        for (HEXINDEX h : list) {
            if (IsMapHex(h) && !(reach[h] & kReachNotReached)) consider(h);
        }
    }
    if (bestHex >= 0) unit.nCpuScore = bestKey;
    return bestHex;
}

int PickDestinationAmongOwnUnits(UNITSTRUCT& unit, std::span<const HEXINDEX> list, const DestinationContext& ctx,
                                 std::span<const uint32_t, kHexCount> reach)
{
    const int country = UnitCountryIndex(unit);
    int bestHex = -1, bestKey = 0;
    for (HEXINDEX h : UpToEnd(list)) {
        if (!IsMapHex(h) || (reach[h] & kReachNotReached)) continue;
        const int cost = ReachCost(reach[h]);
        if (cost < 1 || cost > unit.nMove) continue;
        const UnitRef r = ctx.unitMap[h];
        const UNITSTRUCT* other = UnitAt(ctx.state, r);
        if (!other || other == &unit || RefCountry(r) != country) continue;
        if ((other->dwFlag & kUnitActed) || (other->dwSupplyFlag & 0x1000u)) continue;
        const MAPCELL cell = ctx.cells[h];
        const int key = ScoreHexForDestination(cell, cost, unit.nMove, IsOwnTarget(unit, cell, ctx.enemyList));
        if (bestHex < 0 || key < bestKey || (key == bestKey && Odd(ctx.draw))) {
            bestHex = h;
            bestKey = key;
        }
    }
    if (bestHex >= 0) unit.nCpuScore = bestKey;
    return bestHex;
}

int ChooseUnitDestination(UNITSTRUCT& unit, std::span<const HEXINDEX> candidates, const DestinationContext& ctx,
                          bool bOwnUnits)
{
    // Without an occupation rule no hex is acceptable as it stands, but the
    // unit may still move.
    const int occupy = ctx.rules.occupyTest ? ctx.rules.occupyTest(unit, ctx.state, ctx.cells) : 1;
    if (occupy == -1) return -1;

    std::vector<uint32_t> wideGrid(kHexCount), wideReach(kHexCount);
    std::span<uint32_t, kHexCount> wg(wideGrid.data(), kHexCount), wr(wideReach.data(), kHexCount);
    MoveAreaOptions noUnits;
    noUnits.bNoUnits = true;
    const bool wideOk = CheckUnitMove(unit, ctx.state, ctx.cells, wg, wr, ctx.rules, noUnits) == 0;

    if (bOwnUnits && wideOk) {
        const int pick = PickDestinationAmongOwnUnits(unit, candidates, ctx, wr);
        if (pick >= 0) return pick | kDestAmongOwnUnits;
    }

    const HEXINDEX own = GetUnitMapHex(ctx.state, unit);
    const bool ownOk = occupy == 0 && IsMapHex(own);
    int first = -1, firstKey = 0;
    if (ownOk) {
        const MAPCELL cell = ctx.cells[own];
        first = own;
        firstKey = ScoreHexForDestination(cell, 0, unit.nMove, IsOwnTarget(unit, cell, ctx.enemyList));
        unit.nCpuScore = firstKey;
    }

    if (CheckUnitMove(unit, ctx.state, ctx.cells, ctx.grid, ctx.reach, ctx.rules) != 0) return first;

    int chosen = PickBestCandidateHex(unit, candidates, ctx, ctx.reach, ownOk);
    int chosenKey = chosen >= 0 ? unit.nCpuScore : 0;
    if (wideOk) {
        const int wide = PickBestCandidateHex(unit, candidates, ctx, wr, ownOk);
        const int wideKey = wide >= 0 ? unit.nCpuScore : 0;
        if (wide >= 0 && (chosen < 0 || (chosenKey & 0xFF) - (wideKey & 0xFF) > 3 * unit.nMove)) {
            chosen = wide | kDestWiderArea;
            chosenKey = wideKey | kDestWiderArea;
        }
    }
    if (first >= 0 && (chosen < 0 || chosenKey >= firstKey)) {
        unit.nCpuScore = firstKey;
        return first;
    }
    if (chosen < 0) return -1;
    unit.nCpuScore = chosenKey;
    return chosen;
}

void ClearUnitFlag4(GAMEDATASTRUCT& state)
{
    for (COUNTRYSTRUCT& c : state.Country) {
        for (UNITSTRUCT& u : c.Unit) {
            if (u.dwFlag & kUnitInUse) u.dwFlag &= ~kUnitFiredAa;
        }
    }
}

}  // namespace zrv

namespace zrv {

namespace {

constexpr uint32_t kOrderMarchMark = 0x08000000u;   // dwOrder byte 3 bit 3
constexpr uint32_t kSupplyOnTakenHex = 0x04000000u;  // dwSupplyFlag bit 26
constexpr uint32_t kObjectiveFallback = 0x80000000u;
constexpr int kObjectiveRadius = 5;

// A list of candidates round a centre: the ring list, then the filter per kind.
void FillKinds(int country, HEXINDEX centre, std::span<const int> kinds, const CpuTurnSetupRules& rules,
               std::span<uint32_t, kHexCount> scratch, std::vector<HEXINDEX> (&byKind)[4],
               std::vector<HEXINDEX>& appended)
{
    if (!rules.filterCandidateHexes || !IsMapHex(centre)) return;
    std::vector<HEXINDEX> ring(static_cast<size_t>(GetHexCountInRadius(kObjectiveRadius)) + 1);
    const int n = GetHexesInRange(centre, kObjectiveRadius, ring);
    // The mark array holds the ring list as the filter's scratch, as the view
    // expects to re-mark after a computer phase.
    for (int i = 0; i <= n; ++i) scratch[static_cast<size_t>(i)] = static_cast<uint32_t>(ring[static_cast<size_t>(i)]);
    for (int kind : kinds) {
        std::vector<HEXINDEX>& out = byKind[kind];
        out.assign(ring.size(), kNoHex);
        const int found = std::clamp(rules.filterCandidateHexes(country, kind, ring, out), 0,
                                     static_cast<int>(out.size()) - 1);
        out.resize(static_cast<size_t>(found));
        appended.insert(appended.end(), out.begin(), out.end());
    }
}

// Copies a list into a fixed document list, cut to its capacity, with -1.
void CopyBounded(const std::vector<HEXINDEX>& list, std::span<int32_t> out)
{
    const size_t n = std::min(list.size(), out.size() - 1);
    std::copy_n(list.begin(), n, out.begin());
    out[n] = kNoHex;
}

}  // namespace

void CZRKGameDoc::ClearUnitFlag4()
{
    zrv::ClearUnitFlag4(m_GameData);
}

void CZRKGameDoc::ResetCpuTurnScores()
{
    std::fill(std::begin(m_nCpuCaptureScore), std::end(m_nCpuCaptureScore), 0);
    std::fill(std::begin(m_nCpuCapitalGuard), std::end(m_nCpuCapitalGuard), kNoDistance);
}

CpuTurnAreas PrepareCpuTurn(CZRKGameDoc& doc, const CpuTurnSetupRules& rules)
{
    CpuTurnAreas areas;
    GAMEDATASTRUCT& state = doc.m_GameData;
    const int country = state.nCurCountry;
    if (country < 0 || country >= kCountryCount) return areas;
    COUNTRYSTRUCT& own = state.Country[country];
    const int side = own.nSide;

    std::fill(std::begin(doc.m_dwHexCpu), std::end(doc.m_dwHexCpu), 0u);
    if (rules.storeScores) rules.storeScores(own);
    for (MAPCELL& c : doc.m_dwHexCell) c = WithCpuMark(c, false);
    ListEnemyCountries(state, country, doc.m_CpuWork.nEnemy);
    const std::span<const int32_t> enemies(doc.m_CpuWork.nEnemy);

    // Hexes allies have set out for are left to them.
    for (int c = 0; c < kCountryCount; ++c) {
        const COUNTRYSTRUCT& other = state.Country[c];
        if (c == country || !(other.dwFlag & kCountryPresent) || other.nSide != side) continue;
        for (const UNITSTRUCT& u : other.Unit) {
            if ((u.dwFlag & kUnitInUse) && (u.dwOrder & kOrderMarchMark) && IsMapHex(u.nMarchHex))
                doc.m_dwHexCell[u.nMarchHex] = WithCpuMark(doc.m_dwHexCell[u.nMarchHex], true);
        }
    }
    for (UNITSTRUCT& u : own.Unit) {
        if (!(u.dwFlag & kUnitInUse)) continue;
        u.dwOrder &= ~kOrderMarchMark;
        u.nMarchHex = kNoHex;
        if ((u.dwFlag & kUnitCarried) || !IsMapHex(u.nHex)) continue;
        const MAPCELL cell = doc.m_dwHexCell[u.nHex];
        const int owner = CellOwner(cell);
        if (IsOccupiableTerrain(cell) && (owner < 0 || !InList(enemies, owner))) u.dwSupplyFlag |= kSupplyOnTakenHex;
    }

    // The objective. Without a capital there is no probe to search from.
    const HEXINDEX capital = own.nCapital;
    int32_t objective = -1;
    bool fallback = false;
    if (IsMapHex(capital)) {
        UNITSTRUCT probe{};
        probe.dwFlag = kUnitInUse;
        probe.nArms = Lib().g_nLandUnit;
        probe.nHex = capital;
        probe.refSelf = MakeUnitRef(country, kUnitSlots);  // no slot: never found on the map
        probe.dwCargo = MakeCargo(kNoCarrier, 0);
        probe.dwHexCell = doc.m_dwHexCell[capital];
        if (const ARMSSTRUCT* a = ArmsRecord(probe.nArms)) {
            probe.nMove = a->nMovePoint;
            probe.nFuel = a->nFuelMax;
        }
        (void)ComputeMoveArea(probe, state, doc.m_dwHexCell, doc.m_dwHexWork1, doc.m_dwHexMove, {}, doc.m_MoveRules);
        if (rules.capitalSearch) objective = rules.capitalSearch(&probe, 0);
        if (objective < 0) {
            int best = kCostSaturated + 1;
            for (HEXINDEX h = 0; h < kHexCount; ++h) {
                const uint32_t w = doc.m_dwHexMove[h];
                const int owner = CellOwner(doc.m_dwHexCell[h]);
                if ((w & kReachNotReached) || owner < 0 || !InList(enemies, owner)) continue;
                if (ReachCost(w) < best) {
                    best = ReachCost(w);
                    objective = owner << 16 | h;
                }
            }
        }
        if (objective < 0 && rules.capitalSearch) {
            objective = rules.capitalSearch(&probe, 1);
            fallback = true;
        }
    } else if (rules.capitalSearch) {
        objective = rules.capitalSearch(nullptr, 1);
        fallback = true;
    }
    own.dwCpuTarget = static_cast<uint32_t>(objective) | (fallback ? kObjectiveFallback : 0u);

    std::span<uint32_t, kHexCount> scratch(doc.m_dwHexMark);
    if (objective >= 0) {
        static constexpr int kObjectiveKinds[] = {0, 1, 3};
        FillKinds(country, LowHalf(static_cast<uint32_t>(objective)), kObjectiveKinds, rules, scratch,
                  areas.objectiveByKind, areas.objectiveList);
    }
    if (IsMapHex(capital)) {
        static constexpr int kCapitalKinds[] = {0, 2, 1, 3};
        FillKinds(country, capital, kCapitalKinds, rules, scratch, areas.capitalByKind, areas.capitalList);
    }
    CopyBounded(areas.objectiveList, doc.m_CpuWork.nHexList[0]);
    CopyBounded(areas.capitalList, doc.m_CpuWork.nHexList[1]);
    return areas;
}

}  // namespace zrv
