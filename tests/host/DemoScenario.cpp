// The main job's show: the plug-in inside the stand-in editor, answering everything it is
// asked. "demo" runs every part registered as "demo-<n>-<name>", in name order, so a later
// part (the favourites menu) is one more file with one more MARIGOLD_HOST_SCENARIO.

#include "StandInEditor.h"

using namespace host;

namespace {

// The bitmap as text: '#' for the star, '.' for the grey background.
void PrintBitmap(HMODULE Module, int Id) {
  HRSRC Found = FindResourceW(Module, MAKEINTRESOURCEW(Id), MAKEINTRESOURCEW(2));
  if (!Found || SizeofResource(Module, Found) < 40 + 768) {
    Print("  (bitmap missing)");
    return;
  }
  const auto* Pixels = static_cast<const BYTE*>(LockResource(LoadResource(Module, Found))) + 40;
  for (int Row = 15; Row >= 0; --Row) {
    std::string Line = "    ";
    for (int X = 0; X < 16; ++X) {
      const BYTE* P = Pixels + (Row * 16 + X) * 3;
      Line += P[0] == 192 && P[1] == 192 && P[2] == 192 ? ". " : "# ";
    }
    Print(Line);
  }
}

std::string Quoted(const std::string& Text) {
  return "\"" + Text + "\"";
}

} // namespace

MARIGOLD_HOST_SCENARIO("demo-1-frame", DemoFrame) {
  EditorWindow Window;
  PlugIn Plug(Ctx.PlugInPath);
  Check(Plug.Complete(), "the plug-in loads with its seven exports");
  if (!Plug.Complete())
    return;
  const HWND W = Window.Handle();
  const bool RunsShipped = lstrcmpiW(Ctx.PlugInPath.c_str(), Ctx.ShippedPath.c_str()) == 0;
  const std::string Bits = std::to_string(sizeof(void*) * 8) + "-bit";
  Print("Marigold.dll loaded by the " + Bits + " stand-in editor: " + Utf8(Ctx.PlugInPath) +
        (RunsShipped ? " (the shipped DLL itself)"
                     : " (the " + Bits + " twin, built from the same sources)"));

  char Buffer[64] = {};
  LRESULT Length = Plug.PlugInProc(W, 2306, sizeof(Buffer), reinterpret_cast<LPARAM>(Buffer));
  Print("  name     PlugInProc(2306)  " + Quoted(Buffer) + ", answer " + std::to_string(Length));
  Check(std::string(Buffer) == "Marigold", "name");
  Length = Plug.PlugInProc(W, 2308, sizeof(Buffer), reinterpret_cast<LPARAM>(Buffer));
  Print("  version  PlugInProc(2308)  " + Quoted(Buffer) + ", answer " + std::to_string(Length));
  Check(std::string(Buffer) == "Version 3.1.4", "version");
  Print("  PlugInProc(2310) answers " + std::to_string(Plug.PlugInProc(W, 2310, 0, 0)) +
        "; an unknown code (2309) answers " + std::to_string(Plug.PlugInProc(W, 2309, 0, 0)));

  const int MenuId = Plug.GetMenuTextID();
  const int StatusId = Plug.GetStatusMessageID();
  const int BitmapId = Plug.GetBitmapID();
  const std::wstring Menu = LoadText(Plug.Module(), static_cast<UINT>(MenuId));
  std::string Status = Utf8(LoadText(Plug.Module(), static_cast<UINT>(StatusId)));
  Print("  menu text    GetMenuTextID() = " + std::to_string(MenuId) + ": " + Quoted(Utf8(Menu)));
  for (size_t At; (At = Status.find('\n')) != std::string::npos;)
    Status.replace(At, 1, "\\n");
  Print("  status text  GetStatusMessageID() = " + std::to_string(StatusId) + ": " +
        Quoted(Status));
  Check(Menu == L"Marigold", "menu text");
  Print("  bitmap       GetBitmapID() = " + std::to_string(BitmapId) + ":");
  PrintBitmap(Plug.Module(), BitmapId);
  Print("  QueryStatus  answers " + std::to_string(Plug.QueryStatus(W, nullptr)));

  Plug.OnEvents(W, 0x440, 5);
  const auto Events = Window.Of(2050);
  Print("  OnEvents(0x440, 5): the editor received " +
        (Events.empty() ? std::string("nothing")
                        : "message 2050 with wParam " +
                              std::to_string(static_cast<int32_t>(Events.back().WParam))));
  Check(Events.size() == 1, "OnEvents sends 2050");

  {
    TempFolder Plugins;
    Window.Answers.PlugInsFolder = std::u16string(Plugins.Path().begin(), Plugins.Path().end());
    MenuDismisser Menus(Window);
    Plug.OnCommand(W);
    std::string Captions;
    for (const auto& Caption : Menus.RootCaptions)
      Captions += (Captions.empty() ? "" : " | ") + (Caption.empty() ? "---" : Utf8(Caption));
    Print("  OnCommand(editor window) showed its menu (" + Captions +
          ") and returned when the stand-in dismissed it");
    Check(Menus.Dismissed > 0, "OnCommand shows its menu");
  }

  MessageBoxAnswerer Answerer(W, {IDNO});
  const LRESULT Uninstall = Plug.PlugInProc(W, 2311, 0, 0);
  const auto Seen = Answerer.Wait(2000);
  Check(Seen.size() == 1, "the uninstall question appears");
  if (!Seen.empty())
    Print("  PlugInProc(2311) asked " + Quoted(Utf8(Seen[0].Text)) + " (caption " +
          Quoted(Utf8(Seen[0].Caption)) + ", buttons Yes/No); the stand-in clicked No; answer " +
          std::to_string(Uninstall));

  if (Ctx.ShippedPath.empty() || RunsShipped)
    return;
  HMODULE Shipped = LoadLibraryExW(Ctx.ShippedPath.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  Check(Shipped != nullptr, "the shipped DLL reads as a data file");
  if (!Shipped)
    return;
  std::string ShippedStatus = Utf8(LoadText(Shipped, 2));
  for (size_t At; (At = ShippedStatus.find('\n')) != std::string::npos;)
    ShippedStatus.replace(At, 1, "\\n");
  DWORD Ignored = 0;
  std::vector<BYTE> Block(GetFileVersionInfoSizeW(Ctx.ShippedPath.c_str(), &Ignored));
  std::string Version = "(none)";
  void* Value = nullptr;
  UINT Size = 0;
  if (!Block.empty() &&
      GetFileVersionInfoW(Ctx.ShippedPath.c_str(), 0, static_cast<DWORD>(Block.size()),
                          Block.data()) &&
      VerQueryValueW(Block.data(), L"\\StringFileInfo\\041104B0\\FileVersion", &Value, &Size) &&
      Size > 0)
    Version = Utf8(std::wstring_view(static_cast<const wchar_t*>(Value), Size - 1));
  Print("Shipped 32-bit DLL " + Utf8(Ctx.ShippedPath) + " (read as data by the 64-bit stand-in)");
  Print("  file version " + Quoted(Version) + ", string 1 " + Quoted(Utf8(LoadText(Shipped, 1))) +
        ", string 2 " + Quoted(ShippedStatus));
  FreeLibrary(Shipped);
}

MARIGOLD_HOST_SCENARIO("demo", Demo) {
  for (const auto& [Name, Function] : RegisteredScenarios())
    if (Name.rfind("demo-", 0) == 0)
      Function(Ctx);
}
