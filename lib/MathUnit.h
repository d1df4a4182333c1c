#pragma once

#include <cstdint>

namespace marigold {

// True when Low <= Value <= High; always false when Low > High.
// IsBetween(1, 1, 1) == true, IsBetween(5, 5, 1) == false
[[nodiscard]] constexpr bool IsBetween(std::int32_t Low, std::int32_t Value,
                                       std::int32_t High) noexcept {
  return Low <= Value && Value <= High;
}

// N when N > 0, else 0.
[[nodiscard]] constexpr std::int32_t NonNegative(std::int32_t N) noexcept {
  return N > 0 ? N : 0;
}

} // namespace marigold
