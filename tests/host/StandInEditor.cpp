// The stand-in editor's entry: runs the scenario named on the command line, or, started by the
// plug-in as the editor, logs its command line.

#include "StandInEditor.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

namespace {

std::wstring Environment(const wchar_t* Name) {
  const DWORD Size = GetEnvironmentVariableW(Name, nullptr, 0);
  if (Size == 0)
    return {};
  std::wstring Value(Size, L'\0');
  Value.resize(GetEnvironmentVariableW(Name, Value.data(), Size));
  return Value;
}

std::wstring ExecutableFolder() {
  wchar_t Path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, Path, MAX_PATH);
  std::wstring Folder(Path);
  return Folder.substr(0, Folder.find_last_of(L"\\/") + 1);
}

// Started as the editor (by the plug-in, with a file or folder): append the whole command line
// to %MARIGOLD_HOST_LOG% and leave.
int LogCommandLine() {
  const std::wstring Log = Environment(L"MARIGOLD_HOST_LOG");
  if (Log.empty())
    return 3;
  HANDLE File = CreateFileW(Log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE)
    return 4;
  const std::string Line = host::Utf8(std::wstring_view(GetCommandLineW())) + "\n";
  DWORD Written = 0;
  const BOOL Ok = WriteFile(File, Line.data(), static_cast<DWORD>(Line.size()), &Written, nullptr);
  CloseHandle(File);
  return Ok && Written == Line.size() ? 0 : 5;
}

} // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  int Count = 0;
  LPWSTR* Argv = CommandLineToArgvW(GetCommandLineW(), &Count);
  std::vector<std::wstring> Args(Argv + std::min(Count, 1), Argv + Count);
  LocalFree(Argv);

  const auto& Registry = host::RegisteredScenarios();
  if (Args.empty()) {
    host::Print("usage: StandInEditor <scenario> [arguments]; scenarios:");
    for (const auto& [Name, Function] : Registry)
      host::Print("  " + Name);
    return 2;
  }
  const auto Found = Registry.find(host::Utf8(Args[0]));
  if (Found == Registry.end())
    return LogCommandLine();

  host::SetCurrentScenario(Found->first);
  host::Context Ctx;
  Ctx.PlugInPath = Environment(L"MARIGOLD_PLUGIN_DLL");
  if (Ctx.PlugInPath.empty())
    Ctx.PlugInPath = ExecutableFolder() + L"Marigold.dll";
  Ctx.ShippedPath = Environment(L"MARIGOLD_SHIPPED_DLL");
  Ctx.Args.assign(Args.begin() + 1, Args.end());
  Found->second(Ctx);
  host::Print(Found->first + ": " + std::to_string(host::PassedChecks()) + " passed, " +
              std::to_string(host::FailedChecks()) + " failed");
  return host::FailedChecks() == 0 && host::PassedChecks() > 0 ? 0 : 1;
}
