#include "battle/view/wx/MainFrame.h"

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/gdicmn.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitRules.h"
#include "battle/view/BattleMenu.h"
#include "battle/view/SWndView.h"
#include "battle/view/wx/CommandBar.h"
#include "foundation/RecentFiles.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"
#include "platform/wx/FileSettings.h"
#include "battle/view/wx/OverviewFrame.h"
#include "battle/view/wx/WxMessagePump.h"
#include "platform/wx/Screenshot.h"
#include "platform/wx/SurfaceCanvas.h"

namespace zrv {
namespace {

// The unattended run looks at the game every 50 ms for at most 10 s.
constexpr int kUnattendedTickMs = 50;
constexpr int kUnattendedTickLimit = 200;

// The test report is looked at every 100 ms.
constexpr int kReportTickMs = 100;

// The clock of the status bar: timer 6, every 10 s, in a pane 33 pixels wide.
constexpr int kClockTimerId = 6;
constexpr int kClockPeriodMs = 10000;
constexpr int kClockPaneWidth = 33;

// Command ids lie in this range; the update handlers and the router see it.
constexpr int kFirstCommandId = 32768;
constexpr int kLastCommandId = 59999;
// The File menu's recent-file entries, newest first.
constexpr int kFirstRecentFileId = 57616;
constexpr int kCmdGameSave = 57604;

// Type flag: the type's move is a bombing march (its selection opens the
// command window).
constexpr uint32_t kArmsBombingMarchFlag = 0x00000010u;

// The current country's option to confirm what it does.
constexpr uint32_t kCountryConfirm = 0x08000000u;

wxString FromSjis(std::string_view text)
{
    return wxString::FromUTF8(platform::SjisToUtf8(text));
}

// "バージョン情報": the program's title and version.
class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent) : wxDialog(parent, wxID_ANY, FromSjis("バージョン情報"))
    {
        auto* box = new wxBoxSizer(wxVERTICAL);
        box->Add(new wxStaticText(this, 1202, kGameTitle), 0, wxALL, 10);
        box->Add(new wxStaticText(this, 1106, "ver 1.00"), 0, wxLEFT | wxRIGHT, 10);
        box->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALL | wxALIGN_RIGHT, 10);
        SetSizerAndFit(box);
    }
};

// The images of a strip picture of the program folder ("ToolBar128.pxs"
// ...), size x size each, side by side; index 0 is transparent. A missing
// picture gives empty images (the buttons still work).
std::vector<wxBitmap> LoadStrip(const std::string& name, int size, int count, const RgbQuad* table)
{
    std::vector<wxBitmap> images(static_cast<size_t>(count));
    CDib dib;
    if (!dib.CreateFromPXS(table, platform::ProgramFolder() + name)) return images;
    const platform::Surface8& s = dib.Surface();
    if (s.Height() < size || s.Table() == nullptr) return images;
    for (int i = 0; i < count && (i + 1) * size <= s.Width(); ++i) {
        wxImage img = platform::SurfaceToImage(s, i * size, 0, size, size);
        img.InitAlpha();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (s.GetPixel(i * size + x, y) == 0) img.SetAlpha(x, y, 0);
        images[static_cast<size_t>(i)] = wxBitmap(img);
    }
    return images;
}

// Whether a lies wholly inside b.
bool Inside(const platform::Rect& a, const platform::Rect& b)
{
    return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
}

}  // namespace

// What the view asks of a window, done on the canvas. Dirty rectangles are
// collected and painted together once the current event is handled (or at
// once on UpdateNow); only they are converted from the buffer, each once.
// Until the start command has been taken the window has nothing of the game
// to show: what is asked for before is painted once, after it.
class MapCanvasWindow : public ViewWindow {
public:
    MapCanvasWindow(platform::SurfaceCanvas& canvas, CZRKGameView& view) : m_canvas(canvas), m_view(view) {}

    void Invalidate(const platform::Rect* rect) override
    {
        const SizeI c = m_view.GetClientSize();
        const platform::Rect all{0, 0, c.cx, c.cy};
        m_dirty.push_back(rect != nullptr ? platform::Intersect(*rect, all) : all);
        if (!m_flushQueued) {
            m_flushQueued = true;
            m_canvas.CallAfter([this] { Flush(); });
        }
    }
    void UpdateNow() override { Paint(); }
    void SetScrollBars(SizeI total, SizeI page, SizeI line, PointI pos) override
    {
        m_canvas.SetScrollGeometry(total.cx, total.cy, page.cx, page.cy, line.cx, line.cy);
        m_canvas.SetScrollPos(wxHORIZONTAL, pos.x);
        m_canvas.SetScrollPos(wxVERTICAL, pos.y);
    }
    bool WarpPointer(PointI p) override
    {
        m_canvas.WarpPointer(p.x, p.y);
        return true;
    }
    void Post(std::function<void()> f) override { m_canvas.CallAfter(std::move(f)); }
    bool IsMinimised() const override
    {
        const wxWindow* top = wxGetTopLevelParent(const_cast<platform::SurfaceCanvas*>(&m_canvas));
        const auto* frame = dynamic_cast<const wxTopLevelWindow*>(top);
        return frame != nullptr && frame->IsIconized();
    }

