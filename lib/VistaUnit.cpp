#include "lib/VistaUnit.h"

#include "lib/FileNameUnit.h"
#include "lib/OSVersionUnit.h"
#include "lib/ShellSpecialFolderPathUnit.h"
#include "lib/StringSearchUnit.h"
#include "lib/StringUnit.h"
#include "platform/Files.h"

namespace marigold {

namespace {

// Creates every folder on the way down to Folder; the ones that exist already, the drive and the
// server fail harmlessly. Failures are left to the later file operations to report.
void CreateFolderWithParents(std::u16string_view Folder) {
  for (size_t I = 1; I < Folder.size(); ++I)
    if (Folder[I] == u'\\' && Folder[I - 1] != u'\\')
      (void)platform::MakeDirectory(Folder.substr(0, I));
  (void)platform::MakeDirectory(Folder);
}

} // namespace

std::u16string VistaRedirectPath(std::u16string_view Path) {
  const std::u16string ProgramFiles = GetSpecialFolderPath(fkProgramFiles);
  if (!MatchesAt(ProgramFiles, Path, 1, true) || GetWindowsVersion().Major < 6)
    return std::u16string(Path);

  const std::u16string AppData = GetSpecialFolderPath(fkAppData);
  const std::u16string ProgramFilesX86 = ProgramFiles + u"(x86)";
  std::u16string Result =
      ReplaceStrings(Path, {ProgramFilesX86, ProgramFiles}, {AppData, AppData}, true, true);
  CreateFolderWithParents(RemoveTrailingBackslash(ExtractFilePath(Result)));
  return Result;
}

} // namespace marigold
