// The supply-need tests for a bomber of class 54, which the tables of the
// other bomber classes serve.
#include <gtest/gtest.h>

#include "battle/engine/UnitRules.h"
#include "battle/engine/UnitSearch.h"
#include "cpu/ArmsFixture.h"
#include "cpu/CpuFixture.h"

namespace zrv {
namespace {

struct HighDraws : RuleDraws {
    int Rand() override { return 99; }
};

class SupplyNeedsTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        SetLib(&arms.Library());
    }
    zrvtest::ArmsFixture arms;
};

TEST_F(SupplyNeedsTest, AClass54BomberNeedsWhatTheOtherBombersNeed)
{
    HighDraws draws;
    for (int type : {zrvtest::kArmsBomber, zrvtest::kArmsHeavyBomber}) {
        SCOPED_TRACE(type);
        UNITSTRUCT& u = Unit(1, 0, MakeHex(40, 40), type);
        u.nAmmo[0] = 4;
        u.nFuel = 50;
        const int m = UnitArms(u)->nMovePoint;
        // Strength: always at 2 tenths of full strength or less, never above.
        const struct {
            int strength;
            int needs;
        } strengths[] = {{2, 1}, {3, 0}, {9, 0}};
        for (const auto& k : strengths) {
            u.nStrength = k.strength;
            EXPECT_EQ(UnitNeedsStrengthSupply(doc->m_GameData, u, draws), k.needs) << "strength " << k.strength;
        }
        // Fuel: at twice the movement allowance or less.
        u.nStrength = 10;
        const struct {
            int fuel;
            int needs;
        } fuels[] = {{2 * m, 1}, {2 * m + 1, 0}};
        for (const auto& k : fuels) {
            u.nFuel = k.fuel;
            EXPECT_EQ(UnitNeedsFuelAmmoSupply(doc->m_GameData, u, draws), k.needs) << "fuel " << k.fuel;
        }
    }
}

}  // namespace
}  // namespace zrv
