#include "platform/wx/FilePreviewHook.h"

namespace platform {

void FilePreviewHook::AddCustomControls(wxFileDialogCustomize& customizer)
{
    customizer.AddStaticText(wxString::FromUTF8(u8"情報"));
    // Three lines are kept from the start, so a preview never needs more room.
    m_label = m_formatter(std::string());
    m_text = customizer.AddStaticText(m_label + "\n\n");
}

void FilePreviewHook::UpdateCustomControls()
{
    if (m_dialog == nullptr || m_text == nullptr) return;
    const std::string native = m_dialog->GetCurrentlySelectedFilename().utf8_string();
    if (native == m_shown) return;
    m_shown = native;
    m_label = m_formatter(native);
    m_text->SetLabelText(m_label);
}

wxString FilePreviewHook::Shown() const
{
    return m_label;
}

}  // namespace platform
