#include "support/FixtureLibrary.h"

#include <array>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "foundation/DataLibraryLoader.h"
#include "platform/core/Format.h"

namespace zrvtest {
namespace {

using namespace zrv;

constexpr uint32_t kFrom = PackDate(40, 1, 1);
constexpr uint32_t kNever = PackDate(99, 12, 31);

ARMSSTRUCT Type(int no, int cls, int nation, uint32_t flags, int move, int mp, int domain, int baseKind,
                int carryClass)
{
    ARMSSTRUCT a{};
    a.nArmsNo = no;
    a.nPicture = no + 4;
    a.nClass = cls;
    a.nNation = nation;
    a.dwArmsFlag = flags;
    a.nStrengthMax = 10;
    a.nPrice = 20;
    a.nReplenish = 2;
    a.nMoveType = move;
    a.nMovePoint = mp;
    a.nSight = 3;
    a.nDomain = domain;
    a.nWeight = 10;
    a.nBaseKind = baseKind;
    a.nFuelMax = 50;
    a.nFuelPrice = 1;
    a.nCarryClass = carryClass;
    a.dwDateFrom = kFrom;
    a.dwDateNewEnd = kFrom;
    a.dwDateRetire = kNever;
    a.Arm[0].nSetId = 1;
    return a;
}

WEAPONSTRUCT Weapon(int no, int type, int group, std::array<int, 5> attack, std::array<int, 4> range)
{
    WEAPONSTRUCT w{};
    w.nWeaponNo = no;
    w.nPosition = 1;
    w.nPieces = 1;
    w.byType = static_cast<uint8_t>(type);
    w.byGroup = static_cast<uint8_t>(group);
    for (int k = 0; k < 5; ++k) w.nAttack[k] = attack[static_cast<size_t>(k)];
    for (int k = 0; k < 4; ++k) w.nRange[k] = range[static_cast<size_t>(k)];
    w.nAccuracy = 50;
    w.nInitiative[2] = 5;
    w.nInitiative[3] = 3;
    w.nRoundPrice = 1;
    w.nLoad = 1;
    return w;
}

TRRNSTRUCT Terrain(uint32_t flags, uint32_t base, int cover, int built = 0)
{
    TRRNSTRUCT t{};
    t.dwTrrnFlag = flags;
    t.dwBaseField = base;
    t.nDurableMax = 100;
    t.nDurableRate = 10;
    t.nCover = cover;
    t.nBuiltForm = built;
    return t;
}

struct Fixture {
    std::deque<std::string> texts;  // owns every text the tables point to
    const char* Own(std::string s)
    {
        texts.push_back(std::move(s));
        return texts.back().c_str();
    }
    std::vector<const char*> Numbered(const char* stem, int n)
    {
        std::vector<const char*> out;
        for (int i = 0; i < n; ++i) out.push_back(Own(platform::FormatText("%s%d", {stem, i})));
        return out;
    }

