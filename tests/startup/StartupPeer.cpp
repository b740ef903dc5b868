// The other side of the start-up tests: a stand-in for either program, built
// on the same start-up code as the real ones, so two real processes meet
// through the shared block, the locks and the sockets.
//
//   startup_peer launch <command> <path> [cpu]
//                                            menu: start, launch the battle
//                                            program of this folder, wait
//                                            for its close; "cpu": a new
//                                            scenario with every country
//                                            computer-run, ten turns
//   startup_peer menu                        menu: start, report, exit
//   (started as "ZRVMenu" with no argument)  the same: a battle's hand-back
//   startup_peer battle <code> <mode>        battle: start, write code, then
//                                            mode "wait" (until closed),
//                                            "silent" (never answers),
//                                            "exit" (leave at once), or
//                                            "child" (start a child and leave)
//   (started as "ZRVGame" with no argument)  battle, with code and mode from
//                                            $STARTUP_PEER_BATTLE ("7 exit"),
//                                            code 7's record from
//                                            $STARTUP_PEER_RECORD
//   startup_peer hold -- <program>           fresh block, in a private runtime
//                                            folder and name of its own, held
//                                            while program runs; its exit
//                                            code is returned
//
// Results go to "<runtime folder>/<name>.result" as "key value" lines, so the
// test reads what happened without parsing output.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "battle/engine/GameApp.h"
#include "foundation/DialogService.h"
#include "foundation/HandOver.h"
#include "menu/MenuStartup.h"
#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "platform/core/Runtime.h"
#include "platform/core/Text.h"

