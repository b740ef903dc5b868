#include "battle/engine/GameFlow.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/Combat.h"
#include "battle/engine/Construction.h"
#include "battle/engine/CountryOps.h"
#include "battle/engine/MoveRange.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/PhaseSteps.h"
#include "battle/engine/Sight.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DialogService.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"

namespace zrv {

std::string LastPathElement(std::string_view name)
{
    // Up to the first NUL: the field may hold rubbish after it.
    name = name.substr(0, name.find('\0'));
    size_t start = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(name[i]);
        if (platform::IsSjisLead(ch) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (ch == '\\' || ch == '/' || ch == ':') start = i + 1;
    }
    std::string last(name.substr(start));
    if (last == "." || last == "..") last.clear();
    return last;
}

std::string GameRecordPath(const GAMEDATASTRUCT& game)
{
    std::string name = LastPathElement(FieldText(game.szMB2File));
    if (name.empty()) return {};
    ReplaceFileExtension(name, ".TXT");
    return platform::DataPath(name);
}

std::string WeatherRecordPath(const GAMEDATASTRUCT& game, bool suffix)
{
    std::string name = LastPathElement(FieldText(game.Head.szName));
    if (name.empty()) return {};
    if (suffix) name += "_C";
    name += ".TXT";
    return platform::DataPath(name);
}

bool AppendRecordFile(std::string_view sjisPath, std::string_view text)
{
    if (sjisPath.empty()) return false;
    text = text.substr(0, std::min(text.size(), kRecordTextMax));
    const std::string native = platform::ToNativePath(sjisPath);
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // Another writer holding the record makes this line go missing rather
    // than interleave with its own.
    bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    size_t done = 0;
    while (ok && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<size_t>(n);
    }
    ::close(fd);
    return ok;
}

int CountryIncome(const GAMEDATASTRUCT& game, std::span<const MAPCELL, kHexCount> cells, int country)
{
    if (country < 0 || country >= kCountryCount) return 0;
    int income = 0;
    for (MAPCELL cell : cells) {
        if ((cell & kCellClosedAll) || CellOwner(cell) != country) continue;
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (t && (t->dwTrrnFlag & kTerrainIncome)) income += CellDurability(cell);
    }
    if (game.Country[country].nLevel & kLevelHalfIncome) income >>= 1;
    return income;
}

// --- the document's services ----------------------------------------------------------------

int CZRKGameDoc::GetCountryIncome(COUNTRYSTRUCT& country)
{
    const int scripted = Stub(DocStub::GetCountryIncome);
    if (IsStubScripted(DocStub::GetCountryIncome)) return scripted;
    return CountryIncome(m_GameData, m_dwHexCell, static_cast<int>(&country - m_GameData.Country));
}

UNITSTRUCT* CZRKGameDoc::FindDefensiveFireUnit(UNITSTRUCT& unit, HEXINDEX hex)
{
    return FindAmbushThreat(m_GameData, m_dwHexCell, m_dwHexUnit, unit, hex);
}

int CZRKGameDoc::ListSupportFireUnits(UNITSTRUCT& target, uint32_t weaponFlags, std::span<FireThreat> out)
{
    if (IsUnitUnseenByEnemy(target)) return 0;
    return ListFireClassThreats(m_GameData, target, weaponFlags, out.first(std::min<size_t>(out.size(), kMaxFireThreats)));
}

void CZRKGameDoc::UpdateViewingCountry(bool redraw, bool keep)
{
    Stub(DocStub::UpdateViewingCountry);  // counted
    COUNTRYSTRUCT* cur = m_pCurCountry;
    COUNTRYSTRUCT* v = m_pViewCountry;
    if (!keep) {
        v = cur;
        if (v && (v->dwFlag & kCountryCpu)) {
            // Back through the records to a human one; eight steps at most, so a
            // game of computers only ends on whatever record was reached.
            int index = static_cast<int>(v - m_GameData.Country);
            for (int step = 0; step < kCountryCount; ++step) {
                const COUNTRYSTRUCT& c = m_GameData.Country[index];
                if ((c.dwFlag & kCountryPresent) && !(c.dwFlag & kCountryCpu)) break;
                index = (index + kCountryCount - 1) % kCountryCount;
            }
            v = &m_GameData.Country[index];
        }
        if (m_dwGameOption & kOptionCampaign) v = &m_GameData.Country[0];
        m_pViewCountry = v;
    }
    // Blanking and the overview map are the current country's view options:
    // with no country in its phase there is nothing to choose.
    if (!cur) return;

    bool mayReopenOverview = true;
    if (cur->dwFlag & kCountryCpu) {
        if (m_dwGameOption & kOptShowCpuView) {
            // The computer's phases are shown as the computer sees them.
            m_pViewCountry = v = cur;
            cur->dwViewOption &= ~kViewCpuControlled;
        } else if (m_dwLaunchOption & kLaunchHideCpuMap) {
            redraw = false;
            cur->dwViewOption |= kViewCpuControlled;
        } else if (!v || !(v->dwViewOption & kViewHideCpuPhases) ||
                   ((m_dwGameOption & kOptionCampaign) && cur->nIndex == 0)) {
            cur->dwViewOption &= ~kViewCpuControlled;
        } else {
            cur->dwViewOption |= kViewCpuControlled;
            mayReopenOverview = false;
        }
    }

    const bool overviewClosed = (cur->dwViewOption & kViewOverviewClosed) != 0;
    if (!redraw) {
        if (overviewClosed) View().ShowOverviewMap(false);
    } else {
        View().ShowOverviewMap(mayReopenOverview && !overviewClosed);
    }

    View().SetEnemyView(v && (cur->nSide ^ 1) == v->nSide);

    // The map view follows the country's blanking (its option bit 28 is the
    // reduced, unit-less map); a change recomputes its layout.
    if ((cur->dwViewOption ^ View().GetViewOption()) & kViewCpuControlled)
        View().ApplyViewOptions(cur->dwViewOption, kViewCpuControlled);
}

void CZRKGameDoc::RecomputeSight(HEXINDEX centre, bool redraw)
{
    Stub(DocStub::RecomputeSight);  // counted
    if (m_pCurCountry && (m_pCurCountry->dwFlag & kCountryFog)) {
        m_dwGameOption |= kOptCurrentFog;
    } else {
        m_dwGameOption &= ~kOptCurrentFog;
    }
    UpdateViewingCountry(redraw);
    const int viewer = m_pViewCountry ? static_cast<int>(m_pViewCountry - m_GameData.Country) : -1;
    RecomputeCoverage(viewer, m_GameData, m_dwHexCell, m_dwHexSearch);
    if (centre >= 0) NotifyView(10, centre);
    NotifyView(0);
}

void CZRKGameDoc::AppendGameRecord(std::string_view text)
{
    m_StubRecords.emplace_back(text);
    AppendRecordFile(GameRecordPath(m_GameData), text);
}

void CZRKGameDoc::AppendWeatherRecord(std::string_view text, bool suffix)
{
    m_StubRecords.emplace_back(text);
    AppendRecordFile(WeatherRecordPath(m_GameData, suffix), text);
}

void CZRKGameDoc::AppendWeatherLine(bool suffix)
{
    const GAMEDATASTRUCT& g = m_GameData;
    const uint32_t d = g.dwDateTime;
    const int t = g.nWeatherValue;  // tenths of a degree
    const int magnitude = t < 0 ? -t : t;
    const char sign[2] = {t < 0 ? '-' : ' ', '\0'};
    AppendWeatherRecord(platform::FormatText("%02d/%2d/%2d %02d:00 %-4s %-4s %s%2d.%d℃ [雨累積:%2d, 凍結度:%2d]\n",
                                             {DateYear(d), DateMonth(d), DateDay(d), DateHour(d),
                                              TableText(Lib().MsgSunEffectName, g.nLight),
                                              TableText(Lib().MsgWeather, g.nWeather), sign, magnitude / 10,
                                              magnitude % 10, g.nRainLevel, g.nIceLevel}),
                        suffix);
}

namespace {

// "yy.mm.dd(Day) HH:MM" of the wall clock, with the C locale's day names so
// the record reads the same on every system.
std::string RecordStamp(int64_t when)
{
    const std::time_t now = static_cast<std::time_t>(when);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[64];
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%02d(%s) %02d:%02d", tm.tm_year % 100, tm.tm_mon + 1, tm.tm_mday,
                  kDays[((tm.tm_wday % 7) + 7) % 7], tm.tm_hour, tm.tm_min);
    return stamp;
}

}  // namespace

