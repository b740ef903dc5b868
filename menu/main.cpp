// Entry point of the title and menu program: the wx side of CZRKMenuApp. The
// start-up against the battle program, the document, the view and the idle
// actions live in the plain objects; this file gives them the window, the
// sound device and the UI thread.
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/timer.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"
#include "foundation/GfxSettings.h"
#include "foundation/Movie.h"
#include "menu/MenuApp.h"
#include "menu/wx/MenuDialogsWx.h"
#include "menu/wx/MenuFrame.h"
#include "menu/wx/MenuTestPlayer.h"
#include "menu/wx/MoviePlayOps.h"
#include "menu/wx/MovieWindows.h"
#include "platform/audio/SdlAudio.h"
#include "platform/wx/App.h"
#include "platform/wx/AudioWake.h"
#include "platform/wx/FileSettings.h"
#include "platform/wx/MovieWindow.h"
#include "platform/wx/StartupFailure.h"
#include "platform/wx/SurfaceCanvas.h"

namespace {

class MenuApp : public platform::App {
public:
    bool OnInit() override
    {
        if (!platform::App::OnInit()) return false;
        zrv::SetProgramVariant(zrv::ProgramVariant::Menu);
        // Every table and message comes from the data library, so it is loaded
        // before anything else; without it the program says so in its own
        // words and ends.
        std::string why;
        if (!zrv::LoadProgramDataLibrary(&why)) {
            platform::ReportStartupFailure(zrv::kDataLibraryLoadFailure, why);
            m_exitCode = platform::kExitNoDataLibrary;
            return true;
        }
        if (!platform::App::Unattended()) zrv::SetDialogs(&m_dialogs);
        m_audio = platform::CreateSdlAudioBackend();
        platform::SetAudio(m_audio.get());
        platform::DeliverAudioOnUiThread(*m_audio);

        m_core = std::make_unique<zrv::CZRKMenuApp>(&platform::ProgramSettings());
        auto handler = [this](const std::string& request) {
            CallAfter([this, request] {
                if (request == "close") m_closeRequested = true;
                ApplyPeerRequest(m_frame, request);
            });
        };
        switch (m_core->InitInstance(handler, std::chrono::milliseconds(5000))) {
            case zrv::MenuStartup::Result::Ok:
                break;
            case zrv::MenuStartup::Result::RaisedOther:
                m_exitCode = 0;
                return true;
            default:
                m_exitCode = 1;
                return true;
        }
        zrv::CZRKMenuApp::ParseSwitches(argc, argv);
        const uint32_t code = m_core->Startup().Command();
        std::fprintf(stderr, "ZRVMenu: hand-over code %u\n", code);
        zrv::menu::PreparePlay(*m_core);

        // Movies decode in their own thread and show in a window of their own.
        m_movies = std::make_unique<platform::WxMovies>();
        zrv::SetMovies(&m_movies->Movies());

        m_core->CreateDocument(&m_core->Startup().Block());
        zrv::CZRKMenuView& view = *m_core->View();
        m_core->Doc()->SetMenuDialogs(&m_dialogs);
        m_core->Doc()->SetScreenSize([] {
            const wxRect r = wxDisplay(0u).GetGeometry();
            return zrv::SizeI{r.width, r.height};
        });

        m_frame = new zrv::menu::CMainFrame(*m_core);
        m_dialogs.SetParent(m_frame);
        m_core->SetCloseMainWindow([this] { return m_frame != nullptr && m_frame->Close(); });
        m_frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& e) {
            if (e.GetEventObject() == m_frame) {
                zrv::menu::StopPlay();
                m_frame = nullptr;
                m_dialogs.SetParent(nullptr);
            }
            e.Skip();
        });
        WireView(view);
        WireScenes();
        WireMovies(view);
        m_frame->Show();

        view.OnInitialUpdate();
        zrv::menu::PlayLog(ScreenLine(code));
        zrv::menu::StartPlay(*m_frame, *m_core);

        // A battle program that ends before it closes this program did not start.
        m_watch.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_core->PollLaunchedBattle(m_closeRequested); });
        m_watch.Start(500);
        SetIdleHook([this] { return m_core->OnIdle(); });
        return true;
    }

    int OnRun() override { return m_exitCode >= 0 ? m_exitCode : platform::App::OnRun(); }

    int OnExit() override
    {
        m_watch.Stop();
        m_sceneTimers.clear();
        zrv::menu::StopPlay();
        if (m_core) m_core->ExitInstance();
        m_core.reset();
        // Its windows go while the window system is still there.
        zrv::SetMovies(nullptr);
        m_movies.reset();
        zrv::SetCursorObserver(nullptr);
        zrv::SetDialogs(nullptr);
        if (m_audio) {
            m_audio->SetWakeHook(nullptr);
            platform::SetAudio(nullptr);
        }
        return platform::App::OnExit();
    }

