#pragma once
// The scene hand-off with real processes: a program folder of its own for
// each test, the block's name shared with the child, and a sample block.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "battle/engine/BattleScene.h"
#include "platform/core/Paths.h"
#include "standins/zrvreal/RealScene.h"

namespace zrv {

namespace fs = std::filesystem;

class SceneProcess : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(testing::TempDir()) / ("scene_" + std::to_string(getpid()) + "_" +
                                              testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Both sides name the block alike through the inherited suffix.
        setenv("VELMORATH_SHM_SUFFIX", ("_scene" + std::to_string(getpid())).c_str(), 1);
        setenv(kRealExitEnv, "1", 1);
        platform::SetProgramFolder(dir.string() + "/");
    }
    void TearDown() override
    {
        unsetenv(kRealDumpEnv);
        fs::remove_all(dir);
    }

    static GAMEREALSTRUCT SampleBlock()
    {
        GAMEREALSTRUCT b{};
        b.rcMap = {35, 35, 96, 96};
        b.nOrder = -2;
        b.Side[0].Unit.nArms = 12;
        b.Side[0].Unit.nStrength = 8;
        b.Side[0].nLoss = 3;
        b.Side[1].Unit.nArms = 4;
        b.Side[1].Unit.nStrength = 5;
        b.Side[1].dwDirs = 0x80000000u;  // as the menu's duel writes it
        b.nArea = 11;
        b.nLightMode = 3;
        return b;
    }

    static std::string HexOf(const GAMEREALSTRUCT& b)
    {
        std::string s;
        const auto* p = reinterpret_cast<const unsigned char*>(&b);
        char two[3];
        for (size_t i = 0; i < sizeof b; ++i) {
            std::snprintf(two, sizeof two, "%02x", p[i]);
            s += two;
        }
        return s;
    }

    fs::path dir;
};

}  // namespace zrv
