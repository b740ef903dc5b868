// The data library: every export the programs look up by name, and the
// builder that fills them from the content tables when the library is loaded.
//
// The content is readable tables (content/*.csv) that the generator turns into
// CP932 text cells; this file gives the cells their types. Whatever the
// builder cannot make sense of is reported on stderr and counted in
// ZrvContentFaults, which the content test requires to be 0, so a typo in a
// table shows up as a failing test rather than as a silent zero in a record.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Text.h"
#include "standins/zrvdata/ContentTable.h"
#include "standins/zrvdata/Exports.h"

namespace zrvdata_content {
std::span<const zrvcontent::ContentTable> Tables();
}

using namespace zrv;
using namespace zrvdata;

// Only these names leave the library (it is built with hidden visibility).
#pragma GCC visibility push(default)
extern "C" {

// ---- Records ----
ARMSSTRUCT ArmsData[kCapUnits];
int ArmsDataCount;
WEAPONSTRUCT WeaponData[kCapUnits * kWeaponSlots];
int WeaponDataCount;
TRRNSTRUCT TerrainBase[kTerrainCount];
int TerrainBaseCount;
TRRNSTRUCT RoadBase[kRouteKinds];
int RoadBaseCount;
SCNRBASESTRUCT ScenarioData[kCapScenarios];
int ScenarioDataCount;
HISTORYSTRUCT HistoryData[kCapHistory];
int HistoryDataCount;
TEMPERATURESTRUCT TemperatureData[kCapClimate];
int TemperatureDataCount;

// ---- Number tables ----
int32_t TerrainCostTable[kMoveTypes][kCostColumns];
int TerrainCostTableCount;
int32_t TerrainCostTableSnow[kMoveTypes][kCostColumns];
int TerrainCostTableSnowCount;
uint8_t SupplyTable[kCountryIds * kCountryIds];
int SupplyTableCount;
int32_t CountryBGMTable[kCountryIds];
int CountryBGMTableCount;
int32_t StartWallPositionTable[kCountryIds][4];
int StartWallPositionTableCount;
int32_t UnitGraphicsOffset[kCapPictures][3];
int UnitGraphicsOffsetCount;
uint8_t TerrainColorData[kTerrainColorSets][kTerrainColorBytes];
int TerrainColorDataCount;
uint8_t SMapPatternData[kTerrainCount][4];
int SMapPatternDataCount;
uint8_t SMapPatternDataL[kTerrainCount][4];
int SMapPatternDataLCount;
int32_t WaveMoveTableNormal[kMoveTypes];
int WaveMoveTableNormalCount;
int32_t WaveMoveTableSnow[kMoveTypes];
int WaveMoveTableSnowCount;
int32_t WaveMoveTableWater[kMoveTypes];
int WaveMoveTableWaterCount;
int32_t WaveShotedTable[kCapNumbers];
int WaveShotedTableCount;
int8_t SunriseSunsetData[kCapClimate][24];
int SunriseSunsetDataCount;
int32_t RainRateData[kCapClimate * 12];
int RainRateDataCount;
int32_t AccumulateRainData[kCapNumbers];
int AccumulateRainDataCount;
int32_t TemperatureTimeRate[24][2];
int TemperatureTimeRateCount;
int32_t TblNewMoon[19][13];
int TblNewMoonCount;
int32_t TblMoonType[kCapMoon];
int TblMoonTypeCount;

// ---- Text tables ----
#define ZRV_TEXT_TABLE(name, cap) \
    const char* name[cap];        \
    int name##Count;
ZRV_TEXT_TABLE(UnitName, kCapUnits)
ZRV_TEXT_TABLE(UnitNameJ, kCapUnits)
ZRV_TEXT_TABLE(WeaponName, kCapWeaponNames)
ZRV_TEXT_TABLE(WeaponPositionName, kCapWords)
ZRV_TEXT_TABLE(TerrainName, kTerrainCount)
ZRV_TEXT_TABLE(RoadName, kRouteKinds)
ZRV_TEXT_TABLE(NationNameJ, kCountryIds)
ZRV_TEXT_TABLE(SWndDefTypeName, kCapWords)
ZRV_TEXT_TABLE(ErrorMessage, kCapErrors)
ZRV_TEXT_TABLE(MsgCommon, kCapWords)
ZRV_TEXT_TABLE(MsgUnitType, kCapWords)
ZRV_TEXT_TABLE(MsgUnitTypeJ, kCapWords)
ZRV_TEXT_TABLE(MsgMoveTypeJ, kCapWords)
ZRV_TEXT_TABLE(MsgDefTypeJ, kCapWords)
ZRV_TEXT_TABLE(MsgCarryTypeJ, kCapWords)
ZRV_TEXT_TABLE(MsgWeather, kCapWords)
ZRV_TEXT_TABLE(MsgWeatherNext, kCapWords)
ZRV_TEXT_TABLE(MsgSunEffectName, kCapWords)
ZRV_TEXT_TABLE(MsgLevel, kCapWords)
ZRV_TEXT_TABLE(MsgCtrlUser, kCapWords)
ZRV_TEXT_TABLE(MsgStatus, kCapWords)
ZRV_TEXT_TABLE(MsgSide, kCapWords)
ZRV_TEXT_TABLE(MsgZone, kCapWords)
ZRV_TEXT_TABLE(MsgEPackType, kCapWords)
ZRV_TEXT_TABLE(MsgSpecWord, kCapWords)
ZRV_TEXT_TABLE(MsgTerrainProduct, kCapWords)
ZRV_TEXT_TABLE(MsgTerrainSupply, kCapWords)
ZRV_TEXT_TABLE(MsgTerrainWork, kCapWords)
ZRV_TEXT_TABLE(MsgResult, kCapWords)
ZRV_TEXT_TABLE(MsgCredit, kCapCredits)
ZRV_TEXT_TABLE(MsgGermanMedal, kCapWords)
#undef ZRV_TEXT_TABLE

// Sound effects and music: (file name, description) pairs.
const char* WaveFileList[kCapWords][2];
int WaveFileListCount;
const char* CDAudioFileList[kCapWords][2];
int CDAudioFileListCount;

// ---- Single texts: the export's address is the text ----
char g_szUnitVersion[8];
char MsgNoExistCD[256];
char SpecDiveNow[64];
char MsgDisableWheel[256];
char MsgVerUpStart[256];
char MsgVerUpEnd0[256];
char MsgVerUpEnd1[256];
char MsgNoMatchDLL2Conv[256];
char MsgNoMatchData2Conv[256];
char WeaponGuild[64];

// ---- Integers ----
int g_nMaxUnit;
int g_nLandUnit;
int g_nMaxScnr;
int g_nFundsBiasWin;
int g_nFundsBiasVictory;

// ---- Read by the menu program only ----
IWCITYSTRUCT IWCityData[kMaxWorldCities];
int IWCityDataCount;
int32_t IWCountryData[kMaxWorldNations];
int IWCountryDataCount;
ENDINGSTRUCT EndingDirectTable[kCapEndings];
int EndingDirectTableCount;
int32_t EndingMedalRank[kCapNumbers];
int EndingMedalRankCount;
int32_t EndingEnemyUnit[kCapNumbers];
int EndingEnemyUnitCount;
int g_nMaxIWCity;
int g_nMaxIWNation;
int g_nCreditX;
int g_nCreditY;
int g_nCreditHSize;
int g_nCreditVSize;
int g_nCreditGap;
int g_nCreditFontSz;
int g_nCreditFontWg;
uint32_t g_rgbFontColor;
int g_nCampaignWinSum;
int g_nExtraScenario;
int g_nIdeologyScnrStart;
int g_nIdeologyScnrEnd;

// Number of content faults the builder found (0 for a sound library).
int ZrvContentFaults;

}  // extern "C"
#pragma GCC visibility pop

