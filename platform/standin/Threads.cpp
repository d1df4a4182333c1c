#include "platform/Threads.h"

#include <thread>

namespace marigold::platform {

std::error_code StartDetachedThread(std::function<void()> Work) {
  try {
    std::thread([Work = std::move(Work)] {
      try {
        Work();
      } catch (...) { // a thread of ours never ends the process
      }
    }).detach();
    return {};
  } catch (const std::system_error& Failure) {
    return Failure.code();
  }
}

} // namespace marigold::platform
