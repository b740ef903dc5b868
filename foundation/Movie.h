#pragma once
// Movies in a window or on the whole screen, behind an interface. The first
// backend cannot open any movie, so every caller takes its no-movie path at
// once; a real player can be installed later without touching the callers.

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/core/AudioBackend.h"

namespace zrv {

struct MovieRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const MovieRect&) const = default;
};

struct ScreenSize {
    int width = 640;
    int height = 480;
};

// Called with the movie device id when a play has ended.
using MovieNotify = std::function<void(uint32_t device)>;

class MovieBackend {
public:
    virtual ~MovieBackend() = default;
    // True when a movie of this file could be opened at all (the file exists
    // and the player can read its kind). Callers test this before they give
    // up the sound device for a movie.
    virtual bool CanOpen(std::string_view sjisPath) = 0;
    // A device id (never 0), or 0 with error set. parent is the window the
    // movie window belongs to (opaque here).
    virtual uint32_t Open(void* parent, std::string_view sjisPath, int& error) = 0;
    virtual int SourceSize(uint32_t device, int& width, int& height) = 0;
    virtual int Place(uint32_t device, const MovieRect& rect) = 0;
    // Plays to the end; notify gets one call then. With wait the call returns
    // only when the movie has ended.
    virtual int Play(uint32_t device, MovieNotify notify, bool fullScreen, bool wait) = 0;
    virtual int Rewind(uint32_t device) = 0;
    virtual void Close(uint32_t device) = 0;
    // Holds a playing movie where it is, or lets it go on.
    virtual int Pause(uint32_t device, bool paused)
    {
        (void)device, (void)paused;
        return platform::kMediaBadDevice;
    }
};

// Opens nothing: every movie "cannot be opened".
class NoMovieBackend : public MovieBackend {
public:
    bool CanOpen(std::string_view) override { return false; }
    uint32_t Open(void*, std::string_view, int& error) override;
    int SourceSize(uint32_t, int&, int&) override;
    int Place(uint32_t, const MovieRect&) override;
    int Play(uint32_t, MovieNotify, bool, bool) override;
    int Rewind(uint32_t) override;
    void Close(uint32_t) override {}
};

// The backend in use; NoMovieBackend until a program installs another.
MovieBackend& Movies();
void SetMovies(MovieBackend* backend);

// Where the battle view shows a movie of w x h. With scale and a height, the
// movie is enlarged to that height keeping its proportions, centred across
// and at top (centred down when top is negative); it is never shrunk, and a
// movie whose size is unknown (0) is shown as it is. Unscaled, it is centred
// on the screen, never left of or above it.
MovieRect PlaceBattleMovie(int w, int h, bool scale, int top, int height, ScreenSize screen);

// Where a movie shown on the whole screen stands: the largest rectangle of 4:3
// centred on the screen, black around it (as a 640 x 480 display mode would
// have looked on it). A smaller movie is stretched into it.
constexpr MovieRect FullScreenMovieRect(ScreenSize screen)
{
    const int W = screen.width;
    const int H = screen.height;
    if (W <= 0 || H <= 0) return {0, 0, 0, 0};
    if (static_cast<long long>(W) * 3 >= static_cast<long long>(H) * 4) {
        const int w = static_cast<int>(static_cast<long long>(H) * 4 / 3);
        return {(W - w) / 2, 0, w, H};
    }
    const int h = static_cast<int>(static_cast<long long>(W) * 3 / 4);
    return {0, (H - h) / 2, W, h};
}

// Menu movie flags.
inline constexpr uint32_t kMovieFullScreen = 0x1000;
inline constexpr uint32_t kMovieWholeScreen = 0x2000;
inline constexpr uint32_t kMovieHalfScreen = 0x4000;

// Where the menu view shows a movie (its size is not looked at): the whole
// screen, a square of half the screen width at a quarter in, or else the
// middle three quarters. Full-screen play needs no placement.
MovieRect PlaceMenuMovie(uint32_t flags, ScreenSize screen);

// Opens and plays a movie in the battle view: device id x 65,536, or the
// device error (shown in a box).
uint32_t PlayMCIMovie(void* parent, std::string_view sjisPath, bool scale, int top, int height,
                      ScreenSize screen, MovieNotify notify);
// The menu view's movie: placed by flags, played to the end before it returns.
// cursor, when given, is called with false once the movie has opened and with
// true after its play.
uint32_t PlayMCIMovie(void* parent, std::string_view sjisPath, uint32_t flags, ScreenSize screen,
                      MovieNotify notify, const std::function<void(bool)>& cursor = {});
int PlayMCINotify(MovieNotify notify, uint32_t device);
int RewindAndPlayMCI(MovieNotify notify, uint32_t device);

}  // namespace zrv