    // The start command has been taken: what waited is painted.
    void StartPainting()
    {
        m_holding = false;
        if (m_dirty.empty() || m_flushQueued) return;
        m_flushQueued = true;
        m_canvas.CallAfter([this] { Flush(); });
    }

    void Flush()
    {
        m_flushQueued = false;
        Paint();
    }

    void Paint()
    {
        if (m_holding) return;
        std::vector<platform::Rect> dirty;
        dirty.swap(m_dirty);
        // A rectangle inside another one adds nothing.
        std::vector<platform::Rect> paint;
        for (const platform::Rect& r : dirty) {
            if (r.IsEmpty()) continue;
            if (std::any_of(paint.begin(), paint.end(), [&](const platform::Rect& p) { return Inside(r, p); }))
                continue;
            std::erase_if(paint, [&](const platform::Rect& p) { return Inside(p, r); });
            paint.push_back(r);
        }
        for (const platform::Rect& r : paint) m_view.OnPaint(&r);
        if (!dirty.empty()) SaveScreenshot();
    }

    // Unattended runs under a virtual display ask for what the window shows
    // (VELMORATH_SCREENSHOT=<file.png>); the last paint wins.
    void SaveScreenshot()
    {
        static const char* path = std::getenv("VELMORATH_SCREENSHOT");
        if (path == nullptr || *path == '\0' || !m_canvas.Backing().IsOk()) return;
        const wxSize c = m_canvas.GetClientSize();
        const wxBitmap& b = m_canvas.Backing();
        wxRect shown(0, 0, std::min(c.x, b.GetWidth()), std::min(c.y, b.GetHeight()));
        if (shown.IsEmpty()) return;
        platform::SaveScreenshot(b.GetSubBitmap(shown), path);
    }

private:
    platform::SurfaceCanvas& m_canvas;
    CZRKGameView& m_view;
    std::vector<platform::Rect> m_dirty;
    bool m_flushQueued = false;
    bool m_holding = true;
};

