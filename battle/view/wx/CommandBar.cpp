#include "battle/view/wx/CommandBar.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "platform/core/Text.h"

namespace zrv {
namespace {

// One button of a bar, drawn by itself so that it keeps the bar's exact
// size: a raised face with the image, sunk while pressed, greyed while its
// command cannot run.
class BarButtonWindow : public wxWindow {
public:
    BarButtonWindow(wxWindow* parent, int id, const wxBitmap& image, const wxString& tip,
                    std::function<void(int)> run)
        : wxWindow(parent, id, wxDefaultPosition, wxSize(kBarButtonWidth, kBarButtonHeight), wxBORDER_NONE),
          m_image(image),
          m_run(std::move(run))
    {
        if (m_image.IsOk()) m_disabled = m_image.ConvertToDisabled();
        SetMinSize(wxSize(kBarButtonWidth, kBarButtonHeight));
        SetToolTip(tip);
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &BarButtonWindow::OnPaint, this);
        Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
            if (!IsEnabled()) return;
            m_pressed = true;
            CaptureMouse();
            Refresh(false);
        });
        Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
            if (!m_pressed) return;
            m_pressed = false;
            if (HasCapture()) ReleaseMouse();
            Refresh(false);
            if (IsEnabled() && GetClientRect().Contains(e.GetPosition()) && m_run) m_run(GetId());
        });
        Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) {
            m_pressed = false;
            Refresh(false);
        });
    }
    bool Enable(bool enable = true) override
    {
        const bool changed = wxWindow::Enable(enable);
        if (changed) Refresh(false);
        return changed;
    }

private:
    void OnPaint(wxPaintEvent&)
    {
        wxPaintDC dc(this);
        const wxSize size = GetClientSize();
        const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(face));
        dc.DrawRectangle(0, 0, size.x, size.y);
        const wxColour light = m_pressed ? *wxBLACK : *wxWHITE,
                       dark = m_pressed ? *wxWHITE : wxColour(96, 96, 96);
        dc.SetPen(wxPen(light));
        dc.DrawLine(0, 0, size.x - 1, 0);
        dc.DrawLine(0, 0, 0, size.y - 1);
        dc.SetPen(wxPen(dark));
        dc.DrawLine(0, size.y - 1, size.x, size.y - 1);
        dc.DrawLine(size.x - 1, 0, size.x - 1, size.y);
        const wxBitmap& shown = IsEnabled() ? m_image : m_disabled;
        if (!shown.IsOk()) return;
        const int shift = m_pressed ? 1 : 0;
        dc.DrawBitmap(shown, (size.x - shown.GetWidth()) / 2 + shift,
                      (size.y - shown.GetHeight()) / 2 + shift, true);
    }

    wxBitmap m_image, m_disabled;
    std::function<void(int)> m_run;
    bool m_pressed = false;
};

// The buttons two a row.
wxSize BarClientSize(const CommandBarSpec& spec)
{
    const int rows = static_cast<int>((spec.buttons.size() + kBarButtonsPerRow - 1) / kBarButtonsPerRow);
    return wxSize(kBarButtonsPerRow * kBarButtonWidth, rows * kBarButtonHeight);
}

}  // namespace

CommandBar::CommandBar(wxWindow* parent, const CommandBarSpec& spec, const std::vector<wxBitmap>& images,
                       Hooks hooks)
    : wxMiniFrame(parent, spec.controlId, wxString::FromUTF8(platform::SjisToUtf8(CommandBarCaption(spec))),
                  wxDefaultPosition, BarClientSize(spec),
                  wxCAPTION | wxCLOSE_BOX | wxFRAME_TOOL_WINDOW | wxFRAME_FLOAT_ON_PARENT | wxSTAY_ON_TOP |
                      wxFRAME_NO_TASKBAR),
      m_spec(spec),
      m_hooks(std::move(hooks))
{
    auto* grid = new wxGridSizer(kBarButtonsPerRow, 0, 0);
    for (size_t i = 0; i < spec.buttons.size(); ++i) {
        const BarButton& b = spec.buttons[i];
        const wxBitmap image = i < images.size() ? images[i] : wxBitmap();
        grid->Add(new BarButtonWindow(this, b.id, image, wxString::FromUTF8(platform::SjisToUtf8(b.tip)),
                                      [this](int id) {
                                          if (m_hooks.run) m_hooks.run(id);
                                      }));
    }
    // Each button is enabled as its command can run now. The bar itself
    // gets the same event under its own id, which is no command; it must
    // not go on to the main frame either, whose router would grey that id
    // and so disable the bar and every button in it.
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) {
        if (IsButtonId(e.GetId()) && m_hooks.state) e.Enable(m_hooks.state(e.GetId()).enabled);
    });
    Bind(wxEVT_CLOSE_WINDOW, &CommandBar::OnClose, this);
    SetSizer(grid);
    // Exactly the buttons, two a row: the bar never grows. The toolkit's
    // default size of a new window would otherwise stay.
    m_client = BarClientSize(spec);
    SetClientSize(m_client);
}

bool CommandBar::IsButtonId(int id) const
{
    for (const BarButton& b : m_spec.buttons)
        if (b.id == id) return true;
    return false;
}

void CommandBar::ShowAt(const wxPoint& p)
{
    Move(p);
    Show();
    // Some toolkits give a new top-level window their own default size when
    // it is first shown.
    if (GetClientSize() != m_client) SetClientSize(m_client);
    Raise();
}

void CommandBar::HideBar()
{
    if (!IsShown()) return;
    Hide();
    if (m_hooks.closed) m_hooks.closed(m_spec);
}

void CommandBar::OnClose(wxCloseEvent& e)
{
    // The close box only hides the bar; the frame destroys it with itself.
    if (e.CanVeto()) {
        e.Veto();
        HideBar();
        return;
    }
    e.Skip();
}

}  // namespace zrv
