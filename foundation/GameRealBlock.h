#pragma once
// The parameter block the battle-animation program reads: "GameRealMappingObject",
// 504 bytes, little-endian, every field 32-bit. Both programs that start a
// scene (the battle program and the menu program's duel) and the animation
// program itself use this one layout; every offset is binding.

#include <cstddef>
#include <cstdint>

#include "foundation/GameRecords.h"

namespace zrv {

inline constexpr const char* kGameRealBlockBase = "GameRealMappingObject";
inline constexpr size_t kGameRealBlockSize = 504;

// One side of the scene.
struct REALSIDESTRUCT {
    UNITSTRUCT Unit;     // copy of the unit record
    int32_t nLoss;       // strength it loses in the exchange, at most its strength
    uint32_t dwWeapons;  // weapon-slot mask it fires with
    uint32_t dwDirs;     // direction bits of the hexes it is fired at from (bit 31: not a neighbour)
    int32_t nShots[7];   // shot sums per impact record (target hex, then its six neighbours)
};
static_assert(sizeof(REALSIDESTRUCT) == 200);
static_assert(offsetof(REALSIDESTRUCT, nLoss) == 0xA0);
static_assert(offsetof(REALSIDESTRUCT, dwWeapons) == 0xA4);
static_assert(offsetof(REALSIDESTRUCT, dwDirs) == 0xA8);
static_assert(offsetof(REALSIDESTRUCT, nShots) == 0xAC);

struct GAMEREALSTRUCT {
    MapRect rcMap;  // left = first column, top = first row, right = last column, bottom = last row
    int32_t nWeather;
    int32_t bSnow;
    uint32_t dwSound;  // 0x40000 with sound effects on, else 0
    int32_t nOrder;    // 0 together, > 0 side 1 fires first, < 0 side 2 first
    REALSIDESTRUCT Side[2];
    int32_t nAttackKind;  // 0 none, 1 air on surface, 2 unloading aircraft, 3 bombing
    int32_t nAAFireDamage;
    uint32_t dwAAFireDirs;
    int32_t nIceLevel;
    int32_t nTotals[2];
    int32_t nPictureTotals[7];
    int32_t nArea;  // climate area; the menu's duel writes its own scene kind (11) here
    int32_t nDistance;
    int32_t nResult;
    uint32_t dwCell;
    int32_t nLightMode;  // 0 no day and night, else 0 day, 1 dawn or dusk, 2 night, 3 moonlit night
};
static_assert(sizeof(GAMEREALSTRUCT) == kGameRealBlockSize);
static_assert(offsetof(GAMEREALSTRUCT, nWeather) == 0x010);
static_assert(offsetof(GAMEREALSTRUCT, bSnow) == 0x014);
static_assert(offsetof(GAMEREALSTRUCT, dwSound) == 0x018);
static_assert(offsetof(GAMEREALSTRUCT, nOrder) == 0x01C);
static_assert(offsetof(GAMEREALSTRUCT, Side) == 0x020);
static_assert(offsetof(GAMEREALSTRUCT, Side) + sizeof(REALSIDESTRUCT) == 0x0E8);
static_assert(offsetof(GAMEREALSTRUCT, nAttackKind) == 0x1B0);
static_assert(offsetof(GAMEREALSTRUCT, nAAFireDamage) == 0x1B4);
static_assert(offsetof(GAMEREALSTRUCT, dwAAFireDirs) == 0x1B8);
static_assert(offsetof(GAMEREALSTRUCT, nIceLevel) == 0x1BC);
static_assert(offsetof(GAMEREALSTRUCT, nTotals) == 0x1C0);
static_assert(offsetof(GAMEREALSTRUCT, nPictureTotals) == 0x1C8);
static_assert(offsetof(GAMEREALSTRUCT, nArea) == 0x1E4);
static_assert(offsetof(GAMEREALSTRUCT, nDistance) == 0x1E8);
static_assert(offsetof(GAMEREALSTRUCT, nResult) == 0x1EC);
static_assert(offsetof(GAMEREALSTRUCT, dwCell) == 0x1F0);
static_assert(offsetof(GAMEREALSTRUCT, nLightMode) == 0x1F4);

// Environment switches the animation program reads (inherited from the
// program that starts it): "1" to exit at once without a window, and a file
// path to write the decoded fields to.
inline constexpr const char* kRealExitEnv = "VELMORATH_EXIT_AFTER_IDLE";
inline constexpr const char* kRealDumpEnv = "VELMORATH_ZRVREAL_DUMP";

}  // namespace zrv
