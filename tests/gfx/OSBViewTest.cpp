#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/OSBView.h"
#include "platform/gfx/Font8.h"
#include "tests/gfx/GfxFixture.h"

using platform::Rect;
using zrv::COSBView;
using zrv::ProgramVariant;
using zrv::SizeI;

namespace {

struct RecordingSink : platform::BlitSink {
    struct Call {
        Rect dst;
        int sx, sy;
    };
    std::vector<Call> calls;
    int colorChanges = 0;
    void Blit(const platform::Surface8&, const Rect& dst, int sx, int sy) override { calls.push_back({dst, sx, sy}); }
    void ColorsChanged() override { ++colorChanges; }
};

class OSBViewTest : public gfxtest::Scratch {
protected:
    void SetUp() override
    {
        Scratch::SetUp();
        std::vector<uint8_t> plb(944);
        for (size_t i = 0; i < 236; ++i) plb[i * 4 + 2] = uint8_t(i);  // red = index - 10
        m_plb = WriteBytes("view.plb", plb);
    }

    std::unique_ptr<COSBView> MakeView(ProgramVariant v, SizeI screen, SizeI client = {1000, 700})
    {
        auto view = std::make_unique<COSBView>(v);
        m_screen = screen;
        view->SetFullScreenSource([this] { return m_screen; });
        view->SetClientSize(client.cx, client.cy);
        view->SetBlitSink(&m_sink);
        EXPECT_TRUE(view->CreateOSB(m_plb));
        return view;
    }

    std::string m_plb;
    SizeI m_screen;
    RecordingSink m_sink;
};

TEST_F(OSBViewTest, BufferSizes)
{
    struct Case {
        ProgramVariant v;
        SizeI screen;
        SizeI buffer;
    };
    const Case cases[] = {
        {ProgramVariant::Battle, {800, 580}, {1136, 880}},
        {ProgramVariant::Battle, {1280, 1004}, {1392, 1116}},
        {ProgramVariant::Menu, {1920, 1080}, {2144, 1032}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.cx) + "x" + std::to_string(c.screen.cy));
        auto view = MakeView(c.v, c.screen);
        ASSERT_NE(view->GetDib(), nullptr);
        EXPECT_EQ(view->GetDib()->GetWidth(), c.buffer.cx);
        EXPECT_EQ(view->GetDib()->GetHeight(), c.buffer.cy);
        EXPECT_EQ(view->GetDib()->GetColorTable()[100].rgbRed, 90) << "the buffer takes the palette's colours";
    }
}

