#pragma once
// The game-flow services' small rules that stand on their own: where the text
// records go, and how a name from a file becomes one.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "foundation/GameRecords.h"

namespace zrv {

// Terrain flag (TerrainBase dwTrrnFlag bit 10, byte 1 bit 2): the hex earns income.
inline constexpr uint32_t kTerrainIncome = 0x00000400u;
// COUNTRYSTRUCT::nLevel bit 0: the country earns half.
inline constexpr int32_t kLevelHalfIncome = 0x1;

// Game option bit 12: the computer's phases show its own view.
inline constexpr uint32_t kOptShowCpuView = 0x00001000u;
// Launch option bit 28: the map stays blanked during computer phases.
inline constexpr uint32_t kLaunchHideCpuMap = 0x10000000u;
// Country view options: bit 1 the player wants the computer's phases hidden,
// bit 20 the overview map window is closed.
inline constexpr uint32_t kViewHideCpuPhases = 0x00000002u;
inline constexpr uint32_t kViewOverviewClosed = 0x00100000u;

// Error codes of the production and deployment tests.
inline constexpr int kErrNoProducibleType = 39;
inline constexpr int kErrNoAffordableType = 40;
inline constexpr int kErrNoPlacementHex = 41;
inline constexpr int kErrUnitLimit = 42;
inline constexpr int kErrDeployUnitLimit = 45;
inline constexpr int kErrDeployNotCountry0 = 46;
inline constexpr int kErrNoReserveUnit = 47;
inline constexpr int kErrNoDeployHex = 48;
// Units a country and the campaign pool may hold together.
inline constexpr int kUnitPoolLimit = 250;

// Most support-fire units one list holds.
inline constexpr size_t kMaxFireThreats = 8;

// Longest text one append writes.
inline constexpr size_t kRecordTextMax = 511;

// The last element of a name read from a file (after its last '\' or '/',
// two-byte characters stepped over), so a damaged or foreign name can never
// lead a record outside the data folder.
std::string LastPathElement(std::string_view name);

// Data-folder path of the game record: the map file's name with ".TXT"; empty
// when the state names no map file.
std::string GameRecordPath(const GAMEDATASTRUCT& game);
// Data-folder path of the weather record: scenario name, "_C" when asked, ".TXT".
std::string WeatherRecordPath(const GAMEDATASTRUCT& game, bool suffix);

// Appends text (cut to kRecordTextMax bytes) to the file, created when
// missing; the file is locked for the write. False, silently, when it cannot.
bool AppendRecordFile(std::string_view sjisPath, std::string_view text);

// Income of country index: durability of the live, income-earning cells it
// owns; halved at nLevel bit 0.
int CountryIncome(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells, int country);

// Longest turn text of the status display (the banner holds 256 bytes).
inline constexpr size_t kTurnInfoTextMax = 255;

// The sort key of a unit in the full-automatic supply list (largest first).
uint32_t AutoSupplyKey(const UNITSTRUCT& unit);

// The country's music from its country id.
void AssignCountryBGM(COUNTRYSTRUCT& country);
// The current country's name, then weather, current date and last date.
std::string FormatTurnInfoText(const GAMEDATASTRUCT& game, const COUNTRYSTRUCT* current);
// 1 when the hex lies inside the inclusive rectangle.
bool IsHexInRect(int left, int top, int right, int bottom, HEXINDEX hex);
// First record whose first word is id, or -1.
int FindRecordById(std::span<const CITYNAMESTRUCT> table, int32_t id);

}  // namespace zrv
