#include "battle/engine/GameStart.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "battle/engine/ClassTraits.h"
#include "battle/engine/CountryOps.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/GameFlow.h"
#include "battle/engine/HandOverDoc.h"
#include "battle/engine/TerrainRoles.h"
#include "battle/engine/Weather.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "foundation/GameRecordCheck.h"
#include "foundation/HandOver.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

// Terrain flag (TerrainBase dwTrrnFlag bit 11, byte 1 bit 3): a capital can
// stand here.
constexpr uint32_t kTerrainCapital = 0x00000800u;
// Airfield terrains an aircraft may be stranded on, and the aircraft classes.
constexpr int kAirfieldFormA = kTerrainFortress;
constexpr int kAirfieldFormB = kTerrainDesertFortress;
constexpr int kFirstStrandedClass = 22;
constexpr int kLastStrandedClass = 25;
// Development kind of a type that is never listed for production.
constexpr int kDevelopKindNever = 2;
// Notifications a finished start sends.
constexpr int kNotifyProgressClosed = 15;
constexpr int kNotifyTerrainColours = 1;
// The computer's turn restarts from its first step after a load.

constexpr uint32_t kOptComputerFog = 0x08000000u;
constexpr uint32_t kOptHumanFog = 0x04000000u;

int MaxUnitType()
{
    return std::min(Lib().g_nMaxUnit, kArmsCount);
}

bool IsPresent(const COUNTRYSTRUCT& c)
{
    return (c.dwFlag & kCountryPresent) != 0;
}

