#pragma once

#include "lib/StringConvertUnit.h"

#include <string>
#include <string_view>
#include <vector>

// Literal implementations of the character classes and conversions (see SearchReference.h):
// ReplaceChars walks the whole From list for every character, and the kana conversions go
// through the literal ReplaceStrings with their 87-entry tables.
namespace marigold::reference {

TCharMembership ClassifyChars(std::u16string_view S, std::u16string_view Chars);
void ReplaceChars(std::u16string& S, std::u16string_view FromChars, std::u16string_view ToChars);
std::vector<std::u16string> CharsToStrings(std::u16string_view Chars);
void ConvertChars(std::u16string& S, TCharConversion Conversion);

} // namespace marigold::reference
