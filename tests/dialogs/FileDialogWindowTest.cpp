// The real file dialogs under a display: the dialog the service opens carries
// the kind's filter (and, for a game save, its cost), a cancel leaves the proposal alone, and a
// chosen file comes back as a program path. The test plays the player from
// a timer inside the dialog's own loop.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/init.h>
#include <wx/modalhook.h>
#include <wx/stattext.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/FileDialogs.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/DataLibrary.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "support/FixtureLibrary.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

// Learns of the service's file dialog as it is shown modally, then acts on
// it from a timer inside the dialog's loop, tick after tick until the act
// says it is done. A dialog still open after a few seconds is cancelled, so
// a failure never leaves the test waiting.
class Player : public wxTimer, public wxModalDialogHook {
public:
    explicit Player(std::function<bool(wxFileDialog&)> act) : m_act(std::move(act))
    {
        Register();
        Start(50);
    }
    ~Player() override { Unregister(); }
    int Enter(wxDialog* dialog) override
    {
        // Only the file dialog: a box over it leaves it the one played.
        if (auto* file = wxDynamicCast(dialog, wxFileDialog)) m_dialog = file;
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}
    void Notify() override
    {
        if (m_dialog == nullptr || !m_dialog->IsModal()) return;
        seen = true;
        if (m_act(*m_dialog)) {
            Stop();
        } else if (++m_ticks > 100) {
            Stop();
            m_dialog->EndModal(wxID_CANCEL);
        }
    }
    bool seen = false;

private:
    std::function<bool(wxFileDialog&)> m_act;
    wxFileDialog* m_dialog = nullptr;
    int m_ticks = 0;
};

class FileDialogWindow : public testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("VELMORATH_EXIT_AFTER_IDLE");
        unsetenv("VELMORATH_LOG_STDERR");
        root = fs::path(testing::TempDir()) / ("filedlgwin_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Data");
        fs::create_directories(root / "Scenario");
        platform::SetProgramFolder(root.string());
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(FileDialogWindow, AnOpenDialogShowsTheKindsFilterAndACancelKeepsTheProposal)
{
    WxDialogService service;
    wxString wildcard;
    Player player([&](wxFileDialog& d) {
        wildcard = d.GetWildcard();
        d.EndModal(wxID_CANCEL);
        return true;
    });
    std::string path = "keep";
    EXPECT_EQ(service.OpenFileDialog(path, ".SC2"), kAnswerCancel);
    EXPECT_TRUE(player.seen) << "the dialog was shown";
    EXPECT_EQ(path, "keep");
    EXPECT_EQ(wildcard.utf8_string(), JoinFilter(DescribeFileDialog(".SC2", "", false)));
}

// The labels of the extra controls a dialog shows (UTF-8).
std::string ExtraLabels(wxFileDialog& d)
{
    std::string labels;
    std::function<void(wxWindow*)> walk = [&](wxWindow* w) {
        if (w == nullptr) return;
        if (auto* text = wxDynamicCast(w, wxStaticText)) labels += text->GetLabel().utf8_string();
        for (wxWindow* child : w->GetChildren()) walk(child);
    };
    walk(d.GetExtraControl());
    return labels;
}

TEST_F(FileDialogWindow, ASaveDialogHandsBackTheChosenFileAsAProgramPath)
{
    WxDialogService service;
    service.SetSaveCost([] { return 25600; });
    std::string shownCost;
    const fs::path chosen = root / "Data" / "S410305A.DG2";
    // The file chooser takes a new path over in its own time: OK only once
    // the dialog says it holds it, as a player's click would come.
    const wxString target = wxString::FromUTF8(chosen.string());
    bool pathSet = false;
    Player player([&](wxFileDialog& d) {
        if (!pathSet) {
            shownCost = ExtraLabels(d);
            d.SetPath(target);
            pathSet = true;
        }
        if (d.GetPath() != target) return false;
        d.EndModal(wxID_OK);
        return true;
    });
    std::string path = "S410305A.DG2";
    ASSERT_EQ(service.SaveFileDialog(path, ".DG2"), kAnswerOk);
    EXPECT_TRUE(player.seen);
    EXPECT_NE(shownCost.find("$25,600"), std::string::npos) << shownCost;
    EXPECT_EQ(path, platform::ProgramFolder() + "Data\\S410305A.DG2");
    EXPECT_EQ(platform::ToNativePath(path), chosen.string());
}

