// Two editor processes registering into one settings file at the same time: the lock file
// keeps every line. The registrations run the plug-in's own code linked into the stand-in,
// since two real menus cannot share one mouse.

#include "FavouritesSupport.h"
#include "plugin/FavouritesCommand.h"
#include "plugin/PluginLibrary.h"

#include <set>

using namespace host;

namespace {

constexpr int PerProcess = 50;

std::wstring Favourite(const std::wstring& Prefix, int I) {
  return L"C:\\Work\\" + Prefix + std::to_wstring(I) + L".txt";
}

} // namespace

// helper-register-batch <plug-ins folder> <prefix>: registers PerProcess files.
MARIGOLD_HOST_SCENARIO("helper-register-batch", RegisterBatch) {
  if (Ctx.Args.size() != 2)
    return Check(false, "usage: helper-register-batch <folder> <prefix>");
  EditorWindow Window;
  Window.Answers.PlugInsFolder = std::u16string(Ctx.Args[0].begin(), Ctx.Args[0].end());
  marigold::plugin::HostWindow = Window.Handle();
  for (int I = 0; I < PerProcess; ++I) {
    const std::wstring Name = Favourite(Ctx.Args[1], I);
    try {
      marigold::plugin::RegisterActiveFile(Window.Handle(),
                                           std::u16string(Name.begin(), Name.end()), u"",
                                           marigold::plugin::RegisterForm::FileOnly);
      Check(true, "registered");
    } catch (const std::exception& E) {
      Check(false, std::string("registering failed: ") + E.what());
    }
  }
}

MARIGOLD_HOST_SCENARIO("favourites-concurrent", FavouritesConcurrent) {
  FavouritesStage Stage(Ctx, L"concurrent");
  Stage.WriteSettings(L"C:\\Work\\notes.txt");
  std::vector<PROCESS_INFORMATION> Children;
  for (const wchar_t* Prefix : {L"a", L"b"}) {
    std::wstring Line =
        L"\"" + OwnExecutable() + L"\" helper-register-batch \"" + Stage.Folder() + L"\" " + Prefix;
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    PROCESS_INFORMATION Info{};
    if (CreateProcessW(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup,
                       &Info))
      Children.push_back(Info);
  }
  CheckEqual(Children.size(), size_t{2}, "two editor processes started");
  for (const auto& Child : Children) {
    DWORD Code = 1;
    Check(WaitForSingleObject(Child.hProcess, 100000) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(Child.hProcess, &Code) && Code == 0,
          "each registered all its files");
    CloseHandle(Child.hThread);
    CloseHandle(Child.hProcess);
  }
  const std::string Text = ReadBytes(Stage.SettingsFile());
  std::set<std::string> Lines;
  size_t Count = 0;
  for (size_t At = 0; At <= Text.size();) {
    const size_t End = std::min(Text.find("\r\n", At), Text.size());
    Lines.insert(Text.substr(At, End - At));
    ++Count;
    At = End + 2;
  }
  CheckEqual(Count, size_t{2 * PerProcess + 1}, "every registration's line and the former one");
  CheckEqual(Lines.size(), Count, "no line twice");
  Check(Lines.count("C:\\Work\\notes.txt") == 1 && Lines.count("a0.txt\tC:\\Work\\a0.txt") == 1 &&
            Lines.count("b49.txt\tC:\\Work\\b49.txt") == 1,
        "the former line and both processes' lines are there");
}
