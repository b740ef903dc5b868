#pragma once
// Handing a combat or a unit action to the battle-animation program: whether
// a scene is wanted, the parameter block as a pure function of the exchange,
// and the start-and-wait of the program. Nothing comes back from the program
// but the end of its process.

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "battle/engine/Combat.h"
#include "foundation/GameRealBlock.h"
#include "foundation/GameRecords.h"
#include "platform/core/SharedBlock.h"

namespace zrv {

// Map view option bits read here.
inline constexpr uint32_t kViewBattleScenes = 0x00010000u;  // bit 16: battle scenes on
inline constexpr uint32_t kViewEveryBattle = 0x00020000u;   // bit 17: for every battle, not only the viewer's
inline constexpr uint32_t kViewSoundEffects = 0x00040000u;  // bit 18: sound effects on

// What the scene is about. Side 1 is the acting unit; side 2 may be absent
// (a bombing of an empty hex, an action scene).
struct BattleSceneInput {
    const UNITSTRUCT* side1 = nullptr;
    const UNITSTRUCT* side2 = nullptr;
    uint32_t weapons1 = 0;
    uint32_t weapons2 = 0;
    int order = 0;
    int result = 0;
    MAPCELL cell = 0;
    // The exchange's hit list (two runs, each ended by a negative damage) and
    // firing-hex list (two runs, each ended by -1); empty when there is none.
    std::span<const COMBATHITSTRUCT> hits;
    std::span<const HEXINDEX> firingHexes;
    // From the map view.
    MapRect rcMap{};
    uint32_t viewOption = 0;
    int attackKind = 0;
    const UNITSTRUCT* attackTarget = nullptr;  // side 2 of an attack without a defender
    int aaFireDamage = 0;
    uint32_t aaFireDirs = 0;
    int currentCountry = -1;  // the map view's current country
    // From the exchange.
    std::array<int32_t, 2> totals{};
    std::array<int32_t, 7> pictureTotals{};
    const ImpactTable* impact1 = nullptr;
    const ImpactTable* impact2 = nullptr;
};

// Whether a scene is shown: scenes on and the window not minimised; then
// always with "every battle", else only when the viewing country takes part
// (as the attacker's, the defender's or the cell owner's country).
bool IsBattleSceneWanted(uint32_t viewOption, bool minimised, int viewCountry, const UNITSTRUCT& attacker,
                         const UNITSTRUCT* defender, MAPCELL cell);

// The block for one scene; side 1 is always the current country's unit when
// there is an opponent.
GAMEREALSTRUCT FillGameRealBlock(const GAMEDATASTRUCT& game, const BattleSceneInput& in);

// How long a battle scene may run before the battle program ends it.
inline constexpr std::chrono::milliseconds kSceneWaitLimit{120000};

// Starts the program at nativePath (absolute, no arguments, our environment
// and folder) and waits, asking every 1000 ms, until it has ended. False when
// it could not be started, or when it was still running after limit: it is
// ended then, a line goes to the log and the caller goes on as if no scene
// had been shown. Nothing is pumped meanwhile.
bool RunProgramAndWait(const std::string& nativePath, std::chrono::milliseconds limit = kSceneWaitLimit);

// The block the view creates at its first update and keeps for its life.
class BattleSceneLink {
public:
    BattleSceneLink() = default;
    // The last user removes the name, so no block outlives the programs.
    ~BattleSceneLink() { m_block.CloseAndUnlinkIfLast(); }
    BattleSceneLink(const BattleSceneLink&) = delete;
    BattleSceneLink& operator=(const BattleSceneLink&) = delete;
    // Creates the per-user block; false (and no scenes) when it cannot.
    bool Create();
    bool IsOpen() const { return m_block.IsOpen(); }
    // Writes the block and runs the program from the program folder; returns
    // when it has ended. Without a block, or when the program cannot be
    // started, nothing is shown and the caller's combat simply goes on.
    // Returns whether the program ran (and ended within the wait limit).
    bool ShowBattleScene(const GAMEREALSTRUCT& block);
    void SetWaitLimit(std::chrono::milliseconds limit) { m_waitLimit = limit; }

private:
    platform::SharedBlock m_block;
    std::chrono::milliseconds m_waitLimit = kSceneWaitLimit;
};

}  // namespace zrv
