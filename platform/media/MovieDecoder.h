#pragma once
// One movie file, decoded in the calling thread: its first video stream as
// frames converted to an RGB format and size of the caller's choice, and its
// first sound stream as 16-bit stereo PCM at a rate of the caller's choice,
// each with its presentation time from the stream. Files are recognised by
// their contents, never by their name. The end of the file, a read error and
// a decode error all end the movie the same way.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::media {

// Pixel layouts a picture can be converted into; rows run top-down.
enum class PixelFormat {
    Rgb32,   // 4 bytes: B, G, R, unused (little-endian 0x00RRGGBB)
    Rgb24,   // 3 bytes: R, G, B
    Rgb565,  // 2 bytes, little-endian
    Rgb555,  // 2 bytes, little-endian, top bit unused
};
int BytesPerPixel(PixelFormat format);

// A display's pixel layout: bits per pixel and, for 16 bits, the red and
// green masks that tell 5-6-5 from 5-5-5.
struct DisplayFormat {
    int bitsPerPixel = 32;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
};
// The only layout a picture may arrive in for the display: 16 bits take
// 5-6-5 or 5-5-5 by their masks, 24 and 32 bits theirs; nothing for another
// depth (or 16-bit masks of neither kind).
std::optional<PixelFormat> OutputFormatFor(const DisplayFormat& display);
// Whether a picture of format is accepted on the display.
bool AcceptsPicture(const DisplayFormat& display, PixelFormat format);

// The largest movie side taken from a file; anything larger (or 0) is
// damage, refused before any buffer is made.
inline constexpr int kMaxMovieSide = 4096;

struct MovieInfo {
    int width = 0;
    int height = 0;
    double frameRate = 0;  // frames a second; 0 when the file does not say
    double duration = 0;   // seconds; 0 when the file does not say
    bool hasSound = false;
    int soundRate = 0;  // of the file's sound
};

struct VideoFrame {
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes a row
    PixelFormat format = PixelFormat::Rgb32;
    double time = 0;  // seconds from the start of the movie
    std::vector<uint8_t> pixels;
};

struct SoundChunk {
    double time = 0;
    std::vector<int16_t> samples;  // interleaved left, right
};

class MovieDecoder {
public:
    // Opens the movie at a CP932 path; null with why filled when the file
    // cannot be read or holds no decodable picture of a sane size.
    static std::unique_ptr<MovieDecoder> Open(std::string_view sjisPath, std::string* why = nullptr);
    // The same over bytes in memory (kept by the decoder).
    static std::unique_ptr<MovieDecoder> OpenBytes(std::vector<uint8_t> bytes, std::string* why = nullptr);
    virtual ~MovieDecoder() = default;

    virtual const MovieInfo& Info() const = 0;
    // Pictures come out in format at width x height (0 keeps the movie's own).
    virtual bool SetVideoOutput(PixelFormat format, int width = 0, int height = 0) = 0;
    // Sound comes out as stereo at rate (0 keeps the file's rate).
    virtual bool SetSoundOutput(int rate) = 0;
    virtual int SoundOutputRate() const = 0;

    enum class Item { Video, Sound, End };
    // Decodes until a picture or a piece of sound is ready; End when the file
    // is over or cannot be read or decoded any further (why says which).
    virtual Item Next(VideoFrame& frame, SoundChunk& sound) = 0;
    // Back to the start; false when the file cannot seek (the movie is over).
    virtual bool Rewind() = 0;
    // Why the last End came: empty for the end of the file.
    virtual const std::string& Failure() const = 0;
};

}  // namespace platform::media
