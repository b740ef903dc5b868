#pragma once
// The map view's tool windows: the modeless windows the view owns (unit list,
// tables, production and deployment, performance windows, progress, the
// historical-event popup). The view reaches them only
// through this hub, with one typed call
// per thing it has to say; the wx side owns the windows. Every call does
// nothing while its window is closed, and the defaults do nothing at all, so
// a view with no windows (tests, headless runs) keeps working.
//
// Opening and closing go through the view, which keeps the open bit of each
// window in its display-option word: the view asks the hub to create a
// window and sets the bit when that worked; a window that closes itself (Esc,
// its close box, its own close button) asks its host, the view, to close it,
// and the view clears the bit and has the hub destroy it.

#include <array>
#include <cstdint>
#include <span>

#include "foundation/GameRecords.h"

namespace zrv {

// The windows with an open bit; each value is its bit in the view's
// display-option word.
enum class ToolWindow : uint32_t {
    Progress = 0x00000400u,          // the computer phases' progress
    TerrainTable = 0x00000800u,      // 地形表
    DevelopmentTable = 0x00001000u,  // 開発表
    SituationTable = 0x00002000u,    // 状況表
    UnitList = 0x00004000u,          // 部隊表
};
inline constexpr ToolWindow kAllToolWindows[] = {ToolWindow::Progress, ToolWindow::TerrainTable,
                                                 ToolWindow::DevelopmentTable, ToolWindow::SituationTable,
                                                 ToolWindow::UnitList};
constexpr uint32_t ToolWindowBit(ToolWindow w)
{
    return static_cast<uint32_t>(w);
}

// The view's four performance windows.
inline constexpr int kPerformanceSlots = 4;

// What a tool window asks of the view that owns it.
class ToolWindowHost {
public:
    virtual ~ToolWindowHost() = default;
    // The window closes itself (Esc, close box, its own button): the view
    // clears its open bit and has the hub destroy it.
    virtual void CloseToolWindow(ToolWindow which) = 0;
    // A performance window asks to be closed (its slot 0-3): the view frees
    // the slot and has the hub destroy it.
    virtual void ClosePerformanceSlot(int slot) = 0;
    // The unit picture of a performance window showing an own unit was
    // clicked: the evolution table of armsType for unit (country -1: the
    // current one).
    virtual void OpenEvolutionTable(int armsType, UNITSTRUCT* unit, int country)
    {
        (void)armsType, (void)unit, (void)country;
    }
    // The production or deployment window was closed by the player: the view
    // leaves its placement mode.
    virtual void PlacementWindowClosed(bool deployment) { (void)deployment; }
    // Where a tool window that keeps its place stood when it last closed
    // (x 32767: nowhere yet), and storing it as it closes.
    virtual void GetToolWindowPlace(ToolWindow which, int& x, int& y) const
    {
        (void)which, x = 32767, y = 0;
    }
    virtual void StoreToolWindowPlace(ToolWindow which, int x, int y) { (void)which, (void)x, (void)y; }
    // The historical-event popup was clicked away: the view's wait ends
    // (and an event movie still open closes).
    virtual void HistoryEventDone() {}
    // The popup's movie of the event dated packedDate, placed for a popup
    // whose text starts at top with lines lineHeight apart: the device in
    // the high 16 bits, 0 when there is no such movie, else an error.
    virtual uint32_t PlayEventMovie(uint32_t packedDate, int top, int lineHeight)
    {
        return (void)packedDate, (void)top, (void)lineHeight, 0u;
    }

    // --- what the unit list and the tables ask of the view ---------------------------
    // The country whose phase the view serves (null: none).
    virtual COUNTRYSTRUCT* ListCountry() const { return nullptr; }
    // The unit (through its outermost carrier) stands inside the scenario's
    // map area.
    virtual bool IsUnitInMapArea(const UNITSTRUCT& unit) const { return (void)unit, false; }
    // Centres the map on the unit's hex; that hex, or -1 when there is none
    // (carry-over pool, off the map).
    virtual HEXINDEX CentreOnUnit(const UNITSTRUCT& unit) { return (void)unit, -1; }
    // The status strip shows hex with unit.
    virtual void ShowStatusOf(HEXINDEX hex, UNITSTRUCT* unit) { (void)hex, (void)unit; }
    // Flashes the hex's mark; true when a close request cut the flash short.
    virtual bool FlashUnitHex(HEXINDEX hex) { return (void)hex, false; }
    // Puts the pointer on hex, then acts as the map's click there with unit.
    virtual void PointAndClickHex(HEXINDEX hex, UNITSTRUCT& unit) { (void)hex, (void)unit; }
    // The unit becomes the selected unit and its dispose order runs.
    virtual void DisposeUnit(UNITSTRUCT& unit) { (void)unit; }
    // The deployment window is open.
    virtual bool IsDeploymentOpen() const { return false; }
    // A performance window of unit (null: the type alone) of arms for
    // country (0: the current one, -1: none); see the view's own.
    virtual int OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport)
    {
        return (void)unit, (void)arms, (void)country, (void)bReport, 0;
    }
    // The unit list's placement kept from its last closing: the window
    // rectangle (left, top, right, bottom) and the ten column widths; false
    // when none is kept.
    virtual bool UnitListLayout(std::array<int, 4>& rect, std::array<int, 10>& widths) const
    {
        return (void)rect, (void)widths, false;
    }
    virtual void KeepUnitListLayout(const std::array<int, 4>& rect, const std::array<int, 10>& widths)
    {
        (void)rect, (void)widths;
    }
};

