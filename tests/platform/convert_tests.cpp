#include <gtest/gtest.h>

#include "platform/core/Convert.h"

using platform::strToInt;

TEST(StrToInt, AcceptsDecimalAndHexForms) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"  7", 7},
      {"+5", 5},
      {"-12", -12},
      {"$F", 15},
      {"xff", 255},
      {"X10", 16},
      {"-$10", -16},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", INT32_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(strToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RefusesEverythingElseWithTheTextInTheMessage) {
  const char* bad[] = {"",   " ",    "ab",  "5 ",         "1.5",         "+",         "-",  "$",
                       "$G", "0x10", "--1", "2147483648", "-2147483649", "$80000000", "\t5"};
  for (const char* text : bad) {
    try {
      strToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const platform::ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid integer value");
    }
  }
  // A NUL would cut the message where it is shown: it shows as the symbol for null.
  EXPECT_THROW(
      try { strToInt(std::string("5\0 1", 4)); } catch (const platform::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'5\xE2\x90\x80 1' is not a valid integer value");
        throw;
      },
      platform::ConversionError);
}
