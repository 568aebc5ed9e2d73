#pragma once
// The filter options read from and written to the main window's controls. Every call
// reads or sets the control at that moment; nothing is copied, so a change the user
// makes during a job applies from the engine's next read.

#include <QObject>
#include <array>

#include "engine/job/option_controls.h"

class QAbstractButton;
class QComboBox;
class QWidget;

namespace tarnwick {

// The remembered folders are kept as raw path bytes in this property of their button.
inline constexpr const char* kTagProperty = "tag";

class WindowOptions final : public OptionControls {
 public:
  // Looks the controls up by object name under `window` once; they must exist.
  explicit WindowOptions(QWidget* window);

  bool IsChecked(Check check) const override;
  void SetChecked(Check check, bool on) override;
  std::string Caption(Check check) const override;
  std::string Text(Field field) const override;
  void SetText(Field field, const std::string& text) override;
  // An index outside the three modes selects 0 "默认".
  int MatchModeIndex() const override;
  void SetMatchModeIndex(int index) override;
  // Counts the change signals of the option controls, whoever changed them.
  std::uint64_t Revision() const override { return revision_; }

 private:
  void CountChangesOf(QWidget* field);

  std::array<QAbstractButton*, kCheckCount> checks_{};
  std::array<QWidget*, kFieldCount> fields_{};
  QComboBox* matchMode_ = nullptr;
  std::uint64_t revision_ = 0;
  // Receives the change signals; its end disconnects them, so a control that outlives
  // these options never calls into them.
  QObject changeReceiver_;
};

}  // namespace tarnwick
