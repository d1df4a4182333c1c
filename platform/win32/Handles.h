#pragma once

// Owners of the kernel's handles, for the Win32 side of the seam.

#include "base/UniqueResource.h"

#include <windows.h>

namespace marigold::platform {

// A handle whose absence is null: processes, threads, mutexes.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() noexcept { return nullptr; }
  static void Close(Value Handle) noexcept { CloseHandle(Handle); }
};
using UniqueKernelHandle = marigold::UniqueResource<KernelHandleTraits>;

// A handle whose absence is INVALID_HANDLE_VALUE: open files.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Value Handle) noexcept { CloseHandle(Handle); }
};
using UniqueFileHandle = marigold::UniqueResource<FileHandleTraits>;

} // namespace marigold::platform
