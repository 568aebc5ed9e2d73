#pragma once
// Why a content pattern does not compile, in the window's language. The regular
// expression engine (PCRE2) gives its reason in English ("missing closing parenthesis
// at character 3"); the reasons a user meets most often read in Chinese in the Chinese
// window, the others in the engine's own words.

#include <QString>
#include <string>

namespace tarnwick {

// `engineWords` as RegexObject::CompileError gives them: the engine's message, then,
// when it names a place, " at character " and the character's number from 1.
QString PatternErrorText(const std::string& engineWords);

}  // namespace tarnwick
