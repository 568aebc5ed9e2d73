#include "app/window/window_layout.h"

#include <QHash>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "app/controls/caption_width.h"
#include "app/controls/control_roster.h"
#include "app/window/row_fit.h"

namespace tarnwick {
namespace {

// The margin the layout keeps between the controls and the window's edges.
constexpr int kMargin = 10;
// The list keeps at least this much room at the smallest size.
constexpr int kMinimumListHeight = 120;
constexpr int kMinimumListWidth = 300;
// Left of the list, of the buttons above it and of the progress bar, and its distance
// from the option groups when they have to widen.
constexpr int kListLeft = 384;
constexpr int kColumnGap = 14;
// The right side at the opening size: tops of the buttons, the progress bar and the list.
constexpr int kOperationsTop = 112;
constexpr int kProgressTop = 144;
constexpr int kListTop = 176;

// The compact arrangement: the banner's height, its pictures and captions, and the room
// between rows, groups and the controls on the right.
constexpr int kCompactBannerHeight = 56;
constexpr QRect kCompactPicture(0, 2, 0, 32);  // top and height; left and width stay
constexpr QRect kCompactLinkText(0, 35, 0, 18);
constexpr int kCompactTitleTop = 4;
constexpr int kCompactRowGap = 2;
constexpr int kCompactGroupBottom = 6;
constexpr int kCompactGroupGap = 4;
constexpr int kCompactSpacing = 6;
// The buttons above the list are packed this close, and no narrower than this.
constexpr int kPackedButtonGap = 4;
constexpr int kNarrowestButton = 48;

QWidget* Find(const QWidget* window, const char* name) {
  return window->findChild<QWidget*>(QString::fromUtf8(name));
}

int Blend(int compact, int full, double t) {
  return compact + static_cast<int>(std::lround((full - compact) * t));
}

QRect Blend(const QRect& compact, const QRect& full, double t) {
  return QRect(Blend(compact.left(), full.left(), t), Blend(compact.top(), full.top(), t),
               Blend(compact.width(), full.width(), t), Blend(compact.height(), full.height(), t));
}

// The controls the roster puts in `container`, where the builder placed them.
std::vector<Placement> Contents(const QWidget* window, const char* container) {
  std::vector<Placement> items;
  for (const ControlSpec& entry : ControlRoster()) {
    if (!entry.container || qstrcmp(entry.container, container) != 0) continue;
    if (QWidget* widget = Find(window, entry.name)) items.push_back({widget, widget->geometry()});
  }
  return items;
}

int RightOf(const std::vector<Placement>& items) {
  int right = 0;
  for (const Placement& item : items) right = std::max(right, item.rect.right() + 1);
  return right;
}

// Rows stacked from `firstTop` down, `gap` apart, each control keeping its place within
// its row; a row at the very top (a group's title box) stays there. Returns the bottom.
int Stack(std::vector<Placement>& items, int firstTop, int gap) {
  int bottom = firstTop - gap;
  for (const auto& row : RowsOf(items)) {
    int rowTop = items[row.front()].rect.top();
    int rowBottom = 0;
    for (const std::size_t index : row) {
      rowTop = std::min(rowTop, items[index].rect.top());
      rowBottom = std::max(rowBottom, items[index].rect.bottom() + 1);
    }
    const int top = rowTop == 0 ? 0 : bottom + gap;
    for (const std::size_t index : row) items[index].rect.translate(0, top - rowTop);
    bottom = top + rowBottom - rowTop;
  }
  return bottom;
}

// `items` side by side from 0, `gap` apart, each as narrow as its caption allows (edit
// boxes keep their width).
int Pack(std::vector<Placement>& items, int gap, int narrowestButton) {
  int left = 0;
  for (Placement& item : items) {
    const int caption = CaptionWidth(item.widget);
    if (caption > 0) item.rect.setWidth(std::max(caption, narrowestButton));
    item.rect.moveLeft(left);
    left = item.rect.right() + 1 + gap;
  }
  return std::max(0, left - gap);
}

}  // namespace

WindowLayout::WindowLayout(QWidget* window)
    : window_(window),
      banner_(Find(window, control::kBanner)),
      bannerLine_(Find(window, control::kBannerLine)),
      list_(Find(window, control::kResultList)),
      walkPanel_(Find(window, control::kWalkPanel)),
      progressBar_(Find(window, control::kProgressBar)),
      progressText_(Find(window, control::kProgressText)),
      statusBar_(Find(window, control::kStatusBar)) {
  MeasureBanner();
  MeasureGroups();
  MeasureRightSide();

  // The height each arrangement needs: the left column down to the duplicate group's
  // rows, and the list's few rows with the walk panel below.
  const Group& last = groups_.back();
  const int walkHeight = walkPanel_->height() + kMargin;
  const int compactListTop = kCompactBannerHeight + kCompactSpacing +
                             operations_.front().full.height() + kCompactSpacing +
                             progressBar_->height() + kCompactSpacing;
  fullHeightNeeded_ = std::max(last.full.top() + last.fullMinimumHeight,
                               kListTop + kMinimumListHeight + kMargin + walkHeight) +
                      kMargin + StatusHeight();
  compactHeightNeeded_ = std::max(last.compactTop + last.compactMinimumHeight,
                                  compactListTop + kMinimumListHeight + kMargin + walkHeight) +
                         kMargin + StatusHeight();

  int right = listLeft_ +
              std::max({operationsCompactRight_, walkCompactRight_, kMinimumListWidth}) + kMargin;
  for (const Group& group : groups_) right = std::max(right, group.full.right() + 1 + kMargin);
  for (const Item& item : inner_) {
    if (item.widget->parentWidget() == banner_)
      right = std::max(right, item.full.right() + 1 + kMargin);
  }
  minimum_ = QSize(right, compactHeightNeeded_);
}

void WindowLayout::MeasureBanner() {
  bannerFullHeight_ = banner_->height();
  std::vector<Placement> contents = Contents(window_, control::kBanner);
  for (QLabel* label : banner_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (label->objectName() == QString::fromUtf8(control::kBannerTitle))
      contents.push_back({label, label->geometry()});
  }
  for (const Placement& item : contents) {
    QRect compact = item.rect;
    const QByteArray name = item.widget->objectName().toUtf8();
    if (name == control::kBannerTitle) {
      compact.moveTop(kCompactTitleTop);
    } else if (name == control::kSavePicture || name == control::kHelpPicture) {
      compact.setTop(kCompactPicture.top());
      compact.setHeight(kCompactPicture.height());
    } else {
      compact.setTop(kCompactLinkText.top());
      compact.setHeight(kCompactLinkText.height());
    }
    inner_.push_back({item.widget, item.rect, compact});
  }
}

void WindowLayout::MeasureGroups() {
  // Panels hold a row of options each; they widen for their captions first, and the
  // group they sit in then fits its rows around them.
  QHash<QWidget*, int> panelWidths;
  for (const ControlSpec& entry : ControlRoster()) {
    if (entry.kind != ControlKind::Panel || !entry.container) continue;
    QWidget* panel = Find(window_, entry.name);
    std::vector<Placement> contents = Contents(window_, entry.name);
    FitRows(contents, panel->width());
    for (const Placement& item : contents) inner_.push_back({item.widget, item.rect, item.rect});
    panelWidths.insert(panel, std::max(panel->width(), RightOf(contents)));
  }

  int compactTop = kCompactBannerHeight + kCompactSpacing;
  for (const ControlSpec& entry : ControlRoster()) {
    if (entry.kind != ControlKind::GroupFrame) continue;
    QWidget* frame = Find(window_, entry.name);
    std::vector<Placement> contents = Contents(window_, entry.name);
    for (Placement& item : contents) {
      if (panelWidths.contains(item.widget)) item.rect.setWidth(panelWidths.value(item.widget));
    }
    FitRows(contents, frame->width() - 2);  // inside the frame line
    std::vector<Placement> compact = contents;
    const int titleHeight = contents.front().rect.height();
    const int compactBottom = Stack(compact, titleHeight + kCompactRowGap, kCompactRowGap);
    for (std::size_t i = 0; i < contents.size(); ++i)
      inner_.push_back({contents[i].widget, contents[i].rect, compact[i].rect});

    Group group{frame, frame->geometry(), compactTop, compactBottom + kCompactGroupBottom, 0, 0};
    // Captions wider than the frame's rows allow widen the frame.
    group.full.setWidth(std::max(group.full.width(), RightOf(contents) + 2));
    group.fullMinimumHeight = group.full.height();
    group.compactMinimumHeight = group.compactHeight;
    groups_.push_back(group);
    compactTop += group.compactHeight + kCompactGroupGap;
  }
  // A group that had to widen takes the others with it, as one column; the list keeps
  // its distance from them.
  int columnRight = 0;
  for (const Group& group : groups_) columnRight = std::max(columnRight, group.full.right() + 1);
  listLeft_ = std::max(kListLeft, columnRight + kColumnGap);
  if (listLeft_ == kListLeft) return;
  for (Group& group : groups_) group.full.setRight(columnRight - 1);
}

void WindowLayout::MeasureRightSide() {
  // The buttons above the list, at the roster's places relative to the list (widened
  // where a caption needs it), and packed.
  std::vector<Placement> buttons;
  for (const ControlSpec& entry : ControlRoster()) {
    if (entry.container || entry.kind != ControlKind::Button) continue;
    QWidget* button = Find(window_, entry.name);
    buttons.push_back({button, button->geometry().translated(-kListLeft, -button->y())});
  }
  std::vector<Placement> full = buttons;
  FitRows(full, walkPanel_->width());
  std::vector<Placement> packed = full;
  operationsCompactRight_ = Pack(packed, kPackedButtonGap, kNarrowestButton);
  operationsFullRight_ = RightOf(full);
  for (std::size_t i = 0; i < full.size(); ++i)
    operations_.push_back({full[i].widget, full[i].rect, packed[i].rect});

  // The walk panel's controls, the same way.
  std::vector<Placement> walk = Contents(window_, control::kWalkPanel);
  FitRows(walk, walkPanel_->width());
  std::vector<Placement> walkPacked = walk;
  walkCompactRight_ = Pack(walkPacked, kCompactSpacing, 0);
  walkFullRight_ = RightOf(walk);
  for (std::size_t i = 0; i < walk.size(); ++i)
    walkItems_.push_back({walk[i].widget, walk[i].rect, walkPacked[i].rect});
}

int WindowLayout::StatusHeight() const { return statusBar_->sizeHint().height(); }

double WindowLayout::VerticalBlend(int height) const {
  if (fullHeightNeeded_ <= compactHeightNeeded_) return 1;
  return std::clamp(static_cast<double>(height - compactHeightNeeded_) /
                        (fullHeightNeeded_ - compactHeightNeeded_),
                    0.0, 1.0);
}

double WindowLayout::HorizontalBlend(int listWidth) const {
  const int full = std::max(operationsFullRight_, walkFullRight_);
  const int compact = std::max(operationsCompactRight_, walkCompactRight_);
  if (full <= compact) return 1;
  return std::clamp(static_cast<double>(listWidth - compact) / (full - compact), 0.0, 1.0);
}

void WindowLayout::Apply() const {
  const int width = window_->width();
  const int height = window_->height();
  const int statusHeight = StatusHeight();
  const double t = VerticalBlend(height);
  statusBar_->setGeometry(0, height - statusHeight, width, statusHeight);

  const int bannerHeight = Blend(kCompactBannerHeight, bannerFullHeight_, t);
  banner_->setGeometry(0, 0, width, bannerHeight);
  bannerLine_->setGeometry(0, bannerHeight - bannerLine_->height(), width + 1,
                           bannerLine_->height());
  for (const Item& item : inner_) item.widget->setGeometry(Blend(item.compact, item.full, t));
  for (std::size_t i = 0; i < groups_.size(); ++i) {
    const Group& group = groups_[i];
    const int top = Blend(group.compactTop, group.full.top(), t);
    const int groupHeight = i + 1 < groups_.size()
                                ? Blend(group.compactHeight, group.full.height(), t)
                                : height - top - kMargin - statusHeight;
    group.frame->setGeometry(group.full.left(), top, group.full.width(), groupHeight);
  }

  // Right of the groups: the buttons, the progress bar, the list and the walk panel.
  const int operationsHeight = operations_.front().full.height();
  const int progressHeight = progressBar_->height();
  const int compactOperationsTop = kCompactBannerHeight + kCompactSpacing;
  const int compactProgressTop = compactOperationsTop + operationsHeight + kCompactSpacing;
  const int compactListTop = compactProgressTop + progressHeight + kCompactSpacing;
  const int operationsTop = Blend(compactOperationsTop, kOperationsTop, t);
  const int progressTop = Blend(compactProgressTop, kProgressTop, t);
  const int listTop = Blend(compactListTop, kListTop, t);
  const int listWidth = width - listLeft_ - kMargin;
  const int walkHeight = walkPanel_->height();
  list_->setGeometry(listLeft_, listTop, listWidth,
                     height - listTop - kMargin - statusHeight - walkHeight - kMargin);
  progressBar_->setGeometry(listLeft_, progressTop, listWidth, progressHeight);
  progressText_->setGeometry(10, 0, listWidth - 20, progressHeight);

  const double s = HorizontalBlend(listWidth);
  for (const Item& item : operations_) {
    const QRect rect = Blend(item.compact, item.full, s);
    item.widget->setGeometry(listLeft_ + rect.left(), operationsTop, rect.width(),
                             operationsHeight);
  }
  walkPanel_->setGeometry(listLeft_, list_->geometry().bottom() + 1 + kMargin,
                          std::min(listWidth, std::max(walkFullRight_, walkPanel_->width())),
                          walkHeight);
  for (const Item& item : walkItems_) item.widget->setGeometry(Blend(item.compact, item.full, s));
}

}  // namespace tarnwick
