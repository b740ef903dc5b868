// Orders carried out on the map: each order's sounds and refreshes, the
// timed wait and a close request cutting it short, the flash, the
// explosion frames, the slide, the durability count-down, full-auto supply,
// the computer's move and the exchange of fire with its surrenders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "battle/engine/Judgement.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/UnitRules.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

// The view with every effect it starts written down, the slot effects too.
class EffectLogView : public SoundLogView {
public:
    int StartEffect(int effect, int slot, int loop) override
    {
        started.push_back({effect, loop});
        (void)slot;
        return 3;
    }
    void StopEffect(int slot) override { stopped.push_back(slot); }
    struct Started {
        int effect;
        int loop;
    };
    std::vector<Started> started;
    std::vector<int> stopped;
};

class OrderExecutionTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        view->SetWaitService(&wait);
    }
    void TearDown() override
    {
        view->SetWaitService(nullptr);
        OrderTest::TearDown();
    }
    // A close request at the wait's tick-th tick.
    void CloseAtTick(int tick)
    {
        wait.ActAtTick(tick, [this] { view->m_dwState |= kViewCloseRequested; });
    }
    ScriptedWaitService wait;
};

TEST_F(OrderExecutionTest, EachOrderPlaysItsOwnSound)
{
    const struct {
        const char* name;
        std::function<void()> order;
        std::vector<int> effects;
    } cases[] = {
        {"construction kind 1", [&] { view->ExecuteConstruction(*own, 1, 0, -1); }, {19}},
        {"construction kind 2", [&] { view->ExecuteConstruction(*own, 2, 0, -1); }, {20}},
        {"construction kind 6", [&] { view->ExecuteConstruction(*own, 6, 0, -1); }, {20}},
        {"dive", [&] { view->ExecuteDive(*own); }, {31}},
        {"surface", [&] { view->ExecuteSurface(*own, 0); }, {31}},
        {"end of action", [&] { view->ExecuteEndAction(*own); }, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        sounds->effects.clear();
        k.order();
        EXPECT_EQ(sounds->effects, k.effects);
    }
}

TEST_F(OrderExecutionTest, DisposalPlaysTheKindsSoundAndRedrawsTheCarrierOfACarriedUnit)
{
    for (int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        UNITSTRUCT* cargo = Board(1 + kind, *own);
        view->m_dwHexUnitCode[kOwnHex] = 0;
        view->m_pSelUnit = cargo;
        sounds->effects.clear();
        view->ExecuteDispose(kind);
        const int expected[] = {21, 30, 31};
        EXPECT_EQ(sounds->effects, std::vector<int>{expected[kind]});
        EXPECT_FALSE(cargo->dwFlag & kUnitInUse);
        EXPECT_EQ(view->m_pSelUnit, nullptr);
        EXPECT_NE(view->m_dwHexUnitCode[kOwnHex], 0u) << "the carrier is drawn again";
        EXPECT_FALSE(own->dwFlag & kUnitCarries) << "the carrier carries nothing now";
    }
}

TEST_F(OrderExecutionTest, TheComputersRefusedMoveNamesColumnAndRow)
{
    own->nMove = 0;  // the move test refuses
    own->nCpuTarget = MakeHex(12, 5);
    view->m_pSelUnit = own;
    dialogs.Clear();
    EXPECT_EQ(view->ExecuteCpuMove(), 3);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Can't Move!! ( 5,12)");
}

TEST_F(OrderExecutionTest, TheTimedWaitCountsTicksAndACloseRequestEndsIt)
{
    view->m_dwState |= kViewBusy;
    ASSERT_EQ(view->StartWaitTimer(3, 50), 1);
    EXPECT_TRUE(view->m_dwState & 0x8u);
    EXPECT_EQ(view->WaitPump(), 0);
    EXPECT_EQ(wait.Ticks(), 3);
    EXPECT_FALSE(view->m_dwState & 0x8u);
    EXPECT_EQ(view->WaitPump(), 0) << "nothing left to wait for";

    CloseAtTick(5);
    ASSERT_EQ(view->StartWaitTimer(4, 50), 1);
    EXPECT_EQ(view->WaitPump(), 1);
    EXPECT_EQ(wait.Ticks(), 5) << "no tick after the close";
    EXPECT_FALSE(view->m_dwState & (0x8u | kViewBusy | kViewCloseRequested));
}

TEST_F(OrderExecutionTest, TheFlashShowsItsMarksAndIsCutShortByAClose)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    const HEXINDEX hex = MakeHex(44, 45);
    // The marks each step shows, read when the step waits.
    std::vector<uint32_t> shown;
    wait.ActAtTick(100, {});
    struct Watch : WaitService {
        std::function<void()> each;
        bool WaitTicks(int ticks, unsigned) override
        {
            for (int i = 0; i < ticks; ++i) each();
            return false;
        }
    } watch;
    watch.each = [&] { shown.push_back(view->m_dwHexMarkView[hex]); };
    view->SetWaitService(&watch);
    EXPECT_EQ(view->FlashHexMark(hex, false, false), 0);
    EXPECT_EQ(shown, (std::vector<uint32_t>{0, 2, 1, 2, 1}));
    EXPECT_EQ(view->m_dwHexMarkView[hex], 0u);
    shown.clear();
    EXPECT_EQ(view->FlashHexMark(hex, false, true), 0);
    EXPECT_EQ(shown, (std::vector<uint32_t>{0, 4, 4, 4, 4}));

    view->SetWaitService(&wait);
    CloseAtTick(3);
    EXPECT_EQ(view->FlashHexMark(hex, false, false), 1);
    EXPECT_EQ(wait.Ticks(), 3);
    EXPECT_FALSE(view->m_dwState & kViewBusy);
}

