#include "platform/Process.h"
#include "base/WideText.h"
#include "platform/Error.h"
#include "platform/win32/Handles.h"

#include <windows.h>

namespace marigold::platform {
std::u16string HostExecutablePath() {
  wchar_t Buffer[MAX_PATH + 2] = {};
  // A name that does not fit comes back cut to the buffer's size, not always terminated.
  const DWORD Length = GetModuleFileNameW(nullptr, Buffer, MAX_PATH + 2);
  if (Length == 0 || Length >= MAX_PATH + 2)
    return {};
  return std::u16string(marigold::AsUtf16(Buffer), Length);
}

std::error_code StartProcess(std::u16string CommandLine) {
  STARTUPINFOW Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Info{};
  std::wstring Writable = marigold::ToWide(CommandLine);
  if (!CreateProcessW(nullptr, Writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &Startup, &Info))
    return LastError();
  // Nothing waits for the new process: both handles go at once.
  const UniqueKernelHandle Process(Info.hProcess), Thread(Info.hThread);
  return {};
}

} // namespace marigold::platform
