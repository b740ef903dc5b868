#pragma once
// The unit data sheet as a child of its host: a notebook with one
// row of scrolling tabs, every page 603 x 135 showing its 599 x 129 weapon
// table at (1, 5). The model decides the pages, titles and repaints.

#include <memory>
#include <vector>

#include <wx/notebook.h>

#include "battle/dialogs/DialogCard.h"
#include "battle/dialogs/SpecContext.h"
#include "battle/dialogs/SpecSheetModel.h"

namespace platform {
class CardPanel;
}

namespace zrv {

inline constexpr int kSpecPageW = 603, kSpecPageH = 135;
inline constexpr int kSpecCardAtX = 1, kSpecCardAtY = 5;

class SpecSheetWindow : public wxNotebook {
public:
    // model has its pages already; model and context outlive the sheet.
    // The first page shown is first.
    SpecSheetWindow(wxWindow* host, SpecSheetModel& model, const SpecContext& context, int first);
    ~SpecSheetWindow() override;

    SpecSheetModel& Model() { return m_model; }
    // The unit's armament changed (page 0 now or when shown next).
    void RefreshCurrentPage();

private:
    struct Page {
        std::unique_ptr<DialogCard> card;  // 599 x 129
        platform::CardPanel* panel = nullptr;
    };
    void PaintPage(size_t i);
    void OnPageChanged(wxBookCtrlEvent& e);

    SpecSheetModel& m_model;
    const SpecContext& m_context;
    std::vector<Page> m_pages;
};

}  // namespace zrv
