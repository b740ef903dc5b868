#include "platform/core/PeerLink.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/core/Runtime.h"

namespace platform {
namespace {

bool FillAddress(const std::string& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.data(), path.size());
    return true;
}

// Reads one line (without its '\n') with a deadline; false on timeout or error.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline)
{
    line.clear();
    while (line.size() < 64) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        int r = poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        char c;
        ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (c == '\n') return true;
        line += c;
    }
    return false;
}

bool WriteAll(int fd, const std::string& s)
{
    size_t done = 0;
    while (done < s.size()) {
        ssize_t n = send(fd, s.data() + done, s.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string LockPath(const std::string& program)
{
    std::string dir = RuntimeFolder();
    return dir.empty() ? std::string() : dir + program + ".lock";
}

std::string SocketPath(const std::string& program)
{
    std::string dir = RuntimeFolder();
    return dir.empty() ? std::string() : dir + program + ".sock";
}

ProgramLock::~ProgramLock()
{
    Release();
}

bool ProgramLock::Acquire(const std::string& program)
{
    Release();
    std::string path = LockPath(program);
    if (path.empty()) return false;
    // O_CLOEXEC: a child must not inherit the lock and keep us looking alive.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void ProgramLock::Release()
{
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

bool ProgramLock::IsRunning(const std::string& program)
{
    std::string path = LockPath(program);
    if (path.empty()) return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;  // never ran here
    bool running = false;
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        running = errno == EWOULDBLOCK;
    } else {
        flock(fd, LOCK_UN);
    }
    close(fd);
    return running;
}

RequestListener::~RequestListener()
{
    Stop();
}

bool RequestListener::Start(const std::string& program, Handler handler)
{
    Stop();
    m_path = SocketPath(program);
    sockaddr_un addr;
    if (!FillAddress(m_path, addr)) return false;
    unlink(m_path.c_str());  // left by an earlier run; we hold the lock now
    m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return false;
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_fd, 4) != 0 ||
        pipe2(m_wake, O_CLOEXEC) != 0) {
        Stop();
        return false;
    }
    m_handler = std::move(handler);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void RequestListener::Stop()
{
    if (m_thread.joinable()) {
        char c = 'q';
        (void)!write(m_wake[1], &c, 1);
        m_thread.join();
    }
    if (m_fd >= 0) {
        close(m_fd);
        unlink(m_path.c_str());
    }
    for (int& w : m_wake) {
        if (w >= 0) close(w);
        w = -1;
    }
    m_fd = -1;
}

void RequestListener::Run()
{
    for (;;) {
        pollfd p[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        int r = poll(p, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (p[1].revents & POLLIN)) return;
        if (!(p[0].revents & POLLIN)) continue;
        int c = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        std::string line;
        if (ReadLine(c, line, std::chrono::steady_clock::now() + std::chrono::seconds(2)) &&
            (line == "close" || line == "raise")) {
            if (m_handler) m_handler(line);
            WriteAll(c, "ok\n");
        }
        close(c);
    }
}

bool SendRequest(const std::string& program, const std::string& request, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    sockaddr_un addr;
    if (!FillAddress(SocketPath(program), addr)) return false;
    for (;;) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            std::string answer;
            bool ok = WriteAll(fd, request + "\n") && ReadLine(fd, answer, deadline) && answer == "ok";
            close(fd);
            return ok;
        }
        close(fd);
        // The peer may hold its lock but not listen yet: try again shortly.
        if (std::chrono::steady_clock::now() + std::chrono::milliseconds(50) >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace platform