CMainFrame::CMainFrame(CZRKGameDoc& doc, platform::SettingsStore* settings, std::function<void()> startup)
    : wxFrame(nullptr, wxID_ANY, kGameTitle),
      m_doc(doc),
      m_view(std::make_unique<CZRKGameView>()),
      m_clock(this, kClockTimerId)
{
    CZRKGameView& view = *m_view;
    view.SetDocument(&doc);
    view.SetSettings(settings);
    view.SetFrameSink(this);
    view.SetWaitService(&m_wait);
    // Unattended runs under a virtual display have nobody to click the
    // information screen away: with VELMORATH_SHOW_MAP=1 the frame does it
    // when the first phase waits for the click, and closes once the map is
    // shown for the viewing country.
    const char* showMap = std::getenv("VELMORATH_SHOW_MAP");
    if (showMap != nullptr && std::strcmp(showMap, "1") == 0) {
        m_unattended.SetOwner(this);
        Bind(wxEVT_TIMER, &CMainFrame::OnUnattendedTick, this, m_unattended.GetId());
        m_unattended.Start(kUnattendedTickMs);
    }
    if (const char* report = std::getenv("VELMORATH_FRAME_STATE"); report != nullptr && *report != '\0') {
        m_reportPath = report;
        m_report.SetOwner(this);
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { WriteStateReport(); }, m_report.GetId());
        m_report.Start(kReportTickMs);
    }
    view.SetStartupCommand([this, startup = std::move(startup)] {
        if (startup) startup();
        if (m_window) m_window->StartPainting();
    });
    view.SetFullScreenSource([] {
        const wxRect area = wxDisplay(0u).GetClientArea();
        return SizeI{area.width, area.height};
    });
    view.PreCreateWindow();

    m_canvas = new platform::SurfaceCanvas(this);
    // The status strip's pane shows the strip's picture; a click there
    // hands the input back to the map.
    auto* statusCanvas = new platform::SurfaceCanvas(this, wxID_ANY, 0);
    m_statusPane = statusCanvas;
    m_strip = std::make_unique<CSWndView>(view);
    statusCanvas->SetRepaintHandler([this] { m_strip->OnDraw(); });
    statusCanvas->SetSizeHandler([this](int, int) { m_strip->OnDraw(); });
    statusCanvas->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { m_canvas->SetFocus(); });
    statusCanvas->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { m_canvas->SetFocus(); });
    m_window = std::make_unique<MapCanvasWindow>(*m_canvas, view);
    view.SetWindow(m_window.get());
    view.SetBlitSink(m_canvas);
    m_canvas->SetSizeHandler([this](int w, int h) {
        m_view->OnSize(w, h);
        m_window->Invalidate(nullptr);
    });
    m_canvas->SetScrollHandler([this](int x, int y) {
        const PointI now = m_view->GetScrollPosition();
        if (x != now.x) m_view->OnScroll(0, ScrollCode::ThumbTrack, x);
        if (y != now.y) m_view->OnScroll(1, ScrollCode::ThumbTrack, y);
    });
    m_canvas->SetRepaintHandler([this] { m_window->Invalidate(nullptr); });
    m_canvas->SetDisplayChangedHandler([this] { m_view->OnDisplayChange(); });
    m_overview = std::make_unique<OverviewFrameMaker>(this);
    view.SetOverviewWindowMaker(m_overview.get());
    // The historical events wait in the event loop.
    view.SetMessagePump([] { return PumpEventsOnce(); });
    BindMouseAndKeys();

    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_SIZE, &CMainFrame::OnSize, this);
    Bind(wxEVT_ICONIZE, [this](wxIconizeEvent& e) {
        e.Skip();
        OnPlacement();
    });
    Bind(wxEVT_MAXIMIZE, [this](wxMaximizeEvent& e) {
        e.Skip();
        OnPlacement();
    });
    Bind(wxEVT_MENU, &CMainFrame::OnCommand, this, kFirstCommandId, kLastCommandId);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateCommand, this, kFirstCommandId, kLastCommandId);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { UpdateClock(); }, kClockTimerId);

    SetClientSize(1024, 700);
    const wxSize client = m_canvas->GetClientSize();
    view.OnSize(client.x, client.y);
    doc.SetView(&view);
    view.OnInitialUpdate();
    m_strip->OnInitialUpdate(wxDisplay(0u).GetClientArea().width);
    m_strip->SetBlitSink(statusCanvas);
    view.SetStatusStrip(m_strip.get());
    m_strip->RefreshStatus(-1, true, nullptr, false);

    // The frame's parts need the view's colours for their pictures.
    RegisterFrameCommands();
    view.Commands().AddDocumentCommands(doc);
    BuildMenuBar();
    BuildToolBar();
    BuildStatusBar();
    BuildCommandBars();
    const RgbQuad* table = view.GetPalette() != nullptr ? view.GetPalette()->GetColorTable() : nullptr;
    const std::vector<wxBitmap> icon = LoadStrip(ProgramIconPictureName(), 32, 1, table);
    if (icon[0].IsOk()) {
        wxIcon i;
        i.CopyFromBitmap(icon[0]);
        SetIcon(i);
    }
    LayoutPanes();
    view.UpdateWindowTitle();
    m_canvas->SetFocus();
}

CMainFrame::~CMainFrame()
{
    m_clock.Stop();
    if (RecentFileList* list = m_doc.RecentFiles()) list->SetChangeHook(nullptr);
    if (m_view) {
        m_doc.SetView(nullptr);
        m_view->SetFrameSink(nullptr);
        m_view->SetWaitService(nullptr);
        m_view->SetWindow(nullptr);
        m_view->SetMessagePump(nullptr);
        m_view->SetBlitSink(nullptr);
        m_view->SetStatusStrip(nullptr);
        if (m_strip) m_strip->SetBlitSink(nullptr);
        m_view.reset();
    }
}

// --- building ---------------------------------------------------------------------------

void CMainFrame::RegisterFrameCommands()
{
    CommandRouter& r = m_view->Commands();
    for (const CommandBarSpec& bar : CommandBars()) {
        const int control = bar.controlId;
        r.Add(bar.toggleCommand, {nullptr, nullptr, [this, control] {
                                      if (CommandBar* b = FindBar(control)) ToggleCommandBar(*b);
                                  }});
        if (bar.catchCommand != 0)
            r.Add(bar.catchCommand, {nullptr, nullptr, [this, control] {
                                         if (CommandBar* b = FindBar(control)) CatchCommandBar(*b);
                                     }});
    }
    r.Add(kCmdSoundTest, {nullptr, nullptr, [] {}});
    r.Add(kCmdHelpFinder, {nullptr, nullptr, [this] { OnHelpFinder(); }});
    r.Add(kCmdGameExit, {nullptr, nullptr, [this] { OnGameExit(); }});
    r.Add(kCmdAppAbout, {nullptr, nullptr, [this] { OnAppAbout(); }});
    for (int i = 0; i < kRecentFileCount; ++i)
        r.Add(kFirstRecentFileId + i, {[this, i] {
                                           const RecentFileList* list = m_doc.RecentFiles();
                                           return list != nullptr && !list->Entry(i).empty();
                                       },
                                       nullptr, [this, i] { m_doc.RunRecentFileCommand(i); }});
}

