// Latency of the favourites command, from OnCommand to the menu on the screen (the first
// WM_ENTERIDLE of its menu loop), with 100, 1,000 and 10,000 favourites, with 1,000 plus 10 on a
// share that answers each look-up after 2 s, with 100 on a share that answers in 5 ms, and with
// 1,000 plus 10 on a drive that answers after 3 s, four commands in a row; against a floor
// measured in the same run: reading the settings file plus the same existence checks one after
// another, as the menu made them before they ran in parallel with a deadline. For the last two,
// the entries whose state differs from what the file system says are counted. Then how long the
// DLL stays mapped after FreeLibrary. Not a test: run it with bench/favourites-latency.sh.

#include "FavouritesSupport.h"
#include "SlowShare.h"

#include "lib/FileNameUnit.h"
#include "lib/FileUnit.h"
#include "lib/StringRecordList.h"
#include "platform/Files.h"
#include "platform/MenuDrawing.h"
#include "plugin/FavouritesMenu.h"

#include <algorithm>

using namespace marigold;

using namespace marigold::plugin;

using namespace host;

namespace {

double Milliseconds(LARGE_INTEGER From, LARGE_INTEGER To) {
  LARGE_INTEGER Frequency;
  QueryPerformanceFrequency(&Frequency);
  return 1000.0 * static_cast<double>(To.QuadPart - From.QuadPart) /
         static_cast<double>(Frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER T;
  QueryPerformanceCounter(&T);
  return T;
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values[Values.size() / 2];
}

constexpr DWORD SlowShareDelayMs = 2000;
constexpr DWORD HealthyShareDelayMs = 5;
constexpr DWORD StalledDriveDelayMs = 3000;

// Count favourites under Root, one path a line: a file, a missing file and a folder in turn, all
// served from the slow share's folder.
std::wstring ThreeKinds(std::wstring_view Root, int Count) {
  std::wstring Text;
  for (int I = 0; I < Count; ++I) {
    const std::wstring Name = L"\\k" + std::to_wstring(I);
    const std::wstring Kind = I % 3 == 0 ? L".txt" : I % 3 == 1 ? L".missing" : L"";
    if (I % 3 == 0)
      WriteBytes(SlowShareFolder + Name + Kind, "x");
    else if (I % 3 == 2)
      CreateDirectoryW((SlowShareFolder + Name).c_str(), nullptr);
    Text += std::wstring(Root) + Name + Kind + L"\r\n";
  }
  return Text;
}

// The favourites whose entry in Tree (DescribeMenu) does not show what their target is, asked
// here one by one: grayed when missing, captioned "Folder ..." when a folder named by its path.
// Paths under Skipped are left out.
int WrongStates(const TCommonStringRecordList& Lines, const std::string& Tree,
                std::wstring_view Skipped) {
  int Wrong = 0;
  for (size_t At = 0, End; At < Tree.size(); At = End + 1) {
    End = Tree.find('\n', At);
    const std::string Entry = Tree.substr(At, End - At);
    const size_t Hash = Entry.rfind(" #");
    if (Hash == std::string::npos)
      continue;
    const int32_t Index = std::atoi(Entry.c_str() + Hash + 2) - 1;
    if (Index < 0 || Index >= Lines.Count())
      continue; // the fixed entries
    const TFavouriteLine Line = ParseFavouriteLine(TrimBlanksAndControls(Lines.GetItem(Index)));
    if (!Skipped.empty() && Line.Path.starts_with(std::u16string(Skipped.begin(), Skipped.end())))
      continue;
    const auto Attributes = platform::FileAttributes(Line.Path);
    const bool Folder = Attributes && (*Attributes & platform::AttributeDirectory);
    const bool ShownGrayed = Entry.ends_with(" grayed");
    const bool ShownFolder = Entry.find_first_not_of(' ') == Entry.find("Folder ");
    Wrong += ShownGrayed != !Attributes || (Line.FieldCount != 2 && ShownFolder != Folder);
  }
  return Wrong;
}

// Count favourites in groups of 100: a header, five subheaders of 20 favourites each; every
// second favourite names an existing file, in a folder of 50 files per group. Then Slow
// favourites on the slow share, every second one existing.
std::wstring Favourites(int Count, int Slow) {
  std::wstring Text;
  for (int I = 0; I < Slow; ++I)
    Text += L"共有 " + std::to_wstring(I) + L"\t" + SlowShareRoot + L"\\" + std::to_wstring(I) +
            (I % 2 == 0 ? L".txt" : L".missing") + L"\r\n";
  for (int I = 0; I < Count; ++I) {
    if (I % 100 == 0)
      Text += L"グループ " + std::to_wstring(I / 100) + L"\r\n";
    if (I % 20 == 0)
      Text += L"\t分類 " + std::to_wstring(I / 20 % 5) + L"\r\n";
    Text += L"\t\tファイル " + std::to_wstring(I) + L"\tC:\\MgBench\\" + std::to_wstring(I / 100) +
            L"\\" + std::to_wstring(I) + (I % 2 == 0 ? L".txt" : L".missing") + L" /l 3\r\n";
  }
  return Text;
}

// The floor: the file read and decoded, and each favourite's path looked up once, as the menu
// does (one attribute read tells a folder, a file or nothing).
void Floor(const std::wstring& Settings) {
  TCommonStringRecordList Lines;
  Lines.SetText(
      DecodeAnsiText(LoadAnsiStringFromFile(std::u16string(Settings.begin(), Settings.end()))));
  for (int32_t I = 0; I < Lines.Count(); ++I) {
    const TFavouriteLine Line = ParseFavouriteLine(TrimBlanksAndControls(Lines.GetItem(I)));
    if (Line.FieldCount == 2 || IsValidDrivePath(Line.Path) || IsValidUNCPath(Line.Path))
      (void)platform::FileAttributes(Line.Path);
  }
}

// Runs the command of Plug with the menu closed as soon as it is on the screen: the
// milliseconds from OnCommand until then, and the menu when Tree is asked for.
double Command(FavouritesStage& Stage, PlugIn& Plug, std::string* Tree = nullptr) {
  LARGE_INTEGER Shown{};
  HMENU Root = nullptr;
  Stage.Window.OtherMessages = [&](HWND, UINT Message, WPARAM WParam,
                                   LPARAM) -> std::optional<LRESULT> {
    if (Message == WM_INITMENUPOPUP && !Root)
      Root = reinterpret_cast<HMENU>(WParam);
    if (Message == WM_ENTERIDLE && WParam == MSGF_MENU) {
      if (Shown.QuadPart == 0) {
        Shown = Now();
        if (Tree && Root)
          *Tree = platform::DescribeMenu(Root);
      }
      EndMenu();
      return 0;
    }
    return std::nullopt;
  };
  const LARGE_INTEGER Start = Now();
  Plug.OnCommand(Stage.Window.Handle());
  Stage.Window.OtherMessages = nullptr;
  PumpMessages();
  return Milliseconds(Start, Shown);
}

bool Mapped(HMODULE Module) {
  wchar_t Name[MAX_PATH];
  return GetModuleFileNameW(Module, Name, MAX_PATH) != 0;
}

void Latency(Context& Ctx) {
  FavouritesStage Stage(Ctx, L"latency");
  CreateDirectoryW(L"C:\\MgBench", nullptr);
  for (int I = 0; I < 10000; I += 2) {
    const std::wstring Folder = L"C:\\MgBench\\" + std::to_wstring(I / 100);
    if (I % 100 == 0)
      CreateDirectoryW(Folder.c_str(), nullptr);
    const std::wstring File = Folder + L"\\" + std::to_wstring(I) + L".txt";
    if (!FileExistsW(File))
      WriteBytes(File, "x");
  }
  CreateDirectoryW(SlowShareFolder, nullptr);
  for (int I = 0; I < 10; I += 2)
    WriteBytes(std::wstring(SlowShareFolder) + L"\\" + std::to_wstring(I) + L".txt", "x");
  Print("favourites                 lines   command ms (OnCommand -> menu shown)   worst ms   "
        "floor ms   ratio   build only ms   wrong states");
  struct Row {
    const char* Name;
    std::wstring Text;
    DWORD DelayMs = SlowShareDelayMs;
    int Runs = 7;
    bool Checked = false;         // the states counted
    const wchar_t* Stalled = L""; // commands in a row while this root blocks
  };
  const Row Rows[] = {
      {"0", Favourites(0, 0)},
      {"100", Favourites(100, 0)},
      {"1000", Favourites(1000, 0)},
      {"10000", Favourites(10000, 0)},
      {"1000 + 10 slow", Favourites(1000, 10)},
      {"100 healthy share", ThreeKinds(SlowShareRoot, 100), HealthyShareDelayMs, 7, true},
      {"1000 + 10 stalled, x4", ThreeKinds(SlowDriveRoot, 10) + Favourites(1000, 0),
       StalledDriveDelayMs, 4, true, SlowDriveRoot},
  };
  for (const Row& R : Rows) {
    // The plug-in's look-ups and this program's own (the floor, the build) meet the same share.
    Check(InterposeSlowShare(Stage.Plug.Module(), R.DelayMs) &&
              InterposeSlowShare(GetModuleHandleW(nullptr), R.DelayMs),
          "the slow share is in place");
    Stage.WriteSettings(R.Text);
    const std::wstring Settings = Stage.SettingsFile();
    TCommonStringRecordList Lines;
    Lines.SetText(
        DecodeAnsiText(LoadAnsiStringFromFile(std::u16string(Settings.begin(), Settings.end()))));
    const bool Slow = R.Text.find(SlowShareRoot) != std::wstring::npos && !R.Checked;
    std::vector<double> CommandTimes, FloorTimes, Build;
    int Wrong = 0;
    for (int Run = 0; Run < R.Runs; ++Run) {
      // Each command finds the share as a user pressing again after a while would: the
      // look-ups of the one before have answered; the stalled row's come one after another.
      while (SlowLookupsAnswered() != SlowLookupsBegun() && (Run == 0 || !*R.Stalled))
        Sleep(20);
      std::string Tree;
      CommandTimes.push_back(Command(Stage, Stage.Plug, R.Checked ? &Tree : nullptr));
      if (R.Checked)
        Wrong = std::max(Wrong, WrongStates(Lines, Tree, R.Stalled));

      if (!*R.Stalled && (!Slow || Run == 0)) { // once over the share: it takes seconds
        const LARGE_INTEGER FloorStart = Now();
        Floor(Settings);
        FloorTimes.push_back(Milliseconds(FloorStart, Now()));
      }

      // The same lines through the menu builder of this program's own copy of the code.
      const LARGE_INTEGER BuildStart = Now();
      if (!*R.Stalled) {
        const TFavouritesMenu Menu = BuildFavouritesMenu(Lines);
      }
      Build.push_back(Milliseconds(BuildStart, Now()));
    }
    const double C = Median(CommandTimes);
    const double Worst = *std::max_element(CommandTimes.begin(), CommandTimes.end());
    char Line[200];
    if (FloorTimes.empty())
      snprintf(Line, sizeof(Line), "%-22s  %6d   %36.1f   %8.1f   %8s   %5s   %13s   %12d", R.Name,
               Lines.Count(), C, Worst, "-", "-", "-", Wrong);
    else
      snprintf(Line, sizeof(Line), "%-22s  %6d   %36.1f   %8.1f   %8.1f   %5.2f   %13.1f   %12s",
               R.Name, Lines.Count(), C, Worst, Median(FloorTimes), C / Median(FloorTimes),
               Median(Build), R.Checked ? std::to_string(Wrong).c_str() : "-");
    Print(Line);
  }
  Print("(0 favourites: the fixed cost of a command: finding, checking and reading the settings "
        "file, the host queries and Wine showing the popup; slow: a share answering each look-up "
        "after 2 s; healthy share: 5 ms a look-up, a third each files, missing files, folders; "
        "stalled: a drive answering after 3 s, four commands in a row, its states not counted; "
        "wrong states: the most in one menu)");

  // How long the DLL stays mapped after FreeLibrary once a command is over and no look-up
  // blocks: the first load is the stage's own, the others fresh loads of the same file.
  while (SlowLookupsAnswered() != SlowLookupsBegun())
    Sleep(20);
  Stage.WriteSettings(Favourites(1000, 0));
  std::vector<double> Unmapped;
  for (int Run = 0; Run < 7; ++Run) {
    PlugIn Fresh(Ctx.PlugInPath);
    PlugIn& Plug = Run == 0 ? Stage.Plug : Fresh;
    if (Run == 0)
      Fresh.Unload();
    (void)Command(Stage, Plug);
    const HMODULE Module = Plug.Module();
    const LARGE_INTEGER Freed = Now();
    Plug.Unload();
    while (Mapped(Module) && Milliseconds(Freed, Now()) < 10000)
      Sleep(1);
    Unmapped.push_back(Milliseconds(Freed, Now()));
  }
  char Line[200];
  snprintf(Line, sizeof(Line),
           "FreeLibrary -> DLL unmapped, no look-up blocking: median %.1f ms, "
           "worst %.1f ms of 7",
           Median(Unmapped), *std::max_element(Unmapped.begin(), Unmapped.end()));
  Print(Line);
  Check(true, "measured");
}

// Registered by hand, not with MARIGOLD_HOST_SCENARIO, so that the test run leaves it out.
const ScenarioRegistration LatencyRegistration{"favourites-latency", &Latency};

} // namespace
