#pragma once

// Shared pieces of the text benchmarks: deterministic sample texts and a reporter that prints,
// after the usual table, how each contender compares with ours on the same input.
//
// Build and run all of them:
//   cmake --preset bench -B build/bench && cmake --build build/bench -j2 &&
//   for b in build/bench/bench/bench_text_*; do "$b"; done

#include "base/Unicode.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace marigold;

namespace textbench {

inline constexpr std::size_t MiB = 1024 * 1024;

// Mixed Japanese text of Bytes bytes of UTF-16: half-width kana (with voiced and semi-voiced
// pairs), full-width katakana, hiragana, kanji, ASCII words and punctuation, and, with
// LineBreaks, tabs and CR LF / CR / LF line ends.
inline std::u16string JapaneseText(std::size_t Bytes, bool LineBreaks, unsigned Seed = 7) {
  static constexpr std::u16string_view HalfKana =
      u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｯｬｭｮｰ";
  static constexpr std::u16string_view Katakana =
      u"アイウエオカガキギクグケゲコゴサザシジスズセソタダチツテデトドナニヌネノハバパヒビピフブプ"
      u"ヘホポマミムメモヤユヨラリルレロワヲンッャュョー";
  static constexpr std::u16string_view Hiragana =
      u"あいうえおかがきぎくぐけげこごさざしじすずせそただちつてでとどなにぬねのはばぱひびぴふぶぷ"
      u"へほぽまみむめもやゆよらりるれろわをんっゃゅょ";
  static constexpr std::u16string_view Ascii =
      u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static constexpr std::u16string_view Punctuation = u"、。「」・ー（）！？ ";
  std::mt19937 Engine(Seed);
  auto Below = [&Engine](std::size_t N) {
    return std::uniform_int_distribution<std::size_t>(0, N - 1)(Engine);
  };
  auto Run = [&](std::u16string& Out, std::u16string_view From, std::size_t MaxLength) {
    for (std::size_t N = 1 + Below(MaxLength); N > 0; --N)
      Out += From[Below(From.size())];
  };
  const std::size_t Units = Bytes / sizeof(char16_t);
  std::u16string Text;
  Text.reserve(Units + 16);
  while (Text.size() < Units) {
    const std::size_t Kind = Below(100);
    if (Kind < 20) {
      for (std::size_t N = 1 + Below(6); N > 0; --N) {
        Text += HalfKana[Below(HalfKana.size())];
        if (Below(5) == 0)
          Text += Below(4) == 0 ? u'\uFF9F' : u'\uFF9E';
      }
    } else if (Kind < 35) {
      Run(Text, Katakana, 6);
    } else if (Kind < 50) {
      Run(Text, Hiragana, 6);
    } else if (Kind < 65) {
      for (std::size_t N = 1 + Below(4); N > 0; --N)
        Text += static_cast<char16_t>(0x4E00 + Below(0x5000));
    } else if (Kind < 90) {
      Run(Text, Ascii, 8);
      Text += u' ';
    } else if (Kind < 97 || !LineBreaks) {
      Run(Text, Punctuation, 1);
    } else {
      static constexpr std::u16string_view Breaks[] = {u"\r\n", u"\n", u"\r", u"\t"};
      Text += Breaks[Below(4)];
    }
  }
  Text.resize(Units);
  return Text;
}

inline std::string Utf8(std::u16string_view Text) {
  return ToUtf8(Text);
}

// Ratio lines: Numerator's CPU time over Denominator's (CPU time, because the machine is shared).
struct Ratio {
  std::string Label, Numerator, Denominator;
  double Scale = 1; // for per-byte comparisons between input sizes
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
  explicit RatioReporter(std::vector<Ratio> Ratios) : FRatios(std::move(Ratios)) {}

  void ReportRuns(const std::vector<Run>& Runs) override {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run& R : Runs)
      if (!R.error_occurred && R.iterations > 0)
        FSeconds[R.benchmark_name()] = R.cpu_accumulated_time / static_cast<double>(R.iterations);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nRatios of CPU time per iteration (first / second), same input, same run:\n");
    for (const Ratio& R : FRatios) {
      const auto N = FSeconds.find(R.Numerator), D = FSeconds.find(R.Denominator);
      if (N == FSeconds.end() || D == FSeconds.end())
        continue;
      std::printf("  %-58s %8.2f\n", R.Label.c_str(), N->second / (D->second * R.Scale));
    }
    std::fflush(stdout);
  }

private:
  std::vector<Ratio> FRatios;
  std::map<std::string, double> FSeconds;
};

// Runs the registered benchmarks and prints the ratios.
inline int Main(int argc, char** argv, std::vector<Ratio> Ratios) {
  benchmark::Initialize(&argc, argv);
  RatioReporter Reporter(std::move(Ratios));
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  return 0;
}

} // namespace textbench