void CMainFrame::RefreshRecentFileMenu()
{
    wxMenuBar* bar = GetMenuBar();
    if (bar == nullptr || bar->GetMenuCount() == 0) return;
    wxMenu* file = bar->GetMenu(0);
    for (wxMenuItem* item : m_recentItems) file->Destroy(item);
    m_recentItems.clear();
    const RecentFileList* list = m_doc.RecentFiles();
    if (list == nullptr || list->Entries().empty()) return;
    size_t pos = 0;
    if (file->FindChildItem(kCmdGameSave, &pos) == nullptr) return;
    ++pos;
    m_recentItems.push_back(file->InsertSeparator(pos++));
    const std::vector<std::string>& entries = list->Entries();
    for (int i = 0; i < static_cast<int>(entries.size()) && i < kRecentFileCount; ++i) {
        const wxString label = wxString::Format("&%d ", i + 1) + FromSjis(entries[i].c_str());
        m_recentItems.push_back(file->Insert(pos++, kFirstRecentFileId + i, label));
    }
}

void CMainFrame::BuildMenuBar()
{
    auto* bar = new wxMenuBar;
    std::vector<wxMenu*> open;
    std::vector<wxString> titles;
    for (const MenuLine& l : BattleMenuBar()) {
        switch (l.row) {
            case MenuRow::Popup:
                open.push_back(new wxMenu);
                titles.push_back(FromSjis(l.text));
                break;
            case MenuRow::End: {
                wxMenu* done = open.back();
                const wxString title = titles.back();
                open.pop_back();
                titles.pop_back();
                if (open.empty())
                    bar->Append(done, title);
                else
                    open.back()->AppendSubMenu(done, title);
                break;
            }
            case MenuRow::Separator:
                open.back()->AppendSeparator();
                break;
            case MenuRow::Item:
            case MenuRow::Check: {
                wxString label = FromSjis(l.text);
                const std::string key = AcceleratorText(l.id);
                if (!key.empty()) label += "\t" + wxString::FromUTF8(key);
                if (l.row == MenuRow::Check) {
                    open.back()->AppendCheckItem(l.id, label);
                    m_checkIds.push_back(l.id);
                } else {
                    open.back()->Append(l.id, label);
                }
                break;
            }
        }
    }
    SetMenuBar(bar);
    RefreshRecentFileMenu();
    if (RecentFileList* list = m_doc.RecentFiles()) list->SetChangeHook([this] { RefreshRecentFileMenu(); });
    // Every key, those of commands the menu does not carry included.
    std::vector<wxAcceleratorEntry> keys;
    for (const MenuAccelerator& a : BattleAccelerators()) keys.emplace_back(wxACCEL_CTRL, a.key, a.id);
    for (const MenuAccelerator& a : BattleDebugKeys()) keys.emplace_back(wxACCEL_CTRL, a.key, a.id);
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
}

void CMainFrame::BuildToolBar()
{
    wxToolBar* tb = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER);
    tb->SetToolBitmapSize(wxSize(kToolbarImageSize, kToolbarImageSize));
    const RgbQuad* table = m_view->GetPalette() != nullptr ? m_view->GetPalette()->GetColorTable() : nullptr;
    int images = 0;
    for (const BarButton& b : ToolbarButtons()) images += b.id != 0;
    const std::vector<wxBitmap> bitmaps = LoadStrip(ToolbarPictureName(), kToolbarImageSize, images, table);
    size_t next = 0;
    for (const BarButton& b : ToolbarButtons()) {
        if (b.id == 0) {
            tb->AddSeparator();
            continue;
        }
        wxBitmap bmp = bitmaps[next++];
        if (!bmp.IsOk()) bmp = wxBitmap(kToolbarImageSize, kToolbarImageSize);
        const bool check = std::find(m_checkIds.begin(), m_checkIds.end(), b.id) != m_checkIds.end();
        tb->AddTool(b.id, FromSjis(b.tip), bmp, FromSjis(b.tip), check ? wxITEM_CHECK : wxITEM_NORMAL);
    }
    tb->Realize();
}

void CMainFrame::BuildStatusBar()
{
    // Pane 0 carries prompts, pane 1 the clock.
    // No size grip: it would take the clock pane's room.
    wxStatusBar* sb = CreateStatusBar(2, wxSTB_SHOW_TIPS | wxSTB_ELLIPSIZE_END | wxFULL_REPAINT_ON_RESIZE);
    // 33 pixels, or what the status bar's font needs for the time: a clock
    // cut to "2..." tells nobody the time.
    int textW = 0, textH = 0;
    sb->GetTextExtent("00:00", &textW, &textH);
    const int widths[2] = {-1, std::max(kClockPaneWidth, textW + 2 * sb->GetBorderX() + 8)};
    sb->SetStatusWidths(2, widths);
    if (m_clock.Start(kClockPeriodMs)) UpdateClock();
}

