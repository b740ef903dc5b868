// The framing primitives: scrambling, the check value and the file header.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <numeric>
#include <vector>

#include "foundation/DataFile.h"

namespace {

using namespace zrv;

std::vector<uint8_t> Counting(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 37 + 11);
    return v;
}

TEST(Crc, KnownValuesOfTheBzip2ParameterSet)
{
    const char* digits = "123456789";
    EXPECT_EQ(UpdateCrc32(0xFFFFFFFFu, 1, 9, reinterpret_cast<const uint8_t*>(digits)), 0xFC891918u);
    EXPECT_EQ(UpdateCrc32(0xFFFFFFFFu, 1, 0, nullptr), 0u);
}

TEST(Crc, PiecesChainedGiveTheOneShotValue)
{
    const auto bytes = Counting(1000);
    const uint32_t whole = UpdateCrc32(0xFFFFFFFFu, 1, 1000, bytes.data());
    for (uint32_t cut : {0u, 1u, 3u, 92u, 999u, 1000u}) {
        SCOPED_TRACE(cut);
        uint32_t crc = UpdateCrc32(0xFFFFFFFFu, 0, cut, bytes.data());
        crc = UpdateCrc32(crc, 1, 1000 - cut, bytes.data() + cut);
        EXPECT_EQ(crc, whole);
    }
}

// The check value a byte at a time, straight from the polynomial: every
// length and start offset around the eight-byte steps must agree with it.
TEST(Crc, AgreesWithTheBitwiseDefinitionAtEveryLengthAndOffset)
{
    auto bitwise = [](uint32_t crc, const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            crc ^= uint32_t(p[i]) << 24;
            for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
        return crc;
    };
    std::vector<uint8_t> bytes(300);
    uint32_t x = 12345;
    for (auto& b : bytes) b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
    for (uint32_t offset = 0; offset < 9; ++offset) {
        for (uint32_t length = 0; length + offset <= 40; ++length) {
            SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << length);
            ASSERT_EQ(UpdateCrc32(0x12345678u, 0, length, bytes.data() + offset),
                      bitwise(0x12345678u, bytes.data() + offset, length));
        }
    }
    EXPECT_EQ(UpdateCrc32(0xFFFFFFFFu, 1, 291, bytes.data() + 9), ~bitwise(0xFFFFFFFFu, bytes.data() + 9, 291));
}

TEST(Scramble, KeyStepsAndMagicSeeds)
{
    EXPECT_EQ(NextScrambleKey(0x00000001u), 0x80000000u);
    EXPECT_EQ(NextScrambleKey(0x80000001u), 0x40000000u);
    EXPECT_EQ(NextScrambleKey(0x80000000u), 0xC0000000u);
    EXPECT_EQ(MagicKey(kMagicGame), 0x4756525Au);
    EXPECT_EQ(MagicKey(kMagicScenario), 0x5356525Au);
    EXPECT_EQ(MagicKey(kMagicCampaign), 0x4956525Au);
    EXPECT_EQ(MagicKey(kMagicGuide), 0x5756525Au);
    EXPECT_EQ(MagicKey(kMagicMap), 0x4D56525Au);

    // Zero words scramble to the key sequence itself.
    uint32_t words[4] = {};
    const uint32_t next = ScrambleDataWords(MagicKey(kMagicGame), sizeof words, words, 0);
    EXPECT_EQ(words[0], 0x4756525Au);
    EXPECT_EQ(words[1], 0x23AB292Du);
    EXPECT_EQ(words[2], 0x91D59496u);
    EXPECT_EQ(words[3], 0xC8EACA4Bu);
    EXPECT_EQ(next, 0x64756525u);
}

TEST(Scramble, UnscrambleRestoresEveryLengthAndLeavesTheTail)
{
    for (size_t n : {0u, 1u, 3u, 4u, 7u, 8u, 9u, 92u, 95u, 10412u}) {
        SCOPED_TRACE(n);
        const auto original = Counting(n);
        auto bytes = original;
        const uint32_t k1 = ScrambleDataBytes(0x5356525Au, bytes, false);
        if (n >= 4) {
            EXPECT_NE(bytes, original);
        }
        // The 1-3 bytes after the last whole word stay as they were.
        for (size_t i = n & ~size_t{3}; i < n; ++i) EXPECT_EQ(bytes[i], original[i]);
        const uint32_t k2 = ScrambleDataBytes(0x5356525Au, bytes, true);
        EXPECT_EQ(bytes, original);
        EXPECT_EQ(k1, k2);
    }
}

