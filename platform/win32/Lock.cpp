#include "platform/Lock.h"

#include "base/WideText.h"
#include "platform/Error.h"
#include "platform/win32/Handles.h"

#include <windows.h>

namespace marigold::platform {
struct NamedLock::State {
  UniqueKernelHandle Mutex;
  bool Held = false;
};

NamedLock::NamedLock(std::u16string_view Name, uint32_t TimeoutMs)
    : FState(std::make_unique<State>()) {
  FState->Mutex.reset(CreateMutexW(nullptr, FALSE, marigold::ToWide(Name).c_str()));
  if (!FState->Mutex) {
    FError = LastError();
    return;
  }
  switch (WaitForSingleObject(FState->Mutex.get(), TimeoutMs)) {
  case WAIT_OBJECT_0:
  case WAIT_ABANDONED: // its holder died; what it guarded is whole, as saves replace the file
    FState->Held = true;
    break;
  case WAIT_TIMEOUT:
    FError = std::error_code(ERROR_TIMEOUT, std::system_category());
    break;
  default:
    FError = LastError();
  }
}

NamedLock::~NamedLock() {
  if (FState && FState->Held)
    ReleaseMutex(FState->Mutex.get());
}

} // namespace marigold::platform
