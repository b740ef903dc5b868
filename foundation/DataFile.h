#pragma once
// Framing shared by every game data file: a 10-byte header (magic, version
// word, check value) and a body stored scrambled in 32-bit words, guarded by a
// CRC of the plain body.
//
//   +0  char[4] magic          "ZRVG", "ZRVS", ...
//   +4  u16     version word   bits 0-11 format version, bit 15 body scrambled
//                              and check value valid
//   +6  u32     check value    CRC-32/BZIP2 of the plain body
//   +10         body
//
// A body may be handled in pieces; the pieces of one file form one scramble
// stream (each piece starts with the key the previous one returned) and one
// check value.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace zrv {

inline constexpr size_t kDataFileHeaderSize = 10;

inline constexpr uint16_t kVersionScrambled = 0x8000;
inline constexpr uint16_t kVersionNumberMask = 0x0FFF;
inline constexpr uint16_t kGameFileVersion = 0x120;
// What the writers put in the version word.
inline constexpr uint16_t kGameFileVersionWord = kVersionScrambled | kGameFileVersion;  // 0x8120
inline constexpr uint16_t kWeaponGuideVersionWord = kVersionScrambled | 0x100;          // 0x8100

inline constexpr char kMagicGame[] = "ZRVG";      // .DG2, .DM2
inline constexpr char kMagicScenario[] = "ZRVS";  // .SC2
inline constexpr char kMagicCampaign[] = "ZRVI";  // .DC2
inline constexpr char kMagicGuide[] = "ZRVW";     // WpGuide2.ADW
inline constexpr char kMagicMap[] = "ZRVM";       // .MB2

// Result codes of the readers. Each is also the index of its text in the data
// library's ErrorMessage table.
enum FileResult : int {
    kFileOk = 0,
    kFileBadMagic = 10,
    kFileBadVersion = 11,
    kFileCannotOpen = 12,  // also: a scenario or map refused in a campaign game
    kFileBadCheck = 13,    // also: short file, or indexes in the body out of range
    kFileScenarioVersion = 15,
    kFileUnitVersion = 21,
    kFileNotSaveGame = 22,
};

// Other ErrorMessage entries the file code shows.
inline constexpr int kMsgUnitVersionDiffers = 2;  // formatted with the file's version string
inline constexpr int kMsgCannotCreate = 14;       // formatted with the path
inline constexpr int kMsgGuideUnreadable = 18;

// The scramble key a file starts with: its magic's four bytes read as one
// little-endian number (the file's first byte is the key's lowest byte).
constexpr uint32_t MagicKey(std::string_view magic)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(magic[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(magic[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(magic[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(magic[3])) << 24;
}
static_assert(MagicKey(kMagicGame) == 0x4756525Au);

// The key that follows a word whose scrambled form is f: f shifted right by
// one, with bit 31 = bit 31 of f XOR bit 0 of f.
constexpr uint32_t NextScrambleKey(uint32_t f)
{
    return (f >> 1) | ((f & 0x80000000u) ^ (f << 31));
}
static_assert(NextScrambleKey(0x00000001u) == 0x80000000u);
static_assert(NextScrambleKey(0x80000001u) == 0x40000000u);
static_assert(NextScrambleKey(0x80000000u) == 0xC0000000u);

// Scrambles (unscramble == 0) or unscrambles byteCount / 4 words in place and
// returns the key after the last word. A tail of 1 to 3 bytes is left as it is.
uint32_t ScrambleDataWords(uint32_t key, uint32_t byteCount, uint32_t* words, int unscramble);
// The same over bytes of any alignment (words little-endian).
uint32_t ScrambleDataBytes(uint32_t key, std::span<uint8_t> bytes, bool unscramble);

// CRC over length bytes, starting from crc (0xFFFFFFFF for the first piece);
// returns its complement when finalInvert is non-zero (only on the last piece).
uint32_t UpdateCrc32(uint32_t crc, int finalInvert, uint32_t length, const uint8_t* bytes);

// A whole file: header, then the pieces in order. With bit 15 of versionWord
// set the check value is computed and the pieces are scrambled as one stream;
// with it clear the body is stored plain and the check value is 0. The
// caller's pieces are only read: the scrambling works on the copy.
std::vector<uint8_t> BuildDataFile(std::string_view magic, uint16_t versionWord,
                                   std::initializer_list<std::span<const uint8_t>> pieces);

// Reads a framed file piece by piece from a byte span, never past its end.
class DataFileReader {
public:
    explicit DataFileReader(std::span<const uint8_t> file) : m_file(file) {}

    // Magic (else kFileBadMagic; a file too short to hold one has none), then
    // the version word (checkVersion: bits 0-11 must be 0x120, else
    // kFileBadVersion), then the check value. A header cut short after a good
    // magic is kFileBadCheck.
    int ReadHeader(std::string_view magic, bool checkVersion);

    // Copies n bytes into dst and, for a scrambled file, unscrambles them and
    // runs the check value over them. False, with dst untouched, when fewer
    // than n bytes are left.
    bool ReadPiece(void* dst, size_t n);
    // The same for a piece the caller read on from the file past the bytes
    // this reader was given: unscrambles it in place and runs the check value
    // over it.
    void DecodeFollowingPiece(std::span<uint8_t> piece);
    // Steps over n bytes without unscrambling them; the check value can no
    // longer be tested afterwards.
    bool SkipPiece(size_t n);
    // For an unscrambled file always true; else whether the CRC of the pieces
    // read so far equals the stored check value.
    bool CheckValueMatches() const;

    bool Scrambled() const { return (m_versionWord & kVersionScrambled) != 0; }
    uint16_t VersionWord() const { return m_versionWord; }
    // Bytes not yet read (parts of a file outside the scramble stream).
    std::span<const uint8_t> Rest() const { return m_file.subspan(m_pos); }

private:
    std::span<const uint8_t> m_file;
    size_t m_pos = 0;
    uint16_t m_versionWord = 0;
    uint32_t m_stored = 0;
    uint32_t m_key = 0;
    uint32_t m_crc = 0xFFFFFFFFu;
};

}  // namespace zrv
