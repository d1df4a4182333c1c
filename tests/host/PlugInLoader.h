#pragma once

// The plug-in as the editor loads it: the DLL and its seven exports, looked up by name.

#include "dll/Marigold.h"

#include <windows.h>

#include <string>

namespace host {

// Loads a plug-in DLL and looks up its seven exports by name.
class PlugIn {
public:
  explicit PlugIn(const std::wstring& Path);
  ~PlugIn();
  PlugIn(const PlugIn&) = delete;
  PlugIn& operator=(const PlugIn&) = delete;

  HMODULE Module() const { return FModule; }
  // Unloads the plug-in now (FreeLibrary), as an editor does that lets it go.
  void Unload();
  // Loaded and all seven exports found.
  bool Complete() const;

  decltype(&::OnCommand) OnCommand = nullptr;
  decltype(&::QueryStatus) QueryStatus = nullptr;
  decltype(&::OnEvents) OnEvents = nullptr;
  decltype(&::GetMenuTextID) GetMenuTextID = nullptr;
  decltype(&::GetStatusMessageID) GetStatusMessageID = nullptr;
  decltype(&::GetBitmapID) GetBitmapID = nullptr;
  decltype(&::PlugInProc) PlugInProc = nullptr;

private:
  HMODULE FModule = nullptr;
};

// Text of a string resource of Module (LoadStringW); empty when absent.
std::wstring LoadText(HMODULE Module, UINT Id);

} // namespace host
