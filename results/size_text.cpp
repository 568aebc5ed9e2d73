#include "results/size_text.h"

#include <cmath>
#include <cstdio>

namespace tarnwick {

std::string HundredthsText(double value) {
  // The tiny bias keeps values such as 1.005, stored a hair below the half, rounding up.
  const double magnitude = std::fabs(value) * 100.0 + 1e-12;
  double rounded = std::floor(magnitude);
  if (magnitude - rounded >= 0.5) rounded += 1.0;
  rounded = std::copysign(rounded / 100.0, value);
  if (rounded == 0.0) rounded = 0.0;  // no "-0"
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.13g", rounded);
  return buffer;
}

std::string SizeText(std::int64_t size) {
  if (size < 1024) return std::to_string(size) + " B";
  static constexpr const char* kUnits[] = {" KB", " MB", " GB", " TB", " PB"};
  double value = static_cast<double>(size);
  int divisions = 0;
  do {
    value /= 1024.0;
    ++divisions;
  } while (value >= 1024.0 && divisions < 5);
  return HundredthsText(value) + kUnits[divisions - 1];
}

}  // namespace tarnwick
