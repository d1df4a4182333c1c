#include "platform/Error.h"

#include "base/Unicode.h"

#include <cerrno>
#include <string>

namespace marigold::platform {

std::error_code LastError() noexcept {
  return {errno != 0 ? errno : EIO, std::system_category()};
}

std::error_code AccessDenied() noexcept {
  return {EACCES, std::system_category()};
}

std::error_code AlreadyExists() noexcept {
  return {EEXIST, std::system_category()};
}

std::error_code ShortWrite() noexcept {
  return {ENOSPC, std::system_category()};
}

std::u16string SystemReason(std::error_code Error) {
  if (!Error)
    return {};
  return FromUtf8(Error.message());
}

} // namespace marigold::platform
