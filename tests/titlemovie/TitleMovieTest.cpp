// The title movie dialog's steps and the menu view's movie routines, with a
// fake window, event loop and movie device.
#include <gtest/gtest.h>

#include "TitleMovieFakes.h"

using namespace zrv;
using testtitle::Rig;

namespace {

enum class Movie { Found, Missing, Broken };

TEST(TitleSequence, EndsByTheRulesOfItsEndModeWhateverBecameOfTheMovie)
{
    struct Case {
        int endMode;
        Movie movie;
        int clickAt;     // turn of a click (0: none)
        bool clickable;  // after step 8
        int plays;       // movie plays started, at least
        int minTurns, maxTurns;
    } cases[] = {
        // End mode 1: the end timer 300 ticks after the movie step.
        {1, Movie::Found, 0, true, 2, 300, 330},
        {1, Movie::Missing, 0, true, 0, 300, 330},
        {1, Movie::Found, 100, true, 2, 100, 101},
        // The movie does not open: the sequence ends at once.
        {1, Movie::Broken, 0, false, 0, 10, 12},
        // End mode -1: one play, no click; without a movie it ends at once.
        {-1, Movie::Found, 0, false, 1, 10, 13},
        {-1, Movie::Found, 11, false, 1, 10, 13},
        {-1, Movie::Missing, 0, false, 0, 10, 12},
        {-1, Movie::Broken, 0, false, 0, 10, 12},
        // Any other end mode loops the movie until a click.
        {0, Movie::Found, 400, true, 5, 400, 401},
        {0, Movie::Missing, 50, true, 0, 50, 51},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "end mode " << c.endMode << ", movie " << static_cast<int>(c.movie)
                                        << ", click at " << c.clickAt);
        Rig rig;
        rig.view.movieThere = c.movie != Movie::Missing;
        rig.movies.failOpen = c.movie == Movie::Broken;
        rig.view.flags = kSceneCDPlaying | kSceneCDRepeat;
        if (c.clickAt) rig.pump.script[c.clickAt] = [&] { rig.dlg.OnLButtonDown(); };
        bool sawClickable = false;
        rig.pump.script[200] = [&] { sawClickable = rig.window.clickable; };
        rig.pump.script[12] = [&] { sawClickable = sawClickable || rig.window.clickable; };

        ASSERT_NO_THROW(rig.routines.RunTitleSequence(c.endMode));

        EXPECT_GE(rig.pump.turn, c.minTurns);
        EXPECT_LE(rig.pump.turn, c.maxTurns);
        EXPECT_GE(rig.movies.Plays(), c.plays);
        EXPECT_EQ(sawClickable, c.clickable);
        EXPECT_TRUE(rig.dlg.Finished());
        EXPECT_FALSE(rig.window.Exists()) << "the opener destroys the window";
        EXPECT_EQ(rig.view.flags & (kSceneMovieList | kSceneMovieLoops | kSceneMovieOpen), 0u);
        EXPECT_EQ(rig.view.device, 0u);
        EXPECT_TRUE(rig.movies.open.empty()) << "no movie is left open";
        // The music the dialog stopped plays again, once.
        EXPECT_EQ(rig.view.cdStops, 1);
        EXPECT_EQ(rig.view.cdPlays, 1);
        EXPECT_TRUE(rig.view.soundEnabled) << "the sound device is back";
        EXPECT_TRUE(rig.view.cursorShown);
    }
}

TEST(TitleSequence, ClicksCountOnlyFromTheEndSetUpOn)
{
    Rig rig;
    rig.pump.script[5] = [&] { rig.dlg.OnLButtonDown(); };  // during the opening wait
    rig.pump.script[40] = [&] { rig.dlg.OnLButtonDown(); };
    rig.routines.RunTitleSequence(0);
    EXPECT_EQ(rig.pump.turn, 40);
    EXPECT_EQ(rig.dlg.Step(), 0);
}

TEST(TitleSequence, MusicThatWasOffStaysOff)
{
    Rig rig;
    rig.routines.RunTitleSequence(1);
    EXPECT_EQ(rig.view.cdStops, 0);
    EXPECT_EQ(rig.view.cdPlays, 0);
    EXPECT_FALSE(rig.dlg.CDStopped());
}

TEST(TitleSequence, ASecondSequenceDoesNotInheritTheFirstsLoop)
{
    Rig rig;
    rig.routines.RunTitleSequence(1);
    ASSERT_EQ(rig.view.flags & kSceneMovieLoops, 0u);
    // End mode -1 plays once and ends with the movie's end.
    rig.pump.turn = 0;
    const int before = rig.movies.Plays();
    rig.routines.RunTitleSequence(-1);
    EXPECT_EQ(rig.movies.Plays(), before + 1);
    EXPECT_LE(rig.pump.turn, 13);
}

TEST(TitleSequence, AStepTimerThatCannotStartDoesNotHangTheSequence)
{
    Rig rig;
    rig.window.failTimer = true;
    rig.routines.RunTitleSequence(-1);
    EXPECT_EQ(rig.movies.Plays(), 1);
    EXPECT_LE(rig.pump.turn, 3);
}

