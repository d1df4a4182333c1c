#include "lib/OSVersionUnit.h"

#include "platform/Shell.h"

namespace marigold {

TWindowsVersion GetWindowsVersion() {
  platform::VersionNumbers Numbers;
  if (!platform::QueryVersionNumbers(Numbers))
    return {};
  return {Numbers.Major, Numbers.Minor, Numbers.Build};
}

} // namespace marigold
