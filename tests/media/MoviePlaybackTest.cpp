// Playing movies through the programs' movie device, with a window that only
// records what it is shown, and the dummy sound driver.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "MovieFiles.h"
#include "MovieHostFakes.h"
#include "foundation/Movie.h"
#include "platform/audio/SdlAudio.h"
#include "platform/wx/MediaMovies.h"

using platform::MediaMovies;

namespace {

using testmedia::Recorded;
using testmedia::RecordingSink;
using testmedia::TestHost;

class MoviePlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        testmedia::Folder();
        audio = platform::CreateSdlAudioBackend();
        platform::SetAudio(audio.get());
    }
    void TearDown() override { platform::SetAudio(nullptr); }

    std::unique_ptr<platform::AudioBackend> audio;
    TestHost host;
};

TEST_F(MoviePlayback, EachPlayEndsOnceAndARewoundPlayAgain)
{
    MediaMovies movies(host);
    int error = -1;
    const uint32_t device = movies.Open(nullptr, testmedia::Movie("OPENING.MPG"), error);
    ASSERT_NE(device, 0u);
    EXPECT_EQ(error, 0);
    int w = 0, h = 0;
    EXPECT_EQ(movies.SourceSize(device, w, h), 0);
    EXPECT_EQ(w, moviegen::kWidth);
    EXPECT_EQ(h, moviegen::kHeight);
    EXPECT_EQ(movies.Place(device, {80, 60, 480, 360}), 0);
    EXPECT_EQ(host.rec.rect, (zrv::MovieRect{80, 60, 480, 360}));

    std::vector<uint32_t> ended;
    auto notify = [&](uint32_t d) { ended.push_back(d); };
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(movies.Play(device, notify, false, false), 0);
    EXPECT_TRUE(host.rec.shown);
    ASSERT_TRUE(host.TurnUntil([&] { return !ended.empty(); }));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(ended, std::vector<uint32_t>{device});
    // It plays in its own time, and shows its pictures in order.
    EXPECT_GT(took, 3.5);
    EXPECT_LT(took, 8.0);
    ASSERT_GE(host.rec.numbers.size(), 20u);
    for (size_t i = 1; i < host.rec.numbers.size(); ++i)
        EXPECT_GT(host.rec.numbers[i], host.rec.numbers[i - 1]);
    EXPECT_GE(host.rec.numbers.back(), moviegen::kFrames - 2);
    for (int i = 0; i < 30; ++i) host.Turn();
    EXPECT_EQ(ended.size(), 1u) << "one notice per play";

    host.rec.numbers.clear();
    ASSERT_EQ(movies.Rewind(device), 0);
    ASSERT_EQ(movies.Play(device, notify, false, false), 0);
    ASSERT_TRUE(host.TurnUntil([&] { return ended.size() == 2; }));
    // The second play is the first again: from the start, in its own time.
    EXPECT_EQ(host.rec.numbers.front(), 0);
    EXPECT_GE(host.rec.numbers.size(), 40u);
    for (int i = 0; i < 30; ++i) host.Turn();
    EXPECT_EQ(ended.size(), 2u);
    movies.Close(device);
    EXPECT_EQ(host.rec.alive, 0) << "the window goes with the device";
}

TEST_F(MoviePlayback, AClosedPlayIsNeverAnnouncedAndItsThreadIsJoined)
{
    MediaMovies movies(host);
    int error = 0;
    const uint32_t device = movies.Open(nullptr, testmedia::Movie("Hs410622.AVI"), error);
    ASSERT_NE(device, 0u);
    int ended = 0;
    ASSERT_EQ(movies.Play(
                  device, [&](uint32_t) { ++ended; }, true, false),
              0);
    EXPECT_TRUE(host.rec.fullScreen);
    ASSERT_TRUE(host.TurnUntil([&] { return host.rec.numbers.size() >= 3; }));
    movies.Close(device);  // joins the worker before it returns
    EXPECT_EQ(movies.OpenCount(), 0u);
    EXPECT_EQ(host.rec.alive, 0);
    for (int i = 0; i < 50; ++i) host.Turn();
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(host.tick) << "nothing left to tick";
    EXPECT_EQ(movies.Play(device, nullptr, false, false), platform::kMediaBadDevice);
}

