#include "lib/StringSearchUnit.h"

#include "lib/StringConvertUnit.h"

#include <algorithm>

namespace {

constexpr char16_t AsciiFold(char16_t C) noexcept {
  return C >= u'a' && C <= u'z' ? static_cast<char16_t>(C ^ 32) : C;
}

bool EqualAt(std::u16string_view A, std::size_t IA, std::u16string_view B, std::size_t IB,
             std::size_t Count, bool IgnoreCase) noexcept {
  if (!IgnoreCase)
    return A.substr(IA, Count) == B.substr(IB, Count);
  for (std::size_t K = 0; K < Count; ++K)
    if (AsciiFold(A[IA + K]) != AsciiFold(B[IB + K]))
      return false;
  return true;
}

} // namespace

bool SameRange(std::u16string_view A, std::u16string_view B, std::int32_t IndexA,
               std::int32_t IndexB, std::int32_t Count, bool IgnoreCase) noexcept {
  if (Count <= 0)
    return true;
  auto Fits = [Count](std::u16string_view S, std::int32_t Index) {
    return Index >= 1 && std::int64_t{Index} + Count - 1 <= static_cast<std::int64_t>(S.size());
  };
  if (!Fits(A, IndexA) || !Fits(B, IndexB))
    return false;
  return EqualAt(A, static_cast<std::size_t>(IndexA - 1), B, static_cast<std::size_t>(IndexB - 1),
                 static_cast<std::size_t>(Count), IgnoreCase);
}

bool MatchesAt(std::u16string_view SubStr, std::u16string_view S, std::int32_t Index,
               bool IgnoreCase) noexcept {
  if (S.empty() || SubStr.empty() || SubStr.size() > S.size() || Index < 1 ||
      static_cast<std::size_t>(Index) > S.size() - SubStr.size() + 1)
    return false;
  return EqualAt(SubStr, 0, S, static_cast<std::size_t>(Index - 1), SubStr.size(), IgnoreCase);
}

TSearchHit SearchStrings(StringArrayView Patterns, std::u16string_view S, std::int32_t Start,
                         std::int32_t Count, bool IgnoreCase, TSearchDirection Direction) noexcept {
  const TSearchHit NotFound;
  const auto Length = static_cast<std::int64_t>(S.size());
  if (S.empty() || Start < 1 || Start > Length || Count < 1)
    return NotFound;
  bool AllEmpty = true;
  for (std::size_t I = 0; I < Patterns.size(); ++I)
    AllEmpty = AllEmpty && Patterns[I].empty();
  if (AllEmpty || (Direction != sdForward && Direction != sdBackward))
    return NotFound;
  // A sum past 2147483647 wraps negative in 32 bits, which means the end as well.
  const std::int64_t Last = std::min<std::int64_t>(std::int64_t{Start} + Count - 1, Length);
  auto TryAt = [&](std::int64_t P) -> TSearchHit {
    for (std::size_t I = 0; I < Patterns.size(); ++I) {
      const std::u16string_view Pattern = Patterns[I];
      if (static_cast<std::int64_t>(Pattern.size()) > Last - P + 1)
        break;
      if (!Pattern.empty() &&
          EqualAt(Pattern, 0, S, static_cast<std::size_t>(P - 1), Pattern.size(), IgnoreCase))
        return {static_cast<std::int32_t>(P), static_cast<std::int32_t>(I)};
    }
    return {};
  };
  if (Direction == sdForward) {
    for (std::int64_t P = Start; P <= Last; ++P)
      if (TSearchHit Hit = TryAt(P); Hit.Position != 0)
        return Hit;
  } else {
    for (std::int64_t P = Last; P >= Start; --P)
      if (TSearchHit Hit = TryAt(P); Hit.Position != 0)
        return Hit;
  }
  return NotFound;
}

std::int32_t FindSubString(std::u16string_view SubStr, std::u16string_view S, bool IgnoreCase,
                           std::int32_t Start, std::int32_t Count) noexcept {
  return SearchStrings({SubStr}, S, Start, Count, IgnoreCase, sdForward).Position;
}

std::int32_t FindSubStringIn(std::u16string_view SubStr, std::u16string_view S, std::int32_t Start,
                             std::int32_t Count, bool IgnoreCase) noexcept {
  return FindSubString(SubStr, S, IgnoreCase, Start, Count);
}

bool ContainsSubString(std::u16string_view SubStr, std::u16string_view S,
                       bool IgnoreCase) noexcept {
  return FindSubString(SubStr, S, IgnoreCase, 1, WholeRest) >= 1;
}

bool ContainsSubStringIn(std::u16string_view SubStr, std::u16string_view S, std::int32_t Start,
                         std::int32_t Count, bool IgnoreCase) noexcept {
  return FindSubStringIn(SubStr, S, Start, Count, IgnoreCase) >= 1;
}

std::int32_t CountSubString(std::u16string_view SubStr, std::u16string_view S, bool NonOverlapping,
                            bool IgnoreCase) {
  if (SubStr.empty() || S.empty() || SubStr.size() > S.size())
    return 0;
  std::u16string Sub(SubStr), Text(S);
  if (IgnoreCase) {
    ConvertChars(Sub, ccToUpper);
    ConvertChars(Text, ccToUpper);
  }
  std::int32_t Result = 0;
  const std::size_t Step = NonOverlapping ? Sub.size() : 1;
  for (std::size_t I = Text.find(Sub); I != std::u16string::npos; I = Text.find(Sub, I + Step))
    ++Result;
  return Result;
}

std::u16string ReplaceStrings(std::u16string_view S, StringArrayView SearchList,
                              StringArrayView ReplaceList, bool IgnoreCase, bool ReplaceAll) {
  if (SearchList.empty() || SearchList.size() != ReplaceList.size() || S.empty())
    return std::u16string(S);
  std::u16string Result;
  Result.reserve(S.size());
  bool Active = true;
  std::size_t R = 0;
  while (R < S.size()) {
    bool Replaced = false;
    if (Active) {
      for (std::size_t K = 0; K < SearchList.size(); ++K) {
        const std::u16string_view Search = SearchList[K];
        if (!Search.empty() && Search.size() <= S.size() - R &&
            EqualAt(Search, 0, S, R, Search.size(), IgnoreCase)) {
          Result += ReplaceList[K];
          R += Search.size();
          Active = ReplaceAll;
          Replaced = true;
          break;
        }
      }
    }
    if (!Replaced)
      Result += S[R++];
  }
  return Result;
}