namespace {

using zrvcontent::ContentTable;

// Texts made by the builder (expanded line breaks) and the lists that records
// point to live here for the life of the library; a deque never moves them.
std::deque<std::string> g_texts;
std::deque<std::vector<int32_t>> g_lists;
std::deque<std::vector<const char*>> g_textLists;
std::deque<std::vector<ENDINGPICTURE>> g_pictures;

void Fault(const std::string& where, const std::string& what)
{
    ++ZrvContentFaults;
    std::fprintf(stderr, "ZRVData: %s: %s\n", where.c_str(), what.c_str());
}

const ContentTable* FindTable(std::string_view name)
{
    for (const auto& t : zrvdata_content::Tables()) {
        if (name == t.name) return &t;
    }
    Fault(std::string(name), "table missing");
    return nullptr;
}

// Splits a cell at spaces.
std::vector<std::string> Tokens(std::string_view cell)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < cell.size()) {
        while (i < cell.size() && cell[i] == ' ') ++i;
        size_t j = i;
        while (j < cell.size() && cell[j] != ' ') ++j;
        if (j > i) out.emplace_back(cell.substr(i, j - i));
        i = j;
    }
    return out;
}

// One number: "bN" (bit N), a packed date "YY/MM/DD" or "YY/MM/DD@HH", or an
// integer in C notation (decimal, 0x hex, with a sign).
bool ParseToken(const std::string& tok, long long& out)
{
    if (tok.size() >= 2 && tok[0] == 'b' && tok[1] >= '0' && tok[1] <= '9') {
        char* end = nullptr;
        long bit = std::strtol(tok.c_str() + 1, &end, 10);
        if (*end != '\0' || bit < 0 || bit > 31) return false;
        out = static_cast<long long>(1ull << bit);
        return true;
    }
    if (tok.find('/') != std::string::npos) {
        int y = 0, m = 0, d = 0, h = 0;
        char tail = 0;
        int n = std::sscanf(tok.c_str(), "%d/%d/%d@%d%c", &y, &m, &d, &h, &tail);
        if (n < 3 || n > 4 || y < 0 || y > 255 || m < 1 || m > 12 || d < 1 || d > 31 || h < 0 || h > 23) {
            return false;
        }
        out = PackDate(y, m, d, h);
        return true;
    }
    char* end = nullptr;
    out = std::strtoll(tok.c_str(), &end, 0);
    return end != tok.c_str() && *end == '\0';
}

// Copies a CP932 text, expanding "\n" to a line break. A backslash that is the
// trail byte of a double-byte character is left alone.
const char* PoolText(std::string_view cell)
{
    std::string s;
    for (size_t i = 0; i < cell.size(); ++i) {
        const auto c = static_cast<unsigned char>(cell[i]);
        if (platform::IsSjisLead(c) && i + 1 < cell.size()) {
            s += cell[i];
            s += cell[++i];
        } else if (c == '\\' && i + 1 < cell.size() && cell[i + 1] == 'n') {
            s += '\n';
            ++i;
        } else {
            s += cell[i];
        }
    }
    g_texts.push_back(std::move(s));
    return g_texts.back().c_str();
}

class Row {
public:
    Row(const ContentTable& t, int r) : m_t(t), m_r(r) {}

