#pragma once
// The game-state records. A battle lives in one flat block, GAMEDATASTRUCT,
// with no pointers in it, so saved games store it byte for byte; a scenario
// file supplies its header and the first part of each country record, and the
// campaign record carries a country and the carry-over units between
// scenarios. Every offset below is file layout (little-endian), hence the
// static_asserts: a field that moves breaks every stored file.
//
// Packed words (map cells, unit references, dates, hexes, cargo words) are
// plain u32 in the records and are only taken apart through the constexpr
// accessors here, so no shift or mask is repeated elsewhere.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace zrv {

static_assert(std::endian::native == std::endian::little, "records are stored as they lie in memory");

// ---------------------------------------------------------------------------
// Sizes of the world.

inline constexpr int kCountryCount = 8;     // countries per game
inline constexpr int kUnitSlots = 64;       // unit slots per country
inline constexpr int kCarryUnitCount = 250; // carry-over pool of a campaign
inline constexpr int kMapSize = 128;        // hexes per row and per column
inline constexpr int kHexCount = kMapSize * kMapSize;
inline constexpr int kArmsCount = 3072;     // per-type words (unit types 0..3071)
inline constexpr int kClassCount = 63;      // development classes
inline constexpr int kClassListWords = 10;  // produced type + 9 of the evolution chain
inline constexpr int kHistoryCount = 128;   // campaign history records
inline constexpr int kWorldCityCount = 240;
inline constexpr int kWorldNationCount = 64;
inline constexpr int kCityNameCount = 512;  // city names of one map
inline constexpr int kCountryIdCount = 34;  // country ids of the data library
inline constexpr int kDisplayCount = 16;    // flag and colour sets
inline constexpr int kCostTerrainLimit = 90; // highest terrain index the cost tables cover
inline constexpr int kAmmoSlots = 8;

// ---------------------------------------------------------------------------
// HEXINDEX: row << 7 | column; negative = no hex. Odd rows sit half a hex to
// the right.

using HEXINDEX = int32_t;

constexpr HEXINDEX MakeHex(int row, int column) { return (row << 7) | column; }
constexpr int HexRow(HEXINDEX hex) { return (hex >> 7) & 0x7F; }
constexpr int HexColumn(HEXINDEX hex) { return hex & 0x7F; }
constexpr bool IsMapHex(HEXINDEX hex) { return hex >= 0 && hex < kHexCount; }

static_assert(MakeHex(127, 127) == kHexCount - 1);
static_assert(HexRow(MakeHex(5, 9)) == 5 && HexColumn(MakeHex(5, 9)) == 9);

// ---------------------------------------------------------------------------
// UnitRef: low half the country index, high half the unit slot.

using UnitRef = uint32_t;

inline constexpr UnitRef kNoUnit = 0xFFFFFFFFu;

constexpr UnitRef MakeUnitRef(int country, int slot)
{
    return (static_cast<uint32_t>(slot) << 16) | (static_cast<uint32_t>(country) & 0xFFFFu);
}
constexpr int RefCountry(UnitRef ref) { return static_cast<int>(ref & 0xFFFFu); }
constexpr int RefSlot(UnitRef ref) { return static_cast<int>(ref >> 16); }
// True when ref names a unit slot that exists (not whether a unit is in it).
constexpr bool IsUnitRef(UnitRef ref)
{
    return ref != kNoUnit && RefCountry(ref) < kCountryCount && RefSlot(ref) < kUnitSlots;
}

static_assert(RefCountry(MakeUnitRef(7, 63)) == 7 && RefSlot(MakeUnitRef(7, 63)) == 63);
static_assert(MakeUnitRef(0, 0) == 0 && IsUnitRef(0) && !IsUnitRef(kNoUnit));

// ---------------------------------------------------------------------------
// MAPCELL: one word per hex.

using MAPCELL = uint32_t;

