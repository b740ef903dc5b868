// The unit orders through the command router, as the menu, the toolbar, the
// command bars and the keys reach them: when each is enabled and marked, what
// it asks and what it does; the full-automatic pass, the march dialog and the
// clicks that complete the orders on the map.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "battle/engine/OrderBackends.h"
#include "battle/view/BattleMenu.h"
#include "platform/core/Format.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

constexpr int kCmdRecall = 32933, kCmdDive = 32928, kCmdSurface = 32927, kCmdFullAuto = 32868,
              kCmdAutoMove = 32866, kCmdAutoBuild = 32851, kCmdAutoCapture = 32852, kCmdAutoSupply = 32830,
              kCmdUnitList = 32800, kCmdDispose = 32816, kCmdSupply = 32810, kCmdPerformance = 32812,
              kCmdOccupy = 32805, kCmdAttack = 32803, kCmdMarch = 32813, kCmdMove = 32802, kCmdMoveEnd = 32833,
              kCmdEndAction = 32819, kCmdNextUnit = 32934, kCmdForceTable = 32879, kCmdWeaponTable = 32883,
              kCmdMusicSettings = 32891, kCmdMerge = 32809;

constexpr uint32_t kCountryErrorMessages = 0x04000000u;
constexpr uint32_t kOrderMarchSet = 0x40000000u;

using Kind = ScriptedDialogService::DialogKind;

// A hub that writes down the windows it was asked for.
class RecordingHub : public ViewToolHub {
public:
    bool CreateToolWindow(ToolWindow which) override
    {
        created.push_back(which);
        return true;
    }
    void DestroyToolWindow(ToolWindow which) override { destroyed.push_back(which); }
    bool OpenProductionWindow() override
    {
        ++production;
        return true;
    }
    std::vector<ToolWindow> created, destroyed;
    int production = 0;
};

class UnitCommandsTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        view->SetToolHub(&hub);
        view->m_dwState = kViewHumanPhase;
        view->m_dwDispOption |= kDispMapShown;
        doc->m_GameData.nFlowState = PHASE_HUMAN;
        dialogs.Clear();
    }
    void TearDown() override
    {
        view->SetToolHub(nullptr);
        OrderTest::TearDown();
    }
    COUNTRYSTRUCT& Own() { return doc->m_GameData.Country[0]; }
    CommandState State(int id) { return view->Commands().State(id); }
    bool Run(int id) { return view->Commands().Run(id); }

    RecordingHub hub;
};

TEST_F(UnitCommandsTest, AUnitOrderIsEnabledByHumanInputItsUnitAndItsTestOrTheExplainingCountry)
{
    // A tank cannot dive (its test says 144); it can be disposed of.
    const struct {
        const char* name;
        int id;
        uint32_t state;
        bool commandUnit, selected;
        uint32_t country;
        bool enabled;
    } cases[] = {
        {"dive refused by its test", kCmdDive, kViewHumanPhase, true, false, 0, false},
        {"dive refused but explained", kCmdDive, kViewHumanPhase, true, false, kCountryErrorMessages, true},
        {"dive outside the human phase", kCmdDive, 0, true, false, kCountryErrorMessages, false},
        {"dive without a unit", kCmdDive, kViewHumanPhase, false, false, kCountryErrorMessages, false},
        {"dispose with the command unit", kCmdDispose, kViewHumanPhase, true, false, 0, true},
        {"dispose with only a selected unit", kCmdDispose, kViewHumanPhase, false, true, 0, false},
        {"performance of the selected unit", kCmdPerformance, kViewHumanPhase, false, true, 0, true},
        {"end action needs the command bars' unit", kCmdEndAction, kViewHumanPhase, false, true, 0, false},
        {"end action with it", kCmdEndAction, kViewHumanPhase, true, false, 0, true},
        {"move end without a pending move", kCmdMoveEnd, kViewHumanPhase, false, true, 0, false},
        {"force table for a human country", kCmdForceTable, 0, false, false, 0, true},
        {"force table for a computer country", kCmdForceTable, 0, false, false, kCountryCpu, false},
        {"weapon table outside a campaign", kCmdWeaponTable, 0, false, false, 0, false},
        {"music settings with the music off", kCmdMusicSettings, kViewHumanPhase, false, false, 0, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state;
        view->m_nCmdMode = kModeChooseUnit;
        view->m_pCmdUnit = k.commandUnit ? own : nullptr;
        view->m_pSelUnit = k.selected ? own : nullptr;
        Own().dwFlag = kCountryPresent | k.country;
        EXPECT_EQ(State(k.id).enabled, k.enabled);
    }
}

TEST_F(UnitCommandsTest, AFailingOrderKeptEnabledShowsItsTestsMessageAndChangesNothing)
{
    Own().dwFlag |= kCountryErrorMessages;
    view->m_pCmdUnit = own;
    const UNITSTRUCT before = *own;
    ASSERT_TRUE(Run(kCmdDive));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, ErrorText(doc->CheckDive(*own)));
    EXPECT_EQ(std::memcmp(&before, own, sizeof before), 0);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
}

