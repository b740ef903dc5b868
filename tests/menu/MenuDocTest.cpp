// The menu document: the launcher's block, the battle window's placement,
// the campaign steps, the resume command and the readers.

#include "menu/MenuFixture.h"

#include "foundation/FilePreview.h"

namespace menutest {
namespace {

class MenuDoc : public MenuFixture {
protected:
    void FillBlock(uint8_t byte)
    {
        std::vector<uint8_t> all(kGameMenuBlockSize, byte);
        block.Write(0, all.data(), all.size());
    }
    std::string Setting(const char* key) { return settings.ReadString("Settings", key).value_or(""); }
};

TEST_F(MenuDoc, BattleWindowPlacement)
{
    struct Case {
        const char* text;
        uint32_t menuFlags;
        const char* show;
    };
    const Case cases[] = {
        {"10 20 800 600", 0, "10,20,800,600"},
        {"10 20 1024 600", 0, "max"},
        {"-1 20 800 600", 0, "max"},
        {"10 20 800", 0, "max"},
        {"10 20 800 600 5", 0, "max"},
        {"", 0, "max"},
        {"10 20 0 600", 0, "max"},
        {"0 0 1023 767", 0, "0,0,1023,767"},
        {"10 20 800 600", kMenuBattleMaximised, "max"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(BattleWindowPlacement(c.text, c.menuFlags, 1024, 768), c.show);
    }
}

TEST_F(MenuDoc, NewCampaignBlockIsZeroButTheWorldTables)
{
    Make(GMC_GAMERUNNING);
    view->SetViewFlags(0xABCD1234);
    FillBlock(0xEE);
    doc->LaunchBattle(GMC_NEWCAMPAIGN, 0, "C:\\x\\Scenario\\FIXTURE.SC2");
    const GAMEMENUSTRUCT& b = ReadBlock();
    EXPECT_EQ(b.nCommand, uint32_t(GMC_NEWCAMPAIGN));
    EXPECT_EQ(b.nParam, 0);
    EXPECT_STREQ(b.szPath, "C:\\x\\Scenario\\FIXTURE.SC2");
    EXPECT_EQ(b.dwViewOption, 0xEECDEEEEu);  // only bits 16-23 from the view
    EXPECT_EQ(b.nMovie, 1);
    EXPECT_EQ(b.dwReserved, 0xEEEEEEEEu);
    const uint8_t* rec = reinterpret_cast<const uint8_t*>(&b.Campaign);
    for (size_t i = 0; i < sizeof(CAMPAIGNSTRUCT); ++i) {
        const bool city = i >= offsetof(CAMPAIGNSTRUCT, dwWorldCity) && i < offsetof(CAMPAIGNSTRUCT, dwWorldCity) + 16;
        const bool nation =
            i >= offsetof(CAMPAIGNSTRUCT, dwWorldNation) && i < offsetof(CAMPAIGNSTRUCT, dwWorldNation) + 16;
        if (!city && !nation && rec[i] != 0) FAIL() << "byte " << i << " of the record";
    }
    EXPECT_EQ(b.Campaign.dwWorldCity[1], 1u);
    EXPECT_EQ(b.Campaign.dwWorldNation[3], 1u);
    const uint8_t* side = reinterpret_cast<const uint8_t*>(&b.Side);
    EXPECT_EQ(side[0], 0xEE);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&b)[kGameMenuBlockSize - 1], 0xEE);
    EXPECT_TRUE(view->Launched());
    ASSERT_EQ(starter.launches.size(), 1u);
    EXPECT_EQ(starter.launches[0].env, std::vector<std::string>{"ZRV_SHOW=max"});
}

TEST_F(MenuDoc, CampaignScenarioBlockCarriesTheRecordAndItsIndex)
{
    Make(GMC_GAMERUNNING);
    FillBlock(0x11);
    doc->m_pCampaign->nNextScenario = 2;
    std::strcpy(doc->m_pCampaign->szTitle, "次");
    doc->m_pCampaign->History[3].dwScenario = 77;
    settings.WriteString("Settings", "GameWindow", "5 6 700 500");
    doc->LaunchBattle(GMC_CAMPAIGNSCENARIO, 0x81, "");
    const GAMEMENUSTRUCT& b = ReadBlock();
    EXPECT_EQ(b.nCommand, uint32_t(GMC_CAMPAIGNSCENARIO));
    EXPECT_EQ(b.nParam, 0x81);
    EXPECT_EQ(b.dwReserved, 2u);
    EXPECT_STREQ(b.szPath, "");
    EXPECT_EQ(std::memcmp(&b.Campaign, doc->m_pCampaign.get(), sizeof(CAMPAIGNSTRUCT)), 0);
    EXPECT_EQ(starter.launches.at(0).env, std::vector<std::string>{"ZRV_SHOW=5,6,700,500"});
}

TEST_F(MenuDoc, BattleThatCannotStartIsReportedAndTheMenuGoesOn)
{
    Make(GMC_GAMERUNNING);
    starter.succeed = false;
    boxes.Clear();
    doc->LaunchBattle(GMC_NEWCAMPAIGN, 0, "x");
    EXPECT_FALSE(view->Launched());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("No such file"), std::string::npos);
    EXPECT_EQ(ReadBlock().nCommand, uint32_t(GMC_GAMERUNNING));
}

