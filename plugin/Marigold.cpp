// The export layer: each export hands over to the plug-in's logic and keeps exceptions in.

#include "plugin/Marigold.h"

#include "plugin/FavouritesCommand.h"
#include "plugin/PluginFrame.h"
#include "plugin/PluginLibrary.h"

extern "C" {

void WINAPI OnCommand(HWND Window) {
  HostWindow = Window;
  RunGuarded(Window, [Window] { RunFavouritesCommand(Window); });
}

int32_t WINAPI QueryStatus(HWND, void*) {
  return QueryStatusAnswer;
}

void WINAPI OnEvents(HWND Window, UINT Code, LPARAM Value) {
  HandleEvents(Window, Code, static_cast<int32_t>(Value));
}

int32_t WINAPI GetMenuTextID() {
  return MenuTextId;
}

int32_t WINAPI GetStatusMessageID() {
  return StatusMessageId;
}

int32_t WINAPI GetBitmapID() {
  return BitmapId;
}

LRESULT WINAPI PlugInProc(HWND Window, UINT Code, WPARAM WParam, LPARAM LParam) {
  return AnswerPlugInProc(Window, Code, WParam, LParam);
}
}
