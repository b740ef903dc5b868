// The performance card, its caption and tally marks, and the arms change's
// cost line, without a window; then both cards' pixels from generated
// pictures whose parts carry their own indexes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/dialogs/ArmsChangeModel.h"
#include "battle/dialogs/SpecCardPainter.h"
#include "battle/dialogs/WeaponTablePainter.h"
#include "battle/engine/UnitCommands.h"
#include "dialogs/SpecFixture.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using namespace spectest;

const CardText* Find(const SpecCardLayout& l, int x, int y)
{
    for (const CardText& t : l.texts)
        if (t.x == x && t.y == y) return &t;
    return nullptr;
}

struct Item {
    int x, y;
    const char* text;
    int color = kCardDefault;
};

void ExpectItems(const SpecCardLayout& l, std::initializer_list<Item> items)
{
    for (const Item& i : items) {
        SCOPED_TRACE(testing::Message() << "item at (" << i.x << ", " << i.y << ")");
        const CardText* t = Find(l, i.x, i.y);
        ASSERT_NE(t, nullptr);
        EXPECT_PRED_FORMAT2(testsupport::SjisEq, t->text, i.text);
        EXPECT_EQ(t->color, i.color);
    }
}

SpecCardInput CardOf(SpecGame& g, const UNITSTRUCT* unit, int type, int country)
{
    SpecCardInput in;
    in.armsType = type;
    in.unit = unit;
    in.country = country >= 0 ? &g.Country(country) : nullptr;
    in.side = in.country != nullptr ? in.country->nDisplay : 1;
    in.game = g.game.get();
    in.current = &g.Country(0);
    return in;
}

TEST(SpecCard, EveryItemOfAUnit)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& u = g.Unit(0, 3, kThreeSets);
    u.nStrength = 5;
    u.nExp = 120;
    u.nMove = 6;
    u.nFuel = 4;
    u.dwTally0 = 3u << 16 | 1234u;
    u.dwTally1 = 0u << 16 | 2u;
    u.dwHexCell = kHill;
    const SpecCardLayout l = LayoutSpecCard(CardOf(g, &u, kThreeSets, 0));
    ExpectItems(l, {
                       {82, 25, "UNIT8"},
                       {82, 38, "UNITJ8"},
                       {259, 65, "CLASS4"},  // right-aligned in 4 characters: 271 + 6 (4 - 6)
                       {169, 65, "CLASSJ4"},
                       {35, 106, "SPEC4"},  // not counted in pieces; centred in 6: 32 + 6 (6 - 5) / 2
                       {102, 105, " 5/ 7", kCardWhite},
                       {260, 106, "120", kCardWhite},
                       {533, 15, "40. 3. 9"},
                       {557, 35, "1234"},
                       {557, 58, "   3"},
                       {557, 82, "   0"},
                       {557, 104, "   2"},
                       {87, 153, "MOVE2"},  // 54 + 6 (16 - 5) / 2
                       {99, 174, "  4/  8"},
                       {99, 188, "  4/ 50"},
                       {99, 202, "  -/  -"},
                       {228, 136, "DEF2"},
                       {233, 158, "12"},
                       {233, 172, "34"},
                       {233, 217, " 3"},
                       {233, 231, " -"},
                       {233, 245, " 5"},
                       {105, 223, "    3"},
                       {117, 245, " 10"},
                       {327, 180, "CARRY4"},
                       {371, 223, " 0"},
                       {551, 207, " 0"},
                   });
    EXPECT_EQ(l.strengthBar, 71);  // 5 x 100 / 7
    EXPECT_EQ(l.experience, 120);
    EXPECT_EQ(l.flagCountry, 0);
    EXPECT_EQ(l.flagId, -1);
    EXPECT_EQ(l.cargoLines, 0);
}

