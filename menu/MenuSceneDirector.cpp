#include "menu/MenuSceneDirector.h"

#include <algorithm>
#include <cstring>

#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/DrawHelpers.h"
#include "menu/MenuDoc.h"
#include "menu/MenuView.h"
#include "platform/gfx/Font8.h"

namespace zrv {

namespace {

constexpr int kLogoCount = 3;
constexpr const char* kLogoFiles[kLogoCount] = {"TIRNLOGO.PXS", "CopyRgh2.PXS", "QBLOGO.PXS"};
constexpr const char* kLogoPalette = "TIRNLOGO.PLB";
constexpr int kLogoStep = 8;
constexpr int kLogoHoldTicks = 10;
// The text colour of the scenes (colour code 5).
constexpr int kSceneTextColour = 5;
constexpr int kCreditRestoreRight = 30;

}  // namespace

CreditLine FirstCreditLine(int offset, int areaY, int areaHeight, int gap, int fontSize)
{
    const int pitch = std::max(1, gap + fontSize);
    const int s = offset - areaHeight;
    if (s < 0) return {0, areaY - s};
    if (s % pitch < fontSize) return {s / pitch, areaY - s % pitch};
    return {s / pitch + 1, areaY + pitch - s % pitch};
}

MenuSceneDirector::MenuSceneDirector(CZRKMenuView& view) : m_view(view)
{
    WirePainter();
}

MenuSceneDirector::~MenuSceneDirector() = default;

void MenuSceneDirector::TakeCampaign()
{
    m_pRecord = m_campaign ? m_campaign() : nullptr;
    m_painter.SetCampaign(m_pRecord);
    m_engine.SetCampaign(m_pRecord);
    m_painter.SetPictures(m_view.GetDib(), m_view.WorldMapPicture(), m_view.WorkPicture(), m_view.FlagSheetPicture());
}

void MenuSceneDirector::WirePainter()
{
    WorldMapPainter::ViewLink link;
    link.scroll = [this] { return m_view.GetScrollPosition(); };
    link.setScroll = [this](int x, int y) { m_view.SetScrollPosition(x, y); };
    link.client = [this] { return m_view.GetClientSize(); };
    link.update = [this] { m_view.BlitOSB(nullptr); };
    link.loadPicture = [this](const char* name) { return m_view.LoadPicture(name); };
    link.loadPalette = [this](const char* name, bool darken) {
        const bool ok = name != nullptr && name[0] != '\0' && m_view.LoadAndApplyPalette(name);
        if (darken) {
            SaveFadeBase();
            ApplyFadeLevel(0);
        }
        return ok;
    };
    link.drawGlyph = [this](int x, int y, std::string_view ch, int height) { DrawGlyph(x, y, ch, height); };
    link.setScreenState = [this](int state) { m_view.SetScreenState(state); };
    m_painter.SetView(std::move(link));
}

void MenuSceneDirector::DrawGlyph(int x, int y, std::string_view ch, int height)
{
    std::unique_ptr<platform::Font> font;
    if (!CreateGothicFont(&font, height, 700, nullptr)) return;
    DrawContext& dc = m_view.GetDC();
    const platform::Font* old = dc.SelectFont(font.get());
    DrawColorText(&dc, x, y, ch, kSceneTextColour);
    dc.SelectFont(old);
    const PointI s = m_view.GetScrollPosition();
    const platform::Rect r{x - s.x, y - s.y, x - s.x + height * 2, y - s.y + height + 4};
    m_view.BlitOSB(&r);
}

// ---- host ----

bool MenuSceneDirector::StartTimer(int id, int periodMs)
{
    return m_window.startTimer && m_window.startTimer(id, periodMs);
}

void MenuSceneDirector::KillTimer(int id)
{
    if (m_window.killTimer) m_window.killTimer(id);
}

void MenuSceneDirector::PlayEffect(int effect)
{
    m_view.PlaySceneEffect(effect);
}

void MenuSceneDirector::SaveFadeBase()
{
    const CDibPal* pal = m_view.GetPalette();
    if (pal == nullptr || pal->GetColorTable() == nullptr) return;
    m_fadeBase.assign(pal->GetColorTable(), pal->GetColorTable() + 256);
}

void MenuSceneDirector::ApplyFadeLevel(int level)
{
    CDibPal* pal = m_view.GetPalette();
    if (pal == nullptr || m_fadeBase.size() != 256) return;
    pal->FadeFromBlack(m_fadeBase.data(), std::clamp(level, 0, 256));
    pal->ApplyColorTable(m_view.GetDib());
    m_view.BlitOSB(nullptr);
}

void MenuSceneDirector::LockMenus(bool locked)
{
    if (m_window.lockMenus) m_window.lockMenus(locked);
}

int MenuSceneDirector::Random(int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(m_random);
}

// ---- scripts ----

int MenuSceneDirector::RunScript(std::span<const int32_t> script)
{
    // Without a window nothing would end the waits.
    if (!m_window.runLoop) return 0;
    TakeCampaign();
    if (!m_engine.Begin(script)) return 0;
    m_view.SetScrollLock(0);
    m_engine.Pump();
    if (m_engine.Running()) {
        const bool closed = m_window.runLoop([this] {
            m_engine.Pump();
            return !m_engine.Running();
        });
        if (closed) m_engine.OnClose();
    }
    m_view.SetScrollLock(1);
    return m_engine.Result();
}

void MenuSceneDirector::ShowWorldMap(int scenario)
{
    TakeCampaign();
    m_view.SetScreenState(CZRKMenuView::kWorldMap);
    m_view.LoadAndApplyPalette("Menu.PLB");
    m_painter.SetupForScenario(scenario);
    const PointI c = ScenarioCentre(scenario);
    m_painter.Centre(c.x, c.y, true);
}

int MenuSceneDirector::RunResultScene()
{
    m_engine.SetScenario(m_view.FinishedScenario());
    m_engine.SetOutcome(m_view.Outcome());
    return RunScript(ResultScript());
}

int MenuSceneDirector::StartBriefing(int kind)
{
    if (!m_window.runLoop) return 0;
    TakeCampaign();
    const int next = m_pRecord != nullptr ? m_pRecord->nNextScenario : -1;
    if (kind == 0) {
        m_view.SetScreenState(CZRKMenuView::kWorldMap);
        m_view.LoadAndApplyPalette("Menu.PLB");
        m_painter.SetFlags(m_painter.Flags() | kSceneCityFlags);
        m_painter.SetupForScenario(-1);
        const PointI c = ScenarioCentre(m_pRecord != nullptr ? m_pRecord->nLastScenario : -1);
        m_painter.Centre(c.x, c.y, true);
    } else {
        m_painter.SetFlags(m_painter.Flags() & ~kSceneCityFlags);
        m_painter.Redraw(false);
    }
    m_engine.SetScenario(next);
    return RunScript(BriefingScript());
}

void MenuSceneDirector::StartEnding(const CAMPAIGNSTRUCT& record)
{
    const int64_t index = -(static_cast<int64_t>(record.nNextScenario) + 1);
    if (index < 0 || index >= static_cast<int64_t>(Lib().EndingDirectTable.size())) {
        m_view.BackToTitle();
        return;
    }
    const ENDINGSTRUCT& e = Lib().EndingDirectTable[static_cast<size_t>(index)];
    TakeCampaign();
    m_view.SetScreenState(CZRKMenuView::kWorldMap);
    m_painter.SetFlags(m_painter.Flags() & ~kSceneCityFlags);
    m_painter.HideFrame();
    m_painter.Paint(false);
    m_painter.Prerender();
    m_engine.SetPictures(e.pPicture != nullptr && e.nPictureCount > 0
                             ? std::span<const ENDINGPICTURE>(e.pPicture, static_cast<size_t>(e.nPictureCount))
                             : std::span<const ENDINGPICTURE>());
    m_view.Sound().PlayCDTrack(e.nTrack, false);
    const std::vector<int32_t> words = SceneEngine::ScriptFrom(e.pScript);
    if (RunScript(words) == 0) m_view.BackToTitle();
}

void MenuSceneDirector::OnSceneClick()
{
    m_engine.OnClick();
}

void MenuSceneDirector::OnTimer(int id)
{
    if (id == kTimerLogoIn || id == kTimerLogoOut || id == kTimerLogoHold) {
        LogoTick(id);
    } else if (id == kTimerCredits) {
        CreditTick();
    } else {
        m_engine.OnTimer(id);
    }
}

// ---- logos ----

bool MenuSceneDirector::StartLogos()
{
    if (!m_window.startTimer) return false;
    m_nLogo = 0;
    m_view.SetScreenState(CZRKMenuView::kLogos);
    ShowLogo();
    return true;
}

void MenuSceneDirector::ShowLogo()
{
    m_view.SetScreenState(CZRKMenuView::kLogos);
    CDib* logo = m_view.LogoPicture();
    if (m_nLogo > 0) {
        m_pLogo = m_view.LoadPicture(kLogoFiles[m_nLogo]);
        logo = m_pLogo.get();
    }
    CDib* buffer = m_view.GetDib();
    if (buffer != nullptr) {
        buffer->ClearBits(0);
        if (logo != nullptr) {
            const SizeI c = m_view.GetClientSize();
            const int x = std::max(0, (c.cx - logo->GetWidth()) / 2), y = std::max(0, (c.cy - logo->GetHeight()) / 2);
            logo->CopyRect(buffer, x, y, logo->GetWidth(), logo->GetHeight(), 0, 0, -1);
        }
    }
    m_view.LoadAndApplyPalette(kLogoPalette);
    if (m_nLogo == 0) LockMenus(true);
    SaveFadeBase();
    m_nLogoLevel = 0;
    ApplyFadeLevel(0);
    if (m_nLogo == 0) PlayEffect(1);
    if (m_nLogo == 2) PlayEffect(10);
    if (!StartTimer(kTimerLogoIn, kSceneTickMs)) {
        // No timer: the logo shows at full brightness and the title follows.
        ApplyFadeLevel(256);
        m_nLogo = kLogoCount - 1;
        LogoTick(kTimerLogoOut);
    }
}

void MenuSceneDirector::LogoTick(int id)
{
    if (m_nLogo < 0) return;
    if (id == kTimerLogoIn) {
        m_nLogoLevel = std::min(256, m_nLogoLevel + kLogoStep);
        ApplyFadeLevel(m_nLogoLevel);
        if (m_nLogoLevel >= 256) {
            KillTimer(kTimerLogoIn);
            m_nLogoHold = kLogoHoldTicks;
            StartTimer(kTimerLogoHold, kSceneTickMs);
        }
    } else if (id == kTimerLogoHold) {
        if (--m_nLogoHold <= 0) {
            KillTimer(kTimerLogoHold);
            m_nLogoLevel = 256;
            StartTimer(kTimerLogoOut, kSceneTickMs);
        }
    } else {
        m_nLogoLevel -= kLogoStep;
        ApplyFadeLevel(std::max(0, m_nLogoLevel));
        if (m_nLogoLevel >= 1) return;
        KillTimer(kTimerLogoOut);
        m_view.Sound().FreeAllSoundEffects();
        if (CDib* buffer = m_view.GetDib()) buffer->ClearBits(10);
        m_pLogo.reset();
        if (++m_nLogo >= kLogoCount) {
            m_nLogo = -1;
            LockMenus(false);
            m_view.BackToTitle();
            return;
        }
        ShowLogo();
    }
}

// ---- credits ----

bool MenuSceneDirector::StartCredits()
{
    CDib* background = m_view.CreditPicture();
    CDib* buffer = m_view.GetDib();
    if (buffer == nullptr) return false;
    m_view.SetScreenState(CZRKMenuView::kCredits);
    if (background != nullptr)
        background->CopyRect(buffer, 0, 0, background->GetWidth(), background->GetHeight(), 0, 0, -1);
    m_view.LoadAndApplyPalette("Credit2.PLB");
    m_nCreditOffset = 0;
    if (!m_pCreditFont) CreateGothicFont(&m_pCreditFont, Lib().g_nCreditFontSz, Lib().g_nCreditFontWg, nullptr);
    m_view.Sound().PlayCDTrack(2, false);
    m_view.BlitOSB(nullptr);
    m_bCredits = StartTimer(kTimerCredits, kSceneTickMs);
    if (!m_bCredits) Dialogs().MessageBox(TableText(Lib().ErrorMessage, 4), kBoxOk | kBoxIconStop);
    return true;
}

void MenuSceneDirector::CreditTick()
{
    if (!m_bCredits) return;
    const DataLibrary& lib = Lib();
    CDib* buffer = m_view.GetDib();
    CDib* background = m_view.CreditPicture();
    if (buffer == nullptr) return;
    const int x0 = lib.g_nCreditX, y0 = lib.g_nCreditY, w = lib.g_nCreditHSize, h = lib.g_nCreditVSize;
    const int font = lib.g_nCreditFontSz, pitch = std::max(1, lib.g_nCreditGap + font);
    if (background != nullptr) background->CopyRect(buffer, x0, y0, w, h, x0, y0, -1);
    CreditLine line = FirstCreditLine(m_nCreditOffset, y0, h, lib.g_nCreditGap, font);
    const bool scrolledIn = m_nCreditOffset - h >= 0;
    bool allEmpty = true;
    DrawContext& dc = m_view.GetDC();
    const platform::Font* old = dc.SelectFont(m_pCreditFont.get());
    const COLORREF oldColour = dc.SetTextColor(lib.g_rgbFontColor);
    for (int i = line.index, y = line.y; y < y0 + h; ++i, y += pitch) {
        // Lines past the table are empty.
        const char* text = i >= 0 && static_cast<size_t>(i) < lib.MsgCredit.size() ? lib.MsgCredit[static_cast<size_t>(i)]
                                                                                    : "";
        if (text == nullptr || text[0] == '\0') continue;
        allEmpty = false;
        dc.TextOut(x0, y, text);
    }
    dc.SetTextColor(oldColour);
    dc.SelectFont(old);
    if (background != nullptr) {
        // Partly drawn lines never show outside the area.
        background->CopyRect(buffer, x0, y0 - font, w + kCreditRestoreRight, font, x0, y0 - font, -1);
        background->CopyRect(buffer, x0, y0 + h, w + kCreditRestoreRight, font, x0, y0 + h, -1);
        background->CopyRect(buffer, x0 + w, y0, kCreditRestoreRight, h, x0 + w, y0, -1);
    }
    const platform::Rect shown{x0, y0 - font, x0 + w + kCreditRestoreRight, y0 + h + font};
    m_view.BlitOSB(&shown);
    ++m_nCreditOffset;
    if (scrolledIn && allEmpty) EndCredits();
}

void MenuSceneDirector::EndCredits()
{
    if (m_bCredits) KillTimer(kTimerCredits);
    m_bCredits = false;
    m_pCreditFont.reset();
    m_view.BackToTitle();
}

}  // namespace zrv
