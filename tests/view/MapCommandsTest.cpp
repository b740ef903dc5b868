// The commands that choose the map: the HQ map and back to the view map at
// the scroll position it was left at, the old toggle of both, and the map
// of the computer's turns set in the view and the countries' records.
#include <gtest/gtest.h>

#include "battle/view/BattleMenu.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using MapCommandsTest = OrderTest;

TEST_F(MapCommandsTest, EachMapCommandIsEnabledAndMarkedByItsOwnBits)
{
    const struct {
        const char* name;
        int id;
        uint32_t state;
        int mode;
        uint32_t country;  // extra flags of the current country
        uint32_t disp;     // display option word
        bool enabled, checked;
    } cases[] = {
        {"old toggle in the human phase", kCmdOldHqView, kViewHumanPhase, kModeChooseUnit, 0, 0, true, false},
        {"old toggle while moving", kCmdOldHqView, kViewHumanPhase, kModeMoveTarget, 0, 0, false, false},
        {"old toggle outside the human phase", kCmdOldHqView, 0, kModeChooseUnit, 0, 0, false, false},
        {"old toggle for a computer country", kCmdOldHqView, 0, kModeNone, kCountryCpu, 0, true, false},
        {"view map marked on the view map", kCmdViewMap, 0, kModeNone, 0, 0, true, true},
        {"view map unmarked on the HQ map", kCmdViewMap, 0, kModeNone, 0, kDispHqMap, true, false},
        {"HQ map marked on the HQ map", kCmdHqMap, 0, kModeNone, 0, kDispHqMap, true, true},
        {"CPU HQ map: bits 0-1 are 2", kCmdCpuHqMap, 0, kModeNone, 0, 2, true, true},
        {"CPU HQ map: not when fast", kCmdCpuHqMap, 0, kModeNone, 0, 3, true, false},
        {"CPU fast HQ map: bits 0-1 are 3", kCmdCpuHqMapFast, 0, kModeNone, 0, 3, true, true},
        {"CPU view map: bit 1 clear", kCmdCpuViewMap, 0, kModeNone, 0, 1, true, true},
        {"CPU view map: bit 1 set", kCmdCpuViewMap, 0, kModeNone, 0, 2, true, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state;
        view->m_nCmdMode = k.mode;
        doc->m_GameData.Country[0].dwFlag = kCountryPresent | k.country;
        view->m_dwDispOption = k.disp;
        const CommandState s = view->Commands().State(k.id);
        EXPECT_EQ(s.enabled, k.enabled);
        EXPECT_EQ(s.checked, k.checked);
    }
}

TEST_F(MapCommandsTest, TheHqMapKeepsTheViewMapsScrollItselfForTheWayBack)
{
    ShowMap(560, 420, {168, 126}, {40, 40, 90, 90});
    ASSERT_TRUE(view->Commands().Run(kCmdHqMap));
    view->OnPaint(nullptr);
    ASSERT_EQ(view->GetScrollPosition(), (PointI{0, 0}));
    ASSERT_TRUE(view->Commands().Run(kCmdViewMap));
    view->OnPaint(nullptr);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{168, 126}));
}

