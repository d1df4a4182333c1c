// ReplaceStrings with the line-flattening list (TAB, CR LF, CR, LF) on 1 MiB of text with line
// breaks: ours, the literal reference and absl::StrReplaceAll, case-sensitive and ignoring case.
#include "TextBench.h"
#include "lib/StringSearchUnit.h"
#include "reference/SearchReference.h"

#include <absl/strings/str_replace.h>

#include <cstdlib>

using namespace marigold;

namespace {

constexpr std::u16string_view Search[] = {u"\t", u"\r\n", u"\r", u"\n"};
constexpr std::u16string_view Replace[] = {u" ", u" ", u"", u""};

const std::u16string& Input() {
  static const std::u16string Text = textbench::JapaneseText(textbench::MiB, true);
  return Text;
}

template <class Fn> void Register(const std::string& Name, Fn Replacer) {
  benchmark::RegisterBenchmark(Name.c_str(), [Replacer](benchmark::State& State) {
    const std::u16string& Text = Input();
    for (auto _ : State) {
      std::u16string Result = Replacer(Text);
      benchmark::DoNotOptimize(Result.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * textbench::MiB));
  })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
  const std::u16string Expected = reference::ReplaceStrings(Input(), Search, Replace, false, true);
  const std::string Absl = absl::StrReplaceAll(
      textbench::Utf8(Input()), {{"\t", " "}, {"\r\n", " "}, {"\r", ""}, {"\n", ""}});
  if (ReplaceStrings(Input(), Search, Replace, false, true) != Expected ||
      ReplaceStrings(Input(), Search, Replace, true, true) != Expected ||
      textbench::Utf8(Expected) != Absl) {
    std::fprintf(stderr, "contenders disagree\n");
    return 1;
  }
  Register("LineBreaks/ours",
           [](const std::u16string& S) { return ReplaceStrings(S, Search, Replace, false, true); });
  Register("LineBreaks/ours-ignorecase",
           [](const std::u16string& S) { return ReplaceStrings(S, Search, Replace, true, true); });
  Register("LineBreaks/reference", [](const std::u16string& S) {
    return reference::ReplaceStrings(S, Search, Replace, false, true);
  });
  Register("LineBreaks/reference-ignorecase", [](const std::u16string& S) {
    return reference::ReplaceStrings(S, Search, Replace, true, true);
  });
  benchmark::RegisterBenchmark("LineBreaks/absl", [](benchmark::State& State) {
    const std::string Text = textbench::Utf8(Input());
    for (auto _ : State) {
      std::string Result =
          absl::StrReplaceAll(Text, {{"\t", " "}, {"\r\n", " "}, {"\r", ""}, {"\n", ""}});
      benchmark::DoNotOptimize(Result.data());
    }
  })->Unit(benchmark::kMillisecond);
  return textbench::Main(
      argc, argv,
      {{"LineBreaks 1MiB: reference / ours", "LineBreaks/reference", "LineBreaks/ours"},
       {"LineBreaks 1MiB ignoring case: reference / ours", "LineBreaks/reference-ignorecase",
        "LineBreaks/ours-ignorecase"},
       {"LineBreaks 1MiB: absl / ours", "LineBreaks/absl", "LineBreaks/ours"},
       {"LineBreaks 1MiB: ours ignoring case / ours (goal <= 1.5)", "LineBreaks/ours-ignorecase",
        "LineBreaks/ours"}});
}
