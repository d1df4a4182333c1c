#pragma once

// The stage of the favourites scenarios: a plug-ins folder of its own inside the Wine prefix,
// C:\Work and C:\Work\notes.txt, the stand-in editor window and the loaded plug-in, and the log
// that editors started by the plug-in write their command lines to.

#include "MenuDriver.h"
#include "StandInEditor.h"

#include <windows.h>

#include <string>
#include <vector>

namespace host {

// Text in the system ANSI code page, as the settings file holds it.
std::string ToAnsi(std::wstring_view Text);
std::string ReadBytes(const std::wstring& Path);
void WriteBytes(const std::wstring& Path, const std::string& Bytes);
bool FileExistsW(const std::wstring& Path);
// Deletes every file in Folder (read-only ones too); its subfolders stay.
void EmptyFolder(const std::wstring& Folder);
FILETIME LastWriteTime(const std::wstring& Path);
// The system's own text for Code, without its closing line break.
std::wstring SystemText(DWORD Code);
// This program's own path, as the plug-in reports the editor's.
std::wstring OwnExecutable();

class FavouritesStage {
public:
  // Name is the stage's folder under C:\MgE2E, emptied first.
  FavouritesStage(const Context& Ctx, const std::wstring& Name);

  const std::wstring& Folder() const { return FFolder; }
  std::wstring SettingsFile() const { return FFolder + L"\\Marigolds_Setting.txt"; }
  void WriteSettings(std::wstring_view Text) const { WriteBytes(SettingsFile(), ToAnsi(Text)); }

  // Puts the cursor at At and runs OnCommand; the driver works the menu meanwhile.
  void Run(MenuDriver& Driver, POINT At);
  // The command lines logged by started editors, after waiting for Count of them (a moment
  // when Count is 0, so that a wrong start has time to show).
  std::vector<std::string> Launches(size_t Count) const;

  EditorWindow Window;
  PlugIn Plug;

private:
  std::wstring FFolder;
  std::wstring FLog;
};

} // namespace host

namespace host {

// Asks the demo script for a screenshot of the screen as it is now, saved as <Name>.png in the
// folder named by %MARIGOLD_SCREENSHOT_DIR%, and waits until it is taken. Without that
// variable nothing happens.
void RequestScreenshot(const std::wstring& Name);

// The menu tree for people: DescribeMenu with every TAB shown as "⇥".
std::string ReadableTree(const std::string& Tree);

} // namespace host
