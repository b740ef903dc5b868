#pragma once
// The overview map's window under wx: a small tool frame floating over the
// main window, its client a canvas exactly the size of the picture. It shows
// without taking the focus, passes the pointer to the overview, and its close
// box and Esc close it through the view.
#include <memory>

#include "battle/view/OverviewMap.h"

class wxWindow;

namespace zrv {

class OverviewFrameMaker final : public OverviewWindowMaker {
public:
    // Windows float over parent (the main window).
    explicit OverviewFrameMaker(wxWindow* parent) : m_parent(parent) {}
    std::unique_ptr<OverviewWindow> Make(CSMapDlg& dlg, int client) override;
    SizeI ScreenSize() const override;

private:
    wxWindow* m_parent;
};

}  // namespace zrv
