#pragma once
// The font of every window of the program.

namespace tarnwick {

// Makes an installed CJK font (WenQuanYi Micro Hei or Noto Sans CJK) at 12 pixels the
// application's font: file names and the Chinese captions need one. Without such a
// font Qt's default stays.
void UseProgramFont();

}  // namespace tarnwick
