#include "platform/core/Process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace platform {

std::string SpawnResult::Reason() const
{
    return ok ? std::string() : std::string(std::strerror(error));
}

SpawnResult Spawn(const std::string& nativePath, const std::vector<std::string>& extraEnv,
                  const std::vector<std::string>& args)
{
    SpawnResult r;
    if (nativePath.empty() || nativePath[0] != '/') {
        r.error = EINVAL;
        return r;
    }
    // posix_spawn may report a missing program only from the child, as exit
    // code 127; check first so the caller can say why.
    if (access(nativePath.c_str(), X_OK) != 0) {
        r.error = errno;
        return r;
    }
    std::vector<std::string> envStore;
    for (char** e = environ; e && *e; ++e) {
        std::string entry = *e;
        std::string key = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& x : extraEnv) {
            if (x.substr(0, x.find('=')) == key) replaced = true;
        }
        if (!replaced) envStore.push_back(entry);
    }
    for (const std::string& x : extraEnv) envStore.push_back(x);
    std::vector<char*> envp;
    for (std::string& s : envStore) envp.push_back(s.data());
    envp.push_back(nullptr);

    std::vector<std::string> argStore;
    argStore.push_back(nativePath);
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, nativePath.c_str(), nullptr, nullptr, argv.data(), envp.data());
    if (rc != 0) {
        r.error = rc;
        return r;
    }
    r.ok = true;
    r.pid = pid;
    return r;
}

namespace {

// Asks pid to end, kills it when it has not within the grace time, and
// collects it.
void EndChild(pid_t pid)
{
    kill(pid, SIGTERM);
    const auto killAt = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;) {
        pid_t w = waitpid(pid, nullptr, WNOHANG);
        if (w == pid || (w < 0 && errno != EINTR)) return;
        if (std::chrono::steady_clock::now() >= killAt) {
            kill(pid, SIGKILL);
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

int SpawnAndWait(const std::string& nativePath, std::chrono::milliseconds interval,
                 const std::function<void()>& poll, std::chrono::milliseconds limit)
{
    SpawnResult r = Spawn(nativePath);
    if (!r.ok) return -1;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        pid_t w = waitpid(r.pid, &status, WNOHANG);
        if (w == r.pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (w < 0 && errno != EINTR) return -1;
        const auto waited = std::chrono::steady_clock::now() - start;
        if (limit > limit.zero() && waited >= limit) {
            EndChild(r.pid);
            return kSpawnTimedOut;
        }
        if (poll) poll();
        auto step = std::chrono::duration_cast<std::chrono::steady_clock::duration>(interval);
        if (limit > limit.zero()) step = std::min(step, limit - waited);
        std::this_thread::sleep_for(step);
    }
}

std::vector<pid_t> ReapChildren()
{
    std::vector<pid_t> done;
    for (;;) {
        int status = 0;
        pid_t w = waitpid(-1, &status, WNOHANG);
        if (w <= 0) break;
        done.push_back(w);
    }
    return done;
}

}  // namespace platform
