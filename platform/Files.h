#pragma once

// File-system calls. Paths are Windows paths; the native stand-in maps them onto a test folder
// (platform/standin/FilesStandIn.h). Every call reports failure by its result, never by throwing:
// the system's error (platform/Error.h), empty on success, or a Result that holds it.

#include "base/UniqueResource.h"
#include "platform/Error.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace marigold::platform {

// Attribute bits with their Win32 values.
inline constexpr uint32_t AttributeReadOnly = 0x01;
inline constexpr uint32_t AttributeHidden = 0x02;
inline constexpr uint32_t AttributeSystem = 0x04;
inline constexpr uint32_t AttributeDirectory = 0x10;
inline constexpr uint32_t AttributeArchive = 0x20;
inline constexpr uint32_t AttributeNormal = 0x80;
inline constexpr uint32_t AttributeReparsePoint = 0x400; // a symbolic link, for one
inline constexpr uint32_t AttributeNotContentIndexed = 0x2000;

// Attributes of an existing file or folder (GetFileAttributesW).
[[nodiscard]] Result<uint32_t> FileAttributes(std::u16string_view Path);
// SetFileAttributesW.
[[nodiscard]] std::error_code ChangeFileAttributes(std::u16string_view Path, uint32_t Attributes);

// A file (not a folder) of that name exists; symbolic links followed. Why not is not asked.
[[nodiscard]] inline bool FileExists(std::u16string_view Path) {
  const auto Attributes = FileAttributes(Path);
  return Attributes && (*Attributes & AttributeDirectory) == 0;
}

struct DirectoryEntry {
  std::u16string Name;       // last component only, as found
  uint32_t Attributes = 0;   // Attribute* bits
  int64_t LastWriteTime = 0; // FILETIME: 100 ns units since 1601-01-01 UTC
  uint64_t Size = 0;         // 0 for folders, and for a symbolic link, which is described itself
};
// First entry matching Pattern, every attribute admitted, wildcards '*' and '?' allowed in the
// last component (FindFirstFileW + FindClose); the search's error when it finds nothing.
[[nodiscard]] Result<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern);

struct FileTraits {
  using Value = intptr_t;
  static Value Invalid() noexcept { return -1; }
  static void Close(Value File) noexcept;
};
// Move-only owner of an open file; closes it when dropped.
using FileHandle = marigold::UniqueResource<FileTraits>;
// Closes File; the system's error when that fails.
[[nodiscard]] std::error_code CloseFile(FileHandle& File);

// An existing file for reading: read access, sharing for reading and writing, OPEN_EXISTING.
[[nodiscard]] Result<FileHandle> OpenFileForReading(std::u16string_view Path);
// The open file's size now (GetFileSizeEx), whatever its directory entry says.
[[nodiscard]] Result<uint64_t> FileSize(const FileHandle& File);
// One read into Buffer; the number of bytes read, 0 at the end of the file.
[[nodiscard]] Result<size_t> ReadSome(FileHandle& File, std::span<char> Buffer);

// A new file for writing (CREATE_NEW, so nothing existing is ever touched), sharing for reading.
[[nodiscard]] Result<FileHandle> CreateNewFile(std::u16string_view Path);
// One write of all of Data; fewer bytes written is ShortWrite().
[[nodiscard]] std::error_code WriteOnce(FileHandle& File, std::string_view Data);
// Flushes the file's data to the disk (FlushFileBuffers).
[[nodiscard]] std::error_code FlushFile(FileHandle& File);

// The name the system gives the file Path leads to, links followed, as GetFinalPathNameByHandleW
// answers it: with the long-path prefix ('\\?\C:\...', '\\?\UNC\server\share\...').
[[nodiscard]] Result<std::u16string> FinalPathName(std::u16string_view Path);

// An existing file for rewriting in place: write access, sharing for reading, OPEN_EXISTING.
[[nodiscard]] Result<FileHandle> OpenFileForRewriting(std::u16string_view Path);
// Ends the file where the last write ended (SetEndOfFile).
[[nodiscard]] std::error_code TruncateHere(FileHandle& File);

// A lock file: created when missing, opened with no sharing at all and deleted when the last
// handle goes (FILE_FLAG_DELETE_ON_CLOSE), so that one holder at a time has it, across processes,
// sessions and machines sharing the folder. A sharing violation while another holds it.
[[nodiscard]] Result<FileHandle> OpenLockFile(std::u16string_view Path);

// ReplaceFileW(Target, Replacement, Backup, REPLACEFILE_IGNORE_MERGE_ERRORS): Target gets
// Replacement's content and keeps its own attributes; its former content is left as Backup
// (none is kept when Backup is empty).
// Refused at once, touching nothing, while another program holds Target.
[[nodiscard]] std::error_code ReplaceFileWith(std::u16string_view Target,
                                              std::u16string_view Replacement,
                                              std::u16string_view Backup);
// How a failed ReplaceFileWith left the files, as Windows documents it.
enum class ReplaceFailure : uint8_t {
  NothingMoved,    // both keep their names and contents
  ReplacementLeft, // 1176, 1177: Replacement keeps its name; Target may be gone, then as Backup
  Unsupported,     // the file system has no such operation (some redirectors and shares)
};
[[nodiscard]] ReplaceFailure ReplaceFailureOf(std::error_code Error) noexcept;

// MoveFileExW(From, To, MOVEFILE_WRITE_THROUGH), with MOVEFILE_REPLACE_EXISTING when
// ReplaceExisting; without it, an existing To makes the move fail.
[[nodiscard]] std::error_code MoveFileTo(std::u16string_view From, std::u16string_view To,
                                         bool ReplaceExisting);
// MoveFileW: fails when To exists.
[[nodiscard]] std::error_code RenameFile(std::u16string_view From, std::u16string_view To);
// DeleteFileW.
[[nodiscard]] std::error_code RemoveFile(std::u16string_view Path);
// CreateDirectoryW: one level, the parent must exist.
[[nodiscard]] std::error_code MakeDirectory(std::u16string_view Path);

} // namespace marigold::platform
