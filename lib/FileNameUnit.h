#pragma once

// Purely textual rules for Windows paths: nothing here touches the file system. The only
// separator is "\"; a "/" is a forbidden character, not a separator.

#include "lib/StringSplitterUnit.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace marigold {

// The flags of the split that drops empty components: '\\srv\x\' gives 'srv', 'x'.
inline constexpr TSplitFlags PathSplitFlags{};

// Characters that never appear in a valid path.
inline constexpr std::u16string_view InvalidPathChars = u"/*?\"<>|";

// At least three units, two backslashes, then no third: '\\a' yes, '\\' and '\\\a' no.
[[nodiscard]] bool StartsWithUNCPrefix(std::u16string_view S);

// An ASCII letter and a colon, alone or followed by "\": 'C:' and 'c:\' yes, 'C:x' no.
[[nodiscard]] bool StartsWithDrivePrefix(std::u16string_view S);

// S is a usable path: not empty or "\", a leading backslash only as a UNC pair, no empty
// component inside, "." and ".." only at the front, a colon only as a leading drive name, no
// component beginning with a dot, none of InvalidPathChars. Relative and drive-relative forms
// pass: '..\x' and 'C:x' are valid, 'x\..\y', '\x', 'C:\a\\' and 'x\.git' are not.
[[nodiscard]] bool IsValidPath(std::u16string_view S);

// The first rule of IsValidPath that S breaks, in the order they are checked; None when S is
// valid. BrokenPathRule(u"x\\..\\y") == PathRule::DotsInside
enum class PathRule : uint8_t {
  None,
  InvalidCharacter,       // one of InvalidPathChars
  Empty,                  // empty, or a single "\"
  SingleLeadingBackslash, // "\" at the front not doubled into a UNC prefix, or "\\" alone
  EmptyComponent,         // a doubled "\" inside or at the end
  DotsInside,             // "." or ".." after a named component
  LeadingDot,             // a component such as ".git"
  MisplacedColon,         // a colon other than a leading drive name
};
[[nodiscard]] PathRule BrokenPathRule(std::u16string_view S);

// Path with its ASCII letters upper-cased: spellings of one path that differ only there give one
// key, as Windows compares names. CaseFoldedPath(u"c:\\Work") == u"C:\\WORK"
[[nodiscard]] std::u16string CaseFoldedPath(std::u16string_view Path);

// A final path name as the system gives it, without its long-path prefix, so that it stays
// the same file for every call: '\\?\UNC\srv\share\a' gives '\\srv\share\a', '\\?\C:\a'
// gives 'C:\a'; any other name (a volume GUID path, one without the prefix) is returned as it is.
[[nodiscard]] std::u16string PathFromFinalName(std::u16string_view FinalName);

// A path with its environment variables put in, and the names that had no value.
struct TExpandedPath {
  std::u16string Path;
  std::vector<std::u16string> UnsetNames; // as written, in order, repeats kept
};
// The value of the variable Name (names compare without case); empty when it is not set.
using EnvironmentLookup = std::function<std::u16string(std::u16string_view Name)>;
// Every %NAME% of Path whose variable has a value replaced by it, as ExpandEnvironmentStringsW
// does: an unset name stays as written and its closing "%" may open the next name; a "%" without
// a partner stays. A value ending in "\" takes the place of a "\" right after the name, as the
// system reads the doubled separator. '%A%\x' with A='C:\u' gives 'C:\u\x', with A='C:\'
// gives 'C:\x'; '%NO%B%' with only B set gives '%NO' + B's value.
[[nodiscard]] TExpandedPath ExpandEnvironmentNames(std::u16string_view Path,
                                                   const EnvironmentLookup& Value);

// StartsWithUNCPrefix(S) and IsValidPath(S).
[[nodiscard]] bool IsValidUNCPath(std::u16string_view S);

// StartsWithDrivePrefix(S) and IsValidPath(S).
[[nodiscard]] bool IsValidDrivePath(std::u16string_view S);

// A valid path that is neither a drive nor a UNC path; 'C:x' counts as relative.
[[nodiscard]] bool IsValidRelativePath(std::u16string_view S);

// Non-empty components of an absolute valid path minus one; -1 for anything else.
// PathDepth(u"C:\\") == 0, PathDepth(u"C:\\a\\b\\") == 2, PathDepth(u"\\\\srv\\share") == 1
[[nodiscard]] int32_t PathDepth(std::u16string_view S);

// The folder Levels above S, ending in "\"; S itself for Levels 0 (whatever S holds); empty
// when Levels < 0 or S is not that deep.  ParentPath(u"C:\\a", 1) == u"C:\\"
[[nodiscard]] std::u16string ParentPath(std::u16string_view S, int32_t Levels);

// The absolute path that Relative names seen from the folder Base; empty when either is unusable
// or the walk leaves the root. Never a relative path.
// ResolveRelativePath(u"C:\\Editor\\", u"..\\Data\\") == u"C:\\Data\\"
[[nodiscard]] std::u16string ResolveRelativePath(std::u16string_view Base,
                                                 std::u16string_view Relative);

// S up to and including its last "\"; empty when it has none.
// ExtractFilePath(u"C:\\Ed\\Ed.exe") == u"C:\\Ed\\"
[[nodiscard]] std::u16string ExtractFilePath(std::u16string_view S);

// S behind its last "\"; all of S when it has none.
[[nodiscard]] std::u16string ExtractFileName(std::u16string_view S);

// The file-name part's text from its last "." on, dot included; empty without a dot.
// ExtractFileExt(u"C:\\a.b\\c") == u"", ExtractFileExt(u"a.b.c") == u".c"
[[nodiscard]] std::u16string ExtractFileExt(std::u16string_view S);

} // namespace marigold
