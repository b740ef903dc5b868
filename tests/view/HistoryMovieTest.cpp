// The historical-event movie: its file name from the event's date, where the
// file is looked for (beside the program or on the disc), and how the view
// gives up its sound for the movie and takes it back when the movie closes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "audio/FakeAudio.h"
#include "battle/engine/MovieFiles.h"
#include "battle/view/ZRKGameView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/Movie.h"
#include "platform/core/AudioBackend.h"
#include "platform/core/Paths.h"
#include "support/FixtureLibrary.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

// A movie player that records what it is asked and plays until the test ends the movie.
class FakeMovies : public MovieBackend {
public:
    bool canOpen = true;
    int openError = 0;
    int playError = 0;
    uint32_t nextDevice = 7;
    std::vector<std::string> opened;
    std::vector<bool> fullScreen;
    std::vector<MovieRect> placed;
    std::vector<uint32_t> closed;
    MovieNotify notify;

    bool CanOpen(std::string_view) override { return canOpen; }
    uint32_t Open(void*, std::string_view path, int& error) override
    {
        opened.emplace_back(path);
        if (openError != 0) {
            error = openError;
            return 0;
        }
        return nextDevice;
    }
    int SourceSize(uint32_t, int& w, int& h) override
    {
        w = 320;
        h = 240;
        return 0;
    }
    int Place(uint32_t, const MovieRect& rect) override
    {
        placed.push_back(rect);
        return 0;
    }
    int Play(uint32_t, MovieNotify n, bool full, bool) override
    {
        fullScreen.push_back(full);
        notify = std::move(n);
        return playError;
    }
    int Rewind(uint32_t) override { return 0; }
    void Close(uint32_t device) override { closed.push_back(device); }
};

TEST(HistoryMovieName, TwoDigitsForYearMonthAndDayWhateverTheHour)
{
    const struct {
        uint32_t date;
        const char* want;
    } cases[] = {
        {PackDate(41, 12, 8), "Hs411208.AVI"},
        {PackDate(43, 1, 5), "Hs430105.AVI"},
        {PackDate(43, 1, 5, 22), "Hs430105.AVI"},
        {PackDate(0, 1, 1), "Hs000101.AVI"},
        {PackDate(200, 99, 255), "Hs20099255.AVI"},  // a damaged date still gives a whole name
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.want);
        EXPECT_EQ(HistoryMovieName(k.date), k.want);
    }
}

class MovieFolder : public testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&zrvtest::FixtureLibrary());
        SetDialogs(&dialogs);
        root = fs::temp_directory_path() / ("velmorath-movie-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "prog" / "MOVIE");
        platform::SetProgramFolder((root / "prog").string());
        if (const char* d = std::getenv("VELMORATH_DISC")) keptDisc = d;
        ::unsetenv("VELMORATH_DISC");
    }
    void TearDown() override
    {
        if (keptDisc.empty()) {
            ::unsetenv("VELMORATH_DISC");
        } else {
            ::setenv("VELMORATH_DISC", keptDisc.c_str(), 1);
        }
        SetMovies(nullptr);
        SetDialogs(nullptr);
        SetLib(nullptr);
        fs::remove_all(root);
    }
    static void Touch(const fs::path& p)
    {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "movie";
    }

    fs::path root;
    std::string keptDisc;
    ScriptedDialogService dialogs;
};

