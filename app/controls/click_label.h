#pragma once
// A caption or picture of the banner that acts like a link.

#include <QLabel>

namespace tarnwick {

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  // The caption links act as soon as the left button goes down on them; the pictures
  // act on a complete click (press and release over the picture).
  enum class Trigger { LeftPress, Click };

  ClickLabel(Trigger trigger, QWidget* parent);

 signals:
  void activated();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Trigger trigger_;
  bool pressedInside_ = false;
};

}  // namespace tarnwick
