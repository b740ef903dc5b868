// What the main frame decides without a window: the split of its client
// area, where a command bar floats, the clock and the caption, the two-step
// close, the music on minimise, the tables of its menus, keys and bars, and
// the one router every command goes through.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "battle/view/BattleMenu.h"
#include "battle/view/CommandRouter.h"
#include "battle/view/MainFrameLogic.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/Dib.h"
#include "view/ViewFixture.h"

namespace zrv {
namespace {

TEST(FrameLogic, TheStatusPaneKeeps86PixelsAndTheMapNeverGoesBelowZero)
{
    const struct {
        int height, bar, map, status;
    } cases[] = {
        {700, 0, 614, 86}, {87, 0, 1, 86}, {86, 0, 0, 86},   {80, 0, 0, 80},
        {0, 0, 0, 0},      {-5, 0, 0, 0},  {100, 4, 10, 86}, {88, 4, 0, 86},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.height << " with a bar of " << k.bar);
        const SplitRows rows = SplitClientRows(k.height, k.bar);
        EXPECT_EQ(rows.map, k.map);
        EXPECT_EQ(rows.status, k.status);
    }
}

TEST(FrameLogic, ABarFloatsRightOfThePointerAndIsMovedToFitTheWorkArea)
{
    const SizeI bar{60, 280};
    const SizeI area{1024, 700};
    const struct {
        const char* name;
        PointI pointer;
        PointI drop, placed;
    } cases[] = {
        {"in the middle", {300, 200}, {356, 190}, {356, 190}},
        {"near the top-left", {-80, 4}, {0, 0}, {0, 0}},
        {"near the right edge", {1000, 200}, {1056, 190}, {964, 190}},
        {"near the bottom edge", {300, 690}, {356, 680}, {356, 420}},
        {"in the bottom-right corner", {1020, 699}, {1076, 689}, {964, 420}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const PointI drop = GetBarDropPoint(k.pointer);
        EXPECT_EQ(drop, k.drop);
        EXPECT_EQ(ClampBarToWorkArea(drop, bar, area), k.placed);
    }
    // A work area smaller than the bar keeps it on the area's corner.
    EXPECT_EQ(ClampBarToWorkArea({10, 10}, bar, {40, 200}), (PointI{0, 0}));
}

TEST(FrameLogic, ClockAndCaption)
{
    EXPECT_EQ(FormatClock(9, 5), " 9:05");
    EXPECT_EQ(FormatClock(23, 59), "23:59");
    EXPECT_EQ(FormatClock(0, 0), " 0:00");
    EXPECT_EQ(MakeWindowTitle(""), "Velmorath");
    EXPECT_EQ(MakeWindowTitle("北アフリカ"), "Velmorath  [ 北アフリカ ]");
}

TEST(FrameLogic, AFirstCloseOnlyMarksTheViewAndTheSecondClosesKeepingANormalWindowsRectangle)
{
    const struct {
        const char* name;
        bool minimised, maximised;
        FrameClose second;
    } cases[] = {
        {"normal window", false, false, FrameClose::CloseKeepingRect},
        {"minimised", true, false, FrameClose::Close},
        {"maximised", false, true, FrameClose::Close},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        uint32_t state = kViewBusy;
        EXPECT_EQ(DecideFrameClose(state, k.minimised, k.maximised), FrameClose::Deferred);
        EXPECT_EQ(state, kViewBusy | kViewCloseRequested | kViewCloseNow);
        EXPECT_EQ(DecideFrameClose(state, k.minimised, k.maximised), k.second);
    }
    // The idle pass closes on bit 0x8000 alone, whoever set it.
    uint32_t now = kViewCloseNow;
    EXPECT_EQ(DecideFrameClose(now, false, false), FrameClose::CloseKeepingRect);
}

TEST(FrameLogic, MinimisingStopsTheMusicOnceAndRestoringPlaysItUnlessTheSideHasNone)
{
    COUNTRYSTRUCT country{};
    country.nSide = 0;
    using A = MinimisedMusic::Action;
    MinimisedMusic music;
    EXPECT_EQ(music.OnPlacement(false, &country), A::None);
    EXPECT_EQ(music.OnPlacement(true, &country), A::Stop);
    EXPECT_EQ(music.OnPlacement(true, &country), A::None) << "minimised twice";
    EXPECT_TRUE(music.Stopped());
    EXPECT_EQ(music.OnPlacement(false, &country), A::Play);
    EXPECT_FALSE(music.Stopped());
    EXPECT_EQ(music.OnPlacement(false, &country), A::None);

    country.nSide = 2;
    EXPECT_EQ(music.OnPlacement(true, &country), A::Stop);
    EXPECT_EQ(music.OnPlacement(false, &country), A::None);
    EXPECT_FALSE(music.Stopped()) << "the flag clears without playing";

    // Without a current country the placement is not looked at.
    EXPECT_EQ(music.OnPlacement(true, nullptr), A::None);
    EXPECT_FALSE(music.Stopped());
}

TEST(FrameLogic, TheSecondPressOfADoubleClickIsNoClick)
{
    const int ms = 400;
    const SizeI box{4, 4};
    const struct {
        const char* name;
        long long time;
        PointI at;
        bool click;
    } presses[] = {
        {"first", 1000, {50, 50}, true},
        {"second of a double click", 1200, {51, 49}, false},
        {"third, right after", 1300, {51, 49}, false},
        {"after the double-click time", 1800, {51, 49}, true},
        {"soon, but elsewhere", 1900, {80, 49}, true},
        {"a clock that went back", 1000, {80, 49}, true},
    };
    PressFilter filter;
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(filter.IsClick(p.time, p.at, ms, box), p.click);
    }
}

TEST(FrameTables, TheStagedPicturesHoldAnImageForEveryButton)
{
    auto load = [](const std::string& name, CDib& dib) {
        return dib.CreateFromPXS(nullptr, platform::FromNativePath(viewtest::StageFolder() + "/" + name));
    };
    CDib toolbar;
    ASSERT_TRUE(load(ToolbarPictureName(), toolbar));
    int images = 0;
    for (const BarButton& b : ToolbarButtons()) images += b.id != 0;
    EXPECT_EQ(toolbar.GetWidth(), images * kToolbarImageSize);
    EXPECT_EQ(toolbar.GetHeight(), kToolbarImageSize);
    for (const CommandBarSpec& bar : CommandBars()) {
        SCOPED_TRACE(bar.bitmap);
        CDib dib;
        ASSERT_TRUE(load(CommandBarPictureName(bar), dib));
        EXPECT_EQ(dib.GetWidth(), static_cast<int>(bar.buttons.size()) * kBarImageSize);
        EXPECT_EQ(dib.GetHeight(), kBarImageSize);
    }
    CDib icon;
    EXPECT_TRUE(load(ProgramIconPictureName(), icon));
}

// The commands that carry a menu text in the game's own tables.
const std::map<int, std::string>& CommandsWithMenuText()
{
    static const std::map<int, std::string> texts = {
        // The file commands and the application.
        {57600, "シナリオ選択..."},
        {57601, "ゲーム再開 (&O)..."},
        {57604, "ゲーム保存 (&S)..."},
        {32862, "再開"},
        {57664, "バージョン情報(&A)"},
        // The document.
        {32789, "天候"},
        {32922, "昼夜"},
        {32843, "初級"},
        {32844, "中級"},
        {32845, "上級"},
        {32799, "確認ウィンドウ"},
        {32824, "エラーメッセージ"},
        {32831, "性能表の武装欄をつめない"},
        {32832, "進化表に自ユニット表示"},
        {32834, "対空防御射撃選択"},
        {32856, "次部隊時にポインタも移動"},
        {32878, "部隊表に未配置ユニット表示"},
        {32873, "自動選択"},
        {32874, "攻撃力重視"},
        {32875, "優先順位重視"},
        {32876, "手動"},
        {32877, "反撃しない"},
        {32892, "国操作..."},
        {32895, "降伏"},
        {32901, "タイトル画面に戻る(&M)"},
        {32908, "タイトル画面に戻らない"},
        {32909, "パスワード変更"},
        {32938, "史実の出来事表示"},
        {32935, "大勝利残ターン表示"},
        {32937, "次ターン天候予測"},
        // The view's toggles and tables.
        {32771, "ヘックスライン"},
        {32776, "ユニット表示"},
        {32777, "縮小マップ"},
        {32778, "ビューマップ"},
        {32779, "ＨＱマップ"},
        {32780, "旗"},
        {32781, "色"},
        {32783, "黄"},
        {32784, "青"},
        {32785, "灰"},
        {32786, "緑"},
        {32787, "赤"},
        {32855, "道路を常に表示"},
        {32867, "進入不可表示"},
        {32887, "標準(320x240)"},
        {32888, "拡大"},
        {32889, "効果音"},
        {32890, "ＢＧＭ"},
        {32891, "ＢＧＭ設定..."},
        {32898, "常に表示"},
        {32899, "自国のみ"},
        {32900, "表示なし"},
        {32915, "ＨＱマップ (ＣＰＵ手番)"},
        {32916, "ＨＱマップ(高速)"},
        {32917, "ビューマップ (ＣＰＵ手番)"},
        {32879, "戦力表..."},
        {32883, "兵器表..."},
        {32880, "クリック復活"},
        {32788, "フェイズ終了"},
        // The unit commands.
        {32934, "次部隊"},
        {32795, "次部隊(&N)"},
        {32933, "召還"},
        {32928, "潜航"},
        {32927, "浮上"},
        {32868, "全自動開始(&G)"},
        {32866, "全移動"},
        {32851, "全工事"},
        {32852, "全占領"},
        {32830, "全補給"},
        {32794, "首都(&C)"},
        {32800, "部隊表"},
        {32864, "開発表"},
        {32885, "地形表..."},
        {32827, "状況表"},
        {32825, "生産(&P)..."},
        {32826, "配置(&A)..."},
        {32816, "処分"},
        {32815, "改良"},
        {32810, "補給"},
        {32812, "性能"},
        {32814, "進化"},
        {32829, "武装"},
        {32804, "投棄"},
        {32809, "合流"},
        {32818, "搭載"},
        {32805, "占領"},
        {32803, "攻撃"},
        {32807, "爆撃"},
        {32808, "降車"},
        {32813, "行軍"},
        {32802, "移動"},
        {32833, "移動終了"},
        {32806, "工事"},
        {32836, "路線設置"},
        {32837, "路線撤去"},
        {32838, "地形修復"},
        {32839, "耐久増加"},
        {32840, "要塞設置"},
        {32841, "要塞撤去"},
        {32931, "空港設置"},
        {32932, "空港撤去"},
        {32819, "行動終了"},
        // The frame.
        {32820, "CmdWnd1表示"},
        {32822, "CmdWnd2表示"},
        {32823, "CmdWnd1受取"},
        {32886, "サウンドテスト"},
        {32919, "トピックの検索(&H)"},
        {57665, "ゲーム終了(&X)"},
    };
    return texts;
}

TEST(BattleMenuTable, EveryCommandWithAMenuTextIsThereOnceWithItsText)
{
    std::map<int, std::string> found;
    for (const MenuLine& l : BattleMenuBar()) {
        if (l.row != MenuRow::Item && l.row != MenuRow::Check) continue;
        EXPECT_TRUE(found.emplace(l.id, l.text).second) << "twice: " << l.id;
    }
    EXPECT_EQ(found, CommandsWithMenuText());
}

TEST(BattleMenuTable, TheTrimmedItemsAreLeftOutButTheirKeysStay)
{
    const std::vector<int> ids = MenuCommandIds(BattleMenuBar());
    for (int trimmed : {32772, 32775}) {
        SCOPED_TRACE(trimmed);
        EXPECT_EQ(std::count(ids.begin(), ids.end(), trimmed), 0);
        EXPECT_FALSE(AcceleratorText(trimmed).empty());
    }
    for (const MenuLine& l : BattleMenuBar()) {
        if (l.text == nullptr) continue;
        const std::string t = l.text;
        EXPECT_EQ(t.find("チェック保存"), std::string::npos) << t;
        EXPECT_EQ(t.find("ﾃﾞﾊﾞｯｸﾞ"), std::string::npos) << t;
    }
}

TEST(BattleMenuTable, PopupsNestAndCloseAndTheSixthIsTheExitPopup)
{
    int depth = 0, topLevel = 0;
    std::string sixth;
    for (const MenuLine& l : BattleMenuBar()) {
        if (l.row == MenuRow::Popup) {
            if (depth == 0 && ++topLevel == 6) sixth = l.text;
            ++depth;
        } else if (l.row == MenuRow::End) {
            ASSERT_GT(depth, 0);
            --depth;
        } else {
            EXPECT_GT(depth, 0) << "every item lies in a popup";
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(sixth, "終了(&E)");
}

TEST(BattleMenuTable, TheKeys)
{
    const std::map<char, int> want = {{'O', 57601}, {'S', 57604}, {'H', 32771}, {'F', 32772}, {'V', 32775},
                                      {'U', 32776}, {'M', 32777}, {'N', 32795}, {'G', 32868}, {'C', 32794},
                                      {'L', 32800}, {'P', 32825}, {'A', 32826}};
    std::map<char, int> got;
    for (const MenuAccelerator& a : BattleAccelerators())
        EXPECT_TRUE(got.emplace(a.key, a.id).second) << a.key;
    EXPECT_EQ(got, want);
    EXPECT_EQ(AcceleratorText(57601), "Ctrl+O");
    EXPECT_EQ(AcceleratorText(32788), "");
}

TEST(BattleMenuTable, TheMapsContextMenu)
{
    EXPECT_EQ(MenuCommandIds(MapContextMenu()), (std::vector<int>{32795, 32794, 32825, 32826, 32788}));
    int separators = 0;
    for (const MenuLine& l : MapContextMenu()) separators += l.row == MenuRow::Separator;
    EXPECT_EQ(separators, 2);
}

TEST(FrameTables, TheToolbarAndTheFiveBars)
{
    std::vector<int> toolbar;
    for (const BarButton& b : ToolbarButtons()) toolbar.push_back(b.id);
    EXPECT_EQ(toolbar, (std::vector<int>{57601, 57604, 0, 32795, 32794, 0, 32777, 32775, 32772, 0, 32800, 0,
                                         32868, 0, 32788, 0, 32919}));
    const struct {
        int control, bitmap;
        uint32_t bit;
        size_t buttons;
        std::string caption;
    } bars[] = {{59394, 142, 0x800, 20, "コマンド"},
                {59396, 155, 0x400, 2, "コマンド"},
                {59395, 143, 0x1000, 10, "コマンド"},
                {59397, 170, 0x200, 2, "コマンド"},
                {59398, 176, 0x100, 8, "工事"}};
    ASSERT_EQ(CommandBars().size(), std::size(bars));
    for (size_t i = 0; i < std::size(bars); ++i) {
        SCOPED_TRACE(bars[i].control);
        const CommandBarSpec& b = CommandBars()[i];
        EXPECT_EQ(b.controlId, bars[i].control);
        EXPECT_EQ(b.bitmap, bars[i].bitmap);
        EXPECT_EQ(b.stateBit, bars[i].bit);
        EXPECT_EQ(b.buttons.size(), bars[i].buttons);
        EXPECT_EQ(CommandBarCaption(b), bars[i].caption);
        EXPECT_EQ(FindCommandBar(b.toggleCommand), &b);
    }
    EXPECT_EQ(FindCommandBar(32823), &CommandBars()[0]);
    EXPECT_EQ(FindCommandBar(kCmdCatchDisposeBar), &CommandBars()[1]);
    EXPECT_EQ(FindCommandBar(32802), nullptr);
    // The catch command of the dispose bar is no menu command.
    const std::vector<int> ids = MenuCommandIds(BattleMenuBar());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), kCmdCatchDisposeBar), 0);
}