// The file name of path without its folder (either separator). A '\\' is
// looked for by whole characters: the second byte of a double-byte character
// may be 0x5C. A '/' (0x2F) is never such a byte.
std::string BaseName(std::string_view path)
{
    std::string name(path);
    StripDirectory(name);
    if (size_t slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
    return name;
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    bool trail = false;
    for (char& ch : out) {
        unsigned char c = static_cast<unsigned char>(ch);
        // A trail byte of a double-byte character is not a letter.
        if (!trail && c >= 'a' && c <= 'z') ch = static_cast<char>(c - 'a' + 'A');
        trail = !trail && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
    }
    return out;
}

// Copies text into a fixed field, cut to fit with its terminator.
template <size_t N>
void SetField(char (&field)[N], std::string_view text)
{
    std::string cut = CutSjisText(text, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
}

// A game being built: the state block and everything else a start changes,
// kept apart from the running game until the whole start has succeeded.
struct ScratchGame {
    GAMEDATASTRUCT game;
    uint32_t gameOption;
    MapFileData map;
};

}  // namespace

// --- record rules -----------------------------------------------------------------

void BuildArmsAvailability(const GAMEDATASTRUCT& game, COUNTRYSTRUCT& country)
{
    std::memset(country.dwArmsAvail, 0, sizeof country.dwArmsAvail);
    const uint32_t d = DateOnly(game.dwDateTime);
    for (int type = 1; type < MaxUnitType(); ++type) {
        const ARMSSTRUCT* a = ArmsRecord(type);
        if (!a || a->nNation != country.nCountryId) continue;
        uint32_t word;
        if (a->dwDateRetire < d) {
            word = kAvailListed | kAvailRetired | kAvailDeveloped;
        } else {
            word = kAvailListed;
            bool inDevelopment = (a->nDevelopKind == kDevelopKindNever || a->dwDateNewEnd >= d) &&
                                 (a->dwDateNewEnd + 255 < d || a->dwDateFrom > d);
            if (!inDevelopment) word |= kAvailDeveloped;
        }
        if (a->dwDateFrom <= d) word |= kAvailByDate;
        country.dwArmsAvail[type] = word;
    }
}

void BuildClassLists(GAMEDATASTRUCT& game, int index)
{
    COUNTRYSTRUCT& country = game.Country[index];
    std::memset(country.dwClassList, 0xFF, sizeof country.dwClassList);
    const uint32_t d = DateOnly(game.dwDateTime);
    for (int type = 1; type < MaxUnitType(); ++type) {
        const uint32_t avail = country.dwArmsAvail[type];
        if (!(avail & kAvailListed) || (avail & (kAvailRetired | kAvailDevListed))) continue;
        const ARMSSTRUCT* a = ArmsRecord(type);
        if (!a || a->dwDateRetire < d || a->nDevelopKind == kDevelopKindNever) continue;
        if (a->dwScenarioFlag != 0 && a->dwScenarioFlag != game.Head.dwHeadFlag) continue;
        // A library row naming a class or step outside the lists would write
        // past them: such a type is simply not listed.
        if (a->nClass < 0 || a->nClass >= kClassCount || a->nEvolution < 0 ||
            a->nEvolution >= kClassListWords) {
            continue;
        }
        uint32_t& word = country.dwClassList[a->nClass][a->nEvolution];
        if (static_cast<int32_t>(word) < 0) {
            bool ready = a->dwDateNewEnd + 255 >= d && a->dwDateFrom <= d;
            word =
                ready ? static_cast<uint32_t>(a->nArmsNo) : (static_cast<uint32_t>(a->nArmsNo) | 0x80000000u);
        } else {
            country.dwArmsAvail[type] = kAvailListed;
        }
    }
    for (int w = 0; w < kClassListWords; ++w) {
        country.dwClassList[3][w] = kNoListEntry;
        if (country.dwClassList[2][w] != kNoListEntry) break;
    }
    SetProductionTypes(game, d, index);
}

void SetProductionTypes(GAMEDATASTRUCT& game, uint32_t date, int index)
{
    COUNTRYSTRUCT& country = game.Country[index];
    for (auto& row : country.dwClassList) row[0] = kNoListEntry;
    for (int n = 0; n < kClassCount; ++n) {
        if (n == 3 || !((country.dwClassMask[n / 32] >> (n % 32)) & 1u)) continue;
        for (int w = 1; w < kClassListWords; ++w) {
            const uint32_t entry = country.dwClassList[n][w];
            if (entry == kNoListEntry) continue;
            if (static_cast<int32_t>(entry) > 0) {
                country.dwClassList[n][0] = entry;
                PassArmsTypeOn(game, country, static_cast<int>(entry), date);
            }
            break;
        }
    }
}

uint32_t MarkArmsTypeSeen(COUNTRYSTRUCT& country, int type, uint32_t date)
{
    if (type < 0 || type >= kArmsCount) return 0;
    uint32_t& word = country.dwArmsAvail[type];
    if (!(word & kAvailSeen)) word = (word & ~kDateMask) | kAvailSeen | DateOnly(date);
    return word;
}

bool ShouldDropUnitAtLevel(const UNITSTRUCT& unit, int level)
{
    const ARMSSTRUCT* arms = ArmsRecord(unit.nArms);
    const uint32_t traits = arms ? ClassTraits(arms->nClass) : 0;
    return ((level & 0x100) && (traits & (1u << 12))) || ((level & 0x80) && (traits & (1u << 11))) ||
           ((level & 0x40) && (traits & (1u << 10)));
}

uint32_t AdvanceGameDate(uint32_t date, int steps)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int hour = DateHour(date), year = DateYear(date), month = DateMonth(date), day = DateDay(date);
    for (int i = 0; i < steps; ++i) {
        hour += 2;
        if (hour < 24) continue;
        hour -= 24;
        int length = (month >= 1 && month <= 12) ? kDays[month - 1] : 31;
        if (month == 2 && year % 4 == 0) length = 29;
        if (++day <= length) continue;
        day = 1;
        if (++month <= 12) continue;
        month = 1;
        year = (year + 1) & 0xFF;
    }
    return PackDate(year, month, day, hour);
}