void CMainFrame::BuildCommandBars()
{
    const RgbQuad* table = m_view->GetPalette() != nullptr ? m_view->GetPalette()->GetColorTable() : nullptr;
    CommandBar::Hooks hooks;
    hooks.run = [this](int id) { m_view->Commands().Run(id); };
    hooks.state = [this](int id) { return m_view->Commands().State(id); };
    hooks.closed = [this](const CommandBarSpec& bar) { OnBarHidden(bar); };
    for (const CommandBarSpec& spec : CommandBars()) {
        const std::vector<wxBitmap> images = LoadStrip(CommandBarPictureName(spec), kBarImageSize,
                                                       static_cast<int>(spec.buttons.size()), table);
        auto* bar = new CommandBar(this, spec, images, hooks);
        bar->Hide();
        m_bars.push_back(bar);
    }
}

void CMainFrame::BindMouseAndKeys()
{
    auto at = [](const wxMouseEvent& e) { return PointI{e.GetX(), e.GetY()}; };
    m_canvas->Bind(wxEVT_MOTION, [this, at](wxMouseEvent& e) {
        e.Skip();
        m_view->OnMouseMove(at(e));
    });
    m_canvas->Bind(wxEVT_LEFT_DOWN, [this, at](wxMouseEvent& e) {
        e.Skip();
        m_canvas->SetFocus();
        const SizeI box{wxSystemSettings::GetMetric(wxSYS_DCLICK_X, m_canvas),
                        wxSystemSettings::GetMetric(wxSYS_DCLICK_Y, m_canvas)};
        int ms = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, m_canvas);
        if (ms <= 0) ms = 400;
        if (!m_presses.IsClick(e.GetTimestamp(), at(e), ms, {std::max(box.cx, 4), std::max(box.cy, 4)}))
            return;
        m_view->OnMouseMove(at(e));
        m_view->OnLButtonDown(at(e));
    });
    m_canvas->Bind(wxEVT_LEFT_DCLICK, [this, at](wxMouseEvent& e) {
        e.Skip();
        m_view->OnMouseMove(at(e));
        m_view->OnLButtonDblClk(at(e));
    });
    m_canvas->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& e) {
        wxPoint p = e.GetPosition();
        p = p == wxDefaultPosition ? m_canvas->ScreenToClient(wxGetMousePosition())
                                   : m_canvas->ScreenToClient(p);
        m_view->OnContextMenu({p.x, p.y});
    });
    // The keys move the map as its scroll bars do.
    m_canvas->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
        const struct {
            int key, bar;
            ScrollCode code;
        } keys[] = {{WXK_LEFT, 0, ScrollCode::LineUp},   {WXK_RIGHT, 0, ScrollCode::LineDown},
                    {WXK_UP, 1, ScrollCode::LineUp},     {WXK_DOWN, 1, ScrollCode::LineDown},
                    {WXK_PAGEUP, 1, ScrollCode::PageUp}, {WXK_PAGEDOWN, 1, ScrollCode::PageDown},
                    {WXK_HOME, 1, ScrollCode::Top},      {WXK_END, 1, ScrollCode::Bottom}};
        if (e.HasAnyModifiers()) {
            e.Skip();
            return;
        }
        for (const auto& k : keys) {
            if (e.GetKeyCode() != k.key) continue;
            if (m_view->m_dwDispOption & kDispMapShown) m_view->OnScroll(k.bar, k.code);
            return;
        }
        e.Skip();
    });
}

// --- layout, clock, caption ----------------------------------------------------------------

void CMainFrame::LayoutPanes()
{
    if (m_canvas == nullptr || m_statusPane == nullptr) return;
    const wxSize client = GetClientSize();
    const SplitRows rows = SplitClientRows(client.y);
    m_canvas->SetSize(0, 0, client.x, rows.map);
    m_statusPane->SetSize(0, rows.map, client.x, rows.status);
}

void CMainFrame::OnSize(wxSizeEvent&)
{
    LayoutPanes();
    // The information screen is laid out for the new size at once.
    if (m_view && (m_view->m_dwDispOption & kDispMapShown) == 0) m_view->RecalcViewLayout(0);
    OnPlacement();
}

void CMainFrame::UpdateClock()
{
    const wxDateTime now = wxDateTime::Now();
    SetStatusText(FromSjis(FormatClock(now.GetHour(), now.GetMinute())), 1);
}

