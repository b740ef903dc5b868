#pragma once
// How one program knows that the other is running and asks it to close or to
// come forward.
//
// A program that runs holds an exclusive lock on its lock file for its whole
// life ("its window exists"); a peer probes it with a shared lock. Beside the
// lock each program listens on a Unix socket for one-line requests ("close",
// "raise"); a listener thread hands each request to the program (which moves
// it to its UI thread) and answers "ok".

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace platform {

// "<runtime folder><program>.lock" and ".sock".
std::string LockPath(const std::string& program);
std::string SocketPath(const std::string& program);

// The lock that stands for "this program is running".
class ProgramLock {
public:
    ProgramLock() = default;
    ~ProgramLock();
    ProgramLock(const ProgramLock&) = delete;
    ProgramLock& operator=(const ProgramLock&) = delete;

    // Takes the lock of program; false when another process holds it.
    bool Acquire(const std::string& program);
    void Release();
    bool Held() const { return m_fd >= 0; }

    // True when some process holds the lock of program.
    static bool IsRunning(const std::string& program);

private:
    int m_fd = -1;
};

// Listens on the program's socket for requests.
class RequestListener {
public:
    // Receives "close" or "raise". Runs on the listener thread: the program
    // posts it to its UI thread.
    using Handler = std::function<void(const std::string&)>;

    RequestListener() = default;
    ~RequestListener();
    RequestListener(const RequestListener&) = delete;
    RequestListener& operator=(const RequestListener&) = delete;

    // Call only while holding the program's lock: a socket left by an earlier
    // run is removed first.
    bool Start(const std::string& program, Handler handler);
    void Stop();

private:
    void Run();

    int m_fd = -1;
    int m_wake[2] = {-1, -1};
    std::string m_path;
    Handler m_handler;
    std::thread m_thread;
};

// Sends request to program and waits up to timeout for its "ok", retrying the
// connection meanwhile. False when no answer came.
bool SendRequest(const std::string& program, const std::string& request,
                 std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

}  // namespace platform