    std::string Where(std::string_view col) const
    {
        return std::string(m_t.name) + " row " + std::to_string(m_r + 1) + " " + std::string(col);
    }
    const char* Raw(std::string_view col) const
    {
        int c = m_t.Column(col);
        if (c < 0) {
            Fault(Where(col), "no such column");
            return "";
        }
        return m_t.Cell(m_r, c);
    }
    bool Has(std::string_view col) const { return m_t.Column(col) >= 0; }
    const char* Text(std::string_view col) const { return PoolText(Raw(col)); }
    // The sum of the cell's tokens (bits add up to a flag word).
    long long Num(std::string_view col) const
    {
        long long sum = 0;
        for (const auto& tok : Tokens(Raw(col))) {
            long long v = 0;
            if (!ParseToken(tok, v)) {
                Fault(Where(col), "not a number: " + tok);
                continue;
            }
            sum += v;
        }
        return sum;
    }
    int Int(std::string_view col) const { return static_cast<int>(Num(col)); }
    // The cell's tokens as separate numbers; exactly n unless atMost.
    std::vector<long long> Nums(std::string_view col, size_t n, bool atMost = false) const
    {
        std::vector<long long> out;
        for (const auto& tok : Tokens(Raw(col))) {
            long long v = 0;
            if (!ParseToken(tok, v)) Fault(Where(col), "not a number: " + tok);
            out.push_back(v);
        }
        if (out.size() > n || (!atMost && out.size() != n)) {
            Fault(Where(col), std::to_string(out.size()) + " numbers, expected " + std::to_string(n));
        }
        out.resize(n, 0);
        return out;
    }
    std::vector<int32_t> List(std::string_view col) const
    {
        std::vector<int32_t> out;
        for (const auto& tok : Tokens(Raw(col))) {
            long long v = 0;
            if (!ParseToken(tok, v)) Fault(Where(col), "not a number: " + tok);
            out.push_back(static_cast<int32_t>(v));
        }
        return out;
    }
    // Copies a text into a fixed field, NUL-terminated; too long is a fault,
    // never a cut inside a double-byte character.
    template <size_t N>
    void Field(std::string_view col, char (&dst)[N]) const
    {
        const char* s = Raw(col);
        size_t len = std::strlen(s);
        if (len >= N) {
            Fault(Where(col), "longer than " + std::to_string(N - 1) + " bytes");
            len = 0;
        }
        std::memset(dst, 0, N);
        std::memcpy(dst, s, len);
    }

private:
    const ContentTable& m_t;
    int m_r;
};

// Index cell of a row: a number, or "a-b" for a run of indexes sharing the row.
bool IndexRange(const Row& row, std::string_view col, int limit, int& first, int& last)
{
    std::string cell = row.Raw(col);
    int a = 0, b = 0;
    char tail = 0;
    int n = std::sscanf(cell.c_str(), "%d-%d%c", &a, &b, &tail);
    if (n == 1) b = a;
    if (n < 1 || n > 2 || a < 0 || b < a || b >= limit) {
        Fault(row.Where(col), "index out of range 0.." + std::to_string(limit - 1) + ": " + cell);
        return false;
    }
    first = a;
    last = b;
    return true;
}

template <typename Fn>
void ForRows(std::string_view table, Fn fn)
{
    const ContentTable* t = FindTable(table);
    if (!t) return;
    for (int r = 0; r < t->rows; ++r) fn(Row(*t, r));
}

// Fills a text table from the rows of words.csv that name it; every index up
// to the highest must be given.
void BuildWordTable(std::string_view name, const char** dst, int cap, int& count)
{
    count = 0;
    std::vector<bool> seen(static_cast<size_t>(cap), false);
    ForRows("words", [&](const Row& row) {
        if (name != row.Raw("table")) return;
        int i = 0, last = 0;
        if (!IndexRange(row, "index", cap, i, last)) return;
        for (; i <= last; ++i) {
            dst[i] = row.Text("text");
            seen[static_cast<size_t>(i)] = true;
            if (i + 1 > count) count = i + 1;
        }
    });
    for (int i = 0; i < count; ++i) {
        if (!seen[static_cast<size_t>(i)])
            Fault(std::string(name), "entry " + std::to_string(i) + " missing");
    }
}

template <size_t N>
void SingleText(const char* name, char (&dst)[N])
{
    bool found = false;
    ForRows("singles", [&](const Row& row) {
        if (std::strcmp(row.Raw("name"), name) != 0) return;
        row.Field("text", dst);
        found = true;
    });
    if (!found) Fault("singles", std::string(name) + " missing");
}

int Value(const char* name)
{
    long long v = 0;
    bool found = false;
    ForRows("values", [&](const Row& row) {
        if (std::strcmp(row.Raw("name"), name) != 0) return;
        v = row.Num("value");
        found = true;
    });
    if (!found) Fault("values", std::string(name) + " missing");
    return static_cast<int>(v);
}

// Number lists of numbers.csv: rows (name, index, values); row i of a table
// holds its values at i × width.
template <typename T>
void BuildNumbers(const char* name, T* dst, int width, int capRows, int& count)
{
    count = 0;
    ForRows("numbers", [&](const Row& row) {
        if (std::strcmp(row.Raw("name"), name) != 0) return;
        int i = 0, last = 0;
        if (!IndexRange(row, "index", capRows, i, last)) return;
        auto vals = row.Nums("values", static_cast<size_t>(width));
        for (; i <= last; ++i) {
            for (int k = 0; k < width; ++k) dst[i * width + k] = static_cast<T>(vals[static_cast<size_t>(k)]);
            if (i + 1 > count) count = i + 1;
        }
    });
    if (count == 0) Fault("numbers", std::string(name) + " missing");
}

