// Scenario map files: rectangle, cells, city list and the reader's messages.

#include "datafiles/DataFilesFixture.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using namespace datafiles_test;

class MapFile : public DataFilesTest {
protected:
    void SetUp() override
    {
        DataFilesTest::SetUp();
        map = MakeSampleMap();
        cells.assign(kHexCount, 0);
        for (int hex = 0; hex < kHexCount; ++hex) cells[hex] = 0xFFFFFFFFu - static_cast<MAPCELL>(hex);
    }
    std::span<MAPCELL, kHexCount> Cells() { return std::span<MAPCELL, kHexCount>(cells.data(), kHexCount); }
    std::vector<uint8_t> Build(bool campaignMap = true, bool scrambled = true)
    {
        return BuildMapFile(map.rect, CellSpan(map.cells), map.cities, campaignMap, scrambled);
    }
    bool ReadNamed(const std::vector<uint8_t>& file, bool withCells, uint32_t option)
    {
        WriteRaw(root / "Scenario" / "TEST.MB2", file);
        return ReadMapFile("TEST.MB2", withCells, option, Cells(), out);
    }
    std::string Path() const { return platform::ScenarioPath("TEST.MB2"); }

    SampleMap map;
    std::vector<MAPCELL> cells;
    MapFileData out;
};

TEST_F(MapFile, ReadsRectangleCellsAndNamedCities)
{
    for (bool scrambled : {true, false}) {
        SCOPED_TRACE(scrambled);
        const auto file = Build(true, scrambled);
        // Count word right after header, rectangle and cells: 3 records, campaign mark.
        ASSERT_GT(file.size(), 65563u);
        EXPECT_EQ(file[65562] | file[65563] << 8, 0x8003);

        ASSERT_TRUE(ReadNamed(file, true, 0));
        EXPECT_TRUE(dialogs.Boxes().empty());
        EXPECT_EQ(out.rect.left, 1);
        EXPECT_EQ(out.rect.bottom, 110);
        EXPECT_TRUE(out.campaignMap);
        // The record with no name takes no slot.
        ASSERT_EQ(out.cities.size(), 2u);
        EXPECT_EQ(out.cities[0].nHex, MakeHex(10, 10));
        EXPECT_SJIS_EQ(out.cities[0].szName, "札幌");
        EXPECT_EQ(out.cities[1].nHex, MakeHex(40, 50));
        EXPECT_SJIS_EQ(out.cities[1].szName, "旭川");
        for (int hex = 0; hex < kHexCount; ++hex) {
            const bool named = hex == MakeHex(10, 10) || hex == MakeHex(40, 50);
            ASSERT_EQ(cells[hex], WithCityName(map.cells[hex], named)) << hex;
        }
    }
}

TEST_F(MapFile, ExtendedMapOverridesASoundRectangle)
{
    ASSERT_TRUE(ReadNamed(Build(), true, kOptionExtendedMap));
    EXPECT_EQ(out.rect.left, 4);
    EXPECT_EQ(out.rect.top, 4);
    EXPECT_EQ(out.rect.right, 123);
    EXPECT_EQ(out.rect.bottom, 123);
}

TEST_F(MapFile, WithoutCellsTheStoredCellsAreSkippedUnchecked)
{
    auto file = Build();
    file[26 + 500] ^= 0xFF;  // a cell byte: the check value no longer fits
    const auto before = cells;
    ASSERT_TRUE(ReadNamed(file, false, 0));
    for (int hex = 0; hex < kHexCount; ++hex) {
        const bool named = hex == MakeHex(10, 10) || hex == MakeHex(40, 50);
        ASSERT_EQ(cells[hex], WithCityName(before[hex], named)) << hex;
    }
    // With cells the same file is refused.
    dialogs.Clear();
    EXPECT_FALSE(ReadNamed(file, true, 0));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "ファイルが壊れています");
}

