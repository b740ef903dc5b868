// The mouse on the map: the hex under the pointer, what a left click, a
// double click and the right button do in each state, and the multi-play
// password asked before a country's map is shown.
#include <gtest/gtest.h>

#include "battle/engine/GameFlow.h"
#include "battle/engine/HexGeometry.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using MouseTest = OrderTest;

constexpr uint32_t kArmsSeen = 0x20000000u;

TEST_F(MouseTest, ThePointOutsideTheMapsRectangleIsNoHexInEitherScale)
{
    // A map narrower and shorter than the window is centred in it.
    ShowMap(800, 600, {0, 0}, {40, 40, 45, 45});
    for (bool hq : {false, true}) {
        SCOPED_TRACE(hq ? "HQ map" : "view map");
        view->m_dwDispOption =
            hq ? (view->m_dwDispOption | kDispHqMap) : (view->m_dwDispOption & ~kDispHqMap);
        view->RecalcMapExtent(false);
        const platform::Rect r = view->m_rcMapClient;
        ASSERT_GT(r.left, 0);
        ASSERT_GT(r.top, 0);
        for (PointI p : {PointI{r.left - 1, r.top + 5}, PointI{r.left + 5, r.top - 1},
                         PointI{r.right, r.top + 5}, PointI{r.left + 5, r.bottom}})
            EXPECT_EQ(view->ClientPointToHex(p.x, p.y), -1) << p.x << "," << p.y;
        EXPECT_NE(view->ClientPointToHex(r.left + 30, r.top + 30), -1);
    }
}

TEST_F(MouseTest, AClientPointFindsTheHexDrawnThere)
{
    // Scrolled so that neither axis is centred.
    ShowMap(560, 420, {100, 84});
    for (HEXINDEX hex : {MakeHex(40, 40), MakeHex(41, 40), MakeHex(43, 45), MakeHex(44, 42)}) {
        SCOPED_TRACE(hex);
        const PointI cell = ExpectedCell(hex);  // buffer = window + (56, 42)
        EXPECT_EQ(view->ClientPointToHex(cell.x - 56 + 28, cell.y - 42 + 30), hex)
            << "the middle of the cell";
    }
}

TEST_F(MouseTest, OnTheHqMapOddRowsLieFourPixelsRight)
{
    ShowMap(560, 420, {0, 0}, {0, 0, 127, 127});
    view->m_dwDispOption |= kDispHqMap;
    view->m_ptMapOrigin = {0, 0};
    view->m_rcMapClient = {0, 0, 560, 420};
    const struct {
        PointI p;
        HEXINDEX hex;
    } cases[] = {
        {{3, 2}, MakeHex(0, 0)},  {{8, 2}, MakeHex(0, 1)},  {{3, 7}, MakeHex(1, 0)},
        {{11, 7}, MakeHex(1, 0)}, {{12, 7}, MakeHex(1, 1)}, {{40, 13}, MakeHex(2, 5)},
    };
    for (const auto& k : cases)
        EXPECT_EQ(view->ClientPointToHex(k.p.x, k.p.y), k.hex) << k.p.x << "," << k.p.y;
}

TEST_F(MouseTest, ThePointerIsTrackedOnlyWhileTheMapIsShown)
{
    view->m_nCursorHex = 123;
    view->m_dwDispOption &= ~kDispMapShown;
    view->OnMouseMove({50, 50});
    EXPECT_EQ(view->m_nCursorHex, 123);
    EXPECT_TRUE(strip.calls.empty());

    ShowMap(560, 420, {0, 0});
    const HEXINDEX hex = view->ClientPointToHex(50, 50);
    view->OnMouseMove({50, 50});
    EXPECT_EQ(view->m_nCursorHex, hex);
    ASSERT_EQ(strip.calls.size(), 1u);
    EXPECT_EQ(strip.calls[0].hex, hex);
    EXPECT_EQ(strip.calls[0].unit, nullptr);
    EXPECT_TRUE(strip.calls[0].findUnit);
    // The same hex again shows nothing new.
    view->OnMouseMove({51, 51});
    EXPECT_EQ(strip.calls.size(), 1u);
}

