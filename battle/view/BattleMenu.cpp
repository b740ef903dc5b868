#include "battle/view/BattleMenu.h"

#include <vector>

namespace zrv {
namespace {

constexpr MenuLine Popup(const char* text)
{
    return {MenuRow::Popup, 0, text};
}
constexpr MenuLine Item(int id, const char* text)
{
    return {MenuRow::Item, id, text};
}
constexpr MenuLine Check(int id, const char* text)
{
    return {MenuRow::Check, id, text};
}
constexpr MenuLine Bar()
{
    return {MenuRow::Separator, 0, nullptr};
}
constexpr MenuLine End()
{
    return {MenuRow::End, 0, nullptr};
}

// clang-format off
const MenuLine kMenuBar[] = {
    Popup("ファイル(&F)"),
        Item(57600, "シナリオ選択..."),
        Item(57601, "ゲーム再開 (&O)..."),
        Item(57604, "ゲーム保存 (&S)..."),
        Bar(),
        Item(32862, "再開"),
    End(),
    Popup("ゲーム(&G)"),
        Item(32788, "フェイズ終了"),
        Bar(),
        Check(32789, "天候"),
        Check(32922, "昼夜"),
        Popup("索敵"),
            Check(32843, "初級"),
            Check(32844, "中級"),
            Check(32845, "上級"),
        End(),
        Bar(),
        Item(32892, "国操作..."),
        Item(32895, "降伏"),
        Bar(),
        Item(32935, "大勝利残ターン表示"),
        Item(32937, "次ターン天候予測"),
        Check(32938, "史実の出来事表示"),
        Bar(),
        Item(32909, "パスワード変更"),
    End(),
    Popup("部隊(&U)"),
        Item(32795, "次部隊(&N)"),
        Item(32934, "次部隊"),
        Item(32794, "首都(&C)"),
        Bar(),
        Item(32802, "移動"),
        Item(32833, "移動終了"),
        Item(32803, "攻撃"),
        Item(32805, "占領"),
        Item(32807, "爆撃"),
        Item(32810, "補給"),
        Item(32829, "武装"),
        Item(32812, "性能"),
        Item(32808, "降車"),
        Item(32818, "搭載"),
        Item(32809, "合流"),
        Item(32804, "投棄"),
        Item(32813, "行軍"),
        Item(32928, "潜航"),
        Item(32927, "浮上"),
        Item(32814, "進化"),
        Item(32815, "改良"),
        Item(32816, "処分"),
        Item(32933, "召還"),
        Item(32819, "行動終了"),
        Popup("工事"),
            Item(32806, "工事"),
            Bar(),
            Item(32836, "路線設置"),
            Item(32837, "路線撤去"),
            Item(32838, "地形修復"),
            Item(32839, "耐久増加"),
            Item(32840, "要塞設置"),
            Item(32841, "要塞撤去"),
            Item(32931, "空港設置"),
            Item(32932, "空港撤去"),
        End(),
        Bar(),
        Item(32825, "生産(&P)..."),
        Item(32826, "配置(&A)..."),
        Bar(),
        Item(32868, "全自動開始(&G)"),
        Check(32866, "全移動"),
        Check(32851, "全工事"),
        Check(32852, "全占領"),
        Check(32830, "全補給"),
        Bar(),
        Item(32820, "CmdWnd1表示"),
        Item(32822, "CmdWnd2表示"),
        Item(32823, "CmdWnd1受取"),
    End(),
    Popup("表示(&V)"),
        Check(32771, "ヘックスライン"),
        Check(32776, "ユニット表示"),
        Check(32777, "縮小マップ"),
        Bar(),
        Check(32778, "ビューマップ"),
        Check(32779, "ＨＱマップ"),
        Popup("ＣＰＵ手番"),
            Check(32915, "ＨＱマップ (ＣＰＵ手番)"),
            Check(32916, "ＨＱマップ(高速)"),
            Check(32917, "ビューマップ (ＣＰＵ手番)"),
        End(),
        Bar(),
        Check(32780, "旗"),
        Check(32781, "色"),
        Check(32855, "道路を常に表示"),
        Check(32867, "進入不可表示"),
        Popup("ウィンドウ色"),
            Check(32783, "黄"),
            Check(32784, "青"),
            Check(32785, "灰"),
            Check(32786, "緑"),
            Check(32787, "赤"),
        End(),
        Bar(),
        Check(32800, "部隊表"),
        Check(32864, "開発表"),
        Check(32885, "地形表..."),
        Check(32827, "状況表"),
        Item(32879, "戦力表..."),
        Item(32883, "兵器表..."),
        Bar(),
        Item(32880, "クリック復活"),
    End(),
    Popup("オプション(&O)"),
        Check(32799, "確認ウィンドウ"),
        Check(32824, "エラーメッセージ"),
        Check(32831, "性能表の武装欄をつめない"),
        Check(32832, "進化表に自ユニット表示"),
        Check(32834, "対空防御射撃選択"),
        Check(32856, "次部隊時にポインタも移動"),
        Check(32878, "部隊表に未配置ユニット表示"),
        Popup("反撃"),
            Check(32873, "自動選択"),
            Check(32874, "攻撃力重視"),
            Check(32875, "優先順位重視"),
            Check(32876, "手動"),
            Check(32877, "反撃しない"),
        End(),
        Bar(),
        Check(32889, "効果音"),
        Check(32890, "ＢＧＭ"),
        Item(32891, "ＢＧＭ設定..."),
        Item(32886, "サウンドテスト"),
        Popup("ムービー"),
            Check(32887, "標準(320x240)"),
            Check(32888, "拡大"),
        End(),
        Popup("戦闘シーン"),
            Check(32898, "常に表示"),
            Check(32899, "自国のみ"),
            Check(32900, "表示なし"),
        End(),
    End(),
    Popup("終了(&E)"),
        Item(57665, "ゲーム終了(&X)"),
        Bar(),
        Item(32901, "タイトル画面に戻る(&M)"),
        Check(32908, "タイトル画面に戻らない"),
    End(),
    Popup("ヘルプ(&H)"),
        Item(32919, "トピックの検索(&H)"),
        Bar(),
        Item(57664, "バージョン情報(&A)"),
    End(),
};

const MenuAccelerator kAccelerators[] = {
    {'O', 57601}, {'S', 57604}, {'H', 32771}, {'F', 32772}, {'V', 32775}, {'U', 32776}, {'M', 32777},
    {'N', 32795}, {'G', 32868}, {'C', 32794}, {'L', 32800}, {'P', 32825}, {'A', 32826},
};

const MenuLine kContextMenu[] = {
    Popup(""),
        Item(kCmdNextUnitKey, "次部隊(&N)"),
        Item(kCmdCapital, "首都(&C)"),
        Bar(),
        Item(kCmdProduce, "生産(&D)..."),
        Item(kCmdDeploy, "配置(&P)..."),
        Bar(),
        Item(kCmdEndPhase, "フェイズ終了(&E)"),
    End(),
};
// clang-format on

}  // namespace

std::span<const MenuLine> BattleMenuBar()
{
    return kMenuBar;
}

std::span<const MenuAccelerator> BattleAccelerators()
{
    return kAccelerators;
}

std::span<const MenuAccelerator> BattleDebugKeys()
{
    static const MenuAccelerator keys[] = {{'E', kCmdUnitDataEdit}};
    return keys;
}

std::string AcceleratorText(int id)
{
    for (const MenuAccelerator& a : kAccelerators)
        if (a.id == id) return std::string("Ctrl+") + a.key;
    return {};
}

std::span<const MenuLine> MapContextMenu()
{
    return kContextMenu;
}

std::vector<int> MenuCommandIds(std::span<const MenuLine> table)
{
    std::vector<int> ids;
    for (const MenuLine& l : table)
        if (l.row == MenuRow::Item || l.row == MenuRow::Check) ids.push_back(l.id);
    return ids;
}

}  // namespace zrv
