#include "battle/engine/MoveRange.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "battle/engine/Construction.h"
#include "battle/engine/HexGeometry.h"
#include "foundation/DataLibrary.h"

namespace zrv {
namespace {

constexpr uint32_t kStateWeatherOn = 0x40000000u;
constexpr int kRouteColumn = kCostTerrainColumns;  // cost column of route kind 0

int MoveTypeOf(const UNITSTRUCT& unit, bool noSubmerge)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    if (!a) return -1;
    if (!noSubmerge && IsSubmergedSubmarine(unit)) return kMoveTypeSubmerged;
    return a->nMoveType;
}

// The unit's cost row; an all-impassable row for a move type the tables do
// not have.
CostRow CostRowOf(const UNITSTRUCT& unit, bool snow, bool noSubmerge)
{
    const auto& table = snow ? Lib().TerrainCostTableSnow : Lib().TerrainCostTable;
    const int type = MoveTypeOf(unit, noSubmerge);
    CostRow row{};
    if (type >= 0 && static_cast<size_t>(type) < table.size()) row = table[static_cast<size_t>(type)];
    // Negative costs from a damaged table count as impassable, large ones as
    // the dearest cost a search keeps.
    for (int32_t& v : row) v = v < 0 ? 0 : std::min(v, kCostSaturated);
    return row;
}

// Cost of a terrain from a row; terrains beyond the cost columns (a damaged
// map) are impassable rather than read from the route columns.
int TerrainCost(const CostRow& row, int terrain)
{
    return (terrain >= 0 && terrain <= kCostTerrainLimit) ? row[static_cast<size_t>(terrain)] : 0;
}

int GridCost(uint32_t w)
{
    return static_cast<int>(w & kGridCostMask);
}

int ReachCost(uint32_t w)
{
    return static_cast<int>(w & kReachCostMask);
}

int Saturate(int cost)
{
    return std::min(cost, kCostSaturated);
}

// Step cost of entering n from p along shared routes: each shared kind whose
// route cost is non-zero and lower than n's terrain cost (or n is impassable)
// replaces it; the last such kind counts even when an earlier one was lower.
int RouteStepCost(const CostRow& row, uint32_t shared, int terrainCost)
{
    int step = terrainCost;
    for (int k = 0; k < kRouteKinds; ++k) {
        if (!(shared & (0x01000000u << k))) continue;
        const int e = row[static_cast<size_t>(kRouteColumn + k)];
        if (e != 0 && (e < terrainCost || terrainCost == 0)) step = e;
    }
    return step;
}

int DropTankSlotsOf(const UNITSTRUCT& unit, std::array<bool, kAmmoSlots>& isTank)
{
    int n = 0;
    for (int s = 0; s < kAmmoSlots; ++s) {
        const WEAPONSTRUCT* w = WeaponRecord(unit.nArms, s);
        isTank[static_cast<size_t>(s)] = w && w->byType == kWeaponTypeDropTank;
        n += isTank[static_cast<size_t>(s)] ? 1 : 0;
    }
    return n;
}


// Where a hex stands in the search.
// Closed: taken, its cost final. Kept: reached and never listed (a zone of
// control, or the start once taken), its cost may still drop.
// The mark lives in reach bits 16-17, which no reach word uses, so the
// search reads one word per hex instead of two arrays; the search clears the
// bits before it returns.
constexpr uint32_t kOpenNew = 0, kOpenWaiting = 1u << 16, kOpenClosed = 2u << 16, kOpenKept = 3u << 16;
constexpr uint32_t kOpenMask = 3u << 16;
static_assert((kOpenMask & (kReachCostMask | kReachNotReached | kReachNoDestination | kReachStrongRoute |
                            kReachBlocked | kReachZoneOfControl | kReachEnemy)) == 0);

// The open list as the search was first written: an array scanned for the
// lowest cost (the first such in array order), the taken entry replaced by
// the last. Kept as the reference the buckets are tested against.
class LinearOpenList {
public:
    void Push(HEXINDEX h, int) { m_open.push_back(h); }
    void Lowered(HEXINDEX, int) {}  // the scan reads the cost when it looks
    // The hex with the lowest cost below the saturated cost, or kNoHex.
    HEXINDEX Pop(HexWords reach)
    {
        size_t best = m_open.size();
        int bestCost = kCostSaturated;
        for (size_t i = 0; i < m_open.size(); ++i) {
            const int c = ReachCost(reach[m_open[i]]);
            if (c < bestCost) {
                bestCost = c;
                best = i;
            }
        }
        if (best == m_open.size()) return kNoHex;
        const HEXINDEX h = m_open[best];
        m_open[best] = m_open.back();
        m_open.pop_back();
        return h;
    }

private:
    std::vector<HEXINDEX> m_open;
};

// Uniform-cost search from start over grid into reach (flags already set),
// as first written: the reference that the bucket search below is held to.
// Each hex enters the open list at most once.
template <class Open>
void SearchReach(HEXINDEX start, int startOwnCost, const CostRow& cut, HexWords grid, HexWords reach)
{
    Open open;
    open.Push(start, 0);
    reach[start] |= kOpenWaiting;

    for (HEXINDEX p; (p = open.Pop(reach)) != kNoHex;) {
        // The start stays "not reached" after it is taken, so a route back
        // into it still sets its cost.
        const uint32_t rp = (reach[p] & ~kOpenMask) | (p == start ? kOpenKept : kOpenClosed);
        reach[p] = rp;
        const uint32_t gp = grid[p];
        const int costP = ReachCost(rp);
        // The start's own terrain cost is the one it had before the search.
        const int ownCostP = p == start ? startOwnCost : GridCost(gp);
        auto visit = [&](HEXINDEX n) __attribute__((always_inline)) {
            // One branch decides whether n improves, since which neighbours
            // do is unpredictable and each mispredicted test costs more than
            // the arithmetic. A taken hex needs no test of its own: its cost
            // is at most costP (costs are taken in order) and every step is
            // positive, so next >= its cost rejects it.
            const uint32_t rn = reach[n];
            const uint32_t gn = grid[n];
            const uint32_t shared = gp & gn & kGridRouteMask;
            const int costN = GridCost(gn);
            int step;
            if (rn & kReachStrongRoute)
                step = shared ? RouteStepCost(cut, shared, costN) : costN;
            else
                step = (ownCostP == 0 && shared == 0) ? 0 : costN;
            const int next = Saturate(costP + step);
            const bool enemyOnly = (rn & (kReachEnemy | kReachBlocked)) == kReachEnemy;
            const bool lower = ((rn & kReachNotReached) != 0) | (next < ReachCost(rn));
            if (!(static_cast<int>(lower) & static_cast<int>(!enemyOnly) & static_cast<int>(step != 0))) return;
            uint32_t w = (rn & ~(kReachNotReached | kReachCostMask)) | static_cast<uint32_t>(next);
            const uint32_t mark = rn & kOpenMask;
            if (mark == kOpenNew) {
                // A zone-of-control hex is reached but never left.
                if (rn & kReachZoneOfControl) {
                    w |= kOpenKept;
                } else {
                    open.Push(n, next);
                    w |= kOpenWaiting;
                }
            }
            reach[n] = w;
            if (mark == kOpenWaiting) {
                open.Lowered(n, next);
            }
        };
        ForEachNeighbourInline(p, visit);
    }
    for (uint32_t& w : reach) w &= ~kOpenMask;
}

// The bucket search below works on its own copy of what a visit reads: one
// word per hex with what decides the step into it, and a 16-bit cost per hex
// (32 KB for the whole map, half the reach map), so that one compare decides
// whether a neighbour improves.
//
// Search word: bits 0-15 the step into the hex when no strong route is
// shared (its terrain cost, kSearchImpassable for cost 0); bit 16 never
// taken (a zone of control is reached but never left, the start is left
// once); bits 17-22 the terrain cost for the step table, kSearchTableOff when
// it is too large for the table; bits 24-28 the routes; bit 29 a strong
// route; bit 30 always set. An enemy hex that is never entered is impassable
// from every side.
// A visit ands the neighbour's word with its own, where bit 29 is always set
// and bit 30 says that it has cost 0. Above kSearchPlainSteps the step comes
// from the table, whose row is bits 24-30: shared routes, strong, leaving a
// hex of cost 0.
constexpr uint32_t kSearchStepMask = 0x0000FFFFu;
constexpr uint32_t kSearchNeverTaken = 0x00010000u;
constexpr int kSearchTableShift = 17;
constexpr uint32_t kSearchTableOff = 63;
constexpr uint32_t kSearchRoutes = kGridRouteMask;
constexpr uint32_t kSearchStrong = 0x20000000u;
constexpr uint32_t kSearchLeaveZero = 0x40000000u;
constexpr uint32_t kSearchPlainSteps = kSearchStrong | 0x00FFFFFFu;
constexpr int kSearchRowShift = 24;  // routes, strong bit and leaving cost 0 as a row of the step table
constexpr uint32_t kSearchRows = 128;
static_assert(kReachStrongRoute == kSearchStrong);
// A step that never enters, and the cost of a hex not reached yet. Every
// cost the fast visit files lies below both, and a sum with an impassable
// step lies at or above the mark, so "lower than the hex's cost" is one
// compare.
constexpr int kSearchImpassable = 0x8000;
constexpr uint16_t kSearchNotReached = 0x8000;
static_assert(kSearchImpassable > kCostSaturated && kSearchNotReached > kCostSaturated);

// The step into a hex (0 when it is not entered) from the search word row
// (shared routes, the strong bit, leaving a hex of own cost 0) and the
// terrain cost.
int SearchStep(const CostRow& cut, uint32_t row, int costN)
{
    const uint32_t shared = row & (kSearchRoutes >> kSearchRowShift);
    const bool strong = (row & (kSearchStrong >> kSearchRowShift)) != 0;
    const bool ownZero = (row & (kSearchLeaveZero >> kSearchRowShift)) != 0;
    // Only a strong route carries its own cost; an impassable hex is left
    // only along a shared route.
    if (strong) return shared ? RouteStepCost(cut, shared << kSearchRowShift, costN) : costN;
    return (ownZero && shared == 0) ? 0 : costN;
}

int ImpassableAsMark(int step)
{
    return step == 0 ? kSearchImpassable : step;
}

// Steps by search word row and table cost. Built for the route costs of one
// cost row and kept while the next search has the same ones.
struct StepTables {
    std::array<int32_t, kRouteKinds> routeCosts{};
    bool built = false;
    std::array<uint16_t, kSearchRows * kSearchTableOff> step{};

