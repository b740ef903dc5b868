#pragma once
// The block the two programs hand over through: a start command from the menu
// program to the battle program, a return command back, and everything the
// command needs (file path, campaign record, per-country set-up of a new
// scenario, or a whole game-state image).

#include <cstddef>
#include <cstdint>

#include "foundation/GameRecords.h"

namespace zrv {

// Command codes of the block's first word.
enum GameMenuCommand : uint32_t {
    GMC_GAMERUNNING = 0,
    GMC_FIRSTSTART = 1,
    GMC_NEWSCENARIO = 2,
    GMC_LOADGAME = 3,
    GMC_NEWCAMPAIGN = 4,
    GMC_CAMPAIGNSCENARIO = 5,
    GMC_RETURNTOTITLE = 6,
    GMC_CAMPAIGNNEXT = 7,
    GMC_SCENARIOIMAGE = 8,
};

// Start-flag bits (dwStartFlag).
inline constexpr uint32_t kStartFlagExtendedMap = 1u << 0;
inline constexpr uint32_t kStartFlagOption11 = 1u << 1;
inline constexpr uint32_t kStartFlagNewWeaponsDayOne = 1u << 2;
inline constexpr uint32_t kStartFlagOption10 = 1u << 4;
inline constexpr uint32_t kStartFlagOption8 = 1u << 6;
inline constexpr uint32_t kStartFlagNoHistory = 1u << 7;
inline constexpr uint32_t kStartFlagKeepVictoryTurns = 1u << 8;

// Per-country set-up of a new scenario (40 bytes).
struct SIDESETUPSTRUCT {
    char szName[28];  // empty: keep the scenario's country as it is
    int32_t nFund;
    int32_t nUnitMax;
    int32_t nControl;  // 0 human, 1 computer, 2 absent
};
static_assert(sizeof(SIDESETUPSTRUCT) == 40);
static_assert(offsetof(SIDESETUPSTRUCT, nFund) == 0x1C);
static_assert(offsetof(SIDESETUPSTRUCT, nControl) == 0x24);

inline constexpr size_t kPathLength = 260;

#pragma pack(push, 4)
struct GAMEMENUSTRUCT {
    uint32_t nCommand;
    uint32_t dwReserved;  // the menu program's scenario number; never read here
    int32_t nParam;
    uint32_t dwViewOption;
    uint32_t dwStartFlag;
    int32_t nMovie;
    char szPath[kPathLength];
    CAMPAIGNSTRUCT Campaign;
    SIDESETUPSTRUCT Side[kCountryCount];
    uint8_t ImageHeader[12];
    GAMEDATASTRUCT Image;
};
#pragma pack(pop)

inline constexpr size_t kGameMenuBlockSize = 388460;
static_assert(sizeof(GAMEMENUSTRUCT) == kGameMenuBlockSize);
static_assert(offsetof(GAMEMENUSTRUCT, nParam) == 0x08);
static_assert(offsetof(GAMEMENUSTRUCT, dwViewOption) == 0x0C);
static_assert(offsetof(GAMEMENUSTRUCT, dwStartFlag) == 0x10);
static_assert(offsetof(GAMEMENUSTRUCT, nMovie) == 0x14);
static_assert(offsetof(GAMEMENUSTRUCT, szPath) == 0x18);
static_assert(offsetof(GAMEMENUSTRUCT, Campaign) == 0x11C);
static_assert(offsetof(GAMEMENUSTRUCT, Side) == 0x11D18);
static_assert(offsetof(GAMEMENUSTRUCT, ImageHeader) == 0x11E58);
static_assert(offsetof(GAMEMENUSTRUCT, Image) == 0x11E64);

// The shm base name of the block.
inline constexpr const char* kGameMenuBlockName = "GameMenuMappingObject";

}  // namespace zrv
