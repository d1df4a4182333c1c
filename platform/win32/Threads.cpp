#include "platform/Threads.h"

#include "platform/Error.h"

#include <windows.h>

#include <memory>

namespace marigold::platform {
namespace {

struct ThreadStart {
  std::function<void()> Work;
  HMODULE Module = nullptr;
};

DWORD WINAPI RunDetached(void* Parameter) {
  HMODULE Module = nullptr;
  {
    const std::unique_ptr<ThreadStart> Start(static_cast<ThreadStart*>(Parameter));
    Module = Start->Module;
    try {
      Start->Work();
    } catch (...) { // a thread of ours never ends the host
    }
  }
  // Lets go of the module and ends the thread in one step: the code after it may be gone.
  FreeLibraryAndExitThread(Module, 0);
}

} // namespace

std::error_code StartDetachedThread(std::function<void()> Work) {
  HMODULE Module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&RunDetached), &Module))
    return LastError();
  auto Start = std::make_unique<ThreadStart>(ThreadStart{std::move(Work), Module});
  const HANDLE Thread = CreateThread(nullptr, 0, RunDetached, Start.get(), 0, nullptr);
  if (!Thread) {
    const std::error_code Error = LastError();
    FreeLibrary(Module);
    return Error;
  }
  (void)Start.release(); // the thread's own now
  CloseHandle(Thread);
  return {};
}

} // namespace marigold::platform
