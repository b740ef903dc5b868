#pragma once
// The sound device as the game sees it: effect sounds made from PCM data and
// played on up to 16 channels, and music tracks played one at a time from
// files, each play ending in exactly one "ended" notification. The headless
// layers talk only to this interface; the program installs the SDL2_mixer
// implementation (platform/audio), and until it does, the null backend
// answers that there is no device, which the game treats as a normal state.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// The head of a PCM wave format, decoded from its little-endian bytes.
struct WaveFormat {
    uint16_t formatTag = 0;  // 1 = PCM, the only kind played
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;  // bytes per sample frame over all channels
    uint16_t bitsPerSample = 0;
};

inline constexpr uint16_t kWaveFormatPcm = 1;

// PCM with 1 or 2 channels of 8 or 16 bits, a rate from 1,000 to 192,000 Hz
// and a frame size that matches: what every backend can play.
bool IsPlayableFormat(const WaveFormat& format);

// Errors of the music and movie devices (0 = none); MediaErrorText names them.
enum MediaError : int {
    kMediaOk = 0,
    kMediaNoDevice = 1,       // the sound device cannot be opened
    kMediaNoTrackFile = 2,    // no file for the music track
    kMediaCannotPlay = 3,     // the file is there but cannot be played
    kMediaBadDevice = 4,      // the device id is not an open device
    kMediaCannotOpenMovie = 5,
};
// The CP932 text of an error, or nullptr for 0 and unknown codes.
const char* MediaErrorText(int error);

// Effect-sound results of Write, as a sound card whose memory can be taken
// away would give them: Lost asks the caller to Restore and write once more.
enum class SoundWrite { Ok, Lost, Failed };

// A stream of 16-bit stereo PCM that plays as it is fed: a movie's sound. One
// thread may feed it while another reads how far it has played.
class PcmStream {
public:
    virtual ~PcmStream() = default;
    // Sample frames a second.
    virtual int Rate() const = 0;
    // Appends interleaved left, right samples; false when the device failed.
    virtual bool Queue(std::span<const int16_t> stereo) = 0;
    // Frames fed and not yet taken by the device.
    virtual size_t QueuedFrames() = 0;
    // Frames the device has taken since the stream opened: the movie's clock.
    virtual uint64_t PlayedFrames() = 0;
    virtual void Pause(bool paused) = 0;
    // Forgets what is queued (the played count stays).
    virtual void Clear() = 0;
};

// Called with the music device id when one play on it has ended.
using MusicNotify = std::function<void(uint32_t device)>;

class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Effects. A device id or sound id of 0 is "none". Sounds belong to the
    // device that made them and end with it.
    virtual uint32_t OpenEffects() = 0;
    virtual void CloseEffects(uint32_t device) = 0;
    // A silent sound of bytes bytes in format; 0 when the format cannot be
    // played or bytes is 0.
    virtual uint32_t CreateSound(uint32_t device, const WaveFormat& format, uint32_t bytes) = 0;
    // A second sound that shares the source's data but plays on its own.
    virtual uint32_t DuplicateSound(uint32_t device, uint32_t source) = 0;
    virtual void ReleaseSound(uint32_t sound) = 0;
    virtual SoundWrite WriteSound(uint32_t sound, uint32_t offset, std::span<const uint8_t> bytes) = 0;
    virtual bool RestoreSound(uint32_t sound) = 0;
    // Starts the sound at its position; a sound that plays already goes on.
    virtual bool PlaySound(uint32_t sound, bool loop) = 0;
    virtual bool StopSound(uint32_t sound) = 0;
    virtual bool IsSoundPlaying(uint32_t sound) = 0;
    // Where the next play starts, in bytes of the sound's data.
    virtual bool SetSoundPosition(uint32_t sound, uint32_t byteOffset) = 0;
    // Attenuation in hundredths of a decibel (0 full, -10,000 silent) and
    // balance (-10,000 left only, 0 centre, 10,000 right only).
    virtual bool SetSoundVolume(uint32_t sound, int32_t hundredthsDb) = 0;
    virtual bool SetSoundPan(uint32_t sound, int32_t pan) = 0;

    // Music. Every open gives a new device id, so a notification that arrives
    // after a close can never be taken for one of a later device.
    virtual uint32_t OpenMusic(int& error) = 0;
    virtual void CloseMusic(uint32_t device) = 0;
    // Plays music track n (the file "Music\TrackNN") once. A play still
    // running anywhere is superseded and gets its notification.
    virtual int PlayMusicTrack(uint32_t device, int track, MusicNotify notify) = 0;
    // Stops the device's play, which gets its notification; 0 or an error.
    virtual int StopMusic(uint32_t device) = 0;

    // Runs the notifications that are due, on the calling thread (the UI
    // thread). The wake hook is called, possibly from the sound thread, each
    // time one becomes due: the programs post a call of DeliverPending to
    // the UI thread from it; tests leave it unset and call DeliverPending.
    virtual void DeliverPending() = 0;
    virtual void SetWakeHook(std::function<void()> hook) = 0;

    // A movie's sound stream at rate, started and empty; nullptr when the
    // device cannot be had (the movie then plays silent). Callers release
    // their effects device first, so the stream gets the device the mixer
    // let go.
    virtual std::unique_ptr<PcmStream> OpenStream(int rate)
    {
        (void)rate;
        return nullptr;
    }
};

