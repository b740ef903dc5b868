#include "battle/engine/GameApp.h"

#include <cstdio>

#include "battle/engine/GameDoc.h"
#include "battle/engine/OrderBackends.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/HandOver.h"
#include "platform/core/Process.h"
#include "platform/core/Runtime.h"

namespace zrv {
namespace {

// ErrorMessage index shown when the battle program finds no block to start from.
constexpr int kErrNoHandOverBlock = 3;

}  // namespace

bool ShouldDropWhileBusy(PumpMessage message, bool viewBusy, bool minimised)
{
    return message != PumpMessage::Other && viewBusy && !minimised;
}

CZRKGameApp::CZRKGameApp() = default;

CZRKGameApp::~CZRKGameApp()
{
    ExitInstance();
}

CZRKGameApp::InitResult CZRKGameApp::InitInstance(const std::string& programFolderNative,
                                                  RequestHandler handler, std::chrono::milliseconds peerWait)
{
    m_szAppDir = programFolderNative;
    if (m_szAppDir.empty() || m_szAppDir.back() != '/') m_szAppDir += '/';

    // Only a block the menu program made and still holds is a start command.
    // Anything else (none, a foreign one, one left by a crash) is not touched:
    // the menu program decides what becomes of it.
    using Open = platform::SharedBlock::OpenResult;
    Open opened =
        m_hGameMenuMap.OpenExisting(platform::SharedBlockName(kGameMenuBlockName), kGameMenuBlockSize, true);
    if (opened != Open::Ok) {
        Dialogs().MessageBox(ErrorText(kErrNoHandOverBlock), kBoxOk | kBoxIconStop);
        return InitResult::NoBlock;
    }

    if (platform::RuntimeFolder().empty()) {
        // Without a private folder for the lock and the socket the two
        // programs cannot find each other safely.
        Dialogs().MessageBox("実行時フォルダを用意できません", kBoxOk | kBoxIconStop);
        m_hGameMenuMap.Close();
        return InitResult::NoRuntime;
    }
    if (!m_lock.Acquire(kBattleProgram)) {
        platform::SendRequest(kBattleProgram, "raise", peerWait);
        m_hGameMenuMap.Close();
        return InitResult::AlreadyRunning;
    }
    if (!m_listener.Start(kBattleProgram, std::move(handler))) {
        std::fprintf(stderr, "ZRVGame: cannot listen on %s\n", platform::SocketPath(kBattleProgram).c_str());
    }

    // The menu program that started us is asked to close; it answers once the
    // request is on its way to its window. No menu program is not an error.
    if (platform::ProgramLock::IsRunning(kMenuProgram)) {
        if (!platform::SendRequest(kMenuProgram, "close", peerWait)) {
            std::fprintf(stderr, "ZRVGame: the menu program did not answer its close request\n");
        }
    }
    m_handOverBlock = std::make_unique<SharedHandOverBlock>(m_hGameMenuMap);
    return InitResult::Ok;
}

void CZRKGameApp::AttachDocument(CZRKGameDoc& doc, ProgramStarter* starter)
{
    WatchDocument(doc);
    m_executor = std::make_unique<BackendOrderExecutor>(doc);
    doc.SetOrderExecutor(m_executor.get());
    if (!m_handOverBlock) return;
    m_link =
        std::make_unique<HandOverLink>(*m_handOverBlock, starter ? *starter : m_spawnStarter, m_szAppDir);
    doc.SetHandOver(m_link.get());
    doc.SetFlowStateMirror([this](int state) { m_nFlowState = state; });
}

bool CZRKGameApp::RunIdlePass()
{
    platform::ReapChildren();
    // Once the menu program has the game, nothing may move on: a computer
    // phase could otherwise reach its next automatic save while the battle
    // program waits for its close.
    if (m_pDoc && m_pDoc->HandOver() && m_pDoc->HandOver()->HandedBack()) return false;
    return m_step ? m_step() : false;
}

int CZRKGameApp::ExitInstance()
{
    m_listener.Stop();
    if (m_hGameMenuMap.IsOpen()) {
        uint32_t command = GMC_GAMERUNNING;
        m_hGameMenuMap.ReadU32(0, command);
        // A return code is the menu program's to take: the block stays for the
        // menu program that starts next, even after this program is gone.
        if (command == GMC_RETURNTOTITLE || command == GMC_CAMPAIGNNEXT) {
            m_hGameMenuMap.Close();
        } else {
            m_hGameMenuMap.CloseAndUnlinkIfLast();
        }
    }
    m_lock.Release();
    return 0;
}

}  // namespace zrv
