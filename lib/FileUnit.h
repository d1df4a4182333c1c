#pragma once

// Whole-file input and output of ANSI byte strings, and the conversions between text and the
// system ANSI code page. Paths of 260 or more units, or holding a NUL, are refused with the
// operation's own error; they are never cut.

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

// The whole file as bytes. An empty file or a folder gives "" without being opened. Throws
// FindFile's error when nothing is found, else EInOutError
// "Error:LoadAnsiStringFromFile\r\n" + Path on any failure, also when the file shrank.
[[nodiscard]] std::string LoadAnsiStringFromFile(std::u16string_view Path);

// Makes the file hold exactly Data. Writes a temporary file beside it and replaces the file
// only after a complete, flushed write, so a failure leaves the former file as it was and no
// temporary file behind. Throws EInOutError "Error:SaveAnsiStringToFile\r\n" + Path on any
// failure, also for a read-only file or a folder.
void SaveAnsiStringToFile(std::u16string_view Path, std::string_view Data);

// Bytes of the system ANSI code page to text; NUL bytes included.
[[nodiscard]] std::u16string DecodeAnsiText(std::string_view Data);
// Text to bytes of the system ANSI code page; characters it cannot hold become its substitute.
// EncodeAnsiText(u"a\U0001F600") == "a??" on code page 932
[[nodiscard]] std::string EncodeAnsiText(std::u16string_view Text);

} // namespace marigold