inline constexpr MAPCELL kCellTerrainMask = 0x0000007Fu;
inline constexpr MAPCELL kCellCityName = 0x00000080u;
inline constexpr MAPCELL kCellDurabilityMask = 0x0000FF00u;
inline constexpr MAPCELL kCellOwnerMask = 0x000F0000u;
inline constexpr MAPCELL kCellFog = 0x00100000u;
inline constexpr MAPCELL kCellCpuMark = 0x00200000u;
inline constexpr MAPCELL kCellRouteMask = 0x1F000000u;
inline constexpr MAPCELL kCellClosedSide1 = 0x20000000u;
inline constexpr MAPCELL kCellClosedSide0 = 0x40000000u;
inline constexpr MAPCELL kCellClosedAll = 0x80000000u;

static_assert((kCellTerrainMask | kCellCityName | kCellDurabilityMask | kCellOwnerMask | kCellFog | kCellCpuMark |
               kCellRouteMask | kCellClosedSide1 | kCellClosedSide0 | kCellClosedAll) == 0xFF3FFFFFu);
static_assert((kCellTerrainMask & kCellCityName) == 0 && (kCellRouteMask & kCellClosedSide1) == 0);

constexpr int CellTerrain(MAPCELL c) { return static_cast<int>(c & kCellTerrainMask); }
constexpr MAPCELL WithTerrain(MAPCELL c, int terrain)
{
    return (c & ~kCellTerrainMask) | (static_cast<MAPCELL>(terrain) & kCellTerrainMask);
}
constexpr bool CellHasCityName(MAPCELL c) { return (c & kCellCityName) != 0; }
constexpr MAPCELL WithCityName(MAPCELL c, bool on) { return on ? (c | kCellCityName) : (c & ~kCellCityName); }
constexpr int CellDurability(MAPCELL c) { return static_cast<int>((c & kCellDurabilityMask) >> 8); }
constexpr MAPCELL WithDurability(MAPCELL c, int durability)
{
    return (c & ~kCellDurabilityMask) | ((static_cast<MAPCELL>(durability) << 8) & kCellDurabilityMask);
}
// Owner country index, or -1 when the hex has no owner (stored as index + 1).
constexpr int CellOwner(MAPCELL c) { return static_cast<int>((c & kCellOwnerMask) >> 16) - 1; }
constexpr MAPCELL WithOwner(MAPCELL c, int country)
{
    return (c & ~kCellOwnerMask) | ((static_cast<MAPCELL>(country + 1) << 16) & kCellOwnerMask);
}
constexpr bool CellInFog(MAPCELL c) { return (c & kCellFog) != 0; }
constexpr MAPCELL WithFog(MAPCELL c, bool on) { return on ? (c | kCellFog) : (c & ~kCellFog); }
constexpr bool CellCpuMarked(MAPCELL c) { return (c & kCellCpuMark) != 0; }
constexpr MAPCELL WithCpuMark(MAPCELL c, bool on) { return on ? (c | kCellCpuMark) : (c & ~kCellCpuMark); }
// Route bits: bit k set = route kind k (0..4) runs through the hex.
constexpr int CellRoutes(MAPCELL c) { return static_cast<int>((c & kCellRouteMask) >> 24); }
constexpr bool CellHasRoute(MAPCELL c, int kind) { return ((CellRoutes(c) >> kind) & 1) != 0; }
constexpr MAPCELL WithRoutes(MAPCELL c, int routes)
{
    return (c & ~kCellRouteMask) | ((static_cast<MAPCELL>(routes) << 24) & kCellRouteMask);
}
// Closed to side 0 or 1, or to every unit.
constexpr bool CellClosedToSide(MAPCELL c, int side)
{
    return (c & kCellClosedAll) != 0 || (side == 0 && (c & kCellClosedSide0) != 0) ||
           (side == 1 && (c & kCellClosedSide1) != 0);
}

static_assert(CellOwner(0) == -1 && CellOwner(WithOwner(0, 7)) == 7);
static_assert(CellDurability(WithDurability(0xFFFFFFFFu, 250)) == 250);
static_assert(WithTerrain(0xFFFFFFFFu, 0) == 0xFFFFFF80u);

