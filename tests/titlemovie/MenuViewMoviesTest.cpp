// The menu view's side of the movies: the view makes the title dialog on the
// window it is given, and the routines reach the view's own music, effects
// device and movie locator.
#include <gtest/gtest.h>

#include "menu/MenuFixture.h"
#include "titlemovie/TitleMovieFakes.h"

namespace menutest {
namespace {

using testtitle::FakeMovies;
using testtitle::FakePump;
using testtitle::FakeWindow;

class MenuViewMovies : public MenuFixture {
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        // The program folder is the game disc, with the opening movie.
        std::filesystem::create_directories(folder / "ZRM");
        std::filesystem::create_directories(folder / "MOVIE");
        std::ofstream(folder / "ZRM" / "Setup.exe") << "setup";
        std::ofstream(folder / "MOVIE" / "OPENING.MPG") << "movie";
        if (const char* d = std::getenv("VELMORATH_DISC")) keptDisc = d;
        ::unsetenv("VELMORATH_DISC");
        SetMovies(&movies);
    }
    void TearDown() override
    {
        view.reset();
        SetMovies(nullptr);
        if (!keptDisc.empty()) ::setenv("VELMORATH_DISC", keptDisc.c_str(), 1);
        MenuFixture::TearDown();
    }
    // The view as the program wires it, its window kept here.
    void MakeWired(uint32_t code)
    {
        Make(code);
        auto w = std::make_unique<FakeWindow>(pump);
        window = w.get();
        view->SetMovieSeams(std::move(w), &pump, [this](bool shown) { cursor.push_back(shown); });
        view->OnInitialUpdate();
    }

    FakePump pump;
    FakeMovies movies{pump};
    FakeWindow* window = nullptr;
    std::vector<bool> cursor;
    std::string keptDisc;
};

TEST_F(MenuViewMovies, WithoutAWindowNoDialogIsMadeAndTheSequenceReturnsAtOnce)
{
    Make(GMC_FIRSTSTART);
    view->OnInitialUpdate();
    EXPECT_EQ(view->TitleDialog(), nullptr);
    view->RunTitleSequence(1);
    view->PlayMovieOverBackdrop("OPENING.MPG");
    EXPECT_EQ(movies.plays, 0);
    EXPECT_EQ(view->SceneFlags() & 0x70000u, 0u);
}

TEST_F(MenuViewMovies, TheTitleSequencePlaysTheOpeningFromTheDiscAndGivesBackMusicAndSound)
{
    // Back from a battle with music on: track 1 plays.
    block.WriteU32(offsetof(GAMEMENUSTRUCT, dwViewOption), kViewFlagsDefault | kOptionMusic);
    MakeWired(GMC_RETURNTOTITLE);
    ASSERT_NE(view->TitleDialog(), nullptr);
    ASSERT_TRUE(view->SceneFlags() & kSceneCDPlaying);
    ASSERT_TRUE(view->Sound().SoundReady());
    const size_t tracks = audio.tracksPlayed.size();

    // A click once the dialog waits for one ends the sequence.
    bool wasClickable = false, soundWhilePlaying = true;
    uint32_t deviceWhilePlaying = 0;
    pump.script[200] = [&] {
        wasClickable = view->TitleDialog()->Clickable();
        soundWhilePlaying = view->Sound().SoundReady();
        deviceWhilePlaying = view->MovieDevice();
        view->TitleDialog()->OnLButtonDown();
    };
    view->RunTitleSequence(1);

    EXPECT_TRUE(wasClickable);
    EXPECT_FALSE(soundWhilePlaying) << "the movie had the effects device";
    EXPECT_EQ(deviceWhilePlaying, 7u);
    EXPECT_EQ(movies.closed, std::vector<uint32_t>{7});
    EXPECT_EQ(view->MovieDevice(), 0u);
    EXPECT_EQ(view->SceneFlags() & 0x70000u, 0u);
    EXPECT_TRUE(view->Sound().SoundReady()) << "the effects device is back";
    EXPECT_FALSE(window->exists);
    // The music stopped for the dialog plays its track again.
    ASSERT_EQ(audio.tracksPlayed.size(), tracks + 1);
    EXPECT_EQ(audio.tracksPlayed.back(), 1);
    EXPECT_TRUE(view->SceneFlags() & kSceneCDPlaying);
    // The pointer was hidden for the movie and shown after it.
    EXPECT_EQ(cursor, (std::vector<bool>{false, true}));
    // On a 1024 x 768 screen the middle three quarters.
    ASSERT_EQ(movies.placed.size(), 1u);
    EXPECT_EQ(movies.placed[0], (MovieRect{128, 96, 768, 576}));
}

TEST_F(MenuViewMovies, TheViewsEndNoticeReachesTheRoutinesOnlyForItsOwnMovie)
{
    MakeWired(GMC_FIRSTSTART);
    int playsBefore = 0, playsAfterStranger = 0, playsAfterOwn = 0;
    pump.script[100] = [&] {
        playsBefore = movies.plays;
        view->OnMCINotify(99);  // no movie of the view's: nothing happens
        playsAfterStranger = movies.plays;
        view->OnMCINotify(view->MovieDevice());  // its own looping movie plays again
        playsAfterOwn = movies.plays;
        view->TitleDialog()->OnLButtonDown();
    };
    view->RunTitleSequence(0);
    EXPECT_EQ(playsAfterStranger, playsBefore);
    EXPECT_EQ(playsAfterOwn, playsBefore + 1);
    EXPECT_EQ(view->MovieDevice(), 0u);
    EXPECT_FALSE(window->exists);

    // A movie over the backdrop plays once and gives the sound back; one
    // that is not there plays nothing.
    const int plays = movies.plays;
    view->PlayMovieOverBackdrop("OPENING.MPG");
    EXPECT_EQ(movies.plays, plays + 1);
    EXPECT_EQ(view->MovieDevice(), 0u);
    EXPECT_FALSE(window->exists);
    EXPECT_TRUE(view->Sound().SoundReady());
    view->PlayMovieOverBackdrop("NOSUCH.MPG");
    EXPECT_EQ(movies.plays, plays + 1);
    EXPECT_TRUE(view->Sound().SoundReady());
}

}  // namespace
}  // namespace menutest
