#pragma once

// Literal, unoptimised versions of the container algorithms, and the plain line splitter the
// benchmarks measure against.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marigold::reference {

// SplitText position by position: at every position each delimiter is tried in array order.
// Style 0 ... 4 as TDelimitStyle; any other value gives no pieces.
std::vector<std::u16string> SplitText(std::u16string_view Value,
                                      const std::vector<std::u16string>& Delimiters, int Style);

// Lines with their line breaks (CR LF, CR, LF) found with find_first_of; a last line without a
// break only when non-empty.
std::vector<std::u16string> SplitLines(std::u16string_view Value);

// The quicksort partitioning of the pointer list, on a vector, without bounds guards.
using Compare = int32_t (*)(void*, void*);
void SortRange(std::vector<void*>& Items, int32_t L, int32_t R, Compare Cmp);

} // namespace marigold::reference
