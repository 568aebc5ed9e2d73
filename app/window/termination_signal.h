#pragma once
// SIGTERM (the session ending, a kill) as an ordinary event of the window's thread, so
// the program can close its window and save its options as on any close.

#include <QObject>

class QSocketNotifier;

namespace tarnwick {

class TerminationSignal final : public QObject {
  Q_OBJECT

 public:
  // Installs the handler for SIGTERM; one instance per process.
  explicit TerminationSignal(QObject* parent = nullptr);
  ~TerminationSignal() override;

 signals:
  void received();

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tarnwick
