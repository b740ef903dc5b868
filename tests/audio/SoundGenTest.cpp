// The generated sample sounds: every file is one our own reader plays.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "foundation/DirectSound.h"
#include "tools/soundgen/SoundGen.h"

namespace fs = std::filesystem;

namespace {

class SoundGen : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("velmorath-soundgen-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::vector<uint8_t> Read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Seconds of sound in a file our reader accepts; -1 when it refuses it.
    static double Seconds(const fs::path& p)
    {
        auto bytes = Read(p);
        platform::WaveFormat f;
        std::span<const uint8_t> data;
        if (!zrv::CDSBuffer::ParseWave(bytes, f, data)) return -1;
        return static_cast<double>(data.size()) / f.avgBytesPerSec;
    }

    fs::path dir;
};

TEST_F(SoundGen, WithoutASoundListTheNumberedEffectsAreMade)
{
    auto list = soundgen::ReadWaveList((dir / "missing.csv").string());
    ASSERT_EQ(list.size(), 48u);
    EXPECT_EQ(list.front().name, "SE00");
    EXPECT_EQ(list.back().name, "SE47");
    EXPECT_EQ(list[9].index, 9);
}

TEST_F(SoundGen, EveryFileOfTheListAndEveryTrackPlays)
{
    // The list is UTF-8, as the data library's content files are.
    std::ofstream(dir / "list.csv") << u8"# a comment, with a comma\n"
                                       "index,name,description\n"
                                       "0,SE00,決定\n"
                                       "1,\"Sub\\Boom\",\"爆発, big\"\n"
                                       "2,SE02,航空機の移動\n"
                                       "\n"
                                       "3,SE03,\n";
    auto list = soundgen::ReadWaveList((dir / "list.csv").string());
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].name, "Sub\\Boom");
    EXPECT_EQ(list[1].description, u8"爆発, big");

    fs::path out = dir / "stage";
    std::vector<std::string> errors;
    EXPECT_EQ(soundgen::WriteAll(list, out.string(), errors), 4 + soundgen::kMusicTracks);
    EXPECT_TRUE(errors.empty());
    for (const char* name : {"SE00.WAV", "Sub/Boom.WAV", "SE02.WAV", "SE03.WAV"}) {
        SCOPED_TRACE(name);
        double s = Seconds(out / name);
        EXPECT_GT(s, 0.01);
        EXPECT_LT(s, 2.0);
    }
    uintmax_t total = 0;
    for (int t = 1; t <= soundgen::kMusicTracks; ++t) {
        SCOPED_TRACE(t);
        fs::path p = out / "Music" / ((t < 10 ? "Track0" : "Track") + std::to_string(t) + ".wav");
        double s = Seconds(p);
        EXPECT_GT(s, 2.0);
        EXPECT_LT(s, 8.0);
        total += fs::file_size(p);
    }
    EXPECT_LT(total, 3u << 20) << "the music tracks are meant to be small";
    // The same files at every build.
    EXPECT_EQ(soundgen::SynthesizeEffect(list[1]), soundgen::SynthesizeEffect(list[1]));
    EXPECT_NE(soundgen::SynthesizeTrack(1), soundgen::SynthesizeTrack(2));
}

TEST_F(SoundGen, NamesLeavingTheProgramFolderAreRefused)
{
    std::vector<soundgen::Effect> list{{0, "..\\outside", ""}, {1, "/abs", ""}, {2, "", ""}};
    std::vector<std::string> errors;
    EXPECT_EQ(soundgen::WriteAll(list, (dir / "stage").string(), errors), soundgen::kMusicTracks);
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_FALSE(fs::exists(dir / "outside.WAV"));
}

TEST_F(SoundGen, TheGameSoundListIsCoveredWhenPresent)
{
    const char* src = std::getenv("VELMORATH_SOURCE_DIR");
    if (src == nullptr) GTEST_SKIP() << "VELMORATH_SOURCE_DIR not set";
    fs::path csv = fs::path(src) / "standins/zrvdata/content/wave_files.csv";
    if (!fs::exists(csv)) GTEST_SKIP() << "no sound list in this tree yet";
    auto list = soundgen::ReadWaveList(csv.string());
    // Effects up to 47 are asked for by number in the game's code.
    EXPECT_GE(list.size(), 48u);
    for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].index, static_cast<int>(i)) << list[i].name;
}

}  // namespace
