#include "lib/StringRecordList.h"

#include "lib/StringSearchUnit.h"
#include "lib/StringUnit.h"

#include <array>
#include <memory>
#include <utility>

namespace marigold {

namespace {

using StringCell = std::u16string;

// Finds the next position holding the first unit of some delimiter: only there can a delimiter
// match. A filter on the low byte rejects almost every other unit in one load.
class StartScan {
public:
  explicit StartScan(const std::vector<std::u16string>& Delimiters) {
    for (const std::u16string& D : Delimiters)
      if (!D.empty() && FUnits.find(D[0]) == std::u16string::npos) {
        FUnits += D[0];
        FMaybe[D[0] & 0xFF] = true;
      }
  }

  size_t Next(std::u16string_view Value, size_t From) const {
    for (size_t I = From; I < Value.size(); ++I) {
      const char16_t C = Value[I];
      if (FMaybe[C & 0xFF] && FUnits.find(C) != std::u16string::npos)
        return I;
    }
    return std::u16string_view::npos;
  }

private:
  std::u16string FUnits;
  std::array<bool, 256> FMaybe{};
};

} // namespace

const std::vector<std::u16string>& LineBreakDelimiters() {
  static const std::vector<std::u16string> Breaks{u"\r\n", u"\r", u"\n"};
  return Breaks;
}

TRecordList::~TRecordList() {
  Clear();
}

int32_t TRecordList::Add(std::u16string_view Item) {
  return AddString(std::u16string(Item));
}

int32_t TRecordList::AddString(std::u16string Item) {
  auto Owned = std::make_unique<StringCell>(std::move(Item));
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
  return RemoveSuffix(Result, Delimiter, /*IgnoreCase=*/false);
}

void TCommonStringRecordList::SplitText(std::u16string_view Value,
                                        const std::vector<std::u16string>& Delimiters,
                                        TDelimitStyle Style) {
  Clear();
  if (Style > dsWithDelimitersNoEmpty)
    return;
  // The delimiters are tried in array order only where one of them can begin.
  const StartScan Scan(Delimiters);
  const bool KeepEmpty = Style == dsSeparated || Style == dsWithDelimiters;
  const bool KeepDelimiters = Style == dsWithDelimiters || Style == dsWithDelimitersNoEmpty;
  const auto N = static_cast<int32_t>(Value.size());
  int32_t Start = 1;
  size_t Found = Scan.Next(Value, 0);
  while (Found != std::u16string_view::npos) {
    const auto P = static_cast<int32_t>(Found + 1);
    int32_t L = 0;
    for (const std::u16string& D : Delimiters)
      if (MatchesAt(D, Value, P, /*IgnoreCase=*/false)) {
        L = static_cast<int32_t>(D.size());
        break;
      }
    if (L > 0) {
      if (Style == dsTerminated) {
        AddString(CopyRange(Value, Start, P + L - 1));
      } else {
        if (KeepEmpty || P > Start)
          AddString(CopyRange(Value, Start, P - 1));
        if (KeepDelimiters)
          AddString(CopyRange(Value, P, P + L - 1));
      }
      Start = P + L;
    }
    Found = Scan.Next(Value, static_cast<size_t>(P - 1 + (L > 0 ? L : 1)));
  }
  if (KeepEmpty || Start <= N)
    AddString(CopyRange(Value, Start, N));
}

} // namespace marigold