TEST_F(MapFile, CityListLimitsAndOddRecords)
{
    map.cities.clear();
    for (int i = 0; i < 513; ++i) map.cities.push_back({static_cast<int16_t>(i * 3), "町", "x"});
    ASSERT_TRUE(ReadNamed(Build(), true, 0));
    EXPECT_EQ(out.cities.size(), 512u);
    EXPECT_FALSE(CellHasCityName(cells[512 * 3]));
    EXPECT_TRUE(CellHasCityName(cells[511 * 3]));

    // Off-map hexes are dropped (their bytes still consumed); a long name is
    // cut to 35 bytes without splitting a character.
    std::string longName = "ab";
    for (int i = 0; i < 19; ++i) longName += "あ";
    ASSERT_EQ(longName.size(), 40u);
    map.cities = {{-1, "負", "t1"}, {20000, "遠", "t2"}, {7, longName, "t3"}, {8, "末", ""}};
    ASSERT_TRUE(ReadNamed(Build(), true, 0));
    ASSERT_EQ(out.cities.size(), 2u);
    EXPECT_EQ(out.cities[0].nHex, 7);
    EXPECT_SJIS_EQ(out.cities[0].szName, longName.substr(0, 34));
    EXPECT_EQ(out.cities[1].nHex, 8);
    EXPECT_TRUE(CellHasCityName(cells[7]) && CellHasCityName(cells[8]));
}

TEST_F(MapFile, RefusalsShowTheirMessageAndChangeNothing)
{
    auto badMagic = Build();
    badMagic[3] = 'G';
    auto truncated = Build();
    truncated.resize(truncated.size() - 1);
    auto cutInCells = Build();
    cutInCells.resize(1000);
    auto badCheck = Build();
    badCheck[30] ^= 1;
    map.cells[300] = WithTerrain(map.cells[300], 95);
    const auto badTerrain = Build();
    map = MakeSampleMap();
    struct Case {
        const char* name;
        std::function<std::vector<uint8_t>()> file;
        bool withCells;
        uint32_t option;
        std::string message;
    };
    const std::string path = Path();
    const Case cases[] = {
        {"wrong magic", [&] { return badMagic; }, true, 0, "ファイルの種類が違います"},
        {"check value", [&] { return badCheck; }, true, 0, "ファイルが壊れています"},
        {"terrain 95", [&] { return badTerrain; }, true, 0, "ファイルが壊れています"},
        {"not for campaigns", [&] { return Build(false); }, true, kOptionCampaign, path + "は開けません"},
        {"city list cut short", [&] { return truncated; }, true, 0, "<" + path + ">\n正常に読めませんでした"},
        {"cells cut short", [&] { return cutInCells; }, false, 0, "<" + path + ">\n正常に読めませんでした"},
        {"right edge 128",
         [&] {
             map.rect = {0, 0, 128, 10};
             return Build();
         },
         false, 0, "ファイルが壊れています"},
        {"left edge -1",
         [&] {
             map.rect = {-1, 0, 10, 10};
             return Build();
         },
         true, kOptionExtendedMap, "ファイルが壊れています"},
        {"upside down",
         [&] {
             map.rect = {0, 50, 10, 40};
             return Build();
         },
         false, 0, "ファイルが壊れています"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Clear();
        map = MakeSampleMap();
        const auto before = cells;
        out = {};
        out.cities.push_back({99, "前"});
        EXPECT_FALSE(ReadNamed(c.file(), c.withCells, c.option));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, c.message);
        EXPECT_EQ(cells, before);
        EXPECT_EQ(out.cities.size(), 1u);
    }
    // A campaign game takes a map marked for campaigns.
    map = MakeSampleMap();
    EXPECT_TRUE(ReadNamed(Build(true), true, kOptionCampaign));
}

TEST_F(MapFile, MissingFileNamesThePath)
{
    EXPECT_FALSE(ReadMapFile("NONE.MB2", true, 0, Cells(), out));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text,
                   "<" + platform::ScenarioPath("NONE.MB2") + ">\nこのファイルがありません");
}

}  // namespace
