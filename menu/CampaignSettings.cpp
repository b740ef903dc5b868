#include "menu/CampaignSettings.h"

namespace zrv {

void CCampaignSettingsDlg::OnBoxClicked(int id, bool checked)
{
    for (const CampaignSettingsBox& box : kCampaignSettingsBoxes) {
        if (box.id != id) continue;
        if (checked)
            m_dwOption |= box.bit;
        else
            m_dwOption &= ~box.bit;
        return;
    }
}

}  // namespace zrv
