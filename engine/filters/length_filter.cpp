#include "engine/filters/length_filter.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "engine/filters/number_text.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

constexpr double kTolerance = 0.0000001;

// stat's size of the file, looked up in its folder (a link gives its target's size); 0
// when it is gone or cannot be looked at.
std::int64_t SizeOf(const platform::FileRef& file) {
  struct stat status {};
  if (::fstatat(file.folderFd, file.name, &status, 0) != 0) return 0;
  return static_cast<std::int64_t>(status.st_size);
}

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

LengthFilter::Result LengthFilter::Test(const platform::FileRef& file,
                                        const OptionControls& options,
                                        const std::function<bool()>& stopRequested,
                                        FileContent* content) {
  Result result;
  if (options.IsChecked(Check::MeasureSize)) {
    result.size = SizeOf(file);
    result.pass = WithinBounds(result.size, options, true);
    return result;
  }
  measure_.Configure(options.IsChecked(Check::StripTags), options.IsChecked(Check::StripSpace));
  StreamSettings settings;
  settings.stopRequested = stopRequested;
  settings.guessEncodings = options.IsChecked(Check::GuessEncodings);
  const StreamOutcome outcome = content ? StreamFileText(*content, measure_, settings)
                                        : StreamFileText(file, measure_, settings);
  if (outcome.status == StreamOutcome::Status::Stopped) {
    result.stopped = true;
    return result;
  }
  result.encoding = outcome.encoding;
  result.error = outcome.error;
  result.characters = measure_.Count();
  result.countedCharacters = true;
  result.pass = WithinBounds(result.characters, options, false);
  return result;
}

}  // namespace tarnwick
