#include "operations_host.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/controls/control_builder.h"
#include "app/controls/control_roster.h"
#include "app/list/result_model.h"
#include "app/list/result_view.h"
#include "app/window/window_options.h"
#include "results/path_parts.h"

namespace tarnwick::testing {

OperationsHost::OperationsHost()
    : model_(std::make_unique<ResultModel>(list_)), pump_([this] { model_->Flush(); }) {
  BuildControls(this);
  view_ = CreateResultView(this, model_.get());
  options_ = std::make_unique<WindowOptions>(this);
  FileOperationsPlatform platform;
  platform.isCtrlHeld = [this] { return ctrlHeld; };
  platform.open = [this](const std::string& path) { opened.push_back(path); };
  platform.locate = [this](const std::string& path) { located.push_back(path); };
  platform.moveToTrash = [this](const std::string& path) {
    return trash ? trash(path) : DesktopFileOperationsPlatform().moveToTrash(path);
  };
  operations_ = AttachFileOperations(*this, std::move(platform));
  resize(1065, 759);
  show();
}

OperationsHost::~OperationsHost() {
  delete view_;
  // By bytes: QTemporaryDir cannot remove names that are not UTF-8.
  std::error_code ignored;
  std::filesystem::remove_all(QFile::encodeName(dir_.path()).toStdString(), ignored);
}

OptionControls& OperationsHost::Options() { return *options_; }

std::string OperationsHost::Path(const std::string& relative) const {
  return dir_.path().toStdString() + "/" + relative;
}

void OperationsHost::Add(const std::string& relative, const std::string& bytes) {
  WriteFile(Path(relative), bytes);
  AddRow(Path(relative));
}

void OperationsHost::AddFiles(int count) {
  for (int i = 0; i < count; ++i)
    Add("a/file" + std::to_string(i) + ".txt", "content " + std::to_string(i));
}

void OperationsHost::AddRow(const std::string& path) {
  list_.Append(ResultRow{FileNamePart(path), "0 B", "", "0", path.substr(0, path.rfind('/') + 1)});
  model_->Flush();
}

void OperationsHost::SelectRows(std::initializer_list<int> rows) {
  QItemSelectionModel* selection = view_->selectionModel();
  selection->clearSelection();
  for (const int row : rows)
    selection->select(model_->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QPushButton* OperationsHost::Button(const char* name) const {
  auto* button = findChild<QPushButton*>(QString::fromUtf8(name));
  if (!button) qFatal("no button %s", name);
  return button;
}

QString OperationsHost::ProgressText() const {
  return findChild<QLabel*>(QString::fromUtf8(control::kProgressText))->text();
}

std::vector<std::string> OperationsHost::Paths() const {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < list_.Count(); ++i) paths.push_back(list_.FullPath(i));
  return paths;
}

bool OperationsHost::Running(const char* button) const {
  return operations_->RunningButton() == Button(button);
}

bool OperationsHost::BusyCheck() {
  if (stop_.IsSet()) return false;
  messages << QStringLiteral("在开始新操作之前请先停止正在执行的操作！");
  return true;
}

QMessageBox::StandardButton OperationsHost::ShowMessage(const QString& text,
                                                        QMessageBox::StandardButtons buttons,
                                                        const QString& title,
                                                        QMessageBox::Icon icon) {
  messages << text;
  boxes << RecordedMessage{text, buttons, title, icon};
  return buttons.testFlag(QMessageBox::Cancel) ? answer : QMessageBox::Ok;
}

QString OperationsHost::ChooseFolder(const QString& initialFolder, const QString& prompt) {
  initialFolders << initialFolder;
  prompts << prompt;
  return folderToChoose;
}

ReplaceAnswer OperationsHost::AskReplace(const QString& text) {
  replaceQuestions << text;
  if (replaceAnswers.empty()) return ReplaceAnswer::Replace;
  const ReplaceAnswer answer = replaceAnswers.front();
  replaceAnswers.pop_front();
  return answer;
}

void OperationsHost::ProcessPendingEvents() {
  if (whileRunning) whileRunning();
  pump_.Pump();
}

void OperationsHost::PumpWait(int) {
  if (whileWaiting) whileWaiting();
  QCoreApplication::processEvents();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), 0755);
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace tarnwick::testing