void CZRKGameDoc::WriteWeatherHeading(bool suffix)
{
    AppendWeatherRecord(platform::FormatText("*** %s ***  %s\n",
                                             {FieldText(m_GameData.Head.szName), RecordStamp(m_pClock->Now())}),
                        suffix);
}

void CZRKGameDoc::WriteRecordHeading(std::string_view title, bool withTurn)
{
    const std::string stamp = RecordStamp(m_pClock->Now());
    AppendGameRecord(withTurn ? platform::FormatText("\n*** %s (Turn %d) ***  %s\n", {title, m_GameData.nTurn, stamp})
                              : platform::FormatText("\n*** %s ***  %s\n", {title, stamp}));
}

// --- countries -----------------------------------------------------------------------------

namespace {
// Sound effects of a side change and of the side a country is on.
constexpr int kSeSideChanged = 44;
constexpr int kSeEnemySide = 45;
constexpr int kSeOwnSide = 46;
constexpr int kNotifySound = 17;
}  // namespace

void CZRKGameDoc::ChangeCountrySide(int country, int side, bool message)
{
    Stub(DocStub::ChangeCountrySide);  // counted
    if (country < 0 || country >= kCountryCount) return;
    COUNTRYSTRUCT& c = m_GameData.Country[country];
    c.nSideChange = -1;
    c.nSide = side;
    for (UNITSTRUCT& u : c.Unit) {
        if (!(u.dwFlag & kUnitInUse)) continue;
        u.dwFlag = side != 0 ? (u.dwFlag | kUnitSide1) : (u.dwFlag & ~kUnitSide1);
    }
    ApplyCampaignLevel(c);
    NotifyView(kNotifySound, kSeSideChanged);
    const char* sideText = TableText(Lib().MsgSide, side);
    if (message) {
        RefreshStatusStrip();
        const std::string text = platform::FormatText("%sは%sの立場をとりました", {FieldText(c.szName), sideText});
        if (!(m_dwGameOption & kOptNoCapitalBoxes)) Dialogs().MessageBox(text, kBoxOk | kBoxIconInformation);
    }
    if (m_dwGameOption & kOptTextRecord) {
        const std::string_view cur = m_pCurCountry ? FieldText(m_pCurCountry->szName) : std::string_view();
        AppendGameRecord(platform::FormatText("    [%-24s] ====  %s、%s changed ====\n",
                                              {cur, FieldText(c.szName), sideText}));
    }
}

