// The battle view's historical-event movie on the programs' real movie
// device: the sample's event movie is found beside the program, takes the
// sound device, shows all its pictures in order, ends once and gives the
// sound back; at its own size it is placed in the middle of the view.
#include <gtest/gtest.h>

#include "MovieFiles.h"
#include "MovieHostFakes.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/GameRecords.h"
#include "platform/audio/SdlAudio.h"
#include "support/FixtureLibrary.h"

namespace zrv {
namespace {

class EventMoviePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        testmedia::Folder();
        SetLib(&zrvtest::FixtureLibrary());
        audio = platform::CreateSdlAudioBackend();
        platform::SetAudio(audio.get());
        movies = std::make_unique<platform::MediaMovies>(host);
        SetMovies(movies.get());
        view = std::make_unique<CZRKGameView>();
        view->SetClientSize(800, 600);
        view->Sound().InitDirectSound(true);
    }
    void TearDown() override
    {
        view.reset();
        SetMovies(nullptr);
        movies.reset();
        platform::SetAudio(nullptr);
        SetLib(nullptr);
    }

    std::unique_ptr<platform::AudioBackend> audio;
    testmedia::TestHost host;
    std::unique_ptr<platform::MediaMovies> movies;
    std::unique_ptr<CZRKGameView> view;
    // The sample's first historical event, in the morning.
    const uint32_t date = PackDate(41, 6, 22, 8);
};

TEST_F(EventMoviePlay, TheSampleEventMoviePlaysToItsEndAndGivesTheSoundBack)
{
    const struct {
        const char* name;
        bool standardSize;
    } cases[] = {{"filling the screen", false}, {"at its own size", true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(view->Sound().SoundReady());
        host.rec = {};
        view->m_dwDispOption = k.standardSize ? (kDispInitial | kDispMovieStandardSize) : kDispInitial;

        const uint32_t result = PlayHistoryMovie(date, *view);
        ASSERT_NE(result >> 16, 0u) << "result " << result;
        EXPECT_EQ(result & 0xFFFF, 0u);
        EXPECT_EQ(view->m_nMovieDevice, result >> 16);
        EXPECT_TRUE(view->m_dwState & kViewMoviePlaying);
        EXPECT_FALSE(view->Sound().SoundReady()) << "the movie has the sound device";
        EXPECT_EQ(host.rec.fullScreen, !k.standardSize);
        if (k.standardSize) {
            EXPECT_EQ(host.rec.rect, (MovieRect{240, 180, 320, 240}));
        }
        EXPECT_EQ(host.loops, 0) << "the view's movie plays without waiting";

        // The end closes the device and the sound comes back.
        ASSERT_TRUE(host.TurnUntil([&] { return view->m_nMovieDevice == 0; }));
        EXPECT_FALSE(view->m_dwState & kViewMoviePlaying);
        EXPECT_TRUE(view->Sound().SoundReady());
        EXPECT_EQ(movies->OpenCount(), 0u);
        EXPECT_EQ(host.rec.alive, 0) << "the movie's window went with it";
        // A loaded machine may drop pictures, never show them out of order.
        ASSERT_GE(host.rec.numbers.size(), 10u);
        for (size_t i = 1; i < host.rec.numbers.size(); ++i)
            EXPECT_GT(host.rec.numbers[i], host.rec.numbers[i - 1]);
        EXPECT_GE(host.rec.numbers.back(), moviegen::kFrames - 2);
    }
}

}  // namespace
}  // namespace zrv
