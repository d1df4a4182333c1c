#pragma once

// The one error rule of the seam: a call that can fail reports the operating system's error,
// taken at the call site, as a std::error_code (empty on success). Callers that the behaviour
// wants silent drop it explicitly.

#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace marigold::platform {

// The error of the call that just failed: GetLastError() on Windows, errno elsewhere; a general
// failure code when the system left none.
[[nodiscard]] std::error_code LastError() noexcept;

// The refusal of a write to a read-only file or a folder, as the system reports it.
[[nodiscard]] std::error_code AccessDenied() noexcept;

// A file of that name exists where none may.
[[nodiscard]] std::error_code AlreadyExists() noexcept;

// A write the disk did not take whole.
[[nodiscard]] std::error_code ShortWrite() noexcept;

// The file or a folder on its way does not exist (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND),
// and nothing else: a look-up that was refused or that failed on a share cannot tell.
[[nodiscard]] bool IsNotFound(std::error_code Error) noexcept;
// Another program holds the file for a moment (a sharing or lock violation, or access refused as
// a scanner or a delete in progress does): worth another try shortly.
[[nodiscard]] bool IsBusy(std::error_code Error) noexcept;

// What the system says about Error, in the user's language (FormatMessageW on Windows), on one
// line; empty for no error or when the system has no text for it.
[[nodiscard]] std::u16string SystemReason(std::error_code Error);

// A value, or the system's error that stands in its place: the seam's one form for calls that
// answer something or fail.
template <class T> class [[nodiscard]] Result {
public:
  Result(T Value) : FValue(std::move(Value)) {}
  // Error is never empty here.
  Result(std::error_code Error) : FError(Error) {}

  explicit operator bool() const noexcept { return FValue.has_value(); }
  [[nodiscard]] T& operator*() { return *FValue; }
  [[nodiscard]] const T& operator*() const { return *FValue; }
  [[nodiscard]] T* operator->() { return &*FValue; }
  [[nodiscard]] const T* operator->() const { return &*FValue; }
  // Empty when there is a value.
  [[nodiscard]] std::error_code Error() const noexcept { return FError; }

private:
  std::optional<T> FValue;
  std::error_code FError;
};

} // namespace marigold::platform
