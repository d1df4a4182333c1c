#pragma once

#include "platform/Types.h"

#include <cstdint>

namespace marigold::platform {

// SendMessageW to the host window; returns the message result.
intptr_t SendHostMessage(WindowHandle Window, uint32_t Message, uintptr_t WParam, intptr_t LParam);

} // namespace marigold::platform
