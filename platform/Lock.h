#pragma once

// A lock shared by every process of the user's session (a named mutex on Windows), for a file
// that several editor processes rewrite.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace marigold::platform {

class NamedLock {
public:
  // Takes the lock called Name, waiting at most TimeoutMs; a lock whose holder died is taken
  // over. Error() tells whether it is held.
  NamedLock(std::u16string_view Name, uint32_t TimeoutMs);
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;
  ~NamedLock();

  // Empty while the lock is held; the system's error otherwise (a timeout when another process
  // held it all the time).
  [[nodiscard]] std::error_code Error() const noexcept { return FError; }

private:
  struct State;
  std::unique_ptr<State> FState;
  std::error_code FError;
};

} // namespace marigold::platform
