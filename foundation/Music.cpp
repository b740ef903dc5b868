#include "foundation/Music.h"

#include "foundation/DialogService.h"
#include "platform/core/Format.h"

namespace zrv {

void ShowMCIError(int error)
{
    if (error == 0) return;
    const char* text = platform::MediaErrorText(error);
    if (text == nullptr) return;
    Dialogs().MessageBox(text, kBoxOk);
}

uint32_t OpenCDDevice()
{
    int error = platform::kMediaOk;
    uint32_t device = platform::Audio().OpenMusic(error);
    if (device == 0) return static_cast<uint32_t>(error == 0 ? platform::kMediaNoDevice : error) & 0xFFFFu;
    return (device & 0xFFFFu) << 16;
}

int PlayCDDeviceTrack(platform::MusicNotify notify, uint32_t device, int discTrack)
{
    auto& audio = platform::Audio();
    int error = audio.PlayMusicTrack(device, discTrack - 1, std::move(notify));
    if (error != 0) audio.CloseMusic(device);
    return error;
}

int FormatCDAudioStatus(int track, std::string& out, const CDTrackInfo& info)
{
    out.clear();
    int count = 0;
    int minutes = 0;
    int seconds = 0;
    if (int error = info.NumberOfTracks(count); error != 0) return error;
    if (int error = info.TrackStart(track, minutes, seconds); error != 0) return error;
    out = platform::FormatText("%2d/%2d - %02d:%02d", {track, count, minutes, seconds});
    return 0;
}

}  // namespace zrv
