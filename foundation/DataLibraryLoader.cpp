#include "foundation/DataLibraryLoader.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/core/Paths.h"

namespace zrv {
namespace {

// A count export larger than this is taken for a damaged library rather
// than trusted as a table size.
constexpr int kMaxSaneCount = 1 << 20;

class Binder {
public:
    explicit Binder(void* handle) : m_handle(handle) {}

    const std::string& Failure() const { return m_failure; }

    void* Sym(const std::string& name)
    {
        void* p = dlsym(m_handle, name.c_str());
        if (p == nullptr) Fail("missing export " + name);
        return p;
    }

    int Int(const char* name)
    {
        auto* p = static_cast<const int*>(Sym(name));
        return p ? *p : 0;
    }

    // A table and its count export "<name>Count".
    template <typename T>
    std::span<const T> Table(const char* name)
    {
        auto* p = static_cast<const T*>(Sym(name));
        int n = Int((std::string(name) + "Count").c_str());
        if (n < 0 || n > kMaxSaneCount) {
            Fail(std::string("bad count for ") + name);
            return {};
        }
        if (p == nullptr) return {};
        return {p, static_cast<size_t>(n)};
    }

    TextTable Texts(const char* name) { return Table<const char*>(name); }

    // A single text: the export's address is the text itself.
    const char* Text(const char* name)
    {
        auto* p = static_cast<const char*>(Sym(name));
        return p ? p : "";
    }

