#pragma once
// What the battle document asks of its map view. The document never draws,
// plays or opens a window itself: its notifications (CZRKGameDoc::NotifyView,
// codes 0-20) and the few direct calls of the game arrive here as typed calls.
// The map view implements it; a test puts a recording view in its place.
// Calls that reach a tool window (unit list, tables, progress) do nothing
// while that window is closed: that is the view's business, not the caller's.

#include <cstdint>
#include <span>

#include "foundation/GameRecords.h"

namespace zrv {

// The view state the document's commands read to decide what is enabled.
struct ViewState {
    bool busy = false;             // an animation or order is running
    bool phaseCommands = false;    // human input phase: phase commands enabled
    bool childWindowOpen = false;  // a modeless tool window is open
    bool closeRequested = false;   // a close was asked for while busy (0x4000)
    bool closeNow = false;         // the main window is to close at the next safe pass (0x8000)
};

class GameDocView {
public:
    virtual ~GameDocView() = default;

    // --- notifications ------------------------------------------------------
    // Redraws the whole map; with rebuildUnits the per-hex unit display map is
    // rebuilt first (codes 0, 1 and the redraw that follows codes 2, 4, 11,
    // 14, 15 and 19 pass false).
    virtual void RedrawMap(bool rebuildUnits) = 0;
    // Code 1: picks the terrain colour set of the current season and time.
    virtual void SelectTerrainColours() = 0;
    // Code 2: rebuilds the per-hex unit display map.
    virtual void RebuildUnitDisplayMap() = 0;
    // Code 3: sets the display entry of the unit on its hex.
    virtual void SetHexUnitDisplay(UNITSTRUCT& unit) = 0;
    // A unit left the hex: its display entry there is emptied.
    virtual void ClearHexUnitDisplay(HEXINDEX hex) = 0;
    // Code 4: closes every tool window and the open command bars.
    virtual void ResetChildWindows() = 0;
    // Code 5: refreshes the situation table with value.
    virtual void NotifySituationTable(int value) = 0;
    // Code 6: brings hex into view and flashes its mark; false when it could not.
    virtual bool ShowHexAndFlash(HEXINDEX hex) = 0;
    // Code 7: redraws hex if it is visible.
    virtual void RedrawHexIfVisible(HEXINDEX hex) = 0;
    // Code 8: the unit left play; its unit-list entry is updated.
    virtual void AfterUnitLeftPlay(UNITSTRUCT& unit) = 0;
    // Code 9: the unit changed; its unit-list row and performance windows follow.
    virtual void RefreshUnitWindows(UNITSTRUCT& unit) = 0;
    // Code 10: centres the view on hex.
    virtual void CentreOnHex(HEXINDEX hex) = 0;
    // Code 11: the view option word takes option's bits under mask; then the
    // view refreshes what depends on them (status strip, turn text, layout and
    // marking colour, or the scroll extent when option bit 31 is set).
    virtual void ApplyViewOptions(uint32_t option, uint32_t mask) = 0;
    // Codes 12, 13, 17, 18, 20: music and effects.
    virtual void PlayCDTrack(int track) = 0;
    virtual void CloseCDAudio() = 0;
    virtual void PlaySE(int effect) = 0;
    virtual void StopAllSound() = 0;
    virtual void ReleaseSoundEffects() = 0;
    // Codes 14, 15, 16: the progress window of the computer's phases.
    virtual void OpenProgressWindow() = 0;
    virtual void CloseProgressWindow() = 0;
    virtual void UpdateProgressWindow(int value) = 0;
    // Code 19 reads the view option word.
    virtual uint32_t GetViewOption() const = 0;

    // --- direct calls -------------------------------------------------------
    // The status strip redraws everything.
    virtual void RefreshStatusStrip() = 0;
    // The country whose phase the view serves (-1 and null for none), and
    // whether the human input phase's commands are enabled.
    virtual void SetCurrentCountry(int index, COUNTRYSTRUCT* country) = 0;
    virtual void SetPhaseCommandsEnabled(bool enabled) = 0;
    virtual ViewState GetViewState() const = 0;
    // The carry-over pool shown in (added) or refreshed in the unit list.
    virtual void AddUnitsToUnitList(std::span<UNITSTRUCT> units) = 0;
    virtual void UpdateUnitsInUnitList(std::span<UNITSTRUCT> units) = 0;
    // Takes a command off the main menu for this run (start-up trimming).
    virtual void RemoveMenuCommand(int id) = 0;
    // The main window's caption follows the scenario (after a start or a load).
    virtual void UpdateWindowTitle() {}

    // --- calls of the turn machine and its steps ------------------------------
    // The command mode of the map view (1 while a human gives orders, 0 while
    // the computer plays the country).
    virtual void SetCommandMode(int /*mode*/) {}
    // The game-over display of the viewing country.
    virtual void ShowHqCaptured() {}
    // Presents a historical event of the library's table to country.
    virtual void PresentHistoryEvent(int /*event*/, COUNTRYSTRUCT& /*country*/) {}
    // The terrain picture set shown (0..3), and loading another one; false
    // when the set could not be loaded (the shown set stays).
    virtual int GetTerrainSet() const { return 0; }
    virtual bool LoadTerrainSet(int /*set*/) { return false; }
    // Opens or closes the overview map window.
    virtual void ShowOverviewMap(bool /*open*/) {}
    // Whether the country in its phase is an enemy of the viewing country.
    virtual void SetEnemyView(bool /*enemy*/) {}
};

// A view that does nothing: the document works without a window.
class NullGameDocView : public GameDocView {
public:
    void RedrawMap(bool) override {}
    void SelectTerrainColours() override {}
    void RebuildUnitDisplayMap() override {}
    void SetHexUnitDisplay(UNITSTRUCT&) override {}
    void ClearHexUnitDisplay(HEXINDEX) override {}
    void ResetChildWindows() override {}
    void NotifySituationTable(int) override {}
    bool ShowHexAndFlash(HEXINDEX) override { return true; }
    void RedrawHexIfVisible(HEXINDEX) override {}
    void AfterUnitLeftPlay(UNITSTRUCT&) override {}
    void RefreshUnitWindows(UNITSTRUCT&) override {}
    void CentreOnHex(HEXINDEX) override {}
    void ApplyViewOptions(uint32_t, uint32_t) override {}
    void PlayCDTrack(int) override {}
    void CloseCDAudio() override {}
    void PlaySE(int) override {}
    void StopAllSound() override {}
    void ReleaseSoundEffects() override {}
    void OpenProgressWindow() override {}
    void CloseProgressWindow() override {}
    void UpdateProgressWindow(int) override {}
    uint32_t GetViewOption() const override { return 0; }
    void RefreshStatusStrip() override {}
    void SetCurrentCountry(int, COUNTRYSTRUCT*) override {}
    void SetPhaseCommandsEnabled(bool) override {}
    ViewState GetViewState() const override { return {}; }
    void AddUnitsToUnitList(std::span<UNITSTRUCT>) override {}
    void UpdateUnitsInUnitList(std::span<UNITSTRUCT>) override {}
    void RemoveMenuCommand(int) override {}
};

}  // namespace zrv
