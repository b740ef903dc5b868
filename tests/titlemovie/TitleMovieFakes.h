#pragma once
// Fakes for the menu's movie logic: the view's side, the dialog's window, an
// event loop that hands out one timer tick or posted call per turn, and a
// movie device whose plays last a number of turns.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "foundation/Movie.h"
#include "menu/TitleMovie.h"

namespace testtitle {

struct FakeView : zrv::MenuMovieView {
    uint32_t flags = 0;
    uint32_t device = 0;
    bool movieThere = true;
    bool soundEnabled = true;
    bool cursorShown = true;
    int cdStops = 0, cdPlays = 0, soundReleases = 0, soundInits = 0;
    zrv::ScreenSize screen{640, 480};
    std::vector<bool> cursorCalls;

    uint32_t& SceneFlags() override { return flags; }
    uint32_t& MovieDevice() override { return device; }
    void StopCDAudio() override
    {
        ++cdStops;
        flags &= ~zrv::kSceneCDPlaying;
    }
    void PlayCurrentCDTrack() override
    {
        ++cdPlays;
        flags |= zrv::kSceneCDPlaying | zrv::kSceneCDRepeat;
    }
    void FreeAllSoundEffects() override {}
    void ReleaseDirectSound() override
    {
        ++soundReleases;
        soundEnabled = false;
    }
    bool SoundEnabled() override { return soundEnabled; }
    void InitDirectSound() override
    {
        ++soundInits;
        soundEnabled = true;
    }
    void* MovieParent() override { return this; }
    zrv::ScreenSize Screen() override { return screen; }
    void ShowCursor(bool shown) override
    {
        cursorShown = shown;
        cursorCalls.push_back(shown);
    }
    bool LocateMovie(std::string_view name, std::string& path) override
    {
        path = "MOVIE\\" + std::string(name);
        return movieThere;
    }
};

// The event loop: each turn runs the posted calls due, then one tick of the
// running timer; scripted actions run at given turns.
struct FakePump : zrv::EventPump {
    std::deque<std::pair<int, std::function<void()>>> posted;  // due turn, call
    std::map<int, std::function<void()>> script;
    std::function<void()> timer;  // the running 50 ms timer, if any
    int turn = 0;
    int limit = 5000;

    void Post(int delay, std::function<void()> fn) { posted.emplace_back(turn + delay, std::move(fn)); }
    void RunOnce() override
    {
        ++turn;
        if (turn > limit) throw std::runtime_error("the loop never ends");
        if (auto it = script.find(turn); it != script.end()) it->second();
        for (size_t i = 0; i < posted.size();) {
            if (posted[i].first <= turn) {
                auto fn = std::move(posted[i].second);
                posted.erase(posted.begin() + static_cast<std::ptrdiff_t>(i));
                fn();
            } else {
                ++i;
            }
        }
        if (timer) {
            auto t = timer;
            t();
        }
    }
};

struct FakeWindow : zrv::TitleWindow {
    FakePump& pump;
    zrv::CTitleDlg* dlg = nullptr;
    bool exists = false, shown = false, maximized = false, clickable = false;
    bool failCreate = false, failTimer = false;
    int width = 640;
    int timerId = 0;
    int creates = 0, destroys = 0, paintsNow = 0;

    explicit FakeWindow(FakePump& p) : pump(p) {}
    void SetDialog(zrv::CTitleDlg* d) override { dlg = d; }
    bool Create() override
    {
        ++creates;
        if (failCreate) return false;
        exists = true;
        return true;
    }
    bool Exists() const override { return exists; }
    void Show() override { shown = true; }
    void Maximize() override { maximized = true; }
    void Hide() override { shown = false; }
    void Destroy() override
    {
        ++destroys;
        exists = false;
        pump.timer = nullptr;
    }
    void Invalidate(bool now) override { paintsNow += now ? 1 : 0; }
    bool StartTimer(int id) override
    {
        if (failTimer) return false;
        timerId = id;
        pump.timer = [this, id] {
            if (dlg) dlg->OnTimer(id);
        };
        return true;
    }
    void KillTimer(int id) override
    {
        if (id == timerId) pump.timer = nullptr;
    }
    int FullScreenWidth() const override { return width; }
    void SetClickable(bool c) override { clickable = c; }
};

// Plays last `length` turns; the end notice is posted like the real one.
struct FakeMovies : zrv::MovieBackend {
    FakePump& pump;
    bool failOpen = false;
    int length = 80;
    uint32_t next = 7;
    std::map<uint32_t, int> open;  // device -> plays started
    std::vector<zrv::MovieRect> placed;
    std::vector<bool> waits;
    std::vector<uint32_t> closed;
    int generation = 0;

    explicit FakeMovies(FakePump& p) : pump(p) {}
    bool CanOpen(std::string_view) override { return !failOpen; }
    uint32_t Open(void*, std::string_view, int& error) override
    {
        if (failOpen) {
            error = platform::kMediaCannotOpenMovie;
            return 0;
        }
        open[next] = 0;
        return next++;
    }
    int SourceSize(uint32_t, int& w, int& h) override
    {
        w = 320;
        h = 240;
        return 0;
    }
    int Place(uint32_t, const zrv::MovieRect& r) override
    {
        placed.push_back(r);
        return 0;
    }
    int Play(uint32_t device, zrv::MovieNotify notify, bool, bool wait) override
    {
        if (!open.count(device)) return platform::kMediaBadDevice;
        ++open[device];
        ++plays;
        waits.push_back(wait);
        const int gen = ++generation;
        // With wait the call itself lasts the movie: its end is due at once.
        pump.Post(wait ? 0 : length, [this, device, notify, gen] {
            if (open.count(device) && gen == generation && notify) notify(device);
        });
        return 0;
    }
    int Rewind(uint32_t device) override { return open.count(device) ? 0 : platform::kMediaBadDevice; }
    void Close(uint32_t device) override
    {
        if (open.erase(device)) closed.push_back(device);
    }
    int Plays() const { return plays; }
    int plays = 0;
};

// The dialog, its window, the view and the routines wired together.
struct Rig {
    FakeView view;
    FakePump pump;
    FakeWindow window{pump};
    FakeMovies movies{pump};
    zrv::CMenuMovies routines{view, pump};
    zrv::CTitleDlg dlg{routines, window};
    int playsAtClose = 0;

    Rig()
    {
        window.dlg = &dlg;
        routines.SetTitleDialog(&dlg);
        zrv::SetMovies(&movies);
    }
    ~Rig() { zrv::SetMovies(nullptr); }
};

}  // namespace testtitle
