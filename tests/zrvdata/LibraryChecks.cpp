#include "LibraryChecks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <utility>

#include "foundation/DataLibraryLoader.h"
#include "platform/core/Format.h"
#include "platform/core/Text.h"

namespace zrvtest {
namespace {

using namespace zrv;

class Checker {
public:
    std::vector<std::string> faults;

    void Fault(const std::string& s) { faults.push_back(s); }

    template <typename Span>
    void AtLeast(const char* name, const Span& table, size_t n)
    {
        if (table.size() < n) {
            Fault(std::string(name) + ": " + std::to_string(table.size()) + " entries, at least " +
                  std::to_string(n) + " needed");
        }
    }
    template <typename Span>
    void Exactly(const char* name, const Span& table, size_t n)
    {
        if (table.size() != n) {
            Fault(std::string(name) + ": " + std::to_string(table.size()) + " entries, " + std::to_string(n) +
                  " expected");
        }
    }
    void Range(const std::string& what, long long v, long long lo, long long hi)
    {
        if (v < lo || v > hi) {
            Fault(what + " = " + std::to_string(v) + ", outside " + std::to_string(lo) + ".." +
                  std::to_string(hi));
        }
    }
};

bool Terminated(const char* field, size_t size)
{
    return std::memchr(field, '\0', size) != nullptr;
}

void CheckCounts(Checker& c, const DataLibrary& l)
{
    c.AtLeast("ArmsData", l.ArmsData, 2);
    if (static_cast<size_t>(l.g_nMaxUnit) != l.ArmsData.size()) c.Fault("g_nMaxUnit differs from ArmsData");
    c.Range("g_nMaxUnit", l.g_nMaxUnit, 1, kMaxUnitTypes);
    c.Exactly("WeaponData", l.WeaponData, l.ArmsData.size() * kWeaponSlots);
    c.Exactly("UnitName", l.UnitName, l.ArmsData.size());
    c.Exactly("UnitNameJ", l.UnitNameJ, l.ArmsData.size());
    c.Exactly("TerrainBase", l.TerrainBase, kTerrainCount);
    c.Exactly("TerrainName", l.TerrainName, kTerrainCount);
    c.Exactly("SMapPatternData", l.SMapPatternData, kTerrainCount);
    c.Exactly("SMapPatternDataL", l.SMapPatternDataL, kTerrainCount);
    c.Exactly("RoadBase", l.RoadBase, kRouteKinds);
    c.Exactly("RoadName", l.RoadName, kRouteKinds);
    c.Exactly("TerrainCostTable", l.TerrainCostTable, kMoveTypes);
    c.Exactly("TerrainCostTableSnow", l.TerrainCostTableSnow, kMoveTypes);
    c.Exactly("SupplyTable", l.SupplyTable, kCountryIds * kCountryIds);
    c.Exactly("CountryBGMTable", l.CountryBGMTable, kCountryIds);
    c.Exactly("NationNameJ", l.NationNameJ, kCountryIds);
    c.Exactly("StartWallPositionTable", l.StartWallPositionTable, kCountryIds);
    c.Exactly("TerrainColorData", l.TerrainColorData, kTerrainColorSets);
    c.AtLeast("WaveFileList", l.WaveFileList, 48);
    c.Exactly("WaveMoveTableNormal", l.WaveMoveTableNormal, kMoveTypes);
    c.Exactly("WaveMoveTableSnow", l.WaveMoveTableSnow, kMoveTypes);
    c.Exactly("WaveMoveTableWater", l.WaveMoveTableWater, kMoveTypes);
    c.AtLeast("WaveShotedTable", l.WaveShotedTable, 5);
    c.AtLeast("CDAudioFileList", l.CDAudioFileList, 16);
    c.AtLeast("TemperatureData", l.TemperatureData, 1);
    c.Exactly("SunriseSunsetData", l.SunriseSunsetData, l.TemperatureData.size());
    c.Exactly("MsgZone", l.MsgZone, l.TemperatureData.size());
    c.AtLeast("RainRateData", l.RainRateData, 12);
    if (l.RainRateData.size() % 12 != 0) c.Fault("RainRateData: not whole years of 12 months");
    c.AtLeast("AccumulateRainData", l.AccumulateRainData, 8);
    c.Exactly("TemperatureTimeRate", l.TemperatureTimeRate, 24);
    c.Exactly("TblNewMoon", l.TblNewMoon, 19);
    c.AtLeast("ScenarioData", l.ScenarioData, 1);
    if (static_cast<size_t>(l.g_nMaxScnr) != l.ScenarioData.size())
        c.Fault("g_nMaxScnr differs from ScenarioData");
    c.AtLeast("HistoryData", l.HistoryData, 1);
    c.AtLeast("ErrorMessage", l.ErrorMessage, 157);
    c.AtLeast("EndingDirectTable", l.EndingDirectTable, 1);

    const std::pair<const char*, std::pair<TextTable, size_t>> words[] = {
        {"MsgUnitType", {l.MsgUnitType, 63}},
        {"MsgUnitTypeJ", {l.MsgUnitTypeJ, 63}},
        {"MsgMoveTypeJ", {l.MsgMoveTypeJ, 34}},
        {"MsgDefTypeJ", {l.MsgDefTypeJ, 5}},
        {"MsgCarryTypeJ", {l.MsgCarryTypeJ, 8}},
        {"SWndDefTypeName", {l.SWndDefTypeName, 5}},
        {"MsgWeather", {l.MsgWeather, 8}},
        {"MsgWeatherNext", {l.MsgWeatherNext, 4}},
        {"MsgSunEffectName", {l.MsgSunEffectName, 3}},
        {"MsgLevel", {l.MsgLevel, 6}},
        {"MsgCtrlUser", {l.MsgCtrlUser, 3}},
        {"MsgStatus", {l.MsgStatus, 6}},
        {"MsgSide", {l.MsgSide, 3}},
        {"MsgEPackType", {l.MsgEPackType, 41}},
        {"MsgSpecWord", {l.MsgSpecWord, 5}},
        {"MsgTerrainProduct", {l.MsgTerrainProduct, 5}},
        {"MsgTerrainSupply", {l.MsgTerrainSupply, 4}},
        {"MsgTerrainWork", {l.MsgTerrainWork, 2}},
        {"MsgResult", {l.MsgResult, 3}},
        {"MsgCommon", {l.MsgCommon, 16}},
    };
    for (const auto& [name, t] : words) c.AtLeast(name, t.first, t.second);

    c.Range("g_nMaxIWCity", l.g_nMaxIWCity, 0, kMaxWorldCities);
    c.Range("g_nMaxIWNation", l.g_nMaxIWNation, 0, kMaxWorldNations);
    c.AtLeast("IWCityData", l.IWCityData, static_cast<size_t>(std::max(l.g_nMaxIWCity, 0)));
    c.AtLeast("IWCountryData", l.IWCountryData, static_cast<size_t>(std::max(l.g_nMaxIWNation, 0)));
}

void CheckUnits(Checker& c, const DataLibrary& l)
{
    const long long types = static_cast<long long>(l.ArmsData.size());
    for (size_t t = 1; t < l.ArmsData.size(); ++t) {
        const ARMSSTRUCT& a = l.ArmsData[t];
        const std::string at = "ArmsData[" + std::to_string(t) + "].";
        if (a.nArmsNo != static_cast<int>(t)) c.Fault(at + "nArmsNo differs from its index");
        // Pictures 0..4 are the domain sprites shown for unidentified contacts.
        c.Range(at + "nPicture", a.nPicture, 5, static_cast<long long>(l.UnitGraphicsOffset.size()) - 1);
        c.Range(at + "nClass", a.nClass, 0, kUnitClasses - 1);
        c.Range(at + "nNation", a.nNation, 0, kCountryIds - 1);
        c.Range(at + "nMoveType", a.nMoveType, 0, kMoveTypes - 1);
        c.Range(at + "nDomain", a.nDomain, 0, 4);
        c.Range(at + "nCarryClass", a.nCarryClass, -1, 6);
        c.Range(at + "nEvolution", a.nEvolution, 0, 9);
        c.Range(at + "nEntryMode", a.nEntryMode, 0, 2);
        c.Range(at + "nDevelopKind", a.nDevelopKind, 0, 2);
        c.Range(at + "nStrengthMax", a.nStrengthMax, 1, 255);
        for (int k = 0; k < 5; ++k) {
            if (a.wImprove[k] != 0) c.Range(at + "wImprove", a.wImprove[k], 1, types - 1);
        }
        if (a.dwDateFrom > a.dwDateRetire) c.Fault(at + "retires before it is available");
        if (a.nMoveType == kMoveTypeSubmarine && a.wBattery <= 0) c.Fault(at + "a submarine without battery");
        bool single = a.Arm[1].nSetId == 0;
        for (int s = 0; s < 6; ++s) {
            // The set identifiers name pages through MsgEPackType, whose
            // entries above 18 are the sheet's own pages.
            c.Range(at + "Arm[" + std::to_string(s) + "].nSetId", a.Arm[s].nSetId, 0, 18);
            if (single && s > 0) break;
        }
        if (a.Arm[0].nSetId == 0) c.Fault(at + "Arm[0] has no set identifier");

        bool ended = false;
        for (int s = 0; s < kWeaponSlots; ++s) {
            const WEAPONSTRUCT& w = l.WeaponData[t * kWeaponSlots + static_cast<size_t>(s)];
            const std::string ws = "WeaponData[" + std::to_string(t) + "*8+" + std::to_string(s) + "].";
            if (w.nWeaponNo == 0) {
                ended = true;
                for (int set = 0; set < 6; ++set) {
                    if (a.Arm[set].nCount[s] != 0)
                        c.Fault(at + "rounds for the empty slot " + std::to_string(s));
                }
                continue;
            }
            if (ended) c.Fault(ws + "follows an empty slot, which ends the type's list");
            c.Range(ws + "nWeaponNo", w.nWeaponNo, 1, static_cast<long long>(l.WeaponName.size()) - 1);
            c.Range(ws + "nPosition", w.nPosition, 0,
                    static_cast<long long>(l.WeaponPositionName.size()) - 1);
            c.Range(ws + "byType", w.byType, 0, kWeaponTypeCount - 1);
            c.Range(ws + "byGroup", w.byGroup, 0, 7);
        }
    }
    if (l.g_nLandUnit < 1 || l.g_nLandUnit >= types) {
        c.Fault("g_nLandUnit is no unit type");
    } else {
        const ARMSSTRUCT& land = l.ArmsData[static_cast<size_t>(l.g_nLandUnit)];
        if (!IsGroundClass(land) || land.nDomain < 1 || land.nDomain > 2)
            c.Fault("g_nLandUnit is not a ground type");
    }
    for (size_t i = 0; i < l.EndingEnemyUnit.size(); ++i) {
        c.Range("EndingEnemyUnit[" + std::to_string(i) + "]", l.EndingEnemyUnit[i], 1, types - 1);
    }
}

void CheckTerrain(Checker& c, const DataLibrary& l)
{
    for (size_t i = 0; i < l.TerrainBase.size(); ++i) {
        const TRRNSTRUCT& t = l.TerrainBase[i];
        const std::string at = "TerrainBase[" + std::to_string(i) + "].";
        // Forms are written into map cells, whose terrains have cost columns only up to 90.
        c.Range(at + "nBuiltForm", t.nBuiltForm, 0, kCostTerrainColumns - 1);
        c.Range(at + "nRuinForm", t.nRuinForm, 0, kCostTerrainColumns - 1);
        c.Range(at + "nFloodForm", t.nFloodForm, 0, kCostTerrainColumns - 1);
        c.Range(at + "nFrozenForm", t.nFrozenForm, 0, kCostTerrainColumns - 1);
        c.Range(at + "nConnectMode", t.nConnectMode, 0, 11);
        c.Range(at + "nCover", t.nCover, 0, 100);
        if (t.nIceLimit != 0 && t.nFrozenForm == 0) c.Fault(at + "an ice limit without a frozen form");
    }
    for (const auto* table : {&l.TerrainCostTable, &l.TerrainCostTableSnow}) {
        for (size_t m = 0; m < table->size(); ++m) {
            for (int col = 0; col < kCostColumns; ++col) {
                if ((*table)[m][static_cast<size_t>(col)] < 0) {
                    c.Fault("cost of move type " + std::to_string(m) + " column " + std::to_string(col) +
                            " < 0");
                }
            }
        }
    }
    for (size_t i = 0; i < l.CountryBGMTable.size(); ++i) {
        // The BGM dialog offers tracks 4..15.
        c.Range("CountryBGMTable[" + std::to_string(i) + "]", l.CountryBGMTable[i], 4, 15);
    }
}

void CheckSounds(Checker& c, const DataLibrary& l)
{
    const long long effects = static_cast<long long>(l.WaveFileList.size());
    for (size_t i = 0; i < l.WaveFileList.size(); ++i) {
        const auto& e = l.WaveFileList[i];
        if (e.name == nullptr || *e.name == '\0' || e.description == nullptr) {
            c.Fault("WaveFileList[" + std::to_string(i) + "] has no file");
        }
    }
    for (size_t i = 0; i < l.CDAudioFileList.size(); ++i) {
        if (!l.CDAudioFileList[i].name || !l.CDAudioFileList[i].description) {
            c.Fault("CDAudioFileList[" + std::to_string(i) + "] is empty");
        }
    }
    for (const auto& [name, table] : {std::pair{"WaveMoveTableNormal", l.WaveMoveTableNormal},
                                      std::pair{"WaveMoveTableSnow", l.WaveMoveTableSnow},
                                      std::pair{"WaveMoveTableWater", l.WaveMoveTableWater},
                                      std::pair{"WaveShotedTable", l.WaveShotedTable}}) {
        for (size_t i = 0; i < table.size(); ++i) {
            c.Range(std::string(name) + "[" + std::to_string(i) + "]", table[i], 0, effects - 1);
        }
    }
}

// Day of the year (1-based) of month/day, counting 29 days for February so a
// gap is never underestimated.
int DayOfYear(int month, int day)
{
    static const int kBefore[] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
    return kBefore[month - 1] + day;
}

void CheckClimate(Checker& c, const DataLibrary& l)
{
    for (size_t a = 0; a < l.TemperatureData.size(); ++a) {
        for (int m = 0; m < 12; ++m) {
            if (l.TemperatureData[a].nMax[m] < l.TemperatureData[a].nMin[m]) {
                c.Fault("TemperatureData[" + std::to_string(a) + "]: maximum below minimum in month " +
                        std::to_string(m + 1));
            }
        }
    }
    for (size_t a = 0; a < l.SunriseSunsetData.size(); ++a) {
        for (int k = 0; k < 24; ++k)
            c.Range("SunriseSunsetData hour", std::abs(l.SunriseSunsetData[a][k]), 0, 23);
    }
    for (size_t i = 0; i < l.RainRateData.size(); ++i) c.Range("RainRateData", l.RainRateData[i], 0, 100);
    // A moon type is also the status strip's moon image: 0-8 by day, + 9 at night.
    for (size_t i = 0; i < l.TblMoonType.size(); ++i) c.Range("TblMoonType", l.TblMoonType[i], 0, 8);

    // New moons ascend in each row, free slots (negative) come last, and the
    // moon-type table covers the longest lunation, including the one that runs
    // from the last new moon of a row into the next row.
    int longest = 0;
    int prevDay = -1;
    for (size_t row = 0; row < l.TblNewMoon.size(); ++row) {
        bool free = false;
        int last = -1;
        for (int k = 0; k < 13; ++k) {
            int32_t v = l.TblNewMoon[row][static_cast<size_t>(k)];
            const std::string at = "TblNewMoon[" + std::to_string(row) + "][" + std::to_string(k) + "]";
            if (v < 0) {
                free = true;
                continue;
            }
            if (free) c.Fault(at + " follows a free slot");
            int year = (v >> 16) & 0xFF, month = (v >> 8) & 0xFF, day = v & 0xFF;
            if (year != static_cast<int>(row) || month < 1 || month > 12 || day < 1 || day > 31) {
                c.Fault(at + " is no date of its cycle year");
                continue;
            }
            int doy = DayOfYear(month, day);
            if (last >= 0 && doy <= last) c.Fault(at + " does not ascend");
            int gap = prevDay < 0 ? 0 : (last >= 0 ? doy - last : doy + 366 - prevDay);
            if (gap > longest) longest = gap;
            last = doy;
            prevDay = doy;
        }
    }
    if (!l.TblNewMoon.empty() && l.TblNewMoon[0][0] != 0x000101) {
        c.Fault("TblNewMoon does not start on 1 January, so early dates find nothing before it");
    }
    if (l.TblMoonType.size() < static_cast<size_t>(longest + 1)) {
        c.Fault("TblMoonType has " + std::to_string(l.TblMoonType.size()) +
                " entries, the longest lunation needs " + std::to_string(longest + 1));
    }
}

void CheckScenarios(Checker& c, const DataLibrary& l)
{
    const long long types = static_cast<long long>(l.ArmsData.size());
    for (size_t s = 0; s < l.ScenarioData.size(); ++s) {
        const SCNRBASESTRUCT& sc = l.ScenarioData[s];
        const std::string at = "ScenarioData[" + std::to_string(s) + "].";
        if (!Terminated(sc.szName, sizeof sc.szName) || sc.szName[0] == '\0')
            c.Fault(at + "name empty or too long");
        if (!Terminated(sc.szArea, sizeof sc.szArea)) c.Fault(at + "area name too long");
        if (sc.rcMap[0] > sc.rcMap[2] || sc.rcMap[1] > sc.rcMap[3]) c.Fault(at + "map rectangle upside down");
        if (sc.pReinforce == nullptr) {
            c.Fault(at + "no reinforcement list");
        } else {
            // Entries are delivered strictly in list order, so a turn lower
            // than the one before would wait behind it.
            int n = 0;
            int32_t lastTurn = 0;
            for (const int32_t* p = sc.pReinforce; *p >= 0; p += 2) {
                if (++n > 1000) {
                    c.Fault(at + "reinforcement list never ends");
                    break;
                }
                if (p[0] < lastTurn) c.Fault(at + "reinforcement turns do not ascend");
                lastTurn = p[0];
                c.Range(at + "reinforcement type", static_cast<int16_t>(p[1] >> 16), 1, types - 1);
            }
        }
        for (int b = 0; b < 3; ++b) {
            const SCNRBRANCH& br = sc.Branch[b];
            const std::string bt = at + "Branch[" + std::to_string(b) + "].";
            if (br.nNext >= 0) {
                c.Range(bt + "nNext", br.nNext, 0, l.g_nMaxScnr - 1);
            } else {
                c.Range(bt + "ending", -(br.nNext + 1), 0,
                        static_cast<long long>(l.EndingDirectTable.size()) - 1);
            }
            if (br.pszOutcome == nullptr) c.Fault(bt + "no outcome text");
            if (br.pCityChange == nullptr || br.pCountryChange == nullptr) {
                c.Fault(bt + "no change list");
                continue;
            }
            // Groups: a country id, then (city, value) pairs up to a negative word.
            const int32_t* p = br.pCityChange;
            for (int guard = 0; *p >= 0 && guard < 1000; ++guard) {
                ++p;
                while (*p >= 0) {
                    c.Range(bt + "city", p[0], 0, l.g_nMaxIWCity - 1);
                    if (p[1] < 0) {
                        c.Fault(bt + "city change without a value");
                        break;
                    }
                    p += 2;
                }
                ++p;
            }
            for (const int32_t* q = br.pCountryChange; *q >= 0; q += 2) {
                c.Range(bt + "country value", q[0], 0, l.g_nMaxIWNation - 1);
                if (q[1] < 0) {
                    c.Fault(bt + "country change without a value");
                    break;
                }
            }
        }
    }

    if (l.HistoryData.empty() || l.HistoryData.back().dwDateTime != 0x7FFFFFFFu) {
        c.Fault("HistoryData does not end with the 0x7FFFFFFF record");
    }
    for (size_t i = 0; i < l.HistoryData.size(); ++i) {
        const HISTORYSTRUCT& h = l.HistoryData[i];
        const std::string at = "HistoryData[" + std::to_string(i) + "]";
        if (i > 0 &&
            static_cast<int32_t>(h.dwDateTime) < static_cast<int32_t>(l.HistoryData[i - 1].dwDateTime)) {
            c.Fault(at + " is earlier than the one before");
        }
        if (i + 1 < l.HistoryData.size() && h.dwDateTime == 0x7FFFFFFFu)
            c.Fault(at + " ends the table early");
        if (!Terminated(h.szTitle, sizeof h.szTitle) || !Terminated(h.szText, sizeof h.szText)) {
            c.Fault(at + " text not terminated");
        }
    }

    for (size_t e = 0; e < l.EndingDirectTable.size(); ++e) {
        const ENDINGSTRUCT& d = l.EndingDirectTable[e];
        const std::string at = "EndingDirectTable[" + std::to_string(e) + "]";
        if (d.pScript == nullptr) c.Fault(at + " has no script");
        c.Range(at + " track", d.nTrack, 0, static_cast<long long>(l.CDAudioFileList.size()) - 1);
        for (int p = 0; p < d.nPictureCount; ++p) {
            if (!Terminated(d.pPicture[p].szPicture, 16) || !Terminated(d.pPicture[p].szPalette, 16)) {
                c.Fault(at + " picture file name too long");
            }
        }
    }
    if (l.EndingMedalRank.empty() || l.EndingMedalRank.back() >= 0)
        c.Fault("EndingMedalRank lacks its negative end");
    for (size_t i = 0; i < l.IWCityData.size(); ++i) {
        if (!Terminated(l.IWCityData[i].szName, sizeof l.IWCityData[i].szName)) {
            c.Fault("IWCityData[" + std::to_string(i) + "] name not terminated");
        }
    }
}

std::vector<platform::FormatArg::Kind> Kinds(const std::string& args)
{
    std::vector<platform::FormatArg::Kind> out;
    for (char ch : args)
        out.push_back(ch == 'd' ? platform::FormatArg::Kind::Int : platform::FormatArg::Kind::Str);
    return out;
}

bool Matches(const char* text, const std::vector<platform::FormatArg::Kind>& kinds)
{
    switch (kinds.size()) {
        case 0:
            return platform::FormatMatches(text, {});
        case 1:
            return platform::FormatMatches(text, {kinds[0]});
        case 2:
            return platform::FormatMatches(text, {kinds[0], kinds[1]});
        case 3:
            return platform::FormatMatches(text, {kinds[0], kinds[1], kinds[2]});
        case 4:
            return platform::FormatMatches(text, {kinds[0], kinds[1], kinds[2], kinds[3]});
        default:
            return false;  // no caller passes more than four
    }
}

void CheckTexts(Checker& c, const DataLibrary& l, const std::vector<TextFormat>& formats)
{
    std::map<std::pair<std::string, int>, std::string> declared;
    for (const auto& f : formats) declared[{f.table, f.index}] = f.args;

    auto check = [&](const std::string& table, int index, const char* text) {
        const std::string at = table + (index >= 0 ? "[" + std::to_string(index) + "]" : "");
        if (text == nullptr) {
            c.Fault(at + " is missing");
            return;
        }
        bool valid = true;
        std::string utf8 = platform::SjisToUtf8(text, &valid);
        if (!valid || platform::Utf8ToSjis(utf8) != text) c.Fault(at + " does not survive CP932 <-> UTF-8");
        auto it = declared.find({table, index});
        const std::string args = it == declared.end() ? "" : it->second;
        if (!Matches(text, Kinds(args))) {
            c.Fault(at + " \"" + utf8 + "\" does not take exactly (" + args + ")");
        }
        if (it != declared.end()) declared.erase(it);
    };

    const std::pair<const char*, TextTable> tables[] = {
        {"UnitName", l.UnitName},
        {"UnitNameJ", l.UnitNameJ},
        {"WeaponName", l.WeaponName},
        {"WeaponPositionName", l.WeaponPositionName},
        {"TerrainName", l.TerrainName},
        {"RoadName", l.RoadName},
        {"NationNameJ", l.NationNameJ},
        {"SWndDefTypeName", l.SWndDefTypeName},
        {"ErrorMessage", l.ErrorMessage},
        {"MsgCommon", l.MsgCommon},
        {"MsgUnitType", l.MsgUnitType},
        {"MsgUnitTypeJ", l.MsgUnitTypeJ},
        {"MsgMoveTypeJ", l.MsgMoveTypeJ},
        {"MsgDefTypeJ", l.MsgDefTypeJ},
        {"MsgCarryTypeJ", l.MsgCarryTypeJ},
        {"MsgWeather", l.MsgWeather},
        {"MsgWeatherNext", l.MsgWeatherNext},
        {"MsgSunEffectName", l.MsgSunEffectName},
        {"MsgLevel", l.MsgLevel},
        {"MsgCtrlUser", l.MsgCtrlUser},
        {"MsgStatus", l.MsgStatus},
        {"MsgSide", l.MsgSide},
        {"MsgZone", l.MsgZone},
        {"MsgEPackType", l.MsgEPackType},
        {"MsgSpecWord", l.MsgSpecWord},
        {"MsgTerrainProduct", l.MsgTerrainProduct},
        {"MsgTerrainSupply", l.MsgTerrainSupply},
        {"MsgTerrainWork", l.MsgTerrainWork},
        {"MsgResult", l.MsgResult},
        {"MsgCredit", l.MsgCredit},
        {"MsgGermanMedal", l.MsgGermanMedal},
    };
    for (const auto& [name, table] : tables) {
        for (size_t i = 0; i < table.size(); ++i) check(name, static_cast<int>(i), table[i]);
    }
    const std::pair<const char*, const char*> singles[] = {
        {"g_szUnitVersion", l.g_szUnitVersion},
        {"MsgNoExistCD", l.MsgNoExistCD},
        {"SpecDiveNow", l.SpecDiveNow},
        {"MsgDisableWheel", l.MsgDisableWheel},
        {"MsgVerUpStart", l.MsgVerUpStart},
        {"MsgVerUpEnd0", l.MsgVerUpEnd0},
        {"MsgVerUpEnd1", l.MsgVerUpEnd1},
        {"MsgNoMatchDLL2Conv", l.MsgNoMatchDLL2Conv},
        {"MsgNoMatchData2Conv", l.MsgNoMatchData2Conv},
        {"WeaponGuild", l.WeaponGuild},
    };
    for (const auto& [name, text] : singles) check(name, -1, text);
    for (size_t i = 0; i < l.WaveFileList.size(); ++i) {
        check("WaveFileList", static_cast<int>(i), l.WaveFileList[i].name);
        check("WaveFileList.description", static_cast<int>(i), l.WaveFileList[i].description);
    }
    for (size_t i = 0; i < l.CDAudioFileList.size(); ++i) {
        check("CDAudioFileList", static_cast<int>(i), l.CDAudioFileList[i].name);
        check("CDAudioFileList.description", static_cast<int>(i), l.CDAudioFileList[i].description);
    }
    for (size_t s = 0; s < l.ScenarioData.size(); ++s) {
        for (int b = 0; b < 3; ++b)
            check("outcome", static_cast<int>(s * 3 + b), l.ScenarioData[s].Branch[b].pszOutcome);
    }
    for (const auto& [key, args] : declared) {
        c.Fault(key.first + "[" + std::to_string(key.second) + "] is declared with (" + args +
                ") but does not exist");
    }

    if (std::strcmp(TableText(l.MsgCommon, 10), "\x82\x4F") != 0) {
        c.Fault("MsgCommon[10] is not the full-width zero that full-width digits are counted from");
    }
    if (std::strcmp(TableText(l.ErrorMessage, 16), kDataLibraryLoadFailure) != 0) {
        c.Fault("ErrorMessage[16] differs from the programs' built-in copy");
    }
    if (std::strlen(l.g_szUnitVersion) > 7) c.Fault("g_szUnitVersion is longer than 7 characters");
    if (l.g_nFundsBiasWin == 0 || l.g_nFundsBiasVictory == 0) c.Fault("a funds bias is 0 (a divisor)");

    // The credits end only after a whole area of empty lines has scrolled by.
    const int pitch = l.g_nCreditGap + l.g_nCreditFontSz;
    if (pitch <= 0) {
        c.Fault("credit line pitch is not positive");
    } else {
        size_t need = static_cast<size_t>(l.g_nCreditVSize / pitch + 1);
        size_t empty = 0;
        while (empty < l.MsgCredit.size() && l.MsgCredit[l.MsgCredit.size() - 1 - empty] != nullptr &&
               *l.MsgCredit[l.MsgCredit.size() - 1 - empty] == '\0') {
            ++empty;
        }
        if (empty < need) {
            c.Fault("MsgCredit ends with " + std::to_string(empty) + " empty lines, " + std::to_string(need) +
                    " needed");
        }
    }
}

// Every unit type of the kind has a base on the terrain (any of bits 0-2 of
// its base kind's nibble), and aircraft are not refused there.
bool BasesEvery(const DataLibrary& l, const TRRNSTRUCT& t, bool (*kind)(const ARMSSTRUCT&))
{
    bool any = false;
    for (size_t u = 1; u < l.ArmsData.size(); ++u) {
        const ARMSSTRUCT& a = l.ArmsData[u];
        if (!kind(a)) continue;
        any = true;
        if ((BaseNibble(t.dwBaseField, a.nBaseKind) & 7u) == 0) return false;
        if (IsAirClass(a) && IsNoAirBase(t)) return false;
    }
    return any;
}

// The land unit type's cost of entering terrain i; 0 (impassable) when the
// type or its move type is out of range.
int32_t LandUnitCost(const DataLibrary& l, int i)
{
    if (l.g_nLandUnit <= 0 || static_cast<size_t>(l.g_nLandUnit) >= l.ArmsData.size()) return 0;
    const int move = l.ArmsData[static_cast<size_t>(l.g_nLandUnit)].nMoveType;
    if (move < 0 || static_cast<size_t>(move) >= l.TerrainCostTable.size()) return 0;
    return l.TerrainCostTable[static_cast<size_t>(move)][static_cast<size_t>(i)];
}

const TRRNSTRUCT& TerrainAt(const DataLibrary& l, int i)
{
    return l.TerrainBase[static_cast<size_t>(i)];
}

// One thing a terrain of a role must be, and how a fault names its absence.
struct Need {
    const char* fault;
    std::function<bool(const DataLibrary&, const TRRNSTRUCT&, int)> holds;
};

}  // namespace

std::vector<std::string> CheckTerrainRoles(const DataLibrary& l)
{
    std::vector<std::string> faults;
    if (l.TerrainBase.size() != static_cast<size_t>(kTerrainCount)) {
        faults.push_back("TerrainBase: " + std::to_string(l.TerrainBase.size()) + " entries, " +
                         std::to_string(kTerrainCount) + " expected");
        return faults;
    }
    using Lib = const DataLibrary&;
    using Trn = const TRRNSTRUCT&;
    const Need occupiable{"is not occupiable (flag bit 31)", [](Lib, Trn t, int) { return IsOccupiable(t); }};
    const Need income{"is no income hex (flag bit 10)", [](Lib, Trn t, int) { return IsIncomeHex(t); }};
    const Need city{"lacks the city flag (bit 11)", [](Lib, Trn t, int) { return IsCityHex(t); }};
    const Need land{"is deep water (flag bit 17)", [](Lib, Trn t, int) { return !IsDeepWater(t); }};
    const Need unheld{"is occupiable or an income hex",
                      [](Lib, Trn t, int) { return !IsOccupiable(t) && !IsIncomeHex(t); }};
    const Need shipBase{"is no base for every ship type",
                        [](Lib lib, Trn t, int) { return BasesEvery(lib, t, IsNavalClass); }};
    const Need airBase{"is no base for every aircraft type",
                       [](Lib lib, Trn t, int) { return BasesEvery(lib, t, IsAirClass); }};
    // What removing a fortress or an airfield leaves must take the land unit,
    // or the units standing there would be stranded.
    const Need walkable{"cannot be entered by the land unit type (g_nLandUnit)",
                        [](Lib lib, Trn, int i) { return LandUnitCost(lib, i) > 0; }};

    struct Role {
        const char* kind;
        std::vector<int> indexes;
        std::vector<Need> needs;
        int builtForm;      // what construction reads or writes here; -1 any
        bool mayBeCapital;  // the city flag (capital candidates) belongs here
    };
    const Role roles[] = {
        {"a capital-type city", {1, 80}, {occupiable, income, city, land}, -1, true},
        {"a city", {2, 81, 68, 85}, {occupiable, income, city, land}, -1, true},
        {"a port", {3, 82, 69, 86}, {occupiable, income, land, shipBase}, -1, true},
        {"an airfield", {4, 83, 70, 87}, {occupiable, income, land, airBase}, -1, false},
        {"an industrial site", {5, 67, 71, 75}, {occupiable, income, land}, -1, false},
        // Removing a fortress turns it into its built form; a fortress or an
        // airfield is built only where the built form is 35 or 84.
        {"the fortress", {35}, {land}, 7, false},
        {"the desert fortress", {84}, {land}, 79, false},
        {"the plain", {7}, {unheld, land, walkable}, 35, false},
        {"the desert", {79}, {unheld, land, walkable}, 84, false},
        {"a flood result", {72, 74}, {unheld}, -1, false},
    };
    std::vector<bool> capitalIndex(static_cast<size_t>(kTerrainCount), false);
    for (const Role& r : roles) {
        for (int i : r.indexes) {
            const TRRNSTRUCT& t = TerrainAt(l, i);
            const std::string at =
                "TerrainBase[" + std::to_string(i) + "]: the rules take it for " + r.kind + ", but it ";
            for (const Need& n : r.needs) {
                if (!n.holds(l, t, i)) faults.push_back(at + n.fault);
            }
            if (r.builtForm >= 0 && t.nBuiltForm != r.builtForm) {
                faults.push_back(at + "has the built form " + std::to_string(t.nBuiltForm) + ", not " +
                                 std::to_string(r.builtForm));
            }
            capitalIndex[static_cast<size_t>(i)] = r.mayBeCapital;
        }
    }
    // Capitals stand on city hexes: one anywhere else is a capital that the
    // computer player's targets and the income page's city count overlook.
    for (int i = 0; i < kTerrainCount; ++i) {
        if (IsCityHex(TerrainAt(l, i)) && !capitalIndex[static_cast<size_t>(i)]) {
            faults.push_back("TerrainBase[" + std::to_string(i) +
                             "] has the city flag (bit 11), but the rules count no city or port there");
        }
    }
    return faults;
}

std::vector<std::string> CheckLibrary(const DataLibrary& lib, const std::vector<TextFormat>& formats)
{
    Checker c;
    CheckCounts(c, lib);
    // The walks below index by the counts checked above; stop when they are off.
    if (!c.faults.empty()) return c.faults;
    CheckUnits(c, lib);
    CheckTerrain(c, lib);
    CheckSounds(c, lib);
    CheckClimate(c, lib);
    CheckScenarios(c, lib);
    CheckTexts(c, lib, formats);
    return c.faults;
}

}  // namespace zrvtest
