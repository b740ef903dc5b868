#include "platform/audio/SdlAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "platform/core/Paths.h"

namespace platform {
namespace {

constexpr int kChannels = 16;

// The sound data one sound and all its duplicates share: the PCM bytes as
// written, and the same converted to the mixer's format, made again only when
// the bytes changed.
struct SoundData {
    WaveFormat format;
    std::vector<uint8_t> pcm;
    std::vector<uint8_t> mixed;
    bool stale = true;
};

struct Sound {
    uint32_t id = 0;
    uint32_t device = 0;
    std::shared_ptr<SoundData> data;
    uint32_t position = 0;  // bytes of pcm where the next play starts
    int32_t volume = 0;
    int32_t pan = 0;
    int channel = -1;
    // The chunk header the mixer reads while this sound plays; its samples
    // point into the shared data, which outlives the play (see Release).
    Mix_Chunk chunk{};
};

// A movie's sound on a device of its own, fed through SDL's queue; the
// device's own thread takes from it at the device's pace.
class SdlPcmStream : public PcmStream {
public:
    static std::unique_ptr<PcmStream> Open(int rate)
    {
        if (rate < 1000 || rate > 192000) return nullptr;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        SDL_AudioSpec have{};
        // SDL converts to whatever the device wants; the rate we feed stays.
        SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (dev == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        SDL_PauseAudioDevice(dev, 0);
        // What the device has taken is heard one device buffer later.
        const uint64_t latency = have.freq > 0 ? static_cast<uint64_t>(have.samples) * rate / have.freq : 0;
        return std::unique_ptr<PcmStream>(new SdlPcmStream(dev, rate, latency));
    }

    ~SdlPcmStream() override
    {
        SDL_CloseAudioDevice(m_dev);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    int Rate() const override { return m_rate; }

    bool Queue(std::span<const int16_t> stereo) override
    {
        const size_t frames = stereo.size() / 2;
        if (frames == 0) return true;
        if (SDL_QueueAudio(m_dev, stereo.data(), static_cast<Uint32>(frames * 4)) != 0) return false;
        m_fed += frames;
        return true;
    }

    size_t QueuedFrames() override { return SDL_GetQueuedAudioSize(m_dev) / 4; }

    uint64_t PlayedFrames() override
    {
        const uint64_t taken = m_fed - std::min<uint64_t>(m_fed, QueuedFrames());
        const uint64_t heard = taken > m_latency ? taken - m_latency : 0;
        // Never backwards, even when the device takes in bursts.
        m_heard = std::max(m_heard.load(), std::max(heard, m_cleared.load()));
        return m_heard;
    }

    void Pause(bool paused) override { SDL_PauseAudioDevice(m_dev, paused ? 1 : 0); }

    void Clear() override
    {
        const uint64_t queued = QueuedFrames();
        SDL_ClearQueuedAudio(m_dev);
        m_fed -= std::min<uint64_t>(m_fed.load(), queued);
        // What the device still holds is played out; the count goes on from
        // all that was taken.
        m_cleared = m_fed.load();
        m_heard = std::max(m_heard.load(), m_cleared.load());
    }

private:
    SdlPcmStream(SDL_AudioDeviceID dev, int rate, uint64_t latency) : m_dev(dev), m_rate(rate), m_latency(latency) {}
    SDL_AudioDeviceID m_dev;
    int m_rate;
    uint64_t m_latency;
    std::atomic<uint64_t> m_fed{0};
    std::atomic<uint64_t> m_heard{0};
    std::atomic<uint64_t> m_cleared{0};
};

class SdlAudioBackend;
std::atomic<SdlAudioBackend*> g_instance{nullptr};

class SdlAudioBackend : public AudioBackend {
public:
    SdlAudioBackend() { g_instance.store(this); }
    ~SdlAudioBackend() override
    {
        // The plays cut off here end with the backend: nobody may be woken
        // to deliver them later.
        m_ends.SetWakeHook(nullptr);
        while (!m_effectDevices.empty()) CloseEffects(m_effectDevices.front());
        while (!m_musicDevices.empty()) CloseMusic(*m_musicDevices.begin());
        g_instance.store(nullptr);
    }

    uint32_t OpenEffects() override
    {
        if (!AcquireMixer()) return 0;
        uint32_t id = m_nextId++;
        m_effectDevices.push_back(id);
        return id;
    }

    void CloseEffects(uint32_t device) override
    {
        auto it = std::find(m_effectDevices.begin(), m_effectDevices.end(), device);
        if (it == m_effectDevices.end()) return;
        for (auto s = m_sounds.begin(); s != m_sounds.end();) {
            if (s->second.device == device) {
                Halt(s->second);
                s = m_sounds.erase(s);
            } else {
                ++s;
            }
        }
        m_effectDevices.erase(it);
        ReleaseMixer();
    }

    uint32_t CreateSound(uint32_t device, const WaveFormat& format, uint32_t bytes) override
    {
        if (!HasEffectDevice(device) || !IsPlayableFormat(format) || bytes == 0) return 0;
        auto data = std::make_shared<SoundData>();
        data->format = format;
        // 8-bit PCM is unsigned: silence is 0x80.
        data->pcm.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0x00);
        return AddSound(device, std::move(data));
    }

    uint32_t DuplicateSound(uint32_t device, uint32_t source) override
    {
        Sound* src = Find(source);
        if (src == nullptr || !HasEffectDevice(device)) return 0;
        uint32_t id = AddSound(device, src->data);
        Sound& copy = m_sounds[id];
        copy.volume = src->volume;
        copy.pan = src->pan;
        return id;
    }

    void ReleaseSound(uint32_t sound) override
    {
        auto it = m_sounds.find(sound);
        if (it == m_sounds.end()) return;
        // Halted before the header goes, so the mixer never reads a freed chunk.
        Halt(it->second);
        m_sounds.erase(it);
    }

    SoundWrite WriteSound(uint32_t sound, uint32_t offset, std::span<const uint8_t> bytes) override
    {
        Sound* s = Find(sound);
        if (s == nullptr) return SoundWrite::Failed;
        auto& pcm = s->data->pcm;
        if (offset > pcm.size() || bytes.size() > pcm.size() - offset) return SoundWrite::Failed;
        // The converted samples are made again at the next play; nothing may
        // be playing from them while they change.
        for (auto& [id, other] : m_sounds) {
            if (other.data == s->data) Halt(other);
        }
        std::memcpy(pcm.data() + offset, bytes.data(), bytes.size());
        s->data->stale = true;
        return SoundWrite::Ok;
    }

    // Our sound memory is never taken away.
    bool RestoreSound(uint32_t sound) override { return Find(sound) != nullptr; }

    bool PlaySound(uint32_t sound, bool loop) override
    {
        Sound* s = Find(sound);
        if (s == nullptr) return false;
        if (Playing(*s, sound)) return true;
        if (!Convert(*s->data)) return false;
        const auto& mixed = s->data->mixed;
        uint32_t start = MixedOffset(*s);
        if (start >= mixed.size()) return true;  // nothing left to play from here
        s->chunk.allocated = 0;
        s->chunk.abuf = const_cast<Uint8*>(mixed.data()) + start;
        s->chunk.alen = static_cast<Uint32>(mixed.size() - start);
        s->chunk.volume = MIX_MAX_VOLUME;
        int ch = Mix_PlayChannel(-1, &s->chunk, loop ? -1 : 0);
        if (ch < 0 || ch >= kChannels) {
            if (ch >= 0) Mix_HaltChannel(ch);
            return false;
        }
        m_owner[static_cast<size_t>(ch)] = sound;
        s->channel = ch;
        ApplyLevels(*s);
        return true;
    }

    bool StopSound(uint32_t sound) override
    {
        Sound* s = Find(sound);
        if (s == nullptr) return false;
        Halt(*s);
        return true;
    }

    bool IsSoundPlaying(uint32_t sound) override
    {
        Sound* s = Find(sound);
        return s != nullptr && Playing(*s, sound);
    }

    bool SetSoundPosition(uint32_t sound, uint32_t byteOffset) override
    {
        Sound* s = Find(sound);
        if (s == nullptr || byteOffset > s->data->pcm.size()) return false;
        s->position = byteOffset;
        return true;
    }

    bool SetSoundVolume(uint32_t sound, int32_t hundredthsDb) override
    {
        Sound* s = Find(sound);
        if (s == nullptr || hundredthsDb > 0 || hundredthsDb < -10000) return false;
        s->volume = hundredthsDb;
        if (Playing(*s, sound)) ApplyLevels(*s);
        return true;
    }

    bool SetSoundPan(uint32_t sound, int32_t pan) override
    {
        Sound* s = Find(sound);
        if (s == nullptr || pan > 10000 || pan < -10000) return false;
        s->pan = pan;
        if (Playing(*s, sound)) ApplyLevels(*s);
        return true;
    }

    uint32_t OpenMusic(int& error) override
    {
        if (!AcquireMixer()) {
            error = kMediaNoDevice;
            return 0;
        }
        // Music device ids travel in 16 bits; 0 is "none".
        uint32_t id = m_nextMusicDevice;
        m_nextMusicDevice = m_nextMusicDevice == 0xFFFF ? 1 : m_nextMusicDevice + 1;
        m_musicDevices.insert(id);
        error = kMediaOk;
        return id;
    }

    void CloseMusic(uint32_t device) override
    {
        auto it = m_musicDevices.find(device);
        if (it == m_musicDevices.end()) return;
        if (m_musicDevice == device) HaltMusic();
        m_musicDevices.erase(it);
        ReleaseMixer();
    }

    int PlayMusicTrack(uint32_t device, int track, MusicNotify notify) override
    {
        if (m_musicDevices.find(device) == m_musicDevices.end()) return kMediaBadDevice;
        std::string native;
        if (!FindTrackFile(track, native)) return kMediaNoTrackFile;
        Mix_Music* music = Mix_LoadMUS(native.c_str());
        if (music == nullptr) return kMediaCannotPlay;
        HaltMusic();
        uint64_t play = m_ends.Start(device, std::move(notify));
        // Current before the play starts: a very short track may end at once.
        m_currentPlay.store(play);
        m_music = music;
        m_musicDevice = device;
        if (Mix_PlayMusic(music, 0) != 0) {
            // A play that never started gets no notification.
            m_currentPlay.store(0);
            m_ends.Cancel(play);
            Mix_FreeMusic(music);
            m_music = nullptr;
            m_musicDevice = 0;
            return kMediaCannotPlay;
        }
        return kMediaOk;
    }

    int StopMusic(uint32_t device) override
    {
        if (m_musicDevices.find(device) == m_musicDevices.end()) return kMediaBadDevice;
        if (m_musicDevice == device) HaltMusic();
        return kMediaOk;
    }

    void DeliverPending() override { m_ends.Deliver(); }
    std::unique_ptr<PcmStream> OpenStream(int rate) override { return SdlPcmStream::Open(rate); }
    void SetWakeHook(std::function<void()> hook) override { m_ends.SetWakeHook(std::move(hook)); }

    // SDL_mixer's hook, on the sound thread or inside Mix_HaltMusic.
    static void SDLCALL OnMusicFinished()
    {
        SdlAudioBackend* self = g_instance.load();
        if (self == nullptr) return;
        uint64_t play = self->m_currentPlay.exchange(0);
        if (play != 0) self->m_ends.End(play);
    }

private:
    bool AcquireMixer()
    {
        if (m_mixerUsers == 0) {
            // SDL would take SIGINT and SIGTERM for an event queue nobody
            // reads; the programs route them into their own close path.
            SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
            Mix_Init(MIX_INIT_OGG);
            if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, AUDIO_S16SYS, 2, 1024) != 0) {
                Mix_Quit();
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                return false;
            }
            Mix_AllocateChannels(kChannels);
            Mix_HookMusicFinished(&SdlAudioBackend::OnMusicFinished);
            int freq = 0, channels = 0;
            Uint16 format = 0;
            Mix_QuerySpec(&freq, &format, &channels);
            m_mixFreq = freq;
            m_mixFormat = format;
            m_mixChannels = channels;
            m_owner.fill(0);
            for (auto& d : m_sounds) d.second.data->stale = true;
        }
        ++m_mixerUsers;
        return true;
    }

