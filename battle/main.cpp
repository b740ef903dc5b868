// Entry point of the battle program.
#include <wx/frame.h>

#include <string>

#include "foundation/DataLibraryLoader.h"
#include "platform/wx/App.h"
#include "platform/wx/StartupFailure.h"

namespace {

class GameApp : public platform::App {
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
            m_noLibrary = true;
            return true;
        }
        auto* frame = new wxFrame(nullptr, wxID_ANY, "Velmorath");
        frame->SetClientSize(640, 480);
        frame->Show();
        return true;
    }

    // A failed start ends here with its own exit code rather than wx's
    // generic one for a refused OnInit.
    int OnRun() override { return m_noLibrary ? platform::kExitNoDataLibrary : platform::App::OnRun(); }

private:
    bool m_noLibrary = false;
};

}  // namespace

wxIMPLEMENT_APP(GameApp);
