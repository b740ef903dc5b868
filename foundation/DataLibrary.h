#pragma once
// The program's view of the data library: every exported table as a typed span
// with its element count, so that an index taken from a file or a record can
// always be bounded. The loader fills one from the shared library; tests
// install a small fixture of their own.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "foundation/LibraryRecords.h"

namespace zrv {

// An entry of the sound and music lists: file name and description.
struct NamePair {
    const char* name;
    const char* description;
};

using TextTable = std::span<const char* const>;
using CostRow = std::array<int32_t, kCostColumns>;
using TerrainColorSet = std::array<uint8_t, kTerrainColorBytes>;

struct DataLibrary {
    // Records.
    std::span<const ARMSSTRUCT> ArmsData;
    std::span<const WEAPONSTRUCT> WeaponData;  // 8 per unit type
    std::span<const TRRNSTRUCT> TerrainBase;
    std::span<const TRRNSTRUCT> RoadBase;
    std::span<const SCNRBASESTRUCT> ScenarioData;
    std::span<const HISTORYSTRUCT> HistoryData;  // ends with the 0x7FFFFFFF record
    std::span<const TEMPERATURESTRUCT> TemperatureData;

    // Number tables.
    std::span<const CostRow> TerrainCostTable;  // by move type
    std::span<const CostRow> TerrainCostTableSnow;
    std::span<const uint8_t> SupplyTable;  // unit's country id × 34 + owner's
    std::span<const int32_t> CountryBGMTable;
    std::span<const std::array<int32_t, 4>> StartWallPositionTable;
    std::span<const std::array<int32_t, 3>> UnitGraphicsOffset;  // by picture number
    std::span<const TerrainColorSet> TerrainColorData;           // by 4 × snow + light
    std::span<const std::array<uint8_t, 4>> SMapPatternData;
    std::span<const std::array<uint8_t, 4>> SMapPatternDataL;
    std::span<const int32_t> WaveMoveTableNormal;
    std::span<const int32_t> WaveMoveTableSnow;
    std::span<const int32_t> WaveMoveTableWater;
    std::span<const int32_t> WaveShotedTable;
    std::span<const std::array<int8_t, 24>> SunriseSunsetData;  // by climate area
    std::span<const int32_t> RainRateData;                      // rain area × 12 + month − 1
    std::span<const int32_t> AccumulateRainData;
    std::span<const std::array<int32_t, 2>> TemperatureTimeRate;
    std::span<const std::array<int32_t, 13>> TblNewMoon;
    std::span<const int32_t> TblMoonType;

    // Name tables.
    TextTable UnitName;  // ASCII
    TextTable UnitNameJ;
    TextTable WeaponName;  // ASCII
    TextTable WeaponPositionName;
    TextTable TerrainName;
    TextTable RoadName;
    TextTable NationNameJ;
    TextTable SWndDefTypeName;

    // Message tables.
    TextTable ErrorMessage;
    TextTable MsgCommon;
    TextTable MsgUnitType;
    TextTable MsgUnitTypeJ;
    TextTable MsgMoveTypeJ;
    TextTable MsgDefTypeJ;
    TextTable MsgCarryTypeJ;
    TextTable MsgWeather;
    TextTable MsgWeatherNext;
    TextTable MsgSunEffectName;
    TextTable MsgLevel;
    TextTable MsgCtrlUser;
    TextTable MsgStatus;
    TextTable MsgSide;
    TextTable MsgZone;  // by climate area
    TextTable MsgEPackType;
    TextTable MsgSpecWord;
    TextTable MsgTerrainProduct;
    TextTable MsgTerrainSupply;
    TextTable MsgTerrainWork;
    TextTable MsgResult;

    // Sound effects and music tracks.
    std::span<const NamePair> WaveFileList;
    std::span<const NamePair> CDAudioFileList;  // by music track

    // Single texts.
    const char* g_szUnitVersion = "";
    const char* MsgNoExistCD = "";
    const char* SpecDiveNow = "";

    // Single values.
    int g_nMaxUnit = 0;
    int g_nLandUnit = 0;
    int g_nMaxScnr = 0;
    int g_nFundsBiasWin = 1;
    int g_nFundsBiasVictory = 1;

    // Read by the menu program only.
    std::span<const IWCITYSTRUCT> IWCityData;
    std::span<const int32_t> IWCountryData;
    std::span<const ENDINGSTRUCT> EndingDirectTable;
    std::span<const int32_t> EndingMedalRank;  // ends with a negative value
    std::span<const int32_t> EndingEnemyUnit;  // 4 per opponent category
    TextTable MsgCredit;
    TextTable MsgGermanMedal;  // by medal rank
    const char* MsgDisableWheel = "";
    const char* MsgVerUpStart = "";
    const char* MsgVerUpEnd0 = "";
    const char* MsgVerUpEnd1 = "";
    const char* MsgNoMatchDLL2Conv = "";
    const char* MsgNoMatchData2Conv = "";
    const char* WeaponGuild = "";
    int g_nMaxIWCity = 0;
    int g_nMaxIWNation = 0;
    int g_nCreditX = 0;
    int g_nCreditY = 0;
    int g_nCreditHSize = 0;
    int g_nCreditVSize = 0;
    int g_nCreditGap = 0;
    int g_nCreditFontSz = 0;
    int g_nCreditFontWg = 0;
    uint32_t g_rgbFontColor = 0;  // 0x00BBGGRR
    int g_nCampaignWinSum = 0;
    int g_nExtraScenario = -1;
    int g_nIdeologyScnrStart = 0;
    int g_nIdeologyScnrEnd = -1;
};

// The library in use. Before anything is installed this is an empty library:
// every table has no entries.
const DataLibrary& Lib();
// Installs lib (not owned; it must outlive its use). nullptr goes back to empty.
void SetLib(const DataLibrary* lib);

// Entry i of a text table, or "" when i is outside it.
const char* TableText(std::span<const char* const> table, int i);
// ErrorMessage[code]; a code outside the table gets a text that names it, so a
// message is never lost.
std::string ErrorText(int code);

// Bounded lookups for indexes that come from files and records: null when the
// index lies outside the table.
const ARMSSTRUCT* ArmsRecord(int type);
const WEAPONSTRUCT* WeaponRecord(int type, int slot);
const TRRNSTRUCT* TerrainRecord(int terrain);
const TRRNSTRUCT* RoadRecord(int kind);
const NamePair* WaveFile(int effect);

// Index of the first scenario whose file name equals name without regard to
// the case of ASCII letters, or -1. Bytes inside double-byte characters are
// compared as they stand, so a trail byte in 'a'..'z' never matches a
// different character.
int FindScenarioByName(std::string_view name);

// Index of the historical event dated exactly dateTime (hour included), or -1.
// The walk stops at the first later record and never passes the table's end.
int FindHistoryEvent(uint32_t dateTime);

}  // namespace zrv
