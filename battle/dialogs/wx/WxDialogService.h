#pragma once
// The battle program's dialog service on wx: message boxes and the file
// dialogs. An unattended run does not install it (its boxes go to stderr);
// should it be asked anyway, no file dialog opens: it is cancelled.

#include <functional>
#include <string>
#include <string_view>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/ViewToolHub.h"
#include "foundation/DialogService.h"

class wxWindow;

namespace zrv {

class WxDialogService : public DialogService {
public:
    // Dialogs are centred on parent (may be null, and may be set later).
    void SetParent(wxWindow* parent) { m_parent = parent; }
    // What the next save costs the current country (its war funds); the game
    // save dialog shows it. Unset, nothing is shown.
    void SetSaveCost(std::function<int()> cost) { m_saveCost = std::move(cost); }
    // Whether the game running now is a campaign: the scenario preview then
    // refuses scenarios not made for one. Unset: not a campaign.
    void SetCampaignGame(std::function<bool()> campaign) { m_campaign = std::move(campaign); }
    // The game the order dialogs show and the view they report to; unset,
    // they answer as their cancel does.
    void SetGame(CZRKGameDoc* doc, DialogView* view)
    {
        m_doc = doc;
        m_view = view;
    }
    int MessageBox(std::string_view text, unsigned style) override;
    int AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags, uint32_t& weaponMask) override;
    int MergeDialog(UNITSTRUCT& left, UNITSTRUCT& right) override;
    int UnloadDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo) override;
    int LaunchDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo) override;
    int ForceTableDialog() override;
    int WeaponTableDialog() override;
    int UnitDataEditDialog(UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current) override;
    int MarchDialog(UNITSTRUCT& unit, bool march) override;
    int RouteBuildDialog(UNITSTRUCT& unit, HEXINDEX hex, int choice, int mode) override;
    int DurabilityDialog(UNITSTRUCT& unit, int maxSteps) override;
    int PasswordDialog(std::string& text, std::string_view countryName) override;
    int CountryControlDialog(CountryControlRows& rows) override;
    int BgmSettingsDialog() override;
    int ImproveSheet(std::span<const int> candidates, UNITSTRUCT& unit, int display, int& chosenPage) override;
    int OpenFileDialog(std::string& path, std::string_view extension) override;
    int SaveFileDialog(std::string& path, std::string_view extension) override;
    // The arms change (in ArmsDialog.cpp).
    int ArmsDialog(UNITSTRUCT& unit, int funds, int& armsSet) override;
    // The new-weapon entry (in NewWeaponEntryDialog.cpp).
    int NewWeaponEntryDialog(const COUNTRYSTRUCT& country, int armsType, int mode) override;
    // The report of a delivered unit (in NewDeploymentDialog.cpp).
    int NewDeploymentDialog(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit) override;
    // The evolution table and the chooser of the 進化 order (in EvolutionTableDialog.cpp).
    int EvolutionTableDialog(int armsType, UNITSTRUCT* unit, int country, bool choose, int& chosenType) override;

private:
    int RunFileDialog(std::string& path, std::string_view extension, bool save);
    wxWindow* m_parent = nullptr;
    CZRKGameDoc* m_doc = nullptr;
    DialogView* m_view = nullptr;
    std::function<int()> m_saveCost;
    std::function<bool()> m_campaign;
};

}  // namespace zrv
