// Delete, move and copy: the long operations, each its own stop button.

#include <QPushButton>
#include <QTableView>
#include <chrono>
#include <utility>
#include <vector>

#include "app/file_operations.h"
#include "app/path_display_text.h"
#include "engine/filter_job.h"
#include "platform/desktop/folder_chooser.h"
#include "results/path_parts.h"

namespace tarnwick {
namespace {

QString Number(std::size_t value) { return QString::number(value); }

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Stopwatch {
 public:
  QString Elapsed() const {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return FromUtf8(FormatElapsed(ms.count()));
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

// A press of a running operation's own button asks it to stop after the file in hand.
bool RequestStopIfRunning(QPushButton* button, const QString& idleCaption, StopFlag& stop) {
  if (button->text() == idleCaption) return false;
  button->setText(QStringLiteral("停止中"));
  stop.Set();
  return true;
}

// The end of a move or copy summary naming the files left where they were because a
// file of the same run already held their name in the destination: the first few
// names, and how many there were.
QString SkippedNamesText(const QStringList& names, const QString& word) {
  if (names.isEmpty()) return {};
  constexpr int kNamesShown = 3;
  QString text = QStringLiteral("；因同名未") + word + QStringLiteral("：") +
                 names.mid(0, kNamesShown).join(QStringLiteral("、"));
  if (names.size() > kNamesShown)
    text += QStringLiteral(" 等 ") + Number(static_cast<std::size_t>(names.size())) +
            QStringLiteral(" 个");
  return text;
}

}  // namespace

void FileOperations::DeleteRows(std::optional<bool> toTrashAsked) {
  QPushButton* button = Button("按钮删除");
  const QString idle = QStringLiteral("删除");
  if (RequestStopIfRunning(button, idle, services_.Stop())) return;
  if (services_.BusyCheck()) return;

  const std::vector<SelectedRow> rows = SelectionSnapshot();
  if (rows.empty()) {
    services_.ShowMessage(QStringLiteral("请先选择要删除的文件！"));
    return;
  }
  // Ctrl is asked twice with events handled between, so a key state the window system
  // has not yet delivered is not taken; the second answer counts.
  if (!toTrashAsked) {
    platform_.isCtrlHeld();
    services_.ProcessPendingEvents();
    toTrashAsked = platform_.isCtrlHeld();
  }
  const bool toTrash = *toTrashAsked;

  const QString total = Number(rows.size());
  const QString question =
      toTrash
          ? QStringLiteral("确定要将选择的 ") + total + QStringLiteral(" 个文件移到回收站吗？")
          : QStringLiteral("确定要彻底删除选择的 ") + total +
                QStringLiteral(" 个文件吗？\n\n如果需要删除到回收站，请按住Ctrl键重新点击删除按钮");
  if (services_.ShowMessage(question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }

  const Stopwatch stopwatch;
  button->setText(QStringLiteral("停止"));
  services_.Stop().Clear();
  BeginProgress(static_cast<int>(rows.size()));
  QTableView* view = services_.ListView();
  if (view->model()->rowCount() > 0) view->scrollTo(view->model()->index(0, 0));

  // From the last selected row up, so removing a row never moves one still to be done.
  std::size_t successes = 0;
  RemovalBatch removals(services_.List());
  for (std::size_t n = rows.size(); n >= 1 && !services_.Stop().IsSet(); --n) {
    removals.ApplyIfDue();
    services_.ProcessPendingEvents();
    const SelectedRow& row = rows[n - 1];
    ShowProgress(static_cast<int>(n), QStringLiteral("(") + total + QStringLiteral(":") +
                                          Number(n) + QStringLiteral(") 正在删除 >> ") +
                                          PathDisplayText(row.path));
    if (!StillListed(row)) continue;
    const bool deleted = toTrash ? platform_.moveToTrash(row.path) : DeletePermanently(row.path);
    if (!deleted) continue;
    removals.Add(row.index, row.path);
    ++successes;
  }
  removals.Apply();

  EndProgress(QStringLiteral("删除完毕！共 ") + total + QStringLiteral(" 个文件，成功删除 ") +
              Number(successes) + QStringLiteral(" 个文件，耗时(") + stopwatch.Elapsed() +
              QStringLiteral(")"));
  button->setText(idle);
  services_.Stop().Set();
}

void FileOperations::TransferSelected(TransferRun::Kind kind) {
  const bool move = kind == TransferRun::Kind::Move;
  const QString word = move ? QStringLiteral("移动") : QStringLiteral("复制");
  QPushButton* button = Button(move ? "按钮移动" : "按钮复制");
  const Field rememberedFolder = move ? Field::MoveFolder : Field::CopyFolder;
  if (RequestStopIfRunning(button, word, services_.Stop())) return;
  if (services_.BusyCheck()) return;

  const std::vector<SelectedRow> rows = SelectionSnapshot();
  if (rows.empty()) {
    services_.ShowMessage(QStringLiteral("请先选择要") + word + QStringLiteral("的文件！"));
    return;
  }
  const QString total = Number(rows.size());
  const QString initial = DialogStartFolder(services_.Options().Text(rememberedFolder));
  const QString chosen = services_.ChooseFolder(initial, QStringLiteral("将选择的 ") + total +
                                                             QStringLiteral(" 个文件") + word +
                                                             QStringLiteral("到的目录："));
  if (chosen.isEmpty()) return;
  const std::optional<std::string> folder = FolderOnDisk(chosen);
  if (!folder) {
    services_.ShowMessage(UndeterminedFolderText(chosen), QMessageBox::Ok,
                          QString::fromUtf8(kMessageTitle), QMessageBox::Warning);
    return;
  }
  const std::string destination = *folder + "/";
  services_.Options().SetText(rememberedFolder, destination);

  const Stopwatch stopwatch;
  button->setText(QStringLiteral("停止"));
  services_.Stop().Clear();
  BeginProgress(static_cast<int>(rows.size()));

  std::vector<std::string> sources;
  for (const SelectedRow& row : rows) sources.push_back(row.path);
  TransferRun run(kind, sources);
  std::size_t successes = 0;
  QStringList skipped;  // names already taken in the destination by a file of the run
  for (std::size_t i = 1; i <= rows.size() && !services_.Stop().IsSet(); ++i) {
    services_.ProcessPendingEvents();
    const SelectedRow& row = rows[i - 1];
    ShowProgress(static_cast<int>(i), QStringLiteral("(") + total + QStringLiteral(":") +
                                          Number(i) + QStringLiteral(") 正在") + word +
                                          QStringLiteral(" >> ") + PathDisplayText(row.path));
    if (!StillListed(row)) continue;
    const std::string name = FileNamePart(row.path);
    const TransferOutcome outcome = run.Transfer(row.path, destination + name);
    if (outcome == TransferOutcome::NameTaken) skipped << PathDisplayText(name);
    if (outcome != TransferOutcome::Done) continue;
    if (move) services_.List().SetFolder(row.index, destination);
    ++successes;
  }

  EndProgress(word + QStringLiteral("完毕！共 ") + total + QStringLiteral(" 个文件，成功") + word +
              QStringLiteral(" ") + Number(successes) + QStringLiteral(" 个文件，耗时 ") +
              stopwatch.Elapsed() + SkippedNamesText(skipped, word));
  button->setText(word);
  services_.Stop().Set();
}

}  // namespace tarnwick
