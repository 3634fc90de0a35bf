#include "core/text_to_integer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/errors.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::S;

TEST(TextToInteger, Grammar) {
  struct Case {
    std::string text;
    bool ok;
    std::int32_t value;
  };
  const std::vector<Case> cases = {
      {"200", true, 200},
      {" 42", true, 42},
      {"   7", true, 7},
      {"42 ", false, 0},
      {"+7", true, 7},
      {"007", true, 7},
      {"-15", true, -15},
      {"$1F", true, 31},
      {"x1F", true, 31},
      {"X1f", true, 31},
      {"0x1f", true, 31},
      {"0X1F", true, 31},
      {"$FFFFFFFF", true, -1},
      {"$100000000", false, 0},
      {"2147483647", true, 2147483647},
      {"2147483648", false, 0},
      {"-2147483648", true, INT32_MIN},
      {"-2147483649", false, 0},
      {"-$10", false, 0},
      {"+x10", false, 0},
      {"", false, 0},
      {"   ", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"1.5", false, 0},
      {"\t5", false, 0},
      {"1e3", false, 0},
      {S(u8"１２"), false, 0},
      {"00000000000000000012", true, 12},
      {"0", true, 0},
      {"$0", true, 0},
  };
  for (const auto& c : cases) {
    if (c.ok) {
      EXPECT_EQ(TextToInteger(c.text), c.value) << "'" << c.text << "'";
    } else {
      try {
        TextToInteger(c.text);
        ADD_FAILURE() << "accepted '" << c.text << "'";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'" + c.text + S(u8"' は整数ではありません"));
      }
    }
  }
}

}  // namespace
}  // namespace corvane
