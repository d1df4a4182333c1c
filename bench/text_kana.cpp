// ConvertChars kana conversions on mixed Japanese text: ours, the literal reference, and
// absl::StrReplaceAll on the same text and table in UTF-8.
#include "TextBench.h"
#include "lib/StringConvertUnit.h"
#include "reference/ConvertReference.h"

#include <absl/strings/str_replace.h>

#include <cstdlib>
#include <utility>

using namespace marigold;

namespace {

using textbench::MiB;
using Pairs = std::vector<std::pair<std::string, std::string>>;

struct Contest {
  const char* Name;
  TCharConversion Conversion;
};
constexpr Contest Contests[] = {{"KanaToWide", ccKanaToWide},
                                {"KanaToNarrow", ccKanaToNarrow},
                                {"KanaToHiragana", ccKanaToHiragana}};
constexpr std::pair<const char*, std::size_t> Sizes[] = {{"1MiB", 1 * MiB}, {"8MiB", 8 * MiB}};

// The table of the conversion as UTF-8 pairs; for hiragana both widths map straight to it.
Pairs AbslTable(TCharConversion Conversion) {
  Pairs Table;
  for (std::size_t I = 0; I < KanaTableSize; ++I) {
    const std::string Narrow = textbench::Utf8(NarrowKanaTable[I]);
    const std::string Wide = textbench::Utf8(WideKanaTable.substr(I, 1));
    const std::string Hiragana = textbench::Utf8(HiraganaTable.substr(I, 1));
    if (Conversion == ccKanaToWide)
      Table.emplace_back(Narrow, Wide);
    else if (Conversion == ccKanaToNarrow)
      Table.emplace_back(Wide, Narrow);
    else {
      Table.emplace_back(Narrow, Hiragana);
      if (Wide != Hiragana)
        Table.emplace_back(Wide, Hiragana);
    }
  }
  return Table;
}

const std::u16string& Input(std::size_t Bytes) {
  static std::map<std::size_t, std::u16string> Texts;
  auto [It, Added] = Texts.try_emplace(Bytes);
  if (Added)
    It->second = textbench::JapaneseText(Bytes, false);
  return It->second;
}

// All three contenders must agree before any of them is timed.
void CheckAgreement(const Contest& C) {
  const std::u16string Sample = textbench::JapaneseText(64 * 1024, false, 11);
  std::u16string Ours = Sample, Reference = Sample;
  ConvertChars(Ours, C.Conversion);
  reference::ConvertChars(Reference, C.Conversion);
  const std::string Absl = absl::StrReplaceAll(textbench::Utf8(Sample), AbslTable(C.Conversion));
  if (Ours != Reference || textbench::Utf8(Ours) != Absl) {
    std::fprintf(stderr, "%s: contenders disagree\n", C.Name);
    std::exit(1);
  }
}

// Times one contender converting a fresh copy of the input (the conversions work in place).
template <class Convert> void Register(const std::string& Name, std::size_t Bytes, Convert Fn) {
  benchmark::RegisterBenchmark(Name.c_str(), [Bytes, Fn](benchmark::State& State) {
    const std::u16string& Text = Input(Bytes);
    for (auto _ : State) {
      State.PauseTiming();
      std::u16string S = Text;
      State.ResumeTiming();
      Fn(S);
      benchmark::DoNotOptimize(S.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Bytes));
  })->Unit(benchmark::kMillisecond);
}

void RegisterAbsl(const std::string& Name, std::size_t Bytes, TCharConversion Conversion) {
  benchmark::RegisterBenchmark(Name.c_str(), [Bytes, Conversion](benchmark::State& State) {
    const std::string Text = textbench::Utf8(Input(Bytes));
    const Pairs Table = AbslTable(Conversion);
    for (auto _ : State) {
      std::string S = absl::StrReplaceAll(Text, Table);
      benchmark::DoNotOptimize(S.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Bytes));
  })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
  std::vector<textbench::Ratio> Ratios;
  for (const Contest& C : Contests) {
    CheckAgreement(C);
    const TCharConversion Conversion = C.Conversion;
    const std::string Base = std::string(C.Name) + "/";
    for (const auto& [SizeName, Bytes] : Sizes) {
      const std::string Ours = Base + "ours/" + SizeName;
      const std::string Reference = Base + "reference/" + SizeName;
      const std::string Absl = Base + "absl/" + SizeName;
      Register(Ours, Bytes, [Conversion](std::u16string& S) { ConvertChars(S, Conversion); });
      Register(Reference, Bytes,
               [Conversion](std::u16string& S) { reference::ConvertChars(S, Conversion); });
      RegisterAbsl(Absl, Bytes, Conversion);
      Ratios.push_back({Base + SizeName + ": reference / ours (goal >= 5)", Reference, Ours});
      Ratios.push_back({Base + SizeName + ": absl / ours (goal >= 1)", Absl, Ours});
    }
    Ratios.push_back({Base + "ours: per byte 8MiB / 1MiB (goal <= 1.3)", Base + "ours/8MiB",
                      Base + "ours/1MiB", 8});
  }
  return textbench::Main(argc, argv, std::move(Ratios));
}
