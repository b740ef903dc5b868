#pragma once
// The battle program's menus and keys as tables: the menu bar, its
// accelerators and the map's context menu. Texts are CP932; the wx frame
// builds its menus from these rows and routes every id through one router.

#include <span>
#include <string>
#include <vector>

namespace zrv {

// One row of a menu table. A popup row opens a popup that runs to its End
// row (popups may nest); a separator row draws a bar.
enum class MenuRow { Popup, Item, Check, Separator, End };

struct MenuLine {
    MenuRow row;
    int id;            // Item and Check rows
    const char* text;  // Popup, Item and Check rows
};

// The menu bar, popup by popup.
std::span<const MenuLine> BattleMenuBar();

// A key of the accelerator table: Ctrl + key.
struct MenuAccelerator {
    char key;  // 'A'..'Z'
    int id;
};
std::span<const MenuAccelerator> BattleAccelerators();
// Keys of debugging aids that no menu carries (Ctrl + key); each command
// does nothing unless its setting turns it on.
std::span<const MenuAccelerator> BattleDebugKeys();
// The unit data editor of the selected unit (Ctrl+E, setting "UnitDataEdit").
inline constexpr int kCmdUnitDataEdit = 32990;
// The key text shown beside a menu item ("Ctrl+O"), empty when it has none.
std::string AcceleratorText(int id);

// The map's context menu (menu 133): one popup.
std::span<const MenuLine> MapContextMenu();

// Every command id of a table's items, in order.
std::vector<int> MenuCommandIds(std::span<const MenuLine> table);

// Command ids of the map's context menu.
inline constexpr int kCmdNextUnitKey = 32795;  // 次部隊(&N)
inline constexpr int kCmdCapital = 32794;      // 首都(&C)
inline constexpr int kCmdProduce = 32825;      // 生産(&D)...
inline constexpr int kCmdDeploy = 32826;       // 配置(&P)...
inline constexpr int kCmdEndPhase = 32788;     // フェイズ終了(&E)
// The view's display toggles and switches.
inline constexpr int kCmdHexLines = 32771;          // ヘックスライン
inline constexpr int kCmdOwnerFlags = 32772;        // 旧国旗表示
inline constexpr int kCmdShowUnits = 32776;         // ユニット表示
inline constexpr int kCmdFlagMarks = 32780;         // 旗
inline constexpr int kCmdColourMarks = 32781;       // 色
inline constexpr int kCmdMarkYellow = 32783;        // 黄; 青 灰 緑 赤 follow
inline constexpr int kCmdRoadsAlways = 32855;       // 道路を常に表示
inline constexpr int kCmdNoEntryMarks = 32867;      // 進入不可表示
inline constexpr int kCmdClickRestore = 32880;      // クリック復活
inline constexpr int kCmdMovieStandard = 32887;     // 標準(320x240)
inline constexpr int kCmdMovieLarge = 32888;        // 拡大
inline constexpr int kCmdSoundEffects = 32889;      // 効果音
inline constexpr int kCmdMusic = 32890;             // ＢＧＭ
inline constexpr int kCmdPlaceNamesAlways = 32898;  // 常に表示
inline constexpr int kCmdPlaceNamesOwn = 32899;     // 自国のみ
inline constexpr int kCmdPlaceNamesNone = 32900;    // 表示なし
// The map the view shows.
inline constexpr int kCmdOldHqView = 32775;    // 旧ＨＱ表示
inline constexpr int kCmdViewMap = 32778;      // ビューマップ
inline constexpr int kCmdHqMap = 32779;        // ＨＱマップ
inline constexpr int kCmdCpuHqMap = 32915;     // ＨＱマップ (ＣＰＵ手番)
inline constexpr int kCmdCpuHqMapFast = 32916; // ＨＱマップ(高速)
inline constexpr int kCmdCpuViewMap = 32917;   // ビューマップ (ＣＰＵ手番)
// The frame's own commands.
inline constexpr int kCmdSoundTest = 32886;        // サウンドテスト: does nothing
inline constexpr int kCmdHelpFinder = 32919;       // トピックの検索(&H)
inline constexpr int kCmdGameExit = 57665;         // ゲーム終了(&X)
inline constexpr int kCmdAppAbout = 57664;         // バージョン情報(&A)
inline constexpr int kCmdBigVictoryTurns = 32935;  // taken off unless the start asks to keep it

}  // namespace zrv
