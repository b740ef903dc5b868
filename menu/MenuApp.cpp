#include "menu/MenuApp.h"

#include <string>

#include "foundation/DialogService.h"
#include "platform/core/Paths.h"

namespace zrv {

namespace {

// Our own wording: the battle program went before it took over.
constexpr const char* kMsgBattleEnded = "戦闘プログラムが開始前に終了しました。";

}  // namespace

CZRKMenuApp::CZRKMenuApp(platform::SettingsStore* settings) : m_pSettings(settings) {}

CZRKMenuApp::~CZRKMenuApp()
{
    ExitInstance();
}

MenuStartup::Result CZRKMenuApp::InitInstance(MenuStartup::RequestHandler handler, std::chrono::milliseconds peerWait)
{
    m_nDeferredAction = kActionNone;
    return m_startup.Start(std::move(handler), peerWait);
}

void CZRKMenuApp::ParseSwitches(int argc, char** argv)
{
    // Switches were read and never used: the menu ignores its command line.
    (void)argc;
    (void)argv;
}

void CZRKMenuApp::CreateDocument(platform::SharedBlock* block)
{
    // The view goes after the document (it is destroyed first): the document
    // points at it.
    m_pScenes.reset();
    m_pDoc.reset();
    m_pView = std::make_unique<CZRKMenuView>(m_pSettings);
    m_pDoc = std::make_unique<CZRKMenuDoc>(m_pSettings);
    m_pScenes = std::make_unique<MenuSceneDirector>(*m_pView);
    m_pScenes->SetCampaignSource([this] { return m_pDoc ? m_pDoc->m_pCampaign.get() : nullptr; });
    m_pView->SetScenes(m_pScenes.get());
    m_pView->SetBlock(block);
    m_pView->SetDeferredActionSink([this](int action) { m_nDeferredAction = action; });
    m_pDoc->SetBlock(block);
    m_pDoc->SetView(m_pView.get());
    m_pDoc->SetStarter(this);
    m_pDoc->OnNewDocument();
}

void CZRKMenuApp::InitialUpdate()
{
    if (m_pView) m_pView->OnInitialUpdate();
}

bool CZRKMenuApp::OnIdle()
{
    if (!m_pView || !m_pDoc) return false;
    switch (m_nDeferredAction) {
        case kActionResultScene:
            if (m_pView->RunResultScene() == 0) {
                m_nDeferredAction = kActionNextStep;
                return true;
            }
            m_nDeferredAction = kActionNone;
            return false;
        case kActionNextStep:
            m_nDeferredAction = kActionNone;
            m_pDoc->NextCampaignStep();
            return false;
        case kActionContinue:
            m_nDeferredAction = kActionNone;
            m_pDoc->ContinueCampaign(1, 0);
            return false;
        case kActionQuit:
            // Stays 4: asked again on every pass while the window stands.
            if (m_closeMainWindow) m_closeMainWindow();
            return false;
        default:
            return false;
    }
}

void CZRKMenuApp::PollLaunchedBattle(bool closeRequested)
{
    if (!m_pView || !m_pView->Launched() || closeRequested) return;
    if (!m_startup.LaunchedBattleEnded()) return;
    Dialogs().MessageBox(kMsgBattleEnded, kBoxOk | kBoxIconStop);
    m_pView->SetLaunched(false);
    m_pView->RestoreSound();
}

void CZRKMenuApp::ExitInstance()
{
    if (m_pDoc) m_pDoc->SaveMenuFlags();
    if (m_pView) m_pView->SaveViewFlags();
    m_pScenes.reset();
    m_pDoc.reset();
    m_pView.reset();
    m_startup.Exit();
}

bool CZRKMenuApp::QueryCommand(int id, CommandState& state) const
{
    if (m_pDoc && m_pDoc->QueryCommand(id, state)) return true;
    if (m_pView && m_pView->QueryCommand(id, state)) return true;
    return false;
}

bool CZRKMenuApp::RunCommand(int id)
{
    if (m_pDoc && m_pDoc->RunCommand(id)) return true;
    if (m_pView && m_pView->RunCommand(id)) return true;
    return false;
}

bool CZRKMenuApp::LaunchBattle(uint32_t command, int32_t param, const std::string& pathSjis,
                               const std::function<void(platform::SharedBlock&)>& fill,
                               const std::vector<std::string>& env, std::string* why)
{
    std::vector<std::string> all = env;
    all.insert(all.end(), m_extraEnv.begin(), m_extraEnv.end());
    const bool ok = m_startup.LaunchBattle(command, param, pathSjis, fill, platform::ProgramFolderNative() + "ZRVGame",
                                           all, why);
    if (m_launchHook) m_launchHook(command, pathSjis, ok);
    return ok;
}

}  // namespace zrv
