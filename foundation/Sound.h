#pragma once
// The sound side of a main view: 16 effect slots on one sound device, and one
// music track at a time, repeated until stopped. Each main view owns one
// ViewSound and hands it its display option word and its state word, which
// other code tests too (music playing, repeat).

#include <array>
#include <cstdint>
#include <memory>

#include "foundation/DirectSound.h"

namespace zrv {

// Bits of the view's display option word.
inline constexpr uint32_t kOptionSoundEffects = 0x00040000;
inline constexpr uint32_t kOptionMusic = 0x00080000;
// Bits of the view's state word.
inline constexpr uint32_t kStateCDPlaying = 0x00080000;
inline constexpr uint32_t kStateCDRepeat = 0x00100000;

inline constexpr int kEffectSlots = 16;
// Every effect buffer can change frequency, pan and volume and is loaded whole.
inline constexpr uint32_t kEffectBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
static_assert(kEffectBufferFlags == 0xE2);

// The text of the box for an effect file that cannot be loaded.
inline constexpr const char* kCantLoadWave = "Can't load Weve file !";

class ViewSound {
public:
    // The menu view remembers a requested track even while music is off.
    enum class Kind { Battle, Menu };

    ViewSound(const uint32_t& option, uint32_t& state, Kind kind = Kind::Battle);
    ~ViewSound();
    ViewSound(const ViewSound&) = delete;
    ViewSound& operator=(const ViewSound&) = delete;

    // Effects.
    void InitDirectSound(bool showError);
    void ReleaseDirectSound();
    // Plays effect index effect (an entry of WaveFileList) in slot (-1: the
    // lowest free one); returns the slot or -1.
    int PlaySE(int effect, int slot, int loop);
    int LoadSoundEffect(int effect, int slot);
    void PlayEffectSlot(int slot, int loop);
    void FreeSoundEffect(int slot);
    void FreeAllSoundEffects();

    // Music.
    void OpenCDAudio(bool showError);
    void CloseCDAudio();
    // 1 when the music has now stopped for good, else 0.
    int StopCDAudio(int countDown);
    // Plays music track track (1 = the first); 0 or a device error.
    int PlayCDTrack(int track, bool showError);
    // The end of one play on a music device; the view's notification handler.
    void OnMCINotify(uint32_t device);

    bool SoundReady() const { return m_bSoundReady != 0; }
    const CDirectSound* DirectSound() const { return m_pDirectSound.get(); }
    const CDSBuffer* EffectSlot(int slot) const;
    bool CDOpen() const { return m_bCDOpen != 0; }
    int CDTrack() const { return m_nCDTrack; }
    int CDPlayCount() const { return m_nCDPlayCount; }
    uint32_t CDDevice() const { return m_nCDDevice; }

private:
    static bool ValidSlot(int slot) { return slot >= 0 && slot < kEffectSlots; }

    const uint32_t& m_dwOption;
    uint32_t& m_dwState;
    Kind m_kind;

    int m_bSoundReady = 0;
    std::unique_ptr<CDirectSound> m_pDirectSound;
    std::array<std::unique_ptr<CDSBuffer>, kEffectSlots> m_pEffectSlot;

    int m_bCDOpen = 0;
    int m_nCDTrack = 0;
    int m_nCDPlayCount = 0;
    uint32_t m_nCDDevice = 0;

    // Notifications still queued when the view goes must not reach it.
    std::shared_ptr<ViewSound*> m_self;
};

}  // namespace zrv
