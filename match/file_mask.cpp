#include "match/file_mask.h"

#include "match/utf8_repair.h"
#include "match/wildcard_to_regex.h"

namespace tarnwick {
namespace {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return lower;
}

}  // namespace

void FileMask::Build(std::string_view mask) {
  std::string shown;
  mask = NameForMatching(mask, shown);
  extension_.clear();
  regex_.reset();
  if (mask.empty()) mask = "*";
  if (mask == "*" || mask == "*.*") {
    kind_ = Kind::All;
    return;
  }
  if (mask.starts_with("*.") && mask.find('*', 1) == std::string_view::npos) {
    kind_ = Kind::Extension;
    extension_ = AsciiLower(mask.substr(1));
    return;
  }
  kind_ = Kind::Wildcard;
  regex_ = std::make_unique<RegexObject>(TextForm::Utf8);
  regex_->CreateEngine();
  regex_->SetPattern(WildcardToRegex(mask, TextForm::Utf8), true, true, true);
}

bool FileMask::Accepts(std::string_view name) {
  std::string shown;
  if (kind_ != Kind::All) name = NameForMatching(name, shown);
  switch (kind_) {
    case Kind::All:
      return true;
    case Kind::Extension:
      return name.size() >= extension_.size() &&
             AsciiLower(name.substr(name.size() - extension_.size())) == extension_;
    case Kind::Wildcard:
      return regex_->MatchCount(name) >= 1;
  }
  return false;
}

}  // namespace tarnwick