void CZRKGameDoc::PlayCountrySideSound(COUNTRYSTRUCT& country)
{
    Stub(DocStub::PlayCountrySideSound);  // counted
    if (!m_pViewCountry) return;
    NotifyView(kNotifySound, country.nSide == m_pViewCountry->nSide ? kSeOwnSide : kSeEnemySide);
}

void AssignCountryBGM(COUNTRYSTRUCT& country)
{
    const auto& table = Lib().CountryBGMTable;
    // A country id outside the table keeps no music rather than reading past it.
    const int id = country.nCountryId;
    country.nBGM = (id >= 0 && static_cast<size_t>(id) < table.size()) ? table[static_cast<size_t>(id)] : 0;
}

std::string FormatTurnInfoText(const GAMEDATASTRUCT& game, const COUNTRYSTRUCT* current)
{
    std::string now, last;
    FormatDateText(game.dwDateTime, now, true, false);
    FormatDateText(game.dwEndDate, last, true, false);
    const std::string_view name = current ? FieldText(current->szName) : std::string_view();
    // Bounded to the banner's 255 bytes on a character boundary.
    return CutSjisText(platform::FormatText("%s\n天候　%s\n現在　%s\n終了　%s",
                                            {name, TableText(Lib().MsgWeather, game.nWeather), now, last}),
                       kTurnInfoTextMax);
}

bool IsHexInRect(int left, int top, int right, int bottom, HEXINDEX hex)
{
    if (!IsMapHex(hex)) return false;
    const int col = HexColumn(hex), row = HexRow(hex);
    return col >= left && col <= right && row >= top && row <= bottom;
}

int FindRecordById(std::span<const CITYNAMESTRUCT> table, int32_t id)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].nHex == id) return static_cast<int>(i);
    return -1;
}

// --- full-automatic lists ------------------------------------------------------------------

