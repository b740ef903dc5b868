// The stand-in's small window: each side's unit picture with its line beside
// it, for a few seconds or until a key or a click.

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/wx.h>

#include "platform/wx/Screenshot.h"
#include "standins/zrvreal/RealScene.h"

namespace {

// How long the scene stays up without a key or a click.
constexpr int kShowMilliseconds = 3000;

wxColour ColourOf(uint32_t rgb)
{
    return wxColour(static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                    static_cast<unsigned char>(rgb));
}

// The whole scene as one picture: what the window paints and what a
// screenshot keeps.
wxBitmap ComposeScene(const RealSceneText& text, const RealScenePicture (&pictures)[2])
{
    wxImage image(kRealWindowWidth, kRealWindowHeight);
    const wxColour back = ColourOf(kRealBackground);
    image.SetRGB(wxRect(0, 0, kRealWindowWidth, kRealWindowHeight), back.Red(), back.Green(), back.Blue());
    for (int side = 0; side < 2; ++side) {
        const RealScenePicture& p = pictures[side];
        for (int y = 0; y < p.height && RealPictureY(side) + y < kRealWindowHeight; ++y) {
            for (int x = 0; x < p.width && kRealPictureX + x < kRealWindowWidth; ++x) {
                const uint32_t c =
                    p.rgb[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)];
                if (c == kRealTransparent) continue;
                image.SetRGB(kRealPictureX + x, RealPictureY(side) + y, static_cast<unsigned char>(c >> 16),
                             static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c));
            }
        }
    }
    wxBitmap bitmap(image);
    wxMemoryDC dc(bitmap);
    dc.SetTextForeground(*wxWHITE);
    dc.SetFont(*wxNORMAL_FONT);
    for (int side = 0; side < 2; ++side)
        dc.DrawText(wxString::FromUTF8(text.side[side]), kRealTextX, RealPictureY(side) + 10);
    dc.DrawText(wxString::FromUTF8(text.caption), kRealTextX, kRealWindowHeight - 18);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

class RealFrame : public wxFrame {
public:
    RealFrame(const RealSceneText& text, const wxBitmap& scene)
        : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(text.caption), wxDefaultPosition, wxDefaultSize,
                  wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
          m_scene(scene),
          m_timer(this)
    {
        auto* panel =
            new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(kRealWindowWidth, kRealWindowHeight));
        panel->SetBackgroundStyle(wxBG_STYLE_PAINT);
        panel->Bind(wxEVT_PAINT, [this, panel](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(panel);
            dc.DrawBitmap(m_scene, 0, 0);
        });
        panel->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent&) { Close(); });
        panel->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { Close(); });
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Close(); });
        SetClientSize(kRealWindowWidth, kRealWindowHeight);
        m_timer.StartOnce(kShowMilliseconds);
    }

private:
    wxBitmap m_scene;
    wxTimer m_timer;
};

class RealApp : public wxApp {
public:
    RealApp(const RealSceneText& text, const RealScenePicture (&pictures)[2], const std::string& screenshot)
        : m_text(text), m_screenshot(screenshot)
    {
        for (int i = 0; i < 2; ++i) m_pictures[i] = pictures[i];
    }
    bool OnInit() override
    {
        const wxBitmap scene = ComposeScene(m_text, m_pictures);
        if (!m_screenshot.empty()) {
            platform::SaveScreenshot(scene, m_screenshot);
        }
        auto* frame = new RealFrame(m_text, scene);
        frame->Centre();
        frame->Show();
        return true;
    }

private:
    RealSceneText m_text;
    RealScenePicture m_pictures[2];
    std::string m_screenshot;
};

}  // namespace

int ShowRealScene(int argc, char** argv, const RealSceneText& text, const RealScenePicture (&pictures)[2],
                  const std::string& screenshot)
{
    wxApp::SetInstance(new RealApp(text, pictures, screenshot));
    // A display that cannot be opened ends the stand-in like a scene shown.
    if (!wxEntryStart(argc, argv)) return 0;
    if (wxTheApp->CallOnInit()) wxTheApp->OnRun();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