TEST_F(OrderExecutionTest, AHiddenHexIsNotFlashedInAnEnemysTurn)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    const HEXINDEX hex = MakeHex(44, 45);
    COUNTRYSTRUCT& viewer = doc->m_GameData.Country[0];
    viewer.dwFlag |= kCountryFog;
    doc->m_dwHexSearch[hex] = 0x1u | 0x8u | 0x40u;  // side 0 blind to it
    view->SetEnemyView(true);
    EXPECT_EQ(view->FlashHexMark(hex, false, false), 0);
    EXPECT_EQ(wait.Waits(), 0) << "no time taken";
    view->SetEnemyView(false);
    EXPECT_EQ(view->FlashHexMark(hex, false, false), 0);
    EXPECT_EQ(wait.Ticks(), 5) << "flashed in the own turn";
}

TEST_F(OrderExecutionTest, AnExplosionFrameLiesOverTheSavedBackgroundAtTheCell)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    const HEXINDEX hex = MakeHex(44, 45);
    ASSERT_TRUE(view->HexToCell(hex, false));
    CDib* work = view->m_pWorkDib.get();
    work->ClearBits(0x21);
    CDib& expl = *view->m_pExplDib;
    ASSERT_GE(expl.GetHeight(), 48);
    const PointI at = view->m_ptCell;
    for (int frame : {0, 3, 9}) {
        SCOPED_TRACE(frame);
        view->DrawExplosionFrame(frame, 4, 0, nullptr, false);
        const int sx = (frame % 10) * 48, sy = (frame / 10) * 48;
        for (int y = 0; y < 48; y += 5)
            for (int x = 0; x < 48; x += 5) {
                const int v = expl.Surface().GetPixel(sx + x, sy + y);
                EXPECT_EQ(Buffer(at.x + 4 + x, at.y + y), v != 0 ? v : 0x21) << x << "," << y;
            }
    }
    // A kind beyond the picture draws nothing.
    const int before = Buffer(at.x + 10, at.y + 10);
    view->DrawExplosionFrame(100000, 4, 0, nullptr, false);
    EXPECT_EQ(Buffer(at.x + 10, at.y + 10), before);
}

TEST_F(OrderExecutionTest, ACloseDuringTheFourthExplosionFrameDrawsNoFifth)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    // Tick 1 starts the display, ticks 2-11 follow the ten frames.
    CloseAtTick(5);
    EXPECT_EQ(view->AnimateShot(MakeHex(44, 45), 0), 1);
    EXPECT_EQ(wait.Ticks(), 5);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit) << "the mode comes back";
    ScriptedWaitService plain;
    view->SetWaitService(&plain);
    EXPECT_EQ(view->AnimateShot(MakeHex(44, 45), 0), 0);
    EXPECT_EQ(plain.Ticks(), 11);
    EXPECT_EQ(view->AnimateShot(MakeHex(10, 10), 0), 0) << "off the view map";
    EXPECT_EQ(plain.Ticks(), 11);
}

