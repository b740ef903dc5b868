// The scene scripts without a window: a fake host that counts timers, fades
// and sounds, a stage that records what the opcodes ask to draw, and a
// library fixture with one scenario whose branches change the record.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/DataLibrary.h"
#include "menu/SceneEngine.h"
#include "support/FixtureLibrary.h"

namespace menutest {
namespace {

using namespace zrv;

class FakeHost : public SceneHost {
public:
    bool StartTimer(int id, int) override
    {
        if (failTimers) return false;
        started.push_back(id);
        timer = id;
        return true;
    }
    void KillTimer(int id) override
    {
        if (timer == id) timer = 0;
    }
    void PlayEffect(int e) override { effects.push_back(e); }
    void SaveFadeBase() override { ++bases; }
    void ApplyFadeLevel(int level) override { levels.push_back(level); }
    void LockMenus(bool locked) override { locks.push_back(locked); }
    int Random(int lo, int) override { return lo; }
    bool failTimers = false;
    int timer = 0, bases = 0;
    std::vector<int> started, effects, levels;
    std::vector<bool> locks;
};

class RecordingStage : public SceneStage {
public:
    bool Redraw(bool skip) override
    {
        calls.push_back(skip ? "redraw skip" : "redraw");
        if (skip) moving = 0;
        return moving > 0 && moving-- > 0;
    }
    void RaiseFlag(int slot, int x, int y, int flag) override
    {
        calls.push_back("raise " + std::to_string(slot) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(flag));
        moving = 3;
    }
    void SinkFlag(int slot) override
    {
        calls.push_back("sink " + std::to_string(slot));
        moving = 3;
    }
    void ShowFrame(const int32_t* rect) override
    {
        calls.push_back(rect == nullptr ? "frame keep" : "frame " + std::to_string(rect[0]));
    }
    void DrawGlyph(int x, int y, std::string_view ch, int height) override
    {
        glyphs.push_back({x, y, std::string(ch), height});
    }
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    struct Glyph {
        int x, y;
        std::string ch;
        int height;
    };
    int moving = 0;
    int width = 640, height = 480;
    std::vector<std::string> calls;
    std::vector<Glyph> glyphs;
};

class SceneEngineTest : public testing::Test {
protected:
    void SetUp() override
    {
        lib = zrvtest::FixtureLibrary();
        SCNRBASESTRUCT& s = scenarios[0];
        std::strcpy(s.szName, "FIRST.SC2");
        s.rcMap[0] = 100, s.rcMap[1] = 100, s.rcMap[2] = 300, s.rcMap[3] = 200;
        for (auto& e : s.Start) e = {-1, 0, 0};
        s.Start[0] = {3, 150, 160};
        s.Start[1] = {4, 250, 170};
        SCNRBRANCH& b = s.Branch[0];
        b.dwCountryResult[0] = 0;
        b.dwCountryResult[1] = (1u << 30) | (1u << 29) | 7u;
        b.dwCountryResult[2] = (1u << 30) | (1u << 28);
        b.pCityChange = cityChanges.data();
        b.pCountryChange = countryChanges.data();
        b.pszOutcome = outcome.c_str();
        lib.ScenarioData = scenarios;
        lib.g_nMaxScnr = 1;
        lib.IWCityData = cities;
        lib.g_nMaxIWCity = 4;
        SetLib(&lib);
        record = std::make_unique<CAMPAIGNSTRUCT>();
        std::memset(record.get(), 0, sizeof *record);
        std::memset(record->byCountryId, 0xFF, sizeof record->byCountryId);
        engine.SetCampaign(record.get());
        engine.SetScenario(0);
        engine.SetOutcome(0);
    }
    void TearDown() override { SetLib(nullptr); }

    // Pumps and ticks until the script ends or limit ticks passed; the ticks.
    int RunToEnd(int limit = 10000)
    {
        int ticks = 0;
        engine.Pump();
        while (engine.Running() && ticks < limit) {
            if (engine.ClickWait()) {
                engine.OnClick();
            } else {
                engine.OnTimer(host.timer);
                ++ticks;
            }
            engine.Pump();
        }
        return ticks;
    }
    // Ticks the pending wait to its end; the number of ticks.
    int TicksOfWait()
    {
        int ticks = 0;
        while (engine.WaitPending() && ticks < 10000) {
            engine.OnTimer(host.timer);
            ++ticks;
        }
        return ticks;
    }

