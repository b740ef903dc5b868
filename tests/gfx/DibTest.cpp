#include <gtest/gtest.h>

#include <cstring>

#include "foundation/Dib.h"
#include "tests/gfx/GfxFixture.h"

using zrv::CDib;

namespace {

class DibTest : public gfxtest::Scratch {
protected:
    platform::ColorTable m_table{};
    const zrv::RgbQuad* Table() { return m_table.data(); }
    std::string SizeMessage(const std::string& path) { return "Failed on Load <" + path + ">, UnJust FileSize"; }
};

int Pix(CDib& d, int x, int y)
{
    uint8_t* p = d.GetPixelPtr(x, y);
    return p ? *p : -1;
}

TEST_F(DibTest, FiveByThreeKeepsItsRowPadding)
{
    std::string path = WritePxs("five.pxs", 5, 3, [](int x, int y) { return 10 * y + x + 1; });
    CDib d;
    ASSERT_TRUE(d.CreateFromPXS(Table(), path));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(d.GetWidth(), 5);
    EXPECT_EQ(d.GetHeight(), 3);
    EXPECT_EQ(d.GetStride(), 8);
    EXPECT_EQ(Pix(d, 4, 2), 25);
    EXPECT_EQ(d.GetBits()[5], 0xEE) << "padding bytes are loaded as they are";
    EXPECT_EQ(d.GetHeader()->bmiHeader.biSize, 40u);
    EXPECT_EQ(d.GetHeader()->bmiHeader.biBitCount, 8);
}

TEST_F(DibTest, FileSizesAgainstTheHeader)
{
    auto fn = [](int x, int y) { return x + y + 1; };
    struct Case {
        const char* name;
        std::string path;
        bool ok;
    };
    const Case cases[] = {
        {"exact", WritePxs("exact.pxs", 5, 3, fn), true},
        {"extra bytes after the pixels", WritePxs("extra.pxs", 5, 3, fn, 17), true},
        {"one byte short", WritePxs("short.pxs", 5, 3, fn, -1), false},
        {"header only", WriteHeaderOnly("headonly.pxs", 5, 3, 0), false},
        {"shorter than a header", WriteBytes("tiny.pxs", {1, 0, 0}), false},
        {"huge width", WriteHeaderOnly("huge.pxs", 0x7FFFFFF0u, 2, 64), false},
        {"width x height wraps in 32 bits", WriteHeaderOnly("wrap.pxs", 0x10000u, 0x10000u, 64), false},
        {"height above the signed range", WriteHeaderOnly("neg.pxs", 4, 0x80000001u, 64), false},
        {"zero height", WriteHeaderOnly("zero.pxs", 4, 0, 64), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.Clear();
        CDib d;
        EXPECT_EQ(d.CreateFromPXS(Table(), c.path), c.ok);
        if (c.ok) {
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(Pix(d, 4, 2), 7);
        } else {
            ASSERT_EQ(Boxes().size(), 1u);
            EXPECT_EQ(LastBox(), SizeMessage(c.path));
            EXPECT_EQ(d.GetBits(), nullptr) << "no half-loaded picture";
        }
    }
}

TEST_F(DibTest, MissingFileIsReported)
{
    CDib d;
    std::string path = Path("none.pxs");
    EXPECT_FALSE(d.CreateFromPXS(Table(), path));
    EXPECT_EQ(LastBox(), "Failed on Open <" + path + ">");
}

TEST_F(DibTest, BandsOfRows)
{
    std::string path = WritePxs("ten.pxs", 3, 10, [](int, int y) { return y + 1; });
    CDib whole, band0, band;
    ASSERT_TRUE(whole.CreateFromPXS(Table(), path));
    ASSERT_TRUE(band0.CreateFromPXS(Table(), path, 0, 10));
    ASSERT_EQ(band0.GetHeight(), 10);
    EXPECT_EQ(0, std::memcmp(whole.GetBits(), band0.GetBits(), size_t(4 * 10)));
    ASSERT_TRUE(band.CreateFromPXS(Table(), path, 2, 3));
    EXPECT_EQ(band.GetHeight(), 3);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(Pix(band, 0, y), 3 + y) << "rows 2-4 from the top";

    // Bands that do not lie inside the picture are refused.
    for (auto fr : {std::pair{8, 3}, std::pair{0, 0}, std::pair{2, -1}, std::pair{11, 1}}) {
        SCOPED_TRACE(std::to_string(fr.first) + "+" + std::to_string(fr.second));
        m_boxes.Clear();
        CDib bad;
        EXPECT_FALSE(bad.CreateFromPXS(Table(), path, fr.first, fr.second));
        EXPECT_EQ(LastBox(), SizeMessage(path));
    }
}

TEST_F(DibTest, TwoFilesStackBOverA)
{
    std::string a = WritePxs("a.pxs", 41, 2, [](int, int) { return 1; });
    std::string b = WritePxs("b.pxs", 41, 3, [](int, int) { return 2; });
    std::string c = WritePxs("c.pxs", 42, 3, [](int, int) { return 3; });
    CDib d;
    ASSERT_TRUE(d.CreateFromTwoPXS(Table(), a, b));
    EXPECT_EQ(d.GetHeight(), 5);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(Pix(d, 40, y), y < 3 ? 2 : 1) << y;

    CDib e;
    EXPECT_FALSE(e.CreateFromTwoPXS(Table(), a, c)) << "41 and 42 share a stride but not a width";
    EXPECT_EQ(LastBox(), "Failed on NoMatch <" + a + ", " + c + ">");

    std::string shortB = WritePxs("shortb.pxs", 41, 3, [](int, int) { return 2; }, -2);
    CDib f;
    EXPECT_FALSE(f.CreateFromTwoPXS(Table(), a, shortB));
    EXPECT_EQ(LastBox(), SizeMessage(a));
}

TEST_F(DibTest, LoadBitsReplacesOnlyAPartOfItsOwnSize)
{
    std::string a = WritePxs("a.pxs", 4, 2, [](int, int) { return 1; });
    std::string b = WritePxs("b.pxs", 4, 3, [](int, int) { return 2; });
    std::string frost = WritePxs("frost.pxs", 4, 2, [](int, int) { return 9; });
    std::string tall = WritePxs("tall.pxs", 4, 6, [](int, int) { return 8; });
    std::string wide = WritePxs("wide.pxs", 8, 2, [](int, int) { return 8; });
    CDib d;
    ASSERT_TRUE(d.CreateFromTwoPXS(Table(), a, b));
    ASSERT_TRUE(d.LoadBits(frost, -1, 2));
    for (int y = 0; y < 5; ++y) EXPECT_EQ(Pix(d, 0, y), y < 3 ? 2 : 9) << "only the lower part changed";

    for (const std::string& bad : {tall, wide, a}) {
        SCOPED_TRACE(bad);
        m_boxes.Clear();
        bool ok = d.LoadBits(bad, -1, bad == a ? 3 : 2);
        EXPECT_FALSE(ok);
        EXPECT_EQ(LastBox(), SizeMessage(bad));
        for (int y = 0; y < 5; ++y) EXPECT_EQ(Pix(d, 0, y), y < 3 ? 2 : 9) << "unchanged";
    }
    EXPECT_FALSE(d.LoadBits(Path("missing.pxs"), -1, 2));
    EXPECT_FALSE(d.LoadBits(tall, 1000)) << "a count past the pixel block";
    ASSERT_TRUE(d.LoadBits(tall, 4)) << "raw bytes from the start of the file";
    EXPECT_EQ(d.GetBits()[0], 4) << "the first byte of the width";
}

TEST_F(DibTest, LoadBitsFromAnEmptyFile)
{
    std::string empty = WriteBytes("empty.pxs", {});
    CDib d;
    ASSERT_TRUE(d.Create(4, 2, nullptr));
    std::memset(d.GetBits(), 7, 8);
    EXPECT_TRUE(d.LoadBits(empty, 0)) << "nothing asked, nothing read";
    EXPECT_FALSE(d.LoadBits(empty, 4));
    EXPECT_EQ(LastBox(), SizeMessage(empty));
    EXPECT_FALSE(d.LoadBits(empty, -1, 2));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(d.GetBits()[i], 7) << "unchanged";
}

TEST_F(DibTest, PixelAddressesAndClipping)
{
    CDib d;
    ASSERT_TRUE(d.Create(100, 100, nullptr));
    EXPECT_EQ(d.GetPixelPtr(100, 0), nullptr);
    EXPECT_EQ(d.GetPixelPtr(0, 100), nullptr);
    EXPECT_EQ(d.GetPixelPtr(-1, 0), nullptr);
    EXPECT_EQ(d.GetPixelPtr(0, 0), d.GetBits() + 99 * 100);

    platform::Rect r{-10, -10, 5, 5};
    EXPECT_TRUE(d.ClipRect(r));
    EXPECT_EQ(r, (platform::Rect{0, 0, 5, 5}));
    platform::Rect out{200, 200, 300, 300};
    EXPECT_FALSE(d.ClipRect(out));
}

TEST_F(DibTest, CopiesWithKeysOffsetsAndClipping)
{
    CDib src, dst;
    ASSERT_TRUE(src.Create(4, 4, nullptr));
    ASSERT_TRUE(dst.Create(6, 6, nullptr));
    src.ClearBits(100);
    *src.GetPixelPtr(1, 1) = 0;

    dst.ClearBits(7);
    src.CopyRect(&dst, 0, 0, 4, 4, 0, 0, 0);
    EXPECT_EQ(Pix(dst, 1, 1), 7) << "key 0 shows the destination";
    EXPECT_EQ(Pix(dst, 0, 0), 100);
    src.CopyRect(&dst, 0, 0, 4, 4, 0, 0, -1);
    EXPECT_EQ(Pix(dst, 1, 1), 0) << "-1 copies index 0 too";

    dst.ClearBits(7);
    src.CopyRectIndexOffset(&dst, 0, 0, 4, 4, 0, 0, 200);
    EXPECT_EQ(Pix(dst, 0, 0), 44);
    EXPECT_EQ(Pix(dst, 1, 1), 7);

    // Half outside either picture: only the overlap is written.
    dst.ClearBits(7);
    src.CopyRect(&dst, 4, -2, 4, 4, 0, 0, -1);
    EXPECT_EQ(Pix(dst, 4, 0), 100);
    EXPECT_EQ(Pix(dst, 5, 1), 100);
    EXPECT_EQ(Pix(dst, 4, 2), 7);
    src.CopyRect(&dst, 0, 0, 50, 50, -30, 2, -1);
    src.CopyRectIndexOffset(&dst, -100, -100, 1000, 1000, 0, 0, 1);
    src.CopyRect(&dst, 0, 0, 0, 4, 0, 0, -1);
    src.CopyRect(nullptr, 0, 0, 4, 4, 0, 0, -1);
    SUCCEED();
}

TEST_F(DibTest, ButtonFaceMapping)
{
    platform::ColorTable t{};
    CDib d;
    ASSERT_TRUE(d.Create(3, 2, t.data()));
    zrv::SetButtonFaceColor(zrv::RGB(212, 208, 200));
    d.MapZeroToButtonFace();
    EXPECT_EQ(Pix(d, 2, 1), 0) << "no entry holds the colour: pixels stay 0";

    t[37] = {200, 208, 212, 0};
    t[90] = {200, 208, 212, 0};
    d.SetColorTable(t.data());
    *d.GetPixelPtr(0, 0) = 5;
    d.MapZeroToButtonFace();
    EXPECT_EQ(Pix(d, 2, 1), 37);
    EXPECT_EQ(Pix(d, 0, 0), 5);
}

TEST_F(DibTest, SetDibAndAttachedBits)
{
    CDib empty;
    EXPECT_FALSE(empty.SetDIB(Table(), nullptr));
    EXPECT_EQ(LastBox(), "CDib::SetDIB\nNo Allocate Memories.");

    std::string raw = WriteBytes("raw.bin", std::vector<uint8_t>(16, 3));
    CDib d;
    ASSERT_TRUE(d.Create(4, 4, nullptr));
    ASSERT_TRUE(d.SetDIB(Table(), raw.c_str()));
    EXPECT_EQ(Pix(d, 3, 3), 3);
    std::string shortRaw = WriteBytes("short.bin", std::vector<uint8_t>(15, 3));
    EXPECT_FALSE(d.SetDIB(Table(), shortRaw.c_str()));
    EXPECT_EQ(LastBox(), "CDib::SetDIB\nCan't Load <" + shortRaw + ">");
    EXPECT_EQ(d.GetBits(), nullptr);

    std::vector<uint8_t> foreign(16, 4);
    CDib e;
    ASSERT_TRUE(e.Create(4, 4, nullptr));
    e.AttachBits(nullptr, foreign.data());
    e.ClearBits(9);
    EXPECT_EQ(foreign[15], 9);
    e.Free();
    EXPECT_EQ(foreign[0], 9) << "foreign bits are never freed";
}

}  // namespace

namespace {

struct OneBlit : platform::BlitSink {
    platform::Rect dst;
    int sx = -1, sy = -1, colour = -1;
    void Blit(const platform::Surface8& src, const platform::Rect& d, int x, int y) override
    {
        dst = d;
        sx = x;
        sy = y;
        colour = (*src.Table())[src.GetPixel(0, 0)].rgbRed;
    }
};

TEST_F(DibTest, DrawShowsTheWholePictureWithItsOwnColours)
{
    platform::ColorTable t{};
    t[3].rgbRed = 99;
    CDib d;
    ASSERT_TRUE(d.Create(7, 5, t.data()));
    d.ClearBits(3);
    OneBlit sink;
    d.Draw(sink, 10, 20);
    EXPECT_EQ(sink.dst, (platform::Rect{10, 20, 17, 25}));
    EXPECT_EQ(sink.sx, 0);
    EXPECT_EQ(sink.sy, 0);
    EXPECT_EQ(sink.colour, 99);
    CDib empty;
    OneBlit none;
    empty.Draw(none, 0, 0);
    EXPECT_EQ(none.sx, -1) << "a picture that failed to load draws nothing";
}

}  // namespace
