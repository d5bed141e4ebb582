#include "settings/integer_text.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

struct IntegerCase {
  const char* text;
  bool accepted;
  std::int32_t value;
};

TEST(IntegerFromText, AcceptsDecimalAndHexadecimalFormsOnly) {
  const IntegerCase cases[] = {
      {"0", true, 0},
      {"00", true, 0},
      {"-0", true, 0},
      {"+17", true, 17},
      {"   42", true, 42},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999", false, 0},
      {"$0", true, 0},
      {"$10", true, 16},
      {"x1F", true, 31},
      {"XfF", true, 255},
      {"0x10", true, 16},
      {"0X7FFFFFFF", true, 2147483647},
      {"$FFFFFFFF", true, -1},
      {"$80000000", true, -2147483647 - 1},
      {"$000000001", true, 1},
      {"$100000000", false, 0},
      {"-$10", false, 0},
      {"-0x10", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"$G", false, 0},
      {"", false, 0},
      {"   ", false, 0},
      {"+", false, 0},
      {"12 ", false, 0},
      {"1.0", false, 0},
      {"yes", false, 0},
      {"\t1", false, 0},
  };
  for (const IntegerCase& c : cases) {
    std::int32_t value = 12345;
    EXPECT_EQ(IntegerFromText(c.text, value), c.accepted) << '"' << c.text << '"';
    EXPECT_EQ(value, c.accepted ? c.value : 12345) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace velmo
