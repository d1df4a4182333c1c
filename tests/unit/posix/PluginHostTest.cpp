// The plug-in's side of the host protocol and the export logic, driven through the scripted
// host window and message boxes of the native stand-in.

#include "base/Errors.h"
#include "platform/Dialogs.h"
#include "platform/standin/StandIn.h"
#include "plugin/PluginFrame.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace marigold;

using namespace marigold::plugin;

namespace standin = platform::standin;

namespace {

struct Sent {
  platform::WindowHandle Window;
  uint32_t Message;
  uintptr_t WParam;
  intptr_t LParam;
};

platform::WindowHandle const Editor = reinterpret_cast<platform::WindowHandle>(0x1234);

// Records every message and answers it with Answer.
class HostTest : public ::testing::Test {
protected:
  void SetUp() override {
    standin::Reset();
    StoredEventValue = 0;
    standin::SetHostHandler(
        [this](platform::WindowHandle W, uint32_t M, uintptr_t WP, intptr_t LP) {
          Messages.push_back({W, M, WP, LP});
          return Answer ? Answer(M, WP, LP) : 0;
        });
  }
  void TearDown() override { standin::Reset(); }

  std::vector<Sent> Messages;
  std::function<intptr_t(uint32_t, uintptr_t, intptr_t)> Answer;
};

} // namespace

TEST_F(HostTest, SelectedTextAsksForTheCountThenOffersThatRoom) {
  bool Zeroed = false;
  Answer = [&](uint32_t, uintptr_t WParam, intptr_t LParam) -> intptr_t {
    if (WParam == 0)
      return 5;
    auto* Buffer = reinterpret_cast<char16_t*>(LParam);
    Zeroed = std::u16string_view(Buffer, 6) == std::u16string(6, u'\0');
    std::u16string(u"hello").copy(Buffer, 5);
    return 0;
  };
  EXPECT_EQ(GetSelectedText(Editor), u"hello");
  ASSERT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Messages[0].Window, Editor);
  EXPECT_EQ(Messages[0].Message, HostMessageSelectedText);
  EXPECT_EQ(Messages[0].WParam, 0u);
  EXPECT_EQ(Messages[0].LParam, 0);
  EXPECT_EQ(Messages[1].Message, HostMessageSelectedText);
  EXPECT_EQ(Messages[1].WParam, 5u);
  EXPECT_NE(Messages[1].LParam, 0);
  EXPECT_TRUE(Zeroed) << "the buffer and its terminator start zero-filled";
}

TEST_F(HostTest, SelectedTextEndsAtTheFirstZeroAndIsEmptyWithoutCount) {
  struct Case {
    std::u16string HostText;
    intptr_t Count;
    std::u16string Expected;
  } Cases[] = {
      {std::u16string(u"ab\0de", 5), 5, u"ab"},
      {u"abc", 5, u"abc"}, // the host wrote less than it announced
      {u"", 0, u""},
      {u"", -3, u""},
      {u"", static_cast<intptr_t>(0x100000000LL * (sizeof(intptr_t) > 4)), u""},
  };
  for (const auto& C : Cases) {
    Messages.clear();
    Answer = [&](uint32_t, uintptr_t WParam, intptr_t LParam) -> intptr_t {
      if (WParam == 0)
        return C.Count;
      C.HostText.copy(reinterpret_cast<char16_t*>(LParam), WParam);
      return 0;
    };
    EXPECT_EQ(GetSelectedText(Editor), C.Expected) << C.Count;
    ASSERT_EQ(Messages.size(), 2u);
    if (C.Count <= 0 || C.Expected.empty()) {
      EXPECT_EQ(Messages[1].WParam, 0u) << "no selection: the second message carries 0, 0";
      EXPECT_EQ(Messages[1].LParam, 0);
    }
  }
}

TEST_F(HostTest, SelectedTextIsEmptyWhenTheHostDoesNotAnswer) {
  EXPECT_EQ(GetSelectedText(Editor), u"");
  EXPECT_EQ(Messages.size(), 2u);
}

