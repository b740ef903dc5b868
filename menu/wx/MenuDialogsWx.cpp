#include "menu/wx/MenuDialogsWx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <array>
#include <cstdio>

#include "foundation/DataLibrary.h"
#include "foundation/FilePreview.h"
#include "menu/CampaignSettings.h"
#include "menu/MenuDoc.h"
#include "menu/wx/MenuTestPlayer.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/App.h"
#include "platform/wx/FilePreviewHook.h"
#include "platform/wx/MessageBoxes.h"

namespace zrv::menu {

namespace {

wxString FromSjis(std::string_view sjis)
{
    return wxString::FromUTF8(platform::SjisToUtf8(sjis));
}

// A stored filter in the form the file dialog takes.
wxString DialogFilter(std::string_view stored)
{
    wxString out;
    for (const auto& [description, patterns] : FileDialogFilter(stored)) {
        if (!out.empty()) out += "|";
        out += wxString::FromUTF8(description) + "|" + wxString::FromUTF8(patterns);
    }
    return out;
}

std::string DataFolderNative()
{
    std::string folder = platform::ToNativePath(platform::DataPath(""));
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// Dialog 144.
class CampaignSettingsWindow : public wxDialog {
public:
    explicit CampaignSettingsWindow(wxWindow* parent)
        : wxDialog(parent, wxID_ANY, FromSjis(kCampaignSettingsCaption))
    {
        auto* top = new wxBoxSizer(wxVERTICAL);
        top->Add(new wxStaticText(this, wxID_ANY, FromSjis(kCampaignSettingsNote)), 0, wxALL, 8);
        auto* groups = new wxBoxSizer(wxHORIZONTAL);
        for (size_t g = 0; g < kCampaignSettingsGroups.size(); ++g) {
            auto* box = new wxStaticBoxSizer(wxVERTICAL, this, FromSjis(kCampaignSettingsGroups[g]));
            for (const CampaignSettingsBox& b : kCampaignSettingsBoxes) {
                if (b.group != static_cast<int>(g)) continue;
                auto* check = new wxCheckBox(box->GetStaticBox(), b.id, FromSjis(b.text));
                check->Bind(wxEVT_CHECKBOX, [this, id = b.id](wxCommandEvent& e) {
                    m_model.OnBoxClicked(id, e.IsChecked());
                });
                box->Add(check, 0, wxALL, 3);
            }
            groups->Add(box, 0, wxALL | wxEXPAND, 4);
        }
        top->Add(groups, 0, wxLEFT | wxRIGHT, 4);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        auto* ok = new wxButton(this, wxID_OK, FromSjis(kCampaignSettingsOk));
        ok->SetDefault();
        buttons->Add(ok, 0, wxALL, 4);
        buttons->Add(new wxButton(this, wxID_CANCEL, FromSjis(kCampaignSettingsCancel)), 0, wxALL, 4);
        top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 4);
        SetSizerAndFit(top);
        CentreOnParent();
    }
    uint32_t OptionWord() const { return m_model.OptionWord(); }

private:
    CCampaignSettingsDlg m_model;
};

}  // namespace

int WxMenuDialogs::MessageBox(std::string_view text, unsigned style)
{
    return platform::ShowMessageBox(m_parent, FromSjis(text), kGameTitle, style);
}

int WxMenuDialogs::ResumeFileDialog(std::string& path)
{
    // Nobody would close it.
    if (platform::App::Unattended()) return kAnswerCancel;
    platform::FilePreviewHook preview([](const std::string& native) {
        if (native.empty()) return wxString();
        const wxString text = FromSjis(ResumePreviewText(platform::FromNativePath(native)));
        wxString line = text;
        line.Replace("\n", "\\n");
        PlayLog("preview " + line.utf8_string());
        return text;
    });
    wxFileDialog dialog(m_parent, FromSjis(TableText(Lib().MsgCommon, 0)), wxString::FromUTF8(DataFolderNative()),
                        wxString(), DialogFilter(kResumeFilter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    preview.SetDialog(&dialog);
    dialog.SetCustomizeHook(preview);
    if (dialog.ShowModal() != wxID_OK) return kAnswerCancel;
    const std::string chosen = dialog.GetPath().utf8_string();
    if (chosen.empty()) return kAnswerCancel;
    path = platform::FromNativePath(chosen);
    return kAnswerOk;
}

int WxMenuDialogs::CampaignSaveDialog(std::string& path)
{
    if (platform::App::Unattended()) return kAnswerCancel;
    std::string folder = DataFolderNative(), name;
    if (!path.empty()) {
        const std::string native = platform::ToNativePath(path);
        const size_t slash = native.find_last_of('/');
        if (slash != std::string::npos) {
            folder = native.substr(0, slash);
            name = native.substr(slash + 1);
        } else {
            name = native;
        }
    }
    wxFileDialog dialog(m_parent, FromSjis(TableText(Lib().MsgCommon, 14)), wxString::FromUTF8(folder),
                        wxString::FromUTF8(name), DialogFilter(kCampaignSaveFilter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return kAnswerCancel;
    const std::string chosen = dialog.GetPath().utf8_string();
    if (chosen.empty()) return kAnswerCancel;
    path = platform::FromNativePath(chosen);
    return kAnswerOk;
}

int WxMenuDialogs::CampaignSettingsDialog(uint32_t& word)
{
    if (platform::App::Unattended()) return kAnswerCancel;
    CampaignSettingsWindow dialog(m_parent);
    if (dialog.ShowModal() != wxID_OK) return kAnswerCancel;
    word = dialog.OptionWord();
    char line[48];
    std::snprintf(line, sizeof line, "campaign settings 0x%03X", word);
    PlayLog(line);
    return kAnswerOk;
}

}  // namespace zrv::menu
