#pragma once
// The menu program's full-screen movie player: the main frame's full-screen
// mode (set up, play, abort, end), the movie object that runs one file and
// waits for its end in a loop of its own, and the picture renderer's logic
// (frame callback, accepted layouts, the centring copy). The movie itself
// plays through the movie device on the whole screen; the window side and
// the UI loop come in through the seams below.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zrv {

// What the movie's wait loop takes from the UI thread's queue.
struct MovieLoopMessage {
    enum Kind { Close, Quit, SysClose, Abort, ActivateApp, Other };
    Kind kind = Other;
    bool active = false;  // ActivateApp: the program became active
};

class MovieLoop {
public:
    virtual ~MovieLoop() = default;
    // Runs the UI thread's events until a message of the movie's own is
    // there (true, with it) or signalled() says the movie has an event
    // (false).
    virtual bool Wait(MovieLoopMessage& message, const std::function<bool()>& signalled) = 0;
    // Hands a message on as usual.
    virtual void Dispatch(const MovieLoopMessage& message) = 0;
    // Posts the abort message to the loop (from any thread).
    virtual void PostAbort() = 0;
};

// Graph events of a movie.
inline constexpr int kEventComplete = 1;
inline constexpr int kEventUserAbort = 2;
inline constexpr int kEventErrorAbort = 3;

using FrameCallback = std::function<int()>;

// The picture renderer's own logic.
class CDDSVideoRenderer {
public:
    void SetFrameCallback(FrameCallback callback) { m_callback = std::move(callback); }
    // Called for each picture: false when the callback refused it (the abort
    // has been posted to the movie's loop then).
    bool OnFrame(MovieLoop& loop);

    // Copies a bottom-up picture (rows of stride bytes, the last row first
    // in memory) into a top-down surface, centred: a narrower surface takes
    // the middle of each row, a wider one gets the picture in its middle; the
    // same for rows. bpp is bytes per pixel.
    static void CenterCopy(const uint8_t* src, int srcW, int srcH, int bpp, uint8_t* dst, int dstW, int dstH,
                           int dstPitch);
    // Bytes of a picture row: width x bpp rounded up to whole 4 bytes.
    static int SourceStride(int width, int bpp) { return (width * bpp + 3) & ~3; }

private:
    FrameCallback m_callback;
};

// One movie file, played on the whole screen.
class CDDSMovie {
public:
    enum State { kNone = 0, kOpened = 1, kRunning = 2, kStopped = 3, kPaused = 4 };

    explicit CDDSMovie(MovieLoop& loop);
    ~CDDSMovie();

    bool OpenMovie(std::string_view sjisPath);
    // 0 played to its end, -1 not run, -2 not opened.
    int AutoPlay(std::string_view sjisPath, FrameCallback callback);
    int Play(bool wait);
    void Pause();
    void Stop();
    void Close();
    void WaitForEnd();
    // 1 when the movie ended.
    int OnGraphNotify();

    // An event of the movie's device (its end): queued for OnGraphNotify.
    void PushEvent(int code) { m_events.push_back(code); }
    State PlayState() const { return m_state; }
    bool Active() const { return m_bActive; }
    uint32_t Device() const { return m_device; }
    CDDSVideoRenderer* Renderer() { return m_pRenderer.get(); }

private:
    MovieLoop& m_loop;
    uint32_t m_device = 0;  // the movie device: the "graph"
    std::deque<int> m_events;
    State m_state = kNone;
    std::unique_ptr<CDDSVideoRenderer> m_pRenderer;
    bool m_bActive = true;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

// What the full-screen mode needs of the main frame.
class FullScreenHost {
public:
    virtual ~FullScreenHost() = default;
    // The black full-screen backdrop; false when it cannot be made.
    virtual bool CreateFullScreenSurfaces(int width, int height, int bitsPerPixel) = 0;
    // Whether the backdrop is still there (the program was not switched away).
    virtual bool SurfacesAlive() = 0;
    virtual void ReleaseSurfaces() = 0;
    virtual void ShowCursor(bool shown) = 0;
    // Posts the start of the play (0x458) with the path.
    virtual void PostPlay(std::string path) = 0;
    virtual MovieLoop& Loop() = 0;
};

// Always takes the frame.
int MovieFrameCallback();

// The main frame's full-screen mode.
class FullScreenMovieMode {
public:
    explicit FullScreenMovieMode(FullScreenHost& host) : m_host(host) {}
    ~FullScreenMovieMode();

    // 0x457: set up, hide the cursor, post 0x458.
    void OnStart(const std::string& path);
    // 0x458: play the movie to its end, then end the mode.
    void OnPlay(const std::string& path);
    // The frame was deactivated.
    void OnDeactivate();
    void ReleaseMovieAndDirectDraw();

    bool MovieRunning() const { return m_bMovieRunning; }
    CDDSMovie* Movie() { return m_pMovie.get(); }

private:
    FullScreenHost& m_host;
    std::unique_ptr<CDDSMovie> m_pMovie;
    bool m_bMovieRunning = false;
    bool m_bInWait = false;
    bool m_bEndAfterWait = false;
    bool m_bModeOn = false;
};

}  // namespace zrv
