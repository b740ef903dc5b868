#include "platform/wx/HelpFile.h"

#include <filesystem>

#include <wx/utils.h>

namespace platform {

bool OpenHelpFile(const std::string& nativePath)
{
    std::error_code ec;
    const std::filesystem::path native(nativePath);
    if (!std::filesystem::is_regular_file(native, ec)) return false;
    wxLaunchDefaultApplication(wxString::FromUTF8(native.parent_path().string()));
    return true;
}

}  // namespace platform
