#pragma once

#include <string>
#include <system_error>

namespace marigold::platform {

// Full path of the running process's main executable (GetModuleFileNameW(NULL)), at most 261
// units; empty when the platform cannot tell.
std::u16string HostExecutablePath();

// CreateProcessW with no application name, this command line, inherited handles, no
// environment or directory of its own, STARTUPINFOW zeroed but for its size; closes the returned
// handles at once. The system's error when the process could not be started.
[[nodiscard]] std::error_code StartProcess(std::u16string CommandLine);

} // namespace marigold::platform
