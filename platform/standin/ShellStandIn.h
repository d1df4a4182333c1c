#pragma once

// Scriptable shell folders, system version, environment and short names of the native stand-in.
// Defaults (and after ResetShell): Program Files 'C:\Program Files', roaming application data
// 'C:\Users\u\AppData\Roaming', version 6.1.7601; every other folder unknown; no environment
// value and no short name.

#include "platform/Shell.h"

#include <cstdint>
#include <optional>
#include <string>

namespace marigold::platform::standin {

// The path the platform reports for Csidl; an empty Path makes the query fail.
void SetShellFolder(int32_t Csidl, std::u16string Path);
// The version the platform reports; nullopt makes the query fail.
void SetVersionNumbers(std::optional<VersionNumbers> Version);
// The value EnvironmentValue reports for Name (compared without case); an empty Value unsets it.
void SetEnvironmentValue(std::u16string Name, std::u16string Value);
// Short names another spelling of the folder Long: LongPathName turns a leading Short (ASCII
// letters compared without case, ending at a '\' or the path's end) into Long, and then answers
// only for a path that exists on the stand-in's drives.
void SetShortName(std::u16string Short, std::u16string Long);
void ResetShell();

} // namespace marigold::platform::standin
