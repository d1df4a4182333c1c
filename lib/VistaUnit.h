#pragma once

// Keeps data files out of the Program Files folder on Windows 6.0 and later.

#include <string>
#include <string_view>

namespace marigold {

// Path unchanged, unless it begins with the Program Files folder (ASCII letters compared without
// case) and Windows is 6.0 or later: then every occurrence of that folder, or of it followed
// directly by "(x86)", is replaced by the roaming application-data folder, and the folder of the
// result is created with its parents (silently). On Windows 6.1 with Program Files
// 'C:\Program Files': 'c:\program files\Ed\a.txt' -> 'C:\Users\u\AppData\Roaming\Ed\a.txt'
[[nodiscard]] std::u16string VistaRedirectPath(std::u16string_view Path);

} // namespace marigold
