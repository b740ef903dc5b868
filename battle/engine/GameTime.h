#pragma once
// Time and chance as inputs of the game: the clock the document reads, the
// game's own random generator, and the wait service that animation waits go
// through. Whoever owns the game decides each of them, so a test runs with a
// fixed clock, a fixed seed and no waiting.

#include <cstdint>
#include <ctime>
#include <functional>
#include <random>

namespace zrv {

// Wall-clock time in seconds since the epoch.
class GameClock {
public:
    virtual ~GameClock() = default;
    virtual int64_t Now() const = 0;
};

class SystemClock : public GameClock {
public:
    int64_t Now() const override { return static_cast<int64_t>(std::time(nullptr)); }
};

// A clock that says what it is told (tests).
class FixedClock : public GameClock {
public:
    explicit FixedClock(int64_t now = 0) : m_now(now) {}
    int64_t Now() const override { return m_now; }
    void Set(int64_t now) { m_now = now; }
    void Advance(int64_t seconds) { m_now += seconds; }

private:
    int64_t m_now;
};

// The one generator whose draws decide the game (hits, weather, the computer
// player's chances). Draws are 0..kGameRandomMax like the rules expect, and a
// given seed always gives the same sequence, so a game replays exactly.
// Cosmetic randomness (animations, sounds) must use a generator of its own,
// or it would change outcomes.
class GameRandom {
public:
    static constexpr int kGameRandomMax = 32767;

    explicit GameRandom(uint32_t seed = 1) { Seed(seed); }
    void Seed(uint32_t seed)
    {
        m_engine.seed(seed);
        m_draws = 0;
    }
    // The next draw, 0..32767 (the top 15 bits of one engine output).
    int Rand()
    {
        ++m_draws;
        return static_cast<int>(m_engine() >> 17);
    }
    // Draws taken since the last seeding.
    uint64_t Draws() const { return m_draws; }

private:
    std::mt19937 m_engine;
    uint64_t m_draws = 0;
};

// Timed waits of the map animations and the wait for an outside program.
// Under the window system the wait keeps the message loop running and
// blocks in it until the next tick; headless it returns at once.
class WaitService {
public:
    virtual ~WaitService() = default;
    // Waits ticks periods of periodMs; false when the wait ran out, true when
    // it was cut short (the stop test said so, or the program is ending).
    virtual bool WaitTicks(int ticks, unsigned periodMs) = 0;
    // What ends a wait early besides the end of the program (the view's
    // close request); tested whenever the wait wakes.
    void SetStopTest(std::function<bool()> stop) { m_stop = std::move(stop); }

protected:
    bool StopRequested() const { return m_stop && m_stop(); }

private:
    std::function<bool()> m_stop;
};

// Returns at once and counts the time it was asked to wait.
class InstantWaitService : public WaitService {
public:
    bool WaitTicks(int ticks, unsigned periodMs) override
    {
        if (ticks > 0) m_waitedMs += static_cast<uint64_t>(ticks) * periodMs;
        ++m_waits;
        return StopRequested();
    }
    uint64_t WaitedMs() const { return m_waitedMs; }
    int Waits() const { return m_waits; }

private:
    uint64_t m_waitedMs = 0;
    int m_waits = 0;
};

// Returns at once like the instant service, counting ticks; when the count
// reaches the chosen tick the action runs (a test raises a close request
// there) and that wait and every later one is cut short while the stop test
// holds.
class ScriptedWaitService : public WaitService {
public:
    // tick 1 is the first tick waited for; 0 never acts.
    void ActAtTick(int tick, std::function<void()> action)
    {
        m_actTick = tick;
        m_action = std::move(action);
    }
    bool WaitTicks(int ticks, unsigned periodMs) override
    {
        ++m_waits;
        for (int i = 0; i < ticks; ++i) {
            if (StopRequested()) return true;
            ++m_ticks;
            m_waitedMs += periodMs;
            if (m_ticks == m_actTick && m_action) m_action();
        }
        return StopRequested();
    }
    int Ticks() const { return m_ticks; }
    int Waits() const { return m_waits; }
    uint64_t WaitedMs() const { return m_waitedMs; }

private:
    int m_actTick = 0;
    std::function<void()> m_action;
    int m_ticks = 0;
    int m_waits = 0;
    uint64_t m_waitedMs = 0;
};

}  // namespace zrv
