// Selecting a ship that carries aircraft ready to fly: the launch choice
// decides which unit takes the order, and its sound says which.
#include <gtest/gtest.h>

#include "battle/engine/UnitRules.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using LaunchChoiceTest = OrderTest;
using Kind = ScriptedDialogService::DialogKind;

TEST_F(LaunchChoiceTest, TheChosenAircraftOrTheCarrierTakesTheOrder)
{
    UNITSTRUCT* ship = Place(0, 3, MakeHex(48, 48), zrvtest::kFixtureDestroyer);
    UNITSTRUCT* fighter = Place(0, 4, -1, zrvtest::kFixtureFighter);
    fighter->dwFlag |= kUnitCarried;
    fighter->dwCargo = MakeCargo(RefSlot(ship->refSelf), 0);
    ship->dwFlag |= kUnitCarries;
    ship->dwCargo = MakeCargo(kNoCarrier, 1);
    const struct {
        const char* name;
        bool fighterActed;
        bool queued;
        int answer;
        bool asked;
        UNITSTRUCT* chosen;
        std::vector<int> sounds;
    } cases[] = {
        {"the aircraft is chosen", false, true, 0, true, fighter, {36}},
        {"母艦: the carrier stays", false, true, kLaunchCarrier, true, ship, {42}},
        {"closed without an answer", false, false, 0, true, ship, {42}},
        {"an index past the list", false, true, 3, true, ship, {42}},
        {"no aircraft ready: nothing asked", true, true, 0, false, ship, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        sounds->effects.clear();
        view->m_pSelUnit = view->m_pCmdUnit = nullptr;
        view->m_nCmdMode = kModeChooseUnit;
        view->m_dwState = 0;
        fighter->dwFlag = k.fighterActed ? fighter->dwFlag | kUnitActed : fighter->dwFlag & ~kUnitActed;
        if (k.queued) dialogs.QueueReply(Kind::Launch, {k.answer});
        ASSERT_EQ(view->ClickHex(-1, ship), 1);
        const auto& asked = dialogs.AskedDialogs();
        ASSERT_EQ(asked.size(), k.asked ? 1u : 0u);
        if (k.asked) {
            EXPECT_EQ(asked[0].kind, Kind::Launch);
            EXPECT_EQ(asked[0].unit, ship);
            EXPECT_EQ(asked[0].cargo, (std::vector<UNITSTRUCT*>{fighter}));
        }
        EXPECT_EQ(sounds->effects, k.sounds);
        // The unit of the order enters its move or gets its command window.
        EXPECT_TRUE(view->m_pSelUnit == k.chosen || view->m_pCmdUnit == k.chosen);
        EXPECT_FALSE(view->m_pSelUnit == (k.chosen == ship ? fighter : ship));
        if (k.queued && !k.asked) dialogs.Clear();
    }
}

}  // namespace
}  // namespace viewtest
