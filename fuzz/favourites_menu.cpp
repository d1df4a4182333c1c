// The favourites menu built from arbitrary settings bytes, in whatever encoding they show:
// every popup released once, no misuse of a menu, every entry's id a line's index + 1 at most
// once, and no header line an entry of its own.
#include "lib/StringRecordList.h"
#include "lib/TextEncoding.h"
#include "platform/standin/MenuStandIn.h"
#include "plugin/FavouritesMenu.h"

#include <cstdlib>
#include <set>
#include <string>

using namespace marigold;
using namespace marigold::plugin;
namespace standin = platform::standin;

namespace {

void CollectIds(platform::MenuHandle Menu, std::multiset<uintptr_t>& Ids) {
  for (const auto& Entry : standin::MenuEntries(Menu)) {
    if (Entry.Submenu)
      CollectIds(Entry.Submenu, Ids);
    else if (Entry.Id != 0)
      Ids.insert(Entry.Id);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  TCommonStringRecordList Lines;
  Lines.SetText(DecodeText(Bytes, DetectTextEncoding(Bytes)));
  standin::ResetMenus();
  {
    const TFavouritesMenu Menu = BuildFavouritesMenu(Lines);
    std::multiset<uintptr_t> Ids;
    CollectIds(Menu.Root(), Ids);
    for (const uintptr_t Id : Ids) {
      const auto Index = static_cast<int32_t>(Id) - 1;
      if (Id > static_cast<uintptr_t>(Lines.Count()) || Ids.count(Id) != 1 ||
          NextIndentLevel(Lines, Index) > IndentLevel(Lines.GetItem(Index)))
        std::abort();
    }
  }
  if (standin::LiveMenuCount() != 0 || standin::MenuFaultCount() != 0)
    std::abort();
  return 0;
}
