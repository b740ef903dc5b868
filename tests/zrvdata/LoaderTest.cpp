// Loading the library by name: what a program may rely on when it starts.

#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

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

// A library cut short (a broken copy, a full disk) is refused with a reason
// before it is mapped: a cut inside a loaded segment would otherwise kill the
// program inside dlopen.
TEST(DataLibraryLoader, RefusesALibraryCutShortAnywhere)
{
    TempDir dir;
    std::ifstream in(StageDir() + "libZRVData.so", std::ios::binary);
    const std::vector<char> whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), sizeof(Elf64_Ehdr));
    Elf64_Ehdr eh;
    std::memcpy(&eh, whole.data(), sizeof eh);
    uint64_t firstLoadEnd = 0, lastLoadEnd = 0;
    for (int i = 0; i < eh.e_phnum; ++i) {
        Elf64_Phdr ph;
        std::memcpy(&ph, whole.data() + eh.e_phoff + i * sizeof ph, sizeof ph);
        if (ph.p_type != PT_LOAD) continue;
        if (firstLoadEnd == 0) firstLoadEnd = ph.p_offset + ph.p_filesz;
        lastLoadEnd = std::max<uint64_t>(lastLoadEnd, ph.p_offset + ph.p_filesz);
    }
    ASSERT_GT(firstLoadEnd, 4096u);
    struct Case {
        const char* name;
        uint64_t size;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", 0, "ELF header"},
        {"inside the header", 20, "ELF header"},
        {"inside the program headers", eh.e_phoff + sizeof(Elf64_Phdr) + 3, "program headers"},
        {"inside the first segment", 4096, "cut off inside a loaded segment"},
        {"half way", lastLoadEnd / 2, "cut off inside a loaded segment"},
        {"one byte short of the last segment", lastLoadEnd - 1, "cut off inside a loaded segment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path cut = dir.path / "cut.so";
        std::ofstream(cut, std::ios::binary | std::ios::trunc).write(whole.data(), std::streamsize(c.size));
        zrv::DataLibraryModule m;
        std::string why;
        EXPECT_FALSE(m.Open(cut.string(), &why));
        EXPECT_FALSE(m.IsOpen());
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
    // Cut only past its loaded part (the symbols for a debugger): still usable.
    const fs::path tail = dir.path / "tail.so";
    std::ofstream(tail, std::ios::binary).write(whole.data(), std::streamsize(lastLoadEnd));
    zrv::DataLibraryModule m;
    std::string why;
    EXPECT_TRUE(m.Open(tail.string(), &why)) << why;
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
