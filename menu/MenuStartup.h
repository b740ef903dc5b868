#pragma once
// The menu program's side of the start-up and of the hand-over with the
// battle program, without windows: one copy per user, creating or taking over
// the shared block, closing a battle program that has handed back, and
// starting a battle. The wx application and the tests drive it alike.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/PeerLink.h"
#include "platform/core/SharedBlock.h"

namespace zrv {

// The menu's message about an earlier run that did not end properly.
extern const char* const kMsgAbnormalEnd;

class MenuStartup {
public:
    using RequestHandler = std::function<void(const std::string&)>;

    enum class Result {
        Ok,           // go on: Command() holds the code to act on
        RaisedOther,  // another menu program, or a running battle, was brought forward
        AbnormalEnd,  // the message was shown; the program ends
        Failed,       // the block or the runtime folder cannot be had; reported
    };

    MenuStartup() = default;
    ~MenuStartup();
    MenuStartup(const MenuStartup&) = delete;
    MenuStartup& operator=(const MenuStartup&) = delete;

    Result Start(RequestHandler handler, std::chrono::milliseconds peerWait);

    // The code found in the block at start (1 for a fresh block).
    uint32_t Command() const { return m_command; }
    platform::SharedBlock& Block() { return m_block; }

    // Writes a start command (3, 4 or 5) with its argument and path, and the
    // caller's other fields through fill, then starts the battle program by
    // absolute path. When it cannot be started the block gets back what it
    // held before and false is returned with the reason (UTF-8).
    bool LaunchBattle(uint32_t command, int32_t param, const std::string& pathSjis,
                      const std::function<void(platform::SharedBlock&)>& fill, const std::string& programPath,
                      const std::vector<std::string>& extraEnv, std::string* why);

    // True once the battle program started by LaunchBattle has ended (it is
    // collected then). Until it asks this program to close, such an end is a
    // failed launch: the menu reports it and takes input again.
    bool LaunchedBattleEnded();

    // Lets go of the block (the last holder removes it) and the lock.
    void Exit();

private:
    platform::SharedBlock m_block;
    platform::ProgramLock m_lock;
    platform::RequestListener m_listener;
    uint32_t m_command = 0;
    bool m_launched = false;
    int m_battlePid = -1;
};

}  // namespace zrv
