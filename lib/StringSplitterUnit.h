#pragma once

#include "lib/StringRecordList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marigold {

// Cutting one sentence into words at any of several delimiter strings.

// A set of split flags in one byte; TSplitFlags{} is the empty set.
enum TSplitFlags : uint8_t {
  // Every delimiter found becomes a word of its own, right after the word it ends.
  sfKeepDelimiters = 1,
  // Empty words stay in the result.
  sfKeepEmpty = 2
};

constexpr TSplitFlags operator|(TSplitFlags A, TSplitFlags B) {
  return static_cast<TSplitFlags>(A | static_cast<uint8_t>(B));
}

// [] -> dsSeparatedNoEmpty, [sfKeepDelimiters] -> dsWithDelimitersNoEmpty,
// [sfKeepEmpty] -> dsSeparated, both -> dsWithDelimiters. Any other value raises
// EAssertionFailed "Error SplitFlagsToDelimitStyle (StringSplitterUnit\StringSplitterUnit,
// 128 行)".
[[nodiscard]] TDelimitStyle SplitFlagsToDelimitStyle(TSplitFlags Flags);

// A string list whose splitting is open to this unit.
class TStringRecordListAccess : public TCommonStringRecordList {
public:
  using TCommonStringRecordList::Cell;
  using TCommonStringRecordList::SplitText;
};

// The words of one sentence, fixed at construction. Delimiters are matched exactly, in array
// order, never overlapping; an empty delimiter never matches.
//   TStringSplitter(u"\\\\server\\share", {u"\\"}, sfKeepEmpty) has the words '', '',
//   'server', 'share'; with TSplitFlags{} only 'server', 'share'.
class TStringSplitter {
public:
  // Throws the flags' assertion failure for an invalid Flags value.
  TStringSplitter(std::u16string Sentence, std::vector<std::u16string> Delimiters,
                  TSplitFlags Flags);
  TStringSplitter(const TStringSplitter&) = delete;
  TStringSplitter& operator=(const TStringSplitter&) = delete;
  virtual ~TStringSplitter() = default;

  int32_t Count() const { return FWords.Count(); }
  const std::u16string& Sentence() const { return FSentence; }
  const std::vector<std::u16string>& Delimiters() const { return FDelimiters; }

  // The word at Index; '' for any Index outside 0 ... Count - 1.
  std::u16string GetWord(int32_t Index) const;
  // The first word equal to Word under the user's default locale (ignoring case when
  // IgnoreCase), or -1. Throws Exception when the platform comparison fails.
  int32_t IndexOf(std::u16string_view Word, bool IgnoreCase) const;

private:
  TStringRecordListAccess FWords;
  std::u16string FSentence;
  std::vector<std::u16string> FDelimiters;
};

// The number of words TStringSplitter(Sentence, Delimiters, Flags) would have.
[[nodiscard]] int32_t SplitWordCount(std::u16string_view Sentence,
                                     const std::vector<std::u16string>& Delimiters,
                                     TSplitFlags Flags);

// The word at Index of that split; an Index outside 0 ... count - 1 raises the list error
// (unlike GetWord).
[[nodiscard]] std::u16string SplitWord(std::u16string_view Sentence,
                                       const std::vector<std::u16string>& Delimiters, int32_t Index,
                                       TSplitFlags Flags);

} // namespace marigold