void CMainFrame::SetCaption(const std::string& caption)
{
    SetTitle(FromSjis(caption));
}

void CMainFrame::RemoveMenuCommand(int id)
{
    wxMenuBar* bar = GetMenuBar();
    wxMenu* owner = nullptr;
    wxMenuItem* item = bar != nullptr ? bar->FindItem(id, &owner) : nullptr;
    if (item != nullptr && owner != nullptr) owner->Destroy(item);
}

void CMainFrame::ActivateMainWindow()
{
    // Raised only when another window is active: a raise would cover the
    // windows floating over the frame where no window manager keeps them up.
    if (!IsActive()) Raise();
    m_canvas->SetFocus();
}

void CMainFrame::EnableViewAndFrame(bool enable)
{
    m_canvas->Enable(enable);
    Enable(enable);
}

// --- commands --------------------------------------------------------------------------

void CMainFrame::SendCommand(int id)
{
    m_view->Commands().Run(id);
}

void CMainFrame::OnCommand(wxCommandEvent& e)
{
    m_view->Commands().Run(e.GetId());
}

void CMainFrame::OnUpdateCommand(wxUpdateUIEvent& e)
{
    const CommandState s = m_view->Commands().State(e.GetId());
    e.Enable(s.enabled);
    if (std::find(m_checkIds.begin(), m_checkIds.end(), e.GetId()) != m_checkIds.end()) e.Check(s.checked);
}

void CMainFrame::ShowContextMenu(PointI client, const std::vector<int>& greyed)
{
    wxMenu menu;
    for (const MenuLine& l : MapContextMenu()) {
        if (l.row == MenuRow::Separator) menu.AppendSeparator();
        if (l.row != MenuRow::Item) continue;
        menu.Append(l.id, FromSjis(l.text));
        // A command that nobody handles yet cannot be chosen either.
        const bool off =
            std::find(greyed.begin(), greyed.end(), l.id) != greyed.end() || !m_view->Commands().Has(l.id);
        menu.Enable(l.id, !off);
    }
    // Update handlers do not judge this menu: the view has greyed it.
    menu.Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Skip(false); });
    m_bContextMenuUp = true;
    m_contextGreyed = greyed;
    WriteStateReport();
    const int chosen = m_canvas->GetPopupMenuSelectionFromUser(menu, wxPoint(client.x, client.y));
    m_bContextMenuUp = false;
    if (chosen != wxID_NONE) m_view->Commands().Run(chosen);
}

void CMainFrame::OnGameExit()
{
    const COUNTRYSTRUCT* cur = m_doc.m_pCurCountry;
    if (cur != nullptr && (cur->dwFlag & kCountryConfirm) &&
        Dialogs().MessageBox("本当にゲームを終了しますか？", kBoxOkCancel | kBoxIconQuestion) != kAnswerOk)
        return;
    Close();
}

void CMainFrame::OnHelpFinder()
{
    // No help file ships; one put beside the program has its folder opened.
    const std::string path = HelpFilePath();
    if (platform::FileExistsSjis(path)) {
        const std::filesystem::path native(platform::ToNativePath(path));
        wxLaunchDefaultApplication(wxString::FromUTF8(native.parent_path().string()));
        return;
    }
    Dialogs().MessageBox("ヘルプファイル(ZRVHelp.hlp)はありません", kBoxOk | kBoxIconInformation);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg(this).ShowModal();
}

// --- command bars ------------------------------------------------------------------------

CommandBar* CMainFrame::FindBar(int controlId) const
{
    for (CommandBar* b : m_bars)
        if (b->Spec().controlId == controlId) return b;
    return nullptr;
}

void CMainFrame::ToggleCommandBar(CommandBar& bar)
{
    if (bar.IsShown()) {
        bar.HideBar();
        return;
    }
    m_view->m_dwState |= bar.StateBit();
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxPoint mouse = wxGetMousePosition();
    const PointI drop = GetBarDropPoint({mouse.x, mouse.y});
    const wxSize size = bar.GetSize();
    const PointI at = ClampBarToWorkArea(drop, {size.x, size.y}, {area.width, area.height});
    bar.ShowAt(wxPoint(at.x, at.y));
}

void CMainFrame::CatchCommandBar(CommandBar& bar)
{
    if (!bar.IsShown()) return;
    const wxPoint mouse = wxGetMousePosition();
    const PointI at = GetBarDropPoint({mouse.x, mouse.y});
    bar.ShowAt(wxPoint(at.x, at.y));
}

void CMainFrame::OnBarHidden(const CommandBarSpec& bar)
{
    CZRKGameView& v = *m_view;
    // A hidden bar drops the selection while the main bar serves no order
    // being entered, whichever bar it was.
    if ((v.m_dwState & kViewOrderEntry) == 0 && (v.m_dwState & kViewMainCommandBar) != 0)
        v.m_pSelUnit = nullptr;
    v.OnCommandBarClosed(bar.stateBit);
}

