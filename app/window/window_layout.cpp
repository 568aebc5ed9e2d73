#include "app/window/window_layout.h"

#include <QStatusBar>
#include <QWidget>
#include <algorithm>
#include <iterator>

#include "app/controls/control_roster.h"

namespace tarnwick {
namespace {

QWidget* Find(const QWidget* window, const char* name) {
  return window->findChild<QWidget*>(QString::fromUtf8(name));
}

// The margin the layout keeps between the controls and the window's edges.
constexpr int kMargin = 10;
// Rows of the list that stay visible at the smallest size.
constexpr int kMinimumListHeight = 120;

}  // namespace

void LayoutMainWindow(QWidget* window) {
  const int width = window->width();
  const int height = window->height();
  QWidget* banner = Find(window, control::kBanner);
  QWidget* bannerLine = Find(window, control::kBannerLine);
  QWidget* list = Find(window, control::kResultList);
  QWidget* walkPanel = Find(window, control::kWalkPanel);
  QWidget* duplicates = Find(window, control::kDuplicateGroup);
  QWidget* progress = Find(window, control::kProgressBar);
  QWidget* progressText = Find(window, control::kProgressText);
  QWidget* statusBar = Find(window, control::kStatusBar);
  if (!banner || !bannerLine || !list || !walkPanel || !duplicates || !progress || !progressText ||
      !statusBar)
    return;

  const int statusHeight = statusBar->sizeHint().height();
  statusBar->setGeometry(0, height - statusHeight, width, statusHeight);

  banner->resize(width, banner->height());
  bannerLine->resize(width + 1, bannerLine->height());

  list->resize(width - list->x() - kMargin,
               height - list->y() - kMargin - statusHeight - walkPanel->height() - kMargin);
  walkPanel->move(list->x(), list->y() + list->height() + kMargin);
  duplicates->resize(duplicates->width(), height - duplicates->y() - kMargin - statusHeight);

  progress->resize(list->width(), progress->height());
  progressText->setGeometry(10, 0, progress->width() - 20, progress->height());
}

QSize MinimumWindowSize(const QWidget* window) {
  const QWidget* list = Find(window, control::kResultList);
  const QWidget* walkPanel = Find(window, control::kWalkPanel);
  const QWidget* duplicates = Find(window, control::kDuplicateGroup);
  const QWidget* statusBar = Find(window, control::kStatusBar);
  if (!list || !walkPanel || !duplicates || !statusBar) return {};
  const QWidget* stretched[] = {list,
                                walkPanel,
                                Find(window, control::kBanner),
                                Find(window, control::kBannerLine),
                                Find(window, control::kProgressBar),
                                statusBar};

  // Every control that keeps its size, the walk panel's controls beside the list.
  int right = list->x() + walkPanel->childrenRect().right() + 1;
  for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow() &&
        std::find(std::begin(stretched), std::end(stretched), child) == std::end(stretched)) {
      right = std::max(right, child->geometry().right() + 1);
    }
  }
  // The duplicate group holds its options; the list a few rows above the walk panel.
  const int groupBottom = duplicates->y() + duplicates->childrenRect().bottom() + 1 + kMargin;
  const int listBottom = list->y() + kMinimumListHeight + kMargin + walkPanel->height() + kMargin;
  return {right + kMargin,
          std::max(groupBottom, listBottom) + kMargin + statusBar->sizeHint().height()};
}

}  // namespace tarnwick
