#include "StorageTestSupport.h"

#include "lib/Errors.h"
#include "lib/StringRecordList.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"

#include <map>
#include <vector>

namespace {

constexpr std::u16string_view Settings = u"D:\\Ed\\PlugIns\\Marigolds_Setting.txt";
constexpr std::u16string_view SettingsBackup = u"D:\\Ed\\PlugIns\\Marigolds_Setting_txt.bak";
constexpr std::u16string_view Legacy = u"D:\\Ed\\PlugIns\\Marigolds.ini";
constexpr std::u16string_view LegacyBackup = u"D:\\Ed\\PlugIns\\Marigolds_ini.bak";

// "あ" CR LF "x" in code page 932, and the lines of a current settings file.
const std::string LegacyBytes = "\x82\xa0\r\nx";
const std::string CurrentBytes = "C:\\a.txt\r\n\tD:\\b\r\n";

std::u16string JoinLines(std::initializer_list<std::u16string_view> Lines) {
  std::u16string Text;
  for (auto Line : Lines)
    Text += std::u16string(Line) + u"\r\n";
  return Text.substr(0, Text.size() - 2);
}

const std::u16string BothFilesQuestion = JoinLines({
    u"設定ファイル名が変更になっています。",
    u"旧バージョン/新バージョン、両方の設定ファイルが存在します。",
    u"移行しますか？",
    u"--------------------",
    u"処理内容",
    u"  バックアップ",
    u"    旧バージョン:Marigolds.ini >> Marigolds_ini.bak",
    u"    新バージョン:Marigolds_Setting.txt >> Marigolds_Setting_txt.bak",
    u"  移行",
    u"    Marigolds.ini >> Marigolds_Setting.txt",
});
const std::u16string LegacyFileQuestion = JoinLines({
    u"設定ファイル名が変更になっています。",
    u"旧バージョンの設定ファイルが存在します。",
    u"移行しますか？",
    u"--------------------",
    u"処理内容",
    u"  バックアップ",
    u"    旧バージョン:Marigolds.ini >> Marigolds_ini.bak",
    u"  移行",
    u"    Marigolds.ini >> Marigolds_Setting.txt",
});

constexpr int IdYes = 6, IdNo = 7;

class Migration : public StorageTest {
protected:
  void SetUp() override {
    StorageTest::SetUp();
    platform::standin::SetHostExecutablePath(u"D:\\Ed\\Ed.exe");
    HostWindow = &FWindow;
    FList.SetText(u"left over\r\n");
  }
  void TearDown() override {
    HostWindow = nullptr;
    StorageTest::TearDown();
  }

  void AnswerDialog(int Answer) {
    platform::standin::SetMessageBoxAnswer([Answer](const auto&) { return Answer; });
  }
  const std::vector<platform::standin::MessageBoxCall>& Dialogs() {
    return platform::standin::MessageBoxCalls();
  }
  void ExpectOneDialog(const std::u16string& Text) {
    ASSERT_EQ(Dialogs().size(), 1u);
    EXPECT_EQ(Dialogs()[0].Text, Text);
    EXPECT_EQ(Dialogs()[0].Caption, u"Wickerbox Plugin 設定ファイル移行");
    EXPECT_EQ(Dialogs()[0].Style, 0x24u);
    EXPECT_EQ(Dialogs()[0].Owner, &FWindow);
  }
  // Every file in the plug-ins folder with its bytes.
  std::map<std::string, std::string> Folder() {
    std::map<std::string, std::string> Files;
    for (const auto& Entry : std::filesystem::directory_iterator(Native(u"D:\\Ed\\PlugIns")))
      Files[Entry.path().filename().string()] =
          Entry.is_directory() ? "<folder>" : ReadNative(Entry.path());
    return Files;
  }
  void WriteBoth() {
    Write(Settings, CurrentBytes);
    Write(Legacy, LegacyBytes);
  }

  int FWindow = 0;
  TCommonStringRecordList FList;
};

TEST_F(Migration, OnlySettingsFileIsLoadedWithoutAQuestion) {
  Write(Settings, CurrentBytes);
  LoadSettingsWithMigration(FList);
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_EQ(FList.Text(), u"C:\\a.txt\r\n\tD:\\b\r\n");
  EXPECT_EQ(FList.Count(), 2);
  EXPECT_EQ(Folder(),
            (std::map<std::string, std::string>{{"Marigolds_Setting.txt", CurrentBytes}}));
}

TEST_F(Migration, NeitherFileStartsAnEmptySettingsFile) {
  std::filesystem::create_directories(Native(u"D:\\Ed\\PlugIns"));
  LoadSettingsWithMigration(FList);
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_EQ(FList.Count(), 0);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"Marigolds_Setting.txt", ""}}));
}

