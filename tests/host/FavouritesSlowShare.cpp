// Favourites on a share that answers each look-up only after seconds: the real menu is on the
// screen while those look-ups still block, the late answers show in the next menu, and the
// plug-in can be unloaded meanwhile without taking the host down.

#include "FavouritesSupport.h"
#include "SlowShare.h"

#include <functional>

using namespace host;

namespace {

constexpr DWORD SlowDelayMs = 3000;

// \\slowhost\share\report.txt exists (as C:\MgSlow\report.txt); gone.txt does not.
const wchar_t* const SlowText = L"C:\\Work\\notes.txt\r\n"
                                L"Report\tC:\\Missing\\report.txt\r\n"
                                L"共有の報告書\t\\\\slowhost\\share\\report.txt /l 3\r\n"
                                L"\\\\slowhost\\share\\gone.txt\r\n";

const std::string FirstTree = "notes.txt #1\nReport #2 grayed\n共有の報告書 #3\ngone.txt #4\n";
const std::string LateTree =
    "notes.txt #1\nReport #2 grayed\n共有の報告書 #3\ngone.txt #4 grayed\n";

bool WaitUntil(const std::function<bool()>& Done, DWORD TimeoutMs) {
  for (DWORD Waited = 0; !Done() && Waited < TimeoutMs; Waited += 50)
    Sleep(50);
  return Done();
}

// Runs the command on the stage with the menu closed by a click outside; Tree gets the menu,
// and the slow look-ups that had answered when it was on the screen.
void RunDismissed(FavouritesStage& Stage, std::string& Tree, int& AnsweredWhenShown) {
  MenuDriver Driver(Stage.Window);
  Driver.Then([&] { AnsweredWhenShown = SlowLookupsAnswered(); }).ClickOutside();
  Stage.Run(Driver, {200, 150});
  Tree = Driver.Tree.substr(0, Driver.Tree.find("-\n"));
}

void PrepareSlowShare(FavouritesStage& Stage) {
  CreateDirectoryW(SlowShareFolder, nullptr);
  WriteBytes(std::wstring(SlowShareFolder) + L"\\report.txt", "x");
  DeleteFileW((std::wstring(SlowShareFolder) + L"\\gone.txt").c_str());
  Check(InterposeSlowShare(Stage.Plug.Module(), SlowDelayMs),
        "the plug-in's look-ups go through the slow share");
  Stage.WriteSettings(SlowText);
}

// The first menu over the slow share: on the screen while its look-ups still block.
void ShowFirstMenu(FavouritesStage& Stage) {
  PrepareSlowShare(Stage);
  std::string Tree;
  int Answered = -1;
  RunDismissed(Stage, Tree, Answered);
  CheckEqual(Tree, FirstTree, "unanswered share entries are enabled, local ones as always");
  CheckEqual(Answered, 0, "the menu was on the screen before any look-up of the share answered");
  CheckEqual(SlowLookupsBegun(), 2, "both share entries were asked about at once");
}

} // namespace

MARIGOLD_HOST_SCENARIO("favourites-slow-share", FavouritesSlowShare) {
  FavouritesStage Stage(Ctx, L"slow");
  ShowFirstMenu(Stage);
  Check(WaitUntil([] { return SlowLookupsAnswered() == 2; }, 3 * SlowDelayMs),
        "the share's look-ups answer late");
  Sleep(200); // the answers reach the plug-in's side
  std::string Tree;
  int Answered = -1;
  RunDismissed(Stage, Tree, Answered);
  CheckEqual(Tree, LateTree, "the next menu shows the late answers");
  CheckEqual(SlowLookupsBegun(), 2, "late answers are used, not asked again");
  CheckEqual(Stage.Launches(0).size(), size_t{0}, "dismissed menus start nothing");
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
  Check(SlowLookupsAnswered() < 2 && Loaded(),
        "the look-ups still blocked hold the plug-in in memory after the editor let it go");
  Check(WaitUntil([&] { return !Loaded(); }, 3 * SlowDelayMs),
        "the plug-in is unloaded once its look-ups have ended");
  Sleep(2000);
  CheckEqual(SlowLookupsAnswered(), 2, "every look-up came back into the plug-in's code");
  DWORD_PTR Answer = 0;
  Check(SendMessageTimeoutW(Stage.Window.Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000,
                            &Answer) != 0,
        "the host is alive and answers two seconds later");
}
