#include "foundation/DialogService.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>

#include "platform/core/Text.h"

namespace zrv {
namespace {

class StderrDialogService : public DialogService {
public:
    int MessageBox(std::string_view text, unsigned style) override
    {
        std::fprintf(stderr, "[%s] %s\n", kGameTitle, platform::SjisToUtf8(text).c_str());
        return DefaultAnswer(style);
    }
};

StderrDialogService g_stderrService;
std::atomic<DialogService*> g_service{&g_stderrService};

}  // namespace

int DefaultAnswer(unsigned style)
{
    bool second = (style & kBoxDefButton2) != 0;
    switch (style & 0xF) {
    case kBoxOkCancel: return second ? kAnswerCancel : kAnswerOk;
    case kBoxYesNo: return second ? kAnswerNo : kAnswerYes;
    case kBoxYesNoCancel: return second ? kAnswerNo : kAnswerYes;
    case kBoxRetryCancel: return kAnswerCancel;
    default: return kAnswerOk;
    }
}

DialogService& Dialogs()
{
    return *g_service.load(std::memory_order_acquire);
}

void SetDialogs(DialogService* service)
{
    g_service.store(service ? service : &g_stderrService, std::memory_order_release);
}

int ScriptedDialogService::MessageBox(std::string_view text, unsigned style)
{
    m_shown.push_back({std::string(text), style});
    if (m_answers.empty()) return DefaultAnswer(style);
    int a = m_answers.front();
    m_answers.pop_front();
    return a;
}

int ScriptedDialogService::CountryControlDialog(CountryControlRows& rows)
{
    m_asked.push_back({DialogKind::CountryControl, {}, {}, rows});
    if (m_controls.empty()) return kAnswerCancel;
    CountryControlAnswer a = m_controls.front();
    m_controls.pop_front();
    if (a.answer == kAnswerOk) rows = a.rows;
    return a.answer;
}

int ScriptedDialogService::PasswordDialog(std::string& text, std::string_view countryName)
{
    m_asked.push_back({DialogKind::Password, text, std::string(countryName), {}});
    if (m_passwords.empty()) return kAnswerNotAsked;
    PasswordAnswer a = std::move(m_passwords.front());
    m_passwords.pop_front();
    if (a.answer == kAnswerOk) text = std::move(a.text);
    return a.answer;
}

int ScriptedDialogService::NewWeaponEntryDialog(const COUNTRYSTRUCT& country, int armsType, int mode)
{
    const size_t n = std::find(std::begin(country.szName), std::end(country.szName), '\0') - std::begin(country.szName);
    m_asked.push_back({DialogKind::NewWeaponEntry, {}, std::string(country.szName, n), {}, armsType, mode});
    if (m_newWeapon.empty()) return kNewWeaponDeliberate;
    int a = m_newWeapon.front();
    m_newWeapon.pop_front();
    return a;
}

int ScriptedDialogService::NewDeploymentDialog(const COUNTRYSTRUCT& country, const UNITSTRUCT& unit)
{
    m_asked.push_back({DialogKind::NewDeployment, {}, {}, {}, unit.nArms, country.nIndex});
    return kAnswerOk;
}

int ScriptedDialogService::SaveFileDialog(std::string& path, std::string_view)
{
    m_asked.push_back({DialogKind::SaveFile, path, {}, {}});
    if (m_saveFiles.empty()) return kAnswerCancel;
    PasswordAnswer a = std::move(m_saveFiles.front());
    m_saveFiles.pop_front();
    if (a.answer == kAnswerOk) path = std::move(a.text);
    return a.answer;
}

int ScriptedDialogService::OpenFileDialog(std::string& path, std::string_view extension)
{
    m_asked.push_back({DialogKind::OpenFile, std::string(extension), {}, {}});
    if (m_openFiles.empty()) return kAnswerCancel;
    PasswordAnswer a = std::move(m_openFiles.front());
    m_openFiles.pop_front();
    if (a.answer == kAnswerOk) path = std::move(a.text);
    return a.answer;
}

ScriptedDialogService::Reply ScriptedDialogService::Take(Asked asked, int cancelDefault)
{
    Reply reply;
    reply.result = cancelDefault;
    auto it = m_replies.find(asked.kind);
    if (it != m_replies.end() && !it->second.empty()) {
        reply = std::move(it->second.front());
        it->second.pop_front();
    }
    if (reply.effect) reply.effect();
    asked.result = reply.result;
    m_asked.push_back(std::move(asked));
    return reply;
}

namespace {

ScriptedDialogService::Asked OrderAsked(ScriptedDialogService::DialogKind kind, UNITSTRUCT* unit,
                                        UNITSTRUCT* other = nullptr, unsigned flags = 0, int value = 0,
                                        HEXINDEX hex = -1)
{
    ScriptedDialogService::Asked a{kind, {}, {}, {}};
    a.unit = unit;
    a.other = other;
    a.flags = flags;
    a.value = value;
    a.hex = hex;
    return a;
}

}  // namespace

int ScriptedDialogService::AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags,
                                                uint32_t& weaponMask)
{
    Reply r = Take(OrderAsked(DialogKind::AttackDecision, &unit, &target, flags), kAnswerCancel);
    if (r.result == kAnswerOk) weaponMask = r.mask;
    return r.result;
}

