#pragma once
// CZRKGameView: the battle program's map view as a plain object. It keeps the
// display state (option and state words, per-hex unit codes and marks, the
// scroll position and the hex rectangle shown), owns the map pictures and the
// sound of the battle program, and renders the visible hexes into the
// off-screen buffer of COSBView. A window is optional: what the view needs of
// one comes through ViewWindow, so a test renders and reads buffer pixels
// without a display.
//
// Geometry: a hex cell is 56 pixels wide, rows lie 42 pixels apart, the drawn
// hex is 56 x 56 (its lowest 14 rows overlap the two hexes below) and odd
// absolute rows lie 28 pixels right. Window pixel (x, y) is buffer pixel
// (x + 56, y + 42) while the map is shown.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "battle/engine/BattleScene.h"
#include "battle/engine/Combat.h"
#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameTime.h"
#include "battle/engine/GameView.h"
#include "battle/engine/ViewToolHub.h"
#include "battle/view/CommandRouter.h"
#include "battle/view/MapPictures.h"
#include "battle/view/OverviewMap.h"
#include "foundation/Movie.h"
#include "foundation/OSBView.h"
#include "foundation/Sound.h"
#include "platform/core/Settings.h"

namespace zrv {

// Bits of the display option word (m_dwDispOption).
inline constexpr uint32_t kDispHqMapFast = 0x00000001u;
inline constexpr uint32_t kDispHqMapCpu = 0x00000002u;
inline constexpr uint32_t kDispProgressOpen = 0x00000400u;
inline constexpr uint32_t kDispTerrainTableOpen = 0x00000800u;
inline constexpr uint32_t kDispDevTableOpen = 0x00001000u;
inline constexpr uint32_t kDispSituationOpen = 0x00002000u;
inline constexpr uint32_t kDispUnitListOpen = 0x00004000u;
inline constexpr uint32_t kDispOverviewOpen = 0x00008000u;
inline constexpr uint32_t kDispNoEntryMarks = 0x02000000u;
inline constexpr uint32_t kDispRoadsAlways = 0x04000000u;
inline constexpr uint32_t kDispUnits = 0x08000000u;
inline constexpr uint32_t kDispHqMap = 0x10000000u;
inline constexpr uint32_t kDispOwnerFlags = 0x20000000u;
inline constexpr uint32_t kDispHexLines = 0x40000000u;
inline constexpr uint32_t kDispMapShown = 0x80000000u;
inline constexpr uint32_t kDispInitial = 0x28040000u;

// Bits of the state word (m_dwState).
inline constexpr uint32_t kViewHistoryShowingBit = 0x00040000u;
inline constexpr uint32_t kViewLayoutChanged = 0x00000001u;
inline constexpr uint32_t kViewPendingScroll = 0x00000002u;
inline constexpr uint32_t kViewBusy = 0x00000010u;
inline constexpr uint32_t kViewClosingBars = 0x00000080u;
inline constexpr uint32_t kViewBarMask = 0x00001F00u;
inline constexpr uint32_t kViewHumanPhase = 0x00002000u;
inline constexpr uint32_t kViewCloseRequested = 0x00004000u;
inline constexpr uint32_t kViewCloseNow = 0x00008000u;
inline constexpr uint32_t kViewOrderEntry = 0x00200000u;
inline constexpr uint32_t kViewBarClosedQuietly = 0x00000020u;
inline constexpr uint32_t kViewMoveUndoable = 0x00000040u;
inline constexpr uint32_t kViewConstructionBar = 0x00000100u;
inline constexpr uint32_t kViewMainCommandBar = 0x00000800u;
inline constexpr uint32_t kViewPlaceChosen = 0x00000004u;
inline constexpr uint32_t kViewLoadBar = 0x00000200u;
inline constexpr uint32_t kViewDisposeBar = 0x00000400u;
inline constexpr uint32_t kViewMoveBar = 0x00001000u;

// The frame's command that catches the open dispose bar at the pointer. No
// menu item carries it; it lies above every command id of the menus.
inline constexpr int kCmdCatchDisposeBar = 32950;

// Command modes (m_nCmdMode).
enum CommandMode : int {
    kModeNone = 0,         // the computer plays the country
    kModeChooseUnit = 1,   // choose a unit
    kModeProduction = 2,   // place a produced unit
    kModeDeployment = 3,   // place a carry-over unit
    kModeMoveTarget = 4,   // choose the destination of a move
    kModeMovePending = 5,  // the move is shown, waiting for confirmation or a follow-up order
    kModeMoveDone = 6,     // the move is confirmed, the follow-up window is open
    kModeMerge = 7,        // choose the merge partner
    kModeAttack = 8,       // choose the attack target
    kModeUnload = 9,       // sub-mode 0 choose the units, 1 the hex, 2 covering fire
    kModeMarch = 10,       // choose the march hex
    kModeRoute = 11,       // route construction: sub-mode 1 build, 2 remove
    kModeBombing = 12,     // choose the bombing target
};

// Unit display code: picture 0-11, colour set 16-19, strength 20-26,
// dithered 27, mirrored 28, carrying 29, acted 30, drawn 31.
inline constexpr uint32_t kCodePictureMask = 0x00000FFFu;
inline constexpr uint32_t kCodeDithered = 0x08000000u;
inline constexpr uint32_t kCodeMirrored = 0x10000000u;
inline constexpr uint32_t kCodeCarrying = 0x20000000u;
inline constexpr uint32_t kCodeActed = 0x40000000u;
inline constexpr uint32_t kCodeDrawn = 0x80000000u;
constexpr int CodePicture(uint32_t code)
{
    return static_cast<int>(code & kCodePictureMask);
}
constexpr int CodeColourSet(uint32_t code)
{
    return static_cast<int>((code >> 16) & 0xF);
}
constexpr int CodeStrength(uint32_t code)
{
    return static_cast<int>((code >> 20) & 0x7F);
}
static_assert((kCodePictureMask & 0x000F0000u) == 0 && (0x07F00000u & kCodeDithered) == 0);

// The code a unit is drawn with: its type's picture, its display index, its
// strength and its flag bits 28-31; dithered when submerged.
uint32_t MakeUnitDisplayCode(const UNITSTRUCT& unit);

// The hexes the view shows, inclusive.
// The HQ map: hexes 8 pixels wide and tall, rows 6 pixels apart.
inline constexpr int kHqCell = 8;
inline constexpr int kHqRow = 6;

struct MapHexRect {
    int firstRow = 35;
    int firstColumn = 35;
    int lastRow = 96;
    int lastColumn = 96;
    int Columns() const { return lastColumn - firstColumn + 1; }
    int Rows() const { return lastRow - firstRow + 1; }
};

// What the view asks of its window. Every call may be ignored by a view that
// has no window; the defaults do nothing.
class ViewWindow {
public:
    virtual ~ViewWindow() = default;
    // Marks a client rectangle (null: all) to be painted again.
    virtual void Invalidate(const platform::Rect* rect) { (void)rect; }
    // Paints what is marked now.
    virtual void UpdateNow() {}
    // Scroll bar ranges (total 0: no bars) and positions, in pixels.
    virtual void SetScrollBars(SizeI total, SizeI page, SizeI line, PointI pos)
    {
        (void)total, (void)page, (void)line, (void)pos;
    }
    // Moves the pointer to a client point.
    virtual bool WarpPointer(PointI client)
    {
        (void)client;
        return false;
    }
    // Runs f once the event loop runs (the view's posted message).
    virtual void Post(std::function<void()> f) { (void)f; }
    virtual bool IsMinimised() const { return false; }
};

// What the view asks of the main frame: its commands (the command bars
// toggle with them), the map's context menu, the caption and the menu bar.
class ViewFrameSink {
public:
    virtual ~ViewFrameSink() = default;
    virtual void SendCommand(int id) { (void)id; }
    // Shows the map's context menu at a client point of the view, with the
    // given commands greyed; a chosen command goes through the frame's
    // router.
    virtual void ShowContextMenu(PointI client, const std::vector<int>& greyed)
    {
        (void)client, (void)greyed;
    }
    // Enables or disables the map view's window and then the frame.
    virtual void EnableViewAndFrame(bool enable) { (void)enable; }
    // The frame's caption (CP932).
    virtual void SetCaption(const std::string& caption) { (void)caption; }
    // Takes a command off the menu bar for this run.
    virtual void RemoveMenuCommand(int id) { (void)id; }
    // Makes the main window the active one.
    virtual void ActivateMainWindow() {}
};

// The status strip below the map (its own view implements it); until then
// the strip's pane shows its background.
class StatusStrip {
public:
    virtual ~StatusStrip() = default;
    // Shows hex (-1: none) and unit (null: the unit found on the hex when
    // findUnit); redraw repaints the strip at once.
    virtual void RefreshStatus(HEXINDEX hex, bool redraw, UNITSTRUCT* unit, bool findUnit)
    {
        (void)hex, (void)redraw, (void)unit, (void)findUnit;
    }
    // Bit 31: the hex panel blinks.
    uint32_t m_dwBlink = 0;
};

// A window rectangle whose right and bottom are its last pixels.
struct InclusiveRect {
    int left = 0, top = 0, right = -1, bottom = -1;
};

// Profile keys (section "Settings").
inline constexpr const char* kProfileSection = "Settings";

// Scroll bar requests.
enum class ScrollCode {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbTrack,
    ThumbPosition,
    Top,
    Bottom,
    EndScroll
};

class CZRKGameView : public COSBView, public GameDocView, public ToolWindowHost, public DialogView {
public:
    CZRKGameView();
    ~CZRKGameView() override;

