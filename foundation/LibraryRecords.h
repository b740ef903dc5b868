#pragma once
// Records of the data library. The pointer-free ones cross the boundary
// between the library and the programs byte for byte, so each keeps its exact
// layout (checked below). Records that hold addresses are native structs: a
// pointer is 8 bytes here, so they are always reached as typed arrays, never
// by a byte stride.
//
// Flag words are read only through the named accessors at the end; the bit
// numbers live in one place.

#include <cstddef>
#include <cstdint>

// Packed dates (PackDate: year << 16 | month << 8 | day, two-digit year, with
// the hour << 24 where a record says so) are the game-state records' own.
#include "foundation/GameRecords.h"

namespace zrv {

// One armament set: its identifier and the rounds of weapon slots 0..7 when full.
struct ARMSET {
    int32_t nSetId;
    int32_t nCount[8];
};
static_assert(sizeof(ARMSET) == 36);

// A unit type.
struct ARMSSTRUCT {
    int32_t nArmsNo;
    int32_t nPicture;
    int32_t nClass;
    int32_t nNation;
    uint32_t dwArmsFlag;
    int32_t nStrengthMax;
    int32_t nPrice;
    int32_t nReplenish;
    int32_t nMoveType;
    int32_t nMovePoint;
    int32_t nSight;
    int16_t wRadar;
    int16_t wSonar;
    int32_t nHeight;
    int32_t nDomain;
    int32_t nDefenceAir;
    int32_t nDefenceSurface;
    int32_t nWeight;
    int32_t nBaseKind;
    int32_t nFuelMax;
    int32_t nFuelPrice;
    int32_t nCarryClass;
    int32_t nCarry[7];
    int32_t nEvolution;
    int16_t wBattery;
    int16_t wImprove[5];
    uint32_t dwReserved80;
    uint32_t dwDateFrom;
    int32_t nEntryMode;
    uint32_t dwDateNewEnd;
    int32_t nDevelopKind;
    uint32_t dwDateRetire;
    uint32_t dwScenarioFlag;
    ARMSET Arm[6];
};
static_assert(sizeof(ARMSSTRUCT) == 372);
static_assert(offsetof(ARMSSTRUCT, wRadar) == 0x2C);
static_assert(offsetof(ARMSSTRUCT, wSonar) == 0x2E);
static_assert(offsetof(ARMSSTRUCT, nHeight) == 0x30);
static_assert(offsetof(ARMSSTRUCT, nWeight) == 0x40);
static_assert(offsetof(ARMSSTRUCT, nCarryClass) == 0x50);
static_assert(offsetof(ARMSSTRUCT, nCarry) == 0x54);
static_assert(offsetof(ARMSSTRUCT, nEvolution) == 0x70);
static_assert(offsetof(ARMSSTRUCT, wBattery) == 0x74);
static_assert(offsetof(ARMSSTRUCT, wImprove) == 0x76);
static_assert(offsetof(ARMSSTRUCT, dwDateFrom) == 0x84);
static_assert(offsetof(ARMSSTRUCT, dwDateNewEnd) == 0x8C);
static_assert(offsetof(ARMSSTRUCT, dwDateRetire) == 0x94);
static_assert(offsetof(ARMSSTRUCT, dwScenarioFlag) == 0x98);
static_assert(offsetof(ARMSSTRUCT, Arm) == 0x9C);

// One weapon slot; unit type t owns entries 8·t .. 8·t + 7.
struct WEAPONSTRUCT {
    int32_t nWeaponNo;
    int32_t nPosition;
    uint32_t dwWeaponFlag;
    int32_t nPieces;
    uint8_t byType;
    uint8_t byGroup;
    uint8_t byReserved[2];
    int32_t nAttack[5];
    int32_t nRange[4];
    int32_t nAccuracy;
    int32_t nInitiative[4];
    int32_t nRoundPrice;
    int32_t nLoad;
};
static_assert(sizeof(WEAPONSTRUCT) == 84);
static_assert(offsetof(WEAPONSTRUCT, byType) == 0x10);
static_assert(offsetof(WEAPONSTRUCT, byGroup) == 0x11);
static_assert(offsetof(WEAPONSTRUCT, nAttack) == 0x14);
static_assert(offsetof(WEAPONSTRUCT, nRange) == 0x28);
static_assert(offsetof(WEAPONSTRUCT, nAccuracy) == 0x38);
static_assert(offsetof(WEAPONSTRUCT, nInitiative) == 0x3C);
static_assert(offsetof(WEAPONSTRUCT, nRoundPrice) == 0x4C);
static_assert(offsetof(WEAPONSTRUCT, nLoad) == 0x50);

// A terrain or a route kind (a route uses dwTrrnFlag, dwBaseField, nCover and nRainLimit).
struct TRRNSTRUCT {
    uint32_t dwTrrnFlag;
    uint32_t dwBaseField;
    int32_t nDurableMax;
    int32_t nDurableRate;
    int32_t nCover;
    int32_t nBuiltForm;
    int32_t nRuinForm;
    int32_t nRainLimit;
    int32_t nFloodForm;
    int32_t nIceLimit;
    int32_t nFrozenForm;
    int32_t nHeight;
    int32_t nPicture;
    int32_t nConnectMode;
};
static_assert(sizeof(TRRNSTRUCT) == 56);
static_assert(offsetof(TRRNSTRUCT, nHeight) == 0x2C);
static_assert(offsetof(TRRNSTRUCT, nConnectMode) == 0x34);

// A climate area; temperatures in tenths of a degree, months 1..12 at [0..11].
struct TEMPERATURESTRUCT {
    uint32_t dwFlag;
    int32_t nMax[12];
    int32_t nMin[12];
};
static_assert(sizeof(TEMPERATURESTRUCT) == 100);
static_assert(offsetof(TEMPERATURESTRUCT, nMin) == 0x34);

// A city of the world-situation map: map pixel position, kind, its starting
// owner value (the campaign record's city word) and its name.
struct IWCITYSTRUCT {
    int32_t x;
    int32_t y;
    int32_t nKind;
    int32_t nValue;
    char szName[32];
};
static_assert(sizeof(IWCITYSTRUCT) == 48);
static_assert(offsetof(IWCITYSTRUCT, nValue) == 12);

// ---- Native records (they hold addresses) ----

// A historical event. Dates are compared whole and signed, hour included.
struct HISTORYSTRUCT {
    uint32_t dwDateTime;
    char szTitle[16];
    char szText[48];
    // null, or three caption lines (an empty line ends them); non-null also
    // makes the event a movie event.
    const char* const* pCaption;
};

// A country's start entry on the campaign map: a flag value (negative: none) and its position.
struct SCNRSTARTENTRY {
    int32_t nValue;
    int32_t x;
    int32_t y;
};

// What follows one outcome (0 great victory, 1 victory, 2 draw).
struct SCNRBRANCH {
    // Next scenario index; negative: the campaign ends with ending −(n + 1).
    int32_t nNext;
    // Per country: bit 30 lower the flag, bit 29 raise one, bit 28 only when the
    // country is in the campaign mask, low 16 bits the flag to raise.
    uint32_t dwCountryResult[8];
    // Groups of (country id, then (city, value) pairs, ended by a negative
    // word); a negative word where a group would start ends the list.
    const int32_t* pCityChange;
    // (index, value) pairs ended by a negative word.
    const int32_t* pCountryChange;
    const char* pszOutcome;
};

struct SCNRBASESTRUCT {
    // The scenario file's name (key of the scenario and file "Scenario\" + name),
    // at most 15 characters; the area name shares the record's first 48 bytes.
    char szName[16];
    char szArea[32];
    int32_t rcMap[4];  // left, top, right, bottom on the campaign map
    SCNRSTARTENTRY Start[8];
    // The text the menu's briefing writes under the scenario's title.
    const char* pszDescription;
    // (turn, packed unit) pairs ended by a negative turn. Packed unit: bits
    // 16-31 the unit type, 8-15 the strength (0 = full), 0-7 the experience.
    const int32_t* pReinforce;
    SCNRBRANCH Branch[3];
};

// A picture of an ending: titles and body text around a picture and its palette.
struct ENDINGPICTURE {
    const char* pszTitle;
    const char* pszSubtitle;
    char szPicture[16];
    char szPalette[16];
    const char* pszBody;
};

struct ENDINGSTRUCT {
    int32_t nTrack;
    const int32_t* pScript;  // script words, ended by opcode 0
    const ENDINGPICTURE* pPicture;
    // Number of records at pPicture, so that a script asking for more pictures
    // than exist can be stopped instead of reading past the array.
    int32_t nPictureCount;
};

// ---- Flag words ----

// Unit type flags (ARMSSTRUCT::dwArmsFlag).
constexpr bool RefuelsAtBases(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 0)) != 0;
}
constexpr bool CountedInPieces(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 1)) != 0;
}
constexpr bool ImprovesAwayFromSupply(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 2)) != 0;
}
constexpr bool CanOccupy(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 3)) != 0;
}
constexpr bool IsMarchType(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 4)) != 0;
}
constexpr bool IsNightCapable(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 8)) != 0;
}
constexpr bool BatteryDrainsInStorm(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 9)) != 0;
}
constexpr bool NeverOnBatteryAlone(const ARMSSTRUCT& a)
{
    return (a.dwArmsFlag & (1u << 10)) != 0;
}

