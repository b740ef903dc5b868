#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "battle/engine/BattleScene.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"

namespace zrv {
namespace {

class BattleSceneFill : public testing::Test {
protected:
    void SetUp() override
    {
        game = std::make_unique<GAMEDATASTRUCT>();
        std::memset(game.get(), 0, sizeof *game);
        game->Head.dwArea = 0x00050002u;  // climate 5, rain 2
        game->nIceLevel = 3;
        a.nArms = 7;
        a.nStrength = 10;
        a.nHex = MakeHex(40, 40);
        a.refSelf = MakeUnitRef(0, 1);
        d.nArms = 9;
        d.nStrength = 6;
        d.nHex = MakeHex(40, 41);
        d.refSelf = MakeUnitRef(1, 4);
        in.side1 = &a;
        in.side2 = &d;
        in.currentCountry = 0;
        in.rcMap = {35, 36, 96, 97};
        in.viewOption = kViewSoundEffects | 0x1u;
    }

    std::unique_ptr<GAMEDATASTRUCT> game;
    UNITSTRUCT a{}, d{};
    BattleSceneInput in;
};

TEST_F(BattleSceneFill, ExchangeSumsLossesOverBothRunsCappedAtStrength)
{
    std::vector<COMBATHITSTRUCT> hits = {
        {&d, 4, 0}, {&a, 3, 0}, {nullptr, -1, 0},  // first run
        {&d, 5, 0}, {&a, 2, 0}, {nullptr, -1, 0},  // second run
        {&a, 100, 0},                               // after both runs: not counted
    };
    in.hits = hits;
    in.order = 2;
    in.totals = {5, 9};
    const GAMEREALSTRUCT b = FillGameRealBlock(*game, in);
    EXPECT_EQ(b.Side[0].nLoss, 5);
    EXPECT_EQ(b.Side[1].nLoss, 6);  // 9 capped at strength 6
    EXPECT_EQ(b.nDistance, 1);
    EXPECT_EQ(b.nOrder, 2);
    EXPECT_EQ(b.nArea, 5);
    EXPECT_EQ(b.nIceLevel, 3);
    EXPECT_EQ(b.dwSound, kViewSoundEffects);
    EXPECT_EQ(b.rcMap.left, 35);
    EXPECT_EQ(b.rcMap.bottom, 97);
    EXPECT_EQ(b.nTotals[0], 5);
    EXPECT_EQ(b.Side[0].Unit.nArms, 7);
    EXPECT_EQ(b.Side[1].Unit.nArms, 9);
}

TEST_F(BattleSceneFill, ComputerAttackingHumanSwapsSidesAndNegatesOrder)
{
    in.side1 = &d;  // the computer's unit acts
    in.side2 = &a;
    in.order = 3;
    in.totals = {1, 2};
    in.weapons1 = 0x11;
    in.weapons2 = 0x22;
    const GAMEREALSTRUCT b = FillGameRealBlock(*game, in);
    EXPECT_EQ(b.Side[0].Unit.refSelf, a.refSelf);
    EXPECT_EQ(b.Side[1].Unit.refSelf, d.refSelf);
    EXPECT_EQ(b.nOrder, -3);
    EXPECT_EQ(b.nTotals[0], 2);
    EXPECT_EQ(b.nTotals[1], 1);
    EXPECT_EQ(b.Side[0].dwWeapons, 0x22u);
}

TEST_F(BattleSceneFill, BombingWithoutDefenderLeavesSideTwoZero)
{
    in.side2 = nullptr;
    in.attackKind = 3;
    in.aaFireDamage = 2;
    const HEXINDEX fire[] = {MakeHex(40, 41), -1};
    in.firingHexes = fire;
    const GAMEREALSTRUCT b = FillGameRealBlock(*game, in);
    static const REALSIDESTRUCT kZero{};
    EXPECT_EQ(std::memcmp(&b.Side[1], &kZero, sizeof kZero), 0);
    EXPECT_EQ(b.nDistance, 0);
    EXPECT_EQ(b.Side[0].dwDirs, 0u);
    // The anti-aircraft damage is shown on top of what the unit has left.
    EXPECT_EQ(b.Side[0].Unit.nStrength, 12);
}

TEST_F(BattleSceneFill, LightModeAndWeatherFollowTheStateFlags)
{
    struct Case {
        uint32_t state;
        int dayNight, light, weather;
        int wantMode, wantWeather, wantSnow;
    } cases[] = {
        {0, 2, 1, 4, 0, 0, 0},
        {kStateDayNight, 1, 0, 4, 1, 0, 0},
        {kStateDayNight, 2, 0, 4, 2, 0, 0},
        {kStateDayNight, 2, 1, 4, 3, 0, 0},  // moonlit night
        {kStateWeather | kStateSnowSeason, 0, 0, 4, 0, 4, 1},
        {kStateSnowSeason, 0, 0, 4, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.state << " " << c.dayNight << " " << c.light);
        game->dwStateFlag = c.state;
        game->nDayNight = c.dayNight;
        game->nLight = c.light;
        game->nWeather = c.weather;
        const GAMEREALSTRUCT b = FillGameRealBlock(*game, in);
        EXPECT_EQ(b.nLightMode, c.wantMode);
        EXPECT_EQ(b.nWeather, c.wantWeather);
        EXPECT_EQ(b.bSnow, c.wantSnow);
    }
}

TEST_F(BattleSceneFill, NullListsCountAsEmptyRuns)
{
    const GAMEREALSTRUCT b = FillGameRealBlock(*game, in);
    EXPECT_EQ(b.Side[0].nLoss, 0);
    EXPECT_EQ(b.Side[1].nLoss, 0);
    EXPECT_EQ(b.Side[0].dwDirs, 0u);
    EXPECT_EQ(b.Side[1].dwDirs, 0u);
}

TEST(BattleSceneWanted, Table)
{
    UNITSTRUCT att{}, def{};
    att.refSelf = MakeUnitRef(1, 0);
    def.refSelf = MakeUnitRef(3, 0);
    const MAPCELL cellOf2 = WithOwner(0, 2);
    struct Case {
        uint32_t option;
        bool minimised;
        int viewer;
        bool withDefender;
        MAPCELL cell;
        bool want;
    } cases[] = {
        {0, false, 1, true, 0, false},                                    // scenes off
        {kViewBattleScenes | kViewEveryBattle, true, 1, true, 0, false},  // minimised
        {kViewBattleScenes | kViewEveryBattle, false, 5, true, 0, true},  // every battle
        {kViewBattleScenes, false, 1, true, 0, true},                     // viewer attacks
        {kViewBattleScenes, false, 3, true, 0, true},                     // viewer defends
        {kViewBattleScenes, false, 3, false, 0, false},                   // no defender given
        {kViewBattleScenes, false, 2, true, cellOf2, true},               // viewer's cell
        {kViewBattleScenes, false, 5, true, cellOf2, false},              // two computers
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.option << " viewer " << c.viewer);
        EXPECT_EQ(IsBattleSceneWanted(c.option, c.minimised, c.viewer, att, c.withDefender ? &def : nullptr, c.cell),
                  c.want);
    }
}

}  // namespace
}  // namespace zrv
