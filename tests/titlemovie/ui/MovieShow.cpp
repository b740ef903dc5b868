// movieshow <title|fullscreen> <screenshot folder>
// Runs the menu's movie windows on the real movie device under a display: the
// title sequence with end mode 1 over the staged "OPENING.MPG" (captured
// mid-movie, then ended by a real click), or the full-screen player over the
// staged event movie (captured, then ended by a real Esc, which its loop
// takes while the movie plays). Exits 0 when what the screen showed was
// right.
#include <wx/app.h>
#include <wx/display.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Movie.h"
#include "menu/FullScreenMovie.h"
#include "menu/TitleMovie.h"
#include "menu/wx/MovieWindows.h"
#include "platform/audio/SdlAudio.h"
#include "platform/core/Paths.h"
#include "platform/wx/KeyInput.h"
#include "platform/wx/MovieWindow.h"
#include "platform/wx/Screenshot.h"

namespace {

struct View : zrv::MenuMovieView {
    uint32_t flags = 0, device = 0;
    bool sound = true, cursor = true;
    uint32_t& SceneFlags() override { return flags; }
    uint32_t& MovieDevice() override { return device; }
    void StopCDAudio() override {}
    void PlayCurrentCDTrack() override {}
    void FreeAllSoundEffects() override {}
    void ReleaseDirectSound() override { sound = false; }
    bool SoundEnabled() override { return sound; }
    void InitDirectSound() override { sound = true; }
    void* MovieParent() override { return nullptr; }
    zrv::ScreenSize Screen() override
    {
        wxRect r = wxDisplay(0u).GetGeometry();
        return {r.width, r.height};
    }
    void ShowCursor(bool shown) override { cursor = shown; }
    bool LocateMovie(std::string_view name, std::string& path) override
    {
        path = platform::MoviePath(name);
        return platform::FileExistsSjis(path);
    }
};

int g_failures = 0;
void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "movieshow: FAILED: %s\n", what);
        ++g_failures;
    }
}

wxImage Screen()
{
    const wxBitmap shot = platform::GrabScreen(wxDisplay(0u).GetGeometry());
    return shot.IsOk() ? shot.ConvertToImage() : wxImage(1, 1);
}

void Save(const wxImage& image, const std::string& folder, const char* name)
{
    platform::SaveScreenshot(wxBitmap(image), folder + "/" + name);
}

bool Near(const wxImage& im, int x, int y, int r, int g, int b)
{
    return std::abs(im.GetRed(x, y) - r) < 60 && std::abs(im.GetGreen(x, y) - g) < 60 &&
           std::abs(im.GetBlue(x, y) - b) < 60;
}

class ShowApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc != 3) return false;
        m_mode = argv[1].ToStdString();
        m_folder = argv[2].ToStdString();
        if (const char* stage = std::getenv("VELMORATH_STAGE_DIR")) platform::SetProgramFolder(stage);
        m_audio = platform::CreateSdlAudioBackend();
        platform::SetAudio(m_audio.get());
        m_movies = std::make_unique<platform::WxMovies>();
        zrv::SetMovies(&m_movies->Movies());
        CallAfter([this] { m_mode == "title" ? RunTitle() : RunFullScreen(); });
        return true;
    }

    int OnExit() override
    {
        zrv::SetMovies(nullptr);
        m_movies.reset();
        platform::SetAudio(nullptr);
        return 0;
    }

