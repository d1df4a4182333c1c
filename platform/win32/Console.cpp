#include "platform/Console.h"

#include "base/WideText.h"
#include "platform/Error.h"
#include "platform/win32/Handles.h"

#include <windows.h>

#include <shellapi.h>

namespace marigold::platform {

void PrepareConsoleProgram() {}

std::u16string SystemPathOf(std::u16string_view WindowsPath) {
  return std::u16string(WindowsPath);
}

std::vector<std::u16string> ProgramArguments(int, char**) {
  int Count = 0;
  LPWSTR* Words = ::CommandLineToArgvW(::GetCommandLineW(), &Count);
  std::vector<std::u16string> Arguments;
  if (!Words)
    return Arguments;
  for (int I = 1; I < Count; ++I)
    Arguments.emplace_back(marigold::AsUtf16(Words[I]));
  ::LocalFree(Words);
  return Arguments;
}

void WriteStandard(std::string_view Utf8, bool ToErrors) {
  const HANDLE Stream = ::GetStdHandle(ToErrors ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (Stream == INVALID_HANDLE_VALUE || !Stream || Utf8.empty())
    return;
  DWORD Mode = 0;
  if (::GetConsoleMode(Stream, &Mode)) {
    // A console shows UTF-16 whatever its code page; bytes would go through the OEM page.
    const int Size =
        ::MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), static_cast<int>(Utf8.size()), nullptr, 0);
    std::wstring Text(static_cast<size_t>(Size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), static_cast<int>(Utf8.size()), Text.data(),
                          Size);
    DWORD Written = 0;
    (void)::WriteConsoleW(Stream, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
    return;
  }
  DWORD Written = 0;
  (void)::WriteFile(Stream, Utf8.data(), static_cast<DWORD>(Utf8.size()), &Written, nullptr);
}

bool UserLanguageIsJapanese() {
  return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

Result<std::string> ReadWholeFile(std::u16string_view Path) {
  const UniqueFileHandle File(::CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!File)
    return LastError();
  LARGE_INTEGER Size{};
  if (!::GetFileSizeEx(File.get(), &Size))
    return LastError();
  if (Size.QuadPart > 64 * 1024 * 1024)
    return std::error_code(ERROR_FILE_TOO_LARGE, std::system_category());
  std::string Bytes(static_cast<size_t>(Size.QuadPart), '\0');
  DWORD Read = 0;
  if (!Bytes.empty() &&
      !::ReadFile(File.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Read, nullptr))
    return LastError();
  Bytes.resize(Read);
  return Bytes;
}

std::u16string WindowsFolderOf(std::u16string_view Path) {
  const std::wstring Name = marigold::ToWide(Path);
  wchar_t* FilePart = nullptr;
  std::wstring Full(MAX_PATH, L'\0');
  const DWORD Length =
      ::GetFullPathNameW(Name.c_str(), static_cast<DWORD>(Full.size()), Full.data(), &FilePart);
  if (Length == 0 || Length >= Full.size() || !FilePart)
    return {};
  Full.resize(static_cast<size_t>(FilePart - Full.data()));
  return marigold::AsUtf16(Full.c_str());
}

} // namespace marigold::platform