void BuildUnits()
{
    ForRows("units", [](const Row& row) {
        int t = 0, last = 0;
        if (!IndexRange(row, "type", kCapUnits, t, last)) return;
        ARMSSTRUCT& a = ArmsData[t];
        a.nArmsNo = t;
        a.nPicture = row.Int("nPicture");
        a.nClass = row.Int("nClass");
        a.nNation = row.Int("nNation");
        a.dwArmsFlag = static_cast<uint32_t>(row.Num("dwArmsFlag"));
        a.nStrengthMax = row.Int("nStrengthMax");
        a.nPrice = row.Int("nPrice");
        a.nReplenish = row.Int("nReplenish");
        a.nMoveType = row.Int("nMoveType");
        a.nMovePoint = row.Int("nMovePoint");
        a.nSight = row.Int("nSight");
        a.wRadar = static_cast<int16_t>(row.Num("wRadar"));
        a.wSonar = static_cast<int16_t>(row.Num("wSonar"));
        a.nHeight = row.Int("nHeight");
        a.nDomain = row.Int("nDomain");
        a.nDefenceAir = row.Int("nDefenceAir");
        a.nDefenceSurface = row.Int("nDefenceSurface");
        a.nWeight = row.Int("nWeight");
        a.nBaseKind = row.Int("nBaseKind");
        a.nFuelMax = row.Int("nFuelMax");
        a.nFuelPrice = row.Int("nFuelPrice");
        a.nCarryClass = row.Int("nCarryClass");
        auto carry = row.Nums("nCarry", 7, true);
        for (int k = 0; k < 7; ++k) a.nCarry[k] = static_cast<int32_t>(carry[static_cast<size_t>(k)]);
        a.nEvolution = row.Int("nEvolution");
        a.wBattery = static_cast<int16_t>(row.Num("wBattery"));
        auto improve = row.Nums("wImprove", 5, true);
        for (int k = 0; k < 5; ++k) a.wImprove[k] = static_cast<int16_t>(improve[static_cast<size_t>(k)]);
        a.dwDateFrom = static_cast<uint32_t>(row.Num("dwDateFrom"));
        a.nEntryMode = row.Int("nEntryMode");
        a.dwDateNewEnd = static_cast<uint32_t>(row.Num("dwDateNewEnd"));
        a.nDevelopKind = row.Int("nDevelopKind");
        a.dwDateRetire = static_cast<uint32_t>(row.Num("dwDateRetire"));
        a.dwScenarioFlag = static_cast<uint32_t>(row.Num("dwScenarioFlag"));
        UnitName[t] = row.Text("UnitName");
        UnitNameJ[t] = row.Text("UnitNameJ");
        if (t + 1 > ArmsDataCount) ArmsDataCount = t + 1;
    });
    for (int t = 0; t < ArmsDataCount; ++t) {
        if (UnitName[t] == nullptr) Fault("units", "type " + std::to_string(t) + " missing");
    }
    UnitNameCount = UnitNameJCount = ArmsDataCount;
    WeaponDataCount = ArmsDataCount * kWeaponSlots;

    ForRows("armsets", [](const Row& row) {
        int t = row.Int("type");
        int s = row.Int("set");
        if (t < 0 || t >= ArmsDataCount || s < 0 || s >= 6) {
            Fault(row.Where("type"), "no such unit type or set");
            return;
        }
        ARMSET& set = ArmsData[t].Arm[s];
        set.nSetId = row.Int("nSetId");
        auto counts = row.Nums("nCount", 8);
        for (int k = 0; k < 8; ++k) set.nCount[k] = static_cast<int32_t>(counts[static_cast<size_t>(k)]);
    });

    ForRows("weapons", [](const Row& row) {
        int t = row.Int("type");
        int s = row.Int("slot");
        if (t < 0 || t >= ArmsDataCount || s < 0 || s >= kWeaponSlots) {
            Fault(row.Where("type"), "no such unit type or slot");
            return;
        }
        WEAPONSTRUCT& w = WeaponData[t * kWeaponSlots + s];
        w.nWeaponNo = row.Int("nWeaponNo");
        w.nPosition = row.Int("nPosition");
        w.dwWeaponFlag = static_cast<uint32_t>(row.Num("dwWeaponFlag"));
        w.nPieces = row.Int("nPieces");
        w.byType = static_cast<uint8_t>(row.Num("byType"));
        w.byGroup = static_cast<uint8_t>(row.Num("byGroup"));
        auto attack = row.Nums("nAttack", 5);
        for (int k = 0; k < 5; ++k) w.nAttack[k] = static_cast<int32_t>(attack[static_cast<size_t>(k)]);
        auto range = row.Nums("nRange", 4);
        for (int k = 0; k < 4; ++k) w.nRange[k] = static_cast<int32_t>(range[static_cast<size_t>(k)]);
        w.nAccuracy = row.Int("nAccuracy");
        auto init = row.Nums("nInitiative", 4);
        for (int k = 0; k < 4; ++k) w.nInitiative[k] = static_cast<int32_t>(init[static_cast<size_t>(k)]);
        w.nRoundPrice = row.Int("nRoundPrice");
        w.nLoad = row.Int("nLoad");
    });

    ForRows("pictures", [](const Row& row) {
        int p = 0, last = 0;
        if (!IndexRange(row, "picture", kCapPictures, p, last)) return;
        auto v = row.Nums("values", 3);
        for (; p <= last; ++p) {
            for (int k = 0; k < 3; ++k)
                UnitGraphicsOffset[p][k] = static_cast<int32_t>(v[static_cast<size_t>(k)]);
            if (p + 1 > UnitGraphicsOffsetCount) UnitGraphicsOffsetCount = p + 1;
        }
    });
}

