#pragma once
// The exported path list: every row's full path in the order the list shows, UTF-8,
// lines separated by CR LF and no line break after the last; an empty list gives an
// empty file.

#include <QString>
#include <functional>

#include "app/list/result_model.h"

namespace tarnwick {

// The paths of the rows `model` shows, as the exported file holds them. `pumpEvents`
// runs after each row; rows added, removed or sorted meanwhile are taken as they stand
// at each step.
std::string PathListText(ResultModel& model, const ResultList& list,
                         const std::function<void()>& pumpEvents);

// Creates or truncates `fileName` and writes `text` to it. Returns false, with the
// reason in `error`, when the file cannot be created or fully written.
bool WriteWholeFile(const QString& fileName, const std::string& text, QString* error);

}  // namespace tarnwick
