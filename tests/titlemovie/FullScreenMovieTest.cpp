// The full-screen movie player: the movie's wait loop, the renderer's logic
// and the frame's full-screen mode, on a fake movie device and loop.
#include <gtest/gtest.h>

#include "TitleMovieFakes.h"
#include "menu/FullScreenMovie.h"

using namespace zrv;

namespace {

// The movie's loop: scripted messages at given turns of the fake pump.
struct FakeLoop : MovieLoop {
    testtitle::FakePump& pump;
    std::map<int, MovieLoopMessage> script;
    std::vector<MovieLoopMessage> dispatched;
    int aborts = 0;
    std::function<void()> onTurn;

    explicit FakeLoop(testtitle::FakePump& p) : pump(p) {}
    bool Wait(MovieLoopMessage& m, const std::function<bool()>& signalled) override
    {
        for (;;) {
            if (signalled()) return false;
            if (aborts > 0) {
                --aborts;
                m = {MovieLoopMessage::Abort};
                return true;
            }
            pump.RunOnce();
            if (onTurn) onTurn();
            if (auto it = script.find(pump.turn); it != script.end()) {
                m = it->second;
                return true;
            }
        }
    }
    void Dispatch(const MovieLoopMessage& m) override { dispatched.push_back(m); }
    void PostAbort() override { ++aborts; }
};

struct Host : FullScreenHost {
    FakeLoop& loop;
    bool fail = false, alive = true, surfaces = false, cursor = true;
    std::vector<std::string> posts;
    explicit Host(FakeLoop& l) : loop(l) {}
    bool CreateFullScreenSurfaces(int w, int h, int bpp) override
    {
        EXPECT_EQ(w, 640);
        EXPECT_EQ(h, 480);
        EXPECT_EQ(bpp, 16);
        surfaces = !fail;
        return !fail;
    }
    bool SurfacesAlive() override { return surfaces && alive; }
    void ReleaseSurfaces() override { surfaces = false; }
    void ShowCursor(bool shown) override { cursor = shown; }
    void PostPlay(std::string path) override { posts.push_back(std::move(path)); }
    MovieLoop& Loop() override { return loop; }
};

struct PlayerRig {
    testtitle::FakePump pump;
    testtitle::FakeMovies movies{pump};
    FakeLoop loop{pump};
    PlayerRig() { SetMovies(&movies); }
    ~PlayerRig() { SetMovies(nullptr); }
};

TEST(FullScreenMovie, TheWaitEndsAtTheEndOrAtAnyOfTheClosingMessages)
{
    struct Case {
        const char* name;
        MovieLoopMessage::Kind kind;
        int at;  // turn of the message; 0 none (the movie's end at turn 80)
        int endTurn;
    } cases[] = {
        {"end of the movie", MovieLoopMessage::Other, 0, 80},
        {"close", MovieLoopMessage::Close, 20, 20},
        {"quit", MovieLoopMessage::Quit, 20, 20},
        {"system close", MovieLoopMessage::SysClose, 20, 20},
        {"abort (Esc)", MovieLoopMessage::Abort, 20, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerRig rig;
        if (c.at) rig.loop.script[c.at] = {c.kind};
        rig.loop.script[10] = {MovieLoopMessage::Other};
        CDDSMovie movie(rig.loop);
        EXPECT_EQ(movie.AutoPlay("MOVIE\\OPENING.MPG", &MovieFrameCallback), 0);
        EXPECT_EQ(rig.pump.turn, c.endTurn);
        EXPECT_EQ(movie.Device(), 0u) << "closed";
        EXPECT_TRUE(rig.movies.open.empty());
        // Ordinary messages go on as usual; the closing one is consumed.
        ASSERT_EQ(rig.loop.dispatched.size(), 1u);
        EXPECT_EQ(rig.loop.dispatched[0].kind, MovieLoopMessage::Other);
    }
}

TEST(FullScreenMovie, LosingTheFocusPausesAndGettingItBackResumes)
{
    PlayerRig rig;
    CDDSMovie movie(rig.loop);
    std::vector<int> states;
    rig.loop.script[5] = {MovieLoopMessage::ActivateApp, false};
    rig.loop.script[6] = {MovieLoopMessage::ActivateApp, false};
    rig.loop.script[30] = {MovieLoopMessage::ActivateApp, true};
    rig.loop.onTurn = [&] {
        if (rig.pump.turn == 6 || rig.pump.turn == 31) states.push_back(movie.PlayState());
    };
    EXPECT_EQ(movie.AutoPlay("MOVIE\\OPENING.MPG", &MovieFrameCallback), 0);
    EXPECT_EQ(states, (std::vector<int>{CDDSMovie::kPaused, CDDSMovie::kRunning}));
    EXPECT_EQ(rig.loop.dispatched.size(), 3u) << "activation messages are handed on";
}

TEST(FullScreenMovie, AMovieThatCannotOpenIsNotPlayed)
{
    PlayerRig rig;
    rig.movies.failOpen = true;
    CDDSMovie movie(rig.loop);
    EXPECT_EQ(movie.AutoPlay("MOVIE\\NONE.MPG", &MovieFrameCallback), -2);
    EXPECT_EQ(rig.pump.turn, 0);
    EXPECT_EQ(movie.OnGraphNotify(), 1) << "no movie, nothing to wait for";
}

TEST(FullScreenMovie, ARefusedFrameAbortsTheMovie)
{
    PlayerRig rig;
    CDDSMovie movie(rig.loop);
    ASSERT_TRUE(movie.OpenMovie("MOVIE\\OPENING.MPG"));
    movie.Renderer()->SetFrameCallback([] { return 0; });
    EXPECT_FALSE(movie.Renderer()->OnFrame(rig.loop));
    movie.Play(true);
    EXPECT_EQ(movie.Device(), 0u);
    EXPECT_LT(rig.pump.turn, 5);
    CDDSVideoRenderer always;
    always.SetFrameCallback(&MovieFrameCallback);
    EXPECT_TRUE(always.OnFrame(rig.loop));
}

TEST(FullScreenMovie, TheModeEndsWithTheCursorShownHoweverThePlayEnds)
{
    {
        PlayerRig rig;
        Host host(rig.loop);
        FullScreenMovieMode mode(host);
        mode.OnStart("MOVIE\\OPENING.MPG");
        EXPECT_FALSE(host.cursor);
        ASSERT_EQ(host.posts, std::vector<std::string>{"MOVIE\\OPENING.MPG"});
        mode.OnPlay(host.posts[0]);
        EXPECT_TRUE(host.cursor);
        EXPECT_FALSE(host.surfaces);
        EXPECT_FALSE(mode.MovieRunning());
        EXPECT_EQ(mode.Movie(), nullptr);
    }
    {
        // A set-up that fails keeps nothing and hides no cursor.
        PlayerRig rig;
        Host host(rig.loop);
        host.fail = true;
        FullScreenMovieMode mode(host);
        mode.OnStart("MOVIE\\OPENING.MPG");
        EXPECT_TRUE(host.cursor);
        EXPECT_TRUE(host.posts.empty());
        EXPECT_FALSE(host.surfaces);
    }
    {
        // Switched away during the play: the movie closes, the loop returns,
        // and only then does the mode end.
        PlayerRig rig;
        Host host(rig.loop);
        FullScreenMovieMode mode(host);
        bool objectDuringLoop = false;
        rig.loop.onTurn = [&] {
            if (rig.pump.turn == 15) {
                host.alive = false;
                mode.OnDeactivate();
                objectDuringLoop = mode.Movie() != nullptr;
            }
        };
        mode.OnStart("MOVIE\\OPENING.MPG");
        mode.OnPlay(host.posts[0]);
        EXPECT_TRUE(objectDuringLoop);
        EXPECT_EQ(rig.pump.turn, 15);
        EXPECT_EQ(mode.Movie(), nullptr);
        EXPECT_TRUE(host.cursor);
        EXPECT_FALSE(host.surfaces);
    }
    {
        // A movie that cannot be opened ends the mode as a normal end.
        PlayerRig rig;
        rig.movies.failOpen = true;
        Host host(rig.loop);
        FullScreenMovieMode mode(host);
        mode.OnStart("MOVIE\\NONE.MPG");
        mode.OnPlay(host.posts[0]);
        EXPECT_TRUE(host.cursor);
        EXPECT_FALSE(host.surfaces);
    }
}

TEST(FullScreenMovie, TheCentringCopyTakesTheMiddleOfABottomUpPicture)
{
    // Pixels of one byte hold their top-down row * 16 + column.
    auto picture = [](int w, int h) {
        const int stride = CDDSVideoRenderer::SourceStride(w, 1);
        std::vector<uint8_t> p(static_cast<size_t>(stride) * h, 0xEE);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                p[static_cast<size_t>(h - 1 - r) * stride + c] = static_cast<uint8_t>(r * 16 + c);
        return p;
    };
    struct Case {
        const char* name;
        int srcW, srcH, dstW, dstH;
        int firstRow, firstCol;  // where the copy starts in source and surface
        int dstRow, dstCol;
    } cases[] = {
        {"wider picture", 8, 4, 4, 4, 0, 2, 0, 0},  {"narrower picture", 3, 4, 7, 4, 0, 0, 0, 2},
        {"taller picture", 4, 6, 4, 2, 2, 0, 0, 0}, {"shorter picture", 4, 2, 4, 6, 0, 0, 2, 0},
        {"same size", 5, 3, 5, 3, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto src = picture(c.srcW, c.srcH);
        const int pitch = c.dstW + 5;
        std::vector<uint8_t> dst(static_cast<size_t>(pitch) * c.dstH, 0xAA);
        CDDSVideoRenderer::CenterCopy(src.data(), c.srcW, c.srcH, 1, dst.data(), c.dstW, c.dstH, pitch);
        const int w = std::min(c.srcW, c.dstW), h = std::min(c.srcH, c.dstH);
        for (int r = 0; r < c.dstH; ++r)
            for (int col = 0; col < pitch; ++col) {
                const bool inside =
                    r >= c.dstRow && r < c.dstRow + h && col >= c.dstCol && col < c.dstCol + w;
                const uint8_t want = inside ? static_cast<uint8_t>((c.firstRow + r - c.dstRow) * 16 +
                                                                   (c.firstCol + col - c.dstCol))
                                            : 0xAA;
                EXPECT_EQ(dst[static_cast<size_t>(r) * pitch + col], want) << r << "," << col;
            }
    }
    // Rows of a picture are whole 4-byte units.
    EXPECT_EQ(CDDSVideoRenderer::SourceStride(3, 2), 8);
    EXPECT_EQ(CDDSVideoRenderer::SourceStride(4, 3), 12);
}

}  // namespace
