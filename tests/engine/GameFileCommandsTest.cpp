#include <gtest/gtest.h>

#include <fstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "battle/engine/GameFileCommands.h"
#include "battle/engine/OrderBackends.h"
#include "battle/engine/GameStart.h"
#include "engine/DocFixture.h"
#include "foundation/GameFiles.h"
#include "foundation/RecentFiles.h"
#include "platform/core/Settings.h"
#include "platform/core/Paths.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

TEST(SaveCost, RisesToItsCeilingAndIsFreeWhenAsked)
{
    int cost = 0;
    const int want[] = {100, 200, 400, 800, 1600, 3200, 6400, 12800, 25600, 50000, 50000};
    for (int w : want) {
        cost = NextSaveCost(cost, false);
        EXPECT_EQ(cost, w);
    }
    EXPECT_EQ(NextSaveCost(400, true), 0);
}

TEST(SaveNames, DefaultNamesAndExtensions)
{
    EXPECT_EQ(DefaultSaveName(PackDate(41, 3, 7, 22), false), "S410307L.DG2");
    EXPECT_EQ(DefaultSaveName(PackDate(5, 12, 31, 0), true), "C 51231A.DG2");
    struct Case {
        const char* in;
        const char* want;
    } cases[] = {
        {"a\\b\\Game", "a\\b\\Game.DG2"},
        {"a\\.local\\Game", "a\\.local\\Game.DG2"},  // a dotted folder does not count
        {"a\\b\\Game.sav", "a\\b\\Game.sav"},
        {"Game", "Game.DG2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::string p = c.in;
        AppendExtensionIfNone(p, ".DG2");
        EXPECT_EQ(p, c.want);
    }
}

class GameFileCommandsTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        root = fs::temp_directory_path() / ("velmorath-files-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "Data");
        platform::SetProgramFolder(root.string());
        doc->m_GameData.nVersion = 0x120;
        doc->m_GameData.dwDateTime = PackDate(41, 1, 10, 4);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(root / "Data", fs::perms::owner_all, ec);
        fs::remove_all(root, ec);
        DocFixture::TearDown();
    }
    COUNTRYSTRUCT& Cur() { return doc->m_GameData.Country[0]; }

    fs::path root;
};

TEST_F(GameFileCommandsTest, SaveChargesTheCostAndRefusesWhenFundsFallShort)
{
    Cur().nFund = 150;
    Cur().nSaveCost = 100;
    doc->m_dwGameOption |= kOptionCampaign;  // the reader takes campaign saves only
    dialogs.QueueSaveFile(kAnswerOk, platform::DataPath("First"));
    ASSERT_TRUE(doc->RunCommand(ID_FILE_SAVE));
    EXPECT_TRUE(fs::exists(root / "Data" / "First.DG2"));
    EXPECT_EQ(Cur().nFund, 50);
    EXPECT_EQ(Cur().nSaveCost, 200);
    // The file holds the state after the save.
    auto read = std::make_unique<GAMEDATASTRUCT>();
    ASSERT_EQ(ReadGameFile(platform::DataPath("First.DG2"), *read, nullptr), 0);
    EXPECT_EQ(read->Country[0].nFund, 50);
    EXPECT_EQ(read->Country[0].nSaveCost, 200);

    const size_t boxes = dialogs.Boxes().size();
    ASSERT_TRUE(doc->RunCommand(ID_FILE_SAVE));
    ASSERT_EQ(dialogs.Boxes().size(), boxes + 1);
    EXPECT_SJIS_EQ(dialogs.Boxes().back().text, "消費軍事費不足で保存できません ($   200 必要)");  // FormatAmount pads the figure
    EXPECT_EQ(Cur().nFund, 50);
}

