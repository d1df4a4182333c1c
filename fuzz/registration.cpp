// A registration into a settings file of arbitrary bytes with an arbitrary selection: the file
// afterwards is its byte order mark, the new line and the former bytes trimmed at the end, or,
// for a name the file cannot hold, unchanged.
#include "TextFuzzInput.h"
#include "lib/FileUnit.h"
#include "lib/TextEncoding.h"
#include "platform/standin/FilesStandIn.h"
#include "platform/standin/StandIn.h"
#include "plugin/FavouritesCommand.h"
#include "plugin/plugin.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace marigold::plugin;
namespace standin = platform::standin;

namespace {

const std::u16string Settings = u"C:\\Editor\\PlugIns\\Marigolds_Setting.txt";

// A drive root of this process's own, with the plug-ins folder beside the stand-in editor;
// removed when the process ends.
struct DriveRoot {
  std::filesystem::path Root =
      std::filesystem::temp_directory_path() / ("marigold-fuzz-" + std::to_string(getpid()));
  DriveRoot() {
    std::filesystem::create_directories(Root / "C" / "Editor" / "PlugIns");
    standin::SetDriveRoot(Root.string());
  }
  ~DriveRoot() {
    std::error_code Ignored;
    std::filesystem::remove_all(Root, Ignored);
  }
};

const std::string& Native() {
  static const DriveRoot Drive;
  static const std::string Path = standin::NativePath(Settings);
  return Path;
}

bool IsBlank(std::string_view Unit, marigold::TextEncoding Encoding) {
  if (Unit.size() == 1)
    return static_cast<uint8_t>(Unit[0]) < 33;
  const bool Little = Encoding == marigold::TextEncoding::Utf16Le;
  return Unit[Little ? 1 : 0] == 0 && static_cast<uint8_t>(Unit[Little ? 0 : 1]) < 33;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider In(Data, Size);
  std::u16string Selection = textfuzz::Text(In, 40);
  const std::string Former = In.ConsumeRemainingBytesAsString();
  const std::string& Path = Native();
  std::ofstream(Path, std::ios::binary | std::ios::trunc) << Former;
  standin::SetHostHandler(
      [&](platform::WindowHandle, uint32_t Message, uintptr_t WParam, intptr_t LParam) -> intptr_t {
        auto* Buffer = reinterpret_cast<char16_t*>(LParam);
        if (Message == HostMessageActiveFile) {
          const std::u16string_view Name = u"C:\\src\\main.c";
          std::copy(Name.begin(), Name.end(), Buffer);
        } else if (Message == HostMessageSelectedText) {
          if (WParam == 0)
            return static_cast<intptr_t>(Selection.size());
          std::copy(Selection.begin(), Selection.end(), Buffer);
        }
        return 0;
      });
  RegisterActiveFile(nullptr, u"C:\\src\\main.c", Selection, RegisterForm::Search);
  std::ifstream Stream(Path, std::ios::binary);
  const std::string After{std::istreambuf_iterator<char>(Stream), {}};

  const auto Encoding = marigold::DetectTextEncoding(Former);
  const std::string Mark(marigold::ByteOrderMark(Encoding));
  const size_t Unit =
      Encoding == marigold::TextEncoding::Utf16Le || Encoding == marigold::TextEncoding::Utf16Be
          ? 2
          : 1;
  std::string_view Body = std::string_view(Former).substr(Mark.size());
  if (Unit == 2)
    Body.remove_suffix(Body.size() % 2);
  while (Body.size() >= Unit && IsBlank(Body.substr(Body.size() - Unit), Encoding))
    Body.remove_suffix(Unit);
  if (After == Former)
    return 0; // refused: a name or selection the file's encoding cannot hold
  if (!After.starts_with(Mark) || !After.ends_with(Body))
    std::abort();
  const std::u16string Text = marigold::DecodeText(After, Encoding);
  if (!Text.starts_with(u"main.c") || Text.find(u"\tC:\\src\\main.c /ff ") == std::u16string::npos)
    std::abort();
  return 0;
}