    std::vector<ARMSSTRUCT> arms;
    std::vector<WEAPONSTRUCT> weapons;
    std::vector<TRRNSTRUCT> terrain = std::vector<TRRNSTRUCT>(kTerrainCount);
    std::vector<TRRNSTRUCT> roads = std::vector<TRRNSTRUCT>(kRouteKinds);
    std::vector<CostRow> cost = std::vector<CostRow>(kMoveTypes);
    std::vector<CostRow> costSnow;
    std::vector<uint8_t> supply = std::vector<uint8_t>(kCountryIds * kCountryIds);
    std::vector<int32_t> bgm = std::vector<int32_t>(kCountryIds, 4);
    std::vector<std::array<int32_t, 4>> wall =
        std::vector<std::array<int32_t, 4>>(kCountryIds, {0, 0, 80, 60});
    std::vector<std::array<int32_t, 3>> pictures;
    std::vector<TerrainColorSet> colours = std::vector<TerrainColorSet>(kTerrainColorSets);
    std::vector<std::array<uint8_t, 4>> smap =
        std::vector<std::array<uint8_t, 4>>(kTerrainCount, {101, 101, 101, 101});
    std::vector<int32_t> waveMove = std::vector<int32_t>(kMoveTypes, 10);
    std::vector<int32_t> waveWater = [] {
        std::vector<int32_t> w(kMoveTypes, 0);
        w[0] = 31;  // infantry wading
        return w;
    }();
    std::vector<int32_t> waveShot{20, 21, 22, 23, 24};
    std::vector<TEMPERATURESTRUCT> climate = std::vector<TEMPERATURESTRUCT>(1);
    std::vector<std::array<int8_t, 24>> sun{
        {7, 7, 6, 5, 5, 4, 4, 5, 5, 6, 7, 7, 17, 17, 18, 19, 19, 20, 20, 19, 18, 17, 17, 17}};
    std::vector<int32_t> rain = std::vector<int32_t>(12, 20);
    std::vector<int32_t> accumulate{-1, 0, 1, 2, 2, 3, -1, 0};
    std::vector<std::array<int32_t, 2>> timeRate = std::vector<std::array<int32_t, 2>>(24, {0, 10});
    std::vector<std::array<int32_t, 13>> newMoon;
    std::vector<int32_t> moonType;
    std::vector<int32_t> reinforce{2, kFixtureTank << 16, -1, 0};
    std::vector<int32_t> endOfList{-1};
    std::vector<SCNRBASESTRUCT> scenarios = std::vector<SCNRBASESTRUCT>(1);
    std::vector<HISTORYSTRUCT> history = std::vector<HISTORYSTRUCT>(2);
    std::vector<NamePair> waves;
    std::vector<NamePair> music;
    std::vector<IWCITYSTRUCT> cities = std::vector<IWCITYSTRUCT>(2);
    std::vector<int32_t> nations{2, 0, 1, 2};
    std::vector<int32_t> endingScript{1, 10, 0};
    std::vector<ENDINGSTRUCT> endings = std::vector<ENDINGSTRUCT>(1);
    std::vector<int32_t> medals{100, -1};
    std::vector<int32_t> enemies = std::vector<int32_t>(20, kFixtureDestroyer);

    std::vector<const char*> errors, common, unitName, unitNameJ, weaponName, positionName, terrainName,
        roadName, nationName, domainWord, classWord, classWordJ, moveWord, defWord, carryWord, weather,
        weatherNext, sunWord, level, ctrl, status, side, zone, epack, spec, product, supplyWord, work, result,
        credit, medal;

    DataLibrary lib;