TEST_F(GameFileCommandsTest, CostStopsAtItsCeilingAndCampaignBonusMakesSavesFree)
{
    Cur().nFund = 1000000;
    Cur().nSaveCost = 25600;
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("A")));
    EXPECT_EQ(Cur().nSaveCost, 50000);
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("A")));
    EXPECT_EQ(Cur().nSaveCost, 50000);
    EXPECT_EQ(Cur().nFund, 1000000 - 25600 - 50000);
    doc->m_GameData.nCampaign = kCampaignFreeSaves;
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("A")));
    EXPECT_EQ(Cur().nSaveCost, 0);
}

// A limit on the size of the files the process writes, for the length of a
// scope: the write fails part-way for any user, root included (the signal
// the limit raises is ignored, so the write returns an error instead).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_old;
        lower.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool Set() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

TEST_F(GameFileCommandsTest, ASaveThatCannotBeWrittenCostsNothingAndSaysSo)
{
    Cur().nFund = 500;
    Cur().nSaveCost = 100;
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("Old")));
    std::vector<uint8_t> before, after;
    ASSERT_TRUE(platform::ReadWholeFile(platform::DataPath("Old.DG2"), before));
    const size_t boxes = dialogs.Boxes().size();
    const int fund = Cur().nFund, cost = Cur().nSaveCost;
    {
        // The disk takes a few bytes of the new file and no more.
        FileSizeLimit limit(512);
        ASSERT_TRUE(limit.Set());
        EXPECT_FALSE(doc->SaveGame(platform::DataPath("Old")));
    }
    EXPECT_EQ(Cur().nFund, fund);
    EXPECT_EQ(Cur().nSaveCost, cost);
    EXPECT_EQ(dialogs.Boxes().size(), boxes + 1);  // ErrorMessage[14] with the path
    ASSERT_TRUE(platform::ReadWholeFile(platform::DataPath("Old.DG2"), after));
    EXPECT_EQ(after, before);
}

