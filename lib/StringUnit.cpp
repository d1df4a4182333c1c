#include "lib/StringUnit.h"

#include "lib/StringConvertUnit.h"
#include "lib/StringSearchUnit.h"

#include <cstddef>
#include <cstdint>

namespace marigold {

namespace {

constexpr char16_t Backslash[] = u"\\";

std::int64_t Length(std::u16string_view S) noexcept {
  return static_cast<std::int64_t>(S.size());
}

// Where Suffix would have to start to end S. MatchesAt rejects every position below 1 itself;
// only a text too long for 32-bit positions needs the clamp.
std::int32_t SuffixPosition(std::u16string_view S, std::u16string_view Suffix) noexcept {
  const std::int64_t Position = Length(S) - Length(Suffix) + 1;
  return Position < 1 || Position > WholeRest ? 0 : static_cast<std::int32_t>(Position);
}

std::u16string Concat(std::u16string_view A, std::u16string_view B) {
  std::u16string Result;
  Result.reserve(A.size() + B.size());
  Result.append(A).append(B);
  return Result;
}

} // namespace

bool HasPrefix(std::u16string_view S, std::u16string_view Prefix, bool IgnoreCase) noexcept {
  return MatchesAt(Prefix, S, 1, IgnoreCase);
}

bool HasSuffix(std::u16string_view S, std::u16string_view Suffix, bool IgnoreCase) noexcept {
  return MatchesAt(Suffix, S, SuffixPosition(S, Suffix), IgnoreCase);
}

std::u16string EnsurePrefix(std::u16string_view S, std::u16string_view Prefix, bool IgnoreCase) {
  return HasPrefix(S, Prefix, IgnoreCase) ? std::u16string(S) : Concat(Prefix, S);
}

std::u16string EnsureSuffix(std::u16string_view S, std::u16string_view Suffix, bool IgnoreCase) {
  return HasSuffix(S, Suffix, IgnoreCase) ? std::u16string(S) : Concat(S, Suffix);
}

std::u16string RemovePrefix(std::u16string_view S, std::u16string_view Prefix, bool IgnoreCase) {
  return std::u16string(HasPrefix(S, Prefix, IgnoreCase) ? S.substr(Prefix.size()) : S);
}

std::u16string RemoveSuffix(std::u16string_view S, std::u16string_view Suffix, bool IgnoreCase) {
  return std::u16string(HasSuffix(S, Suffix, IgnoreCase) ? S.substr(0, S.size() - Suffix.size())
                                                         : S);
}

std::u16string EncloseWith(std::u16string_view S, std::u16string_view Quote, bool IgnoreCase) {
  if (S.empty())
    return Concat(Quote, Quote);
  return EnsureSuffix(EnsurePrefix(S, Quote, IgnoreCase), Quote, IgnoreCase);
}

std::u16string AddTrailingBackslash(std::u16string_view S) {
  return EnsureSuffix(S, Backslash, /*IgnoreCase=*/false);
}

std::u16string RemoveTrailingBackslash(std::u16string_view S) {
  return RemoveSuffix(S, Backslash, /*IgnoreCase=*/false);
}

std::u16string ExtractBefore(std::u16string_view S, std::u16string_view Delimiter) {
  const std::int32_t Position = FindSubString(Delimiter, S, /*IgnoreCase=*/false);
  return std::u16string(Position > 0 ? S.substr(0, static_cast<std::size_t>(Position) - 1) : S);
}

std::u16string ExtractAfter(std::u16string_view S, std::u16string_view Delimiter) {
  const std::int32_t Position = FindSubString(Delimiter, S, /*IgnoreCase=*/false);
  return std::u16string(
      Position > 0 ? S.substr(static_cast<std::size_t>(Position) - 1 + Delimiter.size()) : S);
}

std::int32_t CountLeadingChars(std::u16string_view S, std::u16string_view Chars) noexcept {
  std::size_t Count = 0;
  while (Count < S.size() && CharInString(S[Count], Chars))
    ++Count;
  return static_cast<std::int32_t>(Count);
}

std::u16string TrimLeadingChars(std::u16string_view S, std::u16string_view Chars) {
  return std::u16string(S.substr(static_cast<std::size_t>(CountLeadingChars(S, Chars))));
}

std::u16string JoinStrings(std::u16string_view Separator, StringArrayView Values,
                           TJoinOptions Options) {
  const bool SkipEmpty = (Options & joSkipEmpty) != 0;
  std::size_t Size = 0;
  for (std::size_t I = 0; I < Values.size(); ++I)
    Size += Values[I].size() + Separator.size();
  std::u16string Result;
  Result.reserve(Size);
  bool First = true;
  for (std::size_t I = 0; I < Values.size(); ++I) {
    if (SkipEmpty && Values[I].empty())
      continue;
    if (!First)
      Result.append(Separator);
    Result.append(Values[I]);
    First = false;
  }
  return Result;
}

std::u16string RemoveRange(std::u16string_view S, std::int32_t Index, std::int32_t Count) {
  if (Index < 1 || Index > Length(S) || Count <= 0)
    return std::u16string(S);
  const auto From = static_cast<std::size_t>(Index) - 1;
  // erase stops at the end, so the whole-rest count needs no addition that could overflow.
  return std::u16string(S).erase(From, static_cast<std::size_t>(Count));
}

std::u16string CopyRange(std::u16string_view S, std::int32_t FromIndex, std::int32_t ToIndex) {
  const std::int64_t From = FromIndex < 1 ? 1 : FromIndex;
  const std::int64_t To = ToIndex < Length(S) ? ToIndex : Length(S);
  if (To < From)
    return {};
  return std::u16string(
      S.substr(static_cast<std::size_t>(From - 1), static_cast<std::size_t>(To - From + 1)));
}

void DeleteLast(std::u16string& S, std::int32_t Count) noexcept {
  if (Count <= 0 || Count > Length(S))
    return;
  S.erase(S.size() - static_cast<std::size_t>(Count));
}

TLineBreakKind TrailingLineBreakKind(std::u16string_view S) noexcept {
  if (S.ends_with(u"\r\n"))
    return lbCRLF;
  if (S.ends_with(u'\n'))
    return lbLF;
  if (S.ends_with(u'\r'))
    return lbCR;
  return lbNone;
}

std::u16string LineBreakText(TLineBreakKind Kind) {
  switch (Kind) {
  case lbCRLF:
    return u"\r\n";
  case lbCR:
    return u"\r";
  case lbLF:
    return u"\n";
  default:
    return {};
  }
}

void DeleteTrailingLineBreak(std::u16string& S) {
  DeleteLast(S, static_cast<std::int32_t>(LineBreakText(TrailingLineBreakKind(S)).size()));
}

std::u16string ExcludeTrailingLineBreak(std::u16string_view S) {
  std::u16string Result(S);
  DeleteTrailingLineBreak(Result);
  return Result;
}

} // namespace marigold
