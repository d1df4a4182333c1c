#include "StorageTestSupport.h"
#include "unit/common/MigrationDialogTexts.h"

#include "base/Errors.h"
#include "lib/StringRecordList.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"

#include <map>
#include <vector>

using namespace marigold;

using namespace marigold::plugin;

namespace {

constexpr std::u16string_view Settings = u"D:\\Ed\\PlugIns\\Marigolds_Setting.txt";
constexpr std::u16string_view SettingsBackup = u"D:\\Ed\\PlugIns\\Marigolds_Setting_txt.bak";
constexpr std::u16string_view Legacy = u"D:\\Ed\\PlugIns\\Marigolds.ini";
constexpr std::u16string_view LegacyBackup = u"D:\\Ed\\PlugIns\\Marigolds_ini.bak";

// "あ" CR LF "x" in code page 932, and the lines of a current settings file.
const std::string LegacyBytes = "\x82\xa0\r\nx";
const std::string CurrentBytes = "C:\\a.txt\r\n\tD:\\b\r\n";

// The plug-ins folder after both files were migrated: the legacy text in place, both backed up.
const std::map<std::string, std::string> BothMigrated = {
    {"Marigolds_ini.bak", LegacyBytes},
    {"Marigolds_Setting_txt.bak", CurrentBytes},
    {"Marigolds_Setting.txt", LegacyBytes}};

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

TEST_F(Migration, FolderWithTheSettingsNameCountsAsMissingAndCannotBeCreated) {
  std::filesystem::create_directories(Native(Settings));
  try {
    LoadSettingsWithMigration(FList);
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& Error) {
    EXPECT_EQ(Error.Message(), u"Error:SaveAnsiStringToFile\r\n" + std::u16string(Settings));
  }
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_TRUE(std::filesystem::is_directory(Native(Settings)));
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

// A legacy file saved as UTF-8 reads as such and becomes the settings file byte for byte.
TEST_F(Migration, LegacyFileInUtf8KeepsItsBytes) {
  const std::string Utf8 = "\xEF\xBB\xBF\xE3\x81\x82\r\n\x81 x";
  Write(Legacy, Utf8);
  AnswerDialog(IdYes);
  LoadSettingsWithMigration(FList);
  EXPECT_EQ(FList.Text(), u"あ\r\n\uFFFD x");
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"Marigolds_ini.bak", Utf8},
                                                          {"Marigolds_Setting.txt", Utf8}}));
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
  EXPECT_EQ(Folder(), BothMigrated);
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

// The old settings backup cannot be deleted (a folder with content, a read-only file), so the
// settings file cannot be backed up: the migration must not overwrite the only copy of it.
TEST_F(Migration, SettingsThatCannotBeBackedUpAreNeverOverwritten) {
  for (bool ReadOnlyFile : {false, true}) {
    SCOPED_TRACE(ReadOnlyFile ? "read-only backup" : "folder in the way");
    std::filesystem::remove_all(Native(u"D:\\Ed"));
    WriteBoth();
    if (ReadOnlyFile) {
      Write(SettingsBackup, "old");
      std::filesystem::permissions(Native(SettingsBackup), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::remove);
    } else {
      Write(u"D:\\Ed\\PlugIns\\Marigolds_Setting_txt.bak\\keep", "x");
    }
    const auto Before = Folder();
    platform::standin::Reset();
    platform::standin::SetHostExecutablePath(u"D:\\Ed\\Ed.exe");
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
}

} // namespace

// Windows behaviours that POSIX does not show: the legacy file is a link (described by its own
// entry), the replace gets half-way or is not supported, a look-up is refused. The migration
// keeps every line, or changes nothing when it cannot tell what is there.
TEST_F(Migration, SurvivesWhatWindowsDoesAndWineDoesNot) {
  using platform::standin::WindowsBehaviour;
  for (const auto Behaviour :
       {WindowsBehaviour::LinkEntryDescribesLink, WindowsBehaviour::ReplaceLeavesReplacement,
        WindowsBehaviour::ReplaceMovesTargetAway, WindowsBehaviour::ReplaceUnsupported,
        WindowsBehaviour::AttributeLookupRefused}) {
    SCOPED_TRACE(static_cast<int>(Behaviour));
    std::filesystem::remove_all(Native(u"D:\\Ed"));
    Write(u"D:\\Sync\\Marigolds.ini", LegacyBytes);
    Write(Settings, CurrentBytes);
    std::filesystem::create_symlink(Native(u"D:\\Sync\\Marigolds.ini"), Native(Legacy));
    const auto Before = Folder();
    AnswerDialog(IdYes);
    platform::standin::ShowWindowsBehaviour(Behaviour);
    if (Behaviour == WindowsBehaviour::AttributeLookupRefused) {
      EXPECT_THROW(LoadSettingsWithMigration(FList), EInOutError);
      EXPECT_EQ(Folder(), Before);
      continue;
    }
    LoadSettingsWithMigration(FList);
    EXPECT_EQ(FList.Text(), u"あ\r\nx");
    EXPECT_EQ(Folder(), BothMigrated);
  }
}
