#include "menu/wx/MoviePlayOps.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "menu/MenuApp.h"
#include "menu/wx/MenuFrame.h"
#include "menu/wx/MenuTestPlayer.h"
#include "platform/wx/Screenshot.h"

namespace zrv::menu {

namespace {

using Args = std::vector<std::string>;

int Number(const Args& a, size_t i, int otherwise)
{
    return a.size() > i ? std::atoi(a[i].c_str()) : otherwise;
}

wxImage GrabScreen()
{
    const wxBitmap shot = platform::GrabScreen(wxDisplay(0u).GetGeometry());
    return shot.IsOk() ? shot.ConvertToImage() : wxImage();
}

void LogTitleState(CZRKMenuView& view)
{
    char line[160];
    const CTitleDlg* dlg = view.TitleDialog();
    std::snprintf(line, sizeof line, "movie state step %d clickable %d finished %d window %d flags 0x%06X device %u",
                  dlg ? dlg->Step() : -1, dlg && dlg->Clickable() ? 1 : 0, dlg && dlg->Finished() ? 1 : 0,
                  dlg && const_cast<CTitleDlg*>(dlg)->Window().Exists() ? 1 : 0,
                  static_cast<const CZRKMenuView&>(view).SceneFlags() & 0x1F0000u, view.MovieDevice());
    PlayLog(line);
}

}  // namespace

void RegisterMoviePlayOperations(CMainFrame& frame, CZRKMenuApp& app)
{
    // The movie operations run their loops after the step has returned, so
    // the player's later steps are taken while the movie plays.
    auto later = [](std::function<void()> fn) {
        wxTheApp->CallAfter(std::move(fn));
        return true;
    };
    RegisterPlayOperation("movie_title", [&app, later](const Args& a) {
        const int endMode = Number(a, 0, 1);
        return later([&app, endMode] {
            CZRKMenuView* view = app.View();
            if (view == nullptr) return;
            PlayLog("movie title start " + std::to_string(endMode));
            view->RunTitleSequence(endMode);
            PlayLog("movie title done");
            LogTitleState(*view);
        });
    });
    RegisterPlayOperation("movie_modal", [&app, later](const Args& a) {
        const int endMode = Number(a, 0, 1);
        return later([&app, endMode] {
            CZRKMenuView* view = app.View();
            if (view == nullptr) return;
            view->PlayTitleDialogModal(endMode);
            PlayLog("movie modal done");
            LogTitleState(*view);
        });
    });
    RegisterPlayOperation("movie_backdrop", [&app, later](const Args& a) {
        if (a.empty()) return false;
        const std::string name = a[0];
        return later([&app, name] {
            CZRKMenuView* view = app.View();
            if (view == nullptr) return;
            view->PlayMovieOverBackdrop(name);
            PlayLog("movie backdrop done");
            LogTitleState(*view);
        });
    });
    RegisterPlayOperation("movie_fullscreen", [&frame, &app](const Args& a) {
        CZRKMenuView* view = app.View();
        std::string path;
        if (a.empty() || view == nullptr || !view->LocateMovie(a[0], path)) return false;
        PlayLog("movie fullscreen start");
        frame.MovieFullScreen(path);
        return true;
    });
    RegisterPlayOperation("movie_state", [&app](const Args&) {
        if (app.View() == nullptr) return false;
        LogTitleState(*app.View());
        return true;
    });
    // A picture of the whole screen, and the colour of its points: the
    // points are read from the last picture, so they show what it shows.
    auto lastGrab = std::make_shared<wxImage>();
    RegisterPlayOperation("grab", [lastGrab](const Args& a) {
        if (a.empty()) return false;
        *lastGrab = GrabScreen();
        const bool ok = lastGrab->IsOk() && platform::SaveScreenshot(wxBitmap(*lastGrab), a[0]);
        PlayLog(std::string("grab ") + (ok ? "saved " : "failed ") + a[0]);
        return ok;
    });
    RegisterPlayOperation("pixel", [lastGrab](const Args& a) {
        // Points as x y pairs.
        const wxImage& im = *lastGrab;
        if (!im.IsOk()) return false;
        for (size_t i = 0; i + 1 < a.size(); i += 2) {
            const int x = Number(a, i, 0), y = Number(a, i + 1, 0);
            if (x < 0 || y < 0 || x >= im.GetWidth() || y >= im.GetHeight()) return false;
            char line[96];
            std::snprintf(line, sizeof line, "pixel %d %d %d %d %d", x, y, im.GetRed(x, y), im.GetGreen(x, y),
                          im.GetBlue(x, y));
            PlayLog(line);
        }
        return a.size() >= 2;
    });
    RegisterPlayOperation("screenclick", [](const Args& a) {
        wxUIActionSimulator sim;
        return sim.MouseMove(Number(a, 0, 0), Number(a, 1, 0)) && sim.MouseClick();
    });
    RegisterPlayOperation("screenmove", [](const Args& a) {
        wxUIActionSimulator sim;
        return sim.MouseMove(Number(a, 0, 0), Number(a, 1, 0));
    });
    // Keys typed as a text, into the window under the keyboard.
    RegisterPlayOperation("type", [](const Args& a) {
        std::string text;
        for (size_t i = 0; i < a.size(); ++i) text += (i > 0 ? " " : "") + a[i];
        wxUIActionSimulator sim;
        return !text.empty() && sim.Text(text.c_str());
    });
    RegisterPlayOperation("screensize", [](const Args&) {
        const wxRect r = wxDisplay(0u).GetGeometry();
        PlayLog("screensize " + std::to_string(r.width) + " " + std::to_string(r.height));
        return true;
    });
}

}  // namespace zrv::menu