TEST_F(MouseTest, WhileAMoveIsPendingTheStripShowsTheUnitAtItsDestination)
{
    ShowMap(560, 420, {0, 0});
    view->m_pSelUnit = own;
    view->m_nTargetHex = MakeHex(50, 52);
    auto pointAt = [&](HEXINDEX hex) {
        const PointI c = ExpectedCell(hex);
        return PointI{c.x - 56 + 28, c.y - 42 + 30};
    };
    view->m_rcMapHexes = {44, 44, 60, 60};
    ShowMap(560, 420, {0, 0}, {44, 44, 60, 60});
    const struct {
        const char* name;
        HEXINDEX hex;
        bool sel;
        bool find;
    } cases[] = {
        {"destination", MakeHex(50, 52), true, true},
        {"own hex", kOwnHex, false, false},
        {"elsewhere", MakeHex(47, 47), false, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        strip.calls.clear();
        view->m_nCursorHex = -1;
        const PointI p = pointAt(k.hex);
        ASSERT_EQ(view->ClientPointToHex(p.x, p.y), k.hex);
        view->OnMouseMove(p);
        ASSERT_EQ(strip.calls.size(), 1u);
        EXPECT_EQ(strip.calls[0].unit, k.sel ? own : nullptr);
        EXPECT_EQ(strip.calls[0].findUnit, k.find);
    }
}

TEST_F(MouseTest, AClickWhenTheGameIsOverReturnsToTheTitleInEveryMode)
{
    doc->m_GameData.nFlowState = PHASE_GAMEOVER;
    for (int mode = kModeNone; mode <= kModeBombing; ++mode) {
        SCOPED_TRACE(mode);
        doc->m_nStubMenuCommand = -1;
        view->m_nCmdMode = mode;
        view->OnLButtonDown({10, 10});
        EXPECT_EQ(doc->m_nStubMenuCommand, 6);
        EXPECT_EQ(doc->m_nStubMenuParam, 0);
    }
}

TEST_F(MouseTest, TheClickThatEndsTheInformationScreen)
{
    const struct {
        const char* name;
        bool multiPlay;
        std::vector<ScriptedDialogService::PasswordAnswer> answers;
        bool shown;
    } cases[] = {
        {"single player", false, {}, true},
        {"multi-play, right password", true, {{kAnswerOk, "secret"}}, true},
        {"multi-play, wrong password", true, {{kAnswerOk, "guess"}}, false},
        {"multi-play, nobody to ask", true, {}, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        for (const auto& a : k.answers) dialogs.QueuePassword(a.answer, a.text);
        COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
        std::copy_n("secret", 7, c.szPassword);
        doc->m_GameData.nTurn = 3;
        doc->m_dwGameOption = k.multiPlay ? kOptMultiPlay : 0;
        doc->m_GameData.nFlowState = PHASE_WAITCLICK;
        doc->m_nNextFlowState = PHASE_COUNTRYSTART;
        view->m_dwDispOption &= ~kDispMapShown;
        view->m_nCmdMode = kModeChooseUnit;
        view->OnLButtonDown({10, 10});
        EXPECT_EQ((view->m_dwDispOption & kDispMapShown) != 0, k.shown);
        EXPECT_EQ(doc->m_GameData.nFlowState, k.shown ? PHASE_COUNTRYSTART : PHASE_WAITCLICK);
    }
}

TEST_F(MouseTest, AClickOnTheInformationScreenOfAnotherPhaseSelectsOnlyAtAKnownHex)
{
    doc->m_GameData.nFlowState = PHASE_HUMAN;
    view->m_dwDispOption &= ~kDispMapShown;
    view->m_nCursorHex = -1;
    view->OnLButtonDown({10, 10});
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    view->m_nCursorHex = kOwnHex;
    view->OnLButtonDown({10, 10});
    EXPECT_EQ(view->m_pSelUnit, own);
}

TEST_F(MouseTest, TheRightButtonByCommandMode)
{
    const std::string oddState =
        "直前に何を行った(やった)のか報告してくれー\nこの現象は本来あり得ない\nこの後多分、暴走するっス";
    struct Case {
        const char* name;
        int mode;
        int phase;
        uint32_t state;
        bool cmdUnit, selUnit;
        bool cancelled;  // the order steps back (mode 1, no selection)
        bool menu;
        std::vector<int> commands;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"mode 0", kModeNone, PHASE_HUMAN, kViewHumanPhase, false, true, false, false, {}, {}},
        {"mode 6", kModeMoveDone, PHASE_HUMAN, kViewHumanPhase, true, true, false, false, {}, {}},
        {"mode 1 at the end of the phase",
         kModeChooseUnit,
         PHASE_ENDPHASE,
         kViewHumanPhase,
         true,
         true,
         false,
         false,
         {},
         {}},
        {"mode 1 with a command unit",
         kModeChooseUnit,
         PHASE_HUMAN,
         kViewHumanPhase | kViewMainCommandBar,
         true,
         true,
         true,
         false,
         {32820},
         {}},
        {"mode 1, nothing selected",
         kModeChooseUnit,
         PHASE_HUMAN,
         kViewHumanPhase,
         false,
         false,
         false,
         true,
         {},
         {}},
        {"mode 1, selected without a command unit",
         kModeChooseUnit,
         PHASE_HUMAN,
         kViewHumanPhase,
         false,
         true,
         false,
         true,
         {},
         {oddState}},
        {"mode 1 outside the human input",
         kModeChooseUnit,
         PHASE_HUMAN,
         0,
         false,
         false,
         false,
         false,
         {},
         {}},
        {"mode 5",
         kModeMovePending,
         PHASE_HUMAN,
         kViewHumanPhase | kViewMoveBar | kViewLoadBar,
         false,
         true,
         false,
         false,
         {32822, 32835},
         {}},
        {"mode 5, only the move bar open",
         kModeMovePending,
         PHASE_HUMAN,
         kViewHumanPhase | kViewMoveBar,
         false,
         true,
         false,
         false,
         {32822},
         {}},
        {"mode 4", kModeMoveTarget, PHASE_HUMAN, kViewHumanPhase, false, true, true, false, {}, {}},
        {"mode 7", kModeMerge, PHASE_HUMAN, kViewHumanPhase, false, true, true, false, {}, {}},
        {"mode 8", kModeAttack, PHASE_HUMAN, kViewHumanPhase, false, true, true, false, {}, {}},
        {"mode 10", kModeMarch, PHASE_HUMAN, kViewHumanPhase, false, true, true, false, {}, {}},
        {"mode 12", kModeBombing, PHASE_HUMAN, kViewHumanPhase, false, true, true, false, {}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        frame->commands.clear();
        frame->menus.clear();
        view->m_nCmdMode = k.mode;
        view->m_dwState = k.state;
        view->m_nTargetHex = -1;
        view->m_pCmdUnit = k.cmdUnit ? own : nullptr;
        view->m_pSelUnit = k.selUnit ? own : nullptr;
        doc->m_GameData.nFlowState = k.phase;
        view->CancelOrContextMenu(20, 30);
        if (k.cancelled) {
            EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
            EXPECT_EQ(view->m_pSelUnit, nullptr);
        } else {
            EXPECT_EQ(view->m_nCmdMode, k.mode);
            EXPECT_EQ(view->m_pSelUnit, k.selUnit ? own : nullptr);
        }
        EXPECT_EQ(frame->commands, k.commands);
        ASSERT_EQ(frame->menus.size(), k.menu ? 1u : 0u);
        if (k.menu) EXPECT_EQ(frame->menus[0].at, (PointI{20, 30}));
        std::vector<std::string> boxes;
        for (const auto& b : dialogs.Boxes()) boxes.push_back(b.text);
        EXPECT_EQ(boxes, k.boxes);
    }
}

TEST_F(MouseTest, TheContextMenuGreysWhatCannotBeDoneUnlessErrorsAreExplained)
{
    view->m_nCmdMode = kModeChooseUnit;
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    const struct {
        const char* name;
        uint32_t state;
        int phase;
        bool idleUnit;
        uint32_t countryFlags;
        std::vector<int> greyed;
    } cases[] = {
        // The fixture's country can neither produce nor deploy.
        {"an idle unit, the phase may end", kViewHumanPhase, PHASE_HUMAN, true, 0, {32825, 32826}},
        {"no idle unit", kViewHumanPhase, PHASE_HUMAN, false, 0, {32795, 32825, 32826}},
        {"busy: the phase may not end",
         kViewHumanPhase | kViewBusy,
         PHASE_HUMAN,
         true,
         0,
         {32825, 32826, 32788}},
        {"errors explained: nothing greyed",
         kViewHumanPhase | kViewBusy,
         PHASE_HUMAN,
         false,
         0x04000000u,
         {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        frame->menus.clear();
        view->m_dwState = k.state;
        doc->m_GameData.nFlowState = k.phase;
        c.dwFlag = kCountryPresent | k.countryFlags;
        own->dwFlag = k.idleUnit ? (own->dwFlag & ~kUnitActed) : (own->dwFlag | kUnitActed);
        view->CancelOrContextMenu(1, 2);
        ASSERT_EQ(frame->menus.size(), 1u);
        EXPECT_EQ(frame->menus[0].greyed, k.greyed);
    }
}

TEST_F(MouseTest, NothingOnTheRightButtonDuringAFullAutoRun)
{
    doc->m_dwGameOption = kOptFullAutoRunning;
    view->m_nCmdMode = kModeAttack;
    view->m_pSelUnit = own;
    view->m_dwState = kViewHumanPhase;
    view->CancelOrContextMenu(0, 0);
    EXPECT_EQ(view->m_nCmdMode, kModeAttack);
    EXPECT_EQ(view->m_pSelUnit, own);
}

TEST_F(MouseTest, ADoubleClick)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    COUNTRYSTRUCT& viewer = doc->m_GameData.Country[0];
    struct Case {
        const char* name;
        HEXINDEX hex;
        int mode;
        uint32_t state;
        uint32_t cellBits;
        uint32_t viewerFlags;
        uint32_t enemyFlags;
        bool seen;
        std::vector<int> sounds;
        int boxes;
        std::vector<int> commands;
    };
    const Case cases[] = {
        {"an empty hex", MakeHex(45, 45), kModeChooseUnit, 0, 0, 0, 0, true, {}, 0, {}},
        {"busy", kEnemyHex, kModeChooseUnit, kViewBusy, 0, 0, 0, false, {}, 0, {}},
        {"mode 5", kEnemyHex, kModeMovePending, 0, 0, 0, 0, false, {}, 0, {}},
        {"fogged hex", kEnemyHex, kModeChooseUnit, 0, 0x00100000u, 0, 0, false, {}, 0, {}},
        {"hidden from the viewer", kEnemyHex, kModeChooseUnit, 0, 0, kCountryFog, 0x2000u, false, {}, 0, {}},
        {"a contact of the viewer",
         kEnemyHex,
         kModeChooseUnit,
         0,
         0,
         kCountryFog,
         0x10000u,
         false,
         {},
         0,
         {}},
        {"hidden, but no fog of war", kEnemyHex, kModeChooseUnit, 0, 0, 0, 0x2000u, false, {43}, 0, {}},
        {"computer-run viewer", kEnemyHex, kModeChooseUnit, 0, 0, kCountryCpu, 0, false, {}, 0, {}},
        {"unseen type", kEnemyHex, kModeChooseUnit, 0, 0, 0, 0, false, {43}, 0, {}},
        {"unseen type, told", kEnemyHex, kModeChooseUnit, 0, 0, kCountryConfirmWindow, 0, false, {43}, 1, {}},
        {"seen type: its performance window", kEnemyHex, kModeChooseUnit, 0, 0, kCountryConfirmWindow, 0, true, {35}, 0, {}},
        {"choosing a destination", kEnemyHex, kModeMoveTarget, 0, 0, 0, 0, false, {}, 0, {32820}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        frame->commands.clear();
        sounds->effects.clear();
        view->m_nCursorHex = k.hex;
        view->m_nCmdMode = k.mode;
        view->m_dwState = k.state;
        view->m_pSelUnit = k.mode == kModeMoveTarget ? own : nullptr;
        view->m_pCmdUnit = nullptr;
        doc->m_dwHexCell[kEnemyHex] = kPlain | k.cellBits;
        viewer.dwFlag = kCountryPresent | k.viewerFlags;
        enemy->dwFlag = (enemy->dwFlag & ~0x12000u) | k.enemyFlags;
        viewer.dwArmsAvail[enemy->nArms] = k.seen ? kArmsSeen : 0;
        view->OnLButtonDblClk({0, 0});
        EXPECT_EQ(sounds->effects, k.sounds);
        EXPECT_EQ(dialogs.Boxes().size(), static_cast<size_t>(k.boxes));
        if (k.boxes) EXPECT_EQ(dialogs.Boxes()[0].text, "未確認兵器です");
        EXPECT_EQ(frame->commands, k.commands);
    }
}

TEST_F(MouseTest, TheMultiPlayPassword)
{
    using A = ScriptedDialogService::PasswordAnswer;
    const std::string tooShort = "パスワードは最低３文字入力してください";
    const std::string wrong = "パスワードが違います！";
    const std::string ask =
        "マルチプレイはパスワードが必要です。\n最初にパスワードを半角７文字以内で入力してください。";
    struct Case {
        const char* name;
        int turn;
        std::vector<A> answers;
        int result;
        std::string stored;  // szPassword afterwards
        std::vector<std::string> boxes;
    };
    const std::string registered = [](const char* p) {
        return std::string("パスワードは ") + p +
               " で登録されました。今後、ゲーム開始時にこのパスワードを入力してください。\n"
               "パスワードが一致しないとゲームができなくなるので忘れないようにしてください";
    }("abcdefg");
    const Case cases[] = {
        {"turn 1 registers", 1, {{kAnswerOk, "abcdefg"}}, 1, "abcdefg", {ask, registered}},
        {"turn 1: two letters, then cancel, then good",
         1,
         {{kAnswerOk, "ab"}, {kAnswerCancel, "ignored"}, {kAnswerOk, "abcdefgXYZ"}},
         1,
         "abcdefg",
         {ask, tooShort, tooShort, registered}},
        {"turn 1: nobody to ask", 1, {}, 0, "old", {ask}},
        {"later turn, right", 4, {{kAnswerOk, "old"}}, 1, "old", {}},
        {"later turn, wrong case", 4, {{kAnswerOk, "OLD"}}, 0, "old", {wrong}},
        {"later turn, cancelled until nobody asks", 4, {{kAnswerCancel, ""}}, 0, "old", {tooShort}},
    };
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        std::fill(std::begin(c.szPassword), std::end(c.szPassword), '\0');
        std::copy_n("old", 3, c.szPassword);
        for (const A& a : k.answers) dialogs.QueuePassword(a.answer, a.text);
        EXPECT_EQ(view->CheckSidePassword(c, k.turn), k.result);
        EXPECT_EQ(std::string(FieldText(c.szPassword)), k.stored);
        std::vector<std::string> boxes;
        for (const auto& b : dialogs.Boxes()) boxes.push_back(b.text);
        EXPECT_EQ(boxes, k.boxes);
    }
}

TEST_F(MouseTest, AFullWidthPasswordIsCutAtACharacterBoundary)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    // Four two-byte characters are 8 bytes: three fit.
    dialogs.QueuePassword(kAnswerOk, "あいうえ");
    ASSERT_EQ(view->CheckSidePassword(c, 1), 1);
    EXPECT_EQ(std::string(FieldText(c.szPassword)), "あいう");
    // Seven bytes of one byte and three two-byte characters: "ab" and two.
    dialogs.QueuePassword(kAnswerOk, "abあいう");
    ASSERT_EQ(view->CheckSidePassword(c, 1), 1);
    EXPECT_EQ(std::string(FieldText(c.szPassword)), "abあい");
}

TEST_F(MouseTest, ACloseRequestEndsThePasswordQuestion)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    dialogs.QueuePassword(kAnswerCancel);
    dialogs.QueuePassword(kAnswerOk, "whatever");
    view->m_dwState |= kViewCloseRequested;
    EXPECT_EQ(view->CheckSidePassword(c, 2), 0);
    EXPECT_TRUE(dialogs.AskedDialogs().empty());
}

TEST_F(MouseTest, TheWindowsRectangleIsStoredWithItsWidthAndHeight)
{
    platform::MemorySettingsStore settings;
    view->SetSettings(&settings);
    EXPECT_TRUE(view->SaveWindowRect("GameWindow", {10, 20, 649, 499}));
    EXPECT_EQ(settings.ReadString("Settings", "GameWindow"), "10 20 640 480");
    view->SetSettings(nullptr);
    EXPECT_FALSE(view->SaveWindowRect("GameWindow", {10, 20, 649, 499}));
}

TEST_F(MouseTest, TheUnitOnAHex)
{
    EXPECT_EQ(view->GetUnitOnHex(-1), nullptr);
    EXPECT_EQ(view->GetUnitOnHex(kHexCount), nullptr);
    EXPECT_EQ(view->GetUnitOnHex(MakeHex(45, 45)), nullptr);
    EXPECT_EQ(view->GetUnitOnHex(kEnemyHex), enemy);
}

TEST_F(MouseTest, TheInformationScreenShowsTheTurnsText)
{
    ShowMap(560, 420, {0, 0});
    std::copy_n("Alpha", 6, doc->m_GameData.Country[0].szName);
    doc->NotifyView(11, 0x00040000);
    EXPECT_EQ(view->m_dwDispOption & kDispMapShown, 0u);
    EXPECT_EQ(view->m_szBanner, FormatTurnInfoText(doc->m_GameData, doc->m_pCurCountry));
    EXPECT_NE(view->m_szBanner.find("Alpha"), std::string::npos);
    ASSERT_FALSE(strip.calls.empty());
    EXPECT_EQ(strip.calls.back().hex, -1);

    // With bit 31 the map comes back.
    doc->NotifyView(11, static_cast<int>(kDispMapShown | 0x00040000));
    EXPECT_TRUE(view->m_dwDispOption & kDispMapShown);
}

TEST_F(MouseTest, TheCaptionNamesTheScenario)
{
    view->UpdateWindowTitle();
    EXPECT_EQ(frame->caption, "Velmorath");
    std::copy_n("Ardennes", 9, doc->m_GameData.Head.szName);
    view->UpdateWindowTitle();
    EXPECT_EQ(frame->caption, "Velmorath  [ Ardennes ]");
}

TEST_F(MouseTest, TheFastHqMapOfAComputerPhaseSkipsTheStripAndTheRedraw)
{
    RecordingStrip quiet;
    view->SetStatusStrip(&quiet);
    view->m_dwDispOption |= kDispHqMap | kDispHqMapFast;
    doc->m_GameData.Country[0].dwFlag |= kCountryCpu;
    view->RefreshStatusStrip(5, true, nullptr, true);
    view->SetStatusHex(5, true);
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_EQ(quiet.m_dwBlink, 0x80000000u);
    view->SetStatusHex(-1, false);
    ASSERT_EQ(quiet.calls.size(), 1u) << "no hex is shown even then";
    EXPECT_EQ(quiet.m_dwBlink, 0u);
    // A human country's HQ map shows everything.
    doc->m_GameData.Country[0].dwFlag &= ~kCountryCpu;
    view->RefreshStatusStrip(5, true, own, false);
    EXPECT_EQ(quiet.calls.size(), 2u);
    view->SetStatusStrip(&strip);
}

}  // namespace
}  // namespace viewtest