// The cost of entering: one column per cost group of move_costs*.csv; a
// terrain names its group, a route kind has its own column.
void BuildCosts(const char* table, int32_t (&dst)[kMoveTypes][kCostColumns], int& count,
                const std::vector<std::string>& terrainGroup, const std::vector<std::string>& routeGroup)
{
    count = 0;
    ForRows(table, [&](const Row& row) {
        int m = row.Int("move_type");
        if (m < 0 || m >= kMoveTypes) {
            Fault(row.Where("move_type"), "out of range");
            return;
        }
        for (int c = 0; c < kCostTerrainColumns; ++c)
            dst[m][c] = row.Int(terrainGroup[static_cast<size_t>(c)]);
        for (int r = 0; r < kRouteKinds; ++r) {
            dst[m][kCostTerrainColumns + r] = row.Int(routeGroup[static_cast<size_t>(r)]);
        }
        if (m + 1 > count) count = m + 1;
    });
}

void BuildTerrain()
{
    std::vector<std::string> group(kTerrainCount);
    ForRows("terrain", [&](const Row& row) {
        int i = 0, last = 0;
        if (!IndexRange(row, "index", kTerrainCount, i, last)) return;
        for (; i <= last; ++i) {
            TRRNSTRUCT& t = TerrainBase[i];
            t.dwTrrnFlag = static_cast<uint32_t>(row.Num("dwTrrnFlag"));
            t.dwBaseField = static_cast<uint32_t>(row.Num("dwBaseField"));
            t.nDurableMax = row.Int("nDurableMax");
            t.nDurableRate = row.Int("nDurableRate");
            t.nCover = row.Int("nCover");
            t.nBuiltForm = row.Int("nBuiltForm");
            t.nRuinForm = row.Int("nRuinForm");
            t.nRainLimit = row.Int("nRainLimit");
            t.nFloodForm = row.Int("nFloodForm");
            t.nIceLimit = row.Int("nIceLimit");
            t.nFrozenForm = row.Int("nFrozenForm");
            t.nHeight = row.Int("nHeight");
            t.nPicture = row.Int("nPicture");
            t.nConnectMode = row.Int("nConnectMode");
            TerrainName[i] = row.Text("name");
            auto sm = row.Nums("smap", 4);
            auto sl = row.Nums("smapL", 4);
            for (int k = 0; k < 4; ++k) {
                SMapPatternData[i][k] = static_cast<uint8_t>(sm[static_cast<size_t>(k)]);
                SMapPatternDataL[i][k] = static_cast<uint8_t>(sl[static_cast<size_t>(k)]);
            }
            group[static_cast<size_t>(i)] = row.Raw("cost_group");
        }
    });
    for (int i = 0; i < kTerrainCount; ++i) {
        if (TerrainName[i] == nullptr) Fault("terrain", "index " + std::to_string(i) + " missing");
    }
    TerrainBaseCount = TerrainNameCount = SMapPatternDataCount = SMapPatternDataLCount = kTerrainCount;

    std::vector<std::string> routeGroup(kRouteKinds);
    ForRows("roads", [&](const Row& row) {
        int i = 0, last = 0;
        if (!IndexRange(row, "index", kRouteKinds, i, last)) return;
        TRRNSTRUCT& t = RoadBase[i];
        t.dwTrrnFlag = static_cast<uint32_t>(row.Num("dwTrrnFlag"));
        t.dwBaseField = static_cast<uint32_t>(row.Num("dwBaseField"));
        t.nCover = row.Int("nCover");
        t.nRainLimit = row.Int("nRainLimit");
        RoadName[i] = row.Text("name");
        routeGroup[static_cast<size_t>(i)] = row.Raw("cost_group");
        if (i + 1 > RoadBaseCount) RoadBaseCount = i + 1;
    });
    RoadNameCount = RoadBaseCount;
    if (RoadBaseCount != kRouteKinds) Fault("roads", "every route kind 0..4 needs a row");

    // Only terrains 0..90 have a cost column.
    group.resize(kCostTerrainColumns);
    BuildCosts("move_costs", TerrainCostTable, TerrainCostTableCount, group, routeGroup);
    BuildCosts("move_costs_snow", TerrainCostTableSnow, TerrainCostTableSnowCount, group, routeGroup);
    ForRows("move_costs", [](const Row& row) {
        int m = row.Int("move_type");
        if (m < 0 || m >= kMoveTypes) return;
        MsgMoveTypeJ[m] = row.Text("name");
        WaveMoveTableNormal[m] = row.Int("wave_normal");
        WaveMoveTableSnow[m] = row.Int("wave_snow");
        WaveMoveTableWater[m] = row.Int("wave_water");
    });
    MsgMoveTypeJCount = WaveMoveTableNormalCount = WaveMoveTableSnowCount = WaveMoveTableWaterCount =
        TerrainCostTableCount;

    // Palette entries 98..179 for each light and snow state, as RGBQUADs (B, G, R, 0).
    int colours = 0;
    ForRows("terrain_colors", [&](const Row& row) {
        int k = row.Int("k");
        int e = row.Int("entry");
        if (k < 0 || k >= kTerrainColorSets || e < 98 || e > 179) {
            Fault(row.Where("k"), "set or entry out of range");
            return;
        }
        uint8_t* q = &TerrainColorData[k][(e - 98) * 4];
        q[0] = static_cast<uint8_t>(row.Int("blue"));
        q[1] = static_cast<uint8_t>(row.Int("green"));
        q[2] = static_cast<uint8_t>(row.Int("red"));
        q[3] = 0;
        ++colours;
    });
    if (colours != kTerrainColorSets * 82) Fault("terrain_colors", "8 sets of 82 colours expected");
    TerrainColorDataCount = kTerrainColorSets;
}