TEST_F(MoviePlayback, PlayWithWaitReturnsAtTheEndAndAnnouncesAfterwards)
{
    MediaMovies movies(host);
    int error = 0;
    const uint32_t device = movies.Open(nullptr, testmedia::Movie("Hs410622.AVI"), error);
    ASSERT_NE(device, 0u);
    int ended = 0;
    ASSERT_EQ(movies.Play(
                  device, [&](uint32_t) { ++ended; }, false, true),
              0);
    EXPECT_EQ(host.loops, 1);
    EXPECT_GE(host.rec.numbers.size(), 20u);
    EXPECT_EQ(ended, 0) << "the notice comes once the call has returned";
    host.Turn();
    EXPECT_EQ(ended, 1);
    movies.Close(device);
}

TEST_F(MoviePlayback, DevicesAreNeverZeroAndFilesThatAreNoMovieAreRefused)
{
    MediaMovies movies(host);
    const auto dir = testmedia::Folder() / "MOVIE";
    testmedia::Write(dir / "LETTER.AVI", {'h', 'e', 'l', 'l', 'o', '\n'});
    testmedia::Write(dir / "NOTHING.AVI", {});
    testmedia::Write(dir / "VOICE.AVI", testmedia::SoundOnlyWave());
    for (const char* name : {"LETTER.AVI", "NOTHING.AVI", "VOICE.AVI", "MISSING.MPG"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(movies.CanOpen(testmedia::Movie(name)));
        int error = 0;
        EXPECT_EQ(movies.Open(nullptr, testmedia::Movie(name), error), 0u);
        EXPECT_EQ(error, platform::kMediaCannotOpenMovie);
    }
    EXPECT_TRUE(movies.CanOpen(testmedia::Movie("OPENING.MPG")));
    std::vector<uint32_t> ids;
    for (int i = 0; i < 3; ++i) {
        int error = 0;
        ids.push_back(movies.Open(nullptr, testmedia::Movie("Hs410622.AVI"), error));
        EXPECT_NE(ids.back(), 0u);
        EXPECT_LE(ids.back(), 0xFFFFu);
    }
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_NE(ids[1], ids[2]);
    for (uint32_t id : ids) movies.Close(id);
}

TEST_F(MoviePlayback, APausedMovieHoldsItsPicture)
{
    MediaMovies movies(host);
    int error = 0;
    const uint32_t device = movies.Open(nullptr, testmedia::Movie("OPENING.MPG"), error);
    ASSERT_NE(device, 0u);
    ASSERT_EQ(movies.Play(device, nullptr, false, false), 0);
    ASSERT_TRUE(host.TurnUntil([&] { return host.rec.numbers.size() >= 3; }));
    movies.PauseAll(true);
    const size_t held = host.rec.numbers.size();
    for (int i = 0; i < 100; ++i) host.Turn();  // about a third of a second
    EXPECT_LE(host.rec.numbers.size(), held + 1);
    movies.PauseAll(false);
    ASSERT_TRUE(host.TurnUntil([&] { return host.rec.numbers.size() >= held + 5; }));
    movies.Close(device);
}

TEST(MoviePlacement, TheWholeScreenShowsTheLargestCentredFourByThree)
{
    EXPECT_EQ(zrv::FullScreenMovieRect({1920, 1080}), (zrv::MovieRect{240, 0, 1440, 1080}));
    EXPECT_EQ(zrv::FullScreenMovieRect({640, 480}), (zrv::MovieRect{0, 0, 640, 480}));
    EXPECT_EQ(zrv::FullScreenMovieRect({1280, 1024}), (zrv::MovieRect{0, 32, 1280, 960}));
    EXPECT_EQ(zrv::FullScreenMovieRect({0, 0}), (zrv::MovieRect{0, 0, 0, 0}));
}

}  // namespace
