#pragma once
// A sound device that records what the game asks of it. Sounds "play" until
// stopped or ended by the test; music plays until the test ends the track.
// Notifications queue like the real backend's and run at DeliverPending.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/core/AudioBackend.h"

namespace testaudio {

class FakeAudio : public platform::AudioBackend {
public:
    struct Sound {
        uint32_t device = 0;
        std::shared_ptr<std::vector<uint8_t>> data;
        platform::WaveFormat format;
        bool playing = false;
        bool loop = false;
        uint32_t position = 0;
    };

    // Switches for failures.
    bool failEffects = false;
    bool failMusic = false;
    int failPlayError = 0;    // error of the next PlayMusicTrack calls
    int loseWrites = 0;       // this many writes answer Lost

    // Counters and logs.
    int opens = 0;
    int closes = 0;
    int creates = 0;
    int duplicates = 0;
    int positionSets = 0;
    std::vector<std::string> log;  // "create 3", "stop 3", "release 3" ...
    std::vector<int> tracksPlayed;
    std::map<uint32_t, Sound> sounds;
    std::set<uint32_t> effectDevices;
    std::set<uint32_t> musicDevices;

    uint32_t OpenEffects() override
    {
        if (failEffects) return 0;
        ++opens;
        uint32_t id = m_next++;
        effectDevices.insert(id);
        return id;
    }
    void CloseEffects(uint32_t device) override
    {
        if (!effectDevices.erase(device)) return;
        ++closes;
        for (auto it = sounds.begin(); it != sounds.end();) {
            it = it->second.device == device ? sounds.erase(it) : std::next(it);
        }
    }
    uint32_t CreateSound(uint32_t device, const platform::WaveFormat& format, uint32_t bytes) override
    {
        if (!effectDevices.count(device) || !platform::IsPlayableFormat(format) || bytes == 0) return 0;
        ++creates;
        uint32_t id = m_next++;
        sounds[id] = Sound{device, std::make_shared<std::vector<uint8_t>>(bytes), format};
        log.push_back("create " + std::to_string(id));
        return id;
    }
    uint32_t DuplicateSound(uint32_t device, uint32_t source) override
    {
        auto it = sounds.find(source);
        if (it == sounds.end() || !effectDevices.count(device)) return 0;
        ++duplicates;
        uint32_t id = m_next++;
        Sound copy = it->second;
        copy.device = device;
        copy.playing = false;
        copy.position = 0;
        sounds[id] = copy;
        log.push_back("duplicate " + std::to_string(id));
        return id;
    }
    void ReleaseSound(uint32_t sound) override
    {
        if (sounds.erase(sound)) log.push_back("release " + std::to_string(sound));
    }
    platform::SoundWrite WriteSound(uint32_t sound, uint32_t offset, std::span<const uint8_t> bytes) override
    {
        auto it = sounds.find(sound);
        if (it == sounds.end()) return platform::SoundWrite::Failed;
        if (loseWrites > 0) {
            --loseWrites;
            return platform::SoundWrite::Lost;
        }
        auto& d = *it->second.data;
        if (offset > d.size() || bytes.size() > d.size() - offset) return platform::SoundWrite::Failed;
        std::copy(bytes.begin(), bytes.end(), d.begin() + offset);
        return platform::SoundWrite::Ok;
    }
    bool RestoreSound(uint32_t sound) override { return sounds.count(sound) != 0; }
    bool PlaySound(uint32_t sound, bool loop) override
    {
        auto it = sounds.find(sound);
        if (it == sounds.end()) return false;
        if (!it->second.playing) log.push_back("play " + std::to_string(sound));
        it->second.playing = true;
        it->second.loop = loop;
        return true;
    }
    bool StopSound(uint32_t sound) override
    {
        auto it = sounds.find(sound);
        if (it == sounds.end()) return false;
        it->second.playing = false;
        log.push_back("stop " + std::to_string(sound));
        return true;
    }
    bool IsSoundPlaying(uint32_t sound) override
    {
        auto it = sounds.find(sound);
        return it != sounds.end() && it->second.playing;
    }
    bool SetSoundPosition(uint32_t sound, uint32_t offset) override
    {
        auto it = sounds.find(sound);
        if (it == sounds.end()) return false;
        ++positionSets;
        it->second.position = offset;
        return true;
    }
    bool SetSoundVolume(uint32_t sound, int32_t) override { return sounds.count(sound) != 0; }
    bool SetSoundPan(uint32_t sound, int32_t) override { return sounds.count(sound) != 0; }

    uint32_t OpenMusic(int& error) override
    {
        if (failMusic) {
            error = platform::kMediaNoDevice;
            return 0;
        }
        error = 0;
        uint32_t id = m_nextMusic++;
        musicDevices.insert(id);
        return id;
    }
    void CloseMusic(uint32_t device) override
    {
        if (!musicDevices.erase(device)) return;
        if (m_playDevice == device) Halt();
    }
    int PlayMusicTrack(uint32_t device, int track, platform::MusicNotify notify) override
    {
        if (!musicDevices.count(device)) return platform::kMediaBadDevice;
        if (failPlayError != 0) return failPlayError;
        Halt();
        tracksPlayed.push_back(track);
        m_play = m_ends.Start(device, std::move(notify));
        m_playDevice = device;
        return 0;
    }
    int StopMusic(uint32_t device) override
    {
        if (!musicDevices.count(device)) return platform::kMediaBadDevice;
        if (m_playDevice == device) Halt();
        return 0;
    }
    void DeliverPending() override { m_ends.Deliver(); }
    void SetWakeHook(std::function<void()> hook) override { m_ends.SetWakeHook(std::move(hook)); }

    // The track that plays now reaches its end.
    void EndTrack()
    {
        uint64_t play = m_play;
        m_play = 0;
        m_playDevice = 0;
        if (play != 0) m_ends.End(play);
    }
    bool MusicPlaying() const { return m_play != 0; }

    int PlayingSounds() const
    {
        int n = 0;
        for (auto& [id, s] : sounds) n += s.playing ? 1 : 0;
        return n;
    }

private:
    void Halt()
    {
        uint64_t play = m_play;
        m_play = 0;
        m_playDevice = 0;
        if (play != 0) m_ends.End(play);
    }

    uint32_t m_next = 1;
    uint32_t m_nextMusic = 100;
    uint64_t m_play = 0;
    uint32_t m_playDevice = 0;
    platform::MusicEndQueue m_ends;
};

}  // namespace testaudio