void BuildCountries()
{
    ForRows("countries", [](const Row& row) {
        int i = 0, last = 0;
        if (!IndexRange(row, "id", kCountryIds, i, last)) return;
        NationNameJ[i] = row.Text("name");
        CountryBGMTable[i] = row.Int("bgm");
        auto wall = row.Nums("wall", 4);
        for (int k = 0; k < 4; ++k)
            StartWallPositionTable[i][k] = static_cast<int32_t>(wall[static_cast<size_t>(k)]);
        if (i + 1 > NationNameJCount) NationNameJCount = i + 1;
    });
    CountryBGMTableCount = StartWallPositionTableCount = NationNameJCount;
    if (NationNameJCount != kCountryIds) Fault("countries", "every country id 0..33 needs a row");

    // A country supplies its own units fully (above 127 with bit 1); other
    // pairs come from supply.csv.
    for (int c = 0; c < kCountryIds; ++c) SupplyTable[c * kCountryIds + c] = 0x82;
    ForRows("supply", [](const Row& row) {
        int u = row.Int("unit_country");
        int o = row.Int("owner_country");
        if (u < 0 || u >= kCountryIds || o < 0 || o >= kCountryIds) {
            Fault(row.Where("unit_country"), "country id out of range");
            return;
        }
        SupplyTable[u * kCountryIds + o] = static_cast<uint8_t>(row.Num("value"));
    });
    SupplyTableCount = kCountryIds * kCountryIds;
}

void BuildClimate()
{
    ForRows("climate", [](const Row& row) {
        int a = row.Int("area");
        if (a < 0 || a >= kCapClimate) {
            Fault(row.Where("area"), "out of range");
            return;
        }
        TEMPERATURESTRUCT& t = TemperatureData[a];
        t.dwFlag = static_cast<uint32_t>(row.Num("flags"));
        auto hi = row.Nums("max", 12);
        auto lo = row.Nums("min", 12);
        auto rise = row.Nums("sunrise", 12);
        auto set = row.Nums("sunset", 12);
        for (int m = 0; m < 12; ++m) {
            t.nMax[m] = static_cast<int32_t>(hi[static_cast<size_t>(m)]);
            t.nMin[m] = static_cast<int32_t>(lo[static_cast<size_t>(m)]);
            SunriseSunsetData[a][m] = static_cast<int8_t>(rise[static_cast<size_t>(m)]);
            SunriseSunsetData[a][12 + m] = static_cast<int8_t>(set[static_cast<size_t>(m)]);
        }
        MsgZone[a] = row.Text("zone");
        if (a + 1 > TemperatureDataCount) TemperatureDataCount = a + 1;
    });
    SunriseSunsetDataCount = MsgZoneCount = TemperatureDataCount;

    ForRows("rain", [](const Row& row) {
        int a = row.Int("area");
        if (a < 0 || a >= kCapClimate) {
            Fault(row.Where("area"), "out of range");
            return;
        }
        auto rate = row.Nums("rates", 12);
        for (int m = 0; m < 12; ++m)
            RainRateData[a * 12 + m] = static_cast<int32_t>(rate[static_cast<size_t>(m)]);
        if ((a + 1) * 12 > RainRateDataCount) RainRateDataCount = (a + 1) * 12;
    });

    BuildNumbers("AccumulateRainData", AccumulateRainData, 1, kCapNumbers, AccumulateRainDataCount);
    BuildNumbers("TemperatureTimeRate", &TemperatureTimeRate[0][0], 2, 24, TemperatureTimeRateCount);
    BuildNumbers("TblNewMoon", &TblNewMoon[0][0], 13, 19, TblNewMoonCount);
    BuildNumbers("TblMoonType", TblMoonType, 1, kCapMoon, TblMoonTypeCount);
    BuildNumbers("WaveShotedTable", WaveShotedTable, 1, kCapNumbers, WaveShotedTableCount);
}

void BuildSounds()
{
    auto pairs = [](const char* table, const char*(*dst)[2], int cap, int& count) {
        ForRows(table, [&](const Row& row) {
            int i = 0, last = 0;
            if (!IndexRange(row, "index", cap, i, last)) return;
            dst[i][0] = row.Text("name");
            dst[i][1] = row.Text("description");
            if (i + 1 > count) count = i + 1;
        });
        for (int i = 0; i < count; ++i) {
            if (dst[i][0] == nullptr) Fault(table, "entry " + std::to_string(i) + " missing");
        }
    };
    pairs("wave_files", WaveFileList, kCapWords, WaveFileListCount);
    pairs("cd_audio", CDAudioFileList, kCapWords, CDAudioFileListCount);
}

