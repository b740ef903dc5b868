#include "platform/core/AudioBackend.h"

#include <atomic>

namespace platform {
namespace {

NullAudioBackend g_null;
std::atomic<AudioBackend*> g_backend{&g_null};

}  // namespace

bool IsPlayableFormat(const WaveFormat& f)
{
    if (f.formatTag != kWaveFormatPcm) return false;
    if (f.channels < 1 || f.channels > 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.samplesPerSec < 1000 || f.samplesPerSec > 192000) return false;
    return f.blockAlign == f.channels * f.bitsPerSample / 8;
}

const char* MediaErrorText(int error)
{
    switch (error) {
    case kMediaNoDevice: return "音声装置を開けません。";
    case kMediaNoTrackFile: return "音楽トラックのファイルが見つかりません。";
    case kMediaCannotPlay: return "このファイルは再生できません。";
    case kMediaBadDevice: return "装置が開かれていません。";
    case kMediaCannotOpenMovie: return "ムービーを開けません。";
    default: return nullptr;
    }
}

AudioBackend& Audio()
{
    return *g_backend.load(std::memory_order_acquire);
}

void SetAudio(AudioBackend* backend)
{
    g_backend.store(backend ? backend : &g_null, std::memory_order_release);
}

uint64_t MusicEndQueue::Start(uint32_t device, MusicNotify notify)
{
    std::lock_guard lock(m_mutex);
    uint64_t play = m_nextPlay++;
    m_running.emplace(play, Play{device, std::move(notify)});
    return play;
}

bool MusicEndQueue::End(uint64_t play)
{
    std::function<void()> wake;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_running.find(play);
        if (it == m_running.end()) return false;
        m_due.push_back(std::move(it->second));
        m_running.erase(it);
        wake = m_wake;
    }
    if (wake) wake();
    return true;
}

void MusicEndQueue::Cancel(uint64_t play)
{
    std::lock_guard lock(m_mutex);
    m_running.erase(play);
}

size_t MusicEndQueue::Deliver()
{
    std::vector<Play> due;
    {
        std::lock_guard lock(m_mutex);
        due.swap(m_due);
    }
    // Outside the lock: a notification may start the next play at once.
    for (auto& p : due) {
        if (p.notify) p.notify(p.device);
    }
    return due.size();
}

void MusicEndQueue::SetWakeHook(std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_wake = std::move(hook);
}

}  // namespace platform
