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

// Starts nativePath and waits for it to exit, calling poll every interval in
// between (the caller keeps its screen alive there). Returns the exit status,
// or -1 when it could not be started.
int SpawnAndWait(const std::string& nativePath, std::chrono::milliseconds interval,
                 const std::function<void()>& poll);

// Collects children that have exited, so none is left a zombie. Returns the
// pids collected.
std::vector<pid_t> ReapChildren();

}  // namespace platform
