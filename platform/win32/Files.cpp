#include "platform/Files.h"
#include "base/WideText.h"
#include "platform/Error.h"
#include "platform/win32/Handles.h"

#include <windows.h>

#include <utility>

namespace platform {
namespace {

HANDLE AsHandle(const FileHandle& File) {
  return reinterpret_cast<HANDLE>(File.Native());
}

FileHandle Adopt(HANDLE Handle, std::error_code& Error) {
  if (Handle == INVALID_HANDLE_VALUE) {
    Error = LastError();
    return {};
  }
  Error.clear();
  return FileHandle(reinterpret_cast<intptr_t>(Handle));
}

std::error_code Checked(BOOL Succeeded) {
  return Succeeded ? std::error_code() : LastError();
}

// Errors that a scanner or indexer holding the file for a moment produces.
bool IsTransient(DWORD Error) {
  return Error == ERROR_SHARING_VIOLATION || Error == ERROR_ACCESS_DENIED ||
         Error == ERROR_LOCK_VIOLATION;
}

// Whether another program holds File so that it cannot be replaced now: asked with an open of
// its own, because a refused ReplaceFileW may leave a scratch file of its own behind.
bool Replaceable(const std::wstring& File) {
  // False with GetLastError telling why.
  return static_cast<bool>(UniqueFileHandle(
      CreateFileW(File.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

struct FindTraits {
  using Value = HANDLE;
  static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Value Find) noexcept { FindClose(Find); }
};

} // namespace

std::error_code FileHandle::Close() {
  if (!IsOpen())
    return std::error_code(ERROR_INVALID_HANDLE, std::system_category());
  return Checked(CloseHandle(reinterpret_cast<HANDLE>(Release())));
}

std::optional<uint32_t> FileAttributes(std::u16string_view Path, std::error_code& Error) {
  const DWORD Attributes = GetFileAttributesW(marigold::ToWide(Path).c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES) {
    Error = LastError();
    return std::nullopt;
  }
  Error.clear();
  return Attributes;
}

bool IsNetworkDrive(char16_t Letter) {
  const wchar_t Root[] = {static_cast<wchar_t>(Letter), L':', L'\\', 0};
  return GetDriveTypeW(Root) == DRIVE_REMOTE;
}

std::optional<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern, std::error_code& Error) {
  WIN32_FIND_DATAW Data{};
  const marigold::UniqueResource<FindTraits> Find(
      FindFirstFileW(marigold::ToWide(Pattern).c_str(), &Data));
  if (!Find) {
    Error = LastError();
    return std::nullopt;
  }
  Error.clear();
  DirectoryEntry Entry;
  Entry.Name = marigold::AsUtf16(Data.cFileName);
  Entry.Attributes = Data.dwFileAttributes;
  Entry.LastWriteTime =
      static_cast<int64_t>((static_cast<uint64_t>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                           Data.ftLastWriteTime.dwLowDateTime);
  Entry.Size = (static_cast<uint64_t>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow;
  return Entry;
}

FileHandle OpenFileForReading(std::u16string_view Path, std::error_code& Error) {
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr),
               Error);
}

FileHandle CreateNewFile(std::u16string_view Path, std::error_code& Error) {
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr),
               Error);
}

std::error_code ReadOnce(FileHandle& File, std::span<char> Buffer) {
  if (Buffer.size() > MAXDWORD)
    return std::error_code(ERROR_INVALID_PARAMETER, std::system_category());
  DWORD Read = 0;
  if (!ReadFile(AsHandle(File), Buffer.data(), static_cast<DWORD>(Buffer.size()), &Read, nullptr))
    return LastError();
  return Read == Buffer.size() ? std::error_code() : ShortRead();
}

std::error_code WriteOnce(FileHandle& File, std::string_view Data) {
  if (Data.size() > MAXDWORD)
    return std::error_code(ERROR_INVALID_PARAMETER, std::system_category());
  DWORD Written = 0;
  if (!WriteFile(AsHandle(File), Data.data(), static_cast<DWORD>(Data.size()), &Written, nullptr))
    return LastError();
  return Written == Data.size() ? std::error_code() : ShortWrite();
}

std::error_code FlushFile(FileHandle& File) {
  return Checked(FlushFileBuffers(AsHandle(File)));
}

std::u16string FinalPath(std::u16string_view Path) {
  const std::wstring Wide = marigold::ToWide(Path);
  const DWORD Attributes = GetFileAttributesW(Wide.c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return std::u16string(Path);
  const UniqueFileHandle File(CreateFileW(Wide.c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  wchar_t Buffer[MAX_PATH + 8] = {};
  const DWORD Length =
      File ? GetFinalPathNameByHandleW(File.get(), Buffer, MAX_PATH + 8, FILE_NAME_NORMALIZED) : 0;
  if (Length == 0 || Length >= MAX_PATH + 8)
    return std::u16string(Path);
  std::wstring_view Final(Buffer, Length);
  // The result carries the long-path prefix: \\?\C:\... or \\?\UNC\server\share\...
  if (Final.starts_with(L"\\\\?\\UNC\\"))
    return u"\\" + std::u16string(marigold::AsUtf16(Final.data() + 8), Final.size() - 8);
  if (Final.starts_with(L"\\\\?\\"))
    Final.remove_prefix(4);
  return std::u16string(marigold::AsUtf16(Final.data()), Final.size());
}

FileHandle OpenFileForRewriting(std::u16string_view Path, std::error_code& Error) {
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
               Error);
}

std::error_code TruncateHere(FileHandle& File) {
  return Checked(SetEndOfFile(AsHandle(File)));
}

std::error_code ReplaceFileWith(std::u16string_view Source, std::u16string_view Target) {
  const std::wstring From = marigold::ToWide(Source), To = marigold::ToWide(Target);
  constexpr int Attempts = 10;
  for (int Attempt = 1;; ++Attempt) {
    const DWORD Former = GetFileAttributesW(To.c_str());
    const bool Exists = Former != INVALID_FILE_ATTRIBUTES;
    if (Exists ? Replaceable(To) && ReplaceFileW(To.c_str(), From.c_str(), nullptr,
                                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
               : MoveFileExW(From.c_str(), To.c_str(), MOVEFILE_WRITE_THROUGH)) {
      // ReplaceFileW keeps them on Windows; not every implementation does.
      constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
      if (Exists && (GetFileAttributesW(To.c_str()) & Kept) != (Former & Kept))
        SetFileAttributesW(To.c_str(), (Former & Kept) ? Former & Kept : FILE_ATTRIBUTE_NORMAL);
      return {};
    }
    const std::error_code Error = LastError();
    if (Attempt == Attempts || !IsTransient(static_cast<DWORD>(Error.value())))
      return Error;
    Sleep(50); // about half a second in all
  }
}

std::error_code RenameFile(std::u16string_view From, std::u16string_view To) {
  return Checked(MoveFileW(marigold::ToWide(From).c_str(), marigold::ToWide(To).c_str()));
}

std::error_code RemoveFile(std::u16string_view Path) {
  return Checked(DeleteFileW(marigold::ToWide(Path).c_str()));
}

std::error_code MakeDirectory(std::u16string_view Path) {
  return Checked(CreateDirectoryW(marigold::ToWide(Path).c_str(), nullptr));
}

} // namespace platform
