// Save then load gives back the options saved, whatever file the program loaded them
// from: files built from the pieces hand-edited settings files are made of (headers,
// several on one line, keys, both kinds of line end, stray brackets, bytes that are not
// UTF-8), at random but the same on every run.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/job/filter_options.h"
#include "options_difference.h"
#include "settings/settings_file.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

using testing::OptionsDifference;
using testing::TempFolder;
using testing::WriteBytes;

constexpr int kRounds = 1000;

const char* const kPieces[] = {
    "[主界面]",  "[丶]",    "[其他]",    "[",         "]",           "\r\n",      "\r\n",
    "\r\n",      "\n",      "\r",        "=",         "按内容筛选=", "包含内容=", "不含内容=",
    "筛选内容=", "文件名=", "文件内容=", "匹配模式=", "内容字数=",   "文件大小=", "B=",
    "KB=",       "个=",     "层次=",     "复制目录=", "真",          "假",        "┊*┊",
    "1",         "发票",    " ",         "x",         "\xff",        "\xb7\xa2",  "\0",
};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& items) {
  return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
}

std::string RandomFile(std::mt19937& random) {
  static const std::vector<std::string> pieces = [] {
    std::vector<std::string> all;
    for (const char* piece : kPieces) all.emplace_back(piece);
    all.emplace_back(std::string(1, '\0'));
    return all;
  }();
  std::string file;
  const int count = std::uniform_int_distribution<int>(0, 60)(random);
  for (int i = 0; i < count; ++i) file += Pick(random, pieces);
  return file;
}

// Options as the controls may hold them: one button of each group, texts with line
// breaks, brackets, "=" and bytes that are not UTF-8. The unit buttons round-trip only
// under the file-size measure (the unit is read under "B".."TB" whatever the measure), so
// that measure is kept.
FilterOptions RandomOptions(std::mt19937& random) {
  static const std::vector<std::string> texts = {
      "",   "发票\n合同", "a\r\nb", "[主界面]",         "x=y",
      "\n", "\r",         "5",      "\xb7\xa2\xc6\xb1", "/tmp/a b/"};
  FilterOptions options;
  std::bernoulli_distribution coin;
  for (int i = 0; i < kCheckCount; ++i) {
    const auto check = static_cast<Check>(i);
    if (check == Check::MeasureChars) continue;
    options.SetChecked(check, coin(random));
  }
  for (int i = 0; i < kFieldCount; ++i) {
    const auto field = static_cast<Field>(i);
    if (field != Field::NameMask) options.SetText(field, Pick(random, texts) + Pick(random, texts));
  }
  options.SetMatchModeIndex(std::uniform_int_distribution<int>(0, 2)(random));
  return options;
}

FilterOptions LoadedFrom(const std::string& path) {
  SettingsStore store;
  store.Open(path);
  FilterOptions options;
  LoadSettings(store, options, {});
  return options;
}

TEST(SaveThenLoad, GivesBackTheOptionsSavedWhateverFileTheyWentInto) {
  TempFolder folder;
  const std::string path = folder.Path("Tarnwick.ini");
  std::mt19937 random(22);
  const std::vector<std::string> seeds = {
      "",
      "[主界面][丶][主界面]\r\n按内容筛选=真\r\n筛选内容=发票┊*┊合同\r\n文件名=真",
      "[主界面]\n按内容筛选=真\n",
      "[主界面]x\r\n按内容筛选=真\r\n[主界面]\r\n包含内容=假",
      "[主界面]按内容筛选=真\r\n按内容筛选=真",
  };
  for (int round = 0; round < kRounds; ++round) {
    const std::string file =
        round < static_cast<int>(seeds.size()) ? seeds[round] : RandomFile(random);
    WriteBytes(path, file);
    const FilterOptions loaded = LoadedFrom(path);
    {
      SettingsStore store;
      ASSERT_TRUE(store.Open(path));
      ASSERT_TRUE(SaveSettings(store, loaded));
    }
    ASSERT_EQ(OptionsDifference(LoadedFrom(path), loaded), "")
        << "loaded options saved into " << ::testing::PrintToString(file);

    WriteBytes(path, file);
    const FilterOptions chosen = RandomOptions(random);
    {
      SettingsStore store;
      ASSERT_TRUE(store.Open(path));
      ASSERT_TRUE(SaveSettings(store, chosen));
    }
    ASSERT_EQ(OptionsDifference(LoadedFrom(path), chosen), "")
        << "options saved into " << ::testing::PrintToString(file);
  }
}

}  // namespace
}  // namespace tarnwick