TEST_F(UnitCommandsTest, DisposeAndEndActionAlwaysAskAndANoChangesNothing)
{
    const struct {
        const char* name;
        int id;
        const char* question;
    } cases[] = {
        {"dispose", kCmdDispose, "処分してもよろしいですか？"},
        {"end action", kCmdEndAction, "行動を終了してもよろしいですか？"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        view->m_nCmdMode = kModeChooseUnit;
        view->m_pCmdUnit = own;
        const UNITSTRUCT before = *own;
        dialogs.QueueAnswer(kAnswerNo);
        ASSERT_TRUE(Run(k.id));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_EQ(dialogs.Boxes()[0].text, k.question) << "asked without the confirmation option";
        EXPECT_EQ(std::memcmp(&before, own, sizeof before), 0);
        EXPECT_EQ(frame->enabled, (std::vector<bool>{false, true})) << "the map and frame are off while asked";
        frame->enabled.clear();
    }
    dialogs.QueueAnswer(kAnswerYes);
    view->m_pCmdUnit = own;
    ASSERT_TRUE(Run(kCmdEndAction));
    EXPECT_NE(own->dwFlag & kUnitActed, 0u);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    own->dwFlag &= ~kUnitActed;
    dialogs.QueueAnswer(kAnswerYes);
    view->m_pCmdUnit = own;
    ASSERT_TRUE(Run(kCmdDispose));
    EXPECT_EQ(own->dwFlag & kUnitInUse, 0u);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
}

TEST_F(UnitCommandsTest, DiveAsksOnlyWithTheConfirmationOption)
{
    // A submarine at sea.
    const HEXINDEX sea = MakeHex(52, 52);
    SetTerrain(sea, kSea);
    UNITSTRUCT* sub = Place(0, 5, sea, zrvtest::kFixtureSubmarine);
    doc->RefreshUnitHexCell(*sub);
    view->m_pCmdUnit = sub;
    ASSERT_EQ(doc->CheckDive(*sub), 0) << "the fixture submarine can dive";
    ASSERT_TRUE(Run(kCmdDive));
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_NE(sub->dwFlag & kUnitInWater, 0u);
    // Up again, now with the question.
    Own().dwFlag |= kCountryConfirmWindow;
    view->m_pCmdUnit = sub;
    dialogs.QueueAnswer(kAnswerNo);
    ASSERT_TRUE(Run(kCmdSurface));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "浮上しますか");
    EXPECT_NE(sub->dwFlag & kUnitInWater, 0u) << "No: still under water";
}

