// Saving and loading a game (.DG2) as the game does it: build the scrambled
// file with its check value and write it through the atomic write (temporary
// file, fsync, rename, folder sync); read it back, check and unscramble it.
// Beside them the check value alone, sixteen bytes a step as built and one byte
// a step as a baseline over the same bytes. The files go to /dev/shm when
// there is one, so the figures are the program's own work, not the disk's.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/DataFile.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/GameRecordCheck.h"
#include "platform/core/Paths.h"

namespace {

using namespace zrv;

struct Files {
    ScriptedDialogService dialogs;
    DataLibraryModule library;
    std::unique_ptr<GAMEDATASTRUCT> game = std::make_unique<GAMEDATASTRUCT>();
    std::filesystem::path folder;
    std::string path;

    Files()
    {
        SetDialogs(&dialogs);
        std::string why;
        if (!library.Open(std::string(VELMORATH_BENCH_STAGE_DIR) + "/" + kDataLibraryFile, &why))
            std::fprintf(stderr, "data library: %s\n", why.c_str());
        SetLib(&library.Tables());
        const std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
        folder = base / ("velmorath-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder / "Data");
        platform::SetProgramFolder(folder.string());
        path = platform::DataPath("BENCH.DG2");
        // A game of the size every save has; its bytes do not change the cost.
        std::memset(game.get(), 0, sizeof *game);
        game->dwGameOption = kOptionCampaign;
        game->nScenario = -1;
        if (!CheckGameData(*game, RecordLimits::FromLib(), &why)) std::fprintf(stderr, "game: %s\n", why.c_str());
    }
    ~Files()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        SetDialogs(nullptr);
    }
};

Files& TheFiles()
{
    static Files f;
    return f;
}

uint32_t BytewiseCrc(uint32_t crc, const uint8_t* p, size_t n)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i << 24;
            for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : (c << 1);
            t[i] = c;
        }
        return t;
    }();
    for (size_t i = 0; i < n; ++i) crc = table[(crc >> 24) ^ p[i]] ^ (crc << 8);
    return crc;
}

void BM_SaveGame(benchmark::State& state)
{
    Files& f = TheFiles();
    for (auto _ : state) benchmark::DoNotOptimize(WriteGameFile(f.path, *f.game));
}
BENCHMARK(BM_SaveGame)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& state)
{
    Files& f = TheFiles();
    WriteGameFile(f.path, *f.game);
    auto back = std::make_unique<GAMEDATASTRUCT>();
    int code = -1;
    for (auto _ : state) {
        code = ReadGameFile(f.path, *back, nullptr, UnitVersionPolicy::Ignore);
        benchmark::DoNotOptimize(code);
    }
    if (code != kFileOk) state.SkipWithError("the saved game was refused");
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

void BM_CheckValueSliced(benchmark::State& state)
{
    Files& f = TheFiles();
    const auto* p = reinterpret_cast<const uint8_t*>(f.game.get());
    for (auto _ : state) benchmark::DoNotOptimize(UpdateCrc32(0xFFFFFFFFu, 1, sizeof *f.game, p));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sizeof *f.game));
}
BENCHMARK(BM_CheckValueSliced)->Unit(benchmark::kMillisecond);

void BM_CheckValueBytewiseBaseline(benchmark::State& state)
{
    Files& f = TheFiles();
    const auto* p = reinterpret_cast<const uint8_t*>(f.game.get());
    if (~BytewiseCrc(0xFFFFFFFFu, p, sizeof *f.game) != UpdateCrc32(0xFFFFFFFFu, 1, sizeof *f.game, p))
        state.SkipWithError("the two check values differ");
    for (auto _ : state) benchmark::DoNotOptimize(BytewiseCrc(0xFFFFFFFFu, p, sizeof *f.game));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sizeof *f.game));
}
BENCHMARK(BM_CheckValueBytewiseBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
