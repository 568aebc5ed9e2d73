#include "engine/folder_walk.h"

#include <algorithm>

#include "engine/number_text.h"
#include "engine/process_file.h"
#include "text/path_display.h"

namespace tarnwick {
long long FolderWalk::FolderLevel(const std::string& root, const std::string& folder) {
  std::string_view below(folder);
  if (below.starts_with(root)) below.remove_prefix(root.size());
  return static_cast<long long>(std::count(below.begin(), below.end(), '/')) + 1;
}

void FolderWalk::Run(const std::string& root) {
  root_ = root;
  WalkFolder(root_);
}

bool FolderWalk::WithinLevels(const std::string& folder) {
  const long long level = FolderLevel(root_, folder);
  host_.ProcessPendingEvents();
  return level < ReadLevel(options_.Text(Field::Levels));
}

void FolderWalk::WalkFolder(std::string& folder) {
  std::vector<std::string> entries;
  lister_.ListFiles(folder, options_.Text(Field::NameMask), entries);

  workingSet_.Prepare(folder, options_);
  host_.SetStatusText("正在筛选：" + PathDisplayUtf8(folder));
  host_.RefreshStatus();

  FileSinks sinks{list_, duplicates_, host_, stop_};
  for (const std::string& path : entries) {
    host_.ProcessPendingEvents();
    ProcessFile(path, workingSet_, options_, sinks);
    if (stop_.IsSet()) return;
  }

  if (options_.IsChecked(Check::ScopeThis)) return;
  if (options_.IsChecked(Check::ScopeLevels) && !WithinLevels(folder)) return;
  if (stop_.IsSet()) return;

  lister_.ListFolders(folder, entries);
  for (std::string& subfolder : entries) {
    WalkFolder(subfolder);
    if (stop_.IsSet()) return;
  }
}

}  // namespace tarnwick
