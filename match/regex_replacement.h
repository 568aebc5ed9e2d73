#pragma once
// The replacement text of RegexObject::ReplaceAll, read the ECMAScript way: «$$» is a
// dollar sign, «$&» the match, «$`» and «$'» the text before and after it, «$1».."$99"
// a group (empty when it took no part in the match); any other «$» stands for itself.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

// Appends replacement to out for one match of subject. offsets holds the start and end
// of the match and of each group (pairCount pairs; SIZE_MAX for a group that is unset).
void AppendReplacement(std::string& out, std::string_view replacement, std::string_view subject,
                       const std::size_t* offsets, std::size_t pairCount);

}  // namespace tarnwick