    void Fail(const std::string& why)
    {
        if (m_failure.empty()) m_failure = why;
    }

private:
    void* m_handle;
    std::string m_failure;
};

void Bind(Binder& b, DataLibrary& lib)
{
    lib.ArmsData = b.Table<ARMSSTRUCT>("ArmsData");
    lib.WeaponData = b.Table<WEAPONSTRUCT>("WeaponData");
    lib.TerrainBase = b.Table<TRRNSTRUCT>("TerrainBase");
    lib.RoadBase = b.Table<TRRNSTRUCT>("RoadBase");
    lib.ScenarioData = b.Table<SCNRBASESTRUCT>("ScenarioData");
    lib.HistoryData = b.Table<HISTORYSTRUCT>("HistoryData");
    lib.TemperatureData = b.Table<TEMPERATURESTRUCT>("TemperatureData");

    lib.TerrainCostTable = b.Table<CostRow>("TerrainCostTable");
    lib.TerrainCostTableSnow = b.Table<CostRow>("TerrainCostTableSnow");
    lib.SupplyTable = b.Table<uint8_t>("SupplyTable");
    lib.CountryBGMTable = b.Table<int32_t>("CountryBGMTable");
    lib.StartWallPositionTable = b.Table<std::array<int32_t, 4>>("StartWallPositionTable");
    lib.UnitGraphicsOffset = b.Table<std::array<int32_t, 3>>("UnitGraphicsOffset");
    lib.TerrainColorData = b.Table<TerrainColorSet>("TerrainColorData");
    lib.SMapPatternData = b.Table<std::array<uint8_t, 4>>("SMapPatternData");
    lib.SMapPatternDataL = b.Table<std::array<uint8_t, 4>>("SMapPatternDataL");
    lib.WaveMoveTableNormal = b.Table<int32_t>("WaveMoveTableNormal");
    lib.WaveMoveTableSnow = b.Table<int32_t>("WaveMoveTableSnow");
    lib.WaveMoveTableWater = b.Table<int32_t>("WaveMoveTableWater");
    lib.WaveShotedTable = b.Table<int32_t>("WaveShotedTable");
    lib.SunriseSunsetData = b.Table<std::array<int8_t, 24>>("SunriseSunsetData");
    lib.RainRateData = b.Table<int32_t>("RainRateData");
    lib.AccumulateRainData = b.Table<int32_t>("AccumulateRainData");
    lib.TemperatureTimeRate = b.Table<std::array<int32_t, 2>>("TemperatureTimeRate");
    lib.TblNewMoon = b.Table<std::array<int32_t, 13>>("TblNewMoon");
    lib.TblMoonType = b.Table<int32_t>("TblMoonType");

    lib.UnitName = b.Texts("UnitName");
    lib.UnitNameJ = b.Texts("UnitNameJ");
    lib.WeaponName = b.Texts("WeaponName");
    lib.WeaponPositionName = b.Texts("WeaponPositionName");
    lib.TerrainName = b.Texts("TerrainName");
    lib.RoadName = b.Texts("RoadName");
    lib.NationNameJ = b.Texts("NationNameJ");
    lib.SWndDefTypeName = b.Texts("SWndDefTypeName");

    lib.ErrorMessage = b.Texts("ErrorMessage");
    lib.MsgCommon = b.Texts("MsgCommon");
    lib.MsgUnitType = b.Texts("MsgUnitType");
    lib.MsgUnitTypeJ = b.Texts("MsgUnitTypeJ");
    lib.MsgMoveTypeJ = b.Texts("MsgMoveTypeJ");
    lib.MsgDefTypeJ = b.Texts("MsgDefTypeJ");
    lib.MsgCarryTypeJ = b.Texts("MsgCarryTypeJ");
    lib.MsgWeather = b.Texts("MsgWeather");
    lib.MsgWeatherNext = b.Texts("MsgWeatherNext");
    lib.MsgSunEffectName = b.Texts("MsgSunEffectName");
    lib.MsgLevel = b.Texts("MsgLevel");
    lib.MsgCtrlUser = b.Texts("MsgCtrlUser");
    lib.MsgStatus = b.Texts("MsgStatus");
    lib.MsgSide = b.Texts("MsgSide");
    lib.MsgZone = b.Texts("MsgZone");
    lib.MsgEPackType = b.Texts("MsgEPackType");
    lib.MsgSpecWord = b.Texts("MsgSpecWord");
    lib.MsgTerrainProduct = b.Texts("MsgTerrainProduct");
    lib.MsgTerrainSupply = b.Texts("MsgTerrainSupply");
    lib.MsgTerrainWork = b.Texts("MsgTerrainWork");
    lib.MsgResult = b.Texts("MsgResult");

    // Each entry is two text pointers, the layout of NamePair.
    static_assert(sizeof(NamePair) == 2 * sizeof(const char*));
    lib.WaveFileList = b.Table<NamePair>("WaveFileList");
    lib.CDAudioFileList = b.Table<NamePair>("CDAudioFileList");

    lib.g_szUnitVersion = b.Text("g_szUnitVersion");
    lib.MsgNoExistCD = b.Text("MsgNoExistCD");
    lib.SpecDiveNow = b.Text("SpecDiveNow");

    lib.g_nMaxUnit = b.Int("g_nMaxUnit");
    lib.g_nLandUnit = b.Int("g_nLandUnit");
    lib.g_nMaxScnr = b.Int("g_nMaxScnr");
    lib.g_nFundsBiasWin = b.Int("g_nFundsBiasWin");
    lib.g_nFundsBiasVictory = b.Int("g_nFundsBiasVictory");

    lib.IWCityData = b.Table<IWCITYSTRUCT>("IWCityData");
    lib.IWCountryData = b.Table<int32_t>("IWCountryData");
    lib.EndingDirectTable = b.Table<ENDINGSTRUCT>("EndingDirectTable");
    lib.EndingMedalRank = b.Table<int32_t>("EndingMedalRank");
    lib.EndingEnemyUnit = b.Table<int32_t>("EndingEnemyUnit");
    lib.MsgCredit = b.Texts("MsgCredit");
    lib.MsgGermanMedal = b.Texts("MsgGermanMedal");
    lib.MsgDisableWheel = b.Text("MsgDisableWheel");
    lib.MsgVerUpStart = b.Text("MsgVerUpStart");
    lib.MsgVerUpEnd0 = b.Text("MsgVerUpEnd0");
    lib.MsgVerUpEnd1 = b.Text("MsgVerUpEnd1");
    lib.MsgNoMatchDLL2Conv = b.Text("MsgNoMatchDLL2Conv");
    lib.MsgNoMatchData2Conv = b.Text("MsgNoMatchData2Conv");
    lib.WeaponGuild = b.Text("WeaponGuild");
    lib.g_nMaxIWCity = b.Int("g_nMaxIWCity");
    lib.g_nMaxIWNation = b.Int("g_nMaxIWNation");
    lib.g_nCreditX = b.Int("g_nCreditX");
    lib.g_nCreditY = b.Int("g_nCreditY");
    lib.g_nCreditHSize = b.Int("g_nCreditHSize");
    lib.g_nCreditVSize = b.Int("g_nCreditVSize");
    lib.g_nCreditGap = b.Int("g_nCreditGap");
    lib.g_nCreditFontSz = b.Int("g_nCreditFontSz");
    lib.g_nCreditFontWg = b.Int("g_nCreditFontWg");
    lib.g_rgbFontColor = static_cast<uint32_t>(b.Int("g_rgbFontColor"));
    lib.g_nCampaignWinSum = b.Int("g_nCampaignWinSum");
    lib.g_nExtraScenario = b.Int("g_nExtraScenario");
    lib.g_nIdeologyScnrStart = b.Int("g_nIdeologyScnrStart");
    lib.g_nIdeologyScnrEnd = b.Int("g_nIdeologyScnrEnd");
}

// dlopen maps the library's load segments straight from the file: a file cut
// inside one is mapped past its end and the first touch of that part kills
// the process (SIGBUS) inside dlopen. So the file is checked first against
// its own ELF headers: the header and the program headers are whole, of this
// machine's kind, and every segment's bytes lie inside the file.
bool CheckElfFile(const std::string& nativePath, std::string* why)
{
    auto fail = [&](const std::string& s) {
        if (why) *why = nativePath + ": " + s;
        return false;
    };
    int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return fail("not a file");
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    auto readAt = [&](uint64_t offset, void* out, size_t length) {
        return offset <= size && length <= size - offset &&
               ::pread(fd, out, length, static_cast<off_t>(offset)) == static_cast<ssize_t>(length);
    };
    Elf64_Ehdr eh;
    if (!readAt(0, &eh, sizeof eh)) return fail("shorter than an ELF header");
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0) return fail("not an ELF file");
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_type != ET_DYN)
        return fail("not a 64-bit little-endian shared library");
#if defined(__x86_64__)
    if (eh.e_machine != EM_X86_64) return fail("built for another machine");
#elif defined(__aarch64__)
    if (eh.e_machine != EM_AARCH64) return fail("built for another machine");
#endif
    if (eh.e_phentsize != sizeof(Elf64_Phdr) || eh.e_phnum == 0) return fail("no program headers");
    std::vector<Elf64_Phdr> phs(eh.e_phnum);
    if (!readAt(eh.e_phoff, phs.data(), phs.size() * sizeof(Elf64_Phdr))) return fail("program headers cut off");
    bool anyLoad = false;
    for (const Elf64_Phdr& ph : phs) {
        if (ph.p_type != PT_LOAD && ph.p_type != PT_DYNAMIC) continue;
        anyLoad = anyLoad || ph.p_type == PT_LOAD;
        if (ph.p_offset > size || ph.p_filesz > size - ph.p_offset)
            return fail("cut off inside a loaded segment (" + std::to_string(size) + " bytes, a segment needs " +
                        std::to_string(ph.p_offset + ph.p_filesz) + ")");
        if (ph.p_type == PT_LOAD && ph.p_filesz > ph.p_memsz) return fail("a segment larger on file than in memory");
    }
    if (!anyLoad) return fail("no loaded segment");
    return true;
}

