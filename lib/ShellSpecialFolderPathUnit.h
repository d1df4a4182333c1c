#pragma once

// The shell's special folders under keys of their own, each mapped to its CSIDL number.

#include <cstdint>
#include <string>

namespace marigold {

// The 45 keys, in the alphabetical order of their CSIDL names.
enum TSpecialFolderKey : uint8_t {
  fkAdminTools,
  fkAltStartup,
  fkAppData,
  fkCdBurnArea,
  fkCommonAdminTools,
  fkCommonAltStartup,
  fkCommonAppData,
  fkCommonDesktopDirectory,
  fkCommonDocuments,
  fkCommonFavorites,
  fkCommonMusic,
  fkCommonPictures,
  fkCommonPrograms,
  fkCommonStartMenu,
  fkCommonStartup,
  fkCommonTemplates,
  fkCommonVideo,
  fkCookies,
  fkDesktop,
  fkDesktopDirectory,
  fkFavorites,
  fkFonts,
  fkHistory,
  fkInternetCache,
  fkLocalAppData,
  fkMyMusic,
  fkMyPictures,
  fkMyVideo,
  fkNetHood,
  fkPersonal,
  fkPrintHood,
  fkProfile,
  fkProgramFiles,
  fkProgramFilesCommon,
  fkProgramFilesX86,
  fkPrograms,
  fkRecent,
  fkResources,
  fkSendTo,
  fkStartMenu,
  fkStartup,
  fkSystem,
  fkSystemX86,
  fkTemplates,
  fkWindows,
};

// The CSIDL number of Key: SHGetSpecialFolderKeyIndex(fkProgramFiles) == 38. A value outside the
// 45 keys is an assertion failure "SHGetSpecialFolderKeyIndex:存在しない型です".
[[nodiscard]] int32_t SHGetSpecialFolderKeyIndex(TSpecialFolderKey Key);

// The folder's path as the platform names it, without creating it; empty when it names none.
[[nodiscard]] std::u16string GetShellFolderPath(int32_t CSIDL);

// GetShellFolderPath(SHGetSpecialFolderKeyIndex(Key)).
[[nodiscard]] std::u16string GetSpecialFolderPath(TSpecialFolderKey Key);

} // namespace marigold