TEST(CommandRouterTest, AnIdWithoutAHandlerIsGreyedAndTheTestRunsAgainBeforeTheAction)
{
    CommandRouter router;
    EXPECT_FALSE(router.State(32771).enabled);
    EXPECT_FALSE(router.Run(32771));

    bool enabled = true, mark = false;
    int runs = 0;
    router.Add(32771, {[&] { return enabled; }, [&] { return mark; }, [&] { ++runs; }});
    EXPECT_TRUE(router.State(32771).enabled);
    EXPECT_FALSE(router.State(32771).checked);
    mark = true;
    EXPECT_TRUE(router.State(32771).checked);
    EXPECT_TRUE(router.Run(32771));
    // A key arrives with no menu shown: the test is made again.
    enabled = false;
    EXPECT_FALSE(router.Run(32771));
    EXPECT_EQ(runs, 1);

    // No enable test: always on; an action may remove its own handler.
    router.Add(57665, {nullptr, nullptr, [&] { router.Remove(57665); }});
    EXPECT_TRUE(router.Run(57665));
    EXPECT_FALSE(router.Has(57665));
}

TEST(CommandRouterTest, TheDocumentsCommandsGoThroughItsOwnTable)
{
    CZRKGameDoc doc;
    CommandRouter router;
    router.AddDocumentCommands(doc);
    for (int id : CZRKGameDoc::CommandIds()) EXPECT_TRUE(router.Has(id)) << id;
    // 史実の出来事表示: always enabled, marked by the option bit it toggles.
    doc.m_dwGameOption = 0;
    EXPECT_TRUE(router.State(32938).enabled);
    EXPECT_FALSE(router.State(32938).checked);
    EXPECT_TRUE(router.Run(32938));
    EXPECT_TRUE(router.State(32938).checked);
    // パスワード変更 is refused outside multi-play.
    EXPECT_FALSE(router.Run(32909));
}

}  // namespace
}  // namespace zrv
