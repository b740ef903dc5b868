// The application's deferred actions and the campaign settings dialog's word.

#include "menu/CampaignSettings.h"
#include "menu/MenuApp.h"
#include "menu/MenuFixture.h"

namespace menutest {
namespace {

class MenuApp : public MenuFixture {};

TEST_F(MenuApp, CodeSevenRunsTheResultSceneThenTheNextCampaignStep)
{
    block.WriteU32(0, GMC_CAMPAIGNNEXT);
    CAMPAIGNSTRUCT c{};
    c.nNextScenario = 1;
    c.dwViewOption = 0x00440000;
    c.nLastScenario = 0;
    block.Write(offsetof(GAMEMENUSTRUCT, Campaign), &c, sizeof c);
    CZRKMenuApp app(&settings);
    app.CreateDocument(&block);
    app.View()->SetScenes(&scenes);
    app.View()->SetChildDialogs(&child);
    app.InitialUpdate();
    EXPECT_EQ(app.View()->ViewFlags(), 0x00440000u);
    EXPECT_EQ(app.DeferredAction(), CZRKMenuApp::kActionResultScene);
    EXPECT_TRUE(app.OnIdle());
    EXPECT_EQ(scenes.results, 1);
    EXPECT_EQ(app.DeferredAction(), CZRKMenuApp::kActionNextStep);
    EXPECT_FALSE(app.OnIdle());
    EXPECT_EQ(child.situations, 1);
    EXPECT_EQ(app.DeferredAction(), CZRKMenuApp::kActionNone);

    // An aborted result scene ends there.
    scenes.resultAnswer = 1;
    app.SetDeferredAction(CZRKMenuApp::kActionResultScene);
    EXPECT_FALSE(app.OnIdle());
    EXPECT_EQ(app.DeferredAction(), CZRKMenuApp::kActionNone);
    EXPECT_EQ(child.situations, 1);
}

TEST_F(MenuApp, QuitIsAskedOnEveryPassAndContinueBriefsThenLaunches)
{
    CZRKMenuApp app(&settings);
    app.CreateDocument(&block);
    app.View()->SetScenes(&scenes);
    int closes = 0;
    app.SetCloseMainWindow([&] {
        ++closes;
        return false;
    });
    app.SetDeferredAction(CZRKMenuApp::kActionQuit);
    app.OnIdle();
    app.OnIdle();
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(app.DeferredAction(), CZRKMenuApp::kActionQuit);

    app.SetDeferredAction(CZRKMenuApp::kActionContinue);
    scenes.briefingAnswer = 1;  // aborted: nothing launched
    app.OnIdle();
    EXPECT_EQ(scenes.briefings, std::vector<int>{1});
    EXPECT_EQ(app.DeferredAction(), CZRKMenuApp::kActionNone);
}

TEST(CampaignSettings, TheWordMirrorsTheBoxes)
{
    CCampaignSettingsDlg all;
    for (const CampaignSettingsBox& b : kCampaignSettingsBoxes) all.OnBoxClicked(b.id, true);
    EXPECT_EQ(all.OptionWord(), 0xFFFu);

    CCampaignSettingsDlg dlg;
    dlg.OnBoxClicked(1114, true);
    dlg.OnBoxClicked(1114, false);
    EXPECT_EQ(dlg.OptionWord(), 0u);
    dlg.OnBoxClicked(999, true);
    EXPECT_EQ(dlg.OptionWord(), 0u);

    const std::pair<int, uint32_t> bits[] = {{1105, 0x002}, {1106, 0x001}, {1107, 0x100}, {1108, 0x080},
                                             {1109, 0x040}, {1110, 0x020}, {1111, 0x010}, {1112, 0x008},
                                             {1113, 0x004}, {1114, 0x400}, {1115, 0x200}, {1116, 0x800}};
    for (auto [id, bit] : bits) {
        SCOPED_TRACE(id);
        CCampaignSettingsDlg one;
        one.OnBoxClicked(id, true);
        EXPECT_EQ(one.OptionWord(), bit);
    }
}

}  // namespace
}  // namespace menutest
