// The orders with fire in them on the fixture battle: anti-aircraft volleys
// before an aircraft acts (who fires, who is asked, what is summed up),
// the defender's answer, covering fire before an unload, and the clicks that
// end in an attack or take the move back.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

constexpr uint32_t kAskAaFire = 0x00800000u;  // country flag: ask before anti-aircraft fire
constexpr uint32_t kAaWeapon = 0x2u;          // weapon flag of the anti-aircraft class

// The view's library with the fighter's gun counted as anti-aircraft fire
// (the fixture's ground weapons do not reach aircraft).
struct AaLibrary {
    AaLibrary()
    {
        lib = ViewLibrary();
        weapons.assign(lib.WeaponData.begin(), lib.WeaponData.end());
        WEAPONSTRUCT& gun = weapons[static_cast<size_t>(zrvtest::kFixtureFighter * kWeaponSlots)];
        gun.dwWeaponFlag |= kAaWeapon;
        // Ready against aircraft, before and after moving.
        for (int& i : gun.nInitiative) i = 5;
        lib.WeaponData = weapons;
    }
    DataLibrary lib;
    std::vector<WEAPONSTRUCT> weapons;
};

class CombatOrderTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        SetLib(&aa.lib);
        view->SetWaitService(&wait);
    }
    void TearDown() override
    {
        view->SetWaitService(nullptr);
        OrderTest::TearDown();
    }
    // The own fighter at kOwnHex and enemy infantry next to it.
    UNITSTRUCT* Fighter()
    {
        doc->m_dwHexUnit[kOwnHex] = -1;
        own->dwFlag &= ~kUnitInUse;
        UNITSTRUCT* f = Place(0, 5, kOwnHex, zrvtest::kFixtureFighter);
        view->m_pSelUnit = f;
        return f;
    }
    UNITSTRUCT* Infantry(int slot, HEXINDEX hex) { return Place(1, slot, hex, zrvtest::kFixtureInfantry); }
    // An enemy unit that fires at aircraft.
    UNITSTRUCT* Gunner(int slot, HEXINDEX hex) { return Place(1, slot, hex, zrvtest::kFixtureFighter); }

    struct Decision {
        UNITSTRUCT* shooter;
        bool own, moved, counter;
    };
    AaLibrary aa;
    ScriptedWaitService wait;
    // The attack decisions asked through the dialog service, with their
    // three flags.
    std::vector<Decision> Decisions() const
    {
        std::vector<Decision> out;
        for (const auto& a : dialogs.AskedDialogs())
            if (a.kind == ScriptedDialogService::DialogKind::AttackDecision)
                out.push_back({a.unit, (a.flags & kAttackOwn) != 0, (a.flags & kAttackMovedFirst) != 0,
                               (a.flags & kAttackCounterFire) != 0});
        return out;
    }
    // The next attack decision answers 攻撃開始 with mask (unqueued: 中止).
    void QueueFire(uint32_t mask = 1)
    {
        dialogs.QueueReply(ScriptedDialogService::DialogKind::AttackDecision, {kAnswerOk, mask, 0, {}});
    }
};

TEST_F(CombatOrderTest, TheAntiAircraftQuestionComesOncePerCountryAndANoEndsTheVolley)
{
    UNITSTRUCT* fighter = Fighter();
    Gunner(1, MakeHex(50, 51));
    Gunner(2, MakeHex(51, 50));
    doc->m_GameData.Country[1].dwFlag |= kAskAaFire;
    for (int answer : {kAnswerYes, kAnswerNo}) {
        SCOPED_TRACE(answer == kAnswerYes ? "yes" : "no");
        dialogs.Clear();
        dialogs.QueueAnswer(answer);
        const int strength = fighter->nStrength;
        EXPECT_EQ(view->RunAntiAircraftFire(*fighter, nullptr, 2), 0);
        int asked = 0;
        for (const auto& b : dialogs.Boxes()) asked += b.text == "対空防御射撃を実行しますか";
        EXPECT_EQ(asked, 1);
        int fired = 0;
        for (int s : {1, 2}) fired += (doc->m_GameData.Country[1].Unit[s].dwFlag & kUnitFiredAa) != 0;
        EXPECT_EQ(fired, answer == kAnswerYes ? 2 : 0);
        if (answer == kAnswerNo) EXPECT_EQ(fighter->nStrength, strength);
        EXPECT_LE(view->m_nAAFireDamage, strength) << "capped at the aircraft's strength";
        fighter->nStrength = strength;
        fighter->dwFlag |= kUnitInUse;
    }
}

