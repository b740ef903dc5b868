#pragma once
// Shared pieces of the art generator: the palette layout every picture draws
// with, a few drawing helpers on top of the 8-bit surface, and the writers of
// the picture and palette files.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/Surface8.h"

namespace artgen {

using platform::Surface8;

// Palette layout of the battle palette "Game2.PLB" (the menu's palettes keep
// the same indexes wherever the shared pictures use them). Indexes 0-9 and
// 246-255 are the programs' static colours and are never drawn with; 0 is the
// transparent key.
namespace pal {
constexpr uint8_t kHexLine = 10;    // hex lines, dark gauge run
constexpr uint8_t kInk = 11;        // outlines
constexpr uint8_t kGrey1 = 12;      // dark grey
constexpr uint8_t kGrey2 = 13;
constexpr uint8_t kGaugeMid = 14;   // middle gauge run
constexpr uint8_t kGrey3 = 15;
constexpr uint8_t kGrey4 = 16;
constexpr uint8_t kSilver = 17;     // 191,191,191: text colour 6
constexpr uint8_t kGrey5 = 18;
constexpr uint8_t kWhite = 19;      // 254,254,254: text colour 5
constexpr uint8_t kTan = 20;
constexpr uint8_t kSteel = 21;
constexpr uint8_t kGaugeHigh = 22;  // bright gauge run
constexpr uint8_t kRed = 23;
constexpr uint8_t kBlue = 24;
constexpr uint8_t kPaper = 25;
// Sprite and icon colours: 9 shades, dark to light, of colour set 0; set s
// lies 9 x s higher (up to 97).
constexpr uint8_t kSet0 = 26;
constexpr int kSetCount = 8;
constexpr uint8_t Set(int set, int shade) { return uint8_t(kSet0 + 9 * set + shade); }
// Terrain colours 98-179, groups of the terrain colour table.
constexpr uint8_t kTerrain = 98;
enum Group { Grass, Forest, Farm, Desert, Rough, Mountain, Swamp, Shallow, Deep, City, Route, GroupCount };
uint8_t TerrainShade(int group, int shade);  // shade 0 (dark) .. GroupSize-1
int GroupSize(int group);
// Text colours 1-4, 7, 8 of the coloured-text helper, exact.
constexpr uint8_t kYellow = 180, kTextRed = 181, kTextBlue = 182, kTextGreen = 183, kDarkRed = 184, kDarkBlue = 185;
// Ramps of 16 (steel-blue window frames, wood and parchment), 12 (gold),
// 8 (fire) and 8 (sky and sea), dark to light.
constexpr uint8_t Frame(int i) { return uint8_t(186 + i); }
constexpr uint8_t Wood(int i) { return uint8_t(202 + i); }
constexpr uint8_t Gold(int i) { return uint8_t(218 + i); }
constexpr uint8_t Fire(int i) { return uint8_t(230 + i); }
constexpr uint8_t Sky(int i) { return uint8_t(238 + i); }
}  // namespace pal

// The 256-entry table of the battle palette (terrain set 0 from the CSV).
platform::ColorTable GamePalette(const std::vector<platform::RgbQuad>& terrain82);

// Helpers.
void FillCircle(Surface8& s, int cx, int cy, int r, uint8_t index);
void Circle(Surface8& s, int cx, int cy, int r, uint8_t index);
void FillPolygon(Surface8& s, const std::vector<std::pair<int, int>>& pts, uint8_t index);
void ThickLine(Surface8& s, int x0, int y0, int x1, int y1, int width, uint8_t index);
// A bevelled panel: light top-left edge, dark bottom-right edge, face inside.
void Panel(Surface8& s, platform::Rect r, uint8_t face, uint8_t light, uint8_t dark);
// Deterministic noise for textures.
uint32_t Hash(uint32_t a, uint32_t b, uint32_t c = 0);
// Text in the gothic face (UTF-8 source text converted to CP932), em px.
void Text(Surface8& s, int x, int y, const char* utf8, int em, uint8_t index, bool bold = false);
int TextWidth(const char* utf8, int em);

// Writers; each reports failure on stderr and returns false.
bool WritePxs(const std::string& path, const Surface8& s);
bool WritePlb(const std::string& path, const platform::ColorTable& t);

// Every generated file, checked at the end.
struct Written {
    std::string name;
    bool isPalette;
};
std::vector<Written>& WrittenFiles();
bool Save(const std::string& dir, const std::string& name, const Surface8& s);
// Flag f (0-7 colour marks, 8 + id national flags) drawn into cloth.
void FlagCloth(Surface8& s, int f, const platform::Rect& cloth);

// What the art takes from the data library's content tables, so that the
// pictures and the table entries that point into them come from one source.
struct ContentInputs {
    std::vector<platform::RgbQuad> terrain82;  // set 0 of terrain_colors.csv
    // terrain.csv smap by terrain index: palette indexes of the top-left,
    // top-right, bottom-left and bottom-right pixels of the overview map.
    std::array<std::array<uint8_t, 4>, 128> overview{};
    struct EndingPicture {
        std::string title, picture, palette;
    };
    std::vector<EndingPicture> endingPictures;  // ending_pictures.csv
};
// Reads the three tables from the content folder; false (with a message on
// stderr) when one is missing or damaged.
bool ReadContent(const std::string& contentDir, ContentInputs& out);

// Generators.
bool MakeBattleArt(const std::string& dir, const ContentInputs& content);
bool MakeDialogArt(const std::string& dir);
// The unit list's thirteen state icons.
bool MakeListIconArt(const std::string& dir);
bool MakeEndingArt(const std::string& dir, const ContentInputs& content, const platform::ColorTable& palette);
bool MakeMenuArt(const std::string& dir);
bool MakeFrameArt(const std::string& dir);

}  // namespace artgen
