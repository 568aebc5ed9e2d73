#pragma once
// The two forms text takes inside the program.

namespace tarnwick {

// The program's GB18030 text (decoded file content, patterns of the content filter), or
// UTF-8 (file names, window texts, what the regular-expression engine matches).
enum class TextForm { Gb18030, Utf8 };

}  // namespace tarnwick
