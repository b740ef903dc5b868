// The attack decision, merge, unload and launch dialogs without a window, on
// the fixture library's units in a document with no display: what each shows,
// what the player's clicks change and what reaches the records.
#include <gtest/gtest.h>

#include <cstring>

#include "battle/dialogs/AttackDecisionModel.h"
#include "battle/dialogs/CargoModels.h"
#include "battle/dialogs/MergeModel.h"
#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"
#include "engine/RuleFixture.h"

namespace zrv {
namespace {

using zrvtest::RuleLibrary;

struct RecordingDialogView : DialogView {
    std::vector<int> sounds;
    std::vector<HEXINDEX> targets;
    UNITSTRUCT* cargo = nullptr;
    UNITSTRUCT* status = nullptr;
    void PlayDialogSound(int e) override { sounds.push_back(e); }
    void SetTargetHexes(std::span<const HEXINDEX> h) override { targets.assign(h.begin(), h.end()); }
    void SetCurrentCargoUnit(UNITSTRUCT* u) override { cargo = u; }
    void ShowUnitInStatus(UNITSTRUCT& u) override { status = &u; }
};

class DialogModelTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        rules = std::make_unique<RuleLibrary>();
        // The tank: a gun of group 0 and two guns of group 1; slot 3 a
        // group-1 gun with no rounds.
        zrvtest::RuleLibrary& r = *rules;
        WEAPONSTRUCT g0 = RuleLibrary::Gun(20, 8, {0, 8, 12, 2, 0}, {0, 0, 1, 2});
        WEAPONSTRUCT g1 = g0;
        g1.nWeaponNo = 21;
        g1.byGroup = 1;
        WEAPONSTRUCT g2 = g1;
        g2.nWeaponNo = 22;
        r.SetSlot(zrvtest::kFixtureTank, 0, g0, 10);
        r.SetSlot(zrvtest::kFixtureTank, 1, g1, 10);
        r.SetSlot(zrvtest::kFixtureTank, 2, g2, 10);
        r.SetSlot(zrvtest::kFixtureTank, 3, g1, 0);
        r.Refresh();
        SetLib(&r.lib);
        for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = WithTerrain(0, zrvtest::kFixturePlain);
        shooter = &Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
        target = &Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 42));
        // The viewing country has seen the target's type.
        doc->m_GameData.Country[0].dwArmsAvail[zrvtest::kFixtureTank] |= 1u << 29;
    }
    void TearDown() override
    {
        SetLib(nullptr);
        DocFixture::TearDown();
    }
    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
        u.dwFlag &= ~kUnitActed;
        if (IsMapHex(hex)) {
            doc->m_dwHexUnit[hex] = u.refSelf;
            u.dwHexCell = doc->m_dwHexCell[hex];
        }
        return u;
    }
    int RowY(int slot) const { return AttackDecisionModel::kFirstRowY + AttackDecisionModel::kRowH * slot + 3; }

    std::unique_ptr<RuleLibrary> rules;
    UNITSTRUCT* shooter = nullptr;
    UNITSTRUCT* target = nullptr;
};

TEST_F(DialogModelTest, RowClicksKeepOneGroupAndTheLastRow)
{
    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
    ASSERT_GT(m.Usable()[0], 0);
    ASSERT_GT(m.Usable()[1], 0);
    ASSERT_EQ(m.Usable()[3], 0);
    // Start from group 1 chosen by a click on slot 1.
    m.ClickAt(50, RowY(0));
    const uint32_t start = m.Mask();
    ASSERT_EQ(start, 0x1u) << "a row of another group selects every usable slot of it";
    EXPECT_FALSE(m.ClickAt(50, RowY(0))) << "the only selected row stays";
    EXPECT_EQ(m.Mask(), 0x1u);
    EXPECT_TRUE(m.ClickAt(50, RowY(2)));
    EXPECT_EQ(m.Mask(), 0x6u) << "group 1's usable slots 1 and 2, not the empty slot 3";
    EXPECT_TRUE(m.ClickAt(50, RowY(1)));
    EXPECT_EQ(m.Mask(), 0x4u) << "a selected row of the group toggles off";
    EXPECT_FALSE(m.ClickAt(50, RowY(3))) << "a row with no usable ammunition is ignored";
    EXPECT_FALSE(m.ClickAt(50, AttackDecisionModel::kFirstRowY - 1));
    EXPECT_EQ(m.Mask(), 0x4u);
}