    // --- seams (none owned) -------------------------------------------------
    void SetDocument(CZRKGameDoc* doc) { m_pDoc = doc; }
    CZRKGameDoc* GetDocument() const { return m_pDoc; }
    void SetWindow(ViewWindow* w) { m_pWindow = w; }
    void SetFrameSink(ViewFrameSink* f) { m_pFrame = f; }
    void SetSettings(platform::SettingsStore* s) { m_pSettings = s; }
    // The tool windows' hub; it reports back to this view.
    void SetToolHub(ViewToolHub* hub)
    {
        m_pHub = hub != nullptr ? hub : &m_noHub;
        m_pHub->SetHost(this);
    }
    ViewToolHub& Hub() { return *m_pHub; }
    void SetStatusStrip(StatusStrip* strip) { m_pStrip = strip != nullptr ? strip : &m_noStrip; }
    StatusStrip& Strip() { return *m_pStrip; }
    // Every command id of the program, whichever way it comes (menu bar,
    // toolbar, command bars, keys, context menu): the frame's, the
    // document's and the view's own register here.
    CommandRouter& Commands() { return m_commands; }
    // The view's display toggles, switches and phase end go to the router
    // (the view does this itself when it is made).
    void RegisterDisplayCommands();
    void RegisterMapCommands();
    void RegisterOverviewCommand();
    void RegisterToolCommands();
    // The map of the computer's turns, set in the view and in the records
    // of the countries from the current one on: the HQ map (fast or not),
    // or the view map when hq is false.
    void ShowCpuTurnMap(bool hq, bool fast);
    // Between the view map and the HQ map; the view map comes back at the
    // scroll position it was left at.
    void ShowHqMap(bool hq);
    // フェイズ終了: the order being entered is stepped back, the game saved
    // when the document asks for it, and the action phase ended.
    void OnEndPhase();
    // The calendar's road cover test; unset, roads are never covered.
    void SetRoadCoverTest(std::function<bool(HEXINDEX)> test) { m_roadCovered = std::move(test); }
    // The start command of the hand-over block, run once after the loop starts.
    void SetStartupCommand(std::function<void()> f) { m_startupCommand = std::move(f); }

    // --- creation -----------------------------------------------------------
    // Reads the profile values (section "Settings").
    void PreCreateWindow();
    // Pictures, layout, sound, then the posted start command.
    void OnInitialUpdate() override;
    // Releases pictures and sound and writes the profile values.
    void SaveViewSettings();
    // The start command (the view's private message 0x475); the view then
    // shows the hexes of the document's map area.
    void OnStartupCommand();
    // A left click while the information screen is shown: in the phase that
    // waits for a click (after the multi-play password) the map comes back.
    // False when the click changed nothing.
    bool OnInfoScreenClick();

    // --- mouse (client points of the view's window) -----------------------------
    // The pointer moved: the hex under it goes to the status strip.
    void OnMouseMove(PointI client);
    // The game over's hand-back, the information screen's click, or a click
    // on the hex under the pointer in the current command mode.
    void OnLButtonDown(PointI client);
    // A double click: a unit's performance window, or the command window of
    // the unit choosing its destination.
    void OnLButtonDblClk(PointI client);
    // The right button on the map.
    void OnContextMenu(PointI client);
    // The right button's action by command mode: cancel the order being
    // entered, or the context menu at (x, y) when nothing is being entered.
    void CancelOrContextMenu(int x, int y);
    // The placement click of modes 2 and 3 (the production and deployment
    // orders bring it; until then nothing is placed).
    void ClickPlacement(HEXINDEX hex);
    // The hex under a client point on the view map or the HQ map; -1
    // outside the map's rectangle.
    HEXINDEX ClientPointToHex(int x, int y) const;

    // --- view utilities ---------------------------------------------------------
    // "x y w h" of rc under valueName in section "Settings"; false when the
    // store could not keep it.
    bool SaveWindowRect(const char* valueName, const InclusiveRect& rc);
    // The unit the document has on hex, or null.
    UNITSTRUCT* GetUnitOnHex(HEXINDEX hex) const;
    // Mode 1 with the command bars serving a unit.
    int HasCommandUnit() const;
    // The status strip shows hex (blinking with bBlink).
    void SetStatusHex(HEXINDEX hex, bool bBlink);
    void RefreshStatusStrip(HEXINDEX hex, bool bRedraw, UNITSTRUCT* unit, bool bFindUnit);
    void RedrawMapAndStatus(UNITSTRUCT* unit, bool bStatus);
    // While a question is open the map and the frame take no input.
    void EnableViewAndFrame(bool enable);
    // Shows unit (null: the type alone) of arms in a free performance
    // window (country 0: the current one), or brings the window showing it
    // forward. With all four busy: 0, and with bReport the player is told.
    int OpenPerformanceWindow(UNITSTRUCT* unit, int arms, int country, bool bReport) override;
    // The multi-play password of country before its phase is shown: turn 1
    // registers it, later turns compare it. 1 accepted, 0 refused.
    int CheckSidePassword(COUNTRYSTRUCT& country, int turn);

