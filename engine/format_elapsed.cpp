#include "engine/filter_job.h"
#include "results/size_text.h"

namespace tarnwick {

std::string FormatElapsed(std::int64_t ms) {
  struct Step {
    double divisor;  // from the previous unit to this one
    double limit;    // the value stays in this unit while below the limit
    const char* unit;
  };
  static constexpr Step kSteps[] = {
      {1, 1000, " 毫秒"}, {1000, 60, " 秒"}, {60, 60, " 分"},
      {60, 24, " 时"},    {24, 30, " 天"},   {30, 12, " 月"},
  };
  constexpr double kTolerance = 0.0000001;
  double value = static_cast<double>(ms);
  for (const Step& step : kSteps) {
    value /= step.divisor;
    if (step.limit - value > kTolerance) return HundredthsText(value) + step.unit;
  }
  return HundredthsText(value / 12) + " 年";
}

}  // namespace tarnwick