// ---------------------------------------------------------------------------
// Packed date: hour << 24 | year << 16 | month << 8 | day. Dates compare as
// plain numbers once the hour is masked off (the year byte is the highest).

inline constexpr uint32_t kDateMask = 0x00FFFFFFu;
inline constexpr uint32_t kDateHourStep = 0x02000000u; // one game step: two hours

constexpr uint32_t PackDate(int year, int month, int day, int hour = 0)
{
    return (static_cast<uint32_t>(hour & 0xFF) << 24) | (static_cast<uint32_t>(year & 0xFF) << 16) |
           (static_cast<uint32_t>(month & 0xFF) << 8) | static_cast<uint32_t>(day & 0xFF);
}
constexpr int DateHour(uint32_t d) { return static_cast<int>(d >> 24); }
constexpr int DateYear(uint32_t d) { return static_cast<int>((d >> 16) & 0xFF); }
constexpr int DateMonth(uint32_t d) { return static_cast<int>((d >> 8) & 0xFF); }
constexpr int DateDay(uint32_t d) { return static_cast<int>(d & 0xFF); }
constexpr uint32_t DateOnly(uint32_t d) { return d & kDateMask; }

static_assert(DateOnly(PackDate(41, 12, 31, 22)) < DateOnly(PackDate(42, 1, 1, 0)));
static_assert(DateHour(PackDate(41, 12, 31, 22)) == 22 && DateYear(PackDate(41, 12, 31, 22)) == 41);

// Two u16 in one word (the header's turn limits, the area word).
constexpr int LowHalf(uint32_t w) { return static_cast<int>(w & 0xFFFFu); }
constexpr int HighHalf(uint32_t w) { return static_cast<int>(w >> 16); }

// ---------------------------------------------------------------------------
// GAMEPHASE: the turn state in GAMEDATASTRUCT::nFlowState.

enum GAMEPHASE : int32_t {
    PHASE_START = 1,
    PHASE_NEWTURN = 2,
    PHASE_COUNTRYSTART = 3,
    PHASE_HUMAN = 4,
    PHASE_ENDPHASE = 5,
    PHASE_JUDGE = 6,
    PHASE_SCENARIOEND = 7,
    PHASE_CPU = 8,
    PHASE_9 = 9,
    PHASE_NEWWEAPON = 10,
    PHASE_RETIREWEAPON = 11,
    PHASE_MARCH = 12,
    PHASE_HISTORY = 13,
    PHASE_14 = 14,
    PHASE_CLOSETURN = 15,
    PHASE_WAITCLICK = 16,
    PHASE_GAMEOVER = 17,
    PHASE_HANDOVER = 18,
    PHASE_REINFORCE = 19,
};

// ---------------------------------------------------------------------------
// Record flag bits used by more than one module.

inline constexpr uint32_t kCountryPresent = 0x80000000u; // COUNTRYSTRUCT::dwFlag
inline constexpr uint32_t kUnitInUse = 0x80000000u;      // UNITSTRUCT::dwFlag
inline constexpr uint32_t kUnitCarried = 0x00800000u;    // UNITSTRUCT::dwFlag: inside a carrier
inline constexpr uint32_t kOptionCampaign = 0x40000000u; // game option word: campaign game (valid save)
inline constexpr uint32_t kOptionExtendedMap = 0x00004000u;

// dwCargo: low half the number of carried units, high half the carrier's slot
// (0xFFFF none).
inline constexpr int kNoCarrier = 0xFFFF;
constexpr int CargoCount(uint32_t cargo) { return static_cast<int>(cargo & 0xFFFFu); }
constexpr int CargoCarrier(uint32_t cargo) { return static_cast<int>(cargo >> 16); }
constexpr uint32_t MakeCargo(int carrier, int count)
{
    return (static_cast<uint32_t>(carrier) << 16) | (static_cast<uint32_t>(count) & 0xFFFFu);
}
static_assert(MakeCargo(kNoCarrier, 0) == 0xFFFF0000u);

// ---------------------------------------------------------------------------
// The records.

