// The menu view: what each hand-over code shows, the option word it takes,
// ViewFlags kept between runs, and the title buttons under the pointer.

#include "menu/MenuFixture.h"

namespace menutest {
namespace {

class MenuView : public MenuFixture {};

TEST_F(MenuView, EachHandOverCodeShowsItsScreenWithItsOptionWord)
{
    struct Case {
        const char* name;
        uint32_t code;
        int screen;
        uint32_t viewFlags;  // expected
        int deferredAction;
        int track;  // 0: no music asked for
    };
    // Stored ViewFlags 0x00CB0000: music asked for, but the start turns it off.
    constexpr uint32_t kStored = 0x00CB0000, kBlockWord = 0x12C80000, kRecordWord = 0x00880000;
    const Case cases[] = {
        {"running", GMC_GAMERUNNING, CZRKMenuView::kTitle, (kStored | 0x40000) & ~0x80000u, 0, 0},
        {"first start", GMC_FIRSTSTART, CZRKMenuView::kTitle, (kStored | 0x40000) & ~0x80000u, 0, 0},
        {"new scenario", GMC_NEWSCENARIO, CZRKMenuView::kTitle, (kStored | 0x40000) & ~0x80000u, 0, 0},
        {"campaign scenario", GMC_CAMPAIGNSCENARIO, CZRKMenuView::kTitle, (kStored | 0x40000) & ~0x80000u, 0, 0},
        {"back to the title", GMC_RETURNTOTITLE, CZRKMenuView::kTitle, kBlockWord, 0, 1},
        {"campaign goes on", GMC_CAMPAIGNNEXT, CZRKMenuView::kWorldMap, kRecordWord, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.WriteInt("Settings", "ViewFlags", kStored);
        block.WriteU32(offsetof(GAMEMENUSTRUCT, dwViewOption), kBlockWord);
        block.WriteU32(offsetof(GAMEMENUSTRUCT, Campaign) + offsetof(CAMPAIGNSTRUCT, dwViewOption), kRecordWord);
        block.WriteU32(offsetof(GAMEMENUSTRUCT, nParam), 1);
        block.WriteU32(offsetof(GAMEMENUSTRUCT, Campaign) + offsetof(CAMPAIGNSTRUCT, nLastScenario), 2);
        deferred = 0;
        scenes.maps.clear();
        Make(c.code);
        view->OnInitialUpdate();
        EXPECT_EQ(view->ScreenState(), c.screen);
        EXPECT_EQ(view->ViewFlags(), c.viewFlags);
        EXPECT_EQ(deferred, c.deferredAction);
        EXPECT_EQ(view->Sound().CDTrack(), c.track);
        if (c.code == GMC_CAMPAIGNNEXT) {
            EXPECT_EQ(view->Outcome(), 1);
            EXPECT_EQ(view->FinishedScenario(), 2);
            EXPECT_EQ(scenes.maps, std::vector<int>{2});
        }
        view.reset();
        doc.reset();
    }
}

TEST_F(MenuView, FirstStartShowsTheLogosWhenTheScenesHaveThem)
{
    scenes.showLogos = true;
    Make(GMC_FIRSTSTART);
    view->OnInitialUpdate();
    EXPECT_EQ(scenes.logos, 1);
    EXPECT_EQ(view->ScreenState(), CZRKMenuView::kLogos);
}

TEST_F(MenuView, OutcomeAndScenarioOutsideTheirTablesNameNothing)
{
    block.WriteU32(offsetof(GAMEMENUSTRUCT, nParam), 5);
    block.WriteU32(offsetof(GAMEMENUSTRUCT, Campaign) + offsetof(CAMPAIGNSTRUCT, nLastScenario), 999);
    Make(GMC_CAMPAIGNNEXT);
    view->OnInitialUpdate();
    EXPECT_EQ(view->Outcome(), -1);
    EXPECT_EQ(view->FinishedScenario(), -1);
    EXPECT_EQ(scenes.maps, std::vector<int>{-1});
}

TEST_F(MenuView, ViewFlagsAreStoredWithOnlyTheirKeptBits)
{
    const uint32_t words[] = {0, 0xFFFFFFFF, 0x28070000, 0x00800000, 0x12345678};
    for (uint32_t w : words) {
        SCOPED_TRACE(w);
        const uint32_t stored = ViewFlagsToStore(w);
        EXPECT_EQ(stored & ~0xFF0000u, 0u);
        EXPECT_EQ(stored & 0x30000u, 0x30000u);
        EXPECT_EQ(stored & 0xFC0000u, w & 0xFC0000u);
    }
    // Construction, then a run with nothing stored.
    {
        CZRKMenuView fresh(nullptr);
        EXPECT_EQ(fresh.ViewFlags(), 0x28040000u);
    }
    Make(GMC_GAMERUNNING);
    view->OnInitialUpdate();
    EXPECT_EQ(view->ViewFlags(), 0x28070000u);
    view.reset();
    EXPECT_EQ(settings.ReadInt("Settings", "ViewFlags").value_or(-1), 0x70000);
}

TEST_F(MenuView, TitleButtonsUnderThePointer)
{
    struct Case {
        int x, y, button;
    };
    const Case cases[] = {{31, 217, 0},  {30, 216, 0},  {222, 233, 0},  {223, 216, -1}, {450, 220, -1},
                          {31, 267, 2},  {400, 270, 3}, {300, 320, 4},  {407, 331, 4},  {408, 331, -1},
                          {0, 0, -1},    {30, 234, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(CZRKMenuView::TitleButtonAt(c.x, c.y), c.button);
    }
}

// On the shipped pictures: the highlighted image comes from below the
// visible title, and leaving a button restores it from the background.
TEST_F(MenuView, HoverHighlightsFromBelowTheTitleAndRestoresTheOldButton)
{
    platform::SetProgramFolder(STAGE_DIR);
    Make(GMC_GAMERUNNING);
    view->OnInitialUpdate();
    CDib* buffer = view->GetDib();
    CDib* title = view->TitlePicture();
    ASSERT_NE(buffer, nullptr);
    ASSERT_NE(title, nullptr);
    auto same = [&](int dx, int dy, int sx, int sy, int w, int h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (*buffer->GetPixelPtr(dx + x, dy + y) != *title->GetPixelPtr(sx + x, sy + y)) return false;
        return true;
    };
    view->OnMouseMove(31, 217);
    EXPECT_EQ(view->HighlightedButton(), 0);
    EXPECT_TRUE(same(30, 216, 0, 480, 193, 18));
    EXPECT_EQ(effects, std::vector<int>{CZRKMenuView::kEffectHover});

    view->OnMouseMove(300, 320);
    EXPECT_EQ(view->HighlightedButton(), 4);
    EXPECT_TRUE(same(30, 216, 30, 216, 193, 18));
    EXPECT_TRUE(same(234, 314, 0, 520, 174, 18));

    // The second button never reacts; moving onto it only clears the highlight.
    view->OnMouseMove(450, 220);
    EXPECT_EQ(view->HighlightedButton(), -1);
    EXPECT_TRUE(same(234, 314, 234, 314, 174, 18));
    EXPECT_EQ(effects.size(), 2u);
}

TEST_F(MenuView, ClickPostsTheButtonsCommandUnlessTheBattleWasStarted)
{
    std::vector<int> posted;
    Make(GMC_GAMERUNNING);
    view->SetCommandPoster([&](int id) { posted.push_back(id); });
    view->OnInitialUpdate();
    view->OnLButtonDown(100, 100);
    EXPECT_TRUE(posted.empty());
    view->OnMouseMove(31, 217);
    view->OnLButtonDown(31, 217);
    view->OnMouseMove(31, 267);
    view->OnLButtonDown(31, 267);
    view->OnMouseMove(340, 270);
    view->OnLButtonDown(340, 270);
    EXPECT_EQ(posted, (std::vector<int>{kCmdNewCampaign, kCmdResume, kCmdWeaponGuide}));
    EXPECT_EQ(std::count(effects.begin(), effects.end(), CZRKMenuView::kEffectClick), 3);
    view->SetLaunched(true);
    view->OnLButtonDown(340, 270);
    EXPECT_EQ(posted.size(), 3u);
}

TEST_F(MenuView, MiddleButtonSaysTheWheelIsOffOnlyWhileAScrollIsLocked)
{
    Make(GMC_GAMERUNNING);
    view->OnInitialUpdate();
    boxes.Clear();
    view->OnMButtonDown();
    EXPECT_TRUE(boxes.Boxes().empty());
    view->SetScrollLock(0);
    view->OnMButtonDown();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "NO WHEEL");
}

TEST_F(MenuView, ToggleCommandsOfTheView)
{
    Make(GMC_GAMERUNNING);
    view->OnInitialUpdate();
    CommandState s;
    ASSERT_TRUE(view->QueryCommand(kCmdMusic, s));
    EXPECT_FALSE(s.enabled);
    ASSERT_TRUE(view->QueryCommand(kCmdNoMovie, s));
    EXPECT_FALSE(s.checked);
    EXPECT_TRUE(view->RunCommand(kCmdNoMovie));
    EXPECT_TRUE(view->NoMovie());
    EXPECT_TRUE(view->RunCommand(kCmdColorFirst + 3));
    EXPECT_EQ(view->ViewFlags() & kViewColorMask, 3u << 20);
    EXPECT_FALSE(view->QueryCommand(kCmdResume, s));
}

}  // namespace
}  // namespace menutest
