#include "unit/common/MigrationDialogTexts.h"

#include "base/Errors.h"
#include "lib/StringRecordList.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>

using namespace marigold;

using namespace marigold::plugin;

namespace {

namespace fs = std::filesystem;

constexpr wchar_t Caption[] = L"Wickerbox Plugin 設定ファイル移行";
const std::string LegacyBytes = "\x82\xa0\r\nx";
const std::string CurrentBytes = "C:\\a.txt\r\n";

std::u16string TheFolder; // answered to "PlugInsFolder"

LRESULT CALLBACK HostProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == HostMessageSetting) {
    auto* Query = reinterpret_cast<THostSettingQuery*>(LParam);
    TheFolder.copy(Query->Buffer, TheFolder.size());
    return 1;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

// What the real message box showed, and the button that closed it.
struct SeenDialog {
  bool Shown = false;
  std::u16string Text;
  bool OwnedByHost = false;
  bool YesNoOnly = false;
};

// Waits for the migration question on another thread, reads it and presses Answer.
class DialogAnswerer {
public:
  DialogAnswerer(HWND Host, int Answer)
      : FThread([this, Host, Answer] {
          for (int Tries = 0; Tries < 1000 && !FStop; ++Tries) {
            HWND Dialog = FindWindowW(L"#32770", Caption);
            if (!Dialog) {
              std::this_thread::sleep_for(std::chrono::milliseconds(10));
              continue;
            }
            wchar_t Text[1024] = {};
            GetDlgItemTextW(Dialog, 0xFFFF, Text, 1024);
            FSeen.Shown = true;
            FSeen.Text = reinterpret_cast<const char16_t*>(Text);
            FSeen.OwnedByHost = GetWindow(Dialog, GW_OWNER) == Host;
            FSeen.YesNoOnly = GetDlgItem(Dialog, IDYES) && GetDlgItem(Dialog, IDNO) &&
                              !GetDlgItem(Dialog, IDCANCEL) && !GetDlgItem(Dialog, IDOK);
            PostMessageW(Dialog, WM_COMMAND, static_cast<WPARAM>(Answer), 0);
            return;
          }
        }) {}
  ~DialogAnswerer() { Seen(); }
  const SeenDialog& Seen() {
    FStop = true;
    if (FThread.joinable())
      FThread.join();
    return FSeen;
  }

private:
  SeenDialog FSeen;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

class MigrationWin : public ::testing::Test {
protected:
  void SetUp() override {
    static int Counter = 0;
    const std::wstring Unique =
        L"C:\\mgs-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++Counter);
    FFolder = fs::path(Unique);
    TheFolder = FFolder.u16string();
    fs::create_directories(FFolder);
    WNDCLASSW Class{};
    Class.lpfnWndProc = HostProc;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.lpszClassName = L"MarigoldStorageHost";
    RegisterClassW(&Class);
    FHost = CreateWindowW(L"MarigoldStorageHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                          nullptr, nullptr, Class.hInstance, nullptr);
    ASSERT_NE(FHost, nullptr);
    HostWindow = FHost;
    FList.SetText(u"left over\r\n");
  }
  void TearDown() override {
    HostWindow = nullptr;
    DestroyWindow(FHost);
    std::error_code Ignored;
    fs::remove_all(FFolder, Ignored);
  }

  fs::path At(const char* Name) const { return FFolder / Name; }
  void Write(const char* Name, const std::string& Bytes) {
    std::ofstream(At(Name), std::ios::binary) << Bytes;
  }
  std::map<std::string, std::string> Folder() const {
    std::map<std::string, std::string> Files;
    for (const auto& Entry : fs::directory_iterator(FFolder)) {
      std::ifstream In(Entry.path(), std::ios::binary);
      Files[Entry.path().filename().string()] =
          Entry.is_directory() ? "<folder>" : std::string(std::istreambuf_iterator<char>(In), {});
    }
    return Files;
  }
  SeenDialog RunAnswering(int Answer) {
    DialogAnswerer Answerer(FHost, Answer);
    LoadSettingsWithMigration(FList);
    return Answerer.Seen();
  }

  fs::path FFolder;
  HWND FHost = nullptr;
  TCommonStringRecordList FList;
};

TEST_F(MigrationWin, SettingsNamesComeFromTheHostsFolder) {
  EXPECT_EQ(GetSettingsFileName(), TheFolder + u"\\Marigolds_Setting.txt");
  EXPECT_EQ(GetLegacySettingsFileName(), TheFolder + u"\\Marigolds.ini");
}

TEST_F(MigrationWin, BothFilesAnsweredYes) {
  Write("Marigolds_Setting.txt", CurrentBytes);
  Write("Marigolds.ini", LegacyBytes);
  Write("Marigolds_ini.bak", "old");
  Write("Marigolds_Setting_txt.bak", "old");
  const SeenDialog Seen = RunAnswering(IDYES);
  EXPECT_TRUE(Seen.Shown);
  EXPECT_EQ(Seen.Text, BothFilesQuestion);
  EXPECT_TRUE(Seen.OwnedByHost);
  EXPECT_TRUE(Seen.YesNoOnly);
  EXPECT_EQ(FList.Text(), u"あ\r\nx");
  EXPECT_EQ(Folder(),
            (std::map<std::string, std::string>{{"Marigolds_ini.bak", LegacyBytes},
                                                {"Marigolds_Setting_txt.bak", CurrentBytes},
                                                {"Marigolds_Setting.txt", LegacyBytes}}));
}

TEST_F(MigrationWin, LegacyFileAnsweredNo) {
  Write("Marigolds.ini", LegacyBytes);
  const SeenDialog Seen = RunAnswering(IDNO);
  EXPECT_EQ(Seen.Text, LegacyFileQuestion);
  EXPECT_EQ(FList.Count(), 0);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"Marigolds.ini", LegacyBytes},
                                                          {"Marigolds_Setting.txt", ""}}));
}

// The old settings backup cannot be deleted (a folder with content, a read-only file), so the
// settings file cannot be backed up: it must not be overwritten.
TEST_F(MigrationWin, SettingsThatCannotBeBackedUpAreNeverOverwritten) {
  for (bool ReadOnlyFile : {false, true}) {
    SCOPED_TRACE(ReadOnlyFile ? "read-only backup" : "folder in the way");
    std::error_code Ignored;
    fs::remove_all(FFolder, Ignored);
    fs::create_directories(FFolder);
    Write("Marigolds_Setting.txt", CurrentBytes);
    Write("Marigolds.ini", LegacyBytes);
    if (ReadOnlyFile) {
      Write("Marigolds_Setting_txt.bak", "old");
      SetFileAttributesW(At("Marigolds_Setting_txt.bak").c_str(), FILE_ATTRIBUTE_READONLY);
    } else {
      fs::create_directory(At("Marigolds_Setting_txt.bak"));
      Write("Marigolds_Setting_txt.bak/keep", "x");
    }
    const auto Before = Folder();
    DialogAnswerer Answerer(FHost, IDYES);
    try {
      LoadSettingsWithMigration(FList);
      ADD_FAILURE() << "no error";
    } catch (const EInOutError& Error) {
      EXPECT_EQ(Error.Message(),
                u"Error:SaveAnsiStringToFile\r\n" + TheFolder + u"\\Marigolds_Setting.txt");
    }
    EXPECT_TRUE(Answerer.Seen().Shown);
    EXPECT_EQ(Folder(), Before);
    SetFileAttributesW(At("Marigolds_Setting_txt.bak").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

} // namespace
