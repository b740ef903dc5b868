// Decoding one picture of each sample movie and converting it to a 640 x 480
// window picture (32-bit and 24-bit), as the movie player's thread does.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/core/Paths.h"
#include "platform/media/MovieDecoder.h"

namespace {

using platform::media::MovieDecoder;
using platform::media::PixelFormat;

void DecodePictures(benchmark::State& state, const char* name, PixelFormat format)
{
    platform::SetProgramFolder(VELMORATH_BENCH_STAGE_DIR);
    std::string why;
    auto decoder = MovieDecoder::Open(platform::MoviePath(name), &why);
    if (!decoder) {
        state.SkipWithError(("the sample movie is not there: " + why).c_str());
        return;
    }
    decoder->SetVideoOutput(format, 640, 480);
    platform::media::VideoFrame frame;
    platform::media::SoundChunk sound;
    for (auto _ : state) {
        for (;;) {
            auto item = decoder->Next(frame, sound);
            if (item == MovieDecoder::Item::Video) break;
            if (item == MovieDecoder::Item::End) {
                state.PauseTiming();
                decoder->Rewind();
                state.ResumeTiming();
            }
        }
        benchmark::DoNotOptimize(frame.pixels.data());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(DecodePictures, mpeg1_rgb32, "OPENING.MPG", PixelFormat::Rgb32);
BENCHMARK_CAPTURE(DecodePictures, mpeg1_rgb24, "OPENING.MPG", PixelFormat::Rgb24);
BENCHMARK_CAPTURE(DecodePictures, msvideo1_rgb32, "Hs410622.AVI", PixelFormat::Rgb32);
BENCHMARK_CAPTURE(DecodePictures, msvideo1_rgb24, "Hs410622.AVI", PixelFormat::Rgb24);

}  // namespace
