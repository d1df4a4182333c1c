#pragma once

// File-system calls. The native stand-in maps Windows paths onto a test folder: see
// platform/posix/FilesStandIn.h.

#include <string_view>

namespace platform {

// A file (not a folder) of that name exists; symbolic links followed.
bool FileExists(std::u16string_view Path);
// A folder of that name exists; symbolic links followed.
bool DirectoryExists(std::u16string_view Path);

} // namespace platform
