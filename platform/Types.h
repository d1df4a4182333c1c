#pragma once

#include <cstdint>

namespace marigold::platform {

// A window handle as the host hands it over (HWND on Windows; an opaque token in the stand-in).
using WindowHandle = void*;

} // namespace marigold::platform
