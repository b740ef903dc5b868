#pragma once
// Our sample movies, drawn and sounded from nothing: colour bars, a disc that
// crosses them, the frame number written as a row of large saturated blocks
// (which survive any of the codecs), and a tone with a click at each second.

#include <cstdint>
#include <string>
#include <vector>

namespace moviegen {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 240;
inline constexpr int kFrameRate = 15;
inline constexpr int kFrames = 60;  // four seconds
inline constexpr int kNumberBits = 8;

// The picture of frame n, 24-bit RGB, top row first.
std::vector<uint8_t> DrawFrame(int n, int width, int height);
// The number the block row of a picture says, read from the middle of each
// block; -1 when a block is neither clearly set nor clearly clear.
int ReadFrameNumber(int width, int height, const uint8_t* rgb24, int stride);

// The sound of the movie: a 440 Hz tone with a click at each whole second,
// mono 16-bit at rate, seconds long.
std::vector<int16_t> MakeSound(int rate, double seconds);

// "OPENING.MPG": MPEG-1 video and MPEG-1 layer II sound in a program stream.
bool WriteOpening(const std::string& path, std::string& why);
// The event movie: MS Video 1 pictures and PCM sound in an AVI.
bool WriteEventMovie(const std::string& path, std::string& why);

}  // namespace moviegen
