// FindSubString and SearchStrings forwards and backwards over 1 MiB of Japanese text, with the
// match planted near the far end of the scan (bytes per second count the whole text, not the
// part scanned): ours against the literal reference.
#include "TextBench.h"
#include "lib/StringSearchUnit.h"
#include "reference/SearchReference.h"

#include <cstdio>

using namespace marigold;

namespace {

constexpr std::u16string_view Needle = u"Xyzzyテキスト";
constexpr std::u16string_view Several[] = {u"Xyzzyテキスト", u"ｶﾞｶﾞｶﾞ", u"終端の印"};

// The needle planted once, near the far end of the scan: at 90 % for forward searches, at
// 10 % for backward ones.
const std::u16string& Input(TSearchDirection Direction) {
  auto Planted = [](std::size_t Tenths) {
    std::u16string S = textbench::JapaneseText(textbench::MiB, true);
    S.replace(S.size() * Tenths / 10, Needle.size(), Needle);
    return S;
  };
  static const std::u16string Forward = Planted(9), Backward = Planted(1);
  return Direction == sdForward ? Forward : Backward;
}

struct Contest {
  const char* Name;
  bool Multiple, IgnoreCase;
  TSearchDirection Direction;
};
constexpr Contest Contests[] = {
    {"FindSubString/forward", false, false, sdForward},
    {"FindSubString/forward-ignorecase", false, true, sdForward},
    {"SearchStrings/backward", false, false, sdBackward},
    {"SearchStrings/3-patterns-forward", true, false, sdForward},
    {"SearchStrings/3-patterns-backward", true, false, sdBackward},
    {"SearchStrings/3-patterns-backward-ignorecase", true, true, sdBackward},
};

TSearchHit Ours(const Contest& C, const std::u16string& S) {
  if (!C.Multiple && C.Direction == sdForward)
    return {FindSubString(Needle, S, C.IgnoreCase, 1, WholeRest), 0};
  const std::u16string_view One[] = {Needle};
  const StringArrayView Patterns = C.Multiple ? StringArrayView(Several) : StringArrayView(One);
  return SearchStrings(Patterns, S, 1, WholeRest, C.IgnoreCase, C.Direction);
}

TSearchHit Reference(const Contest& C, const std::u16string& S) {
  if (C.Multiple)
    return reference::SearchStrings(Several, S, 1, WholeRest, C.IgnoreCase, C.Direction);
  const std::u16string_view One[] = {Needle};
  return reference::SearchStrings(One, S, 1, WholeRest, C.IgnoreCase, C.Direction);
}

template <class Fn> void Register(const std::string& Name, const Contest& C, Fn Search) {
  benchmark::RegisterBenchmark(Name.c_str(), [C, Search](benchmark::State& State) {
    const std::u16string& Text = Input(C.Direction);
    for (auto _ : State)
      benchmark::DoNotOptimize(Search(C, Text));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * textbench::MiB));
  })->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv) {
  std::vector<textbench::Ratio> Ratios;
  for (const Contest& C : Contests) {
    const std::u16string& Text = Input(C.Direction);
    const std::int32_t Expected =
        static_cast<std::int32_t>(Text.size() * (C.Direction == sdForward ? 9 : 1) / 10 + 1);
    if (Ours(C, Text) != Reference(C, Text) || Ours(C, Text).Position != Expected) {
      std::fprintf(stderr, "%s: contenders disagree\n", C.Name);
      return 1;
    }
    const std::string Name = C.Name;
    Register(Name + "/ours", C, Ours);
    Register(Name + "/reference", C, Reference);
    Ratios.push_back({Name + ": reference / ours", Name + "/reference", Name + "/ours"});
  }
  Ratios.push_back({"FindSubString: ours ignoring case / ours (goal <= 1.5)",
                    "FindSubString/forward-ignorecase/ours", "FindSubString/forward/ours"});
  return textbench::Main(argc, argv, std::move(Ratios));
}
