// Latency of the favourites command, from OnCommand to the menu on the screen (the first
// WM_ENTERIDLE of its menu loop), with 100, 1,000 and 10,000 favourites, against a floor
// measured in the same run: reading the settings file plus the same file and folder existence
// checks the menu makes. Not a test: run it with bench/favourites-latency.sh.

#include "FavouritesSupport.h"

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

// Count favourites in groups of 100: a header, five subheaders of 20 favourites each; every
// second favourite names an existing file, in a folder of 50 files per group.
std::wstring Favourites(int Count) {
  std::wstring Text;
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
    std::error_code Missing;
    if (Line.FieldCount == 2)
      (void)platform::FileAttributes(Line.Path, Missing);
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
  constexpr int Runs = 7;
  Print("favourites  lines   command ms (OnCommand -> menu shown)   floor ms   ratio   "
        "build only ms");
  for (int Count : {0, 100, 1000, 10000}) {
    Stage.WriteSettings(Favourites(Count));
    std::vector<double> Command, FloorTimes, Build;
    int32_t LineCount = 0;
    for (int Run = 0; Run < Runs; ++Run) {
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

      const LARGE_INTEGER FloorStart = Now();
      Floor(Stage.SettingsFile());
      FloorTimes.push_back(Milliseconds(FloorStart, Now()));

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
    char Row[160];
    snprintf(Row, sizeof(Row), "%10d  %6d   %36.1f   %8.1f   %5.2f   %13.1f", Count, LineCount, C,
             F, C / F, Median(Build));
    Print(Row);
  }
  Print("(0 favourites: the fixed cost of a command: finding, checking and reading the settings "
        "file, the host queries and Wine showing the popup)");
  Check(true, "measured");
}

// Registered by hand, not with MARIGOLD_HOST_SCENARIO, so that the test run leaves it out.
const ScenarioRegistration LatencyRegistration{"favourites-latency", &Latency};

} // namespace
