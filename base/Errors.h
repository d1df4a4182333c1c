#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <system_error>

namespace marigold {

// The three kinds of failure of the library. Every error carries one message text and, when
// the operating system refused a call, that call's error.

// Root of all errors: a UTF-16 message; what() gives it as UTF-8.
class Exception : public std::exception {
public:
  explicit Exception(std::u16string Message, std::error_code Code = {});
  [[nodiscard]] const std::u16string& Message() const noexcept { return FMessage; }
  // The system's error behind the failure; empty when the library's own rule refused.
  [[nodiscard]] std::error_code Code() const noexcept { return FCode; }
  const char* what() const noexcept override { return FUtf8.c_str(); }

private:
  std::u16string FMessage;
  std::error_code FCode;
  std::string FUtf8;
};

// Failure to open, read, write or close a file.
class EInOutError : public Exception {
public:
  using Exception::Exception;
};

// An internal consistency check failed.
class EAssertionFailed : public Exception {
public:
  using Exception::Exception;
};

// The assertion message: "%s (%s, %d 行)" filled with the check's message, source and line.
// FormatAssertion(u"Listエラー", u"TemplateList\\ListClone", 127)
//   == u"Listエラー (TemplateList\\ListClone, 127 行)"
[[nodiscard]] std::u16string FormatAssertion(std::u16string_view Message,
                                             std::u16string_view Source, int Line);

// Throws EAssertionFailed with the formatted message.
[[noreturn]] void AssertionFailure(std::u16string_view Message, std::u16string_view Source,
                                   int Line);

} // namespace marigold
