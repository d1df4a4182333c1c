#pragma once

#include "lib/StringSearchUnit.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace marigold {

// Cutting texts at delimiters, affixes, quoting, joining, ranges and trailing line breaks.
// Positions are 1-based and count UTF-16 units. Every IgnoreCase folds only the ASCII letters
// a-z onto A-Z (the rule of MatchesAt); full-width letters always compare exactly.
// Nothing here throws except on memory exhaustion.

// A set with the single element joSkipEmpty (bit 0); pass TJoinOptions{} for the empty set.
enum TJoinOptions : std::uint8_t { joSkipEmpty = 1 };

// The kind of line break that ends a text. Any value above lbNone names no line break.
enum TLineBreakKind : std::uint8_t { lbCRLF = 0, lbCR = 1, lbLF = 2, lbNone = 3 };

// ---- Prefixes and suffixes -------------------------------------------------------------------

// True when Prefix stands at position 1 of S; false when either is empty.
[[nodiscard]] bool HasPrefix(std::u16string_view S, std::u16string_view Prefix,
                             bool IgnoreCase) noexcept;

// True when Suffix stands at the end of S; false when either is empty or Suffix is longer.
[[nodiscard]] bool HasSuffix(std::u16string_view S, std::u16string_view Suffix,
                             bool IgnoreCase) noexcept;

// S when it has Prefix, otherwise Prefix + S.  EnsurePrefix(u"", u"_", false) == u"_"
[[nodiscard]] std::u16string EnsurePrefix(std::u16string_view S, std::u16string_view Prefix,
                                          bool IgnoreCase);

// S when it has Suffix, otherwise S + Suffix.
[[nodiscard]] std::u16string EnsureSuffix(std::u16string_view S, std::u16string_view Suffix,
                                          bool IgnoreCase);

// S without one leading Prefix when it has it, otherwise S.
[[nodiscard]] std::u16string RemovePrefix(std::u16string_view S, std::u16string_view Prefix,
                                          bool IgnoreCase);

// S without one trailing Suffix when it has it, otherwise S.
[[nodiscard]] std::u16string RemoveSuffix(std::u16string_view S, std::u16string_view Suffix,
                                          bool IgnoreCase);

// Quote + Quote for an empty S; otherwise Quote ensured at the front, then at the back.
// Quotes inside S are left alone, and an S that is just one Quote stays as it is:
// EncloseWith(u"\"abc", u"\"", false) == u"\"abc\"", EncloseWith(u"\"", u"\"", false) == u"\""
[[nodiscard]] std::u16string EncloseWith(std::u16string_view S, std::u16string_view Quote,
                                         bool IgnoreCase);

// S ending in exactly one added "\" unless it already ends in one.  AddTrailingBackslash(u"") ==
// u"\\"
[[nodiscard]] std::u16string AddTrailingBackslash(std::u16string_view S);

// S without one trailing "\" (a second one stays).
[[nodiscard]] std::u16string RemoveTrailingBackslash(std::u16string_view S);

// ---- Cutting at a delimiter (case-sensitive, first occurrence) -------------------------------

// Text in front of the first Delimiter; all of S when it does not occur or is empty.
// ExtractBefore(u"C:\\a.txt /l 12", u" /") == u"C:\\a.txt"
[[nodiscard]] std::u16string ExtractBefore(std::u16string_view S, std::u16string_view Delimiter);

// Text behind the first Delimiter; all of S when it does not occur or is empty, so a caller
// detects a missing delimiter by comparing the result with S.
// ExtractAfter(u"a /b /c", u" /") == u"b /c"
[[nodiscard]] std::u16string ExtractAfter(std::u16string_view S, std::u16string_view Delimiter);

// ---- Leading characters of a set -------------------------------------------------------------

// How many characters at the start of S occur in Chars; 0 when Chars is empty.
[[nodiscard]] std::int32_t CountLeadingChars(std::u16string_view S,
                                             std::u16string_view Chars) noexcept;

// S without the characters counted by CountLeadingChars.
[[nodiscard]] std::u16string TrimLeadingChars(std::u16string_view S, std::u16string_view Chars);

// ---- Joining ---------------------------------------------------------------------------------

// The values in order with Separator between each two; with joSkipEmpty empty values are left
// out entirely, otherwise they keep their separators.
// JoinStrings(u" ", {u"a", u"", u"b"}, TJoinOptions{}) == u"a  b"
[[nodiscard]] std::u16string JoinStrings(std::u16string_view Separator, StringArrayView Values,
                                         TJoinOptions Options);

// ---- Ranges ----------------------------------------------------------------------------------

// S with Count characters deleted from Index on (to the end when Count reaches past it);
// S unchanged when Index < 1, Index > Length(S) or Count <= 0.
[[nodiscard]] std::u16string RemoveRange(std::u16string_view S, std::int32_t Index,
                                         std::int32_t Count);

// Characters FromIndex to ToIndex inclusive; FromIndex below 1 counts as 1 and the range is cut
// at the end of S; empty when ToIndex < FromIndex or FromIndex > Length(S).
[[nodiscard]] std::u16string CopyRange(std::u16string_view S, std::int32_t FromIndex,
                                       std::int32_t ToIndex);

// Deletes the last Count characters of S in place; nothing when Count <= 0 or Count > Length(S).
void DeleteLast(std::u16string& S, std::int32_t Count) noexcept;

// ---- Line breaks -----------------------------------------------------------------------------

// The line break ending S; a final CR LF is lbCRLF, never lbLF.
[[nodiscard]] TLineBreakKind TrailingLineBreakKind(std::u16string_view S) noexcept;

// CR LF, CR or LF for the three kinds; empty for lbNone and any other value.
[[nodiscard]] std::u16string LineBreakText(TLineBreakKind Kind);

// Removes exactly one trailing line break of S in place; inner ones stay.
void DeleteTrailingLineBreak(std::u16string& S);

// S without exactly one trailing line break.  ExcludeTrailingLineBreak(u"a\n\r") == u"a\n"
[[nodiscard]] std::u16string ExcludeTrailingLineBreak(std::u16string_view S);

} // namespace marigold
