#include "platform/wx/MediaMovies.h"

#include "platform/core/AudioBackend.h"

namespace platform {

struct MediaMovies::Device {
    uint32_t id = 0;
    std::unique_ptr<MovieSink> sink;
    std::unique_ptr<media::MoviePlayer> player;
    zrv::MovieNotify notify;
    uint64_t play = 0;  // counts the plays, so a wait knows its own
    bool playing = false;
    bool waiting = false;  // a play with wait runs its loop
    bool endedInWait = false;
    bool outputSet = false;
};

MediaMovies::MediaMovies(MovieHost& host) : m_host(host) {}

MediaMovies::~MediaMovies()
{
    *m_alive = false;
    if (m_ticking) m_host.StopTicks();
    m_devices.clear();
}

bool MediaMovies::CanOpen(std::string_view sjisPath)
{
    return media::MovieDecoder::Open(sjisPath) != nullptr;
}

uint32_t MediaMovies::Open(void* parent, std::string_view sjisPath, int& error)
{
    auto decoder = media::MovieDecoder::Open(sjisPath);
    if (!decoder) {
        error = kMediaCannotOpenMovie;
        return 0;
    }
    // Device ids travel in the high 16 bits of a result; 0 is "none".
    uint32_t id = 0;
    for (int tries = 0; tries < 0xFFFF && id == 0; ++tries) {
        const uint32_t candidate = m_nextId;
        m_nextId = m_nextId >= 0xFFFF ? 1 : m_nextId + 1;
        if (m_devices.find(candidate) == m_devices.end()) id = candidate;
    }
    if (id == 0) {
        error = kMediaNoDevice;
        return 0;
    }
    // The caller has let the sound device go for the movie.
    std::unique_ptr<PcmStream> sound;
    if (decoder->Info().hasSound) sound = Audio().OpenStream(decoder->Info().soundRate);
    auto device = std::make_unique<Device>();
    device->id = id;
    device->player = std::make_unique<media::MoviePlayer>(std::move(decoder), std::move(sound));
    device->sink = m_host.MakeSink(parent);
    if (!device->sink) {
        error = kMediaCannotOpenMovie;
        return 0;
    }
    m_devices[id] = std::move(device);
    error = kMediaOk;
    return id;
}

MediaMovies::Device* MediaMovies::Find(uint32_t device)
{
    auto it = m_devices.find(device);
    return it == m_devices.end() ? nullptr : it->second.get();
}

int MediaMovies::SourceSize(uint32_t device, int& width, int& height)
{
    Device* d = Find(device);
    if (d == nullptr) {
        width = height = 0;
        return kMediaBadDevice;
    }
    width = d->player->Info().width;
    height = d->player->Info().height;
    return kMediaOk;
}

int MediaMovies::Place(uint32_t device, const zrv::MovieRect& rect)
{
    Device* d = Find(device);
    if (d == nullptr) return kMediaBadDevice;
    d->sink->Place(rect);
    return kMediaOk;
}

int MediaMovies::Play(uint32_t device, zrv::MovieNotify notify, bool fullScreen, bool wait)
{
    Device* d = Find(device);
    if (d == nullptr) return kMediaBadDevice;
    d->sink->SetFullScreen(fullScreen);
    if (!d->outputSet && !d->player->Running()) {
        int w = 0, h = 0;
        d->sink->TargetSize(w, h);
        if (w <= 0 || h <= 0 || w > media::kMaxMovieSide || h > media::kMaxMovieSide) w = h = 0;
        if (!d->player->SetVideoOutput(d->sink->Format(), w, h)) return kMediaCannotPlay;
        d->outputSet = true;
    }
    // A play still running is superseded: only the new one is announced.
    d->notify = std::move(notify);
    d->playing = true;
    d->endedInWait = false;
    const uint64_t play = ++d->play;
    d->sink->Show(true);
    d->player->Start();
    UpdateTicks();
    if (!wait) return kMediaOk;

    d->waiting = true;
    m_host.RunUntil([this, device, play] {
        Device* x = Find(device);
        return x == nullptr || x->play != play || !x->playing;
    });
    d = Find(device);
    if (d == nullptr || d->play != play) return kMediaOk;  // closed or replayed meanwhile
    d->waiting = false;
    if (d->endedInWait) {
        // The end is announced after the call has returned, as for any play.
        d->endedInWait = false;
        std::weak_ptr<bool> alive = m_alive;
        zrv::MovieNotify n = std::move(d->notify);
        d->notify = nullptr;
        if (n)
            m_host.Post([alive, n, device] {
                if (auto a = alive.lock(); a && *a) n(device);
            });
    }
    return kMediaOk;
}

int MediaMovies::Rewind(uint32_t device)
{
    Device* d = Find(device);
    if (d == nullptr) return kMediaBadDevice;
    // A seek stops the play without an end notice.
    d->playing = false;
    d->notify = nullptr;
    const bool ok = d->player->Rewind();
    UpdateTicks();
    return ok ? kMediaOk : kMediaCannotPlay;
}

void MediaMovies::Close(uint32_t device)
{
    auto it = m_devices.find(device);
    if (it == m_devices.end()) return;
    // The player joins its worker before the window goes.
    std::unique_ptr<Device> d = std::move(it->second);
    m_devices.erase(it);
    d->player.reset();
    d->sink.reset();
    UpdateTicks();
}

int MediaMovies::Pause(uint32_t device, bool paused)
{
    Device* d = Find(device);
    if (d == nullptr) return kMediaBadDevice;
    d->player->Pause(paused);
    return kMediaOk;
}

void MediaMovies::PauseAll(bool paused)
{
    for (auto& [id, d] : m_devices)
        if (d->playing) d->player->Pause(paused);
}

void MediaMovies::UpdateTicks()
{
    bool any = false;
    for (auto& [id, d] : m_devices) any = any || d->playing;
    if (any && !m_ticking) {
        m_ticking = true;
        m_host.StartTicks([this] { Tick(); });
    } else if (!any && m_ticking) {
        m_ticking = false;
        m_host.StopTicks();
    }
}

void MediaMovies::Tick()
{
    std::vector<uint32_t> ended;
    for (auto& [id, d] : m_devices) {
        if (!d->playing) continue;
        if (auto frame = d->player->DueFrame()) d->sink->Present(std::move(frame));
        if (d->player->Over()) ended.push_back(id);
    }
    for (uint32_t id : ended) {
        Device* d = Find(id);
        if (d == nullptr || !d->playing) continue;
        d->playing = false;
        d->player->Stop();
        if (d->waiting) {
            d->endedInWait = true;
            continue;
        }
        zrv::MovieNotify n = std::move(d->notify);
        d->notify = nullptr;
        std::weak_ptr<bool> alive = m_alive;
        if (n)
            m_host.Post([alive, n, id] {
                if (auto a = alive.lock(); a && *a) n(id);
            });
    }
    UpdateTicks();
}

}  // namespace platform