    void ReleaseMixer()
    {
        if (m_mixerUsers == 0 || --m_mixerUsers > 0) return;
        HaltMusic();
        Mix_HaltChannel(-1);
        m_owner.fill(0);
        Mix_HookMusicFinished(nullptr);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool HasEffectDevice(uint32_t device) const
    {
        return device != 0 && std::find(m_effectDevices.begin(), m_effectDevices.end(), device) != m_effectDevices.end();
    }

    uint32_t AddSound(uint32_t device, std::shared_ptr<SoundData> data)
    {
        uint32_t id = m_nextId++;
        Sound& s = m_sounds[id];
        s.id = id;
        s.device = device;
        s.data = std::move(data);
        return id;
    }

    Sound* Find(uint32_t sound)
    {
        auto it = m_sounds.find(sound);
        return it == m_sounds.end() ? nullptr : &it->second;
    }

    // A channel that finished may have been taken by another sound since; the
    // owner table says whose play the channel carries now.
    bool Playing(const Sound& s, uint32_t id) const
    {
        return s.channel >= 0 && m_owner[static_cast<size_t>(s.channel)] == id && Mix_Playing(s.channel) != 0;
    }

    void Halt(Sound& s)
    {
        if (s.channel >= 0 && m_owner[static_cast<size_t>(s.channel)] == s.id) {
            Mix_HaltChannel(s.channel);
            m_owner[static_cast<size_t>(s.channel)] = 0;
        }
        s.channel = -1;
    }

    bool Convert(SoundData& d)
    {
        if (!d.stale) return true;
        SDL_AudioCVT cvt;
        SDL_AudioFormat src = d.format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        int built = SDL_BuildAudioCVT(&cvt, src, static_cast<Uint8>(d.format.channels),
                                      static_cast<int>(d.format.samplesPerSec), m_mixFormat,
                                      static_cast<Uint8>(m_mixChannels), m_mixFreq);
        if (built < 0) return false;
        // Whole frames only: a ragged tail would upset the converter.
        size_t len = d.pcm.size() - d.pcm.size() % d.format.blockAlign;
        if (built == 0) {
            d.mixed.assign(d.pcm.begin(), d.pcm.begin() + static_cast<std::ptrdiff_t>(len));
        } else {
            d.mixed.assign(len * static_cast<size_t>(cvt.len_mult), 0);
            std::memcpy(d.mixed.data(), d.pcm.data(), len);
            cvt.buf = d.mixed.data();
            cvt.len = static_cast<int>(len);
            if (SDL_ConvertAudio(&cvt) != 0) return false;
            d.mixed.resize(static_cast<size_t>(cvt.len_cvt));
        }
        d.stale = false;
        return true;
    }

    // The start position in the mixer's samples, on a whole frame.
    uint32_t MixedOffset(const Sound& s) const
    {
        const WaveFormat& f = s.data->format;
        uint64_t frames = s.position / f.blockAlign;
        uint64_t mixFrame = static_cast<uint64_t>(SDL_AUDIO_BITSIZE(m_mixFormat) / 8) * static_cast<uint64_t>(m_mixChannels);
        uint64_t mixFrames = frames * static_cast<uint64_t>(m_mixFreq) / f.samplesPerSec;
        return static_cast<uint32_t>(std::min<uint64_t>(mixFrames * mixFrame, 0xFFFFFFFFu));
    }

    // Attenuation in hundredths of a decibel becomes an amplitude factor.
    static double Gain(int32_t hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

    void ApplyLevels(const Sound& s)
    {
        Mix_Volume(s.channel, static_cast<int>(std::lround(MIX_MAX_VOLUME * Gain(s.volume))));
        double left = s.pan > 0 ? Gain(-s.pan) : 1.0;
        double right = s.pan < 0 ? Gain(s.pan) : 1.0;
        Mix_SetPanning(s.channel, static_cast<Uint8>(std::lround(255 * left)), static_cast<Uint8>(std::lround(255 * right)));
    }

    bool FindTrackFile(int track, std::string& native)
    {
        if (track < 1 || track > 99) return false;
        char name[32];
        for (const char* ext : {".ogg", ".wav"}) {
            std::snprintf(name, sizeof name, "Music\\Track%02d%s", track, ext);
            std::string path = ProgramFolder() + name;
            if (FileExistsSjis(path)) {
                native = ToNativePath(path);
                return true;
            }
        }
        return false;
    }

    // Stops the music that plays now; its play gets its notification here
    // rather than from SDL's hook, which also fires on a halt and cannot tell
    // a stop from an end.
    void HaltMusic()
    {
        uint64_t play = m_currentPlay.exchange(0);
        if (m_music != nullptr) {
            Mix_HaltMusic();
            Mix_FreeMusic(m_music);
            m_music = nullptr;
        }
        m_musicDevice = 0;
        if (play != 0) m_ends.End(play);
    }

    int m_mixerUsers = 0;
    int m_mixFreq = 0;
    Uint16 m_mixFormat = 0;
    int m_mixChannels = 0;

    uint32_t m_nextId = 1;
    std::vector<uint32_t> m_effectDevices;
    std::map<uint32_t, Sound> m_sounds;
    std::array<uint32_t, kChannels> m_owner{};

    uint32_t m_nextMusicDevice = 1;
    std::set<uint32_t> m_musicDevices;
    Mix_Music* m_music = nullptr;
    uint32_t m_musicDevice = 0;
    std::atomic<uint64_t> m_currentPlay{0};
    MusicEndQueue m_ends;
};

}  // namespace

std::unique_ptr<AudioBackend> CreateSdlAudioBackend()
{
    return std::make_unique<SdlAudioBackend>();
}

}  // namespace platform