    // --- painting and window messages ---------------------------------------
    // Renders as the state asks and copies clip (null: all) to the window.
    void OnPaint(const platform::Rect* clip);
    void OnSize(int cx, int cy);
    // One scroll bar (0 horizontal, 1 vertical) request.
    void OnScroll(int bar, ScrollCode code, int thumb = 0);
    int OnMciNotify(uint32_t device);
    bool OnDisplayChange();

    // --- rendering (hex rendering) ------------------------------------------
    // Renders the visible area with origin x, y (-1 keeps that coordinate).
    void RenderMap(int x, int y);
    // The HQ map: drawn whole when the origin or the layout changed; the
    // origin becomes the scroll position and the part of the buffer shown.
    void RenderHQMap(int x, int y);
    // The whole HQ map with the wall around it into the buffer.
    void DrawHQMap();
    // One small hex at buffer (x, y): width 8, or 4 for a half hex whose
    // pixels start at srcX (0 the left half, 4 the right one).
    void DrawHQCell(HEXINDEX hex, int x, int y, int width, int srcX);
    // The HQ map's size: 8 pixels a column and 4 more, 6 a row.
    SizeI HQMapSize() const;
    // Redraws hex at m_ptCell.
    void RedrawHex(HEXINDEX hex, bool bUnit, bool bInvalidate);
    // The hex whose 56 x 42 cell box holds map-plane pixel (x, y).
    HEXINDEX PixelToCell(int x, int y, PointI* offset) const;
    // Copies pixels of src into the buffer in one of the copy modes (0-8);
    // coordinates counted from the top of both pictures, cut to both.
    void CopyPixels(CDib* src, int sx, int sy, int w, int h, int dx, int dy, int mode, uint32_t flags);
    // The animation's frame at the cell: base (null: the work picture)
    // opaque at m_ptCell + (dx, -dy), then w x h of overlay from (ox, oy)
    // transparently over it; the hex's window rectangle is marked dirty and,
    // with bUpdate, painted at once.
    void DrawOverlayAtCell(CDib* overlay, int dx, int dy, int w, int h, int ox, int oy, CDib* base,
                           bool bUpdate);
    // The map animation's rows into the cell.
    void CopyRowsToCell(int dx, int dy, const uint8_t* pixels, int width, int rows);

    // --- layout and pictures -----------------------------------------------
    void SetMapBounds(int firstColumn, int firstRow, int lastColumn, int lastRow, int flagArg);
    void RecalcMapExtent(bool bRedraw);
    void UpdateMapClientRect();
    void RecalcViewLayout(int flag);
    void DrawInfoScreenTiles(const COUNTRYSTRUCT& country);
    void ShowHqCaptured() override;
    bool LoadTerrainSet(int index) override;
    int GetTerrainSet() const override { return m_nTerrainSet; }
    void SelectTerrainPalette(const GAMEDATASTRUCT& game);
    bool ComputeDrawOrigin(PointI& origin, int x, int y);
    // Bands 0-7 the display marks of display numbers 0-7, 8-15 the flags of
    // the countries; built from "flags.pxs".
    void BuildFlagPicture(int flagArg);

    // --- position of a hex --------------------------------------------------
    bool IsHexOnViewMap(HEXINDEX hex) const;
    bool HexToCell(HEXINDEX hex, bool bPartial);
    bool EnsureHexVisible(HEXINDEX hex);
    int RedrawHexIfVisible(HEXINDEX hex, bool bUnit);
    int RedrawUnitAtHex(HEXINDEX hex, const UNITSTRUCT& unit);

    // --- marks --------------------------------------------------------------
    void ClearHexMarks(bool bRedraw);
    void MarkHex4(HEXINDEX hex);
    void MarkMergeHexes();
    void MarkHexList(uint32_t mask, bool bKeep);
    void MarkRouteChoice(uint32_t mask);
    void MarkMoveRange();
    // Mark 1 on every hex of the map area the selected unit can bomb from
    // where it stands; the document's display marks get bit 21 there too.
    void MarkBombingRange();
    // The targets of a bombing march: reachable hexes the selected unit may
    // bomb (mark 1, 2 with reach bit 27); their reach words get bit 21.
    void MarkReachableHexes();
    // Move mode for unit: selected, order entry, bars closed, range marked.
    void BeginMoveMode(UNITSTRUCT* unit);
    // Opens the main command bar for unit, or hands unit to the open bar;
    // command mode 1 with the unit's hex marked as source.
    void BeginCmdWindowSelect(UNITSTRUCT* unit);
    void SetMarkColour(int colour, int flag) { (void)colour, (void)flag; }

    // --- selection and command state ----------------------------------------
    // A click on hex (negative: the map hex of unit's outermost carrier)
    // with unit or null, in the current command mode: the map's left click,
    // the unit list and the computer player's orders come here. 1 when it
    // selected a unit, else 0. Each mode has a handler of its own below.
    int ClickHex(HEXINDEX hex, UNITSTRUCT* unit);
    // Modes 0-3: an own unit that may still act is selected.
    int ClickSelectUnit(HEXINDEX hex, UNITSTRUCT* unit);
    // Mode 4: the unit's own hex goes back to its command window; any other
    // hex is a destination.
    int ClickMoveTarget(HEXINDEX hex);
    // Mode 6: the move's follow-up window comes back unless it is open.
    int ClickMoveDone(HEXINDEX hex);
    // The completions of the orders (ViewOrderClicks.cpp); until an order
    // stands, a click in its mode is ignored as a click outside its
    // candidates is.
    int ClickMoveDestination(HEXINDEX hex);
    int ClickMovePending(HEXINDEX hex);
    int ClickMergePartner(HEXINDEX hex);
    int ClickAttackTarget(HEXINDEX hex);
    int ClickUnload(HEXINDEX hex);
    int ClickMarchTarget(HEXINDEX hex);
    int ClickRouteSite(HEXINDEX hex);
    int ClickBombingTarget(HEXINDEX hex);
    // The selection of a unit: the launch choice of a carrier, then the move
    // entry or the unit's command window.
    void SelectUnit(UNITSTRUCT& unit);
    // Takes a carried selected unit off its carrier for a move to hex.
    void DetachUnitFromCarrier(HEXINDEX hex);
    // Ends the order's selection. bFinish: the move stands (the detached unit
    // stays off its carrier, the route's detection pass runs, a pending
    // jettison is carried out) and the selection ends in mode 1. Without it
    // the pending destination is dropped, a detached unit boards again and
    // the selection stays for a new destination (mode 4).
    void EndSelection(bool bFinish);
    // A command bar closed by the player: the pending move is taken back to
    // the choice of its destination.
    void ShowPendingMove();
    // Steps the order being entered back: a pending move is shown again with
    // its follow-up window; without one the selection ends.
    void CancelCurrentCommand();
    // Opens the dispose bar for unit (the main bar closes first).
    void ShowCommandWindowFor(UNITSTRUCT* unit);
    // A type chosen for placement, the pointer on a mark-1 hex and room for
    // one more unit.
    int CanPlaceHere() const;
    // Stores unit's code (0 when not in use or units are hidden) at hex;
    // nothing for a carried unit.
    void SetUnitDisplayAt(const UNITSTRUCT& unit, HEXINDEX hex);
    // The human player of the current country may give an order now.
    int CanHumanAct() const;
    // The slot after slot (outside 0-63: from 0), wrapping, of a unit in use
    // that has not acted, is not carried and stands inside the map area; -1.
    int FindNextIdleUnit(const COUNTRYSTRUCT& country, int slot) const;
    // The unit's map hex (its outermost carrier's) lies in m_rcMapHexes.
    int IsUnitInMapBounds(const UNITSTRUCT& unit) const;
    // The production and deployment tests: 0 allowed, else the message code
    // (44 and 49 while that placement is already under way).
    int CheckProduceCommand();
    int CheckDeployCommand();
    // The view's command bars are closed again (keep: no pending move is
    // shown again by their closing).
    void ReopenCommandWindows(bool keep) { CloseCommandBars(keep); }
    // The command goes to the frame once the current event is done (a
    // window's button may start a command that destroys the window).
    void PostCommand(int id);
    // The jettison order (settleFuel: the pending move's fuel is settled
    // first).
    void ExecuteJettison(UNITSTRUCT& unit, bool settleFuel);

