#pragma once
// The menu program's dialogs on wx: message boxes with the buttons, default
// button and icon each caller gives, the resume dialog with its information
// panel, the campaign save dialog and the campaign settings dialog (144).

#include "foundation/DialogService.h"
#include "menu/MenuSeams.h"

class wxWindow;

namespace zrv::menu {

class WxMenuDialogs : public DialogService, public MenuDialogs {
public:
    void SetParent(wxWindow* parent) { m_parent = parent; }
    int MessageBox(std::string_view text, unsigned style) override;
    int ResumeFileDialog(std::string& path) override;
    int CampaignSaveDialog(std::string& path) override;
    int CampaignSettingsDialog(uint32_t& word) override;

private:
    wxWindow* m_parent = nullptr;
};

}  // namespace zrv::menu
