#include "lib/StringSearchUnit.h"

#include "base/Unicode.h"
#include "lib/PatternSet.h"

#include "lib/StringConvertUnit.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace marigold {

namespace {

struct NoFold {
  static char16_t Apply(char16_t C) noexcept { return C; }
};
struct WithAsciiFold {
  static char16_t Apply(char16_t C) noexcept { return AsciiUppercase(C); }
};

// Folds on the fly: never a copy of either side.
template <class Fold>
bool EqualUnits(const char16_t* A, const char16_t* B, std::size_t Count) noexcept {
  if constexpr (std::is_same_v<Fold, NoFold>)
    if (Count > 8)
      return std::memcmp(A, B, Count * sizeof(char16_t)) == 0;
  for (std::size_t K = 0; K < Count; ++K)
    if (Fold::Apply(A[K]) != Fold::Apply(B[K]))
      return false;
  return true;
}

bool EqualUnits(const char16_t* A, const char16_t* B, std::size_t Count, bool IgnoreCase) noexcept {
  return IgnoreCase ? EqualUnits<WithAsciiFold>(A, B, Count) : EqualUnits<NoFold>(A, B, Count);
}

// The first position from From on whose unit may begin a pattern of Set; Length when none.
std::size_t SkipUnstartable(const PatternSet& Set, const char16_t* Text, std::size_t From,
                            std::size_t Length) noexcept {
  auto Flag = [&](std::size_t I) { return static_cast<unsigned>(Set.MayStartWith(Text[I])); };
  std::size_t P = From;
  // Four units per test, without branching on each: most text has long runs that begin nothing.
  while (P + 4 <= Length && (Flag(P) | Flag(P + 1) | Flag(P + 2) | Flag(P + 3)) == 0)
    P += 4;
  while (P < Length && !Set.MayStartWith(Text[P]))
    ++P;
  return P;
}

// Index of the first pattern of Set below Limit that stands at Text[0] and fits in Room; -1
// when none does.
template <class Fold>
std::ptrdiff_t MatchAt(const PatternSet& Set, const char16_t* Text, std::size_t Room,
                       std::size_t Limit) noexcept {
  const char16_t First = Fold::Apply(Text[0]);
  for (const std::uint32_t I : Set.CandidatesFor(First)) {
    if (I >= Limit)
      break;
    const std::u16string_view Pattern = Set[I];
    if (Pattern.size() <= Room && Fold::Apply(Pattern[0]) == First &&
        EqualUnits<Fold>(Pattern.data() + 1, Text + 1, Pattern.size() - 1))
      return static_cast<std::ptrdiff_t>(I);
  }
  return -1;
}

// The region Start .. Start + Count - 1 of S as 0-based [Begin, End), or nothing when a search
// there must give up at once.
struct Region {
  std::size_t Begin = 0, End = 0;
};
bool SearchRegion(std::u16string_view S, std::int32_t Start, std::int32_t Count,
                  TSearchDirection Direction, Region& Out) {
  const auto Length = static_cast<std::int64_t>(S.size());
  if (S.empty() || Start < 1 || Start > Length || Count < 1 ||
      (Direction != sdForward && Direction != sdBackward))
    return false;
  // In 32 bits a sum past 2147483647 wraps negative, which the rule maps to the end as well; in
  // 64 bits both cases are the same clamp.
  const std::int64_t Last = std::min<std::int64_t>(std::int64_t{Start} + Count - 1, Length);
  Out = {static_cast<std::size_t>(Start - 1), static_cast<std::size_t>(Last)};
  return true;
}

// One pattern: positions where it would not fit in the region are never tried.
template <class Fold>
std::int64_t FindOne(std::u16string_view Pattern, std::u16string_view S, Region In,
                     TSearchDirection Direction) noexcept {
  const std::size_t Length = Pattern.size();
  if (Length > In.End - In.Begin)
    return -1;
  // Under the fold a unit stands for the letter A exactly when (unit | 32) == 'a'; other first
  // units compare as they are. So the scan never folds the text.
  const char16_t First = Fold::Apply(Pattern[0]);
  const bool Letter = std::is_same_v<Fold, WithAsciiFold> && First >= u'A' && First <= u'Z';
  const char16_t Mask = Letter ? 32 : 0;
  const auto Target = static_cast<char16_t>(First | Mask);
  const char16_t* Text = S.data();
  auto MatchesHere = [&](std::size_t P) {
    return (Text[P] | Mask) == Target &&
           EqualUnits<Fold>(Text + P + 1, Pattern.data() + 1, Length - 1);
  };
  const std::size_t LastStart = In.End - Length;
  if (Direction == sdForward) {
    for (std::size_t P = In.Begin; P <= LastStart; ++P)
      if (MatchesHere(P))
        return static_cast<std::int64_t>(P);
  } else {
    for (std::size_t P = LastStart + 1; P-- > In.Begin;)
      if (MatchesHere(P))
        return static_cast<std::int64_t>(P);
  }
  return -1;
}

// SearchStrings with one pattern; it never allocates.
TSearchHit SearchOne(std::u16string_view Pattern, std::u16string_view S, std::int32_t Start,
                     std::int32_t Count, bool IgnoreCase, TSearchDirection Direction) noexcept {
  Region In;
  if (Pattern.empty() || !SearchRegion(S, Start, Count, Direction, In))
    return {};
  const std::int64_t P = IgnoreCase ? FindOne<WithAsciiFold>(Pattern, S, In, Direction)
                                    : FindOne<NoFold>(Pattern, S, In, Direction);
  return P < 0 ? TSearchHit{} : TSearchHit{static_cast<std::int32_t>(P + 1), 0};
}

// Several patterns: where the region leaves room for the longest one, every pattern is tried
// and the index finds the first that matches; nearer the end of the region, the first pattern
// too long for the room left ends the trying, so fewer are allowed.
template <class Fold>
TSearchHit FindAny(const PatternSet& Patterns, std::u16string_view S, Region In,
                   TSearchDirection Direction) noexcept {
  auto AllowedAt = [&](std::size_t Room) {
    if (Room >= Patterns.MaxLength())
      return Patterns.size();
    std::size_t Limit = 0;
    while (Limit < Patterns.size() && Patterns[Limit].size() <= Room)
      ++Limit;
    return Limit;
  };
  auto TryAt = [&](std::size_t P) {
    const std::size_t Room = In.End - P;
    return MatchAt<Fold>(Patterns, S.data() + P, Room, AllowedAt(Room));
  };
  auto Hit = [](std::size_t P, std::ptrdiff_t Index) {
    return TSearchHit{static_cast<std::int32_t>(P + 1), static_cast<std::int32_t>(Index)};
  };
  const char16_t* Text = S.data();
  if (Direction == sdForward) {
    for (std::size_t P = In.Begin; P < In.End; ++P)
      if (Patterns.MayStartWith(Text[P]))
        if (const std::ptrdiff_t Index = TryAt(P); Index >= 0)
          return Hit(P, Index);
  } else {
    for (std::size_t P = In.End; P-- > In.Begin;)
      if (Patterns.MayStartWith(Text[P]))
        if (const std::ptrdiff_t Index = TryAt(P); Index >= 0)
          return Hit(P, Index);
  }
  return {};
}

// Non-overlapping occurrences of Pattern in S under the ASCII fold (with IgnoreCase).
template <class Fold>
std::size_t CountNonOverlapping(std::u16string_view Pattern, std::u16string_view S) noexcept {
  const std::size_t Length = Pattern.size();
  if (Length == 0 || Length > S.size())
    return 0;
  const char16_t First = Fold::Apply(Pattern[0]);
  if (Length == 1)
    return static_cast<std::size_t>(
        std::count_if(S.begin(), S.end(), [First](char16_t C) { return Fold::Apply(C) == First; }));
  std::size_t Result = 0;
  const char16_t* Text = S.data();
  for (std::size_t P = 0; P + Length <= S.size();) {
    if (Fold::Apply(Text[P]) == First &&
        EqualUnits<Fold>(Text + P + 1, Pattern.data() + 1, Length - 1)) {
      ++Result;
      P += Length;
    } else {
      ++P;
    }
  }
  return Result;
}

// Length of the result: S plus the growth of every replacement longer than its search
// string, once per non-overlapping occurrence; never less than what the scan writes.
template <class Fold>
std::size_t ResultCapacity(std::u16string_view S, const PatternSet& SearchList,
                           StringArrayView ReplaceList) noexcept {
  std::size_t Size = S.size();
  for (std::size_t K = 0; K < SearchList.size(); ++K)
    if (ReplaceList[K].size() > SearchList[K].size())
      Size += CountNonOverlapping<Fold>(SearchList[K], S) *
              (ReplaceList[K].size() - SearchList[K].size());
  return Size;
}

// The replacing scan; returns the number of units written to Out. Out may be S.data() itself
// when no replacement is longer than its search string: writing then never overtakes reading.
template <class Fold>
std::size_t ScanReplacing(std::u16string_view S, const PatternSet& SearchList,
                          StringArrayView ReplaceList, bool ReplaceAll, char16_t* Out) noexcept {
  const char16_t* Text = S.data();
  const std::size_t Length = S.size();
  char16_t* W = Out;
  std::size_t R = 0;
  while (R < Length) {
    // Units that cannot begin a search string are copied as one run.
    const std::size_t Run = SkipUnstartable(SearchList, Text, R, Length);
    if (Run > R) {
      std::memmove(W, Text + R, (Run - R) * sizeof(char16_t));
      W += Run - R;
      R = Run;
      if (R == Length)
        break;
    }
    const std::ptrdiff_t K = MatchAt<Fold>(SearchList, Text + R, Length - R, SearchList.size());
    if (K < 0) {
      *W++ = Text[R++];
      continue;
    }
    for (const char16_t C : ReplaceList[static_cast<std::size_t>(K)])
      *W++ = C;
    R += SearchList[static_cast<std::size_t>(K)].size();
    if (!ReplaceAll) {
      std::memmove(W, Text + R, (Length - R) * sizeof(char16_t));
      W += Length - R;
      break;
    }
  }
  return static_cast<std::size_t>(W - Out);
}

template <class Fold>
std::u16string ReplaceWith(std::u16string_view S, const PatternSet& SearchList,
                           StringArrayView ReplaceList, bool ReplaceAll) {
  std::u16string Result(ResultCapacity<Fold>(S, SearchList, ReplaceList), u'\0');
  Result.resize(ScanReplacing<Fold>(S, SearchList, ReplaceList, ReplaceAll, Result.data()));
  return Result;
}

template <class Fold>
void ReplaceInPlace(std::u16string& S, const PatternSet& SearchList, StringArrayView ReplaceList,
                    bool ReplaceAll) {
  for (std::size_t K = 0; K < SearchList.size(); ++K)
    if (ReplaceList[K].size() > SearchList[K].size()) {
      S = ReplaceWith<Fold>(S, SearchList, ReplaceList, ReplaceAll);
      return;
    }
  S.resize(ScanReplacing<Fold>(S, SearchList, ReplaceList, ReplaceAll, S.data()));
}

} // namespace

