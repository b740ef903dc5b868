#pragma once
// One entry per file reader, shared by the libFuzzer targets and by the plain
// fuzz smoke test of the normal build. Besides "no crash, no sanitizer
// report", each checks what a reader promises: a refused file leaves the
// caller's record byte for byte as it was; an accepted one passes the record
// check and survives a write and a second read unchanged.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "datafiles/FixtureLibrary.h"
#include "foundation/GameFiles.h"
#include "foundation/GameRecordCheck.h"

namespace datafiles_fuzz {

enum class Reader { Game, Scenario, ScenarioCheck, Campaign, WeaponGuide, Map };

[[noreturn]] inline void Broken(const char* what)
{
    std::fprintf(stderr, "reader promise broken: %s\n", what);
    std::abort();
}

inline void Expect(bool ok, const char* what)
{
    if (!ok) Broken(what);
}

// Installs the fixture library and a silent dialog service (two stores, so
// every input can afford it and a test that installed others is overruled).
inline void InstallFixture()
{
    static datafiles_test::SilentDialogs dialogs;
    zrv::SetLib(&datafiles_test::FixtureLibrary());
    zrv::SetDialogs(&dialogs);
}

template <typename T>
bool SameBytes(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

inline void FuzzGame(std::span<const uint8_t> data, bool campaignAndScenario)
{
    auto block = std::make_unique<zrv::GAMEDATASTRUCT>();
    datafiles_test::Pattern(block.get(), sizeof *block, 77);
    auto before = std::make_unique<zrv::GAMEDATASTRUCT>(*block);
    const zrv::RecordLimits limits = zrv::RecordLimits::FromLib();
    if (!campaignAndScenario) {
        const int code = zrv::ReadGameFileBytes(data, *block, zrv::UnitVersionPolicy::Warn);
        if (code != zrv::kFileOk) {
            Expect(SameBytes(*block, *before), "refused saved game changed the block");
            return;
        }
        Expect(zrv::CheckGameData(*block, limits), "accepted saved game fails the record check");
        auto again = std::make_unique<zrv::GAMEDATASTRUCT>();
        Expect(
            zrv::ReadGameFileBytes(zrv::BuildGameFile(*block), *again, zrv::UnitVersionPolicy::Ignore) == 0,
            "saved game written back is refused");
        Expect(SameBytes(*block, *again), "saved game round trip differs");
        return;
    }
    const int code =
        zrv::ReadScenarioFileBytes(data, *block, zrv::UnitVersionPolicy::Warn, data.size() % 2 == 1);
    if (code != zrv::kFileOk) {
        Expect(SameBytes(*block, *before), "refused scenario changed the block");
        return;
    }
    Expect(zrv::CheckScenarioHeader(block->Head, limits), "accepted scenario header fails the check");
    for (const auto& c : block->Country) {
        Expect(zrv::CheckCountryScenarioPart(c, limits), "accepted scenario country fails the check");
        for (size_t i = zrv::kScenarioCountryBytes; i < sizeof c; ++i) {
            Expect(reinterpret_cast<const uint8_t*>(&c)[i] == 0, "built part of a country not cleared");
        }
    }
    Expect(block->nVersion == before->nVersion && SameBytes(block->CarryUnit, before->CarryUnit) &&
               SameBytes(block->dwHexCell, before->dwHexCell),
           "scenario reader wrote outside the header and countries");
}

inline void FuzzScenarioCheck(std::span<const uint8_t> data)
{
    zrv::SCNRHEADSTRUCT head;
    datafiles_test::Pattern(&head, sizeof head, 78);
    const zrv::SCNRHEADSTRUCT before = head;
    const int code = zrv::CheckScenarioFileBytes(data, head);
    if (code != zrv::kFileOk && code != zrv::kFileScenarioVersion) {
        Expect(SameBytes(head, before), "refused scenario check changed the header");
    }
}

inline void FuzzCampaign(std::span<const uint8_t> data)
{
    auto record = std::make_unique<zrv::CAMPAIGNSTRUCT>();
    datafiles_test::Pattern(record.get(), sizeof *record, 79);
    auto before = std::make_unique<zrv::CAMPAIGNSTRUCT>(*record);
    const int code = zrv::ReadCampaignFileBytes(data, *record, zrv::UnitVersionPolicy::Refuse);
    if (code != zrv::kFileOk) {
        Expect(SameBytes(*record, *before), "refused campaign changed the record");
        return;
    }
    Expect(zrv::CheckCampaign(*record, zrv::RecordLimits::FromLib()), "accepted campaign fails the check");
    auto again = std::make_unique<zrv::CAMPAIGNSTRUCT>();
    Expect(zrv::ReadCampaignFileBytes(zrv::BuildCampaignFile(*record), *again,
                                      zrv::UnitVersionPolicy::Ignore) == 0,
           "campaign written back is refused");
    Expect(SameBytes(*record, *again), "campaign round trip differs");
}

inline void FuzzWeaponGuide(std::span<const uint8_t> data)
{
    std::array<uint32_t, zrv::kArmsCount> entries;
    datafiles_test::Pattern(entries.data(), sizeof entries, 80);
    const auto before = entries;
    char version[8];
    if (zrv::ReadWeaponGuideBytes(data, entries, version) != zrv::kFileOk) {
        Expect(entries == before, "refused guide changed the table");
    }
}

inline void FuzzMap(std::span<const uint8_t> data)
{
    std::vector<zrv::MAPCELL> cells(zrv::kHexCount);
    datafiles_test::Pattern(cells.data(), cells.size() * sizeof(zrv::MAPCELL), 81);
    const std::vector<zrv::MAPCELL> before = cells;
    const bool withCells = data.empty() || (data.back() & 1) == 0;
    const uint32_t option = (data.size() % 3 == 0 ? zrv::kOptionCampaign : 0u) |
                            (data.size() % 5 == 0 ? zrv::kOptionExtendedMap : 0u);
    zrv::MapFileData out;
    out.campaignMap = true;
    const int code = zrv::ReadMapFileBytes(
        data, withCells, option, std::span<zrv::MAPCELL, zrv::kHexCount>(cells.data(), zrv::kHexCount), out);
    if (code != zrv::kFileOk) {
        Expect(cells == before, "refused map changed the cells");
        Expect(out.cities.empty() && out.campaignMap, "refused map changed the result");
        return;
    }
    Expect(zrv::IsMapRectSound(out.rect), "accepted map has an unsound rectangle");
    Expect(out.cities.size() <= zrv::kCityNameCount, "too many cities");
    std::vector<bool> named(zrv::kHexCount);
    for (const auto& city : out.cities) {
        Expect(zrv::IsMapHex(city.nHex), "city off the map");
        Expect(std::memchr(city.szName, 0, sizeof city.szName) != nullptr, "city name not terminated");
        named[city.nHex] = true;
    }
    for (int hex = 0; hex < zrv::kHexCount; ++hex) {
        Expect(zrv::CellHasCityName(cells[hex]) == named[hex], "city mark does not match the cities");
        if (!withCells) {
            Expect((cells[hex] & ~zrv::kCellCityName) == (before[hex] & ~zrv::kCellCityName),
                   "map without cells changed a cell");
        }
    }
}

inline void FuzzOne(Reader reader, const uint8_t* data, size_t size)
{
    InstallFixture();
    const std::span<const uint8_t> bytes(data, size);
    switch (reader) {
        case Reader::Game:
            FuzzGame(bytes, false);
            break;
        case Reader::Scenario:
            FuzzGame(bytes, true);
            break;
        case Reader::ScenarioCheck:
            FuzzScenarioCheck(bytes);
            break;
        case Reader::Campaign:
            FuzzCampaign(bytes);
            break;
        case Reader::WeaponGuide:
            FuzzWeaponGuide(bytes);
            break;
        case Reader::Map:
            FuzzMap(bytes);
            break;
    }
}

}  // namespace datafiles_fuzz
