#include "foundation/GameFiles.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/GameRecordCheck.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"
#include "platform/core/Text.h"

namespace zrv {
namespace {

template <typename T>
std::span<const uint8_t> BytesOf(const T& value, size_t n = sizeof(T))
{
    return {reinterpret_cast<const uint8_t*>(&value), n};
}

// A char[n] field read from a file need not be terminated.
std::string_view FieldText(const char* field, size_t n)
{
    return {field, strnlen(field, n)};
}

std::string_view LibUnitVersion()
{
    const char* v = Lib().g_szUnitVersion;
    return v ? std::string_view(v, strnlen(v, 64)) : std::string_view();
}

// Applies the unit-data version policy to the version field of a body that has
// passed every other check; returns 0 or kFileUnitVersion.
int ApplyUnitVersionPolicy(const char (&field)[8], UnitVersionPolicy policy)
{
    const std::string_view stored = FieldText(field, sizeof field);
    if (stored == LibUnitVersion()) return kFileOk;
    switch (policy) {
        case UnitVersionPolicy::Refuse:
            return kFileUnitVersion;
        case UnitVersionPolicy::Warn:
            Dialogs().MessageBox(platform::FormatText(ErrorText(kMsgUnitVersionDiffers), {stored}), kBoxOk);
            return kFileOk;
        case UnitVersionPolicy::Ignore:
            break;
    }
    return kFileOk;
}

// g_szUnitVersion into a char[8] field: at most 7 bytes, the rest zero, so the
// field is always terminated and files come out byte-identical.
void StampUnitVersion(char (&field)[8])
{
    std::memset(field, 0, sizeof field);
    const std::string_view v = LibUnitVersion();
    std::memcpy(field, v.data(), std::min(v.size(), sizeof field - 1));
}

// The longest prefix of at most maxBytes that does not split a two-byte
// character.
size_t SjisCutLength(std::string_view text, size_t maxBytes)
{
    size_t i = 0;
    while (i < text.size()) {
        const size_t step = platform::IsSjisLead(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > maxBytes || i + step > text.size()) break;
        i += step;
    }
    return i;
}

struct ScenarioParts {
    SCNRHEADSTRUCT head;
    COUNTRYSTRUCT country[kCountryCount];
};

void ShowFileBox(std::string_view path, const char* what)
{
    Dialogs().MessageBox(platform::FormatText("<%s>\n%s", {path, what}), kBoxOk);
}

void ShowCannotCreate(std::string_view path)
{
    Dialogs().MessageBox(platform::FormatText(ErrorText(kMsgCannotCreate), {path}), kBoxOk);
}

bool WriteOrReport(std::string_view path, const std::vector<uint8_t>& bytes)
{
    if (!path.empty() && platform::WriteFileAtomic(path, bytes)) return true;
    ShowCannotCreate(path);
    return false;
}

bool ReadFile(std::string_view path, std::vector<uint8_t>& bytes)
{
    return !path.empty() && platform::ReadWholeFile(path, bytes);
}

void ReportModTime(std::string_view path, std::time_t* modTime)
{
    if (!modTime) return;
    std::time_t t = 0;
    if (platform::FileModTime(path, t)) *modTime = t;
}

}  // namespace

// ---------------------------------------------------------------------------
// Readers over bytes.

namespace {

// The checks of a saved game whose body has been read and unscrambled into
// data: the check value, the record limits, the unit-data version, the
// campaign mark.
int CheckGameBody(const DataFileReader& reader, const GAMEDATASTRUCT& data, UnitVersionPolicy policy)
{
    if (!reader.CheckValueMatches()) return kFileBadCheck;
    if (!CheckGameData(data, RecordLimits::FromLib())) return kFileBadCheck;
    if (int code = ApplyUnitVersionPolicy(data.Head.szUnitVersion, policy)) return code;
    if ((data.dwGameOption & kOptionCampaign) == 0) return kFileNotSaveGame;
    return kFileOk;
}

// A saved game as read from its file: the header, then the body straight
// into a block of its own, where it is unscrambled and checked before the
// caller's game is touched. One is kept for each thread that loads games, so
// a load touches no fresh memory.
struct GameFileImage {
    std::array<uint8_t, kDataFileHeaderSize> header;
    GAMEDATASTRUCT body;
};

GameFileImage& KeptGameFileImage()
{
    thread_local const std::unique_ptr<GameFileImage> image = std::make_unique_for_overwrite<GameFileImage>();
    return *image;
}

}  // namespace

int ReadGameFileBytes(std::span<const uint8_t> file, GAMEDATASTRUCT& block, UnitVersionPolicy policy)
{
    DataFileReader reader(file);
    if (int code = reader.ReadHeader(kMagicGame, true)) return code;
    // Everything is read into a scratch block first, so a refused file leaves
    // the caller's game as it was.
    auto data = std::make_unique_for_overwrite<GAMEDATASTRUCT>();
    if (!reader.ReadPiece(data.get(), sizeof(GAMEDATASTRUCT))) return kFileBadCheck;
    if (int code = CheckGameBody(reader, *data, policy)) return code;
    std::memcpy(&block, data.get(), sizeof block);
    return kFileOk;
}

int ReadScenarioFileBytes(std::span<const uint8_t> file, GAMEDATASTRUCT& block, UnitVersionPolicy policy,
                          bool campaignGame)
{
    DataFileReader reader(file);
    // Zeroed: each country record is cleared before its scenario part is read.
    auto parts = std::make_unique<ScenarioParts>();
    int code = reader.ReadHeader(kMagicScenario, true);
    if (code == kFileOk && !reader.ReadPiece(&parts->head, sizeof parts->head)) {
        // A header cut short is not a header: its campaign mark stays 0.
        std::memset(&parts->head, 0, sizeof parts->head);
        code = kFileBadCheck;
    }

    for (int i = 0; i < kCountryCount && code == kFileOk; ++i) {
        if (!reader.ReadPiece(&parts->country[i], kScenarioCountryBytes)) code = kFileBadCheck;
    }
    if (code == kFileOk && !reader.CheckValueMatches()) code = kFileBadCheck;
    if (code == kFileOk) {
        const RecordLimits limits = RecordLimits::FromLib();
        bool sound = CheckScenarioHeader(parts->head, limits);
        for (int i = 0; i < kCountryCount && sound; ++i)
            sound = CheckCountryScenarioPart(parts->country[i], limits);
        if (!sound) code = kFileBadCheck;
    }
    if (code == kFileOk) code = ApplyUnitVersionPolicy(parts->head.szUnitVersion, policy);
    // A campaign game takes only scenarios marked for campaigns; this refusal
    // stands over any other result, also over a file refused before its
    // header was read (the mark is then 0).
    if (campaignGame && parts->head.byCampaign == 0) code = kFileCannotOpen;
    if (code != kFileOk) return code;

    block.Head = parts->head;
    for (int i = 0; i < kCountryCount; ++i) block.Country[i] = parts->country[i];
    return kFileOk;
}

int CheckScenarioFileBytes(std::span<const uint8_t> file, SCNRHEADSTRUCT& head)
{
    DataFileReader reader(file);
    if (int code = reader.ReadHeader(kMagicScenario, true)) return code;
    SCNRHEADSTRUCT read;
    if (!reader.ReadPiece(&read, sizeof read)) return kFileBadCheck;
    if (reader.Scrambled()) {
        // The pieces are read only to carry the key and the check value on.
        std::vector<uint8_t> scratch(kScenarioCountryBytes);
        for (int i = 0; i < kCountryCount; ++i) {
            if (!reader.ReadPiece(scratch.data(), scratch.size())) return kFileBadCheck;
        }
        if (!reader.CheckValueMatches()) return kFileBadCheck;
    }
    if (!CheckScenarioHeader(read, RecordLimits::FromLib())) return kFileBadCheck;
    head = read;
    if (FieldText(read.szUnitVersion, sizeof read.szUnitVersion) != LibUnitVersion())
        return kFileScenarioVersion;
    return kFileOk;
}

int ReadCampaignFileBytes(std::span<const uint8_t> file, CAMPAIGNSTRUCT& record, UnitVersionPolicy policy)
{
    DataFileReader reader(file);
    if (int code = reader.ReadHeader(kMagicCampaign, true)) return code;
    auto data = std::make_unique_for_overwrite<CAMPAIGNSTRUCT>();
    if (!reader.ReadPiece(data.get(), sizeof(CAMPAIGNSTRUCT))) return kFileBadCheck;
    if (!reader.CheckValueMatches()) return kFileBadCheck;
    if (!CheckCampaign(*data, RecordLimits::FromLib())) return kFileBadCheck;
    if (int code = ApplyUnitVersionPolicy(data->szUnitVersion, policy)) return code;
    std::memcpy(&record, data.get(), sizeof record);
    return kFileOk;
}

int ReadWeaponGuideBytes(std::span<const uint8_t> file, std::span<uint32_t, kArmsCount> entries,
                         char* versionOut)
{
    DataFileReader reader(file);
    if (int code = reader.ReadHeader(kMagicGuide, false)) return code;
    char version[8];
    std::array<uint32_t, kArmsCount> table;
    if (!reader.ReadPiece(version, sizeof version)) return kFileBadCheck;
    if (!reader.ReadPiece(table.data(), sizeof table)) return kFileBadCheck;
    if (!reader.CheckValueMatches()) return kFileBadCheck;
    std::copy(table.begin(), table.end(), entries.begin());
    if (versionOut) std::memcpy(versionOut, version, sizeof version);
    return kFileOk;
}

int ReadMapFileBytes(std::span<const uint8_t> file, bool withCells, uint32_t gameOption,
                     std::span<MAPCELL, kHexCount> cells, MapFileData& out)
{
    DataFileReader reader(file);
    if (int code = reader.ReadHeader(kMagicMap, false)) return code == kFileBadMagic ? code : kMapTruncated;

    MapRect rect;
    if (!reader.ReadPiece(&rect, sizeof rect)) return kMapTruncated;
    std::vector<MAPCELL> work(cells.begin(), cells.end());
    if (withCells) {
        if (!reader.ReadPiece(work.data(), work.size() * sizeof(MAPCELL))) return kMapTruncated;
        if (!reader.CheckValueMatches()) return kFileBadCheck;
        // The terrain of a cell indexes the cost tables, its owner the countries.
        if (!std::all_of(work.begin(), work.end(), IsMapCellSound)) return kFileBadCheck;
    } else if (!reader.SkipPiece(kHexCount * sizeof(MAPCELL))) {
        return kMapTruncated;
    }
    // Later code runs loops over the 128 x 128 arrays bounded by this
    // rectangle, and without cells no check value vouches for it.
    if (!IsMapRectSound(rect)) return kMapBadRect;
    if (gameOption & kOptionExtendedMap) rect = {4, 4, 123, 123};

    std::span<const uint8_t> rest = reader.Rest();
    size_t pos = 0;
    auto take = [&](size_t n) -> const uint8_t* {
        if (n > rest.size() - pos) return nullptr;
        const uint8_t* p = rest.data() + pos;
        pos += n;
        return p;
    };
    const uint8_t* countWord = take(2);
    if (!countWord) return kMapTruncated;
    const unsigned count = countWord[0] | countWord[1] << 8;
    const bool campaignMap = (count & 0x8000) != 0;
    if ((gameOption & kOptionCampaign) && !campaignMap) return kFileCannotOpen;

    std::vector<CITYNAMESTRUCT> cities;
    const unsigned records = std::min<unsigned>(count & 0x0FFF, kCityNameCount);
    for (unsigned k = 0; k < records; ++k) {
        const uint8_t* hexBytes = take(2);
        const uint8_t* nameLength = hexBytes ? take(1) : nullptr;
        const uint8_t* name = nameLength ? take(*nameLength) : nullptr;
        const uint8_t* textLength = name ? take(1) : nullptr;
        if (!textLength || !take(*textLength)) return kMapTruncated;
        const HEXINDEX hex = static_cast<int16_t>(hexBytes[0] | hexBytes[1] << 8);
        // A record without a name takes no slot; one whose hex lies off the
        // map has no cell to mark, so it is dropped as well (its bytes are
        // still consumed above).
        if (*nameLength == 0 || !IsMapHex(hex)) continue;
        CITYNAMESTRUCT city{};
        city.nHex = hex;
        const std::string_view text(reinterpret_cast<const char*>(name), *nameLength);
        const size_t keep = SjisCutLength(text, sizeof city.szName - 1);
        std::memcpy(city.szName, text.data(), keep);
        cities.push_back(city);
    }

    for (MAPCELL& c : work) c = WithCityName(c, false);
    for (const CITYNAMESTRUCT& city : cities) work[city.nHex] = WithCityName(work[city.nHex], true);

    std::copy(work.begin(), work.end(), cells.begin());
    out.rect = rect;
    out.cities = std::move(cities);
    out.campaignMap = campaignMap;
    return kFileOk;
}

// ---------------------------------------------------------------------------
// Writers over bytes.

namespace {
uint16_t VersionWord(uint16_t scrambledWord, bool scrambled)
{
    return scrambled ? scrambledWord : static_cast<uint16_t>(scrambledWord & ~kVersionScrambled);
}
}  // namespace

std::vector<uint8_t> BuildGameFile(const GAMEDATASTRUCT& block, bool scrambled)
{
    return BuildDataFile(kMagicGame, VersionWord(kGameFileVersionWord, scrambled), {BytesOf(block)});
}

std::vector<uint8_t> BuildScenarioFile(const GAMEDATASTRUCT& block, bool scrambled)
{
    SCNRHEADSTRUCT head = block.Head;
    StampUnitVersion(head.szUnitVersion);
    const auto piece = [&](int i) { return BytesOf(block.Country[i], kScenarioCountryBytes); };
    static_assert(kCountryCount == 8);
    return BuildDataFile(
        kMagicScenario, VersionWord(kGameFileVersionWord, scrambled),
        {BytesOf(head), piece(0), piece(1), piece(2), piece(3), piece(4), piece(5), piece(6), piece(7)});
}

std::vector<uint8_t> BuildCampaignFile(const CAMPAIGNSTRUCT& record, bool scrambled)
{
    return BuildDataFile(kMagicCampaign, VersionWord(kGameFileVersionWord, scrambled), {BytesOf(record)});
}

std::vector<uint8_t> BuildWeaponGuideFile(std::span<const uint32_t, kArmsCount> entries,
                                          std::string_view unitVersion, bool scrambled)
{
    char version[8] = {};
    std::memcpy(version, unitVersion.data(), std::min(unitVersion.size(), sizeof version - 1));
    return BuildDataFile(
        kMagicGuide, VersionWord(kWeaponGuideVersionWord, scrambled),
        {BytesOf(version), {reinterpret_cast<const uint8_t*>(entries.data()), entries.size_bytes()}});
}

std::vector<uint8_t> BuildMapFile(const MapRect& rect, std::span<const MAPCELL, kHexCount> cells,
                                  std::span<const MapCityRecord> cities, bool campaignMap, bool scrambled)
{
    std::vector<uint8_t> file =
        BuildDataFile(kMagicMap, VersionWord(kGameFileVersionWord, scrambled),
                      {BytesOf(rect), {reinterpret_cast<const uint8_t*>(cells.data()), cells.size_bytes()}});
    const size_t n = std::min<size_t>(cities.size(), 0x0FFF);
    const unsigned count = static_cast<unsigned>(n) | (campaignMap ? 0x8000u : 0u);
    file.push_back(static_cast<uint8_t>(count));
    file.push_back(static_cast<uint8_t>(count >> 8));
    auto putText = [&](const std::string& s) {
        const size_t len = std::min<size_t>(s.size(), 255);
        file.push_back(static_cast<uint8_t>(len));
        file.insert(file.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(len));
    };
    for (size_t i = 0; i < n; ++i) {
        const uint16_t hex = static_cast<uint16_t>(cities[i].nHex);
        file.push_back(static_cast<uint8_t>(hex));
        file.push_back(static_cast<uint8_t>(hex >> 8));
        putText(cities[i].name);
        putText(cities[i].text);
    }
    return file;
}

// ---------------------------------------------------------------------------
// Path-taking wrappers.

int ReadGameFile(std::string_view path, GAMEDATASTRUCT& block, std::time_t* modTime, UnitVersionPolicy policy)
{
    // As ReadGameFileBytes over the whole file, with the body read straight
    // into the kept image; what follows the body is not read.
    GameFileImage& image = KeptGameFileImage();
    const std::span<uint8_t> body(reinterpret_cast<uint8_t*>(&image.body), sizeof image.body);
    const std::span<uint8_t> parts[] = {image.header, body};
    size_t got = 0;
    if (path.empty() || !platform::ReadFileStart(path, parts, got)) return kFileCannotOpen;
    DataFileReader reader(std::span(image.header).first(std::min(got, image.header.size())));
    if (int code = reader.ReadHeader(kMagicGame, true)) return code;
    if (got < image.header.size() + body.size()) return kFileBadCheck;
    reader.DecodeFollowingPiece(body);
    if (int code = CheckGameBody(reader, image.body, policy)) return code;
    std::memcpy(&block, &image.body, sizeof block);
    ReportModTime(path, modTime);
    return kFileOk;
}

int ReadScenarioFile(std::string_view path, GAMEDATASTRUCT& block, std::time_t* modTime, bool campaignGame,
                     UnitVersionPolicy policy)
{
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) return kFileCannotOpen;
    const int code = ReadScenarioFileBytes(bytes, block, policy, campaignGame);
    if (code == kFileOk) ReportModTime(path, modTime);
    return code;
}