TEST(SpecCard, FiguresThatDependOnTheUnitAndType)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    struct Case {
        const char* name;
        int type;
        std::function<void(UNITSTRUCT&)> set;
        int x, y;
        const char* text;
    };
    const Case cases[] = {
        {"movement is the smaller of points and fuel", kThreeSets, [](UNITSTRUCT& u) { u.nMove = 3, u.nFuel = 9; }, 99,
         174, "  3/  8"},
        {"a submarine's battery", zrvtest::kFixtureSubmarine, [](UNITSTRUCT& u) { u.nBattery = 7; }, 99, 202, "  7/ 20"},
        {"submerged shows the diving text", zrvtest::kFixtureSubmarine,
         [](UNITSTRUCT& u) { u.dwFlag |= kUnitInWater, u.dwHexCell = kHill; }, 105, 223, "DIVING"},
        {"an air type shows its own height", zrvtest::kFixtureFighter, [](UNITSTRUCT& u) { u.dwHexCell = kHill; }, 105,
         223, "    0"},
        {"a piece-counted type's label", zrvtest::kFixtureDestroyer, [](UNITSTRUCT&) {}, 35, 106, "SPEC3"},
        {"full strength of 7 is the whole bar", kThreeSets, [](UNITSTRUCT& u) { u.nStrength = 7; }, 102, 105, " 7/ 7"},
    };
    Library().arms[zrvtest::kFixtureFighter].nHeight = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UNITSTRUCT& u = g.Unit(0, 4, c.type);
        c.set(u);
        const SpecCardLayout l = LayoutSpecCard(CardOf(g, &u, c.type, 0));
        const CardText* t = Find(l, c.x, c.y);
        ASSERT_NE(t, nullptr);
        EXPECT_PRED_FORMAT2(testsupport::SjisEq, t->text, c.text);
    }
    UNITSTRUCT& full = g.Unit(0, 4, kThreeSets);
    full.nStrength = 7;
    EXPECT_EQ(LayoutSpecCard(CardOf(g, &full, kThreeSets, 0)).strengthBar, 100);
    // Weight 255 or more: "---".
    Library().arms[kOneSet].nWeight = 255;
    EXPECT_EQ(Find(LayoutSpecCard(CardOf(g, nullptr, kOneSet, 0)), 117, 245)->text, "---");
    Library().arms[kOneSet].nWeight = 254;
    EXPECT_EQ(Find(LayoutSpecCard(CardOf(g, nullptr, kOneSet, 0)), 117, 245)->text, "254");
    Library().arms[kOneSet].nWeight = 10;
}

TEST(SpecCard, ABareTypeHasNoTalliesNoCargoAndItsDate)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    g.Country(0).dwArmsAvail[kThreeSets] = 0xAB000000u | PackDate(39, 9, 1);
    // With a country: today's date; without: the availability word's date.
    const SpecCardLayout withCountry = LayoutSpecCard(CardOf(g, nullptr, kThreeSets, 0));
    EXPECT_EQ(Find(withCountry, 533, 15)->text, "41. 6.22");
    EXPECT_EQ(withCountry.flagId, -1);
    const SpecCardLayout none = LayoutSpecCard(CardOf(g, nullptr, kThreeSets, -1));
    EXPECT_EQ(Find(none, 533, 15)->text, "39. 9. 1");
    EXPECT_EQ(none.flagId, 1) << "the type's nation";
    for (const SpecCardLayout* l : {&withCountry, &none}) {
        for (int y : {35, 58, 82, 104}) EXPECT_EQ(Find(*l, 557, y)->text, "   0");
        EXPECT_EQ(l->cargoLines, 0);
        for (const CardCopy& c : l->copies) EXPECT_NE(c.sy, 394) << "no tally marks";
        EXPECT_EQ(l->strengthBar, 100);
    }
    EXPECT_EQ(SpecWindowCaption(nullptr, &g.Country(0)), "SPEC0");
}

