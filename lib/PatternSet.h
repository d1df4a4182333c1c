#pragma once

// Internal to the library: the prepared search strings behind ReplaceStrings and the kana
// conversions. Callers outside lib/ use StringSearchUnit.h.

#include "lib/StringSearchUnit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marigold {

// Search strings prepared once for many scans: indexed by their first unit (ASCII-folded with
// IgnoreCase) so that trying them at a position costs about one lookup, with list order kept
// as the tie-break. It refers to the strings of Patterns, which must outlive it.
class PatternSet {
public:
  PatternSet(StringArrayView Patterns, bool IgnoreCase);

  std::size_t size() const noexcept { return FPatterns.size(); }
  std::u16string_view operator[](std::size_t I) const noexcept { return FPatterns[I]; }
  bool IgnoreCase() const noexcept { return FIgnoreCase; }
  std::size_t MaxLength() const noexcept { return FMaxLength; }

  // False when no pattern can begin with the unit C as it stands in the text (either case of a
  // letter counts when the set ignores case): the scans skip such units without folding.
  bool MayStartWith(char16_t C) const noexcept { return FMayStart[C % BucketCount] != 0; }

  // Indices, ascending, of the non-empty patterns that may begin with First (already folded
  // when the set ignores case); the caller still compares them.
  std::span<const std::uint32_t> CandidatesFor(char16_t First) const noexcept {
    const std::size_t Bucket = First % BucketCount;
    return {FOrder.data() + FBucketStart[Bucket], FOrder.data() + FBucketStart[Bucket + 1]};
  }

private:
  static constexpr std::size_t BucketCount = 1024;
  std::vector<std::u16string_view> FPatterns;
  std::vector<std::uint32_t> FBucketStart; // BucketCount + 1 offsets into FOrder
  std::vector<std::uint32_t> FOrder;       // non-empty pattern indices, ascending per bucket
  std::array<std::uint8_t, BucketCount> FMayStart{};
  std::size_t FMaxLength = 0;
  bool FIgnoreCase = false;
};

// S := ReplaceStrings(S, SearchList, ReplaceList, SearchList's case rule, ReplaceAll), with the
// search strings prepared once; written in place when no replacement is longer than its search
// string. The replacements must not point into S.
void ReplaceStringsInPlace(std::u16string& S, const PatternSet& SearchList,
                           StringArrayView ReplaceList, bool ReplaceAll);

} // namespace marigold