// Playable map area, inclusive hex columns and rows.
struct MapRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
static_assert(sizeof(MapRect) == 16);

struct UNITSTRUCT {
    uint32_t dwFlag;
    int32_t nArms;
    HEXINDEX nHex;
    int32_t nStrength;
    int32_t nFuel;
    int32_t nAmmo[kAmmoSlots];
    int32_t nExp;
    uint32_t dwCargo;
    int32_t nSerial;
    uint32_t dwBirthDate;
    UnitRef refSelf;
    int32_t nMode;
    uint32_t dwTally1;
    uint32_t dwTally0;
    MAPCELL dwHexCell;
    int32_t nMoved;
    HEXINDEX nMarchHex;
    uint32_t dwOrder;
    HEXINDEX nCpuTarget;
    UnitRef refTarget;
    int32_t nCpuScore;
    uint32_t dwWeaponMask;
    uint8_t byRuleData74[12];
    int32_t nMove;
    uint8_t byRuleData84[8];
    uint32_t dwSupplyFlag;
    int32_t nBattery;
    uint8_t byRuleData94[12];
};

static_assert(sizeof(UNITSTRUCT) == 0xA0);
static_assert(offsetof(UNITSTRUCT, dwFlag) == 0x00);
static_assert(offsetof(UNITSTRUCT, nArms) == 0x04);
static_assert(offsetof(UNITSTRUCT, nHex) == 0x08);
static_assert(offsetof(UNITSTRUCT, nStrength) == 0x0C);
static_assert(offsetof(UNITSTRUCT, nFuel) == 0x10);
static_assert(offsetof(UNITSTRUCT, nAmmo) == 0x14);
static_assert(offsetof(UNITSTRUCT, nExp) == 0x34);
static_assert(offsetof(UNITSTRUCT, dwCargo) == 0x38);
static_assert(offsetof(UNITSTRUCT, nSerial) == 0x3C);
static_assert(offsetof(UNITSTRUCT, dwBirthDate) == 0x40);
static_assert(offsetof(UNITSTRUCT, refSelf) == 0x44);
static_assert(offsetof(UNITSTRUCT, nMode) == 0x48);
static_assert(offsetof(UNITSTRUCT, dwTally1) == 0x4C);
static_assert(offsetof(UNITSTRUCT, dwTally0) == 0x50);
static_assert(offsetof(UNITSTRUCT, dwHexCell) == 0x54);
static_assert(offsetof(UNITSTRUCT, nMoved) == 0x58);
static_assert(offsetof(UNITSTRUCT, nMarchHex) == 0x5C);
static_assert(offsetof(UNITSTRUCT, dwOrder) == 0x60);
static_assert(offsetof(UNITSTRUCT, nCpuTarget) == 0x64);
static_assert(offsetof(UNITSTRUCT, refTarget) == 0x68);
static_assert(offsetof(UNITSTRUCT, nCpuScore) == 0x6C);
static_assert(offsetof(UNITSTRUCT, dwWeaponMask) == 0x70);
static_assert(offsetof(UNITSTRUCT, byRuleData74) == 0x74);
static_assert(offsetof(UNITSTRUCT, nMove) == 0x80);
static_assert(offsetof(UNITSTRUCT, byRuleData84) == 0x84);
static_assert(offsetof(UNITSTRUCT, dwSupplyFlag) == 0x8C);
static_assert(offsetof(UNITSTRUCT, nBattery) == 0x90);
static_assert(offsetof(UNITSTRUCT, byRuleData94) == 0x94);

