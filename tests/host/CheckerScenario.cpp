// marigold-check beside the stand-in editor: on one settings file, the tree it prints is the
// favourites part of the menu the real plug-in shows, entry for entry.

#include "FavouritesSupport.h"

using namespace host;

namespace {

const wchar_t* const CheckedSettings = L"よく使う\r\n"
                                       L"\tメモ\tC:\\Work\\notes.txt\r\n"
                                       L"\tC:\\Work\r\n"
                                       L"\t-\r\n"
                                       L"\t消えた\tC:\\Work\\missing.txt /l 3\r\n"
                                       L"A\r\n"
                                       L"\t\t\tX\r\n"
                                       L"a\tb\tc\r\n"
                                       L"\r\n"
                                       L"relative\\todo.txt\r\n"
                                       L"Docs\tC:\\Work\r\n"
                                       L"\tC&D\tC:\\Work\\notes.txt\r\n"
                                       L"-\r\n";

// The checker's output, run with its standard output and error in a file.
std::string RunChecker(const std::wstring& Checker, const std::wstring& Arguments,
                       const std::wstring& OutputFile, DWORD& ExitCode) {
  SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
  HANDLE Output = CreateFileW(OutputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &Inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  Startup.dwFlags = STARTF_USESTDHANDLES;
  Startup.hStdOutput = Output;
  Startup.hStdError = Output;
  PROCESS_INFORMATION Process{};
  std::wstring CommandLine = L"\"" + Checker + L"\" " + Arguments;
  ExitCode = 999;
  if (CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &Startup, &Process)) {
    WaitForSingleObject(Process.hProcess, 60000);
    GetExitCodeProcess(Process.hProcess, &ExitCode);
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
  }
  CloseHandle(Output);
  return ReadBytes(OutputFile);
}

// The indented lines after the checker's heading: its drawing of the menu.
std::string CheckerTree(const std::string& Output) {
  std::string Tree;
  size_t Start = Output.find('\n');
  while (Start != std::string::npos && Output.compare(Start + 1, 2, "  ") == 0) {
    const size_t End = Output.find('\n', Start + 1);
    Tree += Output.substr(Start + 3, End - Start - 3) + "\n";
    Start = End;
  }
  return Tree;
}

} // namespace

MARIGOLD_HOST_SCENARIO("checker-tree", CheckerTree) {
  FavouritesStage Stage(Ctx, L"checker");
  Stage.WriteSettings(CheckedSettings);
  MenuDriver Driver(Stage.Window);
  Driver.ClickOutside();
  Stage.Run(Driver, {380, 160});
  // The favourites end where the fixed tail begins: a separator, then 登録.
  const std::string Menu = ReadableTree(Driver.Tree);
  const size_t Tail = Menu.find("-\n登録 >");
  Check(Tail != std::string::npos, "the menu has its fixed tail");
  const std::string Favourites = Menu.substr(0, Tail);

  const std::wstring Own = OwnExecutable();
  const std::wstring Checker = Own.substr(0, Own.rfind(L'\\') + 1) + L"marigold-check.exe";
  DWORD ExitCode = 0;
  const std::string Output = RunChecker(Checker, L"--lang en \"" + Stage.SettingsFile() + L"\"",
                                        Stage.Folder() + L"\\check.txt", ExitCode);
  Print("marigold-check on the settings file:");
  Print(Output.substr(0, Output.empty() ? 0 : Output.size() - 1));
  CheckEqual(ExitCode, DWORD{1}, "the checker warns and exits with 1");
  CheckEqual(CheckerTree(Output), Favourites, "the checker draws the plug-in's menu");
  const std::string File = Utf8(Stage.SettingsFile());
  for (const char* Line : {":5: warning:", ":7: warning:", ":8: warning:", ":9: note:",
                           ":10: warning:", ":11: warning:"})
    Check(Output.find(File + Line) != std::string::npos,
          std::string("the checker reports ") + Line);
}
