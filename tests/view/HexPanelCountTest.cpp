// The durability count-down as the status strip's hex panel reads it: one
// step less at each refresh, down to the steps left, and the cell as it was
// afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using HexPanelCountTest = OrderTest;

TEST_F(HexPanelCountTest, TheHexPanelCountsTheDurabilityDownStepByStep)
{
    struct Panel : StatusStrip {
        std::function<void(HEXINDEX)> f;
        void RefreshStatus(HEXINDEX hex, bool, UNITSTRUCT*, bool) override { f(hex); }
    } panel;
    const struct {
        const char* name;
        int durability;
        int amount;
        bool occupation;
    } cases[] = {
        {"an occupation eats the whole durability: the steps left", 12, 12, true},
        {"a bombing takes part of it", 40, 5, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const HEXINDEX hex = kOwnHex;
        const MAPCELL before = doc->m_dwHexCell[hex];
        const MAPCELL former = WithDurability(before, k.durability);
        std::vector<int> shown;
        panel.f = [&](HEXINDEX h) {
            EXPECT_EQ(h, hex);
            shown.push_back(CellDurability(doc->m_dwHexCell[hex]));
        };
        view->SetStatusStrip(&panel);
        EXPECT_EQ(view->AnimateHexDamage(hex, former, k.amount, k.occupation), 0);
        view->SetStatusStrip(&strip);
        std::vector<int> want;
        for (int step = 1; step <= k.amount; ++step) want.push_back(k.durability - step);
        EXPECT_EQ(shown, want);
        EXPECT_EQ(doc->m_dwHexCell[hex], before) << "the cell comes back";
    }
}

}  // namespace
}  // namespace viewtest
