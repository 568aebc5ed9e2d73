#include "app/window/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include "app/controls/click_label.h"
#include "app/controls/control_builder.h"
#include "app/controls/control_roster.h"
#include "app/controls/group_states.h"
#include "app/dialogs/help_dialog.h"
#include "app/job/job_controller.h"
#include "app/list/list_actions.h"
#include "app/list/resemblance_label.h"
#include "app/list/result_model.h"
#include "app/list/result_view.h"
#include "app/window/screen_fit.h"
#include "app/window/window_layout.h"
#include "app/window/window_options.h"
#include "app/window/window_settings.h"
#include "platform/desktop/clipboard.h"

namespace tarnwick {
namespace {

constexpr const char* kGroupSwitches[] = {"选择框按内容筛选", "选择框按长度筛选",
                                          "选择框按时间筛选", "选择框按重复筛选"};
constexpr const char* kMeasureButtons[] = {"单选框文件大小", "单选框内容字数"};
// Where the window opens when the screen has room for it.
constexpr QRect kOpeningGeometry(50, 50, 1065, 759);

}  // namespace

MainWindow::MainWindow(const std::string& settingsPath, WindowPlatform platform, QWidget* parent)
    : QWidget(parent),
      platform_(std::move(platform)),
      model_(std::make_unique<ResultModel>(list_)),
      pump_([this] { model_->FlushSoon(); }) {
  setWindowTitle(QStringLiteral("Tarnwick v1.0"));
  setGeometry(kOpeningGeometry);

  BuildControls(this);
  view_ = CreateResultView(this, model_.get());
  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName(QString::fromUtf8(control::kStatusBar));
  statusBar_->setSizeGripEnabled(true);
  AttachResemblanceLabel(view_, list_, statusBar_);
  statusTimer_ = new QTimer(this);
  statusTimer_->setObjectName(QString::fromUtf8(control::kTimer));
  statusTimer_->setInterval(1000);

  options_ = std::make_unique<WindowOptions>(this);
  job_ = std::make_unique<JobController>(JobController::Parts{
      this, options_.get(), &list_, model_.get(), view_, statusBar_, &stop_, &pump_, &platform_});
  settings_ = std::make_unique<WindowSettings>(settingsPath, platform_);

  ConnectEvents();
  RestoreOptions();
  statusTimer_->start();
  layout_ = std::make_unique<WindowLayout>(this);
  setMinimumSize(layout_->MinimumSize());
  FitOnScreen(this, kOpeningGeometry);
  layout_->Apply();
  AttachFileOperations(*this);
}

MainWindow::~MainWindow() {
  // The view must not outlive the model it shows.
  delete view_;
}

void MainWindow::ConnectEvents() {
  auto find = [this](const char* name) { return findChild<QWidget*>(QString::fromUtf8(name)); };

  auto* start = qobject_cast<QPushButton*>(find(control::kStartButton));
  connect(start, &QPushButton::clicked, this, [this] { job_->OnStartButton(Lister::FindFile); });
  start->installEventFilter(this);

  for (const char* name : kGroupSwitches) {
    connect(qobject_cast<QCheckBox*>(find(name)), &QCheckBox::clicked, this,
            [this] { ApplyGroupStates(this, job_->IsRunning()); });
  }
  for (const char* name : kMeasureButtons) {
    connect(qobject_cast<QRadioButton*>(find(name)), &QRadioButton::clicked, this,
            [this] { ApplyLengthUnits(this); });
  }

  connect(
      qobject_cast<QPushButton*>(find(control::kPasteButton)), &QPushButton::clicked, this,
      [this] { options_->SetText(Field::ContentPattern, ClipboardText().toUtf8().toStdString()); });
  const auto selectAll = [this] {
    model_->Flush();  // rows a running job has just added are selected too
    SelectAllRows(view_);
  };
  connect(qobject_cast<QPushButton*>(find(control::kSelectAllButton)), &QPushButton::clicked, this,
          selectAll);
  new QShortcut(QKeySequence::SelectAll, view_, this, selectAll, Qt::WidgetWithChildrenShortcut);
  auto* exportButton = qobject_cast<QPushButton*>(find(control::kExportButton));
  connect(exportButton, &QPushButton::clicked, this,
          [this, exportButton] { ExportPathList(exportButton, *model_, list_, platform_, pump_); });

  for (const char* name : {control::kSaveText, control::kSavePicture}) {
    connect(qobject_cast<ClickLabel*>(find(name)), &ClickLabel::activated, this,
            [this] { SaveOnRequest(); });
  }
  for (const char* name : {control::kHelpText, control::kHelpPicture}) {
    connect(qobject_cast<ClickLabel*>(find(name)), &ClickLabel::activated, this,
            [this] { ShowHelpDialog(this); });
  }
  new QShortcut(QKeySequence::HelpContents, this, this, [this] { ShowHelpDialog(this); });

  connect(statusTimer_, &QTimer::timeout, this, [this] { job_->RefreshStatusNow(); });
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { SaveForSessionEnd(); });

