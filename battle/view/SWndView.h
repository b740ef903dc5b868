#pragma once
// CSWndView: the status strip below the map, 86 pixels high. It shows, on a
// fixed 1020-pixel layout, the country in its phase with its funds, the
// date, weather, temperature and moon, the hex under the pointer and the
// unit on it (or the unit handed in). Everything is drawn into its own 8-bit
// picture with the map view's colours; a window shows that picture through
// a blit sink. Without a sink it still draws, so tests read its pixels.

#include <memory>
#include <string>
#include <string_view>

#include "battle/view/ZRKGameView.h"
#include "foundation/Dib.h"
#include "platform/gfx/BlitSink.h"
#include "platform/gfx/Font8.h"

namespace zrv {

class CSWndView : public StatusStrip {
public:
    // The fixed layout and the strip's height.
    static constexpr int kLayoutWidth = 1020;
    static constexpr int kHeight = 86;
    // The background's slice that repeats to the right of the layout.
    static constexpr int kTileLeft = 1020;
    static constexpr int kTileWidth = 225;
    // Height of a glyph of the bitmap font.
    static constexpr int kGlyphHeight = 13;

    explicit CSWndView(CZRKGameView& mapView);
    ~CSWndView() override;
    CSWndView(const CSWndView&) = delete;
    CSWndView& operator=(const CSWndView&) = delete;

    // The one strip of the program (the performance window draws its
    // figures through it); null before one exists.
    static CSWndView* Current();

    // Loads the five pictures with the map view's colours and makes the
    // strip picture screenWidth wide (at least the background's width), the
    // background repeated to its right edge.
    void OnInitialUpdate(int screenWidth);
    // Where the strip is shown (null: nowhere).
    void SetBlitSink(platform::BlitSink* sink) { m_pSink = sink; }
    // Copies the whole strip picture to the window.
    void OnDraw();

    // Draws every panel for hex (-1: none) and unit (null: none; with
    // bFindUnit the unit standing on hex); bRedraw shows it at once.
    void RefreshStatus(HEXINDEX hex, bool bRedraw, UNITSTRUCT* unit, bool bFindUnit) override;
    // ASCII text in the bitmap font (the grey glyphs with bAlt); bytes
    // outside 32..126 are left out.
    void DrawFontText(std::string_view text, int x, int y, bool bAlt);
    // Funds as the strip writes them: nine characters up to 999,999 with
    // one comma group, two groups from a million on.
    static std::string FormatFunds(int value);
    // The country's flag from the map view's flag picture.
    void DrawFlag(int country, int x, int y);

    // The x of a character in the bitmap font and its width (0 outside 32..126).
    static int GlyphX(unsigned char c);
    static int GlyphWidth(unsigned char c);

    // What the last refresh showed: its hex and unit (null: none).
    HEXINDEX LastHex() const { return m_nLastHex; }
    const UNITSTRUCT* LastUnit() const { return m_pLastUnit; }

    // The strip picture (invalid when it could not be made).
    CDib& Picture() { return m_strip; }
    platform::Surface8 Surface() { return m_strip.Surface(); }

private:
    void DrawCountryPanel();
    void DrawDatePanel();
    void DrawHexPanel(HEXINDEX hex);
    void DrawUnitPanel(UNITSTRUCT& unit);
    // Shift-JIS text in the 12-pixel gothic font.
    void DrawText(int x, int y, std::string_view sjis, uint8_t colour);
    // The palette index nearest to a colour among the entries a picture may
    // draw with (10..245).
    uint8_t Colour(uint8_t r, uint8_t g, uint8_t b) const;
    // Copies a piece of a loaded picture (key -1: opaque).
    void Copy(CDib& from, int dx, int dy, int w, int h, int sx, int sy, int key = -1);
    bool IsUnitHidden(const UNITSTRUCT& unit, HEXINDEX hex) const;

    CZRKGameView& m_view;
    platform::BlitSink* m_pSink = nullptr;
    CDib m_strip;
    CDib m_base, m_moon, m_weather, m_unitPanel, m_font;
    std::unique_ptr<platform::Font> m_pText;
    HEXINDEX m_nLastHex = -1;
    const UNITSTRUCT* m_pLastUnit = nullptr;
    uint8_t m_black = 0, m_red = 0, m_blue = 0, m_yellow = 0, m_white = 0;
};

}  // namespace zrv