int CheckScenarioFile(std::string_view path, SCNRHEADSTRUCT& head)
{
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) return kFileCannotOpen;
    return CheckScenarioFileBytes(bytes, head);
}

int ReadCampaignFile(std::string_view path, CAMPAIGNSTRUCT& record, std::time_t* modTime,
                     UnitVersionPolicy policy)
{
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) return kFileCannotOpen;
    const int code = ReadCampaignFileBytes(bytes, record, policy);
    if (code == kFileOk) ReportModTime(path, modTime);
    return code;
}

bool WriteGameFile(std::string_view path, const GAMEDATASTRUCT& block)
{
    return WriteOrReport(path, BuildGameFile(block));
}

bool WriteScenarioFile(std::string_view path, const GAMEDATASTRUCT& block)
{
    return WriteOrReport(path, BuildScenarioFile(block));
}

bool WriteCampaignFile(std::string_view path, const CAMPAIGNSTRUCT& record)
{
    return WriteOrReport(path, BuildCampaignFile(record));
}

int ReadWeaponGuide(std::span<uint32_t, kArmsCount> entries, char* versionOut)
{
    std::vector<uint8_t> bytes;
    if (!ReadFile(platform::DataPath(kWeaponGuideName), bytes)) return kFileCannotOpen;
    return ReadWeaponGuideBytes(bytes, entries, versionOut);
}