    // --- units changed by an order -------------------------------------------
    // a, b (either may be null): stored again, windows refreshed, detection
    // recomputed; a unit left without strength leaves play.
    void RefreshChangedUnits(UNITSTRUCT* a, UNITSTRUCT* b);
    // The document's search from unit's hex; the map is redrawn when it
    // uncovered ground (a negative result). Returns the search's result.
    int SearchAroundUnit(UNITSTRUCT& unit);
    // A command bar with state bit barBit was closed.
    void OnCommandBarClosed(uint32_t barBit);

    // --- geometry helpers ---------------------------------------------------
    int CenterOnHex(HEXINDEX hex);
    int MoveCursorToHex(HEXINDEX hex);
    HEXINDEX CenterOnUnit(const UNITSTRUCT& unit);
    int GoToCapital(const COUNTRYSTRUCT* country);
    void CloseCommandBars(bool bKeep);
    // The owner of hex goes to the side opposite the current country's.
    void MakeHexOwnerEnemy(HEXINDEX hex);

    // --- unit display codes -------------------------------------------------
    void SetUnitCode(const UNITSTRUCT& unit);

    // --- GameDocView --------------------------------------------------------
    void RedrawMap(bool rebuildUnits) override;
    void SelectTerrainColours() override;
    void RebuildUnitDisplayMap() override;
    void SetHexUnitDisplay(UNITSTRUCT& unit) override { SetUnitCode(unit); }
    void ClearHexUnitDisplay(HEXINDEX hex) override;
    // Notification 4: every tool window closes, then the command bars.
    void ResetChildWindows() override;
    void NotifySituationTable(int mask) override;
    // Brings hex into view and flashes it; false when it is off the view map
    // or a close request cut the flash short.
    bool ShowHexAndFlash(HEXINDEX hex) override;
    void RedrawHexIfVisible(HEXINDEX hex) override { RedrawHexIfVisible(hex, true); }
    // Notifications 8 and 9: the unit's list entry, and its list entry and
    // performance window.
    void AfterUnitLeftPlay(UNITSTRUCT& unit) override { AddUnitListEntry(unit, 1); }
    void RefreshUnitWindows(UNITSTRUCT& unit) override { RefreshUnitWindows(unit, 0); }
    void CentreOnHex(HEXINDEX hex) override { CenterOnHex(hex); }
    void ApplyViewOptions(uint32_t option, uint32_t mask) override;
    // The document's music: a track that cannot be played stays silent.
    void PlayCDTrack(int track) override { m_sound.PlayCDTrack(track, false); }
    void CloseCDAudio() override { m_sound.CloseCDAudio(); }
    // The document's and the orders' effects share slot 0: a new one replaces
    // the last (the animations keep slots of their own).
    void PlaySE(int effect) override
    {
        LogEffect("sound", effect, 0);
        m_sound.PlaySE(effect, 0, 0);
    }
    void StopAllSound() override;
    void ReleaseSoundEffects() override { m_sound.FreeAllSoundEffects(); }
    void OpenProgressWindow() override;
    void CloseProgressWindow() override
    {
        LogEffect("progress-close", 0);
        CloseToolWindow(ToolWindow::Progress);
    }
    void UpdateProgressWindow(int value) override;
    uint32_t GetViewOption() const override { return m_dwDispOption; }
    void RefreshStatusStrip() override { RefreshStatusStrip(-1, true, nullptr, true); }
    void SetCurrentCountry(int index, COUNTRYSTRUCT* country) override;
    void SetPhaseCommandsEnabled(bool enabled) override;
    ViewState GetViewState() const override;
    void AddUnitsToUnitList(std::span<UNITSTRUCT> units) override;
    void UpdateUnitsInUnitList(std::span<UNITSTRUCT> units) override;
    void RemoveMenuCommand(int id) override;
    void UpdateWindowTitle() override;
    void SetCommandMode(int mode) override { m_nCmdMode = mode; }

    // --- tool windows -------------------------------------------------------------
    // Opens which (an open one comes forward) and sets its open bit; false
    // when the window could not be made.
    bool OpenToolWindow(ToolWindow which);
    bool IsToolWindowOpen(ToolWindow which) const { return (m_dwDispOption & ToolWindowBit(which)) != 0; }
    // ToolWindowHost: clears the open bit and destroys the window.
    void CloseToolWindow(ToolWindow which) override;
    // A performance window asks to be closed: its slot is freed and the
    // window destroyed.
    void ClosePerformanceSlot(int slot) override;
    // ToolWindowHost: the unit picture of a performance window was clicked.
    void OpenEvolutionTable(int armsType, UNITSTRUCT* unit, int country) override
    {
        (void)ShowEvolutionTable(armsType, unit, country);
    }
    // What the unit list asks (ViewUnitListHost.cpp).
    COUNTRYSTRUCT* ListCountry() const override { return m_pCurCountry; }
    bool IsUnitInMapArea(const UNITSTRUCT& unit) const override { return IsUnitInMapBounds(unit) != 0; }
    HEXINDEX CentreOnUnit(const UNITSTRUCT& unit) override { return CenterOnUnit(unit); }
    void ShowStatusOf(HEXINDEX hex, UNITSTRUCT* unit) override { RefreshStatusStrip(hex, true, unit, false); }
    bool FlashUnitHex(HEXINDEX hex) override { return FlashHexMark(hex, false, false) != 0; }
    void PointAndClickHex(HEXINDEX hex, UNITSTRUCT& unit) override;
    void DisposeUnit(UNITSTRUCT& unit) override;
    bool IsDeploymentOpen() const override { return IsDeploymentWindowOpen() != 0; }
    bool UnitListLayout(std::array<int, 4>& rect, std::array<int, 10>& widths) const override;
    void KeepUnitListLayout(const std::array<int, 4>& rect, const std::array<int, 10>& widths) override;
    // The unit a move order measures from: with the unit taken off its
    // carrier by the move under way (flag bit 5), the outermost carrier of
    // that carrier; else the unit's own outermost carrier (the unit when it
    // is not carried). A looping chain gives the carrier, or the unit.
    UNITSTRUCT* GetOutermostCarrierForMove(UNITSTRUCT& unit);
    // The unit data editor for the selected unit and its country; nothing
    // unless the setting "UnitDataEdit" is 1 (a debugging aid).
    void EditSelectedUnitData();

