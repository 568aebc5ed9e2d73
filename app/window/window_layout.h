#pragma once
// Fits the main window's controls to its size. From the size the window opens with up,
// every control stands where the roster puts it, widened where its caption needs more
// room; the banner, the list, the walk panel below it, the duplicate group, the progress
// bar and the status bar follow the window's width and height, and the option groups do
// not move. A smaller window, down to what a laptop screen of 1366 by 768 leaves, draws
// the banner and the option groups' rows closer together and packs the buttons above
// and below the list, in proportion to what it lacks: every control stays whole.

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace tarnwick {

class WindowLayout {
 public:
  // Measures the controls of `window` as the builder placed them: the roster's controls,
  // the result list and the status bar must exist, with their captions in the window's
  // language.
  explicit WindowLayout(QWidget* window);

  // Places every control for the window's present size.
  void Apply() const;

  // The smallest size at which every control is whole, inside the window and clear of
  // the others, with a few rows of the list in view.
  QSize MinimumSize() const { return minimum_; }

 private:
  // A control whose geometry moves between two arrangements: `full` at the opening size
  // and above, `compact` at the smallest; relative to its container.
  struct Item {
    QWidget* widget;
    QRect full;
    QRect compact;
  };
  // One option group: its frame and the height its rows need in either arrangement.
  struct Group {
    QWidget* frame;
    QRect full;
    int compactTop;
    int compactHeight;
    int fullMinimumHeight;
    int compactMinimumHeight;
  };

  void MeasureBanner();
  void MeasureGroups();
  void MeasureRightSide();
  // How far the window's height is from the compact arrangement (0) to the full one (1).
  double VerticalBlend(int height) const;
  // The same for the width of the list, for the rows of buttons above and below it.
  double HorizontalBlend(int listWidth) const;
  int StatusHeight() const;

  QWidget* window_;
  QWidget* banner_;
  QWidget* bannerLine_;
  QWidget* list_;
  QWidget* walkPanel_;
  QWidget* progressBar_;
  QWidget* progressText_;
  QWidget* statusBar_;
  int bannerFullHeight_ = 0;
  int listLeft_ = 0;
  std::vector<Item> inner_;       // the children of the banner, groups and their panels
  std::vector<Group> groups_;     // top to bottom; the last one stretches to the bottom
  std::vector<Item> operations_;  // the button row above the list, relative to the list
  std::vector<Item> walkItems_;   // the walk panel's controls
  int operationsFullRight_ = 0, operationsCompactRight_ = 0;
  int walkFullRight_ = 0, walkCompactRight_ = 0;
  int fullHeightNeeded_ = 0, compactHeightNeeded_ = 0;
  QSize minimum_;
};

}  // namespace tarnwick