void BuildScenarios()
{
    ForRows("scenarios", [](const Row& row) {
        int i = row.Int("index");
        if (i < 0 || i >= kCapScenarios) {
            Fault(row.Where("index"), "out of range");
            return;
        }
        SCNRBASESTRUCT& s = ScenarioData[i];
        row.Field("name", s.szName);
        row.Field("area", s.szArea);
        auto rc = row.Nums("map", 4);
        for (int k = 0; k < 4; ++k) s.rcMap[k] = static_cast<int32_t>(rc[static_cast<size_t>(k)]);
        for (int c = 0; c < 8; ++c) {
            auto v = row.Nums("start" + std::to_string(c), 3, true);
            s.Start[c] = {static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]), static_cast<int32_t>(v[2])};
        }
        s.pszDescription = row.Has("description") ? row.Text("description") : PoolText("");
        // Until reinforcements.csv adds some, the schedule is just its end.
        g_lists.push_back({-1, 0});
        s.pReinforce = g_lists.back().data();
        for (auto& b : s.Branch) b.nNext = -1;
        if (i + 1 > ScenarioDataCount) ScenarioDataCount = i + 1;
    });

    std::vector<std::vector<int32_t>> schedules(static_cast<size_t>(ScenarioDataCount));
    ForRows("reinforcements", [&](const Row& row) {
        int s = row.Int("scenario");
        if (s < 0 || s >= ScenarioDataCount) {
            Fault(row.Where("scenario"), "no such scenario");
            return;
        }
        int type = row.Int("type");
        int strength = row.Int("strength");
        int exp = row.Int("experience");
        if (strength < 0 || strength > 255 || exp < 0 || exp > 255)
            Fault(row.Where("strength"), "not a byte");
        auto& list = schedules[static_cast<size_t>(s)];
        list.push_back(row.Int("turn"));
        list.push_back(static_cast<int32_t>((static_cast<uint32_t>(type) << 16) |
                                            (static_cast<uint32_t>(strength & 0xFF) << 8) |
                                            static_cast<uint32_t>(exp & 0xFF)));
    });
    for (size_t s = 0; s < schedules.size(); ++s) {
        if (schedules[s].empty()) continue;
        schedules[s].push_back(-1);
        schedules[s].push_back(0);
        g_lists.push_back(std::move(schedules[s]));
        ScenarioData[s].pReinforce = g_lists.back().data();
    }

    ForRows("scenario_branches", [](const Row& row) {
        int s = row.Int("scenario");
        int b = row.Int("branch");
        if (s < 0 || s >= ScenarioDataCount || b < 0 || b > 2) {
            Fault(row.Where("scenario"), "no such scenario or branch");
            return;
        }
        SCNRBRANCH& br = ScenarioData[s].Branch[b];
        br.nNext = row.Int("next");
        auto res = row.Nums("country_results", 8);
        for (int c = 0; c < 8; ++c)
            br.dwCountryResult[c] = static_cast<uint32_t>(res[static_cast<size_t>(c)]);
        g_lists.push_back(row.List("city_changes"));
        if (g_lists.back().empty() || g_lists.back().back() >= 0) g_lists.back().push_back(-1);
        br.pCityChange = g_lists.back().data();
        g_lists.push_back(row.List("country_changes"));
        if (g_lists.back().empty() || g_lists.back().back() >= 0) g_lists.back().push_back(-1);
        br.pCountryChange = g_lists.back().data();
        br.pszOutcome = row.Text("outcome");
    });
    g_nMaxScnr = ScenarioDataCount;
}

void BuildHistory()
{
    ForRows("history", [](const Row& row) {
        if (HistoryDataCount >= kCapHistory) {
            Fault(row.Where("date"), "too many events");
            return;
        }
        HISTORYSTRUCT& h = HistoryData[HistoryDataCount++];
        h.dwDateTime = static_cast<uint32_t>(row.Num("date"));
        row.Field("title", h.szTitle);
        row.Field("text", h.szText);
        std::string caps = row.Raw("captions");
        h.pCaption = nullptr;
        if (!caps.empty()) {
            // Three lines separated by '|'; missing ones are empty.
            std::vector<const char*> lines;
            size_t start = 0;
            for (int k = 0; k < 3; ++k) {
                size_t bar = caps.find('|', start);
                std::string part = start <= caps.size() ? caps.substr(start, bar - start) : "";
                lines.push_back(PoolText(part));
                start = bar == std::string::npos ? caps.size() + 1 : bar + 1;
            }
            g_textLists.push_back(std::move(lines));
            h.pCaption = g_textLists.back().data();
        }
    });
}

