#include "platform/Console.h"

#include "base/Unicode.h"
#include "platform/standin/FilesStandIn.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace marigold::platform {

void PrepareConsoleProgram() {
  if (const char* Root = std::getenv("MARIGOLD_DRIVE_ROOT"); Root && *Root)
    standin::SetDriveRoot(Root);
}

std::u16string SystemPathOf(std::u16string_view WindowsPath) {
  return marigold::FromUtf8(standin::NativePath(WindowsPath));
}

std::vector<std::u16string> ProgramArguments(int argc, char** argv) {
  std::vector<std::u16string> Arguments;
  for (int I = 1; I < argc; ++I)
    Arguments.push_back(marigold::FromUtf8(argv[I]));
  return Arguments;
}

void WriteStandard(std::string_view Utf8, bool ToErrors) {
  std::FILE* Stream = ToErrors ? stderr : stdout;
  std::fwrite(Utf8.data(), 1, Utf8.size(), Stream);
  std::fflush(Stream);
}

bool UserLanguageIsJapanese() {
  const char* Lang = std::getenv("LANG");
  return Lang && std::string_view(Lang).starts_with("ja");
}

Result<std::string> ReadWholeFile(std::u16string_view Path) {
  const std::string Native = marigold::ToUtf8(Path);
  std::error_code Error;
  if (std::filesystem::is_directory(Native, Error))
    return std::make_error_code(std::errc::is_a_directory);
  std::ifstream In(Native, std::ios::binary);
  if (!In)
    return std::error_code(errno ? errno : ENOENT, std::system_category());
  std::string Bytes(std::istreambuf_iterator<char>(In), {});
  if (In.bad())
    return std::make_error_code(std::errc::io_error);
  return Bytes;
}

std::u16string WindowsFolderOf(std::u16string_view Path) {
  std::error_code Error;
  const std::filesystem::path Folder =
      std::filesystem::weakly_canonical(std::filesystem::absolute(marigold::ToUtf8(Path)), Error)
          .parent_path();
  if (Error)
    return {};
  std::u16string Windows = standin::WindowsPath(Folder.string());
  if (!Windows.empty() && Windows.back() != u'\\')
    Windows += u'\\';
  return Windows;
}

} // namespace marigold::platform
