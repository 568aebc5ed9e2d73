#include "app/job/pattern_error_text.h"

#include <QCoreApplication>
#include <string_view>

namespace tarnwick {
namespace {

struct KnownError {
  std::string_view engine;  // PCRE2's message for the error
  const char* chinese;      // the window's words for it (a source of "PatternErrors")
};

// PCRE2's messages for the faults a pattern typed by hand runs into most.
constexpr KnownError kKnownErrors[] = {
    {"\\ at end of pattern", QT_TRANSLATE_NOOP("PatternErrors", "表达式以 \\ 结尾")},
    {"unrecognized character follows \\",
     QT_TRANSLATE_NOOP("PatternErrors", "\\ 后面的字符无法识别")},
    {"numbers out of order in {} quantifier",
     QT_TRANSLATE_NOOP("PatternErrors", "{} 中的数字前大后小")},
    {"number too big in {} quantifier", QT_TRANSLATE_NOOP("PatternErrors", "{} 中的数字太大")},
    {"missing terminating ] for character class",
     QT_TRANSLATE_NOOP("PatternErrors", "字符集缺少结尾的 ]")},
    {"range out of order in character class",
     QT_TRANSLATE_NOOP("PatternErrors", "字符集中的范围前大后小")},
    {"invalid range in character class", QT_TRANSLATE_NOOP("PatternErrors", "字符集中的范围无效")},
    {"quantifier does not follow a repeatable item",
     QT_TRANSLATE_NOOP("PatternErrors", "重复符号前面没有可以重复的内容")},
    {"unrecognized character after (? or (?-",
     QT_TRANSLATE_NOOP("PatternErrors", "(? 或 (?- 后面的字符无法识别")},
    {"POSIX named classes are supported only within a class",
     QT_TRANSLATE_NOOP("PatternErrors", "POSIX 字符类只能写在 [] 之内")},
    {"unknown POSIX class name", QT_TRANSLATE_NOOP("PatternErrors", "未知的 POSIX 字符类")},
    {"missing closing parenthesis", QT_TRANSLATE_NOOP("PatternErrors", "缺少右括号")},
    {"unmatched closing parenthesis", QT_TRANSLATE_NOOP("PatternErrors", "多出了右括号")},
    {"reference to non-existent subpattern",
     QT_TRANSLATE_NOOP("PatternErrors", "引用了不存在的分组")},
    {"missing ) after (?# comment", QT_TRANSLATE_NOOP("PatternErrors", "(?# 注释缺少结尾的 )")},
    {"parentheses are too deeply nested", QT_TRANSLATE_NOOP("PatternErrors", "括号嵌套太深")},
    {"regular expression is too large", QT_TRANSLATE_NOOP("PatternErrors", "正则表达式太长")},
    {"regular expression is too complicated",
     QT_TRANSLATE_NOOP("PatternErrors", "正则表达式太复杂")},
    {"lookbehind assertion is not fixed length",
     QT_TRANSLATE_NOOP("PatternErrors", "向后查找的长度不固定")},
    {"malformed \\P or \\p sequence", QT_TRANSLATE_NOOP("PatternErrors", "\\P 或 \\p 的写法有误")},
    {"unknown property after \\P or \\p",
     QT_TRANSLATE_NOOP("PatternErrors", "\\P 或 \\p 后面是未知的字符属性")},
};

constexpr std::string_view kPlace = " at character ";

}  // namespace

QString PatternErrorText(const std::string& engineWords) {
  const std::string_view words(engineWords);
  const std::size_t at = words.rfind(kPlace);
  const std::string_view message = at == std::string_view::npos ? words : words.substr(0, at);
  for (const KnownError& known : kKnownErrors) {
    if (known.engine != message) continue;
    QString text = QCoreApplication::translate("PatternErrors", known.chinese);
    if (at != std::string_view::npos) {
      const std::string_view place = words.substr(at + kPlace.size());
      text += QCoreApplication::translate("PatternErrors", "（第 %1 个字符处）")
                  .arg(QString::fromUtf8(place.data(), static_cast<qsizetype>(place.size())));
    }
    return text;
  }
  return QString::fromStdString(engineWords);
}

}  // namespace tarnwick
