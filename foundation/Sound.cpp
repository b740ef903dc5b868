#include "foundation/Sound.h"

#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "foundation/Music.h"
#include "platform/core/Paths.h"

namespace zrv {

// The data library's message for "no sound device".
constexpr int kNoSoundDeviceMessage = 25;

ViewSound::ViewSound(const uint32_t& option, uint32_t& state, Kind kind)
    : m_dwOption(option), m_dwState(state), m_kind(kind), m_self(std::make_shared<ViewSound*>(this))
{
}

ViewSound::~ViewSound()
{
    m_self.reset();
    // Quietly: a box while the view goes away helps no one.
    if (m_bCDOpen) platform::Audio().CloseMusic(m_nCDDevice);
    ReleaseDirectSound();
}

// ---- effects ---------------------------------------------------------------

void ViewSound::InitDirectSound(bool showError)
{
    // A second init without a release would strand the first device.
    ReleaseDirectSound();
    m_bSoundReady = 1;
    m_pDirectSound = std::make_unique<CDirectSound>();
    if (!m_pDirectSound->Create()) {
        if (showError) Dialogs().MessageBox(ErrorText(kNoSoundDeviceMessage), kBoxOk);
        m_bSoundReady = 0;
        // Not kept: ReleaseDirectSound only looks at a ready device, so a
        // failed one would be left behind at every retry.
        m_pDirectSound.reset();
    }
}

void ViewSound::ReleaseDirectSound()
{
    if (!m_bSoundReady) return;
    m_bSoundReady = 0;
    // The device first: it resets the slot buffers, whose sounds end with it.
    m_pDirectSound.reset();
    for (auto& slot : m_pEffectSlot) slot.reset();
}

int ViewSound::PlaySE(int effect, int slot, int loop)
{
    if (!m_bSoundReady || (m_dwOption & kOptionSoundEffects) == 0) return -1;
    int s = LoadSoundEffect(effect, slot);
    if (s >= 0) PlayEffectSlot(s, loop);
    return s;
}

int ViewSound::LoadSoundEffect(int effect, int slot)
{
    if (!m_bSoundReady || (m_dwOption & kOptionSoundEffects) == 0) return -1;
    // Both numbers come from data tables and notifications: one outside the
    // sound list or the slots is refused before anything is touched.
    const auto& list = Lib().WaveFileList;
    if (effect < 0 || static_cast<size_t>(effect) >= list.size()) return -1;
    if (slot < -1 || slot >= kEffectSlots) return -1;

    if (slot == -1) {
        for (int i = 0; i < kEffectSlots; ++i) {
            if (!m_pEffectSlot[static_cast<size_t>(i)]) {
                slot = i;
                break;
            }
        }
        if (slot == -1) return -1;
    } else {
        FreeSoundEffect(slot);
    }

    const CDSBuffer* same = nullptr;
    for (const auto& b : m_pEffectSlot) {
        if (b && b->GetId() == effect) {
            same = b.get();
            break;
        }
    }

    auto buffer = std::make_unique<CDSBuffer>();
    if (same != nullptr) {
        // The data is shared: no file is read again.
        if (!buffer->Duplicate(m_pDirectSound.get(), *same)) return -1;
    } else {
        const char* name = list[static_cast<size_t>(effect)].name;
        std::string path = platform::ProgramFolder() + (name ? name : "") + ".WAV";
        if (name == nullptr || !buffer->LoadFile(m_pDirectSound.get(), path, effect, kEffectBufferFlags)) {
            Dialogs().MessageBox(kCantLoadWave, kBoxOk);
            return -1;
        }
    }
    m_pEffectSlot[static_cast<size_t>(slot)] = std::move(buffer);
    return slot;
}

void ViewSound::PlayEffectSlot(int slot, int loop)
{
    if (!ValidSlot(slot)) return;
    CDSBuffer* b = m_pEffectSlot[static_cast<size_t>(slot)].get();
    if (b == nullptr) return;
    uint32_t status = 0;
    b->GetStatus(status);
    // A sound still playing goes on; only a silent one starts from the top.
    if ((status & DSBSTATUS_PLAYING) == 0) b->SetCurrentPosition(0);
    b->Play(loop != 0 ? DSBPLAY_LOOPING : 0);
}

void ViewSound::FreeSoundEffect(int slot)
{
    if (!ValidSlot(slot)) return;
    auto& b = m_pEffectSlot[static_cast<size_t>(slot)];
    if (!b) return;
    b->Stop();
    b.reset();
}

void ViewSound::FreeAllSoundEffects()
{
    for (int i = 0; i < kEffectSlots; ++i) FreeSoundEffect(i);
}

const CDSBuffer* ViewSound::EffectSlot(int slot) const
{
    return ValidSlot(slot) ? m_pEffectSlot[static_cast<size_t>(slot)].get() : nullptr;
}

// ---- music -----------------------------------------------------------------

void ViewSound::OpenCDAudio(bool showError)
{
    uint32_t r = OpenCDDevice();
    int error = static_cast<int>(r & 0xFFFFu);
    if (error == 0) {
        m_bCDOpen = 1;
        m_nCDDevice = r >> 16;
        return;
    }
    m_bCDOpen = 0;
    m_nCDTrack = 0;
    m_nCDDevice = 0;
    if (showError) ShowMCIError(error);
}

void ViewSound::CloseCDAudio()
{
    if (!m_bCDOpen) return;
    m_nCDPlayCount = 0;
    StopCDAudio(0);
    m_nCDPlayCount = 0;
    m_bCDOpen = 0;
    platform::Audio().CloseMusic(m_nCDDevice);
    m_nCDTrack = 0;
    m_nCDDevice = 0;
}

int ViewSound::StopCDAudio(int countDown)
{
    if ((m_dwState & kStateCDPlaying) == 0) return 0;
    if (int error = platform::Audio().StopMusic(m_nCDDevice); error != 0) {
        ShowMCIError(error);
        return 0;
    }
    if (countDown && m_nCDPlayCount > 0) --m_nCDPlayCount;
    if (m_nCDPlayCount == 0) {
        m_dwState &= ~kStateCDPlaying;
        return 1;
    }
    return 0;
}

int ViewSound::PlayCDTrack(int track, bool showError)
{
    if (m_kind == Kind::Menu) m_nCDTrack = track;
    if (track < 1 || (m_dwOption & kOptionMusic) == 0) return 0;
    if (!m_bCDOpen) {
        OpenCDAudio(false);
        if (!m_bCDOpen) return 0;
    }
    StopCDAudio(0);
    std::weak_ptr<ViewSound*> self = m_self;
    auto notify = [self](uint32_t device) {
        if (auto alive = self.lock()) (*alive)->OnMCINotify(device);
    };
    int error = PlayCDDeviceTrack(notify, m_nCDDevice, track + 1);
    if (error == 0) {
        m_nCDTrack = track;
        m_dwState |= kStateCDPlaying | kStateCDRepeat;
        ++m_nCDPlayCount;
        return 0;
    }
    if (showError) ShowMCIError(error);
    // The failed play closed the device and with it any play still running:
    // nothing plays now, and a stop sent to the closed device would only
    // raise a second box that nobody asked for.
    m_dwState &= ~kStateCDPlaying;
    CloseCDAudio();
    return error;
}

void ViewSound::OnMCINotify(uint32_t device)
{
    // Only the open device counts: a device closed since then had its plays
    // forgotten with it.
    if (!m_bCDOpen || device != m_nCDDevice || m_nCDPlayCount <= 0) return;
    if (--m_nCDPlayCount > 0) return;  // a play cut short by a newer one
    if ((m_dwState & kStateCDRepeat) != 0 && m_bCDOpen) {
        if (m_nCDTrack != 0) {
            PlayCDTrack(m_nCDTrack, false);
        } else {
            CloseCDAudio();
        }
    } else {
        CloseCDAudio();
    }
}

}  // namespace zrv