TEST_F(MenuDoc, InitCampaignFillsTheRecordFromTheScenario)
{
    Make(GMC_GAMERUNNING);
    view->SetViewFlags(0x280C0000);
    ASSERT_TRUE(doc->InitCampaign(0));
    const CAMPAIGNSTRUCT& c = *doc->m_pCampaign;
    EXPECT_EQ(c.nNextScenario, 0);
    EXPECT_STREQ(c.szTitle, "初陣");
    EXPECT_EQ(c.dwDate, 0x0629290Au);
    EXPECT_EQ(c.dwGameOption, 0xCC000000u);
    EXPECT_EQ(c.dwViewOption, 0x280C0000u);
    EXPECT_EQ(c.dwPlayerFlag, 0x80000600u);
    EXPECT_EQ(std::string(c.szUnitVersion, 4), "FIX1");
    EXPECT_EQ(c.nHistory, 0);
    EXPECT_EQ(c.nLastScenario, 0);
    EXPECT_EQ(c.dwWorldCity[3], 1u);
    EXPECT_EQ(c.dwWorldNation[1], 1u);

    // A missing file, or one of another unit-data version: nothing changes.
    WriteScenario("FIXTURE.SC2", "別版", "OTHER");
    auto before = std::make_unique<CAMPAIGNSTRUCT>(c);
    EXPECT_FALSE(doc->InitCampaign(0));
    EXPECT_FALSE(doc->InitCampaign(1));
    EXPECT_FALSE(doc->InitCampaign(3));
    EXPECT_EQ(std::memcmp(before.get(), &c, sizeof c), 0);
}

TEST_F(MenuDoc, NewCampaignLaunchesTheFirstScenarioAfterItsBriefing)
{
    Make(GMC_GAMERUNNING);
    doc->RunCommand(kCmdNewCampaign);
    EXPECT_EQ(scenes.briefings, std::vector<int>{0});
    ASSERT_EQ(starter.launches.size(), 1u);
    EXPECT_EQ(starter.launches[0].command, uint32_t(GMC_NEWCAMPAIGN));
    EXPECT_EQ(starter.launches[0].path, platform::ProgramFolder() + "Scenario\\FIXTURE.SC2");

    // An aborted briefing launches nothing.
    starter.launches.clear();
    view->SetLaunched(false);
    scenes.briefingAnswer = 1;
    doc->RunCommand(kCmdNewCampaign);
    EXPECT_TRUE(starter.launches.empty());
}