TEST_F(DialogModelTest, HitPercentageRules)
{
    AttackDecisionModel far(*doc, *shooter, *target, kAttackOwn);
    EXPECT_EQ(far.HitText(3), "  0%") << "no usable ammunition shows 0";
    const std::string hit = far.HitText(0);
    ASSERT_FALSE(hit.empty());
    EXPECT_GE(std::atoi(hit.c_str()), 1) << "at least 1";
    // An adjacent target: no hit percentage in any row.
    doc->m_dwHexUnit[target->nHex] = kNoUnit;
    target->nHex = MakeHex(40, 41);
    doc->m_dwHexUnit[target->nHex] = target->refSelf;
    AttackDecisionModel near(*doc, *shooter, *target, kAttackOwn);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(near.HitText(s), "") << s;
    // Accuracy 0: nothing.
    rules->Weapon(zrvtest::kFixtureTank, 0).nAccuracy = 0;
    rules->Refresh();
    AttackDecisionModel blind(*doc, *shooter, *target, kAttackOwn);
    EXPECT_EQ(blind.HitText(0), "");
}

TEST_F(DialogModelTest, TargetKnownByTheSeenBitAndTheFog)
{
    {
        AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
        EXPECT_TRUE(m.TargetKnown());
    }
    doc->m_GameData.Country[0].dwFlag |= 1u << 16;  // fog of war
    target->dwFlag |= 1u << 16;                       // hidden from side 0
    {
        AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
        EXPECT_FALSE(m.TargetKnown());
    }
    target->dwFlag &= ~(1u << 16);
    doc->m_GameData.Country[0].dwArmsAvail[zrvtest::kFixtureTank] &= ~(1u << 29);
    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
    EXPECT_FALSE(m.TargetKnown());
}

TEST_F(DialogModelTest, JettisonThenCancelRestoresAmmunitionAndMoveCounter)
{
    // Slot 4: droppable stores.
    WEAPONSTRUCT bomb = RuleLibrary::Gun(23, 20, {0, 30, 30, 20, 0}, {0, 0, 0, 2});
    bomb.dwWeaponFlag = 1u << 4;
    bomb.byGroup = 2;
    rules->SetSlot(zrvtest::kFixtureTank, 4, bomb, 4);
    rules->Refresh();
    shooter->nAmmo[4] = 4;
    shooter->nMoved = 3;
    const UNITSTRUCT before = *shooter;

    AttackDecisionModel counter(*doc, *shooter, *target, kAttackCounterFire);
    EXPECT_FALSE(counter.JettisonEnabled()) << "no jettison when answering";

    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn | kAttackMovedFirst);
    ASSERT_TRUE(m.JettisonEnabled());
    m.Jettison();
    EXPECT_EQ(shooter->nAmmo[4], 0);
    EXPECT_FALSE(m.JettisonEnabled());
    EXPECT_EQ(m.FireEnabled(), m.Mask() != 0);
    m.Cancel();
    EXPECT_EQ(0, std::memcmp(shooter->nAmmo, before.nAmmo, sizeof before.nAmmo));
    EXPECT_EQ(shooter->nMoved, before.nMoved) << "the move counter a jettison raised is restored too";

    // Stores already jettisoned by the order: emptied at opening, back on 中止.
    shooter->dwOrder |= kOrderJettisonPending;
    AttackDecisionModel gone(*doc, *shooter, *target, kAttackOwn);
    EXPECT_EQ(shooter->nAmmo[4], 0);
    EXPECT_FALSE(gone.JettisonEnabled());
    gone.Cancel();
    EXPECT_EQ(shooter->nAmmo[4], 4);
}

