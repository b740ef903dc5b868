// The real battle program between stand-in menu programs: it takes the start
// command from the block, builds the sample scenario, hands back with 6 and
// starts the menu program, which closes it. Needs a display.

#include "foundation/DataLibrary.h"
#include "foundation/DataLibraryLoader.h"
#include "platform/core/Text.h"
#include "startup/ProcessFixture.h"

namespace startuptest {
namespace {

std::string ShippedErrorText(int code)
{
    static zrv::DataLibraryModule module;
    if (!module.IsOpen()) module.Open(std::string(STAGE_DIR) + "/libZRVData.so", nullptr);
    return module.IsOpen() ? zrv::TableText(module.Tables().ErrorMessage, code) : "";
}

TEST_F(TwoProcesses, BattleProgramBuildsTheSampleScenarioAndHandsBackToTheMenu)
{
    InstallBattleProgram();
    Install(STARTUP_PEER, "ZRVMenu");
    // The stand-in menu starts the battle with a new campaign; the battle
    // hands back through its "return to title" command and starts ZRVMenu.
    std::string path = (m_folder / "Scenario").string() + "\\SAMPLE01.SC2";
    ASSERT_EQ(Run("startup_peer", {"launch", "4", path}, {"VELMORATH_RUN_COMMAND=32901"}), 0) << Log();
    std::vector<std::string> launch = Results("launch");
    EXPECT_TRUE(Contains(launch, "launched")) << Joined(launch);
    EXPECT_TRUE(Contains(launch, "closed")) << Joined(launch) << Log();

    // The menu started by the battle found the hand-back and closed the battle.
    for (int i = 0; i < 3000 && Results("menu").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(Contains(Results("menu"), "start ok 6 last-scenario 0")) << Joined(Results("menu")) << Log();
    std::string log = Log();
    EXPECT_NE(log.find("start command 4 taken"), std::string::npos) << log;
    EXPECT_NE(log.find("map read"), std::string::npos) << log;
}

TEST_F(TwoProcesses, BattleProgramRefusesEveryBlockThatIsNotAHeldStartCommand)
{
    InstallBattleProgram();
    const std::string message = platform::SjisToUtf8(ShippedErrorText(3));
    ASSERT_FALSE(message.empty());
    struct Case {
        const char* name;
        size_t size;  // 0: no block
    };
    const Case cases[] = {{"missing", 0}, {"unheld", zrv::kGameMenuBlockSize}, {"wrong size", 4096}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_folder / "log.txt");
        platform::SharedBlock block;
        if (c.size != 0) {
            ASSERT_TRUE(block.Create(BlockName(), c.size));
            block.WriteU32(0, zrv::GMC_NEWCAMPAIGN);
            block.Close();  // left behind, held by nobody
        }
        // Now and then the virtual display refuses one connection while it
        // still takes the program that closed just before; that start did not
        // get as far as the block, so it is made again (a few times at most).
        int code = Run("ZRVGame", {});
        for (int retry = 0; retry < 3 && code == 255 && Log().find("Unable to initialize GTK") != std::string::npos;
             ++retry) {
            std::filesystem::remove(m_folder / "log.txt");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            code = Run("ZRVGame", {});
        }
        EXPECT_EQ(code, 3);
        EXPECT_NE(Log().find(message), std::string::npos) << Log();
        if (c.size != 0) {
            // Left as it was for the menu program to judge.
            ASSERT_EQ(block.OpenExisting(BlockName(), c.size, false), platform::SharedBlock::OpenResult::Ok);
            uint32_t command = 0;
            block.ReadU32(0, command);
            EXPECT_EQ(command, zrv::GMC_NEWCAMPAIGN);
            block.Close();
            shm_unlink(BlockName().c_str());
        }
    }
}

}  // namespace
}  // namespace startuptest
