#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "battle/engine/GameFlow.h"
#include "engine/DocFixture.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

namespace fs = std::filesystem;

TEST(LastPathElement, KeepsOnlyTheName)
{
    struct Case {
        std::string in;
        const char* want;
    } cases[] = {
        {"MAP01.MB2", "MAP01.MB2"},
        {"..\\..\\etc\\passwd", "passwd"},
        {"a/b/../c.MB2", "c.MB2"},
        {"C:evil.MB2", "evil.MB2"},
        {"..", ""},
        {std::string("ok.MB2\0\\x", 9), "ok.MB2"},  // rubbish after the terminator
        {"\x95\x5c.MB2", "\x95\x5c.MB2"},          // a second byte that looks like '\'
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(LastPathElement(c.in), c.want);
    }
}

class GameFlowTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        root = fs::temp_directory_path() / ("velmorath-flow-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "Data");
        platform::SetProgramFolder(root.string());
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
        DocFixture::TearDown();
    }
    static std::string Slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path root;
};

TEST_F(GameFlowTest, RecordsAppendToTheirFilesInTheDataFolder)
{
    std::strcpy(doc->m_GameData.szMB2File, "..\\Maps\\Front.MB2");
    std::strcpy(doc->m_GameData.Head.szName, "Winter");
    doc->AppendGameRecord("one\n");
    doc->AppendGameRecord(std::string(600, 'x'));
    doc->AppendWeatherRecord("w\n");
    const std::string game = Slurp(root / "Data" / "Front.TXT");
    EXPECT_EQ(game.substr(0, 4), "one\n");
    EXPECT_EQ(game.size(), 4 + kRecordTextMax);  // one append writes at most 511 bytes
    EXPECT_EQ(Slurp(root / "Data" / "Winter.TXT"), "w\n");
    EXPECT_FALSE(fs::exists(root / "Maps"));

    doc->m_GameData.nTurn = 4;
    doc->WriteRecordHeading("Start", true);
    doc->WriteRecordHeading("Load", false);
    const std::string& withTurn = doc->m_StubRecords[doc->m_StubRecords.size() - 2];
    const std::string& without = doc->m_StubRecords.back();
    EXPECT_EQ(withTurn.rfind("\n*** Start (Turn 4) ***  ", 0), 0u) << withTurn;
    EXPECT_EQ(without.rfind("\n*** Load ***  ", 0), 0u) << without;
    // "yy.mm.dd(Day) HH:MM"
    EXPECT_EQ(without.size(), std::string("\n*** Load ***  ").size() + 19 + 1) << without;
}

TEST_F(GameFlowTest, IncomeCountsLiveIncomeHexesAndHalvesAtLevelBitZero)
{
    MAPCELL* cells = doc->m_dwHexCell;
    cells[100] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 30), 0);
    cells[101] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 15), 0);
    cells[102] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainPlain), 50), 0);  // no income
    cells[103] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 40), 1);   // another owner
    cells[104] = WithOwner(WithDurability(WithTerrain(0, kFixtureTerrainCity), 40), 0) | kCellClosedAll;
    COUNTRYSTRUCT& c = doc->m_GameData.Country[0];
    EXPECT_EQ(doc->GetCountryIncome(c), 45);
    c.nLevel |= kLevelHalfIncome;
    EXPECT_EQ(doc->GetCountryIncome(c), 22);
}

TEST_F(GameFlowTest, ViewingCountryStepsBackToAHumanAtMostEightTimes)
{
    doc->SetCurrentCountry(3);  // computer-run; country 2 is human
    doc->UpdateViewingCountry(false);
    EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[2]);
    for (COUNTRYSTRUCT& c : doc->m_GameData.Country) c.dwFlag |= kCountryCpu;
    doc->UpdateViewingCountry(false);  // ends, wherever it stopped
    EXPECT_NE(doc->m_pViewCountry, nullptr);
    doc->m_dwGameOption |= kOptionCampaign;
    doc->UpdateViewingCountry(false);
    EXPECT_EQ(doc->m_pViewCountry, &doc->m_GameData.Country[0]);
}

}  // namespace
}  // namespace zrv
