// The shipped data library and the staged art agree: every table entry that
// points into a picture finds it, and every file a table names is staged.
// Each planted fault in a copy of a table is reported.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ArtChecks.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"

namespace contenttest {
namespace {

std::string StageDir()
{
    const char* dir = std::getenv("VELMORATH_STAGE_DIR");
    std::string s = dir != nullptr ? dir : CONTENT_STAGE_DIR;
    if (s.back() != '/') s += '/';
    return s;
}

class ArtAgreement : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module = new zrv::DataLibraryModule;
        std::string why;
        if (!s_module->Open(StageDir() + zrv::kDataLibraryFile, &why)) std::fprintf(stderr, "library: %s\n", why.c_str());
        s_art = new ArtFolder(StageDir());
    }
    static void TearDownTestSuite()
    {
        delete s_art;
        delete s_module;
        s_art = nullptr;
        s_module = nullptr;
    }
    // A picture that fails to load reports through a box; keep them here.
    void SetUp() override { zrv::SetDialogs(&m_boxes); }
    void TearDown() override { zrv::SetDialogs(nullptr); }

    static zrv::DataLibraryModule* s_module;
    static ArtFolder* s_art;
    zrv::ScriptedDialogService m_boxes;
};

zrv::DataLibraryModule* ArtAgreement::s_module = nullptr;
ArtFolder* ArtAgreement::s_art = nullptr;

TEST_F(ArtAgreement, ShippedTablesFindTheirPicturesAndFiles)
{
    ASSERT_TRUE(s_module->IsOpen());
    const auto faults = CheckArtAgreement(s_module->Tables(), *s_art);
    for (const auto& f : faults) ADD_FAILURE() << f;
    EXPECT_TRUE(m_boxes.Boxes().empty()) << m_boxes.Boxes().front().text;
}

// Writable copies of the tables a plant may change; the library's spans are
// pointed at them.
struct Copy {
    zrv::DataLibrary lib;
    std::vector<zrv::ARMSSTRUCT> arms;
    std::vector<zrv::WEAPONSTRUCT> weapons;
    std::vector<zrv::TRRNSTRUCT> terrain;
    std::vector<zrv::SCNRBASESTRUCT> scenarios;
    std::vector<zrv::TEMPERATURESTRUCT> climate;
    std::vector<std::array<int32_t, 4>> walls;
    std::vector<std::array<int32_t, 3>> sprites;
    std::vector<std::array<uint8_t, 4>> overview;
    std::vector<int32_t> moon;
    std::vector<int32_t> bgm;
    std::vector<zrv::IWCITYSTRUCT> cities;
    std::vector<zrv::ENDINGSTRUCT> endings;
    std::vector<zrv::ENDINGPICTURE> endingPictures;
    std::vector<zrv::NamePair> waves;
    std::vector<zrv::HISTORYSTRUCT> history;
    std::vector<const char*> credits;

    explicit Copy(const zrv::DataLibrary& from) : lib(from)
    {
        arms.assign(from.ArmsData.begin(), from.ArmsData.end());
        weapons.assign(from.WeaponData.begin(), from.WeaponData.end());
        terrain.assign(from.TerrainBase.begin(), from.TerrainBase.end());
        scenarios.assign(from.ScenarioData.begin(), from.ScenarioData.end());
        climate.assign(from.TemperatureData.begin(), from.TemperatureData.end());
        walls.assign(from.StartWallPositionTable.begin(), from.StartWallPositionTable.end());
        sprites.assign(from.UnitGraphicsOffset.begin(), from.UnitGraphicsOffset.end());
        overview.assign(from.SMapPatternData.begin(), from.SMapPatternData.end());
        moon.assign(from.TblMoonType.begin(), from.TblMoonType.end());
        bgm.assign(from.CountryBGMTable.begin(), from.CountryBGMTable.end());
        cities.assign(from.IWCityData.begin(), from.IWCityData.end());
        endings.assign(from.EndingDirectTable.begin(), from.EndingDirectTable.end());
        if (!endings.empty() && endings[0].pPicture != nullptr)
            endingPictures.assign(endings[0].pPicture, endings[0].pPicture + endings[0].nPictureCount);
        waves.assign(from.WaveFileList.begin(), from.WaveFileList.end());
        history.assign(from.HistoryData.begin(), from.HistoryData.end());
        credits.assign(from.MsgCredit.begin(), from.MsgCredit.end());
    }
    void Point()
    {
        lib.ArmsData = arms;
        lib.WeaponData = weapons;
        lib.TerrainBase = terrain;
        lib.ScenarioData = scenarios;
        lib.TemperatureData = climate;
        lib.StartWallPositionTable = walls;
        lib.UnitGraphicsOffset = sprites;
        lib.SMapPatternData = overview;
        lib.TblMoonType = moon;
        lib.CountryBGMTable = bgm;
        lib.IWCityData = cities;
        if (!endings.empty()) endings[0].pPicture = endingPictures.data();
        lib.EndingDirectTable = endings;
        lib.WaveFileList = waves;
        lib.HistoryData = history;
        lib.MsgCredit = credits;
    }
};

