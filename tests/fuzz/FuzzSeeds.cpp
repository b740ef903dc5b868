// Writes the seed corpus of the reader fuzz targets: one scrambled and one
// plain file of each kind, from our own writers, into <dir>/<kind>/.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "datafiles/FixtureLibrary.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    zrv::SetLib(&datafiles_test::FixtureLibrary());
    const std::filesystem::path root = argv[1];
    // Which corpus folders take a file, by its extension.
    const std::pair<const char*, const char*> folders[] = {
        {".DG2", "game"},     {".SC2", "scenario"},     {".SC2", "scenario_check"},
        {".DC2", "campaign"}, {".ADW", "weapon_guide"}, {".MB2", "map"},
    };
    for (const auto& seed : datafiles_test::SeedFiles()) {
        for (const auto& [ext, folder] : folders) {
            if (!seed.name.ends_with(ext)) continue;
            std::filesystem::create_directories(root / folder);
            std::ofstream out(root / folder / seed.name, std::ios::binary);
            out.write(reinterpret_cast<const char*>(seed.bytes.data()),
                      static_cast<std::streamsize>(seed.bytes.size()));
            if (!out) {
                std::fprintf(stderr, "cannot write %s\n", (root / folder / seed.name).c_str());
                return 1;
            }
        }
    }
    return 0;
}
