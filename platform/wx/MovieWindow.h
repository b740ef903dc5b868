#pragma once
// The movie device's window-system side under wx: a borderless window that
// paints the newest picture scaled into its rectangle (or into the largest
// centred 4:3 rectangle of the whole screen, black around it), with the
// pointer hidden over it; a timer for the device's tick; a nested event loop
// for a play with wait.

#include <functional>
#include <memory>

#include "platform/wx/MediaMovies.h"

class wxWindow;
class wxTimer;

namespace platform {

class WxMovieHost : public MovieHost {
public:
    // resolve turns the opaque parent a program hands the device into the
    // window whose client area a placed rectangle is in (null: the screen).
    explicit WxMovieHost(std::function<wxWindow*(void*)> resolve = {});
    ~WxMovieHost() override;

    std::unique_ptr<MovieSink> MakeSink(void* parent) override;
    void StartTicks(std::function<void()> tick) override;
    void StopTicks() override;
    void RunUntil(const std::function<bool()>& done) override;
    void Post(std::function<void()> fn) override;

private:
    std::function<wxWindow*(void*)> m_resolve;
    std::unique_ptr<wxTimer> m_timer;
    std::function<void()> m_tick;
};

// The program's movie device with its wx host; a program installs Movies()
// with SetMovies at start and uninstalls it before this goes.
class WxMovies {
public:
    explicit WxMovies(std::function<wxWindow*(void*)> resolve = {});
    MediaMovies& Movies() { return *m_movies; }

private:
    WxMovieHost m_host;
    std::unique_ptr<MediaMovies> m_movies;
};

}  // namespace platform
