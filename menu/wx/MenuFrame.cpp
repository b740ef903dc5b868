#include "menu/wx/MenuFrame.h"

#include <wx/accel.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/time.h>

#include <algorithm>

#include "foundation/DialogService.h"
#include "menu/FullScreenMovie.h"
#include "menu/MenuApp.h"
#include "menu/wx/MenuTestPlayer.h"
#include "menu/wx/MovieWindows.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/HelpFile.h"
#include "platform/wx/Screenshot.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv::menu {

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

wxString Text(const char* sjis)
{
    return wxString::FromUTF8(platform::SjisToUtf8(sjis));
}

// The menu bar as it stands once the items of removed functions are gone.
struct MenuItemSpec {
    int id;  // 0: separator
    const char* text;
    bool check;
};
struct MenuSpec {
    const char* title;
    std::vector<MenuItemSpec> items;
};

const std::vector<MenuSpec>& MenuTable()
{
    static const std::vector<MenuSpec> table = {
        {"ﾌｧｲﾙ(&F)",
         {{kCmdResume, "ゲーム再開(&O)...\tCtrl+O", false},
          {kCmdNewCampaign, "新規キャンペーン", false},
          {0, "", false},
          {kCmdExit, "ゲーム終了(&X)", false}}},
        {"表(&L)", {{kCmdWeaponGuide, "兵器図鑑", false}}},
        {"表示(&V)",
         {{kCmdKeepWeaponRows, "性能表の武装欄をつめない", true},
          {kCmdBattleMaximised, "ゲーム画面を最大化で表示", true},
          {0, "", false},
          {kCmdNoMovie, "ムービーを表示しない", true}}},
        {"設定(&S)",
         {{kCmdDifficultyAllowed, "難易度調整許可", true},
          {0, "", false},
          {kCmdSoundEffects, "効果音", true},
          {kCmdMusic, "ＢＧＭ", true}}},
    };
    return table;
}

}  // namespace

wxPoint FramePosition(int screenW, int screenH)
{
    return {std::max(0, (screenW - kFrameWidth) / 2), std::max(0, (screenH - kFrameHeight) / 2)};
}

CMainFrame::CMainFrame(CZRKMenuApp& app)
    : wxFrame(nullptr, wxID_ANY, kGameTitle, wxDefaultPosition, wxSize(kFrameWidth, kFrameHeight),
              wxBORDER_SIMPLE | wxSYSTEM_MENU),
      m_app(app)
{
    const wxRect screen = wxDisplay(0u).GetGeometry();
    SetPosition(FramePosition(screen.width, screen.height));
    SetName("ZRVMenu");
    BuildMenuBar();

    // Made as the frame always had them, and never shown.
    auto* toolbar = new wxToolBar(this, wxID_ANY);
    toolbar->Hide();
    auto* status = new wxStatusBar(this, wxID_ANY);
    status->Hide();

    m_canvas = new platform::SurfaceCanvas(this, wxID_ANY, 0);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_canvas, 1, wxEXPAND);
    SetSizer(sizer);
    SetSize(kFrameWidth, kFrameHeight);
    SetMinSize(wxSize(kFrameWidth, kFrameHeight));
    SetMaxSize(wxSize(kFrameWidth, kFrameHeight));

    Bind(wxEVT_MENU, &CMainFrame::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateCommand, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    // A move asked for while locked goes back where the frame stood.
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
        e.Skip();
        if (m_bMenuLock) {
            const wxRect screen = wxDisplay(0u).GetGeometry();
            const wxPoint home = FramePosition(screen.width, screen.height);
            if (GetPosition() != home) CallAfter([this, home] { SetPosition(home); });
        }
    });

    wxAcceleratorEntry keys[] = {{wxACCEL_CTRL, 'O', kCmdResume}, {wxACCEL_NORMAL, WXK_F1, kCmdHelp}};
    SetAcceleratorTable(wxAcceleratorTable(2, keys));
}

CMainFrame::~CMainFrame()
{
    // The mode lets go of its windows while the frame's own are still there.
    m_movieMode.reset();
    m_movieHost.reset();
}

