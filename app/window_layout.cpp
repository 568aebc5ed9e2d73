#include "app/window_layout.h"

#include <QStatusBar>
#include <QWidget>

#include "app/control_roster.h"

namespace tarnwick {
namespace {

QWidget* Find(const QWidget* window, const char* name) {
  return window->findChild<QWidget*>(QString::fromUtf8(name));
}

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

  list->resize(width - list->x() - 10,
               height - list->y() - 10 - statusHeight - walkPanel->height() - 10);
  walkPanel->move(list->x(), list->y() + list->height() + 10);
  duplicates->resize(duplicates->width(), height - duplicates->y() - 10 - statusHeight);

  progress->resize(list->width(), progress->height());
  progressText->setGeometry(10, 0, progress->width() - 20, progress->height());
}

}  // namespace tarnwick
