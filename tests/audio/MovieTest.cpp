// Where movies are placed, and the first movie backend.
#include <gtest/gtest.h>

#include "SoundFixture.h"
#include "foundation/Movie.h"
#include "platform/core/AudioBackend.h"

using zrv::MovieRect;
using zrv::ScreenSize;

namespace {

TEST(MoviePlacement, BattleMoviesAreOnlyEverEnlarged)
{
    const ScreenSize vga{640, 480};
    struct Case {
        const char* name;
        int w, h;
        bool scale;
        int top, height;
        MovieRect want;
    } cases[] = {
        {"320x240 to 480 high, centred down", 320, 240, true, -1, 480, {0, 0, 640, 480}},
        {"320x240 to 360 high at top 40", 320, 240, true, 40, 360, {80, 40, 480, 360}},
        {"320x240 asked 200 high: unscaled", 320, 240, true, -1, 200, {160, 120, 320, 240}},
        {"no scaling asked", 320, 240, false, -1, 480, {160, 120, 320, 240}},
        {"no height asked", 320, 240, true, -1, 0, {160, 120, 320, 240}},
        {"height 0 from a damaged file", 320, 0, true, -1, 480, {160, 240, 320, 0}},
        {"width 0 from a damaged file", 0, 240, true, -1, 480, {320, 120, 0, 240}},
        {"larger than the screen: at the corner", 800, 600, false, -1, 0, {0, 0, 800, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MovieRect r = zrv::PlaceBattleMovie(c.w, c.h, c.scale, c.top, c.height, vga);
        EXPECT_EQ(r, c.want) << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
}

TEST(MoviePlacement, MenuMoviesFollowTheirFlags)
{
    for (ScreenSize s : {ScreenSize{640, 480}, ScreenSize{1024, 768}}) {
        SCOPED_TRACE(s.width);
        const int W = s.width, H = s.height;
        EXPECT_EQ(zrv::PlaceMenuMovie(zrv::kMovieWholeScreen, s), (MovieRect{0, 0, W, H}));
        EXPECT_EQ(zrv::PlaceMenuMovie(zrv::kMovieHalfScreen, s), (MovieRect{W / 4, H / 4, W / 2, W / 2}));
        EXPECT_EQ(zrv::PlaceMenuMovie(0, s), (MovieRect{W / 8, H / 8, W - W / 4, H - H / 4}));
    }
}

TEST(NoMovieBackend, EveryMovieTakesTheNoMoviePathAtOnce)
{
    testaudio::SoundFolder folder("movie");
    std::filesystem::create_directories(folder.root / "MOVIE");
    folder.Write("MOVIE/Hs411208.AVI", {1, 2, 3});
    const std::string path = platform::MoviePath("Hs411208.AVI");
    // Even a file that is there cannot be opened, so the event movie's file
    // test fails first and no box appears.
    EXPECT_FALSE(zrv::Movies().CanOpen(path));

    int notified = 0;
    auto notify = [&](uint32_t) { ++notified; };
    uint32_t r = zrv::PlayMCIMovie(nullptr, path, true, -1, 480, ScreenSize{}, notify);
    EXPECT_EQ(r, static_cast<uint32_t>(platform::kMediaCannotOpenMovie));
    EXPECT_EQ(r >> 16, 0u) << "no device id";
    ASSERT_EQ(folder.dialogs.Boxes().size(), 1u);
    r = zrv::PlayMCIMovie(nullptr, path, zrv::kMovieFullScreen, ScreenSize{}, notify);
    EXPECT_EQ(r, static_cast<uint32_t>(platform::kMediaCannotOpenMovie));
    EXPECT_NE(zrv::RewindAndPlayMCI(notify, 1), 0);
    EXPECT_EQ(notified, 0);
}

}  // namespace
