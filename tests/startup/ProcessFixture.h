#pragma once
// Two real processes meeting through the shared block, the program locks and
// the request sockets. Each test stages a program folder of its own (copies,
// since a program finds its folder from its own file) with its own runtime
// folder and block name, so tests never meet each other or a real game.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/HandOver.h"
#include "platform/core/Runtime.h"
#include "platform/core/SharedBlock.h"

extern char** environ;

namespace startuptest {

namespace fs = std::filesystem;

class TwoProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A short folder: the sockets' paths must fit sockaddr_un.
        char dir[] = "/tmp/vst-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_folder = dir;
        fs::create_directories(m_folder / "run");
        fs::permissions(m_folder / "run", fs::perms::owner_all, fs::perm_options::replace);
        setenv("VELMORATH_RUNTIME_DIR", (m_folder / "run").c_str(), 1);
        setenv("VELMORATH_SHM_SUFFIX", (".st" + std::to_string(getpid())).c_str(), 1);
        unsetenv("VELMORATH_EXIT_AFTER_IDLE");
        Install(STARTUP_PEER, "startup_peer");
    }

    void TearDown() override
    {
        for (pid_t pid : m_kill) kill(pid, SIGKILL);
        shm_unlink(BlockName().c_str());
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    static std::string BlockName() { return platform::SharedBlockName(zrv::kGameMenuBlockName); }

    void Install(const std::string& from, const std::string& as)
    {
        fs::copy_file(from, m_folder / as, fs::copy_options::overwrite_existing);
    }

    // Stages the real battle program with the data library and the samples.
    void InstallBattleProgram()
    {
        Install(ZRVGAME_PROGRAM, "ZRVGame");
        Install(std::string(STAGE_DIR) + "/libZRVData.so", "libZRVData.so");
        fs::copy(fs::path(STAGE_DIR) / "Scenario", m_folder / "Scenario", fs::copy_options::recursive);
    }

    // Runs a program of the folder with args and extra environment entries
    // and waits for it; its output goes to log.txt. Returns the exit code.
    int Run(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& env = {})
    {
        std::string path = (m_folder / program).string();
        std::vector<std::string> argStore{path};
        argStore.insert(argStore.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : argStore) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envStore;
        for (char** e = environ; *e; ++e) envStore.emplace_back(*e);
        envStore.insert(envStore.end(), env.begin(), env.end());
        std::vector<char*> envp;
        for (auto& e : envStore) envp.push_back(e.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        std::string log = (m_folder / "log.txt").string();
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = -1;
        int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) return -1;
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::vector<std::string> Results(const std::string& name) const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_folder / "run" / (name + ".result"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    std::string Log() const
    {
        std::ifstream in(m_folder / "log.txt");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // The first line of a result file that begins with prefix, once the
    // other process has written it ("" when it never comes).
    std::string WaitForLine(const std::string& name, const std::string& prefix) const
    {
        for (int i = 0; i < 1500; ++i) {
            for (const std::string& line : Results(name)) {
                if (line.rfind(prefix, 0) == 0) return line;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return "";
    }

    // The pid a peer battle wrote after "running"; it is killed at the end.
    pid_t BattlePid()
    {
        WaitForLine("battle", "running ");
        for (const std::string& line : Results("battle")) {
            if (line.rfind("running ", 0) == 0) {
                pid_t pid = std::atoi(line.c_str() + 8);
                m_kill.push_back(pid);
                return pid;
            }
        }
        return -1;
    }

    // Waits until pid has gone (the peer battles are not our children).
    static void WaitGone(pid_t pid)
    {
        while (pid > 0 && kill(pid, 0) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    fs::path m_folder;
    std::vector<pid_t> m_kill;
};

inline bool Contains(const std::vector<std::string>& lines, const std::string& wanted)
{
    for (const auto& l : lines) {
        if (l == wanted) return true;
    }
    return false;
}

inline std::string Joined(const std::vector<std::string>& lines)
{
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

}  // namespace startuptest
