// Entry point of the battle program: the wx side of CZRKGameApp. Start-up
// against the menu program, the idle pass and the exit live in the engine's
// CZRKGameApp; this file gives them a window, a menu and the UI thread.
#include <time.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/cpu/CpuUnitRoutines.h"
#include "battle/dialogs/wx/WxDialogService.h"
#include "battle/dialogs/wx/SituationPlayerOps.h"
#include "battle/dialogs/wx/WxToolHub.h"
#include "battle/view/ViewPlacement.h"
#include "battle/view/wx/PlacementPlayerOps.h"
#include "battle/engine/GameApp.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/TurnMachine.h"
#include "battle/view/ViewCpuOrders.h"
#include "battle/view/wx/BattlePlayer.h"
#include "battle/view/wx/ChoicePlayerOps.h"
#include "battle/view/wx/CommandPlayerOps.h"
#include "battle/view/wx/MainFrame.h"
#include "battle/view/wx/OrderTestDriver.h"
#include "battle/view/wx/SpecPlayerOps.h"
#include "battle/view/wx/TablePlayerOps.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"
#include "foundation/Movie.h"
#include "foundation/RecentFiles.h"
#include "platform/audio/SdlAudio.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/App.h"
#include "platform/core/PlayLog.h"
#include "platform/wx/AudioWake.h"
#include "platform/wx/FileSettings.h"
#include "platform/wx/ScriptPlayer.h"
#include "platform/wx/MovieWindow.h"
#include "platform/wx/StartupFailure.h"
#include "platform/wx/SurfaceCanvas.h"

