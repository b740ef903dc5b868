#include "battle/engine/GameDoc.h"

#include <algorithm>
#include <cstring>

#include "battle/engine/Construction.h"
#include "battle/engine/CountryOps.h"
#include "battle/engine/HexRoutes.h"
#include "battle/engine/HandOverDoc.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitRules.h"
#include "battle/engine/Weather.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Format.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

NullGameDocView g_nullView;
RefusingOrderExecutor g_refusingExecutor;
EndPhaseCpuTurnStep g_endPhaseStep;

// Effect played when a capital moves (index into the library's sound list).
constexpr int kSeCapitalMove = 47;

// The value the situation table is refreshed with by notification 5.
constexpr int kSituationRefresh = 15;

// View option bits a notification 11 may change: bits 20-31 always, bits
// 16-17 only while a human-run country is current.
constexpr uint32_t kViewOptionMask = 0xFFF00000u;
constexpr uint32_t kViewOptionHumanMask = 0x00030000u;
// Bits of the view option word a country keeps (notification 19).
constexpr uint32_t kCountryViewOptionMask = 0xFFFF000Fu;

// The refusal of the commands a multi-play game does not allow.
constexpr int kErrMultiPlayRefused = 23;

}  // namespace

// --- free functions -----------------------------------------------------------

int ListEnemyCountries(const GAMEDATASTRUCT& game, int country, std::span<int32_t> out)
{
    if (out.empty()) return 0;
    size_t n = 0;
    if (country >= 0 && country < kCountryCount) {
        int enemySide = game.Country[country].nSide ^ 1;
        for (int i = 0; i < kCountryCount && n + 1 < out.size(); ++i) {
            const COUNTRYSTRUCT& c = game.Country[i];
            if ((c.dwFlag & kCountryPresent) && c.nSide == enemySide) out[n++] = i;
        }
    }
    out[n] = -1;
    return static_cast<int>(n);
}

int GetBigVictoryDeadline(const GAMEDATASTRUCT& game)
{
    return BigVictoryTurn(game.Head.dwTurnLimit) + (game.nHistory != 0 ? 1 : 0);
}

// --- construction ---------------------------------------------------------------

CZRKGameDoc::CZRKGameDoc(const GameClock* clock)
    : m_rcMapArea(kDefaultMapArea),
      m_nNextFlowState(-1),
      m_dwGameOption(0),
      m_dwLaunchOption(0),
      m_pCurCountry(nullptr),
      m_pViewCountry(nullptr),
      m_nCityName(0),
      m_pClock(clock),
      m_pView(&g_nullView),
      m_pExecutor(&g_refusingExecutor),
      m_pCpuStep(&g_endPhaseStep)
{
    if (!m_pClock) {
        m_ownClock = std::make_unique<SystemClock>();
        m_pClock = m_ownClock.get();
    }
    std::memset(m_dwHexCell, 0, sizeof m_dwHexCell);
    std::memset(m_dwHexUnit, 0xFF, sizeof m_dwHexUnit);
    std::memset(m_dwHexSearch, 0, sizeof m_dwHexSearch);
    std::memset(m_dwHexMove, 0, sizeof m_dwHexMove);
    std::memset(m_dwHexWork1, 0, sizeof m_dwHexWork1);
    std::memset(m_dwHexMark, 0, sizeof m_dwHexMark);
    std::memset(m_dwHexCpu, 0, sizeof m_dwHexCpu);
    std::memset(&m_CpuWork, 0, sizeof m_CpuWork);
    std::fill(std::begin(m_CpuWork.nEnemy), std::end(m_CpuWork.nEnemy), -1);
    ResetCpuTurnScores();
    std::memset(&m_GameData, 0, sizeof m_GameData);
    std::memset(m_CityName, 0, sizeof m_CityName);
    m_GameData.nCurCountry = -1;
    m_GameData.dwStateFlag = kStateFlagAtStart;
    // Until the owner seeds it for a replay or a test, each game plays out
    // differently.
    m_Random.Seed(static_cast<uint32_t>(m_pClock->Now()));
}

CZRKGameDoc::~CZRKGameDoc() = default;

void CZRKGameDoc::SetView(GameDocView* view)
{
    m_pView = view ? view : &g_nullView;
}

void CZRKGameDoc::SetOrderExecutor(OrderExecutor* executor)
{
    m_pExecutor = executor ? executor : &g_refusingExecutor;
}

