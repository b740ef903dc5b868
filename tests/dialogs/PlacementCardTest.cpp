// The production, deployment and improvement cards as laid out and as
// painted over generated backgrounds, and the improvement sheet's pages,
// choice and cost test.
#include <gtest/gtest.h>

#include "battle/dialogs/ImproveSheetModel.h"
#include "battle/dialogs/PlacementCards.h"
#include "battle/engine/UnitCommands.h"
#include "dialogs/PlacementFixture.h"
#include "support/Sjis.h"

namespace placetest {
namespace {

struct Item {
    int x, y;
    const char* text;
};

void ExpectTexts(const PlacementCardLayout& l, std::initializer_list<Item> items)
{
    ASSERT_EQ(l.texts.size(), items.size());
    size_t i = 0;
    for (const Item& want : items) {
        const CardText& t = l.texts[i++];
        SCOPED_TRACE(testing::Message() << "text " << i);
        EXPECT_EQ(t.x, want.x);
        EXPECT_EQ(t.y, want.y);
        EXPECT_SJIS_EQ(t.text, want.text);
    }
}

class Cards : public PlacementFixture {};

TEST_F(Cards, ProductionCardOfAType)
{
    // "Tank": 4 bytes, centred at ((24 - 4) x 7) / 2 + 89.
    const PlacementCardLayout l = LayoutProductCard(kTank, 2);
    EXPECT_EQ(l.pictures, (std::vector<CardUnitPicture>{{138, 40, kTank, 2, 10}}));
    const ARMSSTRUCT& a = *ArmsRecord(kTank);
    ASSERT_EQ(a.nSight, 3);
    ExpectTexts(l, {{159, 7, "Tank"},
                    {83, 33, "  3"},
                    {83, 53, "  8"},
                    {83, 73, " 50"},
                    {281, 33, "  0"},
                    {281, 53, "  0"},
                    {281, 73, " 10"},
                    {172, 91, "   800"}});
    // A type counted in pieces shows a strength of 1 and its piece price.
    const PlacementCardLayout ship = LayoutProductCard(kDestroyer, 0);
    EXPECT_EQ(ship.pictures.at(0).strength, 1);
    EXPECT_SJIS_EQ(ship.texts.back().text, " 2,000");
    // No type, or one outside the table: the background alone.
    EXPECT_TRUE(LayoutProductCard(-1, 0).texts.empty());
    EXPECT_TRUE(LayoutProductCard(9999, 0).pictures.empty());
}

TEST_F(Cards, DeploymentCardOfAPoolUnit)
{
    UNITSTRUCT& u = Pool(4, kInfantry, 3, 75, 6);
    const PlacementCardLayout l = LayoutSetupCard(&u, 1);
    EXPECT_EQ(l.pictures, (std::vector<CardUnitPicture>{{138, 40, kInfantry, 1, 6}}));
    ASSERT_EQ(l.texts.size(), 8u);
    EXPECT_EQ(l.texts[0].x, ((24 - 8) * 7) / 2 + 89);
    EXPECT_SJIS_EQ(l.texts.back().text, " 75");
    EXPECT_EQ(l.texts.back().x, 181);
    EXPECT_EQ(l.texts.back().y, 91);
    EXPECT_TRUE(LayoutSetupCard(nullptr, 1).texts.empty());
}

TEST_F(Cards, ImprovementCard)
{
    UNITSTRUCT u{};
    u.nArms = kInfantry;
    const PlacementCardLayout l = LayoutImproveCard(kTank, u, 3);
    EXPECT_EQ(l.pictures, (std::vector<CardUnitPicture>{{76, 25, kTank, 3, -1}, {76, 88, kInfantry, 3, -1}}));
    ExpectTexts(l, {{101, 4, "Tank"},
                    {15, 125, "infantry"},
                    {169, 125, TableText(Lib().MsgUnitType, 0)},
                    {86, 66, "   100"}});  // 80 - 30 is below the least cost
    EXPECT_TRUE(LayoutImproveCard(-1, u, 3).pictures.empty());
}

TEST_F(Cards, PaintingCopiesTheBackgroundThenPicturesThenTexts)
{
    CDib back, card;
    ASSERT_TRUE(back.Create(kPlaceCardW, kPlaceCardH, nullptr));
    ASSERT_TRUE(card.Create(kPlaceCardW, kPlaceCardH, nullptr));
    back.Surface().FillRect({0, 0, kPlaceCardW, kPlaceCardH}, 7);
    back.Surface().SetPixel(kPlaceCardW - 1, kPlaceCardH - 1, 9);
    std::vector<CardUnitPicture> drawn;
    const CardPictureDrawer draw = [&](CDib& c, const CardUnitPicture& p) {
        drawn.push_back(p);
        c.Surface().FillRect({p.x, p.y, p.x + 56, p.y + 36}, 20);
    };
    const PlacementCardLayout l = LayoutProductCard(kTank, 2);
    ASSERT_TRUE(PaintPlacementCard(&card, &back, kPlaceCardW, kPlaceCardH, l, draw, nullptr));
    const platform::Surface8 s = card.Surface();
    EXPECT_EQ(s.GetPixel(0, 0), 7);
    EXPECT_EQ(s.GetPixel(kPlaceCardW - 1, kPlaceCardH - 1), 9);
    EXPECT_EQ(s.GetPixel(138, 40), 20);
    EXPECT_EQ(s.GetPixel(137, 40), 7);
    EXPECT_EQ(drawn, l.pictures);
    // Without the background nothing is painted.
    card.Surface().FillRect({0, 0, kPlaceCardW, kPlaceCardH}, 1);
    EXPECT_FALSE(PaintPlacementCard(&card, nullptr, kPlaceCardW, kPlaceCardH, l, draw, nullptr));
    EXPECT_EQ(card.Surface().GetPixel(0, 0), 1);
}

TEST_F(Cards, ImprovementSheetPagesChoiceAndFunds)
{
    UNITSTRUCT u{};
    u.nArms = kInfantry;
    // Costs from the infantry (30): tank 100 (at least), fighter 90 -> 100,
    // destroyer 1970, submarine 1470.
    const int candidates[] = {kTank, kDestroyer, kFighter, kSubmarine, kArmor, kRetired, -1};
    ImproveSheetModel m(candidates, u, 2, 1500);
    ASSERT_EQ(m.PageCount(), kMaxImprovePages);
    EXPECT_SJIS_EQ(m.Page(1).title, TableText(Lib().MsgUnitType, 57));
    EXPECT_EQ(m.Page(4).target, kArmor);
    // Untouched tabs choose the first candidate, with 改良 allowed.
    EXPECT_EQ(m.SelectedPage(), 0);
    EXPECT_TRUE(m.ImproveEnabled());
    struct Step {
        int page;
        bool enabled;
    };
    for (const Step& s : {Step{1, false}, Step{3, true}, Step{0, true}, Step{1, false}, Step{7, false}}) {
        m.PageChanged(s.page);
        EXPECT_EQ(m.ImproveEnabled(), s.enabled) << "page " << s.page;
    }
    EXPECT_EQ(m.SelectedPage(), 1) << "a tab that does not exist changes nothing";
    EXPECT_EQ(m.Cost(1), GetImprovementCost(kInfantry, kDestroyer));
    EXPECT_EQ(m.Cost(0), 100);
    EXPECT_EQ(m.Card(1).pictures.at(0).type, kDestroyer);

    // The list ends at the first negative entry.
    const int one[] = {kTank, -1, kFighter};
    ImproveSheetModel single(one, u, 2, 0);
    EXPECT_EQ(single.PageCount(), 1);
    EXPECT_TRUE(single.ImproveEnabled());
}

}  // namespace
}  // namespace placetest
