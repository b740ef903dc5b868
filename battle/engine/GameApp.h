#pragma once
// The battle program's application object without its windows: start-up
// against the menu program (the shared block, the "running" lock, the request
// socket, closing the menu program), the idle pass that drives the game, the
// pump guard, and the clean-up at exit. The wx application in battle/main.cpp
// owns one and forwards to it; tests drive it directly.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "battle/engine/HandOverDoc.h"
#include "platform/core/PeerLink.h"
#include "platform/core/SharedBlock.h"

namespace zrv {

class CZRKGameDoc;
class OrderExecutor;

// How long a program waits for the other one's "ok" to a "close" or "raise".
inline constexpr std::chrono::milliseconds kPeerReplyWait{5000};

// Messages the guarded pump may drop, as the frame classifies them.
enum class PumpMessage {
    Other,
    Close,      // the window's close request
    Quit,       // the end of the message loop
    SysClose,   // the system menu's Close
    FileClose,  // the File menu's close command (no notification code)
    AppExit,    // the File menu's exit command (no notification code)
};

// Whether the guarded pump drops message: only a close or exit request, only
// while the map view is busy (state bit 0x10) and the main window is not
// minimised.
bool ShouldDropWhileBusy(PumpMessage message, bool viewBusy, bool minimised);

class CZRKGameApp {
public:
    // Receives "close" and "raise" from the other program. Runs on the
    // listener thread: the program moves it to its UI thread.
    using RequestHandler = std::function<void(const std::string&)>;

    enum class InitResult {
        Ok,
        NoBlock,         // ErrorMessage[3] was shown; no window may be made
        AlreadyRunning,  // another battle program was asked to come forward
        NoRuntime,       // no private runtime folder; reported
    };

    CZRKGameApp();
    ~CZRKGameApp();
    CZRKGameApp(const CZRKGameApp&) = delete;
    CZRKGameApp& operator=(const CZRKGameApp&) = delete;

    // The block, the lock and the socket, and the menu program asked to
    // close. programFolderNative: where "ZRVMenu" is started from.
    InitResult InitInstance(const std::string& programFolderNative, RequestHandler handler,
                            std::chrono::milliseconds peerWait = kPeerReplyWait);

    // Connects the document to the block and the starter (the real starter
    // unless one is given, e.g. a recording one in tests), and gives it the
    // program's order executor: the back-ends carry out what the phase steps
    // order (a fuel-less aircraft lost, a submarine surfaced, a march order).
    void AttachDocument(CZRKGameDoc& doc, ProgramStarter* starter = nullptr);
    // The document whose hand-back stops the idle steps (AttachDocument sets
    // it; tests with a link of their own set it alone).
    void WatchDocument(CZRKGameDoc& doc) { m_pDoc = &doc; }

    // One idle pass: collects exited children and, unless the game has been
    // handed back, runs one step of the game. Returns true while the game
    // wants more idle time.
    bool RunIdlePass();
    // The turn machine's step (a stand-in that wants no more time until the
    // turn machine is in).
    void SetStep(std::function<bool()> step) { m_step = std::move(step); }

    // Stops listening and lets go of the block; the last holder removes it,
    // unless it holds a return code nobody has taken yet.
    int ExitInstance();

    const std::string& AppDir() const { return m_szAppDir; }
    platform::SharedBlock& Block() { return m_hGameMenuMap; }
    HandOverLink* Link() { return m_link.get(); }

    int32_t m_nFlowState = 0;
    int32_t m_nWaitTicks = 0;

private:
    std::string m_szAppDir;
    platform::SharedBlock m_hGameMenuMap;
    platform::ProgramLock m_lock;
    platform::RequestListener m_listener;
    std::unique_ptr<SharedHandOverBlock> m_handOverBlock;
    SpawnProgramStarter m_spawnStarter;
    std::unique_ptr<HandOverLink> m_link;
    std::unique_ptr<OrderExecutor> m_executor;
    std::function<bool()> m_step;
    CZRKGameDoc* m_pDoc = nullptr;
};

}  // namespace zrv
