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
#include <wx/timer.h>

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
#include "platform/core/Paths.h"

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
        m_dialog = wxDynamicCast(dialog, wxFileDialog);
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
