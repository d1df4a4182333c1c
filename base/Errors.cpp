#include "base/Errors.h"

#include "base/TextFormat.h"
#include "base/Unicode.h"

namespace marigold {

Exception::Exception(std::u16string Message, std::error_code Code)
    : FMessage(std::move(Message)), FCode(Code), FUtf8(ToUtf8(FMessage)) {}

std::u16string FormatAssertion(std::u16string_view Message, std::u16string_view Source, int Line) {
  return std::u16string(Message) + u" (" + std::u16string(Source) + u", " + Decimal(Line) + u" 行)";
}

void AssertionFailure(std::u16string_view Message, std::u16string_view Source, int Line) {
  throw EAssertionFailed(FormatAssertion(Message, Source, Line));
}

} // namespace marigold
