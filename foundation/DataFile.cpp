#include "foundation/DataFile.h"

#include <array>
#include <bit>
#include <cstring>

namespace zrv {
namespace {

// The MSB-first table of the polynomial 0x04C11DB7: entry i is i << 24 run
// through eight shifts.
constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : (c << 1);
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();
static_assert(kCrcTable[1] == 0x04C11DB7u && kCrcTable[255] == 0xB1F740B4u);

// Sixteen bytes a step: entry [k][i] is what byte i adds when k zero bytes
// follow it, so the sixteen lookups of a step are independent of each other.
using CrcSlices = std::array<std::array<uint32_t, 256>, 16>;

constexpr CrcSlices MakeCrcSlices()
{
    CrcSlices t{};
    t[0] = MakeCrcTable();
    for (size_t k = 1; k < t.size(); ++k) {
        for (uint32_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
    }
    return t;
}

constexpr CrcSlices kCrcSlices = MakeCrcSlices();

// One step: the CRC after sixteen bytes given as four big-endian words.
inline uint32_t CrcStep16(uint32_t crc, uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    const auto& t = kCrcSlices;
    a ^= crc;
    return t[15][a >> 24] ^ t[14][(a >> 16) & 0xFF] ^ t[13][(a >> 8) & 0xFF] ^ t[12][a & 0xFF] ^
           t[11][b >> 24] ^ t[10][(b >> 16) & 0xFF] ^ t[9][(b >> 8) & 0xFF] ^ t[8][b & 0xFF] ^
           t[7][c >> 24] ^ t[6][(c >> 16) & 0xFF] ^ t[5][(c >> 8) & 0xFF] ^ t[4][c & 0xFF] ^
           t[3][d >> 24] ^ t[2][(d >> 16) & 0xFF] ^ t[1][(d >> 8) & 0xFF] ^ t[0][d & 0xFF];
}

uint32_t LoadLe32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return std::endian::native == std::endian::little ? v : __builtin_bswap32(v);
}

uint32_t LoadBe32(const uint8_t* p)
{
    return __builtin_bswap32(LoadLe32(p));
}

void StoreLe32(uint8_t* p, uint32_t v)
{
    if constexpr (std::endian::native != std::endian::little) v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}

}  // namespace

uint32_t ScrambleDataBytes(uint32_t key, std::span<uint8_t> bytes, bool unscramble)
{
    const size_t words = bytes.size() / 4;
    for (size_t i = 0; i < words; ++i) {
        uint8_t* p = bytes.data() + i * 4;
        const uint32_t w = LoadLe32(p);
        const uint32_t out = w ^ key;
        StoreLe32(p, out);
        // Both directions feed back the scrambled form, so they run the same
        // key sequence.
        key = NextScrambleKey(unscramble ? w : out);
    }
    return key;
}

uint32_t ScrambleDataWords(uint32_t key, uint32_t byteCount, uint32_t* words, int unscramble)
{
    return ScrambleDataBytes(key, {reinterpret_cast<uint8_t*>(words), byteCount & ~3u}, unscramble != 0);
}

uint32_t UpdateCrc32(uint32_t crc, int finalInvert, uint32_t length, const uint8_t* bytes)
{
    uint32_t i = 0;
    for (; length - i >= 16; i += 16) {
        const uint8_t* p = bytes + i;
        crc = CrcStep16(crc, LoadBe32(p), LoadBe32(p + 4), LoadBe32(p + 8), LoadBe32(p + 12));
    }
    for (; i < length; ++i) crc = kCrcTable[(crc >> 24) ^ bytes[i]] ^ (crc << 8);
    return finalInvert ? ~crc : crc;
}

std::vector<uint8_t> BuildDataFile(std::string_view magic, uint16_t versionWord,
                                   std::initializer_list<std::span<const uint8_t>> pieces)
{
    size_t bodySize = 0;
    for (auto piece : pieces) bodySize += piece.size();
    std::vector<uint8_t> file(kDataFileHeaderSize + bodySize);
    std::memcpy(file.data(), magic.data(), 4);
    file[4] = static_cast<uint8_t>(versionWord);
    file[5] = static_cast<uint8_t>(versionWord >> 8);

    size_t pos = kDataFileHeaderSize;
    uint32_t crc = 0xFFFFFFFFu;
    uint32_t key = MagicKey(magic);
    const bool scramble = (versionWord & kVersionScrambled) != 0;
    for (auto piece : pieces) {
        if (piece.empty()) continue;
        std::memcpy(file.data() + pos, piece.data(), piece.size());
        if (scramble) {
            crc = UpdateCrc32(crc, 0, static_cast<uint32_t>(piece.size()), piece.data());
            key = ScrambleDataBytes(key, {file.data() + pos, piece.size()}, false);
        }
        pos += piece.size();
    }
    StoreLe32(file.data() + 6, scramble ? ~crc : 0);
    return file;
}

int DataFileReader::ReadHeader(std::string_view magic, bool checkVersion)
{
    if (m_file.size() < 4 || std::memcmp(m_file.data(), magic.data(), 4) != 0) return kFileBadMagic;
    if (m_file.size() < kDataFileHeaderSize) return kFileBadCheck;
    m_versionWord = static_cast<uint16_t>(m_file[4] | m_file[5] << 8);
    // Bits 12-14 are not part of the version; bit 15 only says how the body
    // is stored.
    if (checkVersion && (m_versionWord & kVersionNumberMask) != kGameFileVersion) return kFileBadVersion;
    m_stored = LoadLe32(m_file.data() + 6);
    m_key = MagicKey(magic);
    m_crc = 0xFFFFFFFFu;
    m_pos = kDataFileHeaderSize;
    return kFileOk;
}

bool DataFileReader::ReadPiece(void* dst, size_t n)
{
    if (n > m_file.size() - m_pos) return false;
    auto* out = static_cast<uint8_t*>(dst);
    std::memcpy(out, m_file.data() + m_pos, n);
    m_pos += n;
    DecodeFollowingPiece({out, n});
    return true;
}

void DataFileReader::DecodeFollowingPiece(std::span<uint8_t> piece)
{
    if (!Scrambled()) return;
    // Sixteen bytes a step, unscrambled and run through the check value
    // together: each word's key comes from the stored word before it, so the
    // words do not wait on each other, and the check value's lookups wait on
    // little else. The rest as ScrambleDataBytes and UpdateCrc32 do it.
    uint8_t* p = piece.data();
    const size_t steps = piece.size() / 16;
    uint32_t key = m_key, crc = m_crc;
    for (size_t i = 0; i < steps; ++i, p += 16) {
        const uint32_t w0 = LoadLe32(p), w1 = LoadLe32(p + 4), w2 = LoadLe32(p + 8), w3 = LoadLe32(p + 12);
        const uint32_t o0 = w0 ^ key, o1 = w1 ^ NextScrambleKey(w0), o2 = w2 ^ NextScrambleKey(w1),
                       o3 = w3 ^ NextScrambleKey(w2);
        key = NextScrambleKey(w3);
        StoreLe32(p, o0);
        StoreLe32(p + 4, o1);
        StoreLe32(p + 8, o2);
        StoreLe32(p + 12, o3);
        crc = CrcStep16(crc, __builtin_bswap32(o0), __builtin_bswap32(o1), __builtin_bswap32(o2),
                        __builtin_bswap32(o3));
    }
    const std::span<uint8_t> rest = piece.subspan(steps * 16);
    m_key = ScrambleDataBytes(key, rest, true);
    m_crc = UpdateCrc32(crc, 0, static_cast<uint32_t>(rest.size()), rest.data());
}

bool DataFileReader::SkipPiece(size_t n)
{
    if (n > m_file.size() - m_pos) return false;
    m_pos += n;
    return true;
}

bool DataFileReader::CheckValueMatches() const
{
    return !Scrambled() || ~m_crc == m_stored;
}

}  // namespace zrv
