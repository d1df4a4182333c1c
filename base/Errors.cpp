#include "base/Errors.h"

#include "base/Unicode.h"

namespace marigold {

Exception::Exception(std::u16string Message, std::error_code Code)
    : FMessage(std::move(Message)), FCode(Code), FUtf8(ToUtf8(FMessage)) {}

std::u16string FormatAssertion(std::u16string_view Message, std::u16string_view Source, int Line) {
  std::u16string Result(Message);
  Result += u" (";
  Result += Source;
  Result += u", ";
  for (char C : std::to_string(Line))
    Result += static_cast<char16_t>(C);
  Result += u" 行)";
  return Result;
}

void AssertionFailure(std::u16string_view Message, std::u16string_view Source, int Line) {
  throw EAssertionFailed(FormatAssertion(Message, Source, Line));
}

std::string ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (size_t I = 0; I < Text.size(); ++I) {
    char32_t C = Text[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
        Text[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (Text[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) {
      C = 0xFFFD;
    }
    AppendUtf8(Out, C);
  }
  return Out;
}

} // namespace marigold
