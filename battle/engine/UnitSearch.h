#pragma once
// Searches and ratings over the game state that the computer player decides
// by: the nearest enemy, the enemy capitals, threats to a capital, which
// units want strength, fuel or ammunition, what a merge should move, how
// good a hex is to bomb, and the production prices it plans with.
//
// They change nothing except where a comment says so. Units counted are in
// use and, unless said otherwise, not carried; an enemy is a present country
// of the opposite side (side xor 1); 32767 means none. Draws come only
// through the RuleDraws given, in the order each comment names.

#include <cstdint>
#include <functional>
#include <span>

#include "battle/engine/MoveRules.h"
#include "battle/engine/OccupyTargets.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr int kNoDistance = 32767;

// --- the nearest enemy --------------------------------------------------------------------
// The nearest enemy unit to hex (with the country's fog, only those its side
// sees). The distance is also written into that unit's nCpuScore, where the
// computer player reads it back. Null when none.
UNITSTRUCT* FindNearestEnemyUnitFromHex(GAMEDATASTRUCT& game, int country, HEXINDEX hex);
UNITSTRUCT* FindNearestEnemyUnit(GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
int GetNearestEnemyDistanceFromHex(GAMEDATASTRUCT& game, int country, HEXINDEX hex);
int GetNearestEnemyDistance(GAMEDATASTRUCT& game, const UNITSTRUCT& unit);

// Strength sum << 16 | count of side's units within radius of hex whose
// domain matches the kind mask (bits 1 and 4 ground, 2 air, 8 naval).
uint32_t SumSideUnitsNearHex(const GAMEDATASTRUCT& game, int side, HEXINDEX hex, int kindMask, int radius);
// The same over the enemies of country.
uint32_t SumEnemyUnitsNearHex(const GAMEDATASTRUCT& game, int country, HEXINDEX hex, int kindMask, int radius);
// For the unit at hex: -3 per neighbour holding an enemy, +2 per neighbour
// holding any other unit, -1 per empty neighbour.
int GetHexNeighbourhoodScore(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, HEXINDEX hex);
int IsAdjacentToEnemy(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit);
// 1 when enemy ground, ship or air strength near the capital makes it unsafe.
int IsCapitalThreatened(const GAMEDATASTRUCT& game, int country);

// Smallest distance from hex to an enemy unit whose kind matches kindMask; 32767.
int GetNearestEnemyDistanceByClass(const GAMEDATASTRUCT& game, HEXINDEX hex, int kindMask, int country);
// 1 when a strong enemy (strength x 3 above full) with class traits in mask
// stands within range of hex (with fog, only seen ones).
int IsStrongEnemyClassWithinRange(const GAMEDATASTRUCT& game, int country, HEXINDEX hex, uint32_t traitsMask,
                                  int range);
// Seen enemy ships in the low half, submarines in the high half.
uint32_t CountEnemyUnitsByKind(const GAMEDATASTRUCT& game, int country);
// 1 when a neighbouring enemy and the unit can engage: direction 1 the
// enemy fires at the unit, 0 the unit at the enemy.
int TestAdjacentEnemyEngagement(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                const UNITSTRUCT& unit, int direction);
int GetFarthestUnitDistanceFromCapital(const COUNTRYSTRUCT& country);
// Nearest other uncarried unit of the class, at least as evolved, at full strength; 32767.
int GetNearestFullSameClassDistance(const UNITSTRUCT& unit, const COUNTRYSTRUCT& country);
// Hex of the first full class-39 or 41 unit able to carry infantry within 5 of the capital; -1.
HEXINDEX FindFullUnitNearCapital(const COUNTRYSTRUCT& country);
// Sorts the first count hexes of list by distance from hex (stable).
void SortHexesByDistance(HEXINDEX hex, int count, std::span<HEXINDEX> list, bool descending);
// The neighbour whose value has bit 25 and the smallest low half; -1.
HEXINDEX FindLowestMarkedNeighbourHex(HEXINDEX hex, std::span<const uint32_t, kHexCount> values);
int TestHexTerrainFlags(int country, MAPCELL cell, int limit);

// Smallest distance from hex to a unit of side with at least minStrength
// whose class traits meet traitsMask; 32767.
int GetNearestSideUnitByTraits(const GAMEDATASTRUCT& game, int side, HEXINDEX hex, uint32_t traitsMask,
                               int minStrength);
// 1 when a seen enemy's anti-ship weapon (loaded, without flag bit 8) reaches
// the unit within its surface range plus the enemy's movement points. Only
// asked for units with a battery of 4 or more or of types with second-flags
// bits 1-2; 0 for others.
int CheckEnemyWeaponReach(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// Hex of the nearest own uncarried unit with room for the unit's carry
// class: ships first, then ground (+0x10000), then air (+0x20000); -1.
int32_t FindNearestTransport(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);

// --- capitals and marked hexes --------------------------------------------------------------
// 1 when every hex within 5 of country's capital holds a unit of a country
// not on its side.
int IsCapitalBlocked(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit, int country);
struct CapitalSearch {
    std::span<const uint32_t, kHexCount> routeCost;  // low 16 bits: route cost of the unit's move search
    bool any = false;                                // also capitals the route cost does not reach
    bool withCountry = false;                        // country index in the high half of the result
    // Blocked capitals count 0x1000 farther; empty: none is blocked.
    std::function<bool(int country)> blocked = {};
};
// The nearest capital of the other side from the unit's map hex; -1.
int32_t FindNearestEnemyCapital(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, const CapitalSearch& how);
// The capital search, the turn's scores and the deployment-hex filter of the
// computer turn's set-up over the document.
CpuTurnSetupRules MakeCpuTurnSetupRules(CZRKGameDoc& doc);
// owner << 16 | hex of the nearest hex with a non-zero mark (low 16 bits)
// owned by a country of the -1-terminated list; -1.
int32_t FindNearestOwnedMarkedHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit,
                                  std::span<const MAPCELL, kHexCount> cells,
                                  std::span<const uint32_t, kHexCount> marks, std::span<const int32_t> countries);
int CountCapturableCityScore(const GAMEDATASTRUCT& game, int country, std::span<const MAPCELL, kHexCount> cells);

// The city and base hexes the country's side may take (unowned or held by
// the other side, not closed to the side, free of units) into out, ended by
// -1 (out may be empty); their number.
int ListBaseHexes(int country, const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                  std::span<const UnitRef, kHexCount> unitMap, std::span<HEXINDEX> out);

// --- bases and withdrawal ---------------------------------------------------------------------
// The maps a base search works on: the live cells, and a grid and reach map
// it overwrites with the unit's move area.
struct BaseSearchMaps {
    std::span<const MAPCELL, kHexCount> cells;
    HexWords grid;
    HexWords reach;
    const MoveRules& rules;
};
// The base the unit would fall back on; every search of the computer player
// for "a base it can reach" means this one. Among the hexes its own country
// or an ally owns and that it may use as a base, the one nearest by hex
// distance (ties: the lower route cost, then the lower hex index), counting
// only hexes its move area reaches (a reach word with neither "not reached"
// nor "no destination", cost above 0) and the hex it stands on.
// With bCheckReach a unit whose move area is refused has no base (-1);
// without it such a unit falls back on the nearest usable hex by distance
// alone (route cost 0). Returns distance << 16 | route cost (the reach
// map's cost, at most 0x7FFF), or -1 when there is none. The grid and reach
// map are left as the search computed them.
int32_t FindReachableBaseHex(UNITSTRUCT& unit, const GAMEDATASTRUCT& game, const BaseSearchMaps& maps,
                             bool bCheckReach);
// Why the unit should draw back to a base, as a key: distance to its
// capital | price per strength point << 16, + 0x40000000 when a base at 4
// or more was found, + 0x20000000 for class 27. -1 (stay) when carried,
// without a carry class, under dwOrder bit 25, with an enemy within 5, at
// half strength or less, with a base nearer than 4, or (bCheckReach) with
// no base for a type of more than 2 movement points.
int32_t RateUnitForWithdrawal(GAMEDATASTRUCT& game, UNITSTRUCT& unit, const BaseSearchMaps& maps, bool bCheckReach);
// Class sums of a side: strength << 16 | count, one word per class.
using ClassSums = std::span<const int32_t, kClassCount>;
// Marks (dwSupplyFlag bit 15) the units of the country that should make way
// and counts them per carry class into counts (cleared first). Mode 3 marks
// every uncarried unit with a carry class 0..6, but only while the own
// fighter classes (33-35, 43, 44, 47, 49) hold 70 % and classes 55-59 50 % of
// the enemy's; other modes mark carry classes 1-4: a type that may occupy when
// it has a base (its reach checked in mode 1), another when it is a gun
// idling far from enemies. Returns the number marked.
int MarkUnitsByForceRatio(GAMEDATASTRUCT& game, int mode, std::span<int, kCarryClasses> counts, int country,
                          const BaseSearchMaps& maps, ClassSums own, ClassSums enemy);

// --- production -----------------------------------------------------------------------------
int GetMaxTypeCostClasses0To32(const COUNTRYSTRUCT& country);
int GetMaxTypeCostClasses33To54(const COUNTRYSTRUCT& country);
// count << 16 | total strength of the country's units of the class.
int32_t CountUnitsOfClass(const COUNTRYSTRUCT& country, int cls);

// --- supply needs ---------------------------------------------------------------------------
// One draw (rand() % 100) only when an armed slot of the current set is empty.
int NeedsAmmunition(const UNITSTRUCT& unit, RuleDraws& draws);
// At most one draw (rand() % 100), only in the class's chance band and
// without dwOrder bit 22.
int UnitNeedsStrengthSupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, RuleDraws& draws);
// NeedsAmmunition's draw first (for a unit carrying nothing), then fuel.
int UnitNeedsFuelAmmoSupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, RuleDraws& draws);
// 1 when the unit is below its class's strength threshold (or marked needing fuel).
int IsBelowStrengthThreshold(const UNITSTRUCT& unit);
// Marks in dwSupplyFlag what each of the country's units wants (0x40000
// strength, 0x20000 fuel or ammunition, 0x10000 at a base, 0x4000 supplied
// by the hex's owner, 0x2000 below its strength threshold). Units in slot
// order; per unit the strength rule, then the fuel and ammunition rule, each
// asked (and drawing) only while its mark is not yet set. 1 when any was marked.
int MarkUnitsNeedingSupply(GAMEDATASTRUCT& game, int country, std::span<const MAPCELL, kHexCount> cells,
                           RuleDraws& draws);