int ScriptedDialogService::MergeDialog(UNITSTRUCT& left, UNITSTRUCT& right)
{
    return Take(OrderAsked(DialogKind::Merge, &left, &right), kAnswerCancel).result;
}

int ScriptedDialogService::UnloadDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo)
{
    Asked a = OrderAsked(DialogKind::Unload, &carrier);
    a.cargo.assign(cargo.begin(), cargo.end());
    return Take(std::move(a), kUnloadCancel).result;
}

int ScriptedDialogService::LaunchDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo)
{
    Asked a = OrderAsked(DialogKind::Launch, &carrier);
    a.cargo.assign(cargo.begin(), cargo.end());
    return Take(std::move(a), kLaunchCarrier).result;
}

int ScriptedDialogService::MarchDialog(UNITSTRUCT& unit, bool march)
{
    return Take(OrderAsked(DialogKind::March, &unit, nullptr, march ? 1u : 0u), kMarchClosed).result;
}

int ScriptedDialogService::RouteBuildDialog(UNITSTRUCT& unit, HEXINDEX hex, int choice, int mode)
{
    return Take(OrderAsked(DialogKind::RouteBuild, &unit, nullptr, static_cast<unsigned>(mode), choice, hex), 0)
        .result;
}

int ScriptedDialogService::DurabilityDialog(UNITSTRUCT& unit, int maxSteps)
{
    return Take(OrderAsked(DialogKind::Durability, &unit, nullptr, 0, maxSteps), 0).result;
}

int ScriptedDialogService::EvolutionTableDialog(int armsType, UNITSTRUCT* unit, int country, bool choose,
                                                int& chosenType)
{
    Asked a = OrderAsked(DialogKind::EvolutionTable, unit, nullptr, choose ? 1u : 0u, country);
    a.armsType = armsType;
    Reply r = Take(std::move(a), kAnswerCancel);
    if (r.result == kAnswerOk) chosenType = r.value;
    return r.result;
}

int ScriptedDialogService::ArmsDialog(UNITSTRUCT& unit, int funds, int& armsSet)
{
    Reply r = Take(OrderAsked(DialogKind::Arms, &unit, nullptr, 0, funds), kAnswerCancel);
    if (r.result == kAnswerOk) armsSet = r.value;
    return r.result;
}

int ScriptedDialogService::ImproveSheet(std::span<const int> candidates, UNITSTRUCT& unit, int display,
                                        int& chosenPage)
{
    Asked a = OrderAsked(DialogKind::Improve, &unit, nullptr, 0, display);
    a.list.assign(candidates.begin(), candidates.end());
    Reply r = Take(std::move(a), kAnswerCancel);
    if (r.result == kAnswerOk) chosenPage = r.value;
    return r.result;
}

int ScriptedDialogService::ForceTableDialog()
{
    return Take(OrderAsked(DialogKind::ForceTable, nullptr), kAnswerCancel).result;
}

int ScriptedDialogService::WeaponTableDialog()
{
    return Take(OrderAsked(DialogKind::WeaponTable, nullptr), kAnswerCancel).result;
}

int ScriptedDialogService::BgmSettingsDialog()
{
    return Take(OrderAsked(DialogKind::BgmSettings, nullptr), kAnswerCancel).result;
}

int ScriptedDialogService::UnitDataEditDialog(UNITSTRUCT& unit, COUNTRYSTRUCT& country, const COUNTRYSTRUCT* current)
{
    Asked asked = OrderAsked(DialogKind::UnitDataEdit, &unit);
    asked.value = country.nIndex;
    asked.flags = current == &country ? 1u : 0u;
    return Take(std::move(asked), kAnswerCancel).result;
}

}  // namespace zrv
