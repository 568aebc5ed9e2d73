#pragma once
// FilterOptions: every option of the main window as one plain, comparable value,
// starting at the window's initial values. The command line and the tests run jobs
// and save settings over it.

#include <array>
#include <string>

#include "engine/job/option_controls.h"

namespace tarnwick {

class FilterOptions final : public OptionControls {
 public:
  FilterOptions();
  // A copy of every option as `source` holds it now.
  explicit FilterOptions(const OptionControls& source);

  bool IsChecked(Check check) const override;
  void SetChecked(Check check, bool on) override;
  std::string Caption(Check check) const override;
  std::string Text(Field field) const override;
  void SetText(Field field, const std::string& text) override;
  int MatchModeIndex() const override { return matchMode_; }
  void SetMatchModeIndex(int index) override {
    matchMode_ = index;
    ++revision_;
  }
  std::uint64_t Revision() const override { return revision_; }

  // Compares the options; how often they changed does not count.
  bool operator==(const FilterOptions& other) const;

 private:
  std::array<bool, kCheckCount> checked_{};
  std::array<std::string, kFieldCount> texts_;
  int matchMode_ = 0;
  std::uint64_t revision_ = 0;
};

// The radio group a button belongs to, as the first and last Check of the group;
// {check, check} for a check box.
struct CheckGroup {
  Check first;
  Check last;
};
CheckGroup GroupOf(Check check);

// The caption a control has when the window is created (units read "B".."TB").
const char* InitialCaption(Check check);

// The unit captions for the character measure: "个", "十", "百", "千", "万".
const char* CharacterUnitCaption(Check unit);

}  // namespace tarnwick
