#pragma once

// Shell folders, the system version, environment values and long path names. The native
// stand-in scripts them all (platform/standin/ShellStandIn.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace marigold::platform {

// SHGetSpecialFolderPathW for this CSIDL without creating the folder: the text up to the first
// NUL (at most 261 units); empty when the platform reports failure.
std::u16string ShellFolderPath(int32_t Csidl);

struct VersionNumbers {
  uint32_t Major = 0;
  uint32_t Minor = 0;
  uint32_t Build = 0;
};
// GetVersionExW with the 276-byte record; false (and Out untouched) when it fails.
bool QueryVersionNumbers(VersionNumbers& Out);

// GetEnvironmentVariableW: the process's value of Name; empty when it is not set.
[[nodiscard]] std::u16string EnvironmentValue(std::u16string_view Name);

// GetLongPathNameW: Path with its 8.3 short names replaced by the long ones; empty when Path
// does not exist or cannot be read. Touches the disk of the path.
[[nodiscard]] std::u16string LongPathName(std::u16string_view Path);

} // namespace marigold::platform