void CMainFrame::MovieFullScreen(const std::string& file)
{
    if (!m_movieHost) {
        m_movieHost = std::make_unique<WxFullScreenHost>([this](std::string path) {
            CallAfter([this, path] { MoviePlayFullScreen(path); });
        });
        m_movieHost->SetDeactivateHook([this] {
            if (m_movieMode) m_movieMode->OnDeactivate();
        });
        m_movieHost->SetMessageObserver([](const MovieLoopMessage& m) {
            static const char* const names[] = {"close", "quit", "close", "abort", "activate", "other"};
            std::string line = std::string("movie message ") + names[m.kind];
            if (m.kind == MovieLoopMessage::ActivateApp) line += m.active ? " on" : " off";
            PlayLog(line);
        });
        m_movieMode = std::make_unique<FullScreenMovieMode>(*m_movieHost);
    }
    m_movieMode->OnStart(file);
}

void CMainFrame::MoviePlayFullScreen(const std::string& file)
{
    if (!m_movieMode) return;
    const wxLongLong start = wxGetLocalTimeMillis();
    m_movieMode->OnPlay(file);
    PlayLog("movie fullscreen done after " + std::to_string((wxGetLocalTimeMillis() - start).ToLong()) + " ms");
}

void CMainFrame::MovieAbort()
{
    // Meant for the movie's own loop.
    if (m_movieHost && MoviePlaying()) m_movieHost->Post({MovieLoopMessage::Abort});
}

bool CMainFrame::MoviePlaying() const
{
    return m_movieMode && m_movieMode->MovieRunning();
}

bool CMainFrame::MovieShowing() const
{
    const CDDSMovie* movie = MoviePlaying() ? m_movieMode->Movie() : nullptr;
    return movie != nullptr && movie->PlayState() == CDDSMovie::kRunning;
}

void CMainFrame::BuildMenuBar()
{
    auto* bar = new wxMenuBar();
    for (const MenuSpec& spec : MenuTable()) {
        auto* menu = new wxMenu();
        for (const MenuItemSpec& item : spec.items) {
            if (item.id == 0)
                menu->AppendSeparator();
            else if (item.check)
                menu->AppendCheckItem(item.id, Text(item.text));
            else
                menu->Append(item.id, Text(item.text));
        }
        bar->Append(menu, Text(spec.title));
    }
    SetMenuBar(bar);
}

void CMainFrame::OnCommand(wxCommandEvent& e)
{
    const int id = e.GetId();
    if (id == kCmdExit) {
        Close();
        return;
    }
    if (id == kCmdHelp) {
        if (!platform::OpenHelpFile(platform::ToNativePath(platform::ProgramFolder() + "ZRVHelp.hlp")))
            Dialogs().MessageBox("ヘルプファイル(ZRVHelp.hlp)はありません", kBoxOk | kBoxIconInformation);
        return;
    }
    if (!m_app.RunCommand(id)) e.Skip();
}

void CMainFrame::OnUpdateCommand(wxUpdateUIEvent& e)
{
    CommandState state;
    if (!m_app.QueryCommand(e.GetId(), state)) {
        e.Skip();
        return;
    }
    e.Enable(state.enabled);
    if (e.IsCheckable()) e.Check(state.checked);
}

void CMainFrame::OnClose(wxCloseEvent& e)
{
    if (MoviePlaying() && e.CanVeto()) {
        // The movie's loop takes the close request: the movie ends and the
        // menu stays.
        m_movieHost->Post({MovieLoopMessage::Close});
        e.Veto();
        return;
    }
    if (m_bMenuLock && e.CanVeto()) {
        e.Veto();
        if (m_lockedClose) m_lockedClose();
        return;
    }
    Destroy();
}

bool CMainFrame::SaveScreenshot(const std::string& utf8Path) const
{
    const wxBitmap& b = m_canvas->Backing();
    if (!b.IsOk()) return false;
    const wxSize c = m_canvas->GetClientSize();
    const wxRect shown(0, 0, std::min(c.x, b.GetWidth()), std::min(c.y, b.GetHeight()));
    if (shown.IsEmpty()) return false;
    return platform::SaveScreenshot(b.GetSubBitmap(shown), utf8Path);
}

}  // namespace zrv::menu
