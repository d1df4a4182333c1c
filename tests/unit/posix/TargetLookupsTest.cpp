// Existence checks with a deadline, over a stand-in file system whose look-ups on "slow" paths
// block until the test opens the gate, as a share that is offline does.

#include "plugin/TargetLookups.h"

#include "platform/MenuDrawing.h"
#include "platform/standin/StandIn.h"
#include "plugin/FavouritesCommand.h"
#include "plugin/FavouritesMenu.h"
#include "unit/posix/FavouritesTestFixture.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace standin = platform::standin;
using State = TargetState;

namespace {

// Slow: every share of a server whose name starts with "slow", the drive N: and the local folder
// C:\Slow, whose look-ups block until the gate opens (the test then waits until they have run past
// the deadline, so that their roots are stalled). Healthy: the share \\lan\share, each look-up
// taking a few milliseconds as on a LAN.
class LookupTest : public FavouritesTest {
protected:
  // How long a wait for the threads may take before the test gives up: far more than any takes.
  static constexpr std::chrono::seconds Patience{10};

  void SetUp() override {
    FavouritesTest::SetUp();
    for (const char16_t* Path : {u"C:\\Work\\notes.txt", u"N:\\x.txt", u"\\\\slow\\share\\a.txt"})
      MakeFile(Path);
    standin::SetLookupHook([this](const std::string& Native) { Pass(Native); });
  }
  void TearDown() override {
    Open();
    const auto Until = std::chrono::steady_clock::now() + Patience;
    while (LookupThreads() != 0 && std::chrono::steady_clock::now() < Until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(LookupThreads(), 0) << "a look-up thread never ended";
    ReleaseLookups(); // no late answer reaches the next test
    FavouritesTest::TearDown();
  }

  static bool Under(const std::string& Native, std::initializer_list<const char16_t*> Roots) {
    return std::ranges::any_of(
        Roots, [&](const char16_t* Root) { return Native.starts_with(standin::NativePath(Root)); });
  }
  void Pass(const std::string& Native) {
    if (Under(Native, {u"\\\\lan\\share\\"}))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::unique_lock Guard(FLock);
    ++FCalls[Native.substr(Native.rfind('/') + 1)];
    FChanged.notify_all();
    if (!Under(Native, {u"\\\\slow", u"N:\\", u"C:\\Slow\\"}))
      return;
    FMostBlocked = std::max(FMostBlocked, ++FBlocked);
    FChanged.notify_all();
    FGateOpened.wait(Guard, [this] { return FOpen; });
    --FBlocked;
    FChanged.notify_all();
  }
  void Open() {
    const std::lock_guard Guard(FLock);
    FOpen = true;
    FGateOpened.notify_all();
  }
  // Waits until Count look-ups block at the gate, then until they have run past the deadline.
  void StallBlocked(int Count) {
    {
      std::unique_lock Guard(FLock);
      if (!FChanged.wait_for(Guard, Patience, [&] { return FBlocked >= Count; }))
        ADD_FAILURE() << "only " << FBlocked << " of " << Count << " look-ups blocked";
    }
    std::this_thread::sleep_for(LookupDeadline + std::chrono::milliseconds(1));
  }
  // Waits until each file name of Names has been looked up and no look-up blocks.
  void WaitPassed(std::initializer_list<std::string> Names) {
    std::unique_lock Guard(FLock);
    FChanged.wait(Guard, [&] {
      return FBlocked == 0 &&
             std::ranges::all_of(Names, [&](const std::string& Name) { return FCalls[Name] > 0; });
    });
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
  // "a", "b", ...
  static std::u16string Letter(int I) { return std::u16string(1, static_cast<char16_t>(u'a' + I)); }
  static std::vector<State> LookUp(std::vector<std::u16string> Paths) {
    return LookUpTargets(Paths, LookupClock::now() + LookupDeadline);
  }

private:
  std::mutex FLock;
  std::condition_variable FGateOpened, FChanged;
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
  EXPECT_EQ(platform::DescribeMenu(Menu.Root()),
            "notes.txt #1\nFolder Work #2\nReport #3 grayed\na.txt #4\nDocs #5\nx.txt #6\n"
            "b.txt #7\n");
}

TEST_F(LookupTest, StalledRootsAreNotAskedAgainAndLateAnswersServeTheNextCommand) {
  MakeFile(u"D:\\Data\\d.txt");
  // Every path of a root is asked, also while another of its look-ups blocks.
  EXPECT_THAT(LookUp({u"\\\\slow\\share\\a.txt", u"\\\\slow\\share\\gone.txt", u"N:\\x.txt",
                      u"C:\\Slow\\b.txt", u"C:\\Work\\notes.txt"}),
              ::testing::ElementsAre(State::Unanswered, State::Unanswered, State::Unanswered,
                                     State::Unanswered, State::File));
  StallBlocked(4);
  // Stalled: the same share (in other case), the same drive, the same path and the rest of C:
  // are not asked; the healthy D: is.
  EXPECT_THAT(LookUp({u"\\\\SLOW\\Share\\c.txt", u"n:\\y.txt", u"C:\\Slow\\b.txt",
                      u"C:\\Work\\notes.txt", u"D:\\Data\\d.txt"}),
              ::testing::ElementsAre(State::Unanswered, State::Unanswered, State::Unanswered,
                                     State::Unanswered, State::File));
  EXPECT_EQ(Calls("c.txt") + Calls("y.txt"), 0);
  EXPECT_EQ(Calls("b.txt") + Calls("notes.txt"), 2);

  Open();
  WaitForThreads();
  // The late answers, once each, then asked afresh; what answered in time is asked afresh.
  EXPECT_THAT(LookUp({u"\\\\slow\\share\\a.txt", u"\\\\slow\\share\\gone.txt", u"N:\\x.txt",
                      u"C:\\Slow\\b.txt", u"C:\\Work\\notes.txt"}),
              ::testing::ElementsAre(State::File, State::Missing, State::File, State::Missing,
                                     State::File));
  EXPECT_EQ(Calls("a.txt") + Calls("gone.txt") + Calls("x.txt") + Calls("b.txt"), 4);
  EXPECT_EQ(Calls("notes.txt"), 2);
  EXPECT_THAT(LookUp({u"\\\\slow\\share\\a.txt"}), ::testing::ElementsAre(State::File));
  EXPECT_EQ(Calls("a.txt"), 2);
}

TEST_F(LookupTest, BlockedThreadsAreBoundedPerRootAndOtherRootsKeepTheirs) {
  std::vector<std::u16string> OneRoot, Roots;
  for (int I = 0; I < 3 * MaxLookupThreads; ++I) {
    OneRoot.push_back(u"\\\\slow\\share\\" + Letter(I) + u".txt");
    Roots.push_back(u"\\\\slow" + Letter(I) + u"\\share\\x.txt");
  }
  OneRoot.push_back(u"C:\\Work\\notes.txt");
  EXPECT_EQ(LookUp(OneRoot).back(), State::File);
  EXPECT_EQ(MostBlocked(), MaxRootLookups);

  // Stalled roots hold their threads; the others get MaxLookupThreads besides.
  StallBlocked(MaxRootLookups);
  (void)LookUp(Roots);
  EXPECT_EQ(MostBlocked(), MaxRootLookups + MaxLookupThreads);
  StallBlocked(MaxRootLookups + MaxLookupThreads);
  EXPECT_THAT(LookUp({Roots.front(), u"C:\\Work\\notes.txt"}),
              ::testing::ElementsAre(State::Unanswered, State::File));
  EXPECT_EQ(Calls("x.txt"), MaxLookupThreads);
}

TEST_F(LookupTest, HealthyRootsAnswerExactlyOnEveryCommandBesideAStalledOne) {
  // A share that takes 5 ms a look-up, twelve paths of three kinds; a drive whose look-ups block
  // (a drive letter that looks local); two paths on C:.
  std::vector<std::u16string> Healthy{u"C:\\Work\\notes.txt", u"C:\\Work\\gone.txt"};
  std::vector<State> Expected{State::File, State::Missing};
  for (int I = 0; I < 4; ++I) {
    const std::u16string Name = u"\\\\lan\\share\\" + Letter(I);
    MakeFile(Name + u".txt");
    MakeFolder(Name + u"-folder");
    Healthy.insert(Healthy.end(), {Name + u".txt", Name + u"-folder", Name + u".missing"});
    Expected.insert(Expected.end(), {State::File, State::Folder, State::Missing});
  }
  for (int Command = 0; Command < 20; ++Command)
    ASSERT_EQ(LookUp(Healthy), Expected) << "command " << Command;

  std::vector<std::u16string> Mixed;
  for (int I = 0; I < 10; ++I)
    Mixed.push_back(u"N:\\" + Letter(I) + u".txt");
  Mixed.insert(Mixed.end(), Healthy.begin(), Healthy.end());
  Expected.insert(Expected.begin(), 10, State::Unanswered);
  for (int Command = 0; Command < 4; ++Command)
    ASSERT_EQ(LookUp(Mixed), Expected) << "command " << Command;
  EXPECT_EQ(MostBlocked(), MaxRootLookups);
}

TEST_F(LookupTest, AnAnswerThatComesWhileTheMenuIsOpenServesTheNextMenu) {
  MakeFolder(u"C:\\Editor\\PlugIns");
  Write(u"C:\\Editor\\PlugIns\\Marigolds_Setting.txt",
        "\\\\slow\\share\\a.txt\r\n\\\\slow\\share\\gone.txt");
  std::vector<std::string> Shown;
  standin::SetMenuChooser([&](const standin::TrackCall& Call) {
    Shown.push_back(platform::DescribeMenu(Call.Menu));
    Open(); // both answer now, after the deadline, while the menu is on the screen
    WaitPassed({"a.txt", "gone.txt"});
    return 0;
  });
  RunFavouritesCommand(reinterpret_cast<platform::WindowHandle>(0x4242));
  WaitForThreads(); // the answers have reached the look-ups' side
  RunFavouritesCommand(reinterpret_cast<platform::WindowHandle>(0x4242));
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_THAT(Shown[0], ::testing::StartsWith("a.txt #1\ngone.txt #2\n"));
  EXPECT_THAT(Shown[1], ::testing::StartsWith("a.txt #1\ngone.txt #2 grayed\n"));
  EXPECT_EQ(Calls("a.txt") + Calls("gone.txt"), 2);
}

TEST_F(LookupTest, CommandEndsAndOpensAnUnansweredChoiceWhileItsLookUpBlocks) {
  MakeFolder(u"C:\\Editor\\PlugIns");
  Write(u"C:\\Editor\\PlugIns\\Marigolds_Setting.txt",
        "Docs\t\\\\slow\\share\\a.txt /l 3\r\nC:\\Missing\\r.txt");
  std::string Shown;
  standin::SetMenuChooser([&](const standin::TrackCall& Call) {
    Shown = platform::DescribeMenu(Call.Menu);
    return 1;
  });
  RunFavouritesCommand(reinterpret_cast<platform::WindowHandle>(0x4242));
  EXPECT_THAT(Shown, ::testing::StartsWith("Docs #1\nr.txt #2 grayed\n"));
  EXPECT_THAT(
      standin::StartedProcesses(),
      ::testing::ElementsAre(u"\"C:\\Editor\\Editor.exe\" \"\\\\slow\\share\\a.txt\" /l 3"));
  EXPECT_GE(LookupThreads(), 1); // still blocked after the command's memory is gone
}
