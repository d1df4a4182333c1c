#include "StorageTestSupport.h"

#include "lib/OSVersionUnit.h"
#include "lib/VistaUnit.h"

#include <optional>
#include <vector>

using namespace marigold;

namespace {

using platform::standin::SetShellFolder;
using platform::standin::SetVersionNumbers;

class VistaRedirect : public StorageTest {};

TEST_F(VistaRedirect, RedirectsEveryOccurrenceWhateverTheLetterCase) {
  struct Fact {
    std::u16string Path, Expected;
  };
  const std::vector<Fact> Facts = {
      {u"c:\\program files\\Editor\\PlugIns\\Marigolds_Setting.txt",
       u"C:\\Users\\u\\AppData\\Roaming\\Editor\\PlugIns\\Marigolds_Setting.txt"},
      {u"C:\\PROGRAM FILES\\a\\C:\\Program Files\\b\\x.txt",
       u"C:\\Users\\u\\AppData\\Roaming\\a\\C:\\Users\\u\\AppData\\Roaming\\b\\x.txt"},
      // The "(x86)" form is tried first, so no "(x86)" is left behind.
      {u"C:\\Program Files(x86)\\E\\x.txt", u"C:\\Users\\u\\AppData\\Roaming\\E\\x.txt"},
      // Only the ASCII letters are folded; the rest of the name must match exactly.
      {u"C:\\Program Files\\Ｅ\\x.txt", u"C:\\Users\\u\\AppData\\Roaming\\Ｅ\\x.txt"}};
  for (const auto& F : Facts)
    EXPECT_EQ(VistaRedirectPath(F.Path), F.Expected);
  EXPECT_TRUE(
      std::filesystem::is_directory(Native(u"C:\\Users\\u\\AppData\\Roaming\\Editor\\PlugIns")));
}

TEST_F(VistaRedirect, LeavesOtherPathsAloneAndCreatesNothing) {
  for (const std::u16string Path :
       {u"D:\\Tools\\Editor\\PlugIns\\Marigolds.ini", u"D:\\C:\\Program Files\\E\\x.txt",
        u"C:\\Program File\\x.txt", u"", u"C:\\Ｐrogram Files\\x.txt"})
    EXPECT_EQ(VistaRedirectPath(Path), Path);
  EXPECT_TRUE(std::filesystem::is_empty(FRoot));
}

TEST_F(VistaRedirect, OnlyFromVersionSixOn) {
  const std::u16string Path = u"C:\\Program Files\\Editor\\PlugIns\\Marigolds.ini";
  for (const std::optional<platform::VersionNumbers> Version :
       {std::optional(platform::VersionNumbers{5, 1, 2600}),
        std::optional<platform::VersionNumbers>()}) {
    SetVersionNumbers(Version);
    EXPECT_EQ(VistaRedirectPath(Path), Path);
  }
  EXPECT_TRUE(std::filesystem::is_empty(FRoot));
  SetVersionNumbers(platform::VersionNumbers{6, 0, 6000});
  EXPECT_EQ(VistaRedirectPath(Path),
            u"C:\\Users\\u\\AppData\\Roaming\\Editor\\PlugIns\\Marigolds.ini");
}

TEST_F(VistaRedirect, UnknownProgramFilesRedirectsNothing) {
  SetShellFolder(0x26, u"");
  EXPECT_EQ(VistaRedirectPath(u"C:\\Program Files\\E\\x.txt"), u"C:\\Program Files\\E\\x.txt");
}

TEST(OSVersion, FailedQueryIsVersionZero) {
  SetVersionNumbers(std::nullopt);
  const TWindowsVersion Failed = GetWindowsVersion();
  SetVersionNumbers(platform::VersionNumbers{10, 0, 19045});
  const TWindowsVersion Answered = GetWindowsVersion();
  platform::standin::ResetShell();
  EXPECT_EQ(Failed.Major + Failed.Minor + Failed.Build, 0u);
  EXPECT_EQ(Answered.Major, 10u);
  EXPECT_EQ(Answered.Build, 19045u);
}

} // namespace