// The backend in use; the null backend until a program installs its own.
AudioBackend& Audio();
// Installs backend (not owned). nullptr goes back to the null backend.
void SetAudio(AudioBackend* backend);

// No sound device: every open fails, so the game takes its no-sound paths.
class NullAudioBackend : public AudioBackend {
public:
    uint32_t OpenEffects() override { return 0; }
    void CloseEffects(uint32_t) override {}
    uint32_t CreateSound(uint32_t, const WaveFormat&, uint32_t) override { return 0; }
    uint32_t DuplicateSound(uint32_t, uint32_t) override { return 0; }
    void ReleaseSound(uint32_t) override {}
    SoundWrite WriteSound(uint32_t, uint32_t, std::span<const uint8_t>) override { return SoundWrite::Failed; }
    bool RestoreSound(uint32_t) override { return false; }
    bool PlaySound(uint32_t, bool) override { return false; }
    bool StopSound(uint32_t) override { return false; }
    bool IsSoundPlaying(uint32_t) override { return false; }
    bool SetSoundPosition(uint32_t, uint32_t) override { return false; }
    bool SetSoundVolume(uint32_t, int32_t) override { return false; }
    bool SetSoundPan(uint32_t, int32_t) override { return false; }
    uint32_t OpenMusic(int& error) override
    {
        error = kMediaNoDevice;
        return 0;
    }
    void CloseMusic(uint32_t) override {}
    int PlayMusicTrack(uint32_t, int, MusicNotify) override { return kMediaBadDevice; }
    int StopMusic(uint32_t) override { return kMediaBadDevice; }
    void DeliverPending() override {}
    void SetWakeHook(std::function<void()>) override {}
};

// The bookkeeping behind "exactly one notification per started play", for
// backends: each play gets an id; End may be called for it any number of
// times, from any thread (natural end, stop, superseded), and queues the
// notification only the first time. Deliver runs the queued ones.
class MusicEndQueue {
public:
    uint64_t Start(uint32_t device, MusicNotify notify);
    // Queues the play's notification unless it was queued already; true when
    // it did. Calls the wake hook then (outside the lock).
    bool End(uint64_t play);
    // Forgets a play that never started: it gets no notification.
    void Cancel(uint64_t play);
    // Runs every queued notification on the calling thread; returns how many.
    size_t Deliver();
    void SetWakeHook(std::function<void()> hook);

private:
    struct Play {
        uint32_t device;
        MusicNotify notify;
    };
    std::mutex m_mutex;
    uint64_t m_nextPlay = 1;
    std::unordered_map<uint64_t, Play> m_running;
    std::vector<Play> m_due;
    std::function<void()> m_wake;
};

}  // namespace platform