namespace {

// Exit code of a battle program that had no start command to take.
constexpr int kExitNoHandOverBlock = 3;

// The menu program says where the battle window goes: "max" (maximised) or
// "x,y,w,h" in ZRV_SHOW. Anything else keeps the default placement.
void PlaceAsTheMenuAsked(wxFrame& frame)
{
    const char* show = std::getenv("ZRV_SHOW");
    if (!show) return;
    int x, y, w, h;
    if (std::strcmp(show, "max") == 0) {
        frame.Maximize();
    } else if (std::sscanf(show, "%d,%d,%d,%d", &x, &y, &w, &h) == 4 && x >= 0 && y >= 0 && w > 0 && h > 0) {
        frame.SetSize(x, y, w, h);
    }
}

// Settings live in "$XDG_CONFIG_HOME/Quillbarrow/" (else "~/.config/..."); the
// folder is made here because the settings file itself is not.
void EnsureSettingsFolder()
{
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
        base = std::filesystem::path(home) / ".config";
    } else {
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(base / "Quillbarrow", ignored);
}

long long RealTimeNs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// The start-up benchmark's finishing line: with VELMORATH_STARTUP_TIMES=1 the
// first paint of the map canvas once the game stands prints "ZRVGame: first
// frame <ns>" (the real-time clock).
void MarkFirstFrame(wxWindow& canvas)
{
    const char* on = std::getenv("VELMORATH_STARTUP_TIMES");
    if (on == nullptr || std::strcmp(on, "1") != 0) return;
    auto marked = std::make_shared<bool>(false);
    canvas.Bind(wxEVT_PAINT, [marked](wxPaintEvent& e) {
        e.Skip();
        if (*marked) return;
        *marked = true;
        std::fprintf(stderr, "ZRVGame: first frame %lld\n", RealTimeNs());
    });
}

class GameApp : public platform::App {
public:
    bool OnInit() override
    {
        if (!platform::App::OnInit()) return false;
        // Every table and message comes from the data library, so it is loaded
        // before anything else; without it the program says so in its own
        // words and ends.
        std::string why;
        if (!zrv::LoadProgramDataLibrary(&why)) {
            platform::ReportStartupFailure(zrv::kDataLibraryLoadFailure, why);
            m_exitCode = platform::kExitNoDataLibrary;
            return true;
        }
        // In an unattended run nobody would answer a box: the dialog layer's
        // own service writes them to stderr with their default answers. A
        // test script answers the real dialogs itself.
        const char* script = std::getenv("VELMORATH_PLAY_SCRIPT");
        if (script != nullptr && *script != '\0') m_script = script;
        if (!platform::App::Unattended() || !m_script.empty()) zrv::SetDialogs(&m_dialogs);
        // VELMORATH_PLAY_DIALOGS=scripted: a test script answers every box
        // and dialog through the recording service instead (it logs what was
        // asked with its "asked" operation).
        if (const char* d = std::getenv("VELMORATH_PLAY_DIALOGS"); !m_script.empty() && d != nullptr &&
                                                                    std::strcmp(d, "scripted") == 0)
            zrv::SetDialogs(&m_scripted);
        // Sound through SDL; without an audio device the view takes its
        // no-sound path as it would with no device at all.
        m_audio = platform::CreateSdlAudioBackend();
        platform::SetAudio(m_audio.get());
        platform::DeliverAudioOnUiThread(*m_audio);
        // Movies decode in their own thread and show in a window of their own.
        m_movies = std::make_unique<platform::WxMovies>();
        zrv::SetMovies(&m_movies->Movies());

        auto handler = [this](const std::string& request) {
            // From the listener thread to the UI thread.
            CallAfter([this, request] { ApplyPeerRequest(m_frame, request); });
        };
        switch (m_core.InitInstance(platform::ProgramFolderNative(), handler)) {
            case zrv::CZRKGameApp::InitResult::Ok:
                break;
            case zrv::CZRKGameApp::InitResult::NoBlock:
                m_exitCode = kExitNoHandOverBlock;
                return true;
            default:
                m_exitCode = 0;
                return true;
        }

        EnsureSettingsFolder();
        m_recent = std::make_unique<zrv::RecentFileList>(&platform::ProgramSettings());
        m_recent->Load();
        m_doc = std::make_unique<zrv::CZRKGameDoc>();
        m_doc->SetRecentFiles(m_recent.get());
        m_core.AttachDocument(*m_doc);
        // Computer-run countries play their phases step by step.
        m_doc->SetCpuTurnStep(&m_cpu);

        // The map view takes the start command once the window stands.
        m_frame = zrv::CreateBattleFrame(*m_doc, [this] { TakeStartCommand(); });
        // The computer's orders, and the engine's own, run through the map
        // view's order operations.
        m_cpuOrders = std::make_unique<zrv::ViewCpuOrders>(m_frame->View());
        m_executor = std::make_unique<zrv::CpuActionExecutor>(*m_doc, *m_cpuOrders);
        zrv::ConnectCpuOrders(*m_executor, *m_doc, m_cpu.State());
        m_doc->SetOrderExecutor(m_executor.get());
        m_dialogs.SetParent(m_frame);
        m_dialogs.SetGame(m_doc.get(), &m_frame->View());
        // The view's tool windows, owned by the main window; the production
        // and deployment windows see the view through its placement side.
        m_hub = std::make_unique<zrv::WxToolHub>(m_frame, *m_doc, &m_frame->View());
        m_placement = std::make_unique<zrv::ViewPlacement>(m_frame->View());
        m_hub->SetPlacementView(m_placement.get());
        m_frame->View().SetToolHub(m_hub.get());
        m_dialogs.SetCampaignGame(
            [this] { return m_doc && (m_doc->m_dwGameOption & zrv::kOptionCampaign) != 0; });
        m_dialogs.SetSaveCost(
            [this] { return m_doc && m_doc->m_pCurCountry ? m_doc->m_pCurCountry->nSaveCost : 0; });
        // A request may arrive after the frame has gone.
        m_frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& e) {
            if (e.GetEventObject() == m_frame) {
                m_frame = nullptr;
                // No order may reach the view once it has gone.
                if (m_doc) m_doc->SetOrderExecutor(nullptr);
                m_dialogs.SetParent(nullptr);
                m_dialogs.SetGame(nullptr, nullptr);
            }
            e.Skip();
        });
        m_frame->SetClientSize(640, 480);
        PlaceAsTheMenuAsked(*m_frame);
        m_frame->Show();
        zrv::StartOrderTestDriver(*m_frame, *m_doc);

        m_core.SetStep([this] { return !Held() && m_machine.RunIdlePass(); });
        SetIdleHook([this] { return IdlePass(); });
        return true;
    }

    int OnRun() override { return m_exitCode >= 0 ? m_exitCode : platform::App::OnRun(); }

    // A logout or a kill closes the battle window as its close box does.
    void OnCloseSignal() override
    {
        if (m_frame) {
            m_frame->Close();
        } else {
            ExitMainLoop();
        }
    }

    ~GameApp() override
    {
        if (m_audio) platform::SetAudio(nullptr);
    }

    int OnExit() override
    {
        m_player.reset();
        // Its windows go while the window system is still there.
        zrv::SetMovies(nullptr);
        m_movies.reset();
        if (m_audio) m_audio->SetWakeHook(nullptr);
        m_machine.SetDocument(nullptr);
        m_core.ExitInstance();
        zrv::SetDialogs(nullptr);
        return platform::App::OnExit();
    }