    void Build(const CostRow& cut)
    {
        std::array<int32_t, kRouteKinds> costs;
        for (int k = 0; k < kRouteKinds; ++k)
            costs[static_cast<size_t>(k)] = cut[static_cast<size_t>(kRouteColumn + k)];
        if (built && costs == routeCosts) return;
        for (uint32_t r = 0; r < kSearchRows; ++r)
            for (uint32_t c = 0; c < kSearchTableOff; ++c)
                step[r * kSearchTableOff + c] =
                    static_cast<uint16_t>(ImpassableAsMark(SearchStep(cut, r, static_cast<int>(c))));
        routeCosts = costs;
        built = true;
    }
};

// The search with its open list in buckets by cost. Every step is positive,
// so a hex's cost is final when its bucket comes up, and the equal-cost hexes
// of a bucket may go in any order without changing a result.
// A lowered hex is filed again at its new cost rather than moved; its older
// entry is skipped because its cost no longer matches. Entries are filed only
// on a strictly lower cost, so no two entries of one hex have the same cost
// and each hex is taken at most once: with six visits each, 6 x kHexCount
// entries (and the one written but not counted) always suffice.
// The visit has no branch on whether the neighbour improves (which ones do
// is unpredictable, and a wrong guess costs more than the arithmetic): the
// cost and an entry are written either way, the entry counted only when the
// cost dropped. The visit only appends; the entries of a bucket's visits go
// into their buckets once the bucket is done (they all cost more than it),
// in a short loop of their own.
constexpr size_t kBucketEntries = static_cast<size_t>(kHexDirections) * kHexCount + 1;
// An entry is the hex in bits 0-13 and its cost above.
constexpr int kEntryCostShift = 14;
constexpr uint32_t kEntryHexMask = (1u << kEntryCostShift) - 1;
static_assert(kHexCount == 1 << kEntryCostShift && (kSearchImpassable << 1) <= (1 << (32 - kEntryCostShift)));

// Everything a visit touches in one block, so that one register reaches all
// of it (the visit has too many values live for a pointer per array).
struct BucketStore {
    std::array<uint32_t, kHexCount> word;             // search word of each hex
    std::array<uint16_t, kHexCount> cost;             // cost of each hex, kSearchNotReached
    std::array<int32_t, kCostSaturated + 1> head;     // last entry filed at each cost; -1 between searches
    std::array<uint32_t, kBucketEntries> entries;     // in the order filed
    std::array<int32_t, kBucketEntries> filedBefore;  // the entry filed before it at the same cost, -1 none
    StepTables steps;
};

// Every hex not reached, with the strong-route flag of its grid word; like
// the loops below, written so that it vectorizes in every build.
__attribute__((noinline)) void ClearReach(const uint32_t* __restrict grid, uint32_t* __restrict reach)
{
    static_assert(kGridStrongRoute << 13 == kReachStrongRoute);
    for (size_t h = 0; h < kHexCount; ++h) reach[h] = kReachNotReached | ((grid[h] & kGridStrongRoute) << 13);
}

// The search arrays from the grid and the reach flags. Masks rather than
// conditions, and parameters that do not alias, so that the loop vectorizes
// in every build.
__attribute__((noinline)) void FillSearchArrays(const uint32_t* __restrict grid,
                                                const uint32_t* __restrict reach, uint32_t* __restrict word,
                                                uint16_t* __restrict cost)
{
    static_assert(kReachZoneOfControl >> 11 == kSearchNeverTaken);
    for (size_t h = 0; h < kHexCount; ++h) {
        const uint32_t r = reach[h];
        const uint32_t g = grid[h];
        const uint32_t c = g & kGridCostMask;  // below 0x8000
        const uint32_t impassable = ((c - 1u) >> 31) * static_cast<uint32_t>(kSearchImpassable);
        const uint32_t w = c | impassable | (std::min(c, kSearchTableOff) << kSearchTableShift) |
                           (g & kSearchRoutes) | (r & kSearchStrong) | ((r & kReachZoneOfControl) >> 11);
        const uint32_t enemyOnly =
            0u - static_cast<uint32_t>((r & (kReachEnemy | kReachBlocked)) == kReachEnemy);
        word[h] =
            (w & ~enemyOnly) | (static_cast<uint32_t>(kSearchImpassable) & enemyOnly) | kSearchLeaveZero;
        cost[h] = kSearchNotReached;
    }
}

// The costs found into the reach words, as the same kind of loop.
__attribute__((noinline)) void WriteSearchCosts(const uint16_t* __restrict cost, uint32_t* __restrict reach)
{
    static_assert(kSearchNotReached == 0x8000);
    for (size_t h = 0; h < kHexCount; ++h) {
        const uint32_t c = cost[h];
        const uint32_t reached = ((c >> 15) & 1u) - 1u;  // all ones below kSearchNotReached
        reach[h] = (reach[h] & ~(reached & (kReachNotReached | kReachCostMask))) | (c & reached);
    }
}

void SearchReachBuckets(HEXINDEX start, int startOwnCost, const CostRow& cut, HexWords grid, HexWords reach)
{
    // Kept between searches so that a search allocates nothing (about a
    // megabyte, most of it entries that only a search over the whole map
    // touches).
    static thread_local std::unique_ptr<BucketStore> kept;
    if (!kept) {
        kept = std::make_unique<BucketStore>();
        kept->head.fill(-1);
    }
    BucketStore* const store = kept.get();
    store->steps.Build(cut);
    const uint16_t* const steps = store->steps.step.data();

    FillSearchArrays(grid.data(), reach.data(), store->word.data(), store->cost.data());
    store->word[start] |= kSearchNeverTaken;

    // Below this cost no sum of a cost and a step reaches kCostSaturated, so
    // the visit needs no saturation; from it on the careful visit runs.
    int largestStep = 1;
    for (int32_t v : cut) largestStep = std::max(largestStep, static_cast<int>(v));
    const int fastBelow = kCostSaturated - largestStep;

    int32_t count = 0;
    auto expand = [&](HEXINDEX p, int costP, bool ownZero, auto careful) __attribute__((always_inline))
    {
        const uint32_t sp =
            (store->word[p] & ~kSearchLeaveZero) | kSearchStrong | (ownZero ? kSearchLeaveZero : 0u);
        auto visit = [&](HEXINDEX n) __attribute__((always_inline))
        {
            const uint32_t s = store->word[n];
            const uint32_t both = sp & s;
            int step = static_cast<int>(s & kSearchStepMask);
            // A shared strong route, or leaving a hex of cost 0.
            if (both > kSearchPlainSteps) {
                const uint32_t row = both >> kSearchRowShift;
                const uint32_t c = (s >> kSearchTableShift) & kSearchTableOff;
                step = c < kSearchTableOff
                           ? steps[row * kSearchTableOff + c]
                           : ImpassableAsMark(SearchStep(cut, row, static_cast<int>(s & kSearchStepMask)));
            }
            int next = costP + step;
            if constexpr (decltype(careful)::value) {
                if (step != kSearchImpassable) next = Saturate(next);
            }
            // All ones when the neighbour improves. Masks rather than
            // conditions: the compiler turns a condition back into a branch.
            const int old = store->cost[n];
            const int lower = next - old;  // both below 0x10000
            const int enter = lower >> 31;
            store->cost[n] = static_cast<uint16_t>(old + (lower & enter));
            store->entries[count] =
                static_cast<uint32_t>(n) | (static_cast<uint32_t>(next) << kEntryCostShift);
            count -= enter;
        };
        ForEachNeighbourInline(p, visit);
    };
    using Fast = std::false_type;
    using Careful = std::true_type;

    // Files the entries appended since the last time into their buckets.
    // Every cost filed is below kSearchNotReached, so at most kCostSaturated.
    int32_t filed = 0;
    auto file = [&]() {
        for (; filed < count; ++filed) {
            const uint32_t c = store->entries[filed] >> kEntryCostShift;
            store->filedBefore[filed] = store->head[c];
            store->head[c] = filed;
        }
    };

    // The start's own terrain cost is the one it had before the search.
    if (fastBelow > 0)
        expand(start, 0, startOwnCost == 0, Fast{});
    else
        expand(start, 0, startOwnCost == 0, Careful{});
    file();
    // Every entry filed is taken or skipped once; a saturated cost is never
    // taken, so its bucket is only emptied.
    int32_t done = 0;
    int cur = 1;
    // The buckets below a cost, in order; the fast and the careful visit in
    // loops of their own (a test of which one inside a loop, invariant as it
    // is, gets the loop duplicated and its exits mispredicted).
    auto drain = [&](int below, auto careful) {
        for (; done < count && cur < below; ++cur) {
            int32_t e = store->head[cur];
            store->head[cur] = -1;
            while (e >= 0) {
                ++done;
                const HEXINDEX p = static_cast<HEXINDEX>(store->entries[e] & kEntryHexMask);
                e = store->filedBefore[e];
                // Filed again at a lower cost, or reached but never left.
                if (store->cost[p] != cur || (store->word[p] & kSearchNeverTaken)) continue;
                const bool ownZero =
                    (store->word[p] & kSearchStepMask) == static_cast<uint32_t>(kSearchImpassable);
                expand(p, cur, ownZero, careful);
            }
            file();
        }
    };
    drain(fastBelow, Fast{});
    drain(kCostSaturated, Careful{});
    // Only the careful visit files at the saturated cost.
    store->head[kCostSaturated] = -1;

    WriteSearchCosts(store->cost.data(), reach.data());
}

// The grid words of the terrain alone: cost and the routes that count.
__attribute__((noinline)) void GridFromTerrain(const MAPCELL* __restrict cells,
                                               const uint32_t* __restrict terrainCost,
                                               const uint32_t* __restrict routeMask,
                                               uint32_t* __restrict grid)
{
    static_assert(kCellTerrainMask == kTerrainCount - 1);
    for (size_t h = 0; h < kHexCount; ++h) {
        const MAPCELL cell = cells[h];
        const size_t t = static_cast<size_t>(CellTerrain(cell));
        grid[h] = terrainCost[t] | (cell & routeMask[t]);
    }
}

// The route flags and the closed cells over the terrain words, with masks
// rather than conditions: whether a hex is closed, has a route or a strong
// one follows the map, not a pattern a predictor learns, and the loop
// vectorizes in every build. A route is strong from a non-zero durability of
// at least the unit's weight; a unit not on the ground gets neither flag.
__attribute__((noinline)) void GridRouteFlags(const MAPCELL* __restrict cells, uint32_t blocked, bool ground,
                                              int weight, uint32_t* __restrict grid)
{
    const int32_t strongFrom = ground ? std::max(weight, 1) : 0x100;  // durabilities are 0..255
    const uint32_t weakOnly = ground ? kGridWeakRoute : 0u;
    for (size_t h = 0; h < kHexCount; ++h) {
        const MAPCELL cell = cells[h];
        const uint32_t w = grid[h];
        const uint32_t routed = 0u - static_cast<uint32_t>((w & kGridRouteMask) != 0);
        const uint32_t strong =
            0u - static_cast<uint32_t>(static_cast<int32_t>(CellDurability(cell)) >= strongFrom);
        const uint32_t impassable = 0u - static_cast<uint32_t>((w & kGridCostMask) == 0);
        const uint32_t flags = routed & ((strong & kGridStrongRoute) | (~strong & impassable & weakOnly));
        grid[h] = (w | flags) & (static_cast<uint32_t>((cell & blocked) != 0) - 1u);
    }
}

// Marks every reached hex that costs more than limit, or carries one of the
// refusing flags, as no destination; whether any destination is left. Masks
// rather than conditions, so that the loop vectorizes in every build.
__attribute__((noinline)) bool MarkDestinations(uint32_t* __restrict reach, int limit, uint32_t refusing)
{
    static_assert(kReachNotReached >> 1 == kReachNoDestination);
    // Costs are below 0x8000; a negative limit leaves no destination.
    const uint32_t top = limit < 0 ? 0u : static_cast<uint32_t>(std::min(limit, 0xFFFF)) + 1u;
    uint32_t any = 0;
    for (size_t h = 0; h < kHexCount; ++h) {
        const uint32_t w = reach[h];
        const uint32_t reached = (w & kReachNotReached) ^ kReachNotReached;  // kReachNotReached when reached
        const uint32_t dest =
            reached & (0u - static_cast<uint32_t>(((w & kReachCostMask) < top) & ((w & refusing) == 0)));
        any |= dest;
        reach[h] = w | ((reached & ~dest) >> 1);
    }
    return any != 0;
}

}  // namespace