void CZRKGameDoc::SetCpuTurnStep(CpuTurnStep* step)
{
    m_pCpuStep = step ? step : &g_endPhaseStep;
}

// --- notifications ----------------------------------------------------------------

int CZRKGameDoc::NotifyView(int code, int param)
{
    GameDocView& view = *m_pView;
    switch (code) {
        case 0:
            view.RedrawMap(false);
            return 0;
        case 1:
            view.RedrawMap(false);
            view.SelectTerrainColours();
            return 0;
        case 2:
            view.RebuildUnitDisplayMap();
            break;
        case 4:
            view.ResetChildWindows();
            break;
        case 5:
            view.NotifySituationTable(kSituationRefresh);
            return 0;
        case 6:
            if (!IsMapHex(param)) return -1;
            return view.ShowHexAndFlash(param) ? 0 : -1;
        case 7:
            if (IsMapHex(param)) view.RedrawHexIfVisible(param);
            return 0;
        case 10:
            if (IsMapHex(param)) view.CentreOnHex(param);
            return 0;
        case 11: {
            uint32_t mask = kViewOptionMask;
            if (IsHumanCur()) mask |= kViewOptionHumanMask;
            view.ApplyViewOptions(static_cast<uint32_t>(param), mask);
            break;
        }
        case 12:
            view.PlayCDTrack(param);
            return 0;
        case 13:
            view.CloseCDAudio();
            return 0;
        case 14:
            view.OpenProgressWindow();
            break;
        case 15:
            view.CloseProgressWindow();
            break;
        case 16:
            view.UpdateProgressWindow(param);
            return 0;
        case 17:
            view.PlaySE(param);
            return 0;
        case 18:
            view.StopAllSound();
            return 0;
        case 19:
            // Without a current country there is no record to keep the word in.
            if (m_pCurCountry) m_pCurCountry->dwViewOption = view.GetViewOption() & kCountryViewOptionMask;
            break;
        case 20:
            view.ReleaseSoundEffects();
            return 0;
        default:
            // Codes 3, 8 and 9 need a unit (the other overload); anything else is
            // not a notification.
            return 0;
    }
    // Codes 2, 4, 11, 14, 15 and 19 change what the whole map shows.
    view.RedrawMap(false);
    return 0;
}

int CZRKGameDoc::NotifyView(int code, UNITSTRUCT* unit)
{
    if (!unit) return 0;
    switch (code) {
        case 3:
            if (IsMapHex(unit->nHex)) m_pView->SetHexUnitDisplay(*unit);
            break;
        case 8:
            m_pView->AfterUnitLeftPlay(*unit);
            break;
        case 9:
            m_pView->RefreshUnitWindows(*unit);
            break;
        default:
            break;
    }
    return 0;
}

// --- turn state ---------------------------------------------------------------------

void CZRKGameDoc::CommitTurnState()
{
    SetFlowState(m_nNextFlowState);
}

void CZRKGameDoc::SetFlowState(int state)
{
    m_GameData.nFlowState = state;
    if (m_flowMirror) m_flowMirror(state);
}

void CZRKGameDoc::SetCurrentCountry(int index)
{
    if (index < 0 || index >= kCountryCount) {
        m_GameData.nCurCountry = -1;
        m_pCurCountry = nullptr;
        return;
    }
    m_GameData.nCurCountry = index;
    m_pCurCountry = &m_GameData.Country[index];
}

int CZRKGameDoc::EndActionPhase(bool confirm)
{
    if (confirm && m_pCurCountry) {
        std::string text = platform::FormatText("%sの行動フェイズを終了します\nよろしいですか？",
                                                {FieldText(m_pCurCountry->szName)});
        if (Dialogs().MessageBox(text, kBoxOkCancel | kBoxIconQuestion) != kAnswerOk) return 0;
    }
    SetFlowState(PHASE_ENDPHASE);
    return 1;
}

int CZRKGameDoc::GetWeatherIfEnabled() const
{
    return (m_GameData.dwStateFlag & kStateWeather) ? m_GameData.nWeather : 0;
}

int CZRKGameDoc::IsSnowSeason() const
{
    const uint32_t both = kStateWeather | kStateSnowSeason;
    return (m_GameData.dwStateFlag & both) == both ? 1 : 0;
}

int CZRKGameDoc::TestHexWeatherThreshold(MAPCELL cell)
{
    Stub(DocStub::TestHexWeatherThreshold);  // counted only
    return IsRoadWashedOut(m_GameData, cell);
}

