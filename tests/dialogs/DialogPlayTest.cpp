// The order dialogs played through their own models while the map view
// gives the orders, with no display: what the player's rows, 投棄, arrows and
// buttons leave in the records once the view's order has run.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "battle/dialogs/ModelDialogService.h"
#include "battle/engine/UnitRules.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using Act = ModelDialogService::Act;
using Kind = ScriptedDialogService::DialogKind;

constexpr uint32_t kDroppable = 1u << 4;

// The view's library with a tank of three groups: its gun in slot 0, two
// more guns of another group in slots 1 and 2, droppable stores in slot 3.
struct ArmedLibrary {
    ArmedLibrary()
    {
        lib = ViewLibrary();
        weapons.assign(lib.WeaponData.begin(), lib.WeaponData.end());
        arms.assign(lib.ArmsData.begin(), lib.ArmsData.end());
        const size_t base = static_cast<size_t>(zrvtest::kFixtureTank * kWeaponSlots);
        WEAPONSTRUCT gun = weapons[base];
        for (size_t s : {1u, 2u}) {
            weapons[base + s] = gun;
            weapons[base + s].byGroup = 2;
            arms[zrvtest::kFixtureTank].Arm[0].nCount[s] = 6;
        }
        weapons[base + 3] = gun;
        weapons[base + 3].byGroup = 3;
        weapons[base + 3].dwWeaponFlag |= kDroppable;
        arms[zrvtest::kFixtureTank].Arm[0].nCount[3] = 2;
        lib.WeaponData = weapons;
        lib.ArmsData = arms;
    }
    DataLibrary lib;
    std::vector<WEAPONSTRUCT> weapons;
    std::vector<ARMSSTRUCT> arms;
};

class DialogPlayTest : public OrderTest {
protected:
    void SetUp() override
    {
        SetLib(&armed.lib);
        OrderTest::SetUp();
        SetLib(&armed.lib);
        played = std::make_unique<ModelDialogService>(*doc, view.get());
        SetDialogs(played.get());
        // The enemy beside the own tank, both armed as the library says.
        doc->m_dwHexUnit[kEnemyHex] = -1;
        enemy->dwFlag &= ~kUnitInUse;
        own->dwFlag &= ~kUnitInUse;
        doc->m_dwHexUnit[kOwnHex] = -1;
        own = Place(0, 0, kOwnHex, zrvtest::kFixtureTank);
        enemy = Place(1, 0, kBeside, zrvtest::kFixtureTank);
        view->RebuildUnitDisplayMap();
    }
    void TearDown() override
    {
        SetDialogs(&dialogs);
        OrderTest::TearDown();
    }
    // The attack order waiting for its target's click, as 攻撃 leaves it.
    void AwaitTarget()
    {
        view->m_pSelUnit = own;
        view->m_nTargetHex = -1;
        view->m_nCandidateHex.fill(-1);
        view->m_nCandidateHex[0] = kBeside;
        view->m_nCmdMode = kModeAttack;
    }
    const ScriptedDialogService::Asked& Last(Kind kind) const
    {
        for (auto it = played->AskedDialogs().rbegin(); it != played->AskedDialogs().rend(); ++it)
            if (it->kind == kind) return *it;
        ADD_FAILURE() << "not asked";
        return played->AskedDialogs().front();
    }

    static constexpr HEXINDEX kBeside = MakeHex(50, 51);
    ArmedLibrary armed;
    std::unique_ptr<ModelDialogService> played;
};

TEST_F(DialogPlayTest, RowsOfTheOtherGroupFireItsSlotsAndOnlyThose)
{
    ASSERT_GT(own->nAmmo[1], 0);
    const UNITSTRUCT before = *own;
    AwaitTarget();
    // Row 0 first, so that the click on row 1 changes the group whatever
    // the proposal was; row 3 (other group again) is not clicked.
    played->QueuePlay(Kind::AttackDecision, {{Act::Row, 0}, {Act::Row, 1}, {Act::Fire}});
    EXPECT_EQ(view->ClickHex(kBeside, nullptr), 0);
    const auto& asked = Last(Kind::AttackDecision);
    EXPECT_EQ(asked.result, kAnswerOk);
    EXPECT_EQ(asked.value, 0x6) << "slots 1 and 2: every usable slot of the clicked row's group";
    EXPECT_EQ(asked.flags, unsigned(kAttackOwn));
    EXPECT_LT(own->nAmmo[1], before.nAmmo[1]);
    EXPECT_LT(own->nAmmo[2], before.nAmmo[2]);
    EXPECT_EQ(own->nAmmo[0], before.nAmmo[0]) << "slot 0 was not chosen";
    EXPECT_EQ(own->nAmmo[3], before.nAmmo[3]);
    EXPECT_TRUE(own->dwFlag & kUnitActed);
    EXPECT_EQ(view->m_pSelUnit, nullptr) << "attacked: the selection ends";
}

