#pragma once
// The small device functions behind the music: open a music device, play one
// track with an end notification, show a device error, and the status text of
// a track. Music track n is the file "Music\TrackNN" (.ogg or .wav) in the
// program folder; callers still count in disc tracks, where music track n is
// disc track n + 1 (the first disc track held the game's data).

#include <cstdint>
#include <string>

#include "platform/core/AudioBackend.h"

namespace zrv {

// A box with the error's text; nothing for 0 or an error without a text.
void ShowMCIError(int error);

// Opens a music device: the error in the low 16 bits (0 = success), the
// device id in the high 16 bits.
uint32_t OpenCDDevice();
// Plays disc track discTrack (music track discTrack - 1) once on device, with
// notify called once when that play ends. On an error the device is closed.
int PlayCDDeviceTrack(platform::MusicNotify notify, uint32_t device, int discTrack);

// Where the track facts come from; each answer is 0 or a device error.
class CDTrackInfo {
public:
    virtual ~CDTrackInfo() = default;
    virtual int NumberOfTracks(int& count) const = 0;
    // Where the track starts, in minutes and seconds from the beginning.
    virtual int TrackStart(int track, int& minutes, int& seconds) const = 0;
};

// " 3/12 - 04:05": the track, the number of tracks and where the track
// starts. Returns 0, or the provider's error with out left empty.
int FormatCDAudioStatus(int track, std::string& out, const CDTrackInfo& info);

}  // namespace zrv