// --- close and placement ----------------------------------------------------------------

bool CMainFrame::WantsClose() const
{
    return !m_bClosing && m_view && (m_view->m_dwState & kViewCloseNow) != 0;
}

void CMainFrame::OnClose(wxCloseEvent&)
{
    if (m_bClosing) return;
    switch (DecideFrameClose(m_view->m_dwState, IsIconized(), IsMaximized())) {
        case FrameClose::Deferred:
            // The idle pass closes once the step running now is done.
            wxWakeUpIdle();
            return;
        case FrameClose::CloseKeepingRect: {
            const wxRect r = GetRect();
            m_view->SaveWindowRect("GameWindow", {r.x, r.y, r.x + r.width - 1, r.y + r.height - 1});
            break;
        }
        case FrameClose::Close:
            break;
    }
    m_bClosing = true;
    m_clock.Stop();
    m_unattended.Stop();
    // The view goes with the frame (its destructor writes the profile
    // values); paints still queued meanwhile find it alive.
    m_view->m_bDestroyed = 1;
    for (CommandBar* b : m_bars) b->Destroy();
    m_bars.clear();
    Destroy();
}

void CMainFrame::OnPlacement()
{
    if (!m_view) return;
    switch (m_music.OnPlacement(IsIconized(), m_doc.m_pCurCountry)) {
        case MinimisedMusic::Action::Stop:
            m_view->CloseCDAudio();
            break;
        case MinimisedMusic::Action::Play:
            m_view->Sound().PlayCDTrack(m_doc.m_pCurCountry->nBGM, false);
            break;
        case MinimisedMusic::Action::None:
            break;
    }
}

void CMainFrame::OnUnattendedTick(wxTimerEvent&)
{
    ++m_nUnattendedTicks;
    CZRKGameView& view = *m_view;
    const bool shown = (view.m_dwDispOption & kDispMapShown) != 0;
    if (!shown && m_doc.m_GameData.nFlowState == PHASE_WAITCLICK) view.OnInfoScreenClick();
    const bool done = (view.m_dwDispOption & kDispMapShown) && m_doc.m_pViewCountry != nullptr &&
                      (view.m_dwState & kViewBusy) == 0;
    if (!done && m_nUnattendedTicks < kUnattendedTickLimit) return;
    // A game that never waits for a click (computer phases only) is shown
    // as it stands when the time is up.
    if (!(view.m_dwDispOption & kDispMapShown)) view.ApplyViewOptions(kDispMapShown, kDispMapShown);
    m_unattended.Stop();
    view.RedrawMap(true);
    CallAfter([this] { Close(true); });
}

// --- the test report ----------------------------------------------------------------------

