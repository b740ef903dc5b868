// The view's own menu commands outside the unit orders: the display toggles
// with their marks, the movie size, the sound switches, the map's return
// after a click, and the end of the action phase.
#include <cstdint>

#include "battle/view/BattleMenu.h"
#include "battle/view/ZRKGameView.h"
#include "platform/core/Paths.h"

namespace zrv {

namespace {

// Display option bits these commands alone work on.
constexpr uint32_t kDispSoundEffects = 0x00040000u;
constexpr uint32_t kDispMusic = 0x00080000u;
constexpr uint32_t kDispMarkColourMask = 0x00700000u;  // bits 20-22: 黄 青 灰 緑 赤
constexpr uint32_t kDispPlaceNamesMask = 0x00030000u;  // bits 16-17

// The document's option: the game is saved as "AutoSavE.DG2" at each human
// phase end (it arrives with the option word; no command sets it).
constexpr uint32_t kOptAutoSaveAtPhaseEnd = 0x01000000u;

// The right button's action is repeated at most this often at a phase end;
// each repeat must change the order being entered.
constexpr int kMaxCancelSteps = 16;

}  // namespace

void CZRKGameView::RegisterDisplayCommands()
{
    CommandRouter& r = m_commands;
    auto dispBit = [this](uint32_t bit) { return [this, bit] { return (m_dwDispOption & bit) != 0; }; };
    auto dispBitClear = [this](uint32_t bit) { return [this, bit] { return (m_dwDispOption & bit) == 0; }; };
    auto flipAndRedraw = [this](uint32_t bit) {
        return [this, bit] {
            m_dwDispOption ^= bit;
            RedrawMap(false);
        };
    };
    auto flip = [this](uint32_t bit) { return [this, bit] { m_dwDispOption ^= bit; }; };
    auto humanInput = [this] { return (m_dwState & kViewHumanPhase) != 0 && m_nCmdMode == kModeChooseUnit; };
    auto humanCountry = [this] { return m_pCurCountry != nullptr && (m_pCurCountry->dwFlag & kCountryCpu) == 0; };
    auto never = [] { return false; };
    auto nothing = [] {};

    r.Add(kCmdHexLines, {nullptr, dispBit(kDispHexLines), flipAndRedraw(kDispHexLines)});
    r.Add(kCmdOwnerFlags, {humanInput, nullptr, flipAndRedraw(kDispOwnerFlags)});
    r.Add(kCmdShowUnits, {humanCountry, dispBit(kDispUnits), flipAndRedraw(kDispUnits)});
    r.Add(kCmdFlagMarks, {nullptr, dispBit(kDispOwnerFlags), [this] {
                              if ((m_dwDispOption & kDispOwnerFlags) == 0) {
                                  m_dwDispOption |= kDispOwnerFlags;
                                  RedrawMap(false);
                              }
                          }});
    r.Add(kCmdColourMarks, {nullptr, dispBitClear(kDispOwnerFlags), [this] {
                                if (m_dwDispOption & kDispOwnerFlags) {
                                    m_dwDispOption &= ~kDispOwnerFlags;
                                    RedrawMap(false);
                                }
                            }});
    for (int i = 0; i < 5; ++i) {
        const uint32_t value = static_cast<uint32_t>(i) << 20;
        r.Add(kCmdMarkYellow + i,
              {nullptr, [this, value] { return (m_dwDispOption & kDispMarkColourMask) == value; }, nothing});
    }
    r.Add(kCmdRoadsAlways, {nullptr, dispBit(kDispRoadsAlways), flipAndRedraw(kDispRoadsAlways)});
    r.Add(kCmdNoEntryMarks, {nullptr, dispBit(kDispNoEntryMarks), flipAndRedraw(kDispNoEntryMarks)});
    // Both sizes flip the same bit: choosing the checked one flips it too.
    r.Add(kCmdMovieStandard, {nullptr, dispBit(kDispMovieStandardSize), flip(kDispMovieStandardSize)});
    r.Add(kCmdMovieLarge, {nullptr, dispBitClear(kDispMovieStandardSize), flip(kDispMovieStandardSize)});
    // Without a sound device the effects are off and cannot be turned on.
    r.Add(kCmdSoundEffects, {[this] {
                                 if (m_sound.DirectSound() != nullptr) return true;
                                 m_dwDispOption &= ~kDispSoundEffects;
                                 return false;
                             },
                             dispBit(kDispSoundEffects), flip(kDispSoundEffects)});
    r.Add(kCmdMusic, {never, dispBit(kDispMusic), [this] {
                          m_dwDispOption ^= kDispMusic;
                          if (m_dwDispOption & kDispMusic) {
                              if (m_pDoc != nullptr && m_pDoc->m_pCurCountry != nullptr)
                                  PlayCDTrack(m_pDoc->m_pCurCountry->nBGM);
                          } else {
                              CloseCDAudio();
                          }
                      }});
    r.Add(kCmdPlaceNamesAlways,
          {never, [this] { return (m_dwDispOption & kDispPlaceNamesMask) == 0x30000u; }, nothing});
    r.Add(kCmdPlaceNamesOwn,
          {never, [this] { return (m_dwDispOption & kDispPlaceNamesMask) == 0x10000u; }, nothing});
    r.Add(kCmdPlaceNamesNone, {never, [this] { return (m_dwDispOption & 0x10000u) == 0; }, nothing});
    r.Add(kCmdClickRestore, {nullptr, nullptr, [this] { m_dwDispOption |= kDispMapShown; }});
    r.Add(kCmdEndPhase, {[this] { return CanHumanAct() != 0; }, nullptr, [this] { OnEndPhase(); }});
}

void CZRKGameView::OnEndPhase()
{
    if (m_pDoc == nullptr) return;
    if ((m_dwState & kViewBusy) || (m_pDoc->m_dwGameOption & kOptFullAutoRunning)) return;
    COUNTRYSTRUCT* cur = m_pCurCountry;
    if (cur != nullptr && (cur->dwFlag & kCountryCpu) == 0) {
        if (m_pSelUnit != nullptr) {
            // The right button steps the order back while that changes it;
            // a selection it cannot end is ended here as a plain cancel.
            for (int step = 0; step < kMaxCancelSteps && m_pSelUnit != nullptr; ++step) {
                const UNITSTRUCT* sel = m_pSelUnit;
                const int mode = m_nCmdMode, sub = m_nCmdSubMode, target = m_nTargetHex;
                CancelOrContextMenu(0, 0);
                if (m_pSelUnit == sel && m_nCmdMode == mode && m_nCmdSubMode == sub && m_nTargetHex == target)
                    break;
            }
            if (m_pSelUnit != nullptr) {
                if (m_nTargetHex >= 0) {
                    m_dwState &= ~kViewClosingBars;
                    ShowPendingMove();
                }
                m_nTargetHex = -1;
                CancelCurrentCommand();
            }
            RedrawMap(false);
        }
        if (m_pDoc->m_dwGameOption & kOptAutoSaveAtPhaseEnd) {
            COUNTRYSTRUCT* saver = m_pDoc->m_pCurCountry;
            const int cost = saver != nullptr ? saver->nSaveCost : 0;
            if (saver != nullptr) saver->nSaveCost = 0;
            m_pDoc->SaveGame(platform::DataPath("AutoSavE.DG2"));
            if (saver != nullptr) saver->nSaveCost = cost;
        }
    }
    m_pDoc->EndActionPhase(cur != nullptr && (cur->dwFlag & kCountryConfirmWindow) != 0);
}

}  // namespace zrv