// --- map and cities ------------------------------------------------------------------

const CITYNAMESTRUCT* CZRKGameDoc::FindCityName(HEXINDEX hex) const
{
    int count = std::clamp(m_nCityName, 0, kCityNameCount);
    for (int i = 0; i < count; ++i) {
        if (m_CityName[i].nHex == hex) return &m_CityName[i];
    }
    return nullptr;
}

void CZRKGameDoc::StoreHexCell(HEXINDEX hex)
{
    if (!IsMapHex(hex)) return;
    MAPCELL& saved = m_GameData.dwHexCell[hex];
    saved = (saved & kCellTerrainMask) | (m_dwHexCell[hex] & ~kCellTerrainMask);
}

int64_t CZRKGameDoc::RefreshUnitHexCell(UNITSTRUCT& unit)
{
    if (!IsMapHex(unit.nHex)) return -1;
    unit.dwHexCell = m_dwHexCell[unit.nHex];
    return unit.dwHexCell;
}

int CZRKGameDoc::IsHexInMapArea(HEXINDEX hex) const
{
    if (!IsMapHex(hex)) return 0;
    // The area widened by one hex on every side, under a point test that
    // leaves out the widened right and bottom edges: columns left - 1 ..
    // right and rows top - 1 .. bottom.
    int column = HexColumn(hex), row = HexRow(hex);
    bool inColumns = column >= m_rcMapArea.left - 1 && column <= m_rcMapArea.right;
    bool inRows = row >= m_rcMapArea.top - 1 && row <= m_rcMapArea.bottom;
    return inColumns && inRows ? 1 : 0;
}

UNITSTRUCT* CZRKGameDoc::GetUnit(UnitRef ref)
{
    if (!IsUnitRef(ref)) return nullptr;
    return &m_GameData.Country[RefCountry(ref)].Unit[RefSlot(ref)];
}

// --- view and phase --------------------------------------------------------------------

void CZRKGameDoc::SetPhaseCommandState(bool enable, bool human)
{
    m_pView->SetCurrentCountry(-1, nullptr);
    m_pView->SetPhaseCommandsEnabled(false);
    if (!enable || !m_pCurCountry) return;
    m_pView->SetCurrentCountry(m_GameData.nCurCountry, m_pCurCountry);
    if (human && !(m_pCurCountry->dwFlag & kCountryCpu)) m_pView->SetPhaseCommandsEnabled(true);
}

void CZRKGameDoc::RefreshStatusStrip()
{
    m_pView->RefreshStatusStrip();
}

// --- countries -------------------------------------------------------------------------

void CZRKGameDoc::AnnounceCapitalMove(const COUNTRYSTRUCT& country, HEXINDEX oldHex)
{
    auto capitalName = [&](HEXINDEX hex, const char* fallback) {
        std::string name;
        if (!IsHexInMapArea(hex)) name = "マップ外にある";
        const CITYNAMESTRUCT* city = FindCityName(hex);
        name += city ? std::string(FieldText(city->szName)) : std::string(fallback);
        return name;
    };
    std::string text = platform::FormatText("%sは%sから%sへ遷都しました",
                                            {FieldText(country.szName), capitalName(oldHex, "今までの首都"),
                                             capitalName(country.nCapital, "新しい首都")});
    NotifyView(17, kSeCapitalMove);
    if (!(m_dwGameOption & kOptNoCapitalBoxes)) Dialogs().MessageBox(text, kBoxOk | kBoxIconInformation);
}

void CZRKGameDoc::UnitLeftHex(UNITSTRUCT& unit)
{
    HEXINDEX hex = unit.nHex;
    if (!IsMapHex(hex)) return;
    m_dwHexUnit[hex] = kNoUnit;
    m_pView->ClearHexUnitDisplay(hex);

    MAPCELL cell = m_dwHexCell[hex];
    // A terrain index beyond the library's table names no terrain: nothing
    // to occupy there.
    const TRRNSTRUCT* terrain = TerrainRecord(CellTerrain(cell));
    if (!terrain || !IsOccupiable(*terrain)) return;

    int country = RefCountry(unit.refSelf);
    if (country >= kCountryCount) return;
    if (!(m_GameData.Country[country].dwFlag & kCountryCpu)) {
        ListEnemyCountries(m_GameData, country, m_CpuWork.nEnemy);
    }
    // A base the unit leaves behind unowned or in enemy hands is worth a new
    // look by the computer player.
    int owner = CellOwner(cell);
    bool enemyOwned = false;
    for (int32_t e : m_CpuWork.nEnemy) {
        if (e < 0) break;
        if (e == owner) enemyOwned = true;
    }
    if (owner < 0 || enemyOwned) m_dwCpuFlags |= kCpuFlagBaseLeft;
}

