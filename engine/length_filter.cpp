#include "engine/length_filter.h"

#include "engine/count_characters.h"
#include "engine/number_text.h"
#include "results/file_size.h"
#include "text/text_loader.h"

namespace tarnwick {
namespace {

constexpr double kTolerance = 0.0000001;

// Multiplier of the selected unit; none of KB..TB selected means 1.
double UnitMultiplier(const OptionControls& options, bool measureSize) {
  struct Unit {
    Check check;
    double bytes;
    double characters;
  };
  static constexpr Unit kUnits[] = {
      {Check::UnitKB, 1024.0, 10.0},
      {Check::UnitMB, 1048576.0, 100.0},
      {Check::UnitGB, 1073741824.0, 1000.0},
      {Check::UnitTB, 1099511627776.0, 10000.0},
  };
  for (const Unit& unit : kUnits) {
    if (options.IsChecked(unit.check)) return measureSize ? unit.bytes : unit.characters;
  }
  return 1.0;
}

// The bounds are typed numbers held in single precision (16777217 reads as 16777216),
// scaled by the unit in double precision; both are inclusive.
bool WithinBounds(std::int64_t measure, const OptionControls& options, bool measureSize) {
  const double multiplier = UnitMultiplier(options, measureSize);
  const double value = static_cast<double>(measure);
  const double lower = static_cast<double>(ReadBound(options.Text(Field::LengthFrom))) * multiplier;
  if (value - lower < -kTolerance) return false;
  const double upper = static_cast<double>(ReadBound(options.Text(Field::LengthTo))) * multiplier;
  return value - upper <= kTolerance;
}

}  // namespace

void LengthFilter::PrepareFolder() {
  // The two patterns never change, so the engines compiled for the first folder serve
  // every later one; a tree of ten thousand folders would otherwise compile them ten
  // thousand times.
  if (prepared_) return;
  stripTags_.CreateEngine();
  stripTags_.SetPattern("<[\\s\\S]+?>", true, true, true);
  stripSpace_.CreateEngine();
  stripSpace_.SetPattern("\\s", true, true, true);
  prepared_ = true;
}

LengthFilter::Result LengthFilter::Test(const std::string& path, const OptionControls& options) {
  Result result;
  if (options.IsChecked(Check::MeasureSize)) {
    result.size = FileSizeOf(path);
    result.pass = WithinBounds(result.size, options, true);
    return result;
  }
  std::string text = LoadTextFile(path).text;
  if (options.IsChecked(Check::StripTags)) text = stripTags_.ReplaceAll(text, "");
  if (options.IsChecked(Check::StripSpace)) text = stripSpace_.ReplaceAll(text, "");
  result.characters = CountCharacters(text);
  result.countedCharacters = true;
  result.pass = WithinBounds(result.characters, options, false);
  return result;
}

}  // namespace tarnwick
