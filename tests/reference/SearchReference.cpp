#include "reference/SearchReference.h"

#include "reference/ConvertReference.h"

#include <algorithm>

namespace marigold::reference {
namespace {

std::int32_t Length(std::u16string_view S) {
  return static_cast<std::int32_t>(S.size());
}

// The copy the ASCII fold compares: a to z with bit 5 cleared.
std::u16string AsciiFolded(std::u16string_view S) {
  std::u16string Copy(S);
  for (char16_t& C : Copy)
    if (C >= 97 && C <= 122)
      C = static_cast<char16_t>(C ^ 32);
  return Copy;
}

// A position outside 1 .. Length(S) reads as no character at all.
int CharAt(std::u16string_view S, std::int64_t Index) {
  return Index >= 1 && Index <= Length(S) ? S[static_cast<std::size_t>(Index - 1)] : -1;
}

} // namespace

bool SameRange(std::u16string_view A, std::u16string_view B, std::int32_t IndexA,
               std::int32_t IndexB, std::int32_t Count, bool IgnoreCase) {
  if (Count <= 0)
    return true;
  // A position beyond the end of either string (or before its start) is a difference.
  for (std::int64_t K = 0; K < Count; ++K)
    if (CharAt(A, IndexA + K) < 0 || CharAt(B, IndexB + K) < 0)
      return false;
  const auto RangeA =
      A.substr(static_cast<std::size_t>(IndexA - 1), static_cast<std::size_t>(Count));
  const auto RangeB =
      B.substr(static_cast<std::size_t>(IndexB - 1), static_cast<std::size_t>(Count));
  if (!IgnoreCase)
    return RangeA == RangeB;
  // Folded copies of the compared ranges answer the same as folded copies of the whole strings,
  // without making every search quadratic.
  return AsciiFolded(RangeA) == AsciiFolded(RangeB);
}

bool MatchesAt(std::u16string_view SubStr, std::u16string_view S, std::int32_t Index,
               bool IgnoreCase) {
  if (S.empty() || SubStr.empty())
    return false;
  if (Index < 1 || std::int64_t{Index} > std::int64_t{Length(S)} - Length(SubStr) + 1)
    return false;
  return reference::SameRange(SubStr, S, 1, Index, Length(SubStr), IgnoreCase);
}

TSearchHit SearchStrings(StringArrayView Patterns, std::u16string_view S, std::int32_t Start,
                         std::int32_t Count, bool IgnoreCase, TSearchDirection Direction) {
  TSearchHit Result;
  if (S.empty() || Start < 1 || Start > Length(S) || Count < 1)
    return Result;
  bool AllEmpty = true;
  for (std::size_t I = 0; I < Patterns.size(); ++I)
    if (!Patterns[I].empty())
      AllEmpty = false;
  if (AllEmpty)
    return Result;
  // Signed 32-bit arithmetic that wraps, as the original computes it.
  std::int32_t Last = static_cast<std::int32_t>(static_cast<std::uint32_t>(Start) +
                                                static_cast<std::uint32_t>(Count) - 1u);
  if (Last < 0 || Last > Length(S))
    Last = Length(S);
  auto TryAt = [&](std::int32_t P) {
    for (std::size_t I = 0; I < Patterns.size(); ++I) {
      if (Length(Patterns[I]) > Last - P + 1)
        return false;
      if (Patterns[I].empty())
        continue;
      if (reference::MatchesAt(Patterns[I], S, P, IgnoreCase)) {
        Result = {P, static_cast<std::int32_t>(I)};
        return true;
      }
    }
    return false;
  };
  if (Direction == sdForward) {
    for (std::int32_t P = Start; P <= Last; ++P)
      if (TryAt(P))
        return Result;
  } else if (Direction == sdBackward) {
    for (std::int32_t P = Last; P >= Start; --P)
      if (TryAt(P))
        return Result;
  }
  return Result;
}

std::int32_t FindSubString(std::u16string_view SubStr, std::u16string_view S, bool IgnoreCase,
                           std::int32_t Start, std::int32_t Count) {
  const std::u16string_view Patterns[] = {SubStr};
  return reference::SearchStrings(Patterns, S, Start, Count, IgnoreCase, sdForward).Position;
}

std::int32_t CountSubString(std::u16string_view SubStr, std::u16string_view S, bool NonOverlapping,
                            bool IgnoreCase) {
  if (SubStr.empty() || S.empty())
    return 0;
  std::u16string Sub(SubStr), Text(S);
  if (IgnoreCase) {
    reference::ConvertChars(Sub, ccToUpper);
    reference::ConvertChars(Text, ccToUpper);
  }
  std::int32_t Result = 0;
  for (std::int32_t I = 1; I <= Length(Text); ++I) {
    if (I + Length(Sub) - 1 > Length(Text))
      continue;
    bool Equal = true;
    for (std::int32_t K = 0; K < Length(Sub) && Equal; ++K)
      Equal = Text[static_cast<std::size_t>(I - 1 + K)] == Sub[static_cast<std::size_t>(K)];
    if (Equal) {
      ++Result;
      if (NonOverlapping)
        I += Length(Sub) - 1;
    }
  }
  return Result;
}

std::u16string ReplaceStrings(std::u16string_view S, StringArrayView SearchList,
                              StringArrayView ReplaceList, bool IgnoreCase, bool ReplaceAll) {
  if (SearchList.empty() || SearchList.size() != ReplaceList.size() || S.empty())
    return std::u16string(S);
  std::int64_t Size = Length(S);
  for (std::size_t K = 0; K < SearchList.size(); ++K) {
    if (SearchList[K].empty())
      continue;
    std::int64_t Occurrences = 0;
    for (std::int32_t I = 1; I <= Length(S); ++I)
      if (reference::MatchesAt(SearchList[K], S, I, IgnoreCase)) {
        ++Occurrences;
        I += Length(SearchList[K]) - 1;
      }
    Size += Occurrences * NonNegative(Length(ReplaceList[K]) - Length(SearchList[K]));
  }
  std::u16string Result(static_cast<std::size_t>(Size), u'\0');
  std::int32_t R = 1, W = 1;
  bool Active = true;
  while (R <= Length(S)) {
    bool Replaced = false;
    if (Active)
      for (std::size_t K = 0; K < SearchList.size(); ++K)
        if (reference::MatchesAt(SearchList[K], S, R, IgnoreCase)) {
          for (char16_t C : ReplaceList[K])
            Result.at(static_cast<std::size_t>(W++ - 1)) = C;
          R += Length(SearchList[K]);
          if (!ReplaceAll)
            Active = false;
          Replaced = true;
          break;
        }
    if (!Replaced)
      Result.at(static_cast<std::size_t>(W++ - 1)) = S[static_cast<std::size_t>(R++ - 1)];
  }
  Result.resize(static_cast<std::size_t>(W - 1));
  return Result;
}

} // namespace marigold::reference