TEST_F(HostTest, ActiveFileNameOffersA280UnitBufferPlusTerminator) {
  const std::u16string Long = u"C:\\" + std::u16string(277, u'a');
  for (const std::u16string& Name :
       {std::u16string(u"C:\\docs\\memo.txt"), Long, std::u16string()}) {
    Messages.clear();
    bool Zeroed = false;
    Answer = [&](uint32_t, uintptr_t, intptr_t LParam) -> intptr_t {
      auto* Buffer = reinterpret_cast<char16_t*>(LParam);
      Zeroed = std::u16string_view(Buffer, 281) == std::u16string(281, u'\0');
      Name.copy(Buffer, Name.size());
      return 0;
    };
    EXPECT_EQ(GetActiveFileName(Editor), Name);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Message, HostMessageActiveFile);
    EXPECT_EQ(Messages[0].WParam, 280u);
    EXPECT_TRUE(Zeroed);
  }
  ASSERT_EQ(Long.size(), 280u);
}

TEST_F(HostTest, CaretPositionIsFilledByTheHost) {
  Answer = [](uint32_t, uintptr_t, intptr_t LParam) -> intptr_t {
    *reinterpret_cast<TCaretPosition*>(LParam) = {7, 0};
    return 42;
  };
  TCaretPosition Position{-1, -1};
  EXPECT_EQ(GetCaretPosition(Editor, Position), 42);
  EXPECT_EQ(Position.Y, 0);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Message, HostMessageCaretPosition);
  EXPECT_EQ(Messages[0].WParam, 2u);
  EXPECT_EQ(Messages[0].LParam, reinterpret_cast<intptr_t>(&Position));
}

TEST_F(HostTest, SettingQuerySendsTheFilledRecord) {
  THostSettingQuery Seen{};
  uint32_t CountSeen = 0;
  std::u16string NameSeen;
  for (const intptr_t Result : {1, 0}) {
    Answer = [&](uint32_t, uintptr_t, intptr_t LParam) -> intptr_t {
      Seen = *reinterpret_cast<THostSettingQuery*>(LParam);
      CountSeen = *Seen.BufferSize;
      NameSeen = Seen.Name;
      std::u16string(u"Plugs").copy(Seen.Buffer, 5);
      return Result;
    };
    char16_t Buffer[51] = {};
    uint32_t Count = 100;
    EXPECT_EQ(QueryHostSetting(Editor, 0x7FFFFF00, 0, u"PlugInsFolder", 1, Buffer, &Count, 0),
              Result != 0);
    EXPECT_EQ(Seen.Size, sizeof(THostSettingQuery));
    EXPECT_EQ(Seen.Context, 0x7FFFFF00u);
    EXPECT_EQ(Seen.Index, 0u);
    EXPECT_EQ(NameSeen, u"PlugInsFolder");
    EXPECT_EQ(Seen.Kind, 1u);
    EXPECT_EQ(Seen.Buffer, Buffer);
    EXPECT_EQ(Seen.BufferSize, &Count);
    EXPECT_EQ(CountSeen, 100u);
    EXPECT_EQ(Seen.Option, 0u);
    EXPECT_EQ(std::u16string(Buffer), u"Plugs");
    ASSERT_EQ(Messages.back().Message, HostMessageSetting);
    EXPECT_EQ(Messages.back().WParam, 0u);
  }
}

TEST_F(HostTest, EventsStoreThenSendToTheEventsWindow) {
  const auto Other = reinterpret_cast<platform::WindowHandle>(0x5678);
  struct Step {
    uint32_t Code;
    int32_t Value;
    bool Sends;
    int32_t Sent;
  } Steps[] = {
      {0x40, 9, true, 0},         // nothing stored yet
      {0x440, 5, true, 5},        // store first, then send what was stored
      {0x40, 77, true, 5},        // the value of a send-only event is not stored
      {0x400, 9, false, 0},       // store only
      {0x00, 1, false, 0},        // neither bit
      {~0x440u, 3, false, 0},     // every other bit is ignored
      {0xFFFFFFFF, -1, true, -1}, // both bits among others; negative values survive
  };
  for (const auto& S : Steps) {
    Messages.clear();
    HandleEvents(Other, S.Code, S.Value);
    if (!S.Sends) {
      EXPECT_TRUE(Messages.empty()) << std::hex << S.Code;
      continue;
    }
    ASSERT_EQ(Messages.size(), 1u) << std::hex << S.Code;
    EXPECT_EQ(Messages[0].Window, Other);
    EXPECT_EQ(Messages[0].Message, HostMessageEventValue);
    EXPECT_EQ(static_cast<int32_t>(Messages[0].WParam), S.Sent) << std::hex << S.Code;
    EXPECT_EQ(static_cast<intptr_t>(Messages[0].WParam), S.Sent) << "sign-extended";
    EXPECT_EQ(Messages[0].LParam, 0);
  }
  EXPECT_EQ(StoredEventValue, -1);
}