int GetFuelRange(UNITSTRUCT& unit, const GAMEDATASTRUCT& state)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    if (!a) return 0;
    const int capacity = std::max<int>(a->wBattery, 0);
    if (unit.nBattery > capacity) unit.nBattery = capacity;
    if (IsOnBatteryOnly(unit, GetWeatherEffect(state))) return unit.nBattery;
    int range = unit.nBattery + unit.nFuel;
    std::array<bool, kAmmoSlots> isTank{};
    DropTankSlotsOf(unit, isTank);
    for (int s = 0; s < kAmmoSlots; ++s) {
        if (isTank[static_cast<size_t>(s)] && unit.nAmmo[s] > 0) range += unit.nAmmo[s];
    }
    return range;
}

int BuildMoveCostGrid(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                      HexWords grid, const MoveAreaOptions& options)
{
    if (GetFuelRange(unit, state) <= 0) return kErrNoFuelRange;
    if (unit.dwFlag & kUnitMoved) return kErrAlreadyMoved;
    if ((unit.dwFlag & kUnitCarried) && !options.bCarriedOk) {
        const UNITSTRUCT* carrier = GetCarrier(UnitArrayOf(state, unit), unit);
        const ARMSSTRUCT* ca = carrier ? ArmsRecord(carrier->nArms) : nullptr;
        if (!ca || ca->nClass != kClassFreeCargoCarrier) return kErrCarried;
    }
    const int country = UnitCountryIndex(unit);
    const int side = country >= 0 ? state.Country[country].nSide : 2;
    if (side != 0 && side != 1) return kErrOutsideSides;

    const ARMSSTRUCT& a = *ArmsRecord(unit.nArms);  // GetFuelRange refused unknown types
    const CostRow raw = CostRowOf(unit, IsSnowInForce(state), options.bNoSubmerge);
    CostRow row = raw;
    for (int32_t& v : row) {
        if (v > unit.nMove) v = 0;
    }

    // Route kinds that the rain has closed on terrain that is not all-weather.
    uint32_t muddy = 0;
    if (state.dwStateFlag & kStateWeatherOn) {
        for (int k = 0; k < kRouteKinds; ++k) {
            const TRRNSTRUCT* r = RoadRecord(k);
            if (r && r->nRainLimit != 0 && r->nRainLimit <= state.nRainLevel) muddy |= 0x01000000u << k;
        }
    }
    std::array<uint32_t, kTerrainCount> routeMask{};
    std::array<uint32_t, kTerrainCount> terrainCost{};
    static_assert(kCellTerrainMask == kTerrainCount - 1);
    for (int t = 0; t < kTerrainCount; ++t) {
        const TRRNSTRUCT* tr = TerrainRecord(t);
        // Terrains past the cost columns have no cost; their routes help nobody.
        if (t > kCostTerrainLimit) continue;
        routeMask[static_cast<size_t>(t)] = kCellRouteMask;
        if (tr && !IsMudImmune(*tr)) routeMask[static_cast<size_t>(t)] &= ~muddy;
        terrainCost[static_cast<size_t>(t)] = static_cast<uint32_t>(TerrainCost(row, t));
    }

    const uint32_t blocked = options.bIgnoreSideMask ? kCellClosedAll : GetSideCellMask(state.Country[country]);
    const bool ground = IsGroundDomain(GetUnitDomain(unit));
    GridFromTerrain(cells.data(), terrainCost.data(), routeMask.data(), grid.data());
    GridRouteFlags(cells.data(), blocked, ground, a.nWeight, grid.data());

    // The unit may always leave the hex it stands on: its cost is that of its
    // stored cell as the table gives it, not cut to its movement points.
    const HEXINDEX own = GetUnitMapHex(state, unit);
    if (IsMapHex(own) && GridCost(grid[own]) == 0) {
        grid[own] |= static_cast<uint32_t>(TerrainCost(raw, CellTerrain(unit.dwHexCell)));
    }
    return 0;
}

