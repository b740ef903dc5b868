#include "platform/media/MoviePlayer.h"

#include <algorithm>

namespace platform::media {

MoviePlayer::MoviePlayer(std::unique_ptr<MovieDecoder> decoder, std::unique_ptr<PcmStream> sound,
                         std::function<Clock::time_point()> now)
    : m_decoder(std::move(decoder)), m_sound(std::move(sound)), m_now(std::move(now))
{
    if (m_decoder->Info().frameRate > 0) m_frameLength = 1.0 / m_decoder->Info().frameRate;
    if (m_sound) {
        if (m_decoder->Info().hasSound && m_decoder->SetSoundOutput(m_sound->Rate())) {
            m_soundRate = m_sound->Rate();
            m_sound->Pause(true);
        } else {
            m_sound.reset();
        }
    }
}

MoviePlayer::~MoviePlayer()
{
    Stop();
}

bool MoviePlayer::SetVideoOutput(PixelFormat format, int width, int height)
{
    if (Running()) return false;
    return m_decoder->SetVideoOutput(format, width, height);
}

void MoviePlayer::Start()
{
    if (Running()) return;
    std::lock_guard<std::mutex> g(m_mutex);
    m_stop = false;
    m_started = true;
    m_anchor = m_now();
    if (m_sound && !m_paused) m_sound->Pause(false);
    if (!m_decoded) m_worker = std::thread([this] { Work(); });
}

void MoviePlayer::Stop()
{
    {
        std::lock_guard<std::mutex> g(m_mutex);
        m_stop = true;
    }
    m_cv.notify_all();
    if (m_worker.joinable()) m_worker.join();
    std::lock_guard<std::mutex> g(m_mutex);
    if (m_started) {
        // The position is kept for a later start.
        const double at = PositionLocked();
        m_base = at;
        m_started = false;
    }
    if (m_sound) m_sound->Pause(true);
}

bool MoviePlayer::Rewind()
{
    Stop();
    std::lock_guard<std::mutex> g(m_mutex);
    m_frames.clear();
    m_decoded = false;
    m_failure.clear();
    m_base = 0;
    m_soundStart = -1;
    m_lastTime = 0;
    if (m_sound) m_sound->Clear();
    if (!m_decoder->Rewind()) {
        m_decoded = true;
        m_failure = m_decoder->Failure();
        return false;
    }
    return true;
}

void MoviePlayer::Pause(bool paused)
{
    std::lock_guard<std::mutex> g(m_mutex);
    if (paused == m_paused) return;
    if (m_started) {
        m_base = PositionLocked();
        m_anchor = m_now();
    }
    m_paused = paused;
    if (m_sound) m_sound->Pause(paused || !m_started);
}

bool MoviePlayer::SoundLive()
{
    return m_sound && m_soundStart >= 0 && m_sound->QueuedFrames() > 0;
}

double MoviePlayer::Position()
{
    std::lock_guard<std::mutex> g(m_mutex);
    return PositionLocked();
}

double MoviePlayer::PositionLocked()
{
    if (!m_started || m_paused) return m_base;
    const Clock::time_point now = m_now();
    double at = m_base + std::chrono::duration<double>(now - m_anchor).count();
    if (SoundLive()) {
        const double heard =
            m_soundStart + static_cast<double>(m_sound->PlayedFrames() - m_soundPlayedAtStart) / m_soundRate;
        // Never backwards: the steady clock may have run on while the sound
        // waited for the decoder.
        at = std::max(heard, m_base);
    }
    m_base = at;
    m_anchor = now;
    return at;
}

std::shared_ptr<const VideoFrame> MoviePlayer::DueFrame()
{
    std::shared_ptr<VideoFrame> due;
    {
        std::lock_guard<std::mutex> g(m_mutex);
        const double at = PositionLocked();
        while (!m_frames.empty() && m_frames.front()->time <= at) {
            due = std::move(m_frames.front());
            m_frames.pop_front();
        }
        if (due) m_lastTime = due->time;
    }
    if (due) m_cv.notify_all();
    return due;
}

bool MoviePlayer::Over()
{
    std::lock_guard<std::mutex> g(m_mutex);
    if (!m_decoded || !m_frames.empty()) return false;
    if (m_sound && m_soundStart >= 0 && m_sound->QueuedFrames() > 0) return false;
    // The last picture stays up for its own length.
    return PositionLocked() >= m_lastTime + m_frameLength;
}

std::string MoviePlayer::Failure()
{
    std::lock_guard<std::mutex> g(m_mutex);
    return m_failure;
}

void MoviePlayer::Work()
{
    VideoFrame frame;
    SoundChunk sound;
    for (;;) {
        {
            std::lock_guard<std::mutex> g(m_mutex);
            if (m_stop) return;
        }
        const MovieDecoder::Item item = m_decoder->Next(frame, sound);
        if (item == MovieDecoder::Item::End) {
            std::lock_guard<std::mutex> g(m_mutex);
            m_decoded = true;
            m_failure = m_decoder->Failure();
            return;
        }
        if (item == MovieDecoder::Item::Video) {
            auto picture = std::make_shared<VideoFrame>(std::move(frame));
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [&] { return m_stop || m_frames.size() < kQueuedPictures; });
            if (m_stop) return;
            m_frames.push_back(std::move(picture));
            continue;
        }
        if (!m_sound) continue;
        // Half a second of sound ahead is plenty; more would only make a
        // pause or a stop lag.
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop && m_sound->QueuedFrames() > static_cast<size_t>(m_soundRate / 2))
            m_cv.wait_for(lock, std::chrono::milliseconds(5));
        if (m_stop) return;
        if (m_soundStart < 0) {
            m_soundStart = sound.time;
            m_soundPlayedAtStart = m_sound->PlayedFrames();
        }
        m_sound->Queue(sound.samples);
    }
}

}  // namespace platform::media