struct Plant {
    const char* name;
    const char* fault;  // part of the line the check must write
    std::function<void(Copy&)> plant;
};

TEST_F(ArtAgreement, EachBrokenEntryIsReported)
{
    ASSERT_TRUE(s_module->IsOpen());
    const zrv::DataLibrary& shipped = s_module->Tables();
    ASSERT_TRUE(CheckArtAgreement(shipped, *s_art).empty()) << "the shipped tables must agree first";
    ASSERT_FALSE(shipped.EndingDirectTable.empty());

    const Plant plants[] = {
        {"terrain on a road overlay", "TerrainBase[7].nPicture", [](Copy& c) { c.terrain[7].nPicture = 35; }},
        {"terrain variants past the store", "TerrainBase[16].nPicture", [](Copy& c) { c.terrain[16].nPicture = 810; }},
        {"coast mode on a single picture", "TerrainBase[15].nPicture", [](Copy& c) {
             c.terrain[15].nPicture = 780;
             c.terrain[15].nConnectMode = 7;
         }},
        {"no such connection mode", "TerrainBase[6].nConnectMode", [](Copy& c) { c.terrain[6].nConnectMode = 12; }},
        {"sprite beyond the picture", "UnitGraphicsOffset[5]", [](Copy& c) { c.sprites[5][0] = 5000; }},
        {"sprite across two pictures", "UnitGraphicsOffset[6]", [](Copy& c) { c.sprites[6][0] += 21; }},
        {"sprite taller than the hex", "UnitGraphicsOffset[7]", [](Copy& c) { c.sprites[7][1] = 10; }},
        {"unit on a domain sprite", "ArmsData[1].nPicture", [](Copy& c) { c.arms[1].nPicture = 3; }},
        {"start tile past the picture", "StartWallPositionTable[33]", [](Copy& c) { c.walls[33][1] = 300; }},
        {"overview colour not the HQ map's", "SMapPatternData[9]", [](Copy& c) { c.overview[9][1] = 98; }},
        {"overview colour static", "SMapPatternData[20]", [](Copy& c) { c.overview[20][0] = 250; }},
        {"nation without a flag", "ArmsData[2].nNation", [](Copy& c) { c.arms[2].nNation = 40; }},
        {"climate zone without a band", "TemperatureData[16]", [](Copy& c) { c.climate.resize(17); }},
        {"moon type without an image", "TblMoonType[13]", [](Copy& c) { c.moon[13] = 9; }},
        {"weapon icon past the sheet", "WeaponData[8].byType", [](Copy& c) { c.weapons[8].byType = 40; }},
        {"city off the world map", "IWCityData[1]", [](Copy& c) { c.cities[1].x = 3000; }},
        {"city kind without a dot", "IWCityData[0].nKind", [](Copy& c) { c.cities[0].nKind = 200; }},
        {"scenario area off the map", "ScenarioData[1] map rectangle", [](Copy& c) { c.scenarios[1].rcMap[3] = 2000; }},
        {"start flag not on the sheet", "ScenarioData[0] start 0", [](Copy& c) { c.scenarios[0].Start[0].nValue = 70; }},
        {"credits past the background", "g_nCreditX", [](Copy& c) { c.lib.g_nCreditHSize = 600; }},
        {"credit line wider than the area", "MsgCredit[2]", [](Copy& c) {
             c.credits[2] = "0123456789012345678901234567890123456789012345678901234567890";
         }},
        {"ending picture not drawn", "EndingDirectTable[0] picture 0", [](Copy& c) {
             std::strncpy(c.endingPictures[0].szPicture, "Ending99.PXS", sizeof c.endingPictures[0].szPicture);
         }},
        {"ending palette not drawn", "palette \"Ending99.PLB\"", [](Copy& c) {
             std::strncpy(c.endingPictures[0].szPalette, "Ending99.PLB", sizeof c.endingPictures[0].szPalette);
         }},
        {"sound not staged", "WaveFileList[3]", [](Copy& c) { c.waves[3].name = "SE99"; }},
        {"music track without a file", "CountryBGMTable[5]", [](Copy& c) { c.bgm[5] = 40; }},
        {"movie event without its movie", "HistoryData[0]: movie", [](Copy& c) {
             static const char* const kCaption[3] = {"", "", ""};
             c.history[0].pCaption = kCaption;
             // A date whose movie the sample does not have.
             c.history[0].dwDateTime = (c.history[0].dwDateTime & 0xFF000000u) | (42u << 16) | (1u << 8) | 1u;
         }},
    };
    for (const auto& p : plants) {
        SCOPED_TRACE(p.name);
        Copy copy(shipped);
        p.plant(copy);
        copy.Point();
        const auto faults = CheckArtAgreement(copy.lib, *s_art);
        bool named = false;
        for (const auto& f : faults) named |= f.find(p.fault) != std::string::npos;
        EXPECT_TRUE(named) << faults.size() << " faults, none about " << p.fault
                           << (faults.empty() ? "" : "; first: " + faults.front());
    }
}