int ExpandMoveArea(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                   HexWords grid, HexWords reach, const MoveAreaOptions& options, const MoveRules& rules)
{
    ClearReach(grid.data(), reach.data());

    const HEXINDEX start = options.startHex >= 0 ? options.startHex : GetUnitMapHex(state, unit);
    if (!IsMapHex(start)) return kErrNoNeighbourOpen;

    const int moverCountry = UnitCountryIndex(unit);
    const int moverSide = moverCountry >= 0 ? state.Country[moverCountry].nSide : 2;
    const int moverSlot = SideSlot(moverSide);
    if (!options.bNoUnits) {
        const bool groundMover = IsGroundDomain(GetUnitDomain(unit));
        for (int c = 0; c < kCountryCount; ++c) {
            const COUNTRYSTRUCT& country = state.Country[c];
            if (!(country.dwFlag & kCountryPresent)) continue;
            const bool friendly = country.nSide == moverSide || country.nSide >= 2;
            for (const UNITSTRUCT& u : country.Unit) {
                if (&u == &unit) continue;
                if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitCarried) || !IsMapHex(u.nHex)) continue;
                if (u.dwFlag & HiddenFromSideBit(moverSlot)) continue;
                const HEXINDEX h = u.nHex;
                if (friendly) {
                    const bool boards = c == moverCountry && rules.canBoard && rules.canBoard(unit, u, state);
                    if (!boards) reach[h] |= kReachBlocked;
                    continue;
                }
                bool zone = false;
                if (rules.canCloseFire) {
                    if (!groundMover) {
                        zone = rules.canCloseFire(u, unit, state);
                        if (zone) {
                            for (HEXINDEX n : GetNeighbourSlots(h))
                                if (n != kNoHex) reach[n] |= kReachZoneOfControl;
                        }
                    } else {
                        // A ground mover is tested where it would stand.
                        const MAPCELL stored = unit.dwHexCell;
                        for (HEXINDEX n : GetNeighbourSlots(h)) {
                            if (n == kNoHex) continue;
                            unit.dwHexCell = cells[n];
                            if (rules.canCloseFire(u, unit, state)) {
                                reach[n] |= kReachZoneOfControl;
                                zone = true;
                            }
                        }
                        unit.dwHexCell = stored;
                    }
                }
                reach[h] |= zone ? kReachEnemy : (kReachEnemy | kReachBlocked);
            }
        }
    }

    // Uniform-cost search. The start counts cost 0 while the search runs and
    // stays "not reached" unless a route leads back into it.
    const CostRow row = CostRowOf(unit, IsSnowInForce(state), options.bNoSubmerge);
    CostRow cut = row;
    for (int32_t& v : cut) {
        if (v > unit.nMove) v = 0;
    }
    const uint32_t startGrid = grid[start];
    const int startOwnCost = GridCost(startGrid);
    grid[start] = startGrid & ~kGridCostMask;
    reach[start] = kReachNotReached;

    if (options.openList == OpenList::kLinearScan)
        SearchReach<LinearOpenList>(start, startOwnCost, cut, grid, reach);
    else
        SearchReachBuckets(start, startOwnCost, cut, grid, reach);
    grid[start] = startGrid;
    return 0;
}

