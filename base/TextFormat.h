#pragma once

// Numbers as text: the one decimal and the one hexadecimal writer of the layers.

#include <cstdint>
#include <string>

namespace marigold {

// N in decimal, a minus sign in front when negative, no leading zeros.
inline std::u16string Decimal(int64_t N) {
  const std::string Digits = std::to_string(N);
  return std::u16string(Digits.begin(), Digits.end());
}

enum class HexCase : uint8_t { Upper, Lower };

// Appends the low Digits hexadecimal digits of Value, most significant first, zeros in front.
template <class Char>
void AppendHex(std::basic_string<Char>& Out, uint64_t Value, int Digits, HexCase Case) {
  const char* Table = Case == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
  for (int Shift = (Digits - 1) * 4; Shift >= 0; Shift -= 4)
    Out += static_cast<Char>(Table[(Value >> Shift) & 0xF]);
}

} // namespace marigold
