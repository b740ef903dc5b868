#pragma once
// Operations on one country record and its 64 unit slots: the development
// lists by class and the availability words of the arms types, deployment
// hexes round the capital, capital relocation, unit slots (find, fill,
// create, remove) and taking a defeated country out of play.
//
// The enemy-country list is ListEnemyCountries (GameDoc.h), the side's
// blocked cell bits and the railway bit are GetSideCellMask and
// GetRailwayBit (Construction.h), marking a type seen is MarkArmsTypeSeen
// (GameStart.h); they are not repeated here.

#include <cstdint>
#include <span>

#include "battle/engine/UnitRules.h"
#include "foundation/GameRecords.h"

namespace zrv {

// One class list: entry 0 the produced type, entries 1-9 the evolution chain.
using ClassList = uint32_t[kClassListWords];

// Deployment hex kinds.
enum DeployKind : int {
    kDeployCapital = 0,  // the capital ring, then own ground-deployment hexes (no naval ones)
    kDeployNaval = 1,
    kDeployGround = 2,
    kDeployAir = 3,
};

// The largest weight among the types produced in the first 32 class lists.
int GetHeaviestProducedType(const COUNTRYSTRUCT& country);
// Availability bit 27; an unused slot of the type's class list at its step
// takes the type marked with bit 31.
void MarkArmsTypeDeveloped(COUNTRYSTRUCT& country, int type);
// Marks type seen for every present country on the country's side, or where
// either side is the neutral side 2.
void PassArmsTypeOn(GAMEDATASTRUCT& game, const COUNTRYSTRUCT& country, int type, uint32_t date);
// 1 when the type's step entry was marked retired; availability bit 28 is
// set in any case.
int RetireArmsType(COUNTRYSTRUCT& country, int type);
// The first type of the country's nation due for retirement; -1.
int FindArmsTypeToRetire(const COUNTRYSTRUCT& country, const GAMEDATASTRUCT& game);
// Develops type (with pay: only when the funds cover the full unit, which
// they then pay). Returns 1 when developed.
int DevelopArmsType(GAMEDATASTRUCT& game, COUNTRYSTRUCT& country, int type, bool pay);
// class << 16 | type of the first type the country may develop now; -1.
// Draws once per candidate reaching the start-month test.
int FindDevelopmentOffer(const COUNTRYSTRUCT& country, const GAMEDATASTRUCT& game, RuleDraws& draws);

// Deployment hexes of the kind from ring (a ring list round the capital,
// ended by -1) into out, ended by -1; returns the count.
int FilterCandidateHexes(const COUNTRYSTRUCT& country, std::span<const MAPCELL, kHexCount> cells,
                         std::span<const UnitRef, kHexCount> hexUnit, int kind, std::span<const HEXINDEX> ring,
                         std::span<HEXINDEX> out, bool occupiedAllowed);

// Takes the country out of play: its units and records are cleared, every
// hex it owned loses its owner (a city also takes its next terrain index),
// in the live cells and the saved copy alike.
void RemoveCountryFromPlay(GAMEDATASTRUCT& game, int country, std::span<MAPCELL, kHexCount> cells,
                           std::span<UnitRef, kHexCount> hexUnit);
// The hex the capital moves to when lostHex is lost, kNoHex when no city is
// left (or the capital is elsewhere: then the capital itself).
HEXINDEX FindCapitalRelocation(const GAMEDATASTRUCT& game, int country, HEXINDEX lostHex,
                               std::span<const MAPCELL, kHexCount> cells);
// 1 when the country keeps a capital (moved or untouched), 0 when none is left.
int RelocateCapital(GAMEDATASTRUCT& game, int country, HEXINDEX lostHex, std::span<const MAPCELL, kHexCount> cells);

int GetNearestOwnUnitDistance(const COUNTRYSTRUCT& country, HEXINDEX hex);
int GetCountryDisplayIndex(const COUNTRYSTRUCT& country, bool alternate);

int FindFreeUnitSlot(const COUNTRYSTRUCT& country);
// The pool record enters the first free slot at hex; returns the slot, -1.
int PlacePoolUnit(COUNTRYSTRUCT& country, UNITSTRUCT& pool, HEXINDEX hex);
// Removes the unit and everything aboard; returns how many left the country
// (1 and no count change for a unit kept in the pool).
int RemoveCountryUnit(COUNTRYSTRUCT& country, UNITSTRUCT& unit);
// Initialises the slot's record and counts it; returns the slot.
int CreateCountryUnit(COUNTRYSTRUCT& country, int slot, HEXINDEX hex, int type, uint32_t date,
                      const GAMEDATASTRUCT* game, std::span<const UNITSTRUCT> pool);

int GetEmptyClassListCode(const ClassList& list);
int FindAvailableListEntry(uint32_t date, const ClassList& list);
int CountHumanCountries(const GAMEDATASTRUCT& game);

}  // namespace zrv
