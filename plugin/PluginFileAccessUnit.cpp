#include "plugin/PluginFileAccessUnit.h"

#include "base/Errors.h"
#include "lib/FileNameUnit.h"
#include "lib/FileUnit.h"
#include "lib/StringRecordList.h"
#include "lib/StringUnit.h"
#include "lib/TextEncoding.h"
#include "lib/VistaUnit.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <array>

namespace marigold::plugin {

namespace {

constexpr std::u16string_view SettingsFileName = u"Marigolds_Setting.txt";
constexpr std::u16string_view LegacySettingsFileName = u"Marigolds.ini";

constexpr std::u16string_view MigrationCaption = u"Wickerbox Plugin 設定ファイル移行";
constexpr uint32_t MigrationStyle = platform::mb::YesNo | platform::mb::IconQuestion;

// The two questions differ only in their second line.
constexpr std::u16string_view QuestionFirstLine = u"設定ファイル名が変更になっています。\r\n";
constexpr std::u16string_view BothFilesLine =
    u"旧バージョン/新バージョン、両方の設定ファイルが存在します。\r\n";
constexpr std::u16string_view LegacyFileLine = u"旧バージョンの設定ファイルが存在します。\r\n";
constexpr std::u16string_view QuestionTail = u"移行しますか？\r\n"
                                             u"--------------------\r\n"
                                             u"処理内容\r\n"
                                             u"  バックアップ\r\n"
                                             u"    旧バージョン:";

// The full names the migration works on.
struct SettingsFiles {
  std::u16string Settings = GetSettingsFileName();
  std::u16string Legacy = GetLegacySettingsFileName();
  std::u16string SettingsBackup = GetBackupFileName(Settings);
  std::u16string LegacyBackup = GetBackupFileName(Legacy);
};

std::u16string MigrationQuestion(const SettingsFiles& Files, bool BackUpBoth) {
  const std::u16string Settings = ExtractFileName(Files.Settings);
  const std::u16string Legacy = ExtractFileName(Files.Legacy);
  std::u16string Text(QuestionFirstLine);
  Text += BackUpBoth ? BothFilesLine : LegacyFileLine;
  Text += QuestionTail;
  Text += Legacy + u" >> " + ExtractFileName(Files.LegacyBackup) + u"\r\n";
  if (BackUpBoth)
    Text +=
        u"    新バージョン:" + Settings + u" >> " + ExtractFileName(Files.SettingsBackup) + u"\r\n";
  Text += u"  移行\r\n    " + Legacy + u" >> " + Settings;
  return Text;
}

bool UserAgreesToMigrate(const SettingsFiles& Files, bool BackUpBoth) {
  return platform::ShowMessageBox(HostWindow, MigrationQuestion(Files, BackUpBoth),
                                  MigrationCaption, MigrationStyle) == platform::mb::IdYes;
}

// Loads the file's text into List, read in the encoding its bytes show; answers the bytes.
std::string LoadInto(TCommonStringRecordList& List, std::u16string_view Path) {
  std::string Bytes = LoadAnsiStringFromFile(Path);
  List.SetText(DecodeText(Bytes, DetectTextEncoding(Bytes)));
  return Bytes;
}

// Replaces an old backup and renames File to it; the system's error when File is still in place.
std::error_code MoveToBackup(const std::u16string& File, const std::u16string& Backup) {
  if (platform::FileExists(Backup))
    (void)platform::RemoveFile(Backup); // a backup that stays makes the rename fail and tell
  return platform::RenameFile(File, Backup);
}

// Whether the file is there; a look-up that cannot tell stops the command before anything is
// written, since taking it for absence would replace the file.
bool IsPresent(std::u16string_view Path) {
  const auto Present = FilePresent(Path);
  if (!Present)
    throw LoadError(Path, Present.Error());
  return *Present;
}

void Migrate(TCommonStringRecordList& List, const SettingsFiles& Files, bool BackUpBoth) {
  // The legacy file's bytes become the settings file as they are, in their own encoding.
  const std::string Legacy = LoadInto(List, Files.Legacy);
  const bool LegacyMoved = !MoveToBackup(Files.Legacy, Files.LegacyBackup);
  if (BackUpBoth) {
    if (const std::error_code Error = MoveToBackup(Files.Settings, Files.SettingsBackup)) {
      // Saving now would destroy the only copy of the current settings. Put the legacy file
      // back, so that the next command offers the migration again, and report the settings file.
      if (LegacyMoved)
        (void)platform::RenameFile(Files.LegacyBackup, Files.Legacy);
      throw SaveError(Files.Settings, Error);
    }
  }
  SaveSettingsFile(Files.Settings, Legacy, SaveMode::CreateOnly);
}

void StartEmpty(TCommonStringRecordList& List, const SettingsFiles& Files) {
  List.SetText(u"");
  SaveSettingsFile(Files.Settings, "", SaveMode::CreateOnly);
}

} // namespace

std::u16string GetPlugInsFolderSetting(platform::WindowHandle Window) {
  std::array<char16_t, 50 + 1> Buffer{};
  uint32_t BufferSize = 100;
  QueryHostSetting(Window, 0x7FFFFF00, 0, u"PlugInsFolder", 1, Buffer.data(), &BufferSize, 0);
  Buffer.back() = u'\0';
  return std::u16string(Buffer.data());
}

std::u16string GetPlugInsFolder(platform::WindowHandle Window) {
  const std::u16string EditorFolder = ExtractFilePath(GetEditorPath());
  std::u16string Folder = GetPlugInsFolderSetting(Window);
  if (Folder.empty())
    Folder = EditorFolder + u"PlugIns";
  if (IsValidRelativePath(Folder))
    Folder = ResolveRelativePath(RemoveTrailingBackslash(EditorFolder), Folder);
  return Folder;
}

namespace {

// Name in the plug-ins folder, moved out of Program Files where the system asks for it.
std::u16string PlugInsFolderFile(std::u16string_view Name) {
  return VistaRedirectPath(AddTrailingBackslash(GetPlugInsFolder(HostWindow)) +
                           std::u16string(Name));
}

} // namespace

std::u16string GetSettingsFileName() {
  return PlugInsFolderFile(SettingsFileName);
}

std::u16string GetLegacySettingsFileName() {
  return PlugInsFolderFile(LegacySettingsFileName);
}

std::u16string GetBackupFileName(std::u16string_view Path) {
  const std::u16string Extension = ExtractFileExt(Path);
  const std::u16string Suffix =
      EnsurePrefix(RemovePrefix(Extension, u".", /*IgnoreCase=*/false), u"_", /*IgnoreCase=*/false);
  return std::u16string(Path.substr(0, Path.size() - Extension.size())) + Suffix + u".bak";
}

void CreateSettingsFolder(std::u16string_view Path) {
  CreateFolderWithParents(RemoveTrailingBackslash(ExtractFilePath(Path)));
}

void SaveSettingsFile(std::u16string_view Path, std::string_view Data, SaveMode Mode) {
  CreateSettingsFolder(Path);
  SaveAnsiStringToFile(Path, Data, Mode);
}

void LoadSettingsWithMigration(TCommonStringRecordList& List) {
  const SettingsFiles Files;
  const bool Legacy = IsPresent(Files.Legacy);
  const bool Current = IsPresent(Files.Settings);
  if (Legacy) {
    if (UserAgreesToMigrate(Files, Current))
      Migrate(List, Files, Current);
    else if (Current)
      (void)LoadInto(List, Files.Settings);
    else
      StartEmpty(List, Files);
  } else if (Current) {
    (void)LoadInto(List, Files.Settings);
  } else {
    StartEmpty(List, Files);
  }
}

} // namespace marigold::plugin
