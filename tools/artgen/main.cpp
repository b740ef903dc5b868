// artgen <output folder> <content folder>: writes every picture and palette
// of both programs into the output folder. The content folder holds the data
// library's tables; the terrain colours, the overview colours of the
// terrains and the pictures the endings name are taken from them.
#include <cstdio>
#include <string>

#include "tools/artgen/Art.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen <output folder> <content folder>\n");
        return 2;
    }
    std::string dir = argv[1];
    artgen::ContentInputs content;
    if (!artgen::ReadContent(argv[2], content)) return 1;
    platform::ColorTable game = artgen::GamePalette(content.terrain82);
    // The menu's palettes keep the battle palette's indexes for the pictures
    // both programs share (flags, units, sheets, weapon icons).
    for (const char* name : {"Game2.PLB", "Title2.PLB", "Menu.PLB", "TIRNLOGO.PLB", "Credit2.PLB", "EndingZ.PLB",
                             "EndingU.PLB"})
        if (!artgen::WritePlb(dir + "/" + name, game)) return 1;
    if (!artgen::MakeBattleArt(dir, content) || !artgen::MakeDialogArt(dir) ||
        !artgen::MakeEndingArt(dir, content, game) || !artgen::MakeMenuArt(dir) || !artgen::MakeFrameArt(dir))
        return 1;
    std::printf("artgen: %zu files written to %s\n", artgen::WrittenFiles().size(), dir.c_str());
    return 0;
}