// Classes 0-32 are ground, 33-54 air (49-53 only when the base kind is not
// 4) and 55-62 naval, with 49-53 of base kind 4; 58 is the carrier and 59 the
// submarine.
constexpr bool IsNavalClass(const ARMSSTRUCT& a)
{
    return (a.nClass >= 55 && a.nClass <= 62) || (a.nClass >= 49 && a.nClass <= 53 && a.nBaseKind == 4);
}
constexpr bool IsAirClass(const ARMSSTRUCT& a)
{
    return (a.nClass >= 33 && a.nClass <= 48) || a.nClass == 54 ||
           (a.nClass >= 49 && a.nClass <= 53 && a.nBaseKind != 4);
}
constexpr bool IsGroundClass(const ARMSSTRUCT& a)
{
    return a.nClass >= 0 && a.nClass <= 32;
}

// The move type of a submarine (may dive); a submerged one moves with row 32.
inline constexpr int kMoveTypeSubmarine = 31;
inline constexpr int kMoveTypeSubmerged = 32;

// Weapon flags (WEAPONSTRUCT::dwWeaponFlag).
constexpr bool IsDoubleWeapon(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 0)) != 0;
}
// Bits 1 and 2 pick the display colour of the weapon's line; bit 2 is also
// tested by the fortress-hex rating.
constexpr bool WeaponColourBit1(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 1)) != 0;
}
constexpr bool WeaponColourBit2(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 2)) != 0;
}
constexpr bool LoadCountsAgainstSurface(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 3)) != 0;
}
constexpr bool IsDroppable(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 4)) != 0;
}
constexpr bool IsBombingWeapon(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 5)) != 0;
}
constexpr bool IsOccupationWeapon(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 6)) != 0;
}
constexpr int UsagePattern(const WEAPONSTRUCT& w)
{
    return static_cast<int>((w.dwWeaponFlag >> 8) & 7u);
}
constexpr bool UsagePatternApplies(const WEAPONSTRUCT& w)
{
    return (w.dwWeaponFlag & (1u << 11)) != 0;
}