TEST_F(OSBViewTest, ResizeGrowsAndNeverShrinks)
{
    struct Case {
        const char* name;
        SizeI screen;
        bool grows;
        SizeI buffer;
    };
    const Case cases[] = {
        {"both larger", {1600, 1160}, true, {1712, 1272}},
        {"still fits", {1000, 700}, false, {1136, 880}},
        {"only the height", {1000, 900}, true, {1136, 1012}},
        {"fits without the margin only", {1100, 800}, true, {1212, 912}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = MakeView(ProgramVariant::Battle, {800, 580});
        m_screen = c.screen;
        EXPECT_EQ(view->ResizeOSB(), c.grows);
        EXPECT_EQ(view->GetDib()->GetWidth(), c.buffer.cx);
        EXPECT_EQ(view->GetDib()->GetHeight(), c.buffer.cy);
    }
    COSBView none(ProgramVariant::Battle);
    EXPECT_FALSE(none.ResizeOSB());
}

TEST_F(OSBViewTest, ScrollSizes)
{
    auto view = MakeView(ProgramVariant::Battle, {1024, 768}, {1000, 700});
    view->SetHexScrollSizes(5000, 3000, 0);
    EXPECT_EQ(view->GetPageSize(), (SizeI{952, 672}));
    EXPECT_EQ(view->GetLineSize(), (SizeI{56, 42}));
    EXPECT_EQ(view->GetVirtualSize(), (SizeI{5000, 3000}));
    view->SetHexScrollSizes(0, 10, 1);
    EXPECT_EQ(view->GetVirtualSize(), (SizeI{5000, 3000}));
    EXPECT_EQ(view->GetBlitMode(), 1);

    auto menu = MakeView(ProgramVariant::Menu, {1024, 768}, {800, 600});
    menu->SetHexScrollSizes(2144, 1032);
    EXPECT_EQ(menu->GetPageSize(), (SizeI{400, 300}));
    EXPECT_EQ(menu->GetLineSize(), (SizeI{100, 75}));
}

TEST_F(OSBViewTest, BlitSources)
{
    auto view = MakeView(ProgramVariant::Battle, {1024, 768}, {1000, 700});
    Rect r{10, 20, 110, 70};
    view->BlitOSB(&r);
    ASSERT_EQ(m_sink.calls.size(), 1u);
    EXPECT_EQ(m_sink.calls[0].dst, r);
    EXPECT_EQ(m_sink.calls[0].sx, 66);
    EXPECT_EQ(m_sink.calls[0].sy, 62) << "buffer rectangle (66, 62, 166, 112)";

    view->SetBlitOrigin(1, {300, 200});
    view->BlitOSB(&r);
    EXPECT_EQ(m_sink.calls[1].sx, 310);
    EXPECT_EQ(m_sink.calls[1].sy, 220);

    Rect wide{-50, 650, 2000, 900};
    view->BlitOSB(&wide);
    EXPECT_EQ(m_sink.calls[2].dst, (Rect{0, 650, 1000, 700})) << "cut to the client area";
    Rect outside{1200, 0, 1300, 10};
    view->BlitOSB(&outside);
    EXPECT_EQ(m_sink.calls.size(), 3u);

    auto menu = MakeView(ProgramVariant::Menu, {1024, 768}, {640, 480});
    menu->SetScrollPosition(500, 300);
    menu->BlitOSB(nullptr);
    EXPECT_EQ(m_sink.calls.back().dst, (Rect{0, 0, 640, 480}));
    EXPECT_EQ(m_sink.calls.back().sx, 500);
    EXPECT_EQ(m_sink.calls.back().sy, 300);

    COSBView noBuffer(ProgramVariant::Battle);
    noBuffer.SetBlitSink(&m_sink);
    noBuffer.BlitOSB(nullptr);
    EXPECT_EQ(m_sink.calls.size(), 4u);
}

class RecordingView : public COSBView {
public:
    using COSBView::COSBView;
    std::vector<std::string>* log = nullptr;
    void RenderOSB(const Rect* r) override { log->push_back("render " + std::to_string(r ? r->left : -1)); }
};

struct LoggingSink : platform::BlitSink {
    std::vector<std::string>* log = nullptr;
    void Blit(const platform::Surface8&, const Rect& dst, int, int) override
    {
        log->push_back("blit " + std::to_string(dst.left));
    }
};

TEST_F(OSBViewTest, FlushRendersAllThenBlitsHeadToTail)
{
    std::vector<std::string> log;
    LoggingSink sink;
    sink.log = &log;
    RecordingView view(ProgramVariant::Battle);
    view.log = &log;
    view.SetClientSize(500, 500);
    view.SetBlitSink(&sink);
    ASSERT_TRUE(view.CreateOSB(m_plb));
    view.AddDirtyRect({1, 0, 10, 10});
    view.AddDirtyRect({2, 0, 10, 10});
    view.AddDirtyRect({3, 0, 10, 10});
    view.FlushDirtyRects();
    EXPECT_EQ(log, (std::vector<std::string>{"render 1", "render 2", "render 3", "blit 1", "blit 2", "blit 3"}));
    EXPECT_TRUE(view.DirtyRects().empty());
    view.AddDirtyRect({4, 0, 10, 10});
    view.RemoveDirtyRects();
    EXPECT_TRUE(view.DirtyRects().empty());
}

TEST_F(OSBViewTest, PaletteChangesAskForARepaint)
{
    auto view = MakeView(ProgramVariant::Battle, {1024, 768});
    int before = m_sink.colorChanges;
    view->GetPalette()->FadeFromBlack(view->GetLoadedColors(), 0);
    view->GetPalette()->ApplyColorTable(view->GetDib());
    EXPECT_EQ(m_sink.colorChanges, before + 1);
    EXPECT_EQ(view->GetDib()->GetColorTable()[100].rgbRed, 0);
    EXPECT_EQ(view->GetLoadedColors()[100].rgbRed, 90) << "the loaded colours stay as they were";
    EXPECT_FALSE(view->OnQueryNewPalette());
}

// The text block as the expected drawing: the line at (x, y) in the font.
platform::Surface8 Expected(int w, int h, const std::vector<std::tuple<int, int, std::string>>& lines,
                            const platform::ColorTable& table, uint8_t index, bool outline)
{
    platform::Surface8 s(w, h);
    auto font = platform::Font::Create(24, 700, "ＭＳ ゴシック");
    for (auto& [x, y, text] : lines) {
        if (outline) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (dx || dy) font->DrawText(s, x + dx, y + dy, text, index);
        } else {
            font->DrawText(s, x, y, text, index);
        }
    }
    (void)table;
    return s;
}