    // --- child windows (ViewChildWindows.cpp) ---------------------------------------
    // What each of the four performance windows shows: the unit (null: the
    // type alone) and its type; a free slot has type -1.
    struct SpecSlot {
        UNITSTRUCT* unit = nullptr;
        int arms = -1;
    };
    std::array<SpecSlot, kPerformanceSlots> m_SpecWnd{};
    // -(slot + 2) for the slot showing unit as arms; else the first free
    // slot, or -1 when all four are busy.
    int FindSpecWndSlot(const UNITSTRUCT* unit, int arms) const;
    // 1 when a performance window is open.
    int HasOpenChildWindow() const;
    // The window showing unit is told of change bits 0 (its record) and 2
    // (its armament), both set first with bAll; both bits are cleared
    // whether a window shows the unit or not.
    void RefreshPerformanceWindow(UNITSTRUCT& unit, bool bAll);
    // Closes the window showing unit as arms.
    void CloseSpecWndOfUnit(const UNITSTRUCT* unit, int arms);
    // The unit list while it is open. Mode 0: the entry is the unit's
    // outermost carrier, mode 1 the unit, both with their cargo when the
    // entry carries (flag 1); mode 2 the unit alone. Its rows go; the flag.
    int AddUnitListEntry(UNITSTRUCT& unit, int mode);
    // The rows of unit (its outermost carrier with bOutermost) come in,
    // with their cargo when bOutermost.
    void UpdateUnitListEntry(UNITSTRUCT& unit, bool bOutermost);
    // A unit of the current country whose list bit (change bit 1) is set,
    // or any with bForce: its rows are taken out and put back.
    void RefreshUnitListUnit(UNITSTRUCT& unit, int mode, bool bForce);
    // The unit list selects unit's row.
    void SelectUnitListRow(const UNITSTRUCT* unit);
    void RefreshDevelopmentTable();
    // Destroys the production and deployment windows, the unit list, the
    // development, terrain and situation tables and the performance windows,
    // in that order.
    void CloseChildWindows();
    // The production and deployment windows close when they are open.
    void ClosePlacementWindows();
    int IsDeploymentWindowOpen() const { return m_pHub->IsDeploymentWindowOpen() ? 1 : 0; }
    // The producible types changed (retired leaves, added, -1 none, comes
    // in): the production window hears of it while a produced unit is being
    // placed.
    void NotifyProductionWindow(int retired, int added);

    // --- DialogView -------------------------------------------------------------------
    void ShowUnitInStatus(UNITSTRUCT& unit) override { RefreshStatusStrip(unit.nHex, true, &unit, false); }
    void PlayDialogSound(int effect) override { PlaySE(effect); }
    void FreeDialogSounds() override { m_sound.FreeAllSoundEffects(); }
    void ClassListChanged(int retired, int added) override
    {
        RefreshDevelopmentTable();
        NotifyProductionWindow(retired, added);
    }
    void PlayMusicTrack(int track) override
    {
        const int error = m_sound.PlayCDTrack(track, true);
        if (m_effectLog) m_effectLog("music", track, error);
    }
    void MarkSourceAndTarget(HEXINDEX source, HEXINDEX target) override;
    bool FlashHexMark(HEXINDEX hex) override { return FlashHexMark(hex, false, true) != 0; }
    void MoveMapCursorToHex(HEXINDEX hex) override { MoveCursorToHex(hex); }
    void SetTargetHexes(std::span<const HEXINDEX> hexes) override;
    void SetCurrentCargoUnit(UNITSTRUCT* unit) override { m_pUnloadUnit = unit; }
    bool MoveFirst() const override { return m_bMoveFirst != 0; }
    const RgbQuad* ColorTable() const override;
    CDib* WeaponIcons() const override { return m_pWeaponDib.get(); }
    UnitPictures UnitPictureSet() const override { return {m_pUnitDib.get(), m_pUnitMarkDib.get()}; }
    FlagPictures FlagPictureSet() const override
    {
        return {m_pFlagDib.get(), m_pFlagsDib.get(), (m_dwDispOption & kDispOwnerFlags) != 0};
    }
    CDib* SpecPicture() const override { return m_pSpecDib.get(); }

    // --- battle scenes (the outside animation program) ------------------------
    // Scenes on, the window not minimised, and "every battle" or the viewing
    // country taking part (attacker's, defender's or the cell owner's country).
    bool IsBattleSceneWanted(const UNITSTRUCT& attacker, const UNITSTRUCT* defender, MAPCELL cell) const;
    // Fills the block from the two units and the view's attack state, runs
    // the animation program and returns once it has ended. hits and
    // firingHexes are the exchange's two runs each (empty for none).
    void ShowBattleScene(const UNITSTRUCT& side1, const UNITSTRUCT* side2, uint32_t weapons1,
                         uint32_t weapons2, int order, int result, MAPCELL cell,
                         std::span<const COMBATHITSTRUCT> hits, std::span<const HEXINDEX> firingHexes,
                         const CombatTotals* totals = nullptr);
    // One unit's action as a scene: unless forced, only when a scene is
    // wanted for the unit and the cell. 1 when handed over, else 0; -1 when
    // a close request came while the hex was pointed out.
    int ShowActionScene(UNITSTRUCT& unit, uint32_t weapons, int result, MAPCELL cell, bool force);
    // The hooks an exchange of fire runs with on this view: one battle scene
    // in place of the shots when the scene test says so.
    CombatHooks& BattleSceneHooks() { return m_sceneHooks; }
    // Creates the scene block (first update). Without it there are no scenes;
    // the player is told once.
    void CreateBattleSceneLink();
    bool HasBattleSceneLink() const { return m_realLink.IsOpen(); }

