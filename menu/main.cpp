// Entry point of the title and menu program.
#include <wx/frame.h>
#include <wx/msgdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"
#include "foundation/Movie.h"
#include "menu/MenuStartup.h"
#include "platform/core/Text.h"
#include "platform/wx/App.h"
#include "platform/wx/MovieWindow.h"
#include "platform/wx/StartupFailure.h"

namespace {

// Boxes of the start-up (OK only); the menu's own dialogs come with its screens.
class MenuDialogService : public zrv::DialogService {
public:
    int MessageBox(std::string_view text, unsigned style) override
    {
        long icon = (style & 0xF0) == zrv::kBoxIconStop ? wxICON_ERROR : wxICON_INFORMATION;
        wxMessageBox(wxString::FromUTF8(platform::SjisToUtf8(text)), zrv::kGameTitle, wxOK | wxCENTRE | icon);
        return zrv::kAnswerOk;
    }
};

class MenuApp : public platform::App {
public:
    bool OnInit() override
    {
        if (!platform::App::OnInit()) return false;
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

        auto handler = [this](const std::string& request) {
            CallAfter([this, request] { ApplyPeerRequest(m_frame, request); });
        };
        switch (m_startup.Start(handler, std::chrono::milliseconds(5000))) {
            case zrv::MenuStartup::Result::Ok:
                break;
            case zrv::MenuStartup::Result::RaisedOther:
                m_exitCode = 0;
                return true;
            default:
                m_exitCode = 1;
                return true;
        }
        // The code the title screen acts on (its screens come later).
        std::fprintf(stderr, "ZRVMenu: hand-over code %u\n", m_startup.Command());

        // Movies decode in their own thread and show in a window of their own.
        m_movies = std::make_unique<platform::WxMovies>();
        zrv::SetMovies(&m_movies->Movies());

        m_frame = new wxFrame(nullptr, wxID_ANY, zrv::kGameTitle);
        // A request may arrive after the frame has gone.
        m_frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& e) {
            if (e.GetEventObject() == m_frame) m_frame = nullptr;
            e.Skip();
        });
        m_frame->SetClientSize(640, 480);
        m_frame->Show();
        return true;
    }

    int OnRun() override { return m_exitCode >= 0 ? m_exitCode : platform::App::OnRun(); }

    int OnExit() override
    {
        // Its windows go while the window system is still there.
        zrv::SetMovies(nullptr);
        m_movies.reset();
        m_startup.Exit();
        zrv::SetDialogs(nullptr);
        return platform::App::OnExit();
    }

private:
    zrv::MenuStartup m_startup;
    MenuDialogService m_dialogs;
    wxFrame* m_frame = nullptr;
    std::unique_ptr<platform::WxMovies> m_movies;
    int m_exitCode = -1;
};

}  // namespace

wxIMPLEMENT_APP(MenuApp);