    Fixture()
    {
        arms.push_back(ARMSSTRUCT{});
        arms.back().dwDateRetire = kNever;
        arms.push_back(Type(kFixtureInfantry, 0, 1, 1u << 3, 0, 6, 1, 2, 1));
        arms.push_back(Type(kFixtureTank, 4, 1, 0, 2, 8, 2, 2, 3));
        arms.push_back(Type(kFixtureFighter, 33, 1, 1u << 0, 33, 20, 0, 3, -1));
        arms.push_back(Type(kFixtureDestroyer, 57, 2, 1u << 1, 17, 12, 3, 1, -1));
        arms.push_back(Type(kFixtureSubmarine, 59, 2, 1u << 1, kMoveTypeSubmarine, 8, 4, 1, -1));
        arms.push_back(Type(kFixtureRetired, 0, 2, 1u << 3, 0, 6, 1, 2, 1));
        arms[kFixtureSubmarine].wBattery = 20;
        arms[kFixtureRetired].dwDateRetire = PackDate(40, 6, 30);
        arms[kFixtureTank].wImprove[0] = kFixtureRetired;

        weapons.resize(arms.size() * kWeaponSlots);
        auto slot = [&](int type, int s, WEAPONSTRUCT w, int rounds) {
            weapons[static_cast<size_t>(type * kWeaponSlots + s)] = w;
            arms[static_cast<size_t>(type)].Arm[0].nCount[s] = rounds;
        };
        slot(kFixtureInfantry, 0, Weapon(1, 1, 0, {1, 6, 1, 0, 0}, {1, 1, 1, 1}), 20);
        slot(kFixtureTank, 0, Weapon(2, 8, 1, {0, 8, 12, 2, 0}, {0, 0, 1, 1}), 12);
        slot(kFixtureFighter, 0, Weapon(3, 12, 4, {8, 3, 1, 1, 0}, {1, 1, 1, 1}), 12);
        slot(kFixtureDestroyer, 0, Weapon(4, 16, 6, {2, 6, 4, 8, 0}, {1, 2, 1, 3}), 30);
        slot(kFixtureDestroyer, 1, Weapon(5, kWeaponTypeDepthCharge, 7, {0, 0, 0, 0, 12}, {0, 0, 1, 1}), 6);
        slot(kFixtureSubmarine, 0, Weapon(6, kWeaponTypeTorpedo, 7, {0, 0, 0, 18, 10}, {0, 0, 1, 2}), 12);
        slot(kFixtureRetired, 0, Weapon(1, 1, 0, {1, 5, 1, 0, 0}, {1, 1, 1, 1}), 20);

        // Terrains: everything not named below is plain.
        constexpr uint32_t b = 1;
        const TRRNSTRUCT plain = Terrain(b << 26 | b << 29, 0, 5, kFixtureFort);
        for (auto& t : terrain) t = plain;
        terrain[0] = terrain[1] = terrain[kFixtureSea] = Terrain(b << 14 | b << 17 | b << 18 | b << 30, 0, 0);
        terrain[kFixtureShallows] = Terrain(b << 18 | b << 30, 0, 0);
        terrain[kFixtureAirfield] = Terrain(b << 10 | b << 26 | b << 28 | b << 31, 0x6200, 10);
        terrain[kFixtureCity] = Terrain(b << 10 | b << 11 | b << 28 | b << 29 | b << 31, 0x4606, 40);
        terrain[kFixtureFort] = Terrain(b << 24 | b << 26 | b << 29 | b << 31, 0, 60, kFixturePlain);
        terrain[kFixtureDesert] = Terrain(b << 26 | b << 29, 0, 5, kFixtureDesertFort);
        terrain[kFixtureDesertAirfield] = Terrain(b << 10 | b << 26 | b << 28 | b << 31, 0x6200, 10);
        terrain[kFixtureDesertFort] = Terrain(b << 24 | b << 26 | b << 29 | b << 31, 0, 60, kFixtureDesert);
        roads[0].dwTrrnFlag = b << 19;
        roads[1].nRainLimit = 6;
        roads[3].dwBaseField = roads[4].dwBaseField = 0x0200;

        // Costs: ground rows 0..15 pay 2 on land and 1 on routes; ships 16..31
        // pay 2 at sea; the submerged row only deep water; aircraft 1 everywhere.
        for (int m = 0; m < kMoveTypes; ++m) {
            for (int col = 0; col < kCostColumns; ++col) {
                const bool route = col >= kCostTerrainColumns;
                const TRRNSTRUCT& t = route ? roads[0] : terrain[static_cast<size_t>(col)];
                const bool water = !route && (t.dwTrrnFlag & (b << 18)) != 0;
                int v = 0;
                if (m == 33)
                    v = 1;
                else if (m == kMoveTypeSubmerged)
                    v = (!route && IsDeepWater(t)) ? 3 : 0;
                else if (m >= 16)
                    v = (!route && water) ? 2 : 0;
                else
                    v = route ? 1 : (water ? 0 : 2);
                cost[static_cast<size_t>(m)][static_cast<size_t>(col)] = v;
            }
        }
        costSnow = cost;
        for (int m = 0; m < 16; ++m) {
            for (int col = 0; col < kCostTerrainColumns; ++col) {
                auto& v = costSnow[static_cast<size_t>(m)][static_cast<size_t>(col)];
                if (v > 0) v += 1;
            }
        }
        for (int c = 0; c < kCountryIds; ++c) supply[static_cast<size_t>(c * kCountryIds + c)] = 0x82;
        for (int p = 0; p < kFixtureTypeCount + 4; ++p) pictures.push_back({p, 4, 24});

        climate[0].dwFlag = 1;
        for (int m = 0; m < 12; ++m) {
            climate[0].nMax[m] = 200;
            climate[0].nMin[m] = 0;
        }
        // New moons every 30 days from 1 January of each cycle year, so the
        // longest lunation is 30 days (31 across the year end at worst).
        for (int c = 0; c < 19; ++c) {
            std::array<int32_t, 13> row{};
            row.fill(-1);
            for (int k = 0; k < 12; ++k) {
                int doy = 1 + 30 * k;
                static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
                int month = 1;
                while (doy > kDays[month - 1]) doy -= kDays[month++ - 1];
                row[static_cast<size_t>(k)] = c << 16 | month << 8 | doy;
            }
            newMoon.push_back(row);
        }
        for (int n = 0; n < 40; ++n) moonType.push_back(n >= 13 && n <= 16 ? 4 : n / 8);

        SCNRBASESTRUCT& s = scenarios[0];
        std::snprintf(s.szName, sizeof s.szName, "FIXTURE.SC2");
        std::snprintf(s.szArea, sizeof s.szArea, "TEST");
        s.rcMap[2] = s.rcMap[3] = 100;
        for (auto& st : s.Start) st = {-1, 0, 0};
        s.pReinforce = reinforce.data();
        for (auto& br : s.Branch) {
            br.nNext = -1;
            br.pCityChange = endOfList.data();
            br.pCountryChange = endOfList.data();
            br.pszOutcome = Own("END");
        }

        history[0].dwDateTime = PackDate(40, 1, 2, 8);
        std::snprintf(history[0].szTitle, sizeof history[0].szTitle, "EVENT");
        history[1].dwDateTime = 0x7FFFFFFFu;

        for (const char* n : Numbered("SE", 48)) waves.push_back({n, Own("effect")});
        for (const char* n : Numbered("Track", 16)) music.push_back({n, Own("music")});
        cities[0] = {10, 10, 1, 1, "CAPITAL"};
        cities[1] = {30, 20, 0, 2, "TOWN"};
        endings[0] = {2, endingScript.data(), nullptr, 0};

        for (int i = 0; i < 157; ++i) errors.push_back(Own(platform::FormatText("ERROR %d", {i})));
        errors[2] = Own("VERSION %s");
        errors[14] = Own("CANNOT CREATE %s");
        errors[16] = kDataLibraryLoadFailure;
        errors[42] = Own("LIMIT %d");
        common = Numbered("COMMON", 16);
        common[10] = "\x82\x4F";
        common[13] = Own("COST %s");
        unitName = Numbered("UNIT", kFixtureTypeCount);
        unitNameJ = Numbered("UNITJ", kFixtureTypeCount);
        weaponName = Numbered("WEAPON", 8);
        positionName = Numbered("POS", 4);
        terrainName = Numbered("TERRAIN", kTerrainCount);
        roadName = Numbered("ROUTE", kRouteKinds);
        nationName = Numbered("NATION", kCountryIds);
        domainWord = Numbered("DOMAIN", 5);
        classWord = Numbered("CLASS", kUnitClasses);
        classWordJ = Numbered("CLASSJ", kUnitClasses);
        moveWord = Numbered("MOVE", kMoveTypes);
        defWord = Numbered("DEF", 5);
        carryWord = Numbered("CARRY", 8);
        weather = Numbered("WEATHER", 8);
        weatherNext = Numbered("NEXT", 4);
        sunWord = Numbered("LIGHT", 3);
        level = Numbered("LEVEL", 6);
        ctrl = Numbered("CTRL", 3);
        status = Numbered("STATUS", 6);
        side = Numbered("SIDE", 3);
        zone = Numbered("ZONE", 1);
        epack = Numbered("PACK", 41);
        spec = Numbered("SPEC", 5);
        spec[1] = Own("%s %s %s%s");
        product = Numbered("PRODUCT", 5);
        supplyWord = Numbered("SUPPLY", 8);
        work = Numbered("WORK", 2);
        result = Numbered("RESULT", 3);
        medal = Numbered("MEDAL", 2);
        credit = std::vector<const char*>(20, "");
        credit[0] = "CREDITS";

        DataLibrary& l = lib;
        l.ArmsData = arms;
        l.WeaponData = weapons;
        l.TerrainBase = terrain;
        l.RoadBase = roads;
        l.ScenarioData = scenarios;
        l.HistoryData = history;
        l.TemperatureData = climate;
        l.TerrainCostTable = cost;
        l.TerrainCostTableSnow = costSnow;
        l.SupplyTable = supply;
        l.CountryBGMTable = bgm;
        l.StartWallPositionTable = wall;
        l.UnitGraphicsOffset = pictures;
        l.TerrainColorData = colours;
        l.SMapPatternData = smap;
        l.SMapPatternDataL = smap;
        l.WaveMoveTableNormal = waveMove;
        l.WaveMoveTableSnow = waveMove;
        l.WaveMoveTableWater = waveWater;
        l.WaveShotedTable = waveShot;
        l.SunriseSunsetData = sun;
        l.RainRateData = rain;
        l.AccumulateRainData = accumulate;
        l.TemperatureTimeRate = timeRate;
        l.TblNewMoon = newMoon;
        l.TblMoonType = moonType;
        l.UnitName = unitName;
        l.UnitNameJ = unitNameJ;
        l.WeaponName = weaponName;
        l.WeaponPositionName = positionName;
        l.TerrainName = terrainName;
        l.RoadName = roadName;
        l.NationNameJ = nationName;
        l.SWndDefTypeName = domainWord;
        l.ErrorMessage = errors;
        l.MsgCommon = common;
        l.MsgUnitType = classWord;
        l.MsgUnitTypeJ = classWordJ;
        l.MsgMoveTypeJ = moveWord;
        l.MsgDefTypeJ = defWord;
        l.MsgCarryTypeJ = carryWord;
        l.MsgWeather = weather;
        l.MsgWeatherNext = weatherNext;
        l.MsgSunEffectName = sunWord;
        l.MsgLevel = level;
        l.MsgCtrlUser = ctrl;
        l.MsgStatus = status;
        l.MsgSide = side;
        l.MsgZone = zone;
        l.MsgEPackType = epack;
        l.MsgSpecWord = spec;
        l.MsgTerrainProduct = product;
        l.MsgTerrainSupply = supplyWord;
        l.MsgTerrainWork = work;
        l.MsgResult = result;
        l.WaveFileList = waves;
        l.CDAudioFileList = music;
        l.g_szUnitVersion = "FIX1";
        l.MsgNoExistCD = "NO DISC";
        l.SpecDiveNow = "DIVING";
        l.g_nMaxUnit = kFixtureTypeCount;
        l.g_nLandUnit = kFixtureInfantry;
        l.g_nMaxScnr = 1;
        l.g_nFundsBiasWin = 4;
        l.g_nFundsBiasVictory = 2;
        l.IWCityData = cities;
        l.IWCountryData = nations;
        l.EndingDirectTable = endings;
        l.EndingMedalRank = medals;
        l.EndingEnemyUnit = enemies;
        l.MsgCredit = credit;
        l.MsgGermanMedal = medal;
        l.MsgDisableWheel = "NO WHEEL";
        l.MsgVerUpStart = "CONVERT?";
        l.MsgVerUpEnd0 = "NOTHING CONVERTED";
        l.MsgVerUpEnd1 = "CONVERTED";
        l.MsgNoMatchDLL2Conv = "TABLE %s DATA %s";
        l.MsgNoMatchData2Conv = "%s VERSION %s FROM %s";
        l.WeaponGuild = "GUIDE";
        l.g_nMaxIWCity = 2;
        l.g_nMaxIWNation = 4;
        l.g_nCreditY = 0;
        l.g_nCreditVSize = 100;
        l.g_nCreditGap = 4;
        l.g_nCreditFontSz = 16;
        l.g_nCreditFontWg = 400;
        l.g_rgbFontColor = 0x00FEFEFE;
        l.g_nCampaignWinSum = 2;
        l.g_nExtraScenario = 0;
        l.g_nIdeologyScnrStart = 1;
        l.g_nIdeologyScnrEnd = 0;
    }
};

}  // namespace

const DataLibrary& FixtureLibrary()
{
    static const Fixture fixture;
    return fixture.lib;
}

}  // namespace zrvtest
