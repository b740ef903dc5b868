#pragma once
// COSBView: the off-screen view under both main views, as a plain object. It
// owns the buffer picture, the view palette and the rectangles waiting to be
// shown, and renders without any window. What a window had to offer comes in
// through seams: the full-screen work area, the client size and scroll
// position, and a blit sink that shows buffer pixels (the wx canvas, or a
// recorder in tests). Boxes go through the dialog service.
//
// One class serves both programs; the program variant chooses the buffer size,
// the scroll sizes, the blit source and the form of DrawTextBlock.

#include <functional>
#include <list>
#include <memory>
#include <string_view>

#include "foundation/Dib.h"
#include "foundation/DibPal.h"
#include "foundation/DrawHelpers.h"
#include "foundation/GfxSettings.h"
#include "platform/gfx/BlitSink.h"

namespace zrv {

struct SizeI {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const SizeI&, const SizeI&) = default;
};

struct PointI {
    int x = 0;
    int y = 0;
    friend bool operator==(const PointI&, const PointI&) = default;
};

class COSBView {
public:
    // Pixels the battle buffer keeps around the window: one hex cell (56 x 42)
    // on the left and top, and as much again beyond the right and bottom.
    static constexpr int kMarginX = 56;
    static constexpr int kMarginY = 42;
    static constexpr int kBufferExtra = 112;

    explicit COSBView(ProgramVariant variant = GetProgramVariant());
    virtual ~COSBView();
    COSBView(const COSBView&) = delete;
    COSBView& operator=(const COSBView&) = delete;

    // Seams.
    void SetFullScreenSource(std::function<SizeI()> source) { m_fullScreen = std::move(source); }
    void SetClientSize(int cx, int cy) { m_client = {cx, cy}; }
    SizeI GetClientSize() const { return m_client; }
    void SetScrollPosition(int x, int y) { m_scroll = {x, y}; }
    PointI GetScrollPosition() const { return m_scroll; }
    void SetBlitSink(platform::BlitSink* sink) { m_sink = sink; }
    ProgramVariant Variant() const { return m_variant; }

    // (Re)creates palette and buffer from a palette file.
    bool CreateOSB(std::string_view palettePath);
    // Battle: a larger buffer after a display change; false when it still fits.
    bool ResizeOSB();
    // Battle: a larger buffer when a client of cx x cy with the render's
    // margins does not fit (a window larger than the screen); false when it
    // still fits.
    bool FitOSB(int cx, int cy);
    // Battle: scroll sizes with the blit mode; a total width of 0 keeps the size.
    void SetHexScrollSizes(int totalWidth, int totalHeight, int blitMode);
    // Menu: scroll sizes of the whole area.
    void SetHexScrollSizes(int totalWidth, int totalHeight);
    // Copies the buffer to the window; null is the whole client area.
    void BlitOSB(const platform::Rect* rect);

    virtual void OnInitialUpdate() {}
    virtual void OnDraw() { BlitOSB(nullptr); }
    virtual void OnUpdate()
    {
        RenderOSB(nullptr);
        BlitOSB(nullptr);
    }
    // Renders the given area (null: everything) into the buffer.
    virtual void RenderOSB(const platform::Rect* rect) { (void)rect; }
    // Without a palette device nothing is ever realised anew.
    bool OnQueryNewPalette() { return false; }
    void OnPaletteChanged() {}

    void AddDirtyRect(const platform::Rect& r) { m_listRects.push_back(r); }
    void FlushDirtyRects();
    void RemoveDirtyRects() { m_listRects.clear(); }
    const std::list<platform::Rect>& DirtyRects() const { return m_listRects; }

    // Centred lines of text into the buffer. Battle: facePass 0 draws the
    // outline, any other value the face. Menu: clears the buffer first and
    // draws the face once (facePass is not used).
    void DrawTextBlock(std::string_view text, int lineHeight, int facePass = 1);

    CDib* GetDib() { return m_pDib.get(); }
    CDibPal* GetPalette() { return m_pPalette.get(); }
    const CDibPal* GetPalette() const { return m_pPalette.get(); }
    const RgbQuad* GetLoadedColors() const { return m_pColorTable.get(); }
    DrawContext& GetDC() { return m_dc; }
    int GetBlitMode() const { return m_nBlitMode; }
    void SetBlitOrigin(int mode, PointI origin)
    {
        m_nBlitMode = mode;
        m_ptOrigin = origin;
    }
    SizeI GetVirtualSize() const { return m_sizeVirtual; }
    SizeI GetPageSize() const { return m_page; }
    SizeI GetLineSize() const { return m_line; }

    // The buffer position shown at window pixel (0, 0).
    PointI BlitSource() const;

protected:
    std::unique_ptr<CDib> m_pDib;
    std::unique_ptr<RgbQuad[]> m_pColorTable;
    std::unique_ptr<CDibPal> m_pPalette;
    SizeI m_sizeVirtual;
    int m_nBlitMode = 0;
    PointI m_ptOrigin;
    std::list<platform::Rect> m_listRects;
    // Stands where the memory device context stood: drawing on the buffer.
    DrawContext m_dc;

    // The size of the whole screen (the full-screen source's, else 1024 x 768).
    SizeI FullScreen() const;

private:
    bool MakeBuffer(int width, int height);

    ProgramVariant m_variant;
    std::function<SizeI()> m_fullScreen;
    SizeI m_client;
    PointI m_scroll;
    SizeI m_page;
    SizeI m_line;
    platform::BlitSink* m_sink = nullptr;
};

}  // namespace zrv
