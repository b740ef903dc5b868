// Which country's view the map shows: chosen when a phase begins or its
// information screen is clicked away, and what the map then shows of units.
#include <gtest/gtest.h>

#include "view/ViewFixture.h"

namespace viewtest {
namespace {

using ViewingCountryTest = ViewTest;

TEST_F(ViewingCountryTest, TheViewingCountryIsTheHumanOneBeforeTheCurrentCountry)
{
    const uint32_t human = kCountryPresent, cpu = kCountryPresent | kCountryCpu;
    const struct {
        const char* name;
        std::array<uint32_t, kCountryCount> flags;
        int current;
        bool campaign;
        int want;
    } cases[] = {
        {"human current", {human, cpu, human, 0, 0, 0, 0, 0}, 2, false, 2},
        {"computer current: the human record before it", {human, human, cpu, cpu, 0, 0, 0, 0}, 3, false, 1},
        {"absent records are passed over", {human, 0, cpu, 0, 0, 0, 0, 0}, 2, false, 0},
        {"the search wraps from 0 to 7", {cpu, cpu, 0, 0, 0, 0, human, cpu}, 1, false, 6},
        {"computers only: back where it began", {cpu, cpu, cpu, 0, 0, 0, 0, 0}, 1, false, 1},
        {"campaign: always country 0", {cpu, human, human, 0, 0, 0, 0, 0}, 2, true, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        for (int i = 0; i < kCountryCount; ++i) doc->m_GameData.Country[i].dwFlag = k.flags[i];
        doc->m_dwGameOption = k.campaign ? kOptionCampaign : 0u;
        doc->SetCurrentCountry(k.current);
        doc->UpdateViewingCountry(true);
        EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[k.want]);
    }
}

TEST_F(ViewingCountryTest, ClickingTheInformationScreenAwayShowsThePhasesUnits)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.dwFlag = kCountryPresent;
    c.nCapital = MakeHex(50, 50);
    UNITSTRUCT& u = c.Unit[0];
    u.dwFlag = kUnitInUse;
    u.nArms = zrvtest::kFixtureDestroyer;
    u.nStrength = 7;
    u.nHex = c.nCapital;
    doc->m_dwHexUnit[u.nHex] = MakeUnitRef(0, 0);
    doc->m_rcMapArea = {40, 40, 60, 60};
    doc->SetCurrentCountry(0);
    view->OnStartupCommand();

    // The cell of the capital as the map shows it now.
    auto cell = [&] {
        std::vector<int> pixels;
        EXPECT_TRUE(view->HexToCell(u.nHex, false));
        for (int y = 0; y < 42; ++y)
            for (int x = 0; x < 56; ++x) pixels.push_back(Buffer(view->m_ptCell.x + x, view->m_ptCell.y + y));
        return pixels;
    };
    // Shown before any phase chose a viewer: the ground only.
    view->ApplyViewOptions(kDispMapShown, kDispMapShown);
    view->RedrawMap(true);
    ASSERT_EQ(doc->m_pViewCountry, nullptr);
    const std::vector<int> ground = cell();

    view->ApplyViewOptions(0, kDispMapShown);
    doc->SetFlowState(PHASE_WAITCLICK);
    doc->m_nNextFlowState = PHASE_HUMAN;
    ASSERT_TRUE(view->OnInfoScreenClick());
    EXPECT_EQ(doc->m_pViewCountry, &c);
    EXPECT_NE(cell(), ground) << "the unit is drawn on its hex";
}

}  // namespace
}  // namespace viewtest
