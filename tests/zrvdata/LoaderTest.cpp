// Loading the library by name: what a program may rely on when it starts.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "ShippedContent.h"
#include "platform/core/Paths.h"
#include "support/FixtureLibrary.h"

namespace zrvtest {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path;
    TempDir()
    {
        path =
            fs::temp_directory_path() / ("zrvdata-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    static inline int n = 0;
};

TEST(DataLibraryLoader, RefusesWhatIsNotAUsableLibrary)
{
    TempDir dir;
    std::ofstream(dir.path / "garbage.so") << "not a shared object";
    struct Case {
        const char* name;
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {"missing file", (dir.path / "libZRVData.so").string(), ""},
        {"relative path", "libZRVData.so", "absolute"},
        {"not a shared object", (dir.path / "garbage.so").string(), ""},
        {"exports missing", ZRV_PARTIAL_LIBRARY, "missing export"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        zrv::DataLibraryModule m;
        std::string why;
        EXPECT_FALSE(m.Open(c.path, &why));
        EXPECT_FALSE(m.IsOpen());
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        EXPECT_TRUE(m.Tables().ErrorMessage.empty());
    }
}

TEST(DataLibraryLoader, ProgramFolderLibraryIsInstalled)
{
    zrv::SetLib(nullptr);
    platform::SetProgramFolder(StageDir());
    std::string why;
    ASSERT_TRUE(zrv::LoadProgramDataLibrary(&why)) << why;
    EXPECT_EQ(zrv::Lib().g_nMaxUnit, static_cast<int>(zrv::Lib().ArmsData.size()));
    EXPECT_GE(zrv::Lib().ErrorMessage.size(), 157u);
    // The tables are the library's own, read in place.
    EXPECT_EQ(zrv::Lib().ArmsData.data(), ShippedLibrary().Tables().ArmsData.data());
    zrv::SetLib(nullptr);
}

// World-situation values are copied into fixed areas of 240 cities and 64
// nations, and the unit and scenario counts index their tables: a library
// that breaks one of these is refused.
TEST(DataLibraryLoader, LimitsRefuseWhatWouldOverrunTheFixedAreas)
{
    const zrv::DataLibrary& fixture = FixtureLibrary();
    ASSERT_TRUE(zrv::CheckLibraryLimits(fixture));
    std::vector<zrv::IWCITYSTRUCT> cities(241);
    std::vector<int32_t> nations(65);
    struct Case {
        const char* name;
        void (*plant)(zrv::DataLibrary&, std::vector<zrv::IWCITYSTRUCT>&, std::vector<int32_t>&);
    };
    const Case cases[] = {
        {"241 cities",
         [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>& c, std::vector<int32_t>&) {
             l.IWCityData = c;
             l.g_nMaxIWCity = 241;
         }},
        {"65 nations",
         [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>&, std::vector<int32_t>& n) {
             l.IWCountryData = n;
             l.g_nMaxIWNation = 65;
         }},
        {"more cities than the table", [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>&,
                                          std::vector<int32_t>&) { l.g_nMaxIWCity = 3; }},
        {"unit count above its table",
         [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>&, std::vector<int32_t>&) { ++l.g_nMaxUnit; }},
        {"weapon slots short",
         [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>&, std::vector<int32_t>&) {
             l.WeaponData = l.WeaponData.first(l.WeaponData.size() - 1);
         }},
        {"scenario count above its table", [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>&,
                                              std::vector<int32_t>&) { l.g_nMaxScnr = 2; }},
        {"funds bias 0", [](zrv::DataLibrary& l, std::vector<zrv::IWCITYSTRUCT>&,
                            std::vector<int32_t>&) { l.g_nFundsBiasVictory = 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        zrv::DataLibrary copy = fixture;
        c.plant(copy, cities, nations);
        std::string why;
        EXPECT_FALSE(zrv::CheckLibraryLimits(copy, &why));
        EXPECT_FALSE(why.empty());
    }
}

}  // namespace
}  // namespace zrvtest
