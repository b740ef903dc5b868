// The new-weapon entry without a window: the chain's range, scroll and
// layout row, the buttons of each mode, the report's texts, the stamp and
// the tick sequences of pending, rejection, adoption and confirmation, and
// the card's pixels from generated pictures.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/NewWeaponEntryModel.h"
#include "dialogs/DevelopmentFixture.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using namespace devtest;

using M = NewWeaponEntryModel;

TEST(NewWeaponEntry, RangeOffsetAndLayoutRow)
{
    struct Case {
        const char* name;
        std::vector<int> list;
        int type;
        int first, count, offset, row;
    };
    const std::vector<int> seven = {kC1, kC1, kC1 + 1, kC1 + 2, kC1 + 3, kC1 + 4, kC1 + 5, kC1 + 6, -1, -1};
    const Case cases[] = {
        {"an empty row shows the new step alone", {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, kC1 + 2, 3, 1, 0, 1},
        {"the range reaches the new step", {kC1, kC1, -1, -1, -1, -1, -1, -1, -1, -1}, kC1 + 3, 1, 4, 0, 4},
        {"seven steps, the new one low", seven, kC1 + 1, 1, 7, 0, 5},
        {"seven steps, the new one fourth", seven, kC1 + 3, 1, 7, 1, 6},
        {"seven steps, the new one sixth", seven, kC1 + 5, 1, 7, 3, 7},
        {"seven steps, the new one last", seven, kC1 + 6, 1, 7, 3, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.SetList(1, c.list);
        M m(f.Country(), c.type, 0);
        EXPECT_EQ(m.First(), c.first);
        EXPECT_EQ(m.Count(), c.count);
        EXPECT_EQ(m.Offset(), c.offset);
        EXPECT_EQ(m.LayoutRow(), c.row);
        // The new type's step is among the four rows shown.
        const int top = m.Offset() + m.First() + 3;
        EXPECT_LE(top - 3, m.Position());
        EXPECT_GE(top, m.Position());
    }
}

TEST(NewWeaponEntry, ButtonsAndEscByMode)
{
    struct Case {
        int mode;
        const char* caption;
        bool adoptShown, adopt, deliberate, reject;
        const char* rejectLabel;
        int escChoice;  // -1 ignored
    };
    const Case cases[] = {
        {0, "新兵器エントリー", true, true, true, true, "棄　却", 1},
        {1, "新兵器エントリー", true, true, false, false, "棄　却", -1},
        {2, "兵器退役", false, false, false, true, "確認", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Fixture f;
        f.SetList(1, {kC1, kC1, kC1 + 1, -1, -1, -1, -1, -1, -1, -1});
        M m(f.Country(), kC1 + 1, c.mode);
        EXPECT_STREQ(m.Caption(), c.caption);
        EXPECT_EQ(m.AdoptShown(), c.adoptShown);
        EXPECT_EQ(m.AdoptEnabled(), c.adopt);
        EXPECT_EQ(m.DeliberateEnabled(), c.deliberate);
        EXPECT_EQ(m.RejectEnabled(), c.reject);
        EXPECT_STREQ(m.RejectLabel(), c.rejectLabel);
        const M::Step s = m.Cancel();
        EXPECT_EQ(m.Choice(), c.escChoice);
        EXPECT_EQ(s.sounds, c.escChoice >= 0 ? std::vector<int>{26} : std::vector<int>{});
        // A choice disables every button.
        if (c.escChoice >= 0) EXPECT_FALSE(m.AdoptEnabled() || m.DeliberateEnabled() || m.RejectEnabled());
    }
}

// Ticks until the model finishes (at most limit); the sounds on the way.
int RunTicks(M& m, std::vector<int>& sounds, int limit = 200)
{
    int n = 0;
    while (!m.Finished() && n < limit) {
        const M::Step s = m.Tick();
        sounds.insert(sounds.end(), s.sounds.begin(), s.sounds.end());
        ++n;
    }
    return n;
}

TEST(NewWeaponEntry, TickSequences)
{
    struct Case {
        const char* name;
        int mode, choice;  // choice -1: Esc
        int ticks, result;
        std::vector<int> sounds;
    };
    const Case cases[] = {
        {"pending", 0, 1, 15, 1, {}},
        {"reject", 0, 2, 15, 2, {}},
        {"Esc leaves it pending through the stamp", 0, -1, 15, 1, {}},
        {"adoption", 0, 0, 15 + 9 + 9 + 20, 0, {27}},
        {"adoption only", 1, 0, 15 + 9 + 9 + 20, 0, {27}},
        {"retirement confirmed", 2, 2, 15, 2, {}},
        {"retirement by Esc", 2, -1, 15, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.SetList(1, {kC1, kC1, -1, -1, -1, -1, -1, -1, -1, -1});
        M m(f.Country(), kC1 + 1, c.mode);
        const M::Step first = c.choice >= 0 ? m.Choose(c.choice) : m.Cancel();
        EXPECT_EQ(first.sounds, std::vector<int>{26});
        EXPECT_TRUE(first.startTimer);
        EXPECT_FALSE(m.Enter()) << "Enter is ignored once a choice runs";
        std::vector<int> sounds;
        EXPECT_EQ(RunTicks(m, sounds), c.ticks);
        EXPECT_EQ(m.Result(), c.result);
        EXPECT_EQ(sounds, c.sounds);
        // An adoption ends with the new type in its chain entry.
        EXPECT_EQ(m.List()[2], c.choice == 0 ? kC1 + 1 : -1);
    }
}

TEST(NewWeaponEntry, AdoptionBlinksAndSwaps)
{
    Fixture f;
    f.SetList(1, {kC1, kC1, kC1 + 5, -1, -1, -1, -1, -1, -1, -1});
    M m(f.Country(), kC1 + 1, 0);
    m.Choose(0);
    for (int i = 0; i < 15; ++i) m.Tick();
    std::vector<bool> shown;
    for (int i = 0; i < 8; ++i) {
        m.Tick();
        shown.push_back(m.ReportPicture());
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false, true, false, true, false}));
    m.Tick();  // the new type takes its entry, the old one is kept
    EXPECT_EQ(m.List()[2], kC1 + 1);
    std::vector<int> entry;
    for (int i = 0; i < 8; ++i) {
        m.Tick();
        entry.push_back(m.List()[2]);
    }
    EXPECT_EQ(entry, (std::vector<int>{kC1 + 5, kC1 + 1, kC1 + 5, kC1 + 1, kC1 + 5, kC1 + 1, kC1 + 5, kC1 + 1}));
    // The strip names the new type from then on.
    const LadderLayout l = m.Layout();
    EXPECT_EQ(l.texts[0].text, "UNITJ8");
    EXPECT_FALSE(m.Finished());
    // The country itself never changes inside the dialog.
    EXPECT_EQ(f.ListOf(1)[2], kC1 + 5);
}

TEST(NewWeaponEntry, EnterEndsAtOnceOnlyBeforeAChoice)
{
    Fixture f;
    M m(f.Country(), kC1 + 1, 0);
    EXPECT_TRUE(m.Enter());
    EXPECT_TRUE(m.Finished());
    EXPECT_EQ(m.Result(), 1);
    M failed(f.Country(), kC1 + 1, 0);
    failed.Choose(2);
    failed.TimerFailed();
    EXPECT_TRUE(failed.Finished());
    EXPECT_EQ(failed.Result(), 2);
}

TEST(NewWeaponEntry, ReportTextsByMode)
{
    Fixture f;
    f.Country().nFund = 12345;
    struct Case {
        int mode;
        std::vector<std::string> texts;
    };
    // The new type kC1 + 1: price 400 x 10.
    const Case cases[] = {
        {0, {"CLS1開発報告", "　｢UNITJ8｣が開発されました。", "　制式化しますか？", "開発費　$    4,000", "軍事費　$   12,345"}},
        {1, {"CLS1開発報告", "　｢UNITJ8｣が制式採用されまし", "た。", "開発費　$    4,000", "軍事費　$   12,345"}},
        {2, {"CLS1開発報告", "　｢UNITJ8｣が退役しました。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        M m(f.Country(), kC1 + 1, c.mode);
        const CardTexts t = m.ReportTexts();
        std::vector<std::string> texts;
        for (const CardText& x : t) texts.push_back(x.text);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ((std::vector<int>{t[0].x, t[0].y}), (std::vector<int>{(28 - 12) * 3 + 251, 51}));
        EXPECT_EQ((std::vector<int>{t[1].x, t[1].y}), (std::vector<int>{251, 119}));
    }
    // The question follows a one-line message at 136; a long message takes 136 itself.
    M one(f.Country(), kC1 + 1, 0);
    EXPECT_EQ(one.ReportTexts()[2].y, 136);
    M split(f.Country(), kC1 + 1, 1);
    const CardTexts t = split.ReportTexts();
    EXPECT_EQ((std::vector<int>{t[2].x, t[2].y, t[3].y}), (std::vector<int>{251, 136, 187}));
}

TEST(NewWeaponEntry, ChainSlotsAndTheirClicks)
{
    Fixture f;
    f.SetList(2, {kC2, kC2, -1, -1, -1, -1, -1, -1, -1, -1});
    f.SetList(3, {-1, -1, kC3, -1, -1, -1, -1, -1, -1, -1});
    M m(f.Country(), kC3 + 1, 0);  // class 3, step 3: the right column
    EXPECT_TRUE(m.TwoTracks());
    EXPECT_EQ(m.ClientW(), 470);
    EXPECT_EQ(m.Position(), 3 + kLadderSecondColumn);
    EXPECT_EQ(m.First(), 1);
    EXPECT_EQ(m.Count(), 3);
    const LadderLayout l = m.Layout();
    std::vector<std::vector<int>> pictures;
    for (const LadderPicture& p : l.pictures) pictures.push_back({p.x, p.y, p.type, p.entry});
    // Pattern 3: the rows show steps 4..1; step 2 two pictures, step 1 one.
    EXPECT_EQ(pictures, (std::vector<std::vector<int>>{{133, 148, kC3, 2 + kLadderSecondColumn},
                                                       {99, 215, kC2, 1},
                                                       {307, 75, kC3 + 1, -1}}));
    // The strip shows the chain entry at the new step (empty): no name.
    for (const CardText& t : l.texts) EXPECT_NE(t.y, 295);
    // A click on the class-2 picture (dialog coordinates: + (9, 10)).
    EXPECT_FALSE(m.ClickAt(5, 5));
    ASSERT_TRUE(m.ClickAt(99 + 9 + 3, 215 + 10 + 3));
    EXPECT_EQ(m.ShownType(), kC2);
    EXPECT_EQ(m.ShownStep(), 1);
    const LadderLayout after = m.Layout();
    std::vector<std::vector<int>> strip;
    for (const CardText& t : after.texts)
        if (t.y == 295) strip.push_back({t.x, t.y});
    EXPECT_EQ(strip, (std::vector<std::vector<int>>{{7, 295}, {158, 295}}));
}

TEST(NewWeaponEntry, BadRowsNeverIndexATable)
{
    Fixture f;
    f.SetList(1, {9999, kRejected, -5, 12345, -1, -1, -1, -1, -1, 777});
    M m(f.Country(), kC1 + 1, 0);
    const LadderLayout l = m.Layout();
    for (const LadderPicture& p : l.pictures) EXPECT_GT(p.type, 0);
    M unknown(f.Country(), 9999, 0);
    EXPECT_NO_FATAL_FAILURE((void)unknown.Layout());
    std::vector<int> sounds;
    unknown.Choose(0);
    RunTicks(unknown, sounds);
    EXPECT_TRUE(unknown.Finished());
}

TEST(NewWeaponEntryPixels, ReportAndStamp)
{
    Fixture f;
    auto entry = std::make_unique<CDib>();
    ASSERT_TRUE(entry->Create(582, 525, nullptr));
    platform::Surface8 s = entry->Surface();
    s.FillRect({0, 0, 582, 525}, 1);
    s.FillRect({340, 0, 582, 269}, 70);
    s.FillRect({340, 269, 455, 384}, 80);  // stamp 0
    s.SetPixel(340, 269, 0);               // transparent corner
    s.FillRect({340, 384, 442, 486}, 81);
    s.FillRect({455, 269, 570, 384}, 82);
    M m(f.Country(), kC1 + 1, 0);
    CDib card;
    ASSERT_TRUE(card.Create(M::kCardW, M::kCardH, nullptr));
    std::vector<std::vector<int>> pictures;
    auto picture = [&](CDib&, int x, int y, int type) { pictures.push_back({x, y, type}); };
    m.Paint(card, entry.get(), nullptr, picture);
    platform::Surface8 c = card.Surface();
    EXPECT_EQ(c.GetPixel(215, 6), 70);
    EXPECT_EQ(c.GetPixel(456, 274), 70);
    EXPECT_EQ(c.GetPixel(457, 274), 0);
    EXPECT_EQ(c.GetPixel(279, 102), 70) << "no stamp before a choice";
    EXPECT_EQ(pictures.back(), (std::vector<int>{307, 75, kC1 + 1}));
    m.Choose(0);
    m.Paint(card, entry.get(), nullptr, picture);
    EXPECT_EQ(c.GetPixel(279, 102), 70) << "the stamp's key 0 corner";
    EXPECT_EQ(c.GetPixel(280, 102), 80);
    EXPECT_EQ(c.GetPixel(393, 216), 80);
    EXPECT_EQ(c.GetPixel(394, 216), 70);
}

}  // namespace