TEST(TitleSequence, AWindowThatCannotBeMadeEndsTheLoopAfterOneEvent)
{
    Rig rig;
    rig.window.failCreate = true;
    rig.routines.PlayTitleDialogModal(1);
    EXPECT_EQ(rig.pump.turn, 1);
    EXPECT_EQ(rig.movies.Plays(), 0);
}

TEST(TitleSequence, TheModalWaitEndsWhenTheDialogClearsItsFlagAndDestroysTheWindow)
{
    Rig rig;
    rig.routines.PlayTitleDialogModal(-1);
    EXPECT_EQ(rig.view.flags & kSceneMovieList, 0u);
    EXPECT_EQ(rig.window.destroys, 1);
    EXPECT_FALSE(rig.window.Exists());
    EXPECT_EQ(rig.movies.Plays(), 1);
}

TEST(TitleSequence, LoopingPlaysNeverWaitAndClosedMoviesNoticesAreIgnored)
{
    Rig rig;
    rig.routines.RunTitleSequence(1);
    ASSERT_GE(rig.movies.waits.size(), 2u);
    EXPECT_TRUE(rig.movies.waits[0]) << "the movie step plays with wait";
    for (size_t i = 1; i < rig.movies.waits.size(); ++i) EXPECT_FALSE(rig.movies.waits[i]);
    // A notice for a device that is not the view's movie does nothing.
    rig.view.flags = kSceneMovieList;
    rig.routines.OnMovieNotify(12345);
    EXPECT_EQ(rig.view.flags, kSceneMovieList);
}

TEST(TitleDialog, FontHeightsFollowTheScreenWidth)
{
    struct Case {
        int width, big, small;
    } cases[] = {{640, 20, 15}, {800, 28, 21}, {1024, 36, 27}, {320, 16, 12}, {1920, 72, 54}};
    for (const auto& c : cases) {
        int big = 0, small = 0;
        CTitleDlg::FontHeights(c.width, big, small);
        EXPECT_EQ(big, c.big) << c.width;
        EXPECT_EQ(small, c.small) << c.width;
    }
    Rig rig;
    rig.window.width = 1024;
    ASSERT_TRUE(rig.dlg.Create(1, nullptr, 1, 1));
    EXPECT_EQ(rig.dlg.BigHeight(), 36);
    EXPECT_EQ(rig.dlg.SmallHeight(), 27);
    EXPECT_TRUE(rig.window.maximized);
    EXPECT_TRUE(rig.dlg.OnPaint()) << "the first paint is black";
    EXPECT_FALSE(rig.dlg.OnPaint());
    rig.dlg.DestroyWindow();
}

TEST(MenuMovie, OpensPlacesAndPlaysWithTheCursorHidden)
{
    for (zrv::ScreenSize s : {zrv::ScreenSize{640, 480}, zrv::ScreenSize{1024, 768}}) {
        Rig rig;
        rig.view.screen = s;
        const uint32_t r = rig.routines.OpenAndPlayMCIMovie("MOVIE\\OPENING.MPG");
        EXPECT_EQ(r & 0xFFFF, 0u);
        EXPECT_NE(r >> 16, 0u);
        ASSERT_EQ(rig.movies.placed.size(), 1u);
        const zrv::MovieRect want =
            s.width == 640 ? zrv::MovieRect{80, 60, 480, 360} : zrv::MovieRect{128, 96, 768, 576};
        EXPECT_EQ(rig.movies.placed[0], want);
        EXPECT_EQ(rig.view.cursorCalls, (std::vector<bool>{false, true}));
        EXPECT_EQ(rig.movies.waits, std::vector<bool>{true});
    }
    Rig rig;
    rig.movies.failOpen = true;
    const uint32_t r = rig.routines.OpenAndPlayMCIMovie("MOVIE\\OPENING.MPG");
    EXPECT_EQ(r, static_cast<uint32_t>(platform::kMediaCannotOpenMovie));
    EXPECT_TRUE(rig.view.cursorCalls.empty()) << "the cursor stays for the error box";
}

TEST(MenuMovie, AMovieOverTheBackdropRunsUntilItsEnd)
{
    Rig rig;
    rig.routines.PlayMovieOverBackdrop("Hs410622.AVI");
    EXPECT_EQ(rig.movies.Plays(), 1);
    EXPECT_EQ(rig.view.soundReleases, 1);
    EXPECT_TRUE(rig.view.soundEnabled);
    EXPECT_EQ(rig.view.device, 0u);
    EXPECT_TRUE(rig.movies.open.empty());
    EXPECT_FALSE(rig.window.Exists());

    Rig missing;
    missing.view.movieThere = false;
    missing.routines.PlayMovieOverBackdrop("Hs410622.AVI");
    EXPECT_EQ(missing.window.creates, 0);
    EXPECT_EQ(missing.view.soundReleases, 0);
}

}  // namespace