TEST_F(UnitCommandsTest, FullAutoIsOfferedOnlyWithNothingSelectedNoRunAndSomethingToDo)
{
    EXPECT_FALSE(State(kCmdFullAuto).enabled) << "nothing on the four lists";
    // A march order with somewhere to go puts the tank on the march list.
    own->nMove = 6;
    own->dwOrder |= kOrderMarchSet;
    own->nMarchHex = MakeHex(50, 58);
    Own().dwFlag |= 0x00001000u;
    ASSERT_EQ(doc->ListAutoMoveUnits({}), 1);
    EXPECT_TRUE(State(kCmdFullAuto).enabled);
    const struct {
        const char* name;
        std::function<void()> set, undo;
    } cases[] = {
        {"a unit selected", [&] { view->m_pSelUnit = own; }, [&] { view->m_pSelUnit = nullptr; }},
        {"a unit addressed", [&] { view->m_pCmdUnit = own; }, [&] { view->m_pCmdUnit = nullptr; }},
        {"a pass under way", [&] { doc->m_dwGameOption |= kOptFullAutoRunning; },
         [&] { doc->m_dwGameOption &= ~kOptFullAutoRunning; }},
        {"not choosing a unit", [&] { view->m_nCmdMode = kModeMoveTarget; },
         [&] { view->m_nCmdMode = kModeChooseUnit; }},
        {"outside the human phase", [&] { view->m_dwState = 0; }, [&] { view->m_dwState = kViewHumanPhase; }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        k.set();
        EXPECT_FALSE(State(kCmdFullAuto).enabled);
        k.undo();
    }
}

TEST_F(UnitCommandsTest, ARefusedMarchMoveDoesNotStopThePassButACloseRequestDoes)
{
    own->nMove = 6;
    own->dwOrder |= kOrderMarchSet;
    own->nMarchHex = MakeHex(50, 58);
    Own().dwFlag |= 0x00001000u;
    // The program's stand-in executor refuses every move of the computer's kind.
    ASSERT_TRUE(Run(kCmdFullAuto));
    EXPECT_EQ(doc->m_dwGameOption & kOptFullAutoRunning, 0u) << "the pass went to its end";
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_NE(own->dwOrder & kOrderMarchSet, 0u) << "not arrived: the order stays";
    // Standing on its march hex, the unit loses the order.
    own->nMarchHex = kOwnHex;
    ASSERT_EQ(view->RunFullAutoPass(), 0);
    EXPECT_EQ(own->dwOrder & kOrderMarchSet, 0u);
    // A close request ends the pass before its reset.
    own->dwOrder |= kOrderMarchSet;
    own->nMarchHex = MakeHex(50, 58);
    view->m_dwState |= kViewCloseRequested;
    EXPECT_EQ(view->RunFullAutoPass(), -1);
    EXPECT_NE(doc->m_dwGameOption & kOptFullAutoRunning, 0u) << "no reset after a close request";
}

TEST_F(UnitCommandsTest, TheFourAutomaticListsAreCountryBitsWithTheirMarks)
{
    const std::pair<int, uint32_t> rows[] = {
        {kCmdAutoMove, 0x1000u}, {kCmdAutoBuild, 0x2000u}, {kCmdAutoCapture, 0x4000u}, {kCmdAutoSupply, 0x8000u}};
    for (const auto& [id, bit] : rows) {
        SCOPED_TRACE(id);
        Own().dwFlag = kCountryPresent;
        EXPECT_FALSE(State(id).checked);
        ASSERT_TRUE(Run(id));
        EXPECT_EQ(Own().dwFlag, kCountryPresent | bit);
        EXPECT_TRUE(State(id).checked);
        view->m_nCmdMode = kModeMoveTarget;
        EXPECT_FALSE(State(id).enabled) << "only while choosing a unit";
        view->m_nCmdMode = kModeChooseUnit;
    }
}

TEST_F(UnitCommandsTest, TheUnitListIsCreatedWhenClosedAndClosedWhenOpen)
{
    EXPECT_FALSE(State(kCmdUnitList).checked);
    ASSERT_TRUE(Run(kCmdUnitList));
    ASSERT_EQ(hub.created, std::vector<ToolWindow>{ToolWindow::UnitList});
    EXPECT_TRUE(State(kCmdUnitList).checked);
    ASSERT_TRUE(Run(kCmdUnitList));
    EXPECT_EQ(hub.destroyed, std::vector<ToolWindow>{ToolWindow::UnitList});
    EXPECT_FALSE(State(kCmdUnitList).checked);
}

TEST_F(UnitCommandsTest, ProductionAtTheUnitLimitNamesTheLimitOrSaysThereIsNone)
{
    Own().dwFlag |= kCountryErrorMessages;
    const struct {
        int limit;
        std::string text;
    } cases[] = {
        {0, ErrorText(43)},
        {12, platform::FormatText(ErrorText(42), {12})},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.limit);
        dialogs.Clear();
        Own().nUnitMax = k.limit;
        Own().nUnit = k.limit;
        ASSERT_EQ(view->CheckProduceCommand(), 42);
        ASSERT_TRUE(Run(kCmdProduce));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_EQ(dialogs.Boxes()[0].text, k.text);
        EXPECT_EQ(hub.production, 0);
    }
    view->m_nCmdMode = kModeProduction;
    ASSERT_TRUE(Run(kCmdProduce));
    EXPECT_EQ(hub.production, 1) << "in mode 2 the window only comes forward";
}

