// The sample scenarios the build stages: what the campaign and the battle
// program rely on in them, read back through the game's own readers with the
// shipped data library, and a whole battle start from each.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "foundation/DataLibrary.h"
#include "foundation/DataLibraryLoader.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "platform/core/Paths.h"

namespace startuptest {
namespace {

using namespace zrv;

class SampleScenarios : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = new DataLibraryModule;
        module->Open(std::string(STAGE_DIR) + "/" + kDataLibraryFile, nullptr);
    }
    static void TearDownTestSuite()
    {
        delete module;
        module = nullptr;
    }
    void SetUp() override
    {
        if (!module->IsOpen()) GTEST_SKIP() << "no staged data library";
        SetLib(&module->Tables());
        SetDialogs(&dialogs);
    }
    void TearDown() override
    {
        SetDialogs(nullptr);
        SetLib(nullptr);
    }

    static std::vector<uint8_t> Bytes(const std::string& name)
    {
        std::ifstream in(std::filesystem::path(STAGE_DIR) / "Scenario" / name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    static DataLibraryModule* module;
    ScriptedDialogService dialogs;
};

DataLibraryModule* SampleScenarios::module = nullptr;

struct Sample {
    const char* name;
    uint32_t start;
    uint32_t end;
};
const Sample kSamples[] = {
    {"SAMPLE01.SC2", PackDate(41, 6, 21, 6), PackDate(41, 6, 30, 6)},
    {"SAMPLE02.SC2", PackDate(41, 7, 1, 6), PackDate(41, 7, 10, 6)},
};

TEST_F(SampleScenarios, HeadersCountriesUnitsAndMapsAreWhatTheCampaignExpects)
{
    const std::set<int> classes = {0, 4, 8, 12, 33, 39, 40, 57, 59, 60};
    // Never 0 or 1 (their overview blocks hold other pictures), never a copy above 90.
    const std::set<int> terrains = {2, 3, 4, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 35, 79, 80, 83, 84};
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        std::vector<uint8_t> file = Bytes(s.name);
        auto game = std::make_unique<GAMEDATASTRUCT>();
        std::memset(game.get(), 0, sizeof *game);
        ASSERT_EQ(ReadScenarioFileBytes(file, *game, UnitVersionPolicy::Refuse, true), kFileOk);
        const SCNRHEADSTRUCT& h = game->Head;
        const auto* raw = reinterpret_cast<const uint8_t*>(&h);
        EXPECT_NE(raw[0x55], 0);
        EXPECT_EQ(raw[0x54], 0);
        EXPECT_EQ(h.dwArea, 0u);
        EXPECT_EQ(h.dwHeadFlag, 0u);
        EXPECT_EQ(std::string(h.szUnitVersion, strnlen(h.szUnitVersion, 8)), "VR1.00");
        EXPECT_EQ(h.dwStartDate, s.start);
        EXPECT_EQ(AdvanceGameDate(s.start, LastTurn(h.dwTurnLimit) - 1), s.end);

        for (int slot = 0; slot < 2; ++slot) {
            SCOPED_TRACE(slot);
            const COUNTRYSTRUCT& c = game->Country[slot];
            EXPECT_TRUE(c.dwFlag & kCountryPresent);
            EXPECT_EQ(c.nCountryId, slot + 1);
            EXPECT_EQ(c.nSide, slot);
            ASSERT_TRUE(IsMapHex(c.nCapital));
            for (int cls = 0; cls < 64; ++cls) {
                EXPECT_EQ(((c.dwClassMask[cls / 32] >> (cls % 32)) & 1u) != 0, classes.count(cls) != 0)
                    << cls;
            }
            EXPECT_GT(c.nUnit, 0);
            for (const UNITSTRUCT& u : c.Unit) {
                if (!(u.dwFlag & kUnitInUse)) continue;
                EXPECT_GE(u.nArms, slot == 0 ? 1 : 12);
                EXPECT_LE(u.nArms, slot == 0 ? 11 : 22);
            }
        }
        for (int slot = 2; slot < kCountryCount; ++slot)
            EXPECT_FALSE(game->Country[slot].dwFlag & kCountryPresent);

        std::string mapName = std::string(s.name).substr(0, 8) + ".MB2";
        std::vector<MAPCELL> cells(kHexCount);
        MapFileData map;
        ASSERT_EQ(ReadMapFileBytes(Bytes(mapName), true, kOptionCampaign,
                                   std::span<MAPCELL, kHexCount>(cells.data(), kHexCount), map),
                  kFileOk);
        EXPECT_TRUE(map.campaignMap);
        for (int slot = 0; slot < 2; ++slot) {
            EXPECT_EQ(CellTerrain(cells[static_cast<size_t>(game->Country[slot].nCapital)]), 80);  // capital-type city
        }
        for (int hex = 0; hex < kHexCount; ++hex) {
            ASSERT_EQ(terrains.count(CellTerrain(cells[static_cast<size_t>(hex)])), 1u) << hex;
        }
    }
}

TEST_F(SampleScenarios, EachSampleStartsAWholeBattle)
{
    platform::SetProgramFolder(STAGE_DIR);
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        CZRKGameDoc doc;
        ASSERT_EQ(doc.StartNewCampaign(platform::ScenarioPath(s.name)), 1)
            << (dialogs.Boxes().empty() ? "" : dialogs.Boxes()[0].text);
        EXPECT_EQ(doc.m_GameData.nScenario, FindScenarioByName(s.name));
        int placed = 0;
        for (UnitRef r : doc.m_dwHexUnit) placed += r != kNoUnit;
        EXPECT_EQ(placed, doc.m_GameData.Country[0].nUnit + doc.m_GameData.Country[1].nUnit);
    }
}

}  // namespace
}  // namespace startuptest