    // The action being carried out: 0 none, 1 air attack on a surface unit,
    // 2 unloading aircraft, 3 bombing; set only while the action runs.
    int m_nAttackKind = 0;
    UNITSTRUCT* m_pAttackTarget = nullptr;
    // What anti-aircraft fire did to the acting aircraft in this action.
    int m_nAAFireDamage = 0;
    uint32_t m_dwAAFireDirs = 0;
    // The two hit counters and the seven result words of the exchange being
    // shown; the counters are zeroed before each exchange, the words before
    // each anti-aircraft volley.
    struct CombatOut {
        std::array<int, 2> hits{};
        std::array<uint32_t, 7> result{};
    } m_CombatOut;

    // --- unit commands (ViewUnitCommands.cpp) -------------------------------------
    // The unit orders of the menu, the toolbar, the command bars and the
    // keys go to the router (the view does this itself when it is made).
    void RegisterUnitCommands();
    // The unit a command addresses: the command unit, else the selected one.
    UNITSTRUCT* CommandTargetUnit() const { return m_pCmdUnit != nullptr ? m_pCmdUnit : m_pSelUnit; }
    // The next-unit test: 1 without a country in its phase, 27 with no idle
    // unit left, else 0.
    int CheckNextUnitCommand() const;
    // A unit test at the pending hex: the pending move is made in the
    // document for the test and taken back afterwards.
    int CheckAtPendingHex(UNITSTRUCT& unit, const std::function<int(UNITSTRUCT&)>& test);
    // The construction test of kind (0: any) for the selected unit; with a
    // pending move that is not free the move's fuel is taken off for the
    // test and given back. Kinds 1 and 2 fill m_RouteChoice.
    int CheckConstructionCommand(int kind);
    // 全自動開始: supply, capture, durability and march lists in turn. -1
    // when a close request ended it early.
    int RunFullAutoPass();
    // The march dialog of 行軍 (fromMove false) or of 移動 for a bombing
    // march type.
    void RunMarchDialog(bool fromMove);
    // The supply of the command unit, redrawn with bRedraw.
    void SupplyStep(bool bRedraw);
    // The evolution table for arms of country (-1: the current one); the
    // unit goes with it only when the country wants its own units shown.
    int ShowEvolutionTable(int arms, UNITSTRUCT* unit, int country);
    // The view's own message after a march target was set: the move command
    // for a bombing march type, the march command for the others.
    void OnMarchTargetSet();
    // Asks text with Yes and No while the map and the frame take no input;
    // always, or only when the current country wants orders confirmed.
    bool ConfirmOrder(const char* text, bool always);
    // 工事: the construction bar opens for the selected unit, its pending
    // move made, and the next choice is the kind (mode 11, sub-mode 0).
    void BeginConstructionCommand();
    // Mode 9: the carrier's unload ends (the end of its action when it
    // unloaded, else the order is taken back).
    void FinishUnload();

    // --- timed wait (ViewWait.cpp) ----------------------------------------------
    // The wait service animation waits go through (null: the instant one).
    // The view's close request cuts a wait short.
    void SetWaitService(WaitService* wait);
    WaitService& Wait() { return *m_pWait; }
    // Starts view timer 1 for ticks periods of periodMs (state bit 0x8 while
    // it runs); 0 when no timer could be made.
    int StartWaitTimer(int ticks, unsigned periodMs);
    // Waits until the timer has run out (0), or a close request or the end of
    // the program cut it short: every view timer is killed, state bits
    // 0x4000, 0x10 and 0x8 cleared, and 1.
    int WaitPump();
    void KillViewTimers();
    // A tick of view timer id (only id 1, the wait's timer, counts down).
    void OnTimer(int id);
    // The generator of cosmetic chance (sound spacing); never the game's.
    GameRandom& CosmeticRandom() { return m_cosmetic; }

    // --- map animation (ViewAnimation.cpp) ----------------------------------------
    // Points hex out: marks 2, 1, 2, 1 (4 each time with bMark4), one 50 ms
    // tick each. A hex hidden from the viewing side is drawn without its
    // unit unless bSeenOnly, and not flashed at all in an enemy's turn. 1 when
    // a close request cut it short.
    int FlashHexMark(HEXINDEX hex, bool bSeenOnly, bool bMark4);
    // The shots of one exchange step: the run at cursor (moved past it) of
    // shooter's fire at target. 1 when a close request cut it short.
    int AnimateShots(int order, std::span<const HEXINDEX>& cursor, const UNITSTRUCT& shooter,
                     const UNITSTRUCT& target, uint32_t shooterWeapons, uint32_t targetWeapons);
    // Ten explosion frames of impact kind on one hex, 75 ms each.
    int AnimateShot(HEXINDEX hex, int kind);
    // The same on several hexes at once, each over its own background.
    struct Impact {
        HEXINDEX hex;
        int kind;
    };
    int AnimateImpacts(std::span<const Impact> impacts);
    // Frame of the explosion picture at the current cell over background
    // (null: the work picture); bUpdate paints the window at once.
    void DrawExplosionFrame(int frame, int x, int y, CDib* background, bool bUpdate);
    // The unit's slide along m_nRoute from its map hex to hex, 50 ms a hex,
    // with its looping move sound. 1 when a close request cut it short.
    int AnimateUnitMove(UNITSTRUCT& unit, HEXINDEX hex);
    // The durability of hex counting down amount steps from former
    // (bOccupation: the occupation's sound, else the bombing's). Always 0.
    int AnimateHexDamage(HEXINDEX hex, MAPCELL former, int amount, bool bOccupation);
    // Set when a shot was shown on the view map in the current exchange.
    int m_bShotShown = 0;
    // The acting country is an enemy of the viewing country.
    int m_bEnemyTurn = 0;
    void SetEnemyView(bool enemy) override { m_bEnemyTurn = enemy ? 1 : 0; }

    // --- order execution (ViewOrders.cpp) ---------------------------------------
    // -1 from any of them: a close request cut an animation short; the
    // caller stops the order at once.
    // The unit leaves play without refund: its list entry, the map, its
    // performance window and the command bars follow.
    void RemoveUnitFromPlay(UNITSTRUCT& unit, bool bRedraw = true);
    void AfterUnitRemoved(UNITSTRUCT& unit, bool bRedraw);
    void ExecuteRecall(UNITSTRUCT& unit);
    void ExecuteDive(UNITSTRUCT& unit);
    void ExecuteSurface(UNITSTRUCT& unit, int argument);
    int ExecuteArmsChange(int weaponSet);
    int ExecuteEvolve(int newType);
    int ExecuteImprove(int newType);
    int ExecuteMerge(UNITSTRUCT& target, int amount);
    void ExecuteDispose(int kind);
    UNITSTRUCT* ExecutePlaceUnit(int armsType, HEXINDEX hex);
    int ExecuteReserveDeploy(int poolIndex, HEXINDEX hex);
    int RunAutoSupply();
    // units: ended by null; at most 64 are visited.
    int RunSupplyList(std::span<UNITSTRUCT* const> units);
    int ExecuteMove(HEXINDEX hex);
    int ExecuteCpuMove();
    void CompleteUnitMove();
    // hex -1: the unit's own hex.
    void ExecuteConstruction(UNITSTRUCT& unit, int kind, uint32_t value, HEXINDEX hex);
    int ExecuteOccupation(UNITSTRUCT& unit, HEXINDEX hex, int argument);
    void ExecuteLoad(UNITSTRUCT& unit, HEXINDEX carrierHex);
    void ExecuteEndAction(UNITSTRUCT& unit);
    // The common steps of the orders.
    void RedrawUnit(UNITSTRUCT& unit);
    // The unit's list entry (listMode as AddUnitListEntry's, forced) and
    // both pages of its performance window.
    void RefreshUnitWindows(UNITSTRUCT& unit, int listMode);
    // The list mode is a number (0 outermost carrier, 1 the unit with its
    // cargo, 2 the unit alone), not a flag.
    void RefreshUnitWindows(UNITSTRUCT& unit, bool) = delete;

