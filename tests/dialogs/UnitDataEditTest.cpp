// The unit data editor without a window: what each slider and button writes.
#include <gtest/gtest.h>

#include <limits>

#include "battle/dialogs/UnitDataEditModel.h"
#include "dialogs/TableFixture.h"

namespace {

using namespace zrv;
using namespace tabletest;

class UnitDataEditTest : public ::testing::Test {
protected:
    ScopedTableLibrary lib;
    TableBattle b;
    COUNTRYSTRUCT& own = b.game->Country[0];
    COUNTRYSTRUCT& other = b.game->Country[1];
};

TEST_F(UnitDataEditTest, BatteryOnlyForATypeThatHasOneAndLabelsByType)
{
    UNITSTRUCT& tank = b.Unit(0, zrvtest::kFixtureTank, 1, MakeHex(22, 13), 6);
    tank.nBattery = 7;
    UnitDataEditModel m(tank, own, &own);
    EXPECT_FALSE(m.BatteryShown());
    EXPECT_EQ(m.Slider(kEditBattery), nullptr);
    EXPECT_EQ(m.Sliders().size(), 7u);
    EXPECT_EQ(m.Move(kEditBattery, 3), "");
    EXPECT_EQ(tank.nBattery, 7);
    EXPECT_EQ(m.Label(kEditStrength), "Remain       6");
    EXPECT_EQ(m.UnitName(), "UNITJ2");

    UNITSTRUCT& sub = b.Unit(1, zrvtest::kFixtureSubmarine, 2, MakeHex(22, 14), 4);
    UnitDataEditModel s(sub, own, &own);
    ASSERT_TRUE(s.BatteryShown());
    EXPECT_EQ(s.Slider(kEditBattery)->max, 20);
    EXPECT_EQ(s.Move(kEditBattery, 12), "Battery     12");
    EXPECT_EQ(sub.nBattery, 12);
    EXPECT_EQ(s.Label(kEditStrength), "Endur.       4");  // counted in pieces
    // The sliders in their order of setting up, with ranges and steps.
    const int order[] = {kEditStrength, kEditExperience, kEditFuel, kEditBattery,
                         kEditAirKills, kEditGroundKills, kEditShipKills, kEditLosses};
    const int max[] = {10, 250, 50, 20, 9999, 9999, 999, 999};
    const int page[] = {1, 10, 5, 1, 1, 1, 1, 1};
    ASSERT_EQ(s.Sliders().size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(s.Sliders()[i].id, order[i]);
        EXPECT_EQ(s.Sliders()[i].max, max[i]);
        EXPECT_EQ(s.Sliders()[i].page, page[i]);
    }
}

TEST_F(UnitDataEditTest, SlidersWriteTheirFieldsAndTalliesOnlyTheirHalf)
{
    UNITSTRUCT& u = b.Unit(0, zrvtest::kFixtureTank, 1, MakeHex(22, 13), 6);
    u.dwTally0 = 0x0005000Au;  // 5 aircraft, 10 ground units
    u.dwTally1 = 0x00030004u;  // 3 ships, 4 losses
    UnitDataEditModel m(u, own, &own);
    struct Case {
        int id;
        int pos;
        uint32_t tally0, tally1;
        const char* label;
    } cases[] = {
        {kEditAirKills, 1234, 0x04D2000Au, 0x00030004u, "X AirF    1234"},
        {kEditGroundKills, 9999, 0x04D2270Fu, 0x00030004u, "X Army    9999"},
        {kEditShipKills, 77, 0x04D2270Fu, 0x004D0004u, "X Navy      77"},
        {kEditLosses, 5000, 0x04D2270Fu, 0x004D03E7u, "Damage     999"},  // kept in range
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m.Move(c.id, c.pos), c.label);
        EXPECT_EQ(u.dwTally0, c.tally0) << c.id;
        EXPECT_EQ(u.dwTally1, c.tally1) << c.id;
    }
    EXPECT_EQ(m.Move(kEditStrength, 3), "Remain       3");
    EXPECT_EQ(m.Move(kEditExperience, 180), "Exp.       180");
    EXPECT_EQ(m.Move(kEditFuel, -4), "Fuel         0");
    EXPECT_EQ(u.nStrength, 3);
    EXPECT_EQ(u.nExp, 180);
    EXPECT_EQ(u.nFuel, 0);
}

TEST_F(UnitDataEditTest, FundsButtonsAddTenThousandAndStopAtTheTop)
{
    UNITSTRUCT& u = b.Unit(0, zrvtest::kFixtureTank, 1, MakeHex(22, 13));
    own.nFund = 500;
    UnitDataEditModel m(u, own, &own);
    for (int i = 0; i < 3; ++i) m.AddFunds();
    EXPECT_EQ(own.nFund, 30500);
    m.ZeroFunds();
    EXPECT_EQ(own.nFund, 0);
    own.nFund = std::numeric_limits<int32_t>::max() - 5;
    m.AddFunds();
    EXPECT_EQ(own.nFund, std::numeric_limits<int32_t>::max());
}

TEST_F(UnitDataEditTest, ActAgainOnlyForTheCurrentCountryAndThePanelKeepsTheOldFlag)
{
    UNITSTRUCT& u = b.Unit(0, zrvtest::kFixtureTank, 1, MakeHex(22, 13));
    u.dwFlag |= kUnitActed | 0x00001FFFu | kUnitInPool;
    u.nMarchHex = MakeHex(30, 31);
    u.nAmmo[0] = 5;
    u.nAmmo[7] = 2;
    const uint32_t before = u.dwFlag;

    UnitDataEditModel foreign(u, own, &other);
    EXPECT_FALSE(foreign.ActAgainEnabled());
    foreign.ActAgain();
    EXPECT_EQ(u.dwFlag, before);

    UnitDataEditModel m(u, own, &own);
    ASSERT_TRUE(m.ActAgainEnabled());
    m.ActAgain();
    EXPECT_EQ(u.dwFlag, before & 0xBFFFE000u);
    EXPECT_FALSE(m.ActAgainEnabled());
    m.EmptyAmmunition();
    for (int a : u.nAmmo) EXPECT_EQ(a, 0);
    EXPECT_FALSE(m.EmptyAmmunitionEnabled());

    // The panel shows the words as they were at the opening.
    const auto& panel = m.DataPanel();
    ASSERT_EQ(panel.size(), 9u);
    auto text = [&](int id) {
        for (const auto& [control, t] : panel)
            if (control == id) return t;
        return std::string("?");
    };
    char flag[9];
    std::snprintf(flag, sizeof flag, "%08x", before);
    EXPECT_EQ(text(1128), flag);
    EXPECT_EQ(text(1193), "00000f1f");  // the march hex (row 30, column 31)
    EXPECT_EQ(text(1130), "00000f1f");
    EXPECT_EQ(text(1126), "00000000");  // country 0, slot 0
}

}  // namespace