PatternSet::PatternSet(StringArrayView Patterns, bool IgnoreCase)
    : FPatterns(Patterns.size()), FBucketStart(BucketCount + 1, 0), FIgnoreCase(IgnoreCase) {
  auto BucketOf = [IgnoreCase](std::u16string_view Pattern) {
    const char16_t First = IgnoreCase ? AsciiUppercase(Pattern[0]) : Pattern[0];
    return First % BucketCount;
  };
  for (std::size_t I = 0; I < Patterns.size(); ++I) {
    FPatterns[I] = Patterns[I];
    FMaxLength = std::max(FMaxLength, FPatterns[I].size());
    if (!FPatterns[I].empty())
      ++FBucketStart[BucketOf(FPatterns[I]) + 1];
  }
  for (std::size_t B = 0; B < BucketCount; ++B)
    FBucketStart[B + 1] += FBucketStart[B];
  FOrder.resize(FBucketStart[BucketCount]);
  std::vector<std::uint32_t> Fill(FBucketStart.begin(), FBucketStart.end() - 1);
  auto MarkStart = [this](char16_t C) { FMayStart[C % BucketCount] = 1; };
  for (std::size_t I = 0; I < FPatterns.size(); ++I) {
    if (FPatterns[I].empty())
      continue;
    FOrder[Fill[BucketOf(FPatterns[I])]++] = static_cast<std::uint32_t>(I);
    const char16_t First = FPatterns[I][0];
    MarkStart(First);
    if (IgnoreCase && ((First >= u'a' && First <= u'z') || (First >= u'A' && First <= u'Z')))
      MarkStart(static_cast<char16_t>(First ^ 32));
  }
}

