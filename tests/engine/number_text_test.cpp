#include "engine/filters/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace tarnwick {
namespace {

TEST(FullWidthToAscii, TurnsFullWidthFormsIntoAscii) {
  EXPECT_EQ(FullWidthToAscii("１２．５"), "12.5");
  EXPECT_EQ(FullWidthToAscii("－３ｅ＋２"), "-3e+2");
  EXPECT_EQ(FullWidthToAscii("\xE3\x80\x80"
                             "7"),
            " 7");  // ideographic space
  EXPECT_EQ(FullWidthToAscii("中文12"), "中文12");
  // A cut-off sequence is kept byte for byte.
  EXPECT_EQ(FullWidthToAscii("5\xEF\xBC"), "5\xEF\xBC");
}

TEST(ReadBound, ReadsTheLeadingDecimalNumber) {
  const std::pair<const char*, float> cases[] = {
      {"", 0},      {"abc", 0},      {"  10", 10},     {"\t+7", 7},   {"-2.5", -2.5f},
      {".5", 0.5f}, {"5.", 5},       {".", 0},         {"-", 0},      {"1E+2x", 100},
      {"2e+", 2},   {"3kb", 3},      {"１．５", 1.5f}, {"－４", -4},  {"1,5", 1},
      {"0x10", 0},  {"1.5.6", 1.5f}, {"1ｅ5", 1},      {"２Ｅ３", 2}, {"＋．５", 0.5f},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ReadBound(text), value) << "«" << text << "»";
}

TEST(ReadBound, OutOfRangeNumbersSaturate) {
  EXPECT_EQ(ReadBound("1e50"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadBound("-1e50"), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadBound("1e-50"), 0.0f);
  // Out of range without an exponent, and an exponent that does not bring it back.
  EXPECT_EQ(ReadBound("0." + std::string(51, '0') + "1"), 0.0f);
  EXPECT_EQ(ReadBound("5" + std::string(39, '0') + "e-1"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadBound("0.001e42"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadBound("1000e-50"), 0.0f);
  EXPECT_EQ(ReadBound("1e99999999999999999999"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ReadBound("-1e-99999999999999999999"), 0.0f);
  EXPECT_FALSE(std::isnan(ReadBound("nan")));
  EXPECT_EQ(ReadBound("inf"), 0.0f);
}

TEST(ReadLevel, ReadsTheLeadingInteger) {
  const std::pair<const char*, long long> cases[] = {
      {"", 0},
      {"x", 0},
      {" 3", 3},
      {"+4", 4},
      {"-1", -1},
      {"12ab", 12},
      {"2.9", 2},
      {"１２", 12},
      {"－２", -2},
      {"- 2", 0},
      {"\xE3\x80\x80"
       "5",
       5},
      {"99999999999999999999", std::numeric_limits<long long>::max()},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ReadLevel(text), value) << "«" << text << "»";
}

}  // namespace
}  // namespace tarnwick
