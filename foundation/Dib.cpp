#include "foundation/Dib.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "foundation/DialogService.h"
#include "foundation/GfxSettings.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

constexpr const char* kNoHeaderMemory = "CDib::Create\nOut of memory in DIB Header request.";
constexpr const char* kNoPixelMemory = "CDib::Create\nOut of memory in DIB Pixel request.";
constexpr const char* kOpenFailed = "Failed on Open <%s>";
constexpr const char* kSizeFailed = "Failed on Load <%s>, UnJust FileSize";
constexpr const char* kNoMatch = "Failed on NoMatch <%s, %s>";

void Box(std::string_view text)
{
    Dialogs().MessageBox(text, kBoxOk);
}

void Box(const char* format, std::string_view path)
{
    Box(platform::FormatText(format, {path}));
}

uint32_t ReadU32(const std::vector<uint8_t>& data, size_t at)
{
    return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
           uint32_t(data[at + 3]) << 24;
}

// A .PXS file read whole, with its header checked against what is really in
// the file: the pixel block of a damaged or foreign file would otherwise be
// allocated from an unchecked header and read past the data.
struct PxsFile {
    std::vector<uint8_t> data;
    uint32_t width = 0;
    uint32_t height = 0;

    uint64_t Stride() const { return (uint64_t(width) + 3) & ~uint64_t(3); }
    const uint8_t* Pixels() const { return data.data() + 8; }
    uint64_t PixelBytes() const { return data.size() - 8; }
};

enum class PxsResult { Ok, Open, Size };

PxsResult OpenPxs(std::string_view path, PxsFile& f)
{
    if (!platform::ReadWholeFile(path, f.data)) return PxsResult::Open;
    if (f.data.size() < 8) return PxsResult::Size;
    f.width = ReadU32(f.data, 0);
    f.height = ReadU32(f.data, 4);
    // The header's sizes become the picture's signed 32-bit dimensions, and a
    // picture with no pixels cannot be shown.
    constexpr uint32_t kMax = uint32_t(std::numeric_limits<int32_t>::max()) - 3;
    if (f.width == 0 || f.height == 0 || f.width > kMax || f.height > kMax) return PxsResult::Size;
    // 64-bit: a 32-bit product of a huge header wraps around to a small block.
    if (f.Stride() * uint64_t(f.height) > f.PixelBytes()) return PxsResult::Size;
    return PxsResult::Ok;
}

}  // namespace

CDib::~CDib()
{
    Free();
}

void CDib::Free()
{
    m_header.reset();
    if (m_ownsBits && m_bits != nullptr) {
        delete[] m_bits;
        m_bits = nullptr;
    }
}

bool CDib::AllocHeader(int width, int height)
{
    m_header.reset(new (std::nothrow) BITMAPINFO{});
    if (!m_header) {
        Box(kNoHeaderMemory);
        return false;
    }
    BITMAPINFOHEADER& h = m_header->bmiHeader;
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    return true;
}

bool CDib::AllocBits(size_t size)
{
    if (m_ownsBits) delete[] m_bits;
    m_bits = nullptr;
    m_ownsBits = true;
    m_bits = new (std::nothrow) uint8_t[size == 0 ? 1 : size]();
    if (m_bits == nullptr) {
        m_header.reset();
        Box(kNoPixelMemory);
        return false;
    }
    return true;
}

void CDib::FillHeaderTable(const RgbQuad* table, bool clearReserved)
{
    if (table == nullptr) {
        m_header->bmiColors.fill(RgbQuad{});
        return;
    }
    std::memcpy(m_header->bmiColors.data(), table, sizeof(platform::ColorTable));
    if (clearReserved)
        for (RgbQuad& q : m_header->bmiColors) q.rgbReserved = 0;
}

bool CDib::Create(int width, int height, const RgbQuad* table)
{
    Free();
    if (width <= 0 || height <= 0) {
        Box(kNoPixelMemory);
        return false;
    }
    if (!AllocHeader(width, height)) return false;
    FillHeaderTable(table, false);
    return AllocBits(size_t(platform::StrideFor(width)) * size_t(height));
}

bool CDib::Create(const BITMAPINFO* info, const uint8_t* bits)
{
    Free();
    if (info == nullptr || info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight <= 0) {
        Box(kNoPixelMemory);
        return false;
    }
    m_header.reset(new (std::nothrow) BITMAPINFO(*info));
    if (!m_header) {
        Box(kNoHeaderMemory);
        return false;
    }
    size_t size = size_t(platform::StrideFor(info->bmiHeader.biWidth)) * size_t(info->bmiHeader.biHeight);
    if (!AllocBits(size)) return false;
    if (bits != nullptr) std::memcpy(m_bits, bits, size);
    return true;
}

