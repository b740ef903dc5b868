#include "menu/wx/MenuTestPlayer.h"

#include <wx/app.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "menu/MenuApp.h"
#include "menu/wx/MenuFrame.h"
#include "platform/core/Text.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv::menu {

namespace {

std::map<std::string, PlayOperation>& Registry()
{
    static std::map<std::string, PlayOperation> ops;
    return ops;
}

std::string& PendingList()
{
    static std::string list;
    return list;
}

std::vector<std::vector<std::string>> ParseList(const std::string& list)
{
    std::vector<std::vector<std::string>> steps;
    std::stringstream all(list);
    std::string step;
    while (std::getline(all, step, ';')) {
        std::stringstream words(step);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (!w.empty()) steps.push_back(std::move(w));
    }
    return steps;
}

// Runs the steps one per timer tick, so that each event is handled before the next.
class Player : public wxTimer {
public:
    Player(CMainFrame& frame, CZRKMenuApp& app, std::vector<std::vector<std::string>> steps)
        : m_frame(frame), m_app(app), m_steps(std::move(steps))
    {
        RegisterOwn();
    }
    void Notify() override
    {
        if (m_next >= m_steps.size()) {
            Stop();
            PlayLog("play done");
            return;
        }
        const std::vector<std::string>& step = m_steps[m_next++];
        auto it = Registry().find(step[0]);
        if (it == Registry().end()) {
            PlayLog("play unknown " + step[0]);
            Stop();
            return;
        }
        const std::vector<std::string> args(step.begin() + 1, step.end());
        if (!it->second(args)) {
            PlayLog("play failed " + step[0]);
            Stop();
        }
    }

private:
    wxPoint ScreenPoint(const std::vector<std::string>& args)
    {
        const int x = args.size() > 0 ? std::atoi(args[0].c_str()) : 0;
        const int y = args.size() > 1 ? std::atoi(args[1].c_str()) : 0;
        return m_frame.Canvas().ClientToScreen(wxPoint(x, y));
    }
    void RegisterOwn()
    {
        Registry()["move"] = [this](const std::vector<std::string>& a) {
            wxUIActionSimulator sim;
            const wxPoint p = ScreenPoint(a);
            return sim.MouseMove(p.x, p.y);
        };
        Registry()["click"] = [this](const std::vector<std::string>& a) {
            wxUIActionSimulator sim;
            const wxPoint p = ScreenPoint(a);
            return sim.MouseMove(p.x, p.y) && sim.MouseClick();
        };
        Registry()["key"] = [](const std::vector<std::string>& a) {
            if (a.empty() || a[0].empty()) return false;
            wxUIActionSimulator sim;
            const std::string k = a[0];
            if (k.rfind("ctrl+", 0) == 0 && k.size() == 6) return sim.Char(std::toupper(k[5]), wxMOD_CONTROL);
            if (k == "f1") return sim.Char(WXK_F1);
            if (k == "enter") return sim.Char(WXK_RETURN);
            if (k == "esc") return sim.Char(WXK_ESCAPE);
            return sim.Char(k[0]);
        };
        Registry()["shot"] = [this](const std::vector<std::string>& a) {
            if (a.empty()) return false;
            const bool ok = m_frame.SaveScreenshot(a[0]);
            PlayLog(std::string("shot ") + (ok ? "saved " : "failed ") + a[0]);
            return ok;
        };
        Registry()["wait"] = [](const std::vector<std::string>&) { return true; };
        // As the menu bar sends it, so the frame's own commands work too.
        Registry()["command"] = [this](const std::vector<std::string>& a) {
            if (a.empty()) return false;
            wxCommandEvent e(wxEVT_MENU, std::atoi(a[0].c_str()));
            e.SetEventObject(&m_frame);
            m_frame.ProcessWindowEvent(e);
            return true;
        };
        Registry()["state"] = [this](const std::vector<std::string>&) {
            CZRKMenuView* view = m_app.View();
            if (view == nullptr) return false;
            char line[96];
            std::snprintf(line, sizeof line, "state screen %d highlight %d viewflags 0x%08X", view->ScreenState(),
                          view->HighlightedButton(), view->ViewFlags());
            PlayLog(line);
            return true;
        };
    }

    CMainFrame& m_frame;
    CZRKMenuApp& m_app;
    std::vector<std::vector<std::string>> m_steps;
    size_t m_next = 0;
};

std::unique_ptr<Player>& ThePlayer()
{
    static std::unique_ptr<Player> player;
    return player;
}

}  // namespace

void RegisterPlayOperation(const std::string& name, PlayOperation op)
{
    Registry()[name] = std::move(op);
}

void PlayLog(const std::string& line)
{
    static const char* path = std::getenv("VELMORATH_MENU_LOG");
    if (path == nullptr || *path == '\0') return;
    std::ofstream out(path, std::ios::app);
    out << line << '\n';
}

void PreparePlay(CZRKMenuApp& app)
{
    if (const char* list = std::getenv("VELMORATH_MENU_PLAY")) PendingList() = list;
    std::string after;
    if (const char* list = std::getenv("VELMORATH_MENU_PLAY_AFTER")) after = list;
    unsetenv("VELMORATH_MENU_PLAY");
    unsetenv("VELMORATH_MENU_PLAY_AFTER");
    if (!after.empty()) app.SetBattleEnvironment({"VELMORATH_MENU_PLAY=" + after});
    app.SetLaunchHook([](uint32_t command, const std::string& path, bool ok) {
        PlayLog("launch " + std::to_string(command) + " " + platform::SjisToUtf8(path) + (ok ? " ok" : " failed"));
    });
}

void StartPlay(CMainFrame& frame, CZRKMenuApp& app)
{
    const auto steps = ParseList(PendingList());
    if (steps.empty()) return;
    ThePlayer() = std::make_unique<Player>(frame, app, steps);
    // Half a second between steps: time for the window manager and the paint.
    ThePlayer()->Start(500);
}

void StopPlay()
{
    ThePlayer().reset();
}

}  // namespace zrv::menu
