#pragma once
// How a battle ends: the judgement of the game state into an end-of-game
// code, and the turn limits it reads.

#include <cstdint>
#include <string_view>

#include "foundation/GameRecords.h"

namespace zrv {

// End-of-game codes.
inline constexpr int kJudgeDefeat = -1;       // the campaign player's own country surrendered
inline constexpr int kJudgePlayOn = 0;
inline constexpr int kJudgeGreatVictory = 1;
inline constexpr int kJudgeVictory = 2;
inline constexpr int kJudgeDraw = 3;
inline constexpr int kJudgeSide0Won = 4;      // no country of side 1 left
inline constexpr int kJudgeSide1Won = 5;      // no country of side 0 left
inline constexpr int kJudgeNoHumanLeft = 6;

// Game option bits of the judgement.
inline constexpr uint32_t kOptPlayerSurrendered = 0x00000001u;  // forces kJudgeDefeat
inline constexpr uint32_t kOptWonBySurrender = 0x00000002u;     // forces a (great) victory
inline constexpr uint32_t kOptPlayerStopped = 0x00000004u;      // code 6 ends the game
inline constexpr uint32_t kOptNoSurrenderBoxes = 0x00080000u;   // no questions or boxes on surrender
inline constexpr uint32_t kOptCpuMayPlayAlone = 0x10000000u;    // code 6 is never given
inline constexpr uint32_t kOptCampaignSide1 = 0x20000000u;      // the campaign player is on side 1

// The last turn: the header's, one later once a campaign has history.
int GetLastTurn(const GAMEDATASTRUCT& game, uint32_t gameOption);

// The end-of-game code of the state under the option word.
int JudgeGameState(const GAMEDATASTRUCT& game, uint32_t gameOption);

// The message the judgement step shows for a code; empty for 0 and 6.
std::string_view JudgementMessage(int code);

}  // namespace zrv

namespace zrv {

// Highest number of 2-hour steps counted up to the next scenario's start
// (about 20 years), and of steps looking for its hour of day.
inline constexpr int kCarryOverMaxSteps = 90000;
inline constexpr int kCarryOverMaxHourSteps = 12;
// Steps per month of resupply for the carried-over units.
inline constexpr int kStepsPerMonth = 360;
// Unit flag bits of carrying over.
inline constexpr uint32_t kUnitCarriedOver = 0x00100000u;   // bit 20: goes on to the next scenario
inline constexpr uint32_t kUnitCarryFlags = 0x80400400u;    // in use, in the pool, bit 10
inline constexpr uint32_t kCarryCargo = 0xFFFF0000u;        // carries nothing, carried by nobody
// The menu program's code for a campaign that goes on (the outcome is its argument).
inline constexpr uint32_t kMenuCampaignGoesOn = 7;
// Offset of the campaign record in the menu's block.
inline constexpr size_t kMenuCampaignOffset = 0x11C;

// The outcome of an end-of-game code: 0 great victory, 1 victory, 2 draw, -1 otherwise.
int CampaignOutcome(int code);

// Victory funds: for a (great) victory the turns left times the income over
// the library's bias, plus the funds, at least the income; for a draw the
// income; else 0. Computed wide and kept within 32 bits.
int VictoryFunds(int income, int funds, int turnsLeft, int outcome);

}  // namespace zrv