TEST_F(MenuDoc, CheckCampaignStartAsksWhenIndexAndFileDisagree)
{
    struct Case {
        const char* name;
        int index;
        const char* file;
        std::vector<int> answers;
        bool result;
        int indexAfter;
        size_t questions;
    };
    const Case cases[] = {
        {"agree", 2, "EXTRA.SC2", {}, true, 2, 0},
        {"agree in another case", 2, "extra.sc2", {}, true, 2, 0},
        {"found elsewhere, repaired", 0, "EXTRA.SC2", {kAnswerYes}, true, 2, 1},
        {"found elsewhere, refused, forced", 0, "EXTRA.SC2", {kAnswerNo, kAnswerYes}, true, 0, 2},
        {"not found, forced", 1, "NOWHERE.SC2", {kAnswerYes}, true, 1, 1},
        {"not found, refused", 1, "NOWHERE.SC2", {kAnswerNo}, false, 1, 1},
        {"index outside the table", 99, "EXTRA.SC2", {kAnswerYes}, true, 2, 1},
    };
    Make(GMC_GAMERUNNING);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        for (int a : c.answers) boxes.QueueAnswer(a);
        doc->m_pCampaign->nNextScenario = c.index;
        std::strcpy(doc->m_pCampaign->szNextFile, c.file);
        EXPECT_EQ(doc->CheckCampaignStart(), c.result);
        EXPECT_EQ(doc->m_pCampaign->nNextScenario, c.indexAfter);
        EXPECT_EQ(boxes.Boxes().size(), c.questions);
    }
}

TEST_F(MenuDoc, NextCampaignStepTurnsToTheExtraScenarioOnceEnoughCitiesAreHeld)
{
    Make(GMC_GAMERUNNING);
    CAMPAIGNSTRUCT& c = *doc->m_pCampaign;
    // Ending: the view plays it, nothing else.
    c.nNextScenario = -1;
    doc->NextCampaignStep();
    EXPECT_EQ(scenes.endings, std::vector<int>{-1});
    EXPECT_EQ(child.situations, 0);

    // Two of four cities held by the player's side: 5 - 2 > 0, and the extra
    // scenario lies outside the (empty) ideology range: nothing but the situation.
    c.nNextScenario = 1;
    c.dwGameOption = 0;
    doc->NextCampaignStep();
    EXPECT_EQ(c.nNextScenario, 1);
    EXPECT_EQ(c.dwGameOption & 0x200000u, 0u);
    EXPECT_EQ(child.situations, 1);

    // Five held (the count reaches the sum): the extra scenario.
    lib.g_nCampaignWinSum = 2;
    doc->NextCampaignStep();
    EXPECT_EQ(c.nNextScenario, 2);
    EXPECT_NE(c.dwGameOption & 0x200000u, 0u);
    EXPECT_STREQ(c.szTitle, "追加戦");
    EXPECT_STREQ(c.szNextFile, "EXTRA.SC2");

    // Bit 21 set: no second test.
    c.nNextScenario = 1;
    doc->NextCampaignStep();
    EXPECT_EQ(c.nNextScenario, 1);

    // Extra scenario inside the ideology range and too few cities: only bit 21.
    lib.g_nCampaignWinSum = 5;
    lib.g_nIdeologyScnrStart = 1;
    lib.g_nIdeologyScnrEnd = 2;
    c.dwGameOption = 0;
    doc->NextCampaignStep();
    EXPECT_EQ(c.nNextScenario, 1);
    EXPECT_NE(c.dwGameOption & 0x200000u, 0u);
}

TEST_F(MenuDoc, NextCampaignStepNamesAnUnreadableExtraScenarioWithNothing)
{
    std::filesystem::remove(folder / "Scenario" / "EXTRA.SC2");
    Make(GMC_GAMERUNNING);
    CAMPAIGNSTRUCT& c = *doc->m_pCampaign;
    lib.g_nCampaignWinSum = 0;
    c.nNextScenario = 0;
    std::strcpy(c.szTitle, "old");
    doc->NextCampaignStep();
    EXPECT_EQ(c.nNextScenario, 2);
    EXPECT_STREQ(c.szTitle, "");
}

TEST_F(MenuDoc, RecordIndexesOutsideTheirTablesEndOnTheTitle)
{
    Make(GMC_GAMERUNNING);
    CAMPAIGNSTRUCT& c = *doc->m_pCampaign;
    for (int32_t index : {3, 999, -100000}) {
        SCOPED_TRACE(index);
        view->SetScreenState(CZRKMenuView::kWorldMap);
        c.nNextScenario = index;
        doc->NextCampaignStep();
        EXPECT_EQ(view->ScreenState(), CZRKMenuView::kTitle);
        EXPECT_TRUE(scenes.endings.empty());
        EXPECT_EQ(child.situations, 0);
    }
}