TEST_F(OrderExecutionTest, AThirtyStepCountDownPlaysItsSoundTwice)
{
    // The panel of step k + 1 sees the sounds of steps 1..k.
    std::vector<size_t> heardBefore;
    struct Strip : StatusStrip {
        std::function<void()> f;
        void RefreshStatus(HEXINDEX, bool, UNITSTRUCT*, bool) override { f(); }
    } counting;
    counting.f = [&] { heardBefore.push_back(sounds->effects.size()); };
    view->SetStatusStrip(&counting);
    const MAPCELL former = doc->m_dwHexCell[kOwnHex] | (40u << 8);
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        view->CosmeticRandom().Seed(seed);
        sounds->effects.clear();
        heardBefore.clear();
        const uint64_t gameDraws = doc->Random().Draws();
        EXPECT_EQ(view->AnimateHexDamage(kOwnHex, former, 30, false), 0);
        EXPECT_EQ(doc->Random().Draws(), gameDraws) << "the game's draws stay as they were";
        ASSERT_EQ(heardBefore.size(), 30u);
        ASSERT_EQ(sounds->effects, (std::vector<int>{16, 16}));
        EXPECT_EQ(heardBefore[1], 1u) << "the first at step 1";
        const auto second = std::find(heardBefore.begin(), heardBefore.end(), 2u);
        ASSERT_NE(second, heardBefore.end());
        const int step = static_cast<int>(second - heardBefore.begin());
        EXPECT_GE(step, 17);
        EXPECT_LE(step, 26);
        EXPECT_EQ(doc->m_dwHexCell[kOwnHex], kPlain) << "the cell comes back";
    }
    view->SetStatusStrip(&strip);
}

TEST_F(OrderExecutionTest, ASlideWithBothEndsOffTheViewMapDrawsTheUnitAtItsDestination)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    view->m_rcMapHexes = {40, 40, 48, 48};
    view->m_nRoute.fill(-1);
    view->m_nRoute[0] = MakeHex(50, 51);
    view->m_nRoute[1] = MakeHex(50, 52);
    EXPECT_EQ(view->AnimateUnitMove(*own, MakeHex(50, 52)), 0);
    EXPECT_EQ(wait.Waits(), 0) << "no slide";
    EXPECT_EQ(view->m_dwHexUnitCode[kOwnHex], 0u);
    EXPECT_EQ(view->m_dwHexUnitCode[MakeHex(50, 52)], MakeUnitDisplayCode(*own));
}

TEST_F(OrderExecutionTest, TheSlideStepsHexByHexWithItsLoopingSound)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    view->m_nRoute.fill(-1);
    view->m_nRoute[0] = MakeHex(50, 51);
    view->m_nRoute[1] = MakeHex(50, 52);
    EXPECT_EQ(view->AnimateUnitMove(*own, MakeHex(50, 52)), 0);
    EXPECT_EQ(wait.Ticks(), 3) << "the first tick and one per route hex";
    EXPECT_EQ(view->m_dwHexUnitCode[MakeHex(50, 51)], 0u) << "passed";
    EXPECT_NE(view->m_dwHexUnitCode[MakeHex(50, 52)], 0u);
    EXPECT_EQ(view->m_dwHexMarkView[kOwnHex], 1u);
    EXPECT_EQ(view->m_dwHexMarkView[MakeHex(50, 52)], 1u);
    EXPECT_FALSE(view->m_dwState & kViewBusy);

    // A close during the second step stops the slide.
    view->RebuildUnitDisplayMap();
    CloseAtTick(wait.Ticks() + 2);
    EXPECT_EQ(view->AnimateUnitMove(*own, MakeHex(50, 52)), 1);
}