private:
    static std::string ScreenLine(uint32_t code)
    {
        return "start code " + std::to_string(code);
    }

    // The scenes' timers (one wxTimer per id), the menus they grey and the
    // nested event loop a script runs in.
    void WireScenes()
    {
        zrv::MenuSceneDirector::WindowLink link;
        link.startTimer = [this](int id, int ms) {
            std::unique_ptr<wxTimer>& t = m_sceneTimers[id];
            if (!t) {
                t = std::make_unique<wxTimer>();
                t->Bind(wxEVT_TIMER, [this, id](wxTimerEvent&) {
                    if (m_core && m_core->View()) m_core->View()->OnTimer(id);
                });
            }
            return t->Start(ms);
        };
        link.killTimer = [this](int id) {
            auto it = m_sceneTimers.find(id);
            if (it != m_sceneTimers.end() && it->second) it->second->Stop();
        };
        link.lockMenus = [this](bool locked) {
            if (m_frame == nullptr) return;
            m_frame->SetMenuLock(locked);
            if (wxMenuBar* bar = m_frame->GetMenuBar()) {
                for (size_t i = 0; i < bar->GetMenuCount() && i < 5; ++i) bar->EnableTop(i, !locked);
            }
        };
        link.runLoop = [this](const std::function<bool()>& done) {
            m_sceneClose = false;
            wxEventLoop loop;
            wxEventLoopActivator active(&loop);
            while (m_frame != nullptr && !m_sceneClose && !done()) {
                // Blocks until an event or the time is up; never spins.
                loop.DispatchTimeout(100);
                if (wxTheApp) wxTheApp->ProcessPendingEvents();
            }
            return m_sceneClose || m_frame == nullptr;
        };
        m_core->Scenes()->SetWindow(std::move(link));
        m_frame->SetLockedCloseHook([this] {
            m_sceneClose = true;
            zrv::menu::PlayLog("close refused during a scene");
        });
    }

    // The title dialog's window, the loop its routines run, the pointer.
    void WireMovies(zrv::CZRKMenuView& view)
    {
        view.SetMovieSeams(std::make_unique<zrv::WxTitleWindow>(), &m_moviePump,
                           [](bool shown) { zrv::ShowProgramCursor(shown); });
        zrv::SetCursorObserver(
            [](bool shown) { zrv::menu::PlayLog(shown ? "cursor shown" : "cursor hidden"); });
        zrv::menu::RegisterMoviePlayOperations(*m_frame, *m_core);
    }

    void WireView(zrv::CZRKMenuView& view)
    {
        platform::SurfaceCanvas& canvas = m_frame->Canvas();
        view.SetBlitSink(&canvas);
        view.SetFullScreenSource([] {
            const wxRect r = wxDisplay(0u).GetGeometry();
            return zrv::SizeI{r.width, r.height};
        });
        const wxSize client = canvas.GetClientSize();
        view.SetClientSize(client.x, client.y);
        canvas.SetRepaintHandler([&view] { view.BlitOSB(nullptr); });
        canvas.SetSizeHandler([&view](int cx, int cy) {
            view.SetClientSize(cx, cy);
            view.BlitOSB(nullptr);
        });
        canvas.SetScrollHandler([&view, &canvas](int x, int y) {
            // While a scene runs the view does not scroll.
            if (view.ScrollLock() == 0) {
                const zrv::PointI p = view.GetScrollPosition();
                canvas.SetScrollPos(wxHORIZONTAL, p.x);
                canvas.SetScrollPos(wxVERTICAL, p.y);
                return;
            }
            view.SetScrollPosition(x, y);
            view.BlitOSB(nullptr);
        });
        view.SetScrollRangeHook([&view, &canvas] {
            const zrv::SizeI total = view.GetVirtualSize(), page = view.GetPageSize(), line = view.GetLineSize();
            canvas.SetScrollGeometry(total.cx, total.cy, page.cx, page.cy, line.cx, line.cy);
        });
        view.SetCommandPoster([this](int id) {
            CallAfter([this, id] {
                if (m_core) m_core->RunCommand(id);
            });
        });
        view.SetEffectHook([](int effect) { zrv::menu::PlayLog("effect " + std::to_string(effect)); });
        canvas.Bind(wxEVT_MOTION, [&view](wxMouseEvent& e) {
            view.OnMouseMove(e.GetX(), e.GetY());
            if (view.HighlightedButton() >= 0)
                zrv::menu::PlayLog("highlight " + std::to_string(view.HighlightedButton()));
            e.Skip();
        });
        canvas.Bind(wxEVT_LEFT_DOWN, [&view](wxMouseEvent& e) {
            view.OnLButtonDown(e.GetX(), e.GetY());
            e.Skip();
        });
        canvas.Bind(wxEVT_MIDDLE_DOWN, [&view](wxMouseEvent& e) {
            view.OnMButtonDown();
            e.Skip();
        });
    }

    std::unique_ptr<zrv::CZRKMenuApp> m_core;
    zrv::menu::WxMenuDialogs m_dialogs;
    std::unique_ptr<platform::AudioBackend> m_audio;
    zrv::menu::CMainFrame* m_frame = nullptr;
    std::unique_ptr<platform::WxMovies> m_movies;
    zrv::WxEventPump m_moviePump;
    wxTimer m_watch;
    std::map<int, std::unique_ptr<wxTimer>> m_sceneTimers;
    bool m_sceneClose = false;
    bool m_closeRequested = false;
    int m_exitCode = -1;
};

}  // namespace

wxIMPLEMENT_APP(MenuApp);