bool CDib::CreateFromPXS(const RgbQuad* table, std::string_view path, int firstRow, int rowCount)
{
    Free();
    if (!AllocHeader(0, 0)) return false;
    FillHeaderTable(table, true);
    PxsFile f;
    PxsResult r = OpenPxs(path, f);
    if (r == PxsResult::Open) {
        Box(kOpenFailed, path);
        return false;
    }
    if (r == PxsResult::Size) {
        Box(kSizeFailed, path);
        return false;
    }
    uint64_t stride = f.Stride();
    uint64_t skip = 0;
    uint32_t rows = f.height;
    if (firstRow >= 0) {
        // A band that does not lie wholly inside the file's picture would skip
        // a negative number of rows; it is refused instead.
        if (rowCount <= 0 || uint64_t(firstRow) + uint64_t(rowCount) > f.height) {
            Box(kSizeFailed, path);
            return false;
        }
        rows = uint32_t(rowCount);
        skip = (uint64_t(f.height) - uint64_t(firstRow) - uint64_t(rowCount)) * stride;
    }
    m_header->bmiHeader.biWidth = int32_t(f.width);
    m_header->bmiHeader.biHeight = int32_t(rows);
    size_t size = size_t(stride * rows);
    if (!AllocBits(size)) return false;
    std::memcpy(m_bits, f.Pixels() + skip, size);
    return true;
}

bool CDib::CreateFromTwoPXS(const RgbQuad* table, std::string_view pathA, std::string_view pathB)
{
    Free();
    if (!AllocHeader(0, 0)) return false;
    FillHeaderTable(table, true);
    PxsFile a, b;
    PxsResult ra = OpenPxs(pathA, a);
    if (ra == PxsResult::Open) {
        Box(kOpenFailed, pathA);
        return false;
    }
    PxsResult rb = OpenPxs(pathB, b);
    if (rb == PxsResult::Open) {
        Box(kOpenFailed, pathB);
        return false;
    }
    // The widths are compared as soon as both are known, before any size
    // check, so a pair of mismatched files is reported as such.
    if (a.data.size() >= 4 && b.data.size() >= 4 && ReadU32(a.data, 0) != ReadU32(b.data, 0)) {
        Box(platform::FormatText(kNoMatch, {pathA, pathB}));
        return false;
    }
    if (ra == PxsResult::Size || rb == PxsResult::Size ||
        uint64_t(a.height) + uint64_t(b.height) > uint64_t(std::numeric_limits<int32_t>::max())) {
        Box(kSizeFailed, pathA);
        return false;
    }
    m_header->bmiHeader.biWidth = int32_t(a.width);
    m_header->bmiHeader.biHeight = int32_t(a.height + b.height);
    size_t sizeA = size_t(a.Stride() * a.height);
    size_t sizeB = size_t(b.Stride() * b.height);
    if (!AllocBits(sizeA + sizeB)) return false;
    // Rows are stored bottom-up: A's block first makes A the lower part.
    std::memcpy(m_bits, a.Pixels(), sizeA);
    std::memcpy(m_bits + sizeA, b.Pixels(), sizeB);
    return true;
}

bool CDib::SetDIB(const RgbQuad* table, const char* path)
{
    if (!m_header || m_bits == nullptr) {
        Box("CDib::SetDIB\nNo Allocate Memories.");
        Free();
        return false;
    }
    FillHeaderTable(table, true);
    if (path != nullptr && !LoadBits(path, (long long)GetStride() * GetHeight())) {
        Box(platform::FormatText("CDib::SetDIB\nCan't Load <%s>", {path}));
        Free();
        return false;
    }
    return true;
}

