#include "platform/Lock.h"

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>

namespace marigold::platform {
namespace {

// The stand-in's locks live in this process; a test holds one from another thread.
std::mutex Registry;
std::map<std::u16string, std::timed_mutex, std::less<>> Locks;

std::timed_mutex& LockCalled(std::u16string_view Name) {
  const std::scoped_lock Guard(Registry);
  return Locks[std::u16string(Name)];
}

} // namespace

struct NamedLock::State {
  std::timed_mutex* Mutex = nullptr;
};

NamedLock::NamedLock(std::u16string_view Name, uint32_t TimeoutMs)
    : FState(std::make_unique<State>()) {
  std::timed_mutex& Mutex = LockCalled(Name);
  if (Mutex.try_lock_for(std::chrono::milliseconds(TimeoutMs)))
    FState->Mutex = &Mutex;
  else
    FError = std::error_code(ETIMEDOUT, std::system_category());
}

NamedLock::~NamedLock() {
  if (FState && FState->Mutex)
    FState->Mutex->unlock();
}

} // namespace marigold::platform
