#pragma once
// The information panel of an open-file dialog: a "情報" heading and a text
// that describes the file under the selection, made again whenever the
// selection changes. What the text says is the caller's (a formatter given
// the native path, empty when nothing is selected). Both programs' open
// dialogs use it; the hook must outlive the dialog that points at it.

#include <functional>
#include <string>

#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>

namespace platform {

class FilePreviewHook : public wxFileDialogCustomizeHook {
public:
    using Formatter = std::function<wxString(const std::string& nativePath)>;
    explicit FilePreviewHook(Formatter formatter) : m_formatter(std::move(formatter)) {}
    void SetDialog(wxFileDialog* dialog) { m_dialog = dialog; }
    void AddCustomControls(wxFileDialogCustomize& customizer) override;
    void UpdateCustomControls() override;
    // The text shown now.
    wxString Shown() const;

private:
    Formatter m_formatter;
    wxFileDialog* m_dialog = nullptr;
    wxFileDialogStaticText* m_text = nullptr;
    std::string m_shown;
    wxString m_label;
};

}  // namespace platform
