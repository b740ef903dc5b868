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
