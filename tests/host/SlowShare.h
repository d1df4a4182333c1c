#pragma once

// A network share that answers each look-up late, as an offline or distant server does, for
// the plug-in under test: a module's import of GetFileAttributesW is pointed at a stand-in that,
// for paths under \\slowhost\share or the drive S: (a drive letter that looks local, as a sleeping
// disk does), waits first and then answers for the same path under C:\MgSlow. Every other path
// goes straight through.

#include <windows.h>

#include <string>

namespace host {

inline constexpr wchar_t SlowShareRoot[] = L"\\\\slowhost\\share";
inline constexpr wchar_t SlowDriveRoot[] = L"S:";
inline constexpr wchar_t SlowShareFolder[] = L"C:\\MgSlow";

// Points Module's import of GetFileAttributesW at the slow share's stand-in, waiting DelayMs per
// look-up; false when the module has no such import. The stand-in stays in this program, so it
// may still be called after Module is unloaded.
bool InterposeSlowShare(HMODULE Module, DWORD DelayMs);
// From HoldSlowShare to ReleaseSlowShare, slow look-ups wait besides their delay, as long as the
// test needs them to block.
void HoldSlowShare();
void ReleaseSlowShare();
// Look-ups of the slow share begun and answered so far, by every interposed module.
int SlowLookupsBegun();
int SlowLookupsAnswered();

} // namespace host
