#include "platform/Files.h"
#include "base/WideText.h"
#include "platform/Error.h"
#include "platform/win32/GrowingText.h"
#include "platform/win32/Handles.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace marigold::platform {
namespace {

HANDLE AsHandle(const FileHandle& File) {
  return reinterpret_cast<HANDLE>(File.get());
}

Result<FileHandle> Adopt(HANDLE Handle) {
  if (Handle == INVALID_HANDLE_VALUE)
    return LastError();
  return FileHandle(reinterpret_cast<intptr_t>(Handle));
}

std::error_code Checked(BOOL Succeeded) {
  return Succeeded ? std::error_code() : LastError();
}

// For one call on this thread, a drive without its disk (a card reader, a CD drive) answers an
// error instead of the system's "no disk" box, which would stop the editor or a look-up thread
// until someone clicks it. SetThreadErrorMode exists from Windows 7 on; Vista shows the box.
class QuietErrorBoxes {
public:
  QuietErrorBoxes() {
    if (Set)
      FRestore = Set(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &FFormer);
  }
  ~QuietErrorBoxes() {
    if (FRestore)
      Set(FFormer, nullptr);
  }
  QuietErrorBoxes(const QuietErrorBoxes&) = delete;
  QuietErrorBoxes& operator=(const QuietErrorBoxes&) = delete;

private:
  using SetThreadErrorModeFn = BOOL(WINAPI*)(DWORD, LPDWORD);
  static inline const SetThreadErrorModeFn Set =
      reinterpret_cast<SetThreadErrorModeFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadErrorMode")));
  BOOL FRestore = FALSE;
  DWORD FFormer = 0;
};

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

void FileTraits::Close(Value File) noexcept {
  CloseHandle(reinterpret_cast<HANDLE>(File));
}

std::error_code CloseFile(FileHandle& File) {
  if (!File)
    return std::error_code(ERROR_INVALID_HANDLE, std::system_category());
  return Checked(CloseHandle(reinterpret_cast<HANDLE>(File.release())));
}

bool IsNotFound(std::error_code Error) noexcept {
  return Error.category() == std::system_category() &&
         (Error.value() == ERROR_FILE_NOT_FOUND || Error.value() == ERROR_PATH_NOT_FOUND);
}

bool IsBusy(std::error_code Error) noexcept {
  return Error.category() == std::system_category() &&
         (Error.value() == ERROR_SHARING_VIOLATION || Error.value() == ERROR_ACCESS_DENIED ||
          Error.value() == ERROR_LOCK_VIOLATION);
}

Result<uint32_t> FileAttributes(std::u16string_view Path) {
  const QuietErrorBoxes Quiet;
  const DWORD Attributes = GetFileAttributesW(marigold::ToWide(Path).c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES)
    return LastError();
  return static_cast<uint32_t>(Attributes);
}

std::error_code ChangeFileAttributes(std::u16string_view Path, uint32_t Attributes) {
  return Checked(SetFileAttributesW(marigold::ToWide(Path).c_str(), Attributes));
}

Result<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern) {
  const QuietErrorBoxes Quiet;
  WIN32_FIND_DATAW Data{};
  const marigold::UniqueResource<FindTraits> Find(
      FindFirstFileW(marigold::ToWide(Pattern).c_str(), &Data));
  if (!Find)
    return LastError();
  DirectoryEntry Entry;
  Entry.Name = marigold::AsUtf16(Data.cFileName);
  Entry.Attributes = Data.dwFileAttributes;
  Entry.LastWriteTime =
      static_cast<int64_t>((static_cast<uint64_t>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                           Data.ftLastWriteTime.dwLowDateTime);
  Entry.Size = (static_cast<uint64_t>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow;
  return Entry;
}

Result<FileHandle> OpenFileForReading(std::u16string_view Path) {
  const QuietErrorBoxes Quiet;
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
}

Result<uint64_t> FileSize(const FileHandle& File) {
  LARGE_INTEGER Size{};
  if (!GetFileSizeEx(AsHandle(File), &Size))
    return LastError();
  return static_cast<uint64_t>(Size.QuadPart);
}

Result<size_t> ReadSome(FileHandle& File, std::span<char> Buffer) {
  DWORD Read = 0;
  const auto Wanted = static_cast<DWORD>(std::min<size_t>(Buffer.size(), MAXDWORD));
  if (!ReadFile(AsHandle(File), Buffer.data(), Wanted, &Read, nullptr))
    return LastError();
  return static_cast<size_t>(Read);
}

Result<FileHandle> CreateNewFile(std::u16string_view Path) {
  const QuietErrorBoxes Quiet;
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
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

Result<std::u16string> FinalPathName(std::u16string_view Path) {
  const QuietErrorBoxes Quiet;
  const UniqueFileHandle File(CreateFileW(marigold::ToWide(Path).c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!File)
    return LastError();
  return GrowingText([&](wchar_t* Buffer, DWORD Size) {
    return GetFinalPathNameByHandleW(File.get(), Buffer, Size, FILE_NAME_NORMALIZED);
  });
}

Result<FileHandle> OpenFileForRewriting(std::u16string_view Path) {
  const QuietErrorBoxes Quiet;
  return Adopt(CreateFileW(marigold::ToWide(Path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::error_code TruncateHere(FileHandle& File) {
  return Checked(SetEndOfFile(AsHandle(File)));
}

Result<FileHandle> OpenLockFile(std::u16string_view Path) {
  const QuietErrorBoxes Quiet;
  return Adopt(CreateFileW(
      marigold::ToWide(Path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

std::error_code ReplaceFileWith(std::u16string_view Target, std::u16string_view Replacement,
                                std::u16string_view Backup) {
  const std::wstring To = marigold::ToWide(Target);
  if (!Replaceable(To))
    return LastError();
  const std::wstring Former = marigold::ToWide(Backup);
  return Checked(ReplaceFileW(To.c_str(), marigold::ToWide(Replacement).c_str(),
                              Former.empty() ? nullptr : Former.c_str(),
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
}

ReplaceFailure ReplaceFailureOf(std::error_code Error) noexcept {
  if (Error.category() != std::system_category())
    return ReplaceFailure::NothingMoved;
  switch (Error.value()) {
  case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
  case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
    return ReplaceFailure::ReplacementLeft;
  case ERROR_INVALID_FUNCTION:
  case ERROR_NOT_SUPPORTED:
  case ERROR_INVALID_PARAMETER:
    return ReplaceFailure::Unsupported;
  default:
    return ReplaceFailure::NothingMoved;
  }
}

std::error_code MoveFileTo(std::u16string_view From, std::u16string_view To, bool ReplaceExisting) {
  return Checked(
      MoveFileExW(marigold::ToWide(From).c_str(), marigold::ToWide(To).c_str(),
                  MOVEFILE_WRITE_THROUGH | (ReplaceExisting ? MOVEFILE_REPLACE_EXISTING : 0)));
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

} // namespace marigold::platform
