#include "lib/StringSplitterUnit.h"

#include "base/Errors.h"
#include "platform/Locale.h"

#include <utility>

namespace marigold {

TDelimitStyle SplitFlagsToDelimitStyle(TSplitFlags Flags) {
  switch (static_cast<uint8_t>(Flags)) {
  case 0:
    return dsSeparatedNoEmpty;
  case sfKeepDelimiters:
    return dsWithDelimitersNoEmpty;
  case sfKeepEmpty:
    return dsSeparated;
  case sfKeepDelimiters | sfKeepEmpty:
    return dsWithDelimiters;
  default:
    AssertionFailure(u"Error SplitFlagsToDelimitStyle", u"StringSplitterUnit\\StringSplitterUnit",
                     128);
  }
}

// A failing member initialiser destroys the members already built, so nothing leaks.
TStringSplitter::TStringSplitter(std::u16string Sentence, std::vector<std::u16string> Delimiters,
                                 TSplitFlags Flags)
    : FSentence(std::move(Sentence)) {
  FWords.SplitText(FSentence, Delimiters, SplitFlagsToDelimitStyle(Flags));
  FDelimiters = std::move(Delimiters);
}

std::u16string TStringSplitter::GetWord(int32_t Index) const {
  if (Index < 0 || Index > FWords.Count() - 1)
    return {};
  return FWords.GetItem(Index);
}

int32_t TStringSplitter::IndexOf(std::u16string_view Word, bool IgnoreCase) const {
  for (int32_t I = 0; I < FWords.Count(); ++I)
    if (platform::LocaleTextEquals(FWords.Cell(I), Word, IgnoreCase))
      return I;
  return -1;
}

int32_t SplitWordCount(std::u16string_view Sentence, const std::vector<std::u16string>& Delimiters,
                       TSplitFlags Flags) {
  TStringRecordListAccess Words;
  Words.SplitText(Sentence, Delimiters, SplitFlagsToDelimitStyle(Flags));
  return Words.Count();
}

std::u16string SplitWord(std::u16string_view Sentence,
                         const std::vector<std::u16string>& Delimiters, int32_t Index,
                         TSplitFlags Flags) {
  TStringRecordListAccess Words;
  Words.SplitText(Sentence, Delimiters, SplitFlagsToDelimitStyle(Flags));
  return Words.GetItem(Index);
}

} // namespace marigold
