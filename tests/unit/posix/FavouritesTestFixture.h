#pragma once

// A drive root with the user's files, a scripted host window and in-memory menus, for the
// favourites menu and command. Every test ends with every popup released exactly once.

#include "lib/StringRecordList.h"
#include "platform/standin/MenuStandIn.h"
#include "plugin/plugin.h"
#include "unit/posix/StorageTestSupport.h"

#include <cstring>
#include <vector>

using namespace marigold;
using namespace marigold::plugin;

class FavouritesTest : public StorageTest {
protected:
  void SetUp() override {
    StorageTest::SetUp();
    platform::standin::ResetMenus();
    platform::standin::SetHostHandler(
        [this](platform::WindowHandle, uint32_t Message, uintptr_t WParam, intptr_t LParam) {
          return AnswerHost(Message, WParam, LParam);
        });
  }
  void TearDown() override {
    EXPECT_EQ(platform::standin::LiveMenuCount(), 0) << "a popup was not released";
    EXPECT_EQ(platform::standin::MenuFaultCount(), 0) << "a popup was misused";
    platform::standin::ResetMenus();
    StorageTest::TearDown();
  }

  static void MakeFolder(std::u16string_view Path) {
    std::filesystem::create_directories(Native(Path));
  }
  static void MakeFile(std::u16string_view Path) { Write(Path, "x"); }

  static std::unique_ptr<TCommonStringRecordList> LinesOf(std::u16string_view Text) {
    auto Lines = std::make_unique<TCommonStringRecordList>();
    Lines->SetText(Text);
    return Lines;
  }

  // The host editor: the active file, the selection and the caret line (0-based); the
  // plug-ins folder is not configured, so it is C:\Editor\PlugIns beside the executable.
  std::u16string ActiveFile;
  std::u16string Selection;
  int32_t CaretY = 0;
  std::vector<uint32_t> Messages;

  intptr_t AnswerHost(uint32_t Message, uintptr_t WParam, intptr_t LParam) {
    Messages.push_back(Message);
    auto* Buffer = reinterpret_cast<char16_t*>(LParam);
    switch (Message) {
    case HostMessageActiveFile:
      std::memcpy(Buffer, ActiveFile.data(), ActiveFile.size() * sizeof(char16_t));
      return 0;
    case HostMessageSelectedText:
      if (WParam == 0)
        return static_cast<intptr_t>(Selection.size());
      std::memcpy(Buffer, Selection.data(), Selection.size() * sizeof(char16_t));
      return 0;
    case HostMessageCaretPosition:
      reinterpret_cast<TCaretPosition*>(LParam)->X = 7;
      reinterpret_cast<TCaretPosition*>(LParam)->Y = CaretY;
      return 1;
    default:
      return 0;
    }
  }
};
