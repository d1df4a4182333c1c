#include "reference/ContainersReference.h"

#include <utility>

namespace marigold::reference {

std::vector<std::u16string> SplitText(std::u16string_view Value,
                                      const std::vector<std::u16string>& Delimiters, int Style) {
  std::vector<std::u16string> Out;
  if (Style < 0 || Style > 4)
    return Out;
  size_t Start = 0;
  size_t P = 0;
  while (P < Value.size()) {
    const std::u16string* Match = nullptr;
    for (const std::u16string& D : Delimiters)
      if (!D.empty() && D.size() <= Value.size() - P && Value.compare(P, D.size(), D) == 0) {
        Match = &D;
        break;
      }
    if (Match == nullptr) {
      ++P;
      continue;
    }
    std::u16string Piece(Value.substr(Start, P - Start));
    std::u16string Delimiter(*Match);
    switch (Style) {
    case 0:
      Out.push_back(Piece + Delimiter);
      break;
    case 1:
      Out.push_back(Piece);
      break;
    case 2:
      if (!Piece.empty())
        Out.push_back(Piece);
      break;
    case 3:
      Out.push_back(Piece);
      Out.push_back(Delimiter);
      break;
    case 4:
      if (!Piece.empty())
        Out.push_back(Piece);
      Out.push_back(Delimiter);
      break;
    }
    P += Match->size();
    Start = P;
  }
  std::u16string Last(Value.substr(Start));
  if (Style == 1 || Style == 3 || !Last.empty())
    Out.push_back(Last);
  return Out;
}

std::vector<std::u16string> SplitLines(std::u16string_view Value) {
  std::vector<std::u16string> Out;
  size_t Start = 0;
  while (Start < Value.size()) {
    size_t Break = Value.find_first_of(u"\r\n", Start);
    if (Break == std::u16string_view::npos) {
      Out.emplace_back(Value.substr(Start));
      break;
    }
    size_t End = Break + 1;
    if (Value[Break] == u'\r' && End < Value.size() && Value[End] == u'\n')
      ++End;
    Out.emplace_back(Value.substr(Start, End - Start));
    Start = End;
  }
  return Out;
}

void SortRange(std::vector<void*>& Items, int32_t L, int32_t R, Compare Cmp) {
  int32_t I;
  do {
    I = L;
    int32_t J = R;
    void* P = Items[size_t((L + R) / 2)];
    do {
      while (Cmp(Items[size_t(I)], P) < 0)
        ++I;
      while (Cmp(Items[size_t(J)], P) > 0)
        --J;
      if (I <= J) {
        std::swap(Items[size_t(I)], Items[size_t(J)]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J)
      SortRange(Items, L, J, Cmp);
    L = I;
  } while (I < R);
}

} // namespace marigold::reference
