#include "platform/Files.h"
#include "platform/posix/FilesStandIn.h"

#include "base/Errors.h"
#include "base/Unicode.h"
#include "base/UniqueResource.h"
#include "platform/Error.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace platform::standin {
namespace {

struct FilesState {
  std::string Root = (std::filesystem::temp_directory_path() / "marigold-drives").string();
  FileStepHook Hook;
  LookupHook BeforeLookup;
  std::u16string NetworkDrives;
};

FilesState& Files() {
  static FilesState S;
  return S;
}

bool IsSeparator(char16_t C) {
  return C == u'\\' || C == u'/';
}

} // namespace

void SetDriveRoot(std::string Root) {
  Files().Root = std::move(Root);
}
void SetFileStepHook(FileStepHook Hook) {
  Files().Hook = std::move(Hook);
}
void SetLookupHook(LookupHook Hook) {
  Files().BeforeLookup = std::move(Hook);
}
void SetNetworkDrives(std::u16string Letters) {
  Files().NetworkDrives = std::move(Letters);
}
void ResetFiles() {
  Files().Hook = nullptr;
  Files().BeforeLookup = nullptr;
  Files().NetworkDrives.clear();
}

std::string NativePath(std::u16string_view Path) {
  std::string Prefix;
  if (Path.size() >= 2 && IsSeparator(Path[0]) && IsSeparator(Path[1])) {
    Prefix = Files().Root + "/UNC/";
    Path.remove_prefix(2);
  } else if (Path.size() >= 2 && Path[1] == u':' &&
             ((Path[0] >= u'A' && Path[0] <= u'Z') || (Path[0] >= u'a' && Path[0] <= u'z'))) {
    Prefix = Files().Root + "/" + static_cast<char>(Path[0] & ~0x20);
    Path.remove_prefix(2);
    if (!Path.empty() && !IsSeparator(Path[0]))
      Prefix += '/';
  } else if (!Path.empty() && IsSeparator(Path[0])) {
    Prefix = Files().Root + "/C";
  }
  std::string Rest = marigold::ToUtf8(Path);
  for (char& C : Rest)
    if (C == '\\')
      C = '/';
  return Prefix + Rest;
}

} // namespace platform::standin

