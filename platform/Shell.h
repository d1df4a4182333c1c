#pragma once

// Shell folders and the system version. The native stand-in scripts both
// (platform/posix/ShellStandIn.h).

#include <cstdint>
#include <string>

namespace platform {

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

} // namespace platform