TEST_F(GameFileCommandsTest, ASaveWhoseFileCannotBeReplacedCostsNothingAndSaysSo)
{
    // The same failure for any user, root included: the name is taken by a
    // folder with something in it, so the finished file cannot be renamed
    // over it.
    fs::create_directories(root / "Data" / "Busy.DG2");
    std::ofstream(root / "Data" / "Busy.DG2" / "keep") << "x";
    Cur().nFund = 500;
    Cur().nSaveCost = 100;
    const size_t boxes = dialogs.Boxes().size();
    EXPECT_FALSE(doc->SaveGame(platform::DataPath("Busy")));
    EXPECT_EQ(Cur().nFund, 500);
    EXPECT_EQ(Cur().nSaveCost, 100);
    EXPECT_EQ(dialogs.Boxes().size(), boxes + 1);
    EXPECT_TRUE(fs::exists(root / "Data" / "Busy.DG2" / "keep"));
    int entries = 0;
    for (const auto& e : fs::directory_iterator(root / "Data")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";
}

TEST_F(GameFileCommandsTest, PlayMarksTheDocumentModifiedAndOnlyAWholeSaveClearsIt)
{
    UNITSTRUCT& u = Cur().Unit[0];
    u.dwFlag = kUnitInUse;
    u.nArms = zrvtest::kFixtureInfantry;
    const int own = static_cast<int>(&Cur() - doc->m_GameData.Country);
    u.refSelf = MakeUnitRef(own, 0);
    UNITSTRUCT& spare = Cur().Unit[1];
    const struct {
        const char* name;
        std::function<void()> step;
        bool modifies;
    } cases[] = {
        {"a turn advances", [&] { doc->StepNewTurn(); }, true},
        {"a computer order runs", [&] { doc->ExecuteCpuAction(kCpuActConstruct, u, 0); }, true},
        {"a unit ends its action", [&] {
             // The new turn above took it out of play where the fixture left
             // it; the action must end for a unit in use.
             u.dwFlag = kUnitInUse;
             doc->EndUnitAction(u);
         }, true},
        {"a game starts", [&] { doc->EnterStartPhase(); }, true},
        {"a refused order", [&] { (void)zrv::DeleteUnit(*doc, spare, false); }, false},
        {"a player's order goes through", [&] {
             spare.dwFlag = kUnitInUse;
             spare.nArms = zrvtest::kFixtureInfantry;
             spare.refSelf = MakeUnitRef(own, 1);
             (void)zrv::DeleteUnit(*doc, spare, false);
         }, true},
        {"a command changes the state", [&] { doc->RunCommand(ID_GAME_DAYNIGHT); }, true},
        {"the forecast only tells", [&] { doc->RunCommand(ID_WEATHER_FORECAST); }, false},
        {"a cancelled save", [&] {
             dialogs.QueueSaveFile(kAnswerCancel);
             doc->SaveGame({});
         }, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        doc->SetModifiedFlag(false);
        k.step();
        EXPECT_EQ(doc->IsModified(), k.modifies);
    }

    // Saves clear it; one that could not be written leaves it as it was.
    fs::create_directories(root / "Data" / "Busy.DG2");
    std::ofstream(root / "Data" / "Busy.DG2" / "keep") << "x";
    doc->SetModifiedFlag();
    EXPECT_FALSE(doc->SaveGame(platform::DataPath("Busy")));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("Whole")));
    EXPECT_FALSE(doc->IsModified());

    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    doc->SetModifiedFlag();
    EXPECT_FALSE(doc->WriteCampaignFile(platform::DataPath("Busy.DG2"), *record));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->WriteCampaignFile(platform::DataPath("Camp"), *record));
    EXPECT_FALSE(doc->IsModified());

    // The automatic save at the start of a phase writes the game as well.
    doc->SetModifiedFlag();
    EXPECT_EQ(doc->AutoSave(), PHASE_HUMAN);
    EXPECT_TRUE(fs::exists(root / "Data" / u8"自動セーブ.DG2"));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(GameFileCommandsTest, SaveThenLoadGivesTheSameGame)
{
    Cur().nFund = 777;
    doc->m_GameData.nTurn = 6;
    doc->m_dwGameOption |= kOptHistoryEvents | kOptionCampaign;
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("Same")));
    auto read = std::make_unique<GAMEDATASTRUCT>();
    ASSERT_EQ(ReadGameFile(platform::DataPath("Same.DG2"), *read, nullptr), 0);
    EXPECT_EQ(std::memcmp(read.get(), &doc->m_GameData, sizeof *read), 0);
    EXPECT_EQ(read->dwGameOption, doc->m_dwGameOption);
}

TEST_F(GameFileCommandsTest, CancelledSaveChangesNothing)
{
    Cur().nFund = 500;
    Cur().nSaveCost = 100;
    dialogs.QueueSaveFile(kAnswerCancel);
    EXPECT_FALSE(doc->SaveGame({}));
    EXPECT_EQ(Cur().nFund, 500);
    ASSERT_FALSE(dialogs.AskedDialogs().empty());
    EXPECT_EQ(dialogs.AskedDialogs().back().text, "S410110C.DG2");
}

TEST_F(GameFileCommandsTest, SaveIsOfferedOnlyToAHumanOutsideMultiPlay)
{
    EXPECT_TRUE(doc->GetCommandState(ID_FILE_SAVE).enabled);
    doc->m_dwGameOption |= kOptMultiPlay;
    EXPECT_FALSE(doc->GetCommandState(ID_FILE_SAVE).enabled);
    doc->m_dwGameOption &= ~kOptMultiPlay;
    doc->SetCurrentCountry(1);  // computer-run
    EXPECT_FALSE(doc->GetCommandState(ID_FILE_SAVE).enabled);
}

