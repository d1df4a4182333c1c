#pragma once

#include "platform/Types.h"

#include <cstdint>
#include <string_view>

namespace platform {

// The modal message box (MessageBoxW); returns the button pressed, 0 when it could not be shown.
int ShowMessageBox(WindowHandle Owner, std::u16string_view Text, std::u16string_view Caption,
                   uint32_t Style);

} // namespace platform
