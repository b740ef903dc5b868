#pragma once
// The sound device on SDL2_mixer. A program makes one, installs it with
// platform::SetAudio and gives it a wake hook that posts DeliverPending to
// the UI thread (wx: wxTheApp->CallAfter), so every "ended" notification of
// a music play runs on the UI thread.

#include <memory>

#include "platform/core/AudioBackend.h"

namespace platform {

// Effects on 16 mixing channels; music from "Music\TrackNN.ogg" or ".wav" in
// the program folder. The mixer opens with the first effects or music device
// and closes with the last, so the device is really free while none is open
// (a movie player may need it). Only one may exist at a time: SDL_mixer's
// music-finished hook carries no context.
std::unique_ptr<AudioBackend> CreateSdlAudioBackend();

}  // namespace platform
