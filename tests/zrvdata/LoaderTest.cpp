// Loading the library by name: what a program may rely on when it starts.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ShippedContent.h"
#include "platform/core/Paths.h"

namespace zrvtest {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path;
    TempDir()
    {
        path = fs::temp_directory_path() / ("zrvdata-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
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

}  // namespace
}  // namespace zrvtest
