#include "battle/dialogs/wx/WxDialogService.h"

#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>
#include <wx/msgdlg.h>

#include "battle/dialogs/FileDialogs.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/App.h"

namespace zrv {

namespace {

wxString FromSjis(std::string_view sjis)
{
    return wxString::FromUTF8(platform::SjisToUtf8(sjis));
}

// One line of text added to a file dialog.
class TextLineHook : public wxFileDialogCustomizeHook {
public:
    explicit TextLineHook(wxString text) : m_text(std::move(text)) {}
    void AddCustomControls(wxFileDialogCustomize& customizer) override { customizer.AddStaticText(m_text); }

private:
    wxString m_text;
};

// The information panel of the open dialogs: the file under the selection
// read and described, again whenever the selection changes.
class PreviewHook : public wxFileDialogCustomizeHook {
public:
    PreviewHook(std::string_view extension, bool campaign) : m_extension(extension), m_campaign(campaign) {}
    void SetDialog(wxFileDialog* dialog) { m_dialog = dialog; }
    void AddCustomControls(wxFileDialogCustomize& customizer) override
    {
        customizer.AddStaticText(wxString::FromUTF8(u8"情報"));
        // Three lines are kept from the start, so a preview never needs more room.
        m_text = customizer.AddStaticText(Preview({}) + "\n\n");
    }
    void UpdateCustomControls() override
    {
        if (m_dialog == nullptr || m_text == nullptr) return;
        const std::string native = m_dialog->GetCurrentlySelectedFilename().utf8_string();
        if (native == m_shown) return;
        m_shown = native;
        m_text->SetLabelText(Preview(native.empty() ? std::string() : platform::FromNativePath(native)));
    }

private:
    wxString Preview(const std::string& path) const
    {
        return FromSjis(FilePreviewText(m_extension, path, m_campaign));
    }
    std::string m_extension;
    bool m_campaign;
    wxFileDialog* m_dialog = nullptr;
    wxFileDialogStaticText* m_text = nullptr;
    std::string m_shown;
};

}  // namespace

int WxDialogService::MessageBox(std::string_view text, unsigned style)
{
    long flags = wxCENTRE;
    switch (style & 0xF) {
        case kBoxOkCancel:
            flags |= wxOK | wxCANCEL;
            break;
        case kBoxYesNo:
            flags |= wxYES_NO;
            break;
        case kBoxYesNoCancel:
            flags |= wxYES_NO | wxCANCEL;
            break;
        default:
            flags |= wxOK;
            break;
    }
    switch (style & 0xF0) {
        case kBoxIconStop:
            flags |= wxICON_ERROR;
            break;
        case kBoxIconQuestion:
            flags |= wxICON_QUESTION;
            break;
        case kBoxIconExclamation:
            flags |= wxICON_WARNING;
            break;
        case kBoxIconInformation:
            flags |= wxICON_INFORMATION;
            break;
        default:
            break;
    }
    if (style & kBoxDefButton2) flags |= wxNO_DEFAULT | wxCANCEL_DEFAULT;
    switch (wxMessageBox(FromSjis(text), kGameTitle, flags, m_parent)) {
        case wxOK:
            return kAnswerOk;
        case wxYES:
            return kAnswerYes;
        case wxNO:
            return kAnswerNo;
        default:
            return kAnswerCancel;
    }
}

int WxDialogService::OpenFileDialog(std::string& path, std::string_view extension)
{
    return RunFileDialog(path, extension, false);
}

int WxDialogService::SaveFileDialog(std::string& path, std::string_view extension)
{
    return RunFileDialog(path, extension, true);
}

int WxDialogService::RunFileDialog(std::string& path, std::string_view extension, bool save)
{
    // Nobody would close it.
    if (platform::App::Unattended()) return kAnswerCancel;
    const FileDialogSetup setup = DescribeFileDialog(extension, path, save);
    const long style = save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    // The hooks outlive the dialog that points at them. The game save dialog
    // tells what saving costs; every open dialog of a kind the game reads
    // previews the selected file.
    TextLineHook cost(m_saveCost ? FromSjis(SaveCostText(m_saveCost())) : wxString());
    PreviewHook preview(extension, m_campaign && m_campaign());
    wxFileDialog dialog(m_parent, wxString::FromUTF8(setup.title), wxString::FromUTF8(setup.folder),
                        wxString::FromUTF8(setup.name), wxString::FromUTF8(JoinFilter(setup)), style);
    if (save && m_saveCost && extension == ".DG2") {
        dialog.SetCustomizeHook(cost);
    } else if (!save && HasFilePreview(extension)) {
        preview.SetDialog(&dialog);
        dialog.SetCustomizeHook(preview);
    }
    if (dialog.ShowModal() != wxID_OK) return kAnswerCancel;
    // Kept as a string of its own: a buffer of a temporary's text would
    // dangle.
    const std::string chosen = dialog.GetPath().utf8_string();
    if (chosen.empty()) return kAnswerCancel;
    path = ChosenProgramPath(chosen);
    return kAnswerOk;
}

}  // namespace zrv
