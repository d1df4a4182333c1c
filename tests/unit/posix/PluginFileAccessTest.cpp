#include "StorageTestSupport.h"

#include "base/Unicode.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <algorithm>
#include <optional>
#include <vector>

using namespace marigold;

using namespace marigold::plugin;

namespace {

using platform::standin::SetHostExecutablePath;

// A host that answers "PlugInsFolder" by copying Units into the buffer (no terminator added).
class PlugInsFolderHost : public StorageTest {
protected:
  void Answer(std::u16string Units) {
    platform::standin::SetHostHandler([this, Units](platform::WindowHandle Window, uint32_t Message,
                                                    uintptr_t WParam, intptr_t LParam) {
      EXPECT_EQ(Message, HostMessageSetting);
      EXPECT_EQ(WParam, 0u);
      auto* Query = reinterpret_cast<THostSettingQuery*>(LParam);
      Seen.push_back(
          {Window, *Query, *Query->BufferSize,
           std::all_of(Query->Buffer, Query->Buffer + 51, [](char16_t C) { return C == 0; })});
      std::copy(Units.begin(), Units.end(), Query->Buffer);
      return intptr_t{1};
    });
  }

  struct SeenQuery {
    platform::WindowHandle Window;
    THostSettingQuery Query;
    uint32_t BufferSizeValue;
    bool BufferZeroFilled;
  };
  std::vector<SeenQuery> Seen;
};

TEST_F(PlugInsFolderHost, QueryCarriesTheFixedFieldsAndAZeroFilledBuffer) {
  int Token = 0;
  Answer(u"X:\\Folder");
  EXPECT_EQ(GetPlugInsFolderSetting(&Token), u"X:\\Folder");
  ASSERT_EQ(Seen.size(), 1u);
  const auto& Q = Seen[0].Query;
  EXPECT_EQ(Seen[0].Window, &Token);
  EXPECT_EQ(Q.Size, sizeof(THostSettingQuery));
  EXPECT_EQ(Q.Context, 0x7FFFFF00u);
  EXPECT_EQ(Q.Index, 0u);
  EXPECT_EQ(std::u16string(Q.Name), u"PlugInsFolder");
  EXPECT_EQ(Q.Kind, 1u);
  EXPECT_EQ(Q.Option, 0u);
  EXPECT_EQ(Seen[0].BufferSizeValue, 100u);
  EXPECT_TRUE(Seen[0].BufferZeroFilled);
}

TEST_F(PlugInsFolderHost, AnswerEndsAtTheFirstZeroOrTheEndOfTheBuffer) {
  Answer(std::u16string(u"abc\0def", 7));
  EXPECT_EQ(GetPlugInsFolderSetting(nullptr), u"abc");
  Answer(std::u16string(50, u'x'));
  EXPECT_EQ(GetPlugInsFolderSetting(nullptr), std::u16string(50, u'x'));
  platform::standin::SetHostHandler(nullptr);
  EXPECT_EQ(GetPlugInsFolderSetting(nullptr), u"");
}

TEST_F(PlugInsFolderHost, SettingsLocations) {
  struct Fact {
    std::u16string Setting, Executable, Settings, Legacy;
  };
  const std::vector<Fact> Facts = {
      {u"", u"D:\\Tools\\Editor\\Editor.exe", u"D:\\Tools\\Editor\\PlugIns\\Marigolds_Setting.txt",
       u"D:\\Tools\\Editor\\PlugIns\\Marigolds.ini"},
      {u"MyPlugIns", u"D:\\Tools\\Editor\\Editor.exe",
       u"D:\\Tools\\Editor\\MyPlugIns\\Marigolds_Setting.txt",
       u"D:\\Tools\\Editor\\MyPlugIns\\Marigolds.ini"},
      {u"..\\Common", u"D:\\Tools\\Editor\\Editor.exe", u"D:\\Tools\\Common\\Marigolds_Setting.txt",
       u"D:\\Tools\\Common\\Marigolds.ini"},
      {u"E:\\Data\\PlugIns\\", u"D:\\Tools\\Editor\\Editor.exe",
       u"E:\\Data\\PlugIns\\Marigolds_Setting.txt", u"E:\\Data\\PlugIns\\Marigolds.ini"},
      {u"E:/Data/PlugIns", u"D:\\Tools\\Editor\\Editor.exe",
       u"E:/Data/PlugIns\\Marigolds_Setting.txt", u"E:/Data/PlugIns\\Marigolds.ini"},
      // A walk above the drive's root gives an empty folder: root-relative names.
      {u"..\\..\\..\\x", u"D:\\Tools\\Editor\\Editor.exe", u"\\Marigolds_Setting.txt",
       u"\\Marigolds.ini"},
      {u"\\\\srv\\share\\p", u"D:\\Editor.exe", u"\\\\srv\\share\\p\\Marigolds_Setting.txt",
       u"\\\\srv\\share\\p\\Marigolds.ini"}};
  for (const auto& F : Facts) {
    Answer(F.Setting);
    SetHostExecutablePath(F.Executable);
    EXPECT_EQ(GetSettingsFileName(), F.Settings) << ToUtf8(F.Setting);
    EXPECT_EQ(GetLegacySettingsFileName(), F.Legacy) << ToUtf8(F.Setting);
  }
  EXPECT_TRUE(std::filesystem::is_empty(FRoot));
}

TEST_F(PlugInsFolderHost, ProgramFilesIsRedirectedAndNothingIsCreated) {
  Answer(u"");
  SetHostExecutablePath(u"C:\\Program Files\\Editor\\Editor.exe");
  EXPECT_EQ(GetSettingsFileName(),
            u"C:\\Users\\u\\AppData\\Roaming\\Editor\\PlugIns\\Marigolds_Setting.txt");
  EXPECT_TRUE(std::filesystem::is_empty(FRoot));
}

TEST(BackupFileName, FoldsTheExtensionIntoTheSuffix) {
  const std::vector<std::pair<std::u16string, std::u16string>> Facts = {
      {u"C:\\x\\Marigolds.ini", u"C:\\x\\Marigolds_ini.bak"},
      {u"C:\\x\\Marigolds_Setting.txt", u"C:\\x\\Marigolds_Setting_txt.bak"},
      {u"a.b.c", u"a.b_c.bak"},
      {u"a._x", u"a_x.bak"},
      {u"notes", u"notes_.bak"},
      {u"C:\\d.ir\\notes", u"C:\\d.ir\\notes_.bak"},
      {u"a.", u"a_.bak"},
      {u"a.TXT", u"a_TXT.bak"}};
  for (const auto& [Path, Backup] : Facts)
    EXPECT_EQ(GetBackupFileName(Path), Backup) << ToUtf8(Path);
}

} // namespace
