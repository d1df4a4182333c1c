// Latency of the favourites command, from OnCommand to the menu on the screen (the first
// WM_ENTERIDLE of its menu loop), with 100, 1,000 and 10,000 favourites, and with 1,000 plus 10
// on a share that answers each look-up after 2 s, against a floor measured in the same run:
// reading the settings file plus the same existence checks one after another, as the menu made
// them before they ran in parallel with a deadline. Not a test: run it with
// bench/favourites-latency.sh.

#include "FavouritesSupport.h"
#include "SlowShare.h"

#include "lib/FileUnit.h"
#include "lib/StringRecordList.h"
#include "platform/Files.h"
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
    if (Line.FieldCount == 2)
      (void)platform::FileAttributes(Line.Path);
  }
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
  // The plug-in's look-ups and this program's own (the floor, the build) meet the same share.
  Check(InterposeSlowShare(Stage.Plug.Module(), SlowShareDelayMs) &&
            InterposeSlowShare(GetModuleHandleW(nullptr), SlowShareDelayMs),
        "the slow share is in place");
  constexpr int Runs = 7;
  Print("favourites        lines   command ms (OnCommand -> menu shown)   worst ms   floor ms"
        "   ratio   build only ms");
  struct Row {
    int Count, Slow;
  };
  for (const Row R : {Row{0, 0}, Row{100, 0}, Row{1000, 0}, Row{10000, 0}, Row{1000, 10}}) {
    Stage.WriteSettings(Favourites(R.Count, R.Slow));
    std::vector<double> Command, FloorTimes, Build;
    int32_t LineCount = 0;
    for (int Run = 0; Run < Runs; ++Run) {
      // Each command finds the share as a user pressing again after a while would: the
      // look-ups of the one before have answered.
      while (SlowLookupsAnswered() != SlowLookupsBegun())
        Sleep(20);
      LARGE_INTEGER Shown{};
      Stage.Window.OtherMessages = [&](HWND, UINT Message, WPARAM WParam,
                                       LPARAM) -> std::optional<LRESULT> {
        if (Message == WM_ENTERIDLE && WParam == MSGF_MENU) {
          if (Shown.QuadPart == 0)
            Shown = Now();
          EndMenu();
          return 0;
        }
        return std::nullopt;
      };
      const LARGE_INTEGER Start = Now();
      Stage.Plug.OnCommand(Stage.Window.Handle());
      Command.push_back(Milliseconds(Start, Shown));
      Stage.Window.OtherMessages = nullptr;
      PumpMessages();

      if (R.Slow == 0 || Run == 0) { // once over the share: it takes seconds
        const LARGE_INTEGER FloorStart = Now();
        Floor(Stage.SettingsFile());
        FloorTimes.push_back(Milliseconds(FloorStart, Now()));
      }

      // The same lines through the menu builder of this program's own copy of the code.
      const std::wstring Settings = Stage.SettingsFile();
      TCommonStringRecordList Lines;
      Lines.SetText(
          DecodeAnsiText(LoadAnsiStringFromFile(std::u16string(Settings.begin(), Settings.end()))));
      LineCount = Lines.Count();
      const LARGE_INTEGER BuildStart = Now();
      { const TFavouritesMenu Menu = BuildFavouritesMenu(Lines); }
      Build.push_back(Milliseconds(BuildStart, Now()));
    }
    const double C = Median(Command), F = Median(FloorTimes);
    const double Worst = *std::max_element(Command.begin(), Command.end());
    const std::string Name =
        std::to_string(R.Count) + (R.Slow ? " + " + std::to_string(R.Slow) + " slow" : "");
    char Line[200];
    snprintf(Line, sizeof(Line), "%-15s  %6d   %36.1f   %8.1f   %8.1f   %5.2f   %13.1f",
             Name.c_str(), LineCount, C, Worst, F, C / F, Median(Build));
    Print(Line);
  }
  Print("(0 favourites: the fixed cost of a command: finding, checking and reading the settings "
        "file, the host queries and Wine showing the popup; slow: a share answering each look-up "
        "after 2 s)");
  Check(true, "measured");
}

// Registered by hand, not with MARIGOLD_HOST_SCENARIO, so that the test run leaves it out.
const ScenarioRegistration LatencyRegistration{"favourites-latency", &Latency};

} // namespace