void CZRKGameDoc::ApplyCampaignLevel(COUNTRYSTRUCT& country)
{
    bool campaignCpuSide1 =
        (m_dwGameOption & kOptionCampaign) && (country.dwFlag & kCountryCpu) && country.nSide == 1;
    country.nLevel = campaignCpuSide1 ? m_GameData.nCampaign : 0;
}

void CZRKGameDoc::SetSearchLevel(uint32_t level)
{
    if (RefuseInMultiPlay()) return;
    level &= kOptSearchLevelMask;
    // Cleared even when the level does not change: the sight is rebuilt from
    // nothing either way.
    std::memset(m_dwHexSearch, 0, sizeof m_dwHexSearch);
    m_dwGameOption = (m_dwGameOption & ~kOptSearchLevelMask) | level;
    for (COUNTRYSTRUCT& c : m_GameData.Country) {
        if (!(c.dwFlag & kCountryPresent)) continue;
        uint32_t fogBit = c.nControl != 0 ? 0x08000000u : 0x04000000u;
        if (level & fogBit) {
            c.dwFlag |= kCountryFog;
        } else {
            c.dwFlag &= ~kCountryFog;
        }
    }
    RecomputeSight(kNoHex, true);
}

UNITSTRUCT* CZRKGameDoc::FindFirstReserveUnit()
{
    for (UNITSTRUCT& u : m_GameData.CarryUnit) {
        if (!(u.dwFlag & kUnitInUse)) return &u;
    }
    return nullptr;
}

void CZRKGameDoc::RemoveCountryFromPlay(int country)
{
    Stub(DocStub::RemoveCountryFromPlay);  // counted
    if (country < 0 || country >= kCountryCount) return;
    zrv::RemoveCountryFromPlay(m_GameData, country, m_dwHexCell, m_dwHexUnit);
}

// --- computer player ----------------------------------------------------------------------

int CZRKGameDoc::ExecuteCpuAction(int action, UNITSTRUCT& unit, int argument)
{
    SetModifiedFlag();
    return m_pExecutor->ExecuteCpuAction(action, unit, argument);
}

int CZRKGameDoc::CpuMoveUnitToward(UNITSTRUCT& unit, HEXINDEX target, const CpuMoveFlags& flags)
{
    SetModifiedFlag();
    return m_pExecutor->CpuMoveUnitToward(unit, target, flags);
}

void CZRKGameDoc::RunCpuTurnStep()
{
    m_pCpuStep->RunCpuTurnStep(*this);
}

void EndPhaseCpuTurnStep::RunCpuTurnStep(CZRKGameDoc& doc)
{
    doc.EndActionPhase(false);
    doc.NotifyView(15);
}

// --- forwarding members (the unit rules' ones are in GameDocUnitRules.cpp) ---------------------

int CZRKGameDoc::Stub(DocStub stub)
{
    int i = static_cast<int>(stub);
    ++m_nStubCalls[i];
    return m_nStubResult[i];
}

