#include "platform/wx/StartupFailure.h"

#include <wx/msgdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/core/Text.h"
#include "platform/wx/App.h"

namespace platform {

void ReportStartupFailure(std::string_view textSjis, std::string_view detail)
{
    if (!detail.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(detail.size()), detail.data());
    const std::string text = SjisToUtf8(textSjis);
    if (App::Unattended()) {
        std::fprintf(stderr, "[Velmorath] %s\n", text.c_str());
        return;
    }
    wxMessageBox(wxString::FromUTF8(text.c_str()), "Velmorath", wxOK | wxICON_ERROR);
}

void ReportStartupNotice(std::string_view textSjis)
{
    const std::string text = SjisToUtf8(textSjis);
    if (App::Unattended()) {
        std::fprintf(stderr, "[Velmorath] %s\n", text.c_str());
        return;
    }
    wxMessageBox(wxString::FromUTF8(text.c_str()), "Velmorath", wxOK | wxICON_INFORMATION);
}

}  // namespace platform