private:
    void TakeStartCommand()
    {
        int command = m_doc->ReadStartupCommand();
        std::fprintf(stderr, "ZRVGame: start command %d taken; scenario \"%s\", %s\n", command,
                     platform::SjisToUtf8(zrv::FieldText(m_doc->m_GameData.Head.szName)).c_str(),
                     zrv::FieldText(m_doc->m_GameData.szMB2File).empty() ? "no map" : "map read");
        m_started = true;
        // The game stands: from now on each idle pass runs one step of the
        // turn machine.
        m_machine.SetDocument(m_doc.get(), &m_core.m_nFlowState);
        if (m_frame) MarkFirstFrame(m_frame->Canvas());
    }

    bool IdlePass()
    {
        bool more = m_core.RunIdlePass();
        // A close the frame deferred is carried out between steps, also when
        // no step runs (before the start command, after the game is over).
        if (m_frame && m_frame->WantsClose()) m_frame->Close(true);
        // Unattended tests: one document command, or a script, run once the
        // game stands.
        if (m_started && !m_ranTestCommand) {
            m_ranTestCommand = true;
            if (const char* id = std::getenv("VELMORATH_RUN_COMMAND"); id && *id) {
                m_doc->RunCommand(std::atoi(id));
            }
            if (!m_script.empty() && m_frame) StartScript();
        }
        return more;
    }

    // Plays the test script; its end closes the program.
    void StartScript()
    {
        std::string why;
        m_player = std::make_unique<platform::ScriptPlayer>();
        if (!m_player->Load(m_script, &why)) {
            platform::PlayLog("FAILED " + why);
            zrv::SetDialogs(nullptr);
            m_frame->Close(true);
            return;
        }
        zrv::RegisterBattleOperations(*m_player, *m_frame, *m_doc);
        zrv::RegisterCommandOperations(*m_player, *m_frame, *m_doc);
        zrv::RegisterChoiceOperations(*m_player, *m_frame, *m_doc);
        RegisterTurnOperations();
        zrv::RegisterSpecOperations(*m_player, *m_frame, *m_doc);
        zrv::RegisterTableOperations(*m_player, *m_frame, *m_doc);
        zrv::RegisterSituationOperations(*m_player, m_hub->Situation(), [this](int event) {
            zrv::COUNTRYSTRUCT* c = m_doc->m_pCurCountry;
            m_frame->View().PlayHistoryEvent(event, c != nullptr ? c : &m_doc->m_GameData.Country[0]);
        });
        zrv::RegisterPlacementOperations(*m_player, *m_frame, *m_doc);
        m_player->Start([this](bool) {
            // Nobody answers the close's questions: they take their defaults.
            zrv::SetDialogs(nullptr);
            // The first close asks the view to stop at its next safe pass;
            // the script is over, so the second one closes at once.
            if (m_frame) m_frame->Close(true);
            if (m_frame) m_frame->Close(true);
        });
    }

    // Script operations that hold the turn machine between two steps:
    //   turns <n> [ms]    runs to the start of turn n + 1 and holds there
    //   cpuphase [ms]     holds once a computer phase has begun its steps
    //   phaseend [ms]     holds at the first step after a computer phase
    //   showhex <r> <c>   scrolls the map so that the hex is in sight
    //   resume            lets the machine go on
    void RegisterTurnOperations()
    {
        using Step = platform::ScriptPlayer::Step;
        auto waited = [this](const platform::ScriptPlayer::Words& w, size_t at) {
            const long limit = w.size() > at ? std::atol(w[at].c_str()) : 60000;
            const long now = wxGetLocalTimeMillis().ToLong();
            if (m_waitStarted == 0) m_waitStarted = now;
            if (now - m_waitStarted <= limit) return false;
            m_waitStarted = 0;
            return true;
        };
        m_player->Register("turns", [this, waited](const platform::ScriptPlayer::Words& w, std::string& error) {
            if (w.empty()) return error = "no turn", Step::Failed;
            m_holdAtTurn = std::atoi(w[0].c_str());
            wxWakeUpIdle();
            if (HeldAtTurn()) {
                m_waitStarted = 0;
                platform::PlayLog("held at turn " + std::to_string(m_doc->m_GameData.nTurn));
                return Step::Done;
            }
            return waited(w, 1) ? (error = "timed out", Step::Failed) : Step::Again;
        });
        m_player->Register("cpuphase", [this, waited](const platform::ScriptPlayer::Words& w, std::string& error) {
            wxWakeUpIdle();
            if (m_core.m_nFlowState == zrv::PHASE_CPU && m_doc->m_nCpuStep > 1) {
                m_hold = true;
                m_waitStarted = 0;
                const zrv::COUNTRYSTRUCT* cur = m_doc->m_pCurCountry;
                platform::PlayLog("held in the computer phase of country " + std::to_string(cur ? cur->nIndex : -1) +
                                  " at step " + std::to_string(m_doc->m_nCpuStep));
                return Step::Done;
            }
            return waited(w, 0) ? (error = "timed out", Step::Failed) : Step::Again;
        });
        m_player->Register("phaseend", [this, waited](const platform::ScriptPlayer::Words& w, std::string& error) {
            m_holdAfterPhase = true;
            wxWakeUpIdle();
            if (HeldAfterPhase()) {
                m_waitStarted = 0;
                platform::PlayLog("held after the computer phase, turn " + std::to_string(m_doc->m_GameData.nTurn));
                return Step::Done;
            }
            return waited(w, 0) ? (error = "timed out", Step::Failed) : Step::Again;
        });
        m_player->Register("showhex", [this](const platform::ScriptPlayer::Words& w, std::string& error) {
            if (w.size() < 2 || m_frame == nullptr) return error = "no hex", Step::Failed;
            m_frame->View().EnsureHexVisible(zrv::MakeHex(std::atoi(w[0].c_str()), std::atoi(w[1].c_str())));
            return Step::Done;
        });
        m_player->Register("resume", [this](const platform::ScriptPlayer::Words&, std::string&) {
            m_hold = false;
            m_holdAtTurn = -1;
            m_holdAfterPhase = false;
            m_phaseSeen = false;
            wxWakeUpIdle();
            return Step::Done;
        });
    }
    bool HeldAtTurn() const
    {
        return m_holdAtTurn >= 0 && m_core.m_nFlowState == zrv::PHASE_NEWTURN &&
               m_doc->m_GameData.nTurn >= m_holdAtTurn;
    }
    // Once a computer phase has been seen, the first state after it.
    bool HeldAfterPhase()
    {
        if (!m_holdAfterPhase) return false;
        if (m_core.m_nFlowState == zrv::PHASE_CPU) m_phaseSeen = true;
        return m_phaseSeen && m_core.m_nFlowState != zrv::PHASE_CPU;
    }
    bool Held() { return m_hold || HeldAtTurn() || HeldAfterPhase(); }

    zrv::CZRKGameApp m_core;
    bool m_hold = false;
    int m_holdAtTurn = -1;
    bool m_holdAfterPhase = false;
    bool m_phaseSeen = false;
    long m_waitStarted = 0;
    std::unique_ptr<platform::ScriptPlayer> m_player;
    std::string m_script;
    zrv::WxDialogService m_dialogs;
    zrv::ScriptedDialogService m_scripted;
    // Lives as long as the application object, past every window that plays.
    std::unique_ptr<platform::AudioBackend> m_audio;
    // Outlives the document that adds to it.
    std::unique_ptr<zrv::RecentFileList> m_recent;
    // The computer player outlives the document that points to it.
    zrv::CpuPlayer m_cpu{zrv::CpuUnitRoutines()};
    std::unique_ptr<zrv::ViewCpuOrders> m_cpuOrders;
    std::unique_ptr<zrv::CpuActionExecutor> m_executor;
    std::unique_ptr<platform::WxMovies> m_movies;
    std::unique_ptr<zrv::CZRKGameDoc> m_doc;
    // The view as the production and deployment windows see it; outlives
    // the hub whose windows use it.
    std::unique_ptr<zrv::ViewPlacement> m_placement;
    // Outlives the main window whose tool windows it makes; goes before the
    // document its windows read.
    std::unique_ptr<zrv::WxToolHub> m_hub;
    zrv::TurnMachine m_machine;
    zrv::CMainFrame* m_frame = nullptr;
    int m_exitCode = -1;
    bool m_started = false;
    bool m_ranTestCommand = false;
};

}  // namespace

wxIMPLEMENT_APP(GameApp);