TEST_F(Migration, LegacyFileAnsweredYesBecomesTheSettingsFile) {
  Write(Legacy, LegacyBytes);
  Write(LegacyBackup, "older backup");
  AnswerDialog(IdYes);
  LoadSettingsWithMigration(FList);
  ExpectOneDialog(LegacyFileQuestion);
  EXPECT_EQ(FList.Text(), u"あ\r\nx");
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"Marigolds_ini.bak", LegacyBytes},
                                                          {"Marigolds_Setting.txt", LegacyBytes}}));
}

TEST_F(Migration, LegacyFileAnsweredNoStartsEmptyAndAsksAboutBothNextTime) {
  Write(Legacy, LegacyBytes);
  for (int Answer : {IdNo, 0}) {
    platform::standin::Reset();
    platform::standin::SetHostExecutablePath(u"D:\\Ed\\Ed.exe");
    AnswerDialog(Answer);
    std::filesystem::remove(Native(Settings));
    LoadSettingsWithMigration(FList);
    ExpectOneDialog(LegacyFileQuestion);
    EXPECT_EQ(FList.Count(), 0);
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"Marigolds.ini", LegacyBytes},
                                                            {"Marigolds_Setting.txt", ""}}));
  }
  platform::standin::Reset();
  platform::standin::SetHostExecutablePath(u"D:\\Ed\\Ed.exe");
  LoadSettingsWithMigration(FList);
  ExpectOneDialog(BothFilesQuestion);
}

TEST_F(Migration, BothFilesAnsweredYesBackUpBothAndReplaceOldBackups) {
  WriteBoth();
  Write(LegacyBackup, "old ini backup");
  Write(SettingsBackup, "old txt backup");
  AnswerDialog(IdYes);
  LoadSettingsWithMigration(FList);
  ExpectOneDialog(BothFilesQuestion);
  EXPECT_EQ(FList.Text(), u"あ\r\nx");
  EXPECT_EQ(Folder(),
            (std::map<std::string, std::string>{{"Marigolds_ini.bak", LegacyBytes},
                                                {"Marigolds_Setting_txt.bak", CurrentBytes},
                                                {"Marigolds_Setting.txt", LegacyBytes}}));
}

TEST_F(Migration, BothFilesAnsweredNoLoadTheSettingsAndChangeNothing) {
  WriteBoth();
  const auto Before = Folder();
  AnswerDialog(IdNo);
  LoadSettingsWithMigration(FList);
  ExpectOneDialog(BothFilesQuestion);
  EXPECT_EQ(FList.Text(), u"C:\\a.txt\r\n\tD:\\b\r\n");
  EXPECT_EQ(Folder(), Before);
}

TEST_F(Migration, ZeroByteLegacyFileMigratesToZeroByteSettings) {
  Write(Legacy, "");
  AnswerDialog(IdYes);
  LoadSettingsWithMigration(FList);
  EXPECT_EQ(FList.Count(), 0);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"Marigolds_ini.bak", ""},
                                                          {"Marigolds_Setting.txt", ""}}));
}

TEST_F(Migration, UnreadableLegacyFileStopsBeforeAnythingIsRenamed) {
  WriteBoth();
  const auto Before = Folder();
  platform::standin::SetFileStepHook([](platform::standin::FileStep Step, const std::string&) {
    return Step != platform::standin::FileStep::OpenForReading;
  });
  AnswerDialog(IdYes);
  try {
    LoadSettingsWithMigration(FList);
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& Error) {
    EXPECT_EQ(Error.Message(), u"Error:LoadAnsiStringFromFile\r\n" + std::u16string(Legacy));
  }
  EXPECT_EQ(FList.Text(), u"left over\r\n");
  EXPECT_EQ(Folder(), Before);
}

// The settings file cannot be backed up (its backup name is taken by a folder that cannot be
// deleted): the migration must not overwrite the only copy of the current settings.
TEST_F(Migration, SettingsThatCannotBeBackedUpAreNeverOverwritten) {
  WriteBoth();
  Write(u"D:\\Ed\\PlugIns\\Marigolds_Setting_txt.bak\\keep", "x");
  const auto Before = Folder();
  AnswerDialog(IdYes);
  try {
    LoadSettingsWithMigration(FList);
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& Error) {
    EXPECT_EQ(Error.Message(), u"Error:SaveAnsiStringToFile\r\n" + std::u16string(Settings));
  }
  EXPECT_EQ(Folder(), Before);
  // The legacy file is back in place, so the next command offers the migration again.
  platform::standin::Reset();
  platform::standin::SetHostExecutablePath(u"D:\\Ed\\Ed.exe");
  LoadSettingsWithMigration(FList);
  ExpectOneDialog(BothFilesQuestion);
}

} // namespace
