// The search text of a registration, read back by the Windows command-line rules, is exactly
// the cleaned selection, whatever the selection holds.
#include "TextFuzzInput.h"
#include "plugin/FavouritesCommand.h"

#include <cstdlib>

using namespace marigold::plugin;

namespace {

// One argument as CommandLineToArgvW reads it; Rest is what follows it on the line.
std::u16string ReadArgument(std::u16string_view Line, std::u16string_view& Rest) {
  std::u16string Out;
  bool Quoted = false;
  size_t I = 0;
  while (I < Line.size()) {
    const char16_t C = Line[I];
    if (C == u'\\') {
      const size_t End = std::min(Line.find_first_not_of(u'\\', I), Line.size());
      const size_t Count = End - I;
      if (End < Line.size() && Line[End] == u'"') {
        Out.append(Count / 2, u'\\');
        if (Count % 2 == 1) {
          Out += u'"';
          I = End + 1;
        } else {
          I = End;
        }
      } else {
        Out.append(Count, u'\\');
        I = End;
      }
    } else if (C == u'"') {
      if (Quoted && I + 1 < Line.size() && Line[I + 1] == u'"') {
        Out += u'"';
        I += 2;
      } else {
        Quoted = !Quoted;
        ++I;
      }
    } else if ((C == u' ' || C == u'\t') && !Quoted) {
      break;
    } else {
      Out += C;
      ++I;
    }
  }
  Rest = Line.substr(I);
  return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider In(Data, Size);
  const std::u16string Selection = textfuzz::Text(In, 200);
  const std::u16string Cleaned = CleanSelection(Selection);
  if (Cleaned.find_first_of(u"\t\r\n") != std::u16string::npos)
    std::abort();
  std::u16string_view Rest;
  const std::u16string Quoted = QuoteSearchText(Cleaned);
  if (ReadArgument(Quoted, Rest) != Cleaned || !Rest.empty())
    std::abort();
  return 0;
}
