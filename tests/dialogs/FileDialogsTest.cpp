// The file dialogs' filters, opening folders and proposed names per file
// kind, and the chosen path handed back as a program path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "battle/dialogs/FileDialogs.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/Utility.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "support/FixtureLibrary.h"
#include "support/Sjis.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

class FileDialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(testing::TempDir()) / ("filedlg_" + std::to_string(getpid()) + "_" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "Data");
        fs::create_directories(root / "Scenario");
        fs::create_directories(root / u8"セーブ");
        platform::SetProgramFolder(root.string());
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(FileDialogsTest, EachKindHasItsFilterFolderAndName)
{
    const std::string program = root.string();
    const std::string data = (root / "Data").string();
    const std::string scenarios = (root / "Scenario").string();
    const struct {
        const char* name;
        const char* extension;
        std::string proposed;  // CP932
        bool save;
        std::string title, filter, folder, file;
    } cases[] = {
        {"scenario choice opens in the scenario folder", ".SC2", "", false, u8"開く",
         u8"シナリオデータ (*.SC2)|*.SC2;*.sc2|全ファイル (*.*)|*", scenarios, ""},
        {"game load opens in the data folder", ".DG2", "", false, u8"開く",
         u8"ゲーム保存データ (*.DG2)|*.DG2;*.dg2|全ファイル (*.*)|*", data, ""},
        {"campaign load opens in the data folder", ".dc2", "", false, u8"開く",
         u8"シナリオ間保存データ (*.DC2)|*.DC2;*.dc2|全ファイル (*.*)|*", data, ""},
        {"game save proposes the default name", ".DG2", "S410305A.DG2", true, u8"名前を付けて保存",
         u8"ゲーム保存データ (*.DG2)|*.DG2;*.dg2|全ファイル (*.*)|*", data, "S410305A.DG2"},
        {"multi-play save", ".DM2", "Mp410305.DM2", true, u8"マルチプレイ保存",
         u8"マルチプレイ保存データ(*.DM2)|*.DM2;*.dm2|全ファイル (*.*)|*", data, "Mp410305.DM2"},
        {"a path opens in its own folder", ".DG2",
         platform::ProgramFolder() + platform::Utf8ToSjis(u8"セーブ\\表.DG2"), true, u8"名前を付けて保存",
         u8"ゲーム保存データ (*.DG2)|*.DG2;*.dg2|全ファイル (*.*)|*", (root / u8"セーブ").string(),
         u8"表.DG2"},
        {"a folder that is gone: the kind's folder", ".DC2", platform::ProgramFolder() + "Gone\\C410305A.DC2",
         true, u8"名前を付けて保存", u8"シナリオ間保存データ (*.DC2)|*.DC2;*.dc2|全ファイル (*.*)|*", data,
         "C410305A.DC2"},
        {"an unknown kind lists every file", ".TXT", "", false, u8"開く", u8"全ファイル (*.*)|*", program,
         ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const FileDialogSetup s = DescribeFileDialog(k.extension, k.proposed, k.save);
        EXPECT_EQ(s.save, k.save);
        EXPECT_EQ(s.title, k.title);
        EXPECT_EQ(JoinFilter(s), k.filter);
        EXPECT_EQ(s.folder, k.folder);
        EXPECT_EQ(s.name, k.file);
    }
}

TEST_F(FileDialogsTest, WithoutItsFolderAKindOpensInTheProgramFolder)
{
    fs::remove_all(root / "Data");
    fs::remove_all(root / "Scenario");
    for (const char* extension : {".SC2", ".DG2", ".DC2", ".DM2"}) {
        SCOPED_TRACE(extension);
        EXPECT_EQ(DescribeFileDialog(extension, "", false).folder, root.string());
    }
}

TEST_F(FileDialogsTest, TheChosenPathComesBackAsAProgramPathThatFindsTheFile)
{
    const fs::path file = root / u8"セーブ" / u8"第一戦.DG2";
    std::ofstream(file) << "x";
    const std::string chosen = ChosenProgramPath(file.string());
    EXPECT_EQ(chosen.find('/'), std::string::npos) << "the program's own separators";
    EXPECT_EQ(platform::SjisToUtf8(chosen).substr(platform::SjisToUtf8(chosen).size() - 13), u8"第一戦.DG2");
    EXPECT_EQ(platform::ToNativePath(chosen), file.string());
    EXPECT_TRUE(platform::FileExistsSjis(chosen));
}

TEST_F(FileDialogsTest, TheSaveDialogsCostLineUsesTheLibrarysTextAsAFormat)
{
    std::array<const char*, 14> common{};
    common.fill("");
    DataLibrary lib;
    lib.MsgCommon = common;
    SetLib(&lib);
    const struct {
        const char* format;
        int cost;
        const char* want;
    } cases[] = {
        {"保存費用　%s", 25600, "保存費用　$25,600"},
        {"保存費用　%s", 0, "保存費用　$     0"},  // the amount keeps its column
        {"%s%d", 100, "$   100"},                  // a text that wants more than the amount
        {"", 50000, "$50,000"},                    // no text: the amount alone
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.format);
        common[13] = k.format;
        EXPECT_SJIS_EQ(SaveCostText(k.cost), k.want);
    }
    SetLib(nullptr);
}

