#include "base/Errors.h"
#include "lib/ShellSpecialFolderPathUnit.h"

#include <gtest/gtest.h>

using namespace marigold;

namespace {

TEST(SpecialFolder, KeysTheProgramUsesAndTheEndsOfTheTable) {
  EXPECT_EQ(SHGetSpecialFolderKeyIndex(fkProgramFiles), 38);
  EXPECT_EQ(SHGetSpecialFolderKeyIndex(fkAppData), 26);
  EXPECT_EQ(SHGetSpecialFolderKeyIndex(fkAdminTools), 48);
  EXPECT_EQ(SHGetSpecialFolderKeyIndex(fkDesktop), 0);
  EXPECT_EQ(SHGetSpecialFolderKeyIndex(fkWindows), 36);
  EXPECT_EQ(static_cast<int>(fkWindows), 44);
}

TEST(SpecialFolder, KeyOutsideTheTableIsAnAssertionFailure) {
  for (int Value : {45, 46, 255}) {
    try {
      (void)SHGetSpecialFolderKeyIndex(static_cast<TSpecialFolderKey>(Value));
      ADD_FAILURE() << Value << " was accepted";
    } catch (const EAssertionFailed& Error) {
      EXPECT_EQ(Error.Message(), u"SHGetSpecialFolderKeyIndex:存在しない型です "
                                 u"(SpecialFolderPathUnit\\ShellSpecialFolderPathUnit, 141 行)");
    }
  }
}

TEST(SpecialFolder, PathOfAKeyIsThePathOfItsCsidl) {
  const std::u16string ProgramFiles = GetSpecialFolderPath(fkProgramFiles);
  EXPECT_FALSE(ProgramFiles.empty());
  EXPECT_EQ(ProgramFiles, GetShellFolderPath(38));
  EXPECT_EQ(GetSpecialFolderPath(fkAppData), GetShellFolderPath(26));
}

TEST(SpecialFolder, UnknownCsidlGivesEmptyPath) {
  EXPECT_EQ(GetShellFolderPath(0x7F), u"");
  EXPECT_EQ(GetShellFolderPath(-1), u"");
}

} // namespace