int ComputeMoveArea(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                    HexWords grid, HexWords reach, const MoveAreaOptions& options, const MoveRules& rules)
{
    const int code = BuildMoveCostGrid(unit, state, cells, grid, options);
    if (code != 0) return code;
    return ExpandMoveArea(unit, state, cells, grid, reach, options, rules);
}

int CheckUnitMove(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                  HexWords grid, HexWords reach, const MoveRules& rules, const MoveAreaOptions& options)
{
    const int code = ComputeMoveArea(unit, state, cells, grid, reach, options, rules);
    if (code != 0) return code;
    const int limit = std::min(unit.nMove, GetFuelRange(unit, state));
    if (MarkDestinations(reach.data(), limit, kReachEnemy | kReachBlocked)) return 0;
    const HEXINDEX own = options.startHex >= 0 ? options.startHex : GetUnitMapHex(state, unit);
    if (IsMapHex(own)) {
        for (HEXINDEX n : GetNeighbourSlots(own)) {
            if (n != kNoHex && !(reach[n] & kReachNotReached)) return kErrNoDestination;
        }
    }
    return kErrNoNeighbourOpen;
}

int CheckMarchArea(UNITSTRUCT& unit, const GAMEDATASTRUCT& state, std::span<const MAPCELL, kHexCount> cells,
                   HexWords grid, HexWords reach, const MoveRules& rules)
{
    MoveAreaOptions options;
    options.bNoUnits = true;
    const int code = ComputeMoveArea(unit, state, cells, grid, reach, options, rules);
    if (code != 0) return code;
    const int limit = GetFuelRange(unit, state);
    return MarkDestinations(reach.data(), limit, 0u) ? 0 : kErrNoDestination;
}

