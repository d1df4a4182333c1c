#pragma once

// The native stand-in's file system: Windows paths mapped onto a real folder, and a hook that
// lets tests make single steps of the file calls fail.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace marigold::platform::standin {

// Folder that stands for the roots of all drives and shares. 'C:\a\b' maps to <root>/C/a/b,
// '\a' to <root>/C/a, '\\srv\share\x' to <root>/UNC/srv/share/x; relative paths stay
// relative to the current directory. Names are case-sensitive here, unlike on Windows. As for
// Win32 calls without the long-path prefix, a path of 260 or more units reaches nothing.
// Wildcards in a search follow fnmatch ('*.*' needs a dot), and the smallest match wins.
void SetDriveRoot(std::string Root);
// The native path for a Windows path; '\' becomes '/'.
// NativePath(u"d:\\x\\y.txt") == Root + "/D/x/y.txt"
std::string NativePath(std::u16string_view Path);
// The Windows path of a native path under the root; empty for one outside it.
std::u16string WindowsPath(const std::string& Native);

enum class FileStep {
  OpenForReading,
  Read,
  CreateNew,
  OpenForRewriting,
  Write,
  Flush,
  Replace,
  Move
};
// Called before each step of the file calls with the native path concerned; answering false
// makes the step fail as the system would (a failing Write still writes half of its bytes).
using FileStepHook = std::function<bool(FileStep Step, const std::string& NativePath)>;
void SetFileStepHook(FileStepHook Hook);

// Called before each attribute look-up (FileAttributes) with the native path, on the thread that
// looks up; it may block, as a share that is offline does.
using LookupHook = std::function<void(const std::string& NativePath)>;
void SetLookupHook(LookupHook Hook);

// Documented behaviours of Windows that POSIX (and Wine) do not show, for the stand-in to show
// one at a time. Their failures carry the Windows error numbers.
enum class WindowsBehaviour : uint8_t {
  LinkEntryDescribesLink,   // FindFirstEntry on a symbolic link: size 0, the reparse-point bit
  ReplaceLeavesReplacement, // ReplaceFileWith: 1176, both files keep their names
  ReplaceMovesTargetAway,   // ReplaceFileWith: 1177, Target moved to Backup, Replacement left
  ReplaceUnsupported,       // ReplaceFileWith: ERROR_NOT_SUPPORTED, nothing touched
  AttributeLookupRefused,   // FileAttributes of anything that exists: ERROR_ACCESS_DENIED
};
void ShowWindowsBehaviour(std::optional<WindowsBehaviour> Behaviour);

// Clears the hooks and the Windows behaviour; the drive root stays.
void ResetFiles();

} // namespace marigold::platform::standin
