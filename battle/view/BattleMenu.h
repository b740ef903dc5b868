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
// The frame's own commands.
inline constexpr int kCmdSoundTest = 32886;        // サウンドテスト: does nothing
inline constexpr int kCmdHelpFinder = 32919;       // トピックの検索(&H)
inline constexpr int kCmdGameExit = 57665;         // ゲーム終了(&X)
inline constexpr int kCmdAppAbout = 57664;         // バージョン情報(&A)
inline constexpr int kCmdBigVictoryTurns = 32935;  // taken off unless the start asks to keep it

}  // namespace zrv
