#include "battle/view/wx/OverviewFrame.h"

#include <wx/display.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include "platform/core/Text.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {

namespace {

class OverviewFrame final : public wxFrame {
public:
    OverviewFrame(wxWindow* parent, CSMapDlg& dlg, int client)
        : wxFrame(parent, wxID_ANY, wxString::FromUTF8(platform::SjisToUtf8(kOverviewCaption)), wxDefaultPosition, wxDefaultSize,
                  wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxFRAME_TOOL_WINDOW | wxFRAME_FLOAT_ON_PARENT),
          m_dlg(dlg)
    {
        m_canvas = new platform::SurfaceCanvas(this, wxID_ANY, 0);
        m_canvas->SetMinClientSize(wxSize(client, client));
        SetClientSize(client, client);
        m_canvas->SetRepaintHandler([this] { Repaint(); });
        m_canvas->SetSizeHandler([this](int, int) { Repaint(); });
        m_canvas->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
            e.Skip();
            m_dlg.OnLButtonDown({e.GetX(), e.GetY()});
        });
        m_canvas->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
            e.Skip();
            m_dlg.OnMouseMove({e.GetX(), e.GetY()}, e.LeftIsDown());
        });
        // Esc and the close box: the view closes the window.
        m_canvas->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE)
                CallAfter([this] { m_dlg.OnCancel(); });
            else
                e.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
            if (m_leaving) {
                e.Skip();
                return;
            }
            e.Veto();
            CallAfter([this] { m_dlg.OnCancel(); });
        });
    }

    // The picture with its frame, painted again as the main map moves.
    void Repaint()
    {
        if (m_leaving) return;
        const platform::Surface8* pic = m_dlg.Paint();
        if (pic == nullptr) return;
        m_canvas->Blit(*pic, {0, 0, pic->Width(), pic->Height()}, 0, 0);
    }
    void QueueRepaint()
    {
        if (m_queued || m_leaving) return;
        m_queued = true;
        CallAfter([this] {
            m_queued = false;
            Repaint();
        });
    }
    void Leave()
    {
        m_leaving = true;
        Destroy();
    }

private:
    CSMapDlg& m_dlg;
    platform::SurfaceCanvas* m_canvas = nullptr;
    bool m_queued = false;
    bool m_leaving = false;
};

class OverviewWindowWx final : public OverviewWindow {
public:
    explicit OverviewWindowWx(OverviewFrame* frame) : m_frame(frame) {}
    SizeI FrameSize(SizeI client) const override
    {
        if (!m_frame) return client;
        const wxSize outer = m_frame->GetSize(), inner = m_frame->GetClientSize();
        return {outer.x - inner.x + client.cx, outer.y - inner.y + client.cy};
    }
    void Place(PointI topLeft, SizeI size) override
    {
        if (!m_frame) return;
        m_frame->SetSize(topLeft.x, topLeft.y, size.cx, size.cy);
        m_last = topLeft;
    }
    void ShowWithoutActivating() override
    {
        if (!m_frame) return;
        m_frame->ShowWithoutActivating();
        m_frame->QueueRepaint();
    }
    PointI TopLeft() const override
    {
        if (m_frame) {
            const wxPoint p = m_frame->GetPosition();
            m_last = {p.x, p.y};
        }
        return m_last;
    }
    void Invalidate() override
    {
        if (m_frame) m_frame->QueueRepaint();
    }
    void Destroy() override
    {
        if (m_frame) m_frame->Leave();
        m_frame = nullptr;
    }

private:
    wxWeakRef<OverviewFrame> m_frame;
    mutable PointI m_last;
};

}  // namespace

std::unique_ptr<OverviewWindow> OverviewFrameMaker::Make(CSMapDlg& dlg, int client)
{
    auto* frame = new OverviewFrame(m_parent, dlg, client);
    return std::make_unique<OverviewWindowWx>(frame);
}

SizeI OverviewFrameMaker::ScreenSize() const
{
    const wxRect r = wxDisplay(0u).GetGeometry();
    return {r.width, r.height};
}

}  // namespace zrv