bool WriteWeaponGuide(std::span<const uint32_t, kArmsCount> entries)
{
    return WriteOrReport(platform::DataPath(kWeaponGuideName),
                         BuildWeaponGuideFile(entries, LibUnitVersion()));
}

bool UpdateWeaponGuide(const COUNTRYSTRUCT& country)
{
    constexpr uint32_t kSeen = 0x20000000u;
    constexpr uint32_t kFirstSeen = 0x04000000u;
    std::array<uint32_t, kArmsCount> table;
    const int code = ReadWeaponGuide(table);
    if (code != kFileOk) {
        // A missing guide is simply started; a damaged one is reported and
        // then started afresh as well.
        if (code != kFileCannotOpen) Dialogs().MessageBox(ErrorText(kMsgGuideUnreadable), kBoxOk);
        for (uint32_t i = 0; i < kArmsCount; ++i) table[i] = ((i << 12) | i) & 0xFFFFFFu;
    }
    bool changed = false;
    const int types = std::clamp(Lib().g_nMaxUnit, 0, kArmsCount);
    for (int i = 0; i < types; ++i) {
        if ((country.dwArmsAvail[i] & kSeen) && !(table[i] & kSeen)) {
            table[i] = country.dwArmsAvail[i] | kFirstSeen;
            changed = true;
        }
    }
    return changed ? WriteWeaponGuide(table) : true;
}

bool ReadMapFile(std::string_view name, bool withCells, uint32_t gameOption,
                 std::span<MAPCELL, kHexCount> cells, MapFileData& out)
{
    const std::string path = platform::ScenarioPath(name);
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) {
        ShowFileBox(path, "このファイルがありません");
        return false;
    }
    switch (ReadMapFileBytes(bytes, withCells, gameOption, cells, out)) {
        case kFileOk:
            return true;
        case kMapTruncated:
            ShowFileBox(path, "正常に読めませんでした");
            return false;
        case kFileBadMagic:
            Dialogs().MessageBox(platform::FormatText(ErrorText(kFileBadMagic), {path}), kBoxOk);
            return false;
        case kFileCannotOpen:
            Dialogs().MessageBox(platform::FormatText(ErrorText(kFileCannotOpen), {path}), kBoxOk);
            return false;
        default:  // check value or rectangle
            Dialogs().MessageBox(platform::FormatText(ErrorText(kFileBadCheck), {path}), kBoxOk);
            return false;
    }
}

}  // namespace zrv