TEST_F(DialogModelTest, MergeMovesPointsAndWritesOnlyOnExecute)
{
    UNITSTRUCT& left = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    UNITSTRUCT& right = Place(0, 2, zrvtest::kFixtureTank, MakeHex(44, 41));
    const int full = ArmsRecord(zrvtest::kFixtureTank)->nStrengthMax;
    ASSERT_GE(full, 4);
    left.nStrength = full - 2;
    left.nFuel = 10;
    right.nStrength = 3;
    right.nFuel = 40;
    const UNITSTRUCT leftBefore = left, rightBefore = right;
    RecordingDialogView dv;
    MergeModel m(*doc, left, right, &dv);
    EXPECT_TRUE(m.LeftEnabled());
    EXPECT_TRUE(m.RightEnabled());
    EXPECT_FALSE(m.ExecuteEnabled());
    m.MoveLeft();
    EXPECT_EQ(m.Left().strength, full - 1);
    EXPECT_EQ(m.Left().fuel, (10 * (full - 2) + 40 * 1) / (full - 1)) << "weighted by strength, integer division";
    EXPECT_TRUE(m.ExecuteEnabled());
    m.MoveLeft();
    EXPECT_EQ(m.Left().strength, full);
    EXPECT_FALSE(m.LeftEnabled()) << "the left unit is full";
    EXPECT_TRUE(m.RightEnabled());
    EXPECT_EQ(0, std::memcmp(&left, &leftBefore, sizeof left)) << "nothing reaches the records before 実行";
    EXPECT_EQ(0, std::memcmp(&right, &rightBefore, sizeof right));
    m.MoveRight();
    m.MoveRight();
    EXPECT_EQ(m.Amount(), 0);
    EXPECT_FALSE(m.ExecuteEnabled()) << "back to no change";
    m.MoveLeft();
    m.MoveLeft();
    ASSERT_TRUE(m.Execute());
    EXPECT_EQ(left.nStrength, full);
    EXPECT_EQ(right.nStrength, 1);
    EXPECT_EQ(dv.sounds, (std::vector<int>{38, 38, 37, 37, 38, 38, 39}));
}

TEST_F(DialogModelTest, MergeOfTwoFullUnitsEnablesNothingAndEmptiedDonorLosesItsStores)
{
    UNITSTRUCT& a = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    UNITSTRUCT& b = Place(0, 2, zrvtest::kFixtureTank, MakeHex(44, 41));
    {
        MergeModel m(*doc, a, b, nullptr);
        EXPECT_FALSE(m.LeftEnabled());
        EXPECT_FALSE(m.RightEnabled());
        m.MoveLeft();
        EXPECT_FALSE(m.ExecuteEnabled());
    }
    const int full = a.nStrength;
    a.nStrength = full - 1;
    b.nStrength = 1;
    b.nExp = 100;
    MergeModel m(*doc, a, b, nullptr);
    m.MoveLeft();
    EXPECT_EQ(m.Right().strength, 0);
    EXPECT_EQ(m.Right().fuel, 0);
    EXPECT_EQ(m.Right().exp, 0);
    EXPECT_EQ(m.Right().ammo[0], 0);
    EXPECT_FALSE(m.LeftEnabled());
}

TEST_F(DialogModelTest, LaunchListsAircraftThatMayStillAct)
{
    UNITSTRUCT& ship = Place(0, 1, zrvtest::kFixtureDestroyer, MakeHex(44, 40));
    UNITSTRUCT& plane = Place(0, 2, zrvtest::kFixtureFighter, -1);
    UNITSTRUCT& acted = Place(0, 3, zrvtest::kFixtureFighter, -1);
    UNITSTRUCT& tank = Place(0, 4, zrvtest::kFixtureTank, -1);
    acted.dwFlag |= kUnitActed;
    UNITSTRUCT* cargo[] = {&tank, &acted, &plane};
    RecordingDialogView dv;
    LaunchModel m(*doc, ship, cargo, &dv);
    ASSERT_EQ(m.Lines().size(), 1u);
    EXPECT_EQ(m.LineCargo()[0], 2);
    EXPECT_EQ(m.Lines()[0], CargoLine(plane));
    EXPECT_FALSE(m.LaunchEnabled());
    m.Select(0);
    EXPECT_TRUE(m.LaunchEnabled());
    EXPECT_EQ(dv.status, &plane);
    EXPECT_EQ(m.Launch(), 2);
}

TEST_F(DialogModelTest, CargoLineFormat)
{
    UNITSTRUCT& u = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    u.nStrength = 7;
    const std::string line = CargoLine(u);
    const std::string name = TableText(Lib().UnitNameJ, u.nArms);
    ASSERT_LE(name.size(), 30u);
    EXPECT_EQ(line, " " + name + std::string(30 - name.size(), ' ') + " 7");
}

}  // namespace
}  // namespace zrv