TEST_F(MenuDoc, CampaignCitiesCountOnlyNationsOfTheTable)
{
    CAMPAIGNSTRUCT c{};
    c.dwWorldNation[0] = 0;
    c.dwWorldNation[1] = 1;
    c.dwWorldNation[2] = 0;
    c.dwWorldNation[3] = 0;
    c.dwWorldNation[4] = 0;  // beyond g_nMaxIWNation
    const uint32_t holders[] = {0, 1, 2, 3, 4, 58, 0xFFFFFFFF};
    for (size_t i = 0; i < std::size(holders); ++i) c.dwWorldCity[i] = holders[i];
    EXPECT_EQ(CountCampaignCities(c, 7, 0), 3);
    EXPECT_EQ(CountCampaignCities(c, 2, 0), 1);
    EXPECT_EQ(CountCampaignCities(c, 7, 1), 1);
    // The count is cut to the 240 cities of the record; those left at 0 are nation 0's.
    EXPECT_EQ(CountCampaignCities(c, 100000, 0), 3 + (240 - 7));
}

TEST_F(MenuDoc, ScenarioCentreRoundsHalvesDown)
{
    EXPECT_EQ(ScenarioCentre(0), (PointI{20, 30}));
    EXPECT_EQ(ScenarioCentre(1), (PointI{-3, -3}));
    EXPECT_EQ(ScenarioCentre(3), (PointI{0, 0}));
    EXPECT_EQ(ScenarioCentre(-1), (PointI{0, 0}));
}

class Resume : public MenuDoc {
protected:
    std::string WriteGame(const char* name, bool campaign, const char* version)
    {
        auto g = std::make_unique<GAMEDATASTRUCT>();
        std::memset(g.get(), 0, sizeof(GAMEDATASTRUCT));
        std::strcpy(g->Head.szName, "初陣");
        std::strncpy(g->Head.szUnitVersion, version, 8);
        g->dwGameOption = campaign ? kOptionCampaign : 0;
        g->nTurn = 3;
        WriteBytes(folder / "Data" / name, BuildGameFile(*g));
        return platform::DataPath(name);
    }
    std::string WriteCampaign(const char* name, int next, const char* file)
    {
        auto c = std::make_unique<CAMPAIGNSTRUCT>();
        std::memset(c.get(), 0, sizeof(CAMPAIGNSTRUCT));
        c->nNextScenario = next;
        std::strcpy(c->szNextFile, file);
        std::strcpy(c->szTitle, "保存");
        std::strncpy(c->szUnitVersion, "FIX1", 8);
        WriteBytes(folder / "Data" / name, BuildCampaignFile(*c));
        return platform::DataPath(name);
    }
};

TEST_F(Resume, SavedCampaignGameLaunchesWithItsPath)
{
    Make(GMC_GAMERUNNING);
    menuDialogs.resumePath = WriteGame("GAME.DG2", true, "FIX1");
    doc->RunCommand(kCmdResume);
    ASSERT_EQ(starter.launches.size(), 1u);
    EXPECT_EQ(starter.launches[0].command, uint32_t(GMC_LOADGAME));
    EXPECT_EQ(starter.launches[0].path, menuDialogs.resumePath);
    EXPECT_STREQ(ReadBlock().szPath, menuDialogs.resumePath.c_str());
}

TEST_F(Resume, FilesNeitherReaderTakesAreExplained)
{
    struct Case {
        const char* name;
        std::function<std::string()> make;
        int message;
    };
    const Case cases[] = {
        {"single battle", [&] { return WriteGame("ONE.DG2", false, "FIX1"); }, 22},
        {"other unit data", [&] { return WriteGame("OLD.DG2", true, "OTHER"); }, 21},
        {"foreign file",
         [&] {
             WriteBytes(folder / "Data" / "JUNK.DG2", std::vector<uint8_t>(64, 'x'));
             return platform::DataPath("JUNK.DG2");
         },
         10},
        {"damaged campaign file",
         [&] {
             std::string p = WriteCampaign("BAD.DC2", 2, "EXTRA.SC2");
             std::filesystem::resize_file(folder / "Data" / "BAD.DC2", 100);
             return p;
         },
         13},
        {"no file", [&] { return platform::DataPath("NONE.DG2"); }, 12},
    };
    Make(GMC_GAMERUNNING);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        menuDialogs.resumePath = c.make();
        doc->RunCommand(kCmdResume);
        EXPECT_TRUE(starter.launches.empty());
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, ErrorText(c.message));
    }
}

