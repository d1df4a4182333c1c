#include "base/TextFormat.h"
#include "base/Unicode.h"

#include <gtest/gtest.h>

#include <limits>

using namespace marigold;

TEST(TextFormat, DecimalHasSignButNoLeadingZeros) {
  const std::pair<int64_t, std::u16string_view> Cases[] = {
      {0, u"0"},
      {-7, u"-7"},
      {2147483648, u"2147483648"},
      {std::numeric_limits<int64_t>::min(), u"-9223372036854775808"},
  };
  for (const auto& [N, Text] : Cases)
    EXPECT_EQ(Decimal(N), Text) << N;
}

TEST(TextFormat, HexKeepsTheLowDigitsWithZerosInFront) {
  const struct {
    uint64_t Value;
    int Digits;
    HexCase Case;
    std::string_view Text;
  } Cases[] = {
      {0xAB, 4, HexCase::Upper, "00AB"},
      {0xAB, 4, HexCase::Lower, "00ab"},
      {0x12345, 2, HexCase::Upper, "45"},
      {0xFEDCBA9876543210, 16, HexCase::Lower, "fedcba9876543210"},
  };
  for (const auto& C : Cases) {
    std::string Narrow = "x";
    AppendHex(Narrow, C.Value, C.Digits, C.Case);
    EXPECT_EQ(Narrow, std::string("x").append(C.Text));
    std::u16string Wide;
    AppendHex(Wide, C.Value, C.Digits, C.Case);
    EXPECT_EQ(ToUtf8(Wide), C.Text);
  }
}
