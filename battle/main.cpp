// Entry point of the battle program.
#include <memory>
#include <string>

#include "battle/engine/GameDoc.h"
#include "battle/view/wx/MainFrame.h"
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
        m_doc = std::make_unique<zrv::CZRKGameDoc>();
        zrv::OpenBattleFrame(*m_doc, {});
        return true;
    }

    // A failed start ends here with its own exit code rather than wx's
    // generic one for a refused OnInit.
    int OnRun() override { return m_noLibrary ? platform::kExitNoDataLibrary : platform::App::OnRun(); }

private:
    bool m_noLibrary = false;
    std::unique_ptr<zrv::CZRKGameDoc> m_doc;
};

}  // namespace

wxIMPLEMENT_APP(GameApp);