TEST_F(OrderExecutionTest, FullAutoSupplyRunsAThirdPassOnlyAfterASecondThatServed)
{
    // The tank on its own city runs dry again after each service until it
    // has been served `rounds` times; the open unit list counts the
    // services by the rows each takes out.
    struct Counting : ViewToolHub {
        int rounds = 0;
        int served = 0;
        bool CreateToolWindow(ToolWindow) override { return true; }
        void RemoveUnitListRows(UNITSTRUCT& u, bool) override
        {
            if (++served < rounds) u.nFuel = 1;
        }
    } hub;
    view->SetToolHub(&hub);
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.dwFlag |= kCountryCpu;  // a computer country supplies itself
    c.nFund = 100000;
    doc->m_dwHexCell[kOwnHex] = WithOwner(WithTerrain(0, kCity), 0);
    (void)doc->RefreshUnitHexCell(*own);
    const struct {
        const char* name;
        int rounds;
        int served;  // passes that found the unit
    } cases[] = {
        {"nothing left after the first pass: a second, empty one", 1, 1},
        {"the second pass served: a third follows", 2, 2},
        {"still asking: three passes and no more", 9, 3},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        own->nFuel = 1;
        hub.rounds = k.rounds;
        hub.served = 0;
        sounds->effects.clear();
        EXPECT_GE(view->RunAutoSupply(), 0);
        EXPECT_EQ(hub.served, k.served);
        EXPECT_EQ(view->m_pCmdUnit, own);
        EXPECT_EQ(std::count(sounds->effects.begin(), sounds->effects.end(), 22), k.served)
            << "each supply heard";
    }
    // A close during the first supplied unit's flash ends the whole run.
    own->nFuel = 1;
    hub.rounds = 9;
    hub.served = 0;
    wait.ActAtTick(wait.Ticks() + 1, [this] { view->m_dwState |= kViewCloseRequested; });
    EXPECT_EQ(view->RunAutoSupply(), -1);
    EXPECT_EQ(hub.served, 1);
    view->SetToolHub(nullptr);
}

TEST_F(OrderExecutionTest, RemovingAUnitFromPlayEmptiesItsHex)
{
    view->m_pSelUnit = nullptr;
    view->RemoveUnitFromPlay(*enemy);
    EXPECT_FALSE(enemy->dwFlag & kUnitInUse);
    EXPECT_FALSE(IsUnitRef(doc->m_dwHexUnit[kEnemyHex]));
    EXPECT_EQ(view->m_dwHexUnitCode[kEnemyHex], 0u);
}

TEST_F(OrderExecutionTest, AnAttackEndsTheSelectionAndWithoutAnAnswerOnlyTheTargetIsHit)
{
    // Side by side, so that the tanks reach each other.
    doc->m_dwHexUnit[kEnemyHex] = -1;
    enemy->nHex = MakeHex(50, 51);
    doc->m_dwHexUnit[enemy->nHex] = enemy->refSelf;
    doc->Random().Seed(7);
    view->m_pSelUnit = own;
    const int before = enemy->nStrength, ownBefore = own->nStrength;
    const uint32_t weapons = 1;
    EXPECT_EQ(view->ExecuteAttack(*own, *enemy, weapons), 0);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_EQ(view->m_nAttackKind, 0);
    EXPECT_TRUE(own->dwFlag & kUnitActed) << "the attacker has acted";
    EXPECT_LE(enemy->nStrength, before);
    (void)ownBefore;
}

TEST_F(OrderExecutionTest, ACloseDuringTheShotsEndsTheAttackWithTheDamageBeforeItKept)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    doc->m_dwHexUnit[kEnemyHex] = -1;
    enemy->nHex = MakeHex(50, 51);
    doc->m_dwHexUnit[enemy->nHex] = enemy->refSelf;
    view->m_pSelUnit = own;
    CloseAtTick(1);
    EXPECT_EQ(view->ExecuteAttack(*own, *enemy, 1), -1);
    EXPECT_EQ(view->m_pSelUnit, own) << "the order stopped where it was";
}

TEST_F(OrderExecutionTest, SurrendersAreAnnouncedUnlessTheOptionSilencesThem)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
    std::snprintf(c.szName, sizeof c.szName, "%s", "Zeta");
    enemy->dwFlag &= ~kUnitInUse;
    c.nUnit = 0;
    for (uint32_t option : {0u, 0x00080000u}) {
        SCOPED_TRACE(option);
        c.dwFlag = kCountryPresent;
        dialogs.Clear();
        doc->m_dwGameOption = option;
        view->AnnounceSurrenders(1u << 1);
        bool told = false;
        for (const auto& b : dialogs.Boxes()) told |= b.text.find("Zeta") != std::string::npos;
        EXPECT_EQ(told, (option & kOptNoSurrenderBoxes) == 0);
    }
}

}  // namespace
}  // namespace viewtest

