#pragma once

// Threads that nobody waits for: work that may block longer than its caller may wait.

#include <functional>
#include <system_error>

namespace marigold::platform {

// Runs Work on a new thread of its own and returns at once; what Work throws is dropped. On
// Windows the thread holds a reference on the module that contains this code until Work has
// returned, so that an unload of the plug-in meanwhile leaves the code in place until the thread
// is done with it. The system's error when no thread could be started; Work is dropped then.
[[nodiscard]] std::error_code StartDetachedThread(std::function<void()> Work);

} // namespace marigold::platform
