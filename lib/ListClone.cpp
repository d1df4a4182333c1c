#include "lib/ListClone.h"

#include "base/Errors.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace marigold {

TListClone::~TListClone() {
  TListClone::Clear();
}

void TListClone::Error(std::u16string_view /*Msg*/, int32_t /*Data*/) {
  AssertionFailure(u"Listエラー", u"TemplateList\\ListClone", 127);
}

void TListClone::CheckIndex(int32_t Index) const {
  if (Index < 0 || Index >= FCount)
    Error(u"List index out of bounds", Index);
}

void TListClone::Grow() {
  int32_t Delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
  // Near the limit the sum is checked by SetCapacity; keep it from overflowing first.
  SetCapacity(FCapacity > MaxListSize - Delta ? MaxListSize + 1 : FCapacity + Delta);
}

void TListClone::Notify(void* /*Item*/, TListCloneNotifyAction /*Action*/) {}

int32_t TListClone::Add(void* Item) {
  int32_t Result = FCount;
  if (Result == FCapacity)
    Grow();
  FList[Result] = Item;
  ++FCount;
  if (Item != nullptr)
    Notify(Item, naAdded);
  return Result;
}

void TListClone::Insert(int32_t Index, void* Item) {
  if (Index < 0 || Index > FCount)
    Error(u"List index out of bounds", Index);
  if (FCount == FCapacity)
    Grow();
  void** Slots = FList.get();
  if (Index < FCount)
    std::memmove(Slots + Index + 1, Slots + Index, sizeof(void*) * size_t(FCount - Index));
  Slots[Index] = Item;
  ++FCount;
  if (Item != nullptr)
    Notify(Item, naAdded);
}

void TListClone::Delete(int32_t Index) {
  CheckIndex(Index);
  void** Slots = FList.get();
  void* Item = Slots[Index];
  --FCount;
  if (Index < FCount)
    std::memmove(Slots + Index, Slots + Index + 1, sizeof(void*) * size_t(FCount - Index));
  if (Item != nullptr)
    Notify(Item, naDeleted);
}

int32_t TListClone::Remove(void* Item) {
  int32_t Result = IndexOf(Item);
  if (Result >= 0)
    Delete(Result);
  return Result;
}

void* TListClone::Extract(void* Item) {
  int32_t Index = IndexOf(Item);
  if (Index < 0)
    return nullptr;
  FList[Index] = nullptr;
  Delete(Index);
  // A null item is never notified, whatever the action.
  if (Item != nullptr)
    Notify(Item, naExtracted);
  return Item;
}

void TListClone::Exchange(int32_t Index1, int32_t Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FList[Index1], FList[Index2]);
}

void TListClone::Move(int32_t CurIndex, int32_t NewIndex) {
  if (CurIndex == NewIndex)
    return;
  CheckIndex(NewIndex);
  CheckIndex(CurIndex);
  void* Item = FList[CurIndex];
  FList[CurIndex] = nullptr;
  Delete(CurIndex);
  Insert(NewIndex, nullptr);
  FList[NewIndex] = Item;
}

int32_t TListClone::IndexOf(const void* Item) const {
  const void* const* Slots = FList.get();
  for (int32_t I = 0; I < FCount; ++I)
    if (Slots[I] == Item)
      return I;
  return -1;
}

void* TListClone::GetItem(int32_t Index) const {
  CheckIndex(Index);
  return FList[Index];
}

TListClone& TListClone::Expand() {
  if (FCount == FCapacity)
    Grow();
  return *this;
}

void TListClone::Pack() {
  for (int32_t I = FCount - 1; I >= 0; --I)
    if (FList[I] == nullptr)
      Delete(I);
}