TEST(SpecCard, CargoLinesAndTheOtherSidesQuestionMarks)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    for (int country : {0, 1}) {
        UNITSTRUCT& carrier = g.Unit(country, 3, kThreeSets);
        carrier.dwCargo = MakeCargo(kNoCarrier, 2);
        for (int slot : {5, 6, 7}) {
            UNITSTRUCT& c = g.Unit(country, slot, zrvtest::kFixtureInfantry);
            c.dwFlag |= kUnitCarried;
            c.nStrength = slot;
            c.dwCargo = MakeCargo(slot == 7 ? 4 : 3, 0);  // slot 7 rides elsewhere
        }
        g.Unit(country, 8, zrvtest::kFixtureInfantry).dwCargo = MakeCargo(3, 0);  // not carried
    }
    const SpecCardLayout own = LayoutSpecCard(CardOf(g, &g.Country(0).Unit[3], kThreeSets, 0));
    EXPECT_EQ(own.cargoLines, 2);
    ExpectItems(own, {{395, 138, "UNITJ1"}, {548, 138, " 5"}, {395, 154, "UNITJ1"}, {548, 154, " 6"}});
    const SpecCardLayout enemy = LayoutSpecCard(CardOf(g, &g.Country(1).Unit[3], kThreeSets, 1));
    EXPECT_EQ(enemy.cargoLines, 2);
    ExpectItems(enemy, {{395, 138, "?"}, {548, 138, "?"}, {395, 154, "?"}, {548, 154, "?"}});
}

TEST(SpecCard, TallyMarks)
{
    struct Mark {
        int dx, dy, w, h, sx, sy;
    };
    struct Case {
        const char* name;
        int kind, n;
        std::vector<Mark> marks;
    };
    auto ones = [](int, int count, std::vector<Mark> m, int x0, int y, int w, int h, int step, int sx) {
        for (int i = 0; i < count; ++i) m.push_back({x0 + i * step, y, w, h, sx, 394});
        return m;
    };
    std::vector<Mark> m1234 = ones(1, 4, {}, 335, 41, 18, 8, 19, 379);
    m1234 = ones(1, 3, m1234, 335, 32, 18, 8, 19, 398);
    m1234.push_back({508, 32, 21, 18, 210, 393});
    m1234.push_back({529, 32, 21, 18, 0, 393});
    std::vector<Mark> m65535 = ones(2, 5, {}, 335, 87, 18, 7, 19, 455);
    m65535 = ones(2, 3, m65535, 335, 78, 18, 7, 19, 474);
    m65535.push_back({508, 78, 21, 18, 273, 393});
    m65535.push_back({529, 78, 21, 18, 168, 393});  // the ninth mark, not the tenth
    const Case cases[] = {
        {"0 draws nothing", 0, 0, {}},
        {"1234 ground kills", 1, 1234, m1234},
        {"7 air kills", 0, 7, ones(0, 7, {}, 335, 64, 16, 8, 19, 417)},
        {"a 16-bit tally of ships", 2, 65535, m65535},
        {"losses: hundreds from (0, 411)", 3, 300, {{527, 101, 21, 18, 42, 411}}},
        {"losses: ones and tens", 3, 21, {{381, 110, 8, 8, 493, 394}, {381, 101, 8, 8, 509, 394}, {397, 101, 8, 8, 509, 394}}},
        {"no such kind", 4, 12, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<CardCopy> got = TallyMarkCopies(c.kind, c.n);
        ASSERT_EQ(got.size(), c.marks.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            const Mark& m = c.marks[i];
            EXPECT_EQ((std::vector<int>{got[i].dx, got[i].dy, got[i].w, got[i].h, got[i].sx, got[i].sy, got[i].key}),
                      (std::vector<int>{m.dx, m.dy, m.w, m.h, m.sx, m.sy, 0}));
        }
    }
}

TEST(SpecCard, Caption)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& tank = g.Unit(0, 3, kThreeSets);
    UNITSTRUCT& ship = g.Unit(1, 3, zrvtest::kFixtureDestroyer);
    ship.nSerial = 0x10000 + 205;  // only the low 16 bits are the serial
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, SpecWindowCaption(&tank, &g.Country(0)), "LAND0 １７ CLASSJ4SPEC2");
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, SpecWindowCaption(&ship, &g.Country(1)), "LAND1 ２０５ CLASSJ57");
    EXPECT_EQ(SpecWindowCaption(&tank, nullptr), "SPEC0");
    EXPECT_EQ(SpecWindowCaption(nullptr, nullptr), "SPEC0");
}

