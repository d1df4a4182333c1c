#include "StorageTestSupport.h"

#include "base/Unicode.h"

#include "lib/OSVersionUnit.h"
#include "lib/VistaUnit.h"

#include <optional>
#include <vector>

using namespace marigold;

namespace {

using platform::standin::SetEnvironmentValue;
using platform::standin::SetShellFolder;
using platform::standin::SetShortName;
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
  // Asking for a name creates nothing; the writer creates the folder.
  EXPECT_TRUE(std::filesystem::is_empty(FRoot));
}

TEST_F(VistaRedirect, LeavesOtherPathsAloneAndCreatesNothing) {
  for (const std::u16string Path :
       {u"D:\\Tools\\Editor\\PlugIns\\Marigolds.ini", u"D:\\C:\\Program Files\\E\\x.txt",
        u"C:\\Program File\\x.txt", u"", u"C:\\Ｐrogram Files\\x.txt"})
    EXPECT_EQ(VistaRedirectPath(Path), Path);
  EXPECT_TRUE(std::filesystem::is_empty(FRoot));
}

// A 32-bit process on 64-bit Windows: the shell names the 32-bit folder, the environment both.
TEST_F(VistaRedirect, BothProgramFilesFoldersInAnySpelling) {
  SetShellFolder(0x26, u"C:\\Program Files (x86)");
  SetEnvironmentValue(u"ProgramFiles", u"C:\\Program Files (x86)");
  SetEnvironmentValue(u"ProgramW6432", u"C:\\Program Files");
  SetShortName(u"C:\\PROGRA~1", u"C:\\Program Files");
  SetShortName(u"C:\\PROGRA~2", u"C:\\Program Files (x86)");
  // A share that is Program Files is not looked up: no network on the way to a name.
  SetShortName(u"\\\\srv\\pf", u"C:\\Program Files");
  for (const auto* Folder :
       {u"C:\\Program Files\\Editor\\PlugIns", u"C:\\Program Files (x86)\\Ed32", u"\\\\srv\\pf"})
    std::filesystem::create_directories(Native(Folder));
  struct Fact {
    std::u16string Path, Expected;
  };
  const std::u16string AppData = u"C:\\Users\\u\\AppData\\Roaming";
  const std::vector<Fact> Facts = {
      {u"C:\\Program Files\\Editor\\PlugIns\\Marigolds_Setting.txt",
       AppData + u"\\Editor\\PlugIns\\Marigolds_Setting.txt"},
      // The longer folder wins over the one it begins with.
      {u"C:\\Program Files (x86)\\Ed32\\x.txt", AppData + u"\\Ed32\\x.txt"},
      {u"C:\\PROGRA~1\\Editor\\PlugIns\\Marigolds_Setting.txt",
       AppData + u"\\Editor\\PlugIns\\Marigolds_Setting.txt"},
      // Folders that do not exist yet below a short name keep their spelling.
      {u"c:\\progra~1\\Editor\\New\\Deeper\\x.txt", AppData + u"\\Editor\\New\\Deeper\\x.txt"},
      {u"C:\\PROGRA~2\\Ed32\\x.txt", AppData + u"\\Ed32\\x.txt"},
      {u"C:\\PROGRA~3\\Ed32\\x.txt", u"C:\\PROGRA~3\\Ed32\\x.txt"},
      {u"\\\\srv\\pf\\x.txt", u"\\\\srv\\pf\\x.txt"}};
  for (const auto& F : Facts)
    EXPECT_EQ(VistaRedirectPath(F.Path), F.Expected) << ToUtf8(F.Path);
  EXPECT_FALSE(std::filesystem::exists(Native(AppData)));
}

TEST_F(VistaRedirect, CreateFolderWithParentsCreatesTheMissingChain) {
  const std::u16string Folder = u"C:\\Users\\u\\AppData\\Roaming\\Editor\\PlugIns";
  CreateFolderWithParents(Folder);
  CreateFolderWithParents(Folder);
  EXPECT_TRUE(std::filesystem::is_directory(Native(Folder)));
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
