#include "platform/Files.h"
#include "base/WideText.h"

#include <windows.h>

#include <utility>

namespace platform {
namespace {

HANDLE AsHandle(const FileHandle& File) {
  return reinterpret_cast<HANDLE>(File.Native());
}

FileHandle Adopt(HANDLE Handle) {
  return Handle == INVALID_HANDLE_VALUE ? FileHandle()
                                        : FileHandle(reinterpret_cast<intptr_t>(Handle));
}

// Errors that a scanner or indexer holding the file for a moment produces.
bool IsTransient(DWORD Error) {
  return Error == ERROR_SHARING_VIOLATION || Error == ERROR_ACCESS_DENIED ||
         Error == ERROR_LOCK_VIOLATION;
}

} // namespace

bool FileHandle::Close() {
  if (!IsOpen())
    return false;
  return CloseHandle(reinterpret_cast<HANDLE>(Release())) != 0;
}

std::optional<uint32_t> FileAttributes(std::u16string_view Path) {
  DWORD Attributes = GetFileAttributesW(marigold::ToWide(Path).c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES)
    return std::nullopt;
  return Attributes;
}

std::optional<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern) {
  WIN32_FIND_DATAW Data{};
  HANDLE Find = FindFirstFileW(marigold::ToWide(Pattern).c_str(), &Data);
  if (Find == INVALID_HANDLE_VALUE)
    return std::nullopt;
  FindClose(Find);
  DirectoryEntry Entry;
  Entry.Name = marigold::AsUtf16(Data.cFileName);
  Entry.Attributes = Data.dwFileAttributes;
  Entry.LastWriteTime =
      static_cast<int64_t>((static_cast<uint64_t>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                           Data.ftLastWriteTime.dwLowDateTime);
  Entry.Size = (static_cast<uint64_t>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow;
  return Entry;
}

FileHandle OpenFileForReading(std::u16string_view Path) {
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateNewFile(std::u16string_view Path) {
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadOnce(FileHandle& File, std::span<char> Buffer) {
  if (Buffer.size() > MAXDWORD)
    return false;
  DWORD Read = 0;
  return ReadFile(AsHandle(File), Buffer.data(), static_cast<DWORD>(Buffer.size()), &Read,
                  nullptr) &&
         Read == Buffer.size();
}

bool WriteOnce(FileHandle& File, std::string_view Data) {
  if (Data.size() > MAXDWORD)
    return false;
  DWORD Written = 0;
  return WriteFile(AsHandle(File), Data.data(), static_cast<DWORD>(Data.size()), &Written,
                   nullptr) &&
         Written == Data.size();
}

bool FlushFile(FileHandle& File) {
  return FlushFileBuffers(AsHandle(File)) != 0;
}

bool ReplaceFileWith(std::u16string_view Source, std::u16string_view Target) {
  const std::wstring From = marigold::ToWide(Source), To = marigold::ToWide(Target);
  constexpr int Attempts = 10;
  for (int Attempt = 1;; ++Attempt) {
    if (MoveFileExW(From.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    if (Attempt == Attempts || !IsTransient(GetLastError()))
      return false;
    Sleep(50); // about half a second in all
  }
}

bool RenameFile(std::u16string_view From, std::u16string_view To) {
  return MoveFileW(marigold::ToWide(From).c_str(), marigold::ToWide(To).c_str()) != 0;
}

bool RemoveFile(std::u16string_view Path) {
  return DeleteFileW(marigold::ToWide(Path).c_str()) != 0;
}

bool MakeDirectory(std::u16string_view Path) {
  return CreateDirectoryW(marigold::ToWide(Path).c_str(), nullptr) != 0;
}

} // namespace platform