int CZRKGameDoc::GetWaterMoveSound(UNITSTRUCT& unit, HEXINDEX from, HEXINDEX to)
{
    const int scripted = Stub(DocStub::GetWaterMoveSound);
    if (IsStubScripted(DocStub::GetWaterMoveSound)) return scripted;
    // Only a ground unit wades; a step that keeps to roads at both ends stays dry.
    // The caller keeps the looping sound as it is while the answer does not change.
    const ARMSSTRUCT* a = UnitArms(unit);
    if (!a || !IsGroundDomainArms(*a) || !IsMapHex(from) || !IsMapHex(to)) return 0;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(m_dwHexCell[to]));
    if (!t || !IsDeepWater(*t)) return 0;
    if (HasUsableRoute(m_dwHexCell[from], m_GameData) && HasUsableRoute(m_dwHexCell[to], m_GameData)) return 0;
    const auto& sounds = Lib().WaveMoveTableWater;
    if (a->nMoveType < 0 || static_cast<size_t>(a->nMoveType) >= sounds.size()) return 0;
    return std::max(0, sounds[static_cast<size_t>(a->nMoveType)]);
}
int CZRKGameDoc::GetDurabilityIncreaseLimit(UNITSTRUCT& unit)
{
    const int scripted = Stub(DocStub::GetDurabilityIncreaseLimit);
    // Never less than 1, whatever the rule finds.
    if (IsStubScripted(DocStub::GetDurabilityIncreaseLimit)) return std::max(1, scripted);
    return zrv::GetDurabilityIncreaseLimit(m_GameData, m_dwHexCell, unit);
}
int CZRKGameDoc::IsUnitUnseenByEnemy(UNITSTRUCT& unit)
{
    if (!(m_dwGameOption & kOptCurrentFog)) return 0;
    const HEXINDEX hex = GetUnitMapHex(m_GameData, unit);
    if (!IsMapHex(hex)) return 0;
    const int enemySide = SideSlot(UnitSideSlot(m_GameData, unit) ^ 1);
    return (m_dwHexSearch[hex] & CoverSightBit(enemySide)) ? 1 : 0;
}
int CZRKGameDoc::SearchFromUnit(UNITSTRUCT& unit, std::span<const HEXINDEX> hexes)
{
    // The fog cells are the viewing country's: another side's search must
    // not clear them.
    const bool updateCells = m_pViewCountry && m_pCurCountry && m_pViewCountry->nSide == m_pCurCountry->nSide;
    const int result = static_cast<int>(SearchFromUnitPath(unit, m_GameData, m_dwHexCell, m_dwHexUnit,
                                                           m_dwHexSearch, hexes, updateCells));
    if (result & 1) m_dwCpuFlags |= kCpuFlagSearchFound;
    // Supply-flag byte 3 bit 2: the unit carries the search marker.
    if (unit.dwSupplyFlag & 0x04000000u) m_dwCpuFlags |= kCpuFlagBaseLeft;
    return result;
}
int CZRKGameDoc::CheckMarch(UNITSTRUCT& unit)
{
    return CheckMarchArea(unit, m_GameData, m_dwHexCell, m_dwHexWork1, m_dwHexMove, m_MoveRules);
}
int CZRKGameDoc::CheckMove(UNITSTRUCT& unit)
{
    return CheckUnitMove(unit, m_GameData, m_dwHexCell, m_dwHexWork1, m_dwHexMove, m_MoveRules);
}
void CZRKGameDoc::ApplyWeather()
{
    Stub(DocStub::ApplyWeather);  // counted only
    // A toggle never floods the base map for good: that is the new turn's.
    ApplyTerrainWeather(false);
}
void CZRKGameDoc::RefreshGameFlow()
{
    Stub(DocStub::RefreshGameFlow);
    if (IsStubScripted(DocStub::RefreshGameFlow)) return;
    // The turn values follow the weather and light now in force, exactly as
    // at a new turn; a toggle in the middle of a turn takes effect at once.
    RecalcAllMovePoints(m_GameData);
    // Which country's view is shown, and whether the map is blanked for a
    // computer phase, may have changed with a loaded game. The callers redraw
    // afterwards, so the choice itself draws nothing.
    UpdateViewingCountry(false);
}
void CZRKGameDoc::RunMenuProgram(int command, int param)
{
    m_nStubMenuCommand = command;
    m_nStubMenuParam = param;
    Stub(DocStub::RunMenuProgram);  // counted, so the commands can be checked without a block
    if (m_pHandOver) HandBackToMenu(*this, *m_pHandOver, command, param);
}

// Game-flow services, judgement and scenario end.

int CZRKGameDoc::FindAvailableListEntry(COUNTRYSTRUCT& country, int cls)
{
    const int scripted = Stub(DocStub::FindAvailableListEntry);
    if (IsStubScripted(DocStub::FindAvailableListEntry)) return scripted;
    if (cls < 0 || cls >= kClassCount) return -1;
    return zrv::FindAvailableListEntry(m_GameData.dwDateTime, country.dwClassList[cls]);
}

// --- helpers of the commands ------------------------------------------------------------------

bool CZRKGameDoc::IsHumanCur() const
{
    return m_pCurCountry && !(m_pCurCountry->dwFlag & kCountryCpu);
}

bool CZRKGameDoc::RefuseInMultiPlay()
{
    if (!(m_dwGameOption & kOptMultiPlay)) return false;
    Dialogs().MessageBox(ErrorText(kErrMultiPlayRefused), kBoxOk | kBoxIconExclamation);
    return true;
}

}  // namespace zrv
