#pragma once
// Building a game: the rules that turn a scenario file (with the menu's
// settings or a campaign record) or a saved game into the game state. The
// document's members that drive them (CZRKGameDoc::BuildScenario,
// LoadGameState, StartNewScenario and the rest) live in GameStart.cpp; the
// record rules below are free functions over the state block so that they
// work on the scratch copy a start builds before it replaces the running game.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/GameRecords.h"

namespace zrv {

// Availability word bits (COUNTRYSTRUCT::dwArmsAvail).
inline constexpr uint32_t kAvailListed = 0x80000000u;
inline constexpr uint32_t kAvailByDate = 0x40000000u;
inline constexpr uint32_t kAvailSeen = 0x20000000u;
inline constexpr uint32_t kAvailRetired = 0x10000000u;
inline constexpr uint32_t kAvailDevListed = 0x08000000u;
inline constexpr uint32_t kAvailDeveloped = 0x01000000u;
// An unused development-list word.
inline constexpr uint32_t kNoListEntry = 0xFFFFFFFFu;

// Country flag bits a start sets.
inline constexpr uint32_t kCountryCapitalLost = 0x20000000u;
inline constexpr uint32_t kCountryNewWeaponsDayOne = 0x00200000u;
inline constexpr uint32_t kCountryFullAutoAll = 0x0000F000u;  // the four full-automatic options
inline constexpr uint32_t kCountryMultiPlayTurn = 0x00000001u;
inline constexpr int kCountryDisplayShift = 24;  // unit flag bits 24-27
// Unit order flag: stranded (an aircraft on a field it cannot take off from,
// or a unit out of fuel).
inline constexpr uint32_t kOrderStranded = 0x02000000u;

// Game option bits a start reads or sets.
inline constexpr uint32_t kOptScenarioStart = 0x80000000u;
inline constexpr uint32_t kOptNewCampaign = 0xCC000000u;  // scenario start, campaign game, search level 中級
inline constexpr uint32_t kOptTextRecord = 0x00000200u;
inline constexpr uint32_t kOptLoadKeepMask = 0x0000FFC0u;  // a load keeps the running bits 6-15
inline constexpr uint32_t kOptRunningMask = 0x0000003Fu;   // cleared when a new game begins
inline constexpr uint32_t kOptLoadHumanTakesOver = 0x00002000u;

// The view option word the countries of a new scenario get (bits 0x730000 of
// a campaign record's word replace its own).
inline constexpr uint32_t kNewCountryViewOption = 0x28040000u;
inline constexpr uint32_t kCampaignViewOptionCarry = 0x00730000u;

// dwArmsAvail of country from the library's unit types made by its country id,
// at the game's current date.
void BuildArmsAvailability(const GAMEDATASTRUCT& game, COUNTRYSTRUCT& country);
// The development lists of country from its availability words; then the
// produced type of each class (SetProductionTypes). A type whose class or
// evolution step lies outside the lists is left out.
void BuildClassLists(GAMEDATASTRUCT& game, int country);
// Word 0 of each class the country develops := the first listed type of the
// evolution chain; that type is marked seen by the country's side.
void SetProductionTypes(GAMEDATASTRUCT& game, uint32_t date, int country);
// Marks type seen by country at date unless it already was; returns the word.
uint32_t MarkArmsTypeSeen(COUNTRYSTRUCT& country, int type, uint32_t date);
// Whether a harder campaign level (bits 6-8 of level) leaves the unit out, by
// the traits of its type's class.
bool ShouldDropUnitAtLevel(const UNITSTRUCT& unit, int level);

// ErrorMessage[code] with the path, in a box.
void ShowReadError(int code, std::string_view path);

// View notifications a start sends.
inline constexpr int kNotifyResetChildWindows = 4;
inline constexpr int kNotifyCentre = 10;
inline constexpr int kNotifyStopMusic = 13;
// Computer-turn flag (m_dwCpuFlags bit 23): the computer's phase resumes after a load.
inline constexpr uint32_t kCpuFlagLoaded = 0x00800000u;

// date advanced by steps game steps of two hours (the calendar's months, with
// a 29th of February in every year divisible by four).
uint32_t AdvanceGameDate(uint32_t date, int steps);

// The checks a state block gets before the game is built on it, beyond the
// reader's: the current country present, in-use units of a real type. False
// with a reason in *why.
bool CheckStartState(const GAMEDATASTRUCT& game, std::string* why = nullptr);

}  // namespace zrv
