// Entry point of the title and menu program.
#include <wx/frame.h>

#include "platform/wx/App.h"

namespace {

class MenuApp : public platform::App {
public:
    bool OnInit() override
    {
        if (!platform::App::OnInit()) return false;
        auto* frame = new wxFrame(nullptr, wxID_ANY, "Velmorath");
        frame->SetClientSize(640, 480);
        frame->Show();
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP(MenuApp);
