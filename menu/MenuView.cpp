#include "menu/MenuView.h"

#include <algorithm>
#include <cstdio>

#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/HandOver.h"
#include "platform/core/Paths.h"
#include "platform/core/Settings.h"
#include "platform/core/SharedBlock.h"

namespace zrv {

namespace {

constexpr int kTitleWidth = 640;
constexpr int kTitleHeight = 480;
constexpr int kTitleLogoX = 107;
constexpr int kTitleLogoY = 21;

constexpr platform::Rect Box(int x, int y, int w, int h)
{
    return {x, y, x + w, y + h};
}

// Our own wording: the scenes of single units need this block.
constexpr const char* kNoSceneBlock = "戦闘場面用の共有メモリを作れません。\n戦闘場面は表示されません。";

}  // namespace

// The five title buttons: where each is drawn, where its highlighted image
// lies below the visible screen of the background, where it is hit, and what
// a click does. The second one is drawn with the title but never reacts.
const std::array<CZRKMenuView::TitleButton, CZRKMenuView::kTitleButtonCount> CZRKMenuView::kTitleButtons = {{
    {Box(30, 216, 193, 18), 0, 480, {30, 216, 223, 234}, kCmdNewCampaign},
    {Box(415, 216, 195, 18), 210, 480, {-1, 0, 0, 0}, kCmdNewScenario},
    {Box(30, 266, 148, 18), 0, 500, {30, 266, 178, 284}, kCmdResume},
    {Box(336, 266, 274, 18), 210, 500, {336, 266, 610, 284}, kCmdWeaponGuide},
    {Box(234, 314, 174, 18), 0, 520, {234, 314, 408, 332}, 0},
}};

CZRKMenuView::CZRKMenuView(platform::SettingsStore* settings)
    : COSBView(ProgramVariant::Menu), m_pSettings(settings), m_sound(m_dwViewFlags, m_dwSceneFlags, ViewSound::Kind::Menu)
{
}

CZRKMenuView::~CZRKMenuView()
{
    SaveViewFlags();
}

void CZRKMenuView::SaveViewFlags()
{
    if (m_bSaved || m_pSettings == nullptr) return;
    m_bSaved = true;
    m_pSettings->WriteInt(kMenuProfileSection, "ViewFlags", static_cast<long>(ViewFlagsToStore(m_dwViewFlags)));
    m_pSettings->Flush();
}

std::string CZRKMenuView::ProgramFile(const char* name) const
{
    return platform::ProgramFolder() + name;
}

std::unique_ptr<CDib> CZRKMenuView::LoadPicture(const char* name) const
{
    const RgbQuad* table = GetPalette() != nullptr ? GetPalette()->GetColorTable() : nullptr;
    auto dib = std::make_unique<CDib>();
    if (!dib->CreateFromPXS(table, ProgramFile(name))) dib.reset();
    return dib;
}

void CZRKMenuView::LoadPictures()
{
    const RgbQuad* table = GetPalette() != nullptr ? GetPalette()->GetColorTable() : nullptr;
    // A picture that cannot be loaded leaves its member empty.
    auto load = [&](std::unique_ptr<CDib>& dib, const char* name) {
        dib = std::make_unique<CDib>();
        if (!dib->CreateFromPXS(table, ProgramFile(name))) dib.reset();
    };
    load(m_pLogoDib, "TIRNLOGO.PXS");
    load(m_pTitleDib, "TitleTR2.PXS");
    load(m_pTitleLogoDib, "TitleLo2.PXS");
    load(m_pCreditDib, "Credit2.PXS");
    load(m_pMapDib, "Euromap2.PXS");
    m_pWorkDib.reset();
    if (m_pMapDib) {
        m_pWorkDib = std::make_unique<CDib>();
        if (!m_pWorkDib->Create(m_pMapDib->GetWidth(), m_pMapDib->GetHeight(), table)) m_pWorkDib.reset();
    }
    load(m_pFlagSheetDib, "Eurofla2.PXS");
    load(m_pFlagsDib, "flags.pxs");
    load(m_pUnitDib, "unit2.pxs");
    load(m_pSpecDib, "spec2.pxs");
    load(m_pWeaponDib, "weapon.pxs");
}

void CZRKMenuView::OnInitialUpdate()
{
    // Whatever an earlier first update left goes first.
    for (auto* p : {&m_pLogoDib, &m_pTitleDib, &m_pTitleLogoDib, &m_pCreditDib, &m_pMapDib, &m_pWorkDib,
                    &m_pFlagSheetDib, &m_pFlagsDib, &m_pUnitDib, &m_pSpecDib, &m_pWeaponDib})
        p->reset();

    uint32_t flags = kViewFlagsDefault;
    if (m_pSettings != nullptr) {
        if (auto v = m_pSettings->ReadInt(kMenuProfileSection, "ViewFlags")) flags = static_cast<uint32_t>(*v);
    }
    // Effects are always on at the start; music only after a battle asked for it.
    m_dwViewFlags = (flags | kOptionSoundEffects) & ~kOptionMusic;

    CreateOSB(ProgramFile("Title2.PLB"));
    LoadPictures();

    SetScrollPosition(0, 0);
    ResetScrollRange();
    m_sound.InitDirectSound(false);
    m_sound.OpenCDAudio(false);

    if (!m_sceneLink.Create()) Dialogs().MessageBox(kNoSceneBlock, kBoxOk | kBoxIconExclamation);
    MakeTitleDialog();

    uint32_t code = GMC_FIRSTSTART;
    if (m_pBlock != nullptr) m_pBlock->ReadU32(0, code);
    DispatchReturnCode(code);
}

void CZRKMenuView::DispatchReturnCode(uint32_t code)
{
    int track = 1;
    switch (code) {
        case GMC_FIRSTSTART:
            if (m_pScenes->StartLogos()) {
                SetScreenState(kLogos);
            } else {
                DrawTitle();
            }
            break;
        case GMC_RETURNTOTITLE: {
            uint32_t option = m_dwViewFlags;
            if (m_pBlock != nullptr) m_pBlock->ReadU32(offsetof(GAMEMENUSTRUCT, dwViewOption), option);
            m_dwViewFlags = option;
            DrawTitle();
            break;
        }
        case GMC_CAMPAIGNNEXT: {
            constexpr size_t kRecord = offsetof(GAMEMENUSTRUCT, Campaign);
            uint32_t option = m_dwViewFlags, outcome = 0, finished = 0;
            if (m_pBlock != nullptr) {
                m_pBlock->ReadU32(kRecord + offsetof(CAMPAIGNSTRUCT, dwViewOption), option);
                m_pBlock->ReadU32(offsetof(GAMEMENUSTRUCT, nParam), outcome);
                m_pBlock->ReadU32(kRecord + offsetof(CAMPAIGNSTRUCT, nLastScenario), finished);
            }
            m_dwViewFlags = option;
            // Both index tables further on: a value outside them names no
            // outcome and no scenario, and the scenes then show nothing for it.
            const int32_t o = static_cast<int32_t>(outcome), f = static_cast<int32_t>(finished);
            m_nOutcome = o >= 0 && o <= 2 ? o : -1;
            m_nFinishedScenario = f >= 0 && f < Lib().g_nMaxScnr ? f : -1;
            SetScreenState(kWorldMap);
            m_pScenes->ShowWorldMap(m_nFinishedScenario);
            if (m_setDeferredAction) m_setDeferredAction(1);
            track = 2;
            break;
        }
        default:
            // 0, and 2-5 (a menu started by hand before the battle took its
            // command): the title, so no click lands on unseen buttons.
            DrawTitle();
            break;
    }
    if (code != GMC_FIRSTSTART && (m_dwViewFlags & kOptionMusic) != 0) m_sound.PlayCDTrack(track, false);
}

void CZRKMenuView::SetScreenState(int state)
{
    m_nScreenState = state;
    ResetScrollRange();
}

void CZRKMenuView::ResetScrollRange()
{
    if (m_nScreenState == kWorldMap && m_pMapDib) {
        SetHexScrollSizes(m_pMapDib->GetWidth() - 1, m_pMapDib->GetHeight() - 1);
    } else {
        SetHexScrollSizes(0, 0);
        SetScrollPosition(0, 0);
    }
    if (m_scrollRangeChanged) m_scrollRangeChanged();
}

PointI CZRKMenuView::DisplayOffset() const
{
    // A larger client shows the picture centred; a smaller one from its top-left.
    const SizeI client = GetClientSize();
    return {std::max(0, (client.cx - kTitleWidth) / 2), std::max(0, (client.cy - kTitleHeight) / 2)};
}

void CZRKMenuView::DrawTitle()
{
    m_nScreenState = kTitle;
    ResetScrollRange();
    m_nHighlight = -1;
    CDib* buffer = GetDib();
    if (buffer == nullptr) return;
    if (m_pTitleDib) m_pTitleDib->CopyRect(buffer, 0, 0, kTitleWidth, kTitleHeight, 0, 0, -1);
    if (m_pTitleLogoDib)
        m_pTitleLogoDib->CopyRect(buffer, kTitleLogoX, kTitleLogoY, m_pTitleLogoDib->GetWidth(),
                                  m_pTitleLogoDib->GetHeight(), 0, 0, 0);
    ShowTitleRect({0, 0, kTitleWidth, kTitleHeight});
}

void CZRKMenuView::ShowTitleRect(const platform::Rect& r)
{
    const PointI off = DisplayOffset();
    const platform::Rect shown{r.left + off.x, r.top + off.y, r.right + off.x, r.bottom + off.y};
    // The centring offset moves the window rectangle, not the buffer's.
    if (off.x == 0 && off.y == 0) {
        BlitOSB(&shown);
    } else {
        BlitOSB(nullptr);
    }
}

void CZRKMenuView::BackToTitle()
{
    SetScreenState(kTitle);
    if (CDib* buffer = GetDib()) {
        buffer->ClearBits(0);
        BlitOSB(nullptr);
    }
    m_pChildDialogs->CloseCityPopup();
    DrawTitle();
    LoadAndApplyPalette("Title2.PLB");
    m_sound.PlayCDTrack(1, false);
}

bool CZRKMenuView::LoadAndApplyPalette(const char* name)
{
    RgbQuad colors[256] = {};
    if (GetPalette() == nullptr || !CDibPal::OpenPaletteFile(ProgramFile(name), colors)) return false;
    GetPalette()->SetColors(10, 236, colors + 10);
    GetPalette()->ApplyColorTable(GetDib());
    return true;
}

int CZRKMenuView::TitleButtonAt(int x, int y)
{
    for (int i = 0; i < kTitleButtonCount; ++i) {
        const platform::Rect& hit = kTitleButtons[i].hit;
        if (hit.left < 0) continue;
        if (x >= hit.left && x < hit.right && y >= hit.top && y < hit.bottom) return i;
    }
    return -1;
}

void CZRKMenuView::DrawButton(int index, bool highlighted)
{
    CDib* buffer = GetDib();
    if (buffer == nullptr || !m_pTitleDib || index < 0 || index >= kTitleButtonCount) return;
    const TitleButton& b = kTitleButtons[index];
    const int sx = highlighted ? b.sourceX : b.draw.left;
    const int sy = highlighted ? b.sourceY : b.draw.top;
    m_pTitleDib->CopyRect(buffer, b.draw.left, b.draw.top, b.draw.Width(), b.draw.Height(), sx, sy, -1);
}

void CZRKMenuView::PlayEffect(int effect)
{
    if (m_effectHook) m_effectHook(effect);
    m_sound.PlaySE(effect, -1, 0);
}

void CZRKMenuView::OnMouseMove(int x, int y)
{
    if (m_nScreenState != kTitle) return;
    const PointI off = DisplayOffset();
    const int button = TitleButtonAt(x - off.x, y - off.y);
    if (button == m_nHighlight) return;
    const int old = m_nHighlight;
    m_nHighlight = button;
    if (old >= 0) DrawButton(old, false);
    if (button >= 0) {
        DrawButton(button, true);
        PlayEffect(kEffectHover);
    }
    if (old >= 0) ShowTitleRect(kTitleButtons[old].draw);
    if (button >= 0) ShowTitleRect(kTitleButtons[button].draw);
}

void CZRKMenuView::OnLButtonDown(int x, int y)
{
    (void)x;
    (void)y;
    if (m_bLaunched) return;
    switch (m_nScreenState) {
        case kTitle:
            if (m_nHighlight < 0) return;
            PlayEffect(kEffectClick);
            ShowTitleRect(kTitleButtons[m_nHighlight].draw);
            if (kTitleButtons[m_nHighlight].command == 0) {
                if (m_pScenes->StartCredits()) SetScreenState(kCredits);
            } else if (m_postCommand) {
                m_postCommand(kTitleButtons[m_nHighlight].command);
            }
            break;
        case kLogos:
            break;
        case kCredits:
            m_pScenes->EndCredits();
            break;
        default:
            m_pScenes->OnSceneClick();
            break;
    }
}

void CZRKMenuView::OnMButtonDown()
{
    if (m_bScrollLock == 0) Dialogs().MessageBox(Lib().MsgDisableWheel, kBoxOk);
}

void CZRKMenuView::OnTimer(int id)
{
    m_pScenes->OnTimer(id);
}

void CZRKMenuView::OnMCINotify(uint32_t device)
{
    if (device == m_sound.CDDevice())
        m_sound.OnMCINotify(device);
    else if (device != 0 && device == m_nMovieDevice && m_pMovies)
        m_pMovies->OnMovieNotify(device);
}

bool CZRKMenuView::QueryCommand(int id, CommandState& state) const
{
    const bool title = m_nScreenState == kTitle;
    switch (id) {
        case kCmdSoundEffects:
            state = {m_sound.SoundReady(), m_sound.SoundReady() && (m_dwViewFlags & kOptionSoundEffects) != 0};
            return true;
        case kCmdMusic:
            state = {false, (m_dwViewFlags & kOptionMusic) != 0};
            return true;
        case kCmdNoMovie:
            state = {true, m_bNoMovie != 0};
            return true;
        case kCmdMovieSmall:
        case kCmdMovieLarge:
            state = {true, ((m_dwViewFlags & kViewMovieSmall) != 0) == (id == kCmdMovieSmall)};
            return true;
        case kCmdReceive:
        case kCmdSend:
        case kCmdNetwork:
            state = {title, false};
            return true;
        case kCmdNetworkAllowed:
            state = {true, m_bNetworkAllowed != 0};
            return true;
        default:
            if (id >= kCmdColorFirst && id <= kCmdColorLast) {
                state = {true, ((m_dwViewFlags & kViewColorMask) >> 20) == static_cast<uint32_t>(id - kCmdColorFirst)};
                return true;
            }
            return false;
    }
}

bool CZRKMenuView::RunCommand(int id)
{
    switch (id) {
        case kCmdSoundEffects:
            if (!m_sound.SoundReady()) {
                m_dwViewFlags &= ~kOptionSoundEffects;
                return true;
            }
            m_dwViewFlags ^= kOptionSoundEffects;
            return true;
        case kCmdMusic:
        case kCmdReceive:
        case kCmdSend:
        case kCmdNetwork:
        case kCmdNetworkAllowed:
            return true;
        case kCmdNoMovie:
            m_bNoMovie = !m_bNoMovie;
            return true;
        case kCmdMovieSmall:
            m_dwViewFlags |= kViewMovieSmall;
            return true;
        case kCmdMovieLarge:
            m_dwViewFlags &= ~kViewMovieSmall;
            return true;
        default:
            if (id >= kCmdColorFirst && id <= kCmdColorLast) {
                m_dwViewFlags = (m_dwViewFlags & ~kViewColorMask) | (static_cast<uint32_t>(id - kCmdColorFirst) << 20);
                return true;
            }
            return false;
    }
}

void CZRKMenuView::ReleaseSound()
{
    m_sound.FreeAllSoundEffects();
    m_sound.ReleaseDirectSound();
    m_sound.CloseCDAudio();
}

void CZRKMenuView::RestoreSound()
{
    m_sound.InitDirectSound(false);
    m_sound.OpenCDAudio(false);
}

int CZRKMenuView::RunResultScene()
{
    m_bScrollLock = 0;
    const int r = m_pScenes->RunResultScene();
    m_bScrollLock = 1;
    return r;
}

int CZRKMenuView::StartBriefing(int kind)
{
    m_bScrollLock = 0;
    const int r = m_pScenes->StartBriefing(kind);
    m_bScrollLock = 1;
    return r;
}

void CZRKMenuView::StartEnding(const CAMPAIGNSTRUCT& record)
{
    m_pScenes->StartEnding(record);
}

void CZRKMenuView::ShowWorldSituation()
{
    // Without it nothing would lead on from the world map.
    if (!m_pChildDialogs->ShowWorldSituation()) BackToTitle();
}

void CZRKMenuView::OpenEncyclopedia(std::span<const uint32_t> entries)
{
    m_pChildDialogs->WeaponEncyclopedia(entries);
}

}  // namespace zrv