TEST_F(FileDialogsTest, AnUnattendedRunNeverOpensAFileDialog)
{
    // No display is needed: the dialog is cancelled before any window exists.
    setenv("VELMORATH_EXIT_AFTER_IDLE", "1", 1);
    WxDialogService service;
    for (const char* extension : {".SC2", ".DG2", ".DC2", ".DM2"}) {
        SCOPED_TRACE(extension);
        std::string path = "S410305A.DG2";
        EXPECT_EQ(service.OpenFileDialog(path, extension), kAnswerCancel);
        EXPECT_EQ(service.SaveFileDialog(path, extension), kAnswerCancel);
        EXPECT_EQ(path, "S410305A.DG2") << "the proposal is left as it was";
    }
    unsetenv("VELMORATH_EXIT_AFTER_IDLE");
}

}  // namespace
}  // namespace zrv

namespace zrv {
namespace {

// Files of every kind in the data and scenario folders, read back by the
// open dialogs' information panel.
class FilePreviewTest : public FileDialogsTest {
protected:
    void SetUp() override
    {
        FileDialogsTest::SetUp();
        SetDialogs(&dialogs);
    }
    void TearDown() override
    {
        SetDialogs(nullptr);
        FileDialogsTest::TearDown();
    }
    // Writes bytes at rel (below the program folder) and returns its program path.
    std::string Write(const std::string& rel, const std::vector<uint8_t>& bytes)
    {
        const fs::path p = root / rel;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return ChosenProgramPath(p.string());
    }
    static std::string FileTime(const std::string& path)
    {
        struct stat st {};
        EXPECT_EQ(::stat(platform::ToNativePath(path).c_str(), &st), 0);
        std::tm local{};
        localtime_r(&st.st_mtime, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &local);
        return text;
    }
    static std::string Date(uint32_t packed, bool withHour, bool withPrefix)
    {
        std::string out;
        FormatDateText(packed, out, withHour, withPrefix);
        return out;
    }
    static std::unique_ptr<GAMEDATASTRUCT> Game()
    {
        auto g = std::make_unique<GAMEDATASTRUCT>();
        std::memcpy(g->Head.szName, "Test Front", 11);
        std::memcpy(g->Head.szUnitVersion, "FIX1", 5);
        g->Head.dwStartDate = PackDate(41, 6, 22, 4);
        g->Head.byCampaign = 1;
        g->dwGameOption = kOptionCampaign;  // what marks a saved game
        g->dwDateTime = PackDate(41, 7, 3, 14);
        g->nCurCountry = 1;
        std::memcpy(g->Country[1].szName, "Northland", 10);
        return g;
    }

