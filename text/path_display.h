#pragma once
// File paths as the program shows them. Paths are the raw bytes the file system gave;
// names that are not UTF-8 mostly come from legacy Chinese archives in GBK.

#include <string>
#include <string_view>

namespace tarnwick {

// The UTF-8 text shown for path bytes: each "/"-separated part as itself when it is
// UTF-8, else decoded as GB18030 when it decodes cleanly that way, else with U+FFFD in
// place of each sequence that is not UTF-8. For showing only: file operations keep
// using the bytes.
std::string PathDisplayUtf8(std::string_view bytes);

}  // namespace tarnwick
