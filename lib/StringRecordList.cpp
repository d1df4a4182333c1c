#include "lib/StringRecordList.h"

#include <memory>

namespace {

using StringCell = std::u16string;

// Until the text utilities land: the character range From ... To (1-based, inclusive).
std::u16string_view PieceOf(std::u16string_view Value, size_t From, size_t To) {
  return To < From ? std::u16string_view() : Value.substr(From - 1, To - From + 1);
}

} // namespace

const std::vector<std::u16string>& LineBreakDelimiters() {
  static const std::vector<std::u16string> Breaks{u"\r\n", u"\r", u"\n"};
  return Breaks;
}

TRecordList::~TRecordList() {
  Clear();
}

int32_t TRecordList::Add(std::u16string_view Item) {
  auto Owned = std::make_unique<StringCell>(Item);
  int32_t Index = FList.Add(Owned.get());
  (void)Owned.release();
  return Index;
}

void TRecordList::Insert(int32_t Index, std::u16string_view Item) {
  auto Owned = std::make_unique<StringCell>(Item);
  FList.Insert(Index, Owned.get());
  (void)Owned.release();
}

void TRecordList::Delete(int32_t Index) {
  std::unique_ptr<StringCell> Owned(static_cast<StringCell*>(FList.GetItem(Index)));
  FList.Delete(Index);
}

void TRecordList::Clear() {
  for (int32_t I = 0; I < FList.Count(); ++I)
    delete static_cast<StringCell*>(FList.List()[I]);
  FList.Clear();
}

void TRecordList::Exchange(int32_t Index1, int32_t Index2) {
  FList.Exchange(Index1, Index2);
}

void TRecordList::Move(int32_t CurIndex, int32_t NewIndex) {
  FList.Move(CurIndex, NewIndex);
}

std::u16string TRecordList::GetItem(int32_t Index) const {
  return *static_cast<const StringCell*>(FList.GetItem(Index));
}

int32_t TRecordList::IndexOf(std::u16string_view Value) const {
  for (int32_t I = 0; I < FList.Count(); ++I)
    if (Cell(I) == Value)
      return I;
  return -1;
}

void TRecordList::SetCount(int32_t NewCount) {
  int32_t Old = FList.Count();
  if (NewCount == Old)
    return;
  if (NewCount < Old) {
    // A negative count ends in Delete(-1), the list error, after every item is gone.
    for (int32_t I = Old - 1; I >= NewCount; --I)
      Delete(I);
    return;
  }
  for (int32_t I = Old; I < NewCount; ++I)
    Add(std::u16string_view());
}

void TRecordList::Assign(const TRecordList* Source) {
  if (Source == nullptr || Source == this)
    return;
  Clear();
  for (int32_t I = 0; I < Source->Count(); ++I)
    Add(Source->Cell(I));
}

std::u16string TCommonStringRecordList::Text() const {
  size_t Total = 0;
  for (int32_t I = 0; I < Count(); ++I)
    Total += Cell(I).size();
  std::u16string Result;
  Result.reserve(Total);
  for (int32_t I = 0; I < Count(); ++I)
    Result += Cell(I);
  return Result;
}

void TCommonStringRecordList::SetText(std::u16string_view Value) {
  SplitText(Value, LineBreakDelimiters(), dsTerminated);
}

void TCommonStringRecordList::SetDelimitedText(std::u16string_view Value,
                                               const std::vector<std::u16string>& Delimiters) {
  SplitText(Value, Delimiters, dsSeparated);
}

std::u16string TCommonStringRecordList::GetDelimitedText(std::u16string_view Delimiter) const {
  std::u16string Result;
  for (int32_t I = 0; I < Count(); ++I) {
    Result += Cell(I);
    Result += Delimiter;
  }
  // Until the text utilities land: drop the one trailing delimiter.
  if (!Delimiter.empty() && Result.size() >= Delimiter.size())
    Result.resize(Result.size() - Delimiter.size());
  return Result;
}

void TCommonStringRecordList::SplitText(std::u16string_view Value,
                                        const std::vector<std::u16string>& Delimiters,
                                        TDelimitStyle Style) {
  Clear();
  if (Style > dsWithDelimitersNoEmpty)
    return;
  // Only a position holding the first unit of some delimiter can start a match, so the scan
  // jumps between such positions; the delimiters are then tried there in array order.
  std::u16string Starters;
  for (const std::u16string& D : Delimiters)
    if (!D.empty() && Starters.find(D[0]) == std::u16string::npos)
      Starters += D[0];
  const bool KeepEmpty = Style == dsSeparated || Style == dsWithDelimiters;
  const bool KeepDelimiters = Style == dsWithDelimiters || Style == dsWithDelimitersNoEmpty;
  const size_t N = Value.size();
  size_t Start = 1;
  size_t P = Starters.empty() ? std::u16string_view::npos : Value.find_first_of(Starters);
  while (P != std::u16string_view::npos) {
    ++P; // 1-based from here on
    const std::u16string* Match = nullptr;
    for (const std::u16string& D : Delimiters)
      if (!D.empty() && Value.substr(P - 1).starts_with(D)) {
        Match = &D;
        break;
      }
    size_t Next = P;
    if (Match != nullptr) {
      size_t L = Match->size();
      if (Style == dsTerminated) {
        Add(PieceOf(Value, Start, P + L - 1));
      } else {
        std::u16string_view Piece = PieceOf(Value, Start, P - 1);
        if (KeepEmpty || !Piece.empty())
          Add(Piece);
        if (KeepDelimiters)
          Add(PieceOf(Value, P, P + L - 1));
      }
      Start = P + L;
      Next = P + L - 1;
    }
    P = Value.find_first_of(Starters, Next);
  }
  std::u16string_view Last = PieceOf(Value, Start, N);
  if (KeepEmpty || !Last.empty())
    Add(Last);
}