    DataLibrary lib;
    std::array<SCNRBASESTRUCT, 1> scenarios{};
    std::array<IWCITYSTRUCT, 4> cities{{{10, 20, 0, 0, ""}, {30, 40, 0, 0, ""}, {50, 60, 0, 0, ""}, {70, 80, 0, 0, ""}}};
    // Group of id 5 (not among the ids), group of id 40 (always), a group of
    // the record's id 9, then the end.
    std::vector<int32_t> cityChanges = {5, 0, 11, -1, 40, 1, 22, -1, 9, 2, 33, 3, 44, -1, -1, 0, 99};
    std::vector<int32_t> countryChanges = {1, 7, 3, 8, -1, 2, 9};
    std::string outcome = "\x8F\x9F\x97\x98";  // 勝利
    std::unique_ptr<CAMPAIGNSTRUCT> record;
    FakeHost host;
    RecordingStage stage;
    SceneEngine engine{host, stage};
};

TEST_F(SceneEngineTest, ArgumentCountsOfEveryKindOfOpcode)
{
    struct Case {
        std::vector<int32_t> words;
        size_t length;
    };
    const Case cases[] = {
        {{0}, 1},          {{1, 10}, 2},          {{2}, 1},           {{9, 1, 2}, 3},
        {{13, -1}, 2},     {{13, 1, 2, 3, 4}, 5}, {{15, -1, 8}, 3},   {{15, 1, 2, 3, 4, 8}, 6},
        {{18, 0, 1, 2, 3}, 5}, {{36, 17}, 2},     {{52, 1}, 1},       {{-3, 1}, 1},
        {{51}, 1},         {{20, 1, 2, 3, 4}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "opcode " << c.words[0]);
        EXPECT_EQ(SceneEngine::OpLength(c.words, 0), c.length);
    }
    // The constant scripts parse to their last word.
    EXPECT_EQ(SceneEngine::ScriptLength(ResultScript()), ResultScript().size());
    EXPECT_EQ(SceneEngine::ScriptLength(BriefingScript()), BriefingScript().size());
    const std::vector<int32_t> briefing = {1, 10, 12, 16, 4, 23, 0, 23, 1, 23, 2, 23, 3, 23, 4, 23, 5, 23, 6,
                                           23, 7, 1, 30, 27, 28, 128, 50, 51, 2, 0};
    EXPECT_EQ(std::vector<int32_t>(BriefingScript().begin(), BriefingScript().end()), briefing);
}

TEST_F(SceneEngineTest, RunnerLocksTheMenusWhileAScriptRunsAndACloseEndsItWithOne)
{
    const std::vector<int32_t> empty = {0};
    EXPECT_FALSE(engine.Begin(empty));
    EXPECT_EQ(engine.Result(), 0);
    EXPECT_TRUE(host.locks.empty()) << "an empty script greys nothing";

    const std::vector<int32_t> script = {1, 10, 3, 7, 0};
    ASSERT_TRUE(engine.Begin(script));
    engine.Pump();
    EXPECT_TRUE(engine.WaitPending());
    EXPECT_EQ(host.timer, kTimerWait);
    engine.OnClose();
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.Result(), 1);
    EXPECT_EQ(host.timer, 0) << "the timer is killed";
    EXPECT_TRUE(host.effects.empty()) << "nothing after the close runs";
    EXPECT_EQ(host.locks, (std::vector<bool>{true, false}));
}

TEST_F(SceneEngineTest, ClicksEndTimedWaitsReleaseClickWaitsAndDoNothingOnceSkippingIsOff)
{
    // A click during a timed wait ends it at once.
    const std::vector<int32_t> timed = {1, 100, 3, 1, 0};
    ASSERT_TRUE(engine.Begin(timed));
    engine.Pump();
    engine.OnClick();
    EXPECT_FALSE(engine.WaitPending());
    engine.Pump();
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(host.effects, std::vector<int>{1});

    // A click before opcode 2 does not count; the next one releases it.
    const std::vector<int32_t> clicks = {1, 5, 2, 3, 2, 0};
    ASSERT_TRUE(engine.Begin(clicks));
    engine.Pump();
    engine.OnClick();  // ends the timed wait
    engine.Pump();
    EXPECT_TRUE(engine.ClickWait());
    engine.OnTimer(host.timer);
    engine.Pump();
    EXPECT_TRUE(engine.ClickWait()) << "ticks do not release a click wait";
    engine.OnClick();
    engine.Pump();
    EXPECT_FALSE(engine.Running());

    // After opcode 6 clicks do nothing.
    const std::vector<int32_t> locked = {6, 1, 3, 0};
    ASSERT_TRUE(engine.Begin(locked));
    engine.Pump();
    engine.OnClick();
    EXPECT_TRUE(engine.WaitPending());
    EXPECT_EQ(TicksOfWait(), 4);
}

TEST_F(SceneEngineTest, WaitsAndFadesTakeTheirTicksAndEndOnTheirLevels)
{
    struct Case {
        std::vector<int32_t> script;
        int ticks, level;
    };
    const Case cases[] = {
        {{1, 10, 0}, 11, 256},   // n + 1 ticks
        {{5, 0}, 8, 0},          // 255 down by 32
        {{28, 128, 0}, 32, 128}, // 255 down by 4, snapped to the target
        {{29, 128, 0}, 32, 255}, // up by 4 to 255
        {{43, 0}, 8, 1},
        {{44, 0}, 8, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "opcode " << c.script[0]);
        host.levels.clear();
        ASSERT_TRUE(engine.Begin(c.script));
        engine.Pump();
        EXPECT_EQ(TicksOfWait(), c.ticks);
        engine.Pump();
        EXPECT_FALSE(engine.Running());
        if (c.script[0] != 1) {
            EXPECT_EQ(engine.FadeLevel(), c.level);
            EXPECT_EQ(host.levels.back(), c.level);
        }
    }
    // Without a timer fades jump to their end and waits vanish.
    host.failTimers = true;
    const std::vector<int32_t> script = {1, 10, 28, 64, 0};
    ASSERT_TRUE(engine.Begin(script));
    engine.Pump();
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.FadeLevel(), 64);
}

