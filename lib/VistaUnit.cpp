#include "lib/VistaUnit.h"

#include "lib/FileNameUnit.h"
#include "lib/ShellSpecialFolderPathUnit.h"
#include "lib/StringSearchUnit.h"
#include "platform/Files.h"
#include "platform/Shell.h"

#include <algorithm>
#include <vector>

namespace marigold {

namespace {

// The shell's Program Files folder is the 32-bit one for a 32-bit process on 64-bit Windows; the
// environment also names the 64-bit one. Longest first, so that 'C:\Program Files (x86)' wins
// over 'C:\Program Files', which it begins with.
std::vector<std::u16string> ProgramFilesFolders() {
  std::vector<std::u16string> Folders;
  for (std::u16string Folder :
       {GetSpecialFolderPath(fkProgramFiles), platform::EnvironmentValue(u"ProgramFiles"),
        platform::EnvironmentValue(u"ProgramW6432")})
    if (!Folder.empty())
      Folders.push_back(std::move(Folder));
  std::stable_sort(Folders.begin(), Folders.end(),
                   [](const auto& A, const auto& B) { return A.size() > B.size(); });
  return Folders;
}

// The first (longest) of Folders that Path begins with; null for none.
const std::u16string* LeadingFolder(std::u16string_view Path,
                                    const std::vector<std::u16string>& Folders) {
  for (const auto& Folder : Folders)
    if (MatchesAt(Folder, Path, 1, /*IgnoreCase=*/true))
      return &Folder;
  return nullptr;
}

// Only a path on the drive of a Program Files folder can be a spelling of it: nothing on a share
// is looked up.
bool OnDriveOfAny(std::u16string_view Path, const std::vector<std::u16string>& Folders) {
  return std::any_of(Folders.begin(), Folders.end(), [&](const std::u16string& Folder) {
    return StartsWithDrivePrefix(Folder) &&
           MatchesAt(std::u16string_view(Folder).substr(0, 3), Path, 1, /*IgnoreCase=*/true);
  });
}

// Path's folder in its long form as far as it exists, the rest as given: a folder not yet
// created below an 8.3 name still compares.
std::u16string LongFolderForm(std::u16string_view Path) {
  size_t End = Path.rfind(u'\\');
  while (End != std::u16string_view::npos && End > 0 && Path[End - 1] != u':') {
    const std::u16string Long = platform::LongPathName(Path.substr(0, End));
    if (!Long.empty())
      return Long + std::u16string(Path.substr(End));
    End = Path.rfind(u'\\', End - 1);
  }
  return std::u16string(Path);
}

} // namespace

void CreateFolderWithParents(std::u16string_view Folder) {
  for (size_t I = 1; I < Folder.size(); ++I)
    if (Folder[I] == u'\\' && Folder[I - 1] != u'\\')
      (void)platform::MakeDirectory(Folder.substr(0, I));
  (void)platform::MakeDirectory(Folder);
}

std::u16string VistaRedirectPath(std::u16string_view Path) {
  const std::vector<std::u16string> Folders = ProgramFilesFolders();
  std::u16string Subject(Path);
  const std::u16string* ProgramFiles = LeadingFolder(Subject, Folders);
  if (!ProgramFiles && OnDriveOfAny(Path, Folders)) {
    Subject = LongFolderForm(Path);
    ProgramFiles = LeadingFolder(Subject, Folders);
  }
  if (!ProgramFiles)
    return std::u16string(Path);

  const std::u16string AppData = GetSpecialFolderPath(fkAppData);
  return ReplaceStrings(Subject, {*ProgramFiles + u"(x86)", *ProgramFiles}, {AppData, AppData},
                        /*IgnoreCase=*/true, /*ReplaceAll=*/true);
}

} // namespace marigold
