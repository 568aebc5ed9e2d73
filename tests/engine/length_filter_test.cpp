#include "engine/filters/length_filter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "engine/filters/count_characters.h"
#include "engine/job/filter_options.h"
#include "tests/engine/temp_tree.h"
#include "tests/engine/walk_test_support.h"

namespace tarnwick {
namespace {

struct CountCase {
  std::string_view text;
  std::int64_t count;
};

TEST(CountCharactersTest, CountsCharactersAndLineBreaks) {
  const CountCase cases[] = {
      {"", 0},     {"a\r\nb", 3}, {"a\n\nb", 4},    {"a\r\rb", 4},
      {"\r", 1},   {"\n", 1},      {"\n\r", 2},      {"\r\r\n", 2},
      {"\xD6\xD0\xCE\xC4", 2},        // 中文
      {"\x81\x40", 1},                // double byte with an ASCII-range trail
      {"\x81\x30\x81\x30", 2},        // a four-byte character counts two
      {"\xD6\xD0\r\n\xCE\xC4\n", 4},  // line breaks after double bytes
      {"a\xD6", 1},                   // a lead byte left pending is not counted
      {"\xD6\n", 1},                  // a line feed completing a pending lead
  };
  for (const CountCase& test : cases) {
    EXPECT_EQ(CountCharacters(test.text), test.count)
        << testing::PrintToString(std::string(test.text));
  }
}

FilterOptions LengthOptions(Check measure, Check unit, std::string from, std::string to) {
  return test::Ticked({Check::LengthFilter, measure, unit},
                      {{Field::LengthFrom, from}, {Field::LengthTo, to}});
}

struct SizeCase {
  Check unit;
  const char* from;
  const char* to;
  std::int64_t size;
  bool pass;
};

class LengthFilterTest : public ::testing::Test {
 protected:
  test::TempTree tree;
  LengthFilter filter;
};

TEST_F(LengthFilterTest, FileSizeAgainstInclusiveBounds) {
  constexpr std::int64_t kTiB = 1099511627776;
  const SizeCase cases[] = {
      {Check::UnitB, "", "10", 0, true},
      {Check::UnitB, "", "10", 11, false},
      {Check::UnitKB, "1", "1", 1023, false},
      {Check::UnitKB, "1", "1", 1024, true},
      {Check::UnitKB, "1", "1", 1025, false},
      {Check::UnitKB, "1.5", "2", 1535, false},
      {Check::UnitKB, "1.5", "2", 1536, true},
      {Check::UnitKB, "1.5", "2", 2049, false},
      {Check::UnitTB, "0", "1", kTiB, true},
      {Check::UnitTB, "0", "1", kTiB + 1, false},
      // Bounds are single precision: 16777217 reads as 16777216.
      {Check::UnitB, "0", "16777217", 16777216, true},
      {Check::UnitB, "0", "16777217", 16777217, false},
      {Check::UnitB, "10", "5", 7, false},
      {Check::UnitB, "abc", "abc", 0, true},
      {Check::UnitB, "abc", "abc", 1, false},
      {Check::UnitB, "１", "１０", 10, true},
  };
  for (const SizeCase& test : cases) {
    // Zero bytes, sparse: terabyte sizes cost nothing.
    const std::string path = tree.Create("size" + std::to_string(test.size));
    ASSERT_EQ(::truncate(path.c_str(), test.size), 0);
    const LengthFilter::Result result =
        filter.Test(platform::FileAtPath(path),
                    LengthOptions(Check::MeasureSize, test.unit, test.from, test.to));
    EXPECT_EQ(result.pass, test.pass) << "bounds «" << test.from << "» «" << test.to << "» unit "
                                      << static_cast<int>(test.unit) << " size " << test.size;
    EXPECT_EQ(result.size, test.size);
    EXPECT_FALSE(result.countedCharacters);
  }
}

struct CharacterCase {
  std::string content;
  Check unit;
  bool stripTags;
  bool stripSpace;
  std::int64_t characters;
  bool pass;  // against the bounds 1 .. 2 of the unit
};

TEST_F(LengthFilterTest, CharacterCountAfterStripping) {
  const CharacterCase cases[] = {
      {std::string(9, 'a'), Check::UnitKB, false, false, 9, false},
      {std::string(10, 'a'), Check::UnitKB, false, false, 10, true},
      {std::string(20, 'a'), Check::UnitKB, false, false, 20, true},
      {std::string(21, 'a'), Check::UnitKB, false, false, 21, false},
      {"<p>Hi</p>", Check::UnitB, true, false, 2, true},
      {"a<b", Check::UnitB, true, false, 3, false},
      {"<p\r\nclass=x>ab", Check::UnitB, true, false, 2, true},
      {"a b\r\nc", Check::UnitB, false, true, 3, false},
      {" \t\r\n\v\f x ", Check::UnitB, false, true, 1, true},
      // Tags go first: "< >" is a tag, while "<>" left by stripping spaces is not.
      {"< >x", Check::UnitB, true, true, 1, true},
      {"中文", Check::UnitB, false, false, 2, true},
  };
  int index = 0;
  for (const CharacterCase& test : cases) {
    const std::string path = tree.Create("text" + std::to_string(index++), test.content);
    FilterOptions options = LengthOptions(Check::MeasureChars, test.unit, "1", "2");
    options.SetChecked(Check::StripTags, test.stripTags);
    options.SetChecked(Check::StripSpace, test.stripSpace);
    const LengthFilter::Result result = filter.Test(platform::FileAtPath(path), options);
    EXPECT_TRUE(result.countedCharacters);
    EXPECT_EQ(result.characters, test.characters) << test.content;
    EXPECT_EQ(result.pass, test.pass) << test.content;
  }
}

TEST_F(LengthFilterTest, UnreadableFileMeasuresZero) {
  const std::string fifo = tree.MakeFifo("fifo");
  for (const std::string& path : {fifo, tree.Path("missing")}) {
    const LengthFilter::Result chars = filter.Test(
        platform::FileAtPath(path), LengthOptions(Check::MeasureChars, Check::UnitB, "0", "5"));
    EXPECT_TRUE(chars.pass);
    EXPECT_EQ(chars.characters, 0);
    const LengthFilter::Result size = filter.Test(
        platform::FileAtPath(path), LengthOptions(Check::MeasureSize, Check::UnitB, "1", "5"));
    EXPECT_FALSE(size.pass);
    EXPECT_EQ(size.size, 0);
  }
}

}  // namespace
}  // namespace tarnwick
