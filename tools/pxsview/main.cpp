// pxsview <picture.pxs> <palette.plb> <out.png> [text]
// Shows the picture through an off-screen view in a real window, fades the
// palette in from black (a PNG of the half-way step is written beside the
// output as <out>-fade.png), then draws the text (UTF-8; "|" starts a new
// line) as a centred block with its outline and saves the window's pixels.
// Exit status 0 when both PNG files were written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/timer.h>

#include "foundation/Dib.h"
#include "foundation/OSBView.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/SurfaceCanvas.h"

namespace {

class ViewerApp : public wxApp {
public:
    bool OnInit() override;
    int OnRun() override
    {
        wxApp::OnRun();
        return m_result;
    }

private:
    void Step();
    bool SavePng(const std::string& path);

    std::string m_pxs, m_plb, m_out, m_text;
    wxFrame* m_frame = nullptr;
    platform::SurfaceCanvas* m_canvas = nullptr;
    zrv::COSBView m_view{zrv::ProgramVariant::Battle};
    zrv::CDib m_picture;
    wxTimer m_timer;
    int m_level = 0;
    int m_result = 1;
};

bool ViewerApp::OnInit()
{
    delete wxLog::SetActiveTarget(new wxLogStderr);
    if (argc < 4) {
        std::fprintf(stderr, "usage: pxsview <picture.pxs> <palette.plb> <out.png> [text]\n");
        return false;
    }
    m_pxs = platform::FromNativePath(argv[1].utf8_string());
    m_plb = platform::FromNativePath(argv[2].utf8_string());
    m_out = argv[3].utf8_string();
    std::string text = argc > 4 ? argv[4].utf8_string() : "";
    for (char& c : text)
        if (c == '|') c = '\n';
    m_text = platform::Utf8ToSjis(text);

    wxInitAllImageHandlers();
    zrv::SetProgramVariant(zrv::ProgramVariant::Battle);
    m_frame = new wxFrame(nullptr, wxID_ANY, "pxsview", wxDefaultPosition, wxSize(700, 560));
    m_canvas = new platform::SurfaceCanvas(m_frame);
    m_view.SetBlitSink(m_canvas);
    m_view.SetFullScreenSource([] { return zrv::SizeI{1024, 768}; });
    m_canvas->SetRepaintHandler([this] { m_view.BlitOSB(nullptr); });
    m_canvas->SetSizeHandler([this](int w, int h) {
        m_view.SetClientSize(w, h);
        m_view.BlitOSB(nullptr);
    });
    m_frame->Show();
    wxSize client = m_canvas->GetClientSize();
    m_view.SetClientSize(client.x, client.y);

    if (!m_view.CreateOSB(m_plb)) return false;
    if (!m_picture.CreateFromPXS(m_view.GetPalette()->GetColorTable(), m_pxs)) return false;
    // The whole window is the buffer's top-left corner, as for a full-window
    // message: blit mode 1 from the origin.
    m_view.SetBlitOrigin(1, {0, 0});
    m_view.GetDib()->ClearBits(0);
    m_picture.CopyRect(m_view.GetDib(), 0, 0, m_picture.GetWidth(), m_picture.GetHeight(), 0, 0, -1);
    m_view.GetPalette()->FadeFromBlack(m_view.GetLoadedColors(), 0);
    m_view.GetPalette()->ApplyColorTable(m_view.GetDib());

    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
    m_timer.Start(50);
    return true;
}

void ViewerApp::Step()
{
    m_level = std::min(256, m_level + 32);
    m_view.GetPalette()->FadeFromBlack(m_view.GetLoadedColors(), m_level);
    m_view.GetPalette()->ApplyColorTable(m_view.GetDib());
    if (m_level == 128) {
        m_canvas->Update();
        std::string fade = m_out.substr(0, m_out.rfind('.')) + "-fade.png";
        if (!SavePng(fade)) m_level = 1000;
    }
    if (m_level < 256) return;
    m_timer.Stop();
    if (!m_text.empty()) {
        m_view.DrawTextBlock(m_text, 24, 0);
        m_view.DrawTextBlock(m_text, 24, 1);
        m_view.BlitOSB(nullptr);
    }
    m_canvas->Update();
    m_result = SavePng(m_out) && m_level == 256 ? 0 : 1;
    m_frame->Close(true);
}

bool ViewerApp::SavePng(const std::string& path)
{
    wxSize client = m_canvas->GetClientSize();
    wxBitmap shown = m_canvas->Backing().GetSubBitmap(
        wxRect(0, 0, std::min(client.x, m_canvas->Backing().GetWidth()), std::min(client.y, m_canvas->Backing().GetHeight())));
    if (!shown.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) {
        std::fprintf(stderr, "pxsview: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(ViewerApp);

int main(int argc, char** argv)
{
    return wxEntry(argc, argv);
}