private:
    void RunTitle()
    {
        View view;
        zrv::WxEventPump pump;
        zrv::WxTitleWindow window;
        zrv::CMenuMovies routines(view, pump);
        zrv::CTitleDlg dlg(routines, window);
        window.SetDialog(&dlg);
        routines.SetTitleDialog(&dlg);
        const zrv::ScreenSize s = view.Screen();
        const zrv::MovieRect at = zrv::PlaceMenuMovie(0, s);

        // A second into the movie's step: the bars stand at the placed corner.
        wxTimer mid;
        int ticks = 0;
        mid.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (dlg.Step() != 7 || ++ticks < 10) return;
            mid.Stop();
            wxImage im = Screen();
            Save(im, m_folder, "title_mid_movie.png");
            // The first bar is near-white, the last blue; around the movie black.
            Check(Near(im, at.x + at.width / 28, at.y + at.height / 8, 235, 235, 235),
                  "the first bar at the corner");
            Check(Near(im, at.x + at.width - at.width / 28, at.y + at.height / 8, 16, 16, 235),
                  "the last bar");
            Check(Near(im, at.x / 2, at.y / 2, 0, 0, 0), "black around the movie");
            Check(!view.cursor, "the pointer hidden while the movie plays");
        });
        mid.Start(100);
        // After the movie step, a real click ends the sequence.
        wxTimer click;
        click.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (!dlg.Clickable()) return;
            click.Stop();
            Save(Screen(), m_folder, "title_waiting.png");
            wxUIActionSimulator sim;
            sim.MouseMove(s.width / 2, s.height / 2);
            sim.MouseClick();
        });
        click.Start(500);
        routines.RunTitleSequence(1);
        click.Stop();
        mid.Stop();
        Check(ticks >= 10, "the movie was seen playing");
        Check(dlg.Finished(), "the sequence finished");
        Check(view.device == 0 && (view.flags & 0x70000) == 0, "the movie closed and its flags cleared");
        Check(view.cursor, "the pointer is back");
        Check(view.sound, "the sound device is back");
        Finish();
    }

    void RunFullScreen()
    {
        m_host = std::make_unique<zrv::WxFullScreenHost>(
            [this](std::string path) { CallAfter([this, path] { PlayFullScreen(path); }); });
        m_host->SetMessageObserver([this](const zrv::MovieLoopMessage& m) { m_messages.push_back(m.kind); });
        m_mode_ = std::make_unique<zrv::FullScreenMovieMode>(*m_host);
        m_mode_->OnStart(platform::MoviePath("Hs410622.AVI"));
    }

    void PlayFullScreen(const std::string& path)
    {
        // Half a second after the movie has started: a picture, then Esc at
        // once; the picture is judged afterwards.
        wxImage im;
        wxTimer esc;
        int ticks = 0;
        esc.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            const zrv::CDDSMovie* movie = m_mode_->Movie();
            if (movie == nullptr || movie->PlayState() != zrv::CDDSMovie::kRunning || ++ticks < 5) return;
            esc.Stop();
            im = Screen();
            Check(platform::PressKeyInTopWindow(WXK_ESCAPE), "Esc pressed");
        });
        esc.Start(100);
        m_mode_->OnPlay(path);
        esc.Stop();
        Save(im, m_folder, "fullscreen_movie.png");
        const zrv::MovieRect r = zrv::FullScreenMovieRect({im.GetWidth(), im.GetHeight()});
        Check(im.GetWidth() > 1 && Near(im, r.x + r.width / 28, r.y + r.height / 8, 235, 235, 235),
              "the movie covers the screen");
        Check(im.GetWidth() > 1 && Near(im, r.x + r.width - 2, r.y + r.height - 2, 24, 24, 24), "to its corner");
        Check(m_messages.size() == 1 && m_messages[0] == zrv::MovieLoopMessage::Abort,
              "Esc reached the movie's loop while it played");
        Check(m_mode_->Movie() == nullptr && !m_mode_->MovieRunning(), "the mode ended");
        Finish();
    }

    void Finish()
    {
        std::fprintf(stderr, "movieshow %s: %d failures\n", m_mode.c_str(), g_failures);
        m_exit = g_failures == 0 ? 0 : 1;
        CallAfter([this] { ExitMainLoop(); });
    }

public:
    int OnRun() override
    {
        wxApp::OnRun();
        return m_exit;
    }

private:
    std::string m_mode, m_folder;
    std::unique_ptr<platform::AudioBackend> m_audio;
    std::unique_ptr<platform::WxMovies> m_movies;
    std::unique_ptr<zrv::WxFullScreenHost> m_host;
    std::unique_ptr<zrv::FullScreenMovieMode> m_mode_;
    std::vector<zrv::MovieLoopMessage::Kind> m_messages;
    int m_exit = 1;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(ShowApp);

int main(int argc, char** argv)
{
    return wxEntry(argc, argv);
}
