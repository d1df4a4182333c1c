#pragma once

// Where the settings file lives, and its load with the migration of the legacy settings file.

#include "lib/FileUnit.h"
#include "platform/Types.h"

#include <string>
#include <string_view>

namespace marigold {
class TCommonStringRecordList;
} // namespace marigold

namespace marigold::plugin {

// The host's configuration value "PlugInsFolder" (at most 50 units); empty when not configured.
std::u16string GetPlugInsFolderSetting(platform::WindowHandle Window);

// The configured folder, else "PlugIns" beside the editor's executable; a relative value is
// resolved against the editor's folder ('..\Common' beside 'D:\Tools\Editor\Editor.exe' gives
// 'D:\Tools\Common', or '' when it walks above the root). Anything else comes back unchanged.
std::u16string GetPlugInsFolder(platform::WindowHandle Window);

// Full name of "Marigolds_Setting.txt" in the plug-ins folder of HostWindow, redirected out of
// Program Files (the folder is then created).
std::u16string GetSettingsFileName();
// Full name of the legacy "Marigolds.ini", found the same way.
std::u16string GetLegacySettingsFileName();

// Path with its extension folded into "_<ext>.bak": 'C:\x\Marigolds.ini' gives
// 'C:\x\Marigolds_ini.bak', 'a._x' gives 'a_x.bak', 'notes' gives 'notes_.bak'.
std::u16string GetBackupFileName(std::u16string_view Path);

// Creates the folder of the settings file Path where it is missing, silently. Only what writes
// there calls it, never a look-up of the name: a roaming profile whose server is gone would hold
// up every command.
void CreateSettingsFolder(std::u16string_view Path);
// SaveAnsiStringToFile for the settings file and the files beside it, in a folder created first.
void SaveSettingsFile(std::u16string_view Path, std::string_view Data, SaveMode Mode);

// Fills List with the lines of the settings file. While the legacy file exists the user is asked
// (owned by HostWindow) whether to migrate it: Yes makes its text the settings file and renames
// it, and a former settings file, to their backups. With no settings file to load, an empty one
// is created. Load and save errors pass through; a settings file that cannot be backed up stops
// the migration with the save error before it is overwritten. Only "not found" counts as no
// file: when a look-up of either file cannot tell, the load error is thrown and nothing written.
void LoadSettingsWithMigration(TCommonStringRecordList& List);

} // namespace marigold::plugin
