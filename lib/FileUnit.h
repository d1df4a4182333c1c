#pragma once

// Whole-file input and output of ANSI byte strings, and the conversions between text and the
// system ANSI code page. Paths of 260 or more units, or holding a NUL, are refused with the
// operation's own error; they are never cut.

#include "base/Errors.h"
#include "platform/Error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace marigold {

// The directory entry found by FindFile.
struct TFileFindResult {
  std::u16string Name; // last component, as found
  uint32_t Attributes; // platform::Attribute* bits
  int64_t Time;        // last write, 100 ns units since 1601-01-01 UTC
  int64_t Size;        // bytes; 0 for folders; files of 2 GiB and more are not loaded
};

// First entry matching Path (every attribute, wildcards honoured); throws Exception
// "Error:FindFile " + Path when there is none.
[[nodiscard]] TFileFindResult FindFile(std::u16string_view Path);

// The errors the load and the save throw, for callers that stop on their behalf; Error is the
// system's reason, if any: "Error:LoadAnsiStringFromFile\r\n" + Path, and the same for the save.
[[nodiscard]] EInOutError LoadError(std::u16string_view Path, std::error_code Error = {});
[[nodiscard]] EInOutError SaveError(std::u16string_view Path, std::error_code Error = {});

// Whether a file (not a folder) is at Path. Only "not found" answers false: any other failure of
// the look-up (refused, a share that errs) is the system's error, never taken for absence.
[[nodiscard]] platform::Result<bool> FilePresent(std::u16string_view Path);

// The file Path leads to: a symbolic link's target as every call can reach it, or Path itself when
// it is no link, is missing, or the system cannot name the target. The system's error when the
// look-up cannot tell.
[[nodiscard]] platform::Result<std::u16string> LinkTarget(std::u16string_view Path);

// The whole file as bytes, as much as it holds when read to its end (the size comes from the
// open file, never from its directory entry, which says 0 for a symbolic link). A folder gives ""
// without being opened. Throws FindFile's error when nothing is found, else EInOutError
// "Error:LoadAnsiStringFromFile\r\n" + Path on any failure, also for 2 GiB and more.
[[nodiscard]] std::string LoadAnsiStringFromFile(std::u16string_view Path);

enum class SaveMode : uint8_t {
  ReplaceOrCreate,
  CreateOnly, // fails, touching nothing, when a file of that name has appeared
};
// Makes the file hold exactly Data. Writes a temporary file beside it and puts it in the file's
// place only after a complete, flushed write; whatever fails, the folder then holds the file with
// its former or its new content and nothing else of ours. A link stays a link: the file it leads
// to is the one rewritten. Throws EInOutError "Error:SaveAnsiStringToFile\r\n" + Path on any
// failure, also for a read-only file or a folder, or a look-up of the file that cannot tell.
void SaveAnsiStringToFile(std::u16string_view Path, std::string_view Data,
                          SaveMode Mode = SaveMode::ReplaceOrCreate);

// Bytes of the system ANSI code page to text; NUL bytes included.
[[nodiscard]] std::u16string DecodeAnsiText(std::string_view Data);
// Text to bytes of the system ANSI code page; characters it cannot hold become its substitute.
// EncodeAnsiText(u"a\U0001F600") == "a??" on code page 932
[[nodiscard]] std::string EncodeAnsiText(std::u16string_view Text);

} // namespace marigold
