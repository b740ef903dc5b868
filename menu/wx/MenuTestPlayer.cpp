#include "menu/wx/MenuTestPlayer.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "menu/MenuApp.h"
#include "menu/wx/MenuFrame.h"
#include "platform/core/Text.h"
#include "platform/wx/KeyInput.h"
#include "platform/wx/ScriptPlayer.h"
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
class Player : public wxTimer, public wxModalDialogHook {
public:
    Player(CMainFrame& frame, CZRKMenuApp& app, std::vector<std::vector<std::string>> steps)
        : m_frame(frame), m_app(app), m_steps(std::move(steps))
    {
        RegisterOwn();
        RegisterDialogOps();
        wxModalDialogHook::Register();
    }
    ~Player() override { wxModalDialogHook::Unregister(); }
    // The modal dialog shown now (a file dialog of the platform is one too).
    int Enter(wxDialog* dialog) override
    {
        m_modal = dialog;
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        if (m_modal == dialog) m_modal = nullptr;
    }
    void Notify() override
    {
        if (m_next >= m_steps.size()) {
            Stop();
            PlayLog("play done");
            return;
        }
        const std::vector<std::string>& step = m_steps[m_next++];
        // "dialog <caption>" waits (up to 20 s) for a shown window with that
        // caption (no caption: any dialog), which the dialog operations below
        // then act on.
        if (step[0] == "dialog") {
            std::string caption;
            for (size_t i = 1; i < step.size(); ++i) caption += (i > 1 ? " " : "") + step[i];
            wxTopLevelWindow* found = nullptr;
            if (m_modal != nullptr && (caption.empty() || m_modal->GetTitle().utf8_string() == caption)) {
                found = m_modal;
            } else if (!caption.empty()) {
                found = platform::ScriptPlayer::FindShownWindow(caption);
            }
            if (wxTopLevelWindow* w = found) {
                m_dialog = w;
                m_waited = 0;
                PlayLog("dialog " + caption);
            } else if (++m_waited < 40) {
                --m_next;
            } else {
                PlayLog("play failed dialog " + caption);
                Stop();
            }
            return;
        }
        // "screen <n>" waits (up to 30 s) until the view shows screen state n.
        if (step[0] == "screen" && step.size() > 1) {
            CZRKMenuView* view = m_app.View();
            Await(view != nullptr && view->ScreenState() == std::atoi(step[1].c_str()), "screen " + step[1]);
            return;
        }
        // "waitmovie <what>" waits (up to 30 s) for the movies: "title <n>"
        // (the title dialog at step n), "title done" (its sequence over),
        // "playing" (a full-screen movie runs), "over" (none runs).
        if (step[0] == "waitmovie" && step.size() > 1) {
            const CTitleDlg* dlg = m_app.View() != nullptr ? m_app.View()->TitleDialog() : nullptr;
            bool ready = false;
            if (step[1] == "title" && step.size() > 2 && step[2] == "done")
                ready = dlg != nullptr && dlg->Finished();
            else if (step[1] == "title" && step.size() > 2)
                ready = dlg != nullptr && !dlg->Finished() && dlg->Step() == std::atoi(step[2].c_str());
            else if (step[1] == "playing")
                ready = m_frame.MovieShowing();
            else if (step[1] == "over")
                ready = !m_frame.MoviePlaying();
            std::string what = "waitmovie";
            for (size_t i = 1; i < step.size(); ++i) what += " " + step[i];
            Await(ready, what);
            return;
        }
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
    // A waiting step: done (logged) once ready, else taken again at the next
    // tick, for up to 30 s.
    void Await(bool ready, const std::string& what)
    {
        if (ready) {
            m_waited = 0;
            PlayLog(what);
        } else if (++m_waited < 60) {
            --m_next;
        } else {
            m_waited = 0;
            PlayLog("play failed " + what);
            Stop();
        }
    }
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
        // Keys go to the program's topmost window (a box or a dialog above
        // the frame, the movie above everything).
        Registry()["key"] = [](const std::vector<std::string>& a) {
            if (a.empty() || a[0].empty()) return false;
            const std::string k = a[0];
            using platform::PressKeyInTopWindow;
            if (k.rfind("ctrl+", 0) == 0 && k.size() == 6) return PressKeyInTopWindow(k[5], wxMOD_CONTROL);
            if (k.rfind("alt+", 0) == 0 && k.size() == 5) return PressKeyInTopWindow(k[4], wxMOD_ALT);
            static const std::map<std::string, int> named = {{"f1", WXK_F1},     {"enter", WXK_RETURN},
                                                             {"esc", WXK_ESCAPE}, {"tab", WXK_TAB},
                                                             {"left", WXK_LEFT},  {"right", WXK_RIGHT}};
            if (auto it = named.find(k); it != named.end()) return PressKeyInTopWindow(it->second);
            return k.size() == 1 && PressKeyInTopWindow(k[0]);
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

    // The window a "dialog" step found, while it stands.
    wxTopLevelWindow* Dialog() const
    {
        if (m_dialog != nullptr && m_dialog == m_modal) return m_dialog;
        for (wxWindow* w : wxTopLevelWindows)
            if (w == m_dialog && m_dialog->IsShown()) return m_dialog;
        return nullptr;
    }
    // A shown control of the dialog that matches.
    wxWindow* FindControl(const std::function<bool(wxWindow&)>& match) const
    {
        wxTopLevelWindow* d = Dialog();
        if (d == nullptr) return nullptr;
        wxWindowList todo = d->GetChildren();
        for (auto node = todo.GetFirst(); node; node = node->GetNext()) {
            wxWindow* c = node->GetData();
            for (wxWindow* g : c->GetChildren()) todo.Append(g);
            if (c->IsShown() && match(*c)) return c;
        }
        return nullptr;
    }
    static bool ClickCentre(wxWindow* w)
    {
        if (w == nullptr) return false;
        const wxRect r = w->GetScreenRect();
        platform::ScriptPlayer::ClickAt(r.x + r.width / 2, r.y + r.height / 2, false);
        return true;
    }
    void RegisterDialogOps()
    {
        // A button of the dialog by its label, clicked with the pointer.
        Registry()["button"] = [this](const std::vector<std::string>& a) {
            std::string label;
            for (size_t i = 0; i < a.size(); ++i) label += (i > 0 ? " " : "") + a[i];
            const wxString wanted = wxString::FromUTF8(label);
            return ClickCentre(FindControl([&](wxWindow& w) {
                auto* b = wxDynamicCast(&w, wxButton);
                return b != nullptr && wxStripMenuCodes(b->GetLabel()) == wanted;
            }));
        };
        // A check box of the dialog by its id, clicked with the pointer.
        Registry()["check"] = [this](const std::vector<std::string>& a) {
            if (a.empty()) return false;
            const int id = std::atoi(a[0].c_str());
            return ClickCentre(FindControl([&](wxWindow& w) {
                return wxDynamicCast(&w, wxCheckBox) != nullptr && w.GetId() == id;
            }));
        };
        // A picture of the dialog as the screen shows it.
        Registry()["dshot"] = [this](const std::vector<std::string>& a) {
            wxTopLevelWindow* d = Dialog();
            if (a.empty() || d == nullptr) return false;
            const bool ok = platform::ScriptPlayer::SaveWindowPicture(*d, a[0]);
            PlayLog(std::string("shot ") + (ok ? "saved " : "failed ") + a[0]);
            return ok;
        };
        // The file under the file dialog's selection (the chooser's own
        // keyboard entry is not dependable under a virtual display); the
        // player then opens it with a key.
        Registry()["select"] = [this](const std::vector<std::string>& a) {
            auto* d = wxDynamicCast(Dialog(), wxFileDialog);
            if (a.empty() || d == nullptr) return false;
            d->SetPath(wxString::FromUTF8(a[0]));
            return true;
        };
    }

    CMainFrame& m_frame;
    CZRKMenuApp& m_app;
    wxTopLevelWindow* m_dialog = nullptr;
    wxDialog* m_modal = nullptr;
    int m_waited = 0;
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