int CountDifferences(zrv::CDib& dib, const platform::Surface8& expected, int w, int h)
{
    int diff = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (*dib.GetPixelPtr(x, y) != expected.GetPixel(x, y)) ++diff;
    return diff;
}

TEST_F(OSBViewTest, TextBlockPositions)
{
    auto view = MakeView(ProgramVariant::Battle, {1024, 768}, {800, 600});
    view->SetBlitOrigin(1, {0, 0});
    view->GetDib()->ClearBits(0);
    // Two lines at height 24 in a 600-high window: (600 - 5 x 12) / 2 = 270,
    // then 270 + 24 + 12 = 306; x from the byte length (2 bytes a kanji).
    const std::string text = "AB\n戦記テスト";
    view->DrawTextBlock(text, 24, 1);
    uint8_t white = platform::NearestIndex(view->GetDib()->GetHeader()->bmiColors, {254, 254, 254});
    auto face = Expected(800, 600, {{388, 270, "AB"}, {340, 306, "戦記テスト"}}, {}, white, false);
    EXPECT_EQ(CountDifferences(*view->GetDib(), face, 800, 600), 0);

    // The outline pass draws in the current text colour around each position.
    view->GetDib()->ClearBits(0);
    view->GetDC().SetTextColor(zrv::RGB(5, 0, 0));  // entry 15 in this palette
    view->DrawTextBlock(text, 24, 0);
    auto outline = Expected(800, 600, {{388, 270, "AB"}, {340, 306, "戦記テスト"}}, {}, 15, true);
    EXPECT_EQ(CountDifferences(*view->GetDib(), outline, 800, 600), 0);
}

TEST_F(OSBViewTest, TextBlockEdges)
{
    // A line wider than the window starts at half the line height; a line of
    // 256 bytes is cut before its last two-byte character.
    auto view = MakeView(ProgramVariant::Battle, {1024, 768}, {200, 40});
    view->GetDib()->ClearBits(0);
    std::string longLine;
    for (int i = 0; i < 128; ++i) longLine += "戦";
    view->DrawTextBlock(longLine, 24, 1);
    uint8_t white = platform::NearestIndex(view->GetDib()->GetHeader()->bmiColors, {254, 254, 254});
    auto expected = Expected(1136, 100, {{12, 12, longLine.substr(0, 254)}}, {}, white, false);
    EXPECT_EQ(CountDifferences(*view->GetDib(), expected, 1136, 100), 0);
    view->DrawTextBlock("", 24, 1);

    // Menu form: clears the buffer to 0 and uses the line height where a
    // centred position would be negative.
    auto menu = MakeView(ProgramVariant::Menu, {1024, 768}, {100, 10});
    menu->GetDib()->ClearBits(33);
    menu->DrawTextBlock("ABCDEFGHIJKL", 24, 0);
    uint8_t mwhite = platform::NearestIndex(menu->GetDib()->GetHeader()->bmiColors, {254, 254, 254});
    auto mexp = Expected(400, 100, {{24, 24, "ABCDEFGHIJKL"}}, {}, mwhite, false);
    EXPECT_EQ(CountDifferences(*menu->GetDib(), mexp, 400, 100), 0);
    EXPECT_EQ(*menu->GetDib()->GetPixelPtr(2000, 1000), 0);
}

}  // namespace
