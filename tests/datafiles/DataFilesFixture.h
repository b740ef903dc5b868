#pragma once
// Test fixture: the fixture library, a scripted dialog service and a program
// folder of its own with "Data" and "Scenario".

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "datafiles/FixtureLibrary.h"
#include "platform/core/Paths.h"

namespace datafiles_test {

class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zrv::SetLib(&FixtureLibrary());
        zrv::SetDialogs(&dialogs);
        root = std::filesystem::temp_directory_path() /
               ("velmorath-datafiles-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Data");
        std::filesystem::create_directories(root / "Scenario");
        platform::SetProgramFolder(root.string());
    }
    void TearDown() override
    {
        zrv::SetDialogs(nullptr);
        zrv::SetLib(nullptr);
        std::error_code ec;
        std::filesystem::permissions(root / "Data", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root, ec);
    }

    static void WriteRaw(const std::filesystem::path& p, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<uint8_t> ReadRaw(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    zrv::ScriptedDialogService dialogs;
    std::filesystem::path root;
};

}  // namespace datafiles_test
