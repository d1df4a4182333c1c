// One settings file on two machines: with its paths written through environment variables, each
// machine shows the same menu over its own folders and opens its own files.

#include "FavouritesSupport.h"

using namespace host;

namespace {

const wchar_t* const SharedText = L"%USERPROFILE%\\Documents\r\n"
                                  L"Todo\t%USERPROFILE%\\Documents\\todo.txt /l 3\r\n"
                                  L"%CLOUD%\\notes.txt /ff \"%USERNAME%\"\r\n"
                                  L"Log\t%USERPROFILE%\\logs\\app.log\r\n"
                                  L"%MARIGOLD_UNSET%\\x.txt\r\n";

const std::string SharedTree = "Folder Documents #1\n"
                               "Todo #2\n"
                               "notes.txt #3\n"
                               "Log #4 grayed\n"
                               "%MARIGOLD_UNSET%\\x.txt #5 disabled\n"
                               "-\n"
                               "登録 >\n"
                               "  選択文字列検索指定の登録 #9 grayed\n"
                               "  行番号指定の登録 #8\n"
                               "  ファイル名のみの登録 #7\n"
                               "設定編集 #6\n"
                               "-\n"
                               "キャンセル #0\n";

void MakeFolders(const std::wstring& Path) {
  for (size_t At = Path.find(L'\\', 3); At != std::wstring::npos; At = Path.find(L'\\', At + 1))
    CreateDirectoryW(Path.substr(0, At).c_str(), nullptr);
  CreateDirectoryW(Path.c_str(), nullptr);
}

} // namespace

MARIGOLD_HOST_SCENARIO("favourites-environment", FavouritesEnvironment) {
  FavouritesStage Stage(Ctx, L"environment");
  Stage.WriteSettings(SharedText);
  const std::wstring Own = OwnExecutable();
  const std::string Editor = std::string("\"").append(Utf8(Own)).append("\"");
  // The second machine's folders are on another drive: the one this program lies on (Z: under
  // Wine).
  const std::wstring Elsewhere = Own.substr(0, Own.rfind(L'\\')) + L"\\mg-environment";
  const struct {
    std::wstring Profile, Cloud;
  } Machines[] = {
      {Stage.Folder() + L"\\Users\\alice", Stage.Folder() + L"\\Cloud A"},
      {Elsewhere + L"\\Users\\bob", Elsewhere + L"\\OneDrive - bob"},
  };
  SetEnvironmentVariableW(L"MARIGOLD_UNSET", nullptr);
  size_t Expected = 0;
  for (const auto& M : Machines) {
    MakeFolders(M.Profile + L"\\Documents");
    MakeFolders(M.Cloud);
    WriteBytes(M.Profile + L"\\Documents\\todo.txt", "todo\r\n");
    WriteBytes(M.Cloud + L"\\notes.txt", "notes\r\n");
    DeleteFileW((M.Profile + L"\\logs\\app.log").c_str());
    // Read by the plug-in from this process's environment at each command.
    SetEnvironmentVariableW(L"USERPROFILE", M.Profile.c_str());
    SetEnvironmentVariableW(L"CLOUD", M.Cloud.c_str());
    const struct {
      const wchar_t* Caption;
      std::string Arguments;
    } Choices[] = {
        {L"Todo",
         std::string(" \"").append(Utf8(M.Profile)).append("\\Documents\\todo.txt\" /l 3")},
        {L"notes.txt",
         std::string(" \"").append(Utf8(M.Cloud)).append("\\notes.txt\" /ff \"%USERNAME%\"")},
    };
    for (const auto& Choice : Choices) {
      MenuDriver Driver(Stage.Window);
      Driver.Click(Choice.Caption);
      Stage.Run(Driver, {260, 110});
      CheckEqual(Driver.Tree, SharedTree, "the menu with the profile " + Utf8(M.Profile));
      const auto Lines = Stage.Launches(++Expected);
      CheckEqual(Lines.size(), Expected, "one editor started for " + Utf8(Choice.Caption));
      if (Lines.size() == Expected)
        CheckEqual(Lines.back(), Editor + Choice.Arguments, "the editor's command line");
    }
  }
  CheckEqual(ReadBytes(Stage.SettingsFile()), ToAnsi(SharedText), "the settings file is unchanged");
}