bool SameRange(std::u16string_view A, std::u16string_view B, std::int32_t IndexA,
               std::int32_t IndexB, std::int32_t Count, bool IgnoreCase) noexcept {
  if (Count <= 0)
    return true;
  auto Fits = [Count](std::u16string_view S, std::int32_t Index) {
    return Index >= 1 && std::int64_t{Index} + Count - 1 <= static_cast<std::int64_t>(S.size());
  };
  if (!Fits(A, IndexA) || !Fits(B, IndexB))
    return false;
  return EqualUnits(A.data() + IndexA - 1, B.data() + IndexB - 1, static_cast<std::size_t>(Count),
                    IgnoreCase);
}

bool MatchesAt(std::u16string_view SubStr, std::u16string_view S, std::int32_t Index,
               bool IgnoreCase) noexcept {
  if (S.empty() || SubStr.empty() || SubStr.size() > S.size() || Index < 1 ||
      static_cast<std::size_t>(Index) > S.size() - SubStr.size() + 1)
    return false;
  return EqualUnits(SubStr.data(), S.data() + Index - 1, SubStr.size(), IgnoreCase);
}

TSearchHit SearchStrings(StringArrayView Patterns, std::u16string_view S, std::int32_t Start,
                         std::int32_t Count, bool IgnoreCase, TSearchDirection Direction) {
  if (Patterns.size() == 1)
    return SearchOne(Patterns[0], S, Start, Count, IgnoreCase, Direction);
  Region In;
  if (!SearchRegion(S, Start, Count, Direction, In))
    return {};
  const PatternSet Prepared(Patterns, IgnoreCase);
  if (Prepared.MaxLength() == 0)
    return {};
  return IgnoreCase ? FindAny<WithAsciiFold>(Prepared, S, In, Direction)
                    : FindAny<NoFold>(Prepared, S, In, Direction);
}

