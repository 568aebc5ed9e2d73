#pragma once
// The question a move or copy asks before it replaces a file already in the destination
// that the user did not pick (as file managers ask): replace it or skip it, for this file
// or for every such file of the run, or cancel the rest of the run.

#include <QString>

namespace tarnwick {

enum class ReplaceAnswer { Replace, ReplaceAll, Skip, SkipAll, Cancel };

// The question about `existing`, the file in the destination, and `incoming`, the one
// that would take its place (both as the window shows paths).
QString ReplaceQuestionText(const QString& existing, const QString& incoming);

// Asks with an application-modal message box titled `title`: 替换, 全部替换, 跳过,
// 全部跳过 and 取消; closing the box cancels.
ReplaceAnswer AskReplaceDialog(const QString& text, const QString& title);

}  // namespace tarnwick