DataLibraryModule& ProgramModule()
{
    // Never destroyed: the library stays mapped until the process ends, so no
    // destructor that runs after this one can find the tables it points into
    // gone. The system releases the mapping with the process.
    static DataLibraryModule* module = new DataLibraryModule;
    return *module;
}

}  // namespace

// The programs index these tables with the library's own counts and copy the
// world-situation values into fixed areas, so a library whose counts disagree
// is refused as a whole instead of being read past its tables.
bool CheckLibraryLimits(const DataLibrary& lib, std::string* error)
{
    std::string why;
    auto fail = [&](const char* s) {
        if (why.empty()) why = s;
    };
    if (lib.g_nMaxUnit < 1 || lib.g_nMaxUnit > kMaxUnitTypes ||
        static_cast<size_t>(lib.g_nMaxUnit) != lib.ArmsData.size()) {
        fail("g_nMaxUnit does not match ArmsData");
    }
    if (lib.WeaponData.size() < lib.ArmsData.size() * kWeaponSlots) {
        fail("WeaponData is short of 8 slots per type");
    }
    if (lib.g_nMaxScnr < 0 || static_cast<size_t>(lib.g_nMaxScnr) != lib.ScenarioData.size()) {
        fail("g_nMaxScnr does not match ScenarioData");
    }
    if (lib.g_nMaxIWCity < 0 || lib.g_nMaxIWCity > kMaxWorldCities ||
        static_cast<size_t>(lib.g_nMaxIWCity) > lib.IWCityData.size()) {
        fail("g_nMaxIWCity exceeds 240 or its table");
    }
    if (lib.g_nMaxIWNation < 0 || lib.g_nMaxIWNation > kMaxWorldNations ||
        static_cast<size_t>(lib.g_nMaxIWNation) > lib.IWCountryData.size()) {
        fail("g_nMaxIWNation exceeds 64 or its table");
    }
    if (lib.g_nFundsBiasWin == 0 || lib.g_nFundsBiasVictory == 0) fail("a funds bias is 0");
    // Sensor ranges size the hex lists of the sight searches; a range past
    // the map's width only walks the map again.
    for (const ARMSSTRUCT& a : lib.ArmsData) {
        if (a.nSight < 0 || a.nSight > kMaxLibrarySensorRange || a.wRadar < 0 ||
            a.wRadar > kMaxLibrarySensorRange || a.wSonar < 0 || a.wSonar > kMaxLibrarySensorRange) {
            fail("a sight, radar or sonar range is outside 0..127");
            break;
        }
    }
    // Move costs share a word with the reach flags from bit 16 up; the
    // searches saturate sums at 0x7FFF and assume single steps below it.
    for (const auto* table : {&lib.TerrainCostTable, &lib.TerrainCostTableSnow}) {
        for (const CostRow& row : *table) {
            for (int32_t v : row) {
                if (v < 0 || v >= kMaxLibraryMoveCost) fail("a move cost is outside 0..32766");
            }
        }
    }
    if (!why.empty() && error) *error = why;
    return why.empty();
}

