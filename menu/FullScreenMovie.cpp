#include "menu/FullScreenMovie.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/Movie.h"

namespace zrv {

// --- renderer ------------------------------------------------------------------------------

bool CDDSVideoRenderer::OnFrame(MovieLoop& loop)
{
    if (m_callback && m_callback() == 0) {
        loop.PostAbort();
        return false;
    }
    return true;
}

void CDDSVideoRenderer::CenterCopy(const uint8_t* src, int srcW, int srcH, int bpp, uint8_t* dst, int dstW,
                                   int dstH, int dstPitch)
{
    if (src == nullptr || dst == nullptr || srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0 || bpp <= 0)
        return;
    const int stride = SourceStride(srcW, bpp);
    const int w = std::min(srcW, dstW);
    const int h = std::min(srcH, dstH);
    const int sx = srcW > dstW ? (srcW - dstW) / 2 : 0;
    const int dx = dstW > srcW ? (dstW - srcW) / 2 : 0;
    const int sy = srcH > dstH ? (srcH - dstH) / 2 : 0;
    const int dy = dstH > srcH ? (dstH - srcH) / 2 : 0;
    for (int r = 0; r < h; ++r) {
        // Row r from the top of the picture sits that far from its end.
        const uint8_t* from =
            src + static_cast<size_t>(srcH - 1 - (sy + r)) * stride + static_cast<size_t>(sx) * bpp;
        uint8_t* to = dst + static_cast<size_t>(dy + r) * dstPitch + static_cast<size_t>(dx) * bpp;
        std::memcpy(to, from, static_cast<size_t>(w) * bpp);
    }
}

int MovieFrameCallback()
{
    return 1;
}

// --- the movie -----------------------------------------------------------------------------

CDDSMovie::CDDSMovie(MovieLoop& loop) : m_loop(loop) {}

CDDSMovie::~CDDSMovie()
{
    Close();
}

bool CDDSMovie::OpenMovie(std::string_view sjisPath)
{
    int error = 0;
    const uint32_t device = Movies().Open(nullptr, sjisPath, error);
    if (device == 0) return false;
    m_device = device;
    m_events.clear();
    m_state = kOpened;
    m_pRenderer = std::make_unique<CDDSVideoRenderer>();
    return true;
}

int CDDSMovie::AutoPlay(std::string_view sjisPath, FrameCallback callback)
{
    if (!OpenMovie(sjisPath)) return -2;
    m_pRenderer->SetFrameCallback(std::move(callback));
    if (Play(true) == 0) return -1;
    return 0;
}

int CDDSMovie::Play(bool wait)
{
    if (m_device == 0) return 0;
    if (m_state == kPaused) {
        Movies().Pause(m_device, false);
    } else {
        std::weak_ptr<int> alive = m_alive;
        const int r = Movies().Play(
            m_device,
            [alive, this](uint32_t device) {
                if (!alive.expired() && device == m_device) PushEvent(kEventComplete);
            },
            true, false);
        if (r != 0) PushEvent(kEventErrorAbort);
    }
    m_state = kRunning;
    if (wait) WaitForEnd();
    return 1;
}

void CDDSMovie::Pause()
{
    if (m_device == 0) return;
    Movies().Pause(m_device, true);
    m_state = kPaused;
}

void CDDSMovie::Stop()
{
    if (m_device == 0) return;
    Movies().Pause(m_device, true);
    m_state = kStopped;
}

void CDDSMovie::Close()
{
    if (m_device == 0) return;
    if (m_state != kStopped) Stop();
    Movies().Close(m_device);
    m_device = 0;
    m_events.clear();
    m_pRenderer.reset();
}

void CDDSMovie::WaitForEnd()
{
    while (m_device != 0) {
        MovieLoopMessage m;
        if (!m_loop.Wait(m, [this] { return !m_events.empty() || m_device == 0; })) {
            if (OnGraphNotify()) return;
            continue;
        }
        switch (m.kind) {
            case MovieLoopMessage::Close:
            case MovieLoopMessage::Quit:
            case MovieLoopMessage::SysClose:
            case MovieLoopMessage::Abort:
                Close();
                return;
            case MovieLoopMessage::ActivateApp:
                m_bActive = m.active;
                if (m.active && m_state == kPaused)
                    Play(false);
                else if (!m.active && m_state == kRunning)
                    Pause();
                m_loop.Dispatch(m);
                break;
            default:
                m_loop.Dispatch(m);
                break;
        }
    }
}

int CDDSMovie::OnGraphNotify()
{
    if (m_device == 0 || m_events.empty()) return 1;
    const int code = m_events.front();
    m_events.pop_front();
    if (code == kEventComplete || code == kEventUserAbort || code == kEventErrorAbort) {
        Close();
        return 1;
    }
    return 0;
}

// --- the frame's full-screen mode ----------------------------------------------------------

FullScreenMovieMode::~FullScreenMovieMode()
{
    if (m_bModeOn || m_pMovie) ReleaseMovieAndDirectDraw();
}

void FullScreenMovieMode::OnStart(const std::string& path)
{
    if (!m_host.CreateFullScreenSurfaces(640, 480, 16)) {
        // Nothing half made stays behind, and the pointer is there.
        m_host.ReleaseSurfaces();
        m_host.ShowCursor(true);
        return;
    }
    m_bModeOn = true;
    m_host.ShowCursor(false);
    m_host.PostPlay(path);
}

void FullScreenMovieMode::OnPlay(const std::string& path)
{
    if (!m_bModeOn) return;
    if (!m_pMovie) m_pMovie = std::make_unique<CDDSMovie>(m_host.Loop());
    m_bMovieRunning = true;
    m_bInWait = true;
    const int played = m_pMovie->AutoPlay(path, &MovieFrameCallback);
    m_bInWait = false;
    if (played == -2)
        std::fprintf(stderr, "ZRVMenu: the movie %.*s cannot be opened\n", static_cast<int>(path.size()),
                     path.data());
    if (m_bEndAfterWait) {
        // The frame was switched away during the play: the mode ends now
        // that the loop has returned.
        m_bEndAfterWait = false;
        ReleaseMovieAndDirectDraw();
        return;
    }
    if (m_host.SurfacesAlive()) {
        m_bMovieRunning = false;
        ReleaseMovieAndDirectDraw();
    }
}

void FullScreenMovieMode::OnDeactivate()
{
    if (!m_bMovieRunning) return;
    m_bMovieRunning = false;
    if (m_bInWait) {
        // The loop must return before the movie object goes.
        if (m_pMovie) m_pMovie->Close();
        m_bEndAfterWait = true;
        return;
    }
    ReleaseMovieAndDirectDraw();
}

void FullScreenMovieMode::ReleaseMovieAndDirectDraw()
{
    m_pMovie.reset();
    m_host.ReleaseSurfaces();
    m_host.ShowCursor(true);
    m_bModeOn = false;
    m_bMovieRunning = false;
}

}  // namespace zrv