// Weapon types singled out by the rules; the icon sheet has cells 0..36.
inline constexpr int kWeaponTypeIgnoresCover = 23;
inline constexpr int kWeaponTypeTorpedo = 31;
inline constexpr int kWeaponTypeDepthCharge = 32;
inline constexpr int kWeaponTypeDropTank = 33;
inline constexpr int kWeaponTypeConstruction = 34;
inline constexpr int kWeaponTypeSupplyStock = 35;
inline constexpr int kWeaponTypeCarrySpace = 36;
inline constexpr int kWeaponTypeCount = 37;

// Terrain flags (TRRNSTRUCT::dwTrrnFlag).
constexpr uint32_t ShapeGroupBits(const TRRNSTRUCT& t)
{
    return t.dwTrrnFlag & 0x1FFu;
}
constexpr bool IsIncomeHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 10)) != 0;
}
constexpr bool IsCityHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 11)) != 0;
}
constexpr bool IsOwnCityThreatHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 13)) != 0;
}
constexpr bool AllowsTorpedoFire(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 14)) != 0;
}
constexpr bool TerrainTableBit15(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 15)) != 0;
}
constexpr bool CarrierTakesLightAsClass0(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 16)) != 0;
}
constexpr bool IsDeepWater(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 17)) != 0;
}
constexpr bool IsNoAirBase(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 18)) != 0;
}
constexpr bool RouteServesAirBase(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 19)) != 0;
}
constexpr bool RouteFlagsCountForLanding(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 20)) != 0;
}
constexpr bool IsLandingHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 21)) != 0;
}
constexpr bool IsMudImmune(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 22)) != 0;
}
constexpr bool HasDurabilityFloor(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 24)) != 0;
}
constexpr bool RoutesBelongToTerrain(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 25)) != 0;
}
constexpr bool RoutesMayBeLaid(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 26)) != 0;
}
constexpr bool IsExcludedFromCapitalRing(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 27)) != 0;
}
constexpr bool IsAirDeploymentHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 28)) != 0;
}
constexpr bool IsGroundDeploymentHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 29)) != 0;
}
constexpr bool IsNavalDeploymentHex(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 30)) != 0;
}
constexpr bool IsOccupiable(const TRRNSTRUCT& t)
{
    return (t.dwTrrnFlag & (1u << 31)) != 0;
}

// The 4-bit field of a base word for base kind k (0..7): bit 0 a base that snow
// closes, bits 1 and 2 a base, bit 2 also resupply. A kind outside 0..7 has none.
constexpr uint32_t BaseNibble(uint32_t baseField, int kind)
{
    return (kind < 0 || kind > 7) ? 0u : (baseField >> (4 * kind)) & 0xFu;
}

// Climate flags (TEMPERATURESTRUCT::dwFlag).
constexpr bool FogPossible(const TEMPERATURESTRUCT& t)
{
    return (t.dwFlag & 1u) != 0;
}
constexpr bool SandstormPossible(const TEMPERATURESTRUCT& t)
{
    return (t.dwFlag & 2u) != 0;
}

// Table shapes that the programs rely on.
inline constexpr int kMaxUnitTypes = 3072;
inline constexpr int kWeaponSlots = 8;
inline constexpr int kTerrainCount = 128;
inline constexpr int kCostTerrainColumns = 91;  // terrain indexes 0..90 have a cost column
inline constexpr int kCostColumns = 96;         // 91..95 are route kinds 0..4
inline constexpr int kRouteKinds = 5;
inline constexpr int kMoveTypes = 34;
inline constexpr int kCountryIds = 34;
inline constexpr int kUnitClasses = 63;
inline constexpr int kTerrainColorSets = 8;
inline constexpr int kTerrainColorBytes = 328;  // 82 RGBQUADs for palette entries 98..179
inline constexpr int kMaxWorldCities = 240;
inline constexpr int kMaxWorldNations = 64;

}  // namespace zrv