TEST_F(UnitCommandsTest, NextUnitVisitsTheSlotAfterTheLastWrappingAndSkippingThoseThatCannotAct)
{
    UNITSTRUCT* second = Place(0, 3, MakeHex(48, 48), zrvtest::kFixtureTank);
    UNITSTRUCT* acted = Place(0, 5, MakeHex(47, 47), zrvtest::kFixtureTank);
    acted->dwFlag |= kUnitActed;
    UNITSTRUCT* outside = Place(0, 7, MakeHex(20, 20), zrvtest::kFixtureTank);
    (void)outside;
    Board(9, *second);
    view->m_nNextUnitSlot = -1;
    ASSERT_TRUE(Run(kCmdNextUnit));
    EXPECT_EQ(view->m_nNextUnitSlot, 0);
    ASSERT_TRUE(Run(kCmdNextUnit));
    EXPECT_EQ(view->m_nNextUnitSlot, 3);
    ASSERT_TRUE(Run(kCmdNextUnit));
    EXPECT_EQ(view->m_nNextUnitSlot, 0) << "acted, outside and carried units are passed over";
    EXPECT_EQ(std::count(sounds->effects.begin(), sounds->effects.end(), 40), 3);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);

    // No unit left: 27, and the command is greyed.
    for (UNITSTRUCT* u : {own, second}) u->dwFlag |= kUnitActed;
    EXPECT_EQ(view->CheckNextUnitCommand(), 27);
    EXPECT_FALSE(State(kCmdNextUnit).enabled);
    view->SetCurrentCountry(-1, nullptr);
    EXPECT_EQ(view->CheckNextUnitCommand(), 1);
}

TEST_F(UnitCommandsTest, TheNextUnitKeyIsIgnoredWhileBusyAndClosesTheOpenBarsByTheMainBarsCommand)
{
    view->m_dwState |= kViewBusy;
    ASSERT_TRUE(Run(kCmdNextUnitKey));
    EXPECT_EQ(view->m_nNextUnitSlot, -1);
    view->m_dwState &= ~kViewBusy;
    view->m_pSelUnit = own;
    view->m_nCmdMode = kModeMoveTarget;
    ASSERT_TRUE(Run(kCmdNextUnitKey));
    EXPECT_EQ(view->m_nNextUnitSlot, 0);
    EXPECT_EQ(view->m_pSelUnit, own) << "the selection stays";
    EXPECT_EQ(view->m_nCmdMode, kModeMoveTarget);
    // One main bar command for each open bar of the two.
    view->m_dwState |= kViewMainCommandBar | kViewDisposeBar;
    frame->commands.clear();
    ASSERT_TRUE(Run(kCmdNextUnitKey));
    EXPECT_EQ(std::count(frame->commands.begin(), frame->commands.end(), 32820), 2);
}

TEST_F(UnitCommandsTest, ViewSideTestsAtThePendingHexLeaveTheDocumentAsTheyFoundIt)
{
    const HEXINDEX target = MakeHex(50, 51);
    own->nMove = 6;
    (void)doc->RefreshUnitHexCell(*own);  // the unit's copy of its cell, as in play
    ASSERT_EQ(doc->CheckMove(*own), 0);
    view->m_pSelUnit = own;
    view->m_nTargetHex = target;
    view->m_nCmdMode = kModeMovePending;
    auto copy = std::make_unique<std::vector<uint8_t>>();
    auto snapshot = [this] {
        std::vector<uint8_t> v;
        auto add = [&v](const void* p, size_t n) {
            v.insert(v.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
        };
        add(&doc->m_GameData, sizeof doc->m_GameData);
        add(doc->m_dwHexCell, sizeof doc->m_dwHexCell);
        add(doc->m_dwHexUnit, sizeof doc->m_dwHexUnit);
        add(doc->m_dwHexMove, sizeof doc->m_dwHexMove);
        add(&doc->m_nOrdersDone, sizeof doc->m_nOrdersDone);
        add(&doc->m_bModified, sizeof doc->m_bModified);
        add(view->m_dwHexUnitCode.data(), sizeof view->m_dwHexUnitCode);
        return v;
    };
    const std::vector<uint8_t> before = snapshot();
    for (int id : {kCmdRecall, kCmdOccupy, kCmdAttack, kCmdMerge, 32807, 32808, kCmdEndAction}) {
        SCOPED_TRACE(id);
        (void)State(id);
        const std::vector<uint8_t> after = snapshot();
        const auto diff = std::mismatch(after.begin(), after.end(), before.begin());
        EXPECT_TRUE(diff.first == after.end()) << "first change at byte " << (diff.first - after.begin()) << " of "
                                               << after.size() << " (game data " << sizeof doc->m_GameData << ")";
    }
}

TEST_F(UnitCommandsTest, TheMarchCommandsDialogSetsTheTargetOrGivesTheCommandWindowBack)
{
    own->nMove = 6;
    ASSERT_EQ(doc->CheckMarch(*own), 0);
    // OK: the reach is marked and the next click sets the target.
    view->m_pCmdUnit = own;
    dialogs.QueueReply(Kind::March, {kMarchSet});
    ASSERT_TRUE(Run(kCmdMarch));
    EXPECT_EQ(view->m_nCmdMode, kModeMarch);
    EXPECT_EQ(view->m_pSelUnit, own);
    // The click: the order, its hex, sound 33; the dialog again (closed).
    const HEXINDEX target = MakeHex(50, 52);
    ASSERT_EQ(doc->m_dwHexMove[target] & 0xC0000000u, 0u);
    sounds->effects.clear();
    frame->commands.clear();
    view->ClickHex(target, nullptr);
    EXPECT_NE(own->dwOrder & kOrderMarchSet, 0u);
    EXPECT_EQ(own->nMarchHex, target);
    EXPECT_EQ(sounds->effects, std::vector<int>{33});
    ASSERT_EQ(dialogs.AskedDialogs().size(), 2u) << "the view's own message runs the march command again";
    // Any answer but OK from the march command: mode 1 with the command window.
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_EQ(view->m_pCmdUnit, own);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(std::count(frame->commands.begin(), frame->commands.end(), 32820), 1);
}

TEST_F(UnitCommandsTest, AnOccupiedUnloadHexIsRefusedWithItsMessage)
{
    UNITSTRUCT* cargo = Board(4, *own);
    view->m_pSelUnit = own;
    view->m_nCmdMode = kModeUnload;
    view->m_nCmdSubMode = 1;
    view->m_pUnloadUnit = cargo;
    view->m_nCandidateHex.fill(-1);
    view->m_nCandidateHex[0] = kEnemyHex;
    view->m_nCandidateHex[1] = MakeHex(45, 45);
    view->ClickHex(MakeHex(46, 46), nullptr);
    EXPECT_TRUE(dialogs.Boxes().empty()) << "not a candidate: ignored";
    view->ClickHex(kEnemyHex, nullptr);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, ErrorText(127));
    EXPECT_NE(cargo->dwFlag & kUnitCarried, 0u);
}

