#pragma once
// Our own sample sounds: short synthesized effects for every entry of the
// data library's sound list and a few short music tracks, all plain PCM
// .WAV files (22,050 Hz, 8 bits, mono) so they stay small.

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

inline constexpr uint32_t kRate = 22050;
inline constexpr int kMusicTracks = 15;
// Without a sound list, the effects the game's code asks for by number.
inline constexpr int kFallbackEffects = 48;

struct Effect {
    int index = 0;
    std::string name;         // file name without ".WAV"; '\' may name a sub-folder
    std::string description;  // UTF-8, chooses the kind of sound
};

// The rows of the sound list (columns index,name,description; lines starting
// with '#' are comments). When the file cannot be read, the names
// "SE00".."SE47" with no descriptions.
std::vector<Effect> ReadWaveList(const std::string& csvPath);

// Unsigned 8-bit samples at kRate for one effect; the same every time.
std::vector<uint8_t> SynthesizeEffect(const Effect& effect);
// A tune of a few seconds for music track n (1..15).
std::vector<uint8_t> SynthesizeTrack(int track);

// A RIFF WAVE file of 8-bit mono samples at kRate.
std::vector<uint8_t> EncodeWave(const std::vector<uint8_t>& samples);

// Writes "<name>.WAV" for every effect and "Music/TrackNN.wav" for tracks
// 1..15 under outDir. Returns the number of files written; errors go to
// the message list.
int WriteAll(const std::vector<Effect>& effects, const std::string& outDir, std::vector<std::string>& errors);

}  // namespace soundgen
