#pragma once
// Readers and writers of the game's data files: saved games (.DG2, .DM2),
// scenarios (.SC2), campaign saves (.DC2), the weapon guide (WpGuide2.ADW) and
// scenario maps (.MB2).
//
// The core of each is a free function over bytes; the path-taking functions
// below are thin wrappers that read or write whole files through the path
// layer. A reader never reads past the end of what it was given, checks every
// count and index of the body, and on any failure leaves the caller's record
// exactly as it was. A writer works on a scrambled copy and replaces the
// target file only once the whole new file is written.

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/DataFile.h"
#include "foundation/GameRecords.h"

namespace zrv {

// Body and file sizes.
inline constexpr size_t kGameFileBody = sizeof(GAMEDATASTRUCT);  // 315,144
inline constexpr size_t kScenarioFileBody =
    sizeof(SCNRHEADSTRUCT) + kCountryCount * kScenarioCountryBytes;            // 83,388
inline constexpr size_t kCampaignFileBody = sizeof(CAMPAIGNSTRUCT);            // 72,700
inline constexpr size_t kWeaponGuideBody = 8 + kArmsCount * sizeof(uint32_t);  // 12,296
static_assert(kScenarioFileBody == 83388 && kWeaponGuideBody == 12296);

inline constexpr char kWeaponGuideName[] = "WpGuide2.ADW";

// What a reader does when the unit-data version string of a file differs from
// the data library's: the battle program warns (ErrorMessage[2]) and goes on;
// the menu program refuses with kFileUnitVersion when its caller asks for the
// version check, else ignores it. The menu program has no readers of its own:
// it calls these with Refuse or Ignore, and its scenario-header reader is
// CheckScenarioFile.
enum class UnitVersionPolicy { Warn, Refuse, Ignore };

// ---------------------------------------------------------------------------
// Readers over bytes. Each returns a FileResult; only kFileOk fills the record.

// Saved game: 0, 10, 11, 13, 22 (21 under Refuse, tested before 22).
int ReadGameFileBytes(std::span<const uint8_t> file, GAMEDATASTRUCT& block, UnitVersionPolicy policy);
// Scenario: the header and the scenario part of each country record (each
// record is cleared first; the rest of the block is not touched). 0, 10, 11,
// 13 (21 under Refuse). In a campaign game a scenario not marked for
// campaigns gives 12 whatever else was found.
int ReadScenarioFileBytes(std::span<const uint8_t> file, GAMEDATASTRUCT& block, UnitVersionPolicy policy,
                          bool campaignGame);
// Header only, for previews and lists: 0, 10, 11, 13, 15 (other unit-data
// version; no message). The country pieces of an unscrambled file are not read.
int CheckScenarioFileBytes(std::span<const uint8_t> file, SCNRHEADSTRUCT& head);
// Campaign save: 0, 10, 11, 13 (21 under Refuse).
int ReadCampaignFileBytes(std::span<const uint8_t> file, CAMPAIGNSTRUCT& record, UnitVersionPolicy policy);
// Weapon guide: 0, 10, 13; the version word and string are not checked.
// versionOut, when given, receives the 8 stored bytes as they stand.
int ReadWeaponGuideBytes(std::span<const uint8_t> file, std::span<uint32_t, kArmsCount> entries,
                         char* versionOut = nullptr);

// A city record of a map file as stored (also what the map writer takes).
struct MapCityRecord {
    int16_t nHex;
    std::string name;  // CP932, no terminator, at most 255 bytes
    std::string text;  // second text, read over by the game
};

// What a map file gives the document.
struct MapFileData {
    MapRect rect{};
    std::vector<CITYNAMESTRUCT> cities;
    bool campaignMap = false;
};

// Map reader results beyond the FileResult codes.
inline constexpr int kMapTruncated = -1;  // the file ends inside a field
inline constexpr int kMapBadRect = -2;    // the rectangle leaves the 128 x 128 map

// Map file. cells is the document's map: withCells loads it from the file
// (checked), otherwise it keeps the cells it holds (a saved game brings its
// own) and the stored cells are stepped over unchecked. Either way bit 7 is
// cleared on every cell and set again under each named city. gameOption
// bit 14 (extended map) forces the rectangle to 4, 4, 123, 123 once the
// stored one is found sound; bit 30 (campaign game) refuses a map not marked
// for campaigns (12). Results: 0, 10, 12, 13, kMapTruncated, kMapBadRect; on
// failure neither cells nor out change.
int ReadMapFileBytes(std::span<const uint8_t> file, bool withCells, uint32_t gameOption,
                     std::span<MAPCELL, kHexCount> cells, MapFileData& out);

// ---------------------------------------------------------------------------
// Writers over bytes. scrambled = false writes a plain body (version bit 15
// clear), which readers also accept; the game itself always scrambles.

std::vector<uint8_t> BuildGameFile(const GAMEDATASTRUCT& block, bool scrambled = true);
// The header's unit-data version field is stamped with the library's
// g_szUnitVersion in the file (the block is not changed).
std::vector<uint8_t> BuildScenarioFile(const GAMEDATASTRUCT& block, bool scrambled = true);
std::vector<uint8_t> BuildCampaignFile(const CAMPAIGNSTRUCT& record, bool scrambled = true);
std::vector<uint8_t> BuildWeaponGuideFile(std::span<const uint32_t, kArmsCount> entries,
                                          std::string_view unitVersion, bool scrambled = true);
// campaignMap sets bit 15 of the count word; at most 4095 records fit the count.
std::vector<uint8_t> BuildMapFile(const MapRect& rect, std::span<const MAPCELL, kHexCount> cells,
                                  std::span<const MapCityRecord> cities, bool campaignMap,
                                  bool scrambled = true);

// ---------------------------------------------------------------------------
// Path-taking wrappers (CP932 paths). modTime, when given, receives the file's
// modification time on success. An empty path or a file that cannot be read
// gives 12.

int ReadGameFile(std::string_view path, GAMEDATASTRUCT& block, std::time_t* modTime,
                 UnitVersionPolicy policy = UnitVersionPolicy::Warn);
int ReadScenarioFile(std::string_view path, GAMEDATASTRUCT& block, std::time_t* modTime, bool campaignGame,
                     UnitVersionPolicy policy = UnitVersionPolicy::Warn);
int CheckScenarioFile(std::string_view path, SCNRHEADSTRUCT& head);
int ReadCampaignFile(std::string_view path, CAMPAIGNSTRUCT& record, std::time_t* modTime,
                     UnitVersionPolicy policy = UnitVersionPolicy::Warn);

// Writers: on failure they show ErrorMessage[14] with the path, return false
// and leave any old file as it was.
bool WriteGameFile(std::string_view path, const GAMEDATASTRUCT& block);
bool WriteScenarioFile(std::string_view path, const GAMEDATASTRUCT& block);
bool WriteCampaignFile(std::string_view path, const CAMPAIGNSTRUCT& record);

// The weapon guide in the program folder's "Data\".
int ReadWeaponGuide(std::span<uint32_t, kArmsCount> entries, char* versionOut = nullptr);
bool WriteWeaponGuide(std::span<const uint32_t, kArmsCount> entries);
// Merges the types the country has seen into the guide; writes it only when
// something is new. True, or the writer's result when it wrote.
bool UpdateWeaponGuide(const COUNTRYSTRUCT& country);

// Reads program folder + "Scenario\" + name; shows its own messages; true on
// success.
bool ReadMapFile(std::string_view name, bool withCells, uint32_t gameOption,
                 std::span<MAPCELL, kHexCount> cells, MapFileData& out);

}  // namespace zrv