void BuildWorld()
{
    ForRows("cities", [](const Row& row) {
        int i = row.Int("index");
        if (i < 0 || i >= kMaxWorldCities) {
            Fault(row.Where("index"), "out of range");
            return;
        }
        IWCITYSTRUCT& c = IWCityData[i];
        c.x = row.Int("x");
        c.y = row.Int("y");
        c.nKind = row.Int("kind");
        c.nValue = row.Int("value");
        row.Field("name", c.szName);
        if (i + 1 > IWCityDataCount) IWCityDataCount = i + 1;
    });
    g_nMaxIWCity = IWCityDataCount;
    BuildNumbers("IWCountryData", IWCountryData, 1, kMaxWorldNations, IWCountryDataCount);
    g_nMaxIWNation = IWCountryDataCount;
    BuildNumbers("EndingMedalRank", EndingMedalRank, 1, kCapNumbers, EndingMedalRankCount);
    BuildNumbers("EndingEnemyUnit", EndingEnemyUnit, 1, kCapNumbers, EndingEnemyUnitCount);

    std::vector<std::vector<ENDINGPICTURE>> pictures(kCapEndings);
    ForRows("ending_pictures", [&](const Row& row) {
        int e = row.Int("ending");
        if (e < 0 || e >= kCapEndings) {
            Fault(row.Where("ending"), "out of range");
            return;
        }
        ENDINGPICTURE p{};
        auto optional = [&](const char* col) -> const char* {
            const char* s = row.Raw(col);
            return *s ? PoolText(s) : nullptr;
        };
        p.pszTitle = optional("title");
        p.pszSubtitle = optional("subtitle");
        row.Field("picture", p.szPicture);
        row.Field("palette", p.szPalette);
        p.pszBody = optional("body");
        pictures[static_cast<size_t>(e)].push_back(p);
    });
    ForRows("endings", [&](const Row& row) {
        int e = row.Int("index");
        if (e < 0 || e >= kCapEndings) {
            Fault(row.Where("index"), "out of range");
            return;
        }
        ENDINGSTRUCT& d = EndingDirectTable[e];
        d.nTrack = row.Int("track");
        g_lists.push_back(row.List("script"));
        if (g_lists.back().empty() || g_lists.back().back() != 0) g_lists.back().push_back(0);
        d.pScript = g_lists.back().data();
        g_pictures.push_back(std::move(pictures[static_cast<size_t>(e)]));
        d.pPicture = g_pictures.back().empty() ? nullptr : g_pictures.back().data();
        d.nPictureCount = static_cast<int32_t>(g_pictures.back().size());
        if (e + 1 > EndingDirectTableCount) EndingDirectTableCount = e + 1;
    });
}

void BuildTexts()
{
    ForRows("error_messages", [](const Row& row) {
        int i = 0, last = 0;
        if (!IndexRange(row, "index", kCapErrors, i, last)) return;
        for (; i <= last; ++i) {
            ErrorMessage[i] = row.Text("text");
            if (i + 1 > ErrorMessageCount) ErrorMessageCount = i + 1;
        }
    });
    for (int i = 0; i < ErrorMessageCount; ++i) {
        if (ErrorMessage[i] == nullptr) Fault("error_messages", "entry " + std::to_string(i) + " missing");
    }

#define ZRV_WORDS(name) BuildWordTable(#name, name, static_cast<int>(std::size(name)), name##Count)
    ZRV_WORDS(WeaponName);
    ZRV_WORDS(WeaponPositionName);
    ZRV_WORDS(SWndDefTypeName);
    ZRV_WORDS(MsgCommon);
    ZRV_WORDS(MsgUnitType);
    ZRV_WORDS(MsgUnitTypeJ);
    ZRV_WORDS(MsgDefTypeJ);
    ZRV_WORDS(MsgCarryTypeJ);
    ZRV_WORDS(MsgWeather);
    ZRV_WORDS(MsgWeatherNext);
    ZRV_WORDS(MsgSunEffectName);
    ZRV_WORDS(MsgLevel);
    ZRV_WORDS(MsgCtrlUser);
    ZRV_WORDS(MsgStatus);
    ZRV_WORDS(MsgSide);
    ZRV_WORDS(MsgEPackType);
    ZRV_WORDS(MsgSpecWord);
    ZRV_WORDS(MsgTerrainProduct);
    ZRV_WORDS(MsgTerrainSupply);
    ZRV_WORDS(MsgTerrainWork);
    ZRV_WORDS(MsgResult);
    ZRV_WORDS(MsgCredit);
    ZRV_WORDS(MsgGermanMedal);
#undef ZRV_WORDS

    SingleText("g_szUnitVersion", g_szUnitVersion);
    SingleText("MsgNoExistCD", MsgNoExistCD);
    SingleText("SpecDiveNow", SpecDiveNow);
    SingleText("MsgDisableWheel", MsgDisableWheel);
    SingleText("MsgVerUpStart", MsgVerUpStart);
    SingleText("MsgVerUpEnd0", MsgVerUpEnd0);
    SingleText("MsgVerUpEnd1", MsgVerUpEnd1);
    SingleText("MsgNoMatchDLL2Conv", MsgNoMatchDLL2Conv);
    SingleText("MsgNoMatchData2Conv", MsgNoMatchData2Conv);
    SingleText("WeaponGuild", WeaponGuild);
}

void BuildValues()
{
    g_nMaxUnit = ArmsDataCount;
    g_nLandUnit = Value("g_nLandUnit");
    g_nFundsBiasWin = Value("g_nFundsBiasWin");
    g_nFundsBiasVictory = Value("g_nFundsBiasVictory");
    g_nCreditX = Value("g_nCreditX");
    g_nCreditY = Value("g_nCreditY");
    g_nCreditHSize = Value("g_nCreditHSize");
    g_nCreditVSize = Value("g_nCreditVSize");
    g_nCreditGap = Value("g_nCreditGap");
    g_nCreditFontSz = Value("g_nCreditFontSz");
    g_nCreditFontWg = Value("g_nCreditFontWg");
    g_rgbFontColor = static_cast<uint32_t>(Value("g_rgbFontColor"));
    g_nCampaignWinSum = Value("g_nCampaignWinSum");
    g_nExtraScenario = Value("g_nExtraScenario");
    g_nIdeologyScnrStart = Value("g_nIdeologyScnrStart");
    g_nIdeologyScnrEnd = Value("g_nIdeologyScnrEnd");
}

// Runs while the library is being loaded, before any program looks up a name.
struct Build {
    Build()
    {
        BuildTexts();
        BuildUnits();
        BuildTerrain();
        BuildCountries();
        BuildClimate();
        BuildSounds();
        BuildScenarios();
        BuildHistory();
        BuildWorld();
        BuildValues();
    }
} g_build;

}  // namespace
