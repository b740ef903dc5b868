// Pictures of the battle program's main frame: the program's icon, the
// toolbar's buttons (16 x 16) and the buttons of the five command bars
// (21 x 21), each strip in the frame's button order, index 0 transparent.
#include <vector>

#include "tools/artgen/Art.h"

namespace artgen {
namespace {

using namespace pal;

// One button: the character it shows, a mark beside it (+ build, - remove,
// 0 none) and the colour set of its face.
struct Glyph {
    const char* text;  // UTF-8
    char mark;
    int set;
};

// Colour sets by what a command does.
constexpr int kMove = 5, kFight = 1, kSupply = 3, kWork = 2, kTable = 6, kGame = 4, kEnd = 7;

// The toolbar: ゲーム再開, ゲーム保存, 次部隊, 首都, 縮小マップ, 旧ＨＱ表示,
// 旧国旗表示, 部隊表, 全自動開始, フェイズ終了, トピックの検索.
const Glyph kToolbar[] = {{u8"開", 0, kGame},  {u8"保", 0, kGame},  {u8"次", 0, kMove},  {u8"都", 0, kMove},
                          {u8"縮", 0, kTable}, {u8"Ｈ", 0, kTable}, {u8"旗", 0, kTable}, {u8"表", 0, kTable},
                          {u8"自", 0, kWork},  {u8"終", 0, kEnd},   {u8"？", 0, kGame}};

// The command bars, by their picture number.
const Glyph kBar142[] = {
    {u8"移", 0, kMove},   {u8"攻", 0, kFight}, {u8"占", 0, kFight}, {u8"爆", 0, kFight}, {u8"補", 0, kSupply},
    {u8"武", 0, kSupply}, {u8"性", 0, kTable}, {u8"工", 0, kWork},  {u8"降", 0, kMove},  {u8"合", 0, kSupply},
    {u8"投", 0, kSupply}, {u8"行", 0, kMove},  {u8"潜", 0, kMove},  {u8"浮", 0, kMove},  {u8"進", 0, kSupply},
    {u8"改", 0, kSupply}, {u8"処", 0, kEnd},   {u8"召", 0, kEnd},   {u8"次", 0, kMove},  {u8"終", 0, kEnd}};
const Glyph kBar143[] = {{u8"了", 0, kMove},   {u8"攻", 0, kFight}, {u8"占", 0, kFight}, {u8"爆", 0, kFight},
                         {u8"性", 0, kTable},  {u8"工", 0, kWork},  {u8"降", 0, kMove},  {u8"合", 0, kSupply},
                         {u8"投", 0, kSupply}, {u8"召", 0, kEnd}};
const Glyph kBar155[] = {{u8"処", 0, kEnd}, {u8"配", 0, kMove}};
const Glyph kBar170[] = {{u8"搭", 0, kMove}, {u8"性", 0, kTable}};
const Glyph kBar176[] = {{u8"路", '+', kWork}, {u8"路", '-', kWork}, {u8"修", 0, kWork},
                         {u8"耐", 0, kWork},   {u8"塞", '+', kWork}, {u8"塞", '-', kWork},
                         {u8"港", '+', kWork}, {u8"港", '-', kWork}};

// A bevelled button face in colour set `set` with its character in white.
void DrawButton(Surface8& s, int left, int size, const Glyph& g)
{
    Panel(s, {left, 0, left + size, size}, Set(g.set, 4), Set(g.set, 7), Set(g.set, 1));
    const int em = size >= 20 ? 14 : 12;
    const char* text = g.text;
    const int x = left + (size - TextWidth(text, em)) / 2 - (g.mark != 0 ? 2 : 0);
    const int y = (size - em) / 2;
    Text(s, x + 1, y + 1, text, em, Set(g.set, 0));
    Text(s, x, y, text, em, kWhite);
    if (g.mark != 0) {
        // A small plus or minus in the lower right corner.
        const int cx = left + size - 5, cy = size - 5;
        s.HLine(cx - 2, cx + 2, cy, kYellow);
        if (g.mark == '+') s.VLine(cx, cy - 2, cy + 2, kYellow);
    }
}

bool Strip(const std::string& dir, const char* name, int size, const Glyph* glyphs, size_t count)
{
    Surface8 s(size * static_cast<int>(count), size);
    for (size_t i = 0; i < count; ++i) DrawButton(s, static_cast<int>(i) * size, size, glyphs[i]);
    return Save(dir, name, s);
}

}  // namespace

bool MakeFrameArt(const std::string& dir)
{
    // The program's icon: a hex of grass under a red flag.
    Surface8 icon(32, 32);
    FillPolygon(icon, {{16, 1}, {30, 9}, {30, 23}, {16, 31}, {2, 23}, {2, 9}}, TerrainShade(Grass, 3));
    ThickLine(icon, 11, 6, 11, 26, 2, kInk);
    FillPolygon(icon, {{12, 6}, {25, 10}, {12, 15}}, kRed);
    if (!Save(dir, "Icon128.pxs", icon)) return false;

    return Strip(dir, "ToolBar128.pxs", 16, kToolbar, std::size(kToolbar)) &&
           Strip(dir, "CmdBar142.pxs", 21, kBar142, std::size(kBar142)) &&
           Strip(dir, "CmdBar143.pxs", 21, kBar143, std::size(kBar143)) &&
           Strip(dir, "CmdBar155.pxs", 21, kBar155, std::size(kBar155)) &&
           Strip(dir, "CmdBar170.pxs", 21, kBar170, std::size(kBar170)) &&
           Strip(dir, "CmdBar176.pxs", 21, kBar176, std::size(kBar176));
}

}  // namespace artgen
