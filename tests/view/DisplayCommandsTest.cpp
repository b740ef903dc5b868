// The view's display toggles and switches through the command router, as
// the menu, the keys and the toolbar reach them, and the end of the action
// phase.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "battle/view/BattleMenu.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

constexpr uint32_t kOptAutoSaveAtPhaseEnd = 0x01000000u;

using DisplayCommandsTest = OrderTest;

TEST_F(DisplayCommandsTest, EachToggleIsEnabledAndMarkedByItsOwnBitsAndFlipsOnlyThem)
{
    const struct {
        const char* name;
        int id;
        uint32_t state;    // view state word
        int mode;          // command mode
        uint32_t country;  // extra flags of the current country
        uint32_t before;   // display option word
        bool enabled, checked;
        uint32_t after;  // display option word after choosing it (when enabled)
    } cases[] = {
        {"hex lines on", kCmdHexLines, 0, kModeNone, 0, 0, true, false, kDispHexLines},
        {"hex lines off", kCmdHexLines, 0, kModeNone, 0, kDispHexLines, true, true, 0},
        {"old flags in the human phase", kCmdOwnerFlags, kViewHumanPhase, kModeChooseUnit, 0, 0, true, false,
         kDispOwnerFlags},
        {"old flags outside the human phase", kCmdOwnerFlags, 0, kModeChooseUnit, 0, 0, false, false, 0},
        {"old flags while moving", kCmdOwnerFlags, kViewHumanPhase, kModeMoveTarget, 0, 0, false, false, 0},
        {"units hidden", kCmdShowUnits, 0, kModeNone, 0, kDispUnits, true, true, 0},
        {"units of a computer country", kCmdShowUnits, 0, kModeNone, kCountryCpu, kDispUnits, false, true,
         kDispUnits},
        {"flag marks set", kCmdFlagMarks, 0, kModeNone, 0, 0, true, false, kDispOwnerFlags},
        {"flag marks kept", kCmdFlagMarks, 0, kModeNone, 0, kDispOwnerFlags, true, true, kDispOwnerFlags},
        {"colour marks set", kCmdColourMarks, 0, kModeNone, 0, kDispOwnerFlags, true, false, 0},
        {"colour marks kept", kCmdColourMarks, 0, kModeNone, 0, 0, true, true, 0},
        {"yellow: no effect", kCmdMarkYellow, 0, kModeNone, 0, 0, true, true, 0},
        {"grey marked by bits 20-22", kCmdMarkYellow + 2, 0, kModeNone, 0, 0x00200000u, true, true, 0x00200000u},
        {"red unmarked on grey", kCmdMarkYellow + 4, 0, kModeNone, 0, 0x00200000u, true, false, 0x00200000u},
        {"roads always", kCmdRoadsAlways, 0, kModeNone, 0, 0, true, false, kDispRoadsAlways},
        {"no-entry marks", kCmdNoEntryMarks, 0, kModeNone, 0, kDispNoEntryMarks, true, true, 0},
        {"standard movie size", kCmdMovieStandard, 0, kModeNone, 0, 0, true, false, kDispMovieStandardSize},
        {"large while large is marked flips to standard", kCmdMovieLarge, 0, kModeNone, 0, 0, true, true,
         kDispMovieStandardSize},
        {"large while standard", kCmdMovieLarge, 0, kModeNone, 0, kDispMovieStandardSize, true, false, 0},
        {"music: never enabled", kCmdMusic, kViewHumanPhase, kModeChooseUnit, 0, 0x00080000u, false, true,
         0x00080000u},
        {"place names always", kCmdPlaceNamesAlways, 0, kModeNone, 0, 0x30000u, false, true, 0x30000u},
        {"place names own", kCmdPlaceNamesOwn, 0, kModeNone, 0, 0x10000u, false, true, 0x10000u},
        {"place names none", kCmdPlaceNamesNone, 0, kModeNone, 0, 0x20000u, false, true, 0x20000u},
        {"click restores the map", kCmdClickRestore, 0, kModeNone, 0, 0, true, false, kDispMapShown},
    };
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state;
        view->m_nCmdMode = k.mode;
        c.dwFlag = kCountryPresent | k.country;
        view->m_dwDispOption = k.before;
        const CommandState s = view->Commands().State(k.id);
        EXPECT_EQ(s.enabled, k.enabled);
        EXPECT_EQ(s.checked, k.checked);
        EXPECT_EQ(view->Commands().Run(k.id), k.enabled);
        EXPECT_EQ(view->m_dwDispOption, k.enabled ? k.after : k.before);
    }
}

TEST_F(DisplayCommandsTest, HexLinesRedrawTheMapAtOnce)
{
    ShowMap(560, 420, {0, 0}, {40, 40, 60, 60});
    auto snapshot = [this] {
        const platform::Surface8& s = view->GetDib()->Surface();
        std::vector<uint8_t> all;
        for (int y = 0; y < s.Height(); ++y) all.insert(all.end(), s.Row(y), s.Row(y) + s.Width());
        return all;
    };
    view->m_dwDispOption &= ~kDispHexLines;
    view->RedrawMap(false);
    const std::vector<uint8_t> without = snapshot();
    ASSERT_TRUE(view->Commands().Run(kCmdHexLines));
    EXPECT_NE(snapshot(), without) << "the lines are drawn";
    ASSERT_TRUE(view->Commands().Run(kCmdHexLines));
    EXPECT_EQ(snapshot(), without) << "and taken away";
}