bool CDib::LoadBits(std::string_view path, long long count, int partHeight)
{
    std::vector<uint8_t> data;
    if (!platform::ReadWholeFile(path, data)) {
        Box(kOpenFailed, path);
        return false;
    }
    if (m_bits == nullptr || !m_header) {
        Box(kSizeFailed, path);
        return false;
    }
    uint64_t blockSize = uint64_t(GetStride()) * uint64_t(GetHeight());
    size_t offset = 0;
    uint64_t want = 0;
    if (count < 0) {
        // The file replaces a part of this picture; a file of another size
        // would overwrite memory past that part, or past the picture.
        int rows = partHeight < 0 ? GetHeight() : partHeight;
        if (rows <= 0 || rows > GetHeight() || data.size() < 8 || ReadU32(data, 0) != uint32_t(GetWidth()) ||
            ReadU32(data, 4) != uint32_t(rows)) {
            Box(kSizeFailed, path);
            return false;
        }
        offset = 8;
        want = uint64_t(GetStride()) * uint64_t(rows);
    } else {
        want = uint64_t(count);
        if (want > blockSize) {
            Box(kSizeFailed, path);
            return false;
        }
    }
    if (data.size() - offset < want) {
        Box(kSizeFailed, path);
        return false;
    }
    // An empty file holds no buffer to copy from, even for a count of 0.
    if (want != 0) std::memcpy(m_bits, data.data() + offset, size_t(want));
    return true;
}

void CDib::Draw(platform::BlitSink& sink, int x, int y)
{
    platform::Surface8 s = Surface();
    if (!s.IsValid()) return;
    sink.Blit(s, {x, y, x + s.Width(), y + s.Height()}, 0, 0);
}

bool CDib::Prepare(void*)
{
    return true;
}

void CDib::GetRect(platform::Rect& r)
{
    r = {0, 0, GetWidth(), GetHeight()};
}

void CDib::CopyRect(CDib* dst, int dx, int dy, int w, int h, int sx, int sy, int key)
{
    if (dst == nullptr || w == 0 || h == 0) return;
    platform::Surface8 d = dst->Surface();
    d.Blit(Surface(), dx, dy, w, h, sx, sy, key);
}

void CDib::CopyRectIndexOffset(CDib* dst, int dx, int dy, int w, int h, int sx, int sy, int offset)
{
    if (dst == nullptr || w == 0 || h == 0) return;
    platform::Surface8 d = dst->Surface();
    d.BlitIndexOffset(Surface(), dx, dy, w, h, sx, sy, offset);
}

int CDib::GetWidth()
{
    return m_header ? m_header->bmiHeader.biWidth : 0;
}

int CDib::GetHeight()
{
    return m_header ? m_header->bmiHeader.biHeight : 0;
}

int CDib::GetStride()
{
    return platform::StrideFor(GetWidth());
}

uint8_t* CDib::GetPixelPtr(int x, int y)
{
    int w = GetWidth(), h = GetHeight();
    if (m_bits == nullptr || x < 0 || y < 0 || x >= w || y >= h) return nullptr;
    return m_bits + size_t(h - y - 1) * size_t(GetStride()) + size_t(x);
}

void CDib::ClearBits(uint8_t fill)
{
    if (m_bits != nullptr) std::memset(m_bits, fill, size_t(GetStride()) * size_t(GetHeight()));
}

void CDib::SetColorTable(const RgbQuad* table)
{
    if (m_header && table != nullptr) std::memcpy(m_header->bmiColors.data(), table, sizeof(platform::ColorTable));
}

void CDib::AttachBits(const RgbQuad* table, uint8_t* bits)
{
    SetColorTable(table);
    if (m_ownsBits) delete[] m_bits;
    m_bits = bits;
    m_ownsBits = false;
}

bool CDib::ClipRect(platform::Rect& r)
{
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, GetWidth() - 1);
    r.bottom = std::min(r.bottom, GetHeight() - 1);
    return !r.IsEmpty();
}

void CDib::MapZeroToButtonFace()
{
    RgbQuad* table = GetColorTable();
    if (table == nullptr || m_bits == nullptr) return;
    COLORREF face = GetButtonFaceColor();
    int index = 0;
    for (int i = 0; i < 256; ++i) {
        if (table[i].rgbRed == GetRValue(face) && table[i].rgbGreen == GetGValue(face) &&
            table[i].rgbBlue == GetBValue(face)) {
            index = i;
            break;
        }
    }
    if (index == 0) return;
    size_t size = size_t(GetStride()) * size_t(GetHeight());
    for (size_t i = 0; i < size; ++i)
        if (m_bits[i] == 0) m_bits[i] = uint8_t(index);
}

platform::Surface8 CDib::Surface()
{
    if (!m_header || m_bits == nullptr) return {};
    return platform::Surface8::Wrap(m_bits, GetWidth(), GetHeight(), &m_header->bmiColors);
}

}  // namespace zrv
