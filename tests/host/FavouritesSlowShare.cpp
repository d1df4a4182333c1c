// Favourites on a share or a drive whose look-ups block until the scenario lets them go: the real
// menu is on the screen while they block, the late answers show in the next menu, other roots
// answer exactly meanwhile, and the plug-in can be unloaded meanwhile without taking the host
// down. And a share that answers every look-up in 5 ms, exactly.

#include "FavouritesSupport.h"
#include "SlowShare.h"

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

using namespace host;

namespace {

// \\slowhost\share\report.txt exists (as C:\MgSlow\report.txt); gone.txt does not.
const wchar_t* const SlowText = L"C:\\Work\\notes.txt\r\n"
                                L"Report\tC:\\Missing\\report.txt\r\n"
                                L"共有の報告書\t\\\\slowhost\\share\\report.txt /l 3\r\n"
                                L"\\\\slowhost\\share\\gone.txt\r\n";

const std::string FirstTree = "notes.txt #1\nReport #2 grayed\n共有の報告書 #3\ngone.txt #4\n";
const std::string LateTree =
    "notes.txt #1\nReport #2 grayed\n共有の報告書 #3\ngone.txt #4 grayed\n";

// Far longer than any wait below takes; only a fault runs into it.
constexpr DWORD PatienceMs = 20000;

bool WaitUntil(const std::function<bool()>& Done, DWORD TimeoutMs = PatienceMs) {
  for (DWORD Waited = 0; !Done() && Waited < TimeoutMs; Waited += 10)
    Sleep(10);
  return Done();
}

// Runs the command on the stage; AtShow runs while the menu is on the screen, then a click
// outside closes it. The menu's favourites, without the fixed entries.
std::string RunDismissed(
    FavouritesStage& Stage, const std::function<void()>& AtShow = [] {}) {
  MenuDriver Driver(Stage.Window);
  Driver.Then(AtShow).ClickOutside();
  Stage.Run(Driver, {200, 150});
  return Driver.Tree.substr(0, Driver.Tree.find("-\n"));
}

void PrepareSlowShare(FavouritesStage& Stage, DWORD DelayMs, std::wstring_view Settings) {
  CreateDirectoryW(SlowShareFolder, nullptr);
  WriteBytes(std::wstring(SlowShareFolder) + L"\\report.txt", "x");
  DeleteFileW((std::wstring(SlowShareFolder) + L"\\gone.txt").c_str());
  Check(InterposeSlowShare(Stage.Plug.Module(), DelayMs),
        "the plug-in's look-ups go through the slow share");
  Stage.WriteSettings(Settings);
}

// The first menu over the slow share, held: on the screen while its look-ups block.
void ShowFirstMenu(FavouritesStage& Stage) {
  HoldSlowShare();
  PrepareSlowShare(Stage, 0, SlowText);
  int Answered = -1;
  CheckEqual(RunDismissed(Stage, [&] { Answered = SlowLookupsAnswered(); }), FirstTree,
             "unanswered share entries are enabled, local ones as always");
  CheckEqual(Answered, 0, "the menu was on the screen before any look-up of the share answered");
  Check(WaitUntil([] { return SlowLookupsBegun() == 2; }),
        "both share entries were asked about in the one command");
}

// The late answers of the first menu, whether they came while it was open or after it closed,
// are in the next menu, without asking again.
void LateAnswers(Context& Ctx, bool WhileOpen) {
  FavouritesStage Stage(Ctx, L"slow");
  const auto Answer = [] {
    ReleaseSlowShare();
    Check(WaitUntil([] { return SlowLookupsAnswered() == 2; }), "the share's look-ups answer late");
    Sleep(200); // from the stand-in back to the plug-in's side
  };
  if (WhileOpen) {
    HoldSlowShare();
    PrepareSlowShare(Stage, 0, SlowText);
    CheckEqual(RunDismissed(Stage, Answer), FirstTree, "the first menu");
  } else {
    ShowFirstMenu(Stage);
    Answer();
  }
  CheckEqual(RunDismissed(Stage), LateTree, "the next menu shows the late answers");
  CheckEqual(SlowLookupsBegun(), 2, "late answers are used, not asked again");
  CheckEqual(Stage.Launches(0).size(), size_t{0}, "dismissed menus start nothing");
}

// Twelve favourites of three kinds under Root, served from C:\MgSlow; the menu they make when
// the first of them is line FirstLine.
std::pair<std::wstring, std::string> ThreeKinds(std::wstring_view Root, int FirstLine) {
  CreateDirectoryW(SlowShareFolder, nullptr);
  std::wstring Text;
  std::string Tree;
  for (int I = 0; I < 4; ++I) {
    const std::wstring N = std::to_wstring(I);
    CreateDirectoryW((std::wstring(SlowShareFolder) + L"\\Folder" + N).c_str(), nullptr);
    WriteBytes(std::wstring(SlowShareFolder) + L"\\file" + N + L".txt", "x");
    for (const wchar_t* Name : {L"\\file", L"\\Folder", L"\\missing"})
      Text += std::wstring(Root) + Name + N + (Name[1] == L'F' ? L"" : L".txt") + L"\r\n";
    char Lines[120];
    const int Line = FirstLine + 3 * I;
    snprintf(Lines, sizeof(Lines),
             "file%d.txt #%d\nFolder Folder%d #%d\nmissing%d.txt #%d grayed\n", I, Line, I,
             Line + 1, I, Line + 2);
    Tree += Lines;
  }
  return {Text, Tree};
}

} // namespace

