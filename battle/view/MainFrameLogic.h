#pragma once
// What the battle program's main frame decides, without a window: the split
// of its client area, where a command bar floats, the clock text, the
// caption, the two-step close, the music on minimise and restore, and the
// tables of its toolbar and command bars. The wx frame asks these and only
// carries the answers out.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "foundation/GameRecords.h"
#include "foundation/OSBView.h"
#include "platform/gfx/Surface8.h"

namespace zrv {

// The status strip's pane below the map, in pixels.
inline constexpr int kStatusPaneHeight = 86;

// Heights of the map row and the status row for a client height (no split
// bar can be dragged, so its height is usually 0).
struct SplitRows {
    int map = 0;
    int status = 0;
};
SplitRows SplitClientRows(int height, int splitBarHeight = 0);

// Where a command bar floats: the pointer moved by (56, -10), never
// negative.
PointI GetBarDropPoint(PointI pointer);
// A bar of size bar opened at p is moved left or up so that it fits the
// work area; it never goes above or left of the area's corner.
PointI ClampBarToWorkArea(PointI p, SizeI bar, SizeI workArea);

// "%2d:%02d" of the local time.
std::string FormatClock(int hour, int minute);

// The caption: the game's title, and "  [ name ]" when the scenario has a
// name (CP932).
std::string MakeWindowTitle(std::string_view scenarioName);

// The frame's answer to a close request. The first request only marks the
// view (close requested, close now) and the idle pass asks again once no
// step runs; that second request closes, keeping the window's rectangle
// unless it is minimised or maximised.
enum class FrameClose { Deferred, CloseKeepingRect, Close };
FrameClose DecideFrameClose(uint32_t& viewState, bool minimised, bool maximised);

// The music stops while the window is minimised and comes back when it is
// restored (not for a country of side 2).
class MinimisedMusic {
public:
    enum class Action { None, Stop, Play };
    // The window's placement changed; current is the document's current
    // country (null: nothing happens).
    Action OnPlacement(bool minimised, const COUNTRYSTRUCT* current);
    bool Stopped() const { return m_bMinimizedStop != 0; }

private:
    int m_bMinimizedStop = 0;
};

// The second press of a double click arrives as a press of its own before
// the double click; that press is no click.
class PressFilter {
public:
    // A press at timeMs and p: false when it lies within the double-click
    // time and distance (half the distance box each way) of the last press.
    bool IsClick(long long timeMs, PointI p, int doubleClickMs, SizeI doubleClickBox);

private:
    bool m_bAny = false;
    long long m_nLast = 0;
    PointI m_ptLast;
};

// One button of a bar: its command and the word its tooltip shows (CP932).
struct BarButton {
    int id;
    const char* tip;
};

// The main toolbar: 16 x 16 images in button order; an id of 0 is a
// separator and has no image.
std::span<const BarButton> ToolbarButtons();
inline constexpr int kToolbarImageSize = 16;

// A floating command bar.
struct CommandBarSpec {
    int controlId;
    int bitmap;         // its button picture, "CmdBar<bitmap>.pxs"
    uint32_t stateBit;  // the view's state bit while it is open
    int toggleCommand;  // the frame command that opens or closes it
    int catchCommand;   // the frame command that moves it to the pointer (0: none)
    std::span<const BarButton> buttons;
};
// The five bars in the order the frame creates them: main, dispose, move,
// load, build.
std::span<const CommandBarSpec> CommandBars();
// The bar a toggle or catch command is about, or null.
const CommandBarSpec* FindCommandBar(int command);
// Its caption (CP932): "工事" for the build bar, "コマンド" for the others.
const char* CommandBarCaption(const CommandBarSpec& bar);
inline constexpr int kBarButtonWidth = 28;
inline constexpr int kBarButtonHeight = 27;
inline constexpr int kBarImageSize = 21;
inline constexpr int kBarButtonsPerRow = 2;

// The help file beside the program (it is not shipped; when it is there its
// folder is opened).
std::string HelpFilePath();

// The pictures of the toolbar and bars ("ToolBar128.pxs", "CmdBar142.pxs"
// ...): the images side by side, index 0 transparent.
std::string ToolbarPictureName();
std::string CommandBarPictureName(const CommandBarSpec& bar);
// The program's icon ("Icon128.pxs").
std::string ProgramIconPictureName();

}  // namespace zrv
