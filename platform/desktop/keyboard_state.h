#pragma once
// The state of the modifier keys at the moment of the call.

namespace tarnwick {

// True while a Ctrl key is held down, asked of the window system now (not taken from
// the last input event, which may be old during a long loop).
bool IsCtrlHeld();

}  // namespace tarnwick
