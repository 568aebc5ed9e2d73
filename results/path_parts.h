#pragma once
// The two halves of a path as the result list splits it.

#include <string>
#include <string_view>

namespace tarnwick {

// The text after the last "/"; the whole path when it holds none.
std::string FileNamePart(std::string_view path);

// The folder holding `path` as a path to open: the text before the last "/", "/" for a
// file in the root and "." for a bare name.
std::string ContainingFolder(std::string_view path);

}  // namespace tarnwick
