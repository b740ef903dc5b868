#include "foundation/DirectSound.h"

#include <algorithm>
#include <map>

#include "platform/core/Paths.h"

namespace zrv {
namespace {

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool IsTag(const uint8_t* p, const char (&tag)[5])
{
    return std::equal(p, p + 4, reinterpret_cast<const uint8_t*>(tag));
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::map<std::string, std::span<const uint8_t>>& WaveResources()
{
    static std::map<std::string, std::span<const uint8_t>> table;
    return table;
}

}  // namespace

// ---- CDirectSound ----------------------------------------------------------

CDirectSound::~CDirectSound()
{
    while (!m_listBuffers.empty()) {
        CDSBuffer* b = m_listBuffers.front();
        m_listBuffers.erase(m_listBuffers.begin());
        b->Reset();
    }
    if (m_pDS != 0) platform::Audio().CloseEffects(m_pDS);
}

bool CDirectSound::Create()
{
    if (m_pDS == 0) m_pDS = platform::Audio().OpenEffects();
    return m_pDS != 0;
}

bool CDirectSound::CreateSoundBuffer(const SoundBufferDesc& desc, uint32_t& buffer)
{
    buffer = 0;
    if (m_pDS == 0 || desc.format == nullptr) return false;
    buffer = platform::Audio().CreateSound(m_pDS, *desc.format, desc.bufferBytes);
    return buffer != 0;
}

bool CDirectSound::DuplicateSoundBuffer(uint32_t source, uint32_t& buffer)
{
    buffer = 0;
    if (m_pDS == 0 || source == 0) return false;
    buffer = platform::Audio().DuplicateSound(m_pDS, source);
    return buffer != 0;
}

void CDirectSound::AddBuffer(CDSBuffer* buffer)
{
    m_listBuffers.push_back(buffer);
}

void CDirectSound::RemoveBuffer(CDSBuffer* buffer)
{
    auto it = std::find(m_listBuffers.begin(), m_listBuffers.end(), buffer);
    if (it != m_listBuffers.end()) m_listBuffers.erase(it);
}

// ---- CDSBuffer -------------------------------------------------------------

CDSBuffer::~CDSBuffer()
{
    ReleaseOwn();
}

void CDSBuffer::Reset()
{
    m_pOwner = nullptr;
    m_pBuffer = 0;
    m_dwFrequency = 22050;
    m_nId = -1;
}

void CDSBuffer::ReleaseOwn()
{
    if (m_pOwner != nullptr) m_pOwner->RemoveBuffer(this);
    if (m_pBuffer != 0) platform::Audio().ReleaseSound(m_pBuffer);
    m_pOwner = nullptr;
    m_pBuffer = 0;
}

void CDSBuffer::Take(CDirectSound* device, uint32_t buffer, uint32_t frequency, int id)
{
    ReleaseOwn();
    m_pBuffer = buffer;
    m_pOwner = device;
    device->AddBuffer(this);
    m_dwFrequency = frequency;
    m_nId = id;
}

bool CDSBuffer::ParseWave(std::span<const uint8_t> bytes, platform::WaveFormat& format,
                          std::span<const uint8_t>& data)
{
    format = {};
    data = {};
    if (bytes.size() < 12 || !IsTag(bytes.data(), "RIFF") || !IsTag(bytes.data() + 8, "WAVE")) return false;

    // A RIFF size larger than the file is common in cut-off files; the bytes
    // that were really loaded are the bound.
    const uint64_t end = std::min<uint64_t>(8 + uint64_t{Le32(bytes.data() + 4)}, bytes.size());
    bool haveFormat = false;
    bool haveData = false;
    uint64_t pos = 12;
    while (pos < end) {
        if (end - pos < 8) return false;
        const uint8_t* chunk = bytes.data() + pos;
        const uint32_t size = Le32(chunk + 4);
        if (size > end - pos - 8) return false;
        const uint8_t* body = chunk + 8;
        if (IsTag(chunk, "fmt ")) {
            // The head is 14 bytes; PCM needs the bits per sample after it.
            if (size < 14) return false;
            format.formatTag = Le16(body);
            format.channels = Le16(body + 2);
            format.samplesPerSec = Le32(body + 4);
            format.avgBytesPerSec = Le32(body + 8);
            format.blockAlign = Le16(body + 12);
            if (format.formatTag == platform::kWaveFormatPcm && size < 16) return false;
            format.bitsPerSample = size >= 16 ? Le16(body + 14) : 0;
            haveFormat = true;
        } else if (IsTag(chunk, "data")) {
            data = bytes.subspan(static_cast<size_t>(pos + 8), size);
            haveData = true;
        }
        // Chunk data is padded to an even length.
        pos += 8 + uint64_t{size} + (size & 1u);
    }
    if (!haveFormat || !haveData) return false;
    return platform::IsPlayableFormat(format);
}

bool CDSBuffer::LoadFile(CDirectSound* device, std::string_view sjisPath, int id, uint32_t flags)
{
    std::vector<uint8_t> bytes;
    if (!platform::ReadWholeFile(sjisPath, bytes)) return false;
    return LoadWave(device, bytes, id, flags);
}

bool CDSBuffer::LoadResource(CDirectSound* device, std::string_view name, int id, uint32_t flags)
{
    std::span<const uint8_t> bytes = FindWaveResource(name);
    if (bytes.empty()) return false;
    return LoadWave(device, bytes, id, flags);
}

bool CDSBuffer::LoadWave(CDirectSound* device, std::span<const uint8_t> bytes, int id, uint32_t flags)
{
    platform::WaveFormat format;
    std::span<const uint8_t> data;
    if (device == nullptr || !ParseWave(bytes, format, data)) return false;
    SoundBufferDesc desc{flags, static_cast<uint32_t>(data.size()), &format};
    uint32_t buffer = 0;
    if (!device->CreateSoundBuffer(desc, buffer)) return false;
    // Written through this buffer's own Write so a lost buffer is restored the
    // same way; until it succeeds the new sound is not ours.
    CDSBuffer staging;
    staging.m_pBuffer = buffer;
    if (!staging.Write(0, data, 0)) return false;  // staging releases it
    staging.m_pBuffer = 0;
    Take(device, buffer, format.samplesPerSec, id);
    return true;
}

bool CDSBuffer::CreateEmpty(CDirectSound* device, uint32_t samplesPerSec, uint16_t bitsPerSample,
                            uint32_t lengthMs, uint16_t channels, uint32_t flags)
{
    if (device == nullptr) return false;
    platform::WaveFormat format;
    format.formatTag = platform::kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = bitsPerSample;
    format.blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    format.avgBytesPerSec = format.blockAlign * samplesPerSec;
    // In 64 bits: a long sound at a high rate passes 2^32 before the division.
    uint64_t bytes = uint64_t{format.avgBytesPerSec} * lengthMs / 1000;
    if (bytes > 0xFFFFFFFFu) return false;
    SoundBufferDesc desc{flags, static_cast<uint32_t>(bytes), &format};
    uint32_t buffer = 0;
    if (!device->CreateSoundBuffer(desc, buffer)) return false;
    Take(device, buffer, samplesPerSec, -1);
    return true;
}

bool CDSBuffer::Duplicate(CDirectSound* device, const CDSBuffer& source)
{
    if (device == nullptr) return false;
    uint32_t buffer = 0;
    if (!device->DuplicateSoundBuffer(source.m_pBuffer, buffer)) return false;
    Take(device, buffer, source.m_dwFrequency, source.m_nId);
    return true;
}

bool CDSBuffer::Attach(CDirectSound* device, uint32_t buffer)
{
    // Taking the sound it holds already must not release it first.
    if (buffer != 0 && buffer == m_pBuffer) m_pBuffer = 0;
    Take(device, buffer, m_dwFrequency, m_nId);
    return true;
}

uint32_t CDSBuffer::Detach()
{
    uint32_t buffer = m_pBuffer;
    if (m_pOwner != nullptr) m_pOwner->RemoveBuffer(this);
    m_pOwner = nullptr;
    m_pBuffer = 0;
    return buffer;
}

bool CDSBuffer::Write(uint32_t offset, std::span<const uint8_t> bytes, uint32_t /*lockFlags*/)
{
    if (m_pBuffer == 0) return false;
    auto& audio = platform::Audio();
    platform::SoundWrite r = audio.WriteSound(m_pBuffer, offset, bytes);
    if (r == platform::SoundWrite::Lost) {
        // Once: a buffer lost again right after its restore is given up.
        if (!audio.RestoreSound(m_pBuffer)) return false;
        r = audio.WriteSound(m_pBuffer, offset, bytes);
    }
    return r == platform::SoundWrite::Ok;
}

bool CDSBuffer::GetStatus(uint32_t& status) const
{
    status = 0;
    if (m_pBuffer == 0) return false;
    if (platform::Audio().IsSoundPlaying(m_pBuffer)) status |= DSBSTATUS_PLAYING;
    return true;
}

bool CDSBuffer::Play(uint32_t flags)
{
    return m_pBuffer != 0 && platform::Audio().PlaySound(m_pBuffer, (flags & DSBPLAY_LOOPING) != 0);
}

bool CDSBuffer::SetCurrentPosition(uint32_t position)
{
    return m_pBuffer != 0 && platform::Audio().SetSoundPosition(m_pBuffer, position);
}

bool CDSBuffer::Stop()
{
    return m_pBuffer != 0 && platform::Audio().StopSound(m_pBuffer);
}

void RegisterWaveResource(std::string_view name, std::span<const uint8_t> bytes)
{
    WaveResources()[UpperAscii(name)] = bytes;
}

std::span<const uint8_t> FindWaveResource(std::string_view name)
{
    auto& table = WaveResources();
    auto it = table.find(UpperAscii(name));
    return it == table.end() ? std::span<const uint8_t>{} : it->second;
}

}  // namespace zrv