// The production and deployment lists' row icons: three 12 x 12 cells on the
// colour the list leaves transparent; the first blank, the money bag in gold
// with an outline, the cross in red.
TEST_F(ArtAgreement, RowIconsAreBlankMoneyBagAndRedCross)
{
    zrv::CDib* icons = s_art->Picture("rowicon.pxs");
    ASSERT_NE(icons, nullptr);
    const platform::Surface8 s = icons->Surface();
    ASSERT_EQ(s.Width(), 36);
    ASSERT_EQ(s.Height(), 12);
    const int white = s.GetPixel(0, 0);
    const zrv::RgbQuad& w = icons->GetColorTable()[white];
    EXPECT_GE(std::min({w.rgbRed, w.rgbGreen, w.rgbBlue}), 250) << "the transparent colour is white";
    // Per cell: pixels other than white, and of those the reddest one's colour.
    for (int cell = 0; cell < 3; ++cell) {
        SCOPED_TRACE(cell);
        int drawn = 0, red = 0, gold = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = cell * 12; x < cell * 12 + 12; ++x) {
                const int i = s.GetPixel(x, y);
                if (i == white) continue;
                ++drawn;
                const zrv::RgbQuad& c = icons->GetColorTable()[i];
                red += c.rgbRed > 150 && c.rgbGreen < 80 && c.rgbBlue < 80;
                gold += c.rgbRed > 150 && c.rgbGreen > 100 && c.rgbBlue < 100;
            }
        EXPECT_EQ(drawn == 0, cell == 0) << "only the first cell is blank";
        if (cell == 1) {
            EXPECT_GT(gold, 10) << "a gold bag";
        }
        if (cell == 2) {
            EXPECT_GT(red, 10) << "a red cross";
        }
        EXPECT_EQ(cell == 2 ? 0 : red, 0) << "red only in the cross";
    }
}

}  // namespace
}  // namespace contenttest
