// Delete, move and copy: the long operations, each its own stop button.

#include <sys/stat.h>

#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "app/controls/control_captions.h"
#include "app/job/job_texts.h"
#include "app/list/path_display_text.h"
#include "app/operations/file_operations.h"
#include "platform/desktop/folder_chooser.h"
#include "results/path_parts.h"

namespace tarnwick {
namespace {

QString Number(std::size_t value) { return QString::number(value); }

bool AlreadyGone(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) != 0 && errno == ENOENT;
}

class Stopwatch {
 public:
  QString Elapsed() const {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return ElapsedText(ms.count());
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The rows of deleted files leave the list in batches: removing thousands of rows one by
// one would cost the view far more than the deletes themselves.
class RemovalBatch {
 public:
  explicit RemovalBatch(ResultList& list) : list_(list) {}

  void Add(std::size_t index, std::string path) { rows_.push_back({index, std::move(path)}); }

  // Removes the gathered rows at most every few tens of milliseconds.
  void ApplyIfDue() {
    if (std::chrono::steady_clock::now() - lastApplied_ >= kInterval) Apply();
  }

  // Removes the gathered rows that still hold their files: events handled since a row
  // was gathered may have refilled the list.
  void Apply() {
    std::vector<std::size_t> indexes;
    for (const auto& [index, path] : rows_) {
      if (index < list_.Count() && list_.FullPath(index) == path) indexes.push_back(index);
    }
    rows_.clear();
    list_.RemoveRows(std::move(indexes));
    lastApplied_ = std::chrono::steady_clock::now();
  }

 private:
  static constexpr std::chrono::milliseconds kInterval{40};
  ResultList& list_;
  std::vector<std::pair<std::size_t, std::string>> rows_;
  std::chrono::steady_clock::time_point lastApplied_ = std::chrono::steady_clock::now();
};

// The end of a move or copy summary naming the files left where they were because a
// file of the same run already held their name in the destination: the first few
// names, and how many there were.
QString SkippedNamesText(const QStringList& names, bool move) {
  if (names.isEmpty()) return {};
  constexpr int kNamesShown = 3;
  const QString shown = names.mid(0, kNamesShown).join(FileOperations::tr("、"));
  QString text = move ? FileOperations::tr("；因同名未移动：%1").arg(shown)
                      : FileOperations::tr("；因同名未复制：%1").arg(shown);
  if (names.size() > kNamesShown) text += FileOperations::tr(" 等 %1 个").arg(names.size());
  return text;
}

}  // namespace

bool FileOperations::RequestStopIfRunning(QPushButton* button) {
  if (running_ != button) return false;
  button->setText(tr("停止中"));
  services_.Stop().Set();
  return true;
}

void FileOperations::BeginRun(QPushButton* button, int total) {
  running_ = button;
  button->setText(tr("停止"));
  services_.Stop().Clear();
  BeginProgress(total);
}

void FileOperations::EndRun(const char* idleCaption, const QString& summary) {
  EndProgress(summary);
  running_->setText(ControlCaption(idleCaption));
  running_ = nullptr;
  services_.Stop().Set();
}

void FileOperations::DeleteRows(std::optional<bool> toTrashAsked) {
  QPushButton* button = Button("按钮删除");
  if (RequestStopIfRunning(button)) return;
  if (services_.BusyCheck()) return;

  std::vector<SelectedRow> rows = SelectionSnapshot();
  if (rows.empty()) {
    services_.ShowMessage(tr("请先选择要删除的文件！"));
    return;
  }
  // In the list's own order, whatever order it shows: walked from the last, a removed
  // row never moves one still to be done.
  std::sort(rows.begin(), rows.end(),
            [](const SelectedRow& a, const SelectedRow& b) { return a.index < b.index; });
  const bool fromKey = toTrashAsked.has_value();
  // Ctrl is asked twice with events handled between, so a key state the window system
  // has not yet delivered is not taken; the second answer counts.
  if (!toTrashAsked) {
    platform_.isCtrlHeld();
    services_.ProcessPendingEvents();
    toTrashAsked = platform_.isCtrlHeld();
  }
  const bool toTrash = *toTrashAsked;

  const int count = static_cast<int>(rows.size());
  const QString total = Number(rows.size());
  // A press of Shift+Delete is told of the Delete key, a click of the button of Ctrl.
  const QString question =
      toTrash ? tr("确定要将选择的 %n 个文件移到回收站吗？", nullptr, count)
      : fromKey
          ? tr("确定要彻底删除选择的 %n "
               "个文件吗？\n\n如果需要删除到回收站，请改按Delete键（不按Shift）",
               nullptr, count)
          : tr("确定要彻底删除选择的 %n 个文件吗？\n\n如果需要删除到回收站，请按住Ctrl键重新点击"
               "删除按钮",
               nullptr, count);
  if (services_.ShowMessage(question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }

  const Stopwatch stopwatch;
  BeginRun(button, count);
  QTableView* view = services_.ListView();
  if (view->model()->rowCount() > 0) view->scrollTo(view->model()->index(0, 0));

  // From the last selected row up, so removing a row never moves one still to be done.
  std::size_t successes = 0;
  std::size_t gone = 0;  // files no longer there
  RemovalBatch removals(services_.List());
  for (std::size_t n = rows.size(); n >= 1 && !services_.Stop().IsSet(); --n) {
    removals.ApplyIfDue();
    services_.ProcessPendingEvents();
    const SelectedRow& row = rows[n - 1];
    ShowProgress(static_cast<int>(n),
                 tr("(%1:%2) 正在删除 >> %3").arg(total, Number(n), PathDisplayText(row.path)));
    if (!StillListed(row)) continue;
    // A file removed elsewhere since it was listed: its row has nothing left to name.
    if (AlreadyGone(row.path)) {
      removals.Add(row.index, row.path);
      ++gone;
      continue;
    }
    const bool deleted = toTrash ? platform_.moveToTrash(row.path) : DeletePermanently(row.path);
    if (!deleted) continue;
    removals.Add(row.index, row.path);
    ++successes;
  }
  removals.Apply();

  QString summary = tr("删除完毕！共 %1 个文件，成功删除 %2 个文件，耗时(%3)")
                        .arg(total, Number(successes), stopwatch.Elapsed());
  if (gone > 0)
    summary += tr("；%n 个文件此前已不存在，已从列表中移去", nullptr, static_cast<int>(gone));
  EndRun("删除", summary);
}

void FileOperations::TransferSelected(TransferRun::Kind kind) {
  const bool move = kind == TransferRun::Kind::Move;
  QPushButton* button = Button(move ? "按钮移动" : "按钮复制");
  const Field rememberedFolder = move ? Field::MoveFolder : Field::CopyFolder;
  if (RequestStopIfRunning(button)) return;
  if (services_.BusyCheck()) return;

  const std::vector<SelectedRow> rows = SelectionSnapshot();
  if (rows.empty()) {
    services_.ShowMessage(move ? tr("请先选择要移动的文件！") : tr("请先选择要复制的文件！"));
    return;
  }
  const int count = static_cast<int>(rows.size());
  const QString total = Number(rows.size());
  const QString initial = DialogStartFolder(services_.Options().Text(rememberedFolder));
  const QString chosen = services_.ChooseFolder(
      initial, move ? tr("将选择的 %n 个文件移动到的目录：", nullptr, count)
                    : tr("将选择的 %n 个文件复制到的目录：", nullptr, count));
  if (chosen.isEmpty()) return;
  const std::optional<std::string> folder = FolderOnDisk(chosen);
  if (!folder) {
    services_.ShowMessage(UndeterminedFolderText(chosen), QMessageBox::Ok, MessageTitle(),
                          QMessageBox::Warning);
    return;
  }
  const std::string destination = *folder + "/";
  services_.Options().SetText(rememberedFolder, destination);

  const Stopwatch stopwatch;
  BeginRun(button, count);

  std::vector<std::string> sources;
  for (const SelectedRow& row : rows) sources.push_back(row.path);
  TransferRun run(kind, sources);
  std::size_t successes = 0;
  QStringList skipped;  // names already taken in the destination by a file of the run
  int keptThere = 0;    // files the user chose not to replace in the destination
  // The answer given "for all" files the destination already holds; unset: ask.
  std::optional<AtTarget> forAll;
  for (std::size_t i = 1; i <= rows.size() && !services_.Stop().IsSet(); ++i) {
    services_.ProcessPendingEvents();
    const SelectedRow& row = rows[i - 1];
    const QString progress = move ? tr("(%1:%2) 正在移动 >> %3") : tr("(%1:%2) 正在复制 >> %3");
    ShowProgress(static_cast<int>(i), progress.arg(total, Number(i), PathDisplayText(row.path)));
    if (!StillListed(row)) continue;
    const std::string name = FileNamePart(row.path);
    const std::string target = destination + name;
    // A file the user did not pick is never replaced unasked.
    TransferOutcome outcome = run.Transfer(row.path, target, forAll.value_or(AtTarget::Keep));
    if (outcome == TransferOutcome::Occupied && !forAll) {
      const ReplaceAnswer answer = services_.AskReplace(
          ReplaceQuestionText(PathDisplayText(target), PathDisplayText(row.path)));
      if (answer == ReplaceAnswer::Cancel) break;
      const bool replace = answer == ReplaceAnswer::Replace || answer == ReplaceAnswer::ReplaceAll;
      if (answer == ReplaceAnswer::ReplaceAll || answer == ReplaceAnswer::SkipAll)
        forAll = replace ? AtTarget::Replace : AtTarget::Keep;
      if (replace) outcome = run.Transfer(row.path, target, AtTarget::Replace);
    }
    if (outcome == TransferOutcome::Occupied) ++keptThere;
    if (outcome == TransferOutcome::NameTaken) skipped << PathDisplayText(name);
    if (outcome != TransferOutcome::Done) continue;
    if (move) services_.List().SetFolder(row.index, destination);
    ++successes;
  }

  const QString summary = move ? tr("移动完毕！共 %1 个文件，成功移动 %2 个文件，耗时 %3")
                               : tr("复制完毕！共 %1 个文件，成功复制 %2 个文件，耗时 %3");
  QString details;
  // Files of one name copied into one folder leave only the last there.
  if (const auto replaced = static_cast<int>(run.ReplacedOwnCopies()); replaced > 0)
    details += tr("；其中 %n 个替换了本次先复制到该目录的文件", nullptr, replaced);
  if (keptThere > 0) details += tr("；%n 个文件因目标目录已有同名文件而跳过", nullptr, keptThere);
  EndRun(move ? "移动" : "复制", summary.arg(total, Number(successes), stopwatch.Elapsed()) +
                                     details + SkippedNamesText(skipped, move));
}

}  // namespace tarnwick