namespace {

std::atomic<bool> g_closed{false};

void Record(const std::string& name, const std::string& line)
{
    std::ofstream out(platform::RuntimeFolder() + name + ".result", std::ios::app);
    out << line << '\n';
}

const char* ResultName(zrv::MenuStartup::Result r)
{
    switch (r) {
        case zrv::MenuStartup::Result::Ok:
            return "ok";
        case zrv::MenuStartup::Result::RaisedOther:
            return "raised";
        case zrv::MenuStartup::Result::AbnormalEnd:
            return "abnormal";
        default:
            return "failed";
    }
}

// Boxes are answered at once and written down: the test checks which were shown.
class RecordingBoxes : public zrv::DialogService {
public:
    explicit RecordingBoxes(std::string name) : m_name(std::move(name)) {}
    int MessageBox(std::string_view text, unsigned) override
    {
        // One line per box: line breaks of the text are written as "\n".
        std::string line = "box ";
        for (char ch : text) line += ch == '\n' ? std::string("\\n") : std::string(1, ch);
        Record(m_name, line);
        return zrv::kAnswerOk;
    }

private:
    std::string m_name;
};

bool WaitFor(const std::atomic<bool>& flag, std::chrono::seconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!flag && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return flag;
}

int RunMenu(const std::string& name)
{
    RecordingBoxes boxes(name);
    zrv::SetDialogs(&boxes);
    zrv::MenuStartup menu;
    auto r = menu.Start(
        [](const std::string& req) {
            if (req == "close") g_closed = true;
        },
        std::chrono::milliseconds(2000));
    std::string line = std::string("start ") + ResultName(r);
    if (r == zrv::MenuStartup::Result::Ok) {
        line += " " + std::to_string(menu.Command());
        zrv::CAMPAIGNSTRUCT c;
        menu.Block().Read(offsetof(zrv::GAMEMENUSTRUCT, Campaign), &c, sizeof c);
        line += " last-scenario " + std::to_string(c.nLastScenario);
    }
    Record(name, line);
    menu.Exit();
    zrv::SetDialogs(nullptr);
    return 0;
}

// A new scenario's set-up from the menu with every country computer-run.
void FillAllComputer(platform::SharedBlock& block)
{
    zrv::CAMPAIGNSTRUCT c{};
    std::memcpy(c.szTitle, "CPU", 3);
    c.dwDate = 10;  // the last turn
    block.Write(offsetof(zrv::GAMEMENUSTRUCT, Campaign), &c, sizeof c);
    for (int i = 0; i < zrv::kCountryCount; ++i) {
        zrv::SIDESETUPSTRUCT side{};
        std::snprintf(side.szName, sizeof side.szName, "CPU%d", i);
        side.nFund = 5000;
        side.nUnitMax = 64;
        side.nControl = 1;
        block.Write(offsetof(zrv::GAMEMENUSTRUCT, Side) + i * sizeof side, &side, sizeof side);
    }
}

int RunLaunch(uint32_t command, const std::string& path, bool allComputer)
{
    RecordingBoxes boxes("launch");
    zrv::SetDialogs(&boxes);
    zrv::MenuStartup menu;
    auto r = menu.Start(
        [](const std::string& req) {
            if (req == "close") g_closed = true;
        },
        std::chrono::milliseconds(2000));
    Record("launch", std::string("start ") + ResultName(r) + " " + std::to_string(menu.Command()));
    if (r != zrv::MenuStartup::Result::Ok) return 1;
    std::string why;
    std::string program = platform::ProgramFolderNative() + "ZRVGame";
    bool started = menu.LaunchBattle(command, 0, path, allComputer ? FillAllComputer : nullptr, program, {}, &why);
    // After a start the battle program may already have taken the command
    // (it writes 0), so only a failed launch reports what the block holds.
    uint32_t now = 0;
    menu.Block().ReadU32(0, now);
    Record("launch", started ? std::string("launched") : "launch-failed " + why + " command " + std::to_string(now));
    if (started) {
        // Either the battle program asks this one to close, or it ends first:
        // a launch that came to nothing.
        bool ended = false;
        // A battle the computer plays alone may run for some minutes.
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(allComputer ? 280 : 60);
        while (!g_closed && !ended && std::chrono::steady_clock::now() < end) {
            ended = menu.LaunchedBattleEnded();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Record("launch", g_closed ? "closed" : ended ? "battle-ended-first" : "not-closed");
    }
    menu.Exit();
    zrv::SetDialogs(nullptr);
    return started ? 0 : 1;
}

int RunBattle(uint32_t code, const std::string& mode)
{
    RecordingBoxes boxes("battle");
    zrv::SetDialogs(&boxes);
    zrv::CZRKGameApp app;
    auto handler = [mode](const std::string& req) {
        // A stuck program never gets to answer.
        if (mode == "silent")
            for (;;) pause();
        Record("battle", "request " + req);
        if (req == "close") g_closed = true;
    };
    auto r = app.InitInstance(platform::ProgramFolderNative(), handler, std::chrono::milliseconds(2000));
    if (r != zrv::CZRKGameApp::InitResult::Ok) {
        Record("battle",
               r == zrv::CZRKGameApp::InitResult::AlreadyRunning ? "already-running" : "init-failed");
        return 3;
    }
    uint32_t found = 0;
    app.Block().ReadU32(0, found);
    Record("battle", "found command " + std::to_string(found));
    {
        // What came with the command: the parameter, the scenario number,
        // the path and the campaign record's title and next scenario.
        auto block = std::make_unique<zrv::GAMEMENUSTRUCT>();
        app.Block().Read(0, block.get(), sizeof *block);
        block->szPath[sizeof block->szPath - 1] = 0;
        block->Campaign.szTitle[sizeof block->Campaign.szTitle - 1] = 0;
        char param[64];
        std::snprintf(param, sizeof param, "found param 0x%X scenario %u next %d", static_cast<unsigned>(block->nParam),
                      block->dwReserved, block->Campaign.nNextScenario);
        Record("battle", param);
        Record("battle", std::string("found path ") + block->szPath);
        Record("battle", std::string("found title ") + platform::SjisToUtf8(block->Campaign.szTitle));
    }
    app.Block().WriteU32(0, code);
    if (code == zrv::GMC_CAMPAIGNNEXT) {
        // The campaign record a finished scenario leaves for the menu program:
        // the finished scenario (1 unless $STARTUP_PEER_RECORD says otherwise
        // as "outcome finished view-option next").
        int32_t outcome = 0, last = 1, next = 2;
        uint32_t view = 0;
        if (const char* r = std::getenv("STARTUP_PEER_RECORD")) {
            std::sscanf(r, "%d %d %x %d", &outcome, &last, &view, &next);
            app.Block().Write(offsetof(zrv::GAMEMENUSTRUCT, nParam), &outcome, sizeof outcome);
            app.Block().Write(
                offsetof(zrv::GAMEMENUSTRUCT, Campaign) + offsetof(zrv::CAMPAIGNSTRUCT, dwViewOption), &view,
                sizeof view);
            app.Block().Write(
                offsetof(zrv::GAMEMENUSTRUCT, Campaign) + offsetof(zrv::CAMPAIGNSTRUCT, nNextScenario), &next,
                sizeof next);
        }
        app.Block().Write(
            offsetof(zrv::GAMEMENUSTRUCT, Campaign) + offsetof(zrv::CAMPAIGNSTRUCT, nLastScenario), &last,
            sizeof last);
    }
    Record("battle", "running " + std::to_string(getpid()));
    if (mode == "silent") {
        for (;;) pause();
    }
    if (mode == "child") {
        // A child that lives on must not keep this program looking alive.
        platform::SpawnResult child = platform::Spawn("/bin/sleep", {}, {"30"});
        Record("battle", "child " + std::to_string(child.pid));
    }
    if (mode == "wait") WaitFor(g_closed, std::chrono::seconds(60));
    app.ExitInstance();
    zrv::SetDialogs(nullptr);
    // A child started above stays behind on purpose.
    _exit(0);
}

int RunHold(char** argv)
{
    // Its own runtime folder and block name, so it never meets another run.
    char dir[] = "/tmp/velmorath-hold-XXXXXX";
    if (!mkdtemp(dir)) return 2;
    setenv("VELMORATH_RUNTIME_DIR", dir, 1);
    setenv("VELMORATH_SHM_SUFFIX", (".hold" + std::to_string(getpid())).c_str(), 1);
    platform::SharedBlock block;
    if (!block.Create(platform::SharedBlockName(zrv::kGameMenuBlockName), zrv::kGameMenuBlockSize)) return 2;
    block.WriteU32(0, zrv::GMC_FIRSTSTART);
    block.Hold();
    platform::SpawnResult s = platform::Spawn(argv[0], {}, {});
    if (!s.ok) {
        block.CloseAndUnlinkIfLast();
        return 2;
    }
    int status = 0;
    waitpid(s.pid, &status, 0);
    block.CloseAndUnlinkIfLast();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string self = argv[0];
    std::string base = self.substr(self.find_last_of('/') + 1);
    if (base == "ZRVMenu" || (argc >= 2 && std::strcmp(argv[1], "menu") == 0)) return RunMenu("menu");
    if (base == "ZRVGame" && argc == 1) {
        const char* spec = std::getenv("STARTUP_PEER_BATTLE");
        char mode[16] = "wait";
        unsigned code = 0;
        if (spec) std::sscanf(spec, "%u %15s", &code, mode);
        return RunBattle(code, mode);
    }
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "launch") == 0) {
        return RunLaunch(static_cast<uint32_t>(std::atoi(argv[2])), argv[3], argc == 5 && std::strcmp(argv[4], "cpu") == 0);
    }
    if (argc == 4 && std::strcmp(argv[1], "battle") == 0) {
        return RunBattle(static_cast<uint32_t>(std::atoi(argv[2])), argv[3]);
    }
    if (argc >= 4 && std::strcmp(argv[1], "hold") == 0 && std::strcmp(argv[2], "--") == 0)
        return RunHold(argv + 3);
    std::fprintf(stderr, "usage: see the head of StartupPeer.cpp\n");
    return 2;
}
