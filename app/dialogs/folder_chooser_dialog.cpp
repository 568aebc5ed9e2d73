#include "app/dialogs/folder_chooser_dialog.h"

#include <sys/stat.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/dialogs/folder_entries.h"
#include "app/list/path_display_text.h"
#include "platform/desktop/folder_chooser.h"

namespace tarnwick {
namespace {

// The bytes of a list item's folder name.
constexpr int kNameRole = Qt::UserRole;

std::string HomeFolder() { return QFile::encodeName(QDir::homePath()).toStdString(); }

QPushButton* NamedButton(const QString& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromUtf8(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

FolderChooserDialog::FolderChooserDialog(const QString& initialFolder, const QString& prompt,
                                         QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("目录选择"));
  setWindowTitle(prompt);
  resize(600, 460);

  auto* promptLabel = new QLabel(prompt, this);
  promptLabel->setWordWrap(true);
  auto* upButton = NamedButton(tr("上一级"), "按钮上一级", this);
  upButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  auto* homeButton = NamedButton(tr("主目录"), "按钮主目录", this);
  homeButton->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  auto* newButton = NamedButton(tr("新建目录"), "按钮新建目录", this);
  newButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  auto* tools = new QHBoxLayout;
  tools->addWidget(upButton);
  tools->addWidget(homeButton);
  tools->addStretch();
  tools->addWidget(newButton);

  pathBox_ = new QLineEdit(this);
  pathBox_->setObjectName(QStringLiteral("编辑框目录"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("列表框目录"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("标签目录提示"));

  auto* buttons = new QDialogButtonBox(this);
  chooseButton_ = NamedButton(tr("选择"), "按钮选择", this);
  buttons->addButton(chooseButton_, QDialogButtonBox::AcceptRole);
  buttons->addButton(NamedButton(tr("取消"), "按钮取消", this), QDialogButtonBox::RejectRole);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(promptLabel);
  layout->addLayout(tools);
  layout->addWidget(pathBox_);
  layout->addWidget(list_, 1);
  layout->addWidget(notice_);
  layout->addWidget(buttons);

  connect(upButton, &QPushButton::clicked, this, [this] { Open(ParentPath(folder_)); });
  connect(homeButton, &QPushButton::clicked, this, [this] { Open(HomeFolder()); });
  connect(newButton, &QPushButton::clicked, this, &FolderChooserDialog::AskNewFolder);
  connect(pathBox_, &QLineEdit::textEdited, this, &FolderChooserDialog::PathEdited);
  connect(pathBox_, &QLineEdit::returnPressed, this, &FolderChooserDialog::Choose);
  connect(list_, &QListWidget::itemSelectionChanged, this, &FolderChooserDialog::SelectionChanged);
  connect(list_, &QListWidget::itemActivated, this, &FolderChooserDialog::EnterSelected);
  connect(buttons, &QDialogButtonBox::accepted, this, &FolderChooserDialog::Choose);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  const std::optional<std::string> start = FolderOnDisk(initialFolder);
  Open(start && !initialFolder.isEmpty() ? *start : HomeFolder());
  list_->setFocus();
}

void FolderChooserDialog::Open(const std::string& folder) {
  folder_ = folder;
  bool readable = true;
  const std::vector<FolderEntry> entries = ListSubfolders(folder, &readable);
  list_->clear();
  const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
  for (const FolderEntry& entry : entries) {
    auto* item = new QListWidgetItem(icon, entry.shown, list_);
    item->setData(kNameRole, QByteArray::fromStdString(entry.name));
  }
  ShowPath(folder);
  notice_->setText(readable ? QString() : tr("无法读取这个目录的内容"));
}

void FolderChooserDialog::ShowPath(const std::string& bytes) {
  boxBytes_ = bytes;
  pathBox_->setText(PathDisplayText(bytes));
  chooseButton_->setEnabled(true);
}

std::optional<std::string> FolderChooserDialog::PathInBox() const {
  if (boxBytes_) return boxBytes_;
  return FolderOfTypedPath(pathBox_->text(), folder_);
}

void FolderChooserDialog::PathEdited() {
  boxBytes_.reset();
  const bool found = PathInBox().has_value();
  chooseButton_->setEnabled(found);
  notice_->setText(found || pathBox_->text().trimmed().isEmpty() ? QString() : tr("目录未找到"));
}

void FolderChooserDialog::SelectionChanged() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) {
    ShowPath(folder_);
    return;
  }
  ShowPath(ChildPath(folder_, selected.first()->data(kNameRole).toByteArray().toStdString()));
}

void FolderChooserDialog::EnterSelected() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  Open(ChildPath(folder_, selected.first()->data(kNameRole).toByteArray().toStdString()));
}

bool FolderChooserDialog::CreateFolder(const QString& name) {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('/')) || trimmed == QLatin1String(".") ||
      trimmed == QLatin1String("..")) {
    notice_->setText(tr("目录名称无效：%1").arg(name));
    return false;
  }
  const std::string bytes = trimmed.toStdString();
  if (::mkdir(ChildPath(folder_, bytes).c_str(), 0777) != 0) {
    notice_->setText(tr("无法新建目录：%1").arg(trimmed));
    return false;
  }
  Open(folder_);
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->data(kNameRole).toByteArray().toStdString() == bytes)
      list_->setCurrentRow(row);
  }
  return true;
}

void FolderChooserDialog::AskNewFolder() {
  bool confirmed = false;
  const QString name = QInputDialog::getText(this, tr("新建目录"), tr("新目录的名称："),
                                             QLineEdit::Normal, tr("新建目录"), &confirmed);
  if (confirmed) CreateFolder(name);
}

void FolderChooserDialog::Choose() {
  chosen_ = PathInBox();
  if (!chosen_) {
    notice_->setText(tr("目录未找到"));
    return;
  }
  accept();
}

QString ChooseFolderDialog(const QString& initialFolder, const QString& prompt) {
  FolderChooserDialog dialog(initialFolder, prompt);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || !dialog.Chosen()) return {};
  return FolderAnswerText(*dialog.Chosen());
}

}  // namespace tarnwick