namespace {

// Country flag bits of the full-automatic commands.
constexpr uint32_t kCountryAutoMove = 0x00001000u;
constexpr uint32_t kCountryAutoBuild = 0x00002000u;
constexpr uint32_t kCountryAutoCapture = 0x00004000u;
constexpr uint32_t kCountryAutoSupply = 0x00008000u;
// Unit order bit 30: a standing move order.
constexpr uint32_t kOrderStandingMove = 0x40000000u;
// Funds a construction needs at least.
constexpr int kAutoBuildFunds = 10;

// Adds unit to the list (room kept for the end mark); false when the caller
// asked only whether there is one.
bool Collect(std::span<UNITSTRUCT*> out, size_t& n, UNITSTRUCT& unit)
{
    if (out.empty()) return false;
    if (n + 1 < out.size()) out[n++] = &unit;
    return true;
}

void EndUnitList(std::span<UNITSTRUCT*> out, size_t n)
{
    if (n < out.size()) out[n] = nullptr;
}

bool CanActNow(const UNITSTRUCT& u)
{
    return (u.dwFlag & kUnitInUse) && !(u.dwFlag & kUnitActed) && !(u.dwFlag & kUnitCarried);
}

}  // namespace

int CZRKGameDoc::ListAutoUnits(uint32_t countryBit, std::span<UNITSTRUCT*> out,
                               const std::function<bool(UNITSTRUCT&)>& qualifies)
{
    EndUnitList(out, 0);
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c || !(c->dwFlag & countryBit)) return 0;
    size_t n = 0;
    bool any = false;
    for (UNITSTRUCT& u : c->Unit) {
        if (!qualifies(u)) continue;
        any = true;
        if (!Collect(out, n, u)) break;
    }
    EndUnitList(out, n);
    return any ? 1 : 0;
}

int CZRKGameDoc::ListAutoMoveUnits(std::span<UNITSTRUCT*> out)
{
    return ListAutoUnits(kCountryAutoMove, out, [this](UNITSTRUCT& u) {
        if (!CanActNow(u) || !(u.dwOrder & kOrderStandingMove) || CheckMarch(u) != 0 || !IsMapHex(u.nHex))
            return false;
        std::array<HEXINDEX, 7> near{};
        const int n = GetNeighbours(u.nHex, near);
        for (int k = 0; k < n; ++k)
            if (!(m_dwHexMove[near[static_cast<size_t>(k)]] & kReachNotReached)) return true;
        return false;
    });
}

int CZRKGameDoc::ListAutoConstructionUnits(std::span<UNITSTRUCT*> out)
{
    if (!m_pCurCountry || m_pCurCountry->nFund < kAutoBuildFunds) {
        EndUnitList(out, 0);
        return 0;
    }
    const int country = m_GameData.nCurCountry;
    return ListAutoUnits(kCountryAutoBuild, out, [this, country](UNITSTRUCT& u) {
        if (!CanActNow(u) || !IsMapHex(u.nHex) || CheckConstruction(u, 0) != 0) return false;
        const MAPCELL cell = m_dwHexCell[u.nHex];
        const TRRNSTRUCT* t = TerrainRecord(CellTerrain(cell));
        if (CellOwner(cell) != country || !t || !(t->dwTrrnFlag & kTerrainIncome)) return false;
        return CheckDurabilityIncrease(m_GameData, m_dwHexCell, m_dwHexUnit, u, false) == 0;
    });
}

int CZRKGameDoc::ListAutoCaptureUnits(std::span<UNITSTRUCT*> out)
{
    return ListAutoUnits(kCountryAutoCapture, out,
                         [this](UNITSTRUCT& u) { return CanActNow(u) && CheckOccupy(u) == 0; });
}

uint32_t AutoSupplyKey(const UNITSTRUCT& u)
{
    const int cost = GetArmsChangeCost(u, std::clamp(u.nMode, 0, 5));
    uint32_t key = static_cast<uint32_t>(std::clamp(0x8000 - cost, 0, 0x7FFF));
    uint32_t high = (u.dwFlag & kUnitSupplyAtHex) ? 0x20000000u : 0x10000000u;
    if (HasSupplyStock(u.nArms)) {
        // Low half the stock, high half its capacity.
        const uint32_t stock = GetSupplyStock(u);
        high = (stock & 0xFFFFu) * 2 < (stock >> 16) ? 0x40000000u : 0u;
    }
    if (!(u.dwFlag & kUnitReplenishChecked)) {
        high += 0x08000000u;
    } else {
        const ARMSSTRUCT* a = ArmsRecord(u.nArms);
        const int missing = a ? std::max(0, a->nStrengthMax - u.nStrength) : 0;
        high = static_cast<uint32_t>(std::max(0, 256 - missing)) << 16;
    }
    return high | key;
}

int CZRKGameDoc::ListAutoSupplyUnits(std::span<UNITSTRUCT*> out)
{
    EndUnitList(out, 0);
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c || !((c->dwFlag & kCountryCpu) || (c->dwFlag & kCountryAutoSupply))) return 0;
    std::vector<std::pair<uint32_t, UNITSTRUCT*>> found;
    for (UNITSTRUCT& u : c->Unit) {
        if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitActed)) continue;
        if (CheckResupply(u) != 0 && CheckReplenish(u) != 0) continue;
        if (out.empty()) return 1;
        found.emplace_back(AutoSupplyKey(u), &u);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    size_t n = 0;
    for (const auto& f : found)
        if (n + 1 < out.size()) out[n++] = f.second;
    EndUnitList(out, n);
    return found.empty() ? 0 : 1;
}

// --- production and deployment tests -------------------------------------------------------

namespace {

// Whether a unit type belongs to a production or deployment kind (1 naval,
// 2 ground, 3 air).
bool IsTypeOfKind(int type, int kind)
{
    switch (kind) {
    case 1: return IsNavalArmsClass(type);
    case 2: return IsGroundArmsClass(type);
    case 3: return IsAirArmsClass(type);
    default: return false;
    }
}

// Rings round a capital that production and deployment look at.
constexpr int kPlacementRings = 5;
// A whole set of rings and its terminator.
constexpr size_t kPlacementHexes = GetHexCountInRadius(kPlacementRings) + 1;

// Writes the -1 terminator after n entries when there is room.
template <typename T>
void EndList(std::span<T> out, size_t n)
{
    if (n < out.size()) out[n] = -1;
}

}  // namespace

int CZRKGameDoc::FilterPlacementHexes(int kind, std::span<const HEXINDEX> hexes, std::span<HEXINDEX> out)
{
    if (!m_pCurCountry) return 0;
    return FilterCandidateHexes(*m_pCurCountry, m_dwHexCell, m_dwHexUnit, kind, hexes, out, false);
}

int CZRKGameDoc::CheckProductionKind(int kind, std::span<const HEXINDEX> hexes, std::span<int32_t> typesOut,
                                     std::span<HEXINDEX> hexesOut)
{
    EndList(typesOut, 0);
    EndList(hexesOut, 0);
    if (!m_pCurCountry) return kErrNoPlacementHex;
    const COUNTRYSTRUCT& c = *m_pCurCountry;
    size_t types = 0;
    bool anyType = false, affordable = false;
    for (const auto& list : c.dwClassList) {
        const int type = static_cast<int32_t>(list[0]);
        if (type <= 0 || !IsTypeOfKind(type, kind)) continue;
        anyType = true;
        if (types + 1 < typesOut.size()) typesOut[types++] = type;
        if (GetArmsUnitPrice(type) <= c.nFund) affordable = true;
    }
    EndList(typesOut, types);
    std::array<HEXINDEX, kPlacementHexes> scratch;
    std::span<HEXINDEX> out = hexesOut.empty() ? std::span<HEXINDEX>(scratch) : hexesOut;
    const int free = FilterPlacementHexes(kind, hexes, out);
    if (free <= 0) return kErrNoPlacementHex;
    if (!anyType) return kErrNoProducibleType;
    if (!affordable) return kErrNoAffordableType;
    return 0;
}

int CZRKGameDoc::CheckProductionPossible(COUNTRYSTRUCT& country)
{
    int count = country.nUnit;
    if ((m_dwGameOption & kOptionCampaign) && m_GameData.nCurCountry == 0) {
        for (const UNITSTRUCT& u : m_GameData.CarryUnit) count += (u.dwFlag & kUnitInUse) ? 1 : 0;
    }
    if (country.nUnit >= country.nUnitMax || count >= kUnitPoolLimit) return kErrUnitLimit;
    std::array<HEXINDEX, kPlacementHexes> ring;
    ring.fill(-1);
    if (IsMapHex(country.nCapital)) GetHexesInRange(country.nCapital, kPlacementRings, ring);
    int code = 0;
    for (int kind = 1; kind <= 3; ++kind) {
        code = CheckProductionKind(kind, ring, {}, {});
        if (code == 0) break;
    }
    return code;
}

int CZRKGameDoc::CheckDeploymentKind(int kind, std::span<const HEXINDEX> hexes, std::span<int32_t> unitsOut,
                                     std::span<HEXINDEX> hexesOut)
{
    EndList(unitsOut, 0);
    EndList(hexesOut, 0);
    size_t units = 0;
    bool any = false;
    for (int i = 0; i < kCarryUnitCount; ++i) {
        const UNITSTRUCT& u = m_GameData.CarryUnit[i];
        if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitOffMap) || !IsTypeOfKind(u.nArms, kind)) continue;
        any = true;
        if (units + 1 < unitsOut.size()) unitsOut[units++] = i;
    }
    EndList(unitsOut, units);
    std::array<HEXINDEX, kPlacementHexes> scratch;
    std::span<HEXINDEX> out = hexesOut.empty() ? std::span<HEXINDEX>(scratch) : hexesOut;
    if (FilterPlacementHexes(kind, hexes, out) <= 0) return kErrNoDeployHex;
    if (!any) return kErrNoReserveUnit;
    return 0;
}

int CZRKGameDoc::CheckDeploymentPossible()
{
    COUNTRYSTRUCT* c = m_pCurCountry;
    if (!c || c->nUnit >= c->nUnitMax) return kErrDeployUnitLimit;
    if (m_GameData.nCurCountry != 0) return kErrDeployNotCountry0;
    std::array<HEXINDEX, kPlacementHexes> ring;
    ring.fill(-1);
    if (IsMapHex(c->nCapital)) GetHexesInRange(c->nCapital, kPlacementRings, ring);
    int code = 0;
    for (int kind = 1; kind <= 3; ++kind) {
        code = CheckDeploymentKind(kind, ring, {}, {});
        if (code == 0) break;
    }
    return code;
}

// --- consistency of the unit positions ------------------------------------------------------

int CZRKGameDoc::CheckUnitPositions()
{
    const int scripted = Stub(DocStub::CheckUnitPositions);
    if (IsStubScripted(DocStub::CheckUnitPositions)) return scripted;
    // The display-mark array is free between phases: it serves as the scratch map.
    std::fill(std::begin(m_dwHexMark), std::end(m_dwHexMark), 0xFFFFFFFFu);
    bool fault = false;
    const MapRect& r = m_rcMapArea;
    for (int ci = 0; ci < kCountryCount; ++ci) {
        const COUNTRYSTRUCT& c = m_GameData.Country[ci];
        if (!(c.dwFlag & kCountryPresent)) continue;
        for (int slot = 0; slot < kUnitSlots; ++slot) {
            const UNITSTRUCT& u = c.Unit[slot];
            if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitCarried)) continue;
            const char* typeName = TableText(Lib().UnitNameJ, u.nArms);
            if (!IsMapHex(u.nHex)) {
                Dialogs().MessageBox(platform::FormatText("%sの No.%d %sの座標が異常でし☆",
                                                          {FieldText(c.szName), slot, typeName}),
                                     kBoxOk | kBoxIconExclamation);
                fault = true;
                continue;
            }
            uint32_t& mark = m_dwHexMark[u.nHex];
            if (mark == 0xFFFFFFFFu) {
                mark = MakeUnitRef(ci, slot);
                continue;
            }
            const int oc = RefCountry(mark), os = RefSlot(mark);
            const COUNTRYSTRUCT& other = m_GameData.Country[oc];
            Dialogs().MessageBox(
                platform::FormatText("%sの No.%d %sと\n%sの No.%d %sが\n座標(%2d,%2d)で衝突してるっち☆",
                                     {FieldText(other.szName), os, TableText(Lib().UnitNameJ, other.Unit[os].nArms),
                                      FieldText(c.szName), slot, typeName, HexColumn(u.nHex) - r.left + 1,
                                      HexRow(u.nHex) - r.top + 1}),
                kBoxOk | kBoxIconExclamation);
            fault = true;
        }
    }
    if (!fault) return 0;
    Dialogs().MessageBox("部隊の配置に異常が起きました。\nこの状態を開発元にお知らせください。", kBoxOk | kBoxIconStop);
    return 1;
}

}  // namespace zrv