TEST_F(Resume, CampaignFileAsksForTheDifficultyOnlyWhenAllowed)
{
    struct Case {
        const char* name;
        bool allowed;
        std::vector<int> answers;
        int settingsAnswer;
        uint32_t word;
        bool launched;
        int level;
        size_t boxesShown;
    };
    const Case cases[] = {
        {"not allowed", false, {}, kAnswerOk, 0x081, true, 0, 0},
        {"allowed, no", true, {kAnswerNo}, kAnswerOk, 0x081, true, 0, 1},
        {"yes, nothing checked", true, {kAnswerYes}, kAnswerOk, 0, true, 0, 1},
        {"yes, cancelled", true, {kAnswerYes}, kAnswerCancel, 0x081, true, 0, 1},
        {"yes, word, warning cancelled", true, {kAnswerYes, kAnswerCancel}, kAnswerOk, 0x081, false, 0, 2},
        {"yes, word, warning accepted", true, {kAnswerYes, kAnswerOk}, kAnswerOk, 0x081, true, 0x081, 2},
    };
    Make(GMC_GAMERUNNING);
    menuDialogs.resumePath = WriteCampaign("CAMP.DC2", 2, "EXTRA.SC2");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        starter.launches.clear();
        view->SetLaunched(false);
        doc->m_dwMenuFlags = c.allowed ? kMenuDifficultyAllowed : 0;
        for (int a : c.answers) boxes.QueueAnswer(a);
        menuDialogs.settingsAnswer = c.settingsAnswer;
        menuDialogs.settingsWord = c.word;
        doc->RunCommand(kCmdResume);
        EXPECT_EQ(boxes.Boxes().size(), c.boxesShown);
        ASSERT_EQ(starter.launches.size(), c.launched ? 1u : 0u);
        if (!c.launched) continue;
        EXPECT_EQ(starter.launches[0].command, uint32_t(GMC_CAMPAIGNSCENARIO));
        EXPECT_EQ(starter.launches[0].param, c.level);
        const GAMEMENUSTRUCT& b = ReadBlock();
        EXPECT_EQ(b.nParam, c.level);
        EXPECT_EQ(b.dwReserved, 2u);
        EXPECT_STREQ(b.Campaign.szTitle, "保存");
    }
    EXPECT_EQ(boxes.Boxes().empty() ? 0u : boxes.Boxes()[0].style, kBoxYesNo | kBoxIconQuestion | kBoxDefButton2);
}

TEST_F(Resume, PreviewDescribesGameAndCampaignFilesOrSaysWhyNot)
{
    const std::string game = WriteGame("GAME.DG2", true, "FIX1");
    const std::string campaign = WriteCampaign("CAMP.DC2", 2, "EXTRA.SC2");
    const std::string single = WriteGame("ONE.DG2", false, "FIX1");
    EXPECT_NE(ResumePreviewText(game).find("『初陣』"), std::string::npos);
    EXPECT_NE(ResumePreviewText(game).find("(TURN3)"), std::string::npos);
    EXPECT_NE(ResumePreviewText(campaign).find("「保存"), std::string::npos);
    // A single battle's save is no campaign file either: the campaign read's message.
    EXPECT_EQ(ResumePreviewText(single), ErrorText(10));
}

