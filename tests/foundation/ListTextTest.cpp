// The header-click sort state of the list dialogs.
#include <gtest/gtest.h>

#include "foundation/ListText.h"

namespace zrv {
namespace {

TEST(ListText, SortStateConventions)
{
    constexpr uint32_t D = SortState::kDescending;
    struct Case {
        const char* name;
        SortState::Convention convention;
        std::vector<int> clicks;
        std::vector<uint32_t> keys;
    };
    const Case cases[] = {
        {"check then flip: first click ascending, second reverses", SortState::Convention::CheckThenFlip,
         {0, 0, 2, 2}, {0, 0 | D, 2, 2 | D}},
        {"flip then check: the initial column first reverses", SortState::Convention::FlipThenCheck, {0, 0},
         {0 | D, 0}},
        {"flip then check: another column first ascending", SortState::Convention::FlipThenCheck, {3, 3},
         {3, 3 | D}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SortState s(c.convention, 5, 0);
        for (size_t i = 0; i < c.clicks.size(); ++i) EXPECT_EQ(s.Click(c.clicks[i]), c.keys[i]) << i;
    }
    std::vector<std::pair<int, int>> rows = {{2, 0}, {1, 1}, {2, 2}, {1, 3}};
    SortRows(rows, 0 | D, [](const auto& a, const auto& b, int) { return a.first < b.first; });
    EXPECT_EQ(rows, (std::vector<std::pair<int, int>>{{2, 0}, {2, 2}, {1, 1}, {1, 3}})) << "stable";
}

}  // namespace
}  // namespace zrv