namespace viewtest {
namespace {

TEST_F(OrderExecutionTest, TheShotsOfAStepBurstTogetherOrOnOneHexAsTheExchangeFired)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    const HEXINDEX a1 = MakeHex(44, 45), a2 = MakeHex(44, 46), b1 = MakeHex(46, 45);
    std::vector<HEXINDEX> burst;
    view->m_effectLog = [&](const char* what, int hex, int) {
        if (std::string(what) == "explosion") burst.push_back(hex);
    };
    const struct {
        const char* name;
        int order;
        std::vector<HEXINDEX> list;
        std::vector<HEXINDEX> shown;
        int ticks;     // 10: all hexes at once; 11: the one-hex display
        size_t after;  // cursor position after the step
    } cases[] = {
        {"together: both runs at once", 0, {a1, -1, b1, -1}, {a1, b1}, 10, 4},
        {"in turn, one hex", 1, {a1, -1, b1, -1}, {a1}, 11, 2},
        {"in turn, two hexes", -1, {a1, a2, -1, b1, -1}, {a1, a2}, 10, 3},
        {"no shot", 1, {-1, b1, -1}, {}, 0, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        burst.clear();
        ScriptedWaitService w;
        view->SetWaitService(&w);
        sounds->releases = 0;
        std::span<const HEXINDEX> cursor(k.list);
        EXPECT_EQ(view->AnimateShots(k.order, cursor, *own, *enemy, 1, 1), 0);
        EXPECT_EQ(burst, k.shown);
        EXPECT_EQ(w.Ticks(), k.ticks);
        EXPECT_EQ(k.list.size() - cursor.size(), k.after);
        EXPECT_EQ(sounds->releases, k.shown.empty() ? 0 : 1) << "effects released after the display";
        EXPECT_EQ(view->m_bShotShown, k.shown.empty() ? 0 : 1);
    }
    // Cut short: the effects stay for the close to release.
    ScriptedWaitService w;
    w.ActAtTick(2, [this] { view->m_dwState |= kViewCloseRequested; });
    view->SetWaitService(&w);
    sounds->releases = 0;
    const std::vector<HEXINDEX> list{a1, -1, -1};
    std::span<const HEXINDEX> cursor(list);
    EXPECT_EQ(view->AnimateShots(1, cursor, *own, *enemy, 1, 1), 1);
    EXPECT_EQ(sounds->releases, 0);
    view->SetWaitService(&wait);
    view->m_effectLog = nullptr;
}

TEST_F(OrderExecutionTest, AnExchangeEndsTheAttackersActionUnlessKeptAndSpendsTheAttackKind)
{
    doc->m_dwHexUnit[kEnemyHex] = -1;
    enemy->nHex = MakeHex(50, 51);
    doc->m_dwHexUnit[enemy->nHex] = enemy->refSelf;
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "kept" : "ended");
        own->dwFlag &= ~kUnitActed;
        own->nStrength = enemy->nStrength = 10;
        view->m_nAttackKind = 1;
        EXPECT_EQ(view->RunCombatExchange(*own, *enemy, 1, 0, false, false, keep, false), 0);
        EXPECT_EQ((own->dwFlag & kUnitActed) != 0, !keep);
        EXPECT_EQ(view->m_nAttackKind, 0) << "spent with the exchange's redraw";
        EXPECT_FALSE(enemy->dwFlag & kUnitActed) << "only the attacker";
    }
}