struct COUNTRYSTRUCT {
    // The part a scenario file supplies (the first kScenarioCountryBytes).
    uint32_t dwFlag;
    int32_t nUnit;
    int32_t nIndex;
    int32_t nNextSerial;
    int32_t nSaveCost;
    uint32_t dwViewOption;
    uint32_t dwCpuTarget;
    int32_t nLevel;
    int32_t nSearchMode;
    uint8_t byScenarioData24[12];
    char szName[28];
    int32_t nDisplay;
    int32_t nCountryId;
    int32_t nUnitMax;
    int32_t nFund;
    int32_t nSurrenderFund;
    int32_t nSide;
    int32_t nControl;
    HEXINDEX nCapital;
    uint8_t byScenarioData6C[4];
    int32_t nSideChange;
    int32_t nNewSide;
    int32_t nSideChangeMsg;
    uint8_t byScenarioData7C[4];
    uint32_t dwNewWeaponSet[2];
    uint8_t byScenarioData88[4];
    int32_t nBGM;
    uint8_t byScenarioData90[4];
    char szPassword[8];
    uint32_t dwClassMask[2];
    uint8_t byScenarioDataA4[8];
    UNITSTRUCT Unit[kUnitSlots];
    // Built when a scenario starts.
    uint32_t dwClassList[kClassCount][kClassListWords];
    uint32_t dwArmsAvail[kArmsCount];
};

static_assert(sizeof(COUNTRYSTRUCT) == 0x6284);
static_assert(offsetof(COUNTRYSTRUCT, dwFlag) == 0x0000);
static_assert(offsetof(COUNTRYSTRUCT, nUnit) == 0x0004);
static_assert(offsetof(COUNTRYSTRUCT, nIndex) == 0x0008);
static_assert(offsetof(COUNTRYSTRUCT, nNextSerial) == 0x000C);
static_assert(offsetof(COUNTRYSTRUCT, nSaveCost) == 0x0010);
static_assert(offsetof(COUNTRYSTRUCT, dwViewOption) == 0x0014);
static_assert(offsetof(COUNTRYSTRUCT, dwCpuTarget) == 0x0018);
static_assert(offsetof(COUNTRYSTRUCT, nLevel) == 0x001C);
static_assert(offsetof(COUNTRYSTRUCT, nSearchMode) == 0x0020);
static_assert(offsetof(COUNTRYSTRUCT, byScenarioData24) == 0x0024);
static_assert(offsetof(COUNTRYSTRUCT, szName) == 0x0030);
static_assert(offsetof(COUNTRYSTRUCT, nDisplay) == 0x004C);
static_assert(offsetof(COUNTRYSTRUCT, nCountryId) == 0x0050);
static_assert(offsetof(COUNTRYSTRUCT, nUnitMax) == 0x0054);
static_assert(offsetof(COUNTRYSTRUCT, nFund) == 0x0058);
static_assert(offsetof(COUNTRYSTRUCT, nSurrenderFund) == 0x005C);
static_assert(offsetof(COUNTRYSTRUCT, nSide) == 0x0060);
static_assert(offsetof(COUNTRYSTRUCT, nControl) == 0x0064);
static_assert(offsetof(COUNTRYSTRUCT, nCapital) == 0x0068);
static_assert(offsetof(COUNTRYSTRUCT, byScenarioData6C) == 0x006C);
static_assert(offsetof(COUNTRYSTRUCT, nSideChange) == 0x0070);
static_assert(offsetof(COUNTRYSTRUCT, nNewSide) == 0x0074);
static_assert(offsetof(COUNTRYSTRUCT, nSideChangeMsg) == 0x0078);
static_assert(offsetof(COUNTRYSTRUCT, byScenarioData7C) == 0x007C);
static_assert(offsetof(COUNTRYSTRUCT, dwNewWeaponSet) == 0x0080);
static_assert(offsetof(COUNTRYSTRUCT, byScenarioData88) == 0x0088);
static_assert(offsetof(COUNTRYSTRUCT, nBGM) == 0x008C);
static_assert(offsetof(COUNTRYSTRUCT, byScenarioData90) == 0x0090);
static_assert(offsetof(COUNTRYSTRUCT, szPassword) == 0x0094);
static_assert(offsetof(COUNTRYSTRUCT, dwClassMask) == 0x009C);
static_assert(offsetof(COUNTRYSTRUCT, byScenarioDataA4) == 0x00A4);
static_assert(offsetof(COUNTRYSTRUCT, Unit) == 0x00AC);
static_assert(offsetof(COUNTRYSTRUCT, dwClassList) == 0x28AC);
static_assert(offsetof(COUNTRYSTRUCT, dwArmsAvail) == 0x3284);

