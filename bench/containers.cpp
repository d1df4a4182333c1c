// The settings text through TCommonStringRecordList (assign Text, read it back) and the
// favourites lines through TStringSplitter, each against a plain splitter on the same input.
#include "TextBench.h"
#include "lib/StringRecordList.h"
#include "lib/StringSplitterUnit.h"
#include "reference/ContainersReference.h"

#include <cstdlib>
#include <map>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace marigold;

namespace {

constexpr std::size_t FullLines = 200000;
constexpr std::size_t FullUnits = 16 * textbench::MiB; // a 16 MiB ANSI file, decoded

// Favourites-like lines: nesting TABs, an optional label and TAB, a path, sometimes an option;
// Lines lines of Units units in all, ending in CR LF or, one time in four, LF.
std::u16string SettingsText(std::size_t Lines, std::size_t Units, unsigned Seed = 3) {
  std::mt19937 Engine(Seed);
  auto Below = [&Engine](std::size_t N) {
    return std::uniform_int_distribution<std::size_t>(0, N - 1)(Engine);
  };
  static constexpr std::u16string_view PathUnits =
      u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-. 資料設定";
  const std::size_t Average = Units / Lines;
  std::u16string Text;
  Text.reserve(Units + Lines * 4);
  for (std::size_t L = 0; L < Lines; ++L) {
    const std::size_t Start = Text.size();
    Text.append(Below(4), u'\t');
    if (Below(2) == 0)
      Text += u"Label " + std::u16string(1, PathUnits[Below(26)]) + u'\t';
    Text += u"C:\\Users\\someone\\Documents\\";
    const bool CrLf = Below(4) != 0;
    const std::size_t Target = Average / 2 + Below(Average) - (CrLf ? 2 : 1);
    while (Text.size() - Start < Target)
      Text += Below(12) == 0 ? u'\\' : PathUnits[Below(PathUnits.size())];
    if (Below(5) == 0)
      Text += u" /l 120";
    Text += CrLf ? u"\r\n" : u"\n";
  }
  return Text;
}

const std::u16string& Settings(std::size_t Lines) {
  static std::map<std::size_t, std::u16string> Texts;
  auto [It, Added] = Texts.try_emplace(Lines);
  if (Added)
    It->second = SettingsText(Lines, FullUnits / (FullLines / Lines));
  return It->second;
}

// Lines without their breaks, as the favourites command splits them.
const std::vector<std::u16string>& FavouriteLines() {
  static const std::vector<std::u16string> Lines = [] {
    std::vector<std::u16string> Out;
    for (std::u16string& Line : reference::SplitLines(SettingsText(100000, 100000 * 84, 5))) {
      while (!Line.empty() && (Line.back() == u'\n' || Line.back() == u'\r'))
        Line.pop_back();
      Out.push_back(Line.substr(Line.find_first_not_of(u'\t')));
    }
    return Out;
  }();
  return Lines;
}

void TextOurs(benchmark::State& State) {
  const std::u16string& Text = Settings(std::size_t(State.range(0)));
  for (auto _ : State) {
    TCommonStringRecordList List;
    List.SetText(Text);
    std::u16string Back = List.Text();
    benchmark::DoNotOptimize(Back.data());
    if (Back.size() != Text.size())
      std::abort();
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size() * 2));
}

void TextReference(benchmark::State& State) {
  const std::u16string& Text = Settings(std::size_t(State.range(0)));
  for (auto _ : State) {
    std::vector<std::u16string> Lines = reference::SplitLines(Text);
    std::size_t Total = 0;
    for (const std::u16string& Line : Lines)
      Total += Line.size();
    std::u16string Back;
    Back.reserve(Total);
    for (const std::u16string& Line : Lines)
      Back += Line;
    benchmark::DoNotOptimize(Back.data());
    if (Back.size() != Text.size())
      std::abort();
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size() * 2));
}

void SplitterOurs(benchmark::State& State) {
  const std::vector<std::u16string> Tab{u"\t"};
  for (auto _ : State) {
    std::size_t Units = 0;
    for (const std::u16string& Line : FavouriteLines()) {
      TStringSplitter Splitter(Line, Tab, sfKeepEmpty);
      Units += Splitter.GetWord(Splitter.Count() - 1).size();
    }
    benchmark::DoNotOptimize(Units);
  }
}

void SplitterReference(benchmark::State& State) {
  for (auto _ : State) {
    std::size_t Units = 0;
    for (const std::u16string& Line : FavouriteLines()) {
      std::vector<std::u16string> Words;
      std::u16string_view Rest = Line;
      for (std::size_t Tab; (Tab = Rest.find(u'\t')) != std::u16string_view::npos;
           Rest.remove_prefix(Tab + 1))
        Words.emplace_back(Rest.substr(0, Tab));
      Words.emplace_back(Rest);
      Units += Words.back().size();
    }
    benchmark::DoNotOptimize(Units);
  }
}

BENCHMARK(TextOurs)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(TextReference)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitterOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitterReference)->Unit(benchmark::kMillisecond);

// The outputs agree before anything is timed.
void CheckAgreement() {
  const std::u16string Text = SettingsText(2000, 2000 * 84, 9);
  TCommonStringRecordList List;
  List.SetText(Text);
  const auto Lines = reference::SplitLines(Text);
  if (List.Text() != Text || std::size_t(List.Count()) != Lines.size())
    std::abort();
  for (std::size_t I = 0; I < Lines.size(); ++I)
    if (List.GetItem(int32_t(I)) != Lines[I])
      std::abort();
}

} // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Keep freed memory in the process: otherwise glibc hands the 16 MiB blocks and the trimmed
  // heap back to the kernel after every iteration, and both contenders mostly time page faults.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  CheckAgreement();
  std::vector<textbench::Ratio> Ratios = {
      {"Text assign+read 16 MiB, ours / find_first_of reference", "TextOurs/200000",
       "TextReference/200000"},
      {"Text assign+read 4 MiB, ours / reference", "TextOurs/50000", "TextReference/50000"},
      {"linearity: ours 16 MiB / (4 x ours 4 MiB)", "TextOurs/200000", "TextOurs/50000", 4},
      {"linearity: ours 8 MiB / (2 x ours 4 MiB)", "TextOurs/100000", "TextOurs/50000", 2},
      {"linearity: reference 16 MiB / (4 x reference 4 MiB)", "TextReference/200000",
       "TextReference/50000", 4},
      {"TStringSplitter 100,000 favourites lines, ours / reference", "SplitterOurs",
       "SplitterReference"}};
  // With --benchmark_repetitions the medians are compared as well.
  for (size_t I = 0, N = Ratios.size(); I < N; ++I) {
    textbench::Ratio Median = Ratios[I];
    Median.Label += " (median)";
    Median.Numerator += "_median";
    Median.Denominator += "_median";
    Ratios.push_back(Median);
  }
  return textbench::Main(argc, argv, std::move(Ratios));
}
