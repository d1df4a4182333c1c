#include "base/Unicode.h"
#include "base/WideText.h"
#include "lib/OSVersionUnit.h"
#include "lib/ShellSpecialFolderPathUnit.h"
#include "lib/VistaUnit.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace marigold;

namespace {

TEST(SpecialFolderWin, KeysMapToTheSystemsCsidlNumbers) {
  // clang-format off
  const int Expected[] = {
      CSIDL_ADMINTOOLS, CSIDL_ALTSTARTUP, CSIDL_APPDATA, CSIDL_CDBURN_AREA,
      CSIDL_COMMON_ADMINTOOLS, CSIDL_COMMON_ALTSTARTUP, CSIDL_COMMON_APPDATA,
      CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_FAVORITES,
      CSIDL_COMMON_MUSIC, CSIDL_COMMON_PICTURES, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU,
      CSIDL_COMMON_STARTUP, CSIDL_COMMON_TEMPLATES, CSIDL_COMMON_VIDEO, CSIDL_COOKIES,
      CSIDL_DESKTOP, CSIDL_DESKTOPDIRECTORY, CSIDL_FAVORITES, CSIDL_FONTS, CSIDL_HISTORY,
      CSIDL_INTERNET_CACHE, CSIDL_LOCAL_APPDATA, CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO,
      CSIDL_NETHOOD, CSIDL_PERSONAL, CSIDL_PRINTHOOD, CSIDL_PROFILE, CSIDL_PROGRAM_FILES,
      CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAMS, CSIDL_RECENT,
      CSIDL_RESOURCES, CSIDL_SENDTO, CSIDL_STARTMENU, CSIDL_STARTUP, CSIDL_SYSTEM,
      CSIDL_SYSTEMX86, CSIDL_TEMPLATES, CSIDL_WINDOWS};
  // clang-format on
  static_assert(std::size(Expected) == 45);
  for (int Key = 0; Key < 45; ++Key)
    EXPECT_EQ(SHGetSpecialFolderKeyIndex(static_cast<TSpecialFolderKey>(Key)), Expected[Key])
        << "key " << Key;
}

TEST(SpecialFolderWin, VersionIsSixOrLater) {
  const TWindowsVersion Version = GetWindowsVersion();
  EXPECT_GE(Version.Major, 6u);
  EXPECT_GT(Version.Build, 0u);
}

// Redirection against the prefix's real folders; whichever Program Files this process sees.
class RedirectWin : public ::testing::Test {
protected:
  void SetUp() override {
    FFolders = {GetSpecialFolderPath(fkProgramFiles)};
    FAppData = GetSpecialFolderPath(fkAppData);
    ASSERT_FALSE(FFolders[0].empty());
    ASSERT_FALSE(FAppData.empty());
    const std::string Id = std::to_string(GetCurrentProcessId());
    FName = u"MarigoldStorage-" + std::u16string(Id.begin(), Id.end());
  }
  void TearDown() override {
    std::error_code Ignored;
    std::filesystem::remove_all(std::filesystem::path(FAppData + u"\\" + FName), Ignored);
  }

  static std::u16string Lower(std::u16string S) {
    for (auto& C : S)
      if (C >= u'A' && C <= u'Z')
        C = static_cast<char16_t>(C + 32);
    return S;
  }

  std::vector<std::u16string> FFolders;
  std::u16string FAppData, FName;
};

// Each Program Files folder this process is told of, as given and in its 8.3 form, with a folder
// below it that does not exist.
TEST_F(RedirectWin, EveryProgramFilesSpellingMovesToRoamingAppData) {
  const std::u16string Tail = u"\\" + FName + u"\\PlugIns\\Marigolds_Setting.txt";
  for (const wchar_t* Variable : {L"ProgramFiles", L"ProgramW6432"}) {
    wchar_t Value[MAX_PATH] = {};
    const DWORD Length = GetEnvironmentVariableW(Variable, Value, MAX_PATH);
    if (Length > 0 && Length < MAX_PATH)
      FFolders.emplace_back(AsUtf16(Value));
  }
  for (const std::u16string& Folder : FFolders) {
    wchar_t Short[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(AsWide(Folder.c_str()), Short, MAX_PATH), 0u);
    for (const std::u16string& Spelling : {Lower(Folder), std::u16string(AsUtf16(Short))})
      EXPECT_EQ(VistaRedirectPath(Spelling + Tail), FAppData + Tail) << ToUtf8(Spelling);
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(FAppData + u"\\" + FName)));
}

TEST_F(RedirectWin, CreateFolderWithParentsMakesTheChain) {
  const std::u16string Folder = FAppData + u"\\" + FName + u"\\PlugIns";
  CreateFolderWithParents(Folder);
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(Folder)));
}

TEST_F(RedirectWin, OutsidePathIsLeftAloneAndNothingIsCreated) {
  const std::u16string Outside = u"C:\\" + FName + u"\\PlugIns\\Marigolds.ini";
  EXPECT_EQ(VistaRedirectPath(Outside), Outside);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(u"C:\\" + FName)));
  const std::u16string Inside = u"C:\\" + FName + u"\\" + FFolders[0] + u"\\x.txt";
  EXPECT_EQ(VistaRedirectPath(Inside), Inside);
}

} // namespace
