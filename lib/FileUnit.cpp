#include "lib/FileUnit.h"

#include "base/Errors.h"
#include "platform/Ansi.h"
#include "platform/Error.h"
#include "platform/Files.h"

#include <atomic>
#include <chrono>
#include <cstdint>

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
  throw EInOutError(u"Error:LoadAnsiStringFromFile\r\n" + std::u16string(Path), Error);
}
[[noreturn]] void FailSave(std::u16string_view Path, std::error_code Error = {}) {
  throw EInOutError(u"Error:SaveAnsiStringToFile\r\n" + std::u16string(Path), Error);
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
  for (int Shift = 28; Shift >= 0; Shift -= 4)
    Name += u"0123456789abcdef"[(Token >> Shift) & 0xF];
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
    std::error_code Error;
    platform::FileHandle File = platform::OpenFileForRewriting(Target, Error);
    if (!File.IsOpen())
      return Error;
    if (!Bytes.empty())
      Error = platform::WriteOnce(File, Bytes);
    if (!Error)
      Error = platform::TruncateHere(File);
    if (!Error)
      Error = platform::FlushFile(File);
    const std::error_code CloseError = File.Close();
    return Error ? Error : CloseError;
  };
  if (const std::error_code Error = Rewrite(Data)) {
    (void)Rewrite(Former); // the save failed already; its reason is what counts
    FailSave(Path, Error);
  }
}

} // namespace

TFileFindResult FindFile(std::u16string_view Path) {
  if (!FitsPathField(Path))
    FailFind(Path);
  std::error_code Error;
  auto Entry = platform::FindFirstEntry(Path, Error);
  if (!Entry)
    FailFind(Path, Error);
  return {std::move(Entry->Name), Entry->Attributes, Entry->LastWriteTime,
          static_cast<int64_t>(Entry->Size)};
}

std::string LoadAnsiStringFromFile(std::u16string_view Path) {
  if (!FitsPathField(Path))
    FailLoad(Path);
  const TFileFindResult Entry = FindFile(Path);
  if (Entry.Size == 0)
    return {};
  if (Entry.Size > INT32_MAX)
    FailLoad(Path);
  std::string Data(static_cast<size_t>(Entry.Size), '\0');
  std::error_code Error;
  platform::FileHandle File = platform::OpenFileForReading(Path, Error);
  if (!File.IsOpen())
    FailLoad(Path, Error);
  Error = platform::ReadOnce(File, Data);
  const std::error_code CloseError = File.Close();
  if (Error || CloseError)
    FailLoad(Path, Error ? Error : CloseError);
  return Data;
}

void SaveAnsiStringToFile(std::u16string_view Path, std::string_view Data) {
  if (!FitsPathField(Path) || NameStart(Path) == Path.size())
    FailSave(Path);
  // A link stays a link: the file it leads to is the one rewritten.
  const std::u16string Target = platform::FinalPath(Path);
  if (!FitsPathField(Target))
    FailSave(Path);
  // Checked here because a platform that ignores the attribute (Wine as root) would replace it.
  std::error_code Error;
  const auto Attributes = platform::FileAttributes(Target, Error);
  if (Attributes && (*Attributes & (platform::AttributeReadOnly | platform::AttributeDirectory)))
    FailSave(Path, platform::AccessDenied());
  // A link the system would not resolve: written through, so that it stays a link.
  if (Attributes && (*Attributes & platform::AttributeReparsePoint) && Target == Path)
    return RewriteInPlace(Path, Target, Data);

  std::u16string Temporary;
  platform::FileHandle File;
  for (int Attempt = 0; Attempt < 8 && !File.IsOpen(); ++Attempt) {
    Temporary = TemporarySibling(Target, NextToken());
    File = platform::CreateNewFile(Temporary, Error);
    std::error_code Missing;
    if (File.IsOpen() || platform::FileAttributes(Temporary, Missing))
      continue; // a clash of names: try another
    // The folder takes no new file. The file itself may still be writable: rewrite it in place.
    if (Attributes)
      return RewriteInPlace(Path, Target, Data);
    FailSave(Path, Error);
  }
  if (!File.IsOpen())
    FailSave(Path, Error);

  Error = Data.empty() ? std::error_code() : platform::WriteOnce(File, Data);
  if (!Error)
    Error = platform::FlushFile(File);
  const std::error_code CloseError = File.Close();
  if (!Error)
    Error = CloseError;
  if (!Error)
    Error = platform::ReplaceFileWith(Temporary, Target);
  if (Error) {
    (void)platform::RemoveFile(Temporary); // the save failed already; its reason is what counts
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