std::string CMainFrame::StateReport() const
{
    const CZRKGameView& v = *m_view;
    std::ostringstream out;
    out << "caption " << GetTitle().utf8_string() << "\n";
    out << "map " << ((v.m_dwDispOption & kDispMapShown) ? 1 : 0) << "\n";
    out << "phase " << m_doc.m_GameData.nFlowState << "\n";
    std::string banner = platform::SjisToUtf8(v.m_szBanner);
    std::replace(banner.begin(), banner.end(), '\n', '|');
    out << "banner " << banner << "\n";
    out << "state " << v.m_dwState << "\n";
    out << "mode " << v.m_nCmdMode << "\n";
    const UNITSTRUCT* sel = v.m_pSelUnit;
    out << "selected " << (sel != nullptr ? GetUnitMapHex(m_doc.m_GameData, *sel) : -1) << "\n";
    int marked = 0;
    for (uint32_t m : v.m_dwHexMarkView) marked += (m & 0xFF) != 0;
    out << "marked " << marked << "\n";
    out << "bars";
    for (const CommandBar* b : m_bars)
        if (b->IsShown()) out << " " << b->Spec().controlId;
    out << "\n";
    for (const CommandBar* b : m_bars) {
        if (!b->IsShown()) continue;
        const wxRect r = b->GetScreenRect();
        out << "bar " << b->Spec().controlId << " " << r.x << " " << r.y << " " << r.width << " " << r.height
            << "\n";
    }
    const PointI scroll = v.GetScrollPosition();
    out << "scroll " << scroll.x << " " << scroll.y << "\n";
    out << "disp " << v.m_dwDispOption << "\n";
    // The overview window: its outer rectangle, then its client's.
    for (const wxWindow* w : GetChildren()) {
        const auto* t = dynamic_cast<const wxTopLevelWindow*>(w);
        if (t == nullptr || !t->IsShown() || t->GetTitle() != FromSjis(kOverviewCaption)) continue;
        const wxRect r = t->GetScreenRect();
        const wxPoint o = t->ClientToScreen(wxPoint(0, 0));
        const wxSize cs = t->GetClientSize();
        out << "smap " << r.x << " " << r.y << " " << r.width << " " << r.height << " " << o.x << " " << o.y << " "
            << cs.x << " " << cs.y << "\n";
    }
    const wxPoint origin = m_canvas->ClientToScreen(wxPoint(0, 0));
    const wxSize client = m_canvas->GetClientSize();
    const wxRect whole = m_canvas->GetScreenRect();
    out << "canvas " << origin.x << " " << origin.y << " " << client.x << " " << client.y << " " << whole.x << " "
        << whole.y << " " << whole.width << " " << whole.height << "\n";
    const wxPoint mouse = wxGetMousePosition();
    out << "pointer " << mouse.x << " " << mouse.y << "\n";
    if (const wxStatusBar* sb = GetStatusBar()) {
        wxRect pane;
        sb->GetFieldRect(1, pane);
        out << "clock " << pane.width << " " << sb->GetStatusText(1).utf8_string() << "\n";
    }
    out << "contextmenu " << (m_bContextMenuUp ? 1 : 0);
    if (m_bContextMenuUp)
        for (int id : m_contextGreyed) out << " " << id;
    out << "\n";
    // The own units that may be selected now, each at the middle of the
    // client points that hit its hex; whether its move test passes.
    if ((v.m_dwDispOption & kDispMapShown) && v.m_pCurCountry != nullptr && v.m_nCmdMode != kModeNone) {
        std::map<HEXINDEX, std::array<long long, 3>> hits;
        for (int y = 2; y < client.y; y += 4)
            for (int x = 2; x < client.x; x += 4) {
                const HEXINDEX h = v.ClientPointToHex(x, y);
                if (h < 0) continue;
                auto& s = hits[h];
                s[0] += x, s[1] += y, ++s[2];
            }
        for (const UNITSTRUCT& u : v.m_pCurCountry->Unit) {
            if ((u.dwFlag & kUnitInUse) == 0 || (u.dwFlag & (kUnitActed | kUnitCarried)) != 0) continue;
            const auto it = hits.find(u.nHex);
            if (it == hits.end() || it->second[2] < 40) continue;
            const auto& s = it->second;
            // On copies: the report changes nothing the game keeps.
            UNITSTRUCT copy = u;
            std::vector<uint32_t> grid(kHexCount), reach(kHexCount);
            const ARMSSTRUCT* arms = UnitArms(u);
            const bool moves = (arms == nullptr || (arms->dwArmsFlag & kArmsBombingMarchFlag) == 0) && CheckUnitMove(copy, m_doc.m_GameData, m_doc.m_dwHexCell,
                                             HexWords(grid.data(), kHexCount), HexWords(reach.data(), kHexCount),
                                             m_doc.m_MoveRules) == 0;
            out << "unit " << u.nHex << " " << s[0] / s[2] << " " << s[1] / s[2] << " " << (moves ? 1 : 0) << "\n";
        }
    }
    // The menu bar, popup titles and items with their ids.
    if (const wxMenuBar* bar = GetMenuBar()) {
        std::function<void(const wxMenu*)> walk = [&](const wxMenu* menu) {
            for (const wxMenuItem* item : menu->GetMenuItems()) {
                if (item->IsSeparator()) continue;
                if (item->IsSubMenu()) {
                    out << "popup " << item->GetItemLabelText().utf8_string() << "\n";
                    walk(item->GetSubMenu());
                    continue;
                }
                out << "item " << item->GetId() << " " << item->GetItemLabelText().utf8_string() << "\n";
            }
        };
        for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
            out << "popup " << bar->GetMenuLabelText(i).utf8_string() << "\n";
            walk(bar->GetMenu(i));
        }
    }
    return out.str();
}

void CMainFrame::WriteStateReport()
{
    if (m_reportPath.empty() || !m_view || m_bClosing) return;
    std::string text = StateReport();
    if (text == m_lastReport) return;
    const std::string temp = m_reportPath + ".new";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f << text;
        if (!f) return;
    }
    std::error_code ec;
    std::filesystem::rename(temp, m_reportPath, ec);
    if (!ec) m_lastReport = std::move(text);
}

CMainFrame* CreateBattleFrame(CZRKGameDoc& doc, std::function<void()> startup)
{
    return new CMainFrame(doc, &platform::ProgramSettings(), std::move(startup));
}

CMainFrame* OpenBattleFrame(CZRKGameDoc& doc, std::function<void()> startup)
{
    CMainFrame* frame = CreateBattleFrame(doc, std::move(startup));
    frame->Show();
    return frame;
}

}  // namespace zrv
