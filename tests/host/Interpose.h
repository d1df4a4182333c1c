#pragma once

// Stand-ins for the system calls of a module under test: its import of a kernel32 function is
// pointed at a function of this program, which can show how Windows behaves where Wine does not.
// The product carries no switch for this; only its import table is changed, in this process.

#include <windows.h>

#include <string_view>

namespace host {

// Points Module's import of kernel32's Function at Replacement; false when the module does not
// import it.
bool InterposeImport(HMODULE Module, const char* Function, const void* Replacement);

// Text begins with Prefix, letters compared without case as Windows compares paths.
bool StartsWithNoCase(std::wstring_view Text, std::wstring_view Prefix);

// kernel32's own Function, not through an import that may be interposed itself.
template <class F> F* RealKernel32(const char* Function) {
  return reinterpret_cast<F*>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), Function)));
}

} // namespace host
