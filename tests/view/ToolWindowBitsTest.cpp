// The open bits of the view's tool windows follow the windows exactly: set
// only when a window was made, cleared when it closes itself or the view
// closes it, and every window goes when the view saves its settings.
#include <gtest/gtest.h>

#include "view/ViewFixture.h"

namespace viewtest {
namespace {

struct WindowHub : ViewToolHub {
    std::vector<std::string> calls;
    bool canCreate = true;
    bool CreateToolWindow(ToolWindow w) override
    {
        calls.push_back("create " + std::to_string(ToolWindowBit(w)));
        return canCreate;
    }
    void DestroyToolWindow(ToolWindow w) override { calls.push_back("destroy " + std::to_string(ToolWindowBit(w))); }
    void RaiseToolWindow(ToolWindow w) override { calls.push_back("raise " + std::to_string(ToolWindowBit(w))); }
    void DestroyAllWindows() override { calls.push_back("destroy all"); }
    void UpdateProgress(int v) override { calls.push_back("progress " + std::to_string(v)); }
    void RedrawSituationPages(uint32_t m) override { calls.push_back("pages " + std::to_string(m)); }
};

class ToolWindowBitsTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view->SetToolHub(&hub);
    }
    void TearDown() override
    {
        view->SetToolHub(nullptr);
        ViewTest::TearDown();
    }
    WindowHub hub;
};

TEST_F(ToolWindowBitsTest, EachWindowsBitFollowsItsWindow)
{
    for (ToolWindow w : kAllToolWindows) {
        SCOPED_TRACE(ToolWindowBit(w));
        hub.calls.clear();
        view->m_dwDispOption &= ~ToolWindowBit(w);
        hub.canCreate = false;
        EXPECT_FALSE(view->OpenToolWindow(w));
        EXPECT_FALSE(view->IsToolWindowOpen(w)) << "a window that could not be made leaves its bit clear";
        hub.canCreate = true;
        EXPECT_TRUE(view->OpenToolWindow(w));
        EXPECT_TRUE(view->IsToolWindowOpen(w));
        EXPECT_TRUE(view->OpenToolWindow(w)) << "a second open brings it forward";
        // The window closes itself through its host, the view.
        ASSERT_EQ(hub.Host(), view.get());
        hub.Host()->CloseToolWindow(w);
        EXPECT_FALSE(view->IsToolWindowOpen(w));
        hub.Host()->CloseToolWindow(w);  // a second report finds it closed
        std::string bit = std::to_string(ToolWindowBit(w));
        EXPECT_EQ(hub.calls, (std::vector<std::string>{"create " + bit, "create " + bit, "raise " + bit,
                                                        "destroy " + bit}));
    }
}

TEST_F(ToolWindowBitsTest, CallsToAClosedWindowDoNothingAndSavingClosesAll)
{
    view->UpdateProgressWindow(5);
    view->NotifySituationTable(3);
    EXPECT_TRUE(hub.calls.empty());
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::SituationTable));
    ASSERT_TRUE(view->OpenToolWindow(ToolWindow::UnitList));
    view->NotifySituationTable(3);
    EXPECT_EQ(hub.calls.back(), "pages 3");
    hub.calls.clear();
    view->SaveViewSettings();
    EXPECT_EQ(hub.calls, std::vector<std::string>{"destroy all"});
    EXPECT_FALSE(view->IsToolWindowOpen(ToolWindow::SituationTable));
    EXPECT_FALSE(view->IsToolWindowOpen(ToolWindow::UnitList));
}

TEST_F(ToolWindowBitsTest, ProgressWindowOpensOnlyWithItsOption)
{
    view->m_dwDispOption &= ~kDispHqMap;
    view->OpenProgressWindow();
    EXPECT_FALSE(view->IsToolWindowOpen(ToolWindow::Progress));
    view->m_dwDispOption |= kDispHqMap;
    view->OpenProgressWindow();
    EXPECT_TRUE(view->IsToolWindowOpen(ToolWindow::Progress));
    view->UpdateProgressWindow(7);
    EXPECT_EQ(hub.calls.back(), "progress 7");
    view->CloseProgressWindow();
    EXPECT_FALSE(view->IsToolWindowOpen(ToolWindow::Progress));
}

TEST_F(ToolWindowBitsTest, DialogsSetTheTargetListAndCargoUnit)
{
    DialogView& dv = *view;
    const HEXINDEX hexes[] = {MakeHex(40, 40), MakeHex(40, 41)};
    dv.SetTargetHexes(hexes);
    EXPECT_EQ(view->m_nCandidateHex[0], hexes[0]);
    EXPECT_EQ(view->m_nCandidateHex[1], hexes[1]);
    EXPECT_EQ(view->m_nCandidateHex[2], -1);
    UNITSTRUCT u{};
    dv.SetCurrentCargoUnit(&u);
    EXPECT_EQ(view->m_pUnloadUnit, &u);
}

}  // namespace
}  // namespace viewtest