TEST_F(UnitCommandsTest, ACancelledFirstUnloadDialogTakesAMadeMoveBack)
{
    Board(4, *own);
    own->nMove = 6;
    ASSERT_EQ(doc->CheckMove(*own), 0);
    const HEXINDEX target = MakeHex(50, 51);
    view->m_pSelUnit = own;
    view->m_nTargetHex = target;
    view->m_nCmdMode = kModeMovePending;
    ASSERT_TRUE(MoveUnitTo(*doc, *own, target, &view->m_SavedUnit).Done());
    view->m_dwState |= kViewMoveUndoable;
    view->m_nCmdSubMode = 0;
    view->m_nCmdMode = kModeUnload;
    view->ClickUnload(target);  // the dialog is cancelled
    ASSERT_EQ(dialogs.AskedDialogs().size(), 1u);
    EXPECT_EQ(dialogs.AskedDialogs()[0].kind, Kind::Unload);
    EXPECT_EQ(own->nHex, kOwnHex) << "back where it started";
    EXPECT_EQ(view->m_dwState & kViewMoveUndoable, 0u);
    EXPECT_EQ(view->m_nCmdMode, kModeMovePending) << "the pending move is shown again";
}

TEST_F(UnitCommandsTest, TheBombingClickCountsOnlyHexesInRange)
{
    view->m_pSelUnit = own;
    view->m_nCmdMode = kModeBombing;
    doc->m_dwHexMark[kEnemyHex] = 0;
    view->ClickHex(kEnemyHex, nullptr);
    EXPECT_EQ(view->m_nCmdMode, kModeBombing);
    EXPECT_EQ(view->m_pSelUnit, own);
}

TEST_F(UnitCommandsTest, TheMergeClickCountsOnlyAPartnerHexAndACancelStepsBack)
{
    UNITSTRUCT* partner = Place(0, 2, MakeHex(50, 51), zrvtest::kFixtureTank);
    view->RebuildUnitDisplayMap();
    view->m_pSelUnit = own;
    view->m_nCmdMode = kModeMerge;
    view->m_nMergeHex.fill(-1);
    view->m_nMergeHex[0] = partner->nHex;
    view->ClickHex(MakeHex(45, 45), nullptr);
    EXPECT_TRUE(dialogs.AskedDialogs().empty());
    view->ClickHex(partner->nHex, nullptr);
    ASSERT_EQ(dialogs.AskedDialogs().size(), 1u);
    EXPECT_EQ(dialogs.AskedDialogs()[0].kind, Kind::Merge);
    EXPECT_EQ(view->m_pSelUnit, nullptr) << "cancelled without a pending move: the selection ends";
    dialogs.Clear();
    view->m_pSelUnit = own;
    view->m_nCmdMode = kModeMerge;
    dialogs.QueueReply(Kind::Merge, {kAnswerOk});
    view->ClickHex(partner->nHex, nullptr);
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
}

}  // namespace
}  // namespace viewtest
