// libFuzzer target of the save-then-load property: whatever bytes the settings file
// holds, the options loaded from it, saved into it and loaded again are the same.
// Built with clang and -DTARNWICK_FUZZ=ON; run, for instance:
//   build-fuzz/tests/settings/settings_round_trip_fuzzer -max_total_time=60 \
//       -dict=tests/settings/fuzz/settings.dict CORPUS_FOLDER

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/job/filter_options.h"
#include "settings/settings_file.h"
#include "tests/settings/options_difference.h"
#include "tests/settings/temp_folder.h"

namespace {

tarnwick::FilterOptions LoadedFrom(const std::string& path) {
  tarnwick::SettingsStore store;
  store.Open(path);
  tarnwick::FilterOptions options;
  tarnwick::LoadSettings(store, options, {});
  return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tarnwick::testing::TempFolder folder;
  static const std::string path = folder.Path("Tarnwick.ini");
  tarnwick::testing::WriteBytes(path, std::string(reinterpret_cast<const char*>(data), size));
  const tarnwick::FilterOptions loaded = LoadedFrom(path);
  {
    tarnwick::SettingsStore store;
    if (!store.Open(path) || !tarnwick::SaveSettings(store, loaded)) abort();
  }
  const std::string difference = tarnwick::testing::OptionsDifference(LoadedFrom(path), loaded);
  if (!difference.empty()) {
    std::fprintf(stderr, "options changed by a save: %s\n", difference.c_str());
    abort();
  }
  return 0;
}
