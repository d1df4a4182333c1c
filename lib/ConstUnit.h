#pragma once

#include <cstdint>
#include <string_view>

namespace marigold {

// Constants shared by the text utilities.

// The drive-letter class: A to Z, then a to z (52 characters).
inline constexpr std::u16string_view AsciiLetters =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The largest count; as a Count argument it reaches to the end of the string.
inline constexpr std::int32_t WholeRest = 2147483647;

} // namespace marigold