TEST_F(MovieFolder, MoviesOnDiskAreBesideTheProgramEvenWhenMissing)
{
    std::string path = "unchanged";
    EXPECT_EQ(GetMovieFilePath(path, "Hs999999.AVI", false), 1);
    EXPECT_EQ(path, platform::ProgramFolder() + "MOVIE\\Hs999999.AVI");
    EXPECT_EQ(GetHistoryMoviePath(path, PackDate(43, 1, 5), false), 1);
    EXPECT_EQ(path, platform::ProgramFolder() + "MOVIE\\Hs430105.AVI");
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(MovieFolder, MoviesFromTheDiscAskForItUntilThePlayerGivesUp)
{
    // No disc: the player retries once, then cancels; the path stays.
    dialogs.QueueAnswer(kAnswerRetry);
    dialogs.QueueAnswer(kAnswerCancel);
    std::string path = "unchanged";
    EXPECT_EQ(GetMovieFilePath(path, "Hs411208.AVI", true), 0);
    EXPECT_EQ(path, "unchanged");
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_EQ(dialogs.Boxes()[0].text, zrvtest::FixtureLibrary().MsgNoExistCD);
    EXPECT_EQ(dialogs.Boxes()[0].style, static_cast<unsigned>(kBoxRetryCancel | kBoxIconStop));

    // With the disc in, its "MOVIE" folder without a question.
    Touch(root / "disc" / "ZRM" / "Setup.exe");
    ::setenv("VELMORATH_DISC", (root / "disc").string().c_str(), 1);
    dialogs.Clear();
    EXPECT_EQ(GetMovieFilePath(path, "Hs411208.AVI", true), 1);
    EXPECT_EQ(path, platform::FindDiscRootWithFile(kDiscMarkerFile) + "MOVIE\\Hs411208.AVI");
    EXPECT_NE(path.find("MOVIE\\Hs411208.AVI"), std::string::npos);
    EXPECT_NE(path.rfind(platform::ProgramFolder(), 0), 0u) << "the disc, not the program folder";
    EXPECT_TRUE(dialogs.Boxes().empty());
}

// A view with a sound device on a fake audio backend and a fake movie player.
class HistoryMovie : public MovieFolder {
protected:
    void SetUp() override
    {
        MovieFolder::SetUp();
        platform::SetAudio(&audio);
        SetMovies(&movies);
        view = std::make_unique<CZRKGameView>();
        view->SetClientSize(560, 420);
        view->Sound().InitDirectSound(true);
        ASSERT_TRUE(view->Sound().SoundReady());
        opensBefore = audio.opens;
    }
    void TearDown() override
    {
        view.reset();
        platform::SetAudio(nullptr);
        MovieFolder::TearDown();
    }
    // Everything a movie that does not play must leave alone.
    void ExpectNothingChanged()
    {
        EXPECT_EQ(view->m_nMovieDevice, 0u);
        EXPECT_EQ(view->m_dwState & kViewMoviePlaying, 0u);
        EXPECT_TRUE(view->Sound().SoundReady());
        EXPECT_EQ(audio.opens, opensBefore);
        EXPECT_EQ(audio.closes, 0);
    }

    testaudio::FakeAudio audio;
    FakeMovies movies;
    std::unique_ptr<CZRKGameView> view;
    int opensBefore = 0;
    const uint32_t date = PackDate(41, 12, 8, 6);
};

TEST_F(HistoryMovie, AMissingOrUnreadableMovieChangesNothing)
{
    EXPECT_EQ(PlayHistoryMovie(date, *view), 0u);
    EXPECT_TRUE(movies.opened.empty());
    ExpectNothingChanged();

    Touch(root / "prog" / "MOVIE" / "Hs411208.AVI");
    movies.canOpen = false;
    EXPECT_EQ(PlayHistoryMovie(date, *view), 0u);
    ExpectNothingChanged();

    SetMovies(nullptr);  // the first backend opens nothing
    EXPECT_EQ(PlayHistoryMovie(date, *view), 0u);
    ExpectNothingChanged();
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(HistoryMovie, TheMoviePlaysWithoutTheSoundDeviceUntilItCloses)
{
    Touch(root / "prog" / "MOVIE" / "Hs411208.AVI");
    const struct {
        const char* name;
        bool standardSize;
    } cases[] = {{"filling the screen", false}, {"at its own size", true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        movies.opened.clear();
        movies.fullScreen.clear();
        movies.placed.clear();
        movies.closed.clear();
        view->m_dwDispOption = k.standardSize ? (kDispInitial | kDispMovieStandardSize) : kDispInitial;
        const int opens = audio.opens;

        EXPECT_EQ(PlayHistoryMovie(date, *view), 7u << 16);
        ASSERT_EQ(movies.opened.size(), 1u);
        EXPECT_EQ(movies.opened[0], platform::ProgramFolder() + "MOVIE\\Hs411208.AVI");
        ASSERT_EQ(movies.fullScreen.size(), 1u);
        EXPECT_EQ(movies.fullScreen[0], !k.standardSize);
        if (k.standardSize) {
            // Centred in the view's client.
            ASSERT_EQ(movies.placed.size(), 1u);
            EXPECT_EQ(movies.placed[0], (MovieRect{120, 90, 320, 240}));
        } else {
            EXPECT_TRUE(movies.placed.empty());
        }
        EXPECT_EQ(view->m_nMovieDevice, 7u);
        EXPECT_TRUE(view->m_dwState & kViewMoviePlaying);
        EXPECT_FALSE(view->Sound().SoundReady()) << "the movie has the sound device";

        // The end of the play closes the device and gives the sound back, quietly.
        ASSERT_TRUE(movies.notify);
        movies.notify(7);
        EXPECT_EQ(movies.closed, std::vector<uint32_t>{7});
        EXPECT_EQ(view->m_nMovieDevice, 0u);
        EXPECT_FALSE(view->m_dwState & kViewMoviePlaying);
        EXPECT_TRUE(view->Sound().SoundReady());
        EXPECT_EQ(audio.opens, opens + 1);
        // A late second notice closes nothing more.
        movies.notify(7);
        EXPECT_EQ(movies.closed.size(), 1u);
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(HistoryMovie, ClosingTheDeviceByHandEndsTheMovieOnce)
{
    Touch(root / "prog" / "MOVIE" / "Hs411208.AVI");
    ASSERT_EQ(PlayHistoryMovie(date, *view), 7u << 16);
    view->CloseMovieDevice(true);
    EXPECT_EQ(movies.closed, std::vector<uint32_t>{7});
    EXPECT_FALSE(view->m_dwState & kViewMoviePlaying);
    EXPECT_TRUE(view->Sound().SoundReady());
    view->CloseMovieDevice(false);  // nothing open: only the bit is cleared
    EXPECT_EQ(movies.closed.size(), 1u);
    movies.notify(7);  // the player's notice after the close
    EXPECT_EQ(movies.closed.size(), 1u);

    // A movie whose device cannot be had: its error is shown and the sound comes back.
    movies.openError = platform::kMediaCannotOpenMovie;
    EXPECT_EQ(PlayHistoryMovie(date, *view), static_cast<uint32_t>(platform::kMediaCannotOpenMovie));
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(view->m_nMovieDevice, 0u);
    EXPECT_FALSE(view->m_dwState & kViewMoviePlaying);
    EXPECT_TRUE(view->Sound().SoundReady());
}

TEST_F(HistoryMovie, AViewThatGoesClosesItsMovieAndDropsLateNotices)
{
    Touch(root / "prog" / "MOVIE" / "Hs411208.AVI");
    ASSERT_EQ(PlayHistoryMovie(date, *view), 7u << 16);
    MovieNotify late = movies.notify;
    view.reset();
    EXPECT_EQ(movies.closed, std::vector<uint32_t>{7}) << "the device goes with the view";
    late(7);  // must not reach the destroyed view
    EXPECT_EQ(movies.closed.size(), 1u);
}

}  // namespace
}  // namespace zrv
