#pragma once
// The unit commands, each split into a check and an effect. A check reads the
// game and answers 0 (allowed) or the message code of the refusal (an index
// of the library's ErrorMessage table; the view shows it). Only the resupply
// and replenishment checks touch the unit: they keep its "wanted" and
// "checked" flag bits, which the supply effects read. An effect assumes its
// check passed; the document's order back-ends add the map, the text record
// and the notifications around it.

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

// dwSupplyFlag marks of the computer player that the effects clear.
inline constexpr uint32_t kSupplyNeedsStock = 0x20000u;
inline constexpr uint32_t kSupplyNeedsStrength = 0x40000u;
// State word: replenishment always at the maximum rate (for country 0).
inline constexpr uint32_t kStateMaxReplenish = 0x00008000u;

// --- relations -------------------------------------------------------------------------------
// The owner country of a cell, null when unowned (or an owner index beyond 7).
const COUNTRYSTRUCT* CellOwnerCountry(const GAMEDATASTRUCT& game, MAPCELL cell);
bool AreAllies(const COUNTRYSTRUCT& a, const COUNTRYSTRUCT& b);
// Supply table byte for a unit's country id and an owner's; 0 when either id is outside 0..33.
int SupplyTableEntry(int unitCountryId, int ownerCountryId);
bool IsFlyingWeather(const GAMEDATASTRUCT& game);

// --- shared supply rules -------------------------------------------------------------------
// Owner supply rule at a cell: 0, 64, 65, 67.
int CheckOwnerSupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell);
// Hex owner rule of the resupply test: 0, 53, 55 (fuel only).
int CheckHexOwnerResupply(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell);
enum class SupplyMode { Resupply, Base };
// The hex supply test for the unit at cell (its carrier's, when carried).
int CheckSupplyAtHex(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, MAPCELL cell, SupplyMode mode,
                     bool testHexWhenCarried = false);
// Supply from a supply unit on a neighbour hex: 59, 52, the base hex test, 60.
int CheckUnitSupply(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                    const UNITSTRUCT& unit);
// The resupply cost test (clears, then sets, flag bits 9 and 10): 63, 62, 54, 61.
int CheckSupplyFromOwner(const GAMEDATASTRUCT& game, UNITSTRUCT& unit);
// Strength replenishment (clears, then sets, flag bit 8): 58, 70, 66, 64, 65, 67, 68.
int CheckReplenish(const GAMEDATASTRUCT& game, UNITSTRUCT& unit);

// --- checks ------------------------------------------------------------------------------------
int CheckRecall(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                std::span<const UnitRef, kHexCount> hexUnit, const UNITSTRUCT& unit);
int CheckDive(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, bool siteOnly = false);
int CheckSurface(const UNITSTRUCT& unit);
int CheckUnitDisband(const UNITSTRUCT& unit);
int CheckUnloadTargetHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                         std::span<const UnitRef, kHexCount> hexUnit,
                         std::span<const uint32_t, kHexCount> sensor, const UNITSTRUCT& carrier,
                         bool askWeather);