TEST_F(CombatOrderTest, AComputerCountryWhoseLevelForbidsItFiresNoAntiAircraftAndNeverAnswers)
{
    UNITSTRUCT* fighter = Fighter();
    UNITSTRUCT* inf = Gunner(1, MakeHex(50, 51));
    COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
    c.dwFlag |= kCountryCpu;
    c.nLevel = 1 << 9;
    EXPECT_EQ(view->RunAntiAircraftFire(*fighter, nullptr, 2), 0);
    EXPECT_FALSE(inf->dwFlag & kUnitFiredAa);
    EXPECT_EQ(wait.Waits(), 0) << "not even flashed";

    c.nLevel = 1 << 10;
    EXPECT_EQ(view->DecideReturnFire(*fighter, *inf), 0u);
    c.nLevel = 0;
    inf->dwFlag |= kUnitFiredAa;
    EXPECT_EQ(view->DecideReturnFire(*fighter, *inf), 0u) << "fired anti-aircraft in this volley";
    EXPECT_TRUE(Decisions().empty());
}

TEST_F(CombatOrderTest, AnAircraftBombingAnotherHexIsMovedThereBeforeTheVolley)
{
    UNITSTRUCT* fighter = Fighter();
    const HEXINDEX target = MakeHex(50, 52);
    Gunner(1, MakeHex(50, 53));
    EXPECT_EQ(view->ExecuteBombing(*fighter, target), 0);
    if (fighter->dwFlag & kUnitInUse) EXPECT_EQ(fighter->nHex, target);
    EXPECT_EQ(view->m_pSelUnit, nullptr) << "the selection ends";
    EXPECT_EQ(view->m_nAttackKind, 0);
}

TEST_F(CombatOrderTest, AnAircraftDestroyedByTheVolleyMakesNoAttackAndAsksNothing)
{
    bool seen = false;
    for (uint32_t seed = 1; seed <= 60 && !seen; ++seed) {
        TearDown();
        SetUp();
        UNITSTRUCT* fighter = Fighter();
        UNITSTRUCT* target = Infantry(1, MakeHex(50, 51));
        int slot = 2;
        for (HEXINDEX h :
             {MakeHex(50, 49), MakeHex(49, 49), MakeHex(49, 50), MakeHex(51, 49), MakeHex(51, 50)})
            Gunner(slot++, h);
        fighter->nStrength = 1;
        doc->Random().Seed(seed);
        const int targetStrength = target->nStrength;
        EXPECT_EQ(view->ExecuteAttack(*fighter, *target, 1), 0);
        if (fighter->dwFlag & kUnitInUse) continue;
        seen = true;
        EXPECT_EQ(target->nStrength, targetStrength) << "no attack";
        EXPECT_TRUE(Decisions().empty()) << "no return-fire question";
    }
    EXPECT_TRUE(seen) << "no seed brought the aircraft down";
}

TEST_F(CombatOrderTest, CoveringFireKeepsTheCarriersActionAndTheUnloadDrawsNoSecondVolley)
{
    UNITSTRUCT* fighter = Fighter();
    UNITSTRUCT* inf = Infantry(1, MakeHex(50, 51));
    UNITSTRUCT* gunner = Gunner(2, MakeHex(51, 51));
    EXPECT_EQ(view->ExecuteAttackBeforeUnload(*fighter, *inf, 1), 0);
    if (!(fighter->dwFlag & kUnitInUse)) GTEST_SKIP() << "brought down";
    EXPECT_FALSE(fighter->dwFlag & kUnitActed) << "the carrier keeps its action";
    EXPECT_TRUE(fighter->dwFlag & kUnitAaVolleyDone);
    EXPECT_TRUE(fighter->dwFlag & kUnitNoAttackAfterUnload);
    for (UNITSTRUCT& u : doc->m_GameData.Country[1].Unit) u.dwFlag &= ~kUnitFiredAa;
    UNITSTRUCT* cargo = Board(3, *fighter);
    const int waits = wait.Waits();
    view->ExecuteUnload(*fighter, *cargo, MakeHex(49, 50));
    EXPECT_EQ(wait.Waits(), waits) << "no flash of a volley";
    EXPECT_FALSE(gunner->dwFlag & kUnitFiredAa);
}