namespace platform {
namespace {

using standin::FileStep;
// Win32 calls without the long-path prefix reach at most 259 units; "" reaches nothing here.
std::string Reachable(std::u16string_view Path) {
  return Path.size() < 260 ? standin::NativePath(Path) : std::string();
}

bool StepAllowed(FileStep Step, const std::string& Native) {
  auto& Hook = standin::Files().Hook;
  return !Hook || Hook(Step, Native);
}

// Characters Windows refuses in the names it creates.
bool IsCreatableName(const std::string& Native) {
  std::string_view Name(Native);
  while (Name.size() > 1 && Name.back() == '/')
    Name.remove_suffix(1);
  Name.remove_prefix(Name.rfind('/') == std::string_view::npos ? 0 : Name.rfind('/') + 1);
  return !Name.empty() && Name.find_first_of("*?<>|\"") == std::string_view::npos;
}

std::optional<uint32_t> AttributesOf(const std::string& Native, std::error_code& Error,
                                     struct stat* Info = nullptr) {
  struct stat Local {};
  if (!Info)
    Info = &Local;
  if (stat(Native.c_str(), Info) != 0) {
    Error = LastError();
    return std::nullopt;
  }
  Error.clear();
  uint32_t Attributes = S_ISDIR(Info->st_mode) ? AttributeDirectory : AttributeArchive;
  if ((Info->st_mode & S_IWUSR) == 0)
    Attributes |= AttributeReadOnly;
  struct stat Link {};
  if (lstat(Native.c_str(), &Link) == 0 && S_ISLNK(Link.st_mode))
    Attributes |= AttributeReparsePoint;
  return Attributes;
}

bool IsReadOnly(const std::string& Native) {
  std::error_code Missing;
  auto Attributes = AttributesOf(Native, Missing);
  return Attributes && (*Attributes & AttributeReadOnly) != 0;
}

int Descriptor(const FileHandle& File) {
  return static_cast<int>(File.Native());
}

std::error_code Errno(int Code) {
  return {Code, std::system_category()};
}

// What a step that a test made fail reports.
std::error_code ScriptedFailure() {
  return Errno(EIO);
}

std::error_code InvalidName() {
  return Errno(EINVAL);
}

struct DescriptorTraits {
  using Value = int;
  static Value Invalid() noexcept { return -1; }
  static void Close(Value Fd) noexcept { close(Fd); }
};
struct DirectoryTraits {
  using Value = DIR*;
  static Value Invalid() noexcept { return nullptr; }
  static void Close(Value Dir) noexcept { closedir(Dir); }
};

// Makes a rename durable, as MOVEFILE_WRITE_THROUGH does.
void SyncFolderOf(const std::string& Native) {
  auto Slash = Native.rfind('/');
  std::string Folder = Slash == std::string::npos ? "." : Native.substr(0, Slash + 1);
  const marigold::UniqueResource<DescriptorTraits> Fd(
      open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (Fd)
    fsync(Fd.get());
}

FileHandle Opened(int Fd, std::error_code& Error) {
  if (Fd < 0) {
    Error = LastError();
    return {};
  }
  Error.clear();
  return FileHandle(Fd);
}

} // namespace

// The Windows path of a native path under the drive root; empty when it lies elsewhere.
std::u16string standin::WindowsPath(const std::string& Native) {
  const std::string Root = Files().Root + "/";
  if (!Native.starts_with(Root))
    return {};
  std::string Rest = Native.substr(Root.size());
  std::string Prefix;
  if (Rest.starts_with("UNC/")) {
    Prefix = "\\\\";
    Rest.erase(0, 4);
  } else if (Rest.size() >= 1 && Rest[0] >= 'A' && Rest[0] <= 'Z' &&
             (Rest.size() == 1 || Rest[1] == '/')) {
    Prefix = std::string(1, Rest[0]) + ":";
    Rest.erase(0, 1);
  } else {
    return {};
  }
  std::string Path = Prefix + Rest;
  for (char& C : Path)
    if (C == '/')
      C = '\\';
  return marigold::FromUtf8(Path);
}

std::error_code FileHandle::Close() {
  if (!IsOpen())
    return Errno(EBADF);
  return close(static_cast<int>(Release())) == 0 ? std::error_code() : LastError();
}

std::optional<uint32_t> FileAttributes(std::u16string_view Path, std::error_code& Error) {
  const std::string Native = Reachable(Path);
  if (const auto& Hook = standin::Files().BeforeLookup)
    Hook(Native);
  return AttributesOf(Native, Error);
}

bool IsNetworkDrive(char16_t Letter) {
  const auto Upper = static_cast<char16_t>(Letter >= u'a' && Letter <= u'z' ? Letter - 32 : Letter);
  return standin::Files().NetworkDrives.find(Upper) != std::u16string::npos;
}

std::optional<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern, std::error_code& Error) {
  const std::string Native = Reachable(Pattern);
  const auto Slash = Native.rfind('/');
  const std::string Folder = Slash == std::string::npos ? "." : Native.substr(0, Slash + 1);
  const std::string Last = Slash == std::string::npos ? Native : Native.substr(Slash + 1);
  if (Last.empty()) {
    Error = Errno(ENOENT); // Windows finds nothing for a path ending in a separator
    return std::nullopt;
  }
  std::string Name = Last;
  if (Last.find_first_of("*?") != std::string::npos) {
    // Windows lists in its own order; the smallest match keeps the stand-in deterministic.
    const marigold::UniqueResource<DirectoryTraits> Dir(opendir(Folder.c_str()));
    if (!Dir) {
      Error = LastError();
      return std::nullopt;
    }
    Name.clear();
    bool Found = false;
    while (const dirent* Item = readdir(Dir.get())) {
      if (fnmatch(Last.c_str(), Item->d_name, FNM_NOESCAPE) == 0 &&
          (!Found || Item->d_name < Name)) {
        Name = Item->d_name;
        Found = true;
      }
    }
    if (!Found) {
      Error = Errno(ENOENT);
      return std::nullopt;
    }
  }
  struct stat Info {};
  auto Attributes = AttributesOf(Slash == std::string::npos ? Name : Folder + Name, Error, &Info);
  if (!Attributes)
    return std::nullopt;
  DirectoryEntry Entry;
  Entry.Name = marigold::FromUtf8(Name);
  Entry.Attributes = *Attributes;
  constexpr int64_t UnixEpochInFileTime = 116444736000000000;
  Entry.LastWriteTime = UnixEpochInFileTime + static_cast<int64_t>(Info.st_mtim.tv_sec) * 10000000 +
                        Info.st_mtim.tv_nsec / 100;
  Entry.Size = S_ISDIR(Info.st_mode) ? 0 : static_cast<uint64_t>(Info.st_size);
  return Entry;
}

FileHandle OpenFileForReading(std::u16string_view Path, std::error_code& Error) {
  const std::string Native = Reachable(Path);
  if (!StepAllowed(FileStep::OpenForReading, Native)) {
    Error = ScriptedFailure();
    return {};
  }
  FileHandle File = Opened(open(Native.c_str(), O_RDONLY | O_CLOEXEC), Error);
  struct stat Info {};
  if (File.IsOpen() && fstat(Descriptor(File), &Info) == 0 && S_ISDIR(Info.st_mode)) {
    Error = Errno(EACCES); // what Windows answers for a folder
    return {};             // CreateFileW does not open folders without backup semantics
  }
  return File;
}

FileHandle CreateNewFile(std::u16string_view Path, std::error_code& Error) {
  const std::string Native = Reachable(Path);
  if (!IsCreatableName(Native)) {
    Error = InvalidName();
    return {};
  }
  if (!StepAllowed(FileStep::CreateNew, Native)) {
    Error = ScriptedFailure();
    return {};
  }
  return Opened(open(Native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666), Error);
}

std::error_code ReadOnce(FileHandle& File, std::span<char> Buffer) {
  if (!StepAllowed(FileStep::Read, {}))
    return ScriptedFailure();
  const ssize_t Read = read(Descriptor(File), Buffer.data(), Buffer.size());
  if (Read < 0)
    return LastError();
  return static_cast<size_t>(Read) == Buffer.size() ? std::error_code() : ShortRead();
}

std::error_code WriteOnce(FileHandle& File, std::string_view Data) {
  if (!StepAllowed(FileStep::Write, {})) {
    // A disk that fills up mid-way: part of the data reaches the file.
    [[maybe_unused]] ssize_t Partial = write(Descriptor(File), Data.data(), Data.size() / 2);
    return ShortWrite();
  }
  const ssize_t Written = write(Descriptor(File), Data.data(), Data.size());
  if (Written < 0)
    return LastError();
  return static_cast<size_t>(Written) == Data.size() ? std::error_code() : ShortWrite();
}

std::error_code FlushFile(FileHandle& File) {
  if (!StepAllowed(FileStep::Flush, {}))
    return ScriptedFailure();
  return fsync(Descriptor(File)) == 0 ? std::error_code() : LastError();
}

std::u16string FinalPath(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  std::error_code Error;
  if (!std::filesystem::is_symlink(Native, Error))
    return std::u16string(Path);
  const auto Resolved = std::filesystem::weakly_canonical(Native, Error);
  const std::u16string Windows = Error ? std::u16string() : standin::WindowsPath(Resolved.string());
  return Windows.empty() ? std::u16string(Path) : Windows;
}

FileHandle OpenFileForRewriting(std::u16string_view Path, std::error_code& Error) {
  const std::string Native = Reachable(Path);
  if (IsReadOnly(Native)) {
    Error = AccessDenied();
    return {};
  }
  if (!StepAllowed(FileStep::OpenForRewriting, Native)) {
    Error = ScriptedFailure();
    return {};
  }
  return Opened(open(Native.c_str(), O_WRONLY | O_CLOEXEC), Error);
}

std::error_code TruncateHere(FileHandle& File) {
  const off_t End = lseek(Descriptor(File), 0, SEEK_CUR);
  return End >= 0 && ftruncate(Descriptor(File), End) == 0 ? std::error_code() : LastError();
}

std::error_code ReplaceFileWith(std::u16string_view Source, std::u16string_view Target) {
  const std::string From = Reachable(Source), To = Reachable(Target);
  if (!IsCreatableName(To))
    return InvalidName();
  // Windows refuses to replace a read-only file; POSIX rename would not care.
  if (IsReadOnly(To))
    return AccessDenied();
  if (!StepAllowed(FileStep::Replace, To))
    return ScriptedFailure();
  if (rename(From.c_str(), To.c_str()) != 0)
    return LastError();
  SyncFolderOf(To);
  return {};
}

std::error_code RenameFile(std::u16string_view From, std::u16string_view To) {
  const std::string Target = Reachable(To);
  if (!IsCreatableName(Target))
    return InvalidName();
  return renameat2(AT_FDCWD, Reachable(From).c_str(), AT_FDCWD, Target.c_str(), RENAME_NOREPLACE) ==
                 0
             ? std::error_code()
             : LastError();
}

std::error_code RemoveFile(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  if (IsReadOnly(Native))
    return AccessDenied();
  return unlink(Native.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code MakeDirectory(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  if (!IsCreatableName(Native))
    return InvalidName();
  return mkdir(Native.c_str(), 0777) == 0 ? std::error_code() : LastError();
}

} // namespace platform
