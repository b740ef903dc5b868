#pragma once
// A battle document ready to start games: the fixture library, a program
// folder of its own with the fixture scenario "FIXTURE.SC2" and its map, a
// hand-over block on the heap, a starter that records what it was asked to
// start, a recording view and scripted boxes.
//
// The fixture scenario: countries 0 (side 0, human, id 1), 1 (side 1,
// computer, id 2) and 2 (side 0, human, id 1) on a 21 x 21 area of plain with
// each capital on a city; country 0 has an infantry and a tank, country 1 a
// destroyer at sea, country 2 an infantry. Each country owns the hexes of its
// own rows of the area.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "battle/engine/GameDoc.h"
#include "battle/engine/GameStart.h"
#include "battle/engine/HandOverDoc.h"
#include "engine/RecordingView.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameFiles.h"
#include "platform/core/Paths.h"
#include "support/FixtureLibrary.h"

namespace startuptest {

using namespace zrv;

class RecordingStarter : public ProgramStarter {
public:
    Result Start(const std::string& nativePath) override
    {
        started.push_back(nativePath);
        if (onStart) onStart();
        Result r;
        r.ok = succeed;
        if (!succeed) r.reason = "No such file or directory";
        return r;
    }
    std::vector<std::string> started;
    bool succeed = true;
    std::function<void()> onStart;
};

inline constexpr MapRect kFixtureArea = {40, 40, 60, 60};
inline constexpr HEXINDEX kCapital0 = MakeHex(42, 45);
inline constexpr HEXINDEX kCapital1 = MakeHex(58, 55);
inline constexpr HEXINDEX kCapital2 = MakeHex(50, 42);
inline constexpr HEXINDEX kSeaHex = MakeHex(58, 59);
inline constexpr uint32_t kFixtureStart = PackDate(41, 6, 29, 6);

class StartFixture : public testing::Test {
protected:
    void SetUp() override
    {
        SetLib(&zrvtest::FixtureLibrary());
        SetDialogs(&dialogs);
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("velmorath-start-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "Scenario");
        platform::SetProgramFolder(folder.string());

        scenario = std::make_unique<GAMEDATASTRUCT>();
        MakeScenario(*scenario);
        WriteScenario(*scenario);
        WriteMap(BuildMapFile(kFixtureArea, MapCells(), Cities(), true));

        doc = std::make_unique<CZRKGameDoc>(&clock);
        doc->SetView(&view);
        block = std::make_unique<HeapHandOverBlock>();
        link = std::make_unique<HandOverLink>(*block, starter, "/opt/velmorath");
        doc->SetHandOver(link.get());
    }

    void TearDown() override
    {
        doc.reset();
        SetDialogs(nullptr);
        SetLib(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    static void AddUnit(COUNTRYSTRUCT& c, int slot, int type, HEXINDEX hex)
    {
        UNITSTRUCT& u = c.Unit[slot];
        u.dwFlag = kUnitInUse;
        u.nArms = type;
        u.nHex = hex;
        u.nStrength = 10;
        u.nFuel = 50;
        u.dwCargo = MakeCargo(kNoCarrier, 0);
        ++c.nUnit;
    }

    static void MakeScenario(GAMEDATASTRUCT& g)
    {
        std::memset(&g, 0, sizeof g);
        std::strncpy(g.Head.szName, "試験", sizeof g.Head.szName - 1);
        g.Head.dwStartDate = kFixtureStart;
        g.Head.dwTurnLimit = (20u << 16) | 30u;
        g.Head.byCampaign = 1;
        const int ids[3] = {1, 2, 1};
        const HEXINDEX capitals[3] = {kCapital0, kCapital1, kCapital2};
        const char* names[3] = {"ノルデン", "ズーダン", "オスタル"};
        for (int i = 0; i < 3; ++i) {
            COUNTRYSTRUCT& c = g.Country[i];
            c.dwFlag = kCountryPresent;
            c.nIndex = i;
            c.nCountryId = ids[i];
            c.nSide = i == 1 ? 1 : 0;
            c.nControl = i == 1 ? 1 : 0;
            c.nDisplay = i;
            c.nFund = 1000;
            c.nUnitMax = 30;
            c.nCapital = capitals[i];
            c.dwClassMask[0] = 0xFFFFFFFFu;
            std::strncpy(c.szName, names[i], sizeof c.szName - 1);
        }
        for (int i = 3; i < kCountryCount; ++i) g.Country[i].nCapital = -1;
        AddUnit(g.Country[0], 0, zrvtest::kFixtureInfantry, MakeHex(43, 45));
        AddUnit(g.Country[0], 1, zrvtest::kFixtureTank, MakeHex(44, 46));
        AddUnit(g.Country[1], 0, zrvtest::kFixtureDestroyer, kSeaHex);
        AddUnit(g.Country[2], 0, zrvtest::kFixtureInfantry, MakeHex(50, 43));
    }

    // Rows 40-47 belong to country 0, 48-52 to country 2, 53-60 to country 1;
    // the last column is sea.
    static std::span<const MAPCELL, kHexCount> MapCells()
    {
        static std::vector<MAPCELL> cells = [] {
            std::vector<MAPCELL> c(kHexCount, WithTerrain(0, zrvtest::kFixtureSea));
            for (int row = kFixtureArea.top; row <= kFixtureArea.bottom; ++row) {
                for (int col = kFixtureArea.left; col <= kFixtureArea.right; ++col) {
                    int owner = row <= 47 ? 0 : row <= 52 ? 2 : 1;
                    MAPCELL cell = col == kFixtureArea.right
                                       ? WithTerrain(0, zrvtest::kFixtureSea)
                                       : WithOwner(WithTerrain(0, zrvtest::kFixturePlain), owner);
                    c[static_cast<size_t>(MakeHex(row, col))] = cell;
                }
            }
            for (HEXINDEX h : {kCapital0, kCapital1, kCapital2}) {
                c[static_cast<size_t>(h)] = WithTerrain(c[static_cast<size_t>(h)], zrvtest::kFixtureCity);
            }
            return c;
        }();
        return std::span<const MAPCELL, kHexCount>(cells.data(), kHexCount);
    }

    static std::vector<MapCityRecord> Cities()
    {
        return {{static_cast<int16_t>(kCapital0), "ノルデン市", ""},
                {static_cast<int16_t>(kCapital1), "ズーダン市", ""}};
    }

    void WriteScenario(const GAMEDATASTRUCT& g, const char* name = "FIXTURE.SC2")
    {
        WriteBytes(folder / "Scenario" / name, BuildScenarioFile(g));
    }
    void WriteMap(const std::vector<uint8_t>& bytes)
    {
        WriteBytes(folder / "Scenario" / "FIXTURE.MB2", bytes);
    }
    static void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Builds the fixture scenario in maker and saves it as "SAVE.DG2"; returns
    // the file's path.
    std::string SaveFixtureGame(CZRKGameDoc& maker)
    {
        maker.StartNewScenario(ScenarioFile(), false);
        // The reader takes only a block marked as a valid save.
        maker.m_GameData.dwGameOption = maker.m_dwGameOption | kOptionCampaign;
        std::string path = (folder / "SAVE.DG2").string();
        WriteBytes(path, BuildGameFile(maker.m_GameData));
        return path;
    }

    // The CP932 path the menu program would hand over.
    std::string ScenarioFile(const char* name = "FIXTURE.SC2") const { return platform::ScenarioPath(name); }

    // Everything a start may change, as bytes.
    std::vector<uint8_t> Snapshot() const
    {
        std::vector<uint8_t> s;
        auto add = [&s](const void* p, size_t n) {
            const auto* b = static_cast<const uint8_t*>(p);
            s.insert(s.end(), b, b + n);
        };
        add(&doc->m_GameData, sizeof doc->m_GameData);
        add(doc->m_dwHexCell, sizeof doc->m_dwHexCell);
        add(doc->m_dwHexUnit, sizeof doc->m_dwHexUnit);
        add(doc->m_CityName, sizeof doc->m_CityName);
        add(&doc->m_nCityName, sizeof doc->m_nCityName);
        add(&doc->m_rcMapArea, sizeof doc->m_rcMapArea);
        add(&doc->m_dwGameOption, sizeof doc->m_dwGameOption);
        return s;
    }

    FixedClock clock{1700000000};
    RecordingView view;
    ScriptedDialogService dialogs;
    RecordingStarter starter;
    std::filesystem::path folder;
    std::unique_ptr<GAMEDATASTRUCT> scenario;
    std::unique_ptr<HeapHandOverBlock> block;
    std::unique_ptr<HandOverLink> link;
    std::unique_ptr<CZRKGameDoc> doc;
};

}  // namespace startuptest