// --- the computer player's marks and cargo ---------------------------------------------------------
void MarkClass26UnitsOnFlaggedHexes(GAMEDATASTRUCT& game, int country);
void ResetClass26UnitFlags(GAMEDATASTRUCT& game, int country);
void ClearCountryUnitFlags(COUNTRYSTRUCT& country, uint32_t mask);
void ClearAllUnitFlags(GAMEDATASTRUCT& game, uint32_t mask);
int TestUnmovedClassFlag4(const UNITSTRUCT& unit);
// The units aboard carrier into out, strongest cargo first; the count.
int SortCarriedUnits(GAMEDATASTRUCT& game, const UNITSTRUCT& carrier, std::span<UNITSTRUCT*> out, bool plain);
// Among the aircraft-like cargo (type flag bit 3): the first with dwOrder
// bit 26, else the last; null.
UNITSTRUCT* FindCarriedUnitWithFlag(GAMEDATASTRUCT& game, const UNITSTRUCT& carrier);

// --- weapons -------------------------------------------------------------------------------------
// 0 when a slot chosen for the next attack (dwWeaponMask) holds a droppable
// weapon, else 1.
int TestSelectedWeaponsFlag10(const UNITSTRUCT& unit);
// The armament set best against the unit's target (refTarget); -1 when none
// fits or it is the set already fitted.
int ChooseModeAgainstTarget(GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// The armament set a naval or air unit of the class should carry, by the
// nearest seen enemies of each kind; 0 when no listed set fits, -1 when it
// is the set already fitted.
int ChooseModeByClass(GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// Distance to the capital | 0x10000 (bombs all used) or | 0x40000000 (with
// 0x20000 unless supplied this turn) for a unit whose set arms a bombing
// weapon; -1 without one.
int32_t GetFlag20WeaponDistanceToCapital(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// On fortress terrain: 1 for a loaded anti-air gun reaching past 1 (flag bit
// 2 clear) before any long surface gun, -1 when long surface guns come first
// or alone, 0 otherwise or elsewhere.
int TestUnitWeaponsOnTerrain35or84(const UNITSTRUCT& unit);
// Summary of a carrier's load (weight x strength | strength << 16, strength
// << 24 for aircraft-like cargo, 0x40000000 when those cannot take off); -1
// for a carrier of class 58 or one that carries nothing.
int32_t GetCarriedLoadSummary(GAMEDATASTRUCT& game, const UNITSTRUCT& carrier);

// --- disposal -----------------------------------------------------------------------------------
// 1 when the unit may be disbanded to make room: not over the unit limit, not
// a kept class, carrying nothing, not a veteran, and its type not newer than
// the first of its class's development list.
int IsUnitDisposable(const UNITSTRUCT& unit, const COUNTRYSTRUCT& country);
// 1 when the unit's map hex is a deployment hex (kinds 1-3, occupied or not)
// within 5 of an enemy capital.
int IsOnEnemyDeploymentHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit,
                           std::span<const MAPCELL, kHexCount> cells, std::span<const UnitRef, kHexCount> hexUnit);
// Merges the deployment hexes (kinds 1-3) within 5 of every enemy capital of
// the country into out (a -1-terminated list, possibly holding hexes
// already); returns the count.
int ListEnemyDeploymentHexes(const GAMEDATASTRUCT& game, int country, std::span<const MAPCELL, kHexCount> cells,
                             std::span<const UnitRef, kHexCount> hexUnit, std::span<HEXINDEX> out);
// Among own units the unit may board, far from enemies: the one whose hex
// costs least on costMap, aircraft within reach of twice the unit's points
// first. Null.
UNITSTRUCT* FindOwnUnitByHexCost(GAMEDATASTRUCT& game, const UNITSTRUCT& unit,
                                 std::span<const uint32_t, kHexCount> costMap, bool groundOnly);
// 1 when an enemy on a neighbour hex can fire at the unit.
int IsEngagedByNeighbour(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                         const UNITSTRUCT& unit);
struct DisposalContext {
    std::span<const MAPCELL, kHexCount> cells;
    std::span<const UnitRef, kHexCount> hexUnit;
    std::span<const HEXINDEX> navalHexes;  // -1-terminated
    bool flag = false;                     // the disbanding pass that needs no free hex
    int minimumFuelUse = 0;                // the turn's minimum fuel use of the unit
};
// Why the unit should go (0: keep it): the reason bit | min(price x strength,
// 65535). Draws rand() % 3, then rand() & 3, each only when its step is reached.
uint32_t RateUnitForDisposal(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, const DisposalContext& ctx,
                             RuleDraws& draws);

// The unit to disband far from the capital: the highest
// (256 - min(strength, fuel)) | nearest enemy distance << 16; null.
UNITSTRUCT* FindDistantUnitToDispose(GAMEDATASTRUCT& game, int country, std::span<const UnitRef, kHexCount> hexUnit);
// The unit with the lowest disposal rating, when the country could use the
// room and the funds for a new unit; with flag only ratings for weak units on
// naval hexes. Null.
UNITSTRUCT* FindUnitToDispose(GAMEDATASTRUCT& game, int country, const DisposalContext& ctx,
                              std::span<const HEXINDEX> groundHexes, const MoveRules& rules, RuleDraws& draws);

// --- merging ----------------------------------------------------------------------------------------
// Over the neighbour hexes of hex: enemy ground units' strength << 16 | count.
uint32_t SumAdjacentEnemyStrength(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                                  HEXINDEX hex, int country);
int IsClass22to25OnTerrain35or84(const UNITSTRUCT& unit);
// Cover of the unit's hex, +256 when its owner is in the -1-terminated list,
// +512 for a fortress unit on fortress terrain.
int GetUnitHexTerrainScore(const UNITSTRUCT& unit, std::span<const int32_t> countries);
// The neighbour of the same type to merge with; its nCpuScore gets the
// direction (0 or more: strength flows to unit; -1: to the partner). With
// onlyActed, only partners that have acted. Null when none.
UNITSTRUCT* FindMergePartner(GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                             const UNITSTRUCT& unit, HEXINDEX hex, std::span<const int32_t> countries,
                             bool onlyActed);

// --- merging and bombing ----------------------------------------------------------------------
// Strength to move between unit and partner by the direction in the
// partner's nCpuScore: | 0x8000 when it flows to the partner; 0 for nothing.
int GetMergeTransferAmount(const UNITSTRUCT& unit, const UNITSTRUCT& partner);

struct BombingTargetContext {
    std::span<const MAPCELL, kHexCount> cells;
    std::span<const UnitRef, kHexCount> hexUnit;
    std::span<const uint32_t, kHexCount> marks;
    std::span<const uint32_t, kHexCount> coverage;
    std::span<const int32_t> enemies;  // -1-terminated
};
// Rating of an enemy-owned hex for bombing: kind | durability << 16, plus
// 0x10000000 when the country's side does not see it; 0 not a target.
uint32_t RateHexAsBombingTarget(const GAMEDATASTRUCT& game, int country, HEXINDEX hex, UnitRef unit,
                                const BombingTargetContext& ctx, bool strict);

}  // namespace zrv