TEST_F(GameFileCommandsTest, CampaignFileRoundTripsWithoutCost)
{
    Cur().nFund = 100;
    Cur().nSaveCost = 100;
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    record->nVersion = 0x120;
    record->nNextScenario = 0;
    record->dwGameOption = kOptionCampaign;
    record->nFundBonus = 4321;
    dialogs.QueueSaveFile(kAnswerOk, platform::DataPath("Camp"));
    ASSERT_TRUE(doc->WriteCampaignFile({}, *record));
    EXPECT_EQ(Cur().nFund, 100);
    EXPECT_EQ(doc->m_strGameFile, platform::DataPath("Camp.DC2"));
    auto read = std::make_unique<CAMPAIGNSTRUCT>();
    ASSERT_EQ(ReadCampaignFile(platform::DataPath("Camp.DC2"), *read, nullptr), 0);
    EXPECT_EQ(read->nFundBonus, 4321);
}

TEST_F(GameFileCommandsTest, LoadCommandRefusedDuringFullAutoAndCancelDoesNothing)
{
    doc->m_dwGameOption |= kOptFullAutoRunning;
    EXPECT_FALSE(doc->GetCommandState(ID_FILE_OPEN).enabled);
    doc->RunLoadCommand();
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "全行動中はできません！");
    doc->m_dwGameOption &= ~kOptFullAutoRunning;
    ASSERT_TRUE(doc->RunCommand(ID_FILE_OPEN));  // cancelled: the game stays
    EXPECT_EQ(doc->m_GameData.dwDateTime, PackDate(41, 1, 10, 4));
    ASSERT_FALSE(dialogs.AskedDialogs().empty());
    EXPECT_EQ(dialogs.AskedDialogs().back().text, ".DG2");
}

TEST_F(GameFileCommandsTest, LoadCommandOfAFileThatIsNotThereKeepsTheGame)
{
    doc->m_GameData.nTurn = 12;
    dialogs.QueueOpenFile(kAnswerOk, platform::DataPath("Missing.DG2"));
    ASSERT_TRUE(doc->RunCommand(ID_FILE_OPEN));
    EXPECT_EQ(doc->m_GameData.nTurn, 12);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);  // the reader's message
}

TEST_F(GameFileCommandsTest, CampaignSaveOfThePlayerMergesTheWeaponGuide)
{
    Cur().dwArmsAvail[3] = kAvailSeen;
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("Plain")));
    EXPECT_FALSE(fs::exists(root / "Data" / kWeaponGuideName));  // not a campaign
    doc->m_dwGameOption |= kOptionCampaign;
    ASSERT_TRUE(doc->SaveGame(platform::DataPath("Camp")));
    EXPECT_TRUE(fs::exists(root / "Data" / kWeaponGuideName));
}

TEST(RecentFiles, NewestFirstFourAtMostKeptInTheStore)
{
    platform::MemorySettingsStore store;
    RecentFileList list(&store);
    for (const char* p : {"A.DG2", "B.DG2", "C.DG2", "D.DG2", "B.DG2", "E.DG2"}) list.Add(p);
    const std::vector<std::string> want{"E.DG2", "B.DG2", "D.DG2", "C.DG2"};
    EXPECT_EQ(list.Entries(), want);
    // Another list on the same store reads what this one wrote, CP932 included.
    list.Add("データ\\表.DG2");
    RecentFileList again(&store);
    again.Load();
    EXPECT_EQ(again.Entries(), list.Entries());
    EXPECT_EQ(again.Entry(0), "データ\\表.DG2");
    EXPECT_EQ(store.ReadString(kRecentFileSection, "File1"), std::optional<std::string>(u8"データ\\表.DG2"));
    EXPECT_TRUE(again.Remove("B.DG2"));
    EXPECT_FALSE(again.Remove("B.DG2"));
    RecentFileList third(&store);
    third.Load();
    EXPECT_EQ(third.Entries(), (std::vector<std::string>{"データ\\表.DG2", "E.DG2", "D.DG2"}));
    EXPECT_EQ(third.Entry(3), "");
}

}  // namespace
}  // namespace zrv
