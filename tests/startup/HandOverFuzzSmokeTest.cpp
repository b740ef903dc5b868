// The hand-over fuzz target's checks in the normal build: every start
// command's block with a run of turn-machine passes, then a fixed sequence of
// blocks patched where the menu program writes.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "fuzz/FuzzHandOver.h"

namespace {

using namespace zrv;

// xorshift64*: a fixed sequence, the same on every run.
class Sequence {
public:
    explicit Sequence(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }

private:
    uint64_t m_state;
};

void Put(std::vector<uint8_t>& input, size_t offset, const void* bytes, size_t n)
{
    input.push_back(static_cast<uint8_t>(offset));
    input.push_back(static_cast<uint8_t>(offset >> 8));
    input.push_back(static_cast<uint8_t>(offset >> 16));
    input.push_back(static_cast<uint8_t>(n));
    const auto* b = static_cast<const uint8_t*>(bytes);
    input.insert(input.end(), b, b + n);
}

TEST(HandOverFuzzSmoke, PatchedBlocksKeepTheStartsPromises)
{
    for (int k = 0; k < handover_fuzz::kSeedBlocks; ++k) {
        const uint8_t input[] = {static_cast<uint8_t>(k), 31};
        handover_fuzz::FuzzOne(input, sizeof input);
    }

    // Where the menu program writes: the command and its words, the path,
    // the campaign record, the side set-ups, the image's first records.
    const size_t fields[] = {offsetof(GAMEMENUSTRUCT, nCommand), offsetof(GAMEMENUSTRUCT, nParam),
                             offsetof(GAMEMENUSTRUCT, dwViewOption), offsetof(GAMEMENUSTRUCT, dwStartFlag),
                             offsetof(GAMEMENUSTRUCT, nMovie), offsetof(GAMEMENUSTRUCT, szPath),
                             offsetof(GAMEMENUSTRUCT, Campaign), offsetof(GAMEMENUSTRUCT, Side),
                             offsetof(GAMEMENUSTRUCT, Image)};
    const uint32_t edges[] = {0, 1, 2, 3, 5, 8, 9, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    Sequence seq(19);
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> input = {static_cast<uint8_t>(seq.Below(handover_fuzz::kSeedBlocks)),
                                      static_cast<uint8_t>(seq.Below(32))};
        for (size_t patches = 1 + seq.Below(4); patches > 0; --patches) {
            const size_t field = fields[seq.Below(std::size(fields))];
            const size_t offset = field + seq.Below(field >= offsetof(GAMEMENUSTRUCT, Campaign) ? 2048 : 64);
            if (seq.Below(2) == 0) {
                const uint32_t v = edges[seq.Below(std::size(edges))];
                Put(input, offset & ~size_t(3), &v, sizeof v);
            } else {
                uint8_t bytes[16];
                for (uint8_t& b : bytes) b = static_cast<uint8_t>(seq.Next());
                Put(input, offset, bytes, 1 + seq.Below(sizeof bytes));
            }
        }
        handover_fuzz::FuzzOne(input.data(), input.size());
    }
}

}  // namespace
