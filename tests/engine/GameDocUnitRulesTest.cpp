#include <gtest/gtest.h>

#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"

namespace zrv {
namespace {

// The document's check members reach the rules with its own state and maps.
TEST_F(DocFixture, CheckMembersAnswerFromTheRules)
{
    const HEXINDEX hex = MakeHex(40, 40);
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    UNITSTRUCT& tank = c.Unit[0];
    InitUnitRecord(&c, tank, 0, hex, zrvtest::kFixtureTank, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
    doc->m_dwHexCell[hex] = WithOwner(WithTerrain(0, kFixtureTerrainCity), 0);
    doc->m_dwHexUnit[hex] = tank.refSelf;
    doc->RefreshUnitHexCell(tank);

    EXPECT_EQ(doc->CheckDive(tank), 144);
    EXPECT_EQ(doc->CheckSurface(tank), 149);
    EXPECT_EQ(doc->CheckJettison(tank), 91);
    EXPECT_EQ(doc->CheckArmsChange(tank), 75);
    EXPECT_EQ(doc->CheckOccupy(tank), 99);
    EXPECT_EQ(doc->CheckMerge(tank), 96);
    EXPECT_EQ(doc->CheckConstruction(tank, 0), 129);
    EXPECT_EQ(doc->CheckRecall(tank), 152);
    EXPECT_EQ(doc->CheckBombing(tank, -1, true), 119);
    EXPECT_EQ(doc->CheckBombing(tank, -1, false), 110);
    EXPECT_EQ(doc->CheckAttackFromHex(tank, MakeHex(50, 50)), 105);
    EXPECT_EQ(tank.nHex, hex) << "the trial placement is taken back";
    EXPECT_EQ(doc->CheckUnloadHex(tank, -1), 121);
    EXPECT_EQ(doc->CheckReplenish(tank), 70);
    EXPECT_EQ(doc->CheckResupply(tank), 61) << "an own city, nothing missing";
    tank.dwFlag &= ~kUnitSupplyAtHex;
    EXPECT_EQ(doc->CheckHexSupply(tank), 0);
    EXPECT_NE(tank.dwFlag & kUnitSupplyAtHex, 0u);
    doc->m_dwHexCell[hex] = WithTerrain(0, kFixtureTerrainPlain);
    doc->RefreshUnitHexCell(tank);
    EXPECT_EQ(doc->CheckHexSupply(tank), 51);
    EXPECT_EQ(tank.dwFlag & kUnitSupplyAtHex, 0u);
}

}  // namespace
}  // namespace zrv