    zrvtest::ScopedFixtureLibrary library;
    ScriptedDialogService dialogs;
};

TEST_F(FilePreviewTest, ASavedGameShowsItsScenarioDateCountryAndTurn)
{
    const struct {
        const char* name;
        int history, turn, country;
        const char* turnText;
        const char* countryName;
    } cases[] = {
        {"a single scenario", 0, 5, 1, "(TURN5)", "Northland"},
        {"a continued campaign counts from its hand-over", 2, 5, 1, "(TURN4)", "Northland"},
        {"the hand-over turn itself", 1, 1, 1, "(COMMON15)", "Northland"},
        // The reader lets "no country" through: the panel names nobody.
        {"no country to move", 0, 3, -1, "(TURN3)", ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        auto g = Game();
        g->nHistory = k.history;
        g->nTurn = k.turn;
        g->nCurCountry = k.country;
        const std::string path = Write("Data/a.DG2", BuildGameFile(*g));
        EXPECT_SJIS_EQ(FilePreviewText(".DG2", path, false),
                       std::string("COMMON2『Test Front』\n") + Date(g->dwDateTime, true, false) + " [" +
                           k.countryName + "]" + k.turnText + "\n" + FileTime(path));
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(FilePreviewTest, CampaignFilesAndScenariosShowTheirDateAndName)
{
    auto record = std::make_unique<CAMPAIGNSTRUCT>();
    std::memcpy(record->szTitle, "Second Winter", 14);
    std::memcpy(record->szUnitVersion, "FIX1", 5);
    record->dwDate = PackDate(42, 1, 10, 6);
    const std::string dc2 = Write("Data/c.DC2", BuildCampaignFile(*record));
    EXPECT_SJIS_EQ(FilePreviewText(".DC2", dc2, false),
                   Date(record->dwDate, true, true) + " 「Second Winter           」\n\n" + FileTime(dc2));

    auto g = Game();
    const std::string sc2 = Write("Scenario/s.SC2", BuildScenarioFile(*g));
    EXPECT_SJIS_EQ(FilePreviewText(".SC2", sc2, false),
                   Date(g->Head.dwStartDate, true, true) + " [Test Front              ]\n\n" + FileTime(sc2));
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(FilePreviewTest, AFileTheReaderRefusesShowsTheReadersMessage)
{
    auto g = Game();
    const std::string game = Write("Data/g.DG2", BuildGameFile(*g));
    std::vector<uint8_t> damaged = BuildGameFile(*g);
    damaged[damaged.size() / 2] ^= 0x55;
    g->Head.byCampaign = 0;
    const struct {
        const char* name;
        const char* extension;
        std::string path;
        bool campaignGame;
        int message;
    } cases[] = {
        {"nothing selected", ".DG2", "", false, 12},
        {"a file that is not there", ".DC2", platform::DataPath("none.DC2"), false, 12},
        {"a saved game offered as a scenario", ".SC2", game, false, 10},
        {"a damaged body", ".DG2", Write("Data/d.DG2", damaged), false, 13},
        {"a scenario not made for a campaign, in a campaign", ".SC2",
         Write("Scenario/n.SC2", BuildScenarioFile(*g)), true, 12},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_SJIS_EQ(FilePreviewText(k.extension, k.path, k.campaignGame), ErrorText(k.message));
    }
    EXPECT_EQ(FilePreviewText(".DM2", game, false), "") << "the multi-play save is not previewed";
}

TEST_F(FilePreviewTest, EachDialogsTitleComesFromTheLibrary)
{
    const struct {
        const char* extension;
        bool save;
        int entry;  // MsgCommon entry; -1: the fixed title below
        const char* fixed;
    } cases[] = {
        {".DG2", false, 0, nullptr},  {".DC2", false, 4, nullptr},        {".SC2", false, 3, nullptr},
        {".DG2", true, 12, nullptr},  {".DM2", true, -1, u8"マルチプレイ保存"}, {".DC2", true, -1, u8"名前を付けて保存"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.extension) + (k.save ? " save" : " open"));
        const std::string want = k.entry >= 0 ? platform::SjisToUtf8(TableText(Lib().MsgCommon, k.entry)) : k.fixed;
        EXPECT_EQ(DescribeFileDialog(k.extension, "", k.save).title, want);
    }
}

TEST_F(FilePreviewTest, APathLongerThanTheBufferPreviewsAsNoFile)
{
    auto g = Game();
    const std::vector<uint8_t> bytes = BuildGameFile(*g);
    // Names that make the program path 259 bytes (with its zero, the
    // buffer's 260) and one byte more.
    const size_t fixedPart = ChosenProgramPath((root / "Data" / "g.DG2").string()).size();
    ASSERT_LT(fixedPart, 200u);
    const std::string fits = Write("Data/g" + std::string(259 - fixedPart, 'x') + ".DG2", bytes);
    const std::string tooLong = Write("Data/g" + std::string(260 - fixedPart, 'x') + ".DG2", bytes);
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(tooLong.size(), 260u);
    EXPECT_NE(FilePreviewText(".DG2", fits, false).find("Test Front"), std::string::npos);
    EXPECT_SJIS_EQ(FilePreviewText(".DG2", tooLong, false), ErrorText(12));
}

}  // namespace
}  // namespace zrv