    // --- combat orders (ViewCombat.cpp) ------------------------------------------
    int ExecuteUnload(UNITSTRUCT& carrier, UNITSTRUCT& unit, HEXINDEX hex);
    // -1 after a close request, else 0.
    int ExecuteBombing(UNITSTRUCT& unit, HEXINDEX hex);
    // mode 2 an attack or unload, 4 a bombing. 0 done, -1 cut short.
    int RunAntiAircraftFire(UNITSTRUCT& aircraft, UNITSTRUCT* excluded, int mode);
    int ExecuteAttack(UNITSTRUCT& attacker, UNITSTRUCT& target, uint32_t weapons);
    // Covering fire before an unload: the carrier keeps its action.
    int ExecuteAttackBeforeUnload(UNITSTRUCT& carrier, UNITSTRUCT& target, uint32_t weapons);
    uint32_t DecideReturnFire(UNITSTRUCT& attacker, UNITSTRUCT& defender);
    // The names the dialogs know these two by.
    uint32_t AskCounterWeapons(UNITSTRUCT& attacker, UNITSTRUCT& defender)
    {
        return DecideReturnFire(attacker, defender);
    }
    int ExecuteCoveringFire(UNITSTRUCT& carrier, UNITSTRUCT& target, uint32_t weapons)
    {
        return ExecuteAttackBeforeUnload(carrier, target, weapons);
    }
    // One exchange of fire with the view's display. 1 when it decided the
    // game (or a close request cut it short), else 0.
    int RunCombatExchange(UNITSTRUCT& attacker, UNITSTRUCT& defender, uint32_t attackerWeapons,
                          uint32_t defenderWeapons, bool reaction, bool collect, bool keepAction, bool scene);
    int AnnounceSurrenders(uint32_t lostCountries);
    // The attack decision dialog through the dialog service: shooter fires
    // at target; the three flags of the dialog. kAnswerOk with the chosen
    // weapons in mask, else no fire (mask 0).
    int AskAttackDecision(UNITSTRUCT& shooter, UNITSTRUCT& target, bool ownAttack, bool movedFirst,
                          bool counterFire, uint32_t& mask);
    // Set when the last exchange was cut short by a close request.
    bool m_bExchangeStopped = false;

    // The targets the selected unit could attack from its pending hex go
    // to m_nCandidateHex (marked 4) when the attack test passes there.
    void FillAttackCandidates();
    // The display codes of a pending move's start and destination, kept
    // across a trial of the move in the document.
    struct PendingDisplay {
        HEXINDEX start = -1;
        uint32_t startCode = 0;
        uint32_t targetCode = 0;
    };
    PendingDisplay SavePendingDisplay(HEXINDEX start) const;
    void RestorePendingDisplay(const PendingDisplay& shown);

    // Effects the animations start: effect in slot (-1: a free one), looping
    // with loop; the slot or -1. Tests write them down.
    virtual int StartEffect(int effect, int slot, int loop)
    {
        LogEffect("sound", effect, loop);
        return m_sound.PlaySE(effect, slot, loop);
    }
    // Under the order test switch and the test player, each effect the view
    // starts (sounds, flashes, slides, explosions, the progress window's
    // calls) is written down here.
    std::function<void(const char* what, int a, int b)> m_effectLog;
    void LogEffect(const char* what, int a, int b = 0)
    {
        if (m_effectLog) m_effectLog(what, a, b);
    }
    virtual void StopEffect(int slot) { m_sound.FreeSoundEffect(slot); }

    ViewSound& Sound() { return m_sound; }
    int TerrainPartHeight() const { return m_nTerrain0Height; }

    // --- state (read and written by the other parts of the view) -------------
    int m_nCursorHex = 0;
    uint32_t m_dwDispOption = kDispInitial;
    uint32_t m_dwState = 0;
    std::array<int, 7> m_nMergeHex;
    std::array<int, 512> m_nCandidateHex;
    struct RouteChoice {
        int hex;
        int value;
    };
    std::array<RouteChoice, 512> m_RouteChoice;
    std::array<uint32_t, kHexCount> m_dwHexUnitCode{};
    std::array<uint32_t, kHexCount> m_dwHexMarkView{};
    int m_nCurArmy = -1;
    COUNTRYSTRUCT* m_pCurCountry = nullptr;
    UNITSTRUCT* m_pSelUnit = nullptr;
    // The unit the main command bar was opened for.
    UNITSTRUCT* m_pCmdUnit = nullptr;
    // The selected unit as it stood before a move that may be taken back.
    UNITSTRUCT m_SavedUnit{};
    // The unit chosen in the unload dialog.
    UNITSTRUCT* m_pUnloadUnit = nullptr;
    // The order being entered moves its unit before it fires.
    int m_bMoveFirst = 0;
    // The carrier the selected unit left for its pending move.
    UNITSTRUCT* m_pDetachedCarrier = nullptr;
    // The route of the pending move, ended by -1.
    std::array<int, 256> m_nRoute;
    // The slot the next-unit commands visited last (-1: none yet).
    int m_nNextUnitSlot = -1;
    // The type (production) or carry-over unit (deployment) to place while
    // state bit 0x4 is set.
    int m_nPlaceArms = 0;
    // Where the production and deployment windows open (x < 0: at the
    // pointer); both windows share it.
    PointI m_ptPlaceWnd{-1, 0};
    int m_nCmdSubMode = 0;
    int m_nCmdMode = 0;
    int m_nTerrainSet = 0;
    int m_nTargetHex = -1;
    int m_bDestroyed = 0;
    PointI m_ptMapOrigin{56, 56};
    PointI m_ptPendingScroll;
    PointI m_ptViewMapScroll;
    platform::Rect m_rcDrawnMap;
    platform::Rect m_rcMapClient;
    MapHexRect m_rcMapHexes;
    std::string m_szBanner;

    // Profile values.
    int m_nSMapX = 0, m_nSMapY = 0;
    int m_nProgX = 0x7FFF, m_nProgY = 0;
    int m_bUListLayout = 0;
    std::array<int, 4> m_rcUList{};
    std::array<int, 10> m_nUListColumn{};

    // Pictures.
    std::unique_ptr<CDib> m_pWorkDib, m_pFlagDib, m_pFlagsDib, m_pUnitDib, m_pSpecDib, m_pWeaponDib,
        m_pExplDib, m_pTerrainDib, m_pUnitMarkDib, m_pMiniHexDib, m_pWallDib, m_pStartTileDib;