class ViewToolHub {
public:
    virtual ~ViewToolHub() = default;

    // The view the windows report to (null: none).
    void SetHost(ToolWindowHost* host) { m_pHost = host; }
    ToolWindowHost* Host() const { return m_pHost; }

    // --- windows with an open bit ---------------------------------------------
    // Creates and shows the window; false when it could not be made (the
    // view then leaves its bit clear). Only the view calls these two.
    virtual bool CreateToolWindow(ToolWindow which) { return (void)which, false; }
    // Destroys the window; nothing when it is not there.
    virtual void DestroyToolWindow(ToolWindow which) { (void)which; }
    // Brings an open window forward.
    virtual void RaiseToolWindow(ToolWindow which) { (void)which; }
    // Destroys every window still open (the view saves its settings; the
    // windows store their places in the view first).
    virtual void DestroyAllWindows() {}

    // Unit list: the rows of unit, and with withCargo of everything it
    // carries, are removed, or appended and sorted again; a row is selected
    // (brought into sight); the caption counts again. A unit without a row
    // changes nothing.
    virtual void RemoveUnitListRows(UNITSTRUCT& unit, bool withCargo) { (void)unit, (void)withCargo; }
    virtual void AppendUnitListRows(UNITSTRUCT& unit, bool withCargo) { (void)unit, (void)withCargo; }
    virtual void SelectUnitListRow(const UNITSTRUCT& unit) { (void)unit; }
    virtual void UpdateUnitListTitle() {}
    // Development table: its list is filled again.
    virtual void RefreshDevelopmentTable() {}
    // Situation table: the status pages in mask (1 operations, 2 income,
    // 4 weather, 8 day and night) are drawn again.
    virtual void RedrawSituationPages(uint32_t mask) { (void)mask; }
    // Progress window: the figure it shows.
    virtual void UpdateProgress(int value) { (void)value; }

    // --- production and deployment windows --------------------------------------
    // Opens the window, or brings it forward when it is open; false when it
    // could not be made.
    virtual bool OpenProductionWindow() { return false; }
    virtual bool OpenDeploymentWindow() { return false; }
    virtual void CloseProductionWindow() {}
    virtual void CloseDeploymentWindow() {}
    virtual bool IsProductionWindowOpen() const { return false; }
    virtual bool IsDeploymentWindowOpen() const { return false; }
    // A unit was produced, or a carry-over unit placed, at hex.
    virtual void UnitProducedAt(HEXINDEX hex) { (void)hex; }
    virtual void CarryOverPlacedAt(HEXINDEX hex) { (void)hex; }
    // The types the production window offers changed: retired leaves,
    // added (-1: none) comes in.
    virtual void ProducibleTypesChanged(int retired, int added) { (void)retired, (void)added; }

    // --- performance windows (slots 0-3) ------------------------------------------
    // Shows unit (null: the type alone) of armsType for country (0: the
    // current one) in the window of slot, creating it; false when it could
    // not be made.
    virtual bool ShowPerformanceWindow(int slot, int armsType, UNITSTRUCT* unit, int country, int flag)
    {
        return (void)slot, (void)armsType, (void)unit, (void)country, (void)flag, false;
    }
    virtual void FocusPerformanceWindow(int slot) { (void)slot; }
    virtual void DestroyPerformanceWindow(int slot) { (void)slot; }
    // The unit the window shows changed: its record, or its armament.
    virtual void PerformanceUnitChanged(int slot) { (void)slot; }
    virtual void PerformanceArmsChanged(int slot) { (void)slot; }

    // --- historical-event popup -------------------------------------------------
    // Shows event (an index into the history table) from its movie state
    // when movie, else from its first; false when the window cannot be made.
    virtual bool ShowHistoryEvent(int event, bool movie) { return (void)event, (void)movie, false; }
    // The next step of the presentation; the display state is read and set
    // by the view (11 plays the movie, 12 follows its end; -1: no popup).
    virtual void StepHistoryDisplay() {}
    virtual int HistoryDisplayState() const { return -1; }
    virtual void SetHistoryDisplayState(int state) { (void)state; }
    virtual void RaiseHistoryPopup() {}
    // Whether the popup still has a visible window; hides it.
    virtual bool HasHistoryWindow() const { return false; }
    virtual void HideHistoryPopup() {}
    virtual void DestroyHistoryPopup() {}

private:
    ToolWindowHost* m_pHost = nullptr;
};

}  // namespace zrv