int TurnsToReach(HEXINDEX hex, UNITSTRUCT& unit, const GAMEDATASTRUCT& state,
                 std::span<const MAPCELL, kHexCount> cells, HexWords grid, HexWords reach, bool bWithDistance,
                 const MoveRules& rules)
{
    const HEXINDEX own = GetUnitMapHex(state, unit);
    if (hex == own) return 0;
    const int code = CheckUnitMove(unit, state, cells, grid, reach, rules);
    if (code != 0 && code != kErrNoDestination) return -1;
    if (!IsMapHex(hex) || (reach[hex] & kReachNotReached)) return -1;
    // The reach map may be left from a probe unit; without movement points
    // nothing is reachable in any number of turns.
    if (unit.nMove <= 0) return -1;
    const int cost = ReachCost(reach[hex]);
    int turns = (cost + unit.nMove - 1) / unit.nMove;
    if (bWithDistance) turns = (turns << 16) | (IsMapHex(own) ? GetHexDistance(own, hex) : 0);
    return turns;
}

int BuildRouteToHex(const UNITSTRUCT& unit, HEXINDEX fromHex, HEXINDEX toHex, std::span<const uint32_t> grid,
                    std::span<const uint32_t> reach, std::span<HEXINDEX> outRoute, std::span<const uint32_t> flags,
                    uint32_t mask)
{
    auto fail = [&]() {
        if (!outRoute.empty()) outRoute[0] = kNoHex;
        return kRouteFailed;
    };
    if (outRoute.empty() || grid.size() < kHexCount || reach.size() < kHexCount) return fail();
    if (!IsMapHex(fromHex) || !IsMapHex(toHex)) return fail();
    if (fromHex == toHex) {
        outRoute[0] = kNoHex;
        return 0;
    }

    // Back-tracking reads route costs from the snow row in every season.
    const auto& snowTable = Lib().TerrainCostTableSnow;
    const int type = MoveTypeOf(unit, false);
    CostRow snowRow{};
    if (type >= 0 && static_cast<size_t>(type) < snowTable.size()) snowRow = snowTable[static_cast<size_t>(type)];
    for (int32_t& v : snowRow) v = v < 0 ? 0 : std::min(v, kCostSaturated);

    auto flagOf = [&](HEXINDEX h) -> uint32_t {
        return static_cast<size_t>(h) < flags.size() ? flags[static_cast<size_t>(h)] & mask : 0u;
    };

    static thread_local std::vector<HEXINDEX> stack;
    stack.clear();
    const HexPos target = HexPos::FromIndex(fromHex);
    const HexPos startPos = HexPos::FromIndex(toHex);
    HEXINDEX cur = toHex;
    int prevCost = kCostSaturated;
    int prevStep = kCostSaturated;
    stack.push_back(cur);

    for (int steps = 0;; ++steps) {
        if (steps >= kMaxRouteSteps) return fail();
        const HexPos here = HexPos::FromIndex(cur);
        std::array<int, kHexDirections> pref{};
        if (target.row < here.row) {
            pref[kDirNorthWest] = pref[kDirNorthEast] = 2;
            pref[kDirWest] = pref[kDirEast] = 1;
        } else if (target.row > here.row) {
            pref[kDirSouthEast] = pref[kDirSouthWest] = 2;
            pref[kDirWest] = pref[kDirEast] = 1;
        }
        if (target.column > here.column || (target.column == here.column && here.column < startPos.column)) {
            ++pref[kDirEast];
            ++pref[kDirSouthEast];
            ++pref[kDirNorthEast];
        } else if (target.column < here.column || (target.column == here.column && here.column > startPos.column)) {
            ++pref[kDirSouthWest];
            ++pref[kDirWest];
            ++pref[kDirNorthWest];
        }

        const uint32_t gc = grid[static_cast<size_t>(cur)];
        const int curCost = ReachCost(reach[static_cast<size_t>(cur)]);
        const int curTerrain = GridCost(gc);
        HEXINDEX best = kNoHex;
        int bestCost = prevCost;
        uint32_t bestFlag = mask;
        int bestStep = prevStep;
        int bestPref = -1;
        bool complete = false;
        const HexNeighbours slots = GetNeighbourSlots(cur);
        for (int d = 0; d < kHexDirections && !complete; ++d) {
            const HEXINDEX n = slots[static_cast<size_t>(d)];
            if (n == kNoHex) continue;
            const uint32_t gn = grid[static_cast<size_t>(n)];
            const uint32_t shared = gc & gn & kGridRouteMask;
            if (n == fromHex) {
                if ((curTerrain != 0 && curCost <= curTerrain) || shared != 0) complete = true;
                continue;
            }
            const uint32_t rn = reach[static_cast<size_t>(n)];
            if (rn & (kReachNotReached | kReachZoneOfControl)) continue;
            const int costN = ReachCost(rn);
            const int terrainN = GridCost(gn);
            int step = terrainN;
            const int diff = curCost > costN ? curCost - costN : costN - curCost;
            if (terrainN == 0 || curTerrain == 0 || diff < curTerrain) {
                if (shared == 0) continue;
                step = RouteStepCost(snowRow, shared, terrainN);
            }
            const uint32_t flag = flagOf(n);
            bool better;
            if (costN != bestCost)
                better = costN < bestCost;
            else if (flag != bestFlag)
                better = flag < bestFlag;
            else if (step != bestStep)
                better = step < bestStep;
            else
                better = pref[static_cast<size_t>(d)] > bestPref;
            if (better) {
                best = n;
                bestCost = costN;
                bestFlag = flag;
                bestStep = step;
                bestPref = pref[static_cast<size_t>(d)];
            }
        }
        if (complete) break;
        if (best == kNoHex) return fail();
        stack.push_back(best);
        cur = best;
        prevCost = bestCost;
        prevStep = bestStep;
    }

    // Written out from the hex next to fromHex to toHex.
    const size_t n = stack.size();
    if (n + 1 > outRoute.size()) return fail();
    for (size_t i = 0; i < n; ++i) outRoute[i] = stack[n - 1 - i];
    outRoute[n] = kNoHex;
    return static_cast<int>(n);
}

