// Saved games, scenarios, campaign saves and the weapon guide: round trips,
// damaged files, the unit-data version policies and the record check.

#include <sys/stat.h>

#include <functional>

#include "datafiles/DataFilesFixture.h"
#include "foundation/GameRecordCheck.h"
#include "support/Sjis.h"

namespace {

using namespace zrv;
using namespace datafiles_test;
namespace fs = std::filesystem;

template <typename T>
bool SameBytes(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

void PutWord(std::vector<uint8_t>& file, uint16_t w)
{
    file[4] = static_cast<uint8_t>(w);
    file[5] = static_cast<uint8_t>(w >> 8);
}

using GuideTable = std::array<uint32_t, kArmsCount>;

class GameFiles : public DataFilesTest {};

TEST_F(GameFiles, EveryKindRoundTripsWithItsExactSize)
{
    auto game = MakeSampleGame();
    auto campaign = MakeSampleCampaign();
    const GuideTable guide = MakeSampleGuide();
    const auto gameBefore = std::make_unique<GAMEDATASTRUCT>(*game);
    const auto campaignBefore = std::make_unique<CAMPAIGNSTRUCT>(*campaign);

    for (bool scrambled : {true, false}) {
        SCOPED_TRACE(scrambled ? "scrambled" : "plain");
        const auto dg2 = BuildGameFile(*game, scrambled);
        const auto sc2 = BuildScenarioFile(*game, scrambled);
        const auto dc2 = BuildCampaignFile(*campaign, scrambled);
        const auto adw = BuildWeaponGuideFile(guide, kFixtureUnitVersion, scrambled);
        EXPECT_EQ(dg2.size(), 315154u);
        EXPECT_EQ(sc2.size(), 83398u);
        EXPECT_EQ(dc2.size(), 72710u);
        EXPECT_EQ(adw.size(), 12306u);
        // The writers only read the records.
        EXPECT_TRUE(SameBytes(*game, *gameBefore));
        EXPECT_TRUE(SameBytes(*campaign, *campaignBefore));

        auto g = std::make_unique<GAMEDATASTRUCT>();
        ASSERT_EQ(ReadGameFileBytes(dg2, *g, UnitVersionPolicy::Refuse), kFileOk);
        EXPECT_TRUE(SameBytes(*g, *game));

        auto s = std::make_unique<GAMEDATASTRUCT>();
        Pattern(s.get(), sizeof *s, 9);
        const auto untouched = std::make_unique<GAMEDATASTRUCT>(*s);
        ASSERT_EQ(ReadScenarioFileBytes(sc2, *s, UnitVersionPolicy::Refuse, true), kFileOk);
        EXPECT_TRUE(SameBytes(s->Head, game->Head));
        for (int i = 0; i < kCountryCount; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(std::memcmp(&s->Country[i], &game->Country[i], kScenarioCountryBytes), 0);
            // What a scenario starts with is built later: cleared here.
            const auto* rest = reinterpret_cast<const uint8_t*>(&s->Country[i]) + kScenarioCountryBytes;
            EXPECT_TRUE(std::all_of(rest, rest + sizeof(COUNTRYSTRUCT) - kScenarioCountryBytes,
                                    [](uint8_t b) { return b == 0; }));
        }
        EXPECT_TRUE(SameBytes(s->CarryUnit, untouched->CarryUnit));
        EXPECT_TRUE(SameBytes(s->dwHexCell, untouched->dwHexCell));
        EXPECT_EQ(s->nVersion, untouched->nVersion);

        auto c = std::make_unique<CAMPAIGNSTRUCT>();
        ASSERT_EQ(ReadCampaignFileBytes(dc2, *c, UnitVersionPolicy::Refuse), kFileOk);
        EXPECT_TRUE(SameBytes(*c, *campaign));

        GuideTable t{};
        char version[8];
        ASSERT_EQ(ReadWeaponGuideBytes(adw, t, version), kFileOk);
        EXPECT_EQ(t, guide);
        EXPECT_STREQ(version, kFixtureUnitVersion);
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(GameFiles, ScenarioWriterStampsTheLibraryVersionInTheFileOnly)
{
    auto game = MakeSampleGame();
    SetText(game->Head.szUnitVersion, 8, "OLD");
    const auto sc2 = BuildScenarioFile(*game);
    EXPECT_STREQ(game->Head.szUnitVersion, "OLD");
    SCNRHEADSTRUCT head;
    ASSERT_EQ(CheckScenarioFileBytes(sc2, head), kFileOk);
    EXPECT_STREQ(head.szUnitVersion, kFixtureUnitVersion);
}

TEST_F(GameFiles, PathWrappersWriteReadAndReportTheModificationTime)
{
    auto game = MakeSampleGame();
    auto campaign = MakeSampleCampaign();
    const std::string folder = platform::ProgramFolder();
    ASSERT_TRUE(WriteGameFile(folder + "Data\\AUTO.DM2", *game));
    ASSERT_TRUE(WriteScenarioFile(folder + "Scenario\\TEST.SC2", *game));
    ASSERT_TRUE(WriteCampaignFile(folder + "Data\\CAMP.DC2", *campaign));
    EXPECT_EQ(fs::file_size(root / "Data" / "AUTO.DM2"), 315154u);

    auto g = std::make_unique<GAMEDATASTRUCT>();
    std::time_t t = 0;
    ASSERT_EQ(ReadGameFile(folder + "Data\\auto.dm2", *g, &t), kFileOk);
    EXPECT_TRUE(SameBytes(*g, *game));
    EXPECT_GT(t, 0);
    ASSERT_EQ(ReadScenarioFile(folder + "Scenario\\TEST.SC2", *g, nullptr, false), kFileOk);
    SCNRHEADSTRUCT head;
    EXPECT_EQ(CheckScenarioFile(folder + "Scenario\\TEST.SC2", head), kFileOk);
    auto c = std::make_unique<CAMPAIGNSTRUCT>();
    ASSERT_EQ(ReadCampaignFile(folder + "Data\\CAMP.DC2", *c, &t), kFileOk);
    EXPECT_TRUE(SameBytes(*c, *campaign));

    EXPECT_EQ(ReadGameFile("", *g, nullptr), kFileCannotOpen);
    EXPECT_EQ(ReadGameFile(folder + "Data\\NONE.DG2", *g, nullptr), kFileCannotOpen);
    EXPECT_EQ(ReadGameFile(folder + "Scenario", *g, nullptr), kFileCannotOpen);
    EXPECT_EQ(CheckScenarioFile(folder + "Scenario\\NONE.SC2", head), kFileCannotOpen);
    EXPECT_EQ(ReadCampaignFile(folder + "Data\\NONE.DC2", *c, nullptr), kFileCannotOpen);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

// One reader under test: reads a file into a record filled with a pattern
// and tells whether the record kept every byte.
struct ReaderCase {
    const char* name;
    std::vector<uint8_t> sound;  // a sound scrambled file
    std::vector<uint8_t> plain;  // the same body stored plain
    bool checksVersion;
    std::function<int(const std::vector<uint8_t>&, bool& untouched)> read;
};

template <typename Record>
std::function<int(const std::vector<uint8_t>&, bool&)> Reading(
    std::function<int(std::span<const uint8_t>, Record&)> f)
{
    return [f](const std::vector<uint8_t>& file, bool& untouched) {
        auto rec = std::make_unique<Record>();
        Pattern(rec.get(), sizeof(Record), 42);
        const auto before = std::make_unique<Record>(*rec);
        const int code = f(file, *rec);
        untouched = SameBytes(*rec, *before);
        return code;
    };
}

std::vector<ReaderCase> ReaderCases()
{
    auto game = MakeSampleGame();
    auto campaign = MakeSampleCampaign();
    const GuideTable guide = MakeSampleGuide();
    std::vector<ReaderCase> cases;
    cases.push_back({"saved game", BuildGameFile(*game), BuildGameFile(*game, false), true,
                     Reading<GAMEDATASTRUCT>([](std::span<const uint8_t> f, GAMEDATASTRUCT& r) {
                         return ReadGameFileBytes(f, r, UnitVersionPolicy::Warn);
                     })});
    // The path-taking reader reads the body straight into a block it keeps
    // and checks it there: the same codes, and the same untouched record.
    cases.push_back({"saved game from its file", BuildGameFile(*game), BuildGameFile(*game, false), true,
                     Reading<GAMEDATASTRUCT>([](std::span<const uint8_t> f, GAMEDATASTRUCT& r) {
                         const std::string path = platform::DataPath("READ.DG2");
                         if (!platform::WriteFileAtomic(path, f)) return -1;
                         return ReadGameFile(path, r, nullptr, UnitVersionPolicy::Warn);
                     })});
    cases.push_back({"scenario", BuildScenarioFile(*game), BuildScenarioFile(*game, false), true,
                     Reading<GAMEDATASTRUCT>([](std::span<const uint8_t> f, GAMEDATASTRUCT& r) {
                         return ReadScenarioFileBytes(f, r, UnitVersionPolicy::Warn, false);
                     })});
    cases.push_back({"scenario check", BuildScenarioFile(*game), BuildScenarioFile(*game, false), true,
                     Reading<SCNRHEADSTRUCT>([](std::span<const uint8_t> f, SCNRHEADSTRUCT& r) {
                         return CheckScenarioFileBytes(f, r);
                     })});
    cases.push_back({"campaign", BuildCampaignFile(*campaign), BuildCampaignFile(*campaign, false), true,
                     Reading<CAMPAIGNSTRUCT>([](std::span<const uint8_t> f, CAMPAIGNSTRUCT& r) {
                         return ReadCampaignFileBytes(f, r, UnitVersionPolicy::Warn);
                     })});
    cases.push_back({"weapon guide", BuildWeaponGuideFile(guide, "OTHER"),
                     BuildWeaponGuideFile(guide, "OTHER", false), false,
                     Reading<GuideTable>([](std::span<const uint8_t> f, GuideTable& r) {
                         return ReadWeaponGuideBytes(f, r);
                     })});
    return cases;
}

TEST_F(GameFiles, DamagedFilesGetTheirCodeAndLeaveTheRecordAlone)
{
    for (const ReaderCase& kind : ReaderCases()) {
        SCOPED_TRACE(kind.name);
        const auto& sound = kind.sound;
        auto withWord = [&](uint16_t w) {
            auto f = sound;
            PutWord(f, w);
            return f;
        };
        auto flipped = [&](size_t at) {
            auto f = sound;
            f[at] ^= 0x10;
            return f;
        };
        auto cut = [&](size_t n) {
            return std::vector<uint8_t>(sound.begin(), sound.begin() + static_cast<long>(n));
        };
        auto otherMagic = sound;
        otherMagic[0] = 'X';
        auto plainGarbageCheck = kind.plain;
        for (int i = 6; i < 10; ++i) plainGarbageCheck[i] = 0xA5;

        struct Damage {
            const char* name;
            std::vector<uint8_t> file;
            int code;
        };
        const Damage damages[] = {
            {"sound", sound, kFileOk},
            {"wrong magic", otherMagic, kFileBadMagic},
            {"version 0x121", withWord(0x8121), kind.checksVersion ? kFileBadVersion : kFileOk},
            {"bits 12-14 set", withWord(0xF120), kFileOk},
            {"first body byte flipped", flipped(10), kFileBadCheck},
            {"last body byte flipped", flipped(sound.size() - 1), kFileBadCheck},
            {"bit 15 clear, garbage check value", plainGarbageCheck, kFileOk},
            {"one byte short", cut(sound.size() - 1), kFileBadCheck},
            {"header cut short", cut(8), kFileBadCheck},
            {"empty", {}, kFileBadMagic},
        };
        for (const Damage& d : damages) {
            SCOPED_TRACE(d.name);
            bool untouched = false;
            EXPECT_EQ(kind.read(d.file, untouched), d.code);
            EXPECT_EQ(untouched, d.code != kFileOk);
        }
    }
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(GameFiles, ScenarioCheckOfAPlainFileDoesNotReadThePieces)
{
    auto game = MakeSampleGame();
    auto plain = BuildScenarioFile(*game, false);
    plain.resize(10 + sizeof(SCNRHEADSTRUCT));
    SCNRHEADSTRUCT head;
    EXPECT_EQ(CheckScenarioFileBytes(plain, head), kFileOk);
    auto block = std::make_unique<GAMEDATASTRUCT>();
    EXPECT_EQ(ReadScenarioFileBytes(plain, *block, UnitVersionPolicy::Warn, false), kFileBadCheck);
}

TEST_F(GameFiles, UnitVersionPolicies)
{
    auto game = MakeSampleGame();
    SetText(game->Head.szUnitVersion, 8, "V0.9");
    auto campaign = MakeSampleCampaign();
    SetText(campaign->szUnitVersion, 8, "V0.9");
    const auto dg2 = BuildGameFile(*game);
    const auto dc2 = BuildCampaignFile(*campaign);
    // The scenario writer stamps the library's version; change it afterwards.
    auto sc2Block = MakeSampleGame();
    auto sc2 = BuildScenarioFile(*sc2Block, false);
    std::memcpy(sc2.data() + 10 + offsetof(SCNRHEADSTRUCT, szUnitVersion), "V0.9\0\0\0", 8);

    auto g = std::make_unique<GAMEDATASTRUCT>();
    auto c = std::make_unique<CAMPAIGNSTRUCT>();
    struct Case {
        const char* name;
        std::function<int()> read;
        int code;
    };
    const Case cases[] = {
        {"game refuse", [&] { return ReadGameFileBytes(dg2, *g, UnitVersionPolicy::Refuse); },
         kFileUnitVersion},
        {"game ignore", [&] { return ReadGameFileBytes(dg2, *g, UnitVersionPolicy::Ignore); }, kFileOk},
        {"game warn", [&] { return ReadGameFileBytes(dg2, *g, UnitVersionPolicy::Warn); }, kFileOk},
        {"scenario refuse", [&] { return ReadScenarioFileBytes(sc2, *g, UnitVersionPolicy::Refuse, false); },
         kFileUnitVersion},
        {"scenario warn", [&] { return ReadScenarioFileBytes(sc2, *g, UnitVersionPolicy::Warn, false); },
         kFileOk},
        {"campaign refuse", [&] { return ReadCampaignFileBytes(dc2, *c, UnitVersionPolicy::Refuse); },
         kFileUnitVersion},
        {"campaign warn", [&] { return ReadCampaignFileBytes(dc2, *c, UnitVersionPolicy::Warn); }, kFileOk},
        {"scenario check",
         [&] {
             SCNRHEADSTRUCT h;
             return CheckScenarioFileBytes(sc2, h);
         },
         kFileScenarioVersion},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        dialogs.Clear();
        EXPECT_EQ(k.read(), k.code);
        const bool warns = std::string_view(k.name).ends_with("warn");
        ASSERT_EQ(dialogs.Boxes().size(), warns ? 1u : 0u);
        if (warns) {
            EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "ユニットデータのバージョン(V0.9)が違います");
        }
    }
}

TEST_F(GameFiles, UnterminatedVersionFieldIsReadWithinItsEightBytes)
{
    auto game = MakeSampleGame();
    std::memcpy(game->Head.szUnitVersion, "ABCDEFGH", 8);  // no terminator
    auto g = std::make_unique<GAMEDATASTRUCT>();
    EXPECT_EQ(ReadGameFileBytes(BuildGameFile(*game), *g, UnitVersionPolicy::Warn), kFileOk);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "ユニットデータのバージョン(ABCDEFGH)が違います");
}

TEST_F(GameFiles, SavedGameNeedsTheValidSaveFlagAndTheMenuTestsTheVersionFirst)
{
    auto game = MakeSampleGame();
    game->dwGameOption &= ~kOptionCampaign;
    auto g = std::make_unique<GAMEDATASTRUCT>();
    EXPECT_EQ(ReadGameFileBytes(BuildGameFile(*game), *g, UnitVersionPolicy::Warn), kFileNotSaveGame);
    EXPECT_EQ(ReadGameFileBytes(BuildGameFile(*game), *g, UnitVersionPolicy::Refuse), kFileNotSaveGame);
    SetText(game->Head.szUnitVersion, 8, "V0.9");
    EXPECT_EQ(ReadGameFileBytes(BuildGameFile(*game), *g, UnitVersionPolicy::Refuse), kFileUnitVersion);
}

TEST_F(GameFiles, CampaignGameRefusesAScenarioNotMarkedForCampaigns)
{
    auto game = MakeSampleGame();
    game->Head.byCampaign = 0;
    auto sound = BuildScenarioFile(*game);
    auto damaged = sound;
    damaged.back() ^= 1;
    auto block = std::make_unique<GAMEDATASTRUCT>();
    const auto before = std::make_unique<GAMEDATASTRUCT>(*block);
    EXPECT_EQ(ReadScenarioFileBytes(sound, *block, UnitVersionPolicy::Warn, true), kFileCannotOpen);
    EXPECT_EQ(ReadScenarioFileBytes(damaged, *block, UnitVersionPolicy::Warn, true), kFileCannotOpen);
    EXPECT_TRUE(SameBytes(*block, *before));
    // Outside a campaign game (and in the menu program) the byte is not looked at.
    EXPECT_EQ(ReadScenarioFileBytes(sound, *block, UnitVersionPolicy::Refuse, false), kFileOk);
}

TEST_F(GameFiles, CampaignGameTakesTwelveForAScenarioRefusedBeforeItsHeader)
{
    auto game = MakeSampleGame();
    game->Head.byCampaign = 1;
    const auto sound = BuildScenarioFile(*game);
    auto foreign = sound;
    foreign[0] ^= 0x20;  // another magic
    const std::vector<uint8_t> cut(sound.begin(), sound.begin() + 24);
    auto damaged = sound;
    damaged.back() ^= 1;
    struct Case {
        const char* name;
        const std::vector<uint8_t>& file;
        int single, campaign;
    } cases[] = {
        {"foreign magic", foreign, kFileBadMagic, kFileCannotOpen},
        {"cut inside the header", cut, kFileBadCheck, kFileCannotOpen},
        // The header was read and is marked for campaigns: its own result.
        {"damaged after the header", damaged, kFileBadCheck, kFileBadCheck},
        {"sound", sound, kFileOk, kFileOk},
    };
    auto block = std::make_unique<GAMEDATASTRUCT>();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(ReadScenarioFileBytes(k.file, *block, UnitVersionPolicy::Warn, false), k.single);
        EXPECT_EQ(ReadScenarioFileBytes(k.file, *block, UnitVersionPolicy::Warn, true), k.campaign);
    }
}

// Every index the game later uses to reach into an array is bounded when a
// body is read; a body that breaks one is refused as damaged.
TEST_F(GameFiles, OutOfRangeIndexesRefuseTheSavedGame)
{
    struct Case {
        const char* name;
        std::function<void(GAMEDATASTRUCT&)> spoil;
        bool refused;
    };
    const Case cases[] = {
        {"current country 8", [](GAMEDATASTRUCT& g) { g.nCurCountry = 8; }, true},
        {"current country -1", [](GAMEDATASTRUCT& g) { g.nCurCountry = -1; }, false},
        {"scenario past the table", [](GAMEDATASTRUCT& g) { g.nScenario = kFixtureMaxScnr; }, true},
        {"scenario none", [](GAMEDATASTRUCT& g) { g.nScenario = -1; }, false},
        {"history 129", [](GAMEDATASTRUCT& g) { g.nHistory = 129; }, true},
        {"history 128", [](GAMEDATASTRUCT& g) { g.nHistory = 128; }, false},
        {"unit type past the table", [](GAMEDATASTRUCT& g) { g.Country[1].Unit[2].nArms = kFixtureMaxUnit; },
         true},
        {"unit type negative", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nArms = -1; }, true},
        {"unit hex 16384", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nHex = kHexCount; }, true},
        {"unit off the map", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nHex = -5; }, false},
        {"armament set 6", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nMode = 6; }, true},
        {"carrier slot 64", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[1].dwCargo = MakeCargo(64, 0); }, true},
        {"cargo count 65",
         [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].dwCargo = MakeCargo(kNoCarrier, 65); }, true},
        {"own reference country 8",
         [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].refSelf = MakeUnitRef(8, 0); }, true},
        {"target reference slot 64",
         [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].refTarget = MakeUnitRef(1, 64); }, true},
        {"march hex 20000", [](GAMEDATASTRUCT& g) { g.Country[0].Unit[0].nMarchHex = 20000; }, true},
        {"carry-over unit type", [](GAMEDATASTRUCT& g) { g.CarryUnit[3].nArms = 5000; }, true},
        {"unused slot full of noise",
         [](GAMEDATASTRUCT& g) {
             g.Country[0].Unit[10].nArms = 99999;
             g.Country[0].Unit[10].refSelf = 0x12345678;
         },
         false},
        {"absent country full of noise", [](GAMEDATASTRUCT& g) { g.Country[5].nDisplay = 99; }, false},
        {"display 16", [](GAMEDATASTRUCT& g) { g.Country[1].nDisplay = 16; }, true},
        {"country id 34", [](GAMEDATASTRUCT& g) { g.Country[1].nCountryId = kCountryIdCount; }, true},
        {"capital -2", [](GAMEDATASTRUCT& g) { g.Country[0].nCapital = -2; }, true},
        {"no capital", [](GAMEDATASTRUCT& g) { g.Country[0].nCapital = -1; }, false},
        {"side 3", [](GAMEDATASTRUCT& g) { g.Country[0].nSide = 3; }, true},
        {"new side 5 pending", [](GAMEDATASTRUCT& g) { g.Country[0].nNewSide = 5; }, true},
        {"new side 5, change done",
         [](GAMEDATASTRUCT& g) {
             g.Country[0].nNewSide = 5;
             g.Country[0].nSideChange = -1;
         },
         false},
        {"class list type past the table",
         [](GAMEDATASTRUCT& g) { g.Country[1].dwClassList[62][0] = kFixtureMaxUnit; }, true},
        {"class list retired type past the table",
         [](GAMEDATASTRUCT& g) { g.Country[1].dwClassList[0][3] = 0x80000000u | 4000u; }, true},
        {"unit count 65", [](GAMEDATASTRUCT& g) { g.Country[0].nUnit = 65; }, true},
        {"terrain 91", [](GAMEDATASTRUCT& g) { g.dwHexCell[77] = WithTerrain(g.dwHexCell[77], 91); }, true},
        {"owner 9",
         [](GAMEDATASTRUCT& g) { g.dwHexCell[77] = (g.dwHexCell[77] & ~kCellOwnerMask) | 0x90000u; }, true},
        {"map area right 128", [](GAMEDATASTRUCT& g) { g.rcMapArea.right = 128; }, true},
        {"map area upside down", [](GAMEDATASTRUCT& g) { g.rcMapArea.top = 100; }, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto game = MakeSampleGame();
        k.spoil(*game);
        auto block = std::make_unique<GAMEDATASTRUCT>();
        const auto before = std::make_unique<GAMEDATASTRUCT>(*block);
        const int code = ReadGameFileBytes(BuildGameFile(*game), *block, UnitVersionPolicy::Warn);
        EXPECT_EQ(code, k.refused ? kFileBadCheck : kFileOk);
        EXPECT_EQ(SameBytes(*block, *before), k.refused);
    }
}