TEST(Scramble, ChainedPiecesEqualOneCallAndWordsEqualBytes)
{
    const auto original = Counting(92 + 10412);
    auto whole = original;
    ScrambleDataBytes(MagicKey(kMagicScenario), whole, false);

    auto pieces = original;
    uint32_t key = ScrambleDataBytes(MagicKey(kMagicScenario), {pieces.data(), 92}, false);
    ScrambleDataBytes(key, {pieces.data() + 92, 10412}, false);
    EXPECT_EQ(pieces, whole);

    std::vector<uint32_t> words(original.size() / 4);
    std::memcpy(words.data(), original.data(), original.size());
    ScrambleDataWords(MagicKey(kMagicScenario), static_cast<uint32_t>(original.size()), words.data(), 0);
    EXPECT_EQ(std::memcmp(words.data(), whole.data(), whole.size()), 0);
}

TEST(Framing, BuiltFileReadsBackPieceByPiece)
{
    const auto a = Counting(8);
    const auto b = Counting(12288);
    for (uint16_t word : {uint16_t{0x8100}, uint16_t{0x0100}}) {
        SCOPED_TRACE(word);
        const auto file = BuildDataFile(kMagicGuide, word, {a, b});
        ASSERT_EQ(file.size(), 10u + 8 + 12288);
        EXPECT_EQ(std::memcmp(file.data(), "ZRVW", 4), 0);
        EXPECT_EQ(file[4] | file[5] << 8, word);
        DataFileReader reader(file);
        ASSERT_EQ(reader.ReadHeader(kMagicGuide, false), kFileOk);
        std::vector<uint8_t> ra(8), rb(12288);
        ASSERT_TRUE(reader.ReadPiece(ra.data(), ra.size()));
        ASSERT_TRUE(reader.ReadPiece(rb.data(), rb.size()));
        EXPECT_TRUE(reader.CheckValueMatches());
        EXPECT_EQ(ra, a);
        EXPECT_EQ(rb, b);
        EXPECT_FALSE(reader.ReadPiece(ra.data(), 1));
    }
}

TEST(Framing, StoredCheckValueIsTheCrcOfThePlainBody)
{
    const auto body = Counting(400);
    const auto file = BuildDataFile(kMagicCampaign, kGameFileVersionWord, {body});
    const uint32_t stored = file[6] | file[7] << 8 | file[8] << 16 | static_cast<uint32_t>(file[9]) << 24;
    EXPECT_EQ(stored, UpdateCrc32(0xFFFFFFFFu, 1, 400, body.data()));
}

TEST(Framing, HeaderRejections)
{
    const auto good = BuildDataFile(kMagicGame, kGameFileVersionWord, {Counting(16)});
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        bool checkVersion;
        int expected;
    };
    auto withWord = [&](uint16_t w) {
        auto f = good;
        f[4] = static_cast<uint8_t>(w);
        f[5] = static_cast<uint8_t>(w >> 8);
        return f;
    };
    auto cut = [&](size_t n) {
        return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n));
    };
    auto otherMagic = good;
    otherMagic[3] = 'S';
    const Case cases[] = {
        {"sound", good, true, kFileOk},
        {"other magic", otherMagic, true, kFileBadMagic},
        {"empty", {}, true, kFileBadMagic},
        {"three bytes", cut(3), true, kFileBadMagic},
        {"header cut after the magic", cut(7), true, kFileBadCheck},
        {"version 0x121", withWord(0x8121), true, kFileBadVersion},
        {"bits 12-14 ignored", withWord(0xF120), true, kFileOk},
        {"version not checked", withWord(0x8121), false, kFileOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DataFileReader reader(c.file);
        EXPECT_EQ(reader.ReadHeader(kMagicGame, c.checkVersion), c.expected);
    }
}

}  // namespace
