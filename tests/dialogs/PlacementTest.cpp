// The production and deployment windows without a display: which tabs they
// get, the rows, icons and the choice the view places, the texts, sorting,
// the placement marks, taking a unit back, the changed producible types and
// the close-down.
#include <gtest/gtest.h>

#include <numeric>

#include "battle/engine/OrderBackends.h"
#include "dialogs/PlacementFixture.h"
#include "support/Sjis.h"

namespace placetest {
namespace {

using Strings = std::vector<std::string>;

class Production : public PlacementFixture {
protected:
    ProductPageModel& GroundPage(PlacementWindowModel& w)
    {
        auto* p = static_cast<ProductPageModel*>(w.PageOfKind(kPageGround));
        EXPECT_NE(p, nullptr);
        return *p;
    }
    // Shows the ground page (the air page comes first).
    ProductPageModel& ShowGround(PlacementWindowModel& w)
    {
        for (int i = 0; i < w.PageCount(); ++i)
            if (w.Page(i).Kind() == kPageGround) w.PageChanged(i);
        return GroundPage(w);
    }
    // As the view's placement click: the engine produces, the window is told.
    UNITSTRUCT& Produce(PlacementWindowModel& w, HEXINDEX hex)
    {
        const OrderResult r = ProduceUnitAtHex(*doc, hex, placeView.index);
        EXPECT_TRUE(r.Done());
        w.UnitPlaced(hex);
        return Cur().Unit[r.value];
    }
};

TEST_F(Production, TabsAreTheKindsThatMayProduceInTheirOwnOrder)
{
    struct Case {
        const char* name;
        std::function<void(Production&)> set;
        Strings titles;
    };
    const Case cases[] = {
        {"every kind", [](Production&) {}, {"航空", "地上", "艦艇"}},
        {"funds below every ship and aircraft", [](Production& f) { f.Cur().nFund = 1000; }, {"地上"}},
        {"no aircraft produced", [](Production& f) { f.Cur().dwClassList[33][0] = 0xFFFFFFFFu; }, {"地上", "艦艇"}},
        {"every naval hex taken",
         [](Production& f) {
             for (HEXINDEX h : f.shallows) f.Occupy(h);
         },
         {"航空", "地上"}},
        {"no capital on the map", [](Production& f) { f.Cur().nCapital = -1; }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.set(*this);
        PlacementWindowModel& w = Window(false);
        EXPECT_EQ(Titles(w), c.titles);
    }
}

TEST_F(Production, OpeningArmsTheFirstRowAndMarksTheFreeHexes)
{
    Cur().nFund = 600;
    Occupy(ground[3]);
    // Only the ground kind passes: one page, shown at once.
    PlacementWindowModel& w = Window(false);
    ASSERT_EQ(w.PageCount(), 1);
    ProductPageModel& p = GroundPage(w);
    EXPECT_EQ(placeView.mode, 2);
    EXPECT_FALSE(w.TakeBackEnabled());
    EXPECT_EQ(w.LastHex(), -1);
    EXPECT_EQ(placeView.calls.front(), "reopen bars 1");
    // Sorted by class: infantry 0, armor 2, tank 4; the tank is above the funds.
    EXPECT_EQ(Keys(p), (std::vector<int>{kInfantry, kArmor, kTank}));
    EXPECT_EQ(Icons(p), (std::vector<int>{kIconReady, kIconReady, kIconNoFunds}));
    EXPECT_EQ(p.Selected(), 0);
    EXPECT_TRUE(placeView.armed);
    EXPECT_EQ(placeView.index, kInfantry);
    // The capital and its ring but the taken hex.
    std::vector<HEXINDEX> free = ground;
    free.erase(free.begin() + 3);
    std::sort(free.begin(), free.end());
    EXPECT_EQ(placeView.Marked(1), free);
    EXPECT_TRUE(p.IsCandidateHex(ground[0]));
    EXPECT_FALSE(p.IsCandidateHex(airfields[0]));

    EXPECT_SJIS_EQ(p.Texts().funds, "      600");
    EXPECT_SJIS_EQ(p.Texts().remaining, " 64");
    EXPECT_TRUE(p.Texts().performance);
    const Strings row = p.RowTexts(0);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_SJIS_EQ(row[0], "infantry");
    EXPECT_SJIS_EQ(row[1], "$   300");
    EXPECT_SJIS_EQ(row[2], TableText(Lib().MsgUnitType, 0));
    EXPECT_SJIS_EQ(p.RowTexts(2)[1], "$   800");
}

TEST_F(Production, IconsAndTheChoiceFollowFundsRoomAndFreeHexes)
{
    struct Case {
        const char* name;
        std::function<void(Production&)> set;
        std::vector<int> icons;  // infantry, armor, tank
        bool armed;
    };
    const Case cases[] = {
        {"all affordable", [](Production&) {}, {0, 0, 0}, true},
        {"tank above the funds", [](Production& f) { f.Cur().nFund = 700; }, {0, 0, 1}, true},
        {"no room left", [](Production& f) { f.Cur().nUnit = f.Cur().nUnitMax; }, {2, 2, 2}, false},
        {"no room and the tank too dear",
         [](Production& f) {
             f.Cur().nUnit = f.Cur().nUnitMax;
             f.Cur().nFund = 700;
         },
         {2, 2, 1},
         false},
        {"every candidate hex taken since the page opened",
         [](Production& f) {
             for (HEXINDEX h : f.ground) f.Occupy(h);
         },
         {2, 2, 2},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        PlacementWindowModel& w = Window(false);
        ProductPageModel& p = ShowGround(w);
        c.set(*this);
        p.RefreshRowIcons();
        EXPECT_EQ(Icons(p), c.icons);
        EXPECT_EQ(placeView.armed, c.armed);
    }

    // A row above the funds is shown but never armed when chosen.
    TearDown();
    SetUp();
    Cur().nFund = 700;
    PlacementWindowModel& w = Window(false);
    ProductPageModel& p = ShowGround(w);
    p.Select(p.FindRow(kTank));
    EXPECT_EQ(p.Shown(), kTank);
    EXPECT_FALSE(placeView.armed);
    p.Select(p.FindRow(kArmor));
    EXPECT_TRUE(placeView.armed);
    EXPECT_EQ(placeView.index, kArmor);
    p.Select(-1);
    p.Click();
    EXPECT_FALSE(placeView.armed);
    EXPECT_EQ(p.Shown(), -1);
    EXPECT_FALSE(p.Texts().performance);
}

TEST_F(Production, RemainingCountAndTheCampaignCap)
{
    struct Case {
        const char* name;
        int unit, max, pool;
        bool campaign;
        int remaining;
    };
    const Case cases[] = {
        {"limit less units", 10, 64, 0, false, 54},
        {"never below 0", 70, 64, 0, false, 0},
        {"a campaign's pool shares the 250 records", 10, 300, 235, true, 5},
        {"the pool alone fills the records", 10, 300, 245, true, 0},
        {"outside a campaign the pool does not count", 10, 300, 245, false, 290},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Cur().nUnit = c.unit;
        Cur().nUnitMax = c.max;
        for (int i = 0; i < c.pool; ++i) Pool(i, kInfantry, i, 0, 10).dwFlag |= kUnitOffMap;
        if (c.campaign) doc->m_dwGameOption |= kOptionCampaign;
        ProductPageModel p(*doc, placeView, kPageGround);
        EXPECT_EQ(p.Remaining(), c.remaining);
    }
    // The cap is country 0's alone.
    Cur().nUnit = 10;
    doc->m_GameData.Country[2] = Cur();
    doc->m_GameData.Country[2].nIndex = 2;
    doc->SetCurrentCountry(2);
    ProductPageModel other(*doc, placeView, kPageGround);
    EXPECT_EQ(other.Remaining(), 290);
}

TEST_F(Production, ColumnsSortAscendingThenDescendingWithTiesByClass)
{
    // Armor at the infantry's price: a tie on the price column.
    Library().arms[kArmor].nPrice = 30;
    PlacementWindowModel& w = Window(false);
    ProductPageModel& p = ShowGround(w);
    p.Select(p.FindRow(kTank));
    struct Step {
        int column;
        std::vector<int> order;
    };
    const Step steps[] = {
        {0, {kArmor, kInfantry, kTank}},  // armor, infantry, Tank: letters folded
        {0, {kTank, kInfantry, kArmor}},
        {1, {kInfantry, kArmor, kTank}},  // 300, 300, 800: the tie by class
        {1, {kTank, kInfantry, kArmor}},  // descending, the tie still by class ascending
        {2, {kInfantry, kArmor, kTank}},  // the first click on the initial column ascends
        {2, {kTank, kArmor, kInfantry}},
    };
    for (const Step& s : steps) {
        p.ColumnClick(s.column);
        EXPECT_EQ(Keys(p), s.order) << "column " << s.column;
        EXPECT_EQ(p.Row(p.Selected()).key, kTank) << "the selection stays with its row";
    }
    Library().arms[kArmor].nPrice = 50;
}

TEST_F(Production, NamesFoldOnlySingleByteLetters)
{
    const auto sjis = [](const char* utf8) { return platform::Utf8ToSjis(utf8); };
    struct Case {
        std::string a, b;
        int sign;
    };
    // "ア" is 83 41 and "ヂ" 83 61: their trail bytes are 'A' and 'a'.
    const Case cases[] = {
        {"Tank", "tank", 0},        {"armor", "Tank", -1},           {"ZZ", "aa", 1},
        {sjis(u8"ア"), sjis(u8"ヂ"), -1}, {sjis(u8"ヂ"), sjis(u8"ア"), 1}, {sjis(u8"戦車A"), sjis(u8"戦車a"), 0},
    };
    for (const Case& c : cases) {
        const int r = CompareNamesNoCase(c.a.c_str(), c.b.c_str());
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << platform::SjisToUtf8(c.a) << " vs " << platform::SjisToUtf8(c.b);
    }
}

TEST_F(Production, PlacingAndTakingBack)
{
    Cur().nFund = 1500;
    Cur().nUnit = 3;
    PlacementWindowModel& w = Window(false);
    ProductPageModel& p = ShowGround(w);
    p.Select(p.FindRow(kTank));
    ASSERT_TRUE(placeView.armed);
    placeView.listOpen = true;

    // The tank spends 800 of 1500: the tank's own row now shows the money bag.
    UNITSTRUCT& tank = Produce(w, ground[2]);
    const int serialAfter = Cur().nNextSerial;
    EXPECT_EQ(Cur().nFund, 700);
    EXPECT_SJIS_EQ(p.Texts().funds, "      700");
    EXPECT_SJIS_EQ(p.Texts().remaining, " 60");
    EXPECT_EQ(p.Row(p.FindRow(kTank)).icon, kIconNoFunds);
    EXPECT_EQ(p.Row(p.FindRow(kArmor)).icon, kIconReady);
    EXPECT_FALSE(placeView.armed) << "the selected tank is no longer affordable";
    EXPECT_EQ(placeView.marks[size_t(ground[2])], 2u);
    EXPECT_EQ(w.LastHex(), ground[2]);
    EXPECT_TRUE(w.TakeBackEnabled());

    // A second unit: the first one's mark goes.
    p.Select(p.FindRow(kInfantry));
    UNITSTRUCT& inf = Produce(w, ground[4]);
    EXPECT_EQ(placeView.marks[size_t(ground[2])], 0u);
    EXPECT_EQ(placeView.marks[size_t(ground[4])], 2u);

    // Take back: the infantry, refunded, its serial given back, the hex a
    // candidate again, the unit list told.
    placeView.calls.clear();
    ASSERT_TRUE(w.TakeBack());
    EXPECT_EQ(Cur().nFund, 700);
    EXPECT_EQ(Cur().nNextSerial, serialAfter);
    EXPECT_FALSE(inf.dwFlag & kUnitInUse);
    EXPECT_TRUE(tank.dwFlag & kUnitInUse);
    EXPECT_EQ(doc->m_dwHexUnit[ground[4]], kNoUnit);
    EXPECT_EQ(placeView.marks[size_t(ground[4])], 1u);
    EXPECT_FALSE(w.TakeBackEnabled());
    EXPECT_EQ(w.LastHex(), -1);
    EXPECT_EQ(placeView.calls, (Strings{"list gone " + std::to_string(kInfantry) + " mode 2"}));
    EXPECT_SJIS_EQ(p.Texts().remaining, " 60");
    // A second press does nothing.
    EXPECT_FALSE(w.TakeBack());
    EXPECT_TRUE(tank.dwFlag & kUnitInUse);
    EXPECT_EQ(Cur().nFund, 700);
}

TEST_F(Production, ATakeBackOfAHexOutsideTheShownPageLeavesNoMark)
{
    PlacementWindowModel& w = Window(false);
    ProductPageModel& p = ShowGround(w);
    p.Select(p.FindRow(kInfantry));
    Produce(w, ground[1]);
    w.PageChanged(2);  // the naval page: the ground hexes are no candidates there
    ASSERT_EQ(w.Page(2).Kind(), kPageNaval);
    ASSERT_TRUE(w.TakeBack());
    EXPECT_EQ(placeView.marks[size_t(ground[1])], 0u);
    EXPECT_EQ(placeView.Marked(1), (std::vector<HEXINDEX>{shallows[1], shallows[0]}));
}

TEST_F(Production, NoTakeBackOnceTheUnitLeftItsHex)
{
    PlacementWindowModel& w = Window(false);
    ProductPageModel& p = ShowGround(w);
    p.Select(p.FindRow(kInfantry));
    UNITSTRUCT& inf = Produce(w, ground[1]);
    const int funds = Cur().nFund;
    struct Case {
        const char* name;
        std::function<void()> change;
    };
    // The unit moved on; or it is gone and another unit stands there.
    const Case cases[] = {
        {"moved",
         [&] {
             doc->m_dwHexUnit[ground[1]] = kNoUnit;
             inf.nHex = ground[5];
             doc->m_dwHexUnit[ground[5]] = inf.refSelf;
         }},
        {"another unit there",
         [&] {
             inf.dwFlag &= ~kUnitInUse;
             doc->m_dwHexUnit[ground[1]] = MakeUnitRef(0, 40);
         }},
    };
    const uint32_t flag = inf.dwFlag;
    const HEXINDEX hex = inf.nHex;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        inf.dwFlag = flag;
        inf.nHex = hex;
        std::fill(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit), kNoUnit);
        doc->m_dwHexUnit[hex] = inf.refSelf;
        w.UnitPlaced(hex);
        c.change();
        const uint32_t before = inf.dwFlag;
        EXPECT_FALSE(w.TakeBack());
        EXPECT_FALSE(w.TakeBackEnabled());
        EXPECT_EQ(inf.dwFlag, before);
        EXPECT_EQ(Cur().nFund, funds);
    }
}

TEST_F(Production, ChangedTypesGoToThePageOfTheirKind)
{
    PlacementWindowModel& w = Window(false);
    ProductPageModel& ground = ShowGround(w);
    ground.Select(ground.FindRow(kTank));
    w.PageChanged(0);  // the air page is shown now
    ASSERT_EQ(w.Active()->Kind(), kPageAir);
    ASSERT_TRUE(placeView.armed);
    ASSERT_EQ(placeView.index, kFighter);

    // The armor retires while the tank is selected on the hidden ground page.
    w.TypesChanged(kArmor, -1);
    EXPECT_EQ(Keys(ground), (std::vector<int>{kInfantry, kTank}));
    EXPECT_EQ(ground.Row(ground.Selected()).key, kTank);
    // Its successor joins the ground page, selected and sorted by class.
    w.TypesChanged(kTank, kRetired);
    EXPECT_EQ(Keys(ground), (std::vector<int>{kInfantry, kRetired}));
    EXPECT_EQ(ground.Row(ground.Selected()).key, kRetired);
    EXPECT_EQ(Keys(w.Page(0)), (std::vector<int>{kFighter}));
    EXPECT_EQ(placeView.index, kFighter) << "the hidden page leaves the shown page's choice";
    EXPECT_TRUE(placeView.armed);

    // The only row of a page retires while selected: nothing stays armed.
    auto& air = static_cast<ProductPageModel&>(w.Page(0));
    w.TypesChanged(kFighter, -1);
    EXPECT_EQ(air.RowCount(), 0);
    EXPECT_FALSE(placeView.armed);
    EXPECT_EQ(air.Shown(), -1);
}

TEST_F(Production, ButtonsAndCommands)
{
    PlacementWindowModel& w = Window(false);
    PlacementPageModel& p = *w.Active();
    placeView.deployCode = 47;
    p.RefreshRowIcons();
    EXPECT_FALSE(p.Texts().other);
    p.OtherCommand();
    placeView.deployCode = 0;
    p.RefreshRowIcons();
    EXPECT_TRUE(p.Texts().other);
    placeView.calls.clear();
    p.OtherCommand();
    p.OpenPerformance();
    p.OpenEvolutionTable();
    EXPECT_EQ(placeView.calls, (Strings{"post 32826", "performance " + std::to_string(kFighter) + " type 0 report",
                                        "evolution " + std::to_string(kFighter) + " type 0"}));
}

TEST_F(Production, CloseDownLeavesOnlyItsOwnMode)
{
    for (int mode : {2, 4}) {
        SCOPED_TRACE(mode);
        PlacementWindowModel& w = Window(false);
        ASSERT_TRUE(placeView.armed);
        placeView.mode = mode;
        w.Closed();
        EXPECT_FALSE(placeView.armed);
        EXPECT_TRUE(placeView.Marked(1).empty());
        EXPECT_EQ(placeView.mode, mode == 2 ? 1 : 4);
    }
}

// --- deployment ----------------------------------------------------------------------------------

class Deployment : public PlacementFixture {
protected:
    void SetUp() override
    {
        PlacementFixture::SetUp();
        doc->m_dwGameOption |= kOptionCampaign;
        Pool(3, kTank, 12, 120, 7);
        Pool(5, kInfantry, 4, 20, 10);
        Pool(8, kFighter, 30, 0, 5);
        Pool(9, kInfantry, 2, 20, 10);
        Pool(11, kDestroyer, 7, 260, 1);
        Pool(12, kInfantry, 3, 0, 10).dwFlag |= kUnitOffMap;  // held back: never listed
    }
    SetupPageModel& Page(PlacementWindowModel& w, int kind)
    {
        auto* p = static_cast<SetupPageModel*>(w.PageOfKind(kind));
        EXPECT_NE(p, nullptr);
        return *p;
    }
    SetupPageModel& Show(PlacementWindowModel& w, int kind)
    {
        for (int i = 0; i < w.PageCount(); ++i)
            if (w.Page(i).Kind() == kind) w.PageChanged(i);
        return Page(w, kind);
    }
    UNITSTRUCT& Deploy(PlacementWindowModel& w, HEXINDEX hex)
    {
        const OrderResult r = PlaceReserveUnit(*doc, hex, placeView.index);
        EXPECT_TRUE(r.Done());
        w.UnitPlaced(hex);
        return Cur().Unit[r.value];
    }
};

TEST_F(Deployment, RowsOfThePoolByKind)
{
    PlacementWindowModel& w = Window(true);
    EXPECT_EQ(Titles(w), (Strings{"航空", "地上", "艦艇"}));
    EXPECT_EQ(placeView.mode, 3);
    SetupPageModel& ground = Show(w, kPageGround);
    // By class (infantry 0 before the tank's 4), then by serial number.
    EXPECT_EQ(Keys(ground), (std::vector<int>{9, 5, 3}));
    EXPECT_EQ(ground.PoolList(), (std::vector<int>{3, 5, 9}));
    const Strings tank = ground.RowTexts(2);
    ASSERT_EQ(tank.size(), 5u);
    EXPECT_SJIS_EQ(tank[0], " 12");
    EXPECT_SJIS_EQ(tank[1], "Tank");
    EXPECT_SJIS_EQ(tank[2], TableText(Lib().MsgLevel, 2));
    EXPECT_SJIS_EQ(tank[3], " 7c");
    // No funds test; the card shows the first unit of the pool list.
    EXPECT_EQ(Icons(ground), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Page(w, kPageAir).Shown(), 8);

    // A full table of sorts on the pool's own columns.
    struct Step {
        int column;
        std::vector<int> order;
    };
    const Step steps[] = {
        {0, {9, 5, 3}},  // serial 2, 4, 12
        {0, {3, 5, 9}},
        {2, {9, 5, 3}},  // experience 20, 20, 120: the tie by class, then serial
        {2, {3, 9, 5}},
        {3, {3, 9, 5}},  // strength 7, 10, 10
        {1, {9, 5, 3}},  // infantry, infantry, Tank
    };
    for (const Step& s : steps) {
        ground.ColumnClick(s.column);
        EXPECT_EQ(Keys(ground), s.order) << "column " << s.column;
    }
    EXPECT_SJIS_EQ(Show(w, kPageNaval).RowTexts(0)[3], " 1P") << "counted in pieces";
}

TEST_F(Deployment, DeployingTakesTheRowAndTakingBackReturnsIt)
{
    PlacementWindowModel& w = Window(true);
    SetupPageModel& p = Show(w, kPageGround);
    p.Select(1);  // pool 5
    ASSERT_TRUE(placeView.armed);
    ASSERT_EQ(placeView.index, 5);
    placeView.listOpen = true;
    const int units = Cur().nUnit;

    UNITSTRUCT& unit = Deploy(w, ground[1]);
    EXPECT_EQ(Keys(p), (std::vector<int>{9, 3}));
    EXPECT_EQ(p.PoolList(), (std::vector<int>{3, 9}));
    EXPECT_EQ(p.Selected(), 1) << "the row at the same place";
    EXPECT_EQ(placeView.index, 3);
    EXPECT_EQ(placeView.marks[size_t(ground[1])], 2u);
    EXPECT_FALSE(doc->m_GameData.CarryUnit[5].dwFlag & kUnitInUse);
    EXPECT_EQ(Cur().nUnit, units + 1);

    // Back into the first free record of the pool, which is record 0.
    placeView.calls.clear();
    ASSERT_TRUE(w.TakeBack());
    const UNITSTRUCT& back = doc->m_GameData.CarryUnit[0];
    EXPECT_EQ(back.dwFlag & (kUnitInUse | kUnitInPool | kUnitActed), kUnitInUse | kUnitInPool);
    EXPECT_EQ(back.nHex, -1);
    EXPECT_EQ(back.nSerial, 4);
    EXPECT_FALSE(unit.dwFlag & kUnitInUse);
    EXPECT_EQ(doc->m_dwHexUnit[ground[1]], kNoUnit);
    EXPECT_EQ(Cur().nUnit, units);
    EXPECT_EQ(Keys(p), (std::vector<int>{9, 0, 3}));
    EXPECT_EQ(p.Row(p.Selected()).key, 0);
    EXPECT_EQ(placeView.index, 0);
    EXPECT_TRUE(placeView.armed);
    EXPECT_EQ(placeView.marks[size_t(ground[1])], 1u);
    EXPECT_FALSE(w.TakeBackEnabled());
    EXPECT_EQ(placeView.calls,
              (Strings{"list gone " + std::to_string(kInfantry) + " mode 2", "clear display " + std::to_string(ground[1]),
                       "list record " + std::to_string(kInfantry)}));
}

TEST_F(Deployment, TheLastRowAndAPageNotShown)
{
    PlacementWindowModel& w = Window(true);
    SetupPageModel& air = Show(w, kPageAir);
    ASSERT_EQ(air.RowCount(), 1);
    Deploy(w, airfields[0]);
    EXPECT_EQ(air.RowCount(), 0);
    EXPECT_FALSE(placeView.armed);
    EXPECT_EQ(air.Shown(), -1);
    EXPECT_FALSE(air.Texts().performance);

    // The ground page is shown when the fighter comes back: the choice stays
    // the ground page's.
    SetupPageModel& ground = Show(w, kPageGround);
    const int chosen = placeView.index;
    ASSERT_TRUE(placeView.armed);
    ASSERT_TRUE(w.TakeBack());
    EXPECT_EQ(air.RowCount(), 1);
    EXPECT_EQ(air.Selected(), 0);
    EXPECT_EQ(placeView.index, chosen);
    EXPECT_TRUE(placeView.armed);
    EXPECT_EQ(ground.RowCount(), 3);
    EXPECT_EQ(placeView.marks[size_t(airfields[0])], 0u) << "not a candidate of the ground page";
}

TEST_F(Deployment, AFullPoolRefusesTheTakeBack)
{
    PlacementWindowModel& w = Window(true);
    SetupPageModel& p = Show(w, kPageGround);
    p.Select(0);
    UNITSTRUCT& unit = Deploy(w, ground[1]);
    for (UNITSTRUCT& u : doc->m_GameData.CarryUnit) u.dwFlag |= kUnitInUse;
    const int units = Cur().nUnit;
    EXPECT_FALSE(w.TakeBack());
    EXPECT_TRUE(unit.dwFlag & kUnitInUse);
    EXPECT_EQ(doc->m_dwHexUnit[ground[1]], unit.refSelf);
    EXPECT_EQ(Cur().nUnit, units);
}

TEST_F(Deployment, AWholePoolOfOneKindIsListed)
{
    for (int i = 0; i < kCarryUnitCount; ++i) Pool(i, kInfantry, i, 0, 10);
    PlacementWindowModel& w = Window(true);
    ASSERT_EQ(w.PageCount(), 1);
    SetupPageModel& p = Page(w, kPageGround);
    EXPECT_EQ(p.RowCount(), kCarryUnitCount);
    EXPECT_EQ(p.PoolList().size(), size_t(kCarryUnitCount));
    // The last row deployed, then taken back: all 250 again.
    p.Select(p.RowCount() - 1);
    Deploy(w, ground[0]);
    EXPECT_EQ(p.RowCount(), kCarryUnitCount - 1);
    EXPECT_EQ(p.Selected(), kCarryUnitCount - 2);
    ASSERT_TRUE(w.TakeBack());
    EXPECT_EQ(p.RowCount(), kCarryUnitCount);
    std::vector<int> sorted = p.PoolList();
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> all(kCarryUnitCount);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(sorted, all);
}

TEST_F(Deployment, TextsAndButtons)
{
    PlacementWindowModel& w = Window(true);
    SetupPageModel& p = Show(w, kPageGround);
    Cur().nUnit = 70;
    p.UpdateTexts();
    EXPECT_SJIS_EQ(p.Texts().remaining, "  0");
    EXPECT_TRUE(p.Texts().funds.empty());
    // 進化表 needs an entry in places 1-9 of the unit's class list.
    const int cls = ArmsRecord(doc->m_GameData.CarryUnit[p.Shown()].nArms)->nClass;
    EXPECT_FALSE(p.Texts().evolution);
    Cur().dwClassList[cls][4] = kArmor;
    p.UpdateTexts();
    EXPECT_TRUE(p.Texts().evolution);
    placeView.produceCode = 44;
    p.RefreshRowIcons();
    EXPECT_FALSE(p.Texts().other);
    EXPECT_EQ(Icons(p), (std::vector<int>{2, 2, 2})) << "no room: the remaining count is 0";
    placeView.calls.clear();
    p.OtherCommand();
    p.OpenPerformance();
    p.OpenEvolutionTable();
    const std::string type = std::to_string(doc->m_GameData.CarryUnit[p.Shown()].nArms);
    EXPECT_EQ(placeView.calls, (Strings{"performance " + type + " unit 0 report", "evolution " + type + " unit 0"}));
}

}  // namespace
}  // namespace placetest
