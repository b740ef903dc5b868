#pragma once
// Plays one opened movie: a worker thread decodes ahead into a bounded queue
// of pictures and feeds the sound stream; the UI thread asks for the newest
// picture that is due and whether the movie is over. The sound stream's
// progress is the clock while there is sound, a steady clock otherwise (and
// once the sound has run out). The worker never touches a window.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/core/AudioBackend.h"
#include "platform/media/MovieDecoder.h"

namespace platform::media {

class MoviePlayer {
public:
    using Clock = std::chrono::steady_clock;

    // sound may be null: the movie plays silent on the steady clock. now
    // gives the time (tests pass their own).
    MoviePlayer(std::unique_ptr<MovieDecoder> decoder, std::unique_ptr<PcmStream> sound,
                std::function<Clock::time_point()> now = &Clock::now);
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    const MovieInfo& Info() const { return m_decoder->Info(); }
    // Before Start: the pictures' format and size.
    bool SetVideoOutput(PixelFormat format, int width, int height);

    // Starts (or goes on after the end: then it is over at once).
    void Start();
    // Stops the worker and waits for it; the position is kept.
    void Stop();
    // Stops and goes back to the start; false when the file cannot.
    bool Rewind();
    void Pause(bool paused);
    bool Running() const { return m_worker.joinable(); }

    // UI thread: the newest picture due by now, or null when none is new.
    std::shared_ptr<const VideoFrame> DueFrame();
    // UI thread: every picture shown and every sound played.
    bool Over();
    // Seconds into the movie.
    double Position();
    // Why the movie ended early, if it did.
    std::string Failure();

    // Pictures decoded ahead at most.
    static constexpr size_t kQueuedPictures = 6;

private:
    void Work();
    bool SoundLive();
    double PositionLocked();

    std::unique_ptr<MovieDecoder> m_decoder;
    std::unique_ptr<PcmStream> m_sound;
    std::function<Clock::time_point()> m_now;
    int m_soundRate = 0;

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::shared_ptr<VideoFrame>> m_frames;
    bool m_stop = false;
    bool m_decoded = false;  // the decoder has given its End
    std::string m_failure;
    std::thread m_worker;

    // Clock: a steady base, taken over by the sound while it plays.
    double m_base = 0;
    Clock::time_point m_anchor;
    bool m_paused = false;
    bool m_started = false;
    double m_soundStart = -1;  // movie time of the first sound fed
    uint64_t m_soundPlayedAtStart = 0;
    double m_lastTime = 0;  // of the last picture handed out
    double m_frameLength = 1.0 / 15;
};

}  // namespace platform::media
