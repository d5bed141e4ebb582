#include "settings/value_list.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/exceptions.h"

namespace velmo {
namespace {

TEST(NextToken, TakesOneItemAndTheSeparatorAfterIt) {
  struct Case {
    const char* text;
    const char* token;
    const char* rest;
  };
  const Case cases[] = {
      {"  12  5", "12", " 5"}, {"7", "7", ""},          {"   ", "", "   "}, {"", "", ""},
      {"a b", "a", "b"},       {"a\tb c", "a\tb", "c"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    std::string token = "old";
    NextToken(text, token, ' ');
    EXPECT_EQ(token, c.token) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(NextToken, RefusesTextsBeyond65535Characters) {
  std::string text(65536, 'x');
  std::string token;
  EXPECT_THROW(NextToken(text, token, ' '), ERangeError);
  text.pop_back();
  NextToken(text, token, ' ');
  EXPECT_EQ(token.size(), 65535u);
}

std::vector<std::string> Split(std::string text, std::uint16_t maximum, std::string* rest = nullptr) {
  std::array<std::string, 64> items;
  std::uint16_t count = SplitList(text, items, maximum, ' ');
  if (rest != nullptr) *rest = text;
  return {items.begin(), items.begin() + count};
}

TEST(SplitList, CutsBlankSeparatedItems) {
  using Items = std::vector<std::string>;
  EXPECT_EQ(Split("0.5 1 2 5 10 N", 64), (Items{"0.5", "1", "2", "5", "10", "N"}));
  EXPECT_EQ(Split("   0.5    1  ", 64), (Items{"0.5", "1"}));
  EXPECT_EQ(Split("50 85  ", 64), (Items{"50", "85"}));
  EXPECT_EQ(Split("2.8,4", 64), (Items{"2.8,4"}));
  EXPECT_EQ(Split("2.8\t4", 64), (Items{"2.8\t4"}));
  EXPECT_EQ(Split("", 64), Items{});
  EXPECT_EQ(Split("     ", 64), Items{});
  EXPECT_EQ(Split("1 2 3", 0), Items{});
  std::string rest;
  EXPECT_EQ(Split("1 2 3 4", 2, &rest), (Items{"1", "2"}));
  EXPECT_EQ(rest, "3 4");
}

TEST(SplitList, KeepsTheFirst64Of70Items) {
  std::string line;
  for (int i = 1; i <= 70; ++i) line += std::to_string(i) + " ";
  std::vector<std::string> items = Split(line, 64);
  ASSERT_EQ(items.size(), 64u);
  EXPECT_EQ(items.front(), "1");
  EXPECT_EQ(items.back(), "64");
}

TEST(SplitList, RaisesRangeErrorWhenTheArrayIsTooSmall) {
  std::array<std::string, 2> items;
  std::string text = "1 2 3";
  EXPECT_THROW(SplitList(text, items, 5, ' '), ERangeError);
  // Text left after the last place counts, even when it holds no item.
  text = "1 2  ";
  EXPECT_THROW(SplitList(text, items, 5, ' '), ERangeError);
  text = "1 2 ";
  EXPECT_EQ(SplitList(text, items, 5, ' '), 2);
}

}  // namespace
}  // namespace velmo
