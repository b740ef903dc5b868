#include "battle/dialogs/wx/WxDialogService.h"

#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>

#include "battle/dialogs/FileDialogs.h"
#include "battle/dialogs/wx/ChoiceDialogs.h"
#include "battle/dialogs/wx/ImproveSheetDialog.h"
#include "battle/dialogs/wx/OrderDialogs.h"
#include "platform/core/PlayLog.h"
#include "battle/dialogs/wx/TableDialogs.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/App.h"
#include "platform/wx/FilePreviewHook.h"
#include "platform/wx/MessageBoxes.h"

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

}  // namespace

int WxDialogService::MessageBox(std::string_view text, unsigned style)
{
    return platform::ShowMessageBox(m_parent, FromSjis(text), kGameTitle, style);
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
    const std::string kind(extension);
    const bool campaign = m_campaign && m_campaign();
    wxFileDialog* shown = nullptr;
    platform::FilePreviewHook preview([kind, campaign, &shown](const std::string& native) {
        // A box the reader raises (a file of another unit-data version) is
        // shown over the chooser once its selection handler has returned,
        // and the preview follows as usual.
        ScriptedDialogService boxes;
        DialogService* service = &Dialogs();
        SetDialogs(&boxes);
        const std::string text =
            FilePreviewText(kind, native.empty() ? std::string() : platform::FromNativePath(native), campaign);
        SetDialogs(service);
        if (shown != nullptr) {
            for (const ScriptedDialogService::Shown& box : boxes.Boxes()) {
                wxFileDialog* owner = shown;
                owner->CallAfter([owner, message = FromSjis(box.text), style = box.style] {
                    platform::ShowMessageBox(owner, message, kGameTitle, style);
                });
            }
        }
        return FromSjis(text);
    });
    wxFileDialog dialog(m_parent, wxString::FromUTF8(setup.title), wxString::FromUTF8(setup.folder),
                        wxString::FromUTF8(setup.name), wxString::FromUTF8(JoinFilter(setup)), style);
    if (save && m_saveCost && extension == ".DG2") {
        dialog.SetCustomizeHook(cost);
    } else if (!save && HasFilePreview(extension)) {
        preview.SetDialog(&dialog);
        shown = &dialog;
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

namespace {

// What an opener got, for the test player's log.
int Answered(const char* dialog, int result)
{
    if (platform::PlayLogEnabled()) platform::PlayLog(std::string("answer ") + dialog + " " + std::to_string(result));
    return result;
}

}  // namespace

int WxDialogService::AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags,
                                          uint32_t& weaponMask)
{
    if (m_doc == nullptr) return DialogService::AttackDecisionDialog(unit, target, flags, weaponMask);
    const int r = RunAttackDecisionDialog(m_parent, *m_doc, m_view, unit, target, flags, weaponMask);
    if (r == kAnswerOk && platform::PlayLogEnabled()) platform::PlayLog("answer mask " + std::to_string(weaponMask));
    return Answered("AttackDecision", r);
}

int WxDialogService::MergeDialog(UNITSTRUCT& left, UNITSTRUCT& right)
{
    if (m_doc == nullptr) return DialogService::MergeDialog(left, right);
    return Answered("Merge", RunMergeDialog(m_parent, *m_doc, m_view, left, right));
}

int WxDialogService::UnloadDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo)
{
    if (m_doc == nullptr) return DialogService::UnloadDialog(carrier, cargo);
    return Answered("Unload", RunUnloadDialog(m_parent, *m_doc, m_view, carrier, cargo));
}

int WxDialogService::LaunchDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo)
{
    if (m_doc == nullptr) return DialogService::LaunchDialog(carrier, cargo);
    return Answered("Launch", RunLaunchDialog(m_parent, *m_doc, m_view, carrier, cargo));
}

int WxDialogService::ForceTableDialog()
{
    if (m_doc == nullptr) return kAnswerCancel;
    return RunForceTableDialog(m_parent, m_doc->m_GameData);
}

int WxDialogService::WeaponTableDialog()
{
    // The map view is also the host of the tool windows: it opens the
    // performance windows a right click asks for.
    auto* host = dynamic_cast<ToolWindowHost*>(m_view);
    COUNTRYSTRUCT* country = host != nullptr ? host->ListCountry() : nullptr;
    if (country == nullptr) return kAnswerCancel;
    return RunWeaponTableDialog(m_parent, *country, host);
}

int WxDialogService::UnitDataEditDialog(UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current)
{
    return RunUnitDataEditDialog(m_parent, unit, country, current);
}

int WxDialogService::MarchDialog(UNITSTRUCT& unit, bool march)
{
    if (m_doc == nullptr) return DialogService::MarchDialog(unit, march);
    return Answered("March", RunMarchWindow(m_parent, *m_doc, m_view, unit, march));
}

int WxDialogService::RouteBuildDialog(UNITSTRUCT& unit, HEXINDEX hex, int choice, int mode)
{
    if (m_doc == nullptr) return DialogService::RouteBuildDialog(unit, hex, choice, mode);
    return Answered("RouteBuild", RunRouteBuildWindow(m_parent, static_cast<uint32_t>(choice), mode));
}

int WxDialogService::DurabilityDialog(UNITSTRUCT& unit, int maxSteps)
{
    if (m_doc == nullptr) return DialogService::DurabilityDialog(unit, maxSteps);
    return Answered("Durability", RunDurabilityWindow(m_parent, *m_doc, unit, maxSteps));
}

int WxDialogService::PasswordDialog(std::string& text, std::string_view countryName)
{
    const int r = RunPasswordWindow(m_parent, text, countryName);
    if (r == kAnswerOk && platform::PlayLogEnabled()) platform::PlayLog("answer text " + platform::SjisToUtf8(text));
    return Answered("Password", r);
}

int WxDialogService::CountryControlDialog(CountryControlRows& rows)
{
    if (m_doc == nullptr) return DialogService::CountryControlDialog(rows);
    return Answered("CountryControl", RunCountryControlWindow(m_parent, *m_doc, m_view, rows));
}

int WxDialogService::BgmSettingsDialog()
{
    if (m_doc == nullptr) return DialogService::BgmSettingsDialog();
    return Answered("BgmSettings", RunBgmSettingsWindow(m_parent, *m_doc, m_view));
}

int WxDialogService::ImproveSheet(std::span<const int> candidates, UNITSTRUCT& unit, int display, int& chosenPage)
{
    if (m_doc == nullptr) return DialogService::ImproveSheet(candidates, unit, display, chosenPage);
    const int funds = m_doc->m_pCurCountry != nullptr ? m_doc->m_pCurCountry->nFund : 0;
    const int r = RunImproveSheet(m_parent, m_view, candidates, unit, display, funds, chosenPage);
    if (r == kAnswerOk && platform::PlayLogEnabled()) platform::PlayLog("answer page " + std::to_string(chosenPage));
    return Answered("Improve", r);
}

}  // namespace zrv
