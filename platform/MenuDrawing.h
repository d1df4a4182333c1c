#pragma once

// The one drawing of a menu as text, over the entries the system holds, so that tests, the demo
// and the checker show a menu alike on every platform.

#include "base/Unicode.h"
#include "platform/Menu.h"

#include <string>

namespace marigold::platform {

// The menu as indented text, one entry a line, two blanks per submenu level (Depth levels
// before its own entries):
//   "Caption #3" (enabled), "Caption #3 grayed", "Caption #3 disabled", "-" (separator),
//   "Caption >" followed by the submenu's entries ("Caption > grayed" for a grayed submenu).
inline std::string DescribeMenu(MenuHandle Menu, int Depth = 0) {
  std::string Out;
  for (const MenuItem& Item : ReadMenu(Menu)) {
    Out.append(static_cast<size_t>(Depth) * 2, ' ');
    if (Item.Flags & MenuSeparator) {
      Out += "-\n";
      continue;
    }
    Out += marigold::ToUtf8(Item.Caption);
    Out += (Item.Flags & MenuPopup) ? std::string(" >") : " #" + std::to_string(Item.Id);
    if (Item.Flags & MenuGrayed)
      Out += " grayed";
    if (Item.Flags & MenuDisabled)
      Out += " disabled";
    Out += '\n';
    if (Item.Submenu)
      Out += DescribeMenu(Item.Submenu, Depth + 1);
  }
  return Out;
}

} // namespace marigold::platform
