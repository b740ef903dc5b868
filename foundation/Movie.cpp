#include "foundation/Movie.h"

#include <algorithm>
#include <atomic>

#include "foundation/Music.h"
#include "platform/core/AudioBackend.h"

namespace zrv {
namespace {

NoMovieBackend g_noMovies;
std::atomic<MovieBackend*> g_movies{&g_noMovies};

}  // namespace

uint32_t NoMovieBackend::Open(void*, std::string_view, int& error)
{
    error = platform::kMediaCannotOpenMovie;
    return 0;
}

int NoMovieBackend::SourceSize(uint32_t, int& width, int& height)
{
    width = height = 0;
    return platform::kMediaBadDevice;
}

int NoMovieBackend::Place(uint32_t, const MovieRect&)
{
    return platform::kMediaBadDevice;
}

int NoMovieBackend::Play(uint32_t, MovieNotify, bool, bool)
{
    return platform::kMediaBadDevice;
}

int NoMovieBackend::Rewind(uint32_t)
{
    return platform::kMediaBadDevice;
}

MovieBackend& Movies()
{
    return *g_movies.load(std::memory_order_acquire);
}

void SetMovies(MovieBackend* backend)
{
    g_movies.store(backend ? backend : &g_noMovies, std::memory_order_release);
}

MovieRect PlaceBattleMovie(int w, int h, bool scale, int top, int height, ScreenSize screen)
{
    // A damaged movie may report no size; it cannot be scaled by its
    // proportions then, and is shown as it is.
    if (scale && height != 0 && w > 0 && h > 0) {
        long long scaledWidth = static_cast<long long>(w) * height / h;
        if (scaledWidth >= w && height >= h) {
            int sw = static_cast<int>(scaledWidth);
            int y = top >= 0 ? top : (screen.height - height) / 2;
            return {(screen.width - sw) / 2, y, sw, height};
        }
    }
    return {std::max(0, (screen.width - w) / 2), std::max(0, (screen.height - h) / 2), w, h};
}

MovieRect PlaceMenuMovie(uint32_t flags, ScreenSize screen)
{
    const int W = screen.width;
    const int H = screen.height;
    if (flags & kMovieWholeScreen) return {0, 0, W, H};
    if (flags & kMovieHalfScreen) return {W >> 2, H >> 2, W >> 1, W >> 1};
    return {W >> 3, H >> 3, W - (W >> 2), H - (H >> 2)};
}

uint32_t PlayMCIMovie(void* parent, std::string_view sjisPath, bool scale, int top, int height,
                      ScreenSize screen, MovieNotify notify)
{
    MovieBackend& movies = Movies();
    int error = 0;
    uint32_t device = movies.Open(parent, sjisPath, error);
    if (device == 0) {
        ShowMCIError(error);
        return static_cast<uint32_t>(error);
    }
    int w = 0;
    int h = 0;
    movies.SourceSize(device, w, h);
    movies.Place(device, PlaceBattleMovie(w, h, scale, top, height, screen));
    PlayMCINotify(std::move(notify), device);
    return device << 16;
}

uint32_t PlayMCIMovie(void* parent, std::string_view sjisPath, uint32_t flags, ScreenSize screen,
                      MovieNotify notify, const std::function<void(bool)>& cursor)
{
    MovieBackend& movies = Movies();
    int error = 0;
    uint32_t device = movies.Open(parent, sjisPath, error);
    if (device == 0) {
        ShowMCIError(error);
        return static_cast<uint32_t>(error);
    }
    if (cursor) cursor(false);
    const bool fullScreen = (flags & kMovieFullScreen) != 0;
    if (!fullScreen) movies.Place(device, PlaceMenuMovie(flags, screen));
    movies.Play(device, std::move(notify), fullScreen, true);
    if (cursor) cursor(true);
    return device << 16;
}

int PlayMCINotify(MovieNotify notify, uint32_t device)
{
    return Movies().Play(device, std::move(notify), false, false);
}

int RewindAndPlayMCI(MovieNotify notify, uint32_t device)
{
    if (int error = Movies().Rewind(device); error != 0) return error;
    return PlayMCINotify(std::move(notify), device);
}

}  // namespace zrv
