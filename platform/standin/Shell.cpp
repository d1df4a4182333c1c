#include "platform/Shell.h"
#include "platform/standin/FilesStandIn.h"
#include "platform/standin/ShellStandIn.h"

#include "base/Unicode.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

namespace marigold::platform::standin {
namespace {

struct ShellState {
  std::map<int32_t, std::u16string> Folders{{0x26, u"C:\\Program Files"},
                                            {0x1A, u"C:\\Users\\u\\AppData\\Roaming"}};
  std::optional<VersionNumbers> Version = VersionNumbers{6, 1, 7601};
  // By name upper-cased: Windows compares variable names without case.
  std::map<std::u16string, std::u16string, std::less<>> Environment;
  std::vector<std::pair<std::u16string, std::u16string>> ShortNames;
};

ShellState& TheShell() {
  static ShellState S;
  return S;
}

// Path begins with the folder Short, as Windows compares names (ASCII letters only).
bool StartsWithFolder(std::u16string_view Path, std::u16string_view Short) {
  return Path.size() >= Short.size() &&
         std::equal(
             Short.begin(), Short.end(), Path.begin(),
             [](char16_t A, char16_t B) { return AsciiUppercase(A) == AsciiUppercase(B); }) &&
         (Path.size() == Short.size() || Path[Short.size()] == u'\\');
}

} // namespace

void SetShellFolder(int32_t Csidl, std::u16string Path) {
  TheShell().Folders[Csidl] = std::move(Path);
}
void SetVersionNumbers(std::optional<VersionNumbers> Version) {
  TheShell().Version = Version;
}
void SetEnvironmentValue(std::u16string Name, std::u16string Value) {
  if (Value.empty())
    TheShell().Environment.erase(AsciiUppercase(Name));
  else
    TheShell().Environment[AsciiUppercase(Name)] = std::move(Value);
}
void SetShortName(std::u16string Short, std::u16string Long) {
  TheShell().ShortNames.emplace_back(std::move(Short), std::move(Long));
}
void ResetShell() {
  TheShell() = ShellState{};
}

} // namespace marigold::platform::standin

namespace marigold::platform {

std::u16string ShellFolderPath(int32_t Csidl) {
  auto& S = standin::TheShell();
  auto Found = S.Folders.find(Csidl);
  return Found == S.Folders.end() ? std::u16string() : Found->second;
}

bool QueryVersionNumbers(VersionNumbers& Out) {
  auto& S = standin::TheShell();
  if (!S.Version)
    return false;
  Out = *S.Version;
  return true;
}

std::u16string EnvironmentValue(std::u16string_view Name) {
  auto& S = standin::TheShell();
  auto Found = S.Environment.find(AsciiUppercase(Name));
  return Found == S.Environment.end() ? std::u16string() : Found->second;
}

std::u16string LongPathName(std::u16string_view Path) {
  std::u16string Long(Path);
  for (const auto& [Short, Folder] : standin::TheShell().ShortNames)
    if (standin::StartsWithFolder(Path, Short)) {
      Long = Folder + std::u16string(Path.substr(Short.size()));
      break;
    }
  std::error_code Missing;
  return std::filesystem::exists(standin::NativePath(Long), Missing) ? Long : std::u16string();
}

} // namespace marigold::platform
