#pragma once
// CDib: an 8-bit palettised picture, one BITMAPINFO block (header + 256
// colours) and one block of pixel rows stored bottom row first, each padded to
// a multiple of four bytes. Pixels are palette indexes; the class never
// converts colours. Pictures come from .PXS files:
//   u32 width, u32 height, then height x ((width + 3) & ~3) index bytes,
//   bottom row first.
// Every failure shows a box through the dialog service and returns false.
// Paths are CP932 program paths.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/gfx/BlitSink.h"
#include "platform/gfx/Surface8.h"

namespace zrv {

using platform::RgbQuad;

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    platform::ColorTable bmiColors;
};
static_assert(sizeof(BITMAPINFO) == 1064);
static_assert(offsetof(BITMAPINFO, bmiColors) == 40);

class CDib {
public:
    CDib() = default;
    virtual ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    void Free();

    // An empty (zeroed) picture; table (256 entries) copied as it stands, or a
    // zeroed colour table when null.
    bool Create(int width, int height, const RgbQuad* table);
    // A copy of an information block and its stride x height pixel bytes.
    bool Create(const BITMAPINFO* info, const uint8_t* bits);
    // A whole .PXS picture (firstRow < 0) or the band of rowCount rows from
    // firstRow, counted from the top of the file's picture.
    bool CreateFromPXS(const RgbQuad* table, std::string_view path, int firstRow = -1, int rowCount = 0);
    // Two .PXS pictures of one width as one: B on top, A below.
    bool CreateFromTwoPXS(const RgbQuad* table, std::string_view pathA, std::string_view pathB);
    // New colours, and with a path new raw pixel bytes from that file's start.
    bool SetDIB(const RgbQuad* table, const char* path);

    // Reads count bytes from the start of the file into the pixels. A
    // negative count takes the pixel block of a whole .PXS file into the start
    // of the pixels (the lowest rows): the file must have this picture's width
    // and partHeight rows (this picture's height when partHeight < 0), the
    // size of the part it replaces. The pixels change only when the whole
    // count was read.
    virtual bool LoadBits(std::string_view path, long long count, int partHeight = -1);
    // Shows the whole picture at (x, y) with its own colour table.
    virtual void Draw(platform::BlitSink& sink, int x, int y);
    virtual bool Prepare(void* unused);
    virtual void GetRect(platform::Rect& r);
    // Copies w x h from (sx, sy) to (dx, dy) of dst; key -1 copies every
    // pixel, any other key is transparent. Cut to both pictures.
    virtual void CopyRect(CDib* dst, int dx, int dy, int w, int h, int sx, int sy, int key);
    virtual int GetWidth();
    virtual int GetHeight();

    BITMAPINFO* GetHeader() { return m_header.get(); }
    RgbQuad* GetColorTable() { return m_header ? m_header->bmiColors.data() : nullptr; }
    uint8_t* GetBits() { return m_bits; }
    uint8_t* GetBitsPtr() { return m_bits; }
    int GetStride();
    // Address of pixel (x, y) counted from the top-left; null outside.
    uint8_t* GetPixelPtr(int x, int y);
    // Sets every byte of the pixel block (padding included) to fill.
    void ClearBits(uint8_t fill = 0);
    // As CopyRect with 0 transparent, every other index shifted by offset
    // (mod 256).
    void CopyRectIndexOffset(CDib* dst, int dx, int dy, int w, int h, int sx, int sy, int offset);
    void SetColorTable(const RgbQuad* table);
    // Takes bits (owned by someone else) as the pixel block.
    void AttachBits(const RgbQuad* table, uint8_t* bits);
    // Intersects r with (0, 0, width - 1, height - 1); true when not empty.
    bool ClipRect(platform::Rect& r);
    // Index 0 becomes the first colour-table index holding the button face.
    void MapZeroToButtonFace();

    // A view of the pixels and colours for the raster operations; invalid
    // while there is no picture.
    platform::Surface8 Surface();

private:
    bool AllocHeader(int width, int height);
    bool AllocBits(size_t size);
    void FillHeaderTable(const RgbQuad* table, bool clearReserved);

    std::unique_ptr<BITMAPINFO> m_header;
    uint8_t* m_bits = nullptr;
    bool m_ownsBits = true;
};

}  // namespace zrv