  // Files dropped anywhere on the window fill the list: no control takes a drop for
  // itself (an edit box would otherwise paste the paths as text).
  for (QWidget* child : findChildren<QWidget*>()) child->setAcceptDrops(false);
  setAcceptDrops(true);
}

void MainWindow::RestoreOptions() {
  settings_->Load(*options_, [this] {
    ApplyGroupStates(this, job_->IsRunning());
    ApplyLengthUnits(this);
  });
  stop_.Set();
}

void MainWindow::SaveOnRequest() {
  QString error;
  if (!settings_->Save(*options_, &error)) {
    platform_.showMessage(tr("保存配置失败：%1").arg(error), QMessageBox::Ok, MessageTitle(),
                          QMessageBox::Warning);
    return;
  }
  ShowMessage(tr("保存完毕！"), QMessageBox::Ok, MessageTitle(), QMessageBox::Information);
}

OptionControls& MainWindow::Options() { return *options_; }

JobHost& MainWindow::FilterJobHost() { return *job_; }

bool MainWindow::BusyCheck() { return job_->BusyCheck(); }

QMessageBox::StandardButton MainWindow::ShowMessage(const QString& text,
                                                    QMessageBox::StandardButtons buttons,
                                                    const QString& title, QMessageBox::Icon icon) {
  return platform_.showMessage(text, buttons, title, icon);
}

QString MainWindow::ChooseFolder(const QString& initialFolder, const QString& prompt) {
  return platform_.chooseFolder(initialFolder, prompt.isEmpty() ? tr("请选择一个文件夹") : prompt);
}

void MainWindow::PumpWait(int ms) { tarnwick::PumpWait(ms); }

void MainWindow::CloseForTermination() {
  reportSaveFailure_ = false;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (!dialog || !dialog->isVisible()) continue;
    dialog->close();
    // A message box without a button that closing may press ignores the close.
    if (dialog->isVisible()) dialog->reject();
  }
  close();
}

void MainWindow::SaveForSessionEnd() { settings_->Save(*options_, nullptr); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (layout_) layout_->Apply();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shownBefore_) return;
  shownBefore_ = true;
  // The window system may frame the window more thickly than guessed: once the frame is
  // known the window moves or shrinks to stay inside the screen's free area.
  QTimer::singleShot(0, this, [this] { FitOnScreen(this, geometry()); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A job still running inside this window's handlers ends at its next file instead of
  // walking on with no window to show it.
  stop_.Set();
  QString error;
  if (!settings_->Save(*options_, &error) && reportSaveFailure_) {
    platform_.showMessage(tr("保存配置失败：%1").arg(error), QMessageBox::Ok, MessageTitle(),
                          QMessageBox::Warning);
  }
  event->accept();
}

bool MainWindow::TakesDrop(const QDropEvent& event) const {
  // Rows dragged out of the list and let go over the window are not a drop of files:
  // taking them would empty the list and list the same files again.
  return event.mimeData()->hasUrls() && event.source() != view_;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (TakesDrop(*event)) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (TakesDrop(*event)) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (!TakesDrop(*event)) return;
  std::vector<std::string> paths = DroppedPaths(*event->mimeData());
  event->acceptProposedAction();
  // Listed once the drag has finished, so the program the files came from is not kept
  // waiting while they are measured.
  QMetaObject::invokeMethod(
      this, [this, paths = std::move(paths)] { DropFiles(paths); }, Qt::QueuedConnection);
}

void MainWindow::DropFiles(const std::vector<std::string>& paths) {
  // Ctrl is asked of the keyboard now: holding it appends, otherwise the list starts over.
  const bool append = platform_.isCtrlHeld();
  AddDroppedFiles(list_, *options_, paths, append, pump_);
  model_->Flush();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton &&
      watched->objectName() == QString::fromUtf8(control::kStartButton)) {
    job_->OnStartButton(Lister::FileSystemObject);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick
