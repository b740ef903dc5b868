#include "foundation/DataFile.h"

#include <array>
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

// Eight bytes a step: entry [k][i] is what byte i adds when k zero bytes
// follow it, so the eight lookups of a step are independent of each other.
using CrcSlices = std::array<std::array<uint32_t, 256>, 8>;

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

uint32_t LoadBe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

uint32_t LoadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void StoreLe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
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
    const auto& t = kCrcSlices;
    uint32_t i = 0;
    for (; length - i >= 8; i += 8) {
        const uint32_t hi = crc ^ LoadBe32(bytes + i);
        const uint32_t lo = LoadBe32(bytes + i + 4);
        crc = t[7][hi >> 24] ^ t[6][(hi >> 16) & 0xFF] ^ t[5][(hi >> 8) & 0xFF] ^ t[4][hi & 0xFF] ^
              t[3][lo >> 24] ^ t[2][(lo >> 16) & 0xFF] ^ t[1][(lo >> 8) & 0xFF] ^ t[0][lo & 0xFF];
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
    if (Scrambled()) {
        m_key = ScrambleDataBytes(m_key, {out, n}, true);
        m_crc = UpdateCrc32(m_crc, 0, static_cast<uint32_t>(n), out);
    }
    return true;
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
