#pragma once
// CSMapDlg: the overview map "縮小マップ", a small floating window with the
// whole map area at 2 x 2 pixels a hex, one colour pattern per terrain, and a
// frame around the part the main view shows. A click in it (a drag too, with
// the game option that allows it) centres the main map on the hex under the
// pointer. The map view owns it; its window comes from a maker the window
// side installs, so the picture, the frame and the hit test work without one.
//
// Picture layout: S x S pixels, S = 2 x the largest of the area's columns,
// its rows and 32. Hex row k of the area covers picture rows 2k and 2k + 1;
// odd absolute rows are shifted one pixel right (the right half of the hex
// west of the area first, the left half of the last column last). An area of
// fewer than 32 columns sits behind a left margin, and as far as its rows
// leave room, a top margin of the same width.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/GameRecords.h"
#include "foundation/OSBView.h"
#include "platform/gfx/Surface8.h"

namespace zrv {

class CZRKGameView;
struct MapHexRect;
class CSMapDlg;

inline constexpr const char* kOverviewCaption = "縮小マップ";
// Palette index of the frame around the visible part.
inline constexpr uint8_t kOverviewFrameIndex = 25;
// The margin's colour when the palette has no entry for the button face.
inline constexpr uint8_t kOverviewDefaultFace = 10;
// Game options: the large terrain patterns; a drag scrolls the main map.
inline constexpr uint32_t kOptOverviewLargePatterns = 0x00000400u;
inline constexpr uint32_t kOptOverviewDrag = 0x00000800u;

// The overview's window, as the window side makes it.
class OverviewWindow {
public:
    virtual ~OverviewWindow() = default;
    // The outer size of the window whose client area is client.
    virtual SizeI FrameSize(SizeI client) const = 0;
    // Moves the (still hidden) window's top-left corner to topLeft (screen
    // coordinates) and gives it the outer size.
    virtual void Place(PointI topLeft, SizeI size) = 0;
    // Shows it without taking the focus from the main window.
    virtual void ShowWithoutActivating() = 0;
    // The window's top-left corner on the screen.
    virtual PointI TopLeft() const = 0;
    // Marks the whole client area to be painted again.
    virtual void Invalidate() = 0;
    // Destroys the window; the dialog has already taken its leave.
    virtual void Destroy() = 0;
};

class OverviewWindowMaker {
public:
    virtual ~OverviewWindowMaker() = default;
    // A window for dlg with a client of client x client pixels; null when it
    // could not be made.
    virtual std::unique_ptr<OverviewWindow> Make(CSMapDlg& dlg, int client) = 0;
    virtual SizeI ScreenSize() const = 0;
};

class CSMapDlg {
public:
    explicit CSMapDlg(CZRKGameView& view) : m_view(view) {}
    ~CSMapDlg();
    CSMapDlg(const CSMapDlg&) = delete;
    CSMapDlg& operator=(const CSMapDlg&) = delete;

    void SetWindowMaker(OverviewWindowMaker* maker) { m_pMaker = maker; }

    // Builds and shows the window at its remembered place; the view's
    // display option 0x8000 is set while it exists. False without a window.
    bool Create();
    bool HasWindow() const { return m_pWindow != nullptr; }
    // The window goes (its close box, Esc, the view): its top-left corner is
    // kept in the view, 0x8000 cleared and the picture freed.
    void DestroyWindow();
    // Esc and the close box.
    void OnCancel();
    // The view's terrain colours changed: the picture takes them.
    void RefreshColors();
    // The view asks for the frame to be drawn again.
    void Invalidate();

    // --- the parts, each usable without a window --------------------------------
    // The sizes for the view's map area.
    void Layout(const MapHexRect& area);
    // The picture with the view's colours, and the map rendered into it.
    bool OnInitDialog();
    // The map area's cells into the map bytes.
    void RenderMap();
    // The picture as the window shows it now: the map with the frame (null
    // without a picture).
    const platform::Surface8* Paint();
    // The frame's rectangle (right and bottom exclusive) for the view as it
    // stands; none when the whole map fits the main window both ways.
    std::optional<platform::Rect> FrameRect() const;
    // Whether a client point lies on the map (with the frame shown).
    bool HitTest(PointI p) const;
    // The hex under a client point on the map; -1 when it is the hex the
    // main map was last centred on.
    HEXINDEX PointToHex(PointI p) const;
    void OnLButtonDown(PointI p);
    void OnMouseMove(PointI p, bool leftHeld);

    // Where a window of the given outer size goes: against the right (lower)
    // screen edge unless the remembered coordinate lies on the screen.
    static PointI PlaceWindow(SizeI screen, SizeI window, int savedX, int savedY);

    int Size() const { return m_nSize; }
    int MapWidth() const { return m_nMapWidth; }
    int MapHeight() const { return m_nMapHeight; }
    int Margin() const { return m_nMargin; }
    int MarginTop() const { return m_nMarginTop; }
    HEXINDEX LastHex() const { return m_nLastHex; }
    bool FrameShown() const { return m_bFrameShown; }
    // The rendered map, top row first, S x S.
    const std::vector<uint8_t>& MapBits() const { return m_mapBits; }

private:
    void FreePicture();
    uint8_t MarginIndex() const;

    CZRKGameView& m_view;
    OverviewWindowMaker* m_pMaker = nullptr;
    std::unique_ptr<OverviewWindow> m_pWindow;
    int m_nSize = 0;
    int m_nMapWidth = 0;
    int m_nMapHeight = 0;
    int m_nMargin = 0;
    int m_nMarginTop = 0;
    HEXINDEX m_nLastHex = -1;
    bool m_bFrameShown = false;
    bool m_bDestroying = false;
    platform::Surface8 m_picture;
    std::vector<uint8_t> m_mapBits;
};

}  // namespace zrv
