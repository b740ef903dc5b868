#include "battle/view/MainFrameLogic.h"

#include <algorithm>
#include <cstdlib>

#include "battle/engine/GameDoc.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

// The pointer's offset of a floating bar.
constexpr PointI kBarDropOffset{56, -10};

// Side 2 plays no music of its own.
constexpr int kSideWithoutMusic = 2;

// clang-format off
constexpr BarButton kToolbar[] = {
    {57601, "ゲーム再開"}, {57604, "ゲーム保存"}, {0, nullptr},
    {32795, "次部隊"}, {32794, "首都"}, {0, nullptr},
    {32777, "縮小マップ"}, {32775, "旧ＨＱ表示"}, {32772, "旧国旗表示"}, {0, nullptr},
    {32800, "部隊表"}, {0, nullptr},
    {32868, "全自動開始"}, {0, nullptr},
    {32788, "フェイズ終了"}, {0, nullptr},
    {32919, "トピックの検索"},
};

constexpr BarButton kMainBar[] = {
    {32802, "移動"}, {32803, "攻撃"}, {32805, "占領"}, {32807, "爆撃"}, {32810, "補給"},
    {32829, "武装"}, {32812, "性能"}, {32806, "工事"}, {32808, "降車"}, {32809, "合流"},
    {32804, "投棄"}, {32813, "行軍"}, {32928, "潜航"}, {32927, "浮上"}, {32814, "進化"},
    {32815, "改良"}, {32816, "処分"}, {32933, "召還"}, {32934, "次部隊"}, {32819, "行動終了"},
};
constexpr BarButton kMoveBar[] = {
    {32833, "移動終了"}, {32803, "攻撃"}, {32805, "占領"}, {32807, "爆撃"}, {32812, "性能"},
    {32806, "工事"}, {32808, "降車"}, {32809, "合流"}, {32804, "投棄"}, {32933, "召還"},
};
constexpr BarButton kDisposeBar[] = {{32816, "処分"}, {32826, "配置"}};
constexpr BarButton kLoadBar[] = {{32818, "搭載"}, {32812, "性能"}};
constexpr BarButton kBuildBar[] = {
    {32836, "路線設置"}, {32837, "路線撤去"}, {32838, "地形修復"}, {32839, "耐久増加"},
    {32840, "要塞設置"}, {32841, "要塞撤去"}, {32931, "空港設置"}, {32932, "空港撤去"},
};

constexpr CommandBarSpec kBars[] = {
    // control  bitmap  state   toggle  catch                buttons
    {59394,     142,    0x0800, 32820,  32823,               kMainBar},
    {59396,     155,    0x0400, 32821,  kCmdCatchDisposeBar, kDisposeBar},
    {59395,     143,    0x1000, 32822,  0,                   kMoveBar},
    {59397,     170,    0x0200, 32835,  0,                   kLoadBar},
    {59398,     176,    0x0100, 32842,  0,                   kBuildBar},
};
// clang-format on
static_assert(std::size(kMainBar) == 20 && std::size(kMoveBar) == 10 && std::size(kBuildBar) == 8);

// The build bar's control id: its caption differs.
constexpr int kBuildBarId = 59398;

}  // namespace

SplitRows SplitClientRows(int height, int splitBarHeight)
{
    const int h = std::max(height, 0);
    SplitRows rows;
    rows.status = h < kStatusPaneHeight ? h : kStatusPaneHeight;
    rows.map = std::max(0, h - kStatusPaneHeight - std::max(splitBarHeight, 0));
    return rows;
}

PointI GetBarDropPoint(PointI pointer)
{
    return {std::max(0, pointer.x + kBarDropOffset.x), std::max(0, pointer.y + kBarDropOffset.y)};
}

PointI ClampBarToWorkArea(PointI p, SizeI bar, SizeI workArea)
{
    if (p.x + bar.cx > workArea.cx) p.x = workArea.cx - bar.cx;
    if (p.y + bar.cy > workArea.cy) p.y = workArea.cy - bar.cy;
    // A bar larger than the area keeps its top-left corner on it.
    return {std::max(0, p.x), std::max(0, p.y)};
}

std::string FormatClock(int hour, int minute)
{
    return platform::FormatText("%2d:%02d", {hour, minute});
}

std::string MakeWindowTitle(std::string_view scenarioName)
{
    std::string title = kGameTitle;
    if (!scenarioName.empty()) {
        title += "  [ ";
        title += scenarioName;
        title += " ]";
    }
    return title;
}

FrameClose DecideFrameClose(uint32_t& viewState, bool minimised, bool maximised)
{
    if ((viewState & kViewCloseNow) == 0) {
        viewState |= kViewCloseRequested | kViewCloseNow;
        return FrameClose::Deferred;
    }
    return minimised || maximised ? FrameClose::Close : FrameClose::CloseKeepingRect;
}

MinimisedMusic::Action MinimisedMusic::OnPlacement(bool minimised, const COUNTRYSTRUCT* current)
{
    if (current == nullptr) return Action::None;
    if (minimised && m_bMinimizedStop == 0) {
        m_bMinimizedStop = 1;
        return Action::Stop;
    }
    if (m_bMinimizedStop == 1 && !minimised) {
        m_bMinimizedStop = 0;
        return current->nSide == kSideWithoutMusic ? Action::None : Action::Play;
    }
    return Action::None;
}

bool PressFilter::IsClick(long long timeMs, PointI p, int doubleClickMs, SizeI doubleClickBox)
{
    const bool repeat = m_bAny && timeMs - m_nLast >= 0 && timeMs - m_nLast <= doubleClickMs &&
                        std::abs(p.x - m_ptLast.x) * 2 <= doubleClickBox.cx &&
                        std::abs(p.y - m_ptLast.y) * 2 <= doubleClickBox.cy;
    m_bAny = true;
    m_nLast = timeMs;
    m_ptLast = p;
    return !repeat;
}

std::span<const BarButton> ToolbarButtons()
{
    return kToolbar;
}

std::span<const CommandBarSpec> CommandBars()
{
    return kBars;
}

const CommandBarSpec* FindCommandBar(int command)
{
    for (const CommandBarSpec& b : kBars)
        if (b.toggleCommand == command || (b.catchCommand != 0 && b.catchCommand == command)) return &b;
    return nullptr;
}

const char* CommandBarCaption(const CommandBarSpec& bar)
{
    return bar.controlId == kBuildBarId ? "工事" : "コマンド";
}

std::string HelpFilePath()
{
    return platform::ProgramFolder() + "ZRVHelp.hlp";
}

std::string ToolbarPictureName()
{
    return "ToolBar128.pxs";
}

std::string CommandBarPictureName(const CommandBarSpec& bar)
{
    return platform::FormatText("CmdBar%d.pxs", {bar.bitmap});
}

std::string ProgramIconPictureName()
{
    return "Icon128.pxs";
}

}  // namespace zrv
