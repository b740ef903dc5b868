#pragma once
// Starting the other programs: by absolute path from the program folder, with
// no shell and no PATH search, the environment and working folder inherited.

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform {

struct SpawnResult {
    bool ok = false;
    pid_t pid = -1;
    int error = 0;  // errno of the failure
    std::string Reason() const;  // the failure as text (UTF-8)
};

// Starts nativePath with argv {nativePath, args...} and, when given, extra
// environment entries ("NAME=value") added to the inherited ones. Does not wait.
SpawnResult Spawn(const std::string& nativePath, const std::vector<std::string>& extraEnv = {},
                  const std::vector<std::string>& args = {});

// SpawnAndWait's result for a program that was ended because it ran past
// its time limit.
inline constexpr int kSpawnTimedOut = -2;

// Starts nativePath and waits for it to exit, calling poll every interval in
// between (the caller keeps its screen alive there). Returns the exit status,
// or -1 when it could not be started. With a limit above zero, a program still
// running after it is asked to end (SIGTERM), then killed when it has not
// ended a few seconds later, and collected: kSpawnTimedOut.
int SpawnAndWait(const std::string& nativePath, std::chrono::milliseconds interval,
                 const std::function<void()>& poll,
                 std::chrono::milliseconds limit = std::chrono::milliseconds::zero());

// Collects children that have exited, so none is left a zombie. Returns the
// pids collected.
std::vector<pid_t> ReapChildren();

}  // namespace platform
