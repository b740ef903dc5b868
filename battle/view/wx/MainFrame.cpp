#include "battle/view/wx/MainFrame.h"

#include <wx/display.h>
#include <wx/gdicmn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/wx/FileSettings.h"
#include "platform/wx/Screenshot.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {
namespace {

// The unattended run looks at the game every 50 ms for at most 10 s.
constexpr int kUnattendedTickMs = 50;
constexpr int kUnattendedTickLimit = 200;

}  // namespace

// What the view asks of a window, done on the canvas. Dirty rectangles are
// collected and painted together once the current event is handled (or at
// once on UpdateNow); only they are converted from the buffer.
class MapCanvasWindow : public ViewWindow {
public:
    MapCanvasWindow(platform::SurfaceCanvas& canvas, CZRKGameView& view) : m_canvas(canvas), m_view(view) {}

    void Invalidate(const platform::Rect* rect) override
    {
        const SizeI c = m_view.GetClientSize();
        const platform::Rect all{0, 0, c.cx, c.cy};
        m_dirty.push_back(rect != nullptr ? platform::Intersect(*rect, all) : all);
        if (!m_flushQueued) {
            m_flushQueued = true;
            m_canvas.CallAfter([this] { Flush(); });
        }
    }
    void UpdateNow() override { Flush(); }
    void SetScrollBars(SizeI total, SizeI page, SizeI line, PointI pos) override
    {
        m_canvas.SetScrollGeometry(total.cx, total.cy, page.cx, page.cy, line.cx, line.cy);
        m_canvas.SetScrollPos(wxHORIZONTAL, pos.x);
        m_canvas.SetScrollPos(wxVERTICAL, pos.y);
    }
    bool WarpPointer(PointI p) override
    {
        m_canvas.WarpPointer(p.x, p.y);
        return true;
    }
    void Post(std::function<void()> f) override { m_canvas.CallAfter(std::move(f)); }
    bool IsMinimised() const override
    {
        const wxWindow* top = wxGetTopLevelParent(const_cast<platform::SurfaceCanvas*>(&m_canvas));
        const auto* frame = dynamic_cast<const wxTopLevelWindow*>(top);
        return frame != nullptr && frame->IsIconized();
    }

    void Flush()
    {
        m_flushQueued = false;
        std::vector<platform::Rect> dirty;
        dirty.swap(m_dirty);
        for (const platform::Rect& r : dirty)
            if (!r.IsEmpty()) m_view.OnPaint(&r);
        if (!dirty.empty()) SaveScreenshot();
    }

    // Unattended runs under a virtual display ask for what the window shows
    // (VELMORATH_SCREENSHOT=<file.png>); the last paint wins.
    void SaveScreenshot()
    {
        static const char* path = std::getenv("VELMORATH_SCREENSHOT");
        if (path == nullptr || *path == '\0' || !m_canvas.Backing().IsOk()) return;
        const wxSize c = m_canvas.GetClientSize();
        const wxBitmap& b = m_canvas.Backing();
        wxRect shown(0, 0, std::min(c.x, b.GetWidth()), std::min(c.y, b.GetHeight()));
        if (shown.IsEmpty()) return;
        platform::SaveScreenshot(b.GetSubBitmap(shown), path);
    }

private:
    platform::SurfaceCanvas& m_canvas;
    CZRKGameView& m_view;
    std::vector<platform::Rect> m_dirty;
    bool m_flushQueued = false;
};

