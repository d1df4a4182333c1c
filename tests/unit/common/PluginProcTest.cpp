#include "plugin/PluginFrame.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace marigold;

using namespace marigold::plugin;

namespace {

constexpr char Sentinel = '\x5A';

std::array<char, 32> SentinelBuffer() {
  std::array<char, 32> Buffer;
  Buffer.fill(Sentinel);
  return Buffer;
}

// The bytes up to the first sentinel: what was written.
std::string Written(const std::array<char, 32>& Buffer) {
  std::string Result(Buffer.data(), Buffer.size());
  return Result.substr(0, Result.find(Sentinel));
}

intptr_t Address(std::array<char, 32>& Buffer) {
  return reinterpret_cast<intptr_t>(Buffer.data());
}

} // namespace

TEST(PluginCopyRule, FollowsLstrcpynA) {
  struct Case {
    uintptr_t Capacity;
    std::string Expected;
  } Cases[] = {
      {100, std::string("Version 3.1.4\0", 14)},
      {14, std::string("Version 3.1.4\0", 14)},
      {13, std::string("Version 3.1.\0", 13)},
      {8, std::string("Version\0", 8)},
      {2, std::string("V\0", 2)},
      {1, std::string("\0", 1)},
      {0, ""},
  };
  for (const auto& C : Cases) {
    auto Buffer = SentinelBuffer();
    CopyLimited("Version 3.1.4", Buffer.data(), C.Capacity);
    EXPECT_EQ(Written(Buffer), C.Expected) << "capacity " << C.Capacity;
  }
}

TEST(PluginProc, NameAndVersionAnswerTheirLengthAndCopyWhenGivenABuffer) {
  struct Case {
    uint32_t Code;
    uintptr_t Capacity;
    bool WithBuffer;
    intptr_t Answer;
    std::string Expected;
  } Cases[] = {
      {QueryPlugInName, 100, true, 8, std::string("Marigold\0", 9)},
      {QueryPlugInName, 100, false, 8, ""},
      {QueryPlugInName, 4, true, 8, std::string("Mar\0", 4)},
      {QueryPlugInVersion, 100, true, 13, std::string("Version 3.1.4\0", 14)},
      {QueryPlugInVersion, 8, true, 13, std::string("Version\0", 8)},
      {QueryPlugInVersion, 1, true, 13, std::string("\0", 1)},
      {QueryPlugInVersion, 0, true, 13, ""},
      {QueryPlugInVersion, 100, false, 13, ""},
  };
  for (const auto& C : Cases) {
    auto Buffer = SentinelBuffer();
    EXPECT_EQ(AnswerPlugInProc(nullptr, C.Code, C.Capacity, C.WithBuffer ? Address(Buffer) : 0),
              C.Answer);
    EXPECT_EQ(Written(Buffer), C.Expected) << "code " << C.Code << " capacity " << C.Capacity;
  }
}

TEST(PluginProc, OtherCodesAnswerWithoutTouchingTheBuffer) {
  struct Case {
    uint32_t Code;
    intptr_t Answer;
  } Cases[] = {{2310, 1}, {2304, 0}, {2305, 0}, {2307, 0},
               {2309, 0}, {0, 0},    {2312, 0}, {0xFFFFFFFF, 0}};
  for (const auto& C : Cases) {
    auto Buffer = SentinelBuffer();
    EXPECT_EQ(AnswerPlugInProc(nullptr, C.Code, Buffer.size(), Address(Buffer)), C.Answer)
        << C.Code;
    EXPECT_EQ(Written(Buffer), "") << C.Code;
  }
}