// Bytes of a country record that a scenario file supplies; the rest is built
// when the scenario starts.
inline constexpr size_t kScenarioCountryBytes = offsetof(COUNTRYSTRUCT, dwClassList);
static_assert(kScenarioCountryBytes == 10412);

struct SCNRHEADSTRUCT {
    char szName[48];
    uint32_t dwStartDate;
    uint32_t dwTurnLimit;  // low half the last turn, high half the big-victory deadline
    uint32_t dwArea;       // low half the rain area, high half the climate area
    uint8_t byScenarioData3C[8];
    uint32_t dwHeadFlag;
    char szUnitVersion[8];
    uint8_t byScenarioData50[5];
    uint8_t byCampaign;
    uint8_t byRain;
    uint8_t byIce;
    uint32_t nEndState;
};

static_assert(sizeof(SCNRHEADSTRUCT) == 0x5C);
static_assert(offsetof(SCNRHEADSTRUCT, szName) == 0x00);
static_assert(offsetof(SCNRHEADSTRUCT, dwStartDate) == 0x30);
static_assert(offsetof(SCNRHEADSTRUCT, dwTurnLimit) == 0x34);
static_assert(offsetof(SCNRHEADSTRUCT, dwArea) == 0x38);
static_assert(offsetof(SCNRHEADSTRUCT, byScenarioData3C) == 0x3C);
static_assert(offsetof(SCNRHEADSTRUCT, dwHeadFlag) == 0x44);
static_assert(offsetof(SCNRHEADSTRUCT, szUnitVersion) == 0x48);
static_assert(offsetof(SCNRHEADSTRUCT, byScenarioData50) == 0x50);
static_assert(offsetof(SCNRHEADSTRUCT, byCampaign) == 0x55);
static_assert(offsetof(SCNRHEADSTRUCT, byRain) == 0x56);
static_assert(offsetof(SCNRHEADSTRUCT, byIce) == 0x57);
static_assert(offsetof(SCNRHEADSTRUCT, nEndState) == 0x58);

constexpr int RainArea(uint32_t area) { return LowHalf(area); }
constexpr int ClimateArea(uint32_t area) { return HighHalf(area); }
constexpr int LastTurn(uint32_t turnLimit) { return LowHalf(turnLimit); }
constexpr int BigVictoryTurn(uint32_t turnLimit) { return HighHalf(turnLimit); }

struct CAMPAIGNHISTSTRUCT {
    uint32_t dwScenario;  // outcome branch << 16 | scenario index
    uint32_t dwStartDate;
    uint32_t dwEndDate;
    uint8_t byReserved[4];
    char szName[32];
};

static_assert(sizeof(CAMPAIGNHISTSTRUCT) == 48);
static_assert(offsetof(CAMPAIGNHISTSTRUCT, dwStartDate) == 4);
static_assert(offsetof(CAMPAIGNHISTSTRUCT, dwEndDate) == 8);
static_assert(offsetof(CAMPAIGNHISTSTRUCT, szName) == 16);

struct GAMEDATASTRUCT {
    int32_t nVersion;
    int32_t nScenario;
    int32_t nFlowState;  // GAMEPHASE
    int32_t nCurCountry;
    uint32_t dwGameOption;
    uint32_t dwStateFlag;
    uint32_t dwReserved18;
    int32_t nTurn;
    uint32_t dwDateTime;
    uint32_t dwEndDate;
    int32_t nWeatherValue;
    int32_t nWeather;
    int32_t nDayNight;
    int32_t nTemperatureNext;
    int32_t nWeatherNext;
    int32_t nRainLevel;
    int32_t nIceLevel;
    int32_t nReinforceIndex;
    uint32_t dwReserved48;
    SCNRHEADSTRUCT Head;
    COUNTRYSTRUCT Country[kCountryCount];
    UNITSTRUCT CarryUnit[kCarryUnitCount];
    MAPCELL dwHexCell[kHexCount];
    MapRect rcMapArea;
    int32_t nCampaign;
    int32_t nLight;
    int32_t nTemperaturePrev;
    uint8_t byReserved4B124[24];
    uint32_t dwStartDate;
    int32_t nHistory;
    CAMPAIGNHISTSTRUCT History[kHistoryCount];
    uint32_t dwWorldCity[kWorldCityCount];
    uint32_t dwWorldNation[kWorldNationCount];
    char szMB2File[256];
    uint32_t dwReserved4CF04;
};

