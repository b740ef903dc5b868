// artgen <output folder> <terrain colour CSV>: writes every picture and
// palette of both programs into the output folder.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/artgen/Art.h"

namespace {

// Reads set k = 0 of the terrain colour table: 82 colours for entries 98-179.
bool ReadTerrainColours(const std::string& path, std::vector<platform::RgbQuad>& out)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "artgen: cannot open %s\n", path.c_str());
        return false;
    }
    out.assign(82, platform::RgbQuad{});
    std::vector<bool> seen(82, false);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == 'k') continue;
        std::istringstream ss(line);
        int k, entry, r, g, b;
        char c;
        if (!(ss >> k >> c >> entry >> c >> r >> c >> g >> c >> b)) continue;
        if (k != 0 || entry < 98 || entry > 179) continue;
        platform::RgbQuad q;
        q.rgbRed = uint8_t(r);
        q.rgbGreen = uint8_t(g);
        q.rgbBlue = uint8_t(b);
        out[size_t(entry - 98)] = q;
        seen[size_t(entry - 98)] = true;
    }
    for (size_t i = 0; i < seen.size(); ++i)
        if (!seen[i]) {
            std::fprintf(stderr, "artgen: %s has no colour for entry %zu of set 0\n", path.c_str(), 98 + i);
            return false;
        }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen <output folder> <terrain colour CSV>\n");
        return 2;
    }
    std::string dir = argv[1];
    std::vector<platform::RgbQuad> terrain;
    if (!ReadTerrainColours(argv[2], terrain)) return 1;
    platform::ColorTable game = artgen::GamePalette(terrain);
    // The menu's palettes keep the battle palette's indexes for the pictures
    // both programs share (flags, units, sheets, weapon icons).
    for (const char* name : {"Game2.PLB", "Title2.PLB", "Menu.PLB", "TIRNLOGO.PLB", "Credit2.PLB", "EndingZ.PLB",
                             "EndingU.PLB"})
        if (!artgen::WritePlb(dir + "/" + name, game)) return 1;
    if (!artgen::MakeBattleArt(dir) || !artgen::MakeDialogArt(dir) || !artgen::MakeMenuArt(dir)) return 1;
    std::printf("artgen: %zu files written to %s\n", artgen::WrittenFiles().size(), dir.c_str());
    return 0;
}
