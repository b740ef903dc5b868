#pragma once
// Builds RIFF WAVE bytes chunk by chunk, so each test can damage exactly the
// part it is about.

#include <cstdint>
#include <string>
#include <vector>

namespace testaudio {

inline void PutLe16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

inline void PutLe32(std::vector<uint8_t>& v, uint32_t x)
{
    PutLe16(v, x & 0xFFFF);
    PutLe16(v, x >> 16);
}

class WaveBytes {
public:
    // A chunk whose size field says declaredSize (by default the body's size).
    WaveBytes& Chunk(const std::string& tag, const std::vector<uint8_t>& body, int64_t declaredSize = -1)
    {
        m_body.insert(m_body.end(), tag.begin(), tag.end());
        PutLe32(m_body, declaredSize < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declaredSize));
        m_body.insert(m_body.end(), body.begin(), body.end());
        if (body.size() % 2 != 0) m_body.push_back(0);
        return *this;
    }

    // A "fmt " chunk of size bytes (14, 16 or more) with these values.
    WaveBytes& Format(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t size = 16, uint16_t tag = 1)
    {
        std::vector<uint8_t> f;
        uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        PutLe16(f, tag);
        PutLe16(f, channels);
        PutLe32(f, rate);
        PutLe32(f, align * rate);
        PutLe16(f, align);
        PutLe16(f, bits);
        f.resize(size, 0);
        return Chunk("fmt ", f);
    }

    WaveBytes& Data(const std::vector<uint8_t>& samples) { return Chunk("data", samples); }

    // The whole file; riffSize overrides the RIFF size field.
    std::vector<uint8_t> Bytes(int64_t riffSize = -1) const
    {
        std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
        PutLe32(v, riffSize < 0 ? static_cast<uint32_t>(4 + m_body.size()) : static_cast<uint32_t>(riffSize));
        v.insert(v.end(), {'W', 'A', 'V', 'E'});
        v.insert(v.end(), m_body.begin(), m_body.end());
        return v;
    }

private:
    std::vector<uint8_t> m_body;
};

// A playable mono 8-bit wave of n samples at rate Hz (a quiet saw).
inline std::vector<uint8_t> SimpleWave(uint32_t n, uint32_t rate = 22050)
{
    std::vector<uint8_t> samples(n);
    for (uint32_t i = 0; i < n; ++i) samples[i] = static_cast<uint8_t>(0x70 + (i % 32));
    return WaveBytes().Format(1, rate, 8).Data(samples).Bytes();
}

}  // namespace testaudio
