#include "platform/Host.h"
#include "base/WideText.h"
#include "platform/Dialogs.h"

#include <windows.h>

namespace marigold::platform {

intptr_t SendHostMessage(WindowHandle Window, uint32_t Message, uintptr_t WParam, intptr_t LParam) {
  return SendMessageW(static_cast<HWND>(Window), Message, WParam, LParam);
}

int ShowMessageBox(WindowHandle Owner, std::u16string_view Text, std::u16string_view Caption,
                   uint32_t Style) {
  return MessageBoxW(static_cast<HWND>(Owner), marigold::ToWide(Text).c_str(),
                     marigold::ToWide(Caption).c_str(), Style);
}

} // namespace marigold::platform
