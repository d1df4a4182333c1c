// marigold-check [FILE] [--json] [--lang ja|en]: the favourites menu a settings file makes, and
// why each line does what it does. Exit status 0 without a warning, 1 with one, 2 when the file
// cannot be read.

#include "CheckReport.h"

#include "base/Errors.h"
#include "platform/Console.h"
#include "platform/Error.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"

#include <exception>

using namespace marigold;
using namespace marigold::check;

namespace {

constexpr std::u16string_view Usage =
    u"usage: marigold-check [FILE] [--json] [--lang ja|en]\n"
    u"  FILE   the settings file; without it, the one the plug-in uses beside this program\n";

struct Options {
  std::u16string File;
  bool Json = false;
  Language Lang = Language::English;
  std::u16string Error;
};

Options ReadOptions(const std::vector<std::u16string>& Arguments) {
  Options O;
  O.Lang = platform::UserLanguageIsJapanese() ? Language::Japanese : Language::English;
  for (size_t I = 0; I < Arguments.size(); ++I) {
    const std::u16string& A = Arguments[I];
    if (A == u"--json") {
      O.Json = true;
    } else if (A == u"--lang" && I + 1 < Arguments.size()) {
      const std::u16string& L = Arguments[++I];
      if (L == u"ja" || L == u"en")
        O.Lang = L == u"ja" ? Language::Japanese : Language::English;
      else
        O.Error = u"--lang takes ja or en, not " + L;
    } else if (A.starts_with(u"-") && A.size() > 1) {
      O.Error = u"unknown option " + A;
    } else if (O.File.empty()) {
      O.File = A;
    } else {
      O.Error = u"only one FILE, not also " + A;
    }
  }
  return O;
}

void Say(std::u16string_view Text, bool ToErrors = true) {
  platform::WriteStandard(ToUtf8(Text), ToErrors);
}

int Run(const std::vector<std::u16string>& Arguments) {
  const Options O = ReadOptions(Arguments);
  if (!O.Error.empty()) {
    Say(u"marigold-check: " + O.Error + u"\n" + std::u16string(Usage));
    return 2;
  }
  const bool Ja = O.Lang == Language::Japanese;
  std::u16string Label = O.File, SystemName = O.File;
  if (O.File.empty()) {
    // No host: HostWindow stays null, and the query sent to no window reaches nobody and answers
    // nothing, so the plug-in's own rules apply as without a "PlugInsFolder" setting, with this
    // program's executable in the editor's place.
    plugin::HostWindow = nullptr;
    Label = plugin::GetSettingsFileName();
    SystemName = platform::SystemPathOf(Label);
    Say(Ja ? u"marigold-check: ファイルの指定がないため、プラグインがこのプログラムのフォルダー "
             u"(エディターの"
             u"フォルダー) から使う設定ファイルを調べます (PlugInsFolder の設定は使いません): " +
                 Label + u"\n"
           : u"marigold-check: no FILE given: checking the settings file the plug-in uses when run "
             u"from this program's folder (as the editor's folder, no PlugInsFolder setting): " +
                 Label + u"\n");
  }
  const auto Bytes = platform::ReadWholeFile(SystemName);
  if (!Bytes) {
    const std::error_code Error = Bytes.Error();
    std::u16string Reason = platform::SystemReason(Error);
    if (Reason.empty()) {
      const std::string Code = "error " + std::to_string(Error.value());
      Reason.assign(Code.begin(), Code.end());
    }
    Say(Label + (Ja ? u": error: ファイルを読めません: " : u": error: cannot read the file: ") +
        Reason + u"\n");
    return 2;
  }
  const Report R = CheckSettings(*Bytes, platform::WindowsFolderOf(SystemName),
                                 plugin::LookupClock::now() + plugin::LookupDeadline);
  platform::WriteStandard(O.Json ? FormatJson(R, Label, O.Lang) : FormatText(R, Label, O.Lang));
  return ExitStatus(R);
}

} // namespace

int main(int argc, char** argv) {
  try {
    platform::PrepareConsoleProgram();
    return Run(platform::ProgramArguments(argc, argv));
  } catch (const std::exception& Error) {
    platform::WriteStandard(std::string("marigold-check: error: ") + Error.what() + "\n", true);
    return 2;
  }
}