TEST_F(MapCommandsTest, TheViewMapComesBackWhereItWasLeft)
{
    ShowMap(560, 420, {112, 84}, {40, 40, 90, 90});
    view->m_ptViewMapScroll = view->GetScrollPosition();
    ASSERT_TRUE(view->Commands().Run(kCmdHqMap));
    EXPECT_NE(view->m_dwDispOption & kDispHqMap, 0u);
    // 51 x 51 hexes at one seventh: smaller than the window, not scrolled.
    EXPECT_EQ(view->GetVirtualSize().cx, 51 * 8 + 4);
    EXPECT_EQ(view->GetVirtualSize().cy, 51 * 6);
    view->OnPaint(nullptr);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{0, 0}));
    EXPECT_EQ(view->m_rcDrawnMap.left, (560 - 412) / 2);

    // The HQ map again changes nothing; the view map brings the scroll back.
    ASSERT_TRUE(view->Commands().Run(kCmdHqMap));
    EXPECT_NE(view->m_dwDispOption & kDispHqMap, 0u);
    ASSERT_TRUE(view->Commands().Run(kCmdViewMap));
    EXPECT_EQ(view->m_dwDispOption & kDispHqMap, 0u);
    view->OnPaint(nullptr);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{112, 84}));

    // The old toggle flips both ways the same.
    view->m_dwState = kViewHumanPhase;
    view->m_nCmdMode = kModeChooseUnit;
    ASSERT_TRUE(view->Commands().Run(kCmdOldHqView));
    EXPECT_NE(view->m_dwDispOption & kDispHqMap, 0u);
    view->OnPaint(nullptr);
    ASSERT_TRUE(view->Commands().Run(kCmdOldHqView));
    view->OnPaint(nullptr);
    EXPECT_EQ(view->m_dwDispOption & kDispHqMap, 0u);
    EXPECT_EQ(view->GetScrollPosition(), (PointI{112, 84}));
}

TEST_F(MapCommandsTest, TheComputersMapIsSetFromTheCurrentCountryOnToTheNextPlayerInMultiPlay)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    // Present: 0 (player), 1, 2 (player), 5 (current), 6, 7 (player).
    for (int i = 0; i < kCountryCount; ++i) {
        g.Country[i].dwFlag = (i == 3 || i == 4) ? 0 : kCountryPresent | kCountryCpu;
        g.Country[i].nControl = 1;
        g.Country[i].dwViewOption = 0x100u;
    }
    for (int i : {0, 2, 7}) {
        g.Country[i].dwFlag &= ~kCountryCpu;
        g.Country[i].nControl = 0;
    }
    doc->SetCurrentCountry(5);
    view->SetCurrentCountry(5, &g.Country[5]);
    // The low view bits (the viewing country's choice sets bit 28).
    const auto words = [&] {
        std::vector<uint32_t> w;
        for (const COUNTRYSTRUCT& c : g.Country) w.push_back(c.dwViewOption & 0xFFFFu);
        return w;
    };

    doc->m_dwGameOption |= kOptMultiPlay;
    ASSERT_TRUE(view->Commands().Run(kCmdCpuHqMapFast));
    EXPECT_EQ(view->m_dwDispOption & 3u, 3u);
    EXPECT_EQ(words(), (std::vector<uint32_t>{0x100, 0x100, 0x100, 0x100, 0x100, 0x103, 0x103, 0x100}));

    // Not a multi-play game: every present record, wrapping after the eighth.
    doc->m_dwGameOption &= ~kOptMultiPlay;
    ASSERT_TRUE(view->Commands().Run(kCmdCpuHqMap));
    EXPECT_EQ(view->m_dwDispOption & 3u, 2u);
    EXPECT_EQ(words(), (std::vector<uint32_t>{0x102, 0x102, 0x102, 0x100, 0x100, 0x102, 0x102, 0x102}));

    // The view map clears bit 1 and leaves bit 0 alone.
    g.Country[1].dwViewOption |= 1u;
    ASSERT_TRUE(view->Commands().Run(kCmdCpuViewMap));
    EXPECT_EQ(view->m_dwDispOption & 3u, 0u);
    EXPECT_EQ(words(), (std::vector<uint32_t>{0x100, 0x101, 0x100, 0x100, 0x100, 0x100, 0x100, 0x100}));

    // For a computer country the old toggle switches the computer's map:
    // the fast HQ map from the view map, the view map from the HQ map.
    ASSERT_TRUE(view->Commands().Run(kCmdOldHqView));
    EXPECT_EQ(view->m_dwDispOption & 3u, 3u);
    view->m_dwDispOption |= kDispHqMap;
    ASSERT_TRUE(view->Commands().Run(kCmdOldHqView));
    EXPECT_EQ(view->m_dwDispOption & 2u, 0u);
}

}  // namespace
}  // namespace viewtest
