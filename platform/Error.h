#pragma once

// The one error rule of the seam: a call that can fail reports the operating system's error,
// taken at the call site, as a std::error_code (empty on success). Callers that the behaviour
// wants silent drop it explicitly.

#include <string>
#include <system_error>

namespace platform {

// The error of the call that just failed: GetLastError() on Windows, errno elsewhere; a general
// failure code when the system left none.
[[nodiscard]] std::error_code LastError() noexcept;

// The refusal of a write to a read-only file or a folder, as the system reports it.
[[nodiscard]] std::error_code AccessDenied() noexcept;

// A read that ended before the buffer was full, and a write the disk did not take whole.
[[nodiscard]] std::error_code ShortRead() noexcept;
[[nodiscard]] std::error_code ShortWrite() noexcept;

// What the system says about Error, in the user's language (FormatMessageW on Windows), on one
// line; empty for no error or when the system has no text for it.
[[nodiscard]] std::u16string SystemReason(std::error_code Error);

} // namespace platform