TEST_F(DialogPlayTest, JettisonThenCancelLeavesTheGameAsItWas)
{
    // The tank moves next to its target first: the jettison then pays fuel
    // through the move counter, which 中止 must give back as well.
    doc->m_dwHexUnit[kOwnHex] = -1;
    own->nHex = MakeHex(50, 49);
    doc->m_dwHexUnit[own->nHex] = own->refSelf;
    (void)doc->RefreshUnitHexCell(*own);
    view->RebuildUnitDisplayMap();
    AwaitTarget();
    view->m_nTargetHex = kOwnHex;
    view->m_nCmdMode = kModeMovePending;
    const GAMEDATASTRUCT before = doc->m_GameData;

    played->QueuePlay(Kind::AttackDecision, {{Act::Jettison}, {Act::Close}});
    EXPECT_EQ(view->ClickHex(kBeside, nullptr), 0);
    const auto& asked = Last(Kind::AttackDecision);
    EXPECT_EQ(asked.result, kAnswerCancel);
    EXPECT_EQ(asked.flags, unsigned(kAttackOwn | kAttackMovedFirst));
    EXPECT_EQ(0, std::memcmp(&before, &doc->m_GameData, sizeof before)) << "nothing fired, nothing dropped";
    EXPECT_EQ(view->m_pSelUnit, own) << "the order waits again";

    // The same jettison answered with 攻撃開始 keeps the stores gone.
    played->QueuePlay(Kind::AttackDecision, {{Act::Jettison}, {Act::Fire}});
    EXPECT_EQ(view->ClickHex(kBeside, nullptr), 0);
    EXPECT_EQ(Last(Kind::AttackDecision).result, kAnswerOk);
    EXPECT_EQ(own->nAmmo[3], 0);
}

TEST_F(DialogPlayTest, TwoArrowsAndExecuteMoveTwoPointsIntoTheSelectedUnit)
{
    UNITSTRUCT* partner = Place(0, 1, MakeHex(49, 50), zrvtest::kFixtureTank);
    const int full = own->nStrength;
    own->nStrength = full - 3;
    own->nFuel = 10;
    partner->nStrength = 4;
    partner->nFuel = 40;
    const UNITSTRUCT leftBefore = *own, rightBefore = *partner;
    auto awaitPartner = [&] {
        view->m_pSelUnit = own;
        view->m_nTargetHex = -1;
        view->m_nMergeHex.fill(-1);
        view->m_nMergeHex[0] = partner->nHex;
        view->m_nCmdMode = kModeMerge;
    };

    awaitPartner();
    played->QueuePlay(Kind::Merge, {{Act::Left}, {Act::Left}, {Act::Close}});
    EXPECT_EQ(view->ClickHex(partner->nHex, nullptr), 0);
    EXPECT_EQ(Last(Kind::Merge).result, kAnswerCancel);
    EXPECT_EQ(0, std::memcmp(own, &leftBefore, sizeof leftBefore)) << "中止: nothing reaches the records";
    EXPECT_EQ(0, std::memcmp(partner, &rightBefore, sizeof rightBefore));

    awaitPartner();
    played->QueuePlay(Kind::Merge, {{Act::Left}, {Act::Left}, {Act::Execute}});
    EXPECT_EQ(view->ClickHex(partner->nHex, nullptr), 0);
    EXPECT_EQ(Last(Kind::Merge).result, kAnswerOk);
    EXPECT_EQ(Last(Kind::Merge).value, 2);
    EXPECT_EQ(own->nStrength, full - 1);
    EXPECT_EQ(partner->nStrength, 2);
    EXPECT_EQ(own->nFuel, (10 * (full - 3) + 40 * 2) / (full - 1)) << "strength-weighted";
    EXPECT_EQ(partner->nFuel, 40) << "the donor keeps its values";
    EXPECT_TRUE(own->dwFlag & kUnitActed);
    EXPECT_TRUE(partner->dwFlag & kUnitActed);
    const std::vector<int> merge{38, 38, 39};
    EXPECT_TRUE(std::search(sounds->effects.begin(), sounds->effects.end(), merge.begin(), merge.end()) !=
                sounds->effects.end());
}

TEST_F(DialogPlayTest, ADisabledButtonDoesNothingAndOpenDialogsEndAsClosed)
{
    // Two full units: the arrows and 実行 stay disabled.
    UNITSTRUCT* partner = Place(0, 1, MakeHex(49, 50), zrvtest::kFixtureTank);
    view->m_pSelUnit = own;
    view->m_nTargetHex = -1;
    view->m_nMergeHex.fill(-1);
    view->m_nMergeHex[0] = partner->nHex;
    view->m_nCmdMode = kModeMerge;
    const int strength = own->nStrength;
    played->QueuePlay(Kind::Merge, {{Act::Left}, {Act::Execute}});
    EXPECT_EQ(view->ClickHex(partner->nHex, nullptr), 0);
    EXPECT_EQ(Last(Kind::Merge).result, kAnswerCancel);
    EXPECT_EQ(own->nStrength, strength);

    // Nothing queued: the scripted queues answer (here: 中止).
    AwaitTarget();
    const int ammo = own->nAmmo[0];
    EXPECT_EQ(view->ClickHex(kBeside, nullptr), 0);
    EXPECT_EQ(Last(Kind::AttackDecision).result, kAnswerCancel);
    EXPECT_EQ(own->nAmmo[0], ammo);
}

}  // namespace
}  // namespace viewtest
