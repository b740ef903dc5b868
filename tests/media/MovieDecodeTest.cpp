// Decoding our sample movies, and refusing what is not one.
#include <gtest/gtest.h>

#include <random>

#include "MovieFiles.h"
#include "platform/media/MovieDecoder.h"

using platform::media::DisplayFormat;
using platform::media::MovieDecoder;
using platform::media::PixelFormat;
using platform::media::SoundChunk;
using platform::media::VideoFrame;

namespace {

struct Decoded {
    std::vector<int> numbers;  // the block row of each picture, in order
    std::vector<double> times;
    int width = 0, height = 0;
    size_t soundFrames = 0;
    int soundRate = 0;
    std::string failure;
};

Decoded DecodeAll(MovieDecoder& d, int limit = 100000)
{
    Decoded out;
    d.SetVideoOutput(PixelFormat::Rgb24);
    out.soundRate = d.SoundOutputRate();
    VideoFrame f;
    SoundChunk s;
    for (int items = 0; items < limit; ++items) {
        auto item = d.Next(f, s);
        if (item == MovieDecoder::Item::End) break;
        if (item == MovieDecoder::Item::Video) {
            out.width = f.width;
            out.height = f.height;
            out.numbers.push_back(moviegen::ReadFrameNumber(f.width, f.height, f.pixels.data(), f.stride));
            out.times.push_back(f.time);
        } else {
            out.soundFrames += s.samples.size() / 2;
        }
    }
    out.failure = d.Failure();
    return out;
}

TEST(MovieDecoder, SampleMoviesDecodeToTheirPicturesAndSound)
{
    for (const char* name : {"OPENING.MPG", "Hs410622.AVI"}) {
        SCOPED_TRACE(name);
        std::string why;
        auto d = MovieDecoder::Open(testmedia::Movie(name), &why);
        ASSERT_TRUE(d) << why;
        EXPECT_EQ(d->Info().width, moviegen::kWidth);
        EXPECT_EQ(d->Info().height, moviegen::kHeight);
        EXPECT_TRUE(d->Info().hasSound);
        EXPECT_NEAR(d->Info().frameRate, moviegen::kFrameRate, 0.01);

        Decoded got = DecodeAll(*d);
        EXPECT_EQ(got.failure, "");
        EXPECT_EQ(got.width, moviegen::kWidth);
        EXPECT_EQ(got.height, moviegen::kHeight);
        // Every picture, in order, each saying its own number.
        ASSERT_GE(got.numbers.size(), static_cast<size_t>(moviegen::kFrames - 1));
        ASSERT_LE(got.numbers.size(), static_cast<size_t>(moviegen::kFrames));
        for (size_t i = 0; i < got.numbers.size(); ++i) {
            EXPECT_EQ(got.numbers[i], static_cast<int>(i)) << "picture " << i;
            EXPECT_NEAR(got.times[i], static_cast<double>(i) / moviegen::kFrameRate, 0.05) << "picture " << i;
        }
        const double picture = static_cast<double>(moviegen::kFrames) / moviegen::kFrameRate;
        ASSERT_GT(got.soundRate, 0);
        EXPECT_NEAR(static_cast<double>(got.soundFrames) / got.soundRate, picture, 0.1);
    }
}

TEST(MovieDecoder, ConvertsToTheAskedFormatAndSizeAndRewinds)
{
    auto d = MovieDecoder::Open(testmedia::Movie("Hs410622.AVI"));
    ASSERT_TRUE(d);
    ASSERT_TRUE(d->SetVideoOutput(PixelFormat::Rgb32, 640, 480));
    ASSERT_TRUE(d->SetSoundOutput(44100));
    EXPECT_FALSE(d->SetVideoOutput(PixelFormat::Rgb32, 0, 480)) << "a size of 0 is refused";
    VideoFrame f;
    SoundChunk s;
    int pictures = 0;
    while (pictures < 5) {
        auto item = d->Next(f, s);
        ASSERT_NE(item, MovieDecoder::Item::End);
        if (item == MovieDecoder::Item::Video) ++pictures;
    }
    EXPECT_EQ(f.width, 640);
    EXPECT_EQ(f.height, 480);
    EXPECT_EQ(f.stride, 640 * 4);
    EXPECT_GE(f.pixels.size(), 640u * 480u * 4u);
    // The first bar is near-white: B, G, R, unused.
    EXPECT_GT(f.pixels[0], 200);
    EXPECT_GT(f.pixels[2], 200);

    ASSERT_TRUE(d->Rewind());
    d->SetVideoOutput(PixelFormat::Rgb24);
    for (;;) {
        auto item = d->Next(f, s);
        ASSERT_NE(item, MovieDecoder::Item::End);
        if (item == MovieDecoder::Item::Video) break;
    }
    EXPECT_EQ(moviegen::ReadFrameNumber(f.width, f.height, f.pixels.data(), f.stride), 0);
    EXPECT_EQ(d->SoundOutputRate(), 44100) << "the settings survive a rewind";
}

TEST(MovieDecoder, FilesAreJudgedByTheirContentsNotTheirNames)
{
    const auto dir = testmedia::Folder() / "MOVIE";
    // An MPEG program stream called AVI plays.
    testmedia::Write(dir / "MISNAMED.AVI", testmedia::Bytes(dir / "OPENING.MPG"));
    auto d = MovieDecoder::Open(testmedia::Movie("MISNAMED.AVI"));
    ASSERT_TRUE(d);
    EXPECT_GE(DecodeAll(*d).numbers.size(), static_cast<size_t>(moviegen::kFrames - 1));

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const std::string text = "This is a letter, not a movie.\r\nRIFF AVI LIST\r\n";
    std::vector<uint8_t> opening = testmedia::Bytes(dir / "OPENING.MPG");
    std::vector<uint8_t> avi = testmedia::Bytes(dir / "Hs410622.AVI");
    Case refused[] = {
        {"TEXT.AVI", {text.begin(), text.end()}},       {"EMPTY.AVI", {}},
        {"SOUND.AVI", testmedia::SoundOnlyWave()},      {"HEAD.MPG", {opening.begin(), opening.begin() + 40}},
        {"HEAD.AVI", {avi.begin(), avi.begin() + 100}},
    };
    for (auto& c : refused) {
        SCOPED_TRACE(c.name);
        testmedia::Write(dir / c.name, c.bytes);
        std::string why;
        EXPECT_FALSE(MovieDecoder::Open(testmedia::Movie(c.name), &why));
        EXPECT_FALSE(why.empty());
    }
    EXPECT_FALSE(MovieDecoder::Open(testmedia::Movie("NOFILE.MPG")));
}

TEST(MovieDecoder, TruncatedMoviesEndEarlyButCleanly)
{
    const auto dir = testmedia::Folder() / "MOVIE";
    for (const char* name : {"OPENING.MPG", "Hs410622.AVI"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes = testmedia::Bytes(dir / name);
        bytes.resize(bytes.size() / 2);
        auto d = MovieDecoder::OpenBytes(bytes);
        if (!d) continue;  // refused is as good as ended
        Decoded got = DecodeAll(*d);
        EXPECT_LT(got.numbers.size(), static_cast<size_t>(moviegen::kFrames));
        // What is there comes in order (the cut may show its last picture twice).
        int last = -1;
        for (size_t i = 0; i < got.numbers.size(); ++i) {
            if (got.numbers[i] < 0) continue;
            EXPECT_GE(got.numbers[i], last);
            EXPECT_LE(got.numbers[i], static_cast<int>(i));
            last = got.numbers[i];
        }
    }
}

// A short run of the open-and-decode wrapper over damaged copies of the
// samples: each must be refused or end, never crash or hang.
TEST(MovieDecoder, DamagedCopiesAreRefusedOrEndCleanly)
{
    const auto dir = testmedia::Folder() / "MOVIE";
    std::mt19937 rng(20261211);
    int opened = 0;
    for (const char* name : {"OPENING.MPG", "Hs410622.AVI"}) {
        const std::vector<uint8_t> clean = testmedia::Bytes(dir / name);
        for (int round = 0; round < 40; ++round) {
            std::vector<uint8_t> bytes = clean;
            const int kind = round % 4;
            const int flips = 1 + static_cast<int>(rng() % 64);
            for (int i = 0; i < flips; ++i) {
                size_t at = rng() % bytes.size();
                // Damage the headers most: that is where sizes and counts live.
                if (kind == 0) at %= std::min<size_t>(bytes.size(), 4096);
                bytes[at] = static_cast<uint8_t>(kind == 1 ? 0xFF : rng());
            }
            if (kind == 3) bytes.resize(rng() % bytes.size());
            auto d = MovieDecoder::OpenBytes(std::move(bytes));
            if (!d) continue;
            ++opened;
            // A bound well above the real count: a decoder that never ends fails.
            Decoded got = DecodeAll(*d, 20000);
            EXPECT_LT(got.numbers.size(), 2000u);
        }
    }
    EXPECT_GT(opened, 0) << "some damage should still leave a playable movie";
}

TEST(MovieDecoder, PicturesArriveInTheDisplaysOwnLayout)
{
    struct Case {
        DisplayFormat display;
        std::optional<PixelFormat> want;
    } cases[] = {
        {{16, 0xF800, 0x07E0}, PixelFormat::Rgb565},  {{16, 0x7C00, 0x03E0}, PixelFormat::Rgb555},
        {{16, 0xF000, 0x0F00}, std::nullopt},         {{24, 0xFF0000, 0xFF00}, PixelFormat::Rgb24},
        {{32, 0xFF0000, 0xFF00}, PixelFormat::Rgb32}, {{8, 0, 0}, std::nullopt},
        {{15, 0x7C00, 0x03E0}, std::nullopt},
    };
    const PixelFormat all[] = {PixelFormat::Rgb32, PixelFormat::Rgb24, PixelFormat::Rgb565,
                               PixelFormat::Rgb555};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.display.bitsPerPixel);
        EXPECT_EQ(platform::media::OutputFormatFor(c.display), c.want);
        for (PixelFormat f : all)
            EXPECT_EQ(platform::media::AcceptsPicture(c.display, f), c.want && *c.want == f);
    }
}

}  // namespace
