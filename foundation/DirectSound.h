#pragma once
// The sound device and its sounds. CDirectSound is one open effects device
// and the list of every CDSBuffer made from it; CDSBuffer is one sound, filled
// from a .WAV file, from a compiled-in "WAVE" resource, left silent, or a
// duplicate that shares another buffer's data and plays on its own. The
// device does not own the buffers: the caller creates and deletes them, in
// either order.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/AudioBackend.h"

namespace zrv {

// Creation flags, with the values the game's code passes.
inline constexpr uint32_t DSBCAPS_STATIC = 0x02;
inline constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
inline constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
// Play flag and status bits.
inline constexpr uint32_t DSBPLAY_LOOPING = 0x1;
inline constexpr uint32_t DSBSTATUS_PLAYING = 0x1;

// What a new sound buffer is made from.
struct SoundBufferDesc {
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;
    const platform::WaveFormat* format = nullptr;
};

class CDSBuffer;

class CDirectSound {
public:
    CDirectSound() = default;
    // Resets every buffer still made from this device, so each can still be
    // deleted later without touching the device, then closes the device (and
    // with it every sound it made).
    ~CDirectSound();
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // Opens the effects device of the installed backend.
    bool Create();
    bool CreateSoundBuffer(const SoundBufferDesc& desc, uint32_t& buffer);
    bool DuplicateSoundBuffer(uint32_t source, uint32_t& buffer);

    void AddBuffer(CDSBuffer* buffer);
    void RemoveBuffer(CDSBuffer* buffer);
    const std::vector<CDSBuffer*>& Buffers() const { return m_listBuffers; }
    uint32_t Device() const { return m_pDS; }

private:
    uint32_t m_pDS = 0;  // the backend's effects device; 0 until Create
    std::vector<CDSBuffer*> m_listBuffers;  // in order of creation
};

class CDSBuffer {
public:
    CDSBuffer() = default;
    ~CDSBuffer();
    CDSBuffer(const CDSBuffer&) = delete;
    CDSBuffer& operator=(const CDSBuffer&) = delete;

    // Forgets owner and sound without releasing anything (the device is gone).
    void Reset();

    bool LoadFile(CDirectSound* device, std::string_view sjisPath, int id, uint32_t flags);
    bool LoadResource(CDirectSound* device, std::string_view name, int id, uint32_t flags);
    // A silent PCM sound of lengthMs milliseconds; id -1.
    bool CreateEmpty(CDirectSound* device, uint32_t samplesPerSec, uint16_t bitsPerSample, uint32_t lengthMs,
                     uint16_t channels, uint32_t flags);
    bool Duplicate(CDirectSound* device, const CDSBuffer& source);
    bool Attach(CDirectSound* device, uint32_t buffer);
    uint32_t Detach();

    bool Write(uint32_t offset, std::span<const uint8_t> bytes, uint32_t lockFlags);

    // Finds the format and the samples of RIFF WAVE bytes. Every length read
    // is checked against the bytes at hand: the walk stops at the RIFF end or
    // the end of the bytes, whichever comes first, and a chunk running past
    // that is refused. The format must be one the backend plays.
    static bool ParseWave(std::span<const uint8_t> bytes, platform::WaveFormat& format,
                          std::span<const uint8_t>& data);

    int GetId() const { return m_nId; }
    uint32_t GetFrequency() const { return m_dwFrequency; }
    uint32_t GetBuffer() const { return m_pBuffer; }
    CDirectSound* GetOwner() const { return m_pOwner; }

    bool GetStatus(uint32_t& status) const;
    bool Play(uint32_t flags);
    bool SetCurrentPosition(uint32_t position);
    bool Stop();

private:
    bool LoadWave(CDirectSound* device, std::span<const uint8_t> bytes, int id, uint32_t flags);
    // Takes a new backend sound as this buffer's own, giving up any it had.
    void Take(CDirectSound* device, uint32_t buffer, uint32_t frequency, int id);
    void ReleaseOwn();

    CDirectSound* m_pOwner = nullptr;
    uint32_t m_pBuffer = 0;  // the backend's sound; 0 when empty
    uint32_t m_dwFrequency = 22050;
    int m_nId = -1;
};

// Compiled-in "WAVE" resources by name (the names compare without regard to
// ASCII case). The bytes are not copied and must outlive their use.
void RegisterWaveResource(std::string_view name, std::span<const uint8_t> bytes);
std::span<const uint8_t> FindWaveResource(std::string_view name);

}  // namespace zrv