TEST(SpecCard, BadInputIsDrawnAsFarAsItIsValid)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    // No full strength: no bar.
    UNITSTRUCT& u = g.Unit(0, 3, kNoStrength);
    u.nStrength = 0;
    SpecCardLayout l = LayoutSpecCard(CardOf(g, &u, kNoStrength, 0));
    EXPECT_EQ(l.strengthBar, 0);
    for (const CardCopy& c : l.copies) EXPECT_NE(c.sy, 402);
    u.nStrength = 3;
    EXPECT_EQ(LayoutSpecCard(CardOf(g, &u, kNoStrength, 0)).strengthBar, 0);
    // Indexes past the word tables show nothing.
    ARMSSTRUCT& a = Library().arms[kNoStrength];
    const ARMSSTRUCT saved = a;
    a.nClass = 500, a.nMoveType = -3, a.nDomain = 77, a.nCarryClass = 90;
    l = LayoutSpecCard(CardOf(g, &u, kNoStrength, 0));
    a = saved;
    for (auto [x, y] : {std::pair{169, 65}, {228, 136}, {327, 180}}) EXPECT_EQ(Find(l, x, y)->text, "");
    // A terrain past the table: no height.
    DataLibrary small = Library().lib;
    small.TerrainBase = small.TerrainBase.first(10);
    SetLib(&small);
    u.dwHexCell = kHill;
    EXPECT_EQ(Find(LayoutSpecCard(CardOf(g, &u, kNoStrength, 0)), 105, 223), nullptr);
    SetLib(&Library().lib);
    // A type outside the library: nothing at all.
    EXPECT_TRUE(LayoutSpecCard(CardOf(g, nullptr, 9999, 0)).texts.empty());
    // A unit whose own country index is out of range lists no cargo.
    u.dwCargo = MakeCargo(kNoCarrier, 3);
    u.refSelf = MakeUnitRef(kCountryCount + 2, 3);
    EXPECT_EQ(LayoutSpecCard(CardOf(g, &u, kNoStrength, 0)).cargoLines, 0);
}

// --- the arms change's cost line ---------------------------------------------------

TEST(ArmsChange, CostLineOfEverySet)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& u = g.Unit(0, 3, kThreeSets);
    for (int& n : u.nAmmo) n = 0;
    // Costs from empty: set 0 1022, set 1 1018, set 2 927 (no fuel missing).
    ASSERT_EQ(GetArmsChangeCost(u, 0), 1022);
    ASSERT_EQ(GetArmsChangeCost(u, 2), 927);
    struct Case {
        int funds, set;
        const char* line;
    };
    const Case cases[] = {
        {2000, 0, "軍事費  $ 2,000 → $   978"},
        {2000, 1, "軍事費  $ 2,000 → $   982"},
        {2000, 2, "軍事費  $ 2,000 → $ 1,073"},
        {1000, 0, "軍事費  $ 1,000 → $     0"},  // dearer than the funds: 0, still choosable
        {1000, 2, "軍事費  $ 1,000 → $    73"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.funds << " set " << c.set);
        ArmsChangeModel m(u, c.funds);
        EXPECT_PRED_FORMAT2(testsupport::SjisEq, m.CostLine(c.set), c.line);
    }
}

TEST(ArmsChange, TabsAreTheSetsAndEachChangeUpdatesTheLine)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    UNITSTRUCT& u = g.Unit(0, 3, kThreeSets);
    u.nMode = 1;
    for (int& n : u.nAmmo) n = 0;
    ArmsChangeModel m(u, 2000);
    EXPECT_EQ(m.ArmsSet(), 1);
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, m.Line(), "軍事費  $ 2,000 → $   982");
    SpecSheetModel& sheet = m.Sheet();
    ASSERT_EQ(sheet.PageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sheet.Page(i).set, i);
        EXPECT_EQ(sheet.Page(i).title, "PACK" + std::to_string(2 * i + 3)) << "plain titles";
    }
    sheet.LaidOut(1);
    sheet.PageChanged(2);
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, m.Line(), "軍事費  $ 2,000 → $ 1,073");
    sheet.PageChanged(-1);
    EXPECT_PRED_FORMAT2(testsupport::SjisEq, m.Line(), "軍事費  $ 2,000 → $ 1,073") << "no tab: no change";
    sheet.PageChanged(2);
    m.Choose(sheet.ActivePage());
    EXPECT_EQ(m.ArmsSet(), 2);
}