TEST_F(SceneEngineTest, ChangeListsApplyOnlyToSurrenderedOrHighCountryIds)
{
    record->byCountryId[3] = 9;
    record->dwWorldCity[0] = 100;
    const std::vector<int32_t> script = {34, 0};
    ASSERT_TRUE(engine.Begin(script));
    engine.Pump();
    EXPECT_EQ(record->dwWorldCity[0], 100u) << "id 5 is not among the ids";
    EXPECT_EQ(record->dwWorldCity[1], 22u) << "id 40 always applies";
    EXPECT_EQ(record->dwWorldCity[2], 33u);
    EXPECT_EQ(record->dwWorldCity[3], 44u);
    EXPECT_EQ(record->dwWorldNation[1], 7u);
    EXPECT_EQ(record->dwWorldNation[3], 8u);
    EXPECT_EQ(record->dwWorldNation[2], 0u) << "the list ended at the negative word";
}

TEST_F(SceneEngineTest, ResultFlagsSinkAndRiseByTheirBitsAndTheCountryMask)
{
    // Country 0: no bits; country 1: sinks, then flag 7 rises at its start;
    // country 2: bit 28 without its mask bit does nothing; with it, it sinks.
    std::vector<int32_t> script;
    for (int c = 0; c < 3; ++c) script.insert(script.end(), {24, c, 25});
    script.push_back(0);
    ASSERT_TRUE(engine.Begin(script));
    RunToEnd();
    EXPECT_EQ(std::count(stage.calls.begin(), stage.calls.end(), "sink 1"), 1);
    EXPECT_EQ(std::count(stage.calls.begin(), stage.calls.end(), "raise 1 250 170 7"), 1);
    EXPECT_EQ(std::count(stage.calls.begin(), stage.calls.end(), "sink 0"), 0);
    EXPECT_EQ(std::count(stage.calls.begin(), stage.calls.end(), "sink 2"), 0);

    stage.calls.clear();
    record->Player.dwCpuTarget = 1u << 2;
    ASSERT_TRUE(engine.Begin(script));
    RunToEnd();
    EXPECT_EQ(std::count(stage.calls.begin(), stage.calls.end(), "sink 2"), 1);
    EXPECT_EQ(std::count(stage.calls.begin(), stage.calls.end(), "raise 2 0 0 0"), 0) << "no bit 29";

    // Opcode 23: start entries; a negative one does nothing.
    stage.calls.clear();
    const std::vector<int32_t> briefing = {23, 0, 23, 2, 23, 9, 0};
    ASSERT_TRUE(engine.Begin(briefing));
    RunToEnd();
    EXPECT_EQ(stage.calls.front(), "raise 0 150 160 3");
    EXPECT_EQ(std::count_if(stage.calls.begin(), stage.calls.end(),
                            [](const std::string& s) { return s.rfind("raise", 0) == 0; }),
              1);
}

