// A few thousand mutated files through each reader in the normal build: the
// same checks as the fuzz targets, with a fixed mutation sequence from seeds
// written by our own writers.

#include <gtest/gtest.h>

#include "fuzz/FuzzReaders.h"

namespace {

using datafiles_fuzz::Reader;

// xorshift64*: a fixed sequence, the same on every run.
class Mutator {
public:
    explicit Mutator(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}

    uint64_t Next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }

    void Mutate(std::vector<uint8_t>& f)
    {
        // Values that sit on the bounds the readers check.
        static const uint32_t kEdges[] = {0,     1,      0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 7,     8,
                                          63,    64,     127,         128,         512,         513,   16383,
                                          16384, 0xFFFF, 0x10000,     0xFFFF0000u, 0x8003,      0x120, 91};
        const int steps = 1 + static_cast<int>(Below(4));
        for (int s = 0; s < steps && !f.empty(); ++s) {
            switch (Below(8)) {
                case 0:
                    f[Below(f.size())] ^= static_cast<uint8_t>(1u << Below(8));
                    break;
                case 1:
                    f[Below(f.size())] = static_cast<uint8_t>(Next());
                    break;
                case 2: {
                    const size_t at = Below(f.size() / 4) * 4 + 2;  // body words start at offset 10
                    const uint32_t v = kEdges[Below(std::size(kEdges))];
                    for (size_t i = 0; i < 4 && at + i < f.size(); ++i)
                        f[at + i] = static_cast<uint8_t>(v >> (8 * i));
                    break;
                }
                case 3:
                    f.resize(Below(f.size() + 1));
                    break;
                case 4:
                    for (size_t n = Below(64); n > 0; --n) f.push_back(static_cast<uint8_t>(Next()));
                    break;
                case 5:
                    if (f.size() > 5) f[5] ^= 0x80;
                    break;
                case 6: {  // the tail: city lists live there
                    const size_t tail = std::min<size_t>(f.size(), 96);
                    f[f.size() - 1 - Below(tail)] = static_cast<uint8_t>(Next());
                    break;
                }
                default: {
                    const size_t from = Below(f.size()), to = Below(f.size());
                    const size_t n = std::min({Below(32), f.size() - from, f.size() - to});
                    std::memmove(f.data() + to, f.data() + from, n);
                    break;
                }
            }
        }
    }

private:
    uint64_t m_state;
};

struct SmokeCase {
    const char* name;
    Reader reader;
    const char* ext;
};

class FuzzSmoke : public ::testing::TestWithParam<SmokeCase> {
protected:
    void TearDown() override
    {
        zrv::SetDialogs(nullptr);
        zrv::SetLib(nullptr);
    }
};

TEST_P(FuzzSmoke, MutatedFilesKeepTheReadersPromises)
{
    const SmokeCase& c = GetParam();
    datafiles_fuzz::InstallFixture();
    std::vector<std::vector<uint8_t>> seeds;
    for (auto& seed : datafiles_test::SeedFiles()) {
        if (seed.name.ends_with(c.ext)) seeds.push_back(std::move(seed.bytes));
    }
    ASSERT_EQ(seeds.size(), 2u);
    Mutator m(static_cast<uint64_t>(c.reader) + 1);
    for (const auto& seed : seeds) datafiles_fuzz::FuzzOne(c.reader, seed.data(), seed.size());
    constexpr int kInputs = 3000;
    for (int i = 0; i < kInputs; ++i) {
        // Mostly the plain seed: scrambled bodies rarely get past the check value.
        auto file = seeds[i % 4 == 0 ? 0 : 1];
        m.Mutate(file);
        datafiles_fuzz::FuzzOne(c.reader, file.data(), file.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzSmoke,
                         ::testing::Values(SmokeCase{"SavedGame", Reader::Game, ".DG2"},
                                           SmokeCase{"Scenario", Reader::Scenario, ".SC2"},
                                           SmokeCase{"ScenarioCheck", Reader::ScenarioCheck, ".SC2"},
                                           SmokeCase{"Campaign", Reader::Campaign, ".DC2"},
                                           SmokeCase{"WeaponGuide", Reader::WeaponGuide, ".ADW"},
                                           SmokeCase{"Map", Reader::Map, ".MB2"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
