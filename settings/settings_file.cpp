#include "settings/settings_file.h"

#include <variant>

#include "engine/job/filter_options.h"
#include "settings/value_encoding.h"

namespace tarnwick {
namespace {

struct TextKey {
  Field field;
  const char* key;
};
struct MatchModeKey {};
struct LevelsDone {};  // where loading lets the window apply its enable rules and units

using Step = std::variant<Check, TextKey, MatchModeKey, LevelsDone>;

// Every option in the order it is written and read.
const Step kSteps[] = {
    Check::ContentFilter,
    Check::ContainsContent,
    Check::LacksContent,
    TextKey{Field::ContentPattern, "筛选内容"},
    Check::InName,
    Check::InContent,
    MatchModeKey{},
    Check::LengthFilter,
    Check::StripTags,
    Check::StripSpace,
    Check::MeasureSize,
    Check::MeasureChars,
    TextKey{Field::LengthFrom, "长度起始"},
    TextKey{Field::LengthTo, "长度终止"},
    Check::UnitB,
    Check::UnitKB,
    Check::UnitMB,
    Check::UnitGB,
    Check::UnitTB,
    Check::TimeFilter,
    Check::TimeCreated,
    Check::TimeAccessed,
    Check::TimeModified,
    Check::CompareDate,
    Check::CompareTime,
    Check::CompareBoth,
    TextKey{Field::TimeFrom, "时间起始"},
    TextKey{Field::TimeTo, "时间终止"},
    Check::DuplicateFilter,
    Check::DupByMd5,
    Check::DupByLength,
    Check::DupByName,
    Check::DupOne,
    Check::DupAll,
    Check::DupAllButOne,
    Check::ScopeTree,
    Check::ScopeThis,
    Check::ScopeLevels,
    TextKey{Field::Levels, "层次"},
    LevelsDone{},
    TextKey{Field::FilterFolder, "筛选目录"},
    TextKey{Field::MoveFolder, "移动目录"},
    TextKey{Field::CopyFolder, "复制目录"},
    // Keys added later come after every earlier one: a file written before them loads
    // as it did, and saving it again leaves every earlier key where it was.
    Check::GuessEncodings,
    Check::DupByText,
    Check::DupBySimilarity,
    TextKey{Field::Similarity, "相似度"},
};

constexpr const char* kMatchModeKey = "匹配模式";

bool IsUnit(Check check) { return check >= Check::UnitB && check <= Check::UnitTB; }

// The controls break lines with "\n", the store with CR LF.
std::string ToStoreLineBreaks(const std::string& text) { return ReplaceAll(text, "\n", "\r\n"); }
std::string ToControlLineBreaks(const std::string& text) { return ReplaceAll(text, "\r\n", "\n"); }

struct Saver {
  SettingsStore& store;
  const OptionControls& options;
  bool ok = true;

  void operator()(Check check) { ok = store.SaveCheck(options, check) && ok; }
  void operator()(const TextKey& text) {
    ok = store.WriteText(text.key, ToStoreLineBreaks(options.Text(text.field))) && ok;
  }
  void operator()(MatchModeKey) {
    ok = store.WriteNumber(kMatchModeKey, options.MatchModeIndex()) && ok;
  }
  void operator()(LevelsDone) {}
};

struct Loader {
  SettingsStore& store;
  OptionControls& options;
  const std::function<void()>& afterLevels;

  void operator()(Check check) {
    if (!IsUnit(check)) {
      store.LoadCheck(options, check);
      return;
    }
    // The window is created with the file-size captions and reads the units under
    // them, whatever the measure; the captions follow the measure only afterwards.
    options.SetChecked(check, store.ReadFlag(InitialCaption(check), options.IsChecked(check)));
  }
  void operator()(const TextKey& text) {
    const std::string present = ToStoreLineBreaks(options.Text(text.field));
    options.SetText(text.field, ToControlLineBreaks(store.ReadText(text.key, present)));
  }
  void operator()(MatchModeKey) {
    const long long index = store.ReadNumber(kMatchModeKey, options.MatchModeIndex());
    options.SetMatchModeIndex(index >= 0 && index <= 2 ? static_cast<int>(index) : 0);
  }
  void operator()(LevelsDone) {
    if (afterLevels) afterLevels();
  }
};

}  // namespace

bool SaveSettings(SettingsStore& store, const OptionControls& options) {
  store.SetSection(kMainWindowSection);
  Saver saver{store, options};
  for (const Step& step : kSteps) std::visit(saver, step);
  const bool committed = store.Commit();
  return saver.ok && committed;
}

void LoadSettings(SettingsStore& store, OptionControls& options,
                  const std::function<void()>& afterLevels) {
  store.SetSection(kMainWindowSection);
  Loader loader{store, options, afterLevels};
  for (const Step& step : kSteps) std::visit(loader, step);
}

}  // namespace tarnwick
