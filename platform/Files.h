#pragma once

// File-system calls. Paths are Windows paths; the native stand-in maps them onto a test folder
// (platform/posix/FilesStandIn.h). Every call reports failure by its result, never by throwing:
// the system's error (platform/Error.h), empty on success.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Attribute bits with their Win32 values.
inline constexpr uint32_t AttributeReadOnly = 0x01;
inline constexpr uint32_t AttributeHidden = 0x02;
inline constexpr uint32_t AttributeSystem = 0x04;
inline constexpr uint32_t AttributeDirectory = 0x10;
inline constexpr uint32_t AttributeArchive = 0x20;
inline constexpr uint32_t AttributeNormal = 0x80;
inline constexpr uint32_t AttributeReparsePoint = 0x400; // a symbolic link, for one

// Attributes of an existing file or folder (GetFileAttributesW); nullopt, with the reason in
// Error, when there is none.
[[nodiscard]] std::optional<uint32_t> FileAttributes(std::u16string_view Path,
                                                     std::error_code& Error);

// A file (not a folder) of that name exists; symbolic links followed. Why not is not asked.
[[nodiscard]] inline bool FileExists(std::u16string_view Path) {
  std::error_code Missing;
  const auto Attributes = FileAttributes(Path, Missing);
  return Attributes && (*Attributes & AttributeDirectory) == 0;
}
// A folder of that name exists; symbolic links followed. Why not is not asked.
[[nodiscard]] inline bool DirectoryExists(std::u16string_view Path) {
  std::error_code Missing;
  const auto Attributes = FileAttributes(Path, Missing);
  return Attributes && (*Attributes & AttributeDirectory) != 0;
}

// The drive Letter ('A' ... 'Z', either case) is a share of another machine mapped to a letter
// (GetDriveTypeW: DRIVE_REMOTE); asks the system nothing about the share itself.
[[nodiscard]] bool IsNetworkDrive(char16_t Letter);

struct DirectoryEntry {
  std::u16string Name;       // last component only, as found
  uint32_t Attributes = 0;   // Attribute* bits
  int64_t LastWriteTime = 0; // FILETIME: 100 ns units since 1601-01-01 UTC
  uint64_t Size = 0;         // 0 for folders
};
// First entry matching Pattern, every attribute admitted, wildcards '*' and '?' allowed in the
// last component (FindFirstFileW + FindClose); nullopt, with the reason in Error, when the
// search finds nothing.
[[nodiscard]] std::optional<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern,
                                                           std::error_code& Error);

// Move-only owner of an open file; closes it when dropped.
class FileHandle {
public:
  FileHandle() = default;
  explicit FileHandle(intptr_t Native) : FNative(Native) {}
  FileHandle(FileHandle&& Other) noexcept : FNative(Other.Release()) {}
  FileHandle& operator=(FileHandle&& Other) noexcept {
    if (this != &Other) {
      Close();
      FNative = Other.Release();
    }
    return *this;
  }
  ~FileHandle() { Close(); }

  [[nodiscard]] bool IsOpen() const { return FNative != Invalid; }
  [[nodiscard]] intptr_t Native() const { return FNative; }
  // Closes the file; the system's error when that fails or it was not open.
  std::error_code Close();

private:
  static constexpr intptr_t Invalid = -1;
  intptr_t Release() {
    intptr_t N = FNative;
    FNative = Invalid;
    return N;
  }
  intptr_t FNative = Invalid;
};

// An existing file for reading: read access, sharing for reading and writing, OPEN_EXISTING.
// Not open, with the reason in Error, on failure.
[[nodiscard]] FileHandle OpenFileForReading(std::u16string_view Path, std::error_code& Error);
// A new file for writing (CREATE_NEW, so nothing existing is ever touched), sharing for reading.
// Not open, with the reason in Error, on failure.
[[nodiscard]] FileHandle CreateNewFile(std::u16string_view Path, std::error_code& Error);
// One read of exactly Buffer.size() bytes; fewer bytes is ShortRead().
std::error_code ReadOnce(FileHandle& File, std::span<char> Buffer);
// One write of all of Data; fewer bytes written is ShortWrite().
std::error_code WriteOnce(FileHandle& File, std::string_view Data);
// Flushes the file's data to the disk (FlushFileBuffers).
std::error_code FlushFile(FileHandle& File);

// The file Path names once symbolic links are followed, so that a save replaces the link's
// target, not the link; Path itself when it is no link or names nothing.
[[nodiscard]] std::u16string FinalPath(std::u16string_view Path);

// An existing file for rewriting in place: write access, sharing for reading, OPEN_EXISTING.
// Not open, with the reason in Error, on failure.
[[nodiscard]] FileHandle OpenFileForRewriting(std::u16string_view Path, std::error_code& Error);
// Ends the file where the last write ended (SetEndOfFile).
std::error_code TruncateHere(FileHandle& File);

// Puts Source in the place of Target: an existing Target keeps its attributes, security and
// creation time (ReplaceFileW); a missing one is moved to (MoveFileExW with
// MOVEFILE_WRITE_THROUGH). Retries briefly while the target is held by another process.
std::error_code ReplaceFileWith(std::u16string_view Source, std::u16string_view Target);
// MoveFileW: fails when To exists.
std::error_code RenameFile(std::u16string_view From, std::u16string_view To);
// DeleteFileW.
std::error_code RemoveFile(std::u16string_view Path);
// CreateDirectoryW: one level, the parent must exist.
std::error_code MakeDirectory(std::u16string_view Path);

} // namespace platform
