#include "plugin/PluginLibrary.h"

#include "platform/Process.h"

namespace marigold::plugin {

int32_t StoredEventValue = 0;
platform::WindowHandle HostWindow = nullptr;

std::u16string GetEditorPath() {
  return platform::HostExecutablePath();
}

} // namespace marigold::plugin
