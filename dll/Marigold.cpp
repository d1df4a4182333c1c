// The export layer: each export hands over to the plug-in's logic and keeps exceptions in.

#include "dll/Marigold.h"

#include "plugin/FavouritesCommand.h"
#include "plugin/PluginFrame.h"
#include "plugin/PluginLibrary.h"
#include "plugin/TargetLookups.h"

namespace plugin = marigold::plugin;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD Reason, LPVOID Reserved) {
  // On FreeLibrary no look-up thread is left (each holds a reference on the module); at process
  // exit they may have been stopped anywhere, so what they share is left as it is.
  if (Reason == DLL_PROCESS_DETACH && Reserved == nullptr)
    plugin::ReleaseLookups();
  return TRUE;
}

void WINAPI OnCommand(HWND Window) {
  plugin::HostWindow = Window;
  plugin::RunGuarded(Window, [Window] { plugin::RunFavouritesCommand(Window); });
}

int32_t WINAPI QueryStatus(HWND, void*) {
  return plugin::QueryStatusAnswer;
}

void WINAPI OnEvents(HWND Window, UINT Code, LPARAM Value) {
  plugin::HandleEvents(Window, Code, static_cast<int32_t>(Value));
}

int32_t WINAPI GetMenuTextID() {
  return plugin::MenuTextId;
}

int32_t WINAPI GetStatusMessageID() {
  return plugin::StatusMessageId;
}

int32_t WINAPI GetBitmapID() {
  return plugin::BitmapId;
}

LRESULT WINAPI PlugInProc(HWND Window, UINT Code, WPARAM WParam, LPARAM LParam) {
  return plugin::AnswerPlugInProc(Window, Code, WParam, LParam);
}
}
