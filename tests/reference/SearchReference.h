#pragma once

#include "lib/StringSearchUnit.h"

#include <cstdint>
#include <string>
#include <string_view>

// Literal, step-by-step implementations of the matching rules, slow on purpose: the oracles of
// the differential tests, the fuzz targets and the benchmarks. With IgnoreCase every comparison
// makes ASCII-folded copies of the compared ranges.
namespace marigold::reference {

bool SameRange(std::u16string_view A, std::u16string_view B, std::int32_t IndexA,
               std::int32_t IndexB, std::int32_t Count, bool IgnoreCase);
bool MatchesAt(std::u16string_view SubStr, std::u16string_view S, std::int32_t Index,
               bool IgnoreCase);
TSearchHit SearchStrings(StringArrayView Patterns, std::u16string_view S, std::int32_t Start,
                         std::int32_t Count, bool IgnoreCase, TSearchDirection Direction);
std::int32_t FindSubString(std::u16string_view SubStr, std::u16string_view S, bool IgnoreCase,
                           std::int32_t Start, std::int32_t Count);
std::int32_t CountSubString(std::u16string_view SubStr, std::u16string_view S, bool NonOverlapping,
                            bool IgnoreCase);
std::u16string ReplaceStrings(std::u16string_view S, StringArrayView SearchList,
                              StringArrayView ReplaceList, bool IgnoreCase, bool ReplaceAll);

} // namespace marigold::reference
