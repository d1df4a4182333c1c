#pragma once

// Module-wide values of the plug-in and the host queries the command uses.

#include "MarigoldVersion.h"
#include "platform/Types.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace marigold::plugin {

// The plug-in's name and version as handed to the host (ANSI, ASCII only).
inline constexpr std::string_view PlugInName = "Marigold";
inline constexpr std::string_view PlugInVersion = "Version " MARIGOLD_VERSION_TEXT;

// The last value that came with an event carrying bit 0x400.
extern int32_t StoredEventValue;
// The host window of the running command, set at the start of every OnCommand.
extern platform::WindowHandle HostWindow;

// Full path of the running editor's executable (the host process's main module).
std::u16string GetEditorPath();

} // namespace marigold::plugin