TEST_F(SceneEngineTest, JumpsOfTheTextPagesAndTheScenarioLoopStayInsideTheScript)
{
    // The outcome text pages: 32 goes back to the 31 while text remains.
    std::string longText;
    for (int i = 0; i < 200; ++i) longText += "\x90\xED";  // 戦
    outcome = longText;
    scenarios[0].Branch[0].pszOutcome = outcome.c_str();
    stage.height = 160;  // (160 - 100) / 30 = 2: three lines a page
    stage.width = 360;   // (360 - 160) / 20 = 10 cells
    const std::vector<int32_t> pages = {30, 31, 2, 32, 0};
    ASSERT_TRUE(engine.Begin(pages));
    RunToEnd();
    EXPECT_EQ(stage.glyphs.size(), 200u);
    EXPECT_EQ(stage.glyphs[30].y, 50) << "the next page starts at the top";
    EXPECT_EQ(stage.glyphs[29].y, 50 + 2 * 30);

    // The loop goes round once per list entry: 36(3) lands on the 37.
    record->nHistory = 3;
    const std::vector<int32_t> loop = {35, 37, 36, 3, 0};
    host.effects.clear();
    ASSERT_TRUE(engine.Begin(loop));
    RunToEnd();
    EXPECT_EQ(std::count(host.effects.begin(), host.effects.end(), 26), 3);

    // A jump outside the script ends it.
    const std::vector<int32_t> wild = {35, 36, 99, 3, 1, 0};
    host.effects.clear();
    ASSERT_TRUE(engine.Begin(wild));
    RunToEnd();
    EXPECT_FALSE(engine.Running());
    EXPECT_TRUE(host.effects.empty());
}

TEST(SceneTextTest, LineBreaksHangingPunctuationAndLeadBytes)
{
    RecordingStage stage;
    SceneText text;
    SceneText::Segment seg;
    seg.text = "\x88\xEA\x93\xF1\x8E\x4F\x81\x42\x81\x76\x8E\x6C";  // 一二三。」四
    seg.width = 3;
    text.Start({seg});
    std::vector<SceneText::Step> steps;
    for (int i = 0; i < 10; ++i) {
        const SceneText::Step s = text.Next(stage);
        steps.push_back(s);
        if (s == SceneText::Step::Done) break;
    }
    using S = SceneText::Step;
    // 一二三 then 。 at the width stays; 」 breaks the line first.
    EXPECT_EQ(steps, (std::vector<S>{S::Char, S::Char, S::Char, S::Char, S::Break, S::Char, S::Char, S::Done}));
    ASSERT_EQ(stage.glyphs.size(), 6u);
    EXPECT_EQ(stage.glyphs[3].x, 60);
    EXPECT_EQ(stage.glyphs[3].ch, "\x81\x42");  // 。
    EXPECT_EQ(stage.glyphs[4].x, 0);
    EXPECT_EQ(stage.glyphs[4].y, 30);
    EXPECT_EQ(SceneText::CharLength("\x82\xA0z"), 2u);
    EXPECT_EQ(SceneText::CharLength("az"), 1u);
}

TEST_F(SceneEngineTest, EndingPicturesAndTextsFollowTheirRecordsAndStopPastTheLast)
{
    const std::string title = "T", body = "\x96\x7B\x95\xB6";  // 本文
    ENDINGPICTURE pictures[1] = {{title.c_str(), nullptr, "Ending01.PXS", "Ending01.PLB", body.c_str()}};
    engine.SetPictures(pictures);
    const std::vector<int32_t> script = {45, 47, 48, 49, 3, 1, 0};
    ASSERT_TRUE(engine.Begin(script));
    RunToEnd();
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.PictureCounter(), 1);
    EXPECT_TRUE(host.effects.empty() || host.effects.back() != 1) << "49 past the last picture stops the script";
    ASSERT_EQ(stage.glyphs.size(), 3u);
    EXPECT_EQ(stage.glyphs[0].height, 18);
    EXPECT_EQ(stage.glyphs[0].y, 12);
    EXPECT_EQ(stage.glyphs[1].x, 50);
    EXPECT_EQ(stage.glyphs[1].y, 344);
    EXPECT_EQ(stage.glyphs[2].x, 50 + 18);
}

}  // namespace
}  // namespace menutest