TEST_F(HostTest, UninstallAnswersOneOnlyForYes) {
  struct Case {
    int Button;
    intptr_t Answer;
  } Cases[] = {{platform::mb::IdYes, 1}, {platform::mb::IdNo, 0}, {0, 0}, {1, 0}};
  for (const auto& C : Cases) {
    standin::Reset();
    standin::SetMessageBoxAnswer([&](const standin::MessageBoxCall&) { return C.Button; });
    EXPECT_EQ(AnswerPlugInProc(Editor, QueryUninstall, 0, 0), C.Answer) << C.Button;
    ASSERT_EQ(standin::MessageBoxCalls().size(), 1u);
    const auto& Box = standin::MessageBoxCalls()[0];
    EXPECT_EQ(Box.Owner, Editor);
    EXPECT_EQ(Box.Text, u"アンインストールしますか？");
    EXPECT_EQ(Box.Caption, u"Marigold");
    EXPECT_EQ(Box.Style, 0x24u);
  }
}

TEST_F(HostTest, BoundaryShowsEveryExceptionAndLetsNoneOut) {
  struct Case {
    std::function<void()> Body;
    std::u16string Text; // empty: any non-empty text
  } Cases[] = {
      {[] { throw EInOutError(u"Error:SaveAnsiStringToFile\r\nC:\\設定.txt"); },
       u"Error:SaveAnsiStringToFile\r\nC:\\設定.txt"},
      // The system's reason, where there is one, on a line of its own after the text.
      {[] {
         throw EInOutError(u"Error:SaveAnsiStringToFile\r\nC:\\a.txt",
                           std::error_code(EACCES, std::system_category()));
       },
       u"Error:SaveAnsiStringToFile\r\nC:\\a.txt\r\nPermission denied"},
      {[] { throw std::runtime_error("disk on fire"); }, u"disk on fire"},
      {[] { throw 42; }, u""},
  };
  for (const auto& C : Cases) {
    standin::Reset();
    EXPECT_FALSE(RunGuarded(Editor, C.Body));
    ASSERT_EQ(standin::MessageBoxCalls().size(), 1u);
    const auto& Box = standin::MessageBoxCalls()[0];
    EXPECT_EQ(Box.Owner, Editor);
    EXPECT_EQ(Box.Caption, u"Marigold");
    EXPECT_EQ(Box.Style, 0x10u);
    if (C.Text.empty())
      EXPECT_FALSE(Box.Text.empty());
    else
      EXPECT_EQ(Box.Text, C.Text);
  }
  standin::Reset();
  EXPECT_TRUE(RunGuarded(Editor, [] {}));
  EXPECT_TRUE(standin::MessageBoxCalls().empty());
}

TEST_F(HostTest, FailuresWhileReportingOrSendingStayInside) {
  standin::SetMessageBoxAnswer(
      [](const standin::MessageBoxCall&) -> int { throw std::runtime_error("no desktop"); });
  EXPECT_FALSE(RunGuarded(Editor, [] { throw std::logic_error("x"); }));
  EXPECT_EQ(AnswerPlugInProc(Editor, QueryUninstall, 0, 0), 0);
  standin::SetHostHandler([](platform::WindowHandle, uint32_t, uintptr_t, intptr_t) -> intptr_t {
    throw std::runtime_error("host gone");
  });
  HandleEvents(Editor, 0x440, 8);
  EXPECT_EQ(StoredEventValue, 8);
}