static_assert(sizeof(GAMEDATASTRUCT) == 0x4CF08);
static_assert(offsetof(GAMEDATASTRUCT, nVersion) == 0x00000);
static_assert(offsetof(GAMEDATASTRUCT, nScenario) == 0x00004);
static_assert(offsetof(GAMEDATASTRUCT, nFlowState) == 0x00008);
static_assert(offsetof(GAMEDATASTRUCT, nCurCountry) == 0x0000C);
static_assert(offsetof(GAMEDATASTRUCT, dwGameOption) == 0x00010);
static_assert(offsetof(GAMEDATASTRUCT, dwStateFlag) == 0x00014);
static_assert(offsetof(GAMEDATASTRUCT, dwReserved18) == 0x00018);
static_assert(offsetof(GAMEDATASTRUCT, nTurn) == 0x0001C);
static_assert(offsetof(GAMEDATASTRUCT, dwDateTime) == 0x00020);
static_assert(offsetof(GAMEDATASTRUCT, dwEndDate) == 0x00024);
static_assert(offsetof(GAMEDATASTRUCT, nWeatherValue) == 0x00028);
static_assert(offsetof(GAMEDATASTRUCT, nWeather) == 0x0002C);
static_assert(offsetof(GAMEDATASTRUCT, nDayNight) == 0x00030);
static_assert(offsetof(GAMEDATASTRUCT, nTemperatureNext) == 0x00034);
static_assert(offsetof(GAMEDATASTRUCT, nWeatherNext) == 0x00038);
static_assert(offsetof(GAMEDATASTRUCT, nRainLevel) == 0x0003C);
static_assert(offsetof(GAMEDATASTRUCT, nIceLevel) == 0x00040);
static_assert(offsetof(GAMEDATASTRUCT, nReinforceIndex) == 0x00044);
static_assert(offsetof(GAMEDATASTRUCT, dwReserved48) == 0x00048);
static_assert(offsetof(GAMEDATASTRUCT, Head) == 0x0004C);
static_assert(offsetof(GAMEDATASTRUCT, Head.szUnitVersion) == 0x00094);
static_assert(offsetof(GAMEDATASTRUCT, Country) == 0x000A8);
static_assert(offsetof(GAMEDATASTRUCT, CarryUnit) == 0x314C8);
static_assert(offsetof(GAMEDATASTRUCT, dwHexCell) == 0x3B108);
static_assert(offsetof(GAMEDATASTRUCT, rcMapArea) == 0x4B108);
static_assert(offsetof(GAMEDATASTRUCT, nCampaign) == 0x4B118);
static_assert(offsetof(GAMEDATASTRUCT, nLight) == 0x4B11C);
static_assert(offsetof(GAMEDATASTRUCT, nTemperaturePrev) == 0x4B120);
static_assert(offsetof(GAMEDATASTRUCT, byReserved4B124) == 0x4B124);
static_assert(offsetof(GAMEDATASTRUCT, dwStartDate) == 0x4B13C);
static_assert(offsetof(GAMEDATASTRUCT, nHistory) == 0x4B140);
static_assert(offsetof(GAMEDATASTRUCT, History) == 0x4B144);
static_assert(offsetof(GAMEDATASTRUCT, dwWorldCity) == 0x4C944);
static_assert(offsetof(GAMEDATASTRUCT, dwWorldNation) == 0x4CD04);
static_assert(offsetof(GAMEDATASTRUCT, szMB2File) == 0x4CE04);
static_assert(offsetof(GAMEDATASTRUCT, dwReserved4CF04) == 0x4CF04);

