#include "platform/Shell.h"
#include "base/WideText.h"
#include "platform/win32/GrowingText.h"

#include <windows.h>

#include <shlobj.h>

namespace marigold::platform {

std::u16string ShellFolderPath(int32_t Csidl) {
  wchar_t Buffer[MAX_PATH + 2] = {};
  if (!SHGetSpecialFolderPathW(nullptr, Buffer, Csidl, FALSE))
    return {};
  Buffer[MAX_PATH + 1] = L'\0';
  return std::u16string(marigold::AsUtf16(Buffer));
}

bool QueryVersionNumbers(VersionNumbers& Out) {
  OSVERSIONINFOW Info{};
  static_assert(sizeof(Info) == 276);
  Info.dwOSVersionInfoSize = sizeof(Info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&Info))
    return false;
#pragma GCC diagnostic pop
  Out = {Info.dwMajorVersion, Info.dwMinorVersion, Info.dwBuildNumber};
  return true;
}

std::u16string EnvironmentValue(std::u16string_view Name) {
  const std::wstring Wide = marigold::ToWide(Name);
  const auto Value = GrowingText([&](wchar_t* Buffer, DWORD Size) {
    return GetEnvironmentVariableW(Wide.c_str(), Buffer, Size);
  });
  return Value ? *Value : std::u16string();
}

std::u16string LongPathName(std::u16string_view Path) {
  const std::wstring Wide = marigold::ToWide(Path);
  const auto Long = GrowingText(
      [&](wchar_t* Buffer, DWORD Size) { return GetLongPathNameW(Wide.c_str(), Buffer, Size); });
  return Long ? *Long : std::u16string();
}

} // namespace marigold::platform
