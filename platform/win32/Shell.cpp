#include "platform/Shell.h"
#include "base/WideText.h"

#include <windows.h>

#include <shlobj.h>

namespace platform {
namespace {

// Calls that write a NUL-terminated text and answer its length, or the size they need (NUL
// included) when the buffer is too small, or 0 when they fail.
template <typename Call> std::u16string GrowingText(Call&& Fill) {
  std::wstring Buffer(MAX_PATH + 1, L'\0');
  for (int Tries = 0; Tries < 3; ++Tries) {
    const DWORD Length = Fill(Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0)
      return {};
    if (Length < Buffer.size())
      return std::u16string(marigold::AsUtf16(Buffer.data()), Length);
    Buffer.assign(Length, L'\0');
  }
  return {};
}

} // namespace

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
  return GrowingText([&](wchar_t* Buffer, DWORD Size) {
    return GetEnvironmentVariableW(Wide.c_str(), Buffer, Size);
  });
}

std::u16string LongPathName(std::u16string_view Path) {
  const std::wstring Wide = marigold::ToWide(Path);
  return GrowingText(
      [&](wchar_t* Buffer, DWORD Size) { return GetLongPathNameW(Wide.c_str(), Buffer, Size); });
}

} // namespace platform
