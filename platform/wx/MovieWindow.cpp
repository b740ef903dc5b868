#include "platform/wx/MovieWindow.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <cstring>

namespace platform {
namespace {

// The window: black, borderless, above the program's own windows, the
// pointer hidden over it. The picture is painted on a child that fills it and
// takes the keyboard, so keys pressed over the movie reach the program.
class MovieFrame : public wxFrame {
public:
    MovieFrame()
        : wxFrame(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(320, 240),
                  wxFRAME_NO_TASKBAR | wxBORDER_NONE | wxSTAY_ON_TOP)
    {
        SetBackgroundColour(*wxBLACK);
        SetCursor(wxCursor(wxCURSOR_BLANK));
        surface = new wxWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE);
        surface->SetBackgroundStyle(wxBG_STYLE_PAINT);
        surface->SetCursor(wxCursor(wxCURSOR_BLANK));
        surface->Bind(wxEVT_PAINT, &MovieFrame::OnPaint, this);
    }

    // Where the picture goes inside the client area.
    wxRect target;
    wxBitmap picture;
    wxWindow* surface;

private:
    void OnPaint(wxPaintEvent&)
    {
        wxAutoBufferedPaintDC dc(surface);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        if (!picture.IsOk() || target.IsEmpty()) return;
        if (picture.GetWidth() == target.width && picture.GetHeight() == target.height) {
            dc.DrawBitmap(picture, target.x, target.y);
            return;
        }
        wxMemoryDC mem(picture);
        dc.StretchBlit(target.x, target.y, target.width, target.height, &mem, 0, 0, picture.GetWidth(),
                       picture.GetHeight());
    }
};

class WxMovieSink : public MovieSink {
public:
    explicit WxMovieSink(wxWindow* parent) : m_parent(parent), m_frame(new MovieFrame) {}
    ~WxMovieSink() override
    {
        m_frame->Hide();
        m_frame->Destroy();
    }

    media::PixelFormat Format() const override { return media::PixelFormat::Rgb24; }

    void Place(const zrv::MovieRect& rect) override
    {
        m_rect = rect;
        if (!m_fullScreen) Layout();
    }

    void SetFullScreen(bool fullScreen) override
    {
        m_fullScreen = fullScreen;
        Layout();
    }

    void TargetSize(int& width, int& height) const override
    {
        width = m_frame->target.width;
        height = m_frame->target.height;
    }

    void Show(bool shown) override
    {
        m_frame->Show(shown);
        if (shown) {
            m_frame->Raise();
            m_frame->surface->SetFocus();
        }
    }

    void Present(std::shared_ptr<const media::VideoFrame> frame) override
    {
        if (frame->format != media::PixelFormat::Rgb24) return;
        wxImage image(frame->width, frame->height, false);
        unsigned char* dst = image.GetData();
        for (int y = 0; y < frame->height; ++y)
            std::memcpy(dst + static_cast<size_t>(y) * frame->width * 3,
                        frame->pixels.data() + static_cast<size_t>(y) * frame->stride,
                        static_cast<size_t>(frame->width) * 3);
        m_frame->picture = wxBitmap(image);
        m_frame->surface->Refresh(false);
        m_frame->surface->Update();
    }

private:
    void Layout()
    {
        if (m_fullScreen) {
            int n = wxDisplay::GetFromWindow(m_parent ? m_parent : m_frame);
            wxRect screen = wxDisplay(n == wxNOT_FOUND ? 0u : static_cast<unsigned>(n)).GetGeometry();
            m_frame->SetSize(screen);
            zrv::MovieRect r = zrv::FullScreenMovieRect({screen.width, screen.height});
            m_frame->target = wxRect(r.x, r.y, r.width, r.height);
        } else {
            wxPoint at(m_rect.x, m_rect.y);
            if (m_parent) at = m_parent->ClientToScreen(at);
            m_frame->SetSize(at.x, at.y, std::max(1, m_rect.width), std::max(1, m_rect.height));
            m_frame->target = wxRect(0, 0, m_rect.width, m_rect.height);
        }
        m_frame->surface->Refresh(false);
    }

    wxWindow* m_parent;
    MovieFrame* m_frame;
    zrv::MovieRect m_rect{0, 0, 320, 240};
    bool m_fullScreen = false;
};

}  // namespace

WxMovieHost::WxMovieHost(std::function<wxWindow*(void*)> resolve) : m_resolve(std::move(resolve)) {}

WxMovieHost::~WxMovieHost()
{
    StopTicks();
}

std::unique_ptr<MovieSink> WxMovieHost::MakeSink(void* parent)
{
    wxWindow* window = m_resolve && parent ? m_resolve(parent) : nullptr;
    return std::make_unique<WxMovieSink>(window);
}

void WxMovieHost::StartTicks(std::function<void()> tick)
{
    m_tick = std::move(tick);
    if (!m_timer) {
        m_timer = std::make_unique<wxTimer>();
        m_timer->Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (m_tick) m_tick();
        });
    }
    m_timer->Start(10);
}

void WxMovieHost::StopTicks()
{
    if (m_timer) m_timer->Stop();
    m_tick = nullptr;
}

void WxMovieHost::RunUntil(const std::function<bool()>& done)
{
    // The window keeps painting and the timers keep running meanwhile.
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    while (!done()) {
        while (!done() && loop.Pending()) loop.Dispatch();
        if (done()) break;
        if (wxTheApp) wxTheApp->ProcessPendingEvents();
        if (!done()) wxMilliSleep(2);
    }
}

void WxMovieHost::Post(std::function<void()> fn)
{
    if (wxTheApp) wxTheApp->CallAfter(std::move(fn));
}

WxMovies::WxMovies(std::function<wxWindow*(void*)> resolve)
    : m_host(std::move(resolve)), m_movies(std::make_unique<MediaMovies>(m_host))
{
}

}  // namespace platform
