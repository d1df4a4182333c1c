#pragma once

#include "lib/ConstUnit.h"
#include "lib/MathUnit.h"

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marigold {

// Matching, searching, counting and list replacement on UTF-16 text. Positions are 1-based,
// lengths count 16-bit units, and WholeRest as a Count means "to the end of the string".
// Two case folds exist: the ASCII fold (only a-z equal A-Z) of SameRange and everything built
// on it, and the letter fold of CountSubString (ASCII and full-width letters, as ccToUpper).
// Nothing here throws except on memory exhaustion (only the operations not marked noexcept
// allocate).

// Result of a search: 1-based Position and 0-based PatternIndex; (0, -1) when nothing matched.
struct TSearchHit {
  std::int32_t Position = 0;
  std::int32_t PatternIndex = -1;
  friend bool operator==(const TSearchHit&, const TSearchHit&) = default;
};

// Any value other than sdForward or sdBackward makes a search find nothing.
enum TSearchDirection : std::uint8_t { sdForward = 0, sdBackward = 1 };

// A read-only view of an array of strings: a braced list of literals, or any contiguous array
// of std::u16string or std::u16string_view. It never owns the strings: use it as a parameter
// type only.
class StringArrayView {
public:
  constexpr StringArrayView() noexcept = default;
  constexpr StringArrayView(std::initializer_list<std::u16string_view> Items) noexcept
      : FViews(std::data(Items)), FSize(Items.size()) {}
  template <std::ranges::contiguous_range R>
  requires std::same_as<std::ranges::range_value_t<R>, std::u16string_view>
  constexpr StringArrayView(const R& Items) noexcept
      : FViews(std::ranges::data(Items)), FSize(std::ranges::size(Items)) {}
  template <std::ranges::contiguous_range R>
  requires std::same_as<std::ranges::range_value_t<R>, std::u16string>
  constexpr StringArrayView(const R& Items) noexcept
      : FStrings(std::ranges::data(Items)), FSize(std::ranges::size(Items)) {}

  constexpr std::size_t size() const noexcept { return FSize; }
  constexpr bool empty() const noexcept { return FSize == 0; }
  constexpr std::u16string_view operator[](std::size_t I) const noexcept {
    return FStrings ? std::u16string_view(FStrings[I]) : FViews[I];
  }

private:
  const std::u16string_view* FViews = nullptr;
  const std::u16string* FStrings = nullptr;
  std::size_t FSize = 0;
};

// True when the Count units of A from IndexA equal those of B from IndexB under the ASCII
// fold (with IgnoreCase); a position outside either string is a difference. True for Count <= 0.
[[nodiscard]] bool SameRange(std::u16string_view A, std::u16string_view B, std::int32_t IndexA,
                             std::int32_t IndexB, std::int32_t Count, bool IgnoreCase) noexcept;

// True when SubStr stands in S exactly at Index (ASCII fold with IgnoreCase); false for an
// empty S or SubStr and when SubStr would not fit there.
[[nodiscard]] bool MatchesAt(std::u16string_view SubStr, std::u16string_view S, std::int32_t Index,
                             bool IgnoreCase) noexcept;

// The first position of the region Start .. Start + Count - 1 (cut at the end of S; a sum that
// wraps past 2147483647 also means the end) at which one of Patterns stands wholly inside the
// region, scanning forwards or backwards. At each position the patterns are tried in array
// order, and the first one longer than the room left ends the trying at that position:
// SearchStrings({u"abc", u"c"}, u"xc", 1, WholeRest, false, sdForward) finds nothing, while
// {u"c", u"abc"} gives (2, 0). Empty patterns never match.
[[nodiscard]] TSearchHit SearchStrings(StringArrayView Patterns, std::u16string_view S,
                                       std::int32_t Start, std::int32_t Count, bool IgnoreCase,
                                       TSearchDirection Direction);

// First position of SubStr inside the region Start .. Start + Count - 1; 0 when absent.
// FindSubString(u" /", u"abc /l 3") == 4
[[nodiscard]] std::int32_t FindSubString(std::u16string_view SubStr, std::u16string_view S,
                                         bool IgnoreCase, std::int32_t Start = 1,
                                         std::int32_t Count = WholeRest) noexcept;

// FindSubString with the region before the case flag.
[[nodiscard]] std::int32_t FindSubStringIn(std::u16string_view SubStr, std::u16string_view S,
                                           std::int32_t Start, std::int32_t Count,
                                           bool IgnoreCase) noexcept;

// FindSubString(SubStr, S, IgnoreCase) >= 1.
[[nodiscard]] bool ContainsSubString(std::u16string_view SubStr, std::u16string_view S,
                                     bool IgnoreCase) noexcept;

// FindSubStringIn(SubStr, S, Start, Count, IgnoreCase) >= 1.
// ContainsSubStringIn(u":", u"Cx:", 2, 1, false) == false (the region is position 2 only)
[[nodiscard]] bool ContainsSubStringIn(std::u16string_view SubStr, std::u16string_view S,
                                       std::int32_t Start, std::int32_t Count,
                                       bool IgnoreCase) noexcept;

// Number of places where SubStr occurs in S; 0 when either is empty. IgnoreCase uses the
// letter fold (full-width letters too). CountSubString(u"aa", u"aaaa", false, false) == 3,
// with NonOverlapping 2.
[[nodiscard]] std::int32_t CountSubString(std::u16string_view SubStr, std::u16string_view S,
                                          bool NonOverlapping, bool IgnoreCase);

// S with the search strings replaced by the replacements of the same index in one left-to-right
// pass: at each position the first listed search string that matches wins (not the longest),
// replaced text is never searched again, and with ReplaceAll false only the leftmost match is
// replaced. S unchanged for an empty SearchList or lists of different lengths.
// ReplaceStrings(u"a\tb\r\nc\rd\ne", {u"\t", u"\r\n", u"\r", u"\n"}, {u" ", u" ", u"", u""},
//                false, true) == u"a b cde"
[[nodiscard]] std::u16string ReplaceStrings(std::u16string_view S, StringArrayView SearchList,
                                            StringArrayView ReplaceList, bool IgnoreCase,
                                            bool ReplaceAll);

} // namespace marigold
