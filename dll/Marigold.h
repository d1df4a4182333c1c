#pragma once

// The seven functions the host editor calls, exported by name at ordinals 1 to 7
// (Marigold.def). All are stdcall and never let an exception out.

#include <windows.h>

#include <cstdint>

extern "C" {
// Stores Window in HostWindow and runs the command; errors are shown, not raised.
void WINAPI OnCommand(HWND Window);
// Always -1; Reserved is neither read nor written.
int32_t WINAPI QueryStatus(HWND Window, void* Reserved);
// Bit 0x400 stores Value, then bit 0x40 sends the stored value to Window (message 2050).
void WINAPI OnEvents(HWND Window, UINT Code, LPARAM Value);
int32_t WINAPI GetMenuTextID();      // string 1
int32_t WINAPI GetStatusMessageID(); // string 2
int32_t WINAPI GetBitmapID();        // bitmap 101
// Name (2306), version (2308), 1 (2310), the uninstall question (2311), 0 otherwise.
LRESULT WINAPI PlugInProc(HWND Window, UINT Code, WPARAM WParam, LPARAM LParam);
}