DataLibraryModule::~DataLibraryModule()
{
    Close();
}

void DataLibraryModule::Close()
{
    if (m_handle == nullptr) return;
    if (&Lib() == &m_lib) SetLib(nullptr);
    m_lib = DataLibrary{};
    dlclose(m_handle);
    m_handle = nullptr;
}

bool DataLibraryModule::Open(const std::string& nativePath, std::string* error)
{
    Close();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    // A path without a '/' would make dlopen search the library path; the
    // library must be the one beside the program.
    if (nativePath.empty() || nativePath[0] != '/') return fail("not an absolute path: " + nativePath);
    if (std::string why; !CheckElfFile(nativePath, &why)) return fail(why);
    void* handle = dlopen(nativePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        return fail(why ? why : "cannot open " + nativePath);
    }
    Binder b(handle);
    DataLibrary lib;
    Bind(b, lib);
    std::string limits;
    if (!b.Failure().empty() || !CheckLibraryLimits(lib, &limits)) {
        dlclose(handle);
        return fail(b.Failure().empty() ? limits : b.Failure());
    }
    m_handle = handle;
    m_lib = lib;
    return true;
}

bool LoadProgramDataLibrary(std::string* error)
{
    DataLibraryModule& module = ProgramModule();
    if (!module.IsOpen() && !module.Open(platform::ProgramFolderNative() + kDataLibraryFile, error))
        return false;
    SetLib(&module.Tables());
    return true;
}

}  // namespace zrv