bool CheckStartState(const GAMEDATASTRUCT& game, std::string* why)
{
    auto fail = [why](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (!CheckGameData(game, RecordLimits::FromLib(), why)) return false;
    if (game.nCurCountry >= 0 && !IsPresent(game.Country[game.nCurCountry])) {
        return fail(platform::FormatText("current country %d is absent", {game.nCurCountry}));
    }
    for (const COUNTRYSTRUCT& c : game.Country) {
        if (!IsPresent(c)) continue;
        for (const UNITSTRUCT& u : c.Unit) {
            if ((u.dwFlag & kUnitInUse) && (u.nArms < 1 || u.nArms >= MaxUnitType())) {
                return fail(platform::FormatText("unit type %d", {u.nArms}));
            }
        }
    }
    return true;
}

// --- building ---------------------------------------------------------------------

int CZRKGameDoc::BuildScenario(std::string_view path, const CAMPAIGNSTRUCT* record, bool fromMenu)
{
    // Step 1: the file, into a zeroed block of its own.
    auto fileBlock = std::make_unique<GAMEDATASTRUCT>();
    std::memset(fileBlock.get(), 0, sizeof *fileBlock);
    const int read = ReadScenarioFile(path, *fileBlock, nullptr, (m_dwGameOption & kOptionCampaign) != 0);
    if (read != kFileOk) {
        ShowReadError(read, path);
        return 0;
    }

    // Everything below works on a copy; the running game is replaced only once
    // the map has been read too.
    auto scratch = std::make_unique<ScratchGame>();
    ScratchGame& s = *scratch;
    GAMEDATASTRUCT& g = s.game;
    g = m_GameData;
    s.gameOption = m_dwGameOption;
    g.Head = fileBlock->Head;
    for (int i = 0; i < kCountryCount; ++i) {
        std::memcpy(&g.Country[i], &fileBlock->Country[i], kScenarioCountryBytes);
    }
    fileBlock.reset();

    // Step 3.
    const std::string fileName = BaseName(path);
    std::string mapName = UpperAscii(fileName);
    if (size_t dot = mapName.rfind('.'); dot != std::string::npos) mapName.erase(dot);
    mapName += ".MB2";
    SetField(g.szMB2File, mapName);

    // Step 4.
    uint32_t viewOption = kNewCountryViewOption;
    if (record) {
        g.nCampaign = record->nLevel;
        viewOption =
            (viewOption & ~kCampaignViewOptionCarry) | (record->dwViewOption & kCampaignViewOptionCarry);
    }

    // Step 5: the menu's settings.
    std::unique_ptr<GAMEMENUSTRUCT> menu;
    bool absent[kCountryCount] = {};
    if (fromMenu || (!record && (s.gameOption & kOptionCampaign))) {
        menu = std::make_unique<GAMEMENUSTRUCT>();
        std::memset(menu.get(), 0, sizeof *menu);
        if (m_pHandOver) m_pHandOver->Block().ReadAll(*menu);
    }
    if (fromMenu) {
        const CAMPAIGNSTRUCT& c = menu->Campaign;
        s.gameOption = c.dwGameOption;
        g.dwStateFlag = c.dwStateFlag;
        SetField(g.Head.szName, FieldText(c.szTitle));
        g.Head.dwTurnLimit = c.dwDate;
        g.Head.nEndState = 0;
        for (int i = 0; i < kCountryCount; ++i) {
            COUNTRYSTRUCT& country = g.Country[i];
            const SIDESETUPSTRUCT& side = menu->Side[i];
            if (!IsPresent(country) || FieldText(side.szName).empty()) continue;
            SetField(country.szName, FieldText(side.szName));
            country.nFund = side.nFund;
            country.nUnitMax = side.nUnitMax;
            country.nControl = side.nControl;
            if (side.nControl == 1) {
                country.dwFlag |= kCountryCpu;
            } else {
                country.dwFlag &= ~kCountryCpu;
            }
            if (s.gameOption & kOptMultiPlay) country.dwFlag |= kCountryMultiPlayTurn;
            if (side.nControl == 2) {
                std::memset(country.szName, 0, sizeof country.szName);
                country.dwFlag = 0;
                absent[i] = true;
            }
        }
    }

    // Step 6.
    g.nCurCountry = -1;
    g.nScenario = FindScenarioByName(fileName);
    g.nRainLevel = g.Head.byRain;
    g.nIceLevel = g.Head.byIce;
    g.nTurn = 0;

    // Step 7: the campaign's player.
    int player = -1;
    if (record) {
        for (COUNTRYSTRUCT& c : g.Country) {
            if (!IsPresent(c)) continue;
            if (c.nControl == 0) {
                c.dwFlag &= ~kCountryCpu;
            } else {
                c.dwFlag |= kCountryCpu;
            }
        }
        for (int i = 0; i < kCountryCount && player < 0; ++i) {
            if (IsPresent(g.Country[i]) && g.Country[i].nControl == 0) player = i;
        }
        // No human-run country: the campaign's record goes to country 0, as
        // at the end of a scenario.
        if (player < 0) player = 0;
        COUNTRYSTRUCT& p = g.Country[player];
        const COUNTRYSTRUCT& from = record->Player;
        p.nUnit = 0;
        p.nNextSerial = from.nNextSerial;
        p.dwViewOption = from.dwViewOption;
        p.dwFlag = (p.dwFlag & 0xF0000000u) | (from.dwFlag & 0x0FFFFFFFu);
        std::memset(p.Unit, 0, sizeof p.Unit);
        std::memcpy(p.dwClassList, from.dwClassList, sizeof p.dwClassList);
        std::memcpy(p.dwArmsAvail, from.dwArmsAvail, sizeof p.dwArmsAvail);
        p.nFund += record->nFundBonus;
        s.gameOption = record->dwGameOption;
        g.Head.dwStartDate = record->dwDate;
        std::memcpy(g.CarryUnit, record->CarryUnit, sizeof g.CarryUnit);
        SetProductionTypes(g, g.Head.dwStartDate, player);
    } else {
        // Step 8.
        std::memset(g.CarryUnit, 0, sizeof g.CarryUnit);
        if (!fromMenu) s.gameOption = (s.gameOption & ~kOptSearchLevelMask) | kSearchLevelNormal;
    }
    g.dwGameOption = s.gameOption;

    // Step 9: the campaign's history and world situation.
    if (s.gameOption & kOptionCampaign) {
        const CAMPAIGNSTRUCT& c = record ? *record : menu->Campaign;
        // A count from the block or a file beyond the table would carry
        // foreign bytes into every later campaign record.
        g.nHistory = std::clamp(c.nHistory, 0, kHistoryCount);
        std::memcpy(g.History, c.History, sizeof g.History);
        std::memcpy(g.dwWorldCity, c.dwWorldCity, sizeof g.dwWorldCity);
        std::memcpy(g.dwWorldNation, c.dwWorldNation, sizeof g.dwWorldNation);
    }

    // Step 10: a scenario with no turns has no end date to work out.
    int lastTurn = LastTurn(g.Head.dwTurnLimit);
    if (lastTurn == 0) {
        ShowReadError(kFileBadCheck, path);
        return 0;
    }
    if ((s.gameOption & kOptionCampaign) && g.nHistory != 0) ++lastTurn;
    g.dwDateTime = g.Head.dwStartDate;
    g.dwStartDate = g.Head.dwStartDate;
    g.dwEndDate = AdvanceGameDate(g.dwStartDate, lastTurn - 1);

    // Step 11: the calendar's first values.
    PrimeStartWeather(g, m_Random);

    // Step 12.
    g.nVersion = kGameDataVersion;
    g.nReinforceIndex = 0;

    // Step 13: which unit types each side has fielded.
    const int typeCount = MaxUnitType();
    const bool campaign = (s.gameOption & kOptionCampaign) != 0;
    std::vector<int> fielded[2] = {
        std::vector<int>(static_cast<size_t>(std::max(typeCount, 0)), campaign ? 0 : 1),
        std::vector<int>(static_cast<size_t>(std::max(typeCount, 0)), campaign ? 0 : 1)};

    // Step 14: the countries.
    for (int i = 0; i < kCountryCount; ++i) {
        COUNTRYSTRUCT& c = g.Country[i];
        c.nIndex = i;
        if (!IsPresent(c)) continue;
        c.nSearchMode = 0;
        if (c.nControl != 0) c.dwFlag |= kCountryCpu;
        const bool cpuSide1 = campaign && (c.dwFlag & kCountryCpu) && c.nSide == 1;
        c.nLevel = cpuSide1 ? g.nCampaign : 0;
        if (c.nLevel & 2) c.nFund >>= 1;
        if (c.nBGM == 0) AssignCountryBGM(c);
        const bool isPlayer = record && i == player;
        int32_t serial = (g.nScenario << 16) | 1;
        if (isPlayer) serial = (g.nScenario << 16) + LowHalf(static_cast<uint32_t>(c.nNextSerial));
        // The units the level drops go first, each with all it carries
        // (cargo of cargo too), so no kept unit points at an emptied slot.
        if (c.nLevel != 0) {
            for (UNITSTRUCT& u : c.Unit) {
                if ((u.dwFlag & kUnitInUse) && ShouldDropUnitAtLevel(u, c.nLevel)) {
                    (void)RemoveCountryUnit(c, u);
                }
            }
            for (UNITSTRUCT& u : c.Unit) {
                if (!(u.dwFlag & kUnitInUse)) std::memset(&u, 0, sizeof u);
            }
        }
        for (int slot = 0; slot < kUnitSlots; ++slot) {
            UNITSTRUCT& u = c.Unit[slot];
            if (!(u.dwFlag & kUnitInUse)) continue;
            u.dwFlag =
                (u.dwFlag & ~0x0F000000u) | (static_cast<uint32_t>(c.nDisplay & 0xF) << kCountryDisplayShift);
            u.nSerial = serial++;
            u.dwBirthDate = g.dwDateTime;
            if (u.nArms >= 0 && u.nArms < typeCount) {
                if (c.nSide != 1) ++fielded[0][static_cast<size_t>(u.nArms)];
                if (c.nSide != 0) ++fielded[1][static_cast<size_t>(u.nArms)];
            }
        }
        c.nNextSerial = serial;
        if (!isPlayer) {
            c.dwViewOption = viewOption;
            if (!(c.dwFlag & kCountryCpu)) c.dwFlag |= kCountryFullAutoAll;
            BuildArmsAvailability(g, c);
            BuildClassLists(g, i);
        }
    }

    // Step 15.
    for (COUNTRYSTRUCT& c : g.Country) {
        if (!IsPresent(c)) continue;
        for (int type = 1; type < typeCount; ++type) {
            if ((c.nSide != 1 && fielded[0][static_cast<size_t>(type)] != 0) ||
                (c.nSide != 0 && fielded[1][static_cast<size_t>(type)] != 0)) {
                MarkArmsTypeSeen(c, type, g.dwDateTime);
            }
        }
    }

    // Step 16: the search level's fog flags (the sight itself is built when
    // the game is in place).
    for (COUNTRYSTRUCT& c : g.Country) {
        if (!IsPresent(c)) continue;
        const uint32_t fogBit = (c.dwFlag & kCountryCpu) ? kOptComputerFog : kOptHumanFog;
        if (s.gameOption & fogBit) {
            c.dwFlag |= kCountryFog;
        } else {
            c.dwFlag &= ~kCountryFog;
        }
    }

    // Step 17: the map, into the copy's saved cells.
    if (!ReadMapFile(FieldText(g.szMB2File), true, s.gameOption,
                     std::span<MAPCELL, kHexCount>(g.dwHexCell, kHexCount), s.map)) {
        return 0;
    }
    g.rcMapArea = s.map.rect;

    // Step 18.
    for (MAPCELL& cell : g.dwHexCell) {
        int owner = CellOwner(cell);
        if (owner >= 0 && owner < kCountryCount && absent[owner]) cell = WithOwner(cell, -1);
    }

    // Step 19: the new game replaces the running one.
    m_GameData = g;
    m_dwGameOption = s.gameOption;
    m_rcMapArea = s.map.rect;
    m_nCityName = static_cast<int32_t>(std::min<size_t>(s.map.cities.size(), kCityNameCount));
    std::memset(m_CityName, 0, sizeof m_CityName);
    std::copy_n(s.map.cities.begin(), m_nCityName, m_CityName);
    SetCurrentCountry(-1);
    // The game's text record opens with the kind of start, once the game
    // (and with it the record's file name) is in place.
    if (m_dwGameOption & kOptTextRecord) {
        WriteRecordHeading(record ? "Start New Campaign !" : "Start New Scenario !", false);
    }
    RebuildUnitMap();
    std::memcpy(m_dwHexCell, m_GameData.dwHexCell, sizeof m_dwHexCell);
    FixUpAfterLoad();

    // Step 20: units that cannot move from where they stand.
    for (COUNTRYSTRUCT& c : m_GameData.Country) {
        if (!IsPresent(c)) continue;
        for (UNITSTRUCT& u : c.Unit) {
            if (!(u.dwFlag & kUnitInUse) || (u.dwFlag & kUnitCarried) || !IsMapHex(u.nHex)) continue;
            const ARMSSTRUCT* a = ArmsRecord(u.nArms);
            if (!a) continue;
            const int terrain = CellTerrain(m_dwHexCell[u.nHex]);
            const bool airfieldForm = terrain == kAirfieldFormA || terrain == kAirfieldFormB;
            if ((airfieldForm && a->nClass >= kFirstStrandedClass && a->nClass <= kLastStrandedClass) ||
                (a->nMovePoint > 0 && u.nFuel == 0)) {
                u.dwOrder |= kOrderStranded;
            }
        }
    }
    return 1;
}

int CZRKGameDoc::LoadGameState(std::string_view path, std::span<const uint8_t> image)
{
    auto scratch = std::make_unique<ScratchGame>();
    ScratchGame& s = *scratch;
    std::memset(&s.game, 0, sizeof s.game);
    if (!image.empty()) {
        constexpr size_t kImageHeader = 12;
        if (image.size() < kImageHeader + sizeof s.game) {
            ShowReadError(kFileBadCheck, path);
            return 0;
        }
        std::memcpy(&s.game, image.data() + kImageHeader, sizeof s.game);
        // An image must be what the saved-game reader would have accepted,
        // including the mark of a valid save.
        if (!(s.game.dwGameOption & kOptionCampaign)) {
            ShowReadError(kFileNotSaveGame, path);
            return 0;
        }
    } else {
        const int read = ReadGameFile(path, s.game, nullptr);
        if (read != kFileOk) {
            ShowReadError(read, path);
            return 0;
        }
    }
    // An image from the block has passed no reader; a file has, but the
    // build relies on more than the reader checks.
    if (!CheckStartState(s.game)) {
        ShowReadError(kFileBadCheck, path);
        return 0;
    }
    s.gameOption = (m_dwGameOption & kOptLoadKeepMask) | (s.game.dwGameOption & ~kOptLoadKeepMask);
    if (!ReadMapFile(FieldText(s.game.szMB2File), false, s.gameOption,
                     std::span<MAPCELL, kHexCount>(s.game.dwHexCell, kHexCount), s.map)) {
        return 0;
    }

    m_GameData = s.game;
    m_dwGameOption = s.gameOption;
    m_rcMapArea = s.map.rect;
    m_nCityName = static_cast<int32_t>(std::min<size_t>(s.map.cities.size(), kCityNameCount));
    std::memset(m_CityName, 0, sizeof m_CityName);
    std::copy_n(s.map.cities.begin(), m_nCityName, m_CityName);
    SetCurrentCountry(m_GameData.nCurCountry);
    RebuildUnitMap();
    std::memcpy(m_dwHexCell, m_GameData.dwHexCell, sizeof m_dwHexCell);
    return FixUpAfterLoad();
}

void CZRKGameDoc::RebuildUnitMap()
{
    std::memset(m_dwHexUnit, 0xFF, sizeof m_dwHexUnit);
    for (int i = 0; i < kCountryCount; ++i) {
        COUNTRYSTRUCT& c = m_GameData.Country[i];
        if (!IsPresent(c)) continue;
        for (int slot = 0; slot < kUnitSlots; ++slot) {
            UNITSTRUCT& u = c.Unit[slot];
            if (!(u.dwFlag & kUnitInUse)) continue;
            u.refSelf = MakeUnitRef(i, slot);
            // A carried unit stands off the map whatever hex a file left in
            // it; entering it would hide its carrier.
            if (IsMapHex(u.nHex) && !(u.dwFlag & kUnitCarried)) {
                m_dwHexUnit[u.nHex] = u.refSelf;
                u.dwHexCell = m_dwHexCell[u.nHex];
            }
        }
    }
}

int CZRKGameDoc::FixUpAfterLoad()
{
    ResetCpuTurnScores();
    for (COUNTRYSTRUCT& c : m_GameData.Country) {
        if (!IsPresent(c)) continue;
        // A country without a capital keeps the flag as it was saved.
        if (IsMapHex(c.nCapital)) {
            const TRRNSTRUCT* t = TerrainRecord(CellTerrain(m_dwHexCell[c.nCapital]));
            if (t && (t->dwTrrnFlag & kTerrainCapital)) {
                c.dwFlag &= ~kCountryCapitalLost;
            } else {
                c.dwFlag |= kCountryCapitalLost;
            }
        }
        // The full cell update: a unit afloat on deep water is in the water.
        for (UNITSTRUCT& u : c.Unit) {
            if ((u.dwFlag & kUnitInUse) && !(u.dwFlag & kUnitCarried) && IsMapHex(u.nHex)) {
                SetUnitHexCell(u, m_dwHexCell[u.nHex]);
            }
        }
    }
    RefreshGameFlow();
    // A started game (turn 0) has had its own heading.
    if ((m_dwGameOption & kOptTextRecord) && m_GameData.nTurn != 0) WriteRecordHeading("Load Game Data !", true);
    NotifyView(kNotifyStopMusic);
    NotifyView(kNotifyProgressClosed);
    NotifyView(kNotifyTerrainColours);
    return 1;
}

int CZRKGameDoc::EnterStartPhase()
{
    // A game that has just started from a scenario is on no disk yet.
    SetModifiedFlag();
    SetFlowState(PHASE_START);
    NotifyView(kNotifyResetChildWindows);
    View().UpdateWindowTitle();
    return 1;
}

void ShowReadError(int code, std::string_view path)
{
    Dialogs().MessageBox(platform::FormatText(ErrorText(code), {path}), kBoxOk);
}

}  // namespace zrv
