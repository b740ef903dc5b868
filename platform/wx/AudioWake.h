#pragma once
// Runs the sound device's notifications on the UI thread of a wx program.
// The device may report the end of a music play from its own thread; the
// wake hook only posts a call, and the notification itself (which may start
// the next play or close the device) runs in the event loop like any other.
//
// Call once after installing the backend, and clear the hook
// (backend.SetWakeHook(nullptr)) before the backend or the application goes.

#include <wx/app.h>

#include "platform/core/AudioBackend.h"

namespace platform {

inline void DeliverAudioOnUiThread(AudioBackend& backend)
{
    backend.SetWakeHook([&backend] {
        // CallAfter queues an event and is safe from any thread.
        if (wxTheApp != nullptr) wxTheApp->CallAfter([&backend] { backend.DeliverPending(); });
    });
}

}  // namespace platform