std::int32_t FindSubString(std::u16string_view SubStr, std::u16string_view S, bool IgnoreCase,
                           std::int32_t Start, std::int32_t Count) noexcept {
  return SearchOne(SubStr, S, Start, Count, IgnoreCase, sdForward).Position;
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
  // The letter fold is ccToUpper, applied once to a copy of each side.
  std::u16string Sub, Text;
  if (IgnoreCase) {
    Sub = SubStr;
    Text = S;
    ConvertChars(Sub, ccToUpper);
    ConvertChars(Text, ccToUpper);
    SubStr = Sub;
    S = Text;
  }
  std::int32_t Result = 0;
  const std::size_t Step = NonOverlapping ? SubStr.size() : 1;
  for (std::size_t I = S.find(SubStr); I != std::u16string_view::npos; I = S.find(SubStr, I + Step))
    ++Result;
  return Result;
}

std::u16string ReplaceStrings(std::u16string_view S, StringArrayView SearchList,
                              StringArrayView ReplaceList, bool IgnoreCase, bool ReplaceAll) {
  if (SearchList.empty() || SearchList.size() != ReplaceList.size() || S.empty())
    return std::u16string(S);
  const PatternSet Prepared(SearchList, IgnoreCase);
  return IgnoreCase ? ReplaceWith<WithAsciiFold>(S, Prepared, ReplaceList, ReplaceAll)
                    : ReplaceWith<NoFold>(S, Prepared, ReplaceList, ReplaceAll);
}

void ReplaceStringsInPlace(std::u16string& S, const PatternSet& SearchList,
                           StringArrayView ReplaceList, bool ReplaceAll) {
  if (SearchList.size() == 0 || SearchList.size() != ReplaceList.size() || S.empty())
    return;
  if (SearchList.IgnoreCase())
    ReplaceInPlace<WithAsciiFold>(S, SearchList, ReplaceList, ReplaceAll);
  else
    ReplaceInPlace<NoFold>(S, SearchList, ReplaceList, ReplaceAll);
}

} // namespace marigold
