#pragma once
// The programs' movie device without a display: a window that only records
// what it is shown (the number each picture's block row says), and the UI
// thread's loop run by hand.

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "foundation/Movie.h"
#include "platform/wx/MediaMovies.h"
#include "tools/moviegen/MovieGen.h"

namespace testmedia {

struct Recorded {
    std::vector<int> numbers;
    zrv::MovieRect rect;
    bool fullScreen = false;
    bool shown = false;
    int alive = 0;
};

class RecordingSink : public platform::MovieSink {
public:
    explicit RecordingSink(Recorded& r) : m_r(r) { ++m_r.alive; }
    ~RecordingSink() override { --m_r.alive; }
    platform::media::PixelFormat Format() const override { return platform::media::PixelFormat::Rgb24; }
    void Place(const zrv::MovieRect& rect) override { m_r.rect = rect; }
    void SetFullScreen(bool f) override { m_r.fullScreen = f; }
    void TargetSize(int& w, int& h) const override { w = h = 0; }
    void Show(bool shown) override { m_r.shown = shown; }
    void Present(std::shared_ptr<const platform::media::VideoFrame> f) override
    {
        m_r.numbers.push_back(moviegen::ReadFrameNumber(f->width, f->height, f->pixels.data(), f->stride));
    }

private:
    Recorded& m_r;
};

// The UI thread's loop, run by hand: ticks every few milliseconds, posted
// calls after them.
class TestHost : public platform::MovieHost {
public:
    Recorded rec;
    std::vector<std::function<void()>> posted;
    std::function<void()> tick;
    int loops = 0;

    std::unique_ptr<platform::MovieSink> MakeSink(void*) override
    {
        return std::make_unique<RecordingSink>(rec);
    }
    void StartTicks(std::function<void()> t) override { tick = std::move(t); }
    void StopTicks() override { tick = nullptr; }
    void RunUntil(const std::function<bool()>& done) override
    {
        ++loops;
        while (!done()) Turn();
    }
    void Post(std::function<void()> fn) override { posted.push_back(std::move(fn)); }

    // One pass of the loop.
    void Turn()
    {
        if (auto t = tick) t();
        auto due = std::move(posted);
        posted.clear();
        for (auto& f : due) f();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    // Runs the loop until cond holds or seconds pass.
    bool TurnUntil(const std::function<bool()>& cond, double seconds = 15)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!cond()) {
            if (std::chrono::steady_clock::now() > end) return false;
            Turn();
        }
        return true;
    }
};

}  // namespace testmedia