MARIGOLD_HOST_SCENARIO("favourites-slow-share", FavouritesSlowShare) {
  LateAnswers(Ctx, false);
}

MARIGOLD_HOST_SCENARIO("favourites-late-answer-while-open", FavouritesLateAnswerWhileOpen) {
  LateAnswers(Ctx, true);
}

// A share that answers in 5 ms, as on a LAN: every state exact, command after command.
MARIGOLD_HOST_SCENARIO("favourites-healthy-share", FavouritesHealthyShare) {
  FavouritesStage Stage(Ctx, L"healthy");
  const auto [Text, Tree] = ThreeKinds(SlowShareRoot, 1);
  PrepareSlowShare(Stage, 5, Text);
  for (int Command = 1; Command <= 20; ++Command)
    CheckEqual(RunDismissed(Stage), Tree, "command " + std::to_string(Command));
}

// Ten favourites on a drive that blocks (S:) before the same twelve on C:, four commands in a
// row: C: keeps its threads and answers exactly each time.
MARIGOLD_HOST_SCENARIO("favourites-stalled-drive", FavouritesStalledDrive) {
  FavouritesStage Stage(Ctx, L"stalled");
  const auto [Text, Tree] = ThreeKinds(SlowShareFolder, 11);
  std::wstring Stalled;
  std::string StalledTree;
  for (int I = 0; I < 10; ++I) {
    Stalled += std::wstring(SlowDriveRoot) + L"\\s" + std::to_wstring(I) + L".txt\r\n";
    char Line[40];
    snprintf(Line, sizeof(Line), "s%d.txt #%d\n", I, I + 1);
    StalledTree += Line;
  }
  HoldSlowShare();
  PrepareSlowShare(Stage, 0, Stalled + Text);
  for (int Command = 1; Command <= 4; ++Command)
    CheckEqual(RunDismissed(Stage), StalledTree + Tree, "command " + std::to_string(Command));
  ReleaseSlowShare();
}

MARIGOLD_HOST_SCENARIO("favourites-unload-while-blocked", FavouritesUnloadWhileBlocked) {
  FavouritesStage Stage(Ctx, L"unload");
  ShowFirstMenu(Stage);
  const HMODULE Module = Stage.Plug.Module();
  Stage.Plug.Unload();
  const auto Loaded = [Module] {
    wchar_t Name[MAX_PATH];
    return GetModuleFileNameW(Module, Name, MAX_PATH) != 0;
  };
  Check(Loaded(),
        "the look-ups still blocked hold the plug-in in memory after the editor let it go");
  ReleaseSlowShare();
  Check(WaitUntil([&] { return !Loaded(); }),
        "the plug-in is unloaded once its look-ups have ended");
  CheckEqual(SlowLookupsAnswered(), 2, "every look-up came back into the plug-in's code");
  DWORD_PTR Answer = 0;
  Check(SendMessageTimeoutW(Stage.Window.Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000,
                            &Answer) != 0,
        "the host is alive and answers after the plug-in is gone");
}