TEST_F(MenuDoc, CampaignSaveWritesACopyTheBattleReadsAndKeepsTheRecord)
{
    Make(GMC_GAMERUNNING);
    std::strcpy(doc->m_pCampaign->szTitle, "途中");
    doc->m_pCampaign->nNextScenario = 2;
    auto before = std::make_unique<CAMPAIGNSTRUCT>(*doc->m_pCampaign);
    menuDialogs.savePath = platform::DataPath("Camp");
    doc->m_bModified = true;
    ASSERT_TRUE(doc->SaveCampaignAs(platform::DataPath("default.DC2")));
    EXPECT_FALSE(doc->m_bModified);
    EXPECT_EQ(std::memcmp(before.get(), doc->m_pCampaign.get(), sizeof(CAMPAIGNSTRUCT)), 0);
    auto back = std::make_unique<CAMPAIGNSTRUCT>();
    ASSERT_EQ(ReadCampaignFile(platform::DataPath("Camp.DC2"), *back, nullptr, UnitVersionPolicy::Warn), 0);
    EXPECT_EQ(std::memcmp(before.get(), back.get(), sizeof(CAMPAIGNSTRUCT)), 0);

    // Cancelled, or a folder that cannot take the file: FALSE, and the record untouched.
    menuDialogs.savePath.clear();
    EXPECT_FALSE(doc->SaveCampaignAs(""));
    menuDialogs.savePath = platform::ProgramFolder() + "NoFolder\\Camp.DC2";
    boxes.Clear();
    EXPECT_FALSE(doc->SaveCampaignAs(""));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(std::memcmp(before.get(), doc->m_pCampaign.get(), sizeof(CAMPAIGNSTRUCT)), 0);
}

TEST_F(MenuDoc, CampaignSaveNameGetsItsExtensionOnlyWithoutADot)
{
    struct Case {
        const char* chosen;
        const char* written;
    };
    const Case cases[] = {{"Camp", "Camp.DC2"},
                          {"Camp.v2", "Camp.v2"},
                          {"C:\\home\\.local\\Camp", "C:\\home\\.local\\Camp.DC2"},
                          {"/home/u/.local/Camp", "/home/u/.local/Camp.DC2"},
                          {"C:\\Data\\Camp.", "C:\\Data\\Camp."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(CampaignSaveName(c.chosen), c.written);
    }
}

TEST_F(MenuDoc, MenuFlagsAndTheCommandTable)
{
    Make(GMC_GAMERUNNING);
    EXPECT_EQ(doc->m_dwMenuFlags, kMenuFlagsDefault);
    CommandState s;
    ASSERT_TRUE(doc->QueryCommand(kCmdKeepWeaponRows, s));
    EXPECT_TRUE(s.checked);
    doc->RunCommand(kCmdKeepWeaponRows);
    doc->RunCommand(kCmdBattleMaximised);
    doc->RunCommand(kCmdDifficultyAllowed);
    EXPECT_EQ(doc->m_dwMenuFlags, kMenuDifficultyAllowed | kMenuBattleMaximised);
    // Title-only commands go grey off the title.
    view->SetScreenState(CZRKMenuView::kWorldMap);
    for (int id : {kCmdResume, kCmdNewCampaign, kCmdWeaponGuide}) {
        ASSERT_TRUE(doc->QueryCommand(id, s));
        EXPECT_FALSE(s.enabled) << id;
    }
    doc.reset();
    EXPECT_EQ(settings.ReadInt("Settings", "MenuFlags").value_or(0), long(kMenuDifficultyAllowed | kMenuBattleMaximised));
}

TEST_F(MenuDoc, CodeSevenCopiesTheCampaignRecordOnce)
{
    CAMPAIGNSTRUCT c{};
    c.nNextScenario = 2;
    std::strcpy(c.szTitle, "続き");
    block.Write(offsetof(GAMEMENUSTRUCT, Campaign), &c, sizeof c);
    Make(GMC_CAMPAIGNNEXT);
    EXPECT_STREQ(doc->m_pCampaign->szTitle, "続き");
    std::strcpy(c.szTitle, "二度目");
    block.Write(offsetof(GAMEMENUSTRUCT, Campaign), &c, sizeof c);
    doc->OnNewDocument();
    EXPECT_STREQ(doc->m_pCampaign->szTitle, "続き");
}

TEST_F(MenuDoc, WeaponGuideMissingSaysSo)
{
    Make(GMC_GAMERUNNING);
    boxes.Clear();
    doc->RunCommand(kCmdWeaponGuide);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, kMsgNoWeaponGuide);
    EXPECT_EQ(child.encyclopedia, 0u);
}

}  // namespace
}  // namespace menutest
