#pragma once

// Keeps data files out of the Program Files folders.

#include <string>
#include <string_view>

namespace marigold {

// Path unchanged, unless it begins with a Program Files folder (ASCII letters compared without
// case), the longest that matches of: the shell's, %ProgramFiles% and %ProgramW6432% (on 64-bit
// Windows the 64-bit folder, which a 32-bit process is not given as its Program Files). Path is
// compared as given and, on the drive of such a folder, with its folder in the long form (8.3
// short names expanded as far as the folders exist). Then every occurrence of that folder, or of
// it followed directly by "(x86)", is replaced by the roaming application-data folder. Creates
// nothing. With Program Files 'C:\Program Files', short 'C:\PROGRA~1':
// 'c:\progra~1\Ed\a.txt' -> 'C:\Users\u\AppData\Roaming\Ed\a.txt'
[[nodiscard]] std::u16string VistaRedirectPath(std::u16string_view Path);

// Creates every missing folder down to Folder, silently: the ones that exist, the drive and the
// server fail harmlessly, and the later file operations report what failed. For the writer of a
// file, right before it writes: it may wait on a share or a roaming profile.
void CreateFolderWithParents(std::u16string_view Folder);

} // namespace marigold
