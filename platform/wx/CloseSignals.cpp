#include "platform/wx/CloseSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <wx/app.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {
namespace {

int g_wakeWrite = -1;

std::mutex& CloseLock()
{
    static std::mutex m;
    return m;
}

std::function<void()>& CloseFunction()
{
    static std::function<void()> f;
    return f;
}

// Only async-signal-safe calls here: one byte into the pipe.
void OnSignal(int sig)
{
    const int saved = errno;
    const char c = static_cast<char>(sig);
    [[maybe_unused]] ssize_t n = ::write(g_wakeWrite, &c, 1);
    errno = saved;
}

void Listen(int readFd)
{
    for (;;) {
        char sig = 0;
        const ssize_t n = ::read(readFd, &sig, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        std::fprintf(stderr, "closing on signal %d\n", sig);
        std::function<void()> close;
        {
            std::lock_guard<std::mutex> hold(CloseLock());
            close = CloseFunction();
        }
        // CallAfter queues an event: safe from this thread.
        if (close && wxTheApp) wxTheApp->CallAfter(close);
    }
}

}  // namespace

void RouteCloseSignals(std::function<void()> close)
{
    {
        std::lock_guard<std::mutex> hold(CloseLock());
        CloseFunction() = std::move(close);
    }
    static const bool installed = [] {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return false;
        // A full pipe drops a signal rather than blocking the handler.
        ::fcntl(fds[1], F_SETFL, ::fcntl(fds[1], F_GETFL) | O_NONBLOCK);
        g_wakeWrite = fds[1];
        std::thread(Listen, fds[0]).detach();
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        return true;
    }();
    (void)installed;
}

}  // namespace platform
