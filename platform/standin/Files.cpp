#include "platform/Files.h"
#include "platform/standin/FilesStandIn.h"

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
#include <map>
#include <mutex>
#include <utility>

namespace marigold::platform::standin {
namespace {

struct FilesState {
  std::string Root = (std::filesystem::temp_directory_path() / "marigold-drives").string();
  FileStepHook Hook;
  LookupHook BeforeLookup;
  std::optional<WindowsBehaviour> Behaviour;
  // Lock files held open, by descriptor: no second open while held, deleted when closed.
  std::mutex LocksGuard;
  std::map<int, std::string> HeldLocks;
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
void ShowWindowsBehaviour(std::optional<WindowsBehaviour> Behaviour) {
  Files().Behaviour = Behaviour;
}
void ResetFiles() {
  Files().Behaviour.reset();
  Files().Hook = nullptr;
  Files().BeforeLookup = nullptr;
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

} // namespace marigold::platform::standin

namespace marigold::platform {
namespace {

using standin::FileStep;
using standin::WindowsBehaviour;

// Errors that only Windows has, with its numbers.
class WindowsCategory : public std::error_category {
public:
  const char* name() const noexcept override { return "windows"; }
  std::string message(int Code) const override { return "Windows error " + std::to_string(Code); }
};
const WindowsCategory& Windows() {
  static const WindowsCategory Category;
  return Category;
}
constexpr int WindowsAccessDenied = 5, WindowsSharingViolation = 32, WindowsNotSupported = 50,
              WindowsUnableToMoveReplacement = 1176, WindowsUnableToMoveReplacement2 = 1177;
std::error_code WindowsError(int Code) {
  return {Code, Windows()};
}

bool Shows(WindowsBehaviour Behaviour) {
  return standin::Files().Behaviour == Behaviour;
}

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
  return static_cast<int>(File.get());
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

Result<FileHandle> Opened(int Fd) {
  if (Fd < 0)
    return LastError();
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

void FileTraits::Close(Value File) noexcept {
  const auto Fd = static_cast<int>(File);
  {
    auto& S = standin::Files();
    const std::scoped_lock Guard(S.LocksGuard);
    if (const auto Held = S.HeldLocks.find(Fd); Held != S.HeldLocks.end()) {
      unlink(Held->second.c_str()); // FILE_FLAG_DELETE_ON_CLOSE
      S.HeldLocks.erase(Held);
    }
  }
  close(Fd);
}

std::error_code CloseFile(FileHandle& File) {
  if (!File)
    return Errno(EBADF);
  const intptr_t Fd = File.release();
  FileTraits::Close(Fd); // the stand-in's close does not fail
  return {};
}

bool IsNotFound(std::error_code Error) noexcept {
  return Error.category() == std::system_category() &&
         (Error.value() == ENOENT || Error.value() == ENOTDIR);
}

bool IsBusy(std::error_code Error) noexcept {
  if (Error.category() == Windows())
    return Error.value() == WindowsSharingViolation || Error.value() == WindowsAccessDenied;
  return Error.category() == std::system_category() && Error.value() == EBUSY;
}

Result<uint32_t> FileAttributes(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  if (const auto& Hook = standin::Files().BeforeLookup)
    Hook(Native);
  std::error_code Error;
  const auto Attributes = AttributesOf(Native, Error);
  if (!Attributes)
    return Error;
  if (Shows(WindowsBehaviour::AttributeLookupRefused))
    return WindowsError(WindowsAccessDenied);
  return *Attributes;
}

std::error_code ChangeFileAttributes(std::u16string_view Path, uint32_t Attributes) {
  const std::string Native = Reachable(Path);
  struct stat Info {};
  if (stat(Native.c_str(), &Info) != 0)
    return LastError();
  // Only the read-only bit has a POSIX counterpart.
  const mode_t Mode =
      (Attributes & AttributeReadOnly) ? Info.st_mode & ~mode_t{0222} : Info.st_mode | S_IWUSR;
  return chmod(Native.c_str(), Mode) == 0 ? std::error_code() : LastError();
}

Result<DirectoryEntry> FindFirstEntry(std::u16string_view Pattern) {
  const std::string Native = Reachable(Pattern);
  const auto Slash = Native.rfind('/');
  const std::string Folder = Slash == std::string::npos ? "." : Native.substr(0, Slash + 1);
  const std::string Last = Slash == std::string::npos ? Native : Native.substr(Slash + 1);
  if (Last.empty())
    return Errno(ENOENT); // Windows finds nothing for a path ending in a separator
  std::string Name = Last;
  if (Last.find_first_of("*?") != std::string::npos) {
    // Windows lists in its own order; the smallest match keeps the stand-in deterministic.
    const marigold::UniqueResource<DirectoryTraits> Dir(opendir(Folder.c_str()));
    if (!Dir)
      return LastError();
    Name.clear();
    bool Found = false;
    while (const dirent* Item = readdir(Dir.get())) {
      if (fnmatch(Last.c_str(), Item->d_name, FNM_NOESCAPE) == 0 &&
          (!Found || Item->d_name < Name)) {
        Name = Item->d_name;
        Found = true;
      }
    }
    if (!Found)
      return Errno(ENOENT);
  }
  const std::string Found = Slash == std::string::npos ? Name : Folder + Name;
  struct stat Info {};
  std::error_code Error;
  auto Attributes = AttributesOf(Found, Error, &Info);
  if (!Attributes)
    return Error;
  DirectoryEntry Entry;
  Entry.Name = marigold::FromUtf8(Name);
  Entry.Attributes = *Attributes;
  constexpr int64_t UnixEpochInFileTime = 116444736000000000;
  Entry.LastWriteTime = UnixEpochInFileTime + static_cast<int64_t>(Info.st_mtim.tv_sec) * 10000000 +
                        Info.st_mtim.tv_nsec / 100;
  Entry.Size = S_ISDIR(Info.st_mode) ? 0 : static_cast<uint64_t>(Info.st_size);
  if ((Entry.Attributes & AttributeReparsePoint) &&
      Shows(WindowsBehaviour::LinkEntryDescribesLink)) {
    Entry.Attributes = AttributeReparsePoint | AttributeArchive;
    Entry.Size = 0;
  }
  return Entry;
}

Result<FileHandle> OpenFileForReading(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  if (!StepAllowed(FileStep::OpenForReading, Native))
    return ScriptedFailure();
  auto File = Opened(open(Native.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat Info {};
  if (File && fstat(Descriptor(*File), &Info) == 0 && S_ISDIR(Info.st_mode))
    return Errno(EACCES); // CreateFileW does not open folders without backup semantics
  return File;
}

Result<uint64_t> FileSize(const FileHandle& File) {
  struct stat Info {};
  if (fstat(Descriptor(File), &Info) != 0)
    return LastError();
  return static_cast<uint64_t>(Info.st_size);
}

Result<size_t> ReadSome(FileHandle& File, std::span<char> Buffer) {
  if (!StepAllowed(FileStep::Read, {}))
    return ScriptedFailure();
  const ssize_t Read = read(Descriptor(File), Buffer.data(), Buffer.size());
  if (Read < 0)
    return LastError();
  return static_cast<size_t>(Read);
}

Result<FileHandle> CreateNewFile(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  if (!IsCreatableName(Native))
    return InvalidName();
  if (!StepAllowed(FileStep::CreateNew, Native))
    return ScriptedFailure();
  return Opened(open(Native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
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

// As Windows answers it: with the long-path prefix, '\\?\UNC\' for a share.
Result<std::u16string> FinalPathName(std::u16string_view Path) {
  std::error_code Error;
  const auto Resolved = std::filesystem::canonical(Reachable(Path), Error);
  if (Error)
    return Error;
  const std::u16string Windows = standin::WindowsPath(Resolved.string());
  if (Windows.empty())
    return Errno(ENOENT); // on no drive: Windows has no DOS name for it either
  return Windows.starts_with(u"\\\\") ? u"\\\\?\\UNC\\" + Windows.substr(2) : u"\\\\?\\" + Windows;
}

Result<FileHandle> OpenFileForRewriting(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  if (IsReadOnly(Native))
    return AccessDenied();
  if (!StepAllowed(FileStep::OpenForRewriting, Native))
    return ScriptedFailure();
  return Opened(open(Native.c_str(), O_WRONLY | O_CLOEXEC));
}

std::error_code TruncateHere(FileHandle& File) {
  const off_t End = lseek(Descriptor(File), 0, SEEK_CUR);
  return End >= 0 && ftruncate(Descriptor(File), End) == 0 ? std::error_code() : LastError();
}

// Shared by the threads of this process as the system shares it between processes.
Result<FileHandle> OpenLockFile(std::u16string_view Path) {
  const std::string Native = Reachable(Path);
  auto& S = standin::Files();
  const std::scoped_lock Guard(S.LocksGuard);
  for (const auto& Held : S.HeldLocks)
    if (Held.second == Native)
      return WindowsError(WindowsSharingViolation);
  auto File = Opened(open(Native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (File)
    S.HeldLocks.emplace(Descriptor(*File), Native);
  return File;
}

std::error_code ReplaceFileWith(std::u16string_view Target, std::u16string_view Replacement,
                                std::u16string_view Backup) {
  const std::string To = Reachable(Target), From = Reachable(Replacement),
                    Former = Backup.empty() ? std::string() : Reachable(Backup);
  if (!IsCreatableName(To))
    return InvalidName();
  struct stat Info {};
  if (stat(To.c_str(), &Info) != 0 || stat(From.c_str(), &Info) != 0)
    return LastError();
  // Windows refuses to replace a read-only file; POSIX rename would not care.
  if (IsReadOnly(To))
    return AccessDenied();
  if (!StepAllowed(FileStep::Replace, To))
    return ScriptedFailure();
  if (Shows(WindowsBehaviour::ReplaceUnsupported))
    return WindowsError(WindowsNotSupported);
  // Without a backup, a replace that gets half-way has removed the file already.
  if (Shows(WindowsBehaviour::ReplaceLeavesReplacement)) {
    if (Former.empty())
      unlink(To.c_str());
    return WindowsError(WindowsUnableToMoveReplacement);
  }
  if (!Former.empty())
    unlink(Former.c_str());
  if (Shows(WindowsBehaviour::ReplaceMovesTargetAway)) {
    if (Former.empty() ? unlink(To.c_str()) != 0 : rename(To.c_str(), Former.c_str()) != 0)
      return LastError();
    return WindowsError(WindowsUnableToMoveReplacement2);
  }
  if ((!Former.empty() && link(To.c_str(), Former.c_str()) != 0) ||
      rename(From.c_str(), To.c_str()) != 0)
    return LastError();
  SyncFolderOf(To);
  return {};
}

ReplaceFailure ReplaceFailureOf(std::error_code Error) noexcept {
  if (Error.category() != Windows())
    return ReplaceFailure::NothingMoved;
  if (Error.value() == WindowsUnableToMoveReplacement ||
      Error.value() == WindowsUnableToMoveReplacement2)
    return ReplaceFailure::ReplacementLeft;
  return Error.value() == WindowsNotSupported ? ReplaceFailure::Unsupported
                                              : ReplaceFailure::NothingMoved;
}

std::error_code MoveFileTo(std::u16string_view From, std::u16string_view To, bool ReplaceExisting) {
  const std::string Target = Reachable(To);
  if (!IsCreatableName(Target))
    return InvalidName();
  if (ReplaceExisting && IsReadOnly(Target))
    return AccessDenied();
  if (!StepAllowed(FileStep::Move, Target))
    return ScriptedFailure();
  if (renameat2(AT_FDCWD, Reachable(From).c_str(), AT_FDCWD, Target.c_str(),
                ReplaceExisting ? 0 : RENAME_NOREPLACE) != 0)
    return LastError();
  SyncFolderOf(Target);
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

} // namespace marigold::platform