HEXINDEX GetRouteEndHex(const UNITSTRUCT& unit, std::span<const HEXINDEX> route)
{
    HEXINDEX end = unit.nHex;
    for (HEXINDEX h : route) {
        if (h == kNoHex) break;
        end = h;
    }
    return end;
}

int WalkRoute(UNITSTRUCT& unit, std::span<HEXINDEX> route, const GAMEDATASTRUCT& state,
              std::span<const MAPCELL, kHexCount> cells, HexUnits unitMap, const MoveRules& rules)
{
    size_t length = 0;
    while (length < route.size() && route[length] != kNoHex) ++length;
    if (length == 0) return kWalkComplete;

    const int side = UnitSideSlot(state, unit);
    const int country = UnitCountryIndex(unit);
    auto occupant = [&](HEXINDEX h) -> const UNITSTRUCT* {
        const UNITSTRUCT* u = IsMapHex(h) ? UnitAt(state, unitMap[h]) : nullptr;
        return u == &unit ? nullptr : u;
    };
    auto cutAfter = [&](size_t i) {
        if (i + 1 < route.size()) route[i + 1] = kNoHex;
        length = i + 1;
    };

    bool ambushed = false;
    const MAPCELL stored = unit.dwHexCell;
    for (size_t i = 0; i < length && !ambushed; ++i) {
        const HEXINDEX p = route[i];
        if (!IsMapHex(p)) {
            // A damaged route ends at its last hex on the map.
            if (i == 0) {
                route[0] = kNoHex;
                unit.dwHexCell = stored;
                return kWalkNoFreeHex;
            }
            cutAfter(i - 1);
            break;
        }
        unit.dwHexCell = cells[p];
        for (HEXINDEX n : GetNeighbourSlots(p)) {
            if (n == kNoHex) continue;
            const UNITSTRUCT* other = occupant(n);
            if (!other || !(other->dwFlag & HiddenFromSideBit(side))) continue;
            if (rules.canCloseFire && rules.canCloseFire(*other, unit, state)) {
                cutAfter(i);
                ambushed = true;
                break;
            }
        }
    }
    unit.dwHexCell = stored;

    // The walk stops next to a hidden enemy only on a free hex; on a hex of
    // its own country's unit it simply ends there.
    const UNITSTRUCT* atEnd = occupant(route[length - 1]);
    if (!atEnd) return ambushed ? kWalkAmbushed : kWalkComplete;
    if (UnitCountryIndex(*atEnd) == country) return kWalkComplete;
    for (size_t i = length - 1; i-- > 0;) {
        if (!occupant(route[i])) {
            cutAfter(i);
            return kWalkShortened;
        }
    }
    route[0] = kNoHex;
    return kWalkNoFreeHex;
}