TEST_F(DisplayCommandsTest, SoundEffectsAreGreyedAndClearedWithoutASoundDevice)
{
    view->Sound().ReleaseDirectSound();
    view->m_dwDispOption |= 0x00040000u;
    const CommandState s = view->Commands().State(kCmdSoundEffects);
    EXPECT_FALSE(s.enabled);
    EXPECT_FALSE(s.checked);
    EXPECT_EQ(view->m_dwDispOption & 0x00040000u, 0u);
    EXPECT_FALSE(view->Commands().Run(kCmdSoundEffects));
    EXPECT_EQ(view->m_dwDispOption & 0x00040000u, 0u);
}

class PhaseEndTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        doc->m_GameData.nFlowState = PHASE_HUMAN;
        view->m_dwState = kViewHumanPhase;
        dialogs.Clear();
    }
    int Flow() const { return doc->m_GameData.nFlowState; }
};

TEST_F(PhaseEndTest, NothingHappensWhileBusyOrInAFullAutoRun)
{
    const struct {
        const char* name;
        uint32_t state;
        uint32_t option;
    } cases[] = {
        {"busy", kViewHumanPhase | kViewBusy, 0},
        {"full-auto run", kViewHumanPhase, kOptFullAutoRunning},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        view->m_dwState = k.state;
        doc->m_dwGameOption = k.option;
        EXPECT_FALSE(view->Commands().State(kCmdEndPhase).enabled);
        EXPECT_FALSE(view->Commands().Run(kCmdEndPhase));
        view->OnEndPhase();  // the context menu's way in
        EXPECT_EQ(Flow(), PHASE_HUMAN);
        EXPECT_TRUE(dialogs.Boxes().empty());
    }
}

TEST_F(PhaseEndTest, AHumanPhaseEndsAfterTheOrderUnderWayIsCancelled)
{
    own->nMove = 4;
    ASSERT_EQ(view->ClickHex(kOwnHex, nullptr), 1);
    ASSERT_EQ(view->m_nCmdMode, kModeMoveTarget);
    ASSERT_TRUE(view->Commands().State(kCmdEndPhase).enabled);
    ASSERT_TRUE(view->Commands().Run(kCmdEndPhase));
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_EQ(view->m_dwHexMarkView[kOwnHex], 0u) << "marks cleared";
    EXPECT_EQ(Flow(), PHASE_ENDPHASE);
    EXPECT_TRUE(dialogs.Boxes().empty()) << "no question without the confirmation option";
}

TEST_F(PhaseEndTest, ASelectionTheRightButtonCannotEndIsClearedWithoutLooping)
{
    // Mode 1 with a selected unit and no command unit: the right button only
    // reports the odd state and changes nothing.
    view->m_pSelUnit = own;
    view->m_pCmdUnit = nullptr;
    view->m_nCmdMode = kModeChooseUnit;
    view->OnEndPhase();
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_nCmdMode, kModeChooseUnit);
    EXPECT_LE(dialogs.Boxes().size(), 1u) << "reported at most once";
    EXPECT_EQ(Flow(), PHASE_ENDPHASE);
}

TEST_F(PhaseEndTest, TheConfirmationOptionAsksAndCancelKeepsThePhase)
{
    doc->m_GameData.Country[0].dwFlag |= kCountryConfirmWindow;
    dialogs.QueueAnswer(kAnswerCancel);
    view->OnEndPhase();
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Flow(), PHASE_HUMAN);
    dialogs.QueueAnswer(kAnswerOk);
    view->OnEndPhase();
    EXPECT_EQ(Flow(), PHASE_ENDPHASE);
}

TEST_F(PhaseEndTest, AComputerPhaseGoesStraightToTheDocumentWithoutSaving)
{
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.dwFlag |= kCountryCpu;
    view->m_pSelUnit = own;  // left alone: the computer's order is its own
    view->m_nCmdMode = kModeMoveTarget;
    doc->m_dwGameOption |= kOptAutoSaveAtPhaseEnd;
    const std::string before = doc->m_strGameFile;
    view->OnEndPhase();
    EXPECT_EQ(view->m_pSelUnit, own);
    EXPECT_EQ(doc->m_strGameFile, before) << "no save";
    EXPECT_EQ(Flow(), PHASE_ENDPHASE);
}

TEST_F(PhaseEndTest, TheAutosaveWritesWithoutCostAndRestoresTheCost)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("zrv-phase-end-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Data");
    const std::string stage = platform::ProgramFolderNative();
    platform::SetProgramFolder(root.string());
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    c.nFund = 5000;
    c.nSaveCost = 800;
    doc->m_dwGameOption |= kOptAutoSaveAtPhaseEnd;
    view->OnEndPhase();
    const fs::path file = root / "Data" / "AutoSavE.DG2";
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(c.nFund, 5000) << "the save cost nothing (the saved image became the game)";
    EXPECT_EQ(c.nSaveCost, 800) << "the cost is restored";
    EXPECT_EQ(Flow(), PHASE_ENDPHASE);
    platform::SetProgramFolder(stage);
    fs::remove_all(root);
}

}  // namespace
}  // namespace viewtest
