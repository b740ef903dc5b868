#pragma once
// The test player's operations for the menu's movies (nothing in the menu
// opens them): the title sequence and the title dialog's modal wait, a movie
// over the black backdrop, the full-screen player, the state of the title
// dialog, and pictures, pointer moves, clicks and typed keys anywhere on the
// screen (the platform's own file dialog among them).

namespace zrv {
class CZRKMenuApp;
}

namespace zrv::menu {

class CMainFrame;

void RegisterMoviePlayOperations(CMainFrame& frame, CZRKMenuApp& app);

}  // namespace zrv::menu
