#pragma once
// Checks that a data library and a program folder agree: every table entry
// that points into a picture finds its picture, and the cell lies inside it;
// every picture, palette, sound and music file the tables name is there. Each
// fault is one line naming the table entry and the file.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/DataLibrary.h"
#include "foundation/Dib.h"

namespace contenttest {

// The staged program folder, read through the programs' own picture and
// palette readers. Pictures are read once and kept.
class ArtFolder {
public:
    // nativeDir: the folder as the file system names it.
    explicit ArtFolder(const std::string& nativeDir);

    // The folder's CP932 path ending in '\', as the programs build paths.
    const std::string& Folder() const { return m_folder; }
    bool Exists(const std::string& relPath) const;
    // The picture, or null when it is missing or does not load.
    zrv::CDib* Picture(const std::string& name);
    // "terrain.pxs" stacked over "terrain0.pxs", as the map view loads it.
    zrv::CDib* TerrainStore();
    bool PaletteLoads(const std::string& name);

private:
    std::string m_folder;
    std::vector<zrv::RgbQuad> m_table;  // the battle palette's colours
    std::map<std::string, std::unique_ptr<zrv::CDib>> m_pictures;
    std::map<std::string, bool> m_palettes;
};

std::vector<std::string> CheckArtAgreement(const zrv::DataLibrary& lib, ArtFolder& art);

}  // namespace contenttest
