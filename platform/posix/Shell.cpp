#include "platform/Shell.h"
#include "platform/posix/ShellStandIn.h"

#include <map>

namespace platform::standin {
namespace {

struct ShellState {
  std::map<int32_t, std::u16string> Folders{{0x26, u"C:\\Program Files"},
                                            {0x1A, u"C:\\Users\\u\\AppData\\Roaming"}};
  std::optional<VersionNumbers> Version = VersionNumbers{6, 1, 7601};
};

ShellState& TheShell() {
  static ShellState S;
  return S;
}

} // namespace

void SetShellFolder(int32_t Csidl, std::u16string Path) {
  TheShell().Folders[Csidl] = std::move(Path);
}
void SetVersionNumbers(std::optional<VersionNumbers> Version) {
  TheShell().Version = Version;
}
void ResetShell() {
  TheShell() = ShellState{};
}

} // namespace platform::standin

namespace platform {

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

} // namespace platform
