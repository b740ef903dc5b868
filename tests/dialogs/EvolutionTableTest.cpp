// The evolution table and the new deployment report without a window: the lists and used range, the
// ladder's rows, badges, labels, pictures and marks, scrolling, prices,
// the chooser's proposal and the retirement of the type produced now, on a
// fixture country with a one-column class and the two-column tank classes.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/EvolutionTableModel.h"
#include "battle/dialogs/NewDeploymentCard.h"
#include "battle/engine/UnitCommands.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "dialogs/DevelopmentFixture.h"
#include "support/FixtureLibrary.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using namespace devtest;

TEST(EvolutionTable, UsedRangeAndChosenEntry)
{
    struct Case {
        const char* name;
        int cls;
        std::vector<int> list, list2;
        int type;
        int first, count, chosen;
    };
    const Case cases[] = {
        {"empty chain", 1, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {}, kC1, -1, 0, -1},
        {"three steps from 2, a gap before the last", 1, {kC1, -1, kC1, kC1 + 1, -1, kC1 + 3, -1, -1, -1, -1}, {},
         kC1 + 1, 2, 4, 3},
        {"a rejected type opens the range but does not extend it", 1, {-1, kRejected, -1, kC1 + 2, -1, -1, -1, -1, -1, -1},
         {}, kC1 + 2, 1, 3, 3},
        {"two columns: either column uses an entry", 2, {kC2, kC2, -1, -1, -1, -1, -1, -1, -1, -1},
         {-1, -1, kC3, kC3 + 1, -1, -1, -1, -1, -1, -1}, kC3 + 1, 1, 3, 3 + EvolutionTableModel::kSecondColumn},
        {"nine steps", 1, {kC1, kC1, kC1 + 1, kC1 + 2, kC1 + 3, kC1 + 4, kC1 + 5, kC1 + 6, kC1, kC1 + 1}, {}, kC1 + 6,
         1, 9, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.SetList(c.cls, c.list);
        if (!c.list2.empty()) f.SetList(3, c.list2);
        EvolutionTableModel m(f.game.get(), f.Country(), c.type, nullptr, true);
        EXPECT_EQ(m.First(), c.first);
        EXPECT_EQ(m.Count(), c.count);
        EXPECT_EQ(m.ChosenEntry(), c.chosen);
        EXPECT_EQ(m.OwnEntry(), c.first);
        EXPECT_EQ(m.TwoColumns(), c.cls == 2);
    }
}

TEST(EvolutionTable, PatternsAndScrollButtons)
{
    Fixture f;
    struct Case {
        int count, scrolls, pattern;
        bool up, down;
    };
    const Case cases[] = {
        {0, 0, 0, false, false}, {1, 0, 1, false, false}, {4, 0, 4, false, false},
        {6, 0, 5, true, false},  {6, 1, 6, true, true},    {6, 2, 7, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " steps scrolled " << c.scrolls);
        std::vector<int> list(10, -1);
        for (int i = 0; i < c.count; ++i) list[static_cast<size_t>(i + 1)] = kC1 + i;
        f.SetList(1, list);
        EvolutionTableModel m(f.game.get(), f.Country(), kC1, nullptr, true);
        for (int i = 0; i < c.scrolls; ++i) m.Up();
        EXPECT_EQ(m.Scroll(), c.scrolls);
        EXPECT_EQ(m.Pattern(), c.pattern);
        EXPECT_EQ(m.UpEnabled(), c.up);
        EXPECT_EQ(m.DownEnabled(), c.down);
        m.Up();  // refused at the end
        EXPECT_EQ(m.Scroll(), c.up ? c.scrolls + 1 : c.scrolls);
    }
}

// Copies onto the card by destination row.
const CardCopy* CopyAt(const LadderLayout& l, int dx, int dy)
{
    for (const CardCopy& c : l.copies)
        if (c.dx == dx && c.dy == dy) return &c;
    return nullptr;
}

TEST(EvolutionTable, OneColumnLadderRows)
{
    Fixture f;
    // Steps 1-6; step 4 rejected; produced now: step 2.
    f.SetList(1, {kC1 + 1, kC1, kC1 + 1, kC1 + 2, kRejected, kC1 + 4, kC1 + 5, -1, -1, -1});
    EvolutionTableModel m(f.game.get(), f.Country(), kC1 + 1, nullptr, true);
    ASSERT_EQ(m.Count(), 6);
    m.Up();  // rows show entries 5, 4, 3, 2 from the top
    const LadderLayout l = m.Layout();
    // Pattern 6 (scrolled, not to the end): graphic 3 in every row.
    EXPECT_EQ(m.Pattern(), 6);
    const int graphics[4] = {3, 3, 3, 3};
    for (int r = 0; r < 4; ++r) {
        const CardCopy* back = CopyAt(l, 0, 67 * r);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ((std::vector<int>{back->w, back->h, back->sx, back->sy}), (std::vector<int>{144, 67, 0, 67 * graphics[r]}));
        // Badge of step e - own (own entry 1), label of entry e.
        const int e = 5 - r;
        const CardCopy* badge = CopyAt(l, 3, 67 * r + 3);
        ASSERT_NE(badge, nullptr);
        EXPECT_EQ(badge->sy, 335 + 17 * (e - 1));
        const CardCopy* label = CopyAt(l, 66, 67 * r + 46);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ((std::vector<int>{label->sx, label->sy, label->key}), (std::vector<int>{56, 335 + 11 * (e - 1), 0}));
    }
    // Pictures: entry 4 holds a rejected type and has none.
    std::vector<int> entries;
    for (const LadderPicture& p : l.pictures) {
        entries.push_back(p.entry);
        EXPECT_EQ(p.x, 67);
    }
    EXPECT_EQ(entries, (std::vector<int>{5, 3, 2}));
    // The mark on the opened type; its name and price in the panel.
    ASSERT_EQ(l.marks.size(), 1u);
    EXPECT_EQ((std::vector<int>{l.marks[0].dx, l.marks[0].dy, l.marks[0].sx, l.marks[0].sy}),
              (std::vector<int>{67, 67 * 3 + 14, 56, 434}));
    const CardCopy* panel = CopyAt(l, 0, 268);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ((std::vector<int>{panel->w, panel->h, panel->sx, panel->sy}), (std::vector<int>{150, 38, 140, 487}));
    ASSERT_EQ(l.texts.size(), 2u);
    EXPECT_EQ(l.texts[0].text, "UNITJ8");
    EXPECT_EQ((std::vector<int>{l.texts[1].x, l.texts[1].y, l.texts[1].color}), (std::vector<int>{106, 291, kCardYellow}));
    EXPECT_EQ(l.texts[1].text, "$ 4,000");  // full strength 10 x price 400
}

TEST(EvolutionTable, BadgesFollowTheOwnUnit)
{
    Fixture f;
    f.Country().dwFlag |= 0x01000000u;  // own units shown
    f.SetList(1, {kC1 + 1, -1, kC1 + 1, kC1 + 2, kC1 + 3, -1, -1, -1, -1, -1});
    UNITSTRUCT u{};
    u.nArms = kC1;  // step 1, written into entry 1
    EvolutionTableModel m(f.game.get(), f.Country(), kC1, &u, true);
    EXPECT_EQ(m.List()[1], kC1);
    EXPECT_EQ(m.OwnEntry(), 2);
    EXPECT_EQ(m.First(), 1);
    const LadderLayout l = m.Layout();
    // Rows show entries 4, 3, 2, 1: badges d = e - 2; entry 2 (d 0) holds the
    // produced type and keeps its badge; entry 1 (d < 0) has none.
    std::vector<int> badges;
    for (int r = 0; r < 4; ++r) {
        const CardCopy* b = CopyAt(l, 3, 67 * r + 3);
        badges.push_back(b != nullptr ? (b->sy - 335) / 17 : -1);
    }
    EXPECT_EQ(badges, (std::vector<int>{2, 1, 0, -1}));

    // A d = 0 entry holding another type than the produced one: no badge.
    f.SetList(1, {kC1 + 3, -1, kC1 + 1, kC1 + 2, kC1 + 3, -1, -1, -1, -1, -1});
    EvolutionTableModel other(f.game.get(), f.Country(), kC1, &u, true);
    EXPECT_EQ(CopyAt(other.Layout(), 3, 67 * 2 + 3), nullptr);

    // Without the country's flag the unit is not written and not kept.
    f.Country().dwFlag &= ~0x01000000u;
    EvolutionTableModel plain(f.game.get(), f.Country(), kC1, &u, true);
    EXPECT_EQ(plain.List()[1], -1);
    EXPECT_EQ(plain.OwnEntry(), 2);
    EXPECT_TRUE(plain.RetireEnabled());
}

TEST(EvolutionTable, TwoColumnLadder)
{
    Fixture f;
    f.SetList(2, {kC2, kC2, kC2 + 1, kC2 + 2, -1, -1, -1, -1, -1, -1});
    f.SetList(3, {-1, -1, kC3, kC3 + 1, kC3 + 2, -1, -1, -1, -1, -1});
    EvolutionTableModel m(f.game.get(), f.Country(), kC3, nullptr, true);
    EXPECT_EQ(m.ClientW(), 212);
    EXPECT_EQ(m.Title(), "中戦車・重戦車");
    ASSERT_EQ(m.Count(), 4);
    const LadderLayout l = m.Layout();
    // Pattern 4: graphics 3, 5, 6, 2 from (144, 67 g), 196 wide.
    const int graphics[4] = {3, 5, 6, 2};
    for (int r = 0; r < 4; ++r) {
        const CardCopy* back = CopyAt(l, 0, 67 * r);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ((std::vector<int>{back->w, back->sx, back->sy}), (std::vector<int>{196, 144, 67 * graphics[r]}));
    }
    // Entry 1 (graphic 2, bottom) one centred picture; the others two
    // columns, the second recorded with its flag.
    std::vector<std::vector<int>> pictures;
    for (const LadderPicture& p : l.pictures) pictures.push_back({p.x, p.y, p.type, p.entry});
    const int second = EvolutionTableModel::kSecondColumn;
    EXPECT_EQ(pictures, (std::vector<std::vector<int>>{{133, 14, kC3 + 2, 4 + second},
                                                       {66, 81, kC2 + 2, 3},
                                                       {133, 81, kC3 + 1, 3 + second},
                                                       {66, 148, kC2 + 1, 2},
                                                       {133, 148, kC3, 2 + second},
                                                       {99, 215, kC2, 1}}));
    const CardCopy* panel = CopyAt(l, 0, 268);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ((std::vector<int>{panel->w, panel->h, panel->sx, panel->sy}), (std::vector<int>{200, 18, 140, 469}));
    // A click on a picture (dialog coordinates) chooses it; elsewhere nothing.
    EXPECT_TRUE(m.ClickAt(66 + 8 + 5, 81 + 22 + 5));
    EXPECT_EQ(m.ChosenType(), kC2 + 2);
    EXPECT_EQ(m.ChosenEntry(), 3);
    EXPECT_FALSE(m.ClickAt(3, 3));
    EXPECT_EQ(m.ChosenType(), kC2 + 2);
    const LadderLayout chosen = m.Layout();
    ASSERT_EQ(chosen.texts.size(), 2u);
    EXPECT_EQ((std::vector<int>{chosen.texts[1].x, chosen.texts[1].y}), (std::vector<int>{154, 271}));
}

TEST(EvolutionTable, ChooserProposesTheNextStepAndPricesOnlyIt)
{
    Fixture f;
    f.SetList(1, {kC1 + 1, kC1, kC1 + 1, kC1 + 2, -1, -1, -1, -1, -1, -1});
    UNITSTRUCT u{};
    u.nArms = kC1 + 1;  // step 2
    EvolutionTableModel m(f.game.get(), f.Country(), kC1 + 1, &u, false);
    EXPECT_EQ(m.ChosenEntry(), 3);
    EXPECT_EQ(m.ChosenType(), kC1 + 2);
    EXPECT_TRUE(m.EvolveEnabled());
    LadderLayout l = m.Layout();
    ASSERT_EQ(l.texts.size(), 2u);
    std::string cost;
    FormatAmount(cost, GetEvolutionCost(kC1 + 1, kC1 + 2), true, false);
    EXPECT_EQ(l.texts[1].text, cost);
    // Choosing the first step: no price, no evolution.
    ASSERT_TRUE(m.ClickAt(67 + 8 + 1, 67 * 3 + 14 + 22 + 1));
    EXPECT_EQ(m.ChosenType(), kC1);
    EXPECT_FALSE(m.EvolveEnabled());
    EXPECT_EQ(m.Layout().texts.size(), 1u);

    // Two columns: the next step only in the second column.
    f.SetList(2, {kC2, kC2, kC2 + 1, -1, -1, -1, -1, -1, -1, -1});
    f.SetList(3, {-1, -1, -1, kC3 + 1, -1, -1, -1, -1, -1, -1});
    u.nArms = kC2 + 1;
    EvolutionTableModel two(f.game.get(), f.Country(), kC2 + 1, &u, false);
    EXPECT_EQ(two.ChosenEntry(), 3 + EvolutionTableModel::kSecondColumn);
    EXPECT_EQ(two.ChosenType(), kC3 + 1);
    EXPECT_TRUE(two.EvolveEnabled());

    // The last step of a full list has no next one (nothing read past it).
    f.SetList(1, {kC1 + 6, kC1, kC1 + 1, kC1 + 2, kC1 + 3, kC1 + 4, kC1 + 5, kC1 + 6, -1, -1});
    u.nArms = kC1 + 6;
    ARMSSTRUCT& a = f.evo.arms[kC1 + 6];
    a.nEvolution = 9;
    f.evo.lib.ArmsData = f.evo.arms;
    EvolutionTableModel last(f.game.get(), f.Country(), kC1 + 6, &u, false);
    EXPECT_EQ(last.ChosenEntry(), -1);
    EXPECT_FALSE(last.EvolveEnabled());
}

TEST(EvolutionTable, RetireTheTypeProducedNow)
{
    struct Case {
        const char* name;
        std::vector<int> list;
        bool ok;
        const char* question;
        int retired, added;
        std::vector<int> after;
    };
    const Case cases[] = {
        {"Cancel changes nothing", {kC1 + 1, kC1, kC1 + 1, kC1 + 2, -1, -1, -1, -1, -1, -1}, false,
         "UNITJ8を生産廃止にしてよろしいですか？", -2, -2, {kC1 + 1, kC1, kC1 + 1, kC1 + 2, -1, -1, -1, -1, -1, -1}},
        {"production moves on", {kC1 + 1, kC1, kC1 + 1, kC1 + 2, -1, -1, -1, -1, -1, -1}, true,
         "UNITJ8を生産廃止にしてよろしいですか？", kC1 + 1, kC1 + 2, {kC1 + 2, kC1, -1, kC1 + 2, -1, -1, -1, -1, -1, -1}},
        {"the last entry: nothing follows", {kC1 + 6, -1, -1, -1, -1, -1, -1, -1, -1, kC1 + 6}, true,
         "UNITJ13を生産廃止にしてよろしいですか？", kC1 + 6, -1, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
        {"produced type not in the chain: a level past the list", {kC1 + 3, kC1, -1, -1, -1, -1, -1, -1, -1, -1}, true,
         "「CLS1・レベル１０」を\n生産廃止にしてよろしいですか？", -1, -1, {-1, kC1, -1, -1, -1, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.SetList(1, c.list);
        EvolutionTableModel m(f.game.get(), f.Country(), c.list[0], nullptr, true);
        ASSERT_TRUE(m.RetireEnabled());
        std::string asked;
        std::vector<int> sounds;
        int retired = -2, added = -2;
        EvolutionTableHost host;
        host.ask = [&](const std::string& q) { return asked = q, c.ok; };
        host.sound = [&](int s) { sounds.push_back(s); };
        host.retired = [&](int r, int a) { retired = r, added = a; };
        EXPECT_EQ(m.Retire(host), c.ok);
        EXPECT_PRED_FORMAT2(testsupport::SjisEq, asked, c.question);
        EXPECT_EQ(sounds, c.ok ? std::vector<int>{21} : std::vector<int>{});
        EXPECT_EQ(retired, c.retired);
        EXPECT_EQ(added, c.added);
        EXPECT_EQ(f.ListOf(1), c.after);
        // The copy follows the country's list.
        for (size_t e = 0; e < 10; ++e) EXPECT_EQ(m.List()[e], c.after[e]) << "entry " << e;
    }
}

TEST(EvolutionTable, NoRetireWithoutAnAvailableEntryNorInTheChooser)
{
    Fixture f;
    // The produced type is not yet available.
    f.evo.arms[kC1 + 1].dwDateFrom = PackDate(45, 1, 1);
    f.evo.lib.ArmsData = f.evo.arms;
    f.SetList(1, {kC1 + 1, kC1, kC1 + 1, -1, -1, -1, -1, -1, -1, -1});
    EvolutionTableModel m(f.game.get(), f.Country(), kC1 + 1, nullptr, true);
    EXPECT_FALSE(m.RetireEnabled());
    EXPECT_FALSE(m.Retire({}));
    UNITSTRUCT u{};
    u.nArms = kC1;
    EvolutionTableModel chooser(f.game.get(), f.Country(), kC1, &u, false);
    EXPECT_FALSE(chooser.RetireEnabled());
}

TEST(EvolutionTable, BadListsNeverIndexATable)
{
    Fixture f;
    // Types past the library, rejected types and -1 everywhere.
    f.SetList(1, {9999, 9999, kRejected, -1, 12345, -1, -1, -1, -1, -5});
    EvolutionTableModel m(f.game.get(), f.Country(), 9999, nullptr, true);
    const LadderLayout l = m.Layout();
    for (const LadderPicture& p : l.pictures) EXPECT_GT(p.type, 0);
    // An unknown chosen type shows its empty name.
    for (const CardText& t : l.texts) EXPECT_EQ(t.text, "");
    EvolutionTableModel unknown(f.game.get(), f.Country(), -1, nullptr, true);
    EXPECT_EQ(unknown.Layout().texts.size(), 0u);
    EXPECT_FALSE(unknown.RetireEnabled());
}

// "entry2.pxs" as the ladder and the report read it: row graphic g 10 + g
// (two-track 20 + g), badge d 30 + d, label e 40 + e with a transparent
// corner, the mark 50 with a transparent inside, the strips 60 and 61, the
// report background 70.
std::unique_ptr<CDib> EntryPicture()
{
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(582, 525, nullptr));
    platform::Surface8 s = dib->Surface();
    for (int g = 0; g < 5; ++g) s.FillRect({0, 67 * g, 144, 67 * g + 67}, uint8_t(10 + g));
    for (int g = 0; g < 7; ++g) s.FillRect({144, 67 * g, 340, 67 * g + 67}, uint8_t(20 + g));
    for (int d = 0; d < 10; ++d) s.FillRect({0, 335 + 17 * d, 56, 352 + 17 * d}, uint8_t(30 + d));
    for (int e = 1; e <= 9; ++e) {
        s.FillRect({56, 335 + 11 * (e - 1), 114, 346 + 11 * (e - 1)}, uint8_t(40 + e));
        s.SetPixel(56, 335 + 11 * (e - 1), 0);
    }
    s.FillRect({56, 434, 112, 462}, 50);
    s.FillRect({58, 436, 110, 460}, 0);
    s.FillRect({140, 469, 340, 487}, 60);
    s.FillRect({140, 487, 290, 525}, 61);
    s.FillRect({340, 0, 582, 269}, 70);
    return dib;
}

TEST(EvolutionPixels, LadderCard)
{
    Fixture f;
    f.SetList(1, {kC1, kC1, kC1 + 1, -1, -1, -1, -1, -1, -1, -1});
    EvolutionTableModel m(f.game.get(), f.Country(), kC1, nullptr, true);
    auto entry = EntryPicture();
    CDib card;
    ASSERT_TRUE(card.Create(EvolutionTableModel::kCardW, EvolutionTableModel::kCardH, nullptr));
    std::vector<std::vector<int>> pictures;
    m.Paint(card, entry.get(), nullptr, [&](CDib& c, int x, int y, int type) {
        pictures.push_back({x, y, type});
        c.Surface().FillRect({x, y, x + 56, y + 28}, 99);
    });
    platform::Surface8 s = card.Surface();
    // Pattern 2: graphics 0, 0, 2, 4; entries 4, 3, 2, 1 from the top.
    EXPECT_EQ(s.GetPixel(143, 0), 10);
    EXPECT_EQ(s.GetPixel(144, 0), 0) << "144 wide";
    EXPECT_EQ(s.GetPixel(10, 134 + 30), 12);
    EXPECT_EQ(s.GetPixel(10, 201 + 30), 14);
    EXPECT_EQ(s.GetPixel(3, 134 + 3), 31) << "badge of step 2 (d 1)";
    EXPECT_EQ(s.GetPixel(3, 201 + 3), 30);
    EXPECT_EQ(s.GetPixel(67, 134 + 46), 42) << "label of entry 2";
    EXPECT_EQ(s.GetPixel(66, 134 + 46), 12) << "its transparent corner";
    EXPECT_EQ(s.GetPixel(67, 201 + 46), 41);
    EXPECT_EQ(pictures, (std::vector<std::vector<int>>{{67, 148, kC1 + 1}, {67, 215, kC1}}));
    EXPECT_EQ(s.GetPixel(67, 215), 50) << "the mark over the opened type";
    EXPECT_EQ(s.GetPixel(70, 220), 99);
    EXPECT_EQ(s.GetPixel(67, 148), 99) << "no mark on the other";
    EXPECT_EQ(s.GetPixel(0, 268), 61);
    EXPECT_EQ(s.GetPixel(149, 305), 61);
    EXPECT_EQ(s.GetPixel(150, 305), 0) << "150 x 38";
}

TEST(NewDeployment, SentenceBreaks)
{
    struct Case {
        const char* name;
        std::string sentence;
        int nameBytes;
        std::vector<std::string> lines;
    };
    // The prefix "　｢" is 3 bytes: a name of double-byte characters puts
    // every later character on an odd byte.
    const std::string prefix = "　｢";
    const Case cases[] = {
        {"30 bytes stay on one line", std::string(30, 'a'), 2, {std::string(30, 'a')}},
        {"31 bytes break after 28", std::string(31, 'a'), 2, {std::string(28, 'a'), "aaa"}},
        {"an odd name breaks after 27", std::string(31, 'a'), 3, {std::string(27, 'a'), "aaaa"}},
        {"never inside a character", prefix + "戦車戦車戦車戦車戦車戦車戦車ab", 28,
         {prefix + "戦車戦車戦車戦車戦車戦車", "戦車ab"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitReportSentence(c.sentence, c.nameBytes), c.lines);
    }
}

TEST(NewDeployment, CardTextsAndPixels)
{
    Fixture f;
    const NewDeploymentCard shortName(kC1);  // "UNITJ7": 6 bytes, the break after byte 28
    CardTexts t = shortName.Texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ((std::vector<int>{t[0].x, t[0].y}), (std::vector<int>{(28 - 12) * 3 + 42, 51}));
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, t[0].text, "新規配備報告");
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, t[1].text, "　｢UNITJ7｣が新たに配備されま");
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, t[2].text, "した。");
    EXPECT_EQ((std::vector<int>{t[1].x, t[1].y}), (std::vector<int>{42, 119}));
    // A longer name: two lines at y 119 and 136.
    const NewDeploymentCard longName(kC1 + 3);  // "UNITJ10"
    t = longName.Texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[2].y, 136);
    // 7 bytes of name: the break after byte 27, a character boundary.
    EXPECT_EQ(t[1].text, "　｢UNITJ10｣が新たに配備され");
    EXPECT_EQ(t[2].text, "ました。");

    auto entry = EntryPicture();
    CDib card;
    ASSERT_TRUE(card.Create(NewDeploymentCard::kCardW, NewDeploymentCard::kCardH, nullptr));
    std::vector<std::vector<int>> pictures;
    auto picture = [&](CDib&, int x, int y, int type) { pictures.push_back({x, y, type}); };
    ASSERT_TRUE(shortName.Paint(card, entry.get(), nullptr, picture));
    platform::Surface8 s = card.Surface();
    EXPECT_EQ(s.GetPixel(5, 5), 0);
    EXPECT_EQ(s.GetPixel(6, 6), 70);
    EXPECT_EQ(s.GetPixel(247, 274), 70);
    EXPECT_EQ(s.GetPixel(248, 274), 0);
    EXPECT_EQ(pictures, (std::vector<std::vector<int>>{{100, 75, kC1}}));
    // Without the picture the report shows nothing.
    CDib blank;
    ASSERT_TRUE(blank.Create(NewDeploymentCard::kCardW, NewDeploymentCard::kCardH, nullptr));
    pictures.clear();
    EXPECT_FALSE(shortName.Paint(blank, nullptr, nullptr, picture));
    EXPECT_TRUE(pictures.empty());
    EXPECT_EQ(blank.Surface().GetPixel(6, 6), 0);
}

}  // namespace
