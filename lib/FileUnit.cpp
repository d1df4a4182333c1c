#include "lib/FileUnit.h"

#include "base/Errors.h"
#include "base/TextFormat.h"
#include "lib/FileNameUnit.h"
#include "platform/Ansi.h"
#include "platform/Error.h"
#include "platform/Files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <thread>

namespace marigold {

namespace {

// The platform keeps a path in a field of 260 units including its terminator.
constexpr size_t PathField = 260;

// A longer path, or one that a NUL would cut short, is never handed to the platform.
bool FitsPathField(std::u16string_view Path) {
  return Path.size() < PathField && Path.find(u'\0') == std::u16string_view::npos;
}

// Each carries the system's error where the system refused; none where our own rule did.
[[noreturn]] void FailFind(std::u16string_view Path, std::error_code Error = {}) {
  throw Exception(u"Error:FindFile " + std::u16string(Path), Error);
}
[[noreturn]] void FailLoad(std::u16string_view Path, std::error_code Error = {}) {
  throw LoadError(Path, Error);
}
[[noreturn]] void FailSave(std::u16string_view Path, std::error_code Error = {}) {
  throw SaveError(Path, Error);
}

// Index where the file name starts: behind the last separator or a drive's colon.
size_t NameStart(std::u16string_view Path) {
  size_t Separator = Path.find_last_of(u"\\/:");
  return Separator == std::u16string_view::npos ? 0 : Separator + 1;
}

uint32_t NextToken() {
  static std::atomic<uint32_t> Counter{0};
  auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return static_cast<uint32_t>(Ticks) * 2654435761u + Counter.fetch_add(1);
}

// A name beside Path for the temporary file: "~" and up to eight hex digits, as many as the
// path field leaves room for.
std::u16string TemporarySibling(std::u16string_view Path, uint32_t Token) {
  std::u16string Name = u"~";
  AppendHex(Name, Token, 8, HexCase::Lower);
  const size_t Folder = NameStart(Path);
  const size_t Room = PathField - 1 - Folder;
  if (Name.size() > Room)
    Name.erase(1, Name.size() - Room);
  return std::u16string(Path.substr(0, Folder)) + Name;
}

// Writes Data over the existing file Target from its start and cuts it there. Should the
// rewrite fail, the former bytes are written back, so that the file is never left half new.
void RewriteInPlace(std::u16string_view Path, std::u16string_view Target, std::string_view Data) {
  std::string Former;
  try {
    Former = LoadAnsiStringFromFile(Target);
  } catch (const Exception& E) {
    FailSave(Path, E.Code());
  }
  auto Rewrite = [&Target](std::string_view Bytes) {
    auto File = platform::OpenFileForRewriting(Target);
    if (!File)
      return File.Error();
    std::error_code Error = Bytes.empty() ? std::error_code() : platform::WriteOnce(*File, Bytes);
    if (!Error)
      Error = platform::TruncateHere(*File);
    if (!Error)
      Error = platform::FlushFile(*File);
    const std::error_code CloseError = platform::CloseFile(*File);
    return Error ? Error : CloseError;
  };
  if (const std::error_code Error = Rewrite(Data)) {
    (void)Rewrite(Former); // the save failed already; its reason is what counts
    FailSave(Path, Error);
  }
}

// The file that Path, with these attributes, leads to: see LinkTarget.
std::u16string TargetOf(std::u16string_view Path, uint32_t Attributes) {
  if (!(Attributes & platform::AttributeReparsePoint))
    return std::u16string(Path);
  const auto Final = platform::FinalPathName(Path);
  return Final ? PathFromFinalName(*Final) : std::u16string(Path);
}

// The hidden, system, archive and not-indexed bits of the former file, put back on the one that
// took its place by a move (ReplaceFileW keeps them itself on Windows, not everywhere else).
void KeepAttributes(std::u16string_view Target, uint32_t Former) {
  constexpr uint32_t Kept = platform::AttributeHidden | platform::AttributeSystem |
                            platform::AttributeArchive | platform::AttributeNotContentIndexed;
  const auto Now = platform::FileAttributes(Target);
  if (Now && (*Now & Kept) != (Former & Kept))
    (void)platform::ChangeFileAttributes(Target, (Former & Kept) ? Former & Kept
                                                                 : platform::AttributeNormal);
}

// Removes a file of ours (none when Ours is empty) once Target is known to be in place;
// otherwise it may hold the only copy, and stays.
void RemoveIfTargetStands(std::u16string_view Target, std::u16string_view Ours) {
  if (Ours.empty())
    return;
  const auto Present = FilePresent(Target);
  if (Present && *Present)
    (void)platform::RemoveFile(Ours); // housekeeping, silent
}

// Puts the complete Replacement in the place of the existing Target, as Windows allows it
// wherever the file lives. Where ReplaceFileW gets half-way (1176, 1177) the replacement is moved
// into place, else the former file is put back from the backup; where it is not supported, a
// plain move replaces. Retries briefly while another program holds the file.
std::error_code ReplaceExisting(std::u16string_view Target, std::u16string_view Replacement,
                                uint32_t FormerAttributes) {
  std::u16string Backup = TemporarySibling(Target, NextToken());
  if (Backup == Replacement)
    Backup.clear(); // no room for a second name beside the longest paths: none is kept
  std::error_code Error;
  constexpr int Attempts = 10;
  for (int Attempt = 1;; ++Attempt) {
    Error = platform::ReplaceFileWith(Target, Replacement, Backup);
    if (!Error) {
      KeepAttributes(Target, FormerAttributes);
      RemoveIfTargetStands(Target, Backup);
      return {};
    }
    const platform::ReplaceFailure Failure = platform::ReplaceFailureOf(Error);
    if (Failure != platform::ReplaceFailure::NothingMoved) {
      if (!platform::MoveFileTo(Replacement, Target, /*ReplaceExisting=*/true)) {
        KeepAttributes(Target, FormerAttributes);
        RemoveIfTargetStands(Target, Backup);
        return {};
      }
      const auto Present = FilePresent(Target);
      if (Present && !*Present && !Backup.empty())
        (void)platform::MoveFileTo(Backup, Target, /*ReplaceExisting=*/false); // back in place
      break;
    }
    if (Attempt == Attempts || !platform::IsBusy(Error))
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // about half a second in all
  }
  RemoveIfTargetStands(Target, Backup);
  return Error;
}

} // namespace

platform::Result<bool> FilePresent(std::u16string_view Path) {
  const auto Attributes = platform::FileAttributes(Path);
  if (Attributes)
    return (*Attributes & platform::AttributeDirectory) == 0;
  if (platform::IsNotFound(Attributes.Error()))
    return false;
  return Attributes.Error();
}

EInOutError LoadError(std::u16string_view Path, std::error_code Error) {
  return EInOutError(u"Error:LoadAnsiStringFromFile\r\n" + std::u16string(Path), Error);
}

EInOutError SaveError(std::u16string_view Path, std::error_code Error) {
  return EInOutError(u"Error:SaveAnsiStringToFile\r\n" + std::u16string(Path), Error);
}

platform::Result<std::u16string> LinkTarget(std::u16string_view Path) {
  const auto Attributes = platform::FileAttributes(Path);
  if (Attributes)
    return TargetOf(Path, *Attributes);
  if (platform::IsNotFound(Attributes.Error()))
    return std::u16string(Path);
  return Attributes.Error();
}

TFileFindResult FindFile(std::u16string_view Path) {
  if (!FitsPathField(Path))
    FailFind(Path);
  auto Entry = platform::FindFirstEntry(Path);
  if (!Entry)
    FailFind(Path, Entry.Error());
  return {std::move(Entry->Name), Entry->Attributes, Entry->LastWriteTime,
          static_cast<int64_t>(Entry->Size)};
}

std::string LoadAnsiStringFromFile(std::u16string_view Path) {
  if (!FitsPathField(Path))
    FailLoad(Path);
  if (FindFile(Path).Attributes & platform::AttributeDirectory)
    return {};
  auto File = platform::OpenFileForReading(Path);
  if (!File)
    FailLoad(Path, File.Error());
  const auto Size = platform::FileSize(*File);
  if (!Size)
    FailLoad(Path, Size.Error());
  // Read to the end: the file may have grown since its size was asked.
  std::string Data(static_cast<size_t>(std::min<uint64_t>(*Size, INT32_MAX)) + 1, '\0');
  size_t Filled = 0;
  for (;;) {
    if (Filled == Data.size()) {
      if (Data.size() > INT32_MAX)
        FailLoad(Path);
      Data.resize(std::min<size_t>(Data.size() * 2, size_t{INT32_MAX} + 1));
    }
    const auto Read = platform::ReadSome(*File, std::span(Data).subspan(Filled));
    if (!Read)
      FailLoad(Path, Read.Error());
    if (*Read == 0)
      break;
    Filled += *Read;
  }
  if (const std::error_code Error = platform::CloseFile(*File))
    FailLoad(Path, Error);
  Data.resize(Filled);
  return Data;
}

void SaveAnsiStringToFile(std::u16string_view Path, std::string_view Data, SaveMode Mode) {
  if (!FitsPathField(Path) || NameStart(Path) == Path.size())
    FailSave(Path);
  // A look-up that cannot tell what is there stops the save before anything is written.
  const auto Found = platform::FileAttributes(Path);
  if (!Found && !platform::IsNotFound(Found.Error()))
    FailSave(Path, Found.Error());
  const std::u16string Target = Found ? TargetOf(Path, *Found) : std::u16string(Path);
  if (!FitsPathField(Target))
    FailSave(Path);
  const auto Attributes = Target == Path ? Found : platform::FileAttributes(Target);
  if (!Attributes && !platform::IsNotFound(Attributes.Error()))
    FailSave(Path, Attributes.Error());
  if (Attributes && Mode == SaveMode::CreateOnly)
    FailSave(Path, platform::AlreadyExists());
  // Checked here because a platform that ignores the attribute (Wine as root) would replace it.
  if (Attributes && (*Attributes & (platform::AttributeReadOnly | platform::AttributeDirectory)))
    FailSave(Path, platform::AccessDenied());
  // A link the system would not resolve: written through, so that it stays a link.
  if (Attributes && (*Attributes & platform::AttributeReparsePoint) && Target == Path)
    return RewriteInPlace(Path, Target, Data);

  std::u16string Temporary;
  platform::Result<platform::FileHandle> File = platform::AccessDenied();
  for (int Attempt = 0; Attempt < 8 && !File; ++Attempt) {
    Temporary = TemporarySibling(Target, NextToken());
    File = platform::CreateNewFile(Temporary);
    if (File || platform::FileAttributes(Temporary))
      continue; // a clash of names: try another
    // The folder takes no new file. The file itself may still be writable: rewrite it in place.
    if (Attributes)
      return RewriteInPlace(Path, Target, Data);
    FailSave(Path, File.Error());
  }
  if (!File)
    FailSave(Path, File.Error());

  std::error_code Error = Data.empty() ? std::error_code() : platform::WriteOnce(*File, Data);
  if (!Error)
    Error = platform::FlushFile(*File);
  const std::error_code CloseError = platform::CloseFile(*File);
  if (!Error)
    Error = CloseError;
  if (Error) {
    (void)platform::RemoveFile(Temporary); // incomplete; the file is as it was
    FailSave(Path, Error);
  }
  if (!Attributes) {
    // There was no file: the move never replaces one that appeared meanwhile.
    if ((Error = platform::MoveFileTo(Temporary, Target, /*ReplaceExisting=*/false))) {
      (void)platform::RemoveFile(Temporary);
      FailSave(Path, Error);
    }
    return;
  }
  if ((Error = ReplaceExisting(Target, Temporary, *Attributes))) {
    RemoveIfTargetStands(Target, Temporary);
    FailSave(Path, Error);
  }
}

std::u16string DecodeAnsiText(std::string_view Data) {
  return platform::AnsiToText(Data);
}

std::string EncodeAnsiText(std::u16string_view Text) {
  return platform::TextToAnsi(Text);
}

} // namespace marigold