struct CAMPAIGNSTRUCT {
    int32_t nVersion;
    int32_t nNextScenario;
    char szTitle[32];
    uint32_t dwDate;
    int32_t nFundBonus;
    uint32_t dwGameOption;
    uint32_t dwStateFlag;
    uint32_t dwViewOption;
    uint32_t dwPlayerFlag;
    char szUnitVersion[8];
    int32_t nHistory;
    // Carried byte for byte: the menu program keeps its flag-display mask here.
    uint8_t byReserved4C[8];
    int32_t nLastScenario;
    int32_t nLevel;
    uint8_t byCountryId[8];  // 0xFF = unused place
    char szNextFile[20];
    COUNTRYSTRUCT Player;
    UNITSTRUCT CarryUnit[kCarryUnitCount];
    CAMPAIGNHISTSTRUCT History[kHistoryCount];
    uint32_t dwWorldCity[kWorldCityCount];
    uint32_t dwWorldNation[kWorldNationCount];
};

static_assert(sizeof(CAMPAIGNSTRUCT) == 0x11BFC);
static_assert(offsetof(CAMPAIGNSTRUCT, nVersion) == 0x00000);
static_assert(offsetof(CAMPAIGNSTRUCT, nNextScenario) == 0x00004);
static_assert(offsetof(CAMPAIGNSTRUCT, szTitle) == 0x00008);
static_assert(offsetof(CAMPAIGNSTRUCT, dwDate) == 0x00028);
static_assert(offsetof(CAMPAIGNSTRUCT, nFundBonus) == 0x0002C);
static_assert(offsetof(CAMPAIGNSTRUCT, dwGameOption) == 0x00030);
static_assert(offsetof(CAMPAIGNSTRUCT, dwStateFlag) == 0x00034);
static_assert(offsetof(CAMPAIGNSTRUCT, dwViewOption) == 0x00038);
static_assert(offsetof(CAMPAIGNSTRUCT, dwPlayerFlag) == 0x0003C);
static_assert(offsetof(CAMPAIGNSTRUCT, szUnitVersion) == 0x00040);
static_assert(offsetof(CAMPAIGNSTRUCT, nHistory) == 0x00048);
static_assert(offsetof(CAMPAIGNSTRUCT, byReserved4C) == 0x0004C);
static_assert(offsetof(CAMPAIGNSTRUCT, nLastScenario) == 0x00054);
static_assert(offsetof(CAMPAIGNSTRUCT, nLevel) == 0x00058);
static_assert(offsetof(CAMPAIGNSTRUCT, byCountryId) == 0x0005C);
static_assert(offsetof(CAMPAIGNSTRUCT, szNextFile) == 0x00064);
static_assert(offsetof(CAMPAIGNSTRUCT, Player) == 0x00078);
static_assert(offsetof(CAMPAIGNSTRUCT, CarryUnit) == 0x062FC);
static_assert(offsetof(CAMPAIGNSTRUCT, History) == 0x0FF3C);
static_assert(offsetof(CAMPAIGNSTRUCT, dwWorldCity) == 0x1173C);
static_assert(offsetof(CAMPAIGNSTRUCT, dwWorldNation) == 0x11AFC);

struct CITYNAMESTRUCT {
    HEXINDEX nHex;
    char szName[36];
};

static_assert(sizeof(CITYNAMESTRUCT) == 40);
static_assert(offsetof(CITYNAMESTRUCT, szName) == 4);

// The records are copied as bytes to and from files and the shared block.
static_assert(std::is_trivially_copyable_v<GAMEDATASTRUCT> && std::is_standard_layout_v<GAMEDATASTRUCT>);
static_assert(std::is_trivially_copyable_v<CAMPAIGNSTRUCT> && std::is_standard_layout_v<CAMPAIGNSTRUCT>);
static_assert(std::is_trivially_copyable_v<CITYNAMESTRUCT>);

// The record version written when a scenario is built.
inline constexpr int32_t kGameDataVersion = 0x120;

}  // namespace zrv
