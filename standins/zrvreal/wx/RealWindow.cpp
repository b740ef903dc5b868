// The stand-in's small window: the two units' lines for a few seconds, or
// until a key or a click.

#include <wx/wx.h>

#include "standins/zrvreal/RealScene.h"

namespace {

// How long the scene stays up without a key or a click.
constexpr int kShowMilliseconds = 3000;

class RealFrame : public wxFrame {
public:
    explicit RealFrame(const RealSceneText& text)
        : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(text.caption), wxDefaultPosition, wxSize(420, 120)),
          m_timer(this)
    {
        auto* panel = new wxPanel(this);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        for (const std::string& line : text.side)
            sizer->Add(new wxStaticText(panel, wxID_ANY, wxString::FromUTF8(line)), 0, wxALL, 8);
        panel->SetSizer(sizer);
        panel->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent&) { Close(); });
        panel->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { Close(); });
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Close(); });
        m_timer.StartOnce(kShowMilliseconds);
    }

private:
    wxTimer m_timer;
};

class RealApp : public wxApp {
public:
    explicit RealApp(const RealSceneText& text) : m_text(text) {}
    bool OnInit() override
    {
        auto* frame = new RealFrame(m_text);
        frame->Centre();
        frame->Show();
        return true;
    }

private:
    RealSceneText m_text;
};

}  // namespace

int ShowRealScene(int argc, char** argv, const RealSceneText& text)
{
    wxApp::SetInstance(new RealApp(text));
    // A display that cannot be opened ends the stand-in like a scene shown.
    if (!wxEntryStart(argc, argv)) return 0;
    if (wxTheApp->CallOnInit()) wxTheApp->OnRun();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
