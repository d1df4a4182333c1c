#pragma once

// The Windows version as the platform reports it to this process.

#include <cstdint>

namespace marigold {

struct TWindowsVersion {
  uint32_t Major = 0;
  uint32_t Minor = 0;
  uint32_t Build = 0;
};

// Major, minor and build number; all 0 when the platform does not answer.
[[nodiscard]] TWindowsVersion GetWindowsVersion();

} // namespace marigold
