#pragma once

// What a console program of the project needs from the system: its arguments, its output
// streams, the user's language and the file it is told to read.

#include "platform/Error.h"

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace marigold::platform {

// Prepares the system for a console program: on Windows nothing; elsewhere the Windows paths the
// program meets are mapped under the folder named by the environment's MARIGOLD_DRIVE_ROOT
// ('C:\a' is <root>/C/a), or under the stand-in's default root without it.
void PrepareConsoleProgram();

// The name the system opens for a Windows path: the path itself on Windows, its place under the
// drive root elsewhere.
std::u16string SystemPathOf(std::u16string_view WindowsPath);

// The program's arguments after its own name. Windows: CommandLineToArgvW of the command line,
// whatever argc and argv hold; elsewhere argv read as UTF-8.
std::vector<std::u16string> ProgramArguments(int argc, char** argv);

// Writes Utf8 to the standard output (or error). Windows: a console gets the text as UTF-16
// (WriteConsoleW); a file or pipe gets the UTF-8 bytes.
void WriteStandard(std::string_view Utf8, bool ToErrors = false);

// The user's interface language is Japanese: GetUserDefaultUILanguage on Windows, the
// environment's LANG elsewhere ("ja" or "ja_JP.UTF-8" are).
bool UserLanguageIsJapanese();

// The whole file named Path as the system names files here (a Windows path on Windows, a native
// path elsewhere); the system's error when it cannot be read.
[[nodiscard]] Result<std::string> ReadWholeFile(std::u16string_view Path);

// The folder holding the file Path as an absolute Windows path with a trailing "\"; empty when it
// has none (elsewhere: when the file lies outside the stand-in's drive root).
std::u16string WindowsFolderOf(std::u16string_view Path);

} // namespace marigold::platform
