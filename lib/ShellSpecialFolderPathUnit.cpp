#include "lib/ShellSpecialFolderPathUnit.h"

#include "base/Errors.h"
#include "platform/Shell.h"

#include <array>

namespace marigold {

namespace {

constexpr std::array<int32_t, 45> CsidlOfKey = {
    0x30, 0x1D, 0x1A, 0x3B, 0x2F, 0x1E, 0x23, 0x19, 0x2E, 0x1F, 0x35, 0x36, 0x17, 0x16, 0x18,
    0x2D, 0x37, 0x21, 0x00, 0x10, 0x06, 0x14, 0x22, 0x20, 0x1C, 0x0D, 0x27, 0x0E, 0x13, 0x05,
    0x1B, 0x28, 0x26, 0x2B, 0x2A, 0x02, 0x08, 0x38, 0x09, 0x0B, 0x07, 0x25, 0x29, 0x15, 0x24};
static_assert(CsidlOfKey.size() == fkWindows + 1);

} // namespace

int32_t SHGetSpecialFolderKeyIndex(TSpecialFolderKey Key) {
  if (Key < CsidlOfKey.size())
    return CsidlOfKey[Key];
  AssertionFailure(u"SHGetSpecialFolderKeyIndex:存在しない型です",
                   u"SpecialFolderPathUnit\\ShellSpecialFolderPathUnit", 141);
}

std::u16string GetShellFolderPath(int32_t CSIDL) {
  return platform::ShellFolderPath(CSIDL);
}

std::u16string GetSpecialFolderPath(TSpecialFolderKey Key) {
  return GetShellFolderPath(SHGetSpecialFolderKeyIndex(Key));
}

} // namespace marigold
