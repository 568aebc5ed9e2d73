#pragma once
// The way between the folder chooser's answer and the folder's bytes on disk. Folder
// names need not be UTF-8 (GBK names from old archives), and a QString cannot hold such
// a name as Qt decodes it.

#include <QString>
#include <optional>
#include <string>

namespace tarnwick {

// The answer a chooser gives for the folder `bytes`: the path as text, each byte that is
// not part of a UTF-8 sequence carried as the code unit U+DC00 + byte (as Python's
// "surrogateescape" does; no name Qt decodes holds a lone surrogate), so that
// FolderOnDisk takes back exactly these bytes. Paths that are UTF-8 are their own text.
QString FolderAnswerText(const std::string& bytes);

// The raw path bytes of the folder a chooser answered with: the bytes FolderAnswerText
// carries; or a path as Qt names it, where a name that is not UTF-8 shows replacement
// characters that no longer name the folder: each part of the path that does not exist
// as written is then matched against the entries of the folder above it, decoded as Qt
// decodes them. Nullopt when a part matches no entry or more than one (two names that
// differ only in bytes Qt cannot show), or the path is no folder.
std::optional<std::string> FolderOnDisk(const QString& chosen);

// Where the dialog starts for a remembered folder's bytes: the folder when Qt can name
// it, else the nearest folder above it that Qt can name.
QString DialogStartFolder(const std::string& folder);

}  // namespace tarnwick
