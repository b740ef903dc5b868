// The file dialogs' filters, opening folders and proposed names per file
// kind, and the chosen path handed back as a program path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "battle/dialogs/FileDialogs.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
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
