#pragma once
// The movie device both programs install with SetMovies: files decoded by
// platform/media, sound on the audio layer's stream, pictures on a movie
// window. What is tied to the window system (the window, the periodic tick,
// the nested loop of a play with wait, posting to the UI thread) comes from a
// host, so the device itself runs headless in tests with a recording window.

#include <functional>
#include <map>
#include <memory>

#include "foundation/Movie.h"
#include "platform/media/MoviePlayer.h"

namespace platform {

// Where a movie is shown.
class MovieSink {
public:
    virtual ~MovieSink() = default;
    // The layout pictures should arrive in.
    virtual media::PixelFormat Format() const = 0;
    // A rectangle (screen coordinates, or the parent's client area when the
    // movie has a parent window) or the whole screen.
    virtual void Place(const zrv::MovieRect& rect) = 0;
    virtual void SetFullScreen(bool fullScreen) = 0;
    // The size pictures are best delivered at; 0 x 0 for the movie's own.
    virtual void TargetSize(int& width, int& height) const = 0;
    virtual void Show(bool shown) = 0;
    // Paints the picture scaled into the rectangle.
    virtual void Present(std::shared_ptr<const media::VideoFrame> frame) = 0;
};

class MovieHost {
public:
    virtual ~MovieHost() = default;
    virtual std::unique_ptr<MovieSink> MakeSink(void* parent) = 0;
    // Calls tick on the UI thread about every 10 ms until StopTicks.
    virtual void StartTicks(std::function<void()> tick) = 0;
    virtual void StopTicks() = 0;
    // Runs the UI thread's events until done says so.
    virtual void RunUntil(const std::function<bool()>& done) = 0;
    // Runs fn on the UI thread once the current event is handled.
    virtual void Post(std::function<void()> fn) = 0;
};

class MediaMovies : public zrv::MovieBackend {
public:
    explicit MediaMovies(MovieHost& host);
    ~MediaMovies() override;

    bool CanOpen(std::string_view sjisPath) override;
    uint32_t Open(void* parent, std::string_view sjisPath, int& error) override;
    int SourceSize(uint32_t device, int& width, int& height) override;
    int Place(uint32_t device, const zrv::MovieRect& rect) override;
    int Play(uint32_t device, zrv::MovieNotify notify, bool fullScreen, bool wait) override;
    int Rewind(uint32_t device) override;
    void Close(uint32_t device) override;
    int Pause(uint32_t device, bool paused) override;

    // Pauses or resumes every playing movie (the program lost or got the
    // focus).
    void PauseAll(bool paused);
    // Open devices (tests).
    size_t OpenCount() const { return m_devices.size(); }

private:
    struct Device;
    void Tick();
    void UpdateTicks();
    Device* Find(uint32_t device);

    MovieHost& m_host;
    std::map<uint32_t, std::unique_ptr<Device>> m_devices;
    uint32_t m_nextId = 1;
    bool m_ticking = false;
    // Cleared when the backend goes, so a posted notice finds nothing.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace platform