TEST_F(FileDialogWindow, TheOpenDialogsPanelPreviewsEachFileSelected)
{
    // Two scenarios; the panel follows the selection from one to the other.
    const char* names[] = {"Window Front", "Other Front"};
    fs::path files[2];
    for (int i = 0; i < 2; ++i) {
        auto g = std::make_unique<GAMEDATASTRUCT>();
        std::memcpy(g->Head.szName, names[i], std::strlen(names[i]) + 1);
        g->Head.dwStartDate = PackDate(41, 6, 22, 4);
        const std::vector<uint8_t> bytes = BuildScenarioFile(*g);
        files[i] = root / "Scenario" / (i == 0 ? "a.SC2" : "b.SC2");
        std::ofstream(files[i], std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    WxDialogService service;
    std::string shown[2];
    int step = 0;
    bool pathSet = false;
    Player player([&](wxFileDialog& d) {
        if (!pathSet) {
            d.SetPath(wxString::FromUTF8(files[step].string()));
            pathSet = true;
        }
        shown[step] = ExtraLabels(d);
        if (shown[step].find(names[step]) == std::string::npos) return false;
        if (++step < 2) {
            pathSet = false;
            return false;
        }
        d.EndModal(wxID_CANCEL);
        return true;
    });
    std::string path;
    EXPECT_EQ(service.OpenFileDialog(path, ".SC2"), kAnswerCancel);
    EXPECT_TRUE(player.seen);
    for (int i = 0; i < 2; ++i) EXPECT_NE(shown[i].find(names[i]), std::string::npos) << shown[i];
}

TEST_F(FileDialogWindow, EachFileCommandsChooserCarriesItsLibraryTitle)
{
    SetLib(&zrvtest::FixtureLibrary());
    WxDialogService service;
    struct Case {
        const char* extension;
        bool save;
        int entry;  // MsgCommon entry; -1: a fixed title
        const char* fixed;
    } cases[] = {
        {".DG2", false, 0, nullptr}, {".DC2", false, 4, nullptr}, {".SC2", false, 3, nullptr},
        {".DG2", true, 12, nullptr}, {".DM2", true, -1, u8"マルチプレイ保存"},
    };
    for (const Case& c : cases) {
        wxString title;
        Player player([&](wxFileDialog& d) {
            // The caption the chooser was made with (the window manager
            // draws it; the toolkit keeps no copy of its own).
            title = d.GetMessage();
            d.EndModal(wxID_CANCEL);
            return true;
        });
        std::string path = "S1.DG2";
        const int r = c.save ? service.SaveFileDialog(path, c.extension) : service.OpenFileDialog(path, c.extension);
        EXPECT_EQ(r, kAnswerCancel);
        EXPECT_TRUE(player.seen) << c.extension;
        const std::string want =
            c.entry >= 0 ? platform::SjisToUtf8(TableText(Lib().MsgCommon, c.entry)) : std::string(c.fixed);
        EXPECT_EQ(title.utf8_string(), want) << c.extension << (c.save ? " save" : " open");
    }
    SetLib(nullptr);
}

// Notes each message box shown modally: its owner and its text.
class BoxWatcher : public wxModalDialogHook {
public:
    BoxWatcher() { Register(); }
    ~BoxWatcher() override { Unregister(); }
    int Enter(wxDialog* dialog) override
    {
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            ++shown;
            open = true;
            owner = dialog->GetParent();
            text = box->GetMessage().utf8_string();
        }
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        if (dynamic_cast<wxMessageDialogBase*>(dialog) != nullptr) open = false;
    }
    int shown = 0;
    bool open = false;
    wxWindow* owner = nullptr;
    std::string text;
};

TEST_F(FileDialogWindow, AFileOfAnotherUnitVersionWarnsOverTheChooserThenPreviews)
{
    SetLib(&zrvtest::FixtureLibrary());
    auto g = std::make_unique<GAMEDATASTRUCT>();
    const char* name = "Version Front";
    std::memcpy(g->Head.szName, name, std::strlen(name) + 1);
    g->Head.dwStartDate = PackDate(41, 6, 22, 4);
    const std::vector<uint8_t> bytes = BuildScenarioFile(*g);
    const fs::path file = root / "Scenario" / "v.SC2";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // The program now runs with another unit-data version.
    DataLibrary other = zrvtest::FixtureLibrary();
    other.g_szUnitVersion = "OTHER";
    SetLib(&other);

    WxDialogService service;
    BoxWatcher boxes;
    std::string shown;
    wxFileDialog* chooser = nullptr;
    bool pathSet = false, answered = false;
    Player player([&](wxFileDialog& d) {
        chooser = &d;
        if (!pathSet) {
            d.SetPath(wxString::FromUTF8(file.string()));
            pathSet = true;
        }
        // The player answers the box with Enter.
        if (boxes.open && !answered) {
            wxUIActionSimulator().Char(WXK_RETURN);
            answered = true;
            return false;
        }
        shown = ExtraLabels(d);
        if (boxes.shown == 0 || boxes.open || shown.find(name) == std::string::npos) return false;
        d.EndModal(wxID_CANCEL);
        return true;
    });
    std::string path;
    EXPECT_EQ(service.OpenFileDialog(path, ".SC2"), kAnswerCancel);
    EXPECT_EQ(boxes.shown, 1) << "the version warning came once";
    EXPECT_EQ(boxes.owner, chooser) << "over the chooser";
    EXPECT_NE(boxes.text.find("FIX1"), std::string::npos) << boxes.text;
    EXPECT_NE(shown.find(name), std::string::npos) << shown;
    SetLib(nullptr);
}

}  // namespace
}  // namespace zrv

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "needs a display\n");
        return 0;
    }
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) return 1;
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
