// moviegen <program folder>
// Writes our sample movies into the program folder's "MOVIE" folder: the
// opening movie and the event movie of the sample's first historical event.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/moviegen/MovieGen.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: moviegen <program folder>\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "MOVIE";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string why;
    int failed = 0;
    if (!moviegen::WriteOpening((folder / "OPENING.MPG").string(), why)) {
        std::fprintf(stderr, "moviegen: OPENING.MPG: %s\n", why.c_str());
        ++failed;
    }
    if (!moviegen::WriteEventMovie((folder / "Hs410622.AVI").string(), why)) {
        std::fprintf(stderr, "moviegen: Hs410622.AVI: %s\n", why.c_str());
        ++failed;
    }
    return failed == 0 ? 0 : 1;
}
