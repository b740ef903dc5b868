#pragma once
// Real keys for the test players: pressed on the X server, so they take the
// same way as a player's keys (through the toolkit's key handling, the
// accelerators and the dialogs' own buttons).

namespace platform {

// Presses and releases key (a wx key code; letters in either case) with the
// modifiers (wxMOD_CONTROL, wxMOD_ALT, wxMOD_SHIFT) held, in the program's
// topmost shown window, which gets the keyboard first, as a desktop gives
// it to the newest window. False when no window of the program is shown or
// the key is unknown.
bool PressKeyInTopWindow(int key, int modifiers = 0);

}  // namespace platform