TEST_F(CombatOrderTest, AClickOutsideTheCandidatesIsIgnoredAndACancelledDecisionTakesTheMoveBack)
{
    // Beside the pending hex stands the enemy.
    doc->m_dwHexUnit[kEnemyHex] = -1;
    enemy->nHex = MakeHex(50, 53);
    doc->m_dwHexUnit[enemy->nHex] = enemy->refSelf;
    view->m_pSelUnit = own;
    view->m_nTargetHex = MakeHex(50, 52);
    view->m_nCandidateHex.fill(-1);
    view->m_nCandidateHex[0] = enemy->nHex;
    view->m_nCmdMode = kModeMovePending;
    // The unit's copy of its cell as the document keeps it.
    (void)doc->RefreshUnitHexCell(*own);
    const GAMEDATASTRUCT before = doc->m_GameData;
    std::vector<UnitRef> hexUnits(std::begin(doc->m_dwHexUnit), std::end(doc->m_dwHexUnit));

    EXPECT_EQ(view->ClickHex(MakeHex(45, 45), nullptr), 0);
    EXPECT_TRUE(Decisions().empty()) << "not a candidate";

    EXPECT_EQ(view->ClickHex(enemy->nHex, nullptr), 0);
    const auto decisions = Decisions();
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].shooter, own);
    EXPECT_TRUE(decisions[0].own);
    EXPECT_TRUE(decisions[0].moved) << "the unit moved next to its target first";
    EXPECT_FALSE(decisions[0].counter);
    {
        const auto* a = reinterpret_cast<const uint8_t*>(&before);
        const auto* b = reinterpret_cast<const uint8_t*>(&doc->m_GameData);
        size_t first = 0;
        while (first < sizeof before && a[first] == b[first]) ++first;
        EXPECT_EQ(first, sizeof before)
            << "the move is taken back; first difference at byte " << first << " (unit record offset "
            << (first - (reinterpret_cast<const uint8_t*>(own) - b)) << ")";
    }
    EXPECT_TRUE(std::equal(hexUnits.begin(), hexUnits.end(), std::begin(doc->m_dwHexUnit)));
    EXPECT_EQ(view->m_nCmdMode, kModeMovePending);
    EXPECT_EQ(view->m_pSelUnit, own);

    QueueFire();
    EXPECT_EQ(view->ClickHex(enemy->nHex, nullptr), 0);
    EXPECT_EQ(view->m_pSelUnit, nullptr) << "attacked: the selection ends";
    EXPECT_EQ(own->nHex, MakeHex(50, 52)) << "the move stands";
    EXPECT_TRUE(own->dwFlag & kUnitActed);
}

}  // namespace
}  // namespace viewtest

namespace viewtest {
namespace {

// A move whose last hex lies beside a hidden enemy that fires on it.
class DefensiveFireTest : public CombatOrderTest {
protected:
    void SetUp() override
    {
        CombatOrderTest::SetUp();
        doc->m_GameData.Country[0].dwFlag |= kCountryFog;
        doc->m_dwHexUnit[kEnemyHex] = -1;
        enemy->nHex = MakeHex(50, 53);
        enemy->dwFlag |= HiddenFromSideBit(0);
        doc->m_dwHexUnit[enemy->nHex] = enemy->refSelf;
        doc->m_MoveRules.canCloseFire = [](const UNITSTRUCT&, const UNITSTRUCT&, const GAMEDATASTRUCT&) {
            return true;
        };
        own->nMove = 4;
        view->m_nCmdMode = kModeChooseUnit;
        ASSERT_EQ(view->ClickHex(kOwnHex, nullptr), 1);
        ASSERT_EQ(view->m_nCmdMode, kModeMoveTarget);
    }
};

TEST_F(DefensiveFireTest, AMoveEndingBesideAnEnemyThatFiresEndsTheSelectionWithResultFour)
{
    const HEXINDEX last = MakeHex(50, 52);
    ASSERT_NE(doc->FindDefensiveFireUnit(*own, last), nullptr) << "the fixture's enemy would fire";
    EXPECT_EQ(view->ExecuteMove(last), 4);
    EXPECT_EQ(view->m_pSelUnit, nullptr) << "the selection ended, though the unit may live";
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    if (own->dwFlag & kUnitInUse) {
        EXPECT_EQ(own->nHex, last) << "it stands where the fire caught it";
        EXPECT_TRUE(own->dwFlag & kUnitActed);
        EXPECT_FALSE(own->dwFlag & kUnitUnderDefensiveFire);
    }
}

TEST_F(DefensiveFireTest, ACloseDuringTheEnemysFlashStopsTheMove)
{
    // The slide takes its first tick and one per hex; the flash comes next.
    wait.ActAtTick(4, [this] { view->m_dwState |= kViewCloseRequested; });
    const int strength = own->nStrength;
    EXPECT_EQ(view->ExecuteMove(MakeHex(50, 52)), -1);
    EXPECT_EQ(own->nStrength, strength) << "no shot was fired";
}

}  // namespace
}  // namespace viewtest