namespace {

void SortRange(void** Slots, int32_t L, int32_t R, TListCloneSortCompare Compare) {
  int32_t I;
  do {
    I = L;
    int32_t J = R;
    void* Pivot = Slots[L + (R - L) / 2];
    do {
      // With a consistent Compare the pivot stops both scans inside L ... R; the bounds only
      // keep an inconsistent one from running off the block.
      while (I <= R && Compare(Slots[I], Pivot) < 0)
        ++I;
      while (J >= L && Compare(Slots[J], Pivot) > 0)
        --J;
      if (I <= J) {
        std::swap(Slots[I], Slots[J]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J)
      SortRange(Slots, L, J, Compare);
    L = I;
  } while (I < R);
}

} // namespace

void TListClone::Sort(TListCloneSortCompare Compare) {
  if (FList != nullptr && FCount > 0)
    SortRange(FList.get(), 0, FCount - 1, Compare);
}

void TListClone::SetCapacity(int32_t NewCapacity) {
  if (NewCapacity < FCount || NewCapacity > MaxListSize)
    Error(u"List capacity out of bounds", NewCapacity);
  if (NewCapacity == FCapacity)
    return;
  if (NewCapacity == 0) {
    FList.reset();
  } else {
    void* Block = std::realloc(FList.get(), sizeof(void*) * size_t(NewCapacity));
    if (Block == nullptr)
      throw std::bad_alloc();
    (void)FList.release();
    FList.reset(static_cast<void**>(Block));
  }
  FCapacity = NewCapacity;
}

void TListClone::SetCount(int32_t NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize)
    Error(u"List count out of bounds", NewCount);
  if (NewCount > FCapacity)
    SetCapacity(NewCount);
  if (NewCount > FCount)
    std::fill(FList.get() + FCount, FList.get() + NewCount, nullptr);
  else
    for (int32_t I = FCount - 1; I >= NewCount; --I)
      Delete(I);
  FCount = NewCount;
}

void TListClone::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TListClone::Assign(TListClone& ListA, TListCloneAssignOp AOperator, TListClone* ListB) {
  TListClone* Source = &ListA;
  if (ListB != nullptr) {
    Assign(ListA, laCopy);
    Source = ListB;
  }
  switch (AOperator) {
  case laCopy:
    // Copying the list onto itself would clear the source first and lose every item.
    if (Source == this)
      return;
    Clear();
    SetCapacity(Source->FCapacity);
    for (int32_t I = 0; I < Source->FCount; ++I)
      Add(Source->FList[I]);
    break;
  case laAnd:
    for (int32_t I = FCount - 1; I >= 0; --I)
      if (Source->IndexOf(FList[I]) == -1)
        Delete(I);
    break;
  case laOr:
    for (int32_t I = 0; I < Source->FCount; ++I)
      if (IndexOf(Source->FList[I]) == -1)
        Add(Source->FList[I]);
    break;
  case laXor: {
    TListClone Temp;
    Temp.SetCapacity(Source->FCount);
    for (int32_t I = 0; I < Source->FCount; ++I)
      if (IndexOf(Source->FList[I]) == -1)
        Temp.Add(Source->FList[I]);
    for (int32_t I = FCount - 1; I >= 0; --I)
      if (Source->IndexOf(FList[I]) != -1)
        Delete(I);
    // The sum cannot overflow: both counts are at most MaxListSize.
    int64_t Needed = int64_t(FCount) + Temp.FCount;
    if (FCapacity < Needed)
      SetCapacity(Needed > MaxListSize ? MaxListSize + 1 : int32_t(Needed));
    for (int32_t I = 0; I < Temp.FCount; ++I)
      Add(Temp.FList[I]);
    break;
  }
  case laSrcUnique:
    for (int32_t I = FCount - 1; I >= 0; --I)
      if (Source->IndexOf(FList[I]) != -1)
        Delete(I);
    break;
  case laDestUnique: {
    TListClone Temp;
    Temp.SetCapacity(Source->FCount);
    for (int32_t I = Source->FCount - 1; I >= 0; --I)
      if (IndexOf(Source->FList[I]) == -1)
        Temp.Add(Source->FList[I]);
    Assign(Temp, laCopy);
    break;
  }
  }
}

} // namespace marigold
