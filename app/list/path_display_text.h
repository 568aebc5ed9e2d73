#pragma once
// File paths as the window shows them (PathDisplayUtf8).

#include <QString>
#include <string_view>

namespace tarnwick {

// The window's text for path bytes: UTF-8 parts as themselves, parts that decode
// cleanly as GB18030 decoded that way, the rest with replacement characters.
QString PathDisplayText(std::string_view bytes);

}  // namespace tarnwick