// With hex < 0 no target is tested; anyOwner accepts neutral and own-side owners.
int CheckUnitBombing(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                     const UNITSTRUCT& unit, HEXINDEX hex, bool anyOwner = false);
int CheckUnitAttack(GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// With hex < 0 no cell is tested.
int CheckOccupy(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells, const UNITSTRUCT& unit,
                HEXINDEX hex, bool anyOwner = false);
int CheckBoardCarrier(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, const UNITSTRUCT& carrier);
// Merge partners' hexes into out, ended by -1; the count.
int ListMergePartners(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                      const UNITSTRUCT& unit, std::span<HEXINDEX> out);
int CheckMergeUnitState(const GAMEDATASTRUCT& game, std::span<const UnitRef, kHexCount> hexUnit,
                        const UNITSTRUCT& unit);
int CheckUnitJettison(const UNITSTRUCT& unit);
int CheckUnitArmsChange(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// full: also experience, the owner rule at hex (when hex >= 0) and the funds.
int CheckEvolution(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit, bool full, HEXINDEX hex);
int CheckImprovement(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);

// --- costs and candidates ------------------------------------------------------------------------
int GetEvolutionCost(int oldType, int newType);
int GetImprovementCost(int oldType, int newType);
// first | second << 16 of the next types in the class's development list; 0 none.
uint32_t GetEvolutionTargets(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit);
// Available improvement types of the unit's type into out, ended by -1; the count.
int GetImprovementCandidates(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit, std::span<int> out);
int GetArmsChangeCost(const UNITSTRUCT& unit, int newSet);

// --- effects -------------------------------------------------------------------------------------
void DiveUnit(const GAMEDATASTRUCT& game, UNITSTRUCT& unit);
void SurfaceUnit(const GAMEDATASTRUCT& game, UNITSTRUCT& unit, bool free);
// The computer player's form: could any of the listed carried units get off
// a carrier standing at hex (bases and landing tested there)? Changes nothing.
bool CanUnloadToAnyHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                       std::span<const UnitRef, kHexCount> hexUnit,
                       std::span<const uint32_t, kHexCount> sensor, const UNITSTRUCT& carrier, HEXINDEX hex,
                       std::span<const UNITSTRUCT* const> cargo);
// A type refuelling at bases, out of fuel, where the resupply-mode hex test refuses.
bool IsFuelStarvedFixedUnit(const GAMEDATASTRUCT& game, const UNITSTRUCT& unit);
// The cargo leaves its carrier onto hex; true when the carrier may unload again.
bool UnloadUnit(GAMEDATASTRUCT& game, std::span<MAPCELL, kHexCount> cells,
                std::span<UnitRef, kHexCount> hexUnit, std::span<const uint32_t, kHexCount> sensor,
                UNITSTRUCT& carrier, UNITSTRUCT& cargo, HEXINDEX hex);
// Bombs (or occupies) the cell; the result is the damage, bit 31 when the
// terrain was ruined (or the hex captured). One draw when the raw damage is above 0.
uint32_t BombHex(const GAMEDATASTRUCT& game, UNITSTRUCT& unit, MAPCELL& cell, RuleDraws& draws);
uint32_t OccupyHex(const GAMEDATASTRUCT& game, UNITSTRUCT& unit, MAPCELL& cell, RuleDraws& draws);
inline constexpr uint32_t kRaidDecisive = 0x80000000u;
// Hex rating of the computer player for bombing (0 = not worth it).
using HexRating = std::function<int(HEXINDEX hex)>;
HEXINDEX FindBestBombTargetHex(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                               const UNITSTRUCT& unit, const MapRect& area, bool anyOwner, bool terrainScore,
                               const HexRating& rating);
// The computer player's bombing query: 119, 120, or the check of the hex.
int CheckBombingQuery(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells,
                      const UNITSTRUCT& unit, HEXINDEX hex, bool airRequired, const MapRect& area,
                      HexRating rating = {});
void BoardCarrier(UNITSTRUCT& unit, UNITSTRUCT& carrier);

struct MergeBuffer {
    int strength = 0;
    int fuel = 0;
    int exp = 0;
    std::array<int, kAmmoSlots> ammo{};
};
MergeBuffer CopyUnitToMergeBuffer(const UNITSTRUCT& unit);
// amount > 0 moves strength from second to first, < 0 the other way.
void TransferMergeStrength(MergeBuffer& first, MergeBuffer& second, int amount);
void WriteMergeBuffer(const MergeBuffer& buffer, UNITSTRUCT& unit);

// minimumFuelUse: the turn's minimum use of the unit (negative: no state given).
void JettisonStores(UNITSTRUCT& unit, int minimumFuelUse);

// Buys up to the type's replenishment (drawn 1..r unless maxRate) while the
// budget pays; returns the points bought.
int ReplenishStrength(UNITSTRUCT& unit, int& budget, bool maxRate, RuleDraws& draws);
struct SupplyRequest {
    int budget = 0;
    bool withState = true;   // a state is given (maximum rate, fuel-only owners)
    bool replenish = false;  // also replenish strength
    UNITSTRUCT* supplier = nullptr;
    UNITSTRUCT* carrier = nullptr;  // the carried unit's carrier
};
// Returns the budget left (with a supplier: its stock left).
int SupplyUnit(GAMEDATASTRUCT& game, UNITSTRUCT& unit, const SupplyRequest& request, RuleDraws& draws);
// Changes the armament set paying from the country's funds; the flag word stays as it was.
void ChangeUnitArms(GAMEDATASTRUCT& game, UNITSTRUCT& unit, int newSet, RuleDraws& draws);
// Free full resupply of carried-over units: passes until nothing is spent.
void FreeFullResupply(GAMEDATASTRUCT& game, UNITSTRUCT& unit, int passes, RuleDraws& draws);
// The unit becomes newType (evolution resets experience); pays from the country's funds.
void ChangeUnitType(GAMEDATASTRUCT& game, UNITSTRUCT& unit, int newType, bool evolution, RuleDraws& draws);
// Takes a type out of a class list; returns the removed type (-1 none).
int RemoveTypeListEntry(GAMEDATASTRUCT& game, int country, int cls, int index);

}  // namespace zrv
