#include "results/size_text.h"

#include <cmath>
#include <cstdio>

namespace tarnwick {

std::string HundredthsText(double value) {
  // The tiny bias keeps values such as 1.005, stored a hair below the half, rounding up.
  const double magnitude = std::fabs(value) * 100.0 + 1e-12;
  double hundredths = std::floor(magnitude);
  if (magnitude - hundredths >= 0.5) hundredths += 1.0;
  if (hundredths < 1e13) {
    // At most 13 digits: "%.13g" would print them all, so integer digits do the same
    // without the cost of printf for every row.
    const auto count = static_cast<std::uint64_t>(hundredths);
    std::string text = (value < 0 && count != 0) ? "-" : "";
    text += std::to_string(count / 100);
    const auto cents = static_cast<unsigned>(count % 100);
    if (cents != 0) {
      text += '.';
      text += static_cast<char>('0' + cents / 10);
      if (cents % 10 != 0) text += static_cast<char>('0' + cents % 10);
    }
    return text;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.13g", std::copysign(hundredths / 100.0, value));
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
