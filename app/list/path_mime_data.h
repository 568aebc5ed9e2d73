#pragma once
// Paths handed to other programs, on the clipboard or by dragging rows out of the list.

#include <string>
#include <vector>

class QMimeData;

namespace tarnwick {

// The paths as plain text (as the window shows them, joined by CR LF, none after the
// last) and as text/uri-list, each path a file URL with its raw bytes percent-encoded,
// so a file manager reaches names that are not UTF-8 as they are. The caller owns the
// result.
QMimeData* NewPathMimeData(const std::vector<std::string>& paths);

}  // namespace tarnwick