TEST_F(GameFiles, OutOfRangeIndexesRefuseScenariosAndCampaigns)
{
    auto game = MakeSampleGame();
    game->Country[1].Unit[0].nArms = kFixtureMaxUnit + 5;
    auto block = std::make_unique<GAMEDATASTRUCT>();
    EXPECT_EQ(ReadScenarioFileBytes(BuildScenarioFile(*game), *block, UnitVersionPolicy::Warn, false),
              kFileBadCheck);

    struct Case {
        const char* name;
        std::function<void(CAMPAIGNSTRUCT&)> spoil;
    };
    const Case cases[] = {
        {"history 200", [](CAMPAIGNSTRUCT& r) { r.nHistory = 200; }},
        {"next scenario", [](CAMPAIGNSTRUCT& r) { r.nNextScenario = kFixtureMaxScnr; }},
        {"last scenario", [](CAMPAIGNSTRUCT& r) { r.nLastScenario = -2; }},
        {"country id", [](CAMPAIGNSTRUCT& r) { r.byCountryId[3] = 40; }},
        {"player display", [](CAMPAIGNSTRUCT& r) { r.Player.nDisplay = -1; }},
        {"carry-over hex", [](CAMPAIGNSTRUCT& r) { r.CarryUnit[0].nHex = 1 << 20; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto record = MakeSampleCampaign();
        k.spoil(*record);
        auto c = std::make_unique<CAMPAIGNSTRUCT>();
        EXPECT_EQ(ReadCampaignFileBytes(BuildCampaignFile(*record), *c, UnitVersionPolicy::Warn),
                  kFileBadCheck);
    }
}

TEST_F(GameFiles, FailedWriteReportsThePathAndKeepsTheOldFile)
{
    auto game = MakeSampleGame();
    const std::string target = platform::ProgramFolder() + "Data\\SAVE.DG2";
    ASSERT_TRUE(WriteGameFile(target, *game));
    const auto old = ReadRaw(root / "Data" / "SAVE.DG2");

    // A folder that does not exist fails for every user; a read-only one only
    // when we are not the superuser.
    const std::string missing = platform::ProgramFolder() + "NoFolder\\SAVE.DG2";
    EXPECT_FALSE(WriteGameFile(missing, *game));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, missing + "を作成できません");

    if (::geteuid() != 0) {
        dialogs.Clear();
        fs::permissions(root / "Data", fs::perms::owner_read | fs::perms::owner_exec);
        game->nTurn += 1;
        EXPECT_FALSE(WriteGameFile(target, *game));
        EXPECT_FALSE(WriteCampaignFile(platform::ProgramFolder() + "Data\\C.DC2", *MakeSampleCampaign()));
        EXPECT_EQ(dialogs.Boxes().size(), 2u);
        fs::permissions(root / "Data", fs::perms::owner_all);
        EXPECT_EQ(ReadRaw(root / "Data" / "SAVE.DG2"), old);
        EXPECT_FALSE(fs::exists(root / "Data" / "C.DC2"));
    }
    // Nothing but the file itself is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(root / "Data")) ++files;
    EXPECT_EQ(files, 1);
}

// --- The weapon guide ---------------------------------------------------

class WeaponGuide : public DataFilesTest {
protected:
    fs::path GuidePath() const { return root / "Data" / "WpGuide2.ADW"; }
    GuideTable ReadBack()
    {
        GuideTable t{};
        EXPECT_EQ(ReadWeaponGuide(t), kFileOk);
        return t;
    }
    static GuideTable Fresh()
    {
        GuideTable t;
        for (uint32_t i = 0; i < kArmsCount; ++i) t[i] = ((i << 12) | i) & 0xFFFFFFu;
        return t;
    }
};

TEST_F(WeaponGuide, MissingGuideIsStartedAtTheFirstNewType)
{
    auto country = std::make_unique<COUNTRYSTRUCT>();
    ASSERT_TRUE(UpdateWeaponGuide(*country));
    EXPECT_FALSE(fs::exists(GuidePath())) << "nothing seen, nothing written";

    country->dwArmsAvail[7] = 0xE0000000u | PackDate(43, 2, 1);
    country->dwArmsAvail[kFixtureMaxUnit] = 0x20000000u;  // beyond the library's types
    ASSERT_TRUE(UpdateWeaponGuide(*country));
    EXPECT_TRUE(dialogs.Boxes().empty());
    GuideTable expected = Fresh();
    expected[7] = country->dwArmsAvail[7] | 0x04000000u;
    EXPECT_EQ(ReadBack(), expected);
    EXPECT_EQ(fs::file_size(GuidePath()), 12306u);

    char version[8];
    GuideTable t;
    ASSERT_EQ(ReadWeaponGuide(t, version), kFileOk);
    EXPECT_STREQ(version, kFixtureUnitVersion);
}

TEST_F(WeaponGuide, KnownTypesAreNotRewritten)
{
    GuideTable stored = Fresh();
    stored[7] |= 0x20000000u;
    ASSERT_TRUE(WriteWeaponGuide(stored));
    const auto bytes = ReadRaw(GuidePath());
    auto country = std::make_unique<COUNTRYSTRUCT>();
    country->dwArmsAvail[7] = 0x20000000u | PackDate(44, 1, 1);
    fs::last_write_time(GuidePath(), fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto stamp = fs::last_write_time(GuidePath());
    ASSERT_TRUE(UpdateWeaponGuide(*country));
    EXPECT_EQ(fs::last_write_time(GuidePath()), stamp);
    EXPECT_EQ(ReadRaw(GuidePath()), bytes);
}

TEST_F(WeaponGuide, DamagedGuideIsReportedAndReplaced)
{
    GuideTable stored = Fresh();
    stored[3] |= 0x20000000u;
    auto damagedCheck = BuildWeaponGuideFile(stored, kFixtureUnitVersion);
    damagedCheck[100] ^= 1;
    auto wrongMagic = BuildWeaponGuideFile(stored, kFixtureUnitVersion);
    wrongMagic[0] = 'Q';
    for (const auto& bad : {damagedCheck, wrongMagic}) {
        dialogs.Clear();
        WriteRaw(GuidePath(), bad);
        auto country = std::make_unique<COUNTRYSTRUCT>();
        country->dwArmsAvail[9] = 0x20000000u | PackDate(42, 5, 5);
        ASSERT_TRUE(UpdateWeaponGuide(*country));
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_SJIS_EQ(dialogs.Boxes()[0].text, "兵器図鑑が読めません");
        GuideTable expected = Fresh();
        expected[9] = country->dwArmsAvail[9] | 0x04000000u;
        EXPECT_EQ(ReadBack(), expected);
    }
}

TEST_F(WeaponGuide, UnwritableGuideReportsThePath)
{
    // A directory where the file should be: it can be neither read nor replaced.
    fs::create_directories(GuidePath());
    auto country = std::make_unique<COUNTRYSTRUCT>();
    country->dwArmsAvail[2] = 0x20000000u;
    EXPECT_FALSE(UpdateWeaponGuide(*country));
    ASSERT_FALSE(dialogs.Boxes().empty());
    EXPECT_SJIS_EQ(dialogs.Boxes().back().text, platform::DataPath("WpGuide2.ADW") + "を作成できません");
}

}  // namespace