// --- pixels ------------------------------------------------------------------------------

// "spec2.pxs" as the cards read it, every part filled with an index of its own:
// weapon background 1, card background 2, strength bar 3, ability icons 4-6,
// the 21-pixel cells of the thousands (0-8) and hundreds (9-17) marks 10 +
// their cell, the ones and tens marks from x 379 30 + their 19-pixel cell.
std::unique_ptr<CDib> SpecPicture()
{
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(613, 429, nullptr));
    platform::Surface8 s = dib->Surface();
    s.FillRect({0, 0, 599, 129}, 1);
    s.FillRect({0, 129, 613, 393}, 2);
    for (int t = 0; t < 18; ++t) s.FillRect({t * 21, 393, t * 21 + 21, 411}, uint8_t(10 + t));
    s.FillRect({0, 411, 21, 429}, 25);
    s.FillRect({21, 411, 42, 429}, 26);
    for (int x = 379; x < 530; x += 19) s.FillRect({x, 394, x + 19, 402}, uint8_t(30 + (x - 379) / 19));
    s.FillRect({378, 402, 478, 412}, 3);
    s.FillRect({189, 413, 249, 429}, 4);
    s.FillRect({249, 413, 299, 429}, 5);
    s.FillRect({299, 413, 359, 429}, 6);
    return dib;
}

// "weapon.pxs": icon row k filled with k + 1, its top-left pixel 0
// (transparent); the drop mark 200 with a transparent right half.
std::unique_ptr<CDib> WeaponPicture()
{
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(12, 456, nullptr));
    platform::Surface8 s = dib->Surface();
    for (int k = 0; k < 37; ++k) {
        s.FillRect({0, k * 12, 12, k * 12 + 12}, uint8_t(k + 1));
        s.SetPixel(0, k * 12, 0);
    }
    s.FillRect({0, 444, 6, 456}, 200);
    s.FillRect({6, 444, 12, 456}, 0);
    return dib;
}

TEST(SpecPixels, WeaponCard)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    auto spec = SpecPicture();
    auto weapons = WeaponPicture();
    CDib card;
    ASSERT_TRUE(card.Create(kWeaponCardW, kWeaponCardH, nullptr));
    WeaponTableInput in;
    in.armsType = kThreeSets;
    in.set = kSpecPageAllWeapons;
    in.country = &g.Country(0);
    in.game = g.game.get();
    ASSERT_TRUE(DrawWeaponTable(in, &card, spec.get(), weapons.get(), nullptr));
    platform::Surface8 s = card.Surface();
    EXPECT_EQ(s.GetPixel(598, 128), 1) << "background";
    // Slot 0: icon row 2, variant 1 → index 3 + 9; its transparent corner shows the background.
    EXPECT_EQ(s.GetPixel(58, 31), 3 + 9);
    EXPECT_EQ(s.GetPixel(57, 30), 1);
    EXPECT_EQ(s.GetPixel(68, 41), 3 + 9);
    EXPECT_EQ(s.GetPixel(69, 41), 1) << "12 pixels wide";
    // Slot 1: icon row 3, variant 2 → 4 + 18, with the drop mark's left half on top.
    EXPECT_EQ(s.GetPixel(58, 43), 200);
    EXPECT_EQ(s.GetPixel(66, 43), 4 + 18);
    // Slot 2: effect 37 is past the icons: no icon.
    EXPECT_EQ(s.GetPixel(60, 57), 1);
    EXPECT_FALSE(DrawWeaponTable(in, nullptr, spec.get(), weapons.get(), nullptr));
}

