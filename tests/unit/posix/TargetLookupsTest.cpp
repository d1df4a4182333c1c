// Existence checks with a deadline, over a stand-in file system whose look-ups on "slow" paths
// block until the test opens the gate, as a share that is offline does.

#include "plugin/TargetLookups.h"

#include "platform/posix/StandIn.h"
#include "plugin/FavouritesCommand.h"
#include "plugin/FavouritesMenu.h"
#include "unit/posix/FavouritesTestFixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace standin = platform::standin;
using State = TargetState;

namespace {

// Slow: every share of a server whose name starts with "slow", the mapped drive N: and the local
// folder C:\Slow.
class LookupTest : public FavouritesTest {
protected:
  void SetUp() override {
    FavouritesTest::SetUp();
    standin::SetNetworkDrives(u"N");
    for (const char16_t* Path : {u"C:\\Work\\notes.txt", u"N:\\x.txt", u"\\\\slow\\share\\a.txt"})
      MakeFile(Path);
    standin::SetLookupHook([this](const std::string& Native) { Pass(Native); });
  }
  void TearDown() override {
    Open();
    const auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (LookupThreads() != 0 && std::chrono::steady_clock::now() < Until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(LookupThreads(), 0) << "a look-up thread never ended";
    ReleaseLookups(); // no late answer reaches the next test
    FavouritesTest::TearDown();
  }

  static bool IsSlow(const std::string& Native) {
    for (const char16_t* Slow : {u"\\\\slow", u"N:\\", u"C:\\Slow\\"})
      if (Native.starts_with(standin::NativePath(Slow)))
        return true;
    return false;
  }
  void Pass(const std::string& Native) {
    std::unique_lock Guard(FLock);
    ++FCalls[Native.substr(Native.rfind('/') + 1)];
    if (!IsSlow(Native))
      return;
    FMostBlocked = std::max(FMostBlocked, ++FBlocked);
    FGateOpened.wait(Guard, [this] { return FOpen; });
    --FBlocked;
  }
  void Open() {
    const std::lock_guard Guard(FLock);
    FOpen = true;
    FGateOpened.notify_all();
  }
  // How often the file name Name was looked up so far.
  int Calls(const std::string& Name) {
    const std::lock_guard Guard(FLock);
    return FCalls[Name];
  }
  int MostBlocked() {
    const std::lock_guard Guard(FLock);
    return FMostBlocked;
  }
  void WaitForThreads() {
    while (LookupThreads() != 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  static std::vector<State> LookUp(std::vector<std::u16string> Paths) {
    return LookUpTargets(Paths, LookupClock::now() + LookupDeadline);
  }

private:
  std::mutex FLock;
  std::condition_variable FGateOpened;
  bool FOpen = false;
  std::map<std::string, int> FCalls;
  int FBlocked = 0, FMostBlocked = 0;
};

} // namespace

TEST_F(LookupTest, MenuShowsWhatAnsweredByTheDeadlineAndTheRestEnabled) {
  MakeFolder(u"C:\\Work");
  const auto Lines = LinesOf(u"C:\\Work\\notes.txt\nC:\\Work\nReport\tC:\\Missing\\r.txt\n"
                             u"\\\\slow\\share\\a.txt\nDocs\t\\\\slow\\share\\docs /l 3\n"
                             u"N:\\x.txt\nC:\\Slow\\b.txt");
  const TFavouritesMenu Menu = BuildFavouritesMenu(*Lines);
  EXPECT_EQ(standin::DescribeMenu(Menu.Root()),
            "notes.txt #1\nFolder Work #2\nReport #3 grayed\na.txt #4\nDocs #5\nx.txt #6\n"
            "b.txt #7\n");
}

TEST_F(LookupTest, NoSecondLookUpWhereOneBlocksAndLateAnswersServeTheNextCommand) {
  EXPECT_THAT(LookUp({u"\\\\slow\\share\\a.txt", u"\\\\slow\\share\\gone.txt", u"N:\\x.txt",
                      u"C:\\Slow\\b.txt", u"C:\\Work\\notes.txt"}),
              ::testing::ElementsAre(State::Unanswered, State::Unanswered, State::Unanswered,
                                     State::Unanswered, State::File));
  // Still blocked: the same share (in other case), the same drive and the same path are not
  // asked again; other local paths are.
  EXPECT_THAT(LookUp({u"\\\\SLOW\\Share\\c.txt", u"n:\\y.txt", u"C:\\Slow\\b.txt",
                      u"C:\\Slow\\other.txt", u"C:\\Work\\notes.txt"}),
              ::testing::ElementsAre(State::Unanswered, State::Unanswered, State::Unanswered,
                                     State::Unanswered, State::File));
  EXPECT_EQ(Calls("c.txt") + Calls("y.txt"), 0);
  EXPECT_EQ(Calls("b.txt"), 1);
  EXPECT_EQ(Calls("other.txt"), 1);
  EXPECT_EQ(Calls("notes.txt"), 2);

  Open();
  WaitForThreads();
  // The late answers of the network paths, once each, then asked afresh; the local one afresh.
  EXPECT_THAT(LookUp({u"\\\\slow\\share\\a.txt", u"\\\\slow\\share\\gone.txt", u"N:\\x.txt",
                      u"C:\\Slow\\b.txt"}),
              ::testing::ElementsAre(State::File, State::Missing, State::File, State::Missing));
  EXPECT_EQ(Calls("a.txt") + Calls("gone.txt") + Calls("x.txt"), 3);
  EXPECT_EQ(Calls("b.txt"), 2);
  EXPECT_THAT(LookUp({u"\\\\slow\\share\\a.txt"}), ::testing::ElementsAre(State::File));
  EXPECT_EQ(Calls("a.txt"), 2);
}

TEST_F(LookupTest, BlockedThreadsAreBoundedAndLocalPathsKeepTheirs) {
  std::vector<std::u16string> Paths;
  for (int I = 0; I < 3 * MaxLookupThreads; ++I) {
    const std::u16string Number(1, static_cast<char16_t>(u'a' + I));
    Paths.push_back(u"\\\\slow" + Number + u"\\share\\x.txt");
  }
  Paths.push_back(u"C:\\Work\\notes.txt");
  EXPECT_EQ(LookUp(Paths).back(), State::File);
  EXPECT_EQ(MostBlocked(), MaxNetworkLookups);

  std::vector<std::u16string> Local;
  for (int I = 0; I < 3 * MaxLookupThreads; ++I)
    Local.push_back(u"C:\\Slow\\" + std::u16string(1, static_cast<char16_t>(u'a' + I)) + u".txt");
  (void)LookUp(Local);
  EXPECT_EQ(MostBlocked(), MaxLookupThreads);
}

TEST_F(LookupTest, CommandEndsAndOpensAnUnansweredChoiceWhileItsLookUpBlocks) {
  MakeFolder(u"C:\\Editor\\PlugIns");
  Write(u"C:\\Editor\\PlugIns\\Marigolds_Setting.txt",
        "Docs\t\\\\slow\\share\\a.txt /l 3\r\nC:\\Missing\\r.txt");
  std::string Shown;
  standin::SetMenuChooser([&](const standin::TrackCall& Call) {
    Shown = standin::DescribeMenu(Call.Menu);
    return 1;
  });
  RunFavouritesCommand(reinterpret_cast<platform::WindowHandle>(0x4242));
  EXPECT_THAT(Shown, ::testing::StartsWith("Docs #1\nr.txt #2 grayed\n"));
  EXPECT_THAT(
      standin::StartedProcesses(),
      ::testing::ElementsAre(u"\"C:\\Editor\\Editor.exe\" \"\\\\slow\\share\\a.txt\" /l 3"));
  EXPECT_GE(LookupThreads(), 1); // still blocked after the command's memory is gone
}
