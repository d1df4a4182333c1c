#pragma once

#include "platform/Types.h"

#include <cstdint>
#include <string_view>

namespace marigold::platform {

// MessageBoxW styles and results by their Win32 values (windows.h defines them as macros).
namespace mb {
inline constexpr uint32_t Ok = 0x0;
inline constexpr uint32_t YesNo = 0x4;
inline constexpr uint32_t IconError = 0x10;
inline constexpr uint32_t IconQuestion = 0x20;
inline constexpr uint32_t IconWarning = 0x30;
inline constexpr int IdYes = 6;
inline constexpr int IdNo = 7;
} // namespace mb

// The modal message box (MessageBoxW); returns the button pressed, 0 when it could not be shown.
int ShowMessageBox(WindowHandle Owner, std::u16string_view Text, std::u16string_view Caption,
                   uint32_t Style);

} // namespace marigold::platform
