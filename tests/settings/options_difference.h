#pragma once
// Names every option in which two sets of options differ; empty when they agree.

#include <string>

#include "engine/job/option_controls.h"

namespace tarnwick::testing {

inline std::string OptionsDifference(const OptionControls& a, const OptionControls& b) {
  std::string difference;
  for (int i = 0; i < kCheckCount; ++i) {
    const Check check = static_cast<Check>(i);
    if (a.IsChecked(check) != b.IsChecked(check))
      difference += std::string(ObjectName(check)) + " ";
  }
  for (int i = 0; i < kFieldCount; ++i) {
    const Field field = static_cast<Field>(i);
    if (a.Text(field) != b.Text(field)) {
      difference +=
          std::string(ObjectName(field)) + "(" + a.Text(field) + "|" + b.Text(field) + ") ";
    }
  }
  if (a.MatchModeIndex() != b.MatchModeIndex()) difference += "组合框匹配模式";
  return difference;
}

}  // namespace tarnwick::testing