void ConsumeMoveFuel(UNITSTRUCT& unit, int cost, bool bFromBattery)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    const int capacity = a ? std::max<int>(a->wBattery, 0) : 0;
    unit.nMoved += cost;
    if (!(unit.dwFlag & kUnitInWater) && unit.nBattery < capacity) {
        // nMoved mod 2 carries the odd half point of earlier moves.
        unit.nBattery = std::min(capacity, unit.nBattery + (unit.nMoved % 2 + cost) / 2);
    }
    if (bFromBattery) {
        unit.nBattery = std::max(0, unit.nBattery - cost);
        return;
    }
    int rest = cost;
    std::array<bool, kAmmoSlots> isTank{};
    DropTankSlotsOf(unit, isTank);
    for (int s = 0; s < kAmmoSlots && rest > 0; ++s) {
        if (!isTank[static_cast<size_t>(s)] || unit.nAmmo[s] <= 0) continue;
        const int take = std::min(unit.nAmmo[s], rest);
        unit.nAmmo[s] -= take;
        rest -= take;
    }
    unit.nFuel -= rest;
    if (unit.nFuel < 0) {
        const int shortfall = -unit.nFuel;
        unit.nFuel = 0;
        if (unit.nBattery >= 1) unit.nBattery = std::max(0, unit.nBattery - shortfall);
    }
}

bool MoveUnitToHex(UNITSTRUCT& unit, GAMEDATASTRUCT& /*state*/, HEXINDEX hex, int cost, bool bFromBattery)
{
    if (unit.dwFlag & kUnitMoved) return false;
    unit.nHex = hex;
    ConsumeMoveFuel(unit, cost, bFromBattery);
    unit.dwFlag |= kUnitMoved;
    // The cargo goes along without a write: a carried unit stands off the
    // map (hex -1) and takes its place from its outermost carrier.
    return true;
}

int GetMinimumFuelUse(const UNITSTRUCT& unit, const GAMEDATASTRUCT& state, const MoveRules& rules)
{
    const ARMSSTRUCT* a = ArmsRecord(unit.nArms);
    if (!a) return 0;
    if (RefuelsAtBases(*a)) {
        const int code = rules.hexSupply ? rules.hexSupply(unit, state) : -1;
        if (code != 0 && code != 55) return (unit.nMove + 1) / 2;
    }
    if (IsSubmergedSubmarine(unit)) return (unit.nMove + 1) / 2;
    const int shortfall = a->wBattery - unit.nBattery;
    if (shortfall <= 0) return 0;
    int k = std::min(shortfall, 2);
    while (k > 0 && 2 * k > unit.nFuel) --k;
    return 2 * k;
}

int ListUnitWithCargo(UNITSTRUCT& unit, GAMEDATASTRUCT& state, std::span<UNITSTRUCT*> out)
{
    return ListUnitAndCargo(UnitArrayOf(state, unit), unit, out);
}

}  // namespace zrv
