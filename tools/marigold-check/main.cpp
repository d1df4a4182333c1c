// marigold-check [FILE] [--json] [--lang ja|en], --help, --version: the favourites menu a settings
// file makes, and why each line does what it does. Exit status 0 without a warning, 1 with one, 2
// when the file cannot be read or the command line is wrong.

#include "CheckReport.h"

#include "base/Unicode.h"
#include "platform/Console.h"
#include "platform/Error.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"

#include <exception>

using namespace marigold;
using namespace marigold::check;

namespace {

struct Options {
  std::u16string File;
  bool Json = false;
  bool Help = false;
  bool Version = false;
  Language Lang = Language::English;
  std::optional<Text> Error; // the first thing wrong, with Argument
  std::u16string Argument;
};

Options ReadOptions(const std::vector<std::u16string>& Arguments) {
  Options O;
  O.Lang = platform::UserLanguageIsJapanese() ? Language::Japanese : Language::English;
  const auto Wrong = [&O](Text Error, std::u16string Argument) {
    if (!O.Error) {
      O.Error = Error;
      O.Argument = std::move(Argument);
    }
  };
  bool OptionsEnded = false;
  for (size_t I = 0; I < Arguments.size(); ++I) {
    const std::u16string& A = Arguments[I];
    if (OptionsEnded || A.size() < 2 || !A.starts_with(u'-')) {
      if (O.File.empty())
        O.File = A;
      else
        Wrong(Text::SecondFile, A);
    } else if (A == u"--lang" || A.starts_with(u"--lang=")) {
      const std::u16string L = A.size() > 6               ? A.substr(7)
                               : I + 1 < Arguments.size() ? Arguments[++I]
                                                          : std::u16string();
      if (L == u"ja" || L == u"en")
        O.Lang = L == u"ja" ? Language::Japanese : Language::English;
      else
        Wrong(Text::LanguageValue, L);
    } else if (A == u"--json") {
      O.Json = true;
    } else if (A == u"--help" || A == u"-h") {
      O.Help = true;
    } else if (A == u"--version") {
      O.Version = true;
    } else if (A == u"--") {
      OptionsEnded = true;
    } else {
      Wrong(Text::UnknownOption, A);
    }
  }
  return O;
}

void Say(std::u16string_view Text, bool ToErrors = true) {
  platform::WriteStandard(ToUtf8(Text), ToErrors);
}

int Run(const std::vector<std::u16string>& Arguments) {
  const Options O = ReadOptions(Arguments);
  const Language Lang = O.Lang;
  if (O.Error) {
    Say(u"marigold-check: " + check::Say(*O.Error, Lang, {O.Argument}) + u"\n" +
        check::Say(Text::Usage, Lang));
    return 2;
  }
  if (O.Help) {
    Say(check::Say(Text::Usage, Lang), /*ToErrors=*/false);
    return 0;
  }
  if (O.Version) {
    std::string_view Number = plugin::PlugInVersion;
    Number.remove_prefix(std::min(Number.find_first_of("0123456789"), Number.size()));
    platform::WriteStandard("marigold-check " + std::string(Number) + "\n");
    return 0;
  }
  std::u16string Label = O.File, SystemName = O.File;
  if (O.File.empty()) {
    // No host: HostWindow stays null, and the query sent to no window reaches nobody and answers
    // nothing, so the plug-in's own rules apply as without a "PlugInsFolder" setting, with this
    // program's executable in the editor's place.
    plugin::HostWindow = nullptr;
    Label = plugin::GetSettingsFileName();
    SystemName = platform::SystemPathOf(Label);
    Say(check::Say(Text::NoFileGiven, Lang, {Label}) + u"\n");
  }
  const auto Bytes = platform::ReadWholeFile(SystemName);
  if (!Bytes) {
    const std::error_code Error = Bytes.Error();
    std::u16string Reason = platform::SystemReason(Error);
    if (Reason.empty()) {
      const std::string Code = "error " + std::to_string(Error.value());
      Reason.assign(Code.begin(), Code.end());
    }
    Say(check::Say(Text::CannotRead, Lang, {Visible(Label), Reason}) + u"\n");
    return 2;
  }
  const Report R = CheckSettings(*Bytes, platform::WindowsFolderOf(SystemName),
                                 plugin::LookupClock::now() + plugin::LookupDeadline);
  platform::WriteStandard(O.Json ? FormatJson(R, Label, Lang) : FormatText(R, Label, Lang));
  return ExitStatus(R);
}

} // namespace

int main(int argc, char** argv) {
  try {
    platform::PrepareConsoleProgram();
    return Run(platform::ProgramArguments(argc, argv));
  } catch (const std::exception& Error) {
    platform::WriteStandard(std::string("marigold-check: error: ") + Error.what() + "\n",
                            /*ToErrors=*/true);
    return 2;
  }
}