TEST(SpecPixels, PerformanceCard)
{
    ScopedSpecLibrary lib;
    SpecGame g;
    auto spec = SpecPicture();
    UNITSTRUCT& u = g.Unit(0, 3, kThreeSets);
    u.nStrength = 5;
    u.nExp = 250;
    u.dwTally0 = 1234u;        // ground kills
    u.dwTally1 = 65535u << 16;  // ships
    Library().arms[kThreeSets].dwArmsFlag |= 1u << 8 | 1u << 10;
    CDib card;
    ASSERT_TRUE(card.Create(kSpecCardW, kSpecCardH, nullptr));
    std::vector<std::vector<int>> calls;
    SpecCardPictures pics;
    pics.spec = spec.get();
    pics.unitPicture = [&](CDib& c, int x, int y, int type, int set) {
        calls.push_back({0, x, y, type, set});
        c.Surface().FillRect({x, y, x + 64, y + 34}, 7);
    };
    pics.flagMark = [&](CDib& c, int x, int y, int country, int flag) {
        calls.push_back({1, x, y, country, flag});
        c.Surface().FillRect({x, y, x + 20, y + 14}, 8);
    };
    ASSERT_TRUE(DrawSpecCard(CardOf(g, &u, kThreeSets, 0), &card, pics, nullptr));
    Library().arms[kThreeSets].dwArmsFlag &= ~(1u << 8 | 1u << 10);
    platform::Surface8 s = card.Surface();
    EXPECT_EQ(s.GetPixel(3, 4), 0) << "the background starts at (4, 5)";
    EXPECT_EQ(s.GetPixel(4, 5), 2);
    EXPECT_EQ(s.GetPixel(616, 268), 2);
    EXPECT_EQ(s.GetPixel(617, 268), 0);
    EXPECT_EQ(calls, (std::vector<std::vector<int>>{{0, 239, 24, kThreeSets, 2}, {1, 55, 30, 0, -1}}));
    EXPECT_EQ(s.GetPixel(240, 25), 7);
    EXPECT_EQ(s.GetPixel(56, 31), 8);
    // Strength bar: 71 pixels of index 3 from (67, 107), 10 high.
    EXPECT_EQ(s.GetPixel(67, 107), 3);
    EXPECT_EQ(s.GetPixel(137, 116), 3);
    EXPECT_EQ(s.GetPixel(138, 110), 2);
    EXPECT_EQ(s.GetPixel(67, 117), 2);
    // Experience gauge: 100 columns upward from (219, 116).
    EXPECT_EQ(s.GetPixel(219, 116), 22);
    EXPECT_NE(s.GetPixel(318, 116), 2);
    EXPECT_EQ(s.GetPixel(319, 116), 2);
    // Ground kills 1234: thousands mark 1 at (529, 32) is cell 0, hundreds mark 2 at (508, 32) cell 10.
    EXPECT_EQ(s.GetPixel(530, 33), 10);
    EXPECT_EQ(s.GetPixel(509, 33), 20);
    // Ships 65535: the ninth thousands mark (cell 8), hundreds 5 (cell 13).
    EXPECT_EQ(s.GetPixel(530, 79), 18);
    EXPECT_EQ(s.GetPixel(509, 79), 23);
    // Ones of the ground kills at y 41 from (379, 394): index 30.
    EXPECT_EQ(s.GetPixel(335, 41), 30);
    EXPECT_EQ(s.GetPixel(335 + 3 * 19, 41), 30);
    EXPECT_EQ(s.GetPixel(335 + 4 * 19, 41), 2) << "four ones marks";
    // Ability icons of bits 8 and 10, not 9.
    EXPECT_EQ(s.GetPixel(387, 244), 4);
    EXPECT_EQ(s.GetPixel(452, 244), 2);
    EXPECT_EQ(s.GetPixel(507, 244), 6);
    // Without "spec2.pxs" nothing is painted.
    EXPECT_FALSE(DrawSpecCard(CardOf(g, &u, kThreeSets, 0), &card, SpecCardPictures{}, nullptr));
}

}  // namespace
