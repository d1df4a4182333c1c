#pragma once

// Scriptable shell folders and system version of the native stand-in. Defaults (and after
// ResetShell): Program Files 'C:\Program Files', roaming application data
// 'C:\Users\u\AppData\Roaming', version 6.1.7601; every other folder unknown.

#include "platform/Shell.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform::standin {

// The path the platform reports for Csidl; an empty Path makes the query fail.
void SetShellFolder(int32_t Csidl, std::u16string Path);
// The version the platform reports; nullopt makes the query fail.
void SetVersionNumbers(std::optional<VersionNumbers> Version);
void ResetShell();

} // namespace platform::standin
