#include "app/window/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace tarnwick {
namespace {

QMargins FrameOf(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  const QRect client = window->geometry();
  if (frame != client) {
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
  }
  // Not yet framed: a title bar and thin borders, as most window managers draw them.
  const QStyle* style = window->style();
  const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
  const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
  return {border, title + border, border, border};
}

}  // namespace

QRect OpeningGeometry(const QRect& wanted, const QRect& available, const QMargins& frame,
                      const QSize& minimum) {
  const QRect inside = available.marginsRemoved(frame);
  if (inside.contains(wanted)) return wanted;
  const QSize size(std::max(minimum.width(), std::min(wanted.width(), inside.width())),
                   std::max(minimum.height(), std::min(wanted.height(), inside.height())));
  // Inside the area where the size allows, the top left corner first.
  const int left =
      std::max(inside.left(), std::min(wanted.left(), inside.right() + 1 - size.width()));
  const int top =
      std::max(inside.top(), std::min(wanted.top(), inside.bottom() + 1 - size.height()));
  return {QPoint(left, top), size};
}

void FitOnScreen(QWidget* window, const QRect& wanted) {
  const QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) {
    window->setGeometry(wanted);
    return;
  }
  window->setGeometry(
      OpeningGeometry(wanted, screen->availableGeometry(), FrameOf(window), window->minimumSize()));
}

}  // namespace tarnwick
