// soundgen <sound list .csv> <program folder>
// Writes our synthesized effect files for every entry of the sound list and
// the music tracks into the program folder. A missing sound list is not an
// error: the effects "SE00".."SE47" are made instead.
#include <cstdio>

#include "tools/soundgen/SoundGen.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundgen <wave_files.csv> <program folder>\n");
        return 2;
    }
    auto effects = soundgen::ReadWaveList(argv[1]);
    std::vector<std::string> errors;
    int written = soundgen::WriteAll(effects, argv[2], errors);
    for (const auto& e : errors) std::fprintf(stderr, "soundgen: %s\n", e.c_str());
    std::printf("soundgen: %d files for %zu effects and %d music tracks\n", written, effects.size(),
                soundgen::kMusicTracks);
    return errors.empty() ? 0 : 1;
}