CMainFrame::CMainFrame(CZRKGameDoc& doc, platform::SettingsStore* settings, std::function<void()> startup)
    : wxFrame(nullptr, wxID_ANY, "Velmorath"), m_doc(doc), m_view(std::make_unique<CZRKGameView>())
{
    CZRKGameView& view = *m_view;
    view.SetDocument(&doc);
    view.SetSettings(settings);
    // Unattended runs under a virtual display have nobody to click the
    // information screen away: with VELMORATH_SHOW_MAP=1 the frame does it
    // when the first phase waits for the click, and closes once the map is
    // shown for the viewing country.
    const char* showMap = std::getenv("VELMORATH_SHOW_MAP");
    if (showMap != nullptr && std::strcmp(showMap, "1") == 0) {
        m_unattended.SetOwner(this);
        Bind(wxEVT_TIMER, &CMainFrame::OnUnattendedTick, this, m_unattended.GetId());
        m_unattended.Start(kUnattendedTickMs);
    }
    view.SetStartupCommand(std::move(startup));
    view.SetFullScreenSource([] {
        const wxRect area = wxDisplay(0u).GetClientArea();
        return SizeI{area.width, area.height};
    });
    view.PreCreateWindow();

    m_canvas = new platform::SurfaceCanvas(this);
    m_window = std::make_unique<MapCanvasWindow>(*m_canvas, view);
    view.SetWindow(m_window.get());
    view.SetBlitSink(m_canvas);
    m_canvas->SetSizeHandler([this](int w, int h) {
        m_view->OnSize(w, h);
        m_window->Invalidate(nullptr);
    });
    m_canvas->SetScrollHandler([this](int x, int y) {
        const PointI now = m_view->GetScrollPosition();
        if (x != now.x) m_view->OnScroll(0, ScrollCode::ThumbTrack, x);
        if (y != now.y) m_view->OnScroll(1, ScrollCode::ThumbTrack, y);
    });
    m_canvas->SetRepaintHandler([this] { m_window->Invalidate(nullptr); });
    m_canvas->SetDisplayChangedHandler([this] { m_view->OnDisplayChange(); });
    m_canvas->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        e.Skip();
        m_view->OnInfoScreenClick();
    });
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);

    SetClientSize(1024, 700);
    const wxSize client = m_canvas->GetClientSize();
    view.OnSize(client.x, client.y);
    doc.SetView(&view);
    view.OnInitialUpdate();
}

CMainFrame::~CMainFrame()
{
    if (m_view) {
        m_doc.SetView(nullptr);
        m_view->SetWindow(nullptr);
        m_view->SetBlitSink(nullptr);
        m_view.reset();
    }
}

void CMainFrame::OnUnattendedTick(wxTimerEvent&)
{
    ++m_nUnattendedTicks;
    CZRKGameView& view = *m_view;
    const bool shown = (view.m_dwDispOption & kDispMapShown) != 0;
    if (!shown && m_doc.m_GameData.nFlowState == PHASE_WAITCLICK) view.OnInfoScreenClick();
    const bool done = (view.m_dwDispOption & kDispMapShown) && m_doc.m_pViewCountry != nullptr &&
                      (view.m_dwState & kViewBusy) == 0;
    if (!done && m_nUnattendedTicks < kUnattendedTickLimit) return;
    // A game that never waits for a click (computer phases only) is shown
    // as it stands when the time is up.
    if (!(view.m_dwDispOption & kDispMapShown)) view.ApplyViewOptions(kDispMapShown, kDispMapShown);
    m_unattended.Stop();
    view.RedrawMap(true);
    CallAfter([this] { Close(true); });
}

void CMainFrame::OnClose(wxCloseEvent& e)
{
    // While an order or animation runs the close waits for it.
    if (e.CanVeto() && (m_view->m_dwState & kViewBusy)) {
        m_view->m_dwState |= kViewCloseRequested;
        e.Veto();
        return;
    }
    // The view goes with the frame (its destructor writes the profile
    // values); paints still queued meanwhile find it alive.
    m_view->m_bDestroyed = 1;
    Destroy();
}

CMainFrame* CreateBattleFrame(CZRKGameDoc& doc, std::function<void()> startup)
{
    return new CMainFrame(doc, &platform::ProgramSettings(), std::move(startup));
}

CMainFrame* OpenBattleFrame(CZRKGameDoc& doc, std::function<void()> startup)
{
    CMainFrame* frame = CreateBattleFrame(doc, std::move(startup));
    frame->Show();
    return frame;
}

}  // namespace zrv