TEST_F(OrderExecutionTest, SurrendersAreAnnouncedLowestCountryFirst)
{
    GAMEDATASTRUCT& g = doc->m_GameData;
    for (int i : {1, 2}) {
        COUNTRYSTRUCT& c = g.Country[i];
        c.dwFlag = kCountryPresent;
        c.nIndex = i;
        c.nSide = 1;
        std::snprintf(c.szName, sizeof c.szName, "%s", i == 1 ? "Alpha" : "Beta");
    }
    enemy->dwFlag &= ~kUnitInUse;
    g.Country[1].nUnit = 0;
    dialogs.Clear();
    view->AnnounceSurrenders((1u << 2) | (1u << 1));
    std::vector<std::string> named;
    for (const auto& b : dialogs.Boxes())
        for (const char* n : {"Alpha", "Beta"})
            if (b.text.find(n) != std::string::npos) named.push_back(n);
    EXPECT_EQ(named, (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(OrderExecutionTest, TheComputersMoveOutOfSightIsNoLongerMarkedSeen)
{
    COUNTRYSTRUCT& viewer = doc->m_GameData.Country[0];
    viewer.dwFlag |= kCountryFog;
    view->SetCurrentCountry(1, &doc->m_GameData.Country[1]);
    const struct {
        const char* name;
        uint32_t coverage;  // side 0's word at the enemy's hex
        bool kept;
    } cases[] = {
        {"unseen at its hex", 0x1u | 0x8u | 0x40u | 0x200u, false},
        {"seen at its hex", 0u, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        doc->m_dwHexSearch[kEnemyHex] = k.coverage;
        enemy->dwSupplyFlag |= 0x200u;
        view->m_pSelUnit = enemy;
        view->CompleteUnitMove();
        EXPECT_EQ((enemy->dwSupplyFlag & 0x200u) != 0, k.kept);
        EXPECT_EQ(view->m_pSelUnit, nullptr);
        EXPECT_EQ(view->m_nCmdMode, kModeNone);
    }
}

}  // namespace
}  // namespace viewtest

namespace viewtest {
namespace {

TEST_F(OrderExecutionTest, OneSeedGivesTheSameAttackWithBattleScenesOnAndOff)
{
    doc->m_dwHexUnit[kEnemyHex] = -1;
    enemy->nHex = MakeHex(50, 51);
    doc->m_dwHexUnit[enemy->nHex] = enemy->refSelf;
    const GAMEDATASTRUCT start = doc->m_GameData;
    struct Outcome {
        int own, enemy;
        uint64_t draws;
        int ticks;
    };
    std::vector<Outcome> outcomes;
    for (bool scenes : {false, true}) {
        SCOPED_TRACE(scenes ? "scenes" : "shots");
        doc->m_GameData = start;
        view->m_dwDispOption = (view->m_dwDispOption & ~(kViewBattleScenes | kViewEveryBattle)) |
                               (scenes ? kViewBattleScenes | kViewEveryBattle : 0u);
        ScriptedWaitService w;
        view->SetWaitService(&w);
        doc->Random().Seed(11);
        view->m_pSelUnit = own;
        EXPECT_EQ(view->ExecuteAttack(*own, *enemy, 1), 0);
        outcomes.push_back({own->nStrength, enemy->nStrength, doc->Random().Draws(), w.Ticks()});
    }
    view->SetWaitService(&wait);
    EXPECT_EQ(outcomes[0].own, outcomes[1].own);
    EXPECT_EQ(outcomes[0].enemy, outcomes[1].enemy);
    EXPECT_EQ(outcomes[0].draws, outcomes[1].draws);
    EXPECT_EQ(outcomes[1].ticks, 0) << "the scene takes the place of the shots";
}

}  // namespace
}  // namespace viewtest

namespace viewtest {
namespace {

TEST_F(OrderExecutionTest, AnOccupationThatTakesTheLastCapitalAnnouncesTheSurrenderUnlessSilenced)
{
    COUNTRYSTRUCT& loser = doc->m_GameData.Country[1];
    std::snprintf(loser.szName, sizeof loser.szName, "%s", "Zeta");
    doc->SetStubResult(DocStub::CapitalSearch, 0);  // nowhere to move the capital
    const MAPCELL cityCell = WithOwner(WithDurability(WithTerrain(0, kCity), 0), 1);
    // In a campaign the fall of the last enemy decides the game.
    for (uint32_t option : {0u, kOptNoSurrenderBoxes, kOptNoSurrenderBoxes | kOptionCampaign}) {
        SCOPED_TRACE(option);
        doc->m_dwHexCell[kOwnHex] = cityCell;
        loser.nCapital = kOwnHex;
        loser.dwFlag = kCountryPresent;
        doc->m_dwGameOption = option;
        doc->SetFlowState(PHASE_HUMAN);
        dialogs.Clear();
        sounds->effects.clear();
        view->m_pSelUnit = own;
        own->dwFlag &= ~kUnitActed;
        const int result = view->ExecuteOccupation(*own, kOwnHex, 0);
        bool told = false;
        for (const auto& b : dialogs.Boxes()) told |= b.text.find("Zeta") != std::string::npos;
        EXPECT_EQ(told, (option & kOptNoSurrenderBoxes) == 0);
        EXPECT_FALSE(sounds->effects.empty()) << "the side sound plays either way";
        EXPECT_EQ(std::count(sounds->effects.begin(), sounds->effects.end(), 18), 0)
            << "no plain occupation sound when a country fell";
        EXPECT_EQ(view->m_pSelUnit, nullptr);
        const bool decided = (option & kOptionCampaign) != 0;
        EXPECT_EQ(result, decided ? 1 : 0);
        EXPECT_EQ(doc->m_GameData.nFlowState, decided ? PHASE_JUDGE : PHASE_HUMAN)
            << "a decided game ends the phase without a question";
    }
}

}  // namespace
}  // namespace viewtest