    PointI m_ptCell{28, 0};

private:
    TerrainContext Context() const;
    SizeI MapPixelSize() const;
    // The visible cells of the last render, for the mark passes.
    struct Cell {
        HEXINDEX hex;
        PointI at;
    };
    void DrawTerrainParts(const TerrainContext& ctx, HEXINDEX hex, int mode);
    void DrawPart(int picture, uint32_t word, int part, int dx, int dy);
    void DrawOwnerMark(HEXINDEX hex);
    void DrawUnit(HEXINDEX hex);
    void DrawMark(uint32_t mark, bool lowestRowsOnly);
    void DrawMarks(uint32_t marks, bool lowestRowsOnly);
    void TileWall(const platform::Rect& bufferRect, PointI scroll);
    // Two pixel rows (from srcRow) of a hex just outside the HQ map's rows.
    void DrawHQStrip(HEXINDEX hex, int x, int y, int width, int srcX, int srcRow);
    void InvalidateCell();
    void ApplyPendingScroll();
    void UpdateScrollBars();
    int ScrollLimit(int bar) const;
    bool ScrollByClamped(int bar, int pos);
    std::string ProgramFile(const char* name) const;

    // Battle scenes: the block of the view's life and the exchange hooks.
    class SceneHooks final : public CombatHooks {
    public:
        explicit SceneHooks(CZRKGameView& view) : m_view(view) {}
        bool WantsBattleScene(const UNITSTRUCT& attacker, const UNITSTRUCT& defender) override;
        void ShowBattleScene(const CombatScene& scene) override;
        bool SceneStopped() const override { return m_stopped; }

    private:
        CZRKGameView& m_view;
        bool m_stopped = false;
    };
    BattleSceneLink m_realLink;
    SceneHooks m_sceneHooks{*this};

    CZRKGameDoc* m_pDoc = nullptr;
    ViewWindow* m_pWindow = nullptr;
    ViewFrameSink* m_pFrame = nullptr;
    platform::SettingsStore* m_pSettings = nullptr;
    ViewToolHub m_noHub;
    ViewToolHub* m_pHub = &m_noHub;
    StatusStrip m_noStrip;
    StatusStrip* m_pStrip = &m_noStrip;
    CommandRouter m_commands;
    std::function<bool(HEXINDEX)> m_roadCovered;
    std::function<void()> m_startupCommand;
    ViewSound m_sound;
    InstantWaitService m_instantWait;
    WaitService* m_pWait = &m_instantWait;
    // The view's seven timer slots (slot 1: the wait's tick timer).
    std::array<uint32_t, 7> m_nViewTimer{};
    int m_nWaitTicks = 0;
    unsigned m_nWaitPeriod = 0;
    GameRandom m_cosmetic{0x5EEDu};
    int m_nTerrain0Height = 0;
    std::vector<Cell> m_cells;

public:
    // --- overview map (ViewOverview.cpp) ------------------------------------------
    // The overview window's object, made with the view.
    std::unique_ptr<CSMapDlg> m_pSMapWnd = std::make_unique<CSMapDlg>(*this);
    // The window side's maker of overview windows (null: none can open).
    void SetOverviewWindowMaker(OverviewWindowMaker* maker) { m_pSMapWnd->SetWindowMaker(maker); }
    // Opens the overview window unless it is open, then gives the main
    // window the focus back; closes it while it is open.
    void OpenSmallMap();
    void CloseSmallMap();
    void ActivateMainWindow();
    // The document's and the battle scene's overview calls.
    void ShowOverviewMap(bool open) override { open ? OpenSmallMap() : CloseSmallMap(); }
    // The overview's frame follows the main map.
    void InvalidateSmallMap();

    // --- movies -----------------------------------------------------------------
    // The movie device while a movie plays (0: none).
    uint32_t m_nMovieDevice = 0;
    // Whether movies come from the game disc (the start command's switch).
    int MovieFromDisc() const;
    // Closes the movie device (wait: returns once it has closed), clears the
    // movie-playing bit and takes the sound device back that the movie had.
    void CloseMovieDevice(bool wait);
    // The window a movie plays in (opaque to the movie backend).
    void* MovieParent() const { return m_pWindow; }
    // The end of a movie's play, as the device reports it: a repeating
    // movie starts again, else the event popup comes to the top and the
    // device closes.
    void OnMovieNotify(uint32_t device);
    // The notice a movie of this view plays with.
    MovieNotify MovieNotifier();

    // --- historical events (ViewHistoryEvent.cpp) --------------------------------
    // Shows event in the event popup (from its movie when the record has
    // captions, the view's current country being country meanwhile) and
    // waits in the message pump until the popup is clicked away, has gone,
    // or the program ends; then the popup is hidden and destroyed.
    void PlayHistoryEvent(int event, COUNTRYSTRUCT* country);
    void PresentHistoryEvent(int event, COUNTRYSTRUCT& country) override { PlayHistoryEvent(event, &country); }
    // One turn of the message loop; false when no more will come (the
    // program ends). Unset: none ever comes.
    void SetMessagePump(std::function<bool()> pump) { m_pump = std::move(pump); }
    void HistoryEventDone() override
    {
        if (m_nMovieDevice != 0) CloseMovieDevice(true);
        m_dwState &= ~kViewHistoryShowingBit;
    }
    // The progress window's place (the view keeps it in its profile).
    void GetToolWindowPlace(ToolWindow which, int& x, int& y) const override;
    void StoreToolWindowPlace(ToolWindow which, int x, int y) override;
    uint32_t PlayEventMovie(uint32_t packedDate, int top, int lineHeight) override;
    std::function<bool()> m_pump;
    // Whether the sound device was given up for the movie now playing.
    bool m_bMovieTookSound = false;
    // Ends notifications of a movie still queued when the view goes.
    std::shared_ptr<int> m_movieAlive = std::make_shared<int>(0);
    // Closes a movie device still open when the view goes.
    struct MovieCloser {
        uint32_t* device;
        ~MovieCloser();
    } m_movieCloser{&m_nMovieDevice};
};

// State word: a movie is playing; a movie starts again at its end; a
// historical event is being shown.
inline constexpr uint32_t kViewMoviePlaying = 0x00010000u;
inline constexpr uint32_t kViewMovieRepeat = 0x00020000u;
inline constexpr uint32_t kViewHistoryShowing = kViewHistoryShowingBit;
// Display option: movies at their own size instead of the whole screen.
inline constexpr uint32_t kDispMovieStandardSize = 0x00800000u;

// Plays the historical-event movie of the packed date in the view: the sound
// effects and the sound device are given up for it, and the movie fills the
// screen unless the view asks for the standard size. The device id in the
// high 16 bits; 0 when there is no such movie (nothing else changes then), or
// the device error when it could not be opened. At the standard size the
// movie is placed for the popup's text top and line height (-1, 0: none).
uint32_t PlayHistoryMovie(uint32_t packedDate, CZRKGameView& view, int top = -1, int lineHeight = 0);

}  // namespace zrv
