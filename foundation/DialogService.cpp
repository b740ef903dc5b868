#include "foundation/DialogService.h"

#include <atomic>
#include <cstdio>

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

int ScriptedDialogService::NewWeaponEntryDialog(int armsType, int mode, std::string_view countryName)
{
    m_asked.push_back({DialogKind::NewWeaponEntry, {}, std::string(countryName), {}, armsType, mode});
    if (m_newWeapon.empty()) return kNewWeaponDeliberate;
    int a = m_newWeapon.front();
    m_newWeapon.pop_front();
    return a;
}

int ScriptedDialogService::NewDeploymentDialog(std::span<const int> armsTypes)
{
    m_asked.push_back({DialogKind::NewDeployment,
                       {},
                       {},
                       {},
                       armsTypes.empty() ? 0 : armsTypes[0],
                       static_cast<int>(armsTypes.size())});
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

}  // namespace zrv
