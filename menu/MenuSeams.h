#pragma once
// What the menu program's application, document and view reach through
// narrow seams: the scenes on the world map, the dialogs between campaign
// scenarios, the menu's own dialogs and the start of the battle program. Each
// seam has a plain default that shows nothing, so the title and the launches
// work before (and without) the pieces behind them, and tests replace them.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "foundation/GameRecords.h"

namespace platform {
class SharedBlock;
}

namespace zrv {

// The scenes (logos, briefing, result, ending, credits) and the world map.
// Scene runs answer 0 when played to their end and non-zero when the player
// aborted them.
class MenuScenes {
public:
    virtual ~MenuScenes() = default;
    // The start-up logos; false when none are shown (the title comes at once).
    virtual bool StartLogos() { return false; }
    // The staff credits; false when none are shown.
    virtual bool StartCredits() { return false; }
    virtual void EndCredits() {}
    // The result scene of the campaign scenario just finished.
    virtual int RunResultScene() { return 0; }
    // The briefing of the record's next scenario (kind: its argument).
    virtual int StartBriefing(int /*kind*/) { return 0; }
    // The ending of a campaign record whose next scenario is negative.
    virtual void StartEnding(const CAMPAIGNSTRUCT& /*record*/) {}
    // The world map set up for a scenario (-1: none), centred on its place.
    virtual void ShowWorldMap(int /*scenario*/) {}
    // A click while the screen shows a scene (states 3 to 6), and a timer tick.
    virtual void OnSceneClick() {}
    virtual void OnTimer(int /*id*/) {}
};

// The dialogs between campaign scenarios and the encyclopedia.
class MenuChildDialogs {
public:
    virtual ~MenuChildDialogs() = default;
    // False when it could not be shown (the menu then goes back to the title).
    virtual bool ShowWorldSituation() { return false; }
    virtual void WeaponEncyclopedia(std::span<const uint32_t> /*entries*/) {}
    // The unit data sheet popup of that index lets go of its unit and closes.
    virtual void ClosePerformancePopup(int /*index*/) {}
    virtual void CloseCityPopup() {}
};

// The menu program's own dialogs (answers are kAnswerOk or kAnswerCancel).
class MenuDialogs {
public:
    virtual ~MenuDialogs() = default;
    // The resume dialog: an existing saved game or campaign file; path CP932.
    virtual int ResumeFileDialog(std::string& /*path*/) { return 2; }
    // The campaign save dialog proposing path; the chosen one comes back.
    virtual int CampaignSaveDialog(std::string& /*path*/) { return 2; }
    // The campaign settings dialog; word receives its option word after OK.
    virtual int CampaignSettingsDialog(uint32_t& /*word*/) { return 2; }
};

// Starting the battle program with a command in the hand-over block.
class BattleStarter {
public:
    virtual ~BattleStarter() = default;
    // Writes the command with its argument and path and what fill adds, then
    // starts the battle program with env added to its environment. On failure
    // the block holds what it held before, and why says what went wrong.
    virtual bool LaunchBattle(uint32_t command, int32_t param, const std::string& pathSjis,
                              const std::function<void(platform::SharedBlock&)>& fill,
                              const std::vector<std::string>& env, std::string* why) = 0;
};

}  // namespace zrv
